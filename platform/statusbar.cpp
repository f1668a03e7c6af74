// platform/statusbar.cpp: the status-bar control: parts with their texts and borders, simple
// mode, the size grip, and its own placement along the bottom of its parent.
// Invariants: (1) a bar has 1-256 parts, each with a right edge (-1 reaches the bar's right
// end) and a text; (2) the simple-mode text is kept apart, so that leaving simple mode shows
// the parts as they were.
#include "platform/statusbar.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/classic_draw.h"
#include "platform/gdi.h"

namespace win {

namespace {

struct Part {
  int right = -1;
  std::string text;
  UINT border = 0;
};

struct StatusBar {
  std::vector<Part> parts = std::vector<Part>(1);
  Part simple;
  bool simpleMode = false;
  int minHeight = 0;
};

constexpr int kBorderH = 0, kBorderV = 2, kGap = 2;

StatusBar* bar(HWND h) { return reinterpret_cast<StatusBar*>(GetWindowLongPtr(h, 0)); }

int barHeight(const StatusBar& b) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return std::max({static_cast<int>(tm.tmHeight) + 2 * kBorderV + 6, 20, b.minHeight});
}

bool hasGrip(HWND h) {
  if (!(static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & SBARS_SIZEGRIP)) return false;
  HWND top = GetAncestor(h, GA_ROOT);
  return top == nullptr || !IsZoomed(top);
}

RECT partRect(HWND h, const StatusBar& b, int index) {
  RECT c;
  GetClientRect(h, c);
  RECT r{c.left, c.top + kBorderV, c.right, c.bottom};
  if (b.simpleMode) return r;
  r.left = index == 0 ? kBorderH : b.parts[static_cast<std::size_t>(index - 1)].right + kGap;
  if (index > 0 && b.parts[static_cast<std::size_t>(index - 1)].right == -1) r.left = c.right;
  const int right = b.parts[static_cast<std::size_t>(index)].right;
  r.right = right == -1 ? c.right : std::min<int>(right, c.right);
  if (r.left > r.right) r.left = r.right;
  return r;
}

RECT gripRect(HWND h) {
  RECT c;
  GetClientRect(h, c);
  const int size = c.bottom - c.top - kBorderV;
  return RECT{c.right - size, c.bottom - size, c.right, c.bottom};
}

using draw::line;

void drawBorder(HDC dc, const RECT& r, UINT border) {
  if (border & SBT_NOBORDERS) return;
  const bool raised = (border & SBT_POPOUT) != 0;
  const COLORREF dark = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF tl = raised ? light : dark, br = raised ? dark : light;
  line(dc, r.left, r.bottom - 1, r.left, r.top, tl);
  line(dc, r.left, r.top, r.right - 1, r.top, tl);
  line(dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, br);
  line(dc, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, br);
}

// A tab starts the centred text, a second tab the right-aligned one.
void drawText(HDC dc, RECT r, const std::string& text) {
  InflateRect(r, -3, -1);
  std::string pieces[3];
  int k = 0;
  for (char ch : text) {
    if (ch == '\t' && k < 2) { ++k; continue; }
    pieces[k] += ch;
  }
  static const UINT align[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  for (int i = 0; i < 3; ++i)
    if (!pieces[i].empty())
      DrawText(dc, pieces[i].c_str(), static_cast<int>(pieces[i].size()), r,
               align[i] | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void paint(HWND h) {
  StatusBar* b = bar(h);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  if (b) {
    RECT c;
    GetClientRect(h, c);
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    FillRect(dc, c, face);
    DeleteObject(face);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    if (b->simpleMode) {
      const RECT r = partRect(h, *b, 0);
      drawBorder(dc, r, b->simple.border);
      drawText(dc, r, b->simple.text);
    } else {
      for (int i = 0; i < static_cast<int>(b->parts.size()); ++i) {
        const RECT r = partRect(h, *b, i);
        if (r.right <= r.left) continue;
        drawBorder(dc, r, b->parts[static_cast<std::size_t>(i)].border);
        drawText(dc, r, b->parts[static_cast<std::size_t>(i)].text);
      }
    }
    if (hasGrip(h)) {
      const RECT g = gripRect(h);
      const COLORREF dark = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
      for (int k = 3; k < g.right - g.left; k += 4) {
        line(dc, g.right - k, g.bottom - 1, g.right, g.bottom - 1 - k, dark);
        line(dc, g.right - k + 1, g.bottom - 1, g.right, g.bottom - k, dark);
        line(dc, g.right - k - 1, g.bottom - 1, g.right, g.bottom - 2 - k, light);
      }
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

// Its own placement: the bottom (or top) of the parent's client area, the parent's width.
void place(HWND h) {
  StatusBar* b = bar(h);
  const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  HWND parent = GetParent(h);
  if (!b || !parent || (style & CCS_NORESIZE) || (style & CCS_NOPARENTALIGN)) return;
  RECT pc;
  GetClientRect(parent, pc);
  const int height = barHeight(*b);
  const int y = (style & CCS_BOTTOM) == CCS_TOP ? 0 : pc.bottom - height;
  SetWindowPos(h, nullptr, 0, y, pc.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR textResult(const Part& p) {
  return static_cast<UINT_PTR>(MAKELONG(static_cast<WORD>(p.text.size()), static_cast<WORD>(p.border)));
}

void invalidatePart(HWND h, StatusBar& b, int index) {
  const RECT r = partRect(h, b, index);
  InvalidateRect(h, &r, TRUE);
}

LRESULT statusProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  StatusBar* b = bar(h);
  switch (msg) {
    case WM_NCCREATE: {
      SetWindowLongPtr(h, 0, reinterpret_cast<LONG_PTR>(new StatusBar));
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (cs && cs->lpszName) bar(h)->parts[0].text = cs->lpszName;
      return DefWindowProc(h, msg, wParam, lParam);
    }
    case WM_NCDESTROY:
      delete b;
      SetWindowLongPtr(h, 0, 0);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_SIZE:
      place(h);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(h, p);
      if (hasGrip(h) && PtInRect(gripRect(h), p)) return HTBOTTOMRIGHT;
      return HTCLIENT;
    }
    case WM_NCLBUTTONDOWN:
      if (wParam == static_cast<WPARAM>(HTBOTTOMRIGHT)) {
        // The grip sizes the top-level window that holds the bar.
        HWND top = GetAncestor(h, GA_ROOT);
        if (top) SendMessage(top, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, lParam);
        return 0;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_SETCURSOR:
      if (LOWORD(static_cast<UINT_PTR>(lParam)) == HTBOTTOMRIGHT) {
        SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
        return TRUE;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_SETTEXT:
      if (!b) return FALSE;
      b->parts[0].text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      invalidatePart(h, *b, 0);
      return TRUE;
    case WM_GETTEXTLENGTH:
      return b ? static_cast<LRESULT>(b->parts[0].text.size()) : 0;
    case WM_GETTEXT: {
      if (!b || wParam == 0 || !lParam) return 0;
      const std::size_t n = std::min<std::size_t>(b->parts[0].text.size(), wParam - 1);
      std::copy_n(b->parts[0].text.data(), n, reinterpret_cast<char*>(lParam));
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case SB_SETTEXT: {
      if (!b) return FALSE;
      const int index = static_cast<int>(wParam & 0xFF);
      Part* p = index == SB_SIMPLEID ? &b->simple
                : index < static_cast<int>(b->parts.size()) ? &b->parts[static_cast<std::size_t>(index)]
                                                            : nullptr;
      if (!p) return FALSE;
      p->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      p->border = static_cast<UINT>(wParam & (SBT_NOBORDERS | SBT_POPOUT));
      if (index == SB_SIMPLEID ? b->simpleMode : !b->simpleMode) {
        if (index == SB_SIMPLEID) InvalidateRect(h, nullptr, TRUE);
        else invalidatePart(h, *b, index);
      }
      return TRUE;
    }
    case SB_GETTEXT:
    case SB_GETTEXTLENGTH: {
      if (!b) return 0;
      const int index = static_cast<int>(wParam & 0xFF);
      const Part* p = index == SB_SIMPLEID ? &b->simple
                      : index < static_cast<int>(b->parts.size()) ? &b->parts[static_cast<std::size_t>(index)]
                                                                  : nullptr;
      if (!p) return 0;
      if (msg == SB_GETTEXT && lParam) {
        char* out = reinterpret_cast<char*>(lParam);
        std::copy(p->text.begin(), p->text.end(), out);
        out[p->text.size()] = '\0';
      }
      return static_cast<LRESULT>(textResult(*p));
    }
    case SB_SETPARTS: {
      if (!b || wParam < 1 || wParam > 256 || !lParam) return FALSE;
      const int* edges = reinterpret_cast<const int*>(lParam);
      b->parts.resize(wParam);
      for (std::size_t i = 0; i < wParam; ++i) b->parts[i].right = edges[i];
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETPARTS: {
      if (!b) return 0;
      if (lParam) {
        int* edges = reinterpret_cast<int*>(lParam);
        for (std::size_t i = 0; i < std::min<std::size_t>(wParam, b->parts.size()); ++i) edges[i] = b->parts[i].right;
      }
      return static_cast<LRESULT>(b->parts.size());
    }
    case SB_GETBORDERS: {
      if (!lParam) return FALSE;
      int* out = reinterpret_cast<int*>(lParam);
      out[0] = kBorderH;
      out[1] = kBorderV;
      out[2] = kGap;
      return TRUE;
    }
    case SB_SETMINHEIGHT:
      if (b) b->minHeight = static_cast<int>(wParam);
      return 0;
    case SB_SIMPLE:
      if (!b) return 0;
      b->simpleMode = wParam != 0;
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case SB_ISSIMPLE:
      return b && b->simpleMode ? TRUE : FALSE;
    case SB_GETRECT: {
      if (!b || !lParam) return FALSE;
      const int index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(b->parts.size())) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = partRect(h, *b, index);
      return TRUE;
    }
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

BOOL RegisterStatusBarClass() {
  WNDCLASS probe;
  if (GetClassInfo(nullptr, STATUSCLASSNAME, probe)) return TRUE;
  WNDCLASS wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
  wc.lpfnWndProc = statusProc;
  wc.cbWndExtra = static_cast<int>(sizeof(void*));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = STATUSCLASSNAME;
  return RegisterClass(wc) != 0 ? TRUE : FALSE;
}

}  // namespace win
