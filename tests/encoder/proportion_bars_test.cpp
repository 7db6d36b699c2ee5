#include "encoder/proportion_bars.h"

#include <gtest/gtest.h>

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
