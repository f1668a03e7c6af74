// Text state and font selection.
#include <gtest/gtest.h>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/text.h"

namespace {

class TextState640 : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(640, 480);
    yytextreset();
    yychspace(0);
    devicelog().clear();
  }
  TextState& ts = tessar.graphics.text;
};

struct LetterCase { const char* why; const char* letter; int justify; };
constexpr LetterCase kJustify[] = {
    {"C is centre", "C", 1}, {"blank is centre", " ", 1}, {"x is centre", "x", 1},
    {"l is left", "l", 0},   {"L is left", "L", 0},       {"r is right", "r", 2},
    {"empty is centre", "", 1},
};

TEST_F(TextState640, IgrcharjustifyAndDirectionByLetter) {
  for (const LetterCase& c : kJustify) {
    SCOPED_TRACE(c.why);
    ts.JUSTIFY = -1;
    igrcharjustify(c.letter);
    EXPECT_EQ(ts.JUSTIFY, c.justify);
  }
  igrchardirection("v");
  EXPECT_EQ(ts.DIRECTION, 1);
  igrchardirection("h");
  EXPECT_EQ(ts.DIRECTION, 0);
}

TEST_F(TextState640, WgrtextorientationTakesOnlyValidSettings) {
  ts.JUSTIFY = 2;
  wgrtextorientation(3);
  EXPECT_EQ(ts.JUSTIFY, 2);
  wgrtextorientation(std::nullopt, 90.0f);
  EXPECT_EQ(ts.JUSTIFY, 2);
  EXPECT_FLOAT_EQ(ts.ANGLE1, 90);
  wgrtextorientation(0, std::nullopt, 7, 5);
  EXPECT_EQ(ts.JUSTIFY, 0);
  EXPECT_EQ(ts.DIRECTION, 7);   // stored unchanged
  EXPECT_EQ(ts.VALIGN, 2);
}

struct RotCase { const char* why; int page; float angle; float a1, a2; };
constexpr RotCase kRotations[] = {
    {"negative angle wraps", 0, -90, 270, 270},
    {"two turns give 0", 0, 720, 0, 0},
    {"page rotation adds", 90, 300, 300, 30},
    {"a turn and a half below zero", 0, -540, 180, 180},
    {"fraction kept", 0, 359.5f, 359.5f, 359.5f},
};

TEST_F(TextState640, YychrotReducesAndAddsPageRotation) {
  for (const RotCase& c : kRotations) {
    SCOPED_TRACE(c.why);
    tessar.graphics.area.PAGEROTATION = c.page;
    yychrot(c.angle);
    EXPECT_FLOAT_EQ(ts.ANGLE1, c.a1);
    EXPECT_FLOAT_EQ(ts.ANGLE2, c.a2);
  }
}

TEST_F(TextState640, YychrotCorrectsSinesForAspect) {
  // A 640 x 480 drawable with a square area: Q = (640 / 480) x (479.99 / 639.99) x 1.
  IGrArea(0, 0, 1, 1);
  tessar.graphics.attributes.HARDCOPYON = 1;
  devicelog().clear();
  yychrot(90);
  const float q = (640.0f / 480.0f) * (479.99f / 639.99f);
  EXPECT_NEAR(ts.SINA1Q, q, 1e-6);
  EXPECT_NEAR(ts.SINA1DQ, 1 / q, 1e-6);
  EXPECT_NEAR(ts.COSA1, 0, 1e-7);
  EXPECT_EQ(codes('S'), std::vector<int>{DCHARROTATE});
  EXPECT_EQ(codes('H'), std::vector<int>{DCHARROTATE});
}

TEST_F(TextState640, WgrtextfontRefreshesOnlyWhenItMust) {
  WGrTextFont({.family = 1});
  EXPECT_TRUE(devicelog().empty());
  EXPECT_EQ(ts.FONTKIND, 1);

  WGrTextFont({.family = 102});
  EXPECT_EQ(codes('S'), std::vector<int>{DFONT});
  EXPECT_EQ(ts.FONTKIND, 0);
  EXPECT_EQ(ts.FACE, 2);
  EXPECT_EQ(ts.SPACING, 2);
  EXPECT_EQ(ts.HWFONT, 2);

  WGrTextFont({.family = 101, .spacing = 2});   // Courier does not take table spacing
  EXPECT_EQ(ts.SPACING, 0);

  devicelog().clear();
  ts.CW = 0.02f;
  WGrTextFont({.width = 0.0f});
  EXPECT_FLOAT_EQ(ts.CW, 0.02f);
  EXPECT_EQ(codes('S'), std::vector<int>{DFONT});

  devicelog().clear();
  WGrTextFont({.type = 8});   // only the background bit: no new font needed
  EXPECT_TRUE(devicelog().empty());
  EXPECT_EQ(ts.TYPEFLAGS, 8);
  WGrTextFont({.type = 9});
  EXPECT_EQ(codes('S'), std::vector<int>{DFONT});
}

TEST_F(TextState640, WgrtextfontNamedFaceNeedsAName) {
  WGrTextFont({.family = 100});
  EXPECT_EQ(tessar.error.LASTERROR, 1058);
  EXPECT_EQ(ts.FACE, 0);
  EXPECT_EQ(ts.HWFONT, 2);
  tessar.error.LASTERROR = 0;
  WGrTextFont({.family = 100, .name = "DejaVu Sans"});
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(ts.USERFACE.size(), 100u);
  EXPECT_EQ(ts.USERFACE.substr(0, 12), "DejaVu Sans ");
}

TEST_F(TextState640, WgrtextfontItalicStrokeSlants) {
  WGrTextFont({.family = 1, .type = 2});
  EXPECT_FLOAT_EQ(ts.SLANT, 0.4663f);
  WGrTextFont({.type = 0});
  EXPECT_FLOAT_EQ(ts.SLANT, 0);
}

TEST_F(TextState640, WgrtextfontBoldOutlineFontInstallsBoldVariant) {
  static std::vector<int> swiss;
  swiss.clear();
  graphicsservices.wgrofontswiss = [](int type) { swiss.push_back(type); };
  StrokeFont& font = tessar.graphics.font;
  font.STROKED = 0;
  font.NAME.replace(0, 9, "swiss.chr");
  WGrTextFont({.family = 1, .type = 1});
  EXPECT_EQ(swiss, std::vector<int>{1});
  // A stroked font keeps itself; the renderer thickens the lines instead.
  swiss.clear();
  font.STROKED = 1;
  WGrTextFont({.type = 0});
  EXPECT_TRUE(swiss.empty());
}

TEST_F(TextState640, YychsizeRestoresDefaults) {
  yychsize(0, -1);
  EXPECT_FLOAT_EQ(ts.CW, 0.01333333f);
  EXPECT_FLOAT_EQ(ts.CH, 0.04f);
  yychsize(0.5f, 0.25f);
  EXPECT_FLOAT_EQ(ts.CW, 0.5f);
}

TEST_F(TextState640, YychdfontWithScreenOffComputesCharacterScale) {
  tessar.graphics.attributes.SCREENON = 0;
  IGrArea(0, 0, 0.5f, 1);
  yychsize(0.1f, 0.05f);
  const GraphicsArea& ar = tessar.graphics.area;
  EXPECT_FLOAT_EQ(ts.CHSCALEX, ar.REXTX / (ar.RDEVW * 0.1f));
  EXPECT_FLOAT_EQ(ts.CHSCALEY, ar.REXTY / (ar.RDEVH * 0.05f));
  EXPECT_TRUE(codes('S').empty());
}

TEST_F(TextState640, YychspaceRestoresEntriesAndRefusesOthers) {
  ts.CHARWIDTHS[127 - 32] = 9;
  yychspace(128);
  EXPECT_FLOAT_EQ(ts.CHARWIDTHS[127 - 32], 0.74f);
  yychspace(127);
  EXPECT_EQ(tessar.error.LASTERROR, 66);
  tessar.error.LASTERROR = 0;
  yychspace(160);
  EXPECT_EQ(tessar.error.LASTERROR, 66);
  EXPECT_FLOAT_EQ(yychwidth(255), 0.83f);
  EXPECT_FLOAT_EQ(yychwidth(161), 0.55f);
  EXPECT_FLOAT_EQ(yychwidth(64), 1.54f);
}

struct LengthCase { const char* why; int spacing; const char* text; float want; };
const LengthCase kLengths[] = {
    {"fixed pitch counts characters", 0, "Flow ", 5},
    {"table spacing sums widths", 1, "AB", 1.11f + 1.11f},
    {"control characters advance like a space", 1, "\x01\x7f", 1.4f},
    {"code 128 without a 128-glyph font is a space", 1, "\x80", 0.7f},
};

TEST_F(TextState640, WgrtextlengthFromTheToolkitWidths) {
  ts.FONTKIND = 1;   // stroke text never asks the device
  for (const LengthCase& c : kLengths) {
    SCOPED_TRACE(c.why);
    ts.SPACING = c.spacing;
    EXPECT_FLOAT_EQ(wgrtextlength(c.text), c.want);
  }
  tessar.graphics.font.GLYPHS128 = 1;
  ts.SPACING = 1;
  EXPECT_FLOAT_EQ(wgrtextlength("\x80"), 0.74f);
  tessar.graphics.font.CHARSETWIDTH = 7;
  EXPECT_FLOAT_EQ(wgrtextlength("\xe9"), 0.7f);
  EXPECT_TRUE(devicelog().empty());
}

TEST_F(TextState640, WgrtextlengthAsksTheDeviceForDeviceFonts) {
  IGrArea(0, 0, 1, 1);
  ts.SPACING = 2;
  ts.CHSCALEX = 64;
  static int asked = 0;
  asked = 0;
  graphicsservices.yygapi = [](int& code) {
    if (code != DTEXTLENGTH) return;
    asked = tessar.graphics.operands.IOPER1;
    tessar.graphics.operands.RX1 = 30;
    tessar.graphics.operands.IOPER2 = 1;
  };
  const float length = wgrtextlength(std::string(300, 'x'));
  EXPECT_EQ(asked, 260);
  EXPECT_FLOAT_EQ(length, 64 * 30 / tessar.graphics.area.REXTX);
  // A device that cannot measure leaves the toolkit's own widths.
  graphicsservices.yygapi = nullptr;
  EXPECT_FLOAT_EQ(wgrtextlength("AB"), 2.22f);
  EXPECT_FLOAT_EQ(wgrtextlength("AB", 1), 2.22f);
}

}  // namespace
