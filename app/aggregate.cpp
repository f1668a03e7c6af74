// Aggregation into years. Each annual record sums the flow, quickflow, baseflow and rain of
// the days in the months of its aggregation year; one missing day makes the year incomplete
// (-999.0, flag 0). Sums are 32-bit, added day by day, since stored project files and users'
// figures come from exactly that arithmetic.
#include "app/aggregate.h"

#include <algorithm>
#include <array>

#include "app/calendar.h"
#include "app/modules.h"

namespace {
// Adds v to a running annual sum; a sum of 0 or less (the starting -999.0, or a sum pulled
// below zero by negative flows) restarts from 0.
void addto(float& sum, float v) {
  if (sum <= 0.0f) sum = 0.0f;
  sum = sum + v;
}

void markincomplete(AnnualRecord& a) {
  a.flow = a.quickflow = a.baseflow = a.rain = MISSING;
  a.flowflag = a.rainflag = 0;
}
}  // namespace

void dailytoannual() {
  TwVars& tw = twvars;
  const int n = std::clamp(tw.ndays, 0, MAXDAYS);

  for (AnnualRecord& a : tw.annual) {
    a.flow = a.rain = a.quickflow = a.baseflow = MISSING;
    a.flowflag = a.rainflag = 1;
    a.year = a.usable = a.timeindex = 0;
  }
  if (n == 0) {  // no days, no years: there is no first day to label them from
    tw.numyears = tw.flowyears = tw.rainyears = tw.flowyearsflag = 0;
    tw.raininclude = 0;
    return;
  }

  const DailyRecord& first = tw.daily[0];
  const int label1 = (first.day == 1 && first.month == tw.aggstartmonth) ? first.year
                                                                          : first.year + 1;
  for (int y = 1; y <= MAXYEARS; ++y) {
    tw.annual[y - 1].year = label1 + y - 1;
    tw.annual[y - 1].timeindex = y;
  }

  const DailyRecord& last = tw.daily[n - 1];
  const bool endsperiod =
      last.month == tw.aggendmonth && last.day == monthlen(tw.aggendmonth, last.year);
  // A record shorter than its first aggregation year would give a negative count.
  tw.numyears = std::clamp(endsperiod ? last.year - label1 + 1 : last.year - label1, 0, MAXYEARS);

  std::array<int, MAXYEARS> counted{};  // days summed into each record
  for (int k = 0; k < n; ++k) {
    const DailyRecord& d = tw.daily[k];
    const int f = (d.month >= 1 && d.month <= 12) ? tw.monthflags[d.month - 1] : 0;
    const int y = (d.year - label1) + f;
    // Days beyond the table's last record are not stored anywhere.
    if (f == 0 || y < 1 || y > MAXYEARS) continue;
    AnnualRecord& a = tw.annual[y - 1];
    ++counted[y - 1];
    if (d.flowflag == FLOW_MISSING || a.flowflag == 0) {
      a.flow = a.quickflow = a.baseflow = MISSING;
      a.flowflag = 0;
    } else {
      addto(a.flow, d.flow);
      addto(a.quickflow, d.quickflow);
      addto(a.baseflow, d.baseflow);
    }
    if (d.rainflag == 0 || a.rainflag == 0) {
      a.rain = MISSING;
      a.rainflag = 0;
    } else {
      addto(a.rain, d.rain);
    }
  }

  // A year the record covers only in part (it starts after the year's first in-period day,
  // or ends before its last) would otherwise pass as complete with part of its days.
  for (int y = 1; y <= MAXYEARS; ++y) {
    if (counted[y - 1] == 0) continue;
    const int label = label1 + y - 1;
    int expected = 0;
    for (int m = 1; m <= 12; ++m) {
      const int f = tw.monthflags[m - 1];
      if (f > 0) expected += monthlen(m, label + 1 - f);
    }
    if (counted[y - 1] < expected) markincomplete(tw.annual[y - 1]);
  }

  tw.flowyears = tw.rainyears = 0;
  for (int y = 1; y <= tw.numyears; ++y) {
    AnnualRecord& a = tw.annual[y - 1];
    a.flowflag = a.flow >= 0.0f ? 1 : 0;
    a.rainflag = a.rain >= 0.0f ? 1 : 0;
    tw.flowyears += a.flowflag;
    tw.rainyears += a.rainflag;
  }
  tw.flowyearsflag = tw.flowyears >= 8 ? 1 : 0;
  if (tw.rainyears < 8) tw.raininclude = 0;
}
