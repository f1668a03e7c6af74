// Cross-check of the I, F, E and G edit descriptors against gfortran's own formatted
// output: a small Fortran program (built with the tests) writes every value of a table
// under every format of a table, and the toolkit must write the same record.
//
// Only cases whose Fortran output is not processor-dependent are compared: no exact
// decimal ties (their rounding is the processor's), no value that rounds to a negative
// zero, no infinities or NaNs, and no F0.d of a value below 1 (whether F0.d writes the
// zero before the point is the processor's). Where a field has room for the optional zero
// before the point, gfortran writes it, as the toolkit does.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "tests/support/tools.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRecord = 40;  // the Fortran program's record length

struct Case {
  char kind;  // I integer, R single, D double
  std::int64_t bits;
  std::string format;
  std::string label;
};

// Runs the reference program on the cases; one output line per case.
std::vector<std::string> runReference(const std::vector<Case>& cases) {
  const fs::path dir = fs::temp_directory_path() / "tw_format_gfortran";
  fs::create_directories(dir);
  {
    std::ofstream in(dir / "cases.txt");
    for (const Case& c : cases) in << c.kind << ' ' << c.bits << ' ' << c.format << '\n';
  }
  const std::string command = std::string("\"") + TW_FORMAT_REFERENCE + "\" < \"" +
                              (dir / "cases.txt").string() + "\" > \"" +
                              (dir / "records.txt").string() + "\"";
  std::vector<std::string> lines;
  if (std::system(command.c_str()) != 0) return lines;
  std::ifstream out(dir / "records.txt");
  for (std::string line; std::getline(out, line);) lines.push_back(line);
  fs::remove_all(dir);
  return lines;
}

std::vector<Case> buildCases() {
  std::vector<Case> cases;
  const std::vector<std::string> integerFormats = {
      "(I0)", "(I4)", "(I11)", "(I2.2)", "(I10.10)", "(I6.3)", "(I3)", "(G8.2)", "(I0,' d')"};
  const std::vector<std::int32_t> integers = {0, 7, -42, 12345, 2147483647, -2147483647,
                                              -2147483647 - 1};
  for (const std::string& f : integerFormats)
    for (std::int32_t v : integers) {
      if (v == 0 && f == "(I2.2)") continue;
      cases.push_back({'I', v, f, std::to_string(v) + " " + f});
    }
  cases.push_back({'I', 0, "(I5.0)", "0 (I5.0)"});

  const std::vector<std::string> realFormats = {
      "(F20.2)",  "(F8.1)",  "(F5.3)",    "(F10.4)",  "(F0.2)",    "(F0.1,'%')", "(F7.2,'%')",
      "(E12.5)",  "(E15.7)", "(E10.3)",   "(E12.4E3)", "(E9.2E1)", "(E11.5)",    "(G15.5E2)",
      "(G12.4)",  "(G15.7)", "(G10.3)",   "(G15.5)",  "(G14.6E3)"};
  std::vector<double> reals = {
      3.14159265358979, -2718.28182845905, 0.000123456789, 12345678.9, 1.0e-20,
      6.02214076e23,    9.99995,           0.0999996,      99999.7,    -0.33333333,
      42.0,             1.0,               0.0,            123456.0,   1.0e10,
      -7.77e-5,         0.1,               2.0 / 3.0,      1.0e30,     -1.0e-30,
      0.0456789};
  const std::vector<double> doublesOnly = {1.0e100, 7.7e-101, -1.23456789012345e200, 5.0e-310};
  // A fixed spread of full-precision values over 30 decades and both signs: their exact
  // binary values practically never sit on a decimal tie.
  std::uint64_t state = 20261210;
  for (int k = 0; k < 60; ++k) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const double mantissa = 1.0 + static_cast<double>(state >> 11) / 9007199254740992.0 * 9.0;
    const double signed_ = (state >> 7) & 1 ? -mantissa : mantissa;
    reals.push_back(signed_ * std::pow(10.0, k / 2 - 15));
  }
  const auto label = [](const char* kind, double v, const std::string& f) {
    std::ostringstream s;
    s << kind << ' ' << std::setprecision(17) << v << ' ' << f;
    return s.str();
  };
  for (const std::string& f : realFormats) {
    const bool widthZero = f.rfind("(F0", 0) == 0;
    for (double v : reals) {
      if (widthZero && std::fabs(v) < 1.0) continue;
      const float single = static_cast<float>(v);
      cases.push_back({'R', std::bit_cast<std::int32_t>(single), f, label("single", single, f)});
      cases.push_back({'D', std::bit_cast<std::int64_t>(v), f, label("double", v, f)});
    }
    for (double v : doublesOnly) {
      if (widthZero && std::fabs(v) < 1.0) continue;
      cases.push_back({'D', std::bit_cast<std::int64_t>(v), f, label("double", v, f)});
    }
  }
  return cases;
}

TEST(DisplayFormat, MatchesGfortranOutput) {
  ASSERT_TRUE(tw::test::needtool("gfortran", "gfortran"));
  const std::string reference = TW_FORMAT_REFERENCE;
  ASSERT_FALSE(reference.empty()) << "gfortran was not found when the tests were configured; "
                                     "install it (tools/debian-packages.sh) and configure again";
  const std::vector<Case> cases = buildCases();
  const std::vector<std::string> records = runReference(cases);
  ASSERT_EQ(records.size(), cases.size()) << "the reference program did not run: " << reference;

  for (std::size_t k = 0; k < cases.size(); ++k) {
    const Case& c = cases[k];
    SCOPED_TRACE(c.label);
    tessar.error = ErrorState{};
    std::string text(kRecord, '#');
    switch (c.kind) {
      case 'I': IntegerToString(static_cast<std::int32_t>(c.bits), text, c.format); break;
      case 'R': IRealToString(std::bit_cast<float>(static_cast<std::int32_t>(c.bits)), text, c.format); break;
      default: IDoubleToString(std::bit_cast<double>(c.bits), text, c.format); break;
    }
    const std::string& line = records[k];
    // Whether a value that rounds to zero keeps its minus is the processor's choice.
    if (line.find('-') != std::string::npos && line.find_first_of("123456789") == std::string::npos)
      continue;
    const bool failed = line == "ERR" || line.find('*') != std::string::npos;
    if (failed) {
      // A write that fails, or a field of asterisks, is the toolkit's error 18.
      EXPECT_EQ(text, "**********" + std::string(kRecord - 10, ' ')) << "gfortran: " << line;
      EXPECT_EQ(tessar.error.LASTERROR, 18);
    } else {
      ASSERT_EQ(line.size(), kRecord + 2);
      EXPECT_EQ("[" + text + "]", line);
      EXPECT_EQ(tessar.error.LASTERROR, 0);
    }
  }
}

}  // namespace
