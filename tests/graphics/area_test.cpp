// Graphics state, areas and units.
#include <gtest/gtest.h>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/pgraph/definition.h"

namespace {

class GraphicsArea640 : public ::testing::Test {
 protected:
  void SetUp() override { resetgraphics(640, 480); }
};

TEST_F(GraphicsArea640, WholeDrawableGivesClipBoxJustInsideIt) {
  IGrArea(0, 0, 1, 1);
  const GraphicsArea& ar = tessar.graphics.area;
  EXPECT_FLOAT_EQ(ar.XMIN, 0);
  EXPECT_FLOAT_EQ(ar.YMIN, 0);
  EXPECT_FLOAT_EQ(ar.XMAX, 639.99f);
  EXPECT_FLOAT_EQ(ar.YMAX, 479.99f);
  EXPECT_EQ(ar.IXMIN, 0);
  EXPECT_EQ(ar.IYMIN, 0);
  EXPECT_EQ(ar.IXMAX, 639);
  EXPECT_EQ(ar.IYMAX, 479);
  EXPECT_EQ(ar.IXSIZE, 640);
  EXPECT_EQ(ar.IYSIZE, 480);
  EXPECT_FLOAT_EQ(ar.TXMAX, 639.991f);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  // The clip goes to the screen side from yywing; the hardcopy side is closed.
  EXPECT_EQ(codes('S').front(), DCLIP);
}

struct AreaCase {
  const char* why;
  float x1, y1, x2, y2;
  float ax1, ay1, ax2, ay2;
  int error;
};
constexpr AreaCase kAreaCases[] = {
    {"a proper box is taken", 0.25f, 0.1f, 0.75f, 0.9f, 0.25f, 0.1f, 0.75f, 0.9f, 0},
    {"empty x range: x becomes 0-1, y kept", 0.5f, 0.2f, 0.5f, 0.8f, 0, 0.2f, 1, 0.8f, 44},
    {"negative x1: x becomes 0-1", -0.1f, 0.2f, 0.5f, 0.8f, 0, 0.2f, 1, 0.8f, 44},
    {"x2 beyond 1", 0.1f, 0.2f, 1.5f, 0.8f, 0, 0.2f, 1, 0.8f, 44},
    {"reversed y only", 0.1f, 0.8f, 0.5f, 0.2f, 0.1f, 0, 0.5f, 1, 44},
    {"x1 of 1 is outside", 1, 0, 1, 1, 0, 0, 1, 1, 44},
    {"NaN bound is refused", std::numeric_limits<float>::quiet_NaN(), 0, 1, 1, 0, 0, 1, 1, 44},
};

TEST_F(GraphicsArea640, IGrAreaReplacesBadRangesAxisByAxis) {
  for (const AreaCase& c : kAreaCases) {
    SCOPED_TRACE(c.why);
    resetgraphics(640, 480);
    IGrArea(c.x1, c.y1, c.x2, c.y2);
    const GraphicsArea& ar = tessar.graphics.area;
    EXPECT_FLOAT_EQ(ar.AX1, c.ax1);
    EXPECT_FLOAT_EQ(ar.AY1, c.ay1);
    EXPECT_FLOAT_EQ(ar.AX2, c.ax2);
    EXPECT_FLOAT_EQ(ar.AY2, c.ay2);
    EXPECT_FLOAT_EQ(ar.AREAW, c.ax2 - c.ax1);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
}

TEST_F(GraphicsArea640, IGrUnitsResetsOnlyTheEmptyAxis) {
  IGrUnits(0, 10, 1, 5);
  const GraphicsArea& ar = tessar.graphics.area;
  EXPECT_EQ(tessar.error.LASTERROR, 16);
  EXPECT_FLOAT_EQ(ar.GY1, 0);
  EXPECT_FLOAT_EQ(ar.GY2, 1);
  EXPECT_FLOAT_EQ(ar.GX1, 0);
  EXPECT_FLOAT_EQ(ar.GX2, 1);
  tessar.error.LASTERROR = 0;
  IGrUnits(-5, 2, 15, 3);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_FLOAT_EQ(ar.GXRANGE, 20);
  EXPECT_FLOAT_EQ(ar.GYRANGE, 1);
  EXPECT_FLOAT_EQ(ar.REFXRANGE, 20);
}

// Units (0, 0, 100, 50) over the whole of a 101 x 51 drawable: clip box (0, 0, 100.99, 50.99).
struct ConvertCase {
  const char* why;
  int rotation;
  float x, y, X, Y;
};
constexpr ConvertCase kConvertCases[] = {
    {"rotation 0: straight scale", 0, 50, 25, 50.495f, 25.495f},
    {"rotation 90: y runs right to left along X", 90, 50, 25, 100.99f - 25 * 100.99f / 50,
     50 * 50.99f / 100},
    {"rotation 180: both reversed", 180, 0, 0, 100.99f, 50.99f},
    {"rotation 270: x runs downwards", 270, 100, 0, 0, 0},
    {"rotation 90 corner", 90, 0, 0, 100.99f, 0},
};

TEST(Yye2i, ConvertsForEveryPageRotationAndBack) {
  for (const ConvertCase& c : kConvertCases) {
    SCOPED_TRACE(c.why);
    resetgraphics(101, 51);
    IGrUnits(0, 0, 100, 50);
    tessar.graphics.area.PAGEROTATION = c.rotation;
    float X = -1, Y = -1;
    yye2i(c.x, c.y, X, Y);
    EXPECT_NEAR(X, c.X, 1e-4);
    EXPECT_NEAR(Y, c.Y, 1e-4);
    float x = -1, y = -1;
    yyi2e(X, Y, x, y);
    EXPECT_NEAR(x, c.x, 1e-4);
    EXPECT_NEAR(y, c.y, 1e-4);
  }
}

TEST(Yye2i, UnknownRotationLeavesOutputs) {
  resetgraphics(101, 51);
  tessar.graphics.area.PAGEROTATION = 45;
  float X = 7, Y = 8, x = 9, y = 10;
  yye2i(1, 1, X, Y);
  yyi2e(1, 1, x, y);
  EXPECT_EQ(X, 7);
  EXPECT_EQ(Y, 8);
  EXPECT_EQ(x, 9);
  EXPECT_EQ(y, 10);
}

TEST_F(GraphicsArea640, IGrViewportKeepsScaleAndTextSize) {
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 10, 10);
  IGrViewport(0.5f, 0.5f, 1, 1);
  const GraphicsArea& ar = tessar.graphics.area;
  EXPECT_FLOAT_EQ(ar.GX1, 5);
  EXPECT_FLOAT_EQ(ar.GY1, 5);
  EXPECT_FLOAT_EQ(ar.GX2, 10);
  EXPECT_FLOAT_EQ(ar.GY2, 10);
  EXPECT_FLOAT_EQ(ar.REFXRANGE, 10);
  EXPECT_FLOAT_EQ(ar.REFYRANGE, 10);
  EXPECT_FLOAT_EQ(ar.AREAW, 1);
  EXPECT_FLOAT_EQ(ar.AREAH, 1);
  EXPECT_EQ(ar.VIEWPORT, 0);
}

// Every user position keeps its place on the drawable, whatever the page rotation.
TEST_F(GraphicsArea640, IGrViewportKeepsDevicePositionsInEveryRotation) {
  for (int rotation : {0, 90, 180, 270}) {
    SCOPED_TRACE(rotation);
    resetgraphics(640, 480);
    tessar.graphics.area.PAGEROTATION = rotation;
    IGrArea(0.1f, 0.2f, 0.9f, 0.8f);
    IGrUnits(-3, 10, 7, 30);
    float X0 = 0, Y0 = 0;
    yye2i(2, 22, X0, Y0);
    IGrViewport(0.3f, 0.3f, 0.7f, 0.6f);
    float X1 = 0, Y1 = 0;
    yye2i(2, 22, X1, Y1);
    EXPECT_NEAR(X1, X0, 0.01);
    EXPECT_NEAR(Y1, Y0, 0.01);
  }
}

TEST_F(GraphicsArea640, IgrareaclearOnWholeDrawableSendsOnlyClear) {
  IGrArea(0, 0, 1, 1);
  devicelog().clear();
  igrareaclear();
  EXPECT_EQ(codes('S'), std::vector<int>{DCLEAR});
}

TEST_F(GraphicsArea640, IgrareaclearOnPartSendsSolidRectangleAndRestores) {
  IGrArea(0.25f, 0.5f, 0.75f, 1);
  GraphicsAttributes& at = tessar.graphics.attributes;
  at.PLOTMODE = 3;
  at.FILLSTYLE = 2;
  at.COLOURS[PAIRDEVICE][CURRENT] = 31;
  at.COLOURS[PAIRINDEX][CURRENT] = 31;
  at.COLOURS[PAIRRGB][CURRENT] = 255;
  devicelog().clear();
  igrareaclear();
  EXPECT_EQ(codes('S'), (std::vector<int>{DPLOTMODE, DCOLOUR, DRECTSOLID, DPLOTMODE, DCOLOUR}));
  const DeviceCall& rect = devicelog()[2];
  EXPECT_EQ(rect.operands.IX1, 160);
  EXPECT_EQ(rect.operands.IY1, 240);
  EXPECT_EQ(rect.operands.IX2, 480);
  EXPECT_EQ(rect.operands.IY2, 479);
  EXPECT_EQ(rect.colours[PAIRRGB][CURRENT], 0xFFFFFF);   // palette entry 0, white
  EXPECT_EQ(at.PLOTMODE, 3);
  EXPECT_EQ(at.FILLSTYLE, 2);
  EXPECT_EQ(at.COLOURS[PAIRRGB][CURRENT], 255);
  EXPECT_EQ(at.COLOURS[PAIRDEVICE][CURRENT], 31);
}

TEST_F(GraphicsArea640, YyresnIgnoresOtherDrawablesAndFollowsTheTarget) {
  IGrArea(0, 0, 0.5f, 0.5f);
  yyresn(2, 1, 100, 100);
  EXPECT_EQ(tessar.graphics.target.WIDTH, 640);
  EXPECT_FLOAT_EQ(tessar.graphics.area.XMAX, 320);
  tessar.graphics.attributes.HARDCOPYON = 1;
  yyresn(1, 0, 200, 100);
  EXPECT_EQ(tessar.graphics.target.WIDTH, 200);
  EXPECT_FLOAT_EQ(tessar.graphics.area.XMAX, 100);
  EXPECT_FLOAT_EQ(tessar.graphics.area.ASPECT, 2);
  // The hardcopy side hears of the new size (18 with N0 = -1), then the clip (24).
  const std::vector<int> hc = codes('H');
  ASSERT_GE(hc.size(), 2u);
  EXPECT_EQ(hc[0], DBEGINPLOT);
  EXPECT_EQ(devicelog()[0].operands.IOPER1, -1);
  EXPECT_EQ(hc[1], DCLIP);
}

TEST_F(GraphicsArea640, YysavOpensClipAndPutsItBack) {
  IGrArea(0.25f, 0.25f, 0.75f, 0.75f);
  yysav(4);
  EXPECT_FLOAT_EQ(tessar.graphics.area.XMIN, 0);
  EXPECT_FLOAT_EQ(tessar.graphics.area.XMAX, 639.99f);
  yysav(3);
  EXPECT_FLOAT_EQ(tessar.graphics.area.XMIN, 160);
  EXPECT_FLOAT_EQ(tessar.graphics.area.YMAX, 360);
}

TEST_F(GraphicsArea640, YysavRestoresColoursLineTypeAndFill) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  at.COLOURS = {{{3, 4}, {5, 6}, {7, 8}}};
  at.LINETYPE = 2;
  at.FILLSTYLE = 3;
  yysav(0);
  at.COLOURS = {{{0, 0}, {0, 0}, {0, 0}}};
  at.LINETYPE = 5;
  at.FILLSTYLE = 0;
  devicelog().clear();
  yysav(1);
  EXPECT_EQ(at.COLOURS, (std::array<std::array<int, 2>, 3>{{{3, 4}, {5, 6}, {7, 8}}}));
  EXPECT_EQ(at.LINETYPE, 2);
  EXPECT_EQ(at.FILLSTYLE, 3);
  EXPECT_EQ(codes('S'), (std::vector<int>{DCOLOUR, DCOLOUR, DLINETYPE}));
}

// The window selection stand-in: the current window becomes the target at 640 x 480.
void selectwindow(int type, std::optional<int> number) {
  tessar.graphics.target.TARGETTYPE = type;
  tessar.graphics.target.TARGETNUMBER = number.value_or(0);
  yyresn(type, number.value_or(0), 640, 480);
  int code = DOPEN;
  yygdrv(code);
}

TEST(Igrinit, ResetsStateAndTalksToBothSidesInOrder) {
  resetgraphics(640, 480);
  graphicsservices.IGrSelect = selectwindow;
  graphicsservices.yypgreset = yypgreset;
  recordeddevicecode() = 2;
  tessar.graphics.attributes.PALETTECLASS = 16;
  tessar.graphics.area.PAGEROTATION = 90;
  tessar.graphics.attributes.LINETYPE = 4;
  tessar.graphics.text.CW = 0.5f;
  tessar.graphics.area.CURX = 3;
  igrinit(" ");
  const GraphicsRegion& g = tessar.graphics;
  EXPECT_EQ(g.area.PAGEROTATION, 0);
  EXPECT_EQ(g.attributes.SCREENON, 1);
  EXPECT_EQ(g.attributes.DEVCLASS, 16);
  EXPECT_EQ(g.attributes.HCCLASS, 16);
  EXPECT_EQ(g.attributes.LINETYPE, 0);
  EXPECT_EQ(g.attributes.COLOURMODEL, 1);
  EXPECT_EQ(g.attributes.COLOURS[PAIRINDEX], (std::array<int, 2>{0, 223}));
  EXPECT_EQ(g.attributes.COLOURS[PAIRDEVICE], (std::array<int, 2>{0, 15}));
  EXPECT_FLOAT_EQ(g.text.CW, 0.01333333f);
  EXPECT_FLOAT_EQ(g.area.CURX, 0);
  EXPECT_EQ(g.operands.HCDEVICE, 2);
  EXPECT_EQ(tessar.pgraph.plot.PGTYPE, 4);
  EXPECT_EQ(tessar.pgraph.plot.NSETS, 500);
  // Begin plot, the selection (clip, rotation, font, describe), the two colours, the state
  // requests, and the font once more from the text reset.
  EXPECT_EQ(codes('S'), (std::vector<int>{DBEGINPLOT, DCLIP, DCHARROTATE, DFONT, DOPEN, DCOLOUR,
                                          DCOLOUR, DPLOTMODE, DLINETYPE, DLINEWIDTH, DFONT,
                                          DFONT}));
  // The hardcopy driver is asked for its defaults once, directly.
  EXPECT_EQ(codes('H'), std::vector<int>{DOPEN});
}

TEST(Igrinit, LetterHInEitherCaseTurnsScreenOff) {
  for (const char* options : {"H", "h", "xh"}) {
    SCOPED_TRACE(options);
    resetgraphics(640, 480);
    igrinit(options);
    EXPECT_EQ(tessar.graphics.attributes.SCREENON, 0);
    EXPECT_TRUE(codes('S').empty());
  }
}

TEST(Igrinit, LetterPKeepsHardcopyOptionsOfASelectedDriver) {
  resetgraphics(640, 480);
  int seen = 0;
  static int* seenp = nullptr;
  seenp = &seen;
  graphicsservices.xxhcif = [](int& code) {
    *seenp = tessar.graphics.operands.IOPER1;
    tessar.hardcopy.HCOPTIONS[0] = 999;   // the driver's own default
    recordhardcopy(code);
  };
  static std::vector<std::pair<int, int>> applied;
  applied.clear();
  graphicsservices.igrhardcopyoptions = [](int option, int value) {
    applied.emplace_back(option, value);
    tessar.hardcopy.HCOPTIONS[option - 1] = value;
  };
  tessar.graphics.operands.HCDEVICE = 2;
  tessar.hardcopy.HCOPTIONS[0] = 595;
  tessar.hardcopy.HCOPTIONS[101 - 1] = 7;
  igrinit("p");
  EXPECT_EQ(seen, -998);
  EXPECT_EQ(tessar.graphics.operands.IOPER1, 0);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[0], 595);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[100], 7);
  ASSERT_EQ(applied.size(), 37u);
  EXPECT_EQ(applied.front().first, 1);
  EXPECT_EQ(applied.back().first, 108);

  // Without a driver noted, "P" keeps nothing.
  tessar.graphics.operands.HCDEVICE = 0;
  recordeddevicecode() = 0;
  applied.clear();
  igrinit("P");
  EXPECT_EQ(seen, 0);
  EXPECT_TRUE(applied.empty());
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[1], 0);
}

}  // namespace

namespace {

// A bitmap-viewer window showing a 200 x 100 bitmap, scrolled 40 pixels right, 80 rows high.
void bitmapinfo(int window, int item, int& value) {
  switch (item) {
    case 101: value = 200; break;
    case 102: value = 100; break;
    case 4: value = 40; break;
    case 103: value = 80; break;
    default: value = 0; break;
  }
}

TEST(Yybvi2e, ViewerPixelsToUserUnits) {
  resetgraphics(640, 480);
  graphicsservices.yybitmapinfo = bitmapinfo;
  IGrUnits(0, 0, 10, 5);
  float x = -1, y = -1;
  yybvi2e(60, 30, x, y, 3);
  EXPECT_FLOAT_EQ(x, (40 + 60) / (200.0f / 10));
  EXPECT_FLOAT_EQ(y, (30 + 20) / (100.0f / 5));
}

}  // namespace
