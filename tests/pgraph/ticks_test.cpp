// Scale and tick arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/pgraph/pgraph_fixture.h"
#include "toolkit/pgraph/ticks.h"

namespace {

struct ScalCase {
  const char* why;
  float a, b;
  int category, nvalues, axis;
  float step, first;
  int count, exponent;
  float labelstep, labelfirst;
};
const ScalCase kScal[] = {
    {"0 to 1: both ends are ticks", 0, 1, 0, 0, 1, 0.1f, 0, 11, 0, 0.1f, 0},
    {"Z axis never takes mantissa 1", 0, 1, 0, 0, 3, 0.2f, 0, 6, 0, 0.2f, 0},
    {"first tick is the next whole step", 0.5f, 9.3f, 0, 0, 2, 1, 1, 9, 0, 1, 1},
    {"negative start", -3, 47, 0, 0, 1, 5, 0, 10, 1, 5, 0},
    {"negative range", -250, -10, 0, 0, 2, 20, -240, 12, 2, 20, -240},
    {"small range", 0.001f, 0.0027f, 0, 0, 1, 0.0002f, 0.001f, 9, -3, 0.0002f, 0.001f},
    {"category: one slot per value", 0, 10, 1, 10, 1, 1, 0.5f, 10, 1, 1.111111f, 0},
    {"category: every second value", 0, 10, 1, 13, 1, 1.538462f, 0.384615f, 7, 1, 1.666667f, 0},
    {"category: a year of days", 1, 365, 1, 365, 1, 49.86301f, 33.41096f, 7, 2, 50, 33},
    {"category: one value", 0, 10, 1, 1, 1, 10, 5, 2, 1, 0, 0},
};

TEST(Yyscal, TicksForValueAndCategoryAxes) {
  for (const ScalCase& c : kScal) {
    SCOPED_TRACE(c.why);
    resetchart();
    float step = 0, first = 0, labelstep = 0, labelfirst = 0;
    int count = 0, exponent = 0;
    yyscal(c.a, c.b, c.category, c.nvalues, c.axis, step, first, count, exponent, labelstep,
           labelfirst);
    EXPECT_NEAR(step, c.step, 1e-5 * std::max(1.0f, c.step));
    EXPECT_NEAR(first, c.first, 1e-5 * std::max(1.0f, std::fabs(c.first)));
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(exponent, c.exponent);
    EXPECT_NEAR(labelstep, c.labelstep, 1e-5 * std::max(1.0f, c.labelstep));
    EXPECT_NEAR(labelfirst, c.labelfirst, 1e-5);
  }
}

TEST(Yyscal, UserTicksAndThreeDBarShrink) {
  resetchart();
  tessar.pgraph.plot.NUSERTICKS[0] = 5;
  float step = 0, first = 0, ls = 0, lf = 0;
  int count = 0, exponent = 0;
  yyscal(0, 1, 0, 0, 1, step, first, count, exponent, ls, lf);
  EXPECT_FLOAT_EQ(step, 0.1f);
  EXPECT_EQ(count, 5);

  resetchart();
  PlotDefinition& pd = tessar.pgraph.plot;
  pd.THREED = 1;
  pd.PGTYPE = 1;
  pd.DEPTHSHIFT = 0.25f;
  yyscal(0, 1, 0, 0, 1, step, first, count, exponent, ls, lf);
  EXPECT_FLOAT_EQ(step, 0.075f);
  EXPECT_FLOAT_EQ(first, 0);
  EXPECT_EQ(count, 11);
  EXPECT_FLOAT_EQ(ls, 0.1f);
}

// An empty or non-finite range used to loop for ever in the decade normalisation.
TEST(Yyscal, UnusableRangeIsRefusedWithoutTicks) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::pair<float, float> ranges[] = {{2, 2}, {0, inf}, {nan, 1}};
  for (auto [a, b] : ranges) {
    SCOPED_TRACE(b);
    resetchart();
    float step = 1, first = 1, ls = 1, lf = 1;
    int count = 9, exponent = 9;
    yyscal(a, b, 0, 0, 1, step, first, count, exponent, ls, lf);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(tessar.error.LASTERROR, 16);
    tessar.error.LASTERROR = 0;
    float span = 0, offset = 0;
    yyscal3d(a, b, step, count, span, exponent, first, offset);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(tessar.error.LASTERROR, 16);
  }
  resetchart();
  float step = 1;
  int count = 9, exponent = 0;
  yyscpol(0, step, count, exponent);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 16);
}

struct Scal3dCase { const char* why; float a, b, step, first; int count; float span, offset; };
constexpr Scal3dCase kScal3d[] = {
    {"0 to 1", 0, 1, 0.2f, 0, 6, 5, 0},
    {"0 to 99", 0, 99, 10, 0, 10, 9.9f, 0},
    {"reversed range", 10, 0, 2, 10, 4, -5, 0},
};

TEST(Yyscal3d, StepsCountsAndSpans) {
  for (const Scal3dCase& c : kScal3d) {
    SCOPED_TRACE(c.why);
    resetchart();
    float step = 0, span = 0, first = 0, offset = -1;
    int count = 0, exponent = 0;
    yyscal3d(c.a, c.b, step, count, span, exponent, first, offset);
    EXPECT_FLOAT_EQ(step, c.step);
    EXPECT_FLOAT_EQ(first, c.first);
    EXPECT_EQ(count, c.count);
    EXPECT_NEAR(span, c.span, 1e-5);
    EXPECT_FLOAT_EQ(offset, c.offset);
  }
}

struct PolCase { float rmax, step; int count; };
constexpr PolCase kPol[] = {{1, 0.2f, 5}, {100, 20, 5}, {99, 10, 10}};

TEST(Yyscpol, RingsStopBelowTheRadius) {
  for (const PolCase& c : kPol) {
    SCOPED_TRACE(c.rmax);
    resetchart();
    float step = 0;
    int count = 0, exponent = 0;
    yyscpol(c.rmax, step, count, exponent);
    EXPECT_FLOAT_EQ(step, c.step);
    EXPECT_EQ(count, c.count);
  }
}

struct LogCase { const char* why; float a, b; int step, ndecades, lowest, highest; };
constexpr LogCase kLog[] = {
    {"three decades", 1, 1000, 1, 4, -1, 3},
    {"wide: every second decade labelled", 0.001f, 1e12f, 2, 16, -5, 12},
    {"zero counts as 1e-38", 0, 100, 5, 41, -38, 2},
};

TEST(Yyslog, WholeDecades) {
  for (const LogCase& c : kLog) {
    SCOPED_TRACE(c.why);
    int step = 0, nd = 0, lo = 0, hi = 0;
    yyslog(c.a, c.b, step, nd, lo, hi);
    EXPECT_EQ(step, c.step);
    EXPECT_EQ(nd, c.ndecades);
    EXPECT_EQ(lo, c.lowest);
    EXPECT_EQ(hi, c.highest);
  }
}

TEST(Yyslpol, RingsFromTheCentreDecade) {
  int step = 0, nd = 0, lo = 0, hi = 0;
  yyslpol(1, step, nd, lo, hi);
  EXPECT_EQ(step, 8);
  EXPECT_EQ(nd, 39);
  EXPECT_EQ(lo, -30);
  EXPECT_EQ(hi, 0);
  yyslpol(1000, step, nd, lo, hi);
  EXPECT_EQ(step, 9);
  EXPECT_EQ(nd, 42);
  EXPECT_EQ(lo, -29);
}

}  // namespace
