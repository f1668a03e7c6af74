// Lines, clipping and line and fill styles, on a 101 x 101 drawable: clip box 0 .. 100.99.
#include <gtest/gtest.h>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/lines.h"

namespace {

class Lines101 : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(101, 101);
    IGrArea(0.2f, 0.2f, 0.8f, 0.8f);   // clip box 20.2 .. 80.8
    IGrUnits(0.2f * 101, 0.2f * 101, 0.8f * 101, 0.8f * 101);   // user units = device units
    devicelog().clear();
  }
};

struct ClipCase {
  const char* why;
  float x1, y1, x2, y2;
  int visible;
  float cx1, cy1, cx2, cy2;
};
const float kMax = 0.8f * 101, kMin = 0.2f * 101;
const ClipCase kClips[] = {
    {"inside: unchanged", 30, 30, 70, 60, 1, 30, 30, 70, 60},
    {"within the 0.001 tolerance: unchanged", kMin - 0.0005f, 30, 70, kMax + 0.0009f, 1,
     kMin - 0.0005f, 30, 70, kMax + 0.0009f},
    {"inside to above: ends on the top edge", 40, 40, 60, 100, 1, 40, 40,
     40 + (kMax - 40) / 3, kMax},
    {"above to inside: first end moves", 60, 100, 40, 40, 1, 40 + (kMax - 40) / 3, kMax,
     40, 40},
    {"across left to right", 0, 50, 100, 55, 1, kMin, 50 + 0.05f * kMin, kMax,
     50 + 0.05f * kMax},
    {"outside a corner", 0, 90, 30, 100, 0, 0, 90, 30, 100},
    {"vertical through the box", 50, 0, 50, 100, 1, 50, kMin, 50, kMax},
    {"vertical left of the box", 10, 0, 10.5f, 100, 0, 10, 0, 10.5f, 100},
    // Both x truncate to 20: treated as vertical, and its first end stays left of the box.
    {"steep quirk: first end just outside", 20.1f, 30, 20.9f, 60, 0, 20.1f, 30, 20.9f, 60},
    {"steep: first end inside decides", 20.9f, 30, 20.1f, 60, 1, 20.9f, 30, 20.1f, 60},
    {"flat through the box", 0, 50.2f, 100, 50.7f, 1, kMin, 50.2f, kMax, 50.7f},
    {"flat below", 0, 10, 100, 10.5f, 0, 0, 10, 100, 10.5f},
};

TEST_F(Lines101, YyclipCases) {
  for (const ClipCase& c : kClips) {
    SCOPED_TRACE(c.why);
    float x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
    int visible = -1;
    yyclip(x1, y1, x2, y2, visible);
    EXPECT_EQ(visible, c.visible);
    if (c.visible == 0) continue;
    EXPECT_NEAR(x1, c.cx1, 1e-3);
    EXPECT_NEAR(y1, c.cy1, 1e-3);
    EXPECT_NEAR(x2, c.cx2, 1e-3);
    EXPECT_NEAR(y2, c.cy2, 1e-3);
  }
}

TEST_F(Lines101, YyliniSendsTruncatedIntegersAndRealsToBothSides) {
  tessar.graphics.attributes.HARDCOPYON = 1;
  yylini(30.7f, 40.2f, 99, 40.9f);
  EXPECT_EQ(codes('S'), std::vector<int>{DLINE});
  EXPECT_EQ(codes('H'), std::vector<int>{DLINE});
  const DeviceOperands& op = devicelog()[0].operands;
  EXPECT_EQ(op.IX1, 30);
  EXPECT_EQ(op.IY1, 40);
  EXPECT_EQ(op.IX2, 80);
  EXPECT_FLOAT_EQ(op.RX1, 30.7f);
  EXPECT_FLOAT_EQ(op.RX2, kMax);
  yylini(0, 0, 5, 5);
  EXPECT_EQ(devicelog().size(), 2u);
}

TEST_F(Lines101, ScreenOffAndNoHardcopyEntersNoDriver) {
  tessar.graphics.attributes.SCREENON = 0;
  bool entered = false;
  static bool* p = nullptr;
  p = &entered;
  graphicsservices.yygapi = [](int&) { *p = true; };
  graphicsservices.xxhcif = [](int&) { *p = true; };
  igrjoin(50, 50, 60, 60);
  igrpoint(50, 50);
  EXPECT_FALSE(entered);
}

TEST_F(Lines101, CgmRecordingTakesTheScreenSide) {
  tessar.graphics.target.CGMRECORD = 1;
  tessar.graphics.attributes.HARDCOPYON = 1;
  igrjoin(50, 50, 60, 60);
  EXPECT_TRUE(codes('S').empty());
  EXPECT_EQ(codes('C'), std::vector<int>{DLINE});
  EXPECT_EQ(codes('H'), std::vector<int>{DLINE});
}

TEST_F(Lines101, PolylineAllInsideIsOneRun) {
  const float x[] = {30, 40, 50, 60};
  const float y[] = {30, 50, 40, 60};
  igrpolyline(x, y, 4);
  ASSERT_EQ(codes('S'), std::vector<int>{DPOLYLINE});
  EXPECT_EQ(devicelog()[0].operands.IOPER2, 4);
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 60);
  EXPECT_TRUE(tessar.graphics.XWORK.empty());
}

TEST_F(Lines101, PolylineWithMiddlePointOutsideIsTwoRunsEndingOnTheEdge) {
  const float x[] = {30, 50, 70};
  const float y[] = {50, 95, 50};
  igrpolyline(x, y, 3);
  ASSERT_EQ(codes('S'), (std::vector<int>{DPOLYLINE, DPOLYLINE}));
  for (const DeviceCall& c : devicelog()) {
    EXPECT_EQ(c.operands.IOPER2, 2);
    ASSERT_EQ(c.y.size(), 2u);
  }
  EXPECT_NEAR(devicelog()[0].y[1], kMax, 1e-3);
  EXPECT_NEAR(devicelog()[1].y[0], kMax, 1e-3);
}

TEST_F(Lines101, PolylineSegmentsOutsideGoAloneAsLines) {
  const float x[] = {0, 100, 100};
  const float y[] = {50, 55, 95};
  igrpolyline(x, y, 3);
  EXPECT_EQ(codes('S'), std::vector<int>{DLINE});
}

TEST_F(Lines101, PolylineOfOnePointDoesNothing) {
  const float x[] = {30}, y[] = {30};
  tessar.graphics.area.CURX = 90;
  igrpolyline(x, y, 1);
  EXPECT_TRUE(devicelog().empty());
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 90);
  // A count beyond the arrays draws only the points given.
  const float x2[] = {30, 40}, y2[] = {30, 40};
  igrpolyline(x2, y2, 50);
  EXPECT_EQ(devicelog().at(0).operands.IOPER2, 2);
}

TEST_F(Lines101, PointsInsideArePlottedOutsideDropped) {
  igrpoint(50, 50);
  igrpointrel(50, 0);
  ASSERT_EQ(codes('S'), std::vector<int>{DPOINT});
  EXPECT_EQ(devicelog()[0].operands.IX1, 50);
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 100);
}

TEST_F(Lines101, RelativeLinesMoveTheCurrentPoint) {
  igrmoveto(30, 30);
  igrlinetorel(20, 10);
  igrjoinrel(40, 40, 10, 20);
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 50);
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURY, 60);
  EXPECT_EQ(codes('S'), (std::vector<int>{DLINE, DLINE}));
  EXPECT_EQ(devicelog()[0].operands.IX1, 30);
}

TEST_F(Lines101, IgrlinetypeOutOfRangeGivesSolidAndStillSends) {
  for (std::optional<int> type : {std::optional<int>(9), std::optional<int>()}) {
    tessar.graphics.attributes.LINETYPE = 5;
    devicelog().clear();
    igrlinetype(type);
    EXPECT_EQ(tessar.graphics.attributes.LINETYPE, 0);
    EXPECT_EQ(codes('S'), std::vector<int>{DLINETYPE});
  }
  igrlinetype(7);
  EXPECT_EQ(tessar.graphics.attributes.LINETYPE, 7);
}

struct PatternCase {
  const char* why;
  int style; std::optional<int> density, angle;
  int fill, outline, wantdensity, wantangle;
};
const PatternCase kPatterns[] = {
    {"-4 is out of range", -4, 0, 0, 0, 1, 2, 3},
    {"-2 alone: no outline", -2, std::nullopt, std::nullopt, 2, 0, 2, 3},
    {"7 is out of range, density and angle kept", 7, 5, 4, 0, 1, 5, 4},
    {"solid", 4, 1, 1, 4, 1, 1, 1},
};

TEST(Igrfillpattern, StoresClampedSettings) {
  for (const PatternCase& c : kPatterns) {
    SCOPED_TRACE(c.why);
    resetgraphics();
    igrfillpattern(c.style, c.density, c.angle);
    const GraphicsAttributes& at = tessar.graphics.attributes;
    EXPECT_EQ(at.FILLSTYLE, c.fill);
    EXPECT_EQ(at.OUTLINE, c.outline);
    EXPECT_EQ(at.HATCHDENSITY, c.wantdensity);
    EXPECT_EQ(at.HATCHANGLE, c.wantangle);
    EXPECT_TRUE(devicelog().empty());
  }
}

TEST_F(Lines101, YyrectDrawsCornersOnceOnScreenAndFullEdgesOnHardcopy) {
  tessar.graphics.attributes.PLOTMODE = 3;
  tessar.graphics.attributes.HARDCOPYON = 1;
  yyrect(30, 30, 60, 50);
  std::vector<std::array<int, 4>> screen, paper;
  for (const DeviceCall& c : devicelog()) {
    const DeviceOperands& o = c.operands;
    (c.side == 'S' ? screen : paper).push_back({o.IX1, o.IY1, o.IX2, o.IY2});
  }
  EXPECT_EQ(screen, (std::vector<std::array<int, 4>>{
                        {31, 30, 60, 30}, {60, 31, 60, 50}, {59, 50, 30, 50}, {30, 49, 30, 30}}));
  EXPECT_EQ(paper, (std::vector<std::array<int, 4>>{
                       {30, 30, 60, 30}, {60, 30, 60, 50}, {60, 50, 30, 50}, {30, 50, 30, 30}}));
  EXPECT_EQ(tessar.graphics.attributes.SCREENON, 1);
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 1);
}

struct FactCase {
  const char* why;
  int model, devclass;
  std::array<int, 2> device, model_pair;
  int fillstyle;
  int want;
};
const FactCase kFacts[] = {
    {"palette: equal device numbers are solid", 1, 256, {5, 5}, {9, 10}, 3, DRECTSOLID},
    {"palette: different device numbers stay a pattern", 1, 256, {5, 6}, {9, 9}, 3, DRECT},
    {"monochrome compares the model's colours", 1, 2, {1, 1}, {9, 10}, 3, DRECT},
    // In the RGB model on a true-colour side both device numbers are -1: the colours decide.
    {"true colour, two colours: a pattern", 2, 256, {-1, -1}, {0xFF, 0xFF00}, 3, DRECT},
    {"true colour, one colour: solid", 2, 256, {-1, -1}, {0xFF, 0xFF}, 3, DRECTSOLID},
    {"other fill styles unchanged", 1, 256, {5, 5}, {9, 9}, 2, DRECT},
};

TEST(Yyfact, PatternOrSolidByColours) {
  for (const FactCase& c : kFacts) {
    SCOPED_TRACE(c.why);
    resetgraphics();
    GraphicsAttributes& at = tessar.graphics.attributes;
    at.COLOURMODEL = c.model;
    at.DEVCLASS = c.devclass;
    at.FILLSTYLE = c.fillstyle;
    at.COLOURS[PAIRDEVICE] = c.device;
    at.COLOURS[c.model] = c.model_pair;
    int request = DRECT;
    yyfact(DRECTSOLID, request);
    EXPECT_EQ(request, c.want);
  }
}

TEST(Yyexch, Exchanges) {
  int a = 1, b = 2;
  yyexch(a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
}

TEST(Yyhdrv, HardcopySideOnlyWhileOpen) {
  resetgraphics();
  yyhdrv(DLINE);
  EXPECT_TRUE(devicelog().empty());
  tessar.graphics.attributes.HARDCOPYON = 1;
  yyhdrv(DLINE);
  EXPECT_EQ(codes('H'), std::vector<int>{DLINE});
}

TEST(Xxhcif, ProbeReturnsDeviceCodeOrLeavesIt) {
  resetgraphics();
  tessar.graphics.operands.IOPER2 = -999;
  recordeddevicecode() = 11;
  xxhcif(DOPEN);
  EXPECT_EQ(tessar.graphics.operands.IOPER2, 11);
  // Devices 5 and 7 have no driver: nothing answers.
  graphicsservices.xxhcif = nullptr;
  tessar.graphics.operands.IOPER2 = -999;
  xxhcif(DOPEN);
  EXPECT_EQ(tessar.graphics.operands.IOPER2, -999);
}

}  // namespace
