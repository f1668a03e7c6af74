// The calendar: leap years, month lengths, day numbers and the next date.
#include "app/calendar.h"

#include <gtest/gtest.h>

namespace {
struct Step {
  const char* why;
  int y, m, d;     // before
  int ny, nm, nd;  // after
};
constexpr Step kSteps[] = {
    {"century not divisible by 400 is common", 1900, 2, 28, 1900, 3, 1},
    {"2000 is a leap year", 2000, 2, 28, 2000, 2, 29},
    {"29 February of a leap year", 2000, 2, 29, 2000, 3, 1},
    {"29 February of a common year (the start-date dialog accepts it)", 1999, 2, 29, 1999, 3, 1},
    {"28 February of an ordinary common year", 2001, 2, 28, 2001, 3, 1},
    {"28 February of 2004", 2004, 2, 28, 2004, 2, 29},
    {"year end", 1999, 12, 31, 2000, 1, 1},
    {"30-day month end", 2003, 4, 30, 2003, 5, 1},
    {"31-day month mid", 2003, 7, 15, 2003, 7, 16},
    {"31 April steps to the 1st of the next month", 2003, 4, 31, 2003, 5, 1},
    {"30 February steps to 1 March", 2004, 2, 30, 2004, 3, 1},
    {"impossible 40 December rolls the year", 2003, 12, 40, 2004, 1, 1},
};
}  // namespace

TEST(Nextdate, StepsOneDay) {
  for (const Step& c : kSteps) {
    SCOPED_TRACE(c.why);
    int y = c.y, m = c.m, d = c.d;
    nextdate(y, m, d);
    EXPECT_EQ(y, c.ny);
    EXPECT_EQ(m, c.nm);
    EXPECT_EQ(d, c.nd);
  }
}

TEST(Nextdate, WalksFourHundredYearsLikeDate2jul) {
  // Stepping day by day must agree with the day count over a whole Gregorian cycle.
  int y = 1900, m = 1, d = 1, start = 0;
  date2jul(d, m, y, start);
  for (int k = 1; k <= 146097; ++k) {
    nextdate(y, m, d);
    int jul = 0;
    date2jul(d, m, y, jul);
    ASSERT_EQ(jul, start + k) << y << "-" << m << "-" << d;
  }
  EXPECT_EQ(y, 2300);
}

TEST(Monthlen, AppliesLeapRule) {
  struct Case { const char* why; int month, year, want; };
  constexpr Case kCases[] = {
      {"1900 common", 2, 1900, 28}, {"2000 leap", 2, 2000, 29}, {"2004 leap", 2, 2004, 29},
      {"2001 common", 2, 2001, 28}, {"April", 4, 2001, 30},     {"December", 12, 2001, 31},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(monthlen(c.month, c.year), c.want);
  }
}

TEST(Leapyear, GregorianRule) {
  struct Case { int year, leap; };
  constexpr Case kCases[] = {{1900, 0}, {2100, 0}, {1600, 1}, {2000, 1}, {2004, 1}, {2003, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(leapyear(c.year), c.leap);
    EXPECT_EQ(numdayyear(c.year), c.leap ? 366 : 365);
  }
}

TEST(Date2jul, CountsFromFirstJanuary1601) {
  struct Case { const char* why; int day, month, year, want; };
  constexpr Case kCases[] = {
      {"the origin", 1, 1, 1601, 0},
      {"one common year later", 1, 1, 1602, 365},
      {"a century later, 1700 common", 1, 1, 1701, 36524},
      {"a full 400-year cycle", 1, 1, 2001, 146097},
      {"before the origin, 1600 leap", 1, 1, 1600, -366},
      {"inside a leap year past February", 1, 3, 2000, 145791},
      {"end of 1601", 31, 12, 1601, 364},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    int jul = 12345;
    date2jul(c.day, c.month, c.year, jul);
    EXPECT_EQ(jul, c.want);
  }
}
