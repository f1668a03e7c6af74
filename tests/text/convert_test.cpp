// Number and text conversion: display formats, text to number, the internal buffer
// routines and the range of a series.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"

namespace {

// Each test starts with a clean error record, no decimal substitution and no missing data.
class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    tessar.error = ErrorState{};
    tessar.dialog.DECIMALSUBST = 0;
    tessar.files.DECIMAL = '.';
    tessar.pgraph.plot.MISSINGSET = {0, 0, 0};
    tessar.pgraph.plot.MISSINGVALUE = 0.0f;
  }
};

struct FormatCase {
  const char* why;
  double value;
  const char* format;
  std::size_t length;
  const char* want;  // blank-padded to length by the test
  int error;
};

std::string padded(const char* s, std::size_t length) {
  std::string t(s);
  t.resize(length, ' ');
  return t;
}

// Each case written by convert(value, text, format) into a text of its length filled with '#'.
template <std::size_t N, class Convert>
void checkFormats(const FormatCase (&cases)[N], Convert convert) {
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    std::string text(c.length, '#');
    convert(c.value, text, c.format);
    EXPECT_EQ(text, padded(c.want, c.length));
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
}

// Each case's text read by parse(text, value) into a value that starts at -1.
template <class Case, std::size_t N, class Parse>
void checkParses(const Case (&cases)[N], Parse parse) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    decltype(c.want) value = -1;
    parse(c.text, value);
    EXPECT_EQ(value, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
}

using IntegerToStringTest = ConvertTest;

TEST_F(IntegerToStringTest, Formats) {
  const FormatCase cases[] = {
      {"I0 is as narrow as the value", -42, "(I0)", 10, "-42", 0},
      {"overflow: ten stars, then blanks", 12345, "(I3)", 20, "**********", 18},
      {"overflow into a short text: stars cut to it", 12345, "(I3)", 5, "*****", 18},
      {"right-aligned in its width", 42, "(I4)", 6, "  42", 0},
      {"Iw.m pads with zeros", 7, "(I2.2)", 2, "07", 0},
      {"ten digits", 7, "(I10.10)", 10, "0000000007", 0},
      {"Iw.m keeps the sign before the zeros", -7, "(I4.3)", 4, "-007", 0},
      {"zero with m = 0 is blank", 0, "(I5.0)", 5, "", 0},
      {"the most negative integer", -2147483648.0, "(I11)", 11, "-2147483648", 0},
      {"only the first descriptor takes the value", 5, "(I1,3I6)", 8, "5", 0},
      {"trailing blanks after the format", 42, "(I4)   ", 4, "  42", 0},
      {"lower-case descriptor and inner blanks", 42, "( i 4 )", 4, "  42", 0},
      {"G on an integer is Iw", 42, "(G6.2)", 6, "    42", 0},
      {"a literal after the number", 42, "(I0,' days')", 10, "42 days", 0},
      {"record longer than the text", 42, "(I5)", 3, "***", 18},
      {"no parentheses", 42, "I5", 12, "**********", 18},
      {"unknown descriptor", 42, "(Q5)", 12, "**********", 18},
      {"F cannot take an integer", 42, "(F8.2)", 12, "**********", 18},
      {"a format with no data descriptor", 42, "('x')", 12, "**********", 18},
      {"an open literal", 42, "(I4,'x)", 12, "**********", 18},
      {"a huge width is refused, not allocated", 42, "(I999999999)", 12, "**********", 18},
  };
  checkFormats(cases, [](double v, std::string& text, const char* format) {
    IntegerToString(static_cast<int>(v), text, format);
  });
}

using IRealToStringTest = ConvertTest;

TEST_F(IRealToStringTest, Formats) {
  const FormatCase cases[] = {
      {"fixed, three decimals", 1.5, "(F5.3)", 5, "1.500", 0},
      {"fixed, right-aligned", 1234.5, "(F8.1)", 10, "  1234.5", 0},
      {"F0.d keeps its zero", 0.5, "(F0.2)", 8, "0.50", 0},
      {"F0.d negative", -0.5, "(F0.2)", 8, "-0.50", 0},
      {"zero dropped when the field is too narrow for it", 0.5, "(F3.2)", 3, ".50", 0},
      {"a value rounding to zero keeps its minus", -0.001, "(F5.2)", 5, "-0.00", 0},
      {"exact halves round to even", 0.125, "(F5.2)", 5, " 0.12", 0},
      {"F with no decimals ends in a point", 2.5, "(F3.0)", 3, " 2.", 0},
      {"literal after the number", 12.5, "(F7.2,'%')", 10, "  12.50%", 0},
      {"F0 with a literal", 12.25, "(F0.1,'%')", 10, "12.2%", 0},
      {"a doubled quote in a literal", 1.0, "(F4.1,' ''a''')", 10, " 1.0 'a'", 0},
      {"exponent form", 123456, "(E11.5)", 11, "0.12346E+06", 0},
      {"exponent form drops the zero when tight", 123456, "(E10.5)", 10, ".12346E+06", 0},
      {"exponent of a negative value", -0.000123, "(E12.3)", 12, "  -0.123E-03", 0},
      {"zero in exponent form", 0, "(E10.3)", 10, " 0.000E+00", 0},
      {"general: zero", 0, "(G15.5E2)", 15, "     0.0000", 0},
      {"general: fixed range", 1.5, "(G15.5E2)", 15, "     1.5000", 0},
      {"general: just below 0.1 is E", 0.0999, "(G15.5E2)", 15, "    0.99900E-01", 0},
      {"general: above 10^d is E", 123456, "(G15.5E2)", 15, "    0.12346E+06", 0},
      {"general: rounding up into range is fixed", 99999.4, "(G15.5E2)", 15, "     99999.", 0},
      {"general: rounding past 10^d is E", 99999.6, "(G15.5E2)", 15, "    0.10000E+06", 0},
      {"general: negative in fixed form", -12.5, "(G12.4)", 12, "  -12.50", 0},
      {"overflow of F: ten stars, error 18", 1e10, "(F5.1)", 12, "**********", 18},
      {"stars allowed by the format are no error", 1e10, "(F5.1,'*')", 6, "******", 0},
      {"width 0 is not for E", 1.0, "(E0.3)", 12, "**********", 18},
      {"E needs significant digits", 1.0, "(E10.0)", 12, "**********", 18},
      {"F needs its decimals", 1.0, "(F8)", 12, "**********", 18},
  };
  checkFormats(cases, [](double v, std::string& text, const char* format) {
    IRealToString(static_cast<float>(v), text, format);
  });
}

TEST_F(IRealToStringTest, DecimalSubstitutionReplacesEveryPoint) {
  tessar.dialog.DECIMALSUBST = 1;
  tessar.files.DECIMAL = ',';
  std::string text(12, ' ');
  IRealToString(1.5f, text, "(F5.3,'.')");
  EXPECT_EQ(text, "1,500,      ");
  IntegerToString(1500, text, "(I0,'.')");
  EXPECT_EQ(text, "1500.       ");  // integers have no decimal point to replace
}

using IDoubleToStringTest = ConvertTest;

TEST_F(IDoubleToStringTest, Formats) {
  const FormatCase cases[] = {
      {"three-digit exponent drops the letter", 1e100, "(E12.5)", 12, " 0.10000+101", 0},
      {"Ee keeps the letter", 1e100, "(E12.5E3)", 12, "0.10000E+101", 0},
      {"exponent wider than e", 1e10, "(E12.5E1)", 12, "**********", 18},
      {"negative three-digit exponent", 1e-100, "(E12.5)", 12, " 0.10000E-99", 0},
      {"denormal", 1e-310, "(E12.5)", 12, " 0.10000-309", 0},
      {"double precision digits", 1234567.891, "(F20.2)", 20, "          1234567.89", 0},
      {"wide F0 beyond the text", 1e300, "(F0.0)", 20, "**********", 18},
      {"general with Ee", 1e-5, "(G12.4E3)", 12, " 0.1000E-004", 0},
  };
  checkFormats(cases, [](double v, std::string& text, const char* format) {
    IDoubleToString(v, text, format);
  });
}

struct IntegerParseCase {
  const char* why;
  const char* text;
  int want;
  int error;
};

using IStringToIntegerTest = ConvertTest;

TEST_F(IStringToIntegerTest, Parses) {
  const IntegerParseCase cases[] = {
      {"only the first word counts", "  +17 abc", 17, 0},
      {"largest", "2147483647", 2147483647, 0},
      {"negative", "-2147483647", -2147483647, 0},
      {"one past the largest", "2147483648", 0, 4},
      {"the most negative is out of range too", "-2147483648", 0, 4},
      {"eleven digits with leading zeros", "00000000001", 0, 4},
      {"ten digits with a leading zero", "0000000001", 1, 0},
      {"ten digits beginning above 2", "3000000000", 0, 4},
      {"a comma is no digit", "1,000", 0, 12},
      {"a letter", "12a", 0, 12},
      {"a tab is no blank", "\t5", 0, 12},
      {"blank", "     ", 0, 10},
      {"empty", "", 0, 10},
      {"a lone sign", "-", 0, 0},
  };
  checkParses(cases, [](const char* text, int& value) { IStringToInteger(text, value); });
}

struct RealParseCase {
  const char* why;
  const char* text;
  double single;  // IStringToReal's result (compared as float)
  int singleError;
  double dbl;     // istringtodouble's result
  int doubleError;
};

using IStringToRealTest = ConvertTest;

TEST_F(IStringToRealTest, ParsesInSingleAndDouble) {
  const RealParseCase cases[] = {
      {"a comma is a decimal point", "1,5", 1.5, 0, 1.5, 0},
      {"two decimal characters", "1,000.5", 0, 11, 0, 11},
      {"a lone point", ".", 0, 0, 0, 0},
      {"a lone minus sign", "-", 0, 0, 0, 0},
      {"no mantissa", "E5", 0, 0, 0, 0},
      {"no exponent digits", "1.5E", 1.5, 0, 1.5, 0},
      {"sign exponent without a letter", "1.5-003", 0.0015, 0, 0.0015, 0},
      {"negative with a sign exponent", "-1.5-003", -0.0015, 0, -0.0015, 0},
      {"plus sign exponent", "1.5+001", 15, 0, 15, 0},
      {"D only in double", "1.5D3", 0, 12, 1500, 0},
      {"lower-case d only in double", "1.5d-3", 0, 12, 0.0015, 0},
      {"above the single limit", "9.9E38", 0, 4, 9.9e38, 0},
      {"power above 38", "1E39", 0, 4, 1e39, 0},
      {"a decimal character in the exponent", "1.5E2.5", 0, 12, 0, 12},
      {"first word only", "  2.5  junk", 2.5, 0, 2.5, 0},
      {"blank", "    ", 0, 10, 0, 10},
      {"plain exponent", "1.5e2", 150, 0, 150, 0},
      {"largest double power", "1E308", 0, 4, 1e308, 0},
      {"power above 308", "1E310", 0, 4, 0, 4},
      {"power above 308 after the shift", "1.5E309", 0, 4, 0, 4},
      {"too many integer digits for single", "1000000000000000000000000000000000000000", 0, 4,
       1e39, 0},
      {"a small mantissa brings a power of 40 within the limit", "0.001E40", 1e37, 0, 1e37, 0},
      {"underflow is 0 without an error", "1E-60", 0, 0, 1e-60, 0},
      {"a negative zero has no sign", "-0.0", 0, 0, 0, 0},
      {"ten significant digits", "16777217", 16777216, 0, 16777217, 0},
      {"a plus in the middle", "1+2", 0, 12, 0, 12},
  };
  for (const RealParseCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    float single = -1.0f;
    IStringToReal(c.text, single);
    EXPECT_EQ(single, static_cast<float>(c.single));
    EXPECT_EQ(tessar.error.LASTERROR, c.singleError);
    EXPECT_FALSE(std::signbit(single) && single == 0.0f);

    tessar.error.LASTERROR = 0;
    double dbl = -1.0;
    istringtodouble(c.text, dbl);
    EXPECT_EQ(dbl, c.dbl);
    EXPECT_EQ(tessar.error.LASTERROR, c.doubleError);
  }
}

// "3.4028235E+38", the largest single value as written, was once refused as too large.
TEST_F(IStringToRealTest, ReadsTheLargestSingleValueAsWritten) {
  struct Case {
    const char* why;
    const char* text;
    float want;
    int error;
  };
  const Case cases[] = {
      {"the largest value", "3.4028235E+38", FLT_MAX, 0},
      {"negative", "-3.4028235E+38", -FLT_MAX, 0},
      {"a further zero", "3.40282350E+38", FLT_MAX, 0},
      {"rounded up to four digits", "0.3403E+39", FLT_MAX, 0},
      {"without the letter", "3.4028235+038", FLT_MAX, 0},
      {"fixed form", "340282350000000000000000000000000000000", FLT_MAX, 0},
      {"the next digit up is too large", "3.4028236E+38", 0, 4},
      {"well above", "3.5E38", 0, 4},
  };
  checkParses(cases, [](const char* text, float& value) { IStringToReal(text, value); });
}

// Whatever the display formats write reads back to a value that they write the same way.
TEST_F(IStringToRealTest, ReadsBackWhatTheFormatsWrite) {
  const float values[] = {FLT_MAX, -FLT_MAX, FLT_MIN, std::nextafter(0.0f, 1.0f), 1.0f,
                          0.1f, -2.5e-3f, 7.0e-30f, 123456.7f, 16777217.0f};
  const char* formats[] = {"(1PE15.7)", "(1PE16.8)", "(E15.8)", "(E11.4)", "(1PE10.3)",
                           "(G15.7)", "(G12.5)", "(1PE9.0)", "(F60.6)"};
  for (const char* format : formats) {
    for (const float v : values) {
      SCOPED_TRACE(std::string(format) + " " + std::to_string(v));
      std::string written(60, ' ');
      tessar.error.LASTERROR = 0;
      IRealToString(v, written, format);
      if (written.find('*') != std::string::npos) continue;   // does not fit: nothing to read
      float read = -1.0f;
      IStringToReal(written, read);
      EXPECT_EQ(tessar.error.LASTERROR, 0) << written;
      std::string again(60, ' ');
      IRealToString(read, again, format);
      EXPECT_EQ(again, written);
    }
  }
}

// A mantissa too small even for extended precision once took the logarithm of 0.
TEST_F(IStringToRealTest, MantissaBelowExtendedPrecisionIsZero) {
  double value = -1.0;
  istringtodouble("0." + std::string(6000, '0') + "1E300", value);
  EXPECT_EQ(value, 0.0);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

// Past the largest double the text once gave an infinity that every later sum carried.
TEST_F(IStringToRealTest, DoubleBeyondTheLargestIsErrorNotInfinity) {
  double value = -1.0;
  istringtodouble("2E308", value);
  EXPECT_EQ(value, 0.0);
  EXPECT_EQ(tessar.error.LASTERROR, 4);
  istringtodouble(std::string(309, '9'), value);
  EXPECT_EQ(value, 0.0);
}

TEST_F(IStringToRealTest, DecimalCharacterAcceptedWithSubstitution) {
  tessar.dialog.DECIMALSUBST = 1;
  tessar.files.DECIMAL = ';';
  float value = 0.0f;
  IStringToReal("2;5", value);
  EXPECT_EQ(value, 2.5f);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(IStringToRealTest, DoubleReportsUnderTheRealName) {
  idebuglevel(1);
  ::testing::internal::CaptureStdout();
  double value = 0.0;
  istringtodouble("1x", value);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            " Routine:IStringToReal Error=  12:Invalid character detected\n");
}

using INextInteger = ConvertTest;

TEST_F(INextInteger, ReadsALineWordByWord) {
  std::string line = "10 20 30";
  int value = 0;
  inextinteger(line, value);
  EXPECT_EQ(value, 10);
  EXPECT_EQ(line, "   20 30");
  inextinteger(line, value);
  inextinteger(line, value);
  EXPECT_EQ(value, 30);
  EXPECT_EQ(line, "        ");
  value = 5;
  inextinteger(line, value);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(INextInteger, BadWordIsReportedAndStillBlanked) {
  std::string line = "x1 2";
  int value = 0;
  inextinteger(line, value);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 12);
  EXPECT_EQ(line, "   2");
}

using INextReal = ConvertTest;

TEST_F(INextReal, ReadsALineWordByWord) {
  std::string line = " 1.5  -2,25 ";
  float value = 0.0f;
  inextreal(line, value);
  EXPECT_EQ(value, 1.5f);
  inextreal(line, value);
  EXPECT_EQ(value, -2.25f);
  inextreal(line, value);
  EXPECT_EQ(value, 0.0f);
  EXPECT_EQ(line, std::string(12, ' '));
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

using YYSt2DblCheck = ConvertTest;

TEST_F(YYSt2DblCheck, FailureClearsTheFlagAndKeepsTheRecord) {
  tessar.error.LASTERROR = 1010;
  idebuglevel(1);
  ::testing::internal::CaptureStdout();
  double value = 7.0;
  int flag = 7;
  yyst2dblcheck(value, flag, "abc");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(value, 0.0);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 1010);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 1);
  yyst2dblcheck(value, flag, std::string("2.5\0junk", 8));
  EXPECT_EQ(value, 2.5);
  EXPECT_EQ(flag, 1);
}

using YYSt2Int = ConvertTest;

TEST_F(YYSt2Int, TruncatesThroughDouble) {
  const struct {
    const char* why;
    std::string text;
    int want;
  } cases[] = {
      // Through single precision 16777217 came back as 16777216.
      {"above 2^24 stays exact", "16777217", 16777217},
      {"largest integer", "2147483647", 2147483647},
      {"toward zero", "12.9", 12},
      {"toward zero, negative", "-12.9", -12},
      {"outside the 32-bit range", "1e10", 0},
      {"unconvertible", "abc", 0},
      {"ends at its NUL", std::string("42\0 99", 6), 42},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    int value = -1;
    yyst2int(value, c.text);
    EXPECT_EQ(value, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
  float real = 0.0f;
  yyst2rea(real, "2.5E");
  EXPECT_EQ(real, 2.5f);
  double dbl = 0.0;
  yyst2dbl(dbl, "1.5D3");
  EXPECT_EQ(dbl, 1500.0);
}

using YYDbl2St = ConvertTest;

TEST_F(YYDbl2St, LeftJustifiedWithNul) {
  std::string text(12, '#');
  yydbl2st(1.5, text, "(F8.2)");
  EXPECT_EQ(text, std::string("1.50\0       ", 12));
  EXPECT_EQ(tessar.error.ERRDETAIL, 0);

  yyrea2st(-2.5f, text, "(G12.4)");
  EXPECT_EQ(text, std::string("-2.500\0     ", 12));

  // A field overflow keeps its asterisks and is not a failure here.
  yydbl2st(1e10, text, "(F5.1)");
  EXPECT_EQ(text, std::string("*****\0      ", 12));
  EXPECT_EQ(tessar.error.LASTERROR, 0);

  tessar.dialog.DECIMALSUBST = 1;
  tessar.files.DECIMAL = ',';
  yydbl2st(0.25, text, "(F5.2)");
  EXPECT_EQ(text, std::string("0,25\0       ", 12));
}

TEST_F(YYDbl2St, FailureFillsStarsAndReports) {
  std::string text(12, '#');
  yydbl2st(1.5, text, "(Q5)");
  EXPECT_EQ(text, std::string("**********\0 ", 12));
  EXPECT_GT(tessar.error.ERRDETAIL, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 18);

  std::string full(8, '#');
  yyrea2st(1.5f, full, "(F10.2)");
  EXPECT_EQ(full, "********");  // no room for the NUL
}

using YYInt2St = ConvertTest;

TEST_F(YYInt2St, ElevenCharactersOrElevenStars) {
  std::string text(14, '#');
  yyint2st(-42, text);
  EXPECT_EQ(text, std::string("-42\0          ", 14));
  std::string shortText(6, '#');
  yyint2st(1, shortText);
  EXPECT_EQ(shortText, "******");
  EXPECT_EQ(tessar.error.LASTERROR, 18);
}

using YYFormI = ConvertTest;

TEST_F(YYFormI, ReformatsPastedNumbers) {
  const struct {
    const char* why;
    std::string text;
    std::string want;
  } cases[] = {
      {"integer part only", "12.9            ", std::string("12\0             ", 16)},
      {"unconvertible becomes 0", "abc             ", std::string("0\0              ", 16)},
      {"ends at the NUL", std::string("  7\0xyz         ", 16), std::string("7\0              ", 16)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    std::string text = c.text;
    yyformi(text);
    EXPECT_EQ(text, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
}

TEST(YYFormD, ReformatsAsDoubleAndSingle) {
  tessar.error = ErrorState{};
  std::string text = "3.14159   ";
  yyformd(text, "(F6.2)");
  EXPECT_EQ(text, std::string("3.14\0     ", 10));
  text = "x         ";
  yyformr(text, "(F6.2)");
  EXPECT_EQ(text, std::string("0.00\0     ", 10));
  text = "1e10      ";
  yyformd(text, "(F6.2)");  // does not fit: the asterisk fill, silently
  EXPECT_EQ(text, std::string("**********", 10));
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

using IRealMaxMin1 = ConvertTest;

TEST_F(IRealMaxMin1, RangeWithAndWithoutMissingData) {
  const std::vector<float> values = {-999.0f, 3.0f, -1.0f, 7.5f, -999.0f};
  float lo = 0, hi = 0;
  irealmaxmin1(values, 5, lo, hi);
  EXPECT_EQ(lo, -999.0f);
  EXPECT_EQ(hi, 7.5f);

  tessar.pgraph.plot.MISSINGSET[0] = 1;
  tessar.pgraph.plot.MISSINGVALUE = -999.0f;
  irealmaxmin1(values, 5, lo, hi);
  EXPECT_EQ(lo, -1.0f);
  EXPECT_EQ(hi, 7.5f);

  irealmaxmin1(values, 3, lo, hi);
  EXPECT_EQ(lo, -1.0f);
  EXPECT_EQ(hi, 3.0f);

  const std::vector<float> missing = {-999.0f, -999.0f};
  irealmaxmin1(missing, 2, lo, hi);
  EXPECT_EQ(lo, FLT_MAX);
  EXPECT_EQ(hi, -FLT_MAX);
}

// A count beyond the array read past its end; a count of 0 read an element that was not there.
TEST_F(IRealMaxMin1, CountIsBoundedByTheArray) {
  const std::vector<float> values = {2.0f, 4.0f};
  float lo = 0, hi = 0;
  irealmaxmin1(values, 10, lo, hi);
  EXPECT_EQ(lo, 2.0f);
  EXPECT_EQ(hi, 4.0f);
  irealmaxmin1(values, 0, lo, hi);
  EXPECT_EQ(lo, FLT_MAX);
  EXPECT_EQ(hi, -FLT_MAX);
}

}  // namespace
