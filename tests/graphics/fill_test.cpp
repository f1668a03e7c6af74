// Polygon fill and hatching: request sequence per fill style, hardcopy hand-shake, even-odd
// spans, hatch directions and spacing, span joining, clipping and the too-complex error.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"

namespace {

struct Segment { float x1, y1, x2, y2; };

std::vector<Segment> lines(char side) {
  std::vector<Segment> out;
  for (const DeviceCall& c : devicelog())
    if (c.side == side && c.code == DLINE)
      out.push_back({c.operands.RX1, c.operands.RY1, c.operands.RX2, c.operands.RY2});
  return out;
}

// The hardcopy driver of these tests: asks for a software fill with the given flag.
int hcfillanswer = 0;
void fillinghardcopy(int& code) {
  recordhardcopy(code);
  GraphicsRegion& g = tessar.graphics;
  if (code % 2 == 1 && code >= 5 && code <= 15 && g.operands.IOPER1 == 1 && hcfillanswer != 0) {
    g.attributes.HCFILL = hcfillanswer;
    g.operands.HCSPACING = 10;
  }
}

// Device units equal user units on a 200 x 200 drawable.
class Fill200 : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(200, 200);
    IGrUnits(0, 0, 199.99f, 199.99f);
    hcfillanswer = 0;
    devicelog().clear();
  }
  void openhardcopy(int answer) {
    hcfillanswer = answer;
    graphicsservices.xxhcif = fillinghardcopy;
    tessar.graphics.attributes.HARDCOPYON = 1;
    tessar.graphics.operands.HCCOLOURS = 256;
  }
};

const std::vector<float> kSqX = {20, 120, 120, 20}, kSqY = {20, 20, 120, 120};

TEST_F(Fill200, SolidOnScreenIsOneRequest) {
  igrfillpattern(4);
  IGrPolygonComplex(kSqX, kSqY, 4);
  EXPECT_EQ(codes('S'), std::vector<int>{DPOLYGONSOLID});
  ASSERT_EQ(devicelog().size(), 1u);
  EXPECT_EQ(devicelog()[0].operands.IOPER2, 4);
  EXPECT_EQ(devicelog()[0].x, kSqX);
  EXPECT_EQ(tessar.graphics.area.CURX, 20);
}

TEST_F(Fill200, PatternWithEqualColoursGoesAsSolid) {
  igrfillpattern(3);
  IGrColourN(31);
  IGrColourN(31);
  devicelog().clear();
  IGrPolygonComplex(kSqX, kSqY, 4);
  EXPECT_EQ(codes('S'), std::vector<int>{DPOLYGONSOLID});
  IGrColourN(95);
  devicelog().clear();
  IGrPolygonComplex(kSqX, kSqY, 4);
  EXPECT_EQ(codes('S'), std::vector<int>{DPOLYGON});
}

TEST_F(Fill200, ClosingPointIsDroppedAndMiddleRepeatKept) {
  igrfillpattern(4);
  const std::vector<float> x = {20, 120, 120, 120, 20, 20}, y = {20, 20, 20, 120, 120, 20};
  IGrPolygonComplex(x, y, 6);
  ASSERT_EQ(devicelog().size(), 1u);
  EXPECT_EQ(devicelog()[0].operands.IOPER2, 5);
}

TEST_F(Fill200, HardcopyAnnouncedAndEndedAroundItsSoftwareFill) {
  openhardcopy(1);
  igrfillpattern(4);
  IGrPolygonComplex(kSqX, kSqY, 4);
  EXPECT_EQ(codes('S'), std::vector<int>{DPOLYGONSOLID});
  const std::vector<int> hc = codes('H');
  ASSERT_GE(hc.size(), 3u);
  EXPECT_EQ(hc.front(), DPOLYGON);
  EXPECT_EQ(hc.back(), DPOLYGON);
  EXPECT_EQ(devicelog()[1].operands.IOPER1, 1);
  EXPECT_EQ(devicelog().back().operands.IOPER1, -1);
  // Horizontal lines 10 units apart fill the square on the hardcopy side only.
  const auto h = lines('H');
  ASSERT_EQ(h.size(), 10u);   // 20, 30, ... 110: the top edge ends the sides' edges
  for (const Segment& s : h) {
    EXPECT_EQ(s.y1, s.y2);
    EXPECT_FLOAT_EQ(std::fmin(s.x1, s.x2), 20);
    EXPECT_FLOAT_EQ(std::fmax(s.x1, s.x2), 120);
  }
  EXPECT_EQ(tessar.graphics.attributes.HCFILL, 0);
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 1);
}

TEST_F(Fill200, TwoColourPatternAlternatesAndRestoresColours) {
  openhardcopy(2);
  IGrColourN(31);    // previous: black 223, current: red 31
  igrfillpattern(3);
  devicelog().clear();
  IGrPolygonComplex(kSqX, kSqY, 4);
  std::vector<int> lineindex;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'H' && c.code == DLINE) lineindex.push_back(c.colours[PAIRINDEX][CURRENT]);
  ASSERT_EQ(lineindex.size(), 20u);   // 10 in red, then 10 half a spacing up in black
  EXPECT_EQ(lineindex.front(), 31);
  EXPECT_EQ(lineindex.back(), 223);
  const auto& c = tessar.graphics.attributes.COLOURS;
  EXPECT_EQ(c[PAIRINDEX][PREVIOUS], 223);
  EXPECT_EQ(c[PAIRINDEX][CURRENT], 31);
}

struct HatchCase {
  const char* why;
  int style, angle;
  int horizontal, vertical;   // line counts expected in each direction (-1: some)
};
const HatchCase kHatches[] = {
    {"single, angle 1: horizontal", 1, 1, -1, 0},
    {"single, angle 3: horizontal", 1, 3, -1, 0},
    {"single, angle 4: vertical only", 1, 4, 0, -1},
    {"crossed, angle 1: horizontal then vertical", 2, 1, -1, -1},
    {"hollow: outline only", 0, 3, 2, 2},
};

TEST_F(Fill200, HatchDirections) {
  for (const HatchCase& c : kHatches) {
    SCOPED_TRACE(c.why);
    devicelog().clear();
    igrfillpattern(-c.style, 2, c.angle);   // hatched without the outline
    if (c.style == 0) igrfillpattern(0, 2, c.angle);
    IGrPolygonComplex(kSqX, kSqY, 4);
    EXPECT_TRUE(codes('S').size() == lines('S').size());   // lines only, no fill request
    int h = 0, v = 0;
    bool verticalseen = false, horizontalaftervertical = false;
    for (const Segment& s : lines('S')) {
      if (s.y1 == s.y2) {
        ++h;
        if (verticalseen) horizontalaftervertical = true;
      } else if (s.x1 == s.x2) {
        ++v;
        verticalseen = true;
      }
    }
    if (c.horizontal < 0) {
      EXPECT_GT(h, 2);
    } else {
      EXPECT_EQ(h, c.horizontal);
    }
    if (c.vertical < 0) {
      EXPECT_GT(v, 2);
    } else {
      EXPECT_EQ(v, c.vertical);
    }
    if (c.style != 0) {
      EXPECT_FALSE(horizontalaftervertical);
    }
  }
}

TEST(YyStep, ScreenSpacingFollowsTheDrawable) {
  struct Case { const char* why; int height, density; int iy; };
  const Case cases[] = {
      {"600 high, density 1: 20 apart", 600, 1, 20},
      {"600 high, density 5: 600 / 180", 600, 5, 3},
      {"50 high: 2, never 1", 50, 1, 2},
      {"density 0 before any pattern: 600 / 20", 600, 0, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    resetgraphics(400, c.height);
    igrfillpattern(1);
    float sx = 0, sy = 0, inset = -1;
    int ix = 0, iy = 0, alt = -1;
    yystep(1, c.density, sx, sy, ix, iy, inset, alt);
    EXPECT_EQ(iy, c.iy);
    EXPECT_EQ(sy, static_cast<float>(c.iy));
    EXPECT_EQ(inset, 0);
    EXPECT_EQ(alt, 0);
  }
}

TEST_F(Fill200, HatchLinesRunThroughPixelCentresAtTheSpacing) {
  igrfillpattern(1, 1, 3);   // 200 / 30: 6 apart
  const std::vector<float> x = {20.3f, 120, 120, 20.3f}, y = {20.3f, 20.3f, 120, 120};
  IGrPolygonComplex(x, y, 4);
  const auto s = lines('S');
  ASSERT_GT(s.size(), 4u);
  // The lowest vertex lies below its pixel centre, so the first line is at 20.5.
  EXPECT_FLOAT_EQ(s[4].y1, 20.5f);
  EXPECT_FLOAT_EQ(s[5].y1, 26.5f);
}

TEST_F(Fill200, LowestVertexAboveItsPixelCentreLeavesThatRowEmpty) {
  igrfillpattern(-1, 1, 3);   // no outline
  const std::vector<float> x = {20, 120, 70}, y = {20.7f, 20.7f, 120};
  IGrPolygonComplex(x, y, 3);
  const auto s = lines('S');
  ASSERT_FALSE(s.empty());
  EXPECT_FLOAT_EQ(s[0].y1, 26.5f);   // not 20.5
}

TEST_F(Fill200, StarCentreIsLeftEmptyByTheEvenOddRule) {
  std::vector<float> x, y;
  for (int k = 0; k < 5; ++k) {
    const double a = std::numbers::pi / 2 + k * 4 * std::numbers::pi / 5;
    x.push_back(static_cast<float>(100 + 80 * std::cos(a)));
    y.push_back(static_cast<float>(100 + 80 * std::sin(a)));
  }
  igrfillpattern(-1, 5, 3);
  IGrPolygonComplex(x, y, 5);
  bool centrerow = false;
  for (const Segment& s : lines('S')) {
    const float lo = std::fmin(s.x1, s.x2), hi = std::fmax(s.x1, s.x2);
    EXPECT_FALSE(lo < 100 && hi > 100 && std::fabs(s.y1 - 100) < 10) << "row " << s.y1;
    if (std::fabs(s.y1 - 100) < 10) centrerow = true;
  }
  EXPECT_TRUE(centrerow);   // the points beside the centre are hatched
}

TEST_F(Fill200, SpansMeetingInOnePixelAreJoined) {
  // A slit from the top edge, 100.3 to 100.8 wide: both sides of it lie in pixel column 100.
  const std::vector<float> x = {20, 180, 180, 100.8f, 100.8f, 100.3f, 100.3f, 20},
                           y = {20, 20, 100, 100, 40, 40, 100, 100};
  igrfillpattern(-1, 5, 3);
  IGrPolygonComplex(x, y, 8);
  int rows = 0;
  for (const Segment& s : lines('S'))
    if (s.y1 > 45 && s.y1 < 95) {
      ++rows;
      EXPECT_FLOAT_EQ(std::fmin(s.x1, s.x2), 20);
      EXPECT_FLOAT_EQ(std::fmax(s.x1, s.x2), 180);
    }
  EXPECT_EQ(rows, 25);
}

TEST_F(Fill200, HatchIsClippedToTheArea) {
  IGrArea(0.25f, 0.25f, 0.75f, 0.75f);   // clip box 50 .. 150
  IGrUnits(50, 50, 150, 150);
  devicelog().clear();
  igrfillpattern(2, 3, 1);
  const std::vector<float> x = {0, 199, 100}, y = {0, 30, 199};
  IGrPolygonComplex(x, y, 3);
  const auto s = lines('S');
  ASSERT_FALSE(s.empty());
  for (const Segment& l : s) {
    EXPECT_TRUE(yybox(l.x1, l.y1));
    EXPECT_TRUE(yybox(l.x2, l.y2));
  }
}

TEST_F(Fill200, RandomCrossingPolygonsHatchInsideTheClipBox) {
  IGrArea(0.2f, 0.2f, 0.8f, 0.8f);   // clip box 40 .. 160
  IGrUnits(40, 40, 160, 160);
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> coord(0, 200);
  for (int round = 0; round < 100; ++round) {
    const int n = 3 + round % 30;
    std::vector<float> x, y;
    for (int i = 0; i < n; ++i) {
      x.push_back(coord(rng));
      y.push_back(coord(rng));
    }
    devicelog().clear();
    igrfillpattern(2, 1 + round % 5, 1 + round % 4);
    IGrPolygonComplex(x, y, n);
    for (const Segment& l : lines('S')) {
      ASSERT_TRUE(yybox(l.x1, l.y1));
      ASSERT_TRUE(yybox(l.x2, l.y2));
    }
  }
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(Fill200, OutsideTheClipBoxSendsNothing) {
  IGrArea(0, 0, 0.5f, 0.5f);
  IGrUnits(0, 0, 100, 100);
  openhardcopy(1);
  tessar.graphics.attributes.SCREENFILL = 1;
  devicelog().clear();
  igrfillpattern(4);
  const std::vector<float> x = {100.1f, 150, 150}, y = {10, 10, 50};
  IGrPolygonComplex(x, y, 3);
  EXPECT_TRUE(devicelog().empty());
  EXPECT_EQ(tessar.graphics.attributes.SCREENFILL, 1);
  EXPECT_EQ(tessar.graphics.area.CURX, 100.1f);
}

TEST_F(Fill200, TooManyActiveEdgesIsError49) {
  // A comb of 60 teeth: 120 edges cross the rows through the teeth.
  std::vector<float> x, y;
  for (int k = 0; k < 60; ++k) {
    x.push_back(10 + 3 * k); y.push_back(10);
    x.push_back(11 + 3 * k); y.push_back(190);
  }
  x.push_back(190); y.push_back(5);
  openhardcopy(1);
  igrfillpattern(1);
  IGrPolygonComplex(x, y, static_cast<int>(x.size()));
  EXPECT_EQ(tessar.error.LASTERROR, 49);
  EXPECT_EQ(codes('H').back(), DPOLYGON);
  EXPECT_EQ(devicelog().back().operands.IOPER1, -1);
  EXPECT_EQ(tessar.graphics.attributes.SCREENON, 1);
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 1);
}

TEST_F(Fill200, FewerThanTwoPointsOnlyMovesTheCurrentPoint) {
  igrfillpattern(4);
  const std::vector<float> x = {33}, y = {44};
  IGrPolygonComplex(x, y, 1);
  EXPECT_TRUE(devicelog().empty());
  EXPECT_EQ(tessar.graphics.area.CURX, 33);
  EXPECT_EQ(tessar.graphics.area.CURY, 44);
}

TEST(YyXinr, Crossings) {
  EXPECT_EQ(yyxinr(0, 5, 10, 5, 5), 2147480064.0f);
  EXPECT_EQ(yyxinr(0, 0, 10, 10, 5), 5.0f);
  EXPECT_EQ(yyxinr(10, 10, 0, 0, 2.5f), 2.5f);
  EXPECT_EQ(yyyinr(3, 0, 3, 9, 3), 2147480064.0f);
  EXPECT_EQ(yyyinr(0, 0, 10, 20, 5), 10.0f);
  EXPECT_EQ(yyxinr(0, 0, 1e30f, 1, 1), 2147480064.0f);
}

}  // namespace
