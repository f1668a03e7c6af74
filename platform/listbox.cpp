// platform/listbox.cpp: the LISTBOX control class: texts with item data, single, multiple
// (LBS_MULTIPLESEL) or extended (LBS_EXTENDEDSEL) selection, sorted insertion (LBS_SORT,
// ignoring case), tab stops, a vertical scroll bar, keys and mouse.
//
// The combo box uses the class for its list ("ComboLBox", style LBS_COMBOBOX): such a list
// takes no input of its own; the combo box drives it with the requests below.
//
// Invariants: (1) a single-selection list has at most one selected item, cur, and
// items[cur].selected; (2) -1 <= cur < count, 0 <= caret < count unless the list is empty
// (caret -1); (3) notifications go out after the record is consistent, and nothing touches
// the record after one without checking that the list still exists.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/listbox.h"

namespace win {
namespace {

struct Item {
  std::string text;
  LPARAM data = 0;
  bool selected = false;
};

struct ListData {
  std::vector<Item> items;
  int cur = -1;      // single selection
  int caret = -1;    // the item with the focus rectangle
  int anchor = -1;   // extended selection: the fixed end of a Shift range
  int top = 0;
  int itemHeight = 0;   // 0: the font's height
  std::vector<int> tabStops;   // pixels
  HFONT font = nullptr;
  bool focused = false;
  bool tracking = false;
  bool scrollBar = false;   // created with WS_VSCROLL (the bar hides while nothing scrolls)
};

ControlRecords<ListData>& lists() {
  static ControlRecords<ListData> records;
  return records;
}

ListData* rec(HWND h) { return lists().find(h); }

bool multiSel(HWND h) { return (styleOf(h) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
int count(const ListData& d) { return static_cast<int>(d.items.size()); }
bool valid(const ListData& d, LONG_PTR i) { return i >= 0 && i < count(d); }

void notify(HWND h, WORD code) {
  const DWORD style = styleOf(h);
  if ((code == LBN_SELCHANGE || code == LBN_DBLCLK || code == LBN_SELCANCEL) && !(style & LBS_NOTIFY)) return;
  HWND parent = GetParent(h);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(h)), code), reinterpret_cast<LPARAM>(h));
}

int itemHeight(HWND h, const ListData& d) {
  if (d.itemHeight > 0) return d.itemHeight;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dlg::fontOf(h));
  const int lh = dlg::lineHeight(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::max(1, lh);
}

int visibleCount(HWND h, const ListData& d) {
  RECT c;
  GetClientRect(h, c);
  return std::max(1, static_cast<int>(c.bottom - c.top) / itemHeight(h, d));
}

void redraw(HWND h) {
  if (!(styleOf(h) & LBS_NOREDRAW)) InvalidateRect(h, nullptr, TRUE);
}

void updateScrollBar(HWND h, const ListData& d) {
  if (!d.scrollBar) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (styleOf(h) & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(0, count(d) - 1);
  si.nPage = static_cast<UINT>(visibleCount(h, d));
  si.nPos = d.top;
  SetScrollInfo(h, SB_VERT, si, TRUE);
}

void setTop(HWND h, ListData& d, int top) {
  const int last = std::max(0, count(d) - visibleCount(h, d));
  top = std::clamp(top, 0, last);
  if (top != d.top) {
    d.top = top;
    redraw(h);
  }
  updateScrollBar(h, d);
}

void showItem(HWND h, ListData& d, int i) {
  if (i < 0) return;
  const int vis = visibleCount(h, d);
  if (i < d.top) setTop(h, d, i);
  else if (i >= d.top + vis) setTop(h, d, i - vis + 1);
}

// Single selection: i becomes the selected item (-1 none) and the caret.
void selectOne(HWND h, ListData& d, int i) {
  if (d.cur >= 0 && d.cur < count(d)) d.items[static_cast<std::size_t>(d.cur)].selected = false;
  d.cur = i;
  if (i >= 0) {
    d.items[static_cast<std::size_t>(i)].selected = true;
    d.caret = i;
    showItem(h, d, i);
  }
  redraw(h);
}

void setRange(ListData& d, int a, int b, bool on) {
  if (a > b) std::swap(a, b);
  a = std::max(a, 0);
  b = std::min(b, count(d) - 1);
  for (int i = a; i <= b; ++i) d.items[static_cast<std::size_t>(i)].selected = on;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// First item from after start (wrapping) whose text begins with (exact: equals) s, ignoring case.
LRESULT find(const ListData& d, LONG_PTR start, std::string_view s, bool exact) {
  const int n = count(d);
  if (n == 0) return LB_ERR;
  const std::string key = lower(s);
  const int from = start < 0 || start >= n ? 0 : static_cast<int>(start) + 1;
  for (int k = 0; k < n; ++k) {
    const int i = (from + k) % n;
    const std::string t = lower(d.items[static_cast<std::size_t>(i)].text);
    if (exact ? t == key : t.compare(0, key.size(), key) == 0) return i;
  }
  return LB_ERR;
}

LRESULT insert(HWND h, ListData& d, LONG_PTR at, const char* text) {
  Item it;
  it.text = text ? text : "";
  int i = 0;
  if (at == -2) {   // added: at its place when sorted, else at the end
    i = count(d);
    if (styleOf(h) & LBS_SORT) {
      const std::string key = lower(it.text);
      i = 0;
      while (i < count(d) && lower(d.items[static_cast<std::size_t>(i)].text) <= key) ++i;
    }
  } else {
    if (at < -1 || at > count(d)) return LB_ERR;
    i = at == -1 ? count(d) : static_cast<int>(at);
  }
  d.items.insert(d.items.begin() + i, std::move(it));
  if (d.cur >= i) ++d.cur;
  if (d.caret >= i) ++d.caret;
  if (d.anchor >= i) ++d.anchor;
  if (d.caret < 0) d.caret = 0;
  updateScrollBar(h, d);
  redraw(h);
  return i;
}

LRESULT remove(HWND h, ListData& d, LONG_PTR at) {
  if (!valid(d, at)) return LB_ERR;
  const int i = static_cast<int>(at);
  d.items.erase(d.items.begin() + i);
  auto shift = [&](int& v) {
    if (v == i) v = -1;
    else if (v > i) --v;
  };
  shift(d.cur);
  shift(d.anchor);
  if (d.caret > i || d.caret >= count(d)) --d.caret;
  if (count(d) == 0) d.caret = -1;
  else if (d.caret < 0) d.caret = 0;
  setTop(h, d, d.top);
  redraw(h);
  return count(d);
}

//------------------------------------------------------------------------------
// Input
//------------------------------------------------------------------------------
int itemAt(HWND h, const ListData& d, int y) {
  if (y < 0) return -1;
  const int i = d.top + y / itemHeight(h, d);
  return i < count(d) ? i : -1;
}

// The user moved to item i: select, extend or just move the caret as the selection kind says.
void userMove(HWND h, int i, bool shift, bool ctrl) {
  ListData* d = rec(h);
  if (!d || count(*d) == 0) return;
  i = std::clamp(i, 0, count(*d) - 1);
  const DWORD style = styleOf(h);
  if (style & LBS_NOSEL) {
    d->caret = i;
    showItem(h, *d, i);
    redraw(h);
    return;
  }
  if (!multiSel(h)) {
    const bool changed = d->cur != i;
    selectOne(h, *d, i);
    if (changed) notify(h, LBN_SELCHANGE);
    return;
  }
  d->caret = i;
  showItem(h, *d, i);
  if ((style & LBS_EXTENDEDSEL) && !ctrl) {
    if (!shift || d->anchor < 0) d->anchor = i;
    for (Item& it : d->items) it.selected = false;
    setRange(*d, d->anchor, i, true);
    redraw(h);
    notify(h, LBN_SELCHANGE);
    return;
  }
  redraw(h);
}

void toggle(HWND h, int i) {
  ListData* d = rec(h);
  if (!d || !valid(*d, i) || (styleOf(h) & LBS_NOSEL)) return;
  Item& it = d->items[static_cast<std::size_t>(i)];
  it.selected = !it.selected;
  d->caret = i;
  d->anchor = i;
  redraw(h);
  notify(h, LBN_SELCHANGE);
}

void keyDown(HWND h, int vk) {
  ListData* d = rec(h);
  if (!d || count(*d) == 0) return;
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const int from = std::max(d->caret, 0);
  const int page = std::max(1, visibleCount(h, *d) - 1);
  int to = from;
  switch (vk) {
    case VK_UP: to = from - 1; break;
    case VK_DOWN: to = from + 1; break;
    case VK_PRIOR: to = from - page; break;
    case VK_NEXT: to = from + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = count(*d) - 1; break;
    case VK_SPACE:
      if (styleOf(h) & LBS_MULTIPLESEL) toggle(h, from);
      else if ((styleOf(h) & LBS_EXTENDEDSEL) && ctrl) toggle(h, from);
      return;
    default: return;
  }
  // A single-selection list without a selection first selects its caret item.
  if (!multiSel(h) && d->cur < 0 && (vk == VK_UP || vk == VK_DOWN)) to = from;
  userMove(h, to, shift, ctrl);
}

void typedChar(HWND h, char ch) {
  ListData* d = rec(h);
  if (!d || static_cast<unsigned char>(ch) < 0x20) return;
  const LRESULT i = find(*d, d->caret, std::string_view(&ch, 1), false);
  if (i != LB_ERR) userMove(h, static_cast<int>(i), false, false);
}

void mouseDown(HWND h, LPARAM lParam, WPARAM keys, bool dbl) {
  if (GetFocus() != h) SetFocus(h);
  ListData* d = rec(h);
  if (!IsWindow(h) || !d) return;
  const int i = itemAt(h, *d, GET_Y_LPARAM(lParam));
  if (i < 0) return;
  if ((styleOf(h) & LBS_MULTIPLESEL) || ((styleOf(h) & LBS_EXTENDEDSEL) && (keys & MK_CONTROL))) {
    if (!dbl) toggle(h, i);
  } else {
    userMove(h, i, (keys & MK_SHIFT) != 0, false);
    if (IsWindow(h) && rec(h)) {
      rec(h)->tracking = true;
      SetCapture(h);
    }
  }
  if (dbl && IsWindow(h)) notify(h, LBN_DBLCLK);
}

//------------------------------------------------------------------------------
// Painting
//------------------------------------------------------------------------------
void drawItemText(HDC dc, const ListData& d, bool tabs, int avg, int x, int y, const std::string& s) {
  if (!tabs || s.find('\t') == std::string::npos) {
    if (!s.empty()) TextOut(dc, x, y, s.c_str(), static_cast<int>(s.size()));
    return;
  }
  int at = 0;
  std::size_t from = 0;
  while (from <= s.size()) {
    const std::size_t tab = s.find('\t', from);
    const std::size_t to = tab == std::string::npos ? s.size() : tab;
    if (to > from) {
      TextOut(dc, x + at, y, s.c_str() + from, static_cast<int>(to - from));
      SIZE sz;
      GetTextExtentPoint32(dc, s.c_str() + from, static_cast<int>(to - from), sz);
      at += sz.cx;
    }
    if (tab == std::string::npos) break;
    at = nextTabStop(d.tabStops, at, avg);
    from = tab + 1;
  }
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  if (dc && rec(h)) {
    RECT client;
    GetClientRect(h, client);
    HGDIOBJ oldFont = SelectObject(dc, dlg::fontOf(h));
    const bool disabled = !IsWindowEnabled(h);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    HBRUSH brush = nullptr;
    HWND parent = GetParent(h);
    if (parent) brush = reinterpret_cast<HBRUSH>(SendMessage(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                                              reinterpret_cast<LPARAM>(h)));
    if (ListData* d = rec(h)) {
      dlg::fillBrush(dc, client, brush, GetSysColor(COLOR_WINDOW));
      const COLORREF text = GetTextColor(dc);
      SetBkMode(dc, TRANSPARENT);
      const int ih = itemHeight(h, *d);
      TEXTMETRIC tm;
      const int avg = GetTextMetrics(dc, tm) && tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 6;
      const bool tabs = (styleOf(h) & LBS_USETABSTOPS) != 0;
      for (int i = d->top; i < count(*d); ++i) {
        const int y = (i - d->top) * ih;
        if (y >= client.bottom) break;
        const RECT r{client.left, y, client.right, y + ih};
        const Item& it = d->items[static_cast<std::size_t>(i)];
        if (it.selected) {
          dlg::fillSolid(dc, r, GetSysColor(COLOR_HIGHLIGHT));
          SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
          SetTextColor(dc, text);
        }
        drawItemText(dc, *d, tabs, avg, r.left + 2, y, it.text);
        if (d->focused && i == d->caret && !(styleOf(h) & LBS_COMBOBOX)) dlg::focusRect(dc, r);
      }
      if (d->focused && count(*d) == 0 && !(styleOf(h) & LBS_COMBOBOX))
        dlg::focusRect(dc, RECT{client.left, client.top, client.right, client.top + ih});
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

//------------------------------------------------------------------------------
// Window procedure
//------------------------------------------------------------------------------
LRESULT listProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    lists().create(h).scrollBar = createdWith(lParam, WS_VSCROLL);
    return DefWindowProc(h, msg, wParam, lParam);
  }
  ListData* dp = lists().route(h, msg);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  ListData& d = *dp;
  const bool combo = (styleOf(h) & LBS_COMBOBOX) != 0;
  const LONG_PTR index = static_cast<LONG_PTR>(wParam);
  switch (msg) {
    case WM_CREATE:
      updateScrollBar(h, d);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SETFONT:
      d.font = reinterpret_cast<HFONT>(wParam);
      updateScrollBar(h, d);
      if (LOWORD(lParam)) redraw(h);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d.font);
    case WM_SIZE:
      setTop(h, d, d.top);
      redraw(h);
      return 0;
    case WM_ENABLE:
      redraw(h);
      return 0;
    case WM_MOUSEACTIVATE:
      // The dropped list of a combo box never takes the activation from the dialog.
      return combo ? MA_NOACTIVATE : DefWindowProc(h, msg, wParam, lParam);
    case WM_SETFOCUS:
      d.focused = true;
      redraw(h);
      notify(h, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      d.focused = false;
      endTracking(h, d.tracking);
      redraw(h);
      notify(h, LBN_KILLFOCUS);
      return 0;
    case WM_KEYDOWN:
      if (!combo) keyDown(h, static_cast<int>(wParam));
      return 0;
    case WM_CHAR:
      if (!combo) typedChar(h, static_cast<char>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!combo) mouseDown(h, lParam, wParam, msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      if (d.tracking) {
        RECT c;
        GetClientRect(h, c);
        const int y = GET_Y_LPARAM(lParam);
        const int i = y < 0 ? d.top - 1 : y >= c.bottom ? d.top + visibleCount(h, d) : itemAt(h, d, y);
        if (i >= 0 && i < count(d)) userMove(h, i, (styleOf(h) & LBS_EXTENDEDSEL) != 0, false);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (d.tracking) {
        d.tracking = false;
        if (msg == WM_LBUTTONUP && GetCapture() == h) ReleaseCapture();
      }
      return 0;
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: {
      int top = d.top;
      const int vis = visibleCount(h, d);
      if (msg == WM_MOUSEWHEEL) top -= 3 * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      else switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= vis; break;
        case SB_PAGEDOWN: top += vis; break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: top = HIWORD(wParam); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = count(d); break;
        default: break;
      }
      setTop(h, d, top);
      return 0;
    }
    case LB_ADDSTRING:
      return insert(h, d, -2, reinterpret_cast<const char*>(lParam));
    case LB_INSERTSTRING:
      return insert(h, d, index, reinterpret_cast<const char*>(lParam));
    case LB_DELETESTRING:
      return remove(h, d, index);
    case LB_RESETCONTENT:
      d.items.clear();
      d.cur = d.caret = d.anchor = -1;
      d.top = 0;
      updateScrollBar(h, d);
      redraw(h);
      return 0;
    case LB_GETCOUNT:
      return count(d);
    case LB_GETTEXT: {
      if (!valid(d, index)) return LB_ERR;
      const std::string& t = d.items[static_cast<std::size_t>(index)].text;
      if (char* out = reinterpret_cast<char*>(lParam)) std::memcpy(out, t.c_str(), t.size() + 1);
      return static_cast<LRESULT>(t.size());
    }
    case LB_GETTEXTLEN:
      return valid(d, index) ? static_cast<LRESULT>(d.items[static_cast<std::size_t>(index)].text.size()) : LB_ERR;
    case LB_GETITEMDATA:
      return valid(d, index) ? d.items[static_cast<std::size_t>(index)].data : LB_ERR;
    case LB_SETITEMDATA:
      if (!valid(d, index)) return LB_ERR;
      d.items[static_cast<std::size_t>(index)].data = lParam;
      return LB_OKAY;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
      const char* s = reinterpret_cast<const char*>(lParam);
      return find(d, index, s ? s : "", msg == LB_FINDSTRINGEXACT);
    }
    case LB_SELECTSTRING: {
      if (multiSel(h)) return LB_ERR;
      const char* s = reinterpret_cast<const char*>(lParam);
      const LRESULT i = find(d, index, s ? s : "", false);
      if (i != LB_ERR) selectOne(h, d, static_cast<int>(i));
      return i;
    }
    case LB_SETCURSEL:
      // Clearing the selection answers LB_ERR too, as an index out of range does.
      if (multiSel(h)) return LB_ERR;
      if (!valid(d, index)) {
        selectOne(h, d, -1);
        return LB_ERR;
      }
      selectOne(h, d, static_cast<int>(index));
      return index;
    case LB_GETCURSEL:
      if (multiSel(h)) return valid(d, d.caret) ? d.caret : LB_ERR;
      return d.cur >= 0 ? d.cur : LB_ERR;
    case LB_GETSEL:
      return valid(d, index) ? (d.items[static_cast<std::size_t>(index)].selected ? 1 : 0) : LB_ERR;
    case LB_SETSEL:
      if (!multiSel(h)) return LB_ERR;
      if (lParam == -1) {
        for (Item& it : d.items) it.selected = wParam != 0;
      } else {
        if (!valid(d, lParam)) return LB_ERR;
        d.items[static_cast<std::size_t>(lParam)].selected = wParam != 0;
        d.caret = static_cast<int>(lParam);
        d.anchor = static_cast<int>(lParam);
      }
      redraw(h);
      return LB_OKAY;
    case LB_SELITEMRANGE:
      if (!multiSel(h)) return LB_ERR;
      setRange(d, LOWORD(static_cast<UINT_PTR>(lParam)), HIWORD(static_cast<UINT_PTR>(lParam)), wParam != 0);
      redraw(h);
      return LB_OKAY;
    case LB_SELITEMRANGEEX: {
      if (!multiSel(h)) return LB_ERR;
      // First above last clears the range instead.
      const int a = static_cast<int>(index), b = static_cast<int>(lParam);
      setRange(d, std::min(a, b), std::max(a, b), a <= b);
      redraw(h);
      return LB_OKAY;
    }
    case LB_GETSELCOUNT: {
      if (!multiSel(h)) return LB_ERR;
      return std::count_if(d.items.begin(), d.items.end(), [](const Item& it) { return it.selected; });
    }
    case LB_GETSELITEMS: {
      if (!multiSel(h)) return LB_ERR;
      int* out = reinterpret_cast<int*>(lParam);
      int n = 0;
      for (int i = 0; i < count(d) && n < static_cast<int>(wParam); ++i)
        if (d.items[static_cast<std::size_t>(i)].selected) {
          if (out) out[n] = i;
          ++n;
        }
      return n;
    }
    case LB_GETTOPINDEX:
      return d.top;
    case LB_SETTOPINDEX:
      if (!valid(d, index) && !(index == 0 && count(d) == 0)) return LB_ERR;
      setTop(h, d, static_cast<int>(index));
      return LB_OKAY;
    case LB_GETITEMRECT: {
      if (!valid(d, index) && !(index == 0 && count(d) == 0)) return LB_ERR;
      RECT c;
      GetClientRect(h, c);
      const int ih = itemHeight(h, d);
      if (RECT* out = reinterpret_cast<RECT*>(lParam))
        *out = RECT{c.left, (static_cast<int>(index) - d.top) * ih, c.right, (static_cast<int>(index) - d.top + 1) * ih};
      return 1;
    }
    case LB_ITEMFROMPOINT: {
      // The nearest item, with 1 in the high word when the point is outside the client area.
      RECT c;
      GetClientRect(h, c);
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const bool outside = !PtInRect(c, p);
      if (count(d) == 0) return MAKELONG(0, 1);
      const int i = std::clamp(d.top + (p.y < 0 ? -1 : static_cast<int>(p.y) / itemHeight(h, d)), 0, count(d) - 1);
      const bool below = p.y >= (i - d.top + 1) * itemHeight(h, d);
      return MAKELONG(static_cast<WORD>(i), static_cast<WORD>(outside || below ? 1 : 0));
    }
    case LB_GETITEMHEIGHT:
      return itemHeight(h, d);
    case LB_SETITEMHEIGHT:
      if (LOWORD(static_cast<UINT_PTR>(lParam)) == 0 || LOWORD(static_cast<UINT_PTR>(lParam)) > 255) return LB_ERR;
      d.itemHeight = LOWORD(static_cast<UINT_PTR>(lParam));
      updateScrollBar(h, d);
      redraw(h);
      return LB_OKAY;
    case LB_SETTABSTOPS: {
      d.tabStops.clear();
      const LONG units = GetDialogBaseUnits();
      const int bx = std::max(1, static_cast<int>(LOWORD(static_cast<UINT_PTR>(units))));
      const int* stops = reinterpret_cast<const int*>(lParam);
      for (WPARAM i = 0; stops && i < wParam; ++i) d.tabStops.push_back(stops[i] * bx / 4);
      redraw(h);
      return TRUE;
    }
    case LB_GETCARETINDEX:
      return d.caret;
    case LB_SETCARETINDEX:
      if (!valid(d, index)) return LB_ERR;
      d.caret = static_cast<int>(index);
      showItem(h, d, d.caret);
      redraw(h);
      return LB_OKAY;
    case LB_GETANCHORINDEX:
      return d.anchor;
    case LB_SETANCHORINDEX:
      if (!valid(d, index)) return LB_ERR;
      d.anchor = static_cast<int>(index);
      return LB_OKAY;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerListBoxClasses() {
  registerControlClass("ListBox", listProc);
  WNDCLASS wc;
  if (GetClassInfo(nullptr, "ComboLBox", wc)) return;
  wc = WNDCLASS{};
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpfnWndProc = listProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "ComboLBox";
  RegisterClass(wc);
}
}  // namespace dlg

}  // namespace win
