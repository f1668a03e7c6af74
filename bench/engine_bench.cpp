// Speed of the analysis engine on the largest record the program holds (60,000 days, three
// filter passes, a wrapping aggregation period). The parameter dialog re-runs the whole
// separation on every change of the filter parameter.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/aggregate.h"
#include "app/baseflow.h"
#include "app/calendar.h"
#include "app/modules.h"

namespace {
void makerecord(int n) {
  initialise_tw_vars();
  twvars.ndays = n;
  int y = 1860, m = 1, d = 1;
  for (int i = 0; i < n; ++i) {
    DailyRecord& r = twvars.daily[i];
    r.year = y, r.month = m, r.day = d;
    r.flow = static_cast<float>(20.0 + 10.0 * std::sin(i / 58.0) + (i % 23 == 4 ? 300.0 : 0.0));
    r.rain = static_cast<float>(i % 7 == 0 ? 12.0 : 0.0);
    r.flowflag = FLOW_VALID;
    r.rainflag = 1;
    if (i % 1000 == 500) r.flow = MISSING, r.flowflag = FLOW_MISSING;
    nextdate(y, m, d);
  }
}

void BM_Baseflowseparation(benchmark::State& state) {
  makerecord(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    baseflowseparation();
    benchmark::DoNotOptimize(twvars.BFI);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
// The largest record, and a typical twenty years.
BENCHMARK(BM_Baseflowseparation)->Arg(MAXDAYS)->Arg(7305)->Unit(benchmark::kMicrosecond);

void BM_Dailytoannual(benchmark::State& state) {
  makerecord(MAXDAYS);
  twvars.aggstartmonth = 7;
  twvars.aggendmonth = 6;
  for (int m = 1; m <= 12; ++m) twvars.monthflags[m - 1] = m >= 7 ? 2 : 1;
  for (auto _ : state) {
    dailytoannual();
    benchmark::DoNotOptimize(twvars.annual[0].flow);
  }
  state.SetItemsProcessed(state.iterations() * MAXDAYS);
}
BENCHMARK(BM_Dailytoannual)->Unit(benchmark::kMicrosecond);
}  // namespace
