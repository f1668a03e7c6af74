// The trend regression: the least-squares solve, one run of linest checked against R's lm,
// its failure paths and the placing of its per-year statistics.
#include "app/regression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/modules.h"
#include "app/regstats.h"
#include "platform/message_box.h"
#include "tests/support/tools.h"

namespace fs = std::filesystem;

namespace {

TEST(LAXL, SolvesAnOverdeterminedSystem) {
  // y = 2 + 0.5 t exactly over five points: the least-squares solution is exact.
  std::vector<float> a = {1, 1, 1, 1, 1, 1, 2, 3, 4, 5};
  std::vector<float> b = {2.5f, 3.0f, 3.5f, 4.0f, 4.5f};
  int icon = -1;
  LAXL(a, 5, 5, 2, b, 1, icon);
  EXPECT_EQ(icon, 0);
  EXPECT_NEAR(b[0], 2.0f, 1e-5);
  EXPECT_NEAR(b[1], 0.5f, 1e-6);
}

TEST(LAXL, ReportsRankDeficiencyAndInvalidArguments) {
  struct Case {
    const char* why;
    std::vector<float> a;
    int k, m, n, isw, want;
  };
  const Case cases[] = {
      {"two equal columns", {1, 2, 3, 4, 1, 2, 3, 4}, 4, 4, 2, 1, LAXL_RANKDEFICIENT},
      {"a column three times another, in other units", {1, 2, 3, 4, 3000, 6000, 9000, 12000}, 4, 4, 2, 1,
       LAXL_RANKDEFICIENT},
      {"a zero column", {1, 2, 3, 4, 0, 0, 0, 0}, 4, 4, 2, 1, LAXL_RANKDEFICIENT},
      {"fewer rows than columns", {1, 2, 3, 4, 5, 6}, 2, 2, 3, 1, LAXL_INVALID},
      {"leading dimension below the rows", {1, 2, 3, 4, 5, 6, 7, 8}, 3, 4, 2, 1, LAXL_INVALID},
      {"no columns", {1, 2}, 2, 2, 0, 1, LAXL_INVALID},
      {"only a new matrix is supported", {1, 2, 3, 4, 5, 7, 8, 9}, 4, 4, 2, 2, LAXL_INVALID},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::vector<float> a = c.a, b = {1, 2, 3, 4};
    int icon = 0;
    LAXL(a, c.k, c.m, c.n, b, c.isw, icon);
    EXPECT_EQ(icon, c.want);
    EXPECT_EQ(b, (std::vector<float>{1, 2, 3, 4}));
  }
}

// A synthetic annual series of 30 years with a known trend, rain and one user variable.
class Linest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::clearMessageBoxes();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    initialise_tw_vars();
    initialise_regressdat();
    TwVars& tw = twvars;
    tw.numyears = 30;
    unsigned seed = 12345u;
    auto noise = [&seed] {  // a small deterministic generator, uniform in [-1, 1)
      seed = seed * 1103515245u + 12345u;
      return static_cast<float>((seed >> 8) % 20000u) / 10000.0f - 1.0f;
    };
    for (int y = 0; y < 30; ++y) {
      AnnualRecord& a = tw.annual[y];
      a.year = 1971 + y;
      a.timeindex = y + 1;
      a.rain = std::round(800.0f + 200.0f * noise());
      a.user[0] = std::round(50.0f + 20.0f * noise() * 10.0f) / 10.0f;
      a.baseflow = std::round(4000.0f - 35.0f * (y + 1) + 6.0f * a.rain + 25.0f * a.user[0] + 300.0f * noise());
      a.flow = 2.5f * a.baseflow;
      a.flowflag = a.rainflag = 1;
      a.userflag = {1, 0, 0};
      a.usable = 1;
    }
    tw.raininclude = 1;
    tw.userinclude = {1, 0, 0};
  }
};

// Runs R's lm on the usable years and returns its figures in the order the script prints:
// coefficients, standard errors, t values, p-values (4 each), R squared, sigma, the
// condition number of the design matrix, then Cook's distance and the standardized
// residual of each year.
std::vector<double> fitwithr(const fs::path& dir) {
  const TwVars& tw = twvars;
  {
    std::ofstream csv(dir / "annual.csv");
    csv << "y,t,rain,u1\n";
    csv.precision(17);  // R reads exactly the single-precision values the fit saw
    for (int y = 0; y < tw.numyears; ++y) {
      const AnnualRecord& a = tw.annual[y];
      if (a.usable == 1)
        csv << double{a.baseflow} << "," << a.timeindex << "," << double{a.rain} << "," << double{a.user[0]} << "\n";
    }
    std::ofstream script(dir / "fit.R");
    script << "d <- read.csv('" << (dir / "annual.csv").string() << "')\n"
           << "f <- lm(y ~ t + rain + u1, data = d)\n"
           << "s <- summary(f)$coefficients\n"
           << "v <- c(s[, 1], s[, 2], s[, 3], s[, 4], summary(f)$r.squared, summary(f)$sigma,"
           << " kappa(model.matrix(f), exact = TRUE), cooks.distance(f), rstandard(f))\n"
           << "writeLines(sprintf('%.10e', v), '" << (dir / "r.txt").string() << "')\n";
  }
  const std::string command = "Rscript --vanilla '" + (dir / "fit.R").string() + "' > /dev/null 2>&1";
  EXPECT_TRUE(tw::test::needtool("Rscript", "r-base-core"));
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(dir / "r.txt");
  std::vector<double> values;
  double v = 0;
  while (in >> v) values.push_back(v);
  return values;
}

// Within rel of want, relative; the second form allows an absolute floor as well.
bool nearrel(double got, double want, double rel) { return std::fabs(got - want) <= rel * std::fabs(want); }
bool nearrelor(double got, double want, double rel, double floor) {
  return std::fabs(got - want) <= rel * std::fabs(want) + floor;
}

// Standard errors, t values, p-values and Cook's distances agree with R's lm within 1e-4
// relative, also when the user variable is nearly a linear function of the year, or large
// beside the other columns: the covariance must not lose accuracy to the conditioning.
TEST_F(Linest, AgreesWithRsLm) {
  struct Case {
    const char* why;
    double minkappa, maxkappa;  // condition number of the design matrix, as R finds it
    std::function<float(int year, float noise)> user;
  };
  const Case cases[] = {
      {"well conditioned", 1e2, 1e5, nullptr},
      {"user variable 2000 + 15 x year plus small noise", 1e8, 1e9,
       [](int year, float noise) { return 2000.0f + 15.0f * static_cast<float>(year) + 8.0f * noise; }},
      {"user variable around 2.5e5, close to the year", 1e8, 1e11,
       [](int year, float noise) { return 2.2e5f + 15.0f * static_cast<float>(year) + 100.0f * noise; }},
  };
  const fs::path dir = fs::temp_directory_path() / ("tw-linest-r-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    if (c.user) {
      unsigned seed = 777u;
      for (int y = 0; y < 30; ++y) {
        seed = seed * 1103515245u + 12345u;
        const float noise = static_cast<float>((seed >> 8) % 20000u) / 10000.0f - 1.0f;
        AnnualRecord& a = twvars.annual[y];
        a.user[0] = c.user(a.year, noise);  // the baseflow stays as the fixture made it
      }
    }
    win::test::clearMessageBoxes();
    linest();
    for (const auto& b : win::test::messageBoxes()) ADD_FAILURE() << b.text;
    ASSERT_EQ(twvars.errorflag, 0);
    const RegressDat& rd = regressdat;
    ASSERT_EQ(rd.nsample, 30);
    ASSERT_EQ(rd.ncols, 4);

    const std::vector<double> r = fitwithr(dir);
    ASSERT_EQ(r.size(), 16u + 3u + 60u) << "Rscript (Debian r-base-core) did not run";
    EXPECT_GE(r[18], c.minkappa);
    EXPECT_LE(r[18], c.maxkappa);
    for (int j = 0; j < 4; ++j) {
      SCOPED_TRACE(j);
      EXPECT_PRED3(nearrel, rd.coeffs[j], r[j], 1e-4);
      EXPECT_PRED3(nearrel, rd.stderrs[j], r[4 + j], 1e-4);
      EXPECT_PRED3(nearrel, rd.tstat[j], r[8 + j], 1e-4);
      // Below about 1e-3 the p-value is the difference of a single-precision P from 1.
      EXPECT_PRED4(nearrelor, rd.tprob[j], r[12 + j], 1e-4, 3e-7);
    }
    EXPECT_NEAR(rd.R2, r[16], 1e-5);
    EXPECT_NEAR(rd.ce, r[16], 1e-5);  // efficiency of a least-squares fit with a constant
    EXPECT_PRED3(nearrel, rd.SE, r[17], 1e-4);
    for (int k = 0; k < 30; ++k) {
      SCOPED_TRACE(k);
      EXPECT_PRED4(nearrelor, rd.cook[k], r[19 + k], 1e-4, 1e-7);
      EXPECT_PRED3(nearrel, rd.stdres[k], r[49 + k], 1e-4);
      EXPECT_EQ(rd.cookyear[k], rd.cook[k]);
    }
  }
  fs::remove_all(dir);
}

// Leaving outliers out: years whose Cook's distance is 2.0 or more lose their usable flag
// and the fit is run again over the rest, which then agrees with R on those years.
TEST_F(Linest, OutlierRefit) {
  AnnualRecord& odd = twvars.annual[29];
  odd.rain = 2500.0f;  // far from the other years, so the year weighs heavily
  odd.baseflow += 40000.0f;
  linest();
  ASSERT_EQ(twvars.errorflag, 0);
  EXPECT_GE(regressdat.cookyear[29], 2.0f);
  int dropped = 0;
  for (int y = 0; y < twvars.numyears; ++y) {
    if (regressdat.cookyear[y] >= 2.0f) {
      twvars.annual[y].usable = 0;
      ++dropped;
    }
  }
  EXPECT_EQ(dropped, 1);
  linest();
  ASSERT_EQ(twvars.errorflag, 0);
  EXPECT_EQ(regressdat.nsample, 29);
  EXPECT_EQ(regressdat.cookyear[29], 0.0f);
  const fs::path dir = fs::temp_directory_path() / ("tw-linest-refit-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const std::vector<double> r = fitwithr(dir);
  fs::remove_all(dir);
  ASSERT_EQ(r.size(), 16u + 3u + 58u) << "Rscript (Debian r-base-core) did not run";
  for (int j = 0; j < 4; ++j) EXPECT_NEAR(regressdat.coeffs[j], r[j], 1e-4 * std::max(1.0, std::fabs(r[j])));
  for (int k = 0; k < 29; ++k) EXPECT_PRED4(nearrelor, regressdat.cook[k], r[19 + k], 1e-4, 1e-7);
}

TEST_F(Linest, FitSumsAndFlowMeans) {
  // Years 4 and 9 have incomplete flow: they count in neither mean nor the fit.
  for (int y : {3, 8}) {
    twvars.annual[y].flow = twvars.annual[y].baseflow = MISSING;
    twvars.annual[y].usable = 0;
  }
  linest();
  ASSERT_EQ(twvars.errorflag, 0);
  const RegressDat& rd = regressdat;
  double flow = 0, base = 0;
  for (int y = 0; y < 30; ++y)
    if (y != 3 && y != 8) {
      flow += twvars.annual[y].flow;
      base += twvars.annual[y].baseflow;
    }
  EXPECT_NEAR(rd.MAF, flow / 28, 1e-3 * flow / 28);
  EXPECT_NEAR(rd.MABF, base / 28, 1e-3 * base / 28);
  EXPECT_NEAR(rd.trendpct, 100.0f * rd.coeffs[1] / rd.MABF, 1e-4);
  EXPECT_NEAR(rd.ce, 1.0f - rd.ssresid / rd.sst, 1e-6);
  EXPECT_NEAR(rd.R * rd.R, rd.R2, 1e-6);
  EXPECT_NEAR(rd.cv, 100.0f * rd.SE / rd.avobs, 1e-4);
  EXPECT_EQ(rd.nsample, 28);
  // The statistics by year sit at the usable years only; year 4 keeps 0.
  EXPECT_EQ(rd.cookyear[3], 0.0f);
  EXPECT_EQ(rd.cookyear[4], rd.cook[3]);
  EXPECT_EQ(rd.stdresyear[29], rd.stdres[27]);
}

TEST_F(Linest, PacksIncludedVariables) {
  // Rain excluded, only user variable 2 included: its coefficient is entry 3.
  for (int y = 0; y < 30; ++y) {
    twvars.annual[y].user[1] = twvars.annual[y].user[0];
    twvars.annual[y].user[0] = MISSING;
  }
  twvars.raininclude = 0;
  twvars.userinclude = {0, 1, 0};
  regressdat.coeffs = {9, 9, 9, 9, 9, 9};
  linest();
  ASSERT_EQ(twvars.errorflag, 0);
  EXPECT_EQ(regressdat.ncols, 3);
  EXPECT_EQ(regressdat.NumUseVar, 1);
  EXPECT_NE(regressdat.coeffs[2], 0.0f);
  EXPECT_EQ(regressdat.coeffs[3], 0.0f);
  EXPECT_EQ(regressdat.coeffs[5], 0.0f);
}

TEST_F(Linest, LagOnePairsOnlyConsecutiveUsableYears) {
  twvars.annual[9].usable = 0;
  linest();
  ASSERT_EQ(twvars.errorflag, 0);
  std::vector<float> a, b;
  for (int y = 0; y + 1 < 30; ++y)
    if (y != 9 && y + 1 != 9) {
      a.push_back(twvars.annual[y].baseflow);
      b.push_back(twvars.annual[y + 1].baseflow);
    }
  float rho = 0, upper = 0, lower = 0;
  getpersistance(a, b, static_cast<int>(a.size()), rho, upper, lower);
  EXPECT_EQ(regressdat.lag1[0], rho);
  EXPECT_EQ(regressdat.lag1[1], upper);
  EXPECT_EQ(regressdat.lag1[2], lower);
}

TEST_F(Linest, SevenUsableYearsAreNotEnough) {
  for (int y = 7; y < 30; ++y) twvars.annual[y].usable = 0;
  regressdat.coeffs = {1, 2, 3, 4, 5, 6};
  regressdat.nsample = 42;
  linest();
  EXPECT_EQ(twvars.errorflag, 1);
  EXPECT_EQ(regressdat.nsample, 42);
  EXPECT_EQ(regressdat.coeffs[5], 6.0f);
  const auto& boxes = win::test::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "The available data has less then 8 years of data.\r\rRegression not possible.");
  EXPECT_EQ(boxes[0].title, "Regression");

  // Eight usable years are enough.
  win::test::clearMessageBoxes();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  twvars.annual[7].usable = 1;
  linest();
  EXPECT_EQ(twvars.errorflag, 0);
  EXPECT_EQ(regressdat.nsample, 8);
  EXPECT_TRUE(win::test::messageBoxes().empty());
}

TEST_F(Linest, DependentColumnsAreSingular) {
  struct Case {
    const char* why;
    std::function<float(int t)> user;
  };
  const Case cases[] = {
      {"user variable equal to the time index", [](int t) { return static_cast<float>(t); }},
      {"user variable a multiple of the time index, in other units", [](int t) { return 250.0f * t; }},
      {"user variable 0 in every year", [](int) { return 0.0f; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    SetUp();
    linest();
    ASSERT_EQ(twvars.errorflag, 0);
    const float kept = regressdat.R2;
    for (int y = 0; y < 30; ++y) twvars.annual[y].user[0] = c.user(y + 1);
    win::test::clearMessageBoxes();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    linest();
    EXPECT_EQ(twvars.errorflag, 1);
    EXPECT_EQ(regressdat.R2, kept);
    const auto& boxes = win::test::messageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Matrix is singular - inverse cannot be found");
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_EQ(boxes[1].text, "Matrix inversion failed");
    EXPECT_EQ(boxes[1].title, "Regression");
  }
}

}  // namespace

namespace {

// A user variable that follows the time index to within single precision: X'X still
// inverts, but the solve finds the columns dependent.
class LinestSolveFailure : public Linest {
 protected:
  void SetUp() override {
    Linest::SetUp();
    for (int y = 0; y < 30; ++y) twvars.annual[y].user[0] = (y + 1) * (1.0f + ((y % 2) - 1) * 1e-6f);
    dir_ = fs::temp_directory_path() / ("tw-linest-dump-" + std::to_string(std::random_device{}()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  fs::path dir_, old_;
};

// Two failed solves in one program run leave two dumps in LAXL.LOG and two lines in fort.20.
TEST_F(LinestSolveFailure, DumpsInputAndZeroesCoefficients) {
  regressdat.R2 = 0.5f;
  regressdat.coeffs = {1, 2, 3, 4, 5, 6};
  linest();
  EXPECT_EQ(twvars.errorflag, 1);
  EXPECT_EQ(regressdat.coeffs, (std::array<float, 6>{}));
  EXPECT_EQ(regressdat.R2, 0.5f);
  const auto& boxes = win::test::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "LAXL Solution failed - input data dumped to LAXL.LOG");
  EXPECT_EQ(boxes[0].title, "Regression");
  linest();

  std::ifstream fort(dir_ / "fort.20");
  std::stringstream f20;
  f20 << fort.rdbuf();
  EXPECT_EQ(f20.str(), "Solution failed, error code =     20000\nSolution failed, error code =     20000\n");

  std::ifstream log(dir_ / "LAXL.LOG");
  std::vector<std::string> lines;
  for (std::string l; std::getline(log, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 2u * 32u);
  EXPECT_EQ(lines[0], "Independent variables used:                1       0       0");
  EXPECT_EQ(lines[1], "No.           Y       X01       X02       X03");
  const AnnualRecord& a = twvars.annual[0];
  char want[128];
  std::snprintf(want, sizeof want, "    1%10.3f%10.3f%10.3f%10.3f", a.baseflow, 1.0, a.rain, a.user[0]);
  EXPECT_EQ(lines[2], want);
  EXPECT_EQ(lines[31].substr(0, 5), "   30");
  EXPECT_EQ(lines[32], lines[0]);
}

}  // namespace
