// Speed of one run of the trend regression and of its influence statistics, on a typical
// 40 years and on the largest table (165 years), with every variable included. The
// regression dialog re-runs the fit on every change of the included variables.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "app/modules.h"
#include "app/regression.h"
#include "app/regstats.h"

namespace {
void makeyears(int n) {
  initialise_tw_vars();
  initialise_regressdat();
  TwVars& tw = twvars;
  tw.numyears = n;
  for (int y = 0; y < n; ++y) {
    AnnualRecord& a = tw.annual[y];
    a.year = 1860 + y;
    a.timeindex = y + 1;
    a.rain = static_cast<float>(800.0 + 200.0 * std::sin(y * 1.7));
    a.user = {static_cast<float>(50.0 + 20.0 * std::cos(y * 0.9)), static_cast<float>(y % 7),
              static_cast<float>(2000.0 + 15.0 * a.year + 40.0 * std::sin(y * 2.3))};
    a.baseflow = static_cast<float>(4000.0 - 35.0 * y + 6.0 * a.rain + 300.0 * std::sin(y * 3.1));
    a.flow = 2.5f * a.baseflow;
    a.flowflag = a.rainflag = 1;
    a.userflag = {1, 1, 1};
    a.usable = 1;
  }
  tw.raininclude = 1;
  tw.userinclude = {1, 1, 1};
}

void BM_Linest(benchmark::State& state) {
  makeyears(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    linest();
    benchmark::DoNotOptimize(regressdat.stderrs[1]);
  }
}
BENCHMARK(BM_Linest)->Arg(40)->Arg(MAXYEARS)->Unit(benchmark::kMicrosecond);

void BM_Checkoutliers(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), p = 6;
  makeyears(n);
  linest();
  std::vector<float> x(static_cast<std::size_t>(n) * p), d(n), r(n);
  for (int i = 0; i < n; ++i) {
    const AnnualRecord& a = twvars.annual[i];
    const float row[p] = {1.0f, static_cast<float>(a.timeindex), a.rain, a.user[0], a.user[1], a.user[2]};
    for (int j = 0; j < p; ++j) x[static_cast<std::size_t>(j) * n + i] = row[j];
  }
  for (auto _ : state) {
    checkoutliers(regressdat.observed, x, n, p, regressdat.coeffs, d, r);
    benchmark::DoNotOptimize(d[0]);
  }
}
BENCHMARK(BM_Checkoutliers)->Arg(40)->Arg(MAXYEARS)->Unit(benchmark::kMicrosecond);
}  // namespace
