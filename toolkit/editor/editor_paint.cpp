// Custom painting of an editor's text (after yyeditsetcallback): the control's paint request
// is answered here line by line, each line coloured by the segments yyeditparsecallback gives.
#include <algorithm>
#include <array>
#include <string>

#include "platform/gdi.h"
#include "platform/richedit.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/window/window.h"

using namespace win;

LRESULT yyEditSubRTF(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

constexpr int kMaxSegments = 100;

// The pixel position of a character as the control lays it out.
POINT yyEditPosFromChar(HWND control, int position) {
  const auto packed = static_cast<DWORD>(SendMessage(control, EM_POSFROMCHAR, static_cast<WPARAM>(position), 0));
  return POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
}

struct Painter {
  HWND control;
  HDC dc;
  const EditorRecord& r;
  int lineheight;
  int selstart, selend;
  bool all;
  COLORREF text = GetSysColor(COLOR_WINDOWTEXT), window = GetSysColor(COLOR_WINDOW),
           hightext = GetSysColor(COLOR_HIGHLIGHTTEXT), high = GetSysColor(COLOR_HIGHLIGHT);

  // A run of one line from control position first, piece by piece between its tabs, each
  // piece where the control puts its first character; a tab's cell is highlighted when it
  // lies in the selection.
  void yyEditTextOut(const std::string& line, int linestart, int from, int length, COLORREF fore, COLORREF back) {
    SetTextColor(dc, fore);
    SetBkColor(dc, back);
    int k = from;
    const int end = from + length;
    while (k < end) {
      int piece = k;
      while (piece < end && line[static_cast<std::size_t>(piece)] != '\t') ++piece;
      if (piece > k) {
        const POINT p = yyEditPosFromChar(control, linestart + k);
        SIZE size{};
        GetTextExtentPoint32(dc, line.data() + k, piece - k, size);
        RECT cell{p.x, p.y, p.x + size.cx, p.y + lineheight};
        ExtTextOut(dc, p.x, p.y, ETO_OPAQUE, &cell, line.data() + k, static_cast<UINT>(piece - k), nullptr);
      }
      if (piece < end) {
        const int at = linestart + piece;
        if (all || (at >= selstart && at < selend)) {
          const POINT a = yyEditPosFromChar(control, at), b = yyEditPosFromChar(control, at + 1);
          RECT cell{a.x, a.y, std::max(b.y == a.y ? b.x : a.x + lineheight / 2, a.x + 1), a.y + lineheight};
          HBRUSH brush = CreateSolidBrush(high);
          FillRect(dc, cell, brush);
          DeleteObject(brush);
        }
        ++piece;
      }
      k = piece;
    }
  }

  // A highlighted blank at position at (a line end inside the selection).
  void blank(int at) {
    const POINT p = yyEditPosFromChar(control, at);
    SIZE size{};
    GetTextExtentPoint32(dc, " ", 1, size);
    RECT cell{p.x, p.y, p.x + size.cx, p.y + lineheight};
    HBRUSH brush = CreateSolidBrush(high);
    FillRect(dc, cell, brush);
    DeleteObject(brush);
  }
};

void paint(HWND control, const EditorRecord& r) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(control, ps);
  RECT client;
  GetClientRect(control, client);
  HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  // The outermost columns are the background; drawing stays between them.
  FillRect(dc, RECT{client.left, client.top, client.left + 1, client.bottom}, background);
  FillRect(dc, RECT{client.right - 1, client.top, client.right, client.bottom}, background);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, client.left + 1, client.top, client.right - 1, client.bottom);
  HGDIOBJ oldfont = SelectObject(dc, r.font != nullptr ? r.font : GetStockObject(SYSTEM_FONT));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, tm);
  DWORD s = 0, e = 0;
  SendMessage(control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  const int length = static_cast<int>(SendMessage(control, WM_GETTEXTLENGTH, 0, 0));
  Painter p{control, dc, r, r.lineheight > 0 ? r.lineheight : static_cast<int>(tm.tmHeight), static_cast<int>(s),
            static_cast<int>(e), length > 0 && s == 0 && static_cast<int>(e) >= length};
  const int count = static_cast<int>(SendMessage(control, EM_GETLINECOUNT, 0, 0));
  const int first = static_cast<int>(SendMessage(control, EM_GETFIRSTVISIBLELINE, 0, 0));
  const int window = yygetwindowindex(GetParent(control));
  std::array<int, kMaxSegments> starts{}, ends{}, colours{};
  int bottom = client.top;
  for (int line = first; line < count; ++line) {
    const int start = static_cast<int>(SendMessage(control, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    if (start < 0) break;
    const int top = static_cast<int>(yyEditPosFromChar(control, start).y);
    if (top >= client.bottom) break;
    const int n = std::min(static_cast<int>(SendMessage(control, EM_LINELENGTH, static_cast<WPARAM>(start), 0)), 32768);
    std::string text(static_cast<std::size_t>(std::max(n, 1)) + 1, '\0');
    *reinterpret_cast<WORD*>(text.data()) = static_cast<WORD>(std::min(n + 1, 0xFFFF));
    const int got = n > 0 ? static_cast<int>(SendMessage(control, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text.data()))) : 0;
    text.resize(static_cast<std::size_t>(std::clamp(got, 0, n)));
    const int len = static_cast<int>(text.size());
    RECT band{client.left + 1, line == first ? client.top : top, client.right - 1, top + p.lineheight + 1};
    FillRect(dc, band, background);
    bottom = top + p.lineheight;
    if (p.all) {
      if (len == 0) p.blank(start);
      else p.yyEditTextOut(text, start, 0, len, p.hightext, p.high);
      continue;
    }
    int a = -1, b = -1;
    if (p.selstart < p.selend && p.selstart <= start + len && p.selend > start) {
      a = std::max(1, p.selstart - start + 1);
      b = std::min(p.selend - start, len);
    }
    int segments = 0;
    starts[0] = ends[0] = colours[0] = 0;
    yyeditparsecallback(window, a, b, kMaxSegments, starts.data(), ends.data(), colours.data(), segments, text.c_str(), len);
    segments = std::clamp(segments, 0, kMaxSegments);
    int at = 0;   // 0-based: what is drawn so far
    for (int k = 0; k < segments; ++k) {
      const int from = std::clamp(starts[static_cast<std::size_t>(k)] - 1, at, len);
      const int to = std::clamp(ends[static_cast<std::size_t>(k)], from, len);
      if (from > at) p.yyEditTextOut(text, start, at, from - at, p.text, p.window);
      if (to > from) {
        const int c = colours[static_cast<std::size_t>(k)];
        if (c == -1) p.yyEditTextOut(text, start, from, to - from, p.hightext, p.high);
        else p.yyEditTextOut(text, start, from, to - from, static_cast<COLORREF>(c), p.window);
      }
      at = std::max(at, to);
    }
    if (at < len) p.yyEditTextOut(text, start, at, len - at, p.text, p.window);
    // The line end inside the selection.
    const int lineend = start + len;
    if (lineend < length && p.selstart <= lineend && p.selend > lineend) p.blank(lineend);
  }
  if (bottom < client.bottom) FillRect(dc, RECT{client.left + 1, bottom + 1, client.right - 1, client.bottom}, background);
  // The caret at the selection's end, as the control draws it.
  if (GetFocus() == control) {
    const POINT c = yyEditPosFromChar(control, static_cast<int>(e));
    HBRUSH caret = CreateSolidBrush(p.text);
    FillRect(dc, RECT{c.x, c.y, c.x + 1, c.y + p.lineheight}, caret);
    DeleteObject(caret);
  }
  SelectObject(dc, oldfont);
  RestoreDC(dc, saved);
  DeleteObject(background);
  EndPaint(control, ps);
}

}  // namespace

LRESULT yyEditSubRTF(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  EditorRecord* r = yyeditrecord(GetParent(hwnd));
  if (r == nullptr || r->richproc == nullptr) return DefWindowProc(hwnd, msg, wParam, lParam);
  if (msg == WM_PAINT && r->custompaint) {
    paint(hwnd, *r);
    return 0;
  }
  return CallWindowProc(r->richproc, hwnd, msg, wParam, lParam);
}

void yyeditsetcallback() {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr || r->custompaint) return;
  r->custompaint = true;
  r->richproc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(r->control, GWLP_WNDPROC));
  SetWindowLongPtr(r->control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yyEditSubRTF));
  InvalidateRect(r->control, nullptr, TRUE);
}
