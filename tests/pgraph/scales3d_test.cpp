// Axis scales and text labels on polar and 3-D XY charts, and the text table of plot type 9:
// angle and radius labels with their ticks, the two device passes of a polar chart, the edge
// and justification of 3-D scales by rotation, the Z scale at the leftmost corner, and the
// ruled band of texts beside a table chart.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "tests/pgraph/chart_recorder.h"
#include "toolkit/graphics/text.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/scales.h"
#include "toolkit/pgraph/settings.h"

namespace {

constexpr float kDeg = 3.14159265f / 180;

// The device x of the middle of a centred text (the device receives its start).
float middle(const DrawnText& t) {
  return t.x + 0.5f * wgrtextlength(t.text) * tessar.graphics.text.CW *
                   static_cast<float>(tessar.graphics.target.WIDTH);
}

class PolarScales : public ::testing::Test {
 protected:
  void SetUp() override {
    resetchartdevice();
    const std::array<int, 1> nv{12};
    ipgnewplot1(4, 1, nv, 0x40);
    IPgArea(0.1f, 0.1f, 0.9f, 0.9f);
    IPgUnitsPolar(10);
    devicelog().clear();
    drawntexts().clear();
  }
  PlotDefinition& pd = tessar.pgraph.plot;
};

TEST_F(PolarScales, TwelveAngleLabelsCounterClockwiseFromTheRight) {
  ipgxscale("");
  std::vector<std::string> want;
  for (int k = 0; k < 12; ++k) want.push_back(std::to_string(30 * k));
  EXPECT_EQ(textsonly(), want);
  float cx = 0, cy = 0, rx = 0, ry = 0;
  yypol(cx, cy, rx, ry);
  float gx1 = 0, gy1 = 0;
  ipgunitstogrunits(pd.PGXMIN, pd.PGYMIN, gx1, gy1);
  const float A = tessar.graphics.area.ASPECT;
  const float NX = pd.XSCALEPOS * (gy1 - tessar.graphics.area.GY1);
  struct Case { int k; float deg; };
  for (const Case c : {Case{0, 0}, Case{3, 90}, Case{6, 180}, Case{10, 300}}) {
    SCOPED_TRACE(c.deg);
    float X = 0, Y = 0;
    device(cx + std::cos(c.deg * kDeg) * (rx + NX / A), cy + std::sin(c.deg * kDeg) * (ry + NX), X, Y);
    EXPECT_NEAR(middle(drawntexts()[static_cast<std::size_t>(c.k)]), X, 0.05f);
    EXPECT_NEAR(drawntexts()[static_cast<std::size_t>(c.k)].y, Y, 0.05f);
    EXPECT_EQ(drawntexts()[static_cast<std::size_t>(c.k)].justify, 1);
  }
  // Outward ticks leave the circle: each runs from the rim away from the centre.
  const auto segs = segments();
  ASSERT_EQ(segs.size(), 12u);
  float CX = 0, CY = 0;
  device(cx, cy, CX, CY);
  for (const Segment& s : segs)
    EXPECT_GT(std::hypot(s.x2 - CX, s.y2 - CY), std::hypot(s.x1 - CX, s.y1 - CY));
}

TEST_F(PolarScales, RadialLabelsLeaveTheCentreUnlessUserTicksSayOtherwise) {
  struct Case { const char* why; int users; std::vector<float> ticks; std::vector<std::string> want; };
  const Case cases[] = {
      {"automatic: rings 2 to 8, no centre", 0, {}, {"2", "4", "6", "8"}},
      {"user positions", 2, {0, 5}, {"0", "5"}},
      {"negative user count: from the centre", -1, {}, {"0", "2", "4", "6", "8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    drawntexts().clear();
    pd.NUSERTICKS[1] = c.users;
    for (std::size_t i = 0; i < c.ticks.size(); ++i) pd.USERTICKS[1][i] = c.ticks[i];
    ipgyscaleleft("");
    EXPECT_EQ(textsonly(), c.want);
  }
  // Side 1: the numbers stand left of the centre at the radius fraction, below the radius.
  pd.NUSERTICKS[1] = 0;
  drawntexts().clear();
  ipgyscaleleft("");
  float cx = 0, cy = 0, rx = 0, ry = 0;
  yypol(cx, cy, rx, ry);
  float X = 0, Y = 0, CX = 0, CY = 0;
  device(cx - rx * 0.4f, cy, X, Y);
  device(cx, cy, CX, CY);
  ASSERT_EQ(drawntexts().size(), 4u);
  EXPECT_LT(drawntexts()[1].x, CX);
  EXPECT_NEAR(drawntexts()[1].x, X, 15);   // plus the tilt of outward ticks
  EXPECT_LT(drawntexts()[1].y, CY);
}

TEST_F(PolarScales, EachDeviceGetsTheScaleAndTheFlagsComeBack) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  at.HARDCOPYON = 1;
  tessar.graphics.operands.HCASPECT = 1.5f;
  ipgxscale("");
  EXPECT_EQ(at.SCREENON, 1);
  EXPECT_EQ(at.HARDCOPYON, 1);
  EXPECT_EQ(drawntexts().size(), 12u);   // the screen pass alone reaches the screen
  int hardcopy = 0;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'H' && c.code == DLINE) ++hardcopy;
  EXPECT_EQ(hardcopy, 12);   // the ticks of the hardcopy pass, and none of the screen's
  at.HARDCOPYON = 0;
}

TEST_F(PolarScales, TextLabelsTakeTheAngleSlots) {
  const std::vector<std::string> texts{"E", "ENE", "NNE", "N"};
  ipgxtext(texts, 4);
  ASSERT_EQ(drawntexts().size(), 4u);   // slots beyond the texts are a blank: not drawn
  EXPECT_EQ(textsonly(), texts);
  EXPECT_TRUE(segments().empty());
}

class ThreeDScales : public ::testing::Test {
 protected:
  void SetUp() override {
    resetchartdevice();
    const std::array<int, 2> nv{5, 5};
    ipgnewplot1(5, 1, nv, 1);
    IPgArea(0.15f, 0.15f, 0.85f, 0.85f);
    ipgunits(0, 0, 10, 10);
    IPgUnitsZ(0, 100);
    ipgelevation(20);
    devicelog().clear();
    drawntexts().clear();
  }
  PlotDefinition& pd = tessar.pgraph.plot;
  std::array<float, 4> qx{}, qy{};
  int left = 0;
  float yleft = 0;
  void corners() { yycorn(qx, qy, left, yleft); }
};

// The side of the projected base each scale runs along, and its justification, by rotation.
TEST_F(ThreeDScales, EdgeAndJustificationFollowTheRotation) {
  ASSERT_EQ(pd.THREEDXY, 1);
  // sx: the side in x the ticks and numbers go to (+1 right, -1 left).
  struct Case { float rotation; int axis, from, to, justify, sx; };
  const Case cases[] = {
      {0, 1, 4, 3, 0, 1},   {0, 2, 1, 4, 2, -1},  {90, 1, 4, 3, 2, -1}, {90, 2, 2, 3, 0, 1},
      {180, 1, 1, 2, 0, 1}, {180, 2, 2, 3, 2, -1}, {270, 1, 1, 2, 2, -1}, {270, 2, 1, 4, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rotation) + " axis " + std::to_string(c.axis));
    ipgrotation(c.rotation);
    corners();
    devicelog().clear();
    drawntexts().clear();
    if (c.axis == 1) ipgxscale("");
    else ipgyscaleleft("");
    ASSERT_GE(drawntexts().size(), 2u);
    for (const DrawnText& t : drawntexts()) EXPECT_EQ(t.justify, c.justify);
    // Every tick starts on the edge from corner `from` to corner `to`.
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    device(qx[static_cast<std::size_t>(c.from - 1)], qy[static_cast<std::size_t>(c.from - 1)], X1, Y1);
    device(qx[static_cast<std::size_t>(c.to - 1)], qy[static_cast<std::size_t>(c.to - 1)], X2, Y2);
    const auto segs = segments();
    ASSERT_FALSE(segs.empty());
    for (const Segment& s : segs) {
      const float cross = (X2 - X1) * (s.y1 - Y1) - (Y2 - Y1) * (s.x1 - X1);
      EXPECT_NEAR(cross / std::hypot(X2 - X1, Y2 - Y1), 0, 0.05f);
      EXPECT_GT((s.x2 - s.x1) * static_cast<float>(c.sx), 0);   // twice the tick length
    }
  }
  // 0 to 10 in steps of 2.
  ipgrotation(0);
  drawntexts().clear();
  ipgxscale("N");
  EXPECT_EQ(textsonly(), (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
}

// A reversed X range mirrors the box: the ticks still lie on the edge, the first unit at the
// start corner, and the numbers stay within the range.
TEST_F(ThreeDScales, AReversedRangeKeepsItsTicksOnTheEdge) {
  ipgunits(10, 0, 0, 10);
  corners();
  ipgxscale("");
  EXPECT_EQ(textsonly(), (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
  float X4 = 0, Y4 = 0, X3 = 0, Y3 = 0;
  device(qx[3], qy[3], X4, Y4);
  device(qx[2], qy[2], X3, Y3);
  const auto segs = segments();
  ASSERT_EQ(segs.size(), 6u);
  for (const Segment& g : segs) {
    EXPECT_GE(g.x1, std::min(X3, X4) - 0.05f);
    EXPECT_LE(g.x1, std::max(X3, X4) + 0.05f);
  }
  // The value 10 (the first unit) is at corner 4, the start of the edge.
  EXPECT_NEAR(segs.back().x1, X4, 0.05f);
  EXPECT_NEAR(segs.front().x1, X3, 0.05f);
}

std::vector<float>& textwidths() {
  static std::vector<float> w;
  return w;
}
void recordwidths(int& code) {
  if (code == DTEXT) textwidths().push_back(tessar.graphics.text.CW);
  recordchartscreen(code);
}

// Numbers that run nearly along their edge are narrowed when crowded; numbers turned well
// away from it never are.
TEST_F(ThreeDScales, OnlyNumbersAlongTheEdgeAreNarrowed) {
  ipgelevation(5);   // a flat view: the front X edge runs within 15 degrees of level
  struct Case { float textangle; bool narrowed; };
  for (const Case c : {Case{0, true}, Case{90, false}}) {
    SCOPED_TRACE(c.textangle);
    graphicsservices.yygapi = recordwidths;
    textwidths().clear();
    ipgxscaleangle(0, c.textangle);
    yychsize(0.2f, 0.04f);
    ipgxscale("N");
    ASSERT_EQ(textwidths().size(), 6u);
    for (float w : textwidths()) {
      if (c.narrowed) EXPECT_LT(w, 0.2f);
      else EXPECT_FLOAT_EQ(w, 0.2f);
    }
    EXPECT_FLOAT_EQ(tessar.graphics.text.CW, 0.2f);
  }
}

TEST_F(ThreeDScales, ZScaleStandsAtTheLeftmostCorner) {
  corners();
  ipgzscale("");
  EXPECT_EQ(textsonly(), (std::vector<std::string>{"0", "20", "40", "60", "80", "100"}));
  float X = 0, Y = 0;
  device(qx[static_cast<std::size_t>(left - 1)], 0, X, Y);
  const auto segs = segments();
  ASSERT_EQ(segs.size(), 6u);
  for (const Segment& s : segs) {
    EXPECT_NEAR(s.x1, X, 0.01f);
    EXPECT_LT(s.x2, s.x1);   // outward: to the left
  }
  for (const DrawnText& t : drawntexts()) {
    EXPECT_LT(t.x, X);
    EXPECT_EQ(t.justify, 2);
  }
  // Zero at the base corner, 100 half the plot height above it.
  float dxi, dxj, dyj, dyi, dyz, x0, y0;
  yy3dxy(dxi, dxj, dyj, dyi, dyz, x0, y0);
  float Yb = 0, Yt = 0;
  device(0, yyp2y(yleft), X, Yb);
  device(0, yyp2y(yleft + 100 * dyz), X, Yt);
  EXPECT_NEAR(segs.front().y1, Yb, 0.01f);
  EXPECT_NEAR(segs.back().y1, Yt, 0.01f);
}

class TextTable : public ::testing::Test {
 protected:
  void SetUp() override {
    resetchartdevice();
    const std::array<int, 1> nv{3};
    ipgnewplot1(9, 4, nv, 8);
    IPgArea(0.2f, 0.3f, 0.9f, 0.9f);
    ipgunits(0, 0, 1, 1);
    devicelog().clear();
    drawntexts().clear();
  }
  PlotDefinition& pd = tessar.pgraph.plot;
};

TEST_F(TextTable, FourColumnsInAFilledBandUnderThePlot) {
  ASSERT_EQ(pd.OPT8, 1);
  const std::vector<std::string> texts{"North", "East", "South", "West"};
  ipgxtext(texts, 4);
  EXPECT_EQ(textsonly(), texts);
  float gx1 = 0, gy1 = 0, gx2 = 0, gy2 = 0;
  ipgunitstogrunits(0, 0, gx1, gy1);
  ipgunitstogrunits(1, 1, gx2, gy2);
  const float c = (gx2 - gx1) / 4;
  for (int j = 1; j <= 4; ++j) {
    float X = 0, Y = 0;
    device(gx1 + (static_cast<float>(j) - 0.5f) * c, 0, X, Y);
    EXPECT_NEAR(middle(drawntexts()[static_cast<std::size_t>(j - 1)]), X, 0.05f);
    EXPECT_EQ(drawntexts()[static_cast<std::size_t>(j - 1)].justify, 1);
  }
  float X = 0, Ytop = 0;
  device(0, gy1, X, Ytop);
  for (const DrawnText& t : drawntexts()) EXPECT_LT(t.y, Ytop);   // below the plot
  EXPECT_EQ(segments().size(), 2u + 5u);   // two long edges, five cross lines
  bool filled = false;
  for (const DeviceCall& d : devicelog())
    if (d.side == 'S' && (d.code == DRECTSOLID || d.code == DPOLYGONSOLID)) filled = true;
  EXPECT_TRUE(filled);
  // The colours are as they were.
  EXPECT_EQ(devicelog().back().colours, tessar.graphics.attributes.COLOURS);
}

TEST_F(TextTable, ATextLongerThanItsColumnNarrowsTheWholeBand) {
  graphicsservices.yygapi = recordwidths;
  textwidths().clear();
  const float cw = tessar.graphics.text.CW;
  const std::vector<std::string> texts{"N", "A text much longer than a column", "S", "W"};
  ipgxtext(texts, 4);
  ASSERT_EQ(textwidths().size(), 4u);
  float gx1 = 0, gy1 = 0, gx2 = 0, gy2 = 0;
  ipgunitstogrunits(0, 0, gx1, gy1);
  ipgunitstogrunits(1, 1, gx2, gy2);
  const float fit = (gx2 - gx1) / 4 / (1 + wgrtextlength(texts[1]));
  for (float w : textwidths()) EXPECT_FLOAT_EQ(w, fit);
  EXPECT_LT(fit, cw);
  EXPECT_FLOAT_EQ(tessar.graphics.text.CW, cw);
}

TEST_F(TextTable, RowsBesideThePlotFirstTextOnTop) {
  const std::vector<std::string> texts{"Top", "Mid", "Low"};
  ipgytextleft(texts, 3);
  ASSERT_EQ(drawntexts().size(), 3u);
  EXPECT_GT(drawntexts()[0].y, drawntexts()[1].y);
  EXPECT_GT(drawntexts()[1].y, drawntexts()[2].y);
  for (const DrawnText& t : drawntexts()) EXPECT_EQ(t.justify, 0);
  EXPECT_EQ(segments().size(), 2u + 4u);
}

TEST_F(TextTable, TheScalesDrawNothing) {
  ipgxscale("");
  ipgyscaleleft("");
  EXPECT_TRUE(drawntexts().empty());
  EXPECT_TRUE(segments().empty());
}

}  // namespace
