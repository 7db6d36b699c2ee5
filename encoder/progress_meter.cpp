#include "encoder/progress_meter.h"

#include <cstdio>

#include "encoder/report.h"

namespace {

constexpr auto kInterval = std::chrono::milliseconds(500);

}  // namespace

ProgressMeter::ProgressMeter(int fps, double quantiser) : fps_(fps), quantiser_(quantiser) {}

void ProgressMeter::Update(int64_t frames, uint64_t bytes) {
  if (Clock::now() - last_ < kInterval) return;
  Print(frames, bytes, '\r');
}

void ProgressMeter::Final(int64_t frames, uint64_t bytes) { Print(frames, bytes, '\n'); }

void ProgressMeter::Print(int64_t frames, uint64_t bytes, char ending) {
  last_ = Clock::now();
  const double elapsed = std::chrono::duration<double>(last_ - start_).count();
  ProgressFigures figures;
  figures.frames = frames;
  figures.framesPerSecond = elapsed > 0 ? frames / elapsed : 0;
  figures.quantiser = quantiser_;
  figures.bytes = bytes;
  figures.seconds = static_cast<double>(frames) / fps_;
  const std::string line = FormatProgress(figures) + ending;
  std::fputs(line.c_str(), stderr);
}
