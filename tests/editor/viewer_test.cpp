// The bitmap viewer: a child window showing a numbered bitmap, the frame fitted to it, scrolling by keys, bars, wheel and dragging with the type-15 events, the viewer's information, the bitmap kept while shown, modes and refusals.
#include "toolkit/editor/viewer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/screen/bitmaps.h"
#include "toolkit/window/childwin.h"

namespace {

using twtest::ScreenFixture;
using namespace win;

class Viewer : public ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    openScreen(600, 400);
    wmessageenable(EV_VIEWERSCROLLED, 1);
    wmessageenable(EV_CLOSE, 1);
  }
  void TearDown() override {
    for (int w = 1; w < MAXWINDOWS; ++w)
      if (winslot(w).wWindow != nullptr) WindowCloseChild(w);
    for (int s = 0; s < 50; ++s) {
      int r = 0;
      yybitmapdestroy(s, r);
    }
    ScreenFixture::TearDown();
  }
  // A child window of the given client size, made current.
  static int child(int width, int height) {
    WindowOpenChildOptions o;
    o.width = width;
    o.height = height;
    int n = 0;
    WindowOpenChild(n, o);
    EXPECT_GT(n, 0);
    return n;
  }
  // A bitmap whose pixel (x, y) is coloured by x and y, so a scroll position shows in the
  // colour of the view's top-left pixel.
  static int gradient(int width, int height) {
    int number = 0;
    yybitmapcreate(number, width, height, 0xFFFFFF);
    std::vector<int> data(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) data[static_cast<std::size_t>(y * width + x)] = (x % 256) + 256 * (y % 256);
    int r = -1;
    yybitmapgetdata(number - 1, data, 0, 0, width - 1, height - 1, r);
    return number - 1;
  }
  static HWND viewof(int w) {
    const FrameRecord* r = yyframerecord(winslot(w).wWindow);
    return r != nullptr ? LongToHandle<HWND>(r->word[BV_VIEWER]) : nullptr;
  }
  static int info(int w, int item) {
    int v = -1;
    yybitmapinfo(w, item, v);
    return v;
  }
  // The colour at the view's top-left pixel: red = scroll x, green = scroll y.
  static COLORREF corner(int w) { return test::pixel(viewof(w), 0, 0); }
};

TEST_F(Viewer, ASmallBitmapFitsTheFrameAndNeedsNoScrolling) {
  const int w = child(300, 200);
  const int slot = gradient(120, 80);
  int mode = 2, result = -1;
  yybitmapview(slot, 0, 0, mode, 0, result);
  ASSERT_EQ(result, 0);
  HWND view = viewof(w);
  ASSERT_NE(view, nullptr);
  RECT c;
  GetClientRect(view, c);
  EXPECT_EQ(c.right, 120) << "the frame shrinks to show the bitmap exactly";
  EXPECT_EQ(c.bottom, 80);
  EXPECT_EQ(info(w, 3), slot + 1);
  EXPECT_EQ(info(w, 101), 120);
  EXPECT_EQ(info(w, 102), 80);
  EXPECT_EQ(yybitmapisviewer(slot), w);
  EXPECT_EQ(info(w, 103), 80) << "no scroll bar below";
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(view, 10, 20), RGB(10, 20, 0));
  int destroyed = -1;
  yybitmapdestroy(slot, destroyed);
  EXPECT_EQ(destroyed, 1036) << "a bitmap shown in a viewer stays";
  EXPECT_EQ(info(0, 101), 0) << "the root window is no viewer";
}

TEST_F(Viewer, KeysBarsWheelAndDraggingScroll) {
  const int w = child(200, 150);
  const int slot = gradient(600, 500);
  int mode = 2, result = -1;
  yybitmapview(slot, 0, 0, mode, 3, result);
  ASSERT_EQ(result, 0);
  HWND view = viewof(w);
  SetFocus(view);
  RECT c;
  GetClientRect(view, c);
  const int pagey = c.bottom, pagex = c.right;

  test::pressKey(VK_RIGHT);
  test::pressKey(VK_DOWN);
  test::runUntilIdle();
  EXPECT_EQ(info(w, 4), 1);
  EXPECT_EQ(info(w, 5), 1);
  EXPECT_EQ(corner(w), RGB(1, 1, 0));
  test::pressKey(VK_NEXT);
  test::runUntilIdle();
  EXPECT_EQ(info(w, 5), 1 + pagey);
  test::pressKey(VK_END, 1u << 1);   // Ctrl: to the right end
  test::runUntilIdle();
  EXPECT_EQ(info(w, 4), 600 - pagex);
  EXPECT_EQ(info(w, 103), info(w, 5) + pagey + GetSystemMetrics(SM_CYHSCROLL)) << "with the bar below";
  test::pressKey(VK_HOME, 1u << 1);
  test::pressKey(VK_PRIOR, 1u << 1);
  test::runUntilIdle();
  EXPECT_EQ(info(w, 4), 0);
  EXPECT_EQ(info(w, 5), 0);

  // The wheel scrolls down; a drag moves the picture with the mouse.
  POINT p{50, 50};
  ClientToScreen(view, p);
  test::wheel(p.x, p.y, -1);
  test::runUntilIdle();
  EXPECT_GT(info(w, 5), 0);
  SendMessage(view, WM_VSCROLL, SB_TOP, 0);
  const int before = info(w, 5);
  test::mouseDown(test::Button::Left, p.x, p.y);
  test::mouseMove(p.x - 30, p.y - 20);
  test::mouseUp(test::Button::Left, p.x - 30, p.y - 20);
  test::runUntilIdle();
  EXPECT_EQ(info(w, 4), 30);
  EXPECT_EQ(info(w, 5), std::max(before, 0) + 20);
  EXPECT_EQ(corner(w), RGB(30, (before + 20) % 256, 0));

  // Each change raised a scroll event with the new positions.
  PostMessage(view, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 77), 0);
  MessageRecord m;
  int type = 0;
  wmessage(type, m);
  EXPECT_EQ(type, EV_VIEWERSCROLLED);
  EXPECT_EQ(m.value1, 77);
  EXPECT_EQ(m.value2, info(w, 5));
}

TEST_F(Viewer, RefusalsAndTheCloseEvent) {
  const int slot = gradient(50, 50);
  int mode = 2, result = -1;
  yybitmapview(slot, 0, 0, mode, 0, result);
  EXPECT_EQ(result, 1) << "not in the root window";
  const int w = child(100, 100);
  yybitmapview(42, 0, 0, mode, 0, result);
  EXPECT_EQ(result, 2);
  yybitmapview(slot, 0, 0, mode, 0, result);
  ASSERT_EQ(result, 0);
  // Showing another bitmap in the same viewer replaces the picture.
  const int other = gradient(60, 40);
  yybitmapview(other, 0, 0, mode, 0, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(info(w, 3), other + 1);
  EXPECT_EQ(yybitmapisviewer(slot), 0);
  int destroyed = -1;
  yybitmapdestroy(slot, destroyed);
  EXPECT_EQ(destroyed, 0);

  PostMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
  MessageRecord m;
  int type = 0;
  for (int k = 0; k < 5 && type != EV_CLOSE; ++k) wmessage(type, m);   // resizes come first
  EXPECT_EQ(type, EV_CLOSE);
  EXPECT_EQ(m.window, w);
  WindowCloseChild(w);
  EXPECT_EQ(yybitmapisviewer(other), 0) << "the viewer went with its window";
}

}  // namespace

namespace {

// A modal viewer keeps control until its window is closed: keys scroll it meanwhile.
TEST_F(Viewer, AModalViewerReturnsWhenClosed) {
  const int w = child(150, 100);
  const int slot = gradient(400, 300);
  int step = 0, seen = -1;
  test::setIdleHook([&] {
    if (step == 0) test::pressKey(VK_DOWN);
    if (step == 1) {
      seen = info(w, 5);
      PostMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
    }
    ++step;
  });
  int mode = 1, result = -1;
  yybitmapview(slot, 0, 0, mode, 0, result);
  test::setIdleHook(nullptr);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(seen, 1) << "the arrow key scrolled a modal viewer without being asked to";
  EXPECT_EQ(winslot(w).wWindow, nullptr) << "closing a modal viewer closes its window";
  EXPECT_EQ(yybitmapisviewer(slot), 0);
}

}  // namespace
