// A change of the filter parameter in the separation view, as the parameter dialog applies
// it: the separation of the whole record runs again and the plot of every day shown is
// painted afresh, on the largest record the program holds (60,000 days) and on twenty years,
// in a root window of the main window's size through the screen driver.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "app/baseflow.h"
#include "app/calendar.h"
#include "app/modules.h"
#include "app/plots.h"
#include "toolkit/graphics/area.h"
#include "toolkit/screen/screen_driver.h"
#include "bench/screen_window.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace {

void openWindow() {
  if (tessar.window.ROOTOPEN == 1) return;
  twbench::openScreenWindow(1024, 797);
  tessar.files.TEXTBUF.assign(200, ' ');
  tessar.files.DECIMAL = '.';
  IGrUnits(0, 0, 1, 1);   // as the program's main window has them
}

void makerecord(int n) {
  initialise_tw_vars();
  twvars.ndays = n;
  int y = 1860, m = 1, d = 1;
  for (int i = 0; i < n; ++i) {
    DailyRecord& r = twvars.daily[static_cast<std::size_t>(i)];
    r.year = y, r.month = m, r.day = d;
    r.datenum = 10000 * y + 100 * m + d;
    r.datetext = std::to_string(d) + " " + std::string(param.monthabbr[static_cast<std::size_t>(m - 1)]) + " " +
                 std::to_string(y);
    r.datetext.resize(11, ' ');
    r.flow = static_cast<float>(20.0 + 10.0 * std::sin(i / 58.0) + (i % 23 == 4 ? 300.0 : 0.0));
    r.flowflag = FLOW_VALID;
    if (i % 1000 == 500) r.flow = MISSING, r.flowflag = FLOW_MISSING;
    nextdate(y, m, d);
  }
}

void BM_ParameterChange(benchmark::State& state) {
  openWindow();
  makerecord(static_cast<int>(state.range(0)));
  initialiseplot();
  plotdat.vmin = 0;
  plotdat.vmax = 1.05f * 330.0f;
  int k = 0;
  for (auto _ : state) {
    twvars.filterparam = k++ % 2 ? 0.925f : 0.98f;
    baseflowseparation();
    refreshplot();
    benchmark::DoNotOptimize(twvars.BFI);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParameterChange)->Arg(MAXDAYS)->Arg(7305)->Unit(benchmark::kMillisecond);

// The two halves on their own, on the largest record.
void BM_PlotRepaint(benchmark::State& state) {
  openWindow();
  makerecord(MAXDAYS);
  initialiseplot();
  plotdat.vmin = 0;
  plotdat.vmax = 1.05f * 330.0f;
  baseflowseparation();
  for (auto _ : state) refreshplot();
}
BENCHMARK(BM_PlotRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
