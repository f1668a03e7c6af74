// Pictures whose figures lie a billion pixels away, replayed onto every surface a copy or a
// print goes to (a bitmap, the desktop clipboard's PNG and SVG, a printed PDF page): each
// replay finishes at once and draws the part that lies on the surface where it belongs.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "tests/hang_guard.h"

using namespace win;

namespace {

constexpr LONG kFar = 1000000000;

// Figures a billion pixels across: an ellipse and an arc, a pie, a polygon, a shaded
// triangle and a text far away; then, over them, a dashed line across the picture at y = 20
// from a billion pixels left to a billion right.
void drawFar(HDC dc) {
  HPEN dashed = CreatePen(PS_DASH, 1, RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, dashed);
  const POINT zigzag[] = {{-kFar, 40}, {kFar, 41}, {-kFar, 42}};
  Polyline(dc, zigzag, 3);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, -kFar, -kFar, kFar, kFar);
  Arc(dc, -kFar, 60, kFar, 2 * kFar, kFar, 60, -kFar, 60);
  Pie(dc, -kFar, -kFar, kFar, kFar, kFar, 0, 0, kFar);
  const POINT polygon[] = {{-kFar, -kFar}, {kFar, 80}, {-kFar, kFar}};
  Polygon(dc, polygon, 3);
  TRIVERTEX v[3];
  v[0].x = -kFar; v[0].y = -kFar;
  v[1].x = kFar; v[1].y = -kFar; v[1].Red = 0xFF00;
  v[2].x = 0; v[2].y = kFar; v[2].Blue = 0xFF00;
  GRADIENT_TRIANGLE t{0, 1, 2};
  GradientFill(dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE);
  TextOut(dc, kFar, kFar, "far away", 8);
  MoveToEx(dc, -kFar, 20, nullptr);
  LineTo(dc, kFar, 20);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(dashed);
}

HENHMETAFILE farMetafile() {
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr);
  drawFar(rec);
  return CloseEnhMetaFile(rec);
}

TEST(FarPicture, ClipboardSvgFinishesAndHoldsNoFarCoordinate) {
  HENHMETAFILE mf = farMetafile();
  ASSERT_NE(mf, nullptr);
  std::vector<BYTE> svg;
  {
    HangGuard guard("the SVG replay of a picture a billion pixels wide", 30);
    svg = RenderPictureSvg(200, 100, [&](HDC dc) {
      SetMapMode(dc, MM_TEXT);
      drawFar(dc);
    });
  }
  ASSERT_FALSE(svg.empty());
  const std::string text(svg.begin(), svg.end());
  // No coordinate reaches cairo's fixed-point limits.
  const std::regex far(R"([0-9]{8}(\.[0-9]*)?)");
  EXPECT_FALSE(std::regex_search(text, far)) << text.substr(0, 2000);
  // The shaded triangle makes the page an image; the dashed line alone stays a dashed path.
  {
    HangGuard guard("the SVG replay of a dashed line a billion pixels long", 30);
    svg = RenderPictureSvg(200, 100, [&](HDC dc) {
      HPEN dashed = CreatePen(PS_DASH, 1, RGB(0, 0, 0));
      HGDIOBJ oldPen = SelectObject(dc, dashed);
      MoveToEx(dc, -kFar, 20, nullptr);
      LineTo(dc, kFar, 20);
      SelectObject(dc, oldPen);
      DeleteObject(dashed);
    });
  }
  const std::string line(svg.begin(), svg.end());
  EXPECT_NE(line.find("stroke-dasharray"), std::string::npos) << line;
  EXPECT_FALSE(std::regex_search(line, far)) << line;
  {
    HangGuard guard("the SVG replay of an enhanced metafile a billion pixels wide", 30);
    svg = RenderPictureSvg(200, 100, [&](HDC dc) { PlayEnhMetaFile(dc, mf, RECT{0, 0, 200, 100}); });
  }
  EXPECT_FALSE(svg.empty());
  DeleteEnhMetaFile(mf);
}

TEST(FarPicture, BitmapAndPngFinishAndDashTheVisibleLine) {
  HENHMETAFILE mf = farMetafile();
  {
    HangGuard guard("the PNG replay of a picture a billion pixels wide", 30);
    EXPECT_FALSE(RenderEnhMetaFilePng(mf, 200, 100).empty());
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(200, 100, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bm);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, RECT{0, 0, 200, 100}, white);
  DeleteObject(white);
  {
    HangGuard guard("drawing a picture a billion pixels wide on a bitmap", 30);
    drawFar(dc);
  }
  // The dashed line at y = 20: 18 on, 6 off along its whole length.
  int ink = 0, runs = 0;
  bool before = false;
  for (int x = 0; x < 200; ++x) {
    const bool black = GetPixel(dc, x, 20) == RGB(0, 0, 0);
    ink += black;
    runs += black && !before;
    before = black;
  }
  EXPECT_NEAR(ink, 150, 20);
  EXPECT_GE(runs, 8);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bm);
  DeleteEnhMetaFile(mf);
}

}  // namespace
