// An arc is the outline part of a pie: only the curve from the start ray counterclockwise to
// the end ray, with neither radii nor fill, whatever brush is selected.
#include <gtest/gtest.h>

#include "platform/gdi.h"

namespace {

using namespace win;

TEST(Arc, DrawsOnlyTheCurveBetweenItsRays) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(21, 21, 1, 32, nullptr);
  HGDIOBJ oldBitmap = SelectObject(dc, bm);
  RECT all{0, 0, 21, 21};
  FillRect(dc, all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  // A circle about (10, 10); from the ray to the right round to the ray upwards.
  EXPECT_TRUE(Arc(dc, 0, 0, 21, 21, 20, 10, 10, 0));
  auto inked = [&](int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += GetPixel(dc, x, y) == RGB(0, 0, 0) ? 1 : 0;
    return n;
  };
  struct Part {
    const char* why;
    int x0, y0, x1, y1;
    bool ink;
  };
  const Part parts[] = {
      {"the upper right quarter of the curve", 12, 0, 21, 9, true},
      {"the upper left quarter", 0, 0, 9, 9, false},
      {"the lower left quarter", 0, 12, 9, 21, false},
      {"the lower right quarter", 12, 12, 21, 21, false},
      {"no radius along the middle row or column, no fill", 5, 5, 16, 16, false},
  };
  for (const Part& p : parts) {
    SCOPED_TRACE(p.why);
    if (p.ink) EXPECT_GT(inked(p.x0, p.y0, p.x1, p.y1), 8);
    else EXPECT_EQ(inked(p.x0, p.y0, p.x1, p.y1), 0);
  }
  // The 45-degree point lies on the curve.
  EXPECT_GT(inked(16, 2, 19, 5), 0);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldBitmap);
  DeleteObject(bm);
  DeleteDC(dc);
}

}  // namespace
