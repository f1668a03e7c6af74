// Aggregation into years. Every aggregation year with at least one in-period day inside
// the record gets an annual record, labelled with the calendar year in which it ends; each
// sums the flow, quickflow, baseflow and rain of its in-period days; a year the record
// covers only in part, or with one missing day, is incomplete (-999.0, flag 0). Sums are
// 32-bit, added day by day, since stored project files and users' figures come from
// exactly that arithmetic.
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

// Label of the aggregation year of the in-period month nearest to (year, month), that
// month included, looking forward (step 1) or back (step -1); false when no month of the
// year lies in the period.
bool nearestlabel(const std::array<int, 12>& flags, int year, int month, int step, int& label) {
  for (int i = 0; i < 12; ++i) {
    const int f = flags[month - 1];
    if (f > 0) {
      label = year + f - 1;  // flag 2: the aggregation year ends in the next calendar year
      return true;
    }
    month += step;
    if (month > 12) month = 1, ++year;
    if (month < 1) month = 12, --year;
  }
  return false;
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
  const DailyRecord& last = tw.daily[n - 1];
  // Record 1 is the aggregation year of the first in-period day on or after the first day,
  // and the last record that of the last in-period day on or before the last day, so that
  // no year the record reaches is left out. A record holding no in-period day (it ends
  // before the first one) has no years.
  int label1 = first.year, labeln = first.year - 1;
  const bool dated = first.month >= 1 && first.month <= 12 && last.month >= 1 && last.month <= 12;
  if (!dated || !nearestlabel(tw.monthflags, first.year, first.month, 1, label1) ||
      !nearestlabel(tw.monthflags, last.year, last.month, -1, labeln)) {
    labeln = label1 - 1;
  }
  for (int y = 1; y <= MAXYEARS; ++y) {
    tw.annual[y - 1].year = label1 + y - 1;
    tw.annual[y - 1].timeindex = y;
  }
  tw.numyears = std::clamp(labeln - label1 + 1, 0, MAXYEARS);

  std::array<int, MAXYEARS> counted{};  // days summed into each record
  for (int k = 0; k < n; ++k) {
    const DailyRecord& d = tw.daily[k];
    const int f = (d.month >= 1 && d.month <= 12) ? tw.monthflags[d.month - 1] : 0;
    const int y = (d.year - label1) + f;
    // Days of years beyond the table's 165 records are not stored anywhere.
    if (f == 0 || y < 1 || y > tw.numyears) continue;
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
  for (int y = 1; y <= tw.numyears; ++y) {
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
