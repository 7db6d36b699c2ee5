#pragma once

#include <optional>
#include <vector>

// How far a whole batch has come, for the status bar: the tasks running and
// done of the total, the time since it started and an estimate of the time
// left. The estimate divides the source time still to convert by the speed so
// far (source seconds converted per second of the batch, by all encoders
// together). A source's duration is known once its encoder has told it; until
// then it is taken from its file size at the seconds per byte of the sources
// already known, or as their average.
class BatchProgress {
 public:
  // The input sizes in bytes of the tasks the batch converts, in order; 0
  // for one whose size tells nothing of its duration.
  BatchProgress(std::vector<double> sourceBytes, double startSeconds);

  // Task `index` (of the converted ones) begins, reports its encoder's
  // duration (0 when unknown) or the source time converted so far, or ends.
  void BeginTask(int index);
  void TaskDuration(int index, double seconds);
  void TaskPosition(int index, double seconds);
  void EndTask(int index);

  // The task begun last, counted from 1.
  int TaskNumber() const { return latest_ + 1; }
  int TaskTotal() const { return static_cast<int>(bytes_.size()); }
  int RunningCount() const;
  int EndedCount() const;
  double Elapsed(double nowSeconds) const { return nowSeconds - start_; }
  // Nothing before a duration and some speed are known.
  std::optional<double> SecondsLeft(double nowSeconds) const;

 private:
  enum class Stage { Waiting, Running, Ended };

  // Fills expected with every task's duration, known or guessed: by its
  // size at the seconds per byte of the known ones, or else as their average.
  // False while no duration is known.
  bool ExpectedDurations(std::vector<double>& expected) const;
  // The task at index, or nothing for an index outside the batch.
  std::optional<std::size_t> Slot(int index) const;

  std::vector<double> bytes_;
  std::vector<double> durations_;  // -1 while unknown
  std::vector<double> positions_;
  std::vector<Stage> stages_;
  double start_;
  int latest_ = 0;
};
