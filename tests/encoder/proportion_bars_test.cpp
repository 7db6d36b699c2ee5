#include "encoder/proportion_bars.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// The bars split what the area has to spare, the odd pixel below or on the
// right, and leave at least a pixel of picture.
TEST(KeepProportions, BarsFillTheAreaInsideThePads) {
  const struct {
    int width, height;
    double proportion;
    Bands bars;
  } cases[] = {
      {160, 120, 16 / 9.0, {15, 15, 0, 0}},   // 90 rows shown
      {176, 144, 9 / 16.0, {0, 0, 47, 48}},   // 81 columns, the odd pixel on the right
      {160, 120, 4 / 3.0, {0, 0, 0, 0}},
      {100, 100, 1000.0, {49, 50, 0, 0}},
      {100, 100, 0.001, {0, 0, 49, 50}},
  };
  for (const auto& c : cases) {
    const Bands bars = ProportionBars(c.width, c.height, c.proportion);
    EXPECT_EQ((std::vector<int>{bars.top, bars.bottom, bars.left, bars.right}),
              (std::vector<int>{c.bars.top, c.bars.bottom, c.bars.left, c.bars.right}))
        << c.proportion;
  }
}

// FFmpeg writes an unknown sample aspect as 0/1: the codec's is taken then,
// and square pixels where neither is known.
TEST(KeepProportions, AnUnknownSampleAspectFallsBackToTheCodecsThenToSquare) {
  const struct {
    AVRational stream, codec, taken;
  } cases[] = {
      {{64, 45}, {16, 15}, {64, 45}},
      {{0, 1}, {16, 15}, {16, 15}},
      {{0, 1}, {0, 1}, {1, 1}},
      {{0, 0}, {0, 0}, {1, 1}},
      {{4, 0}, {0, 1}, {1, 1}},
  };
  AVFormatContext* format = avformat_alloc_context();
  ASSERT_NE(format, nullptr);
  AVStream* stream = avformat_new_stream(format, nullptr);
  ASSERT_NE(stream, nullptr);
  for (const auto& c : cases) {
    stream->sample_aspect_ratio = c.stream;
    stream->codecpar->sample_aspect_ratio = c.codec;
    const AVRational taken = SampleAspect(*stream);
    EXPECT_EQ(std::make_pair(taken.num, taken.den), std::make_pair(c.taken.num, c.taken.den))
        << c.stream.num << "/" << c.stream.den << ", " << c.codec.num << "/" << c.codec.den;
  }
  avformat_free_context(format);
}
