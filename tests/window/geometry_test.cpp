// Window units, selection, clearing and the window and screen queries, on a root window
// whose client area is 1000 x 1000 pixels.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "tests/window/window_fixture.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/units.h"

namespace {

using namespace win;

class SquareWindow : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    twtest::useScreen(1600, 1200);
    yygetdisplayinfo(tessar.display.WIDTH, tessar.display.HEIGHT, tessar.display.COLOURS,
                     tessar.display.PALETTECLASS, tessar.display.DEVICECLASS);
    WindowOpenOptions o;
    o.flags = 39;
    o.width = 1000;
    o.height = 1000;
    open(o);
    test::runUntilIdle();
  }
};

TEST_F(SquareWindow, UnitConversions) {
  ASSERT_EQ(tessar.window.CURWIDTH, 1000);
  ASSERT_EQ(tessar.window.CURHEIGHT, 1000);
  struct Case {
    const char* why;
    bool toPixels;
    int inX, inY, wantX, wantY;
  };
  const Case cases[] = {
      {"the far edge is the last pixel", true, 9999, 5000, 999, 499},
      {"the last pixel and the first", false, 999, 0, 9994, 4},
      {"pixel 500 gives 5004 units", false, 500, 500, 5004, 5004},
      {"and 5004 units give pixel 499", true, 5004, 5004, 499, 499},
      {"negative units truncate toward zero", true, -5000, 0, -499, 0},
      {"unit 0 is pixel 0", true, 0, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    int x = 0, y = 0;
    if (c.toPixels) windowunitstopixels(c.inX, c.inY, x, y);
    else windowunitsfrompixels(c.inX, c.inY, x, y);
    EXPECT_EQ(x, c.wantX);
    EXPECT_EQ(y, c.wantY);
  }
  EXPECT_EQ(unitsfrompixels(0, 1), 0) << "a client 1 pixel across has only unit 0";
  EXPECT_EQ(unitsfrompixels(3, 0), 0);
}

TEST_F(SquareWindow, ClearFillsClientCornersIncluded) {
  windowclear(std::nullopt, std::nullopt, std::nullopt, std::nullopt, static_cast<int>(RGB(255, 0, 0)));
  windowclear(10, 20, 30, 40, static_cast<int>(RGB(0, 0, 255)));
  struct Probe {
    const char* why;
    int x, y;
    COLORREF want;
  };
  const Probe probes[] = {
      {"top-left corner of the rectangle", 10, 20, RGB(0, 0, 255)},
      {"bottom-right corner of the rectangle", 30, 40, RGB(0, 0, 255)},
      {"just right of it", 31, 40, RGB(255, 0, 0)},
      {"just below it", 30, 41, RGB(255, 0, 0)},
      {"just above-left of it", 9, 19, RGB(255, 0, 0)},
      {"client corner", 999, 999, RGB(255, 0, 0)},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.why);
    EXPECT_EQ(test::pixel(winslot(0).hClient, p.x, p.y), p.want);
  }
  // Without arguments: every client pixel takes the window text background (white).
  int w = 0, h = 0;
  const std::vector<COLORREF> frameBefore = test::pixels(winslot(0).wWindow, false, w, h);
  windowclear();
  int cw = 0, ch = 0;
  const std::vector<COLORREF> client = test::pixels(winslot(0).hClient, true, cw, ch);
  ASSERT_EQ(cw, 1000);
  std::size_t notWhite = 0;
  for (COLORREF c : client) notWhite += c != RGB(255, 255, 255) ? 1 : 0;
  EXPECT_EQ(notWhite, 0u);
  // The frame's own pixels outside the client area are untouched.
  POINT origin{0, 0};
  ClientToScreen(winslot(0).hClient, origin);
  RECT fr;
  GetWindowRect(winslot(0).wWindow, fr);
  const std::vector<COLORREF> frameAfter = test::pixels(winslot(0).wWindow, false, w, h);
  ASSERT_EQ(frameBefore.size(), frameAfter.size());
  std::size_t changedOutside = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int sx = fr.left + x, sy = fr.top + y;
      const bool inClient = sx >= origin.x && sx < origin.x + 1000 && sy >= origin.y && sy < origin.y + 1000;
      const std::size_t i = static_cast<std::size_t>(y * w + x);
      if (!inClient && frameBefore[i] != frameAfter[i]) ++changedOutside;
    }
  EXPECT_EQ(changedOutside, 0u);
}

// Scrolling moves the picture and fills the uncovered strips, with no expose left for them.
TEST_F(SquareWindow, ScrollFillsUncoveredStrip) {
  const int red = static_cast<int>(RGB(255, 0, 0)), green = static_cast<int>(RGB(0, 255, 0));
  windowclear(std::nullopt, std::nullopt, std::nullopt, std::nullopt, red);
  windowclear(0, 0, 9, 9, static_cast<int>(RGB(0, 0, 255)));
  yyscrollarea(20, 30, green);
  struct Probe {
    const char* why;
    int x, y;
    COLORREF want;
  };
  const Probe probes[] = {
      {"the square moved right and down", 25, 35, RGB(0, 0, 255)},
      {"its old place is in the left strip", 5, 5, RGB(0, 255, 0)},
      {"left strip, far down", 10, 900, RGB(0, 255, 0)},
      {"top strip, far right", 900, 10, RGB(0, 255, 0)},
      {"moved red beyond the strips", 500, 500, RGB(255, 0, 0)},
      {"just right of the left strip", 20, 500, RGB(255, 0, 0)},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.why);
    EXPECT_EQ(test::pixel(winslot(0).hClient, p.x, p.y), p.want);
  }
  RECT u{};
  EXPECT_FALSE(GetUpdateRect(winslot(0).hClient, &u, FALSE)) << "nothing left to expose";
  yyscrollarea(-40, 0, -1);
  EXPECT_EQ(test::pixel(winslot(0).hClient, 985, 500), RGB(255, 255, 255)) << "right strip in the background colour";
  EXPECT_EQ(test::pixel(winslot(0).hClient, 959, 500), RGB(255, 0, 0));
}

TEST_F(SquareWindow, WindowQueries) {
  POINT origin{0, 0};
  ClientToScreen(winslot(0).hClient, origin);
  RECT fr;
  GetWindowRect(winslot(0).wWindow, fr);
  struct Case {
    const char* why;
    int item, want;
  };
  const Case cases[] = {
      {"client width", 1, 1000},
      {"client height", 2, 1000},
      {"flags as opened", 3, 39},
      {"previous answer for an unknown item", 99, 39},
      {"current window", 4, 0},
      {"frame x on the screen", 5, fr.left},
      {"frame y on the screen", 6, fr.top},
      {"client x on the screen", 7, origin.x},
      {"client y on the screen", 8, origin.y},
      {"normal state", 9, 1},
      {"ordinary window", 10, 0},
      {"normal client width", 11, 1000},
      {"normal client height", 12, 1000},
      {"normal frame x", 13, fr.left},
      {"normal frame y", 14, fr.top},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(winfowindow(c.item), c.want);
  }
  ShowWindow(winslot(0).wWindow, SW_MAXIMIZE);
  test::runUntilIdle();
  EXPECT_EQ(winfowindow(9), 2);
  EXPECT_EQ(winfowindow(11), 1000) << "the size it has again in the normal state";
  EXPECT_EQ(winfowindow(13), fr.left);
  ShowWindow(winslot(0).wWindow, SW_MINIMIZE);
  EXPECT_EQ(winfowindow(9), 0);
  ShowWindow(winslot(0).wWindow, SW_HIDE);
  EXPECT_EQ(winfowindow(9), 3);
}

TEST_F(SquareWindow, ScreenQueries) {
  struct Case {
    const char* why;
    int item, want;
  };
  const Case cases[] = {
      {"width", 1, 1600},
      {"height", 2, 1200},
      {"device class bit 1", 4, 1},
      {"device class bit 2", 5, 1},
      {"previous answer", 0, 1},
      {"width again", 1, 1600},
      {"previous answer", 17, 1600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(winfoscreen(c.item), c.want);
  }
}

// Selecting takes the window's client size and its drawing context; a bad number changes
// nothing and is reported.
TEST_F(SquareWindow, Selection) {
  int child = 0;
  WindowOpenChildOptions o;
  o.width = 300;
  o.height = 200;
  WindowOpenChild(child, o);
  ASSERT_EQ(child, 1);
  EXPECT_EQ(tessar.window.CURWINDOW, 1);
  EXPECT_EQ(winfowindow(1), 300);
  windowselect(0);
  EXPECT_EQ(tessar.window.CURWINDOW, 0);
  EXPECT_EQ(tessar.window.CURWIDTH, 1000);
  EXPECT_EQ(hMovie, winslot(0).hClient);
  tessar.windowtext.X = 17;
  struct Case {
    const char* why;
    int window;
  };
  const Case bad[] = {{"above 50", 51}, {"negative", -1}, {"not open", 7}};
  for (const Case& c : bad) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    windowselect(c.window);
    EXPECT_EQ(tessar.error.LASTERROR, 1003);
    EXPECT_EQ(tessar.window.CURWINDOW, 0);
    EXPECT_EQ(tessar.window.CURWIDTH, 1000);
    EXPECT_EQ(tessar.windowtext.X, 17) << "the text position stays";
  }
  windowselect(1);
  EXPECT_EQ(tessar.windowtext.X, 0);
  int t = -1;
  yywindowtest(0, t);
  EXPECT_EQ(t, 1);
  WindowCloseChild(1);
  yywindowtest(1, t);
  EXPECT_EQ(t, 0);
}

// Size, position and state of the current window through the placement routine.
TEST_F(SquareWindow, SizeAndPlacement) {
  int w = 640, h = 480;
  yywindowsizepos(20, 30, w, h, 1);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  RECT fr;
  GetWindowRect(winslot(0).wWindow, fr);
  EXPECT_EQ(fr.left, 20);
  EXPECT_EQ(fr.top, 30);
  int keepw = CENTRED, keeph = 300;
  yywindowsizepos(CENTRED, CENTRED, keepw, keeph, -1);
  EXPECT_EQ(keepw, 640) << "-999999 keeps the width";
  EXPECT_EQ(keeph, 300);
  int icon = 4242;
  yywindowtitle(icon, 1, "New caption");
  EXPECT_EQ(icon, -2);
  char title[40] = {};
  GetWindowText(winslot(0).wWindow, title, sizeof title);
  EXPECT_STREQ(title, "New caption");
}

}  // namespace
