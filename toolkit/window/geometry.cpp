// Window geometry: selection of the current window, clearing and scrolling its client area,
// its size, position, state, title and icon, and the window and screen queries.
// Sections (grep "[SECTION]"): selection | client area | queries | appearance
#include "toolkit/window/geometry.h"

#include <cmath>

#include "platform/gdi.h"
#include "platform/icon.h"
#include "platform/resource.h"
#include "toolkit/graphics/area.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/units.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_internal.h"
#include "toolkit/window/wmsg.h"

using namespace win;

namespace {

// Offset between workspace and screen coordinates, measured on a probe window placed at the
// workspace origin: the placement routines work in workspace coordinates.
POINT workspaceoffset() {
  HWND probe = CreateWindowEx(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandle(nullptr), nullptr);
  POINT p{0, 0};
  if (probe == nullptr) return p;
  WINDOWPLACEMENT wp;
  GetWindowPlacement(probe, wp);
  RECT r;
  GetWindowRect(probe, r);
  p.x = r.left - wp.rcNormalPosition.left;
  p.y = r.top - wp.rcNormalPosition.top;
  DestroyWindow(probe);
  return p;
}

// Converts a frame position in pixels of the containing window's client area to its
// window units: the containing window is selected for the conversion and the current one
// selected again.
void tounitsofcontainer(int container, int& x, int& y) {
  const int current = tessar.window.CURWINDOW;
  yywinsel(container, 1);
  int ux = 0, uy = 0;
  windowunitsfrompixels(x, y, ux, uy);
  yywinsel(current, 1);
  x = ux;
  y = uy;
}

int lastwindowitem = 0;
int lastscreenitem = 0;

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Selection
// - windowselect(), yywinsel(), yywindowselect()
//------------------------------------------------------------------------------
void windowselect(int window) { yywinsel(window, tessar.graphics.target.RESELECT); }

void yywinsel(int window, int reselect) {
  WindowState& ws = tessar.window;
  GraphicsTarget& gt = tessar.graphics.target;
  int width = 0, height = 0, n = window;
  yywindowselect(width, height, n);
  if (n == -1) {
    yyerror(1003, "YYWINSEL");
    return;
  }
  ws.CURWIDTH = width;
  ws.CURHEIGHT = height;
  ws.CURWINDOW = n;
  tessar.windowtext.X = 0;
  tessar.windowtext.Y = 0;
  if (gt.TARGETTYPE == 1) gt.TARGETNUMBER = n;
  gt.RESELECT = reselect;
  yyresn(1, n, width, height);
  gt.RESELECT = 0;
  yyfntsiz();
}

void yywindowselect(int& width, int& height, int& window) {
  if (!exists(window)) {
    window = -1;
    return;
  }
  HWND oldclient = winslot(wIndex).hClient;
  const bool drawingonwindow = gDC != nullptr && gDC == wDC;
  if (wDC != nullptr) ReleaseDC(oldclient, wDC);
  HWND client = winslot(window).hClient;
  wDC = GetDC(client);
  wIndex = window;
  // A dialog field, bitmap or metafile being drawn on keeps the drawing context.
  if (tessar.graphics.target.TARGETTYPE == 1 || drawingonwindow || gDC == nullptr) {
    hMovie = client;
    gDC = wDC;
    static constexpr int rop[4] = {R2_COPYPEN, R2_MERGEPEN, R2_MASKPEN, R2_XORPEN};
    const int mode = tessar.graphics.attributes.PLOTMODE;
    SetROP2(wDC, rop[mode >= 0 && mode < 4 ? mode : 0]);
    SetBkMode(wDC, TRANSPARENT);
    SetTextAlign(wDC, TA_BASELINE);
  }
  RECT r;
  GetClientRect(client, r);
  width = r.right;
  height = r.bottom;
}

//------------------------------------------------------------------------------
// [SECTION] Client area
// - windowclear(), yycleararea(), yyscrollarea()
//------------------------------------------------------------------------------
namespace {

COLORREF fillcolour(int colour) {
  if (colour == -1) return wColor[ix(wBackCol >= 0 && wBackCol < 18 ? wBackCol : 15)];
  return static_cast<COLORREF>(colour) & 0xFFFFFF;
}

}  // namespace

void windowclear(std::optional<int> x1, std::optional<int> y1, std::optional<int> x2, std::optional<int> y2,
                 std::optional<int> colour) {
  const WindowState& ws = tessar.window;
  yycleararea(x1.value_or(0), y1.value_or(0), x2.value_or(ws.CURWIDTH - 1), y2.value_or(ws.CURHEIGHT - 1),
              colour.value_or(-1));
}

void yycleararea(int x1, int y1, int x2, int y2, int colour) {
  HDC dc = wDC;
  if (dc == nullptr) return;
  HBRUSH brush = CreateSolidBrush(GetNearestColor(dc, fillcolour(colour)));
  HGDIOBJ oldpen = SelectObject(dc, GetStockObject(NULL_PEN));
  HGDIOBJ oldbrush = SelectObject(dc, brush);
  const int oldrop = SetROP2(dc, R2_COPYPEN);
  // With the null pen a rectangle leaves out its right and bottom edges and one more pixel.
  Rectangle(dc, x1, y1, x2 + 2, y2 + 2);
  SetROP2(dc, oldrop);
  SelectObject(dc, oldbrush);
  SelectObject(dc, oldpen);
  DeleteObject(brush);
}

void yyscrollarea(int dx, int dy, int colour) {
  HWND client = winslot(wIndex).hClient;
  if (client == nullptr || wDC == nullptr) return;
  HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
  ScrollWindowEx(client, dx, dy, nullptr, nullptr, uncovered, nullptr, 0);
  HBRUSH brush = CreateSolidBrush(GetNearestColor(wDC, fillcolour(colour)));
  FillRgn(wDC, uncovered, brush);
  DeleteObject(brush);
  DeleteObject(uncovered);
  // The strip is filled already: no expose event for it.
  RECT c;
  GetClientRect(client, c);
  if (dx != 0) {
    RECT s = dx > 0 ? RECT{0, 0, dx + 1, c.bottom} : RECT{c.right + dx, 0, c.right, c.bottom};
    ValidateRect(client, &s);
  }
  if (dy != 0) {
    RECT s = dy > 0 ? RECT{0, 0, c.right, dy + 1} : RECT{0, c.bottom + dy, c.right, c.bottom};
    ValidateRect(client, &s);
  }
}

//------------------------------------------------------------------------------
// [SECTION] Queries
// - winfowindow(), winfoscreen(), yyedittest(), yywindowtest(), yygetdialogtype(),
//   yygetwindowpos(), yygetclientpos(), yygetminmaxstate(), yygetrestwinsize(),
//   yygetwincolours(), yygetmousebuttons()
//------------------------------------------------------------------------------
int winfowindow(int item) {
  const WindowState& ws = tessar.window;
  int a = 0, b = 0, inside = 0, parent = 0, w = 0, h = 0;
  switch (item) {
    case 1: lastwindowitem = ws.CURWIDTH; break;
    case 2: lastwindowitem = ws.CURHEIGHT; break;
    case 3: lastwindowitem = ws.WINFLAGS[ws.CURWINDOW]; break;
    case 4: lastwindowitem = ws.CURWINDOW; break;
    case 5: case 6:
      yygetwindowpos(0, a, b, inside, parent);
      if (inside == 1) tounitsofcontainer(parent, a, b);
      lastwindowitem = item == 5 ? a : b;
      break;
    case 7: case 8:
      yygetclientpos(a, b);
      lastwindowitem = item == 7 ? a : b;
      break;
    case 9: yygetminmaxstate(lastwindowitem); break;
    case 10: yyedittest(lastwindowitem); break;
    case 11: case 12: case 13: case 14:
      yygetrestwinsize(w, h, a, b, inside, parent);
      if (item >= 13 && inside == 1) tounitsofcontainer(parent, a, b);
      lastwindowitem = item == 11 ? w : item == 12 ? h : item == 13 ? a : b;
      break;
    default: break;
  }
  return lastwindowitem;
}

int winfoscreen(int item) {
  const DisplayInfo& d = tessar.display;
  switch (item) {
    case 1: lastscreenitem = d.WIDTH; break;
    case 2: lastscreenitem = d.HEIGHT; break;
    case 3: lastscreenitem = d.COLOURS; break;
    case 4: lastscreenitem = (d.DEVICECLASS & 1) != 0 ? 1 : 0; break;
    case 5: lastscreenitem = (d.DEVICECLASS & 2) != 0 ? 1 : 0; break;
    default: break;
  }
  return lastscreenitem;
}

void yyedittest(int& type) {
  const FrameRecord* r = yyframerecord(winslot(wIndex).wWindow);
  type = r != nullptr ? r->word[FR_KIND] : 0;
}

void yywindowtest(int window, int& result) { result = exists(window) ? 1 : 0; }

void yygetdialogtype(int& kind) {
  const int dialog = tessar.dialog.CURDIALOG;
  HWND dlg = dialog != 0 && dialogwindowof != nullptr ? dialogwindowof(dialog) : nullptr;
  if (dlg == nullptr) {
    kind = 0;
    return;
  }
  if (!(GetWindowLong(dlg, GWL_STYLE) & static_cast<LONG>(WS_CHILD))) {
    kind = 1;
    return;
  }
  for (int w = 0; w < MAXWINDOWS; ++w) {
    const FrameRecord* r = yyframerecord(winslot(w).wWindow);
    if (r && r->word[FR_KIND] == SW_DIALOGWINDOW && LongToHandle<HWND>(r->word[DW_DIALOG]) == dlg) {
      kind = 4;
      return;
    }
  }
  char own[64] = {}, parent[64] = {};
  GetClassName(dlg, own, sizeof own);
  GetClassName(GetParent(dlg), parent, sizeof parent);
  kind = std::string_view(own) == std::string_view(parent) ? 3 : 2;
}

void yygetwindowpos(int mode, int& first, int& second, int& inside, int& parent) {
  first = second = inside = parent = 0;
  HWND h = winslot(wIndex).wWindow;
  if (mode >= 2) {
    const int dialog = tessar.dialog.CURDIALOG;
    h = dialog != 0 && dialogwindowof != nullptr ? dialogwindowof(dialog) : nullptr;
  }
  if (h == nullptr) return;
  RECT r;
  GetWindowRect(h, r);
  const bool child = ischildframe(h);
  if (IsIconic(h)) {
    WINDOWPLACEMENT wp;
    GetWindowPlacement(h, wp);
    r = wp.rcNormalPosition;
    if (!child) {
      const POINT off = workspaceoffset();
      OffsetRect(r, off.x, off.y);
    } else {
      // The normal placement of a child is in its parent's client coordinates already.
      POINT tl{r.left, r.top};
      ClientToScreen(GetParent(h), tl);
      OffsetRect(r, tl.x - r.left, tl.y - r.top);
    }
  }
  if (child) {
    POINT tl{r.left, r.top};
    ScreenToClient(GetParent(h), tl);
    OffsetRect(r, tl.x - r.left, tl.y - r.top);
    inside = 1;
    parent = mode >= 2 ? 0 : yygetwindowindex(GetParent(h));
    if (parent < 0) parent = 0;
  }
  if (mode % 2 == 0) {
    first = r.left;
    second = r.top;
  } else {
    first = r.right - r.left;
    second = r.bottom - r.top;
  }
}

void yygetclientpos(int& x, int& y) {
  POINT p{0, 0};
  ClientToScreen(winslot(wIndex).hClient, p);
  x = p.x;
  y = p.y;
}

void yygetminmaxstate(int& state) {
  HWND f = winslot(wIndex).wWindow;
  if (f == nullptr || !IsWindowVisible(f)) state = WSTATE_HIDDEN;
  else if (IsIconic(f)) state = WSTATE_MINIMISED;
  else if (IsZoomed(f)) state = WSTATE_MAXIMISED;
  else state = WSTATE_NORMAL;
}

void yygetrestwinsize(int& width, int& height, int& x, int& y, int& inside, int& parent) {
  HWND f = winslot(wIndex).wWindow;
  width = height = x = y = inside = parent = 0;
  if (f == nullptr) return;
  if (IsIconic(f) || IsZoomed(f)) {
    WINDOWPLACEMENT wp;
    GetWindowPlacement(f, wp);
    RECT fr, cr;
    GetWindowRect(f, fr);
    GetClientRect(winslot(wIndex).hClient, cr);
    const int dw = (fr.right - fr.left) - cr.right, dh = (fr.bottom - fr.top) - cr.bottom;
    RECT n = wp.rcNormalPosition;
    if (!ischildframe(f)) {
      const POINT off = workspaceoffset();
      OffsetRect(n, off.x, off.y);
    } else {
      inside = 1;
      parent = std::max(0, yygetwindowindex(GetParent(f)));
    }
    width = (n.right - n.left) - dw;
    height = (n.bottom - n.top) - dh;
    x = n.left;
    y = n.top;
    return;
  }
  RECT cr;
  GetClientRect(winslot(wIndex).hClient, cr);
  width = cr.right;
  height = cr.bottom;
  yygetwindowpos(0, x, y, inside, parent);
}

void yygetwincolours(int item, int& colour) {
  colour = static_cast<int>(GetSysColor(item == 45 ? COLOR_WINDOWTEXT : COLOR_WINDOW));
}

void yygetmousebuttons(int& count) { count = GetSystemMetrics(SM_CMOUSEBUTTONS); }

//------------------------------------------------------------------------------
// [SECTION] Appearance
// - yywindowsizepos(), yywindowtitle(), yywindowraise()
//------------------------------------------------------------------------------
namespace {

int extentof(HWND h, bool across) {
  if (h == nullptr) return 0;
  RECT r;
  GetWindowRect(h, r);
  return across ? r.right - r.left : r.bottom - r.top;
}

}  // namespace

void yywindowsizepos(int x, int y, int& width, int& height, int state) {
  const int n = wIndex;
  HWND f = winslot(n).wWindow;
  if (f == nullptr) return;
  FrameRecord* rec = yyframerecord(f);
  if (rec && rec->word[FR_KIND] == SW_SPLITWINDOW) rec->word[SP_SIZING] = 1;
  RECT fr, cr;
  GetWindowRect(f, fr);
  GetClientRect(winslot(n).hClient, cr);
  if (width == CENTRED) width = cr.right;
  if (height == CENTRED) height = cr.bottom;
  if (rec && rec->word[FR_KIND] == SW_DIALOGWINDOW && (GetWindowLong(f, GWL_STYLE) & static_cast<LONG>(WS_THICKFRAME)) == 0) {
    width = cr.right;   // a window combined with a fixed dialog keeps its size
    height = cr.bottom;
  }
  const auto style = static_cast<DWORD>(GetWindowLong(f, GWL_STYLE));
  const auto exstyle = static_cast<DWORD>(GetWindowLong(f, GWL_EXSTYLE));
  RECT want{0, 0, width, height};
  AdjustWindowRectEx(want, style, GetMenu(f) != nullptr, exstyle);
  int fw = want.right - want.left, fh = want.bottom - want.top;
  fh += extentof(winslot(n).hToolbar[0], false) + extentof(winslot(n).hToolbar[3], false) + extentof(winslot(n).wMessLine, false);
  fw += extentof(winslot(n).hToolbar[1], true) + extentof(winslot(n).hToolbar[2], true);
  if (rec && rec->word[FR_KIND] == SW_EDITOR && rec->word[ED_COMMANDLINE] != 0) fh += extentof(LongToHandle<HWND>(rec->word[ED_COMMANDLINE]), false);

  const bool child = ischildframe(f);
  POINT at{fr.left, fr.top};
  if (child) ScreenToClient(GetParent(f), at);
  const int nx = x == CENTRED ? at.x : x, ny = y == CENTRED ? at.y : y;

  // A pane of a split window is sized by moving the bar between the panes.
  HWND container = child ? GetParent(GetParent(f)) : nullptr;
  FrameRecord* split = yyframerecord(container);
  if (split && split->word[FR_KIND] == SW_SPLITWINDOW && (split->word[SP_PANE1] == n || split->word[SP_PANE2] == n)) {
    HWND bar = LongToHandle<HWND>(split->word[SP_BAR]);
    RECT q;
    GetClientRect(GetParent(bar), q);
    const bool stacked = (split->word[SP_FLAGS] & 1) != 0;
    const int thickness = extentof(bar, !stacked);
    int pos = stacked ? fh : fw;
    if (split->word[SP_PANE2] == n) pos = (stacked ? q.bottom : q.right) - (stacked ? fh : fw) - thickness;
    split->word[SP_DRAG] = 0;
    if (stacked) MoveWindow(bar, 0, pos, q.right, thickness, TRUE);
    else MoveWindow(bar, pos, 0, thickness, q.bottom, TRUE);
    split->word[SP_DRAG] = -999;
  } else if (!IsIconic(f) && !IsZoomed(f) && (state == 1 || state == 3)) {
    MoveWindow(f, nx, ny, fw, fh, TRUE);
    if (state == 3) {
      ShowWindow(f, SW_HIDE);
      if (n == 0) wHideRoot = 1;
    } else {
      if (rec && rec->word[FR_KIND] == SW_DIALOGWINDOW) ShowWindow(LongToHandle<HWND>(rec->word[DW_DIALOG]), SW_SHOWNA);
      ShowWindow(f, SW_SHOWNA);
      if (n == 0) wHideRoot = 0;
    }
  } else {
    WINDOWPLACEMENT wp;
    GetWindowPlacement(f, wp);
    POINT off{0, 0};
    if (!child) off = workspaceoffset();
    wp.rcNormalPosition = RECT{nx - off.x, ny - off.y, nx - off.x + fw, ny - off.y + fh};
    const int s = state == -1 ? (IsIconic(f) ? 0 : IsZoomed(f) ? 2 : IsWindowVisible(f) ? 1 : 3) : state;
    wp.showCmd = s == 0 ? SW_SHOWMINNOACTIVE : s == 1 ? SW_SHOWNOACTIVATE : s == 2 ? SW_SHOWMAXIMIZED : SW_HIDE;
    if (child && s == 2) winslot(n).wChildRect = wp.rcNormalPosition;
    SetWindowPlacement(f, wp);
  }
  if (rec && rec->word[FR_KIND] == SW_SPLITWINDOW) rec->word[SP_SIZING] = 0;
  GetClientRect(winslot(n).hClient, cr);
  width = cr.right;
  height = cr.bottom;
}

void yywindowtitle(int& icon, int titleflag, const char* title) {
  HWND f = winslot(wIndex).wWindow;
  if (f == nullptr) return;
  if (titleflag == 1) SetWindowText(f, title);
  if (icon == -1) return;
  // The window's own copy, so that the icons it replaces can be destroyed.
  HICON fresh = static_cast<HICON>(LoadImage(nullptr, icon == 0 ? "icon1" : MAKEINTRESOURCE(icon), IMAGE_ICON,
                                             0, 0, 0));
  if (fresh == nullptr) {
    icon = -2;
    return;
  }
  HICON big = reinterpret_cast<HICON>(SendMessage(f, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(fresh)));
  // The small icon goes too: the window keeps no handle of an icon that is destroyed.
  HICON small = reinterpret_cast<HICON>(SendMessage(f, WM_SETICON, ICON_SMALL, 0));
  if (big != nullptr) DestroyIcon(big);
  if (small != nullptr && small != big) DestroyIcon(small);
}

void yywindowraise() {
  HWND chain[MAXWINDOWS + 1];
  int n = 0;
  for (HWND f = winslot(wIndex).wWindow; f != nullptr && n <= MAXWINDOWS;) {
    chain[n++] = f;
    const int c = containerof(f);
    f = c >= 0 ? winslot(c).wWindow : nullptr;
  }
  for (int k = n - 1; k >= 0; --k) {
    BringWindowToTop(chain[k]);
    ShowWindow(chain[k], SW_SHOW);
  }
  HWND f = winslot(wIndex).wWindow;
  if (f == nullptr) return;
  EnableWindow(f, TRUE);
  const FrameRecord* r = yyframerecord(f);
  HWND focus = f;
  if (r && (r->word[FR_KIND] == SW_EDITOR || r->word[FR_KIND] == SW_BITMAPVIEWER || r->word[FR_KIND] == SW_DIALOGWINDOW ||
            r->word[FR_KIND] == SW_GRIDWINDOW) && r->word[FR_CONTROL] != 0)
    focus = LongToHandle<HWND>(r->word[FR_CONTROL]);
  SetFocus(focus);
  yytitlecolour(f);
}

// A split window closes its panes; a window combined with a dialog unloads the dialog and
// takes back its sizing border and maximise box. The editor, bitmap-viewer and grid windows
// are turned back by their own layers, which keep what they installed: such a window is left
// as it is here and answers -1.
void yywindowrevert(int& curdialog, int flags, int& result) {
  const int n = wIndex;
  HWND f = winslot(n).wWindow;
  if (f == nullptr) {
    result = 1;
    return;
  }
  FrameRecord* r = yyframerecord(f);
  if (r == nullptr) {
    result = 2;
    return;
  }
  if (r->word[FR_KIND] == SW_SPLITWINDOW) {
    int first = r->word[SP_PANE1];
    yyclosechild(first, curdialog);
    result = 0;
    return;
  }
  if (r->word[FR_KIND] != SW_DIALOGWINDOW) {
    result = -1;
    return;
  }
  HWND dlg = LongToHandle<HWND>(r->word[DW_DIALOG]);
  SetWindowLongPtr(f, GWLP_USERDATA, 0);
  delete r;
  if (curdialog != 0 && yydialogidentifier(dlg) == curdialog) curdialog = 0;
  if (dlg != nullptr && IsWindow(dlg)) DestroyWindow(dlg);
  if (n == 0) bDlgRoot = 0;
  const auto style = static_cast<DWORD>(GetWindowLong(f, GWL_STYLE));
  DWORD wanted = style;
  if (!(flags & WOF_FIXEDSIZE)) wanted |= WS_THICKFRAME;
  if (flags & WOF_MAXBOX) wanted |= WS_MAXIMIZEBOX;
  if (wanted != style) {
    SetWindowLong(f, GWL_STYLE, static_cast<LONG>(wanted));
    SetWindowPos(f, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  result = 0;
}
