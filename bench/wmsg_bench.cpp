// The event loop's costs: one injected click to the event wmessage returns (queue, hit
// testing, window procedures, unit conversion), and one status-bar text shown at once.
#include <benchmark/benchmark.h>

#include "platform/test_api.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"

namespace {

void openRoot() {
  win::test::reset();
  WindowOpenOptions o;
  o.flags = 0x27;
  o.width = 800;
  o.height = 600;
  WindowOpen(o);
  win::test::runUntilIdle();
  for (int t = 1; t <= 16; ++t) wmessageenable(t, t == 4 ? 1 : 0);
}

void BM_WMessageClick(benchmark::State& state) {
  openRoot();
  win::POINT p{400, 300};
  win::ClientToScreen(winslot(0).hClient, p);
  int type = 0;
  MessageRecord m;
  for (auto _ : state) {
    win::test::click(p.x, p.y);
    wmessage(type, m);
    benchmark::DoNotOptimize(m);
    win::test::advanceTime(1000);   // no double clicks
  }
  windowclose();
}
BENCHMARK(BM_WMessageClick);

void BM_StatusBarText(benchmark::State& state) {
  openRoot();
  int n = 0;
  for (auto _ : state) {
    windowoutstatusbar(1, (n++ & 1) ? "Tarnwalker file:   None" : "Tarnwalker file:   /home/user/gauge 410001.tw");
  }
  windowclose();
}
BENCHMARK(BM_StatusBarText);

}  // namespace
