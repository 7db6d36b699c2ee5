#include "encoder/timestamp_mender.h"

#include <algorithm>

namespace {

// Decoding order may run a little behind presentation order, and sound
// stamps jitter; a step back of less than this is not a jump.
constexpr double kBackwardToleranceSeconds = 1.0;

}  // namespace

std::optional<double> TimestampMender::JumpTarget(int stream, double seconds) const {
  if (!clock_) return std::nullopt;
  const auto known = streams_.find(stream);
  // A stream's first packet may start late, but not far ahead of the others.
  const double expected = known != streams_.end() ? known->second.next : *clock_;
  const bool ahead = seconds - std::max(*clock_, expected) > forwardLimit_;
  const bool behind = known != streams_.end() && seconds < known->second.last - kBackwardToleranceSeconds;
  if (ahead || behind) return expected;
  return std::nullopt;
}

double TimestampMender::Place(int stream, double seconds, double durationSeconds) {
  if (tentativeShift_) {
    if (JumpTarget(stream, seconds + shift_)) shift_ = *tentativeShift_;
    tentativeShift_.reset();
  }
  double shift = shift_;
  if (const std::optional<double> expected = JumpTarget(stream, seconds + shift_)) {
    shift = *expected - seconds;
    tentativeShift_ = shift;
  }
  const double mended = seconds + shift;
  StreamClock& clock = streams_[stream];
  clock.last = mended;
  // A damaged duration must not carry the clock away either.
  clock.next = mended + std::clamp(durationSeconds, 0.0, forwardLimit_);
  clock_ = std::max(clock_.value_or(clock.next), clock.next);
  return shift;
}
