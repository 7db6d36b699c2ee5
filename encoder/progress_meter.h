#pragma once

#include <chrono>
#include <cstdint>

// Writes progress lines on stderr at most twice a second, each ended by a
// carriage return so a terminal shows them in place; the last one by a line feed.
class ProgressMeter {
 public:
  ProgressMeter(int fps, double quantiser);

  void Update(int64_t frames, uint64_t bytes);
  void Final(int64_t frames, uint64_t bytes);

 private:
  void Print(int64_t frames, uint64_t bytes, char ending);

  using Clock = std::chrono::steady_clock;
  int fps_;
  double quantiser_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point last_ = start_;
};
