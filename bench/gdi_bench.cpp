// Speed of the drawing layer: a full repaint of a 1000 x 700 window on the headless backend
// with 10,000 line segments and 200 text strings, as a busy plot is redrawn; the same on a
// memory bitmap; and the same segments with a wide dashed pen.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "platform/gdi.h"
#include "platform/test_api.h"
#include "platform/win.h"

using namespace win;

namespace {

constexpr int kW = 1000, kH = 700, kSegments = 10000, kStrings = 200;

struct Scene {
  std::vector<POINT> points;  // kSegments + 1 points of one long polyline
  std::vector<POINT> labels;
  HPEN pen = nullptr;
  HFONT font = nullptr;
};

Scene& scene() {
  static Scene s = [] {
    Scene k;
    unsigned v = 12345;
    auto next = [&v](int m) {
      v = v * 1103515245u + 12345u;
      return static_cast<int>((v >> 8) % static_cast<unsigned>(m));
    };
    for (int i = 0; i <= kSegments; ++i) k.points.push_back({next(kW), next(kH)});
    for (int i = 0; i < kStrings; ++i) k.labels.push_back({next(kW - 80), next(kH - 20)});
    k.pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 160));
    k.font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, 0, 0,
                        VARIABLE_PITCH | FF_SWISS, "Arial");
    return k;
  }();
  return s;
}

void drawScene(HDC dc, HPEN pen) {
  Scene& s = scene();
  RECT all{0, 0, kW, kH};
  FillRect(dc, all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldFont = SelectObject(dc, s.font);
  Polyline(dc, s.points.data(), static_cast<int>(s.points.size()));
  SetBkMode(dc, TRANSPARENT);
  char text[32];
  for (int i = 0; i < kStrings; ++i) {
    const int n = std::snprintf(text, sizeof text, "Flow %d ML/d", i * 37);
    TextOut(dc, s.labels[static_cast<size_t>(i)].x, s.labels[static_cast<size_t>(i)].y, text, n);
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
}

LRESULT paintProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(h, ps);
    drawScene(ps.hdc, scene().pen);
    EndPaint(h, ps);
    return 0;
  }
  if (m == WM_ERASEBKGND) return 1;
  return DefWindowProc(h, m, w, l);
}

void BM_WindowRepaint(benchmark::State& state) {
  test::reset();
  WNDCLASS wc;
  wc.lpfnWndProc = paintProc;
  wc.lpszClassName = "BenchPlot";
  RegisterClass(wc);
  HWND h = CreateWindowEx(0, "BenchPlot", "Plot", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr,
                          nullptr, nullptr);
  test::runUntilIdle();
  for (auto _ : state) {
    InvalidateRect(h, nullptr, FALSE);
    UpdateWindow(h);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["segments"] = kSegments;
  state.counters["strings"] = kStrings;
  test::reset();
}
BENCHMARK(BM_WindowRepaint)->Unit(benchmark::kMillisecond);

void memoryRepaint(benchmark::State& state, HPEN pen) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(kW, kH, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bm);
  for (auto _ : state) drawScene(dc, pen);
  state.SetItemsProcessed(state.iterations());
  SelectObject(dc, old);
  DeleteObject(bm);
  DeleteDC(dc);
}

void BM_MemoryBitmapRepaint(benchmark::State& state) { memoryRepaint(state, scene().pen); }
BENCHMARK(BM_MemoryBitmapRepaint)->Unit(benchmark::kMillisecond);

void BM_MemoryBitmapRepaintWideDashedPen(benchmark::State& state) {
  // The pen the screen driver makes for dashed plot lines: geometric, user style, square ends,
  // bevel joins, 2 pixels wide.
  const LOGBRUSH lb{BS_SOLID, RGB(0, 0, 160), 0};
  const DWORD dashes[] = {8, 7};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 2, lb, 2, dashes);
  memoryRepaint(state, pen);
  DeleteObject(pen);
}
BENCHMARK(BM_MemoryBitmapRepaintWideDashedPen)->Unit(benchmark::kMillisecond);

}  // namespace
