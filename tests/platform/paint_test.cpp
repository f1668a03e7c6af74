// Painting: update regions, background erasing with the class brush, immediate updates,
// scrolling a window's contents, the frame drawn by the window layer, the scroll bars of a
// window, and reading and saving pixels.
#include <cairo.h>

#include <cstdio>
#include <filesystem>

#include "platform/surface.h"
#include "tests/platform/recorder.h"

using namespace win;
using rec::Fixture;

namespace {

const char* kNavyClass = "NavyBackground";

class PaintFixture : public Fixture {
 protected:
  void SetUp() override {
    Fixture::SetUp();
    WNDCLASS wc;
    wc.lpfnWndProc = rec::proc;
    wc.lpszClassName = kNavyClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1));
    ASSERT_NE(RegisterClass(wc), 0);
  }
  // Fills a client rectangle straight on the window's store, as a device context would.
  static void fill(HWND h, RECT r, COLORREF c) {
    WindowSurface s;
    ASSERT_TRUE(GetWindowSurface(h, false, s));
    cairo_t* cr = cairo_create(s.surface);
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
    cairo_rectangle(cr, s.origin.x + r.left, s.origin.y + r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
    cairo_destroy(cr);
  }
  static RECT updateRect(HWND h) {
    RECT r{};
    GetUpdateRect(h, &r, FALSE);
    return r;
  }
};

using BeginPaintTest = PaintFixture;

TEST_F(BeginPaintTest, PaintsTheAccumulatedRegionOnce) {
  HWND h = frame("P", 0, 0, 300, 200, WS_POPUP | WS_VISIBLE);
  test::runUntilIdle();
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
  RECT a{10, 10, 20, 20}, b{50, 40, 60, 70};
  InvalidateRect(h, &a, FALSE);
  InvalidateRect(h, &b, FALSE);
  RECT got{};
  PAINTSTRUCT seenPs{};
  rec::handler() = [&](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_PAINT) return false;
    BeginPaint(hwnd, seenPs);
    got = seenPs.rcPaint;
    EndPaint(hwnd, seenPs);
    r = 0;
    return true;
  };
  rec::log().clear();
  test::runUntilIdle();
  EXPECT_EQ(rec::messages(h, {WM_PAINT}).size(), 1u);
  EXPECT_EQ(got, (RECT{10, 10, 60, 70}));
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
  // Validating part of the area leaves the rest.
  InvalidateRect(h, nullptr, FALSE);
  RECT left{0, 0, 150, 200};
  ValidateRect(h, &left);
  EXPECT_EQ(updateRect(h), (RECT{150, 0, 300, 200}));
  ValidateRect(h, nullptr);
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
}

TEST_F(BeginPaintTest, EraseUsesTheClassBrushInsideTheUpdateRegionOnly) {
  HWND h = frame("E", 0, 0, 200, 100, WS_POPUP | WS_VISIBLE, kNavyClass);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(h, 100, 50), GetSysColor(COLOR_HIGHLIGHT));
  fill(h, RECT{0, 0, 200, 100}, RGB(255, 0, 0));
  RECT part{0, 0, 50, 100};
  InvalidateRect(h, &part, TRUE);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(h, 10, 50), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(test::pixel(h, 150, 50), RGB(255, 0, 0));
  // Without the erase flag the old pixels stay.
  fill(h, RECT{0, 0, 200, 100}, RGB(0, 255, 0));
  InvalidateRect(h, &part, FALSE);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(h, 10, 50), RGB(0, 255, 0));
}

TEST_F(BeginPaintTest, HiddenWindowsAreNotPaintedUntilShown) {
  HWND h = frame("H", 0, 0, 100, 100, WS_POPUP);
  InvalidateRect(h, nullptr, TRUE);
  rec::log().clear();
  test::runUntilIdle();
  EXPECT_TRUE(rec::messages(h, {WM_PAINT}).empty());
  ShowWindow(h, SW_SHOWNA);
  test::runUntilIdle();
  EXPECT_EQ(rec::messages(h, {WM_PAINT}).size(), 1u);
}

using UpdateWindowTest = PaintFixture;

TEST_F(UpdateWindowTest, PaintsAtOnceOutsideTheQueue) {
  HWND h = frame("U", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND c = child(h, 1, 0, 0, 50, 50);
  test::runUntilIdle();
  PostMessage(h, WM_USER, 0, 0);
  InvalidateRect(h, nullptr, FALSE);   // no clip-children style: the child is invalid too
  rec::log().clear();
  UpdateWindow(h);
  EXPECT_EQ(rec::messages(nullptr, {WM_PAINT, WM_USER}), std::vector<UINT>{WM_PAINT});
  EXPECT_TRUE(GetUpdateRect(c, nullptr, FALSE));
  RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_FALSE(GetUpdateRect(c, nullptr, FALSE));
}

TEST_F(UpdateWindowTest, ClipChildrenKeepsChildrenValid) {
  HWND h = frame("U", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  HWND c = child(h, 1, 0, 0, 50, 50);
  test::runUntilIdle();
  InvalidateRect(h, nullptr, TRUE);
  EXPECT_FALSE(GetUpdateRect(c, nullptr, FALSE));
}

using ScrollWindowExTest = PaintFixture;

TEST_F(ScrollWindowExTest, MovesPixelsAndChildrenAndInvalidatesTheUncoveredStrip) {
  HWND h = frame("S", 0, 0, 200, 100, WS_POPUP | WS_VISIBLE, kNavyClass);
  HWND c = child(h, 1, 10, 10, 20, 20);
  test::runUntilIdle();
  fill(h, RECT{0, 0, 200, 100}, RGB(255, 255, 255));
  fill(h, RECT{40, 0, 50, 100}, RGB(255, 0, 0));   // a red column at x 40-49
  RECT uncovered{};
  const int kind = ScrollWindowEx(h, 30, 0, nullptr, nullptr, nullptr, &uncovered, SW_INVALIDATE | SW_SCROLLCHILDREN);
  EXPECT_EQ(kind, SIMPLEREGION);
  EXPECT_EQ(uncovered, (RECT{0, 0, 30, 100}));
  EXPECT_EQ(updateRect(h), (RECT{0, 0, 30, 100}));
  EXPECT_EQ(test::pixel(h, 75, 50), RGB(255, 0, 0));
  EXPECT_EQ(test::pixel(h, 45, 50), RGB(255, 255, 255));
  RECT r;
  GetWindowRect(c, r);
  EXPECT_EQ(r.left, 40);
  // Scrolling back past the edge invalidates the right-hand strip instead.
  ValidateRect(h, nullptr);
  ScrollWindowEx(h, -50, 0, nullptr, nullptr, nullptr, &uncovered, SW_INVALIDATE);
  EXPECT_EQ(uncovered, (RECT{150, 0, 200, 100}));
  EXPECT_EQ(test::pixel(h, 25, 50), RGB(255, 0, 0));
}

using GetWindowSurfaceTest = PaintFixture;

long long visibleArea(const WindowSurface& s) {
  long long a = 0;
  for (const RECT& r : s.visible) a += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
  return a;
}

TEST_F(GetWindowSurfaceTest, VisiblePartFollowsParentsChildrenAndSiblings) {
  HWND top = frame("T", 100, 100, 200, 200, WS_POPUP | WS_VISIBLE);
  HWND a = child(top, 1, 150, 150, 100, 100);                           // half outside the parent
  HWND clipper = child(top, 2, 0, 0, 100, 100, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
  child(clipper, 3, 0, 0, 50, 50);
  HWND low = child(top, 4, 0, 120, 40, 40, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  HWND high = child(top, 5, 20, 120, 40, 40);
  SetWindowPos(high, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  WindowSurface s;
  ASSERT_TRUE(GetWindowSurface(a, false, s));
  EXPECT_EQ(s.origin, (POINT{150, 150}));
  EXPECT_EQ(s.size.cx, 100);
  EXPECT_EQ(visibleArea(s), 50 * 50);
  ASSERT_TRUE(GetWindowSurface(clipper, false, s));
  EXPECT_EQ(visibleArea(s), 100 * 100 - 50 * 50);
  ASSERT_TRUE(GetWindowSurface(low, false, s));
  EXPECT_EQ(visibleArea(s), 20 * 40);   // the sibling above covers the rest
  ShowWindow(top, SW_HIDE);
  ASSERT_TRUE(GetWindowSurface(a, false, s));
  EXPECT_TRUE(s.visible.empty());
}

using FrameDrawingTest = PaintFixture;

TEST_F(FrameDrawingTest, CaptionShowsActivation) {
  HWND a = frame("First", 0, 0, 300, 200);
  HWND b = frame("Second", 400, 0, 300, 200);
  test::runUntilIdle();
  NcLayout l;
  ASSERT_TRUE(GetNcLayout(a, l));
  const int x = l.caption.right - 80, y = l.caption.top + 2;
  EXPECT_EQ(test::pixel(b, x, y, false), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(test::pixel(a, x, y, false), GetSysColor(COLOR_INACTIVECAPTION));
  SetActiveWindow(a);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(a, x, y, false), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(test::pixel(b, x, y, false), GetSysColor(COLOR_INACTIVECAPTION));
  // The title is written in the caption.
  int w = 0, h = 0;
  std::vector<COLORREF> px = test::pixels(a, false, w, h);
  int textPixels = 0;
  for (int yy = l.caption.top; yy < l.caption.bottom; ++yy)
    for (int xx = l.caption.left; xx < l.caption.left + 60; ++xx)
      if (px[static_cast<std::size_t>(yy * w + xx)] != GetSysColor(COLOR_ACTIVECAPTION)) ++textPixels;
  EXPECT_GT(textPixels, 20);
}

TEST_F(FrameDrawingTest, SavedPngHasTheWindowSize) {
  HWND h = frame("Png", 0, 0, 120, 80, WS_POPUP | WS_VISIBLE | WS_BORDER, kNavyClass);
  test::runUntilIdle();
  const std::string path = (std::filesystem::temp_directory_path() / "tw_window_test.png").string();
  ASSERT_TRUE(test::savePng(h, path));
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(s), 120);
  EXPECT_EQ(cairo_image_surface_get_height(s), 80);
  cairo_surface_destroy(s);
  std::remove(path.c_str());
}

using SetScrollInfoTest = PaintFixture;

TEST_F(SetScrollInfoTest, BarAppearsWithARangeAndItsArrowsAndThumbScroll) {
  HWND h = frame("Bar", 0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  test::runUntilIdle();
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 200;   // past the end: held at max - page + 1
  rec::log().clear();
  EXPECT_EQ(SetScrollInfo(h, SB_VERT, si, TRUE), 90);
  RECT c;
  GetClientRect(h, c);
  EXPECT_EQ(c.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(rec::messages(h, {WM_SIZE}).size(), 1u);
  SetScrollPos(h, SB_VERT, 0, TRUE);

  // Down arrow at the bottom of the bar.
  rec::log().clear();
  test::click(195, 195);
  test::runUntilIdle();
  std::vector<WORD> codes;
  for (const rec::Entry& e : rec::log())
    if (e.msg == WM_VSCROLL) codes.push_back(LOWORD(e.wParam));
  EXPECT_EQ(codes, (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL}));

  // Dragging the thumb (at the top of the track) half way down.
  rec::log().clear();
  test::advanceTime(1000);
  test::mouseDown(test::Button::Left, 195, 20);
  test::mouseMove(195, 100);
  test::mouseUp(test::Button::Left, 195, 100);
  test::runUntilIdle();
  codes.clear();
  int last = -1;
  for (const rec::Entry& e : rec::log())
    if (e.msg == WM_VSCROLL) {
      codes.push_back(LOWORD(e.wParam));
      if (LOWORD(e.wParam) == SB_THUMBPOSITION) last = HIWORD(e.wParam);
    }
  EXPECT_EQ(codes, (std::vector<WORD>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
  EXPECT_GT(last, 30);
  EXPECT_LT(last, 60);

  // A range that fits the page removes the bar again.
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 5;
  SetScrollInfo(h, SB_VERT, si, TRUE);
  GetClientRect(h, c);
  EXPECT_EQ(c.right, 200);
}

}  // namespace
