#include "tasks/task_labels.h"

#include "Inc/Lang.h"

namespace {

// The hint that the editor's entry of each frame size adds after the size.
constexpr const char* kResolutionHintKeys[kResolutionCount] = {"s22", "s23", "s24", "s25", "s26",
                                                               "s27", "s27", "s28", "s28", "s28"};

constexpr const char* kQualityLabels[kQualityCount] = {"High", "Medium", "Low"};
constexpr const char* kQualityKeys[kQualityCount] = {"s29", "s30", "s31"};

constexpr const char* kFrameRateHintKeys[kFrameRateCount] = {"s32", "s33", "s34"};

std::string SizeText(const AmvFrameSize& size) {
  return std::to_string(size.width) + " x " + std::to_string(size.height);
}

}  // namespace

std::string ResolutionLabel(int resolution) {
  if (resolution < 0 || resolution >= kResolutionCount) return {};
  return SizeText(kAmvFrameSizes[resolution]);
}

std::string QualityLabel(int quality) {
  if (quality < 0 || quality >= kQualityCount) return {};
  return kQualityLabels[quality];
}

TaskRow TaskRowTexts(const Task& task, const std::string& statusText) {
  return {task.InputFile, task.OutputFile, ResolutionLabel(task.Resolution),
          QualityLabel(task.Quality), statusText};
}

std::vector<std::string> ResolutionEntries() {
  std::vector<std::string> entries;
  for (int i = 0; i < kResolutionCount; ++i)
    entries.push_back(SizeText(kAmvFrameSizes[i]) + " " + UiText(kResolutionHintKeys[i]));
  return entries;
}

std::vector<std::string> QualityEntries() {
  std::vector<std::string> entries;
  for (const char* key : kQualityKeys) entries.push_back(UiText(key));
  return entries;
}

std::vector<std::string> FrameRateEntries() {
  std::vector<std::string> entries;
  for (int i = 0; i < kFrameRateCount; ++i)
    entries.push_back(std::to_string(kAmvFrameRates[i]) + " FPS " + UiText(kFrameRateHintKeys[i]));
  return entries;
}
