// Aggregation of the daily record into years (dailytoannual).
#include "app/aggregate.h"

#include <gtest/gtest.h>

#include "app/calendar.h"
#include "app/modules.h"

namespace {
// Sets the month flags for the period sm..em as the aggregation dialog does.
void setperiod(int sm, int em) {
  twvars.aggstartmonth = sm;
  twvars.aggendmonth = em;
  for (int m = 1; m <= 12; ++m) {
    int f = 0;
    if (sm <= em) f = (m >= sm && m <= em) ? 1 : 0;
    else if (m >= sm) f = 2;
    else if (m <= em) f = 1;
    twvars.monthflags[m - 1] = f;
  }
}

// A record of n days from y-m-d: flow 2, quickflow 0.5, baseflow 1.5, rain 1 every day.
void makerecord(int y, int m, int d, int n) {
  initialise_tw_vars();
  twvars.ndays = n;
  for (int k = 0; k < n; ++k) {
    DailyRecord& r = twvars.daily[k];
    r.year = y, r.month = m, r.day = d;
    r.flow = 2.0f, r.quickflow = 0.5f, r.baseflow = 1.5f, r.rain = 1.0f;
    r.flowflag = FLOW_VALID;
    r.rainflag = 1;
    nextdate(y, m, d);
  }
}

int dayindex(int y, int m, int d) {  // 0-based position of a date in the record
  int first = 0, at = 0;
  const DailyRecord& r = twvars.daily[0];
  date2jul(r.day, r.month, r.year, first);
  date2jul(d, m, y, at);
  return at - first;
}

int daysbetween(int y0, int m0, int d0, int y1, int m1, int d1) {  // inclusive
  int a = 0, b = 0;
  date2jul(d0, m0, y0, a);
  date2jul(d1, m1, y1, b);
  return b - a + 1;
}

const AnnualRecord& year(int y) { return twvars.annual[y - 1]; }

void expectcomplete(int y, int days) {
  SCOPED_TRACE(y);
  EXPECT_EQ(year(y).flowflag, 1);
  EXPECT_EQ(year(y).rainflag, 1);
  EXPECT_FLOAT_EQ(year(y).flow, 2.0f * days);
  EXPECT_FLOAT_EQ(year(y).quickflow, 0.5f * days);
  EXPECT_FLOAT_EQ(year(y).baseflow, 1.5f * days);
  EXPECT_FLOAT_EQ(year(y).rain, 1.0f * days);
}

void expectincomplete(int y) {
  SCOPED_TRACE(y);
  EXPECT_EQ(year(y).flow, MISSING);
  EXPECT_EQ(year(y).quickflow, MISSING);
  EXPECT_EQ(year(y).baseflow, MISSING);
  EXPECT_EQ(year(y).rain, MISSING);
  EXPECT_EQ(year(y).flowflag, 0);
  EXPECT_EQ(year(y).rainflag, 0);
}
}  // namespace

TEST(Dailytoannual, CalendarYearsOfAFullDecade) {
  makerecord(1990, 1, 1, daysbetween(1990, 1, 1, 1999, 12, 31));
  twvars.annual[2].user[1] = 42.0f;  // user values come from annual entry or the project file
  twvars.annual[2].userflag[1] = 1;
  dailytoannual();
  EXPECT_EQ(twvars.annual[2].user[1], 42.0f);
  EXPECT_EQ(twvars.annual[2].userflag[1], 1);
  EXPECT_EQ(twvars.numyears, 10);
  for (int y = 1; y <= 10; ++y) {
    EXPECT_EQ(year(y).year, 1989 + y);
    EXPECT_EQ(year(y).timeindex, y);
    expectcomplete(y, leapyear(1989 + y) ? 366 : 365);
  }
  EXPECT_EQ(twvars.flowyears, 10);
  EXPECT_EQ(twvars.flowyearsflag, 1);
  EXPECT_EQ(year(11).year, 2000);  // labels run on through the table
  EXPECT_EQ(year(165).timeindex, 165);
}

TEST(Dailytoannual, RecordStartingMidYearSkipsThatYear) {
  makerecord(1990, 3, 15, daysbetween(1990, 3, 15, 1999, 6, 10));
  dailytoannual();
  EXPECT_EQ(year(1).year, 1991);
  EXPECT_EQ(twvars.numyears, 8);
  for (int y = 1; y <= 8; ++y) expectcomplete(y, leapyear(1990 + y) ? 366 : 365);
  // 1999 holds only January to 10 June: part of a year is never a complete year.
  expectincomplete(9);
}

TEST(Dailytoannual, PeriodMarchToAugustNeedsFirstOfMarch) {
  setperiod(3, 8);
  makerecord(1990, 1, 1, daysbetween(1990, 1, 1, 1995, 12, 31));
  setperiod(3, 8);
  dailytoannual();
  // The first day is not 1 March: record 1 is 1991 although March-August 1990 is covered.
  EXPECT_EQ(year(1).year, 1991);
  // The record ends on 31 December, not on the last day of August: 1995 is summed but
  // lies beyond numyears.
  EXPECT_EQ(twvars.numyears, 4);
  for (int y = 1; y <= 5; ++y) expectcomplete(y, 31 + 30 + 31 + 30 + 31 + 31);
}

TEST(Dailytoannual, WrappingPeriodStartingOnItsFirstDay) {
  makerecord(1990, 7, 1, daysbetween(1990, 7, 1, 2000, 6, 30));
  setperiod(7, 6);
  dailytoannual();
  EXPECT_EQ(year(1).year, 1990);
  EXPECT_EQ(twvars.numyears, 11);
  expectincomplete(1);  // no day falls into the year ending June 1990
  for (int y = 2; y <= 11; ++y) {
    EXPECT_EQ(year(y).year, 1989 + y);
    expectcomplete(y, leapyear(1989 + y) ? 366 : 365);
  }
  EXPECT_EQ(twvars.flowyears, 10);
}

TEST(Dailytoannual, WrappingPeriodStartingInsideTheFirstYear) {
  makerecord(1990, 8, 15, daysbetween(1990, 8, 15, 1995, 6, 30));
  setperiod(7, 6);
  dailytoannual();
  EXPECT_EQ(year(1).year, 1991);
  EXPECT_EQ(twvars.numyears, 5);
  // July 1990 to June 1991 minus 1 July - 14 August: not a complete year.
  expectincomplete(1);
  for (int y = 2; y <= 5; ++y) expectcomplete(y, leapyear(1990 + y) ? 366 : 365);
  EXPECT_EQ(twvars.flowyears, 4);
}

TEST(Dailytoannual, MissingValuesSpoilOnlyTheirOwnSeries) {
  struct Case {
    const char* why;
    int month, day;  // of 1992
    bool flowmissing, rainmissing;
    bool flowcomplete, raincomplete;
  };
  constexpr Case kCases[] = {
      {"a missing flow spoils flow, quickflow and baseflow", 6, 30, true, false, false, true},
      {"a missing rain spoils rain only", 2, 29, false, true, true, false},
      {"missing first day of the year", 1, 1, true, true, false, false},
      {"missing days outside the period are ignored", 12, 15, true, true, true, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    makerecord(1990, 1, 1, daysbetween(1990, 1, 1, 1993, 12, 31));
    setperiod(1, 11);
    DailyRecord& r = twvars.daily[dayindex(1992, c.month, c.day)];
    if (c.flowmissing) r.flow = MISSING, r.flowflag = FLOW_MISSING;
    if (c.rainmissing) r.rain = MISSING, r.rainflag = 0;
    dailytoannual();
    const AnnualRecord& a = year(3);
    EXPECT_EQ(a.year, 1992);
    EXPECT_EQ(a.flowflag, c.flowcomplete ? 1 : 0);
    EXPECT_EQ(a.rainflag, c.raincomplete ? 1 : 0);
    EXPECT_EQ(a.flow >= 0.0f, c.flowcomplete);
    EXPECT_EQ(a.baseflow >= 0.0f, c.flowcomplete);
    EXPECT_EQ(a.quickflow >= 0.0f, c.flowcomplete);
    EXPECT_EQ(a.rain >= 0.0f, c.raincomplete);
    EXPECT_EQ(year(2).flowflag, 1);
  }
}

TEST(Dailytoannual, NegativeFlowsCountAsPresent) {
  makerecord(1990, 1, 1, 365);
  twvars.daily[0].flow = -5.0f;   // sum -5 restarts from 0 at the next day
  twvars.daily[0].flowflag = FLOW_NEGATIVE;
  twvars.daily[10].flow = -1.0f;  // mid-year: simply subtracted
  twvars.daily[10].flowflag = FLOW_NEGATIVE;
  dailytoannual();
  EXPECT_EQ(year(1).flowflag, 1);
  EXPECT_FLOAT_EQ(year(1).flow, 2.0f * 363 - 1.0f);
}

TEST(Dailytoannual, RainIncludeNeedsEightCompleteYears) {
  struct Case { const char* why; int years; int include; };
  constexpr Case kCases[] = {{"seven years clear it", 7, 0}, {"eight years keep it", 8, 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    makerecord(1990, 1, 1, daysbetween(1990, 1, 1, 1989 + c.years, 12, 31));
    twvars.raininclude = 1;
    dailytoannual();
    EXPECT_EQ(twvars.rainyears, c.years);
    EXPECT_EQ(twvars.raininclude, c.include);
    EXPECT_EQ(twvars.flowyearsflag, c.include);
  }
}

TEST(Dailytoannual, DaysBeyondTheLastRecordAreSkipped) {
  // 60,000 days from 1 February 1900 with a February-January period: the last days fall
  // into a 166th year, which the table does not hold.
  makerecord(1900, 2, 1, MAXDAYS);
  setperiod(2, 1);
  dailytoannual();
  EXPECT_EQ(twvars.numyears, 164);
  EXPECT_EQ(year(165).year, 2064);
  expectcomplete(165, 365);  // February 2063 to January 2064, within the record
}

TEST(Dailytoannual, ShortOrEmptyRecordsGiveNoYears) {
  makerecord(1990, 3, 15, 60);  // inside 1990, labelled from 1991
  dailytoannual();
  EXPECT_EQ(twvars.numyears, 0);
  EXPECT_EQ(twvars.flowyears, 0);
  makerecord(1990, 1, 1, 0);
  twvars.raininclude = 1;
  dailytoannual();
  EXPECT_EQ(twvars.numyears, 0);
  EXPECT_EQ(twvars.raininclude, 0);
}
