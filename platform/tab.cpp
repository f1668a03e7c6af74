// platform/tab.cpp: the tab control class: one row of tabs along the top (each as wide as
// its text and 12 pixels; TCS_FIXEDWIDTH all as wide as the widest), the current one raised
// and joined to the display area's frame below; tabs past the right edge are cut off.
//
// The user changes the tab by a click or, with the focus, Left and Right: the parent is asked
// with TCN_SELCHANGING (non-zero keeps the tab) and told with TCN_SELCHANGE. TCM_SETCURSEL
// changes it without asking or telling.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/tab.h"

namespace win {
namespace {

constexpr int kPad = 6;

struct Tab {
  std::string text;
  int image = -1;
  DWORD state = 0;
  std::vector<BYTE> data;
};

struct TabData {
  std::vector<Tab> tabs;
  std::size_t extra = sizeof(LPARAM);
  int cur = -1;
  int focusTab = -1;
  bool focused = false;
  HFONT font = nullptr;
};

ControlRecords<TabData>& tabControls() {
  static ControlRecords<TabData> records;
  return records;
}

TabData* rec(HWND h) { return tabControls().find(h); }

int count(const TabData& d) { return static_cast<int>(d.tabs.size()); }

// The height of the strip of tabs and each tab's rectangle (the current one drawn 2 pixels
// larger all round but for its foot).
struct Strip {
  int height = 0;
  std::vector<RECT> rects;
};

Strip strip(HWND h, const TabData& d) {
  Strip s;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dlg::fontOf(h));
  s.height = dlg::lineHeight(dc) + 7;
  std::vector<int> widths;
  for (const Tab& t : d.tabs) {
    SIZE sz{};
    if (!t.text.empty()) GetTextExtentPoint32(dc, t.text.c_str(), static_cast<int>(t.text.size()), sz);
    widths.push_back(sz.cx + 2 * kPad);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  if ((styleOf(h) & TCS_FIXEDWIDTH) && !widths.empty()) {
    const int w = *std::max_element(widths.begin(), widths.end());
    std::fill(widths.begin(), widths.end(), w);
  }
  int x = 2;
  for (int w : widths) {
    s.rects.push_back(RECT{x, 2, x + w, s.height});
    x += w;
  }
  return s;
}

// The user picks tab i: asked, changed, told.
void userSelect(HWND h, int i) {
  TabData* d = rec(h);
  if (!d || i < 0 || i >= count(*d) || i == d->cur) return;
  const LRESULT refused = notifyParent(h, TCN_SELCHANGING);
  if (refused || !(d = rec(h)) || i >= count(*d)) return;
  d->cur = i;
  d->focusTab = i;
  InvalidateRect(h, nullptr, TRUE);
  notifyParent(h, TCN_SELCHANGE);
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  if (TabData* d = rec(h); dc && d) {
    RECT c;
    GetClientRect(h, c);
    HGDIOBJ oldFont = SelectObject(dc, dlg::fontOf(h));
    dlg::paintBackground(h, dc, WM_CTLCOLORSTATIC, c, COLOR_BTNTEXT);
    const Strip s = strip(h, *d);
    const RECT body{c.left, s.height, c.right, c.bottom};
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW),
                   dark = GetSysColor(COLOR_3DDKSHADOW);
    dlg::hline(dc, body.left, body.right, body.top, light);
    dlg::vline(dc, body.left, body.top, body.bottom, light);
    dlg::vline(dc, body.right - 1, body.top, body.bottom, dark);
    dlg::vline(dc, body.right - 2, body.top + 1, body.bottom - 1, shadow);
    dlg::hline(dc, body.left, body.right, body.bottom - 1, dark);
    dlg::hline(dc, body.left + 1, body.right - 1, body.bottom - 2, shadow);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(h) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    const int lh = dlg::lineHeight(dc);
    for (int i = 0; i < count(*d); ++i) {
      RECT r = s.rects[static_cast<std::size_t>(i)];
      if (r.left >= c.right) break;
      const bool current = i == d->cur;
      if (current) r = RECT{r.left - 2, r.top - 2, r.right + 2, r.bottom + 1};
      dlg::fillSolid(dc, RECT{r.left, r.top, r.right, r.bottom}, GetSysColor(COLOR_BTNFACE));
      dlg::hline(dc, r.left + 2, r.right - 2, r.top, light);
      dlg::vline(dc, r.left, r.top + 2, r.bottom, light);
      SetPixelV(dc, r.left + 1, r.top + 1, light);
      dlg::vline(dc, r.right - 1, r.top + 2, r.bottom, dark);
      dlg::vline(dc, r.right - 2, r.top + 1, r.bottom, shadow);
      const Tab& t = d->tabs[static_cast<std::size_t>(i)];
      RECT text{r.left + kPad, r.top, r.right - kPad, r.bottom};
      ExtTextOut(dc, text.left, r.top + (r.bottom - r.top - lh) / 2, ETO_CLIPPED, &text, t.text.c_str(),
                 static_cast<UINT>(t.text.size()), nullptr);
      if (d->focused && i == d->focusTab) dlg::focusRect(dc, RECT{r.left + 3, r.top + 3, r.right - 3, r.bottom - 2});
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

// Copies the parts of the record that its mask names into tab t; the program data is the
// block that follows the record's head.
void putItem(TabData& d, Tab& t, const TCITEM& item) {
  if (item.mask & TCIF_TEXT) t.text = item.pszText ? item.pszText : "";
  if (item.mask & TCIF_IMAGE) t.image = item.iImage;
  if (item.mask & TCIF_STATE) t.state = (t.state & ~item.dwStateMask) | (item.dwState & item.dwStateMask);
  if (item.mask & TCIF_PARAM) {
    const BYTE* from = reinterpret_cast<const BYTE*>(&item.lParam);
    t.data.assign(from, from + d.extra);
  }
}

LRESULT tabProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  TabData* dp = tabControls().route(h, msg);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  TabData& d = *dp;
  const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SETFONT:
      return keepFont(h, d.font, wParam, lParam);
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d.font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      d.focused = msg == WM_SETFOCUS;
      if (d.focusTab < 0) d.focusTab = d.cur;
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const Strip s = strip(h, d);
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      for (int i = 0; i < count(d); ++i)
        if (PtInRect(s.rects[static_cast<std::size_t>(i)], p)) {
          if (!(styleOf(h) & TCS_FOCUSNEVER) && GetFocus() != h) SetFocus(h);
          if (IsWindow(h)) userSelect(h, i);
          return 0;
        }
      return 0;
    }
    case WM_KEYDOWN: {
      notifyParent(h, TCN_KEYDOWN);
      if (!(dp = rec(h))) return 0;
      const int from = dp->cur < 0 ? 0 : dp->cur;
      if (wParam == static_cast<WPARAM>(VK_LEFT)) userSelect(h, from - 1);
      else if (wParam == static_cast<WPARAM>(VK_RIGHT)) userSelect(h, dp->cur < 0 ? 0 : from + 1);
      return 0;
    }
    case TCM_GETITEMCOUNT:
      return count(d);
    case TCM_SETITEMEXTRA:
      if (!d.tabs.empty() || lParam < 0) return FALSE;
      d.extra = static_cast<std::size_t>(wParam);
      return TRUE;
    case TCM_INSERTITEM: {
      const TCITEM* item = reinterpret_cast<const TCITEM*>(lParam);
      if (!item || index < 0) return -1;
      const int at = std::min(index, count(d));
      Tab t;
      t.data.assign(d.extra, 0);
      putItem(d, t, *item);
      d.tabs.insert(d.tabs.begin() + at, std::move(t));
      if (d.cur >= at) ++d.cur;
      if (d.cur < 0) d.cur = 0;   // the first tab becomes the current one
      InvalidateRect(h, nullptr, TRUE);
      return at;
    }
    case TCM_SETITEM: {
      const TCITEM* item = reinterpret_cast<const TCITEM*>(lParam);
      if (!item || index < 0 || index >= count(d)) return FALSE;
      putItem(d, d.tabs[static_cast<std::size_t>(index)], *item);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case TCM_GETITEM: {
      TCITEM* item = reinterpret_cast<TCITEM*>(lParam);
      if (!item || index < 0 || index >= count(d)) return FALSE;
      const Tab& t = d.tabs[static_cast<std::size_t>(index)];
      if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::size_t n = std::min(t.text.size(), static_cast<std::size_t>(item->cchTextMax) - 1);
        std::memcpy(item->pszText, t.text.data(), n);
        item->pszText[n] = '\0';
      }
      if (item->mask & TCIF_IMAGE) item->iImage = t.image;
      if (item->mask & TCIF_STATE) item->dwState = t.state & item->dwStateMask;
      if (item->mask & TCIF_PARAM) std::memcpy(&item->lParam, t.data.data(), t.data.size());
      return TRUE;
    }
    case TCM_DELETEITEM:
      if (index < 0 || index >= count(d)) return FALSE;
      d.tabs.erase(d.tabs.begin() + index);
      if (d.cur > index || d.cur >= count(d)) --d.cur;
      if (d.focusTab >= count(d)) d.focusTab = d.cur;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TCM_DELETEALLITEMS:
      d.tabs.clear();
      d.cur = d.focusTab = -1;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TCM_GETCURSEL:
      return d.cur;
    case TCM_SETCURSEL: {
      if (index < 0 || index >= count(d)) return -1;
      const int old = d.cur;
      d.cur = index;
      d.focusTab = index;
      InvalidateRect(h, nullptr, TRUE);
      return old;
    }
    case TCM_GETCURFOCUS:
      return d.focusTab;
    case TCM_SETCURFOCUS:
      userSelect(h, index);
      return 0;
    case TCM_GETROWCOUNT:
      return 1;
    case TCM_GETITEMRECT: {
      RECT* out = reinterpret_cast<RECT*>(lParam);
      if (!out || index < 0 || index >= count(d)) return FALSE;
      *out = strip(h, d).rects[static_cast<std::size_t>(index)];
      return TRUE;
    }
    case TCM_HITTEST: {
      TCHITTESTINFO* hi = reinterpret_cast<TCHITTESTINFO*>(lParam);
      if (!hi) return -1;
      const Strip s = strip(h, d);
      for (int i = 0; i < count(d); ++i)
        if (PtInRect(s.rects[static_cast<std::size_t>(i)], hi->pt)) {
          hi->flags = TCHT_ONITEMLABEL;
          return i;
        }
      hi->flags = TCHT_NOWHERE;
      return -1;
    }
    case TCM_ADJUSTRECT: {
      // The display area of a window rectangle (wParam FALSE), or the window rectangle
      // around a display area (TRUE).
      RECT* r = reinterpret_cast<RECT*>(lParam);
      if (!r) return 0;
      const int top = strip(h, d).height + 2;
      if (wParam) {
        r->left -= 2;
        r->right += 2;
        r->top -= top;
        r->bottom += 2;
      } else {
        r->left += 2;
        r->right -= 2;
        r->top += top;
        r->bottom -= 2;
      }
      return 0;
    }
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerTabClass() { registerControlClass(WC_TABCONTROL, tabProc); }
}  // namespace dlg

}  // namespace win
