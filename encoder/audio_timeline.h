#pragma once

#include <cstdint>
#include <deque>
#include <vector>

// Mono sound samples placed by their position on the output's sample clock
// (sample n plays at n / 22050 s). Gaps read as silence, overlaps keep the
// sound that came first, and small jitter in the time stamps is absorbed so
// that continuous sound stays continuous.
class AudioTimeline {
 public:
  // Positions closer than `tolerance` samples to the end of what is held
  // are taken as following on directly.
  explicit AudioTimeline(int64_t tolerance) : tolerance_(tolerance) {}

  void Put(int64_t position, std::vector<int16_t> samples);

  // The samples for [begin, end), silence where nothing was put; everything
  // before `end` is then let go.
  void Take(int64_t begin, int64_t end, std::vector<int16_t>& out);

  // The position just after the last sample put, or INT64_MIN before any.
  int64_t End() const { return end_; }

 private:
  struct Segment {
    int64_t position;
    std::vector<int16_t> samples;
  };

  int64_t tolerance_;
  int64_t end_ = INT64_MIN;
  std::deque<Segment> segments_;
};
