// Speed of the menus and the toolbar on the program's main-window resources: the menu bar
// drawn, the File pop-up opened and closed by the menu loop, the 17-place toolbar painted.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/resource.h"
#include "platform/test_api.h"

using namespace win;

namespace {

HWND makeFrame(HMENU& menu) {
  test::reset();
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "BenchMenuFrame";
  RegisterClass(wc);
  menu = LoadMenu(nullptr, MAKEINTRESOURCE(30001));
  HWND top = CreateWindowEx(0, "BenchMenuFrame", "Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 760, 420, nullptr,
                            menu, nullptr, nullptr);
  test::runUntilIdle();
  return top;
}

void BM_DrawMenuBar(benchmark::State& state) {
  HMENU menu = nullptr;
  HWND frame = makeFrame(menu);
  for (auto _ : state) DrawMenuBar(frame);
  state.SetItemsProcessed(state.iterations());
  test::reset();
}
BENCHMARK(BM_DrawMenuBar);

// TrackPopupMenu on File, closed by Escape as soon as it waits for input.
void BM_PopupOpenClose(benchmark::State& state) {
  HMENU menu = nullptr;
  HWND frame = makeFrame(menu);
  HMENU file = GetSubMenu(menu, 0);
  bool pressed = false;
  test::setIdleHook([&] {
    if (pressed) return;
    pressed = true;
    test::pressKey(VK_ESCAPE);
  });
  for (auto _ : state) {
    pressed = false;
    benchmark::DoNotOptimize(TrackPopupMenu(file, TPM_RETURNCMD, 100, 100, 0, frame, nullptr));
  }
  state.SetItemsProcessed(state.iterations());
  test::setIdleHook(nullptr);
  test::reset();
}
BENCHMARK(BM_PopupOpenClose);

void BM_ToolbarPaint(benchmark::State& state) {
  HMENU menu = nullptr;
  HWND frame = makeFrame(menu);
  RegisterToolbarClass();
  HWND tb = CreateWindowEx(0, TOOLBARCLASSNAME, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 0, 0, 0, 0, frame,
                           nullptr, nullptr, nullptr);
  SendMessage(tb, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
  SendMessage(tb, TB_SETBUTTONSIZE, 0, MAKELONG(22, 22));
  const std::vector<int> ids = {40024, 40009, 40006, 40027, 0, 40004, 40016, 40007, 40008,
                                40012, 0, 40014, 40028, 0, 40026, 0, 40005};
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (int id : ids) {
    TBBUTTON b;
    if (id == 0) b.fsStyle = TBSTYLE_SEP;
    else b.iBitmap = image++, b.idCommand = id, b.fsState = TBSTATE_ENABLED;
    buttons.push_back(b);
  }
  TBADDBITMAP add;
  add.hInst = GetModuleHandle(nullptr);
  add.nID = 30101;
  SendMessage(tb, TB_ADDBITMAP, buttons.size(), reinterpret_cast<LPARAM>(&add));
  SendMessage(tb, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessage(tb, TB_ENABLEBUTTON, 40006, FALSE);   // one grey image among them
  SendMessage(tb, TB_AUTOSIZE, 0, 0);
  for (auto _ : state) {
    InvalidateRect(tb, nullptr, TRUE);
    UpdateWindow(tb);
  }
  state.SetItemsProcessed(state.iterations());
  test::reset();
}
BENCHMARK(BM_ToolbarPaint);

}  // namespace
