// Fills and stroke text: a 10,000-vertex polygon hatched by the scan-line fill, and 1,000
// strings of 20 characters in stroke fonts, to a side that only counts the requests.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "toolkit/state/tessar.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"

namespace {

long requests = 0;
void countingside(int&) { ++requests; }

void setup() {
  tessar.graphics = GraphicsRegion{};
  graphicsservices = GraphicsServices{};
  graphicsservices.yygapi = countingside;
  tessar.graphics.attributes.SCREENON = 1;
  yyresn(1, 0, 1280, 1024);
  IGrUnits(-1.1f, -1.1f, 1.1f, 1.1f);
}

// A wavy ring: 10,000 vertices, up to 16 edges on a scan line.
void BM_HatchedPolygon(benchmark::State& state) {
  setup();
  const int n = static_cast<int>(state.range(0));
  std::vector<float> x(n), y(n);
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * i / n, r = 0.7 + 0.3 * std::sin(8 * a);
    x[i] = static_cast<float>(r * std::cos(a));
    y[i] = static_cast<float>(r * std::sin(a));
  }
  igrfillpattern(2, static_cast<int>(state.range(1)), 1);
  requests = 0;
  for (auto _ : state) IGrPolygonComplex(x, y, n);
  state.counters["lines"] = static_cast<double>(requests) / state.iterations();
}
BENCHMARK(BM_HatchedPolygon)->Args({10000, 2})->Args({10000, 5});

// A hatched triangle covering the drawable, near (extent 10) and at 1e30: the far one works
// out only its visible lines, as the near one does.
void BM_HatchedCoveringTriangle(benchmark::State& state) {
  setup();
  const float f = state.range(0) == 0 ? 10.0f : 1e30f;
  igrfillpattern(1, 5, 3);
  requests = 0;
  for (auto _ : state) IGrTriangle(-f, -f, f, -f, 0, f);
  state.counters["lines"] = static_cast<double>(requests) / state.iterations();
}
BENCHMARK(BM_HatchedCoveringTriangle)->Arg(0)->Arg(1);

// 1,000 strings of 20 characters in the stroked standard font and in the outline swiss font.
void BM_StrokeText(benchmark::State& state) {
  setup();
  IGrUnits(0, 0, 1, 1);
  if (state.range(0) == 0) {
    wgrvfontstandard();
  } else {
    yyofswiss();
  }
  WGrTextFont({.family = 1});
  const std::string text = "Baseflow index 0.62 ";
  requests = 0;
  for (auto _ : state)
    for (int i = 0; i < 1000; ++i) wgrtextstring(0.5f, static_cast<float>(i % 25) * 0.04f, text);
  state.SetItemsProcessed(state.iterations() * 1000);
  state.counters["requests"] = static_cast<double>(requests) / state.iterations();
}
BENCHMARK(BM_StrokeText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
