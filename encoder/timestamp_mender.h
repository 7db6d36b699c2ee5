#pragma once

#include <map>
#include <optional>

// Keeps the time stamps of the streams being converted on one continuous
// clock. A packet far ahead of where the file has got to, or well behind
// where its own stream already was, marks a jump: a reset in a broadcast
// capture, joined recordings, or one damaged stamp. The packet is placed
// where its stream was expected to go on; when the next packet shows the
// same jump, it was a discontinuity and every stream's stamps are shifted
// by the same amount from there on, so the content carries on from where
// it was and the streams stay in step. Otherwise it was one damaged stamp.
class TimestampMender {
 public:
  // `forwardLimitSeconds`: how far ahead of the file's clock a packet may
  // start and still count as a genuine gap.
  explicit TimestampMender(double forwardLimitSeconds) : forwardLimit_(forwardLimitSeconds) {}

  // A packet of `stream` stamped at `seconds`, lasting `durationSeconds`
  // (0 when unknown). Returns the shift, in seconds, to add to its stamps.
  double Place(int stream, double seconds, double durationSeconds);

 private:
  struct StreamClock {
    double last = 0;  // mended start of its latest packet
    double next = 0;  // where its next packet should start
  };

  // Where a packet of `stream` mended to `seconds` should have started, when it jumps.
  std::optional<double> JumpTarget(int stream, double seconds) const;

  double forwardLimit_;
  double shift_ = 0;
  std::optional<double> tentativeShift_;  // after a jump, until the next packet confirms it
  std::optional<double> clock_;            // the furthest any stream has reached
  std::map<int, StreamClock> streams_;
};
