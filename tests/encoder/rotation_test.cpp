#include "encoder/rotation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Rows = std::vector<std::vector<int>>;

FramePtr Picture(int width, int height) {
  FramePtr frame(av_frame_alloc());
  frame->width = width;
  frame->height = height;
  frame->format = AV_PIX_FMT_YUV420P;
  EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
  return frame;
}

Rows Plane(const AVFrame& frame, int plane) {
  const int shift = plane == 0 ? 0 : 1;
  Rows rows(static_cast<std::size_t>(frame.height >> shift));
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (int x = 0; x < frame.width >> shift; ++x) rows[y].push_back(frame.data[plane][y * frame.linesize[plane] + x]);
  return rows;
}

}  // namespace

// A 4x2 picture whose luma counts 0..7 along its rows and whose chroma holds
// two values, turned each way: every sample lands where a player shows it.
TEST(TurnPicture, EverySampleLandsWhereTheTurnPutsIt) {
  const FramePtr source = Picture(4, 2);
  for (int i = 0; i < 8; ++i) source->data[0][(i / 4) * source->linesize[0] + i % 4] = static_cast<uint8_t>(i);
  for (int plane : {1, 2}) {
    source->data[plane][0] = static_cast<uint8_t>(10 * plane);
    source->data[plane][1] = static_cast<uint8_t>(10 * plane + 1);
  }
  const struct {
    int turns;
    Rows luma;
    Rows chroma;  // of plane 1; plane 2 holds the same plus 10
  } cases[] = {
      {1, {{4, 0}, {5, 1}, {6, 2}, {7, 3}}, {{10}, {11}}},
      {2, {{7, 6, 5, 4}, {3, 2, 1, 0}}, {{11, 10}}},
      {3, {{3, 7}, {2, 6}, {1, 5}, {0, 4}}, {{11}, {10}}},
  };
  for (const auto& c : cases) {
    const FramePtr target = c.turns == 2 ? Picture(4, 2) : Picture(2, 4);
    for (int plane = 0; plane < 3; ++plane)
      for (int i = 0; i < target->linesize[plane] * (plane == 0 ? target->height : target->height / 2); ++i)
        target->data[plane][i] = 99;
    TurnPicture(*source, c.turns, *target);
    EXPECT_EQ(Plane(*target, 0), c.luma) << c.turns;
    EXPECT_EQ(Plane(*target, 1), c.chroma) << c.turns;
    Rows shifted = c.chroma;
    for (auto& row : shifted)
      for (int& value : row) value += 10;
    EXPECT_EQ(Plane(*target, 2), shifted) << c.turns;
  }
}
