// Date texts and day numbers.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/os.h"
#include "toolkit/os/opsys.h"
#include "toolkit/state/tessar.h"

TEST(Wdatetostring, FlagCombinations) {
  struct Case {
    const char* why;
    int year, month, day;
    std::optional<int> flags;
    std::optional<char> separator;
    std::size_t length;
    const char* want;
  };
  const Case cases[] = {
      {"defaults: day/month/year with leading zeros", 1980, 12, 7, std::nullopt, std::nullopt, 12, "07/12/1980  "},
      {"flags 0", 1980, 12, 7, 0, std::nullopt, 10, "07/12/1980"},
      {"9: short month, no leading zero, own separator", 1980, 12, 7, 9, '-', 12, "7-Dec-1980  "},
      {"25: what the application passes with a blank", 1980, 12, 7, 25, ' ', 10, "7 Dec 1980"},
      {"16 alone has no effect", 1980, 12, 7, 16, std::nullopt, 10, "07/12/1980"},
      {"68: two-digit year, year first", 1980, 12, 7, 68, std::nullopt, 8, "80/12/07"},
      {"34: full month name, month first", 1980, 12, 7, 34, std::nullopt, 16, "December/07/1980"},
      {"1: short name", 2003, 2, 1, 1, std::nullopt, 11, "01/Feb/2003"},
      {"3: the short name wins over the full one", 2003, 2, 1, 3, std::nullopt, 11, "01/Feb/2003"},
      {"4: two-digit year keeps its leading zero", 2003, 2, 1, 4, std::nullopt, 8, "01/02/03"},
      {"8: no leading zeros in day and month", 2003, 2, 1, 8, std::nullopt, 8, "1/2/2003"},
      {"32: month day year", 2003, 2, 1, 32, std::nullopt, 10, "02/01/2003"},
      {"96: year first takes precedence over month first", 2003, 2, 1, 96, std::nullopt, 10, "2003/02/01"},
      {"110: all numeric options together", 2003, 2, 1, 110, '.', 20, "03.February.1       "},
      {"cut at the text's length", 1980, 12, 7, 0, std::nullopt, 5, "07/12"},
      {"a month without a name shows asterisks", 1980, 13, 7, 1, std::nullopt, 11, "07/***/1980"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::string text(c.length, '#');
    wdatetostring(text, c.year, c.month, c.day, c.flags, c.separator);
    EXPECT_EQ(text, c.want);
  }
}

TEST(Wdatetostring, YearOutsideFourDigitsGivesAsterisksAndError18) {
  tessar.error = ErrorState{};
  std::string text(16, ' ');
  wdatetostring(text, 12345, 1, 2, 0);
  EXPECT_EQ(text.substr(0, 6), "02/01/");
  EXPECT_EQ(text[6], '*');
  EXPECT_EQ(tessar.error.LASTERROR, 18);
}

TEST(Wdatedifference, KnownSpans) {
  struct Case {
    const char* why;
    int y1, m1, d1, y2, m2, d2, want;
  };
  const Case cases[] = {
      {"over a leap February", 1999, 12, 31, 2000, 3, 1, 61},
      {"backwards is negative", 2000, 3, 1, 1999, 12, 31, -61},
      {"day of the year from 31 December", 1979, 12, 31, 1980, 12, 7, 342},
      {"1900 is no leap year", 1900, 2, 28, 1900, 3, 1, 1},
      {"same day", 2024, 6, 30, 2024, 6, 30, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(wdatedifference(c.y1, c.m1, c.d1, c.y2, c.m2, c.d2), c.want);
  }
  int jd = 0;
  yyjuliandate(2000, 1, 1, jd);
  EXPECT_EQ(jd, 2451545);
}

TEST(Wdatedifference, AgreesWithTheStandardCalendarOverFiveCenturies) {
  using namespace std::chrono;
  const sys_days origin = year{1600} / January / 1;
  for (sys_days day = origin; day < sys_days{year{2400} / January / 1}; day += days{1}) {
    const year_month_day ymd{day};
    const int got = wdatedifference(1600, 1, 1, static_cast<int>(ymd.year()),
                                    static_cast<int>(static_cast<unsigned>(ymd.month())),
                                    static_cast<int>(static_cast<unsigned>(ymd.day())));
    ASSERT_EQ(got, (day - origin).count()) << static_cast<int>(ymd.year());
  }
}

TEST(Iosdate, IsTodaysLocalDate) {
  int y = 0, m = 0, d = 0;
  iosdate(y, m, d);
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  // The test may straddle midnight; then the two reads differ by one day.
  EXPECT_LE(std::abs(wdatedifference(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, y, m, d)), 1);
}
