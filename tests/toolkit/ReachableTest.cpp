#include <gtest/gtest.h>

#include "toolkit/Reachable.h"

namespace {

// A 1280 by 984 work area beside a taskbar at the bottom, and a window of 300 by 200.
const TRect work{0, 0, 1280, 984};

TRect WindowAt(int left, int top) { return {left, top, left + 300, top + 200}; }

TEST(Reachable, AWindowOffTheWorkAreaMovesTheLeastIntoIt) {
  struct TCase {
    TRect Window;
    TPoint Expected;
  };
  const TCase cases[] = {
      {WindowAt(3000, 3000), {980, 784}}, {WindowAt(-2000, -2000), {0, 0}},
      {WindowAt(100, 2000), {100, 784}},  {WindowAt(-50, 40), {0, 40}},
      {WindowAt(500, 300), {500, 300}},   {WindowAt(980, 784), {980, 784}},
      {{10, 10, 2000, 1500}, {0, 0}},  // larger than the area: its corner
  };
  for (const TCase& c : cases)
    EXPECT_EQ(MovedInside(c.Window, work), c.Expected) << c.Window.Left << "," << c.Window.Top;
}

TEST(Reachable, RectanglesMeetOnlyWhenTheyShareAPixel) {
  EXPECT_TRUE(Meets(WindowAt(1279, 983), work) && Meets(WindowAt(-299, -199), work));
  EXPECT_FALSE(Meets(WindowAt(1280, 0), work) || Meets(WindowAt(0, -200), work));
}

}  // namespace
