// The progress bar: range and position kept within it, steps that start over past the end,
// and the fill drawn in proportion to the position.
#include <gtest/gtest.h>

#include "platform/progress.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;

namespace {
class ProgressTest : public ctltest::Fixture {};

// Pixels of the highlight colour along the middle row of the bar.
int filledPixels(HWND p) {
  RECT c;
  GetClientRect(p, c);
  int n = 0;
  for (int x = 0; x < c.right; ++x) n += test::pixel(p, x, c.bottom / 2) == GetSysColor(COLOR_HIGHLIGHT);
  return n;
}
}  // namespace

TEST_F(ProgressTest, PositionStaysInItsRangeAndStepsStartOver) {
  HWND p = make(PROGRESS_CLASS, 0, 20, 20, 204, 20, 800);
  PBRANGE r;
  EXPECT_EQ(SendMessage(p, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r)), 0);
  EXPECT_EQ(r.iHigh, 100);
  EXPECT_EQ(SendMessage(p, PBM_SETPOS, 150, 0), 0);
  EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(SendMessage(p, PBM_SETRANGE, 0, MAKELPARAM(10, 20)), MAKELONG(0, 100));
  EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 20) << "a new range takes the position in";
  SendMessage(p, PBM_SETPOS, 10, 0);
  EXPECT_EQ(SendMessage(p, PBM_SETSTEP, 4, 0), 10);
  for (int want : {14, 18, 12, 16, 20}) {
    SendMessage(p, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), want);
  }
  SendMessage(p, PBM_DELTAPOS, static_cast<WPARAM>(-3), 0);
  EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 17);
  SendMessage(p, PBM_SETRANGE32, static_cast<WPARAM>(-1000), 1000);
  EXPECT_EQ(SendMessage(p, PBM_GETRANGE, FALSE, 0), 1000);
}

TEST_F(ProgressTest, FillFollowsThePosition) {
  for (DWORD style : {DWORD{0}, PBS_SMOOTH}) {
    SCOPED_TRACE(style ? "smooth" : "blocks");
    HWND p = make(PROGRESS_CLASS, style, 20, 20, 204, 20, 800);   // 200 pixels inside the well
    EXPECT_EQ(filledPixels(p), 0);
    SendMessage(p, PBM_SETPOS, 50, 0);
    test::runUntilIdle();
    const int half = filledPixels(p);
    EXPECT_GT(half, 80);
    EXPECT_LE(half, 110);
    SendMessage(p, PBM_SETPOS, 100, 0);
    test::runUntilIdle();
    EXPECT_GE(filledPixels(p), 160) << "full: the whole well less the gaps between blocks";
    DestroyWindow(p);
  }
}
