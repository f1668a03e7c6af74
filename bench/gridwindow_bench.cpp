// Speed of the grid window on the headless backend, in the daily data entry dialog of the
// grid tests (two real columns, 100,000 rows): the paste of 60,000 rows of flow and rain from
// the clipboard (the aim is under 1 s), painting the whole grid window with every cell
// filled, and a page scroll through the 100,000 rows (store, move, repaint).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/test_api.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace {

using namespace win;

constexpr int kGrid = 1008;

void openDialog() {
  test::reset();
  tessar.window = WindowState{};
  tessar.dialog = DialogState{};
  WindowOpenOptions o;
  o.flags = 0x27;
  o.width = 800;
  o.height = 500;
  o.menu = 30001;
  WindowOpen(o);
  WDialogLoad(960);
  WDialogShow();
  test::runUntilIdle();
}

void closeDialog() {
  WDialogUnload();
  windowclose();
  test::reset();
}

void setClipboard(const std::string& text) {
  OpenClipboard(nullptr);
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
}

std::string flowsAndRain(int rows, const char* eol) {
  std::string text;
  for (int k = 0; k < rows; ++k)
    text += std::to_string(k) + "." + std::to_string(k % 100) + "\t" + std::to_string(k % 500) + ".5" + eol;
  return text;
}

void BM_PasteSixtyThousandRows(benchmark::State& state) {
  openDialog();
  setClipboard(flowsAndRain(60000, state.range(0) ? "\r\n" : "\n"));
  HWND grid = gridservices.locate(kGrid)->window;
  for (auto _ : state) {
    yygridclippaste(grid);
    test::runUntilIdle();
  }
  closeDialog();
}
BENCHMARK(BM_PasteSixtyThousandRows)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void fillAll() {
  GridInstance* g = gridservices.locate(kGrid);
  for (auto& c : g->columns) {
    for (std::size_t r = 0; r < c.reals.size(); ++r) c.reals[r] = static_cast<float>(r) * 0.25f;
    std::fill(c.states.begin(), c.states.end(), GridCellDefined | GridCellEntered);
  }
}

void BM_PaintFullGridWindow(benchmark::State& state) {
  openDialog();
  fillAll();
  GridInstance* g = gridservices.locate(kGrid);
  for (auto _ : state) {
    InvalidateRect(g->window, nullptr, TRUE);
    InvalidateRect(g->cellarea, nullptr, TRUE);
    UpdateWindow(g->window);
    UpdateWindow(g->cellarea);
  }
  closeDialog();
}
BENCHMARK(BM_PaintFullGridWindow)->Unit(benchmark::kMicrosecond);

void BM_ScrollPageThroughHundredThousandRows(benchmark::State& state) {
  openDialog();
  fillAll();
  GridInstance* g = gridservices.locate(kGrid);
  SetFocus(g->window);
  for (auto _ : state) {
    if (g->firstvisiblerow + 2 * g->visiblerows >= g->rowsinuse) {
      state.PauseTiming();
      yygridupdatecell(g->window, 0, 0, 0, 0);   // back to the top
      state.ResumeTiming();
    }
    SendMessage(g->window, WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(g->cellarea);
  }
  closeDialog();
}
BENCHMARK(BM_ScrollPageThroughHundredThousandRows)->Unit(benchmark::kMicrosecond);

}  // namespace
