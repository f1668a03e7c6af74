// Speed of icons and the clipboard: the program's icon drawn with its mask on a memory bitmap
// (as a dialog static repaints), decoded afresh from its resource, and 60,000 lines of daily
// flows (about 1 MB of text) handed through the clipboard as a spreadsheet paste would be.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/gdi.h"
#include "platform/icon.h"

using namespace win;

namespace {

void BM_DrawIconProgramIcon(benchmark::State& state) {
  HICON icon = LoadIcon(nullptr, "ICON1");
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP b = CreateBitmap(64, 64, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  for (auto _ : state) benchmark::DoNotOptimize(DrawIcon(dc, 16, 16, icon));
  SelectObject(dc, old);
  DeleteObject(b);
  DeleteDC(dc);
}
BENCHMARK(BM_DrawIconProgramIcon);

void BM_LoadImageProgramIconUnshared(benchmark::State& state) {
  for (auto _ : state) {
    HANDLE h = LoadImage(nullptr, "ICON1", IMAGE_ICON, 0, 0, 0);
    benchmark::DoNotOptimize(h);
    DestroyIcon(static_cast<HICON>(h));
  }
}
BENCHMARK(BM_LoadImageProgramIconUnshared);

void BM_ClipboardTextRoundTrip60000Lines(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < 60000; ++i) text += std::to_string(1000 + i % 977) + ".25\t" + std::to_string(i % 13) + ".5\r\n";
  for (auto _ : state) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GHND, text.size() + 1);
    std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
    OpenClipboard(nullptr);
    const char* p = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
    benchmark::DoNotOptimize(std::strlen(p));
    GlobalUnlock(GetClipboardData(CF_TEXT));
    CloseClipboard();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ClipboardTextRoundTrip60000Lines)->Unit(benchmark::kMicrosecond);

}  // namespace
