// Start of the program on the headless backend: the toolkit's start-up, the main window with
// its menu, toolbar and status bar, the about box shown and closed by OK, and the main window
// painted; then the same with the project of a three-year record opened as well.
#include <benchmark/benchmark.h>

#include <string>

#include "app/mainprogram.h"
#include "app/menustate.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/test_api.h"
#include "platform/win.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"

namespace {

void fresh() {
  win::test::reset();
  tessarreset();
  wMessageEnabled.fill(0);
  wCursor = nullptr;
  iCursor = 0;
  for (DeferredEvent& s : VXKMessages) s = DeferredEvent{};
}

void started() {
  // OK on the about box and on the data summary that opening a project shows.
  win::test::setIdleHook([] { win::test::pressKey(win::VK_RETURN); });
  mainprogram_start();
  setmenustate();
  win::test::runUntilIdle();
}

void BM_ProgramStart(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    fresh();
    state.ResumeTiming();
    started();
    state.PauseTiming();
    windowclose();
    state.ResumeTiming();
  }
  win::test::setIdleHook(nullptr);
  fresh();
}
BENCHMARK(BM_ProgramStart)->Unit(benchmark::kMillisecond);

void BM_ProgramStartAndOpen(benchmark::State& state) {
  const std::string project = std::string(TW_FIXTURES) + "/project-status3.tw";
  for (auto _ : state) {
    state.PauseTiming();
    fresh();
    state.ResumeTiming();
    started();
    twvars.filename = project;
    twvars.filename.resize(500, ' ');
    benchmark::DoNotOptimize(fileopen_read());
    setmenustate();
    win::test::runUntilIdle();
    state.PauseTiming();
    windowclose();
    state.ResumeTiming();
  }
  win::test::setIdleHook(nullptr);
  fresh();
}
BENCHMARK(BM_ProgramStartAndOpen)->Unit(benchmark::kMillisecond);

}  // namespace

