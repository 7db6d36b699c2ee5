#include "convert/batch_progress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Clip {
  double bytes;
  double duration;  // seconds of source
  double speed;     // source seconds converted per second of the batch
};

// Plays a batch of clips on a clock of its own, the encoder telling its
// position every half second, and checks each estimate after the first clip
// against the time that truly remains.
void ExpectEstimatesWithin(const std::vector<Clip>& clips, double tolerance) {
  std::vector<double> bytes;
  double total = 0;
  for (const Clip& clip : clips) {
    bytes.push_back(clip.bytes);
    // As the loop below plays it: a report every half second.
    for (double position = 0; position < clip.duration; position += clip.speed * 0.5) total += 0.5;
  }
  BatchProgress progress(bytes, 100.0);
  double now = 100.0;
  for (std::size_t i = 0; i < clips.size(); ++i) {
    progress.BeginTask(static_cast<int>(i));
    EXPECT_EQ(progress.TaskNumber(), static_cast<int>(i) + 1);
    progress.TaskDuration(static_cast<int>(i), clips[i].duration);
    for (double position = 0; position < clips[i].duration; position += clips[i].speed * 0.5) {
      progress.TaskPosition(static_cast<int>(i), position);
      const auto left = progress.SecondsLeft(now);
      if (i > 0) {
        const double truth = total - (now - 100.0);
        ASSERT_TRUE(left.has_value());
        EXPECT_NEAR(*left, truth, truth * tolerance) << "clip " << i << " at " << position;
      }
      now += 0.5;
    }
    progress.EndTask(static_cast<int>(i));
  }
}

TEST(BatchProgress, TimeLeftOnEqualClipsAfterTheFirstIsWithinThirtyPercent) {
  ExpectEstimatesWithin({{1000, 10, 2}, {1000, 10, 2}, {1000, 10, 2}, {1000, 10, 2}}, 0.3);
  // A clip that converts a little slower keeps the estimate near.
  ExpectEstimatesWithin({{1000, 10, 2}, {1000, 10, 1.8}, {1000, 10, 2.2}, {1000, 10, 2}}, 0.3);
}

TEST(BatchProgress, ClipsNotYetStartedCountByTheirSizes) {
  BatchProgress progress({1000, 3000}, 0);
  EXPECT_FALSE(progress.SecondsLeft(1).has_value()) << "no duration known yet";
  progress.BeginTask(0);
  progress.TaskDuration(0, 10);
  EXPECT_FALSE(progress.SecondsLeft(1).has_value()) << "nothing converted yet";
  progress.TaskPosition(0, 5);
  // 5 s of source in 5 s: 5 s more of this clip, 30 s for three times its size.
  EXPECT_DOUBLE_EQ(progress.SecondsLeft(5).value_or(-1), 35);
  EXPECT_EQ(progress.TaskTotal(), 2);
  EXPECT_DOUBLE_EQ(progress.Elapsed(5), 5);
}

// A part of a large file (size 0: unknown) tells nothing of seconds per byte.
TEST(BatchProgress, ATaskWithoutASizeCountsNothingPerByte) {
  BatchProgress progress({0, 1000, 1000}, 0);
  progress.BeginTask(0);
  progress.TaskDuration(0, 60);
  progress.EndTask(0);
  progress.BeginTask(1);
  progress.TaskDuration(1, 10);
  progress.TaskPosition(1, 10);
  // 70 s in 7 s; the third, as large as the second, is 10 s more: 1 s.
  EXPECT_DOUBLE_EQ(progress.SecondsLeft(7).value_or(-1), 1);
}

// Two encoders at once: what both have converted counts, and each task that
// has ended counts whole.
TEST(BatchProgress, SeveralTasksAtOnceCountTogether) {
  BatchProgress progress({1000, 1000, 1000}, 0);
  progress.BeginTask(0);
  progress.BeginTask(1);
  progress.TaskDuration(0, 10);
  progress.TaskDuration(1, 10);
  progress.TaskPosition(0, 4);
  progress.TaskPosition(1, 6);
  EXPECT_EQ(progress.RunningCount(), 2);
  EXPECT_EQ(progress.EndedCount(), 0);
  // 10 s of source in 5 s: 20 s left at that speed is 10 s.
  EXPECT_DOUBLE_EQ(progress.SecondsLeft(5).value_or(-1), 10);
  progress.EndTask(1);
  progress.BeginTask(2);
  EXPECT_EQ(progress.RunningCount(), 2);
  EXPECT_EQ(progress.EndedCount(), 1);
  EXPECT_EQ(progress.TaskNumber(), 3);
  // 4 + 10 s done in 7 s; 6 + 10 s left.
  EXPECT_DOUBLE_EQ(progress.SecondsLeft(7).value_or(-1), 8);
}

}  // namespace
