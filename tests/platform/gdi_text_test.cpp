// Fonts and text of the drawing layer: the substitution table, metrics that layouts rely on
// (the figures of docs/gdi.md), and where TextOut, ExtTextOut and DrawText put their ink.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/gdi_internal.h"

namespace {

using namespace win;

constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0);

class TextCanvas : public ::testing::Test {
 protected:
  void SetUp() override {
    dc = CreateCompatibleDC(nullptr);
    bm = CreateBitmap(kW, kH, 1, 32, nullptr);
    SelectObject(dc, bm);
    clear();
  }
  void TearDown() override {
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (font) DeleteObject(font);
    DeleteDC(dc);
    DeleteObject(bm);
  }
  void clear() {
    RECT r{0, 0, kW, kH};
    FillRect(dc, r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  void use(int height, const char* face, int escapement = 0) {
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (font) DeleteObject(font);
    font = CreateFont(height, 0, escapement, escapement, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
    SelectObject(dc, font);
  }
  // Bounding box of every pixel that is not white, and not bk when given.
  RECT ink(COLORREF ignore = kWhite) const {
    RECT r{kW, kH, -1, -1};
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        if (c == kWhite || c == ignore) continue;
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
    return r;
  }
  static constexpr int kW = 120, kH = 90;
  HDC dc = nullptr;
  HBITMAP bm = nullptr;
  HFONT font = nullptr;
};

// One fixture, named for the routine each test is about.
using GetTextMetricsTest = TextCanvas;
using CreateFontTest = TextCanvas;
using GetTextExtentPoint32Test = TextCanvas;
using TextOutTest = TextCanvas;
using ExtTextOutTest = TextCanvas;
using DrawTextTest = TextCanvas;

TEST(CreateFont, FacesResolveThroughTheSubstitutionTable) {
  struct Case {
    const char* why;
    const char* face;
    int weight;
    BYTE italic;
    BYTE pitchAndFamily;
    const char* file;  // part of the font file's name
  };
  const Case cases[] = {
      {"dialog font", "MS Sans Serif", 400, 0, 0, "LiberationSans-Regular"},
      {"names compare without case", "arial", 400, 0, 0, "LiberationSans-Regular"},
      {"bold", "Arial", 700, 0, 0, "LiberationSans-Bold"},
      {"heavy face: a bold substitute", "Arial Black", 400, 0, 0, "DejaVuSans-Bold"},
      {"serif italic", "Times New Roman", 400, 1, 0, "LiberationSerif-Italic"},
      {"typewriter", "Courier New", 400, 0, 0, "LiberationMono-Regular"},
      {"symbols", "Symbol", 400, 0, 0, "StandardSymbolsPS"},
      {"dingbats", "Wingdings", 400, 0, 0, "D050000L"},
      {"console", "Lucida Console", 400, 0, 0, "DejaVuSansMono"},
      {"unknown roman face: by family", "Garamondish", 400, 0, FF_ROMAN, "LiberationSerif-Regular"},
      {"unknown fixed face: by pitch", "Typewriterish", 400, 0, FIXED_PITCH, "LiberationMono-Regular"},
      {"unknown face, no hints: sans", "Nothing", 400, 0, 0, "LiberationSans-Regular"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    HFONT f = CreateFont(-11, 0, 0, 0, c.weight, c.italic, 0, 0, 0, 0, 0, 0, c.pitchAndFamily, c.face);
    EXPECT_NE(gdi::fontFile(f).find(c.file), std::string::npos) << gdi::fontFile(f);
    DeleteObject(f);
  }
}

TEST_F(GetTextMetricsTest, DialogFontFiguresAreTheDocumentedOnes) {
  // "MS Sans Serif" 8 points at 96 dpi: height -11. These figures size every dialog.
  for (int run = 0; run < 2; ++run) {
    use(-11, "MS Sans Serif");
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(dc, tm));
    EXPECT_EQ(tm.tmHeight, 12);
    EXPECT_EQ(tm.tmAscent, 10);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmInternalLeading, 1);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, 6);
    EXPECT_EQ(tm.tmMaxCharWidth, 14);
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, TMPF_FIXED_PITCH);  // variable pitch
    LONG height = 0;
    EXPECT_EQ(GdiGetCharDimensions(dc, nullptr, &height), 6);  // dialog base unit across
    EXPECT_EQ(height, 12);                                    // and down
    SIZE sz;
    ASSERT_TRUE(GetTextExtentPoint32(dc, "Hello", 5, sz));
    EXPECT_EQ(sz.cx, 24);
    EXPECT_EQ(sz.cy, 12);
  }
}

TEST_F(CreateFontTest, HeightsNegativeForTheEmPositiveForTheCell) {
  TEXTMETRIC tm;
  use(-13, "Arial");
  GetTextMetrics(dc, tm);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 13);
  use(16, "Arial");
  GetTextMetrics(dc, tm);
  EXPECT_EQ(tm.tmHeight, 16);
  // A fixed-pitch face says so, and its characters are equally wide.
  use(-13, "Courier New");
  GetTextMetrics(dc, tm);
  EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
  SIZE a, b;
  GetTextExtentPoint32(dc, "iiii", 4, a);
  GetTextExtentPoint32(dc, "WWWW", 4, b);
  EXPECT_EQ(a.cx, b.cx);
  char face[8];
  EXPECT_EQ(GetTextFace(dc, sizeof face, face), 8);  // cut, the NUL counted
  EXPECT_STREQ(face, "Courier");
}

TEST_F(GetTextExtentPoint32Test, ExtentIsTheSumOfItsCharacters) {
  use(-11, "MS Sans Serif");
  SIZE ab, a, b, none;
  GetTextExtentPoint32(dc, "AB", 2, ab);
  GetTextExtentPoint32(dc, "A", 1, a);
  GetTextExtentPoint32(dc, "B", 1, b);
  EXPECT_EQ(ab.cx, a.cx + b.cx);
  ASSERT_TRUE(GetTextExtentPoint32(dc, "", 0, none));
  EXPECT_EQ(none.cx, 0);
  EXPECT_EQ(none.cy, 12);
}

TEST_F(TextOutTest, AlignmentPlacesTheInk) {
  use(-13, "Arial");
  TEXTMETRIC tm;
  GetTextMetrics(dc, tm);
  SIZE ext;
  GetTextExtentPoint32(dc, "HH", 2, ext);
  struct Case {
    const char* why;
    UINT align;
    LONG left0, left1, top0, top1, right1, bottom1;  // bounds the ink must keep
  };
  const LONG x = 60, y = 45;
  const Case cases[] = {
      {"top left: the cell hangs below and right of the point", TA_TOP | TA_LEFT, x, x + 2, y, y + tm.tmInternalLeading + 2, x + ext.cx, y + tm.tmAscent},
      {"baseline: capitals stand on the point's row", TA_BASELINE | TA_LEFT, x, x + 2, y - tm.tmAscent, y - tm.tmAscent + tm.tmInternalLeading + 2, x + ext.cx, y},
      {"right: the text ends at the point", TA_TOP | TA_RIGHT, x - ext.cx, x - ext.cx + 2, y, y + tm.tmAscent, x, y + tm.tmAscent},
      {"centre: half each side", TA_TOP | TA_CENTER, x - ext.cx / 2 - 1, x - ext.cx / 2 + 2, y, y + tm.tmAscent, x + ext.cx / 2 + 1, y + tm.tmAscent},
      {"bottom: the descent above the point", TA_BOTTOM | TA_LEFT, x, x + 2, y - tm.tmHeight, y - tm.tmDescent, x + ext.cx, y - tm.tmDescent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    clear();
    SetTextAlign(dc, c.align);
    SetBkMode(dc, TRANSPARENT);
    ASSERT_TRUE(TextOut(dc, x, y, "HH", 2));
    const RECT r = ink();
    EXPECT_GE(r.left, c.left0);
    EXPECT_LE(r.left, c.left1);
    EXPECT_GE(r.top, c.top0);
    EXPECT_LE(r.top, c.top1);
    EXPECT_LE(r.right, c.right1);
    EXPECT_LE(r.bottom, c.bottom1);
  }
}

TEST_F(TextOutTest, UpdateCurrentPositionMovesByTheExtent) {
  use(-11, "MS Sans Serif");
  SetTextAlign(dc, TA_UPDATECP);
  MoveToEx(dc, 5, 5, nullptr);
  SIZE ext;
  GetTextExtentPoint32(dc, "abc", 3, ext);
  TextOut(dc, 0, 0, "abc", 3);  // x and y are ignored
  POINT p;
  GetCurrentPositionEx(dc, p);
  EXPECT_EQ(p.x, 5 + ext.cx);
  EXPECT_EQ(p.y, 5);
  const RECT r = ink();
  EXPECT_GE(r.left, 5);
}

TEST_F(TextOutTest, OpaqueModeFillsTheCell) {
  use(-11, "MS Sans Serif");
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kRed);
  SIZE ext;
  GetTextExtentPoint32(dc, "Tx", 2, ext);
  TextOut(dc, 10, 10, "Tx", 2);
  EXPECT_EQ(GetPixel(dc, 10, 10), kRed);                              // top left of the cell
  EXPECT_EQ(GetPixel(dc, 10 + ext.cx - 1, 10 + 12 - 1), kRed);        // bottom right
  EXPECT_EQ(GetPixel(dc, 10 + ext.cx, 10), kWhite);                   // just outside
  EXPECT_EQ(GetPixel(dc, 10, 10 + 12), kWhite);
  EXPECT_EQ(GetPixel(dc, 9, 10), kWhite);
}

TEST_F(TextOutTest, EscapementRotatesTheText) {
  use(-13, "Arial", 900);  // a quarter turn: the text runs upwards
  SetTextAlign(dc, TA_BASELINE | TA_LEFT);
  SetBkMode(dc, TRANSPARENT);
  TextOut(dc, 40, 80, "HHHH", 4);
  const RECT r = ink();
  TEXTMETRIC tm;
  GetTextMetrics(dc, tm);
  EXPECT_GT(r.bottom - r.top, 2 * (r.right - r.left));
  EXPECT_LE(r.bottom, 81);                   // it starts at the point and goes up
  EXPECT_GE(r.left, 40 - tm.tmAscent - 1);   // the letters stand to the left of the baseline
  EXPECT_LE(r.right, 41);
}

TEST_F(ExtTextOutTest, ClipsToItsRectangle) {
  use(-13, "Arial");
  SetBkColor(dc, kRed);
  SetBkMode(dc, TRANSPARENT);
  RECT box{20, 20, 40, 30};
  ExtTextOut(dc, 22, 18, ETO_OPAQUE | ETO_CLIPPED, &box, "WWWWWW", 6, nullptr);
  const RECT r = ink(0xFFFFFFFE);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 40);
  EXPECT_EQ(r.bottom, 30);
  EXPECT_EQ(GetPixel(dc, 20, 20), kRed);
}

TEST_F(DrawTextTest, BreaksWordsAndMeasures) {
  use(-11, "MS Sans Serif");
  SIZE one, two, file, whole;
  GetTextExtentPoint32(dc, "alpha", 5, one);
  GetTextExtentPoint32(dc, "beta", 4, two);
  GetTextExtentPoint32(dc, "File", 4, file);
  GetTextExtentPoint32(dc, "alpha beta", 10, whole);
  struct Case {
    const char* why;
    const char* text;
    LONG width;
    UINT format;
    LONG wantWidth, wantHeight;
  };
  const Case cases[] = {
      {"fits on one line", "alpha beta", 200, DT_WORDBREAK, whole.cx, 12},
      {"breaks at the blank", "alpha beta", one.cx + 2, DT_WORDBREAK, std::max(one.cx, two.cx), 24},
      {"line feeds break lines", "alpha\nbeta", 200, 0, std::max(one.cx, two.cx), 24},
      {"single line keeps line feeds out", "alpha\nbeta", 200, DT_SINGLELINE, 0, 12},
      {"the prefix mark takes no room", "&File", 200, DT_SINGLELINE, file.cx, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    RECT r{10, 10, 10 + c.width, 80};
    const int h = DrawText(dc, c.text, -1, r, c.format | DT_CALCRECT);
    EXPECT_EQ(h, c.wantHeight);
    EXPECT_EQ(r.bottom - r.top, c.wantHeight);
    if (c.wantWidth) {
      EXPECT_EQ(r.right - r.left, c.wantWidth);
    }
  }
  // Centred in both directions on a single line.
  clear();
  SetBkMode(dc, TRANSPARENT);
  RECT box{0, 0, 120, 90};
  DrawText(dc, "HH", 2, box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const RECT r = ink();
  EXPECT_NEAR((r.left + r.right) / 2.0, 60, 3);
  EXPECT_NEAR((r.top + r.bottom) / 2.0, 45, 4);
}

}  // namespace

namespace {

TEST_F(ExtTextOutTest, TakesTheGivenAdvances) {
  use(-11, "MS Sans Serif");
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_UPDATECP);
  MoveToEx(dc, 10, 10, nullptr);
  const int dx[] = {20, 20, 20};
  ExtTextOut(dc, 0, 0, 0, nullptr, "iii", 3, dx);
  POINT p;
  GetCurrentPositionEx(dc, p);
  EXPECT_EQ(p.x, 70);  // the advances given, not the font's
  const RECT r = ink();
  EXPECT_GE(r.right - r.left, 41);  // three narrow letters spread over 40 pixels and more
}

TEST_F(DrawTextTest, UnderlinesTheMnemonic) {
  use(-11, "MS Sans Serif");
  SetBkMode(dc, TRANSPARENT);
  RECT plain{10, 10, 110, 40}, marked{10, 50, 110, 80};
  DrawText(dc, "File", -1, plain, DT_SINGLELINE);
  DrawText(dc, "&File", -1, marked, DT_SINGLELINE);
  // The same letters, and under the F a bar the plain one lacks.
  int plainInk = 0, markedInk = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 10; x < 110; ++x) {
      plainInk += GetPixel(dc, x, 10 + y) != kWhite;
      markedInk += GetPixel(dc, x, 50 + y) != kWhite;
    }
  EXPECT_GT(markedInk, plainInk);
  RECT hidden{10, 10, 110, 40};
  clear();
  DrawText(dc, "&File", -1, hidden, DT_SINGLELINE | DT_HIDEPREFIX);
  int hiddenInk = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 10; x < 110; ++x) hiddenInk += GetPixel(dc, x, 10 + y) != kWhite;
  EXPECT_EQ(hiddenInk, plainInk);
}

TEST_F(TextOutTest, UnantialiasedTextUsesOnlyTheTextColour) {
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  if (font) DeleteObject(font);
  font = CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
  SelectObject(dc, font);
  SetTextColor(dc, kRed);
  SetBkMode(dc, TRANSPARENT);
  TextOut(dc, 5, 5, "Wave", 4);
  int red = 0, other = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      red += c == kRed;
      other += c != kRed && c != kWhite;
    }
  EXPECT_GT(red, 20);
  EXPECT_EQ(other, 0);
}

}  // namespace

namespace {

// Wingdings' check mark (0xFC) and cross (0xFB) come out as the stand-in's own check mark and
// cross, the dingbats of "4" and "8" (which the stand-in keeps under those codes).
TEST_F(TextOutTest, WingdingsCheckMarkAndCrossAreTheDingbats) {
  use(-24, "Wingdings");
  auto pixels = [this](const char* text) {
    clear();
    TextOut(dc, 10, 10, text, 1);
    std::vector<COLORREF> p;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) p.push_back(GetPixel(dc, x, y));
    return p;
  };
  const auto tick = pixels("\xFC"), cross = pixels("\xFB");
  EXPECT_EQ(tick, pixels("4"));
  EXPECT_EQ(cross, pixels("8"));
  EXPECT_NE(tick, cross);
  EXPECT_NE(tick, pixels(" "));
}

}  // namespace
