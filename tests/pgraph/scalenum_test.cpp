// Scale number text.
#include <gtest/gtest.h>

#include "tests/pgraph/pgraph_fixture.h"
#include "toolkit/pgraph/scalenum.h"

namespace {

struct NumberCase {
  const char* why;
  float value;
  int exponent, extra, places;
  const char* text;
};
const NumberCase kNumbers[] = {
    {"zero", 0, 3, 0, -1, "0"},
    {"leading zero goes", 0.5f, -1, 0, -1, ".50"},
    {"one decimal at exponent 0", 0.5f, 0, 0, -1, ".5"},
    {"extra decimal dropped when zero", 2.5f, 0, 1, -1, "2.5"},
    {"extra decimal and .0 both dropped", 3, 0, 1, -1, "3"},
    {"minus zero", -0.25f, -1, 0, -1, "-.25"},
    {"0.0 is 0", 0.04f, 0, 0, 1, "0"},
    {"integer form", 250, 2, 0, -1, "250"},
    // The integer form used to truncate: 299.99997 came out as 299.
    {"integer form rounds", 299.99997f, 2, 0, -1, "300"},
    {"fixed form on request", 250, 2, 0, 2, "250.00"},
    {"one decimal kept", 12, 1, 0, 1, "12.0"},
    {"no decimals: integer form", 12, 1, 0, 0, "12"},
    {"no decimals at exponent 0 keeps the point", 3, 0, 0, 0, "3."},
    {"large: exponent form", 2.0e6f, 6, 0, -1, "2.0E+06"},
    {"small: exponent form", 0.0000025f, -6, 0, -1, "2.5E-06"},
    {"smaller than the scale: more decimals", 0.0000125f, -8, 0, -1, "1.2500E-05"},
    // The field was n + 7 wide whatever the decimals: three decimals gave asterisks.
    {"exponent form with three decimals", 2.0e6f, 6, 0, 3, "2.000E+06"},
    {"exponent form with nine decimals", 1.5e7f, 7, 0, 9, "1.500000000E+07"},
};

TEST(Yyr2s, ScaleNumbers) {
  for (const NumberCase& c : kNumbers) {
    SCOPED_TRACE(c.why);
    resetchart();
    tessar.pgraph.plot.DECIMALPLACES = c.places;
    int first = 0, last = 0;
    yyr2s(c.value, c.exponent, c.extra, first, last);
    ASSERT_GT(first, 0);
    EXPECT_EQ(tessar.files.TEXTBUF.substr(first - 1, last - first + 1), c.text);
  }
}

TEST(Yyr2s, CommaDecimalCharacter) {
  resetchart();
  tessar.dialog.DECIMALSUBST = 1;
  tessar.files.DECIMAL = ',';
  int first = 0, last = 0;
  yyr2s(0.5f, 0, 0, first, last);
  EXPECT_EQ(tessar.files.TEXTBUF.substr(first - 1, last - first + 1), ",5");
  tessar.pgraph.plot.DECIMALPLACES = 2;
  yyr2s(12, 1, 0, first, last);
  EXPECT_EQ(tessar.files.TEXTBUF.substr(first - 1, last - first + 1), "12,00");
}

TEST(Yyr2s, ValueTooWideGivesAsterisks) {
  resetchart();
  int first = 0, last = 0;
  yyr2s(1.0e9f, 3, 0, first, last);
  EXPECT_EQ(tessar.files.TEXTBUF.substr(first - 1, last - first + 1), "*********");
}

}  // namespace
