// platform/tooltip.cpp: the tooltip control: a hidden pop-up window that keeps a list of
// tools (rectangles of windows, or whole windows), watches the mouse messages its owners relay
// to it, and shows the tool's text beside the pointer after the pointer has rested there.
// Invariants: (1) at most one tool is current (the one under the pointer) and the tip shows
// only the current tool's text; (2) the timer 1 runs while a tip is waiting to show, timer 2
// while one is shown (it takes the tip away after the automatic pop delay), timer 3 while a
// tool is current (its owner relays nothing once the pointer has left its window).
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu_toolbar.h"
#include "platform/resource.h"

namespace win {

namespace {

constexpr UINT_PTR kShowTimer = 1, kPopTimer = 2, kLeaveTimer = 3;
constexpr UINT kLeaveCheck = 100;   // ms between looks whether the pointer left the tool

struct Tool {
  TOOLINFO info;
  std::string text;   // when info.lpszText is a text of its own
};

struct Tips {
  std::vector<Tool> tools;
  bool active = true;
  int current = -1;   // the tool under the pointer
  bool shown = false;
  UINT initial = 500, autopop = 5000, reshow = 100;
};

Tips* tipsOf(HWND h) { return reinterpret_cast<Tips*>(GetWindowLongPtr(h, 0)); }

bool sameTool(const TOOLINFO& a, const TOOLINFO& b) { return a.hwnd == b.hwnd && a.uId == b.uId; }

int findTool(const Tips& t, const TOOLINFO& ti) {
  for (std::size_t i = 0; i < t.tools.size(); ++i)
    if (sameTool(t.tools[i].info, ti)) return static_cast<int>(i);
  return -1;
}

void storeText(Tool& tool, LPSTR text) {
  tool.info.lpszText = text;
  if (text && text != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(text)) {
    tool.text = text;
    tool.info.lpszText = nullptr;   // the copy is the text
  } else {
    tool.text.clear();
  }
}

// The tool under a mouse message relayed from one of the tools' windows; -1 for none.
int toolAt(const Tips& t, const MSG& m) {
  POINT p = m.pt;
  for (std::size_t i = 0; i < t.tools.size(); ++i) {
    const TOOLINFO& ti = t.tools[i].info;
    if (ti.uFlags & TTF_IDISHWND) {
      HWND tw = reinterpret_cast<HWND>(ti.uId);
      RECT r;
      if (GetWindowRect(tw, r) && PtInRect(r, p)) return static_cast<int>(i);
      continue;
    }
    if (!IsWindow(ti.hwnd)) continue;
    POINT c = p;
    ScreenToClient(ti.hwnd, c);
    if (PtInRect(ti.rect, c)) return static_cast<int>(i);
  }
  return -1;
}

// The text of a tool: its own, a string of the program, or asked of its window.
std::string textOf(HWND tip, const Tool& tool) {
  const TOOLINFO& ti = tool.info;
  if (ti.lpszText == nullptr) return tool.text;
  if (ti.lpszText != LPSTR_TEXTCALLBACK) {
    char buffer[256] = {};
    LoadString(ti.hinst, static_cast<UINT>(reinterpret_cast<std::uintptr_t>(ti.lpszText)), buffer, sizeof buffer);
    return buffer;
  }
  NMTTDISPINFO info;
  info.hdr.hwndFrom = tip;
  info.hdr.idFrom = ti.uId;
  info.hdr.code = TTN_GETDISPINFO;
  info.uFlags = ti.uFlags;
  info.lParam = ti.lParam;
  HWND to = ti.hwnd;
  if (!IsWindow(to)) return std::string();
  SendMessage(to, WM_NOTIFY, static_cast<WPARAM>(ti.uId), reinterpret_cast<LPARAM>(&info));
  if (info.lpszText && info.lpszText != info.szText && info.lpszText != LPSTR_TEXTCALLBACK) {
    if (IS_INTRESOURCE(info.lpszText)) {
      char buffer[256] = {};
      LoadString(info.hinst, static_cast<UINT>(reinterpret_cast<std::uintptr_t>(info.lpszText)), buffer, sizeof buffer);
      return buffer;
    }
    return info.lpszText;
  }
  info.szText[sizeof info.szText - 1] = '\0';
  return info.szText;
}

HFONT tipFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

bool pointerOnTool(const Tips& t) {
  if (t.current < 0) return false;
  MSG m;
  GetCursorPos(m.pt);
  return toolAt(t, m) == t.current;
}

void hideTip(HWND tip, Tips& t) {
  KillTimer(tip, kShowTimer);
  KillTimer(tip, kPopTimer);
  if (t.shown) {
    t.shown = false;
    ShowWindow(tip, SW_HIDE);
  }
}

void showTip(HWND tip, Tips& t) {
  KillTimer(tip, kShowTimer);
  if (t.current < 0 || !t.active) return;
  const std::string text = textOf(tip, t.tools[static_cast<std::size_t>(t.current)]);
  Tips* again = tipsOf(tip);   // the notification may have changed the tools
  if (!again || again->current < 0 || text.empty()) return;
  SetWindowText(tip, text.c_str());
  HDC dc = GetDC(nullptr);
  SIZE s{static_cast<LONG>(text.size() * 6), 13};
  if (dc) {
    HGDIOBJ old = SelectObject(dc, tipFont());
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), s);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
  }
  POINT p;
  GetCursorPos(p);
  const int w = s.cx + 8, h = s.cy + 4;
  int x = p.x, y = p.y + 20;
  x = std::clamp(x, 0, std::max(0, GetSystemMetrics(SM_CXSCREEN) - w));
  if (y + h > GetSystemMetrics(SM_CYSCREEN)) y = p.y - h - 4;
  SetWindowPos(tip, HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  t.shown = true;
  InvalidateRect(tip, nullptr, TRUE);
  UpdateWindow(tip);
  SetTimer(tip, kPopTimer, t.autopop, nullptr);
}

void relay(HWND tip, Tips& t, const MSG& m) {
  if (!t.active) return;
  const int at = toolAt(t, m);
  switch (m.message) {
    case WM_MOUSEMOVE:
      if (at == t.current) return;
      {
        const bool wasShown = t.shown;
        hideTip(tip, t);
        t.current = at;
        // Moving from one shown tip to the next tool shows the next one quickly.
        if (at >= 0 && t.active) {
          SetTimer(tip, kShowTimer, wasShown ? t.reshow : t.initial, nullptr);
          SetTimer(tip, kLeaveTimer, kLeaveCheck, nullptr);
        }
      }
      return;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
      hideTip(tip, t);
      t.current = at;
      return;
    default:
      return;
  }
}

LRESULT tooltipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Tips* t = tipsOf(hwnd);
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(new Tips));
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_NCDESTROY:
      delete t;
      SetWindowLongPtr(hwnd, 0, 0);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, ps);
      if (dc) {
        RECT r;
        GetClientRect(hwnd, r);
        HBRUSH back = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
        FillRect(dc, r, back);
        DeleteObject(back);
        HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_INFOTEXT));
        FrameRect(dc, r, frame);
        DeleteObject(frame);
        char text[256] = {};
        GetWindowText(hwnd, text, sizeof text);
        HGDIOBJ old = SelectObject(dc, tipFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        DrawText(dc, text, -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
      }
      EndPaint(hwnd, ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (!t) return 0;
      if (wParam == kShowTimer) showTip(hwnd, *t);
      else if (wParam == kPopTimer) hideTip(hwnd, *t);
      else if (wParam == kLeaveTimer && !pointerOnTool(*t)) {
        KillTimer(hwnd, kLeaveTimer);
        hideTip(hwnd, *t);
        t->current = -1;
      }
      return 0;
    default:
      break;
  }
  if (!t) return DefWindowProc(hwnd, msg, wParam, lParam);
  auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
  switch (msg) {
    case TTM_ACTIVATE:
      t->active = wParam != 0;
      if (!t->active) {
        hideTip(hwnd, *t);
        KillTimer(hwnd, kLeaveTimer);
        t->current = -1;
      }
      return 0;
    case TTM_SETDELAYTIME: {
      const int ms = static_cast<int>(lParam);
      const UINT value = ms < 0 ? 0 : static_cast<UINT>(ms);
      if (wParam == TTDT_INITIAL) t->initial = ms < 0 ? 500 : value;
      else if (wParam == TTDT_AUTOPOP) t->autopop = ms < 0 ? 5000 : value;
      else if (wParam == TTDT_RESHOW) t->reshow = ms < 0 ? 100 : value;
      else if (wParam == TTDT_AUTOMATIC) {
        t->initial = ms < 0 ? 500 : value;
        t->autopop = ms < 0 ? 5000 : value * 10;
        t->reshow = ms < 0 ? 100 : value / 5;
      }
      return 0;
    }
    case TTM_ADDTOOL: {
      if (!ti || findTool(*t, *ti) >= 0) return FALSE;
      Tool tool;
      tool.info = *ti;
      storeText(tool, ti->lpszText);
      t->tools.push_back(tool);
      return TRUE;
    }
    case TTM_DELTOOL: {
      const int i = ti ? findTool(*t, *ti) : -1;
      if (i < 0) return 0;
      if (i == t->current) {
        hideTip(hwnd, *t);
        t->current = -1;
      } else if (i < t->current) {
        --t->current;
      }
      t->tools.erase(t->tools.begin() + i);
      return 0;
    }
    case TTM_NEWTOOLRECT: {
      const int i = ti ? findTool(*t, *ti) : -1;
      if (i >= 0) t->tools[static_cast<std::size_t>(i)].info.rect = ti->rect;
      return 0;
    }
    case TTM_GETTOOLINFO: {
      const int i = ti ? findTool(*t, *ti) : -1;
      if (i < 0) return FALSE;
      LPSTR buffer = ti->lpszText;
      const Tool& tool = t->tools[static_cast<std::size_t>(i)];
      *ti = tool.info;
      if (tool.info.lpszText == nullptr && buffer && buffer != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(buffer)) {
        const std::size_t n = std::min<std::size_t>(tool.text.size(), 79);
        tool.text.copy(buffer, n);
        buffer[n] = '\0';
        ti->lpszText = buffer;
      }
      return TRUE;
    }
    case TTM_SETTOOLINFO: {
      const int i = ti ? findTool(*t, *ti) : -1;
      if (i < 0) return 0;
      Tool& tool = t->tools[static_cast<std::size_t>(i)];
      tool.info = *ti;
      storeText(tool, ti->lpszText);
      return 0;
    }
    case TTM_UPDATETIPTEXT: {
      const int i = ti ? findTool(*t, *ti) : -1;
      if (i < 0) return 0;
      storeText(t->tools[static_cast<std::size_t>(i)], ti->lpszText);
      if (i == t->current && t->shown) showTip(hwnd, *t);
      return 0;
    }
    case TTM_GETTEXT: {
      const int i = ti ? findTool(*t, *ti) : -1;
      if (i < 0 || !ti->lpszText) return 0;
      const std::string text = textOf(hwnd, t->tools[static_cast<std::size_t>(i)]);
      const std::size_t n = std::min<std::size_t>(text.size(), 79);
      text.copy(ti->lpszText, n);
      ti->lpszText[n] = '\0';
      return 0;
    }
    case TTM_GETTOOLCOUNT:
      return static_cast<LRESULT>(t->tools.size());
    case TTM_RELAYEVENT:
      if (const MSG* m = reinterpret_cast<const MSG*>(lParam)) relay(hwnd, *t, *m);
      return 0;
    case TTM_POP:
      hideTip(hwnd, *t);
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

BOOL registerTooltipClass() {
  WNDCLASS wc;
  if (GetClassInfo(nullptr, TOOLTIPS_CLASS, wc)) return TRUE;
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = tooltipProc;
  wc.cbWndExtra = sizeof(void*);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = TOOLTIPS_CLASS;
  return RegisterClass(wc) != 0;
}

}  // namespace win
