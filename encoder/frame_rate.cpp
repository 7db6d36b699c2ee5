#include "encoder/frame_rate.h"

#include <algorithm>
#include <cmath>

int64_t FrameRateConverter::SlotAt(double seconds) const { return std::llround((seconds - origin_) * fps_); }

bool FrameRateConverter::SurelyDropped(double startSeconds, double endSeconds) const {
  // A fiftieth of a frame time: more than time stamps in milliseconds are off at 16 fps.
  constexpr double kMarginFrames = 0.02;
  if (!started_ || !(endSeconds > startSeconds)) return false;
  const double first = (startSeconds - origin_) * fps_ - kMarginFrames;
  const double last = (endSeconds - origin_) * fps_ + kMarginFrames;
  return std::llround(first) == std::llround(last);
}

int64_t FrameRateConverter::Arrive(double seconds) {
  if (!started_) {
    started_ = true;
    origin_ = fixedOrigin_.value_or(std::min(seconds, earliest_.value_or(seconds)));
    return 0;
  }
  const int64_t count = std::max<int64_t>(0, SlotAt(seconds) - filled_);
  filled_ += count;
  return count;
}

int64_t FrameRateConverter::Finish(double endSeconds) {
  if (!started_) return 0;
  int64_t count = std::max<int64_t>(0, SlotAt(endSeconds) - filled_);
  if (filled_ + count == 0) count = 1;
  filled_ += count;
  return count;
}
