#include "convert/batch_progress.h"

#include <algorithm>
#include <utility>

BatchProgress::BatchProgress(std::vector<double> sourceBytes, double startSeconds)
    : bytes_(std::move(sourceBytes)), durations_(bytes_.size(), -1.0), start_(startSeconds) {}

void BatchProgress::BeginTask(int index) {
  current_ = std::clamp(index, 0, std::max(0, TaskTotal() - 1));
  position_ = 0;
}

void BatchProgress::TaskDuration(double seconds) {
  if (current_ < TaskTotal()) durations_[static_cast<std::size_t>(current_)] = std::max(0.0, seconds);
}

void BatchProgress::TaskPosition(double seconds) { position_ = std::max(0.0, seconds); }

bool BatchProgress::ExpectedDurations(std::vector<double>& expected) const {
  double seconds = 0;
  double bytes = 0;
  int known = 0;
  for (std::size_t i = 0; i < durations_.size(); ++i) {
    if (durations_[i] < 0) continue;
    ++known;
    seconds += durations_[i];
    if (bytes_[i] > 0) bytes += bytes_[i];
  }
  if (known == 0) return false;
  const double perByte = bytes > 0 ? seconds / bytes : 0;
  expected = durations_;
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (expected[i] < 0) expected[i] = bytes_[i] > 0 && perByte > 0 ? bytes_[i] * perByte : seconds / known;
  return true;
}

std::optional<double> BatchProgress::SecondsLeft(double nowSeconds) const {
  std::vector<double> duration;
  const double elapsed = Elapsed(nowSeconds);
  if (!ExpectedDurations(duration) || elapsed <= 0) return std::nullopt;
  const auto current = static_cast<std::size_t>(current_);
  const double position = std::min(position_, duration[current]);
  double done = position;
  for (std::size_t i = 0; i < current; ++i) done += duration[i];
  if (done <= 0) return std::nullopt;
  double left = duration[current] - position;
  for (std::size_t i = current + 1; i < duration.size(); ++i) left += duration[i];
  return left * elapsed / done;
}
