// Speed of the rich-edit control on a 10 MB text of daily records, as the text editor opens,
// searches and saves a large file: stream in, find of the last line from the start, stream
// out, and one typed character; on a 1 MB formatted text (every date bold, every tenth
// line a bullet): RTF out and in, and one typed character; one character typed at the end
// of a single wrapped paragraph with one bold word (64 KB, 256 KB, 1 MB: the time grows with
// the paragraph no faster than its length; of 16 and 64 MB, at its end and its start: about
// the same time); and caret keys, line queries and a repaint after loading 10 MB and 100 MB of
// plain text (the time does not grow with the text).
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

// A wrapped control holding one paragraph of words of the given size, the tenth word bold.
HWND paragraph(std::size_t bytes) {
  static HWND parent = [] {
    control();
    return CreateWindowEx(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                          nullptr, nullptr);
  }();
  static HWND e = nullptr;
  if (e) DestroyWindow(e);
  e = CreateWindowEx(0, RICHEDIT_CLASS, "",
                     WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL, 0, 0, 780,
                     560, parent, nullptr, nullptr, nullptr);
  SendMessage(e, EM_EXLIMITTEXT, 0, 104857500);
  std::string t;
  t.reserve(bytes);
  static const char* const kWords[] = {"flow", "at", "Tarn", "Beck", "gauge", "12.5", "rain", "discharge"};
  for (int k = 0; t.size() < bytes; ++k) {
    t += kWords[k % 8];
    t += ' ';
  }
  SetWindowText(e, t.c_str());
  SendMessage(e, EM_SETSEL, 45, 49);
  CHARFORMAT bold;
  bold.dwMask = CFM_BOLD;
  bold.dwEffects = CFE_BOLD;
  SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));
  SendMessage(e, EM_SETSEL, static_cast<WPARAM>(t.size()), static_cast<LPARAM>(t.size()));
  SetFocus(e);
  test::runUntilIdle();
  return e;
}

// One character typed at the end of the paragraph, laid out and painted.
void BM_TypeAtEndOfFormattedParagraph(benchmark::State& state) {
  HWND e = paragraph(static_cast<std::size_t>(state.range(0)) << 10);
  for (auto _ : state) {
    SendMessage(e, WM_CHAR, 'x', 0);
    test::runUntilIdle();
  }
  state.counters["lines"] = static_cast<double>(SendMessage(e, EM_GETLINECOUNT, 0, 0));
}
BENCHMARK(BM_TypeAtEndOfFormattedParagraph)->Arg(64)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

// One character typed at the end (place 0) or the start (place 1) of a paragraph of 16 and of
// 64 MB, laid out and painted: a key costs the lines it changes, so the two sizes should cost
// about the same (at the start, moving the text after the character grows with it).
void BM_TypeInLongParagraph(benchmark::State& state) {
  HWND e = paragraph(static_cast<std::size_t>(state.range(0)) << 20);
  const auto at = static_cast<WPARAM>(state.range(1) == 0 ? GetWindowTextLength(e) : 0);
  SendMessage(e, EM_SETSEL, at, static_cast<LPARAM>(at));
  test::runUntilIdle();
  for (auto _ : state) {
    SendMessage(e, WM_CHAR, 'x', 0);
    test::runUntilIdle();
  }
  state.counters["lines"] = static_cast<double>(SendMessage(e, EM_GETLINECOUNT, 0, 0));
}
BENCHMARK(BM_TypeInLongParagraph)
    ->ArgNames({"MB", "start"})
    ->Args({16, 0})
    ->Args({64, 0})
    ->Args({16, 1})
    ->Args({64, 1})
    ->Unit(benchmark::kMillisecond);

// Setting the paragraph's text and its one bold word: the whole paragraph wrapped.
void BM_SetFormattedParagraph(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(paragraph(static_cast<std::size_t>(state.range(0)) << 10));
}
BENCHMARK(BM_SetFormattedParagraph)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

// The editor's control (long lines, no wrapping) holding the given megabytes of records.
HWND plain(int megabytes) {
  static HWND e = nullptr;
  static int loaded = 0;
  if (!e) {
    HWND p = CreateWindowEx(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                            nullptr, nullptr);
    e = CreateWindowEx(0, RICHEDIT_CLASS, "",
                       WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                           ES_NOHIDESEL,
                       0, 0, 780, 560, p, nullptr, nullptr, nullptr);
    SendMessage(e, EM_EXLIMITTEXT, 0, 104857500);
  }
  if (loaded != megabytes) {
    std::string t;
    t.reserve(static_cast<std::size_t>(megabytes) << 20);
    for (int i = 0; t.size() < (static_cast<std::size_t>(megabytes) << 20); ++i)
      t += "1987-03-" + std::to_string(i % 28 + 10) + ";" + std::to_string(i % 997) + ".5;0.3\r\n";
    t.resize(std::min<std::size_t>(t.size(), 104857500));
    SetWindowText(e, t.c_str());
    loaded = megabytes;
    SetFocus(e);
    SendMessage(e, EM_SETSEL, 0, 0);
    test::runUntilIdle();
  }
  return e;
}

// Caret keys through the text: End, Down, Ctrl+End, Up, Home, Ctrl+Home, each laid out and
// painted; the time is for one key.
void BM_CaretKeyAfterLoad(benchmark::State& state) {
  HWND e = plain(static_cast<int>(state.range(0)));
  static const int kKeys[] = {VK_END, VK_DOWN, VK_NEXT, VK_END, VK_UP, VK_HOME};
  int k = 0;
  for (auto _ : state) {
    const int key = kKeys[k % 6];
    if (k % 12 == 11) test::pressKey(VK_END, test::kCtrl);
    else if (k % 12 == 5) test::pressKey(VK_HOME, test::kCtrl);
    else SendMessage(e, WM_KEYDOWN, static_cast<WPARAM>(key), 0);
    test::runUntilIdle();
    ++k;
  }
  state.counters["chars"] = static_cast<double>(GetWindowTextLength(e));
}
BENCHMARK(BM_CaretKeyAfterLoad)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// The queries a status bar and a colouring routine send, near the end of the text: line
// count, the line of a position, its index and length, a position's place and the character
// at a place.
void BM_LineQueriesAfterLoad(benchmark::State& state) {
  HWND e = plain(static_cast<int>(state.range(0)));
  const auto n = static_cast<WPARAM>(GetWindowTextLength(e));
  SendMessage(e, EM_SETSEL, n, n);
  for (auto _ : state) {
    const LRESULT count = SendMessage(e, EM_GETLINECOUNT, 0, 0);
    const LRESULT line = SendMessage(e, EM_LINEFROMCHAR, n - 100, 0);
    const LRESULT index = SendMessage(e, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const LRESULT length = SendMessage(e, EM_LINELENGTH, static_cast<WPARAM>(index), 0);
    const LRESULT at = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    const LRESULT ch = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(40, 100));
    benchmark::DoNotOptimize(count + line + index + length + at + ch);
  }
  state.counters["chars"] = static_cast<double>(GetWindowTextLength(e));
}
BENCHMARK(BM_LineQueriesAfterLoad)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

// A repaint of the whole control with the caret at the end of the text.
void BM_RepaintAfterLoad(benchmark::State& state) {
  HWND e = plain(static_cast<int>(state.range(0)));
  const auto n = static_cast<WPARAM>(GetWindowTextLength(e));
  SendMessage(e, EM_SETSEL, n, n);
  test::runUntilIdle();
  for (auto _ : state) {
    InvalidateRect(e, nullptr, TRUE);
    UpdateWindow(e);
  }
  state.counters["chars"] = static_cast<double>(GetWindowTextLength(e));
}
BENCHMARK(BM_RepaintAfterLoad)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

