#include "Inc/Resize.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

// Windows and controls as plain numbers: the anchoring sees only this.
struct FakeScreen {
  std::map<int, GadgetSize> windows;
  std::map<std::pair<int, int>, GadgetRect> controls;
  int moves = 0;
};

class AnchorTest : public ::testing::Test {
 protected:
  AnchorRegistry MakeRegistry() {
    AnchorGeometry geometry;
    geometry.innerSize = [this](int window) { return screen_.windows[window]; };
    geometry.controlRect = [this](int window, int control) {
      return screen_.controls[{window, control}];
    };
    geometry.setControlRect = [this](int window, int control, const GadgetRect& rect) {
      ++screen_.moves;
      screen_.controls[{window, control}] = rect;
    };
    return AnchorRegistry(std::move(geometry));
  }

  GadgetRect& Control(int window, int control) { return screen_.controls[{window, control}]; }
  void ResizeWindow(int window, int width, int height) {
    screen_.windows[window] = {width, height};
    anchors_.Apply(WindowEventKind::Size, window);
  }

  FakeScreen screen_;
  AnchorRegistry anchors_ = MakeRegistry();
};

void ExpectRect(const GadgetRect& rect, int x, int y, int width, int height) {
  EXPECT_EQ(rect.x, x);
  EXPECT_EQ(rect.y, y);
  EXPECT_EQ(rect.width, width);
  EXPECT_EQ(rect.height, height);
}

TEST_F(AnchorTest, EachHorizontalLockPairFollowsTheRightEdgeAsDescribed) {
  screen_.windows[0] = {600, 400};
  // Four controls 100 wide at x 200, one per lock pair (left, right).
  const std::pair<bool, bool> pairs[] = {{true, true}, {true, false}, {false, false}, {false, true}};
  for (int i = 0; i < 4; ++i) {
    Control(0, i) = {200, 10 + 30 * i, 100, 20};
    anchors_.Register(0, i, pairs[i].first, true, pairs[i].second, false);
  }
  ResizeWindow(0, 700, 400);
  ExpectRect(Control(0, 0), 200, 10, 200, 20);  // stretches
  ExpectRect(Control(0, 1), 200, 40, 100, 20);  // stays
  ExpectRect(Control(0, 2), 300, 70, 100, 20);  // travels with the edge
  ExpectRect(Control(0, 3), 300, 100, 100, 20);  // travels; width recomputed, the same
}

TEST_F(AnchorTest, EachVerticalLockPairFollowsTheBottomEdgeAsDescribed) {
  screen_.windows[0] = {400, 600};
  const std::pair<bool, bool> pairs[] = {{true, true}, {true, false}, {false, false}, {false, true}};
  for (int i = 0; i < 4; ++i) {
    Control(0, i) = {10 + 30 * i, 200, 20, 100};
    anchors_.Register(0, i, true, pairs[i].first, false, pairs[i].second);
  }
  ResizeWindow(0, 400, 550);
  ExpectRect(Control(0, 0), 10, 200, 20, 50);
  ExpectRect(Control(0, 1), 40, 200, 20, 100);
  ExpectRect(Control(0, 2), 70, 150, 20, 100);
  ExpectRect(Control(0, 3), 100, 150, 20, 100);
}

TEST_F(AnchorTest, OnlySizeEventsOfTheGivenWindowMoveControls) {
  screen_.windows[0] = {600, 450};
  screen_.windows[1] = {300, 200};
  Control(0, 52) = {0, 45, 600, 366};
  Control(1, 7) = {10, 10, 100, 100};
  anchors_.Register(0, 52, true, true, true, true);
  anchors_.Register(1, 7, true, true, true, true);

  screen_.windows[0] = {800, 600};
  anchors_.Apply(WindowEventKind::Other, 0);
  EXPECT_EQ(screen_.moves, 0);

  anchors_.Apply(WindowEventKind::Size, 0);
  EXPECT_EQ(screen_.moves, 1);
  ExpectRect(Control(0, 52), 0, 45, 800, 516);
  ExpectRect(Control(1, 7), 10, 10, 100, 100);
}

TEST_F(AnchorTest, AnEmptyRegistryOrAWindowWithoutRecordsChangesNothing) {
  screen_.windows[0] = {600, 450};
  anchors_.Apply(WindowEventKind::Size, 0);
  Control(0, 52) = {0, 45, 600, 366};
  anchors_.Register(0, 52, true, true, true, true);
  anchors_.Apply(WindowEventKind::Size, 3);
  EXPECT_EQ(screen_.moves, 0);
}

TEST_F(AnchorTest, MarginsMeasuredAtRegistrationAreKept) {
  screen_.windows[0] = {600, 450};
  Control(0, 52) = {5, 45, 580, 366};  // right margin 15, bottom margin 39
  anchors_.Register(0, 52, true, true, true, true);
  ResizeWindow(0, 1000, 700);
  ExpectRect(Control(0, 52), 5, 45, 980, 616);
}

TEST_F(AnchorTest, ShrinkingBelowTheRegisteredSizeShrinksByTheSameAmountButNeverBelowZero) {
  screen_.windows[0] = {600, 450};
  Control(0, 52) = {0, 45, 600, 366};
  anchors_.Register(0, 52, true, true, true, true);
  ResizeWindow(0, 500, 400);
  ExpectRect(Control(0, 52), 0, 45, 500, 316);
  ResizeWindow(0, 0, 20);
  ExpectRect(Control(0, 52), 0, 45, 0, 0);
}

TEST_F(AnchorTest, AWindowNarrowerThanALeftMarginGivesWidthZero) {
  screen_.windows[0] = {600, 450};
  Control(0, 52) = {10, 45, 580, 366};
  anchors_.Register(0, 52, true, true, true, true);
  ResizeWindow(0, 15, 450);
  ExpectRect(Control(0, 52), 10, 45, 0, 366);
}

TEST_F(AnchorTest, MaximiseAndRestoreReturnTheFormerGeometry) {
  screen_.windows[0] = {600, 450};
  Control(0, 52) = {0, 45, 600, 366};
  Control(0, 9) = {500, 400, 80, 30};
  anchors_.Register(0, 52, true, true, true, true);
  anchors_.Register(0, 9, false, false, false, false);
  ResizeWindow(0, 1920, 1050);
  ResizeWindow(0, 600, 450);
  ExpectRect(Control(0, 52), 0, 45, 600, 366);
  ExpectRect(Control(0, 9), 500, 400, 80, 30);
}

}  // namespace
