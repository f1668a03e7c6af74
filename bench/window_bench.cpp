// Speed of the window system's message paths: sent messages, posted messages taken and
// dispatched, and mouse input routed through hit testing to a child window.
#include <benchmark/benchmark.h>

#include "platform/test_api.h"
#include "platform/win.h"

using namespace win;

namespace {

long gCount = 0;

LRESULT countingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) {
    ++gCount;
    return static_cast<LRESULT>(w);
  }
  return DefWindowProc(h, m, w, l);
}

HWND makeWindow() {
  test::reset();
  WNDCLASS wc;
  wc.lpfnWndProc = countingProc;
  wc.lpszClassName = "BenchWindow";
  RegisterClass(wc);
  HWND top = CreateWindowEx(0, "BenchWindow", "Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                            nullptr, nullptr, nullptr);
  test::runUntilIdle();
  return top;
}

void BM_SendMessage(benchmark::State& state) {
  HWND h = makeWindow();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(h, WM_USER, 1, 0));
  state.SetItemsProcessed(state.iterations());
  test::reset();
}
BENCHMARK(BM_SendMessage);

// Posts a batch, then takes, translates and dispatches it as a message loop does.
void BM_PostAndDispatch(benchmark::State& state) {
  HWND h = makeWindow();
  const int batch = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) PostMessage(h, WM_USER, static_cast<WPARAM>(i), 0);
    MSG m;
    while (PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(m);
      DispatchMessage(m);
    }
  }
  state.SetItemsProcessed(state.iterations() * batch);
  test::reset();
}
BENCHMARK(BM_PostAndDispatch)->Arg(1)->Arg(64);

// One click on a child window nested three deep: hit tests, cursor, button down and up.
void BM_ClickRouting(benchmark::State& state) {
  HWND top = makeWindow();
  HWND parent = top;
  for (int i = 0; i < 3; ++i)
    parent = CreateWindowEx(0, "BenchWindow", "", WS_CHILD | WS_VISIBLE, 10, 10, 300, 300, parent,
                            reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(i + 1)), nullptr, nullptr);
  test::runUntilIdle();
  int dispatched = 0;
  for (auto _ : state) {
    test::advanceTime(1000);   // no double clicks
    test::click(100, 100);
    dispatched += test::runUntilIdle();
  }
  state.SetItemsProcessed(dispatched);
  test::reset();
}
BENCHMARK(BM_ClickRouting);

}  // namespace
