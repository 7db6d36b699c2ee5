#include "convert/batch_progress.h"

#include <algorithm>
#include <utility>

BatchProgress::BatchProgress(std::vector<double> sourceBytes, double startSeconds)
    : bytes_(std::move(sourceBytes)),
      durations_(bytes_.size(), -1.0),
      positions_(bytes_.size(), 0.0),
      stages_(bytes_.size(), Stage::Waiting),
      start_(startSeconds) {}

std::optional<std::size_t> BatchProgress::Slot(int index) const {
  if (index < 0 || index >= TaskTotal()) return std::nullopt;
  return static_cast<std::size_t>(index);
}

void BatchProgress::BeginTask(int index) {
  latest_ = std::clamp(index, 0, std::max(0, TaskTotal() - 1));
  if (const auto slot = Slot(index)) {
    stages_[*slot] = Stage::Running;
    positions_[*slot] = 0;
  }
}

void BatchProgress::TaskDuration(int index, double seconds) {
  if (const auto slot = Slot(index)) durations_[*slot] = std::max(0.0, seconds);
}

void BatchProgress::TaskPosition(int index, double seconds) {
  if (const auto slot = Slot(index)) positions_[*slot] = std::max(0.0, seconds);
}

void BatchProgress::EndTask(int index) {
  if (const auto slot = Slot(index)) stages_[*slot] = Stage::Ended;
}

int BatchProgress::RunningCount() const {
  return static_cast<int>(std::count(stages_.begin(), stages_.end(), Stage::Running));
}

int BatchProgress::EndedCount() const {
  return static_cast<int>(std::count(stages_.begin(), stages_.end(), Stage::Ended));
}

bool BatchProgress::ExpectedDurations(std::vector<double>& expected) const {
  double seconds = 0;
  double sizedSeconds = 0;  // of the known ones with a size, which alone tell seconds per byte
  double bytes = 0;
  int known = 0;
  for (std::size_t i = 0; i < durations_.size(); ++i) {
    if (durations_[i] < 0) continue;
    ++known;
    seconds += durations_[i];
    if (bytes_[i] > 0) {
      bytes += bytes_[i];
      sizedSeconds += durations_[i];
    }
  }
  if (known == 0) return false;
  const double perByte = bytes > 0 ? sizedSeconds / bytes : 0;
  expected = durations_;
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (expected[i] < 0) expected[i] = bytes_[i] > 0 && perByte > 0 ? bytes_[i] * perByte : seconds / known;
  return true;
}

std::optional<double> BatchProgress::SecondsLeft(double nowSeconds) const {
  std::vector<double> duration;
  const double elapsed = Elapsed(nowSeconds);
  if (!ExpectedDurations(duration) || elapsed <= 0) return std::nullopt;
  double done = 0;
  double left = 0;
  for (std::size_t i = 0; i < duration.size(); ++i) {
    switch (stages_[i]) {
      case Stage::Ended: done += duration[i]; break;
      case Stage::Running: {
        const double position = std::min(positions_[i], duration[i]);
        done += position;
        left += duration[i] - position;
        break;
      }
      case Stage::Waiting: left += duration[i]; break;
    }
  }
  if (done <= 0) return std::nullopt;
  return left * elapsed / done;
}
