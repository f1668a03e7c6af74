// platform/header.cpp: the header control class: items side by side from the left, each as
// wide as its width (0 hides it), drawn as raised buttons with their text aligned by the
// format; HDS_BUTTONS items press in and report HDN_ITEMCLICK when released over them.
//
// Sizing: a press within 3 pixels of an item's right edge (the divider; of the last item of
// a run of hidden ones, the visible one) starts a drag once the parent accepts HDN_BEGINTRACK;
// each move reports HDN_TRACK with the width proposed, which the parent may correct in the
// record before the item takes it (or end the drag with a non-zero answer); the release
// reports HDN_ENDTRACK and HDN_ITEMCHANGED; Escape puts the old width back.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/header.h"

namespace win {
namespace {

constexpr int kDivider = 3;

struct Item {
  int width = 0;
  std::string text;
  int fmt = HDF_LEFT | HDF_STRING;
  LPARAM data = 0;
};

struct HeaderData {
  std::vector<Item> items;
  HFONT font = nullptr;
  int pressed = -1;      // item pressed as a button
  bool pressedIn = false;
  int tracking = -1;     // item whose divider is dragged
  int trackFrom = 0;     // its width when the drag began
  int grab = 0;          // pointer x minus the item's right edge at the press
};

ControlRecords<HeaderData>& headers() {
  static ControlRecords<HeaderData> records;
  return records;
}

HeaderData* rec(HWND h) { return headers().find(h); }

int count(const HeaderData& d) { return static_cast<int>(d.items.size()); }

int leftOf(const HeaderData& d, int i) {
  int x = 0;
  for (int k = 0; k < i; ++k) x += std::max(0, d.items[static_cast<std::size_t>(k)].width);
  return x;
}

RECT itemRect(HWND h, const HeaderData& d, int i) {
  RECT c;
  GetClientRect(h, c);
  const int x = leftOf(d, i);
  return RECT{x, 0, x + std::max(0, d.items[static_cast<std::size_t>(i)].width), c.bottom};
}

LRESULT notify(HWND h, UINT code, int item, int button, HDITEM* hi) {
  NMHEADER nm;
  nm.iItem = item;
  nm.iButton = button;
  nm.pitem = hi;
  return notifyParent(h, nm.hdr, code);
}

// Hit test of a client point: the flags and the item.
HDHITTESTINFO hitTest(HWND h, const HeaderData& d, POINT p) {
  HDHITTESTINFO hi;
  hi.pt = p;
  RECT c;
  GetClientRect(h, c);
  if (p.y < 0) hi.flags |= HHT_ABOVE;
  if (p.y >= c.bottom) hi.flags |= HHT_BELOW;
  if (p.x < 0) hi.flags |= HHT_TOLEFT;
  if (p.x >= c.right) hi.flags |= HHT_TORIGHT;
  if (hi.flags) return hi;
  // Dividers first, from the right, so that a hidden item's divider gives way to its
  // visible neighbour on the left.
  for (int i = count(d) - 1; i >= 0; --i) {
    const RECT r = itemRect(h, d, i);
    if (r.right == r.left) continue;
    if (p.x >= r.right - kDivider && p.x <= r.right + kDivider) {
      hi.flags = HHT_ONDIVIDER;
      hi.iItem = i;
      return hi;
    }
  }
  for (int i = 0; i < count(d); ++i) {
    const RECT r = itemRect(h, d, i);
    if (p.x >= r.left && p.x < r.right) {
      hi.flags = HHT_ONHEADER;
      hi.iItem = i;
      return hi;
    }
  }
  hi.flags = HHT_NOWHERE;
  return hi;
}

// Puts the parts of hi that its mask names into item i; false when the parent refuses.
bool setItem(HWND h, int i, const HDITEM& hi) {
  HDITEM ask = hi;
  if (notify(h, HDN_ITEMCHANGING, i, 0, &ask)) return false;
  HeaderData* d = rec(h);
  if (!d || i < 0 || i >= count(*d)) return false;
  Item& it = d->items[static_cast<std::size_t>(i)];
  if (hi.mask & HDI_WIDTH) it.width = std::max(0, hi.cxy);
  if (hi.mask & HDI_TEXT) it.text = hi.pszText ? hi.pszText : "";
  if (hi.mask & HDI_FORMAT) it.fmt = hi.fmt;
  if (hi.mask & HDI_LPARAM) it.data = hi.lParam;
  InvalidateRect(h, nullptr, TRUE);
  notify(h, HDN_ITEMCHANGED, i, 0, &ask);
  return true;
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  if (HeaderData* d = rec(h); dc && d) {
    RECT c;
    GetClientRect(h, c);
    HGDIOBJ oldFont = SelectObject(dc, dlg::fontOf(h));
    dlg::fillSolid(dc, c, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(h) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    const int lh = dlg::lineHeight(dc);
    for (int i = 0; i < count(*d); ++i) {
      const RECT r = itemRect(h, *d, i);
      if (r.right <= r.left) continue;
      const bool in = d->pressed == i && d->pressedIn;
      if (in) dlg::frame(dc, r, GetSysColor(COLOR_BTNSHADOW));
      else dlg::edge3d(dc, r, true);
      const Item& it = d->items[static_cast<std::size_t>(i)];
      if (it.text.empty()) continue;
      RECT t{r.left + 6, r.top, r.right - 6, r.bottom};
      if (in) OffsetRect(t, 1, 1);
      SIZE s{};
      GetTextExtentPoint32(dc, it.text.c_str(), static_cast<int>(it.text.size()), s);
      int x = t.left;
      if ((it.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) x = t.right - s.cx;
      else if ((it.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) x = (t.left + t.right - s.cx) / 2;
      x = std::max<int>(x, t.left);
      ExtTextOut(dc, x, t.top + (t.bottom - t.top - lh) / 2, ETO_CLIPPED, &t, it.text.c_str(),
                 static_cast<UINT>(it.text.size()), nullptr);
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

void endTrack(HWND h, bool cancel) {
  HeaderData* d = rec(h);
  if (!d || d->tracking < 0) return;
  const int i = d->tracking;
  d->tracking = -1;
  if (GetCapture() == h) ReleaseCapture();
  if (!(d = rec(h)) || i >= count(*d)) return;
  Item& it = d->items[static_cast<std::size_t>(i)];
  if (cancel) it.width = d->trackFrom;
  InvalidateRect(h, nullptr, TRUE);
  HDITEM hi;
  hi.mask = HDI_WIDTH;
  hi.cxy = it.width;
  notify(h, HDN_ENDTRACK, i, 0, &hi);
  if (IsWindow(h)) notify(h, HDN_ITEMCHANGED, i, 0, &hi);
}

LRESULT headerProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  HeaderData* dp = headers().route(h, msg);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  HeaderData& d = *dp;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SETFONT:
      return keepFont(h, d.font, wParam, lParam);
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d.font);
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(p);
      ScreenToClient(h, p);
      if (hitTest(h, d, p).flags & HHT_ONDIVIDER) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const HDHITTESTINFO hi = hitTest(h, d, p);
      if (hi.flags & HHT_ONDIVIDER) {
        if (msg == WM_LBUTTONDBLCLK) {
          notify(h, HDN_DIVIDERDBLCLICK, hi.iItem, 0, nullptr);
          return 0;
        }
        HDITEM item;
        item.mask = HDI_WIDTH;
        item.cxy = d.items[static_cast<std::size_t>(hi.iItem)].width;
        if (notify(h, HDN_BEGINTRACK, hi.iItem, 0, &item)) return 0;
        if (!(dp = rec(h)) || hi.iItem >= count(*dp)) return 0;
        dp->tracking = hi.iItem;
        dp->trackFrom = dp->items[static_cast<std::size_t>(hi.iItem)].width;
        dp->grab = p.x - itemRect(h, *dp, hi.iItem).right;
        SetCapture(h);
        return 0;
      }
      if ((hi.flags & HHT_ONHEADER) && (styleOf(h) & HDS_BUTTONS)) {
        if (msg == WM_LBUTTONDBLCLK) notify(h, HDN_ITEMDBLCLICK, hi.iItem, 0, nullptr);
        if (!(dp = rec(h))) return 0;
        dp->pressed = hi.iItem;
        dp->pressedIn = true;
        SetCapture(h);
        InvalidateRect(h, nullptr, TRUE);
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (d.tracking >= 0) {
        const int i = d.tracking;
        HDITEM item;
        item.mask = HDI_WIDTH;
        item.cxy = std::max(0, static_cast<int>(p.x) - d.grab - leftOf(d, i));
        if (notify(h, HDN_TRACK, i, 0, &item)) {
          endTrack(h, false);
          return 0;
        }
        if ((dp = rec(h)) != nullptr && i < count(*dp)) {
          dp->items[static_cast<std::size_t>(i)].width = std::max(0, item.cxy);
          InvalidateRect(h, nullptr, TRUE);
        }
        return 0;
      }
      if (d.pressed >= 0) {
        const bool in = PtInRect(itemRect(h, d, d.pressed), p) != 0;
        if (in != d.pressedIn) {
          d.pressedIn = in;
          InvalidateRect(h, nullptr, TRUE);
        }
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      if (d.tracking >= 0) {
        endTrack(h, false);
        return 0;
      }
      if (d.pressed < 0) return 0;
      const int i = d.pressed;
      const bool in = d.pressedIn;
      d.pressed = -1;
      d.pressedIn = false;
      InvalidateRect(h, nullptr, TRUE);
      if (GetCapture() == h) ReleaseCapture();
      if (in) notify(h, HDN_ITEMCLICK, i, 0, nullptr);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == static_cast<WPARAM>(VK_ESCAPE) && d.tracking >= 0) endTrack(h, true);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != h) {
        if (d.tracking >= 0) endTrack(h, true);
        else if (HeaderData* r = rec(h); r && r->pressed >= 0) {
          r->pressed = -1;
          InvalidateRect(h, nullptr, TRUE);
        }
      }
      return 0;
    case HDM_GETITEMCOUNT:
      return count(d);
    case HDM_INSERTITEM: {
      const HDITEM* hi = reinterpret_cast<const HDITEM*>(lParam);
      if (!hi) return -1;
      const int at = std::clamp(static_cast<int>(static_cast<LONG_PTR>(wParam)), 0, count(d));
      Item it;
      if (hi->mask & HDI_WIDTH) it.width = std::max(0, hi->cxy);
      if ((hi->mask & HDI_TEXT) && hi->pszText) it.text = hi->pszText;
      if (hi->mask & HDI_FORMAT) it.fmt = hi->fmt;
      if (hi->mask & HDI_LPARAM) it.data = hi->lParam;
      d.items.insert(d.items.begin() + at, std::move(it));
      InvalidateRect(h, nullptr, TRUE);
      return at;
    }
    case HDM_DELETEITEM: {
      const int i = static_cast<int>(static_cast<LONG_PTR>(wParam));
      if (i < 0 || i >= count(d)) return FALSE;
      if (d.tracking >= 0) endTrack(h, true);
      if (!(dp = rec(h)) || i >= count(*dp)) return FALSE;
      dp->items.erase(dp->items.begin() + i);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case HDM_GETITEM: {
      const int i = static_cast<int>(static_cast<LONG_PTR>(wParam));
      HDITEM* hi = reinterpret_cast<HDITEM*>(lParam);
      if (!hi || i < 0 || i >= count(d)) return FALSE;
      const Item& it = d.items[static_cast<std::size_t>(i)];
      if (hi->mask & HDI_WIDTH) hi->cxy = it.width;
      if ((hi->mask & HDI_TEXT) && hi->pszText && hi->cchTextMax > 0) {
        const std::size_t n = std::min(it.text.size(), static_cast<std::size_t>(hi->cchTextMax) - 1);
        std::memcpy(hi->pszText, it.text.data(), n);
        hi->pszText[n] = '\0';
      }
      if (hi->mask & HDI_FORMAT) hi->fmt = it.fmt;
      if (hi->mask & HDI_LPARAM) hi->lParam = it.data;
      if (hi->mask & HDI_ORDER) hi->iOrder = i;
      return TRUE;
    }
    case HDM_SETITEM: {
      const HDITEM* hi = reinterpret_cast<const HDITEM*>(lParam);
      const int i = static_cast<int>(static_cast<LONG_PTR>(wParam));
      if (!hi || i < 0 || i >= count(d)) return FALSE;
      return setItem(h, i, *hi) ? TRUE : FALSE;
    }
    case HDM_GETITEMRECT: {
      const int i = static_cast<int>(static_cast<LONG_PTR>(wParam));
      RECT* out = reinterpret_cast<RECT*>(lParam);
      if (!out || i < 0 || i >= count(d)) return FALSE;
      *out = itemRect(h, d, i);
      return TRUE;
    }
    case HDM_HITTEST: {
      HDHITTESTINFO* hi = reinterpret_cast<HDHITTESTINFO*>(lParam);
      if (!hi) return -1;
      *hi = hitTest(h, d, hi->pt);
      return hi->iItem;
    }
    case HDM_LAYOUT: {
      // The header takes the top of the area, a line of the font plus 6 pixels high.
      HDLAYOUT* l = reinterpret_cast<HDLAYOUT*>(lParam);
      if (!l || !l->prc || !l->pwpos) return FALSE;
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, dlg::fontOf(h));
      const int height = (styleOf(h) & HDS_HIDDEN) ? 0 : dlg::lineHeight(dc) + 6;
      SelectObject(dc, old);
      DeleteDC(dc);
      RECT& r = *l->prc;
      l->pwpos->hwnd = h;
      l->pwpos->hwndInsertAfter = nullptr;
      l->pwpos->x = r.left;
      l->pwpos->y = r.top;
      l->pwpos->cx = r.right - r.left;
      l->pwpos->cy = height;
      l->pwpos->flags = SWP_NOZORDER;
      r.top += height;
      return TRUE;
    }
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerHeaderClass() { registerControlClass(WC_HEADER, headerProc); }
}  // namespace dlg

}  // namespace win
