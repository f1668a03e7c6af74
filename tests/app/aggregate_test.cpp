// Aggregation of the daily records into annual records over the aggregation period.
#include "app/aggregate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

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

TEST(Dailytoannual, RecordStartingAndEndingMidYear) {
  makerecord(1990, 3, 15, daysbetween(1990, 3, 15, 1999, 6, 10));
  dailytoannual();
  // 1990 and 1999 are reached in part: they get records, incomplete.
  EXPECT_EQ(year(1).year, 1990);
  EXPECT_EQ(twvars.numyears, 10);
  expectincomplete(1);
  for (int y = 2; y <= 9; ++y) {
    EXPECT_EQ(year(y).year, 1989 + y);
    EXPECT_EQ(year(y).timeindex, y);
    expectcomplete(y, leapyear(1989 + y) ? 366 : 365);
  }
  expectincomplete(10);
  EXPECT_EQ(twvars.flowyears, 8);
}

TEST(Dailytoannual, PeriodMarchToAugustFromTheFirstOfJanuary) {
  makerecord(1990, 1, 1, daysbetween(1990, 1, 1, 1995, 12, 31));
  setperiod(3, 8);
  dailytoannual();
  // The record covers March-August of each of its six calendar years.
  EXPECT_EQ(year(1).year, 1990);
  EXPECT_EQ(twvars.numyears, 6);
  for (int y = 1; y <= 6; ++y) expectcomplete(y, 31 + 30 + 31 + 30 + 31 + 31);
}

TEST(Dailytoannual, WrappingPeriodStartingOnItsFirstDay) {
  makerecord(1990, 7, 1, daysbetween(1990, 7, 1, 2000, 6, 30));
  setperiod(7, 6);
  dailytoannual();
  // July 1990 - June 1991 ends in 1991: that is record 1, and no empty year precedes it.
  EXPECT_EQ(twvars.numyears, 10);
  for (int y = 1; y <= 10; ++y) {
    EXPECT_EQ(year(y).year, 1990 + y);
    expectcomplete(y, leapyear(1990 + y) ? 366 : 365);
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
  // 60,000 days from 1 January 1900 with a February-January period: record 1 is February
  // 1899 - January 1900, reached by its last month only, and the last days (from February
  // 2064) fall into a 166th year, which the table does not hold.
  makerecord(1900, 1, 1, MAXDAYS);
  setperiod(2, 1);
  dailytoannual();
  EXPECT_EQ(twvars.numyears, MAXYEARS);
  EXPECT_EQ(year(1).year, 1900);
  expectincomplete(1);
  EXPECT_EQ(year(165).year, 2064);
  expectcomplete(165, 365);  // February 2063 to January 2064, within the record
  EXPECT_EQ(twvars.flowyears, 164);
}

TEST(Dailytoannual, RecordsWithoutAnInPeriodDayGiveNoYears) {
  makerecord(1990, 1, 1, 59);  // January and February 1990 only
  setperiod(3, 5);
  dailytoannual();
  EXPECT_EQ(twvars.numyears, 0);
  EXPECT_EQ(twvars.flowyears, 0);
  makerecord(1990, 3, 15, 60);  // part of one calendar year: one incomplete year
  dailytoannual();
  EXPECT_EQ(twvars.numyears, 1);
  EXPECT_EQ(year(1).year, 1990);
  expectincomplete(1);
  makerecord(1990, 1, 1, 0);
  twvars.raininclude = 1;
  dailytoannual();
  EXPECT_EQ(twvars.numyears, 0);
  EXPECT_EQ(twvars.raininclude, 0);
}

// Records starting and ending on, just inside and just outside the bounds of the period:
// every aggregation year the record reaches gets a record; only those it covers in full
// are complete.
TEST(Dailytoannual, YearsTheRecordReaches) {
  struct Case {
    const char* why;
    int y0, m0, d0, y1, m1, d1;  // first and last day of the record
    int sm, em;                  // aggregation period
    int first, numyears;         // label of record 1, records in use
    bool firstcomplete, lastcomplete;
  };
  constexpr Case kCases[] = {
      {"March-May over whole calendar years keeps 1970 and 2009", 1970, 1, 1, 2009, 12, 31, 3, 5,
       1970, 40, true, true},
      {"July-June over whole calendar years: both ends reached in part", 1970, 1, 1, 2009, 12, 31, 7, 6,
       1970, 41, false, false},
      {"period bounds exactly, not wrapping", 1970, 3, 1, 1979, 5, 31, 3, 5, 1970, 10, true, true},
      {"a day inside both bounds, not wrapping", 1970, 3, 2, 1979, 5, 30, 3, 5, 1970, 10, false, false},
      {"a day outside both bounds, not wrapping", 1970, 2, 28, 1979, 6, 1, 3, 5, 1970, 10, true, true},
      {"period bounds exactly, wrapping", 1970, 7, 1, 1980, 6, 30, 7, 6, 1971, 10, true, true},
      {"a day inside both bounds, wrapping", 1970, 7, 2, 1980, 6, 29, 7, 6, 1971, 10, false, false},
      {"a day outside both bounds, wrapping", 1970, 6, 30, 1980, 7, 1, 7, 6, 1970, 12, false, false},
      {"wrapping November-February from mid-December", 1970, 12, 15, 1975, 1, 10, 11, 2, 1971, 5, false,
       false},
      {"wrapping, record starting in the gap before the period", 1970, 4, 10, 1975, 3, 31, 11, 2, 1971, 5,
       true, true},
      {"one month, February, ending on the 28th of a leap year", 1970, 1, 1, 1976, 2, 28, 2, 2, 1970, 7,
       true, false},
      {"one month, February, ending on the 29th of a leap year", 1970, 1, 1, 1976, 2, 29, 2, 2, 1970, 7,
       true, true},
      {"one month, December, starting on the 31st", 1970, 12, 31, 1975, 12, 30, 12, 12, 1970, 6, false,
       false},
      {"January-December from 2 January", 1970, 1, 2, 1979, 12, 31, 1, 12, 1970, 10, false, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    makerecord(c.y0, c.m0, c.d0, daysbetween(c.y0, c.m0, c.d0, c.y1, c.m1, c.d1));
    setperiod(c.sm, c.em);
    dailytoannual();
    ASSERT_EQ(twvars.numyears, c.numyears);
    for (int y = 1; y <= c.numyears; ++y) {
      EXPECT_EQ(year(y).year, c.first + y - 1);
      EXPECT_EQ(year(y).timeindex, y);
    }
    EXPECT_EQ(year(1).flowflag, c.firstcomplete ? 1 : 0);
    EXPECT_EQ(year(c.numyears).flowflag, c.lastcomplete ? 1 : 0);
    for (int y = 2; y < c.numyears; ++y) EXPECT_EQ(year(y).flowflag, 1) << y;
    EXPECT_EQ(twvars.flowyears, c.numyears - !c.firstcomplete - !c.lastcomplete);
  }
}

// The aggregation restated independently: each day of the record placed by std::chrono
// into the aggregation year it belongs to, over every period of the year and records
// starting and ending on, beside and away from its bounds.
namespace {
namespace chr = std::chrono;

struct Expected {
  int label = 0;
  long flow = 0, rain = 0;  // sums of the integer daily values
  bool flowcomplete = true, raincomplete = true;
};

std::string text(chr::sys_days d) {
  const chr::year_month_day ymd{d};
  return std::to_string(static_cast<int>(ymd.year())) + "-" + std::to_string(static_cast<unsigned>(ymd.month())) +
         "-" + std::to_string(static_cast<unsigned>(ymd.day()));
}

bool inperiod(unsigned m, int sm, int em) {
  const int mi = static_cast<int>(m);
  return sm <= em ? (mi >= sm && mi <= em) : (mi >= sm || mi <= em);
}

// Daily values: flow 1..5, rain 0..2, whole numbers so that every sum is exact.
long dayflow(chr::sys_days d) { return 1 + (d.time_since_epoch().count() % 5 + 5) % 5; }
long dayrain(chr::sys_days d) { return (d.time_since_epoch().count() % 3 + 3) % 3; }

std::vector<Expected> restate(chr::sys_days first, chr::sys_days last, int sm, int em,
                              chr::sys_days flowgap, chr::sys_days raingap) {
  std::map<int, Expected> years;
  for (chr::sys_days d = first; d <= last; d += chr::days{1}) {
    const chr::year_month_day ymd{d};
    if (!inperiod(static_cast<unsigned>(ymd.month()), sm, em)) continue;
    const int y = static_cast<int>(ymd.year());
    const int label = (sm > em && static_cast<int>(static_cast<unsigned>(ymd.month())) >= sm) ? y + 1 : y;
    Expected& e = years[label];
    e.label = label;
    e.flow += dayflow(d);
    e.rain += dayrain(d);
    if (d == flowgap) e.flowcomplete = false;
    if (d == raingap) e.raincomplete = false;
  }
  std::vector<Expected> out;
  for (auto& [label, e] : years) {
    // The aggregation year runs from the 1st of the start month to the end month's last day.
    const chr::sys_days from{chr::year{sm > em ? label - 1 : label} / sm / 1};
    const chr::sys_days to{chr::year{label} / em / chr::last};
    if (from < first || to > last) e.flowcomplete = e.raincomplete = false;
    out.push_back(e);
  }
  if (out.size() > static_cast<std::size_t>(MAXYEARS)) out.resize(MAXYEARS);
  return out;
}

void loadrecord(chr::sys_days first, chr::sys_days last, chr::sys_days flowgap, chr::sys_days raingap) {
  initialise_tw_vars();
  int k = 0;
  for (chr::sys_days d = first; d <= last && k < MAXDAYS; d += chr::days{1}, ++k) {
    const chr::year_month_day ymd{d};
    DailyRecord& r = twvars.daily[k];
    r.year = static_cast<int>(ymd.year());
    r.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    r.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    r.flow = static_cast<float>(dayflow(d));
    r.quickflow = 0.0f;
    r.baseflow = r.flow;
    r.rain = static_cast<float>(dayrain(d));
    r.flowflag = FLOW_VALID;
    r.rainflag = 1;
    if (d == flowgap) r.flow = MISSING, r.flowflag = FLOW_MISSING;
    if (d == raingap) r.rain = MISSING, r.rainflag = 0;
  }
  twvars.ndays = k;
}
}  // namespace

TEST(Dailytoannual, AgreesWithADayByDayRestatement) {
  unsigned seed = 2024u;
  auto next = [&seed](int n) {  // deterministic, uniform in 0..n-1
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<unsigned>(n));
  };
  int checked = 0;
  for (int sm = 1; sm <= 12; ++sm) {
    for (int em = 1; em <= 12; ++em) {
      const chr::sys_days periodstart{chr::year{1971} / sm / 1};
      const chr::sys_days periodend{chr::year{1977} / em / chr::last};
      // First days: on the period's first day, one day before and after, and anywhere.
      const chr::sys_days firsts[] = {periodstart, periodstart - chr::days{1}, periodstart + chr::days{1},
                                      periodstart + chr::days{next(365)}};
      const chr::sys_days lasts[] = {periodend, periodend - chr::days{1}, periodend + chr::days{1},
                                     periodend - chr::days{next(365)}};
      for (chr::sys_days first : firsts) {
        for (chr::sys_days last : lasts) {
          SCOPED_TRACE(testing::Message() << "period " << sm << "-" << em << ", record "
                                          << text(first) << " to " << text(last));
          const int span = static_cast<int>((last - first).count());
          const chr::sys_days flowgap = first + chr::days{next(span + 1)};
          const chr::sys_days raingap = first + chr::days{next(span + 1)};
          loadrecord(first, last, flowgap, raingap);
          setperiod(sm, em);
          dailytoannual();
          const std::vector<Expected> want = restate(first, last, sm, em, flowgap, raingap);
          ASSERT_EQ(twvars.numyears, static_cast<int>(want.size()));
          int flowyears = 0, rainyears = 0;
          for (int y = 1; y <= twvars.numyears; ++y) {
            const Expected& e = want[y - 1];
            const AnnualRecord& a = year(y);
            ASSERT_EQ(a.year, e.label) << y;
            ASSERT_EQ(a.timeindex, y);
            ASSERT_EQ(a.flowflag, e.flowcomplete ? 1 : 0) << e.label;
            ASSERT_EQ(a.rainflag, e.raincomplete ? 1 : 0) << e.label;
            ASSERT_EQ(a.flow, e.flowcomplete ? static_cast<float>(e.flow) : MISSING) << e.label;
            ASSERT_EQ(a.baseflow, a.flow) << e.label;
            ASSERT_EQ(a.rain, e.raincomplete ? static_cast<float>(e.rain) : MISSING) << e.label;
            flowyears += e.flowcomplete;
            rainyears += e.raincomplete;
          }
          EXPECT_EQ(twvars.flowyears, flowyears);
          EXPECT_EQ(twvars.rainyears, rainyears);
          ++checked;
        }
      }
    }
  }
  EXPECT_EQ(checked, 144 * 16);

  // The longest record, against the 165-record table, for a few periods.
  for (auto [sm, em] : {std::pair{1, 12}, std::pair{2, 1}, std::pair{7, 6}, std::pair{12, 12}}) {
    SCOPED_TRACE(testing::Message() << "longest record, period " << sm << "-" << em);
    const chr::sys_days first{chr::year{1900} / 1 / 1};
    const chr::sys_days last = first + chr::days{MAXDAYS - 1};
    loadrecord(first, last, first + chr::days{40000}, first + chr::days{123});
    setperiod(sm, em);
    dailytoannual();
    const std::vector<Expected> want = restate(first, last, sm, em, first + chr::days{40000}, first + chr::days{123});
    ASSERT_EQ(twvars.numyears, static_cast<int>(want.size()));
    for (int y = 1; y <= twvars.numyears; ++y) {
      ASSERT_EQ(year(y).year, want[y - 1].label);
      ASSERT_EQ(year(y).flow, want[y - 1].flowcomplete ? static_cast<float>(want[y - 1].flow) : MISSING);
      ASSERT_EQ(year(y).rain, want[y - 1].raincomplete ? static_cast<float>(want[y - 1].rain) : MISSING);
    }
  }
}
