// Speed of the rich-edit control on a 10 MB text of daily records, as the text editor opens,
// searches and saves a large file: stream in, find of the last line from the start, stream
// out, and one typed character; and on a 1 MB formatted text (every date bold, every tenth
// line a bullet): RTF out and in, and one typed character.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/richedit.h"
#include "platform/test_api.h"

using namespace win;

namespace {

const std::string& bigText() {
  static const std::string s = [] {
    std::string t;
    t.reserve(10u << 20);
    for (int i = 0; t.size() < (10u << 20); ++i) t += "1987-03-" + std::to_string(i % 28 + 10) + ";12.5;0.3\r\n";
    return t + "marker line\r\n";
  }();
  return s;
}

struct Reader {
  const std::string* s;
  std::size_t at = 0;
};

DWORD readCb(UINT_PTR cookie, BYTE* buf, LONG cb, LONG* pcb) {
  auto* r = reinterpret_cast<Reader*>(cookie);
  const std::size_t n = std::min(static_cast<std::size_t>(cb), r->s->size() - r->at);
  std::memcpy(buf, r->s->data() + r->at, n);
  r->at += n;
  *pcb = static_cast<LONG>(n);
  return 0;
}

DWORD writeCb(UINT_PTR cookie, BYTE*, LONG cb, LONG* pcb) {
  *reinterpret_cast<std::size_t*>(cookie) += static_cast<std::size_t>(cb);
  *pcb = cb;
  return 0;
}

HWND control() {
  static HWND e = [] {
    RegisterRichEditClasses();
    HWND p = CreateWindowEx(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                            nullptr, nullptr);
    HWND r = CreateWindowEx(0, RICHEDIT_CLASS, "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                ES_AUTOHSCROLL | ES_NOHIDESEL,
                            0, 0, 780, 560, p, nullptr, nullptr, nullptr);
    SendMessage(r, EM_EXLIMITTEXT, 0, 104857500);
    // Fonts and the text are made once, outside the measured loops.
    bigText();
    test::runUntilIdle();
    return r;
  }();
  return e;
}

void load(HWND e) {
  Reader rd{&bigText()};
  EDITSTREAM es;
  es.dwCookie = reinterpret_cast<UINT_PTR>(&rd);
  es.pfnCallback = readCb;
  SendMessage(e, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
}

void BM_StreamIn10MB(benchmark::State& state) {
  HWND e = control();
  for (auto _ : state) {
    load(e);
    test::runUntilIdle();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bigText().size()));
}
BENCHMARK(BM_StreamIn10MB)->Unit(benchmark::kMillisecond);

void BM_FindLastLine10MB(benchmark::State& state) {
  HWND e = control();
  load(e);
  for (auto _ : state) {
    FINDTEXTEX ft;
    ft.chrg = {0, -1};
    ft.lpstrText = "Marker";
    benchmark::DoNotOptimize(SendMessage(e, EM_FINDTEXTEX, FR_DOWN, reinterpret_cast<LPARAM>(&ft)));
  }
}
BENCHMARK(BM_FindLastLine10MB)->Unit(benchmark::kMillisecond);

void BM_StreamOut10MB(benchmark::State& state) {
  HWND e = control();
  load(e);
  for (auto _ : state) {
    std::size_t bytes = 0;
    EDITSTREAM es;
    es.dwCookie = reinterpret_cast<UINT_PTR>(&bytes);
    es.pfnCallback = writeCb;
    SendMessage(e, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&es));
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_StreamOut10MB)->Unit(benchmark::kMillisecond);

// One typed character in the middle of the loaded text, painted: what a keystroke costs.
void BM_TypeCharacter10MB(benchmark::State& state) {
  HWND e = control();
  load(e);
  SendMessage(e, EM_SETSEL, 5u << 20, 5u << 20);
  for (auto _ : state) {
    SendMessage(e, WM_CHAR, 'x', 0);
    test::runUntilIdle();
  }
}
BENCHMARK(BM_TypeCharacter10MB)->Unit(benchmark::kMillisecond);

// The first 1 MB of the records with every date bold and every tenth line bulleted.
HWND formatted() {
  static HWND e = [] {
    HWND f = control();
    const std::string text = bigText().substr(0, 1u << 20);
    SetWindowText(f, text.c_str());
    const std::string t = [&] {
      std::string s(static_cast<std::size_t>(GetWindowTextLength(f)) + 1, '\0');
      GetWindowText(f, s.data(), static_cast<int>(s.size()));
      s.resize(s.size() - 1);
      return s;
    }();
    CHARFORMAT bold;
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    PARAFORMAT bullet;
    bullet.dwMask = PFM_NUMBERING;
    bullet.wNumbering = PFN_BULLET;
    std::size_t at = 0;
    for (int line = 0; at < t.size(); ++line) {
      SendMessage(f, EM_SETSEL, at, static_cast<LPARAM>(at + 10));
      SendMessage(f, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));
      if (line % 10 == 0) SendMessage(f, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&bullet));
      const std::size_t end = t.find('\r', at);
      if (end == std::string::npos) break;
      at = end + 1;
    }
    return f;
  }();
  return e;
}

std::string rtfOut(HWND e) {
  std::string out;
  EDITSTREAM es;
  es.dwCookie = reinterpret_cast<UINT_PTR>(&out);
  es.pfnCallback = [](UINT_PTR cookie, BYTE* buf, LONG cb, LONG* pcb) -> DWORD {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(cb));
    *pcb = cb;
    return 0;
  };
  SendMessage(e, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  return out;
}

void BM_RtfOut1MBFormatted(benchmark::State& state) {
  HWND e = formatted();
  for (auto _ : state) benchmark::DoNotOptimize(rtfOut(e));
}
BENCHMARK(BM_RtfOut1MBFormatted)->Unit(benchmark::kMillisecond);

void BM_RtfIn1MBFormatted(benchmark::State& state) {
  HWND e = formatted();
  const std::string rtf = rtfOut(e);
  for (auto _ : state) {
    Reader rd{&rtf};
    EDITSTREAM es;
    es.dwCookie = reinterpret_cast<UINT_PTR>(&rd);
    es.pfnCallback = readCb;
    SendMessage(e, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    test::runUntilIdle();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(rtf.size()));
}
BENCHMARK(BM_RtfIn1MBFormatted)->Unit(benchmark::kMillisecond);

void BM_TypeCharacter1MBFormatted(benchmark::State& state) {
  HWND e = formatted();
  SendMessage(e, EM_SETSEL, 1u << 19, 1u << 19);
  for (auto _ : state) {
    SendMessage(e, WM_CHAR, 'x', 0);
    test::runUntilIdle();
  }
}
BENCHMARK(BM_TypeCharacter1MBFormatted)->Unit(benchmark::kMillisecond);

}  // namespace

