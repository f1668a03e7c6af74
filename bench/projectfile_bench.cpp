// Save and open of a 60,000-day project whose baseflow is separated (status 3): the
// largest project the data model holds. A save flushes the file and its folder to the disk,
// so its real time holds the disk's wait beside the CPU time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "app/aggregate.h"
#include "app/calendar.h"
#include "app/modules.h"
#include "app/projectfile.h"

namespace {

std::string path() {
  static const std::string name =
      (std::filesystem::temp_directory_path() / ("tw-bench-project-" + std::to_string(std::random_device{}()) + ".tw"))
          .string();
  return name;
}

void buildproject() {
  initialise_tw_vars();
  TwVars& tw = twvars;
  int year = 1850, month = 1, day = 1;
  for (int k = 0; k < MAXDAYS; ++k) {
    DailyRecord& d = tw.daily[k];
    d.year = year;
    d.month = month;
    d.day = day;
    d.datenum = 10000 * year + 100 * month + day;
    d.flow = static_cast<float>((k * 7919) % 100000) / 100.0f;
    d.baseflow = d.flow * 0.6f;
    d.rain = static_cast<float>((k * 31) % 400) / 10.0f;
    d.flowflag = FLOW_VALID;
    d.rainflag = 1;
    nextdate(year, month, day);
  }
  tw.ndays = MAXDAYS;
  dailytoannual();
  tw.filterparam = 0.925f;
  tw.passes = 3;
  tw.BFI = 0.6f;
  tw.status = 3;
  const std::string name = path();
  tw.filename.assign(name);
  tw.filename.resize(500, ' ');
}

void BM_FileSave(benchmark::State& state) {
  buildproject();
  for (auto _ : state) {
    twvars.status = 3;
    benchmark::DoNotOptimize(filesave());
  }
  std::remove(path().c_str());
}
BENCHMARK(BM_FileSave)->Unit(benchmark::kMillisecond);

// The text alone, without the file: the formatting part of a save.
void BM_FileSaveText(benchmark::State& state) {
  buildproject();
  std::string text;
  for (auto _ : state) {
    filesave_text(text, 2026, 12, 10, 9, 5);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_FileSaveText)->Unit(benchmark::kMillisecond);

void BM_FileOpen(benchmark::State& state) {
  buildproject();
  filesave();
  for (auto _ : state) benchmark::DoNotOptimize(fileopen_read());
  std::remove(path().c_str());
}
BENCHMARK(BM_FileOpen)->Unit(benchmark::kMillisecond);

}  // namespace
