// Window device contexts on the headless backend: drawing reaches the window's backing store
// and stays there, a paint DC is clipped to the update region, a child's DC to the child.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/gdi.h"
#include "platform/test_api.h"
#include "platform/win.h"

namespace {

using namespace win;

std::function<void(HWND, PAINTSTRUCT&)> gPaint;

LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT && gPaint) {
    PAINTSTRUCT ps;
    BeginPaint(h, ps);
    gPaint(h, ps);
    EndPaint(h, ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

class WindowDc : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    gPaint = nullptr;
    WNDCLASS wc;
    wc.lpfnWndProc = proc;
    wc.lpszClassName = "GdiTestWindow";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    ASSERT_NE(RegisterClass(wc), 0);
    top = CreateWindowEx(0, "GdiTestWindow", "Drawing", WS_POPUP | WS_VISIBLE, 100, 100, 60, 40,
                         nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    test::runUntilIdle();
  }
  void TearDown() override {
    gPaint = nullptr;
    test::reset();
  }
  HWND top = nullptr;
};

using GetDCTest = WindowDc;
using BeginPaintTest = WindowDc;

TEST_F(GetDCTest, DrawingOutsidePaintStaysInTheBackingStore) {
  // The class brush is a GDI brush: the window layer reads its colour through the hook.
  EXPECT_EQ(test::pixel(top, 5, 5), RGB(255, 255, 255));
  HDC dc = GetDC(top);
  ASSERT_NE(dc, nullptr);
  SelectObject(dc, GetStockObject(NULL_PEN));
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  Rectangle(dc, 10, 10, 21, 21);  // no pen: 10..19
  EXPECT_EQ(ReleaseDC(top, dc), 1);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(top, 10, 10), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 19, 19), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 20, 20), RGB(255, 255, 255));
  RECT clip;
  HDC again = GetDC(top);
  EXPECT_EQ(GetClipBox(again, clip), SIMPLEREGION);
  EXPECT_EQ(clip, (RECT{0, 0, 60, 40}));
  ReleaseDC(top, again);
}

TEST_F(BeginPaintTest, DcIsClippedToTheUpdateRegion) {
  gPaint = [](HWND, PAINTSTRUCT& ps) {
    RECT all{0, 0, 60, 40};
    FillRect(ps.hdc, all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  };
  RECT bad{30, 5, 40, 15};
  InvalidateRect(top, &bad, FALSE);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(top, 30, 5), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 39, 14), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 29, 5), RGB(255, 255, 255));
  EXPECT_EQ(test::pixel(top, 40, 15), RGB(255, 255, 255));
}

TEST_F(GetDCTest, ChildDcDrawsInsideTheChildOnly) {
  HWND child = CreateWindowEx(0, "GdiTestWindow", "", WS_CHILD | WS_VISIBLE, 20, 10, 10, 10, top,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  test::runUntilIdle();
  HDC dc = GetDC(child);
  ASSERT_NE(dc, nullptr);
  RECT huge{-50, -50, 200, 200};
  FillRect(dc, huge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(child, dc);
  EXPECT_EQ(test::pixel(top, 20, 10), RGB(0, 0, 0));  // the child's (0, 0)
  EXPECT_EQ(test::pixel(top, 29, 19), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 19, 10), RGB(255, 255, 255));
  EXPECT_EQ(test::pixel(top, 30, 20), RGB(255, 255, 255));
  // Regions cross the boundary of the two layers: an invalidated region paints.
  HRGN r = CreateRectRgn(0, 0, 5, 5);
  EXPECT_TRUE(InvalidateRgn(top, r, TRUE));
  DeleteObject(r);
}

// A child hanging past the right and bottom edges of its top-level window: a copy of the
// child's area takes what the store holds and nothing from beyond it (once the next row's
// first pixels, and at the bottom memory past the store).
TEST_F(GetDCTest, CopyFromAChildPastTheStoreReadsOnlyTheStore) {
  HWND child = CreateWindowEx(0, "GdiTestWindow", "", WS_CHILD | WS_VISIBLE, 40, 20, 50, 50, top,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  test::runUntilIdle();
  HDC topdc = GetDC(top);
  RECT left{0, 0, 20, 40};
  FillRect(topdc, left, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));   // the rows' starts
  ReleaseDC(top, topdc);
  HDC dc = GetDC(child);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 50, 50);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT all{0, 0, 50, 50};
  FillRect(mem, all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_TRUE(BitBlt(mem, 0, 0, 50, 50, dc, 0, 0, SRCCOPY));
  int dark = 0;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) dark += GetPixel(mem, x, y) == RGB(0, 0, 0) ? 1 : 0;
  EXPECT_EQ(dark, 0) << "pixels from outside the store";
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(child, dc);
}

}  // namespace

namespace {

TEST(GetSysColorBrush, SolidBrushOfTheSystemColourKeptForTheRun) {
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(face, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_FALSE(DeleteObject(face));
  EXPECT_EQ(GetSysColorBrush(-1), nullptr);
}

}  // namespace

namespace {

// The toolkit sizes fonts from the screen's dots per inch, read on the screen DC.
TEST_F(GetDCTest, ScreenDcAnswersQueries) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1280);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  TEXTMETRIC tm;
  EXPECT_TRUE(GetTextMetrics(screen, tm));
  EXPECT_EQ(SetPixel(screen, 1, 1, RGB(0, 0, 0)), CLR_INVALID);  // nothing to draw on
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

}  // namespace

namespace {

// Bitmaps of tests/fixtures/rc-bitmaps.rc, compiled into this program.
TEST(LoadBitmap, ReadsEveryDepthTopRowFirst) {
  struct Case {
    const char* why;
    int id;
    int width, height, bitsPixel;
    std::vector<COLORREF> pixels;  // rows from the top
  };
  const COLORREF R = RGB(255, 0, 0), G = RGB(0, 255, 0), B = RGB(0, 0, 255), W = RGB(255, 255, 255),
                 K = RGB(0, 0, 0), Y = RGB(255, 255, 0);
  const Case cases[] = {
      {"24 bits, bottom row first in the resource", 1, 2, 2, 32, {B, W, R, G}},
      {"black and white: a monochrome bitmap", 2, 8, 2, 1, {W, K, W, W, K, K, K, W, K, W, K, K, W, W, W, K}},
      {"8 bits through the colour table, stored top row first", 3, 3, 2, 32, {R, G, B, B, G, R}},
      {"4 bits, high nibble first", 4, 2, 1, 32, {Y, K}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    HBITMAP bm = LoadBitmap(nullptr, MAKEINTRESOURCE(c.id));
    ASSERT_NE(bm, nullptr);
    BITMAP info;
    GetObject(bm, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, c.width);
    EXPECT_EQ(info.bmHeight, c.height);
    EXPECT_EQ(info.bmBitsPixel, c.bitsPixel);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    std::vector<COLORREF> got;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) got.push_back(GetPixel(dc, x, y));
    EXPECT_EQ(got, c.pixels);
    DeleteDC(dc);
    DeleteObject(bm);
  }
  EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(99)), nullptr);  // none
  EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(5)), nullptr);   // an RCDATA is no bitmap
  EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(6)), nullptr);   // rows missing from the resource
}

}  // namespace

namespace {

// The rules hold on a window's store as on a bitmap, at the window's place in it.
TEST_F(GetDCTest, PixelRulesHoldAtTheChildsOffset) {
  HWND child = CreateWindowEx(0, "GdiTestWindow", "", WS_CHILD | WS_VISIBLE, 20, 10, 20, 20, top,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  test::runUntilIdle();
  HDC dc = GetDC(child);
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, 5, 0);                        // end pixel left out
  SetViewportOrgEx(dc, 10, 10, nullptr);   // logical (0, 0) at the child's (10, 10)
  SelectObject(dc, GetStockObject(NULL_PEN));
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  Rectangle(dc, 0, 0, 3, 3);               // no pen: 2 x 2
  ReleaseDC(child, dc);
  EXPECT_EQ(test::pixel(top, 20, 10), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 24, 10), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 25, 10), RGB(255, 255, 255));
  EXPECT_EQ(test::pixel(top, 30, 20), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 31, 21), RGB(0, 0, 0));
  EXPECT_EQ(test::pixel(top, 32, 22), RGB(255, 255, 255));
}

}  // namespace

namespace {

TEST(FillRect, SystemColourIndexPlusOneStandsForItsBrush) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(2, 2, 1, 32, nullptr);
  SelectObject(dc, bm);
  RECT r{0, 0, 2, 2};
  EXPECT_EQ(FillRect(dc, r, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1))), 1);
  EXPECT_EQ(GetPixel(dc, 1, 1), GetSysColor(COLOR_BTNFACE));
  DeleteDC(dc);
  DeleteObject(bm);
}

}  // namespace
