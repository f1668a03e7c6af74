// Polyline throughput: a daily series of 60,000 values drawn through the clipper, partly
// outside the graphics area, to a side that only counts the requests.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/state/tessar.h"

namespace {

long requests = 0;
void countingside(int&) { ++requests; }

void setup() {
  tessar.graphics = GraphicsRegion{};
  graphicsservices = GraphicsServices{};
  graphicsservices.yygapi = countingside;
  tessar.graphics.attributes.SCREENON = 1;
  yyresn(1, 0, 1280, 1024);
  IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
  IGrUnits(0, 0, 60000, 1);
}

void BM_Polyline(benchmark::State& state) {
  setup();
  const int n = static_cast<int>(state.range(0));
  std::vector<float> x(n), y(n);
  for (int i = 0; i < n; ++i) {
    x[i] = static_cast<float>(i) * 60000.0f / n;
    y[i] = 0.5f + 0.7f * std::sin(i * 0.01f);   // leaves the area above and below
  }
  requests = 0;
  for (auto _ : state) igrpolyline(x, y, n);
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["requests"] = static_cast<double>(requests) / state.iterations();
}
BENCHMARK(BM_Polyline)->Arg(365)->Arg(60000);

void BM_Nearest(benchmark::State& state) {
  setup();
  yypali();
  int rgb = 0x123456, index = 0;
  for (auto _ : state) {
    yyrgbto8(rgb, index);
    benchmark::DoNotOptimize(index);
    rgb = (rgb + 0x010203) & 0xFFFFFF;
  }
}
BENCHMARK(BM_Nearest);

}  // namespace
