#pragma once

#include <optional>
#include <vector>

// How far a whole batch has come, for the status bar: the task of the total,
// the time since it started and an estimate of the time left. The estimate
// divides the source time still to convert by the speed so far (source
// seconds converted per second of the batch). A source's duration is known
// once its encoder has told it; until then it is taken from its file size at
// the seconds per byte of the sources already known, or as their average.
class BatchProgress {
 public:
  // The input sizes in bytes of the tasks the batch converts, in order.
  BatchProgress(std::vector<double> sourceBytes, double startSeconds);

  // Task `index` (of the converted ones) begins, or reports its encoder's
  // duration (0 when unknown) and the source time converted so far.
  void BeginTask(int index);
  void TaskDuration(double seconds);
  void TaskPosition(double seconds);

  int TaskNumber() const { return current_ + 1; }
  int TaskTotal() const { return static_cast<int>(bytes_.size()); }
  double Elapsed(double nowSeconds) const { return nowSeconds - start_; }
  // Nothing before a duration and some speed are known.
  std::optional<double> SecondsLeft(double nowSeconds) const;

 private:
  // Fills expected with every task's duration, known or guessed: by its
  // size at the seconds per byte of the known ones, or else as their average.
  // False while no duration is known.
  bool ExpectedDurations(std::vector<double>& expected) const;

  std::vector<double> bytes_;
  std::vector<double> durations_;  // -1 while unknown
  double start_;
  int current_ = 0;
  double position_ = 0;
};
