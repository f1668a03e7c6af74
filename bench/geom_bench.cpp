// Speed of swapping the main window's menu and toolbar between the main and the plot ones,
// of opening and closing a child window, and of the window-unit conversions.
#include <benchmark/benchmark.h>

#include "platform/test_api.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/units.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmenus.h"

namespace {

void openMain() {
  win::test::reset();
  tessar.window = WindowState{};
  WindowOpenOptions o;
  o.flags = 39;
  o.width = 800;
  o.height = 500;
  o.menu = 30001;
  WindowOpen(o);
  WMenuToolbar(30101);
  win::test::runUntilIdle();
}

void closeMain() {
  windowclose();
  win::test::reset();
}

void BM_SwapMenuAndToolbar(benchmark::State& state) {
  openMain();
  bool plot = false;
  for (auto _ : state) {
    plot = !plot;
    wmenuroot(plot ? 30002 : 30001);
    WMenuToolbar(plot ? 30102 : 30101);
  }
  state.SetItemsProcessed(state.iterations());
  closeMain();
}
BENCHMARK(BM_SwapMenuAndToolbar);

void BM_OpenAndCloseChild(benchmark::State& state) {
  openMain();
  for (auto _ : state) {
    int n = 0;
    WindowOpenChildOptions o;
    o.width = 300;
    o.height = 200;
    WindowOpenChild(n, o);
    WindowCloseChild(n);
  }
  state.SetItemsProcessed(state.iterations());
  closeMain();
}
BENCHMARK(BM_OpenAndCloseChild);

void BM_UnitsRoundTrip(benchmark::State& state) {
  openMain();
  int x = 0, y = 0, ux = 0, uy = 0, p = 0;
  for (auto _ : state) {
    p = (p + 7) % 800;
    windowunitsfrompixels(p, p / 2, ux, uy);
    windowunitstopixels(ux, uy, x, y);
    benchmark::DoNotOptimize(x + y);
  }
  state.SetItemsProcessed(state.iterations());
  closeMain();
}
BENCHMARK(BM_UnitsRoundTrip);

}  // namespace
