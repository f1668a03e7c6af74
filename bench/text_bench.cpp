// Number and text conversion speed: a grid of daily values formats and parses one cell at
// a time, so a year of cells must stay cheap.
#include <benchmark/benchmark.h>

#include <string>

#include "toolkit/text/convert.h"

static void BM_IRealToStringGeneral(benchmark::State& state) {
  std::string text(15, ' ');
  float value = 1234.5678f;
  for (auto _ : state) {
    IRealToString(value, text, "(G15.5E2)");
    benchmark::DoNotOptimize(text.data());
    value += 0.37f;
  }
}
BENCHMARK(BM_IRealToStringGeneral);

static void BM_IDoubleToStringFixed(benchmark::State& state) {
  std::string text(20, ' ');
  double value = 1234.5678;
  for (auto _ : state) {
    IDoubleToString(value, text, "(F20.2)");
    benchmark::DoNotOptimize(text.data());
    value += 0.37;
  }
}
BENCHMARK(BM_IDoubleToStringFixed);

static void BM_IntegerToString(benchmark::State& state) {
  std::string text(11, ' ');
  int value = 0;
  for (auto _ : state) {
    IntegerToString(value++, text, "(I0)");
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_IntegerToString);

static void BM_IStringToReal(benchmark::State& state) {
  float value = 0.0f;
  for (auto _ : state) {
    IStringToReal("  1234.5678E-2  ", value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_IStringToReal);

static void BM_Yyst2dbl(benchmark::State& state) {
  double value = 0.0;
  const std::string cell = std::string("12.25") + '\0' + std::string(20, ' ');
  for (auto _ : state) {
    yyst2dbl(value, cell);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_Yyst2dbl);
