// Pixel rules of the drawing layer on memory bitmaps: every expected picture below is drawn
// by hand from the rules in docs/gdi.md ('.' white, '#' black, other letters as the test says).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace {

using namespace win;
using Picture = std::vector<std::string>;

// A white colour bitmap of w x h in a memory DC.
class Canvas {
 public:
  Canvas(int w, int h, bool mono = false) : w_(w), h_(h) {
    dc = CreateCompatibleDC(nullptr);
    bm = mono ? CreateBitmap(w, h, 1, 1, nullptr) : CreateBitmap(w, h, 1, 32, nullptr);
    old = SelectObject(dc, bm);
    clear(RGB(255, 255, 255));
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
  }
  void clear(COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT r{0, 0, w_, h_};
    FillRect(dc, r, b);
    DeleteObject(b);
  }
  // One character per pixel through the legend; '?' for colours it lacks.
  Picture picture(const std::map<COLORREF, char>& extra = {}) const {
    std::map<COLORREF, char> legend{{RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}};
    legend.insert(extra.begin(), extra.end());
    Picture p;
    for (int y = 0; y < h_; ++y) {
      std::string row;
      for (int x = 0; x < w_; ++x) {
        auto it = legend.find(GetPixel(dc, x, y));
        row += it == legend.end() ? '?' : it->second;
      }
      p.push_back(row);
    }
    return p;
  }
  HDC dc;
  HBITMAP bm;
  HGDIOBJ old;

 private:
  int w_, h_;
};

std::string show(const Picture& p) {
  std::string s = "\n";
  for (const auto& r : p) s += r + "\n";
  return s;
}

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

TEST(LineTo, LeavesTheEndPixelOut) {
  struct Case {
    const char* why;
    POINT from, to;
    Picture want;
  };
  const Case cases[] = {
      {"horizontal", {1, 1}, {5, 1}, {"......", ".####.", "......"}},
      {"leftwards: the start pixel is drawn, the end pixel not", {5, 1}, {1, 1}, {"......", "..####", "......"}},
      {"vertical", {2, 0}, {2, 3}, {"..#...", "..#...", "..#...", "......"}},
      {"diagonal", {0, 0}, {3, 3}, {"#.....", ".#....", "..#...", "......"}},
      {"half steps go to the larger coordinate", {0, 0}, {4, 1}, {"##....", "..##..", "......"}},
      {"the same pixels drawn the other way", {4, 1}, {0, 0}, {".#....", "..###.", "......"}},
      {"a line to its own start draws nothing", {2, 1}, {2, 1}, {"......", "......", "......"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Canvas cv(6, static_cast<int>(c.want.size()));
    MoveToEx(cv.dc, c.from.x, c.from.y, nullptr);
    LineTo(cv.dc, c.to.x, c.to.y);
    EXPECT_EQ(show(cv.picture()), show(c.want));
    POINT cur;
    GetCurrentPositionEx(cv.dc, cur);
    EXPECT_EQ(cur, c.to);
  }
}

TEST(Rectangle, PenOutlineAndNullPenOneShorter) {
  Canvas cv(7, 6);
  HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
  HGDIOBJ oldBrush = SelectObject(cv.dc, grey);
  Rectangle(cv.dc, 1, 1, 6, 5);
  const std::map<COLORREF, char> legend{{RGB(128, 128, 128), 'o'}};
  EXPECT_EQ(show(cv.picture(legend)), show({".......",
                                           ".#####.",
                                           ".#ooo#.",
                                           ".#ooo#.",
                                           ".#####.",
                                           "......."}));
  // Without a pen the fill stops one pixel short on the right and at the bottom.
  cv.clear(RGB(255, 255, 255));
  SelectObject(cv.dc, GetStockObject(NULL_PEN));
  Rectangle(cv.dc, 1, 1, 6, 5);
  EXPECT_EQ(show(cv.picture(legend)), show({".......",
                                           ".oooo..",
                                           ".oooo..",
                                           ".oooo..",
                                           ".......",
                                           "......."}));
  SelectObject(cv.dc, oldBrush);
  DeleteObject(grey);
}

TEST(Rectangle, WidePenIsCentredOnTheOutline) {
  Canvas cv(9, 9);
  HPEN wide = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
  HGDIOBJ old = SelectObject(cv.dc, wide);
  SelectObject(cv.dc, GetStockObject(NULL_BRUSH));
  Rectangle(cv.dc, 2, 2, 7, 7);
  EXPECT_EQ(show(cv.picture()), show({".........",
                                     ".#######.",
                                     ".#######.",
                                     ".#######.",
                                     ".###.###.",
                                     ".#######.",
                                     ".#######.",
                                     ".#######.",
                                     "........."}));
  SelectObject(cv.dc, old);
  DeleteObject(wide);
}

TEST(Ellipse, PixelCentresInsideTheInscribedEllipse) {
  Canvas cv(9, 7);
  HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
  SelectObject(cv.dc, grey);
  Ellipse(cv.dc, 1, 1, 8, 6);
  const std::map<COLORREF, char> legend{{RGB(128, 128, 128), 'o'}};
  EXPECT_EQ(show(cv.picture(legend)), show({".........",
                                           "..#####..",
                                           ".#ooooo#.",
                                           ".#ooooo#.",
                                           ".#ooooo#.",
                                           "..#####..",
                                           "........."}));
  // Without a pen: one pixel shorter, as rectangles.
  cv.clear(RGB(255, 255, 255));
  SelectObject(cv.dc, GetStockObject(NULL_PEN));
  Ellipse(cv.dc, 1, 1, 9, 7);
  EXPECT_EQ(show(cv.picture(legend)), show({".........",
                                           "..ooooo..",
                                           ".ooooooo.",
                                           ".ooooooo.",
                                           ".ooooooo.",
                                           "..ooooo..",
                                           "........."}));
  SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(grey);
}

TEST(Polygon, AlternateLeavesTheOverlapOpenWindingFillsIt) {
  // Two squares traced the same way round, as one figure of two polygons.
  const POINT pts[] = {{1, 1}, {7, 1}, {7, 7}, {1, 7}, {3, 3}, {5, 3}, {5, 5}, {3, 5}};
  const int counts[] = {4, 4};
  struct Case {
    const char* why;
    int mode;
    Picture want;
  };
  const Case cases[] = {
      {"alternate: the inner square is a hole", ALTERNATE,
       {"........", ".oooooo.", ".oooooo.", ".oo..oo.", ".oo..oo.", ".oooooo.", ".oooooo.", "........"}},
      {"winding: both go round the same way, so the inner square is filled", WINDING,
       {"........", ".oooooo.", ".oooooo.", ".oooooo.", ".oooooo.", ".oooooo.", ".oooooo.", "........"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Canvas cv(8, 8);
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    SelectObject(cv.dc, grey);
    SelectObject(cv.dc, GetStockObject(NULL_PEN));
    SetPolyFillMode(cv.dc, c.mode);
    PolyPolygon(cv.dc, pts, counts, 2);
    EXPECT_EQ(show(cv.picture({{RGB(128, 128, 128), 'o'}})), show(c.want));
    SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(grey);
  }
}

TEST(Polygon, PenClosesTheOutlineIncludingRightAndBottomEdges) {
  Canvas cv(6, 5);
  const POINT tri[] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}};
  Polygon(cv.dc, tri, 4);
  EXPECT_EQ(show(cv.picture()), show({"......", ".####.", ".#..#.", ".####.", "......"}));
}

TEST(SelectClipRgn, DrawingStaysInsideTheRegion) {
  Canvas cv(8, 8);
  HRGN clip = CreateRectRgn(2, 2, 6, 5);
  SelectClipRgn(cv.dc, clip);
  DeleteObject(clip);  // the DC keeps its own copy
  RECT all{0, 0, 8, 8};
  FillRect(cv.dc, all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ExcludeClipRect(cv.dc, 3, 3, 4, 4);
  SelectClipRgn(cv.dc, nullptr);
  EXPECT_EQ(show(cv.picture()), show({"........", "........", "..####..", "..####..", "..####..",
                                     "........", "........", "........"}));
  EXPECT_EQ(GetPixel(cv.dc, 3, 3), RGB(0, 0, 0));

  // An elliptic clip, and a hole cut out of it.
  cv.clear(RGB(255, 255, 255));
  HRGN ell = CreateEllipticRgn(0, 0, 8, 6);
  SelectClipRgn(cv.dc, ell);
  ExcludeClipRect(cv.dc, 3, 2, 4, 3);
  FillRect(cv.dc, all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetPixel(cv.dc, 7, 0), CLR_INVALID);  // outside the clip: no reading either
  SelectClipRgn(cv.dc, nullptr);
  EXPECT_EQ(show(cv.picture()), show({".#####..", "#######.", "###.###.", "#######.", ".#####..",
                                     "........", "........", "........"}));
  DeleteObject(ell);
}

TEST(SetROP2, EveryModeCombinesPenAndDestination) {
  // Pen 0x3C and destination 0x5A in every channel: each mode gives a different grey.
  struct Case {
    int mode;
    int want;
  };
  const Case cases[] = {
      {R2_BLACK, 0x00},       {R2_NOTMERGEPEN, 0x81}, {R2_MASKNOTPEN, 0x42}, {R2_NOTCOPYPEN, 0xC3},
      {R2_MASKPENNOT, 0x24},  {R2_NOT, 0xA5},         {R2_XORPEN, 0x66},     {R2_NOTMASKPEN, 0xE7},
      {R2_MASKPEN, 0x18},     {R2_NOTXORPEN, 0x99},   {R2_NOP, 0x5A},        {R2_MERGENOTPEN, 0xDB},
      {R2_COPYPEN, 0x3C},     {R2_MERGEPENNOT, 0xBD}, {R2_MERGEPEN, 0x7E},   {R2_WHITE, 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Canvas cv(3, 1);
    cv.clear(RGB(0x5A, 0x5A, 0x5A));
    HPEN p = CreatePen(PS_SOLID, 1, RGB(0x3C, 0x3C, 0x3C));
    SelectObject(cv.dc, p);
    EXPECT_EQ(SetROP2(cv.dc, c.mode), R2_COPYPEN);
    MoveToEx(cv.dc, 1, 0, nullptr);
    LineTo(cv.dc, 2, 0);
    EXPECT_EQ(GetPixel(cv.dc, 1, 0), RGB(c.want, c.want, c.want));
    EXPECT_EQ(GetPixel(cv.dc, 0, 0), RGB(0x5A, 0x5A, 0x5A));
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    DeleteObject(p);
  }
}

TEST(BitBlt, MonochromeAndColourConversions) {
  // Monochrome source: bits 1 0 1 1 0 in one row.
  const unsigned char bits[] = {0xB0, 0x00};
  HBITMAP monoBits = CreateBitmap(5, 1, 1, 1, bits);
  HDC monoDc = CreateCompatibleDC(nullptr);
  SelectObject(monoDc, monoBits);

  Canvas colour(5, 1);
  SetTextColor(colour.dc, kRed);  // 0 bits
  SetBkColor(colour.dc, kBlue);   // 1 bits
  BitBlt(colour.dc, 0, 0, 5, 1, monoDc, 0, 0, SRCCOPY);
  EXPECT_EQ(show(colour.picture({{kRed, 'r'}, {kBlue, 'b'}})), show({"brbbr"}));

  // Colour to monochrome: the source's background colour becomes white, the rest black.
  SetBkColor(colour.dc, kBlue);
  Canvas mono(5, 1, true);
  BitBlt(mono.dc, 0, 0, 5, 1, colour.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(show(mono.picture()), show({".#..#"}));

  DeleteDC(monoDc);
  DeleteObject(monoBits);
}

TEST(BitBlt, RasterOperationsOnColour) {
  struct Case {
    const char* why;
    DWORD rop;
    int want;  // grey level from source 0x3C onto destination 0x5A
  };
  const Case cases[] = {
      {"copy", SRCCOPY, 0x3C},     {"paint (or)", SRCPAINT, 0x7E}, {"and", SRCAND, 0x18},
      {"invert (xor)", SRCINVERT, 0x66}, {"not copy", NOTSRCCOPY, 0xC3}, {"destination inverted", DSTINVERT, 0xA5},
      {"blackness", BLACKNESS, 0x00},    {"whiteness", WHITENESS, 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Canvas src(2, 1), dst(2, 1);
    src.clear(RGB(0x3C, 0x3C, 0x3C));
    dst.clear(RGB(0x5A, 0x5A, 0x5A));
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, c.rop));
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(c.want, c.want, c.want));
    EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(0x5A, 0x5A, 0x5A));
  }
}

TEST(BitBlt, OverlappingBlockWithinOneBitmap) {
  Canvas cv(6, 1);
  for (int x = 0; x < 4; ++x) SetPixel(cv.dc, x, 0, RGB(x * 10, 0, 0));
  BitBlt(cv.dc, 2, 0, 4, 1, cv.dc, 0, 0, SRCCOPY);
  // Read before written: the block moves whole, not smeared.
  EXPECT_EQ(GetPixel(cv.dc, 2, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(cv.dc, 3, 0), RGB(10, 0, 0));
  EXPECT_EQ(GetPixel(cv.dc, 4, 0), RGB(20, 0, 0));
  EXPECT_EQ(GetPixel(cv.dc, 5, 0), RGB(30, 0, 0));
}

TEST(ExtCreatePen, GeometricUserDashes) {
  const LOGBRUSH black{BS_SOLID, RGB(0, 0, 0), 0};
  struct Case {
    const char* why;
    DWORD style;
    DWORD width;
    DWORD dashes[2];
    Picture want;
  };
  const Case cases[] = {
      {"flat ends: dashes exactly as long as their entries", PS_ENDCAP_FLAT, 1, {3, 2},
       {".............", "###..###..##.", "............."}},
      {"square ends grow each dash by half the width at both ends", PS_ENDCAP_SQUARE, 1, {3, 2},
       {".............", "####.####.###", "............."}},
      {"three wide with square ends: the gap must allow for the ends", PS_ENDCAP_SQUARE, 3, {3, 4},
       {"#####.######.", "#####.######.", "#####.######."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Canvas cv(13, 3);
    HPEN p = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_JOIN_BEVEL | c.style, c.width, black, 2, c.dashes);
    ASSERT_NE(p, nullptr);
    SelectObject(cv.dc, p);
    MoveToEx(cv.dc, 0, 1, nullptr);
    LineTo(cv.dc, 12, 1);
    EXPECT_EQ(show(cv.picture()), show(c.want));
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    DeleteObject(p);
  }
  // A user style needs its dash entries.
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 1, black, 0, nullptr), nullptr);
  const DWORD zero[] = {0, 0};
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 1, black, 2, zero), nullptr);
}

TEST(CreatePen, CosmeticDotsAndOpaqueGaps) {
  Canvas cv(12, 2);
  HPEN dot = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  SelectObject(cv.dc, dot);
  SetBkMode(cv.dc, TRANSPARENT);
  MoveToEx(cv.dc, 0, 0, nullptr);
  LineTo(cv.dc, 12, 0);
  // The style runs on across connected lines; opaque mode paints the gaps.
  SetBkMode(cv.dc, OPAQUE);
  SetBkColor(cv.dc, kRed);
  MoveToEx(cv.dc, 0, 1, nullptr);
  LineTo(cv.dc, 4, 1);
  LineTo(cv.dc, 12, 1);
  EXPECT_EQ(show(cv.picture({{kRed, 'r'}})), show({"###...###...", "###rrr###rrr"}));
  SelectObject(cv.dc, GetStockObject(BLACK_PEN));
  DeleteObject(dot);
}

TEST(Pie, FillsTheSectorCounterclockwiseFromStartToEnd) {
  Canvas cv(9, 9);
  SelectObject(cv.dc, GetStockObject(NULL_PEN));
  SelectObject(cv.dc, GetStockObject(BLACK_BRUSH));
  // From the ray to the right round to the ray upwards: the upper right quarter.
  Pie(cv.dc, 0, 0, 10, 10, 9, 4, 4, 0);
  const Picture p = cv.picture();
  EXPECT_EQ(p[1][6], '#');
  EXPECT_EQ(p[3][7], '#');
  EXPECT_EQ(p[6][2], '.');  // lower left quarter
  EXPECT_EQ(p[6][7], '.');  // lower right
  EXPECT_EQ(p[2][2], '.');  // upper left
}

TEST(SetPixel, ReturnsTheColourSetAndRefusesOutside) {
  Canvas mono(4, 1, true);
  EXPECT_EQ(SetPixel(mono.dc, 0, 0, RGB(200, 200, 200)), RGB(255, 255, 255));
  EXPECT_EQ(SetPixel(mono.dc, 1, 0, RGB(100, 100, 100)), RGB(0, 0, 0));
  EXPECT_EQ(SetPixel(mono.dc, 4, 0, RGB(0, 0, 0)), CLR_INVALID);
  EXPECT_EQ(GetPixel(mono.dc, -1, 0), CLR_INVALID);
  EXPECT_EQ(GetNearestColor(mono.dc, RGB(250, 10, 240)), RGB(255, 255, 255));
  Canvas colour(1, 1);
  EXPECT_EQ(SetPixel(colour.dc, 0, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(colour.dc, 0, 0), RGB(1, 2, 3));
}

TEST(SaveDC, RestoreBringsBackPenColoursAndClip) {
  Canvas cv(4, 1);
  HPEN red = CreatePen(PS_SOLID, 1, kRed);
  const int level = SaveDC(cv.dc);
  EXPECT_EQ(level, 1);
  SelectObject(cv.dc, red);
  SetTextColor(cv.dc, kGreen);
  IntersectClipRect(cv.dc, 0, 0, 1, 1);
  EXPECT_FALSE(DeleteObject(red));  // still selected
  EXPECT_TRUE(RestoreDC(cv.dc, -1));
  EXPECT_EQ(GetTextColor(cv.dc), RGB(0, 0, 0));
  EXPECT_EQ(GetCurrentObject(cv.dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  MoveToEx(cv.dc, 0, 0, nullptr);
  LineTo(cv.dc, 4, 0);
  EXPECT_EQ(show(cv.picture()), show({"####"}));
  EXPECT_FALSE(RestoreDC(cv.dc, -1));  // nothing left to restore
  EXPECT_TRUE(DeleteObject(red));
}

TEST(SelectObject, ObjectsKeepTheirOwners) {
  HBITMAP b = CreateBitmap(2, 2, 1, 32, nullptr);
  HDC a = CreateCompatibleDC(nullptr), c = CreateCompatibleDC(nullptr);
  EXPECT_NE(SelectObject(a, b), nullptr);
  EXPECT_EQ(SelectObject(c, b), nullptr);   // one DC at a time
  EXPECT_FALSE(DeleteObject(b));            // still selected
  EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(GetObjectType(b), OBJ_BITMAP);
  EXPECT_EQ(GetObjectType(a), OBJ_MEMDC);
  BITMAP info;
  ASSERT_EQ(GetObject(b, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 2);
  EXPECT_EQ(info.bmBitsPixel, 32);
  DeleteDC(a);
  EXPECT_NE(SelectObject(c, b), nullptr);   // free again once its DC is gone
  DeleteDC(c);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_EQ(GetObjectType(b), 0u);
  // A memory DC starts with a monochrome bitmap: compatible bitmaps follow it.
  HDC m = CreateCompatibleDC(nullptr);
  HBITMAP mb = CreateCompatibleBitmap(m, 3, 3);
  ASSERT_EQ(GetObject(mb, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmBitsPixel, 1);
  DeleteDC(m);
  DeleteObject(mb);
}

TEST(CreatePatternBrush, TilesFromTheBrushOrigin) {
  // A 2 x 2 checkerboard pattern from a colour bitmap.
  Canvas pat(2, 2);
  SetPixel(pat.dc, 0, 0, kRed);
  SetPixel(pat.dc, 1, 1, kRed);
  HBRUSH b = CreatePatternBrush(pat.bm);
  Canvas cv(4, 2);
  RECT r{0, 0, 4, 2};
  FillRect(cv.dc, r, b);
  EXPECT_EQ(show(cv.picture({{kRed, 'r'}})), show({"r.r.", ".r.r"}));
  SetBrushOrgEx(cv.dc, 1, 0, nullptr);
  FillRect(cv.dc, r, b);
  EXPECT_EQ(show(cv.picture({{kRed, 'r'}})), show({".r.r", "r.r."}));
  DeleteObject(b);
}

}  // namespace

namespace {

// Figures far larger than the bitmap are worked out only where they can show: these finish
// at once and draw exactly their visible part.
TEST(LineTo, HugeCoordinatesDrawTheirVisiblePart) {
  Canvas cv(8, 3);
  MoveToEx(cv.dc, -2000000000, 1, nullptr);
  LineTo(cv.dc, 2000000000, 1);
  SelectObject(cv.dc, GetStockObject(NULL_PEN));
  SelectObject(cv.dc, GetStockObject(BLACK_BRUSH));
  Rectangle(cv.dc, -2000000000, 2, 2000000000, 2000000000);
  Ellipse(cv.dc, -2000000000, -2000000000, 2000000000, 2000000000);
  EXPECT_EQ(show(cv.picture()), show({"########", "########", "########"}));
}

TEST(ExtCreatePen, DashesKeepTheirPhaseAcrossTheClippedPart) {
  const LOGBRUSH black{BS_SOLID, RGB(0, 0, 0), 0};
  const DWORD dashes[] = {3, 2};
  // A geometric pen (dashed as outlines) and a cosmetic one (dashed pixel by pixel).
  for (const DWORD kind : {DWORD{PS_GEOMETRIC | PS_ENDCAP_FLAT}, DWORD{PS_COSMETIC}}) {
    HPEN p = ExtCreatePen(kind | PS_USERSTYLE, 1, black, 2, dashes);
    // Each start lies a whole number of periods to the left, so the pattern is in phase
    // with a line started at 0. Ends beyond 2^27 pixels were once held there one by one,
    // which moved the phase (2 pixels at 1e9).
    for (const int far : {100000005, 1000000005, 2147483645}) {
      SCOPED_TRACE(far);
      Canvas cv(10, 2);
      SelectObject(cv.dc, p);
      MoveToEx(cv.dc, -far, 0, nullptr);
      LineTo(cv.dc, 100000000, 0);
      // The same along a polyline.
      const POINT line[] = {{-far, 1}, {100000000, 1}};
      Polyline(cv.dc, line, 2);
      EXPECT_EQ(show(cv.picture()), show({"###..###..", "###..###.."}));
      SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    }
    DeleteObject(p);
  }
}

TEST(CreateEllipticRgn, RefusesFiguresNoBitmapCouldHold) {
  EXPECT_EQ(CreateEllipticRgn(0, 0, 10, 100000), nullptr);
  HRGN ok = CreateEllipticRgn(0, 0, 10, 10);
  EXPECT_NE(ok, nullptr);
  DeleteObject(ok);
}

}  // namespace

namespace {

TEST(Pie, WidePenDrawsTheRadiiToo) {
  Canvas cv(21, 21);
  HPEN wide = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
  SelectObject(cv.dc, wide);
  SelectObject(cv.dc, GetStockObject(NULL_BRUSH));
  // The upper right quarter of a circle about (10, 10).
  Pie(cv.dc, 1, 1, 20, 20, 20, 10, 10, 0);
  const Picture p = cv.picture();
  EXPECT_EQ(p[9][15], '#');   // on the right radius, 3 deep
  EXPECT_EQ(p[8][15], '#');
  EXPECT_EQ(p[15][10], '.');  // below the centre: outside the pie
  EXPECT_EQ(p[5][14], '.');   // inside the quarter, clear of the pen
  SelectObject(cv.dc, GetStockObject(BLACK_PEN));
  DeleteObject(wide);
}

}  // namespace

namespace {

TEST(GradientFill, TrianglesAndRectanglesShadeBetweenTheirVertices) {
  Canvas cv(11, 11);
  TRIVERTEX v[3];
  v[0] = {0, 0, 0xFF00, 0, 0, 0};
  v[1] = {11, 0, 0, 0xFF00, 0, 0};
  v[2] = {0, 11, 0, 0, 0xFF00, 0};
  const GRADIENT_TRIANGLE tri{0, 1, 2};
  ASSERT_TRUE(GradientFill(cv.dc, v, 3, &tri, 1, GRADIENT_FILL_TRIANGLE));
  // Near each corner its own colour; the far half of the square untouched.
  EXPECT_GT(GetRValue(GetPixel(cv.dc, 0, 0)), 200);
  EXPECT_GT(GetGValue(GetPixel(cv.dc, 9, 0)), 200);
  EXPECT_GT(GetBValue(GetPixel(cv.dc, 0, 9)), 200);
  EXPECT_EQ(GetPixel(cv.dc, 10, 10), RGB(255, 255, 255));

  Canvas bar(4, 2);
  TRIVERTEX r[2];
  r[0] = {0, 0, 0, 0, 0, 0};
  r[1] = {4, 2, 0xFF00, 0xFF00, 0xFF00, 0};
  const GRADIENT_RECT rect{0, 1};
  ASSERT_TRUE(GradientFill(bar.dc, r, 2, &rect, 1, GRADIENT_FILL_RECT_H));
  // Pixel centres at 1/8, 3/8, 5/8 and 7/8 of the way across.
  const int want[] = {32, 96, 159, 223};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPixel(bar.dc, x, 1), RGB(want[x], want[x], want[x])) << x;

  const GRADIENT_TRIANGLE bad{0, 1, 7};
  EXPECT_FALSE(GradientFill(cv.dc, v, 3, &bad, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_FALSE(GradientFill(cv.dc, v, 3, &tri, 1, 9));
}

}  // namespace

namespace {

constexpr COLORREF kR = RGB(255, 0, 0), kG = RGB(0, 255, 0), kB = RGB(0, 0, 255);

// A 2 x 2 24-bit DIB, bottom row first: bottom red green, top blue white.
struct TinyDib {
  BITMAPINFO info;
  unsigned char bits[16] = {0, 0, 255, 0, 255, 0, 0, 0,        // bottom: red, green, padding
                            255, 0, 0, 255, 255, 255, 0, 0};   // top: blue, white, padding
  TinyDib() {
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biBitCount = 24;
  }
};

TEST(StretchDIBits, DrawsUprightAndStretchesByNearestPixel) {
  TinyDib dib;
  struct Case {
    const char* why;
    int w, h;
    Picture want;
  };
  const Case cases[] = {
      // On black ('#'), so that the DIB's white ('.') shows.
      {"natural size: the top row of the picture is the DIB's last", 2, 2, {"b.##", "rg##", "####", "####"}},
      {"doubled", 4, 4, {"bb..", "bb..", "rrgg", "rrgg"}},
      {"a negative width mirrors", -2, 2, {".b##", "gr##", "####", "####"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Canvas cv(4, 4);
    cv.clear(RGB(0, 0, 0));
    const int x = c.w < 0 ? 2 : 0;
    EXPECT_EQ(StretchDIBits(cv.dc, x, 0, c.w, c.h, 0, 0, 2, 2, dib.bits, &dib.info, DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(show(cv.picture({{kR, 'r'}, {kG, 'g'}, {kB, 'b'}})), show(c.want));
  }
  Canvas cv(2, 2);
  dib.info.bmiHeader.biCompression = 1;  // run-length compressed: not read
  EXPECT_EQ(StretchDIBits(cv.dc, 0, 0, 2, 2, 0, 0, 2, 2, dib.bits, &dib.info, DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST(GetDIBits, HeaderThenRowsBottomFirst) {
  Canvas cv(3, 2);
  SetPixel(cv.dc, 0, 0, kR);  // top left
  SetPixel(cv.dc, 2, 1, kB);  // bottom right
  BITMAPINFO info;
  info.bmiHeader.biBitCount = 0;
  ASSERT_NE(GetDIBits(cv.dc, cv.bm, 0, 2, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.bmiHeader.biWidth, 3);
  EXPECT_EQ(info.bmiHeader.biHeight, 2);
  EXPECT_EQ(info.bmiHeader.biBitCount, 32);
  info.bmiHeader.biBitCount = 24;
  ASSERT_NE(GetDIBits(cv.dc, cv.bm, 0, 2, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.bmiHeader.biSizeImage, 24u);  // rows of 9 bytes padded to 12
  std::vector<unsigned char> rows(24, 0xAA);
  EXPECT_EQ(GetDIBits(cv.dc, cv.bm, 0, 2, rows.data(), &info, DIB_RGB_COLORS), 2);
  const std::vector<unsigned char> want = {255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 0, 0,   // bottom
                                           0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0};  // top
  EXPECT_EQ(rows, want);
}

TEST(StretchBlt, DoublesAndConvertsMonochrome) {
  const unsigned char bits[] = {0x80, 0x00, 0x40, 0x00};  // rows: 10, 01
  HBITMAP mono = CreateBitmap(2, 2, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(nullptr);
  SelectObject(mdc, mono);
  Canvas cv(4, 4);
  SetTextColor(cv.dc, kR);  // 0 bits
  SetBkColor(cv.dc, kB);    // 1 bits
  EXPECT_TRUE(StretchBlt(cv.dc, 0, 0, 4, 4, mdc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(show(cv.picture({{kR, 'r'}, {kB, 'b'}})), show({"bbrr", "bbrr", "rrbb", "rrbb"}));
  EXPECT_EQ(SetStretchBltMode(cv.dc, COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(GetStretchBltMode(cv.dc), COLORONCOLOR);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(SetDIBitsToDevice, TakesTheSuppliedScanLines) {
  TinyDib dib;
  Canvas cv(2, 2);
  // Only the bottom scan line is supplied: the top row stays as it was.
  EXPECT_EQ(SetDIBitsToDevice(cv.dc, 0, 0, 2, 2, 0, 0, 0, 1, dib.bits, &dib.info, DIB_RGB_COLORS), 1);
  EXPECT_EQ(show(cv.picture({{kR, 'r'}, {kG, 'g'}})), show({"..", "rg"}));
}

}  // namespace
