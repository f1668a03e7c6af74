// The regression's statistical routines: the t distribution, matrix inversion, the
// influence statistics and the lag-1 correlation.
#include "app/regstats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "app/regression.h"
#include "platform/message_box.h"

namespace {

class RegStats : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::clearMessageBoxes();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  }
};

// Reference values of R's pt(t, n).
struct TCase {
  const char* why;
  float t;
  int n;
  double want;
};
constexpr TCase kTCases[] = {
    {"one degree: the Cauchy arctangent alone", 0.5f, 1, 0.6475836},
    {"odd n with no series term", 2.0f, 3, 0.9303370},
    {"even n, one series term", 1.5f, 4, 0.8960000},
    {"odd n with series terms", 2.2f, 7, 0.9681345},
    {"small t, even n", 0.3f, 10, 0.6148397},
    {"tail, twenty degrees", 3.0f, 20, 0.9964621},
    {"sixty degrees, near the normal", 1.96f, 60, 0.9726775},
    {"the largest sample the table holds", 2.5f, 163, 0.9932959},
    {"negative t gives the lower tail", -1.2f, 5, 0.1419455},
};

TEST(Probst, MatchesTheTDistribution) {
  for (const TCase& c : kTCases) {
    SCOPED_TRACE(c.why);
    int flag = -1;
    EXPECT_NEAR(probst(c.t, c.n, flag), c.want, 2e-6);
    EXPECT_EQ(flag, 0);
  }
}

TEST(Probst, ClosedFormsAndCentre) {
  int flag = -1;
  for (int n = 1; n <= 40; ++n) {
    SCOPED_TRACE(n);
    EXPECT_FLOAT_EQ(probst(0.0f, n, flag), 0.5f);
  }
  EXPECT_FLOAT_EQ(probst(1.0f, 1, flag), 0.75f);
  for (float t : {0.4f, 1.0f, 3.7f}) {
    EXPECT_NEAR(probst(t, 2, flag), 0.5 + t / (2.0 * std::sqrt(2.0 + t * t)), 1e-6);
  }
  EXPECT_NEAR(probst(2.0f, 10, flag), 0.9633, 1e-4);
}

TEST(Probst, NoDegreesOfFreedomGivesZeroAndFlag) {
  int flag = 0;
  EXPECT_EQ(probst(2.0f, 0, flag), 0.0f);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(probst(2.0f, -3, flag), 0.0f);
  EXPECT_EQ(flag, 1);
}

// a x b of two n x n column-major matrices.
std::vector<float> product(const std::vector<float>& a, const std::vector<float>& b, int n) {
  std::vector<float> c(n * n, 0.0f);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k) c[j * n + i] += a[k * n + i] * b[j * n + k];
  return c;
}

struct InvCase {
  const char* why;
  int n;
  std::vector<float> a;  // column-major
};

TEST_F(RegStats, MatinvInvertsWithPivoting) {
  const InvCase cases[] = {
      {"order 1", 1, {2.0f}},
      {"zero diagonal needs a row interchange", 2, {0.0f, 1.0f, 1.0f, 0.0f}},
      {"unsymmetric, pivots off the diagonal", 3, {1.0f, 4.0f, 7.0f, 2.0f, 5.0f, 8.0f, 3.0f, 6.0f, 10.0f}},
      {"zero leading element and mixed scales", 3, {0.0f, 2.0f, 1.0f, 300.0f, 1.0f, 0.5f, 1.0f, 0.1f, 40.0f}},
  };
  for (const InvCase& c : cases) {
    SCOPED_TRACE(c.why);
    std::vector<float> inv = c.a;
    int flag = -1;
    matinv(inv, c.n, flag);
    ASSERT_EQ(flag, 0);
    const std::vector<float> id = product(c.a, inv, c.n);
    for (int i = 0; i < c.n; ++i)
      for (int j = 0; j < c.n; ++j) EXPECT_NEAR(id[j * c.n + i], i == j ? 1.0f : 0.0f, 1e-5) << i << "," << j;
  }
  EXPECT_TRUE(win::test::messageBoxes().empty());
}

TEST_F(RegStats, MatinvOfIdentityAndHalf) {
  std::vector<float> a = {2.0f};
  int flag = -1;
  matinv(a, 1, flag);
  EXPECT_EQ(a[0], 0.5f);
  std::vector<float> id(36, 0.0f);
  for (int i = 0; i < 6; ++i) id[i * 6 + i] = 1.0f;
  std::vector<float> inv = id;
  matinv(inv, 6, flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(inv, id);
}

TEST_F(RegStats, MatinvSingularTellsTheUser) {
  std::vector<float> a = {1.0f, 2.0f, 2.0f, 4.0f};
  int flag = 0;
  matinv(a, 2, flag);
  EXPECT_EQ(flag, 1);
  const auto& boxes = win::test::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Matrix is singular - inverse cannot be found");
  EXPECT_EQ(boxes[0].title, "Error");
  EXPECT_EQ(boxes[0].style & win::MB_ICONMASK, win::MB_ICONEXCLAMATION);
}

TEST_F(RegStats, MatinvRefusesOrdersBeyondItsWorkSpace) {
  std::vector<float> a(121, 0.0f);
  for (int i = 0; i < 11; ++i) a[i * 11 + i] = 1.0f;
  int flag = 0;
  matinv(a, 11, flag);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(a[0], 1.0f);
}

TEST_F(RegStats, CheckoutliersExactFitIsZero) {
  // y = 1 + 2 x exactly: no residual, no scale, nothing stands out.
  const int n = 6, p = 2;
  std::vector<float> x(n * p), y(n);
  for (int i = 0; i < n; ++i) {
    x[i] = 1.0f;
    x[n + i] = static_cast<float>(i + 1);
    y[i] = 1.0f + 2.0f * (i + 1);
  }
  const std::vector<float> b = {1.0f, 2.0f};
  std::vector<float> d(n, -1.0f), r(n, -1.0f);
  checkoutliers(y, x, n, p, b, d, r);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(d[i], 0.0f);
    EXPECT_EQ(r[i], 0.0f);
  }
}

TEST_F(RegStats, CheckoutliersSingularKeepsOutputs) {
  const int n = 5, p = 2;
  std::vector<float> x(n * p, 1.0f), y = {1, 2, 3, 4, 5};  // two identical columns
  const std::vector<float> b = {1.0f, 1.0f};
  std::vector<float> d(n, 7.0f), r(n, 8.0f);
  checkoutliers(y, x, n, p, b, d, r);
  EXPECT_EQ(d, std::vector<float>(n, 7.0f));
  EXPECT_EQ(r, std::vector<float>(n, 8.0f));
  const auto& boxes = win::test::messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Matrix is singular - inverse cannot be found");
  EXPECT_EQ(boxes[1].text, "Matrix inversion failed");
  EXPECT_EQ(boxes[1].title, "Regression");
}

// Cook's distance and the standardized residuals belong to the fitted values, not to how
// the columns are written: a user variable around 2.5e5 that nearly follows the time index
// gives the same statistics as the same variable centred and scaled, where X'X is
// well-conditioned.
TEST_F(RegStats, CheckoutliersHoldForNearlyCollinearColumns) {
  const int n = 30, p = 3;
  std::vector<float> raw(n * p), tidy(n * p), y(n);
  unsigned seed = 99u;
  auto noise = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<float>((seed >> 8) % 20000u) / 10000.0f - 1.0f;
  };
  double mean = 0, sd = 0;
  for (int i = 0; i < n; ++i) {
    raw[i] = 1.0f;
    raw[n + i] = static_cast<float>(i + 1);
    raw[2 * n + i] = 2.5e5f + 15.0f * (i + 1) + 20.0f * noise();
    y[i] = std::round(3000.0f - 30.0f * (i + 1) + 400.0f * noise());
    mean += raw[2 * n + i];
  }
  mean /= n;
  for (int i = 0; i < n; ++i) sd += (raw[2 * n + i] - mean) * (raw[2 * n + i] - mean);
  sd = std::sqrt(sd / (n - 1));
  for (int i = 0; i < n; ++i) {
    tidy[i] = 1.0f;
    tidy[n + i] = raw[n + i];
    tidy[2 * n + i] = static_cast<float>((raw[2 * n + i] - mean) / sd);
  }
  std::vector<float> d1(n), r1(n), d2(n), r2(n);
  for (auto [x, d, r] : {std::tuple{&raw, &d1, &r1}, std::tuple{&tidy, &d2, &r2}}) {
    std::vector<float> b = y;
    int icon = -1;
    LAXL(*x, n, n, p, b, 1, icon);
    ASSERT_EQ(icon, 0);
    checkoutliers(y, *x, n, p, b, *d, *r);
  }
  double sumd = 0;
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(d1[i], d2[i], 1e-5 * d2[i] + 1e-8);
    EXPECT_NEAR(r1[i], r2[i], 1e-5 * std::fabs(r2[i]) + 1e-6);
    sumd += d2[i];
  }
  EXPECT_GT(sumd, 0.1);  // the statistics are not all 0
  EXPECT_TRUE(win::test::messageBoxes().empty());
}

TEST(Getpersistance, FewerThanFourPairsLeaveResults) {
  const std::vector<float> a = {1, 2, 3}, b = {2, 3, 1};
  float rho = 9.0f, upper = 8.0f, lower = 7.0f;
  getpersistance(a, b, 3, rho, upper, lower);
  EXPECT_EQ(rho, 9.0f);
  EXPECT_EQ(upper, 8.0f);
  EXPECT_EQ(lower, 7.0f);
}

TEST(Getpersistance, TenPairsGiveAndersonLimits) {
  const std::vector<float> a = {3, 1, 4, 1, 5, 9, 2, 6, 5, 3}, b = {1, 4, 1, 5, 9, 2, 6, 5, 3, 5};
  float rho = 0, upper = 0, lower = 0;
  getpersistance(a, b, 10, rho, upper, lower);
  EXPECT_NEAR(upper, 0.488f, 1e-6);
  EXPECT_NEAR(lower, -0.688f, 1e-6);
  float r = 0, r2 = 0;
  getr(a, b, 10, r, r2);
  EXPECT_NEAR(rho, r, 1e-5);  // the one-pass and two-pass forms agree
}

TEST(Getpersistance, ConstantSeriesShowsNoPersistence) {
  const std::vector<float> a(6, 4.0f), b = {1, 2, 3, 4, 5, 6};
  float rho = 9.0f, upper = 0, lower = 0;
  getpersistance(a, b, 6, rho, upper, lower);
  EXPECT_EQ(rho, 0.0f);
  EXPECT_TRUE(std::isfinite(upper));
}

TEST(Lagonesercorr, PairsOnlyNeighboursThatAreBothFlagged) {
  const std::vector<float> x = {5, 1, 7, 3, 8, 2, 9, 4, 6};
  struct Case {
    const char* why;
    std::vector<int> f;
    std::vector<float> a, b;  // the pairs expected
  };
  const Case cases[] = {
      {"all flagged: n - 1 pairs", {1, 1, 1, 1, 1, 1, 1, 1, 1}, {5, 1, 7, 3, 8, 2, 9, 4}, {1, 7, 3, 8, 2, 9, 4, 6}},
      {"a gap breaks the chain", {1, 0, 1, 1, 1, 1, 0, 1, 1}, {7, 3, 8, 4}, {3, 8, 2, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    float rho = 0, upper = 0, lower = 0, wrho = 0, wupper = 0, wlower = 0;
    lagonesercorr(x, c.f, 9, rho, upper, lower);
    getpersistance(c.a, c.b, static_cast<int>(c.a.size()), wrho, wupper, wlower);
    EXPECT_EQ(rho, wrho);
    EXPECT_EQ(upper, wupper);
    EXPECT_EQ(lower, wlower);
  }
  // Flags 1, 0, 1, 1 form the single pair (x3, x4): too few, nothing changes.
  float rho = 9.0f, upper = 9.0f, lower = 9.0f;
  lagonesercorr(x, std::vector<int>{1, 0, 1, 1}, 4, rho, upper, lower);
  EXPECT_EQ(rho, 9.0f);
}

TEST(Getr, CorrelationAndSquare) {
  const std::vector<float> x = {1, 2, 3, 4}, y = {2, 4, 6, 8}, z = {8, 6, 4, 2};
  float r = 0, r2 = 0;
  getr(x, y, 4, r, r2);
  EXPECT_NEAR(r, 1.0f, 1e-6);
  getr(x, z, 4, r, r2);
  EXPECT_NEAR(r, -1.0f, 1e-6);
  EXPECT_NEAR(r2, 1.0f, 1e-6);
}

}  // namespace
