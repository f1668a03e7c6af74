// Drawing text strings: justification and the current point, the visible run, per-character
// table spacing, vertical text, stroke text on both sides, stroke substitution on a side that
// cannot draw device text, underlines and background boxes, and string widths.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"

namespace {

std::vector<DeviceCall> textcalls(char side) {
  std::vector<DeviceCall> out;
  for (const DeviceCall& c : devicelog())
    if (c.side == side && c.code == DTEXT) out.push_back(c);
  return out;
}

// User units equal device units on a 640 x 480 drawable; the standard stroke font installed.
class TextString640 : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(640, 480);
    igrinit("");
    IGrUnits(0, 0, 639.99f, 479.99f);
    devicelog().clear();
  }
  static float AW() { return tessar.graphics.area.RDEVW * tessar.graphics.text.CW; }
  static float AH() { return tessar.graphics.area.RDEVH * tessar.graphics.text.CH; }
  static void openhardcopy() {
    GraphicsRegion& g = tessar.graphics;
    g.attributes.HARDCOPYON = 1;
    g.description.HCTEXTLIMIT = 1.7e38f;
    g.description.HCTEXTANGLES = 360;
    g.description.HCCAPS = std::string(29, '1');
    g.description.HCDEVTEXT = 1;
    g.operands.HCASPECT = g.area.ASPECT;
    g.operands.HCSCALEX = g.operands.HCSCALEY = 1;
  }
};

TEST_F(TextString640, JustificationPlacesTextAndMovesTheCurrentPoint) {
  struct Case { const char* why; int justify; float start, end, next; };   // in cells from 320
  const Case cases[] = {
      {"left: starts at the anchor", 0, 0, 4, 4},
      {"centre: half on each side, next half a cell on", 1, -2, 2, 2.5f},
      {"right: ends at the anchor, next one cell on", 2, -4, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    devicelog().clear();
    wgrtextorientation(c.justify);
    wgrtextstring(320, 240, "ABCD");
    const auto t = textcalls('S');
    ASSERT_EQ(t.size(), 1u);
    EXPECT_NEAR(t[0].operands.RX1, 320 + c.start * AW(), 1e-3);
    EXPECT_NEAR(t[0].operands.RY1, 240, 1e-3);
    EXPECT_NEAR(t[0].operands.RX3, 320 + c.end * AW(), 1e-3);
    EXPECT_EQ(t[0].operands.IX1, 4);
    EXPECT_EQ(tessar.files.HCCURRENT.substr(0, 5), "ABCD ");
    EXPECT_NEAR(tessar.graphics.area.CURX, 320 + c.next * AW(), 1e-3);
  }
}

TEST_F(TextString640, EmptyTextDrawsNothingButMovesByTheJustification) {
  wgrtextorientation(2);
  wgrtextstring(100, 50, "");
  EXPECT_TRUE(textcalls('S').empty());
  EXPECT_NEAR(tessar.graphics.area.CURX, 100 + AW(), 1e-3);
  EXPECT_NEAR(tessar.graphics.area.CURY, 50, 1e-3);
}

TEST_F(TextString640, TrailingBlanksAreCentredWithTheRest) {
  wgrtextstring(320, 240, "AB  ");
  ASSERT_EQ(textcalls('S').size(), 1u);
  EXPECT_NEAR(textcalls('S')[0].operands.RX1, 320 - 2 * AW(), 1e-3);
  EXPECT_EQ(textcalls('S')[0].operands.IX1, 4);
}

TEST_F(TextString640, OnlyTheVisibleRunIsSent) {
  IGrArea(0.25f, 0, 0.75f, 1);   // clip box 160 .. 480
  IGrUnits(160, 0, 480, 479.99f);
  wgrtextorientation(0);
  devicelog().clear();
  // Cells of 320 x 0.01333333 = 4.27 units: 80 of them run from 155 to 496.
  const std::string text(80, 'x');
  wgrtextstring(155, 240, text);
  const auto t = textcalls('S');
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].operands.IX1, 74);   // the first two characters and the last four are cut off
  EXPECT_NEAR(t[0].operands.RX1, 155 + 2 * AW(), 1e-3);
  EXPECT_NEAR(t[0].operands.RX3, 155 + 76 * AW(), 1e-3);
  EXPECT_NEAR(t[0].operands.RX4, 155 + 76 * AW(), 1e-3);
  devicelog().clear();
  wgrtextstring(10, 240, "gone");
  EXPECT_TRUE(textcalls('S').empty());
  EXPECT_NEAR(tessar.graphics.area.CURX, 10 + 4 * AW(), 1e-3);
}

TEST_F(TextString640, TableSpacingSendsCharacterByCharacterWithBoxAndUnderline) {
  WGrTextFont({.family = 102, .type = 4 | 8, .spacing = 2});
  wgrtextorientation(0);
  devicelog().clear();
  wgrtextstring(100, 240, "AB");
  const auto t = textcalls('S');
  ASSERT_EQ(t.size(), 2u);
  const float o1 = 0.14f * 1.11f * AW();
  EXPECT_NEAR(t[0].operands.RX1, 100 + o1, 1e-3);
  EXPECT_NEAR(t[1].operands.RX1, 100 + o1 + 1.11f * AW(), 1e-3);
  EXPECT_EQ(t[0].operands.IX1, 1);
  EXPECT_EQ(t[0].operands.IX2, 1);
  EXPECT_EQ(t[1].operands.IX2, 2);
  // The background box went first, in the previous colour, as a solid polygon.
  const std::vector<int> s = codes('S');
  ASSERT_FALSE(s.empty());
  bool box = false;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'S' && c.code == DPOLYGONSOLID) {
      box = true;
      EXPECT_EQ(c.operands.IOPER2, 4);
      EXPECT_EQ(c.colours[PAIRINDEX][CURRENT], 0);   // white, the previous colour
    }
  EXPECT_TRUE(box);
  EXPECT_EQ(tessar.graphics.attributes.COLOURS[PAIRINDEX][CURRENT], 223);
  // The underline 0.45 cells below the line, as long as the text.
  const DeviceCall& u = devicelog().back();
  EXPECT_EQ(u.code, DLINE);
  EXPECT_NEAR(u.operands.RY1, 240 - 0.45f * AH(), 1e-3);
  EXPECT_NEAR(u.operands.RX2 - u.operands.RX1, 2.22f * AW(), 1e-3);
}

TEST_F(TextString640, TableSpacingOnHardcopyGoesCharacterByCharacterToo) {
  openhardcopy();
  WGrTextFont({.family = 103, .spacing = 2});
  wgrtextorientation(0);
  devicelog().clear();
  wgrtextstring(100, 240, "AjB");
  const auto h = textcalls('H');
  ASSERT_EQ(h.size(), 3u);
  EXPECT_EQ(h[0].operands.IX2, 1);
  EXPECT_EQ(h[1].operands.IX2, 0);
  EXPECT_EQ(h[2].operands.IX2, 2);
  EXPECT_NEAR(h[1].operands.RX1 - h[0].operands.RX1, 1.11f * AW(), 1e-3);   // the width of A
  EXPECT_NEAR(h[2].operands.RX1 - h[1].operands.RX1, 0.46f * AW(), 1e-3);   // the width of j
  EXPECT_EQ(textcalls('S').size(), 3u);
}

TEST_F(TextString640, VerticalDeviceTextIsOneRequestOnScreenOnePerCharacterOnHardcopy) {
  openhardcopy();
  igrchardirection("V");
  wgrtextstring(320, 240, "ABC");
  EXPECT_EQ(textcalls('S').size(), 1u);
  const auto h = textcalls('H');
  ASSERT_EQ(h.size(), 3u);
  EXPECT_NEAR(h[0].operands.RY1 - h[1].operands.RY1, AH(), 1e-3);
  EXPECT_EQ(h[0].operands.IX2, 1);
  EXPECT_EQ(h[2].operands.IX2, 2);
}

TEST_F(TextString640, StrokeTextReachesBothSidesInOnePass) {
  openhardcopy();
  WGrTextFont({.family = 1});
  wgrtextstring(320, 240, "HI");
  EXPECT_TRUE(textcalls('S').empty());
  EXPECT_TRUE(textcalls('H').empty());
  int screen = 0, hardcopy = 0;
  for (const DeviceCall& c : devicelog()) {
    if (c.code != DLINE && c.code != DPOLYLINE) continue;
    (c.side == 'S' ? screen : hardcopy)++;
  }
  EXPECT_GT(screen, 3);
  EXPECT_EQ(screen, hardcopy);
}

TEST_F(TextString640, StrokeTextOnHardcopyAloneIsPlacedAsOnScreen) {
  struct Case { const char* why; bool outline; int justify; float angle; };
  const Case cases[] = {
      {"standard font at fixed pitch, left", false, 0, 0},
      {"standard font, centred, rotated", false, 1, 30},
      {"outline font at table spacing, right", true, 2, 0},
      {"outline font, left, rotated", true, 0, -45},
  };
  openhardcopy();
  GraphicsAttributes& at = tessar.graphics.attributes;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    if (c.outline)
      wgrofontswiss();
    else
      wgrvfontstandard(0);
    WGrTextFont({.family = 1});
    wgrtextorientation(c.justify, c.angle);
    at.SCREENON = 1;
    at.HARDCOPYON = 0;
    devicelog().clear();
    wgrtextstring(200, 240, "HHHH");
    const auto screen = strokestarts('S');
    const float nextx = tessar.graphics.area.CURX, nexty = tessar.graphics.area.CURY;
    at.SCREENON = 0;
    at.HARDCOPYON = 1;
    devicelog().clear();
    wgrtextstring(200, 240, "HHHH");
    const auto hardcopy = strokestarts('H');
    ASSERT_GE(screen.size(), 4u);
    ASSERT_EQ(hardcopy.size(), screen.size());
    for (std::size_t i = 0; i < screen.size(); ++i) {
      EXPECT_NEAR(hardcopy[i].first, screen[i].first, 1e-3) << "stroke " << i;
      EXPECT_NEAR(hardcopy[i].second, screen[i].second, 1e-3) << "stroke " << i;
    }
    // Equal glyphs side by side: the last one starts three advances after the first.
    const float w = tessar.graphics.text.SPACING == 0 ? 1.0f : yychwidth('H');
    const std::size_t perglyph = hardcopy.size() / 4;
    const float dx = hardcopy[3 * perglyph].first - hardcopy[0].first;
    const float dy = hardcopy[3 * perglyph].second - hardcopy[0].second;
    EXPECT_NEAR(std::hypot(dx, dy), 3 * w * AW(), 1e-2);
    EXPECT_NEAR(tessar.graphics.area.CURX, nextx, 1e-3);
    EXPECT_NEAR(tessar.graphics.area.CURY, nexty, 1e-3);
  }
  EXPECT_EQ(at.SCREENON, 0);
  EXPECT_EQ(at.HARDCOPYON, 1);
}

TEST_F(TextString640, RotatedStrokeTextRunsAlongItsAngle) {
  WGrTextFont({.family = 1});
  wgrtextorientation(0, 90.0f);
  wgrtextstring(320, 100, "IIII");
  std::vector<float> xs, ys;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'S' && (c.code == DLINE || c.code == DPOLYLINE)) {
      xs.push_back(c.operands.RX1);
      ys.push_back(c.operands.RY1);
    }
  ASSERT_GE(ys.size(), 4u);
  for (std::size_t i = 1; i < ys.size(); ++i) EXPECT_GT(ys[i], ys[i - 1]);   // upwards
  for (float x : xs) EXPECT_NEAR(x, 320, AH());   // around the anchor's vertical
}

std::string& fontseen() {
  static std::string name;
  return name;
}

TEST_F(TextString640, RasterHardcopyDrawsTheMatchingStrokeFont) {
  openhardcopy();
  tessar.graphics.description.HCTEXTLIMIT = 0;
  tessar.graphics.description.HCTEXTANGLES = 0;
  graphicsservices.xxhcif = [](int& code) {
    if (code == DPOLYGON) fontseen() = tessar.graphics.font.NAME.substr(0, 12);
    recordhardcopy(code);
  };
  WGrTextFont({.family = 103, .type = 1});   // Times New Roman, bold
  devicelog().clear();
  wgrtextstring(320, 240, "Ab");
  EXPECT_EQ(fontseen(), "romanbld.chr");
  EXPECT_EQ(textcalls('S').size(), 1u);   // the screen draws its own device text
  EXPECT_TRUE(textcalls('H').empty());
  for (const DeviceCall& c : devicelog()) {
    if (c.code == DPOLYGON || c.code == DPOLYGONSOLID) {
      EXPECT_EQ(c.side, 'H');   // the glyphs went to the hardcopy side only
    }
  }
  EXPECT_EQ(tessar.graphics.font.NAME.substr(0, 12), "standard.chr");
  EXPECT_EQ(tessar.graphics.text.FONTKIND, 0);
  EXPECT_EQ(tessar.graphics.attributes.SCREENON, 1);
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 1);
}

TEST_F(TextString640, SymbolFaceIsSubstitutedBySymbolFont) {
  openhardcopy();
  tessar.graphics.description.HCTEXTLIMIT = 0;
  tessar.graphics.description.HCTEXTANGLES = 0;
  fontseen().clear();
  graphicsservices.xxhcif = [](int& code) {
    if (code == DPOLYGON) fontseen() = tessar.graphics.font.NAME.substr(0, 10);
    recordhardcopy(code);
  };
  WGrTextFont({.family = 104, .type = 1});
  wgrtextstring(320, 240, "p");
  EXPECT_EQ(fontseen(), "symbol.chr");
}

TEST_F(TextString640, HardcopyUnderlineWhenTheDriverLeavesIt) {
  openhardcopy();
  WGrTextFont({.type = 4});
  igrlinetype(3);
  devicelog().clear();
  wgrtextorientation(0);
  wgrtextstring(100, 200, "abc");
  const auto h = textcalls('H');
  ASSERT_EQ(h.size(), 1u);
  EXPECT_EQ(h[0].operands.IX2, 3);
  bool underline = false;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'H' && c.code == DLINE) {
      underline = true;
      EXPECT_NEAR(c.operands.RY1, 200 - 0.45f * AH(), 1e-3);
      EXPECT_NEAR(c.operands.RX1, 100, 1e-3);
      EXPECT_NEAR(c.operands.RX2, 100 + 3 * AW(), 1e-3);
    }
  EXPECT_TRUE(underline);
  EXPECT_EQ(tessar.graphics.attributes.LINETYPE, 3);   // solid underline, then put back
}

TEST_F(TextString640, StringWidths) {
  struct Case { const char* why; TextFontOptions font; std::string text; float width; };
  const Case cases[] = {
      {"fixed pitch: one per character", {.family = 101}, "Hello", 5},
      {"table spacing: the width table", {.family = 102, .spacing = 2}, "AB", 2.22f},
      {"table spacing: blanks count", {.family = 102, .spacing = 2}, "A ", 1.81f},
      {"code 128 uses the width of 127", {.family = 1, .spacing = 2}, "\x80", 0.74f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    WGrTextFont(c.font);
    EXPECT_NEAR(wgrtextlength(c.text, 1), c.width, 1e-5);
  }
}

}  // namespace

namespace {

TEST(YyChSubst, WhichHardcopySidesGetStrokeText) {
  struct Case {
    const char* why;
    float limit;
    int angles;
    char cap27;
    int spacing;
    float cell;    // cell width and height in drawable units (hardcopy scale 1)
    float angle;   // effective angle
    int result;
  };
  const Case cases[] = {
      {"DXF, proportional: no proportional fonts there", 0.222f, 360, '0', 1, 0.1f, 0, 1},
      {"DXF, fixed pitch, small cell: its own text", 0.222f, 360, '0', 0, 0.2f, 0, 0},
      {"DXF, fixed pitch, both sides above 0.222", 0.222f, 360, '0', 0, 0.3f, 0, 1},
      {"raster printer: no rotated text at all", 0, 0, '1', 0, 0.1f, 0, 1},
      {"upright only, 359.5 degrees counts as turned", 1.7e30f, 1, '1', 0, 0.1f, 359.5f, 1},
      {"upright only, level text", 1.7e30f, 1, '1', 0, 0.1f, 0.5f, 0},
      {"any angle and proportional fonts", 1.7e30f, 360, '1', 1, 0.1f, 90, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    resetgraphics();
    GraphicsRegion& g = tessar.graphics;
    g.description.HCTEXTLIMIT = c.limit;
    g.description.HCTEXTANGLES = c.angles;
    g.description.HCCAPS = std::string(29, '1');
    g.description.HCCAPS[26] = c.cap27;
    g.operands.HCSCALEX = g.operands.HCSCALEY = 1;
    g.text.SPACING = c.spacing;
    g.text.ANGLE2 = c.angle;
    int result = -1;
    yychsubst(1, c.cell, c.cell, result);
    EXPECT_EQ(result, c.result);
  }
}

}  // namespace
