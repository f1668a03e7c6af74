// platform/static.cpp: the STATIC control class: text (left, centred, right, simple, without
// word wrap), filled rectangles, frames and etched lines, icons and bitmaps, drawn in the
// plain classic look. A static takes no input unless it has SS_NOTIFY: otherwise hit tests
// pass through it to the window beneath.
#include <unordered_map>

#include "platform/dialog_internal.h"

namespace win {
namespace {

struct StaticData {
  HFONT font = nullptr;
  HGDIOBJ image = nullptr;
  WPARAM imageKind = IMAGE_ICON;
  HGDIOBJ loaded = nullptr;   // the bitmap the static loaded itself from its text; deleted with it
};

std::unordered_map<HWND, StaticData>& statics() {
  static std::unordered_map<HWND, StaticData> m;
  return m;
}

StaticData& data(HWND h) { return statics()[h]; }

DWORD styleOf(HWND h) { return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)); }

void notify(HWND h, WORD code) {
  if (!(styleOf(h) & SS_NOTIFY) || !(styleOf(h) & WS_CHILD)) return;
  if (HWND parent = GetParent(h))
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(h)), code), reinterpret_cast<LPARAM>(h));
}

// An icon or bitmap static takes the size of its image unless it centres the image.
void fitImage(HWND h) {
  const DWORD style = styleOf(h);
  if (style & SS_CENTERIMAGE) return;
  StaticData& d = data(h);
  if (!d.image) return;
  const SIZE s = dlg::imageSize(d.image, d.imageKind);
  if (s.cx > 0 && s.cy > 0) SetWindowPos(h, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT setImage(HWND h, WPARAM kind, HGDIOBJ image) {
  StaticData& d = data(h);
  const LRESULT old = d.imageKind == kind ? reinterpret_cast<LRESULT>(d.image) : 0;
  d.image = image;
  d.imageKind = kind;
  fitImage(h);
  InvalidateRect(h, nullptr, TRUE);
  return old;
}

void paintContent(HWND h, HDC dc, const RECT& client) {
  const DWORD style = styleOf(h);
  const DWORD kind = style & SS_TYPEMASK;
  StaticData& d = data(h);
  switch (kind) {
    case SS_BLACKRECT: dlg::fillSolid(dc, client, GetSysColor(COLOR_3DDKSHADOW)); return;
    case SS_GRAYRECT: dlg::fillSolid(dc, client, GetSysColor(COLOR_BTNSHADOW)); return;
    case SS_WHITERECT: dlg::fillSolid(dc, client, GetSysColor(COLOR_BTNHIGHLIGHT)); return;
    case SS_BLACKFRAME: dlg::frame(dc, client, GetSysColor(COLOR_3DDKSHADOW)); return;
    case SS_GRAYFRAME: dlg::frame(dc, client, GetSysColor(COLOR_BTNSHADOW)); return;
    case SS_WHITEFRAME: dlg::frame(dc, client, GetSysColor(COLOR_BTNHIGHLIGHT)); return;
    case SS_ETCHEDFRAME: dlg::etched(dc, client); return;
    case SS_ETCHEDHORZ:
      dlg::hline(dc, client.left, client.right, client.top, GetSysColor(COLOR_BTNSHADOW));
      dlg::hline(dc, client.left, client.right, client.top + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      return;
    case SS_ETCHEDVERT:
      dlg::vline(dc, client.left, client.top, client.bottom, GetSysColor(COLOR_BTNSHADOW));
      dlg::vline(dc, client.left + 1, client.top, client.bottom, GetSysColor(COLOR_BTNHIGHLIGHT));
      return;
    default: break;
  }
  dlg::paintBackground(h, dc, WM_CTLCOLORSTATIC, client, COLOR_WINDOWTEXT);
  if (kind == SS_ICON || kind == SS_BITMAP) {
    if (!d.image) return;
    const SIZE s = dlg::imageSize(d.image, d.imageKind);
    int x = client.left, y = client.top;
    if (style & SS_CENTERIMAGE) {
      x = (client.right - client.left - s.cx) / 2;
      y = (client.bottom - client.top - s.cy) / 2;
    }
    dlg::drawImage(dc, x, y, d.image, d.imageKind);
    return;
  }
  if (kind == SS_OWNERDRAW || kind == SS_ENHMETAFILE) return;
  const bool wrap = kind != SS_SIMPLE && kind != SS_LEFTNOWORDWRAP && !(style & SS_CENTERIMAGE);
  auto lines = dlg::layoutText(dc, dlg::windowText(h), client.right - client.left, wrap, !(style & SS_NOPREFIX));
  if (!wrap && kind == SS_SIMPLE && lines.size() > 1) lines.resize(1);
  const int align = kind == SS_CENTER ? 1 : kind == SS_RIGHT ? 2 : 0;
  dlg::drawLines(dc, lines, client, align, (style & SS_CENTERIMAGE) ? 1 : 0, !IsWindowEnabled(h));
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  if (dc) {
    RECT client;
    GetClientRect(h, client);
    HGDIOBJ oldFont = SelectObject(dc, dlg::fontOf(h));
    RECT inner = client;
    if (styleOf(h) & SS_SUNKEN) {
      dlg::hline(dc, client.left, client.right, client.top, GetSysColor(COLOR_BTNSHADOW));
      dlg::vline(dc, client.left, client.top, client.bottom, GetSysColor(COLOR_BTNSHADOW));
      dlg::hline(dc, client.left, client.right, client.bottom - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      dlg::vline(dc, client.right - 1, client.top, client.bottom, GetSysColor(COLOR_BTNHIGHLIGHT));
      InflateRect(inner, -1, -1);
    }
    paintContent(h, dc, inner);
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

LRESULT staticProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE:
      statics()[h] = StaticData{};
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_CREATE: {
      // A bitmap or icon static names its BITMAP or ICON resource in its text. Icons so
      // loaded are shared for the run: nothing to free with the static.
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      const DWORD kind = styleOf(h) & SS_TYPEMASK;
      if (kind == SS_BITMAP && cs && cs->lpszName && *cs->lpszName) {
        if (HBITMAP b = LoadBitmap(cs->hInstance, cs->lpszName)) {
          data(h).loaded = b;
          setImage(h, IMAGE_BITMAP, b);
        }
      } else if (kind == SS_ICON && cs && cs->lpszName && *cs->lpszName) {
        if (HICON i = LoadIcon(cs->hInstance, cs->lpszName)) setImage(h, IMAGE_ICON, i);
      }
      return 0;
    }
    case WM_NCDESTROY: {
      auto it = statics().find(h);
      if (it != statics().end() && it->second.loaded) DeleteObject(it->second.loaded);
      statics().erase(h);
      return DefWindowProc(h, msg, wParam, lParam);
    }
    case WM_NCHITTEST:
      return (styleOf(h) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SETFONT:
      data(h).font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(data(h).font);
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProc(h, msg, wParam, lParam);
      InvalidateRect(h, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE:
      notify(h, wParam ? STN_ENABLE : STN_DISABLE);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
      notify(h, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      notify(h, STN_DBLCLK);
      return 0;
    case STM_SETICON:
      return setImage(h, IMAGE_ICON, reinterpret_cast<HGDIOBJ>(wParam));
    case STM_GETICON:
      return data(h).imageKind == IMAGE_ICON ? reinterpret_cast<LRESULT>(data(h).image) : 0;
    case STM_SETIMAGE:
      if (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON && wParam != IMAGE_ENHMETAFILE) return 0;
      return setImage(h, wParam, reinterpret_cast<HGDIOBJ>(lParam));
    case STM_GETIMAGE:
      return data(h).imageKind == wParam ? reinterpret_cast<LRESULT>(data(h).image) : 0;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerStaticClass() { registerControlClass("Static", staticProc); }
}  // namespace dlg

}  // namespace win
