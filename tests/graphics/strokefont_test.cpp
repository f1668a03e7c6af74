// Stroke fonts: the renderer on a small font made here, the save slot, the bold switch, and
// every built-in font installed and checked glyph by glyph against its box and limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/strokefont.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"

namespace {

// A small font: "!" as in the format's example, "A" a three-point stroke, "B" a square.
void installsmallfont(int type, float m3 = 6) {
  const std::string glyphs = "3233u363B" "052B50" "00500550";
  std::array<int, 96> s1{}, s2{};
  for (int i = 0; i < 96; ++i) s1[static_cast<std::size_t>(i)] = 24;
  s1[0] = 1;    // code 33
  for (int i = 1; i <= 32; ++i) s1[static_cast<std::size_t>(i)] = 10;   // "!" ends, "A" starts
  s1[33] = 16;  // code 66 "B"
  s1[94] = 16;  // code 127: the square too
  for (int& s : s2) s = 24;
  yychsfont(10, 20, m3, 20, 8, type, 0, 0, "small.chr", glyphs, s1, s2);
}

// The strokes of a glyph text as (x, y) points; a stroke is read while its characters are
// in the alphabet, and one pen-up character ends it.
std::vector<std::vector<std::array<int, 2>>> parse(std::string_view g) {
  std::vector<std::vector<std::array<int, 2>>> out;
  std::size_t p = 0;
  while (p < g.size()) {
    std::vector<std::array<int, 2>> stroke;
    while (p + 1 < g.size() && kStrokeAlphabet.find(g[p]) != std::string_view::npos) {
      stroke.push_back({static_cast<int>(kStrokeAlphabet.find(g[p])),
                        static_cast<int>(kStrokeAlphabet.find(g[p + 1]))});
      p += 2;
    }
    out.push_back(stroke);
    ++p;
  }
  return out;
}

// Horizontal text at angle 0 on a 400 x 400 drawable, cell 10 x 20 device units.
class StrokeRenderer : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(400, 400);
    TextState& ts = tessar.graphics.text;
    ts.ADVX = 10;
    ts.ADVY = 0;
    ts.COLXSTEP = 0;
    ts.COLYSTEP = 20;
    ts.SPACING = 0;
    ts.TYPEFLAGS = 0;
    yychspace(0);
    installsmallfont(3);
    devicelog().clear();
  }
};

TEST_F(StrokeRenderer, TwoPointStrokesGoAsSegmentsLongerOnesAsPolylines) {
  yychdraw(100, 200, "!A", 10, 20);
  EXPECT_EQ(codes('S'), (std::vector<int>{DLINE, DLINE, DPOLYLINE}));
  // Glyph box of "!": left at 100 + 5 - 3, bottom half a cell below the line.
  const DeviceOperands& dot = devicelog()[0].operands;
  EXPECT_FLOAT_EQ(dot.RX1, 102 + 3);
  EXPECT_FLOAT_EQ(dot.RY1, 190 + 2);
  EXPECT_FLOAT_EQ(dot.RY2, 190 + 3);
  const DeviceCall& a = devicelog()[2];
  ASSERT_EQ(a.x.size(), 3u);
  EXPECT_FLOAT_EQ(a.x[0], 112 + 0);   // second cell
  EXPECT_FLOAT_EQ(a.y[1], 190 + 11);
}

TEST_F(StrokeRenderer, ItalicShiftsEachPointBySlantTimesHeight) {
  tessar.graphics.text.SLANT = 0.5f;
  yychdraw(100, 200, "!", 10, 20);
  const DeviceOperands& stem = devicelog()[1].operands;   // (3, 6) to (3, 11)
  EXPECT_FLOAT_EQ(stem.RX1, 105 + 0.5f * 10 * 6 / 20);
  EXPECT_FLOAT_EQ(stem.RX2, 105 + 0.5f * 10 * 11 / 20);
}

TEST_F(StrokeRenderer, NarrowFontAtTableSpacingIsNarrowed) {
  tessar.graphics.text.SPACING = 1;
  yychdraw(100, 200, "A", 10, 20);
  const DeviceCall& a = devicelog()[0];
  ASSERT_EQ(a.code, DPOLYLINE);
  // Cell of width 1.11 x 10; box 6 units at 0.75 x 1 device unit each, centred in it.
  EXPECT_FLOAT_EQ(a.x[0], 100 + 0.5f * 1.11f * 10 - 0.5f * 6 * 0.75f);
  EXPECT_FLOAT_EQ(a.x[2], a.x[0] + 5 * 0.75f);
}

TEST_F(StrokeRenderer, OutlineGlyphsAreFilledPolygonsWithTheStrokeTextFlag) {
  installsmallfont(2);
  igrfillpattern(1);
  devicelog().clear();
  static int flagseen = -1;
  graphicsservices.yygapi = [](int& code) {
    if (code == DPOLYGONSOLID) flagseen = tessar.graphics.attributes.STROKETEXT;
    recordscreen(code);
  };
  yychdraw(100, 200, "B", 10, 20);
  EXPECT_EQ(codes('S'), std::vector<int>{DPOLYGONSOLID});
  EXPECT_EQ(flagseen, 1);
  EXPECT_EQ(tessar.graphics.attributes.STROKETEXT, 0);
  EXPECT_EQ(tessar.graphics.attributes.FILLSTYLE, 1);
}

TEST_F(StrokeRenderer, BoldStrokedTextDoublesTheLineWidthMeanwhile) {
  tessar.graphics.text.TYPEFLAGS = 1;
  tessar.graphics.attributes.LINEWIDTH = 2;
  static std::vector<int> widths;
  widths.clear();
  graphicsservices.yygapi = [](int& code) {
    if (code == DLINEWIDTH) widths.push_back(tessar.graphics.attributes.LINEWIDTH);
    recordscreen(code);
  };
  yychdraw(100, 200, "!", 10, 20);
  EXPECT_EQ(widths, (std::vector<int>{4, 2}));
  EXPECT_EQ(tessar.graphics.attributes.LINEWIDTH, 2);
}

TEST_F(StrokeRenderer, CodeMappingOfTheUpperControls) {
  struct Case { const char* why; int type; std::string text; int requests; };
  const Case cases[] = {
      {"128 draws slot 127 in a font of 128 glyphs", 3, "\x80", 1},
      {"127 itself advances like a space", 3, "\x7f", 0},
      {"128 draws nothing in a font of 127 glyphs", 1, "\x80", 0},
      {"controls draw nothing", 3, std::string("\x01\x1f\x81 ", 4), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    installsmallfont(c.type);
    devicelog().clear();
    yychdraw(100, 200, c.text, 10, 20);
    EXPECT_EQ(devicelog().size(), static_cast<std::size_t>(c.requests));
  }
}

TEST_F(StrokeRenderer, UnderlineOfBlanksHasTheTextLength) {
  tessar.graphics.text.TYPEFLAGS = 4;
  yychdraw(100, 200, "   ", 10, 20);
  ASSERT_EQ(codes('S'), std::vector<int>{DLINE});
  const DeviceOperands& u = devicelog()[0].operands;
  EXPECT_FLOAT_EQ(u.RY1, 200 - 0.45f * 20);
  EXPECT_FLOAT_EQ(u.RX2 - u.RX1, 30);
}

TEST_F(StrokeRenderer, VerticalTextStacksDownwardsWithoutUnderline) {
  tessar.graphics.text.DIRECTION = 1;
  tessar.graphics.text.TYPEFLAGS = 4;
  yychdraw(100, 300, "AA", 10, 20);
  ASSERT_EQ(codes('S'), (std::vector<int>{DPOLYLINE, DPOLYLINE}));
  EXPECT_FLOAT_EQ(devicelog()[0].y[0] - devicelog()[1].y[0], 20);
  EXPECT_FLOAT_EQ(devicelog()[0].x[0], devicelog()[1].x[0]);
}

TEST_F(StrokeRenderer, SaveSlotRestoresFontAndKind) {
  tessar.graphics.text.FONTKIND = 0;
  yychsave(1);
  tessar.graphics.text.FONTKIND = 1;
  yyofroman();
  EXPECT_EQ(tessar.graphics.font.NAME.substr(0, 9), "roman.chr");
  yychsave(0);
  EXPECT_EQ(tessar.graphics.font.NAME.substr(0, 9), "small.chr");
  EXPECT_EQ(tessar.graphics.text.FONTKIND, 0);
}

// Every built-in font: its record, and each glyph parsed with the format's rules.
struct FontCase {
  const char* name;
  void (*install)();
  float m1, m2, m3, m4;
  int stroked, glyphs128, spacing;
  int base, cap;   // base line and capital height of "H", -1 for the pictogram font
};
const FontCase kFonts[] = {
    {"standard.chr", [] { wgrvfontstandard(); }, 7.68f, 11.88f, 6, 11, 1, 1, 0, 2, 11},
    {"symbols.chr", [] { wgrvfontvxksymbols(); }, 36.75f, 36.75f, 35, 35, 1, 0, 1, -1, -1},
    {"swiss.chr", yyofswiss, 36.3f, 55, 55, 55, 0, 1, 1, 11, 44},
    {"swissbld.chr", yyofswissbold, 36.3f, 55, 55, 55, 0, 1, 1, 12, 45},
    {"roman.chr", yyofroman, 36.3f, 55, 55, 55, 0, 1, 1, 14, 44},
    {"romanbld.chr", yyofromanbold, 36.3f, 55, 55, 55, 0, 1, 1, 12, 44},
    {"fixed.chr", yyoffixed, 36.3f, 55, 55, 55, 0, 1, 0, 16, 42},
    {"fixedbld.chr", yyoffixedbold, 36.3f, 55, 55, 55, 0, 1, 0, 16, 42},
    {"symbol.chr", wgrofontsymbol, 30.25f, 55, 55, 55, 0, 0, 1, 14, 44},
};

TEST(BuiltInStrokeFonts, EveryGlyphKeepsToItsBoxAndLimits) {
  for (const FontCase& f : kFonts) {
    SCOPED_TRACE(f.name);
    resetgraphics();
    f.install();
    const StrokeFont& font = tessar.graphics.font;
    EXPECT_EQ(font.NAME.substr(0, std::string(f.name).size()), f.name);
    EXPECT_EQ(font.METRICS, (std::array<float, 4>{f.m1, f.m2, f.m3, f.m4}));
    EXPECT_EQ(font.STROKED, f.stroked);
    EXPECT_EQ(font.GLYPHS128, f.glyphs128);
    EXPECT_EQ(font.DEFSPACING, f.spacing);
    EXPECT_EQ(font.CHARSETWIDTH, 8);
    EXPECT_LE(font.START2[95] - 1, 17000);
    std::vector<int> codes;
    for (int c = 33; c <= 127; ++c) codes.push_back(c);
    for (int c = 161; c <= 255; ++c) codes.push_back(c);
    for (int c : codes) {
      SCOPED_TRACE(c);
      const std::string_view g = yychglyph(c);
      if (c == 127) {
        EXPECT_EQ(g.empty(), f.glyphs128 == 0);   // the euro sign, or nothing
        if (g.empty()) continue;
      }
      ASSERT_FALSE(g.empty());
      for (const auto& stroke : parse(g)) {
        EXPECT_GE(stroke.size(), f.stroked != 0 ? 2u : 3u);
        EXPECT_LE(stroke.size(), 100u);
        for (const auto& [x, y] : stroke) {
          EXPECT_GE(y, 0);   // -1: a character outside the alphabet
          EXPECT_LE(static_cast<float>(x), f.m3);
          EXPECT_LE(static_cast<float>(y), f.m4);
        }
      }
    }
    if (f.base < 0) continue;
    // Capital H stands on the base line and reaches the capital height.
    int lo = 99, hi = -1;
    for (const auto& stroke : parse(yychglyph('H')))
      for (const auto& [x, y] : stroke) {
        lo = std::min(lo, y);
        hi = std::max(hi, y);
      }
    EXPECT_NEAR(lo, f.base, 1);
    EXPECT_NEAR(hi, f.cap, 1);
  }
}

TEST(WGrTextFont, BoldSwitchInstallsTheBoldOutlineFont) {
  resetgraphics();
  yyofswiss();
  WGrTextFont({.family = 1, .type = 1});
  EXPECT_EQ(tessar.graphics.font.NAME.substr(0, 12), "swissbld.chr");
  EXPECT_EQ(tessar.graphics.text.LOADEDBOLD, 1);
  WGrTextFont({.type = 0});
  EXPECT_EQ(tessar.graphics.font.NAME.substr(0, 9), "swiss.chr");
  // A stroked font keeps itself: the renderer doubles its lines instead.
  wgrvfontstandard();
  WGrTextFont({.family = 1, .type = 1});
  EXPECT_EQ(tessar.graphics.font.NAME.substr(0, 12), "standard.chr");
}

TEST(WGrOFontSwiss, AllFlagsSetGiveBoldAndKeepTheSign) {
  resetgraphics();
  tessar.graphics.text.TYPEFLAGS = -1;
  wgrofontswiss();
  EXPECT_EQ(tessar.graphics.font.NAME.substr(0, 12), "swissbld.chr");
  EXPECT_EQ(tessar.graphics.text.LOADEDBOLD, -1);
}

}  // namespace
