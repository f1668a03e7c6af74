// Triangle decomposition of convex, concave, spiral and self-crossing polygons, the linear
// gradient fill, and the software shading of gradient polygon requests.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <vector>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/gradient.h"
#include "toolkit/graphics/lines.h"

namespace {

using Triple = std::array<int, 3>;

struct Poly { std::vector<float> x, y; };

double shoelace(const Poly& p) {
  double a = 0;
  const std::size_t n = p.x.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t j = (i + 1) % n;
    a += static_cast<double>(p.x[i]) * p.y[j] - static_cast<double>(p.x[j]) * p.y[i];
  }
  return std::fabs(a) / 2;
}

std::vector<Triple> decompose(const Poly& p, int& ntri) {
  const int n = static_cast<int>(p.x.size());
  std::vector<Triple> t(static_cast<std::size_t>(std::max(n - 2, 1)));
  yypolygondecompose(p.x, p.y, n, t, ntri);
  t.resize(static_cast<std::size_t>(ntri));
  return t;
}

double trianglesarea(const Poly& p, const std::vector<Triple>& t) {
  double sum = 0;
  for (const Triple& k : t) {
    const Poly tri{{p.x[k[0]], p.x[k[1]], p.x[k[2]]}, {p.y[k[0]], p.y[k[1]], p.y[k[2]]}};
    sum += shoelace(tri);
  }
  return sum;
}

Poly regular(int n, double r, bool clockwise) {
  Poly p;
  for (int k = 0; k < n; ++k) {
    const double a = (clockwise ? -1 : 1) * 2 * std::numbers::pi * k / n;
    p.x.push_back(static_cast<float>(r * std::cos(a)));
    p.y.push_back(static_cast<float>(r * std::sin(a)));
  }
  return p;
}

// A star-shaped polygon with random radii: simple, with many reflex vertices.
Poly jagged(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> radius(20, 100);
  Poly p;
  for (int k = 0; k < n; ++k) {
    const double a = 2 * std::numbers::pi * k / n, r = radius(rng);
    p.x.push_back(static_cast<float>(r * std::cos(a)));
    p.y.push_back(static_cast<float>(r * std::sin(a)));
  }
  return p;
}

// A double spiral: a band winding several times round the centre.
Poly spiral(int turns, int perturn) {
  Poly p;
  const int m = turns * perturn;
  for (int k = 0; k <= m; ++k) {
    const double a = 2 * std::numbers::pi * k / perturn, r = 10 + 10 * a;
    p.x.push_back(static_cast<float>(r * std::cos(a)));
    p.y.push_back(static_cast<float>(r * std::sin(a)));
  }
  for (int k = m; k >= 0; --k) {
    const double a = 2 * std::numbers::pi * k / perturn, r = 10 + 10 * a + 30;
    p.x.push_back(static_cast<float>(r * std::cos(a)));
    p.y.push_back(static_cast<float>(r * std::sin(a)));
  }
  return p;
}

TEST(YyPolygonDecompose, SquareInBothOrientations) {
  int ntri = 0;
  const Poly ccw{{0, 1, 1, 0}, {0, 0, 1, 1}};
  EXPECT_EQ(decompose(ccw, ntri), (std::vector<Triple>{{2, 3, 0}, {2, 0, 1}}));
  const Poly cw{{0, 0, 1, 1}, {0, 1, 1, 0}};
  EXPECT_EQ(decompose(cw, ntri), (std::vector<Triple>{{1, 2, 3}, {1, 3, 0}}));
}

TEST(YyPolygonDecompose, EveryPolygonGivesNMinusTwoTrianglesCoveringItsArea) {
  struct Case { const char* why; Poly p; };
  const Case cases[] = {
      {"convex, counter-clockwise", regular(40, 50, false)},
      {"convex, clockwise", regular(40, 50, true)},
      {"L-shaped hexagon", {{0, 4, 4, 1, 1, 0}, {0, 0, 1, 1, 4, 4}}},
      {"comb", {{0, 10, 10, 8, 8, 6, 6, 4, 4, 2, 2, 0}, {0, 0, 10, 10, 2, 2, 10, 10, 2, 2, 10, 10}}},
      {"jagged star 1", jagged(60, 1)},
      {"jagged star 2", jagged(200, 2)},
      {"spiral of three turns", spiral(3, 24)},
      {"spiral of five turns", spiral(5, 40)},
      {"square with midpoints, clockwise", {{0, 0, 0, 1, 2, 2, 2, 1}, {0, 1, 2, 2, 2, 1, 0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    int ntri = 0;
    const auto t = decompose(c.p, ntri);
    EXPECT_EQ(ntri, static_cast<int>(c.p.x.size()) - 2);
    EXPECT_NEAR(trianglesarea(c.p, t), shoelace(c.p), 1e-6 * shoelace(c.p) + 1e-9);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
}

TEST(YyPolygonDecompose, LShapeNeverCoversTheReflexVertex) {
  const Poly l{{0, 4, 4, 1, 1, 0}, {0, 0, 1, 1, 4, 4}};
  int ntri = 0;
  for (const Triple& t : decompose(l, ntri)) {
    const Poly tri{{l.x[t[0]], l.x[t[1]], l.x[t[2]]}, {l.y[t[0]], l.y[t[1]], l.y[t[2]]}};
    // The reflex corner (1, 1) is at most a corner of a triangle, never inside one.
    const bool corner = t[0] == 3 || t[1] == 3 || t[2] == 3;
    if (!corner) {
      const double whole = shoelace(tri);
      double parts = 0;
      for (int e = 0; e < 3; ++e) {
        const Poly sub{{1, tri.x[e], tri.x[(e + 1) % 3]}, {1, tri.y[e], tri.y[(e + 1) % 3]}};
        parts += shoelace(sub);
      }
      EXPECT_GT(parts, whole + 1e-9);
    }
  }
}

TEST(YyPolygonDecompose, RepeatedPointsGiveNoTriangle) {
  const Poly p{{0, 2, 2, 2, 0}, {0, 0, 0, 2, 2}};
  int ntri = 0;
  const auto t = decompose(p, ntri);
  EXPECT_EQ(ntri, 2);   // n - 3
  EXPECT_DOUBLE_EQ(trianglesarea(p, t), 4);
}

TEST(YyPolygonDecompose, AllPointsTogetherGiveNothingAndNoError) {
  tessar.error.LASTERROR = 0;
  const Poly p{{3, 3, 3}, {1, 1, 1}};
  int ntri = -1;
  decompose(p, ntri);
  EXPECT_EQ(ntri, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST(YyPolygonDecompose, BowTieIsError28WithTheLastAttemptsTriangle) {
  tessar.error.LASTERROR = 0;
  const Poly p{{0, 1, 1, 0}, {0, 1, 0, 1}};
  int ntri = 0;
  EXPECT_EQ(decompose(p, ntri), (std::vector<Triple>{{1, 2, 3}}));
  EXPECT_EQ(tessar.error.LASTERROR, 28);
}

TEST(YyPolygonDecompose, RandomCrossingPolygonsStayInsideTheTriangleTable) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(0, 6);   // few values: many repeats and collinear runs
  for (int round = 0; round < 300; ++round) {
    const int n = 3 + round % 12;
    Poly p;
    for (int i = 0; i < n; ++i) {
      p.x.push_back(static_cast<float>(coord(rng)));
      p.y.push_back(static_cast<float>(coord(rng)));
    }
    std::vector<Triple> t(static_cast<std::size_t>(n - 2));
    int ntri = -1;
    yypolygondecompose(p.x, p.y, n, t, ntri);
    ASSERT_GE(ntri, 0);
    ASSERT_LE(ntri, n - 2);
    for (int k = 0; k < ntri; ++k)
      for (int v : t[static_cast<std::size_t>(k)]) {
        EXPECT_GE(v, 0);
        EXPECT_LT(v, n);
      }
  }
}

// Device units equal user units on a 100 x 100 drawable.
class Gradient100 : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(100, 100);
    IGrUnits(0, 0, 99.99f, 99.99f);
    igrcolourmodel(24);
    IGrColourN(wrgb(0, 0, 200));   // previous: blue
    IGrColourN(wrgb(200, 0, 0));   // current: red
    igrcolourmodel(1);
    igrlinetype(3);
    devicelog().clear();
  }
};

TEST_F(Gradient100, LeftToRightFromPreviousToCurrentColour) {
  const auto before = tessar.graphics.attributes.COLOURS;
  const std::vector<float> x = {10, 90, 90, 10}, y = {20, 20, 60, 60};
  IGrPolygonGrad(x, y, 4, 2);
  std::map<float, int> colourat;   // x of each vertical line and its colour
  for (const DeviceCall& c : devicelog())
    if (c.side == 'S' && c.code == DLINE) {
      EXPECT_EQ(c.operands.RX1, c.operands.RX2);
      colourat[c.operands.RX1] = c.colours[PAIRRGB][CURRENT];
    }
  ASSERT_EQ(colourat.size(), 80u);
  EXPECT_EQ(colourat.begin()->first, 10.5f);
  EXPECT_EQ(colourat.begin()->second, wrgb(0, 0, 200));
  int r = 0, g = 0, b = 0;   // the last line, half a pixel below the top: nearly the current
  wrgbsplit(colourat.rbegin()->second, &r, &g, &b);
  EXPECT_GE(r, 198);
  EXPECT_LE(b, 2);
  int last = -1;
  for (const auto& [xv, c] : colourat) {
    int red = 0;
    wrgbsplit(c, &red);
    EXPECT_GE(red, last);
    last = red;
  }
  EXPECT_EQ(tessar.graphics.attributes.COLOURS, before);
  EXPECT_EQ(tessar.graphics.attributes.COLOURMODEL, 1);
  EXPECT_EQ(tessar.graphics.attributes.LINETYPE, 3);
  EXPECT_EQ(tessar.graphics.area.CURX, 10);
}

TEST_F(Gradient100, PageRotationTurnsTheDirection) {
  tessar.graphics.area.PAGEROTATION = 90;
  const std::vector<float> x = {10, 90, 90, 10}, y = {20, 20, 60, 60};
  IGrPolygonGrad(x, y, 4, 2);
  int lines = 0;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'S' && c.code == DLINE) {
      ++lines;
      EXPECT_EQ(c.operands.RY1, c.operands.RY2);   // horizontal, as dir 1 without rotation
    }
  EXPECT_GT(lines, 0);
}

std::map<std::pair<int, int>, int>& painted() {
  static std::map<std::pair<int, int>, int> p;
  return p;
}
void paint(int x, int y, int colour) { painted()[{x, y}] = colour; }

void setvertices(const std::vector<std::array<int, 3>>& v) {
  GradientVertices& gv = tessar.graphics.gradient;
  gv.n = static_cast<int>(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    gv.X[i] = v[i][0];
    gv.Y[i] = v[i][1];
    gv.RGB[i] = v[i][2];
  }
}

TEST(YyGradientFill, RepeatedVertexIsMergedWithItsAverageColour) {
  resetgraphics(100, 100);
  painted().clear();
  setvertices({{10, 10, wrgb(100, 0, 0)}, {10, 10, wrgb(200, 0, 0)}, {60, 10, 0}, {10, 60, 0}});
  yygradientfill(1, 0, 0, 99, 99, paint, nullptr);
  const GradientVertices& gv = tessar.graphics.gradient;
  EXPECT_EQ(gv.n, 3);
  EXPECT_EQ(gv.ntri, 1);
  EXPECT_EQ(gv.RGB[0], wrgb(150, 0, 0));
  EXPECT_EQ(painted()[std::make_pair(10, 10)], wrgb(150, 0, 0));
  EXPECT_FALSE(painted().empty());
}

TEST(YyGradientFill, ThreeVerticesWithARepeatDrawNothing) {
  resetgraphics(100, 100);
  painted().clear();
  setvertices({{10, 10, 0}, {10, 10, 0}, {60, 10, 0}});
  yygradientfill(1, 0, 0, 99, 99, paint, nullptr);
  EXPECT_TRUE(painted().empty());
}

TEST(YyGradientFill, NativeTrianglesFirstInModeTwo) {
  resetgraphics(100, 100);
  painted().clear();
  setvertices({{10, 10, 0}, {60, 10, 0}, {60, 60, 0}, {10, 60, 0}});
  static int calls = 0;
  calls = 0;
  yygradientfill(2, 0, 0, 99, 99, paint, [](const GradientVertices& v, int& status) {
    ++calls;
    EXPECT_EQ(v.ntri, 2);
    status = 0;
  });
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(painted().empty());
  yygradientfill(2, 0, 0, 99, 99, paint, [](const GradientVertices&, int& status) { status = 1; });
  EXPECT_FALSE(painted().empty());   // a refusing device falls back to software shading
}

TEST(YyGradientTriangle, EqualColoursPaintEveryPixelInsideTheClip) {
  resetgraphics(100, 100);
  painted().clear();
  setvertices({{0, 0, 0xFFFFFF}, {40, 0, 0xFFFFFF}, {0, 40, 0xFFFFFF}});
  yygradienttriangle({0, 1, 2}, 5, 5, 30, 30, paint);
  int count = 0;
  for (const auto& [p, c] : painted()) {
    EXPECT_EQ(c, 0xFFFFFF);   // 1.0 gives 255 exactly
    EXPECT_GE(p.first, 5);
    EXPECT_LE(p.first, 30);
    EXPECT_LE(p.first + p.second, 40);
    ++count;
  }
  // Rows 5 to 30, each from x = 5 to min(30, 40 - y).
  int expected = 0;
  for (int y = 5; y <= 30; ++y) expected += std::min(30, 40 - y) - 5 + 1;
  EXPECT_EQ(count, expected);
}

}  // namespace
