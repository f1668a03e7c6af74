// Fields of a record layout: one descriptor formatting and reading many values, against C's
// own exact printing and reading (glibc's printf and strtof) and gfortran's formatted read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>
#include <limits>
#include <random>
#include <string>

#include "toolkit/text/convert.h"
#include "tests/support/tools.h"

namespace {

FieldFormat field(const char* descriptor) {
  FieldFormat f;
  EXPECT_TRUE(parsefieldformat(descriptor, f)) << descriptor;
  return f;
}

// Fw.d as C prints it: the exact decimal value rounded to d decimals, the zero before the
// point dropped only when the field is one column short for it, else w asterisks.
std::string reference(double x, int w, int d) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", d, x);
  std::string s = buffer;
  if (d == 0) s += '.';
  if (static_cast<int>(s.size()) > w) {
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  }
  if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

float anyfloat(std::mt19937& rng) {
  for (;;) {
    const std::uint32_t bits = rng();
    float f = 0.0f;
    std::memcpy(&f, &bits, sizeof f);
    if (std::isfinite(f)) return f;
  }
}

TEST(Appendfield, FixedPointIsCsExactPrinting) {
  std::mt19937 rng(7u);
  for (int d = 0; d <= 14; ++d) {
    const int w = 30;
    const FieldFormat f = field(("F" + std::to_string(w) + "." + std::to_string(d)).c_str());
    for (int k = 0; k < 3000; ++k) {
      // Floats of every size, floats near decimal ties, and doubles.
      float v = anyfloat(rng);
      if (k % 3 == 1) v = std::ldexp(static_cast<float>(rng() % 100000), -static_cast<int>(rng() % 20));
      const double x = k % 3 == 2 ? std::ldexp(static_cast<double>(rng()) * rng(), -static_cast<int>(rng() % 70))
                                  : static_cast<double>(v);
      std::string out = "|";
      appendfield(out, x, f);
      ASSERT_EQ(out, "|" + reference(x, w, d)) << x << " F" << w << "." << d;
    }
  }
}

TEST(Appendfield, IntegersAndWrongKinds) {
  struct Case {
    const char* descriptor;
    long long value;
    const char* want;
  };
  const Case cases[] = {
      {"I6", 1990, "  1990"},      {"I2.2", 5, "05"},         {"I2", 123, "**"},
      {"I0", -42, "-42"},          {"I4.0", 0, "    "},        {"I0.0", 0, " "},
      {"I8", -2147483647, "********"}, {"G5.2", 7, "    7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.descriptor);
    std::string out;
    appendfield(out, c.value, field(c.descriptor));
    EXPECT_EQ(out, c.want);
  }
  std::string out;
  appendfield(out, 1.5, field("I4"));
  appendfield(out, 3LL, field("F5.2"));
  EXPECT_EQ(out, "*********");
  FieldFormat f;
  for (const char* bad : {"(F5.2)", "F5", "X3", "'a'", "2PE10.3", ""}) EXPECT_FALSE(parsefieldformat(bad, f)) << bad;
}

TEST(Appendfittedreal, TooWideForTheFixedFormIsTheExponentFormOfTheSameWidth) {
  struct Case {
    const char* why;
    double value;
    const char* descriptor;
    const char* want;
  };
  const Case cases[] = {
      {"fits the fixed form", 12.5, "F8.3", "  12.500"},
      {"nine significant digits at most", 1.0e30, "F30.3", "               0.100000000E+31"},
      {"as many as fit, the zero dropped", 12345.678, "F8.3", ".123E+05"},
      {"negative", -1000.0, "F8.3", "-.10E+04"},
      {"nothing fits", -999.0, "F5.2", "*****"},
      {"not finite", std::numeric_limits<double>::infinity(), "F8.3", "********"},
      {"not a number", std::nan(""), "F8.3", "********"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::string out;
    appendfittedreal(out, c.value, field(c.descriptor), 9);
    EXPECT_EQ(out, c.want);
  }
}

TEST(Readfield, FortranFieldInput) {
  struct Case {
    const char* why;
    const char* text;
    bool ok;
    float want;
  };
  const FieldFormat f162 = field("F16.2");
  const Case cases[] = {
      {"plain", "      -12.25", true, -12.25f},
      {"no point: two implied decimals", "   5", true, 0.05f},
      {"blanks inside are ignored", " 1 2 3.2 5", true, 123.25f},
      {"blank", "      ", true, 0.0f},
      {"empty", "", true, 0.0f},
      {"exponent", "0.100000000E+15", true, 1.0e14f},
      {"exponent without point", "15E+2", true, 15.0f},
      {"D exponent, lower case", "1.5d2", true, 150.0f},
      {"sign marks the exponent", "1.5+02", true, 150.0f},
      {"plus sign", "+2.5", true, 2.5f},
      {"point alone", ".5", true, 0.5f},
      {"beyond a float", "1.0E+39", false, 0.0f},
      {"below a float", "1.0E-60", true, 0.0f},
      {"two points", "1.2.5", false, 0.0f},
      {"letters", "12a.50", false, 0.0f},
      {"sign alone", "-", true, 0.0f},
      {"point alone", ".", true, 0.0f},
      {"exponent beyond four digits' worth", "1E-10000", false, 0.0f},
      {"exponent without digits", "1.5E", false, 0.0f},
      {"infinity", "Infinity", false, 0.0f},
      {"asterisks", "****", false, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    float v = 42.0f;
    EXPECT_EQ(readfield(c.text, f162, v), c.ok);
    EXPECT_EQ(v, c.ok ? c.want : 42.0f);
  }
  int i = 0;
  EXPECT_TRUE(readfield(" 1 9 9 0", field("I8"), i));
  EXPECT_EQ(i, 1990);
  EXPECT_TRUE(readfield("  -7", field("I4"), i));
  EXPECT_EQ(i, -7);
  EXPECT_FALSE(readfield("2147483648", field("I10"), i));
  EXPECT_FALSE(readfield("1.0", field("I3"), i));
  EXPECT_FALSE(readfield(" - ", field("I3"), i));
}

// What a field writes it reads back as C reads the text: the value itself whenever the
// field holds nine significant digits.
TEST(Readfield, ReadsWhatAppendfittedrealWrites) {
  std::mt19937 rng(11u);
  const FieldFormat f = field("F16.2");
  for (int k = 0; k < 20000; ++k) {
    const float v = anyfloat(rng);
    std::string text;
    appendfittedreal(text, v, f, 9);
    ASSERT_EQ(text.size(), 16u);
    float back = 0.0f;
    ASSERT_TRUE(readfield(text, f, back)) << text;
    EXPECT_EQ(back, std::strtof(text.c_str(), nullptr)) << text;
    if (std::fabs(v) >= 1.0e6f) {
      EXPECT_EQ(back, v) << text;
    }
  }
}

// gfortran's formatted read of the same fields decides: where it reads a finite value the
// field reads the same bits, where it fails the field fails. Two refusals are deliberate: a
// real beyond a float and the words Infinity and NaN, which gfortran reads as infinities or
// NaN, fail here, since no stored value may be one.
TEST(Readfield, AgreesWithFortranFormattedInput) {
  ASSERT_TRUE(tw::test::needtool("gfortran", "gfortran"));
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("tw-format-read-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const std::string exe = (dir / "reference").string();
  const std::string compile = "gfortran -O0 -o '" + exe + "' '" + TW_FORMAT_READ_REFERENCE + "' > '" +
                              (dir / "gfortran.log").string() + "' 2>&1";
  ASSERT_EQ(std::system(compile.c_str()), 0) << "gfortran (Debian gfortran) is needed for this check";

  struct Field {
    char kind;
    int w, d;
    std::string text;
  };
  std::vector<Field> fields;
  for (const char* t : {"      -12.25", "   5", " 1 2 3.2 5", "      ", "0.100000000E+15", "15E+2", "1.5d2",
                        "1.5+02", "+2.5", ".5", "1.0E-60", "1.2.5", "12a.50", "-", "+", ".", "-.", "1.5E", "****",
                        "1.5-2", "  - 5", "-.10E+04", ".100E+05", "1E5", "1.5e+", "5.", "E5", "1 E 5", "1e-3"})
    fields.push_back({'F', 16, 2, t});
  for (const char* t : {"-", "+", " 1 9 9 0", "1.0", "2147483647", "2147483648", "-2147483648", "", " - 7", "x"})
    fields.push_back({'I', 12, 0, t});
  // What the writer writes, in the layout's real fields, and random texts of the characters a
  // numeric field holds.
  std::mt19937 rng(5u);
  const std::pair<int, int> forms[] = {{16, 2}, {8, 3}, {5, 3}, {30, 3}, {16, 1}};
  for (int k = 0; k < 3000; ++k) {
    const auto [w, d] = forms[k % 5];
    FieldFormat f;
    f.kind = 'F';
    f.w = w;
    f.d = d;
    f.hasD = true;
    std::string text;
    appendfittedreal(text, anyfloat(rng), f, 9);
    if (text.find('*') == std::string::npos) fields.push_back({'F', w, d, text});
  }
  const std::string alphabet = "0123456789  .-+EeDd";
  for (int k = 0; k < 3000; ++k) {
    std::string text;
    const int n = 1 + static_cast<int>(rng() % 10);
    for (int c = 0; c < n; ++c) text += alphabet[rng() % alphabet.size()];
    fields.push_back({k % 4 == 0 ? 'I' : 'F', 12, static_cast<int>(rng() % 4), text});
  }
  {
    std::ofstream in(dir / "fields.txt");
    for (const Field& f : fields) {
      std::string text = f.text;
      text.resize(static_cast<std::size_t>(f.w), ' ');
      in << f.kind << f.w << ' ' << f.d << '|' << text << "\n";
    }
  }
  const std::string run = "'" + exe + "' '" + (dir / "fields.txt").string() + "' > '" + (dir / "values.txt").string() + "'";
  ASSERT_EQ(std::system(run.c_str()), 0);
  std::ifstream out(dir / "values.txt");
  std::vector<std::string> want;
  for (std::string l; std::getline(out, l);) want.push_back(l);
  fs::remove_all(dir);
  ASSERT_EQ(want.size(), fields.size());
  int mismatches = 0;
  for (std::size_t k = 0; k < fields.size() && mismatches < 20; ++k) {
    const Field& f = fields[k];
    FieldFormat format;
    format.kind = f.kind;
    format.w = f.w;
    format.d = f.d;
    format.hasD = f.kind == 'F';
    std::string got = "ERR";
    if (f.kind == 'F') {
      float v = 0.0f;
      if (readfield(f.text, format, v)) {
        std::int32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        got = std::to_string(bits);
      }
    } else {
      int v = 0;
      if (readfield(f.text, format, v)) got = std::to_string(v);
    }
    std::string expected = want[k];
    if (f.kind == 'F' && expected != "ERR") {
      const std::int32_t bits = static_cast<std::int32_t>(std::stoll(expected));
      float v = 0.0f;
      std::memcpy(&v, &bits, sizeof v);
      if (!std::isfinite(v)) expected = "ERR";  // the deliberate refusal
    }
    if (got != expected) {
      ++mismatches;
      ADD_FAILURE() << f.kind << f.w << "." << f.d << " [" << f.text << "]: gfortran " << want[k] << ", here " << got;
    }
  }
}

}  // namespace
