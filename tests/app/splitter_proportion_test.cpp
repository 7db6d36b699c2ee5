#include "app/splitter_proportion.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitterProportion, KeepsTheLowerShareSetAtThePosition) {
  SplitterProportion proportion(4);
  proportion.Remember(366, 62);  // position 300 in a 366 pixel splitter
  EXPECT_EQ(proportion.LowerHeight(366), 62);
  EXPECT_EQ(proportion.LowerHeight(400), 67);  // 396 * 62 / 362 = 67.8
  EXPECT_EQ(proportion.LowerHeight(728), 124);  // exactly twice the room: no rounding loss
  EXPECT_EQ(proportion.LowerHeight(200), 33);
}

TEST(SplitterProportion, ADragReplacesTheShare) {
  SplitterProportion proportion(4);
  proportion.Remember(366, 62);
  proportion.Remember(366, 181);  // bar dragged to the middle
  EXPECT_EQ(proportion.LowerHeight(604), 300);
}

TEST(SplitterProportion, EmptyOrTinySplittersNeverGiveNegativeOrOversizedParts) {
  SplitterProportion proportion(4);
  EXPECT_EQ(proportion.LowerHeight(300), 0);  // nothing remembered yet
  proportion.Remember(366, 62);
  EXPECT_EQ(proportion.LowerHeight(4), 0);
  EXPECT_EQ(proportion.LowerHeight(0), 0);
  proportion.Remember(3, 0);  // no room: the share stays as it was
  EXPECT_EQ(proportion.LowerHeight(366), 62);
  proportion.Remember(366, 500);  // more than there is: all of it
  EXPECT_EQ(proportion.LowerHeight(104), 100);
  proportion.Remember(366, 0);  // dragged shut: stays shut
  EXPECT_EQ(proportion.LowerHeight(900), 0);
}

}  // namespace
