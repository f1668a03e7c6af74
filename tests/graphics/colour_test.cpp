// Colours and palettes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/lines.h"

namespace {

constexpr float kDegree = static_cast<float>(std::numbers::pi / 180);

TEST(Wrgb, PacksAndSplitsWithoutClamping) {
  EXPECT_EQ(wrgb(255, 0, 0), 255);
  EXPECT_EQ(wrgb(256, 0, 0), 256);
  int r = -1, g = -1, b = -1;
  wrgbsplit(0xFF0000, &r, &g, &b);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 255);
  wrgbsplit(256, &r, &g);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(g, 1);
  wrgbsplit(-1, &r, nullptr, &b);   // components keep the sign of the colour
  EXPECT_EQ(r, -1);
  EXPECT_EQ(b, 0);
}

struct EntryCase { const char* why; int index; int r, g, b; };
constexpr EntryCase kEntries[] = {
    {"white", 0, 255, 255, 255},      {"light grey end", 15, 195, 195, 195},
    {"pure red", 31, 255, 0, 0},      {"dark red start", 32, 131, 0, 0},
    {"yellow", 63, 255, 255, 0},      {"green", 95, 0, 255, 0},
    {"cyan", 127, 0, 255, 255},       {"blue", 159, 0, 0, 255},
    {"magenta", 191, 255, 0, 255},    {"dark grey start", 208, 60, 60, 60},
    {"black", 223, 0, 0, 0},          {"grey 64", 239, 64, 64, 64},
    {"grey 191", 240, 191, 191, 191}, {"grey 131", 255, 131, 131, 131},
};

TEST(Yypali, BuildsTheSixteenBlocks) {
  resetgraphics();
  for (const EntryCase& c : kEntries) {
    SCOPED_TRACE(c.why);
    int rgb = -1;
    yypalg(c.index, rgb);
    EXPECT_EQ(rgb, wrgb(c.r, c.g, c.b));
  }
  int rgb = -1;
  yypalg8(1, rgb);
  EXPECT_EQ(rgb, 0xFF0000);   // blue
  yypalg16(7, rgb);
  EXPECT_EQ(rgb, wrgb(64, 64, 64));
  yypalg16(8, rgb);
  EXPECT_EQ(rgb, wrgb(191, 191, 191));
}

TEST(Yypali, ClassTablePicksTheLastEntryOfEachStepInsideTheRamps) {
  resetgraphics();
  tessar.graphics.attributes.DEVCLASS = 32;
  yypali();
  const int want[] = {0, 8, 23, 31, 39};
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(k);
    int rgb = -1, entry = -1;
    yypalg32(k, rgb);
    yypalg(want[k], entry);
    EXPECT_EQ(rgb, entry);
  }
  int rgb = -1, entry = -1;
  yypalg32(30, rgb);
  yypalg(240, entry);
  EXPECT_EQ(rgb, entry);
  yypalg32(29, rgb);
  yypalg(239, entry);
  EXPECT_EQ(rgb, entry);
}

// The window opening builds the palette before igrinit sets the class; the class table
// must still exist once the class is known.
TEST(Yypali, ClassTableIsBuiltWhenIgrinitSetsTheClass) {
  resetgraphics();
  tessar.graphics.attributes.DEVCLASS = 0;
  yypali();
  tessar.graphics.attributes.PALETTECLASS = 64;
  igrinit(" ");
  int rgb = 0, entry = -1;
  yypalg32(5, rgb);   // step 4: entry 20 + 3
  yypalg(23, entry);
  EXPECT_EQ(rgb, entry);
}

struct NearestCase { const char* why; int rgb; int index; };
constexpr NearestCase kNearest[] = {
    {"exact match", 0x0000FF, 31},
    {"one off pure red: through the cone", 0x0000FE, 31},
    {"mid grey: grey 131", 0x808080, 255},
    {"orange: a bright yellow", 0x0080FF, 59},
    {"0x123456: grey 88", 0x123456, 233},
    {"white exact", 0xFFFFFF, 0},
    {"black exact", 0, 223},
};

TEST(Yyrgbto8, FindsExactOrNearestEntry) {
  resetgraphics();
  for (const NearestCase& c : kNearest) {
    SCOPED_TRACE(c.why);
    int index = -1;
    yyrgbto8(c.rgb, index);
    EXPECT_EQ(index, c.index);
  }
}

struct HsvCase { const char* why; int rgb; float hdeg, s, v; };
constexpr HsvCase kHsv[] = {
    {"pure red is 360 degrees, not 0", 0x0000FF, 360, 1, 1},
    {"pure green", 0x00FF00, 120, 1, 1},
    {"pure blue", 0xFF0000, 240, 1, 1},
    {"yellow", 0x00FFFF, 60, 1, 1},
    {"white has no hue", 0xFFFFFF, 0, 0, 1},
    {"black", 0, 0, 0, 0},
    {"tolerance: red 250 counts as the maximum", 0x00FFFA, 60, 1, 1},
};

TEST(Yyrgbhsv, ConvertsWithChannelTolerance) {
  for (const HsvCase& c : kHsv) {
    SCOPED_TRACE(c.why);
    float h = -1, s = -1, v = -1;
    yyrgbhsv(c.rgb, h, s, v);
    EXPECT_NEAR(h, c.hdeg * kDegree, 1e-5);
    EXPECT_NEAR(s, c.s, 1e-6);
    EXPECT_NEAR(v, c.v, 1e-6);
  }
}

struct CnumCase { const char* why; int cls; int index; int want; };
constexpr CnumCase kCnum[] = {
    {"class 16: pure red is bright red", 16, 31, 12},
    {"class 16: dark red", 16, 47, 4},
    {"class 16: white-end grey", 16, 5, 0},
    {"class 16: light grey", 16, 250, 8},
    {"class 16: dark grey", 16, 230, 7},
    {"class 16: black", 16, 223, 15},
    {"none stays none", 16, -1, -1},
    {"0 is 0 in every class", 2, 0, 0},
    {"monochrome", 2, 159, 1},
    {"class 8: blue slot", 8, 159, 1},
    {"class 32", 32, 100, 12},
    {"class 256 is the index", 256, 100, 100},
};

TEST(Yycnum, MapsIndexByDeviceClass) {
  resetgraphics();
  for (const CnumCase& c : kCnum) {
    SCOPED_TRACE(c.why);
    tessar.graphics.attributes.DEVCLASS = c.cls;
    EXPECT_EQ(yycnum(c.index), c.want);
  }
  tessar.graphics.attributes.DEVCLASS = 3;   // no such class: the last answer again
  EXPECT_EQ(yycnum(77), 100);
}

TEST(Yycoln, SlotsOfBothRows) {
  EXPECT_EQ(yycoln(1, 0), 4);
  EXPECT_EQ(yycoln(1, 1), 5);
  EXPECT_EQ(yycoln(9, 0), 12);
  EXPECT_EQ(yycoln(16, 0), -1);
  EXPECT_EQ(yycoln(-1, 0), -1);
}

struct NameCase { const char* why; const char* name; int number; };
constexpr NameCase kNames[] = {
    {"black", "BLACK", 0},       {"blue", "blue", 1},       {"grey reads as green", "grey", 2},
    {"red", "RED", 4},           {"one letter", "r", 4},    {"leading blanks", "  Red dot", 4},
    {"B prefix", "Bred", 12},    {"B prefix blue", "Bblue", 9},
    {"unknown", "violet", -1},   {"BLX is unknown", "BLX", -1},  {"blank", "    ", -1},
    {"white", "white", 7},
};

TEST(Yycol, NamesToColourNumbers) {
  for (const NameCase& c : kNames) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(yycol(c.name), c.number);
  }
}

struct IGrColourCase { const char* why; const char* name; int model; int index; int rgb; };
constexpr IGrColourCase kColours[] = {
    {"red in palette model", "red", 1, 31, 0x0000FF},
    {"RED the same", "RED", 1, 31, 0x0000FF},
    {"black", "black", 1, 223, 0},
    {"white", "white", 1, 0, 0xFFFFFF},
    {"Bblue is blue", "Bblue", 1, 159, 0xFF0000},
    {"red in RGB model", "red", 2, -1, 0x0000FF},
    {"white in RGB model", "white", 2, -1, 0xFFFFFF},
    {"black in RGB model", "black", 2, -1, 0},
};

TEST(IGrColour, SelectsNamedColourInEitherModel) {
  for (const IGrColourCase& c : kColours) {
    SCOPED_TRACE(c.why);
    resetgraphics();
    tessar.graphics.description.SCTRUECOLOUR = 1;
    tessar.graphics.attributes.COLOURMODEL = c.model;
    IGrColour(c.name);
    const GraphicsAttributes& at = tessar.graphics.attributes;
    EXPECT_EQ(at.COLOURS[PAIRINDEX][CURRENT], c.index);
    EXPECT_EQ(at.COLOURS[PAIRRGB][CURRENT], c.rgb);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
}

TEST(IGrColour, UnknownNameRecords42AndChangesNothing) {
  resetgraphics();
  const auto before = tessar.graphics.attributes.COLOURS;
  IGrColour("violet");
  EXPECT_EQ(tessar.error.LASTERROR, 42);
  EXPECT_EQ(tessar.graphics.attributes.COLOURS, before);
  EXPECT_TRUE(devicelog().empty());
}

TEST(IGrColourN, PaletteModelChecksRangeAndShiftsPairs) {
  resetgraphics();
  tessar.graphics.attributes.HARDCOPYON = 1;
  IGrColourN(31);
  IGrColourN(256);
  EXPECT_EQ(tessar.error.LASTERROR, 42);
  const GraphicsAttributes& at = tessar.graphics.attributes;
  EXPECT_EQ(at.COLOURS[PAIRINDEX], (std::array<int, 2>{223, 31}));
  EXPECT_EQ(at.COLOURS[PAIRRGB][CURRENT], 0x0000FF);
  EXPECT_EQ(at.COLOURS[PAIRDEVICE][CURRENT], 31);
  // Only the accepted colour reached the devices: screen, then hardcopy.
  EXPECT_EQ(codes('S'), std::vector<int>{DCOLOUR});
  EXPECT_EQ(codes('H'), std::vector<int>{DCOLOUR});
}

TEST(IGrColourN, RgbModelOnTrueColourHasNoIndexUntilPaletteModel) {
  resetgraphics();
  tessar.graphics.description.SCTRUECOLOUR = 1;
  igrcolourmodel(24);
  IGrColourN(16777215);
  IGrColourN(0x0000FE);
  GraphicsAttributes& at = tessar.graphics.attributes;
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(at.COLOURS[PAIRINDEX], (std::array<int, 2>{-1, -1}));
  EXPECT_EQ(at.COLOURS[PAIRDEVICE], (std::array<int, 2>{-1, -1}));
  devicelog().clear();
  igrcolourmodel(1);
  EXPECT_EQ(at.COLOURMODEL, 1);
  EXPECT_EQ(at.COLOURS[PAIRINDEX], (std::array<int, 2>{0, 31}));
  EXPECT_EQ(at.COLOURS[PAIRDEVICE], (std::array<int, 2>{-1, -1}));
  EXPECT_TRUE(devicelog().empty());
}

TEST(IGrColourN, RgbModelOnPaletteScreenLooksUpNearestEntry) {
  resetgraphics();
  igrcolourmodel(24);
  IGrColourN(0x0080FF);
  EXPECT_EQ(tessar.graphics.attributes.COLOURS[PAIRINDEX][CURRENT], 59);
}

TEST(Yycon, SetsColoursWithoutLookupOnTheSidesAsked) {
  resetgraphics();
  tessar.graphics.attributes.HARDCOPYON = 1;
  yycon(5, 0x123456, 9, 1);
  EXPECT_EQ(codes('S'), std::vector<int>{DCOLOUR});
  EXPECT_TRUE(codes('H').empty());
  yycon(6, 1, 2, 2);
  EXPECT_EQ(codes('H'), std::vector<int>{DCOLOUR});
  EXPECT_EQ(tessar.graphics.attributes.COLOURS[PAIRRGB], (std::array<int, 2>{0x123456, 1}));
}

TEST(Yypals, ReplacesTheGroupRepresentatives) {
  resetgraphics();
  yypals(31, 0x000080);
  int rgb = 0;
  yypalg8(4, rgb);
  EXPECT_EQ(rgb, 0x000080);
  yypalg16(12, rgb);
  EXPECT_EQ(rgb, 0x000080);
  int index = -1;
  yyrgbto8(0x000080, index);
  EXPECT_EQ(index, 31);
}

TEST(Yypalrgb, SplitsTheColourOfTheModel) {
  resetgraphics();
  int r = -1, g = -1, b = -1;
  yypalrgb(63, &r, &g, &b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 255);
  EXPECT_EQ(b, 0);
  igrcolourmodel(24);
  yypalrgb(63, &r, &g, &b);
  EXPECT_EQ(r, 63);
  EXPECT_EQ(g, 0);
}

}  // namespace
