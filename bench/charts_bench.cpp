// Speed of a line chart on a 1000 x 700 headless toolkit window: clear, axes, scales, border,
// graticules, title, axis labels, key and one set of 60,000 daily values with missing days, through the screen driver.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/pgraph/decorations.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/keys.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/plots.h"
#include "toolkit/pgraph/scales.h"
#include "toolkit/pgraph/settings.h"
#include "toolkit/screen/screen_driver.h"
#include "bench/screen_window.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace {

void openWindow() {
  if (tessar.window.ROOTOPEN == 1) return;
  twbench::openScreenWindow(1000, 700);
  tessar.files.TEXTBUF.assign(200, ' ');
  tessar.files.DECIMAL = '.';
}

void BM_LineChart(benchmark::State& state) {
  openWindow();
  const int n = static_cast<int>(state.range(0));
  std::vector<float> y(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    y[static_cast<std::size_t>(i)] = i % 997 == 500 ? -999.0f
        : 20 + 10 * std::sin(static_cast<float>(i) * 0.002f) + 5 * std::sin(static_cast<float>(i) * 0.37f);
  const std::array<int, 1> nv{n};
  const std::array<std::string, 1> keys{"Daily flow"};
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 1, 1);
  for (auto _ : state) {
    igrareaclear();
    ipgnewplot1(4, 1, nv);
    IPgArea(0.1f, 0.12f, 0.85f, 0.92f);
    ipgunits(1, 0, static_cast<float>(n), 40);
    ipgmissingdata(-999.0f);
    ipgstyle(1, {.a = 0, .b = 0, .c = 0});
    IGrColour("BLACK");
    ipgaxes();
    ipgxscale("");
    ipgyscaleleft("");
    ipgborder();
    ipgxgraticules(1);
    ipgygraticules(1);
    ipgtitle("Daily flow");
    ipgxlabel("Day");
    ipgylabelleft("Flow", "9");
    ipgkeyall(keys, "");
    ipglineplot(y);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LineChart)->Arg(60000)->Unit(benchmark::kMillisecond);

}  // namespace
