#include "encoder/frame_rate.h"

#include <algorithm>
#include <cmath>

int64_t FrameRateConverter::SlotAt(double seconds) const { return std::llround((seconds - origin_) * fps_); }

bool FrameRateConverter::SurelyDropped(double start_seconds, double end_seconds) const {
  // A fiftieth of a frame time: more than time stamps in milliseconds are off at 16 fps.
  constexpr double kMarginFrames = 0.02;
  if (!started_ || !(end_seconds > start_seconds)) return false;
  const double first = (start_seconds - origin_) * fps_ - kMarginFrames;
  const double last = (end_seconds - origin_) * fps_ + kMarginFrames;
  return std::llround(first) == std::llround(last);
}

int64_t FrameRateConverter::Arrive(double seconds) {
  if (!started_) {
    started_ = true;
    origin_ = std::min(seconds, earliest_.value_or(seconds));
    return 0;
  }
  const int64_t count = std::max<int64_t>(0, SlotAt(seconds) - filled_);
  filled_ += count;
  return count;
}

int64_t FrameRateConverter::Finish(double end_seconds) {
  if (!started_) return 0;
  int64_t count = std::max<int64_t>(0, SlotAt(end_seconds) - filled_);
  if (filled_ + count == 0) count = 1;
  filled_ += count;
  return count;
}
