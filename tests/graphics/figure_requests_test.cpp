// The device requests of ellipses, markers and curves as each side receives them: which
// fill request goes to the screen, the hardcopy hand-shake and its refusal, the solid round
// marker, and the lines of a curve.
#include <gtest/gtest.h>

#include <array>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/curves.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/markers.h"

namespace {

class ShapeRequests : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(200, 200);
    IGrUnits(0, 0, 1, 1);
  }
};

TEST_F(ShapeRequests, EllipseFillStylesPickTheScreenRequest) {
  struct Case {
    const char* why;
    int style;
    bool samecolours;
    std::vector<int> screen;
  };
  const Case cases[] = {
      {"hollow: the outline", 0, false, {DELLIPSE}},
      {"solid: one solid fill, no outline", 4, false, {DELLIPSESOLID}},
      {"pattern: the pattern fill", 3, false, {DELLIPSEFILL}},
      {"pattern of two equal colours: solid", 3, true, {DELLIPSESOLID}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    devicelog().clear();
    GraphicsAttributes& at = tessar.graphics.attributes;
    at.FILLSTYLE = c.style;
    at.COLOURS[PAIRDEVICE] = c.samecolours ? std::array<int, 2>{5, 5} : std::array<int, 2>{0, 223};
    igrcircle(0.5f, 0.5f, 0.1f);
    EXPECT_EQ(codes('S'), c.screen);
  }
  const DeviceOperands& op = devicelog().back().operands;
  EXPECT_EQ(op.IX1, 99);
  EXPECT_EQ(op.IX2, op.IY2);
  EXPECT_FLOAT_EQ(op.RX4, 0.1f);
}

TEST_F(ShapeRequests, TheHardcopySideIsAskedAndMayRefuse) {
  tessar.graphics.attributes.HARDCOPYON = 1;
  tessar.graphics.operands.HCASPECT = 1;
  igrcircle(0.5f, 0.5f, 0.1f);
  std::vector<int> asked = codes('H');
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], DELLIPSEFILL);
  const auto& log = devicelog();
  const auto first = std::find_if(log.begin(), log.end(), [](const DeviceCall& c) { return c.side == 'H'; });
  EXPECT_EQ(first->operands.IOPER1, 1);
  EXPECT_FLOAT_EQ(first->operands.HCSPACING, 100.0f);
  EXPECT_EQ(log.back().operands.IOPER1, -1) << "the end of the ellipse";

  // A driver that cannot draw ellipses answers -1: the outline comes as lines on its side.
  devicelog().clear();
  graphicsservices.xxhcif = [](int& code) {
    recordhardcopy(code);
    if (code == DELLIPSEFILL && tessar.graphics.operands.IOPER1 == 1) tessar.graphics.operands.IOPER1 = -1;
  };
  igrcircle(0.5f, 0.5f, 0.1f);
  asked = codes('H');
  EXPECT_GT(std::count(asked.begin(), asked.end(), DLINE), 40);
  EXPECT_EQ(codes('S'), std::vector<int>{DELLIPSE}) << "the screen still gets its outline request";
}

TEST_F(ShapeRequests, TheRoundMarkerIsSolidWhateverTheFillStyle) {
  tessar.graphics.attributes.FILLSTYLE = 0;
  igrmarker(0.5f, 0.5f, 14);
  EXPECT_EQ(codes('S'), std::vector<int>{DELLIPSESOLID});
  EXPECT_EQ(tessar.graphics.attributes.FILLSTYLE, 0);
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 0.5f);
}

TEST_F(ShapeRequests, ACurveSendsItsSegmentsOneByOne) {
  const std::array<float, 3> x{0.1f, 0.5f, 0.9f}, y{0.1f, 0.9f, 0.1f};
  igrcurve(x, y, 3, 2);
  EXPECT_EQ(codes('S'), std::vector<int>(7, DLINE)) << "steps up to 4 count as 4: 3 + 3 + the last";
  devicelog().clear();
  igrcurve(x, y, 3);
  EXPECT_EQ(codes('S').size(), 35u) << "17 points per interval by default, and the last line";
  devicelog().clear();
  wgrcurve(x, y, 3);
  EXPECT_EQ(codes('S'), std::vector<int>{DPOLYLINE});
  EXPECT_EQ(devicelog().back().operands.IOPER2, 30);
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 0.9f);
}

}  // namespace
