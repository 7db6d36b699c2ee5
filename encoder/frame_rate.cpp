#include "encoder/frame_rate.h"

#include <algorithm>
#include <cmath>

int64_t FrameRateConverter::SlotAt(double seconds) const { return std::llround((seconds - origin_) * fps_); }

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
