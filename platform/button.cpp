// platform/button.cpp: the BUTTON control class: push and default push buttons, check boxes
// (two- and three-state, plain and automatic), radio buttons (plain and automatic) and group
// boxes, drawn in the plain classic look.
//
// A click is a left press and release inside the button, the space bar pressed and released
// while it has the focus, or BM_CLICK. Automatic kinds change their check state first, then
// the parent gets WM_COMMAND with BN_CLICKED; the parent may destroy the button there, so
// nothing touches the button after the notification.
#include <unordered_map>

#include "platform/dialog_internal.h"

namespace win {
namespace {

struct ButtonData {
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  bool tracking = false;   // the left button was pressed on us and the capture is ours
  bool spaceDown = false;
  HFONT font = nullptr;
  HGDIOBJ image = nullptr;
  WPARAM imageKind = IMAGE_BITMAP;
};

std::unordered_map<HWND, ButtonData>& buttons() {
  static std::unordered_map<HWND, ButtonData> m;
  return m;
}

ButtonData& data(HWND h) { return buttons()[h]; }

DWORD kindOf(HWND h) { return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & BS_TYPEMASK; }

bool isPush(DWORD kind) { return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_PUSHBOX; }
bool isRadio(DWORD kind) { return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON; }
bool isCheck(DWORD kind) {
  return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE;
}

void notify(HWND h, WORD code) {
  HWND parent = GetParent(h);
  if (!parent || !(GetWindowLong(h, GWL_STYLE) & WS_CHILD)) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(h)), code), reinterpret_cast<LPARAM>(h));
}

void redraw(HWND h) { InvalidateRect(h, nullptr, TRUE); }

void setCheck(HWND h, UINT check) {
  ButtonData& d = data(h);
  if (d.check != check) {
    d.check = check;
    redraw(h);
  }
}

// The other automatic radio buttons of h's group lose their check.
void uncheckGroup(HWND h) {
  HWND parent = GetParent(h);
  if (!parent) return;
  HWND start = h;
  // Back to the group's first control, then forward to the next group.
  for (HWND p = h; p; p = GetWindow(p, GW_HWNDPREV)) {
    start = p;
    if (GetWindowLong(p, GWL_STYLE) & WS_GROUP) break;
  }
  for (HWND c = start; c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (c != start && (GetWindowLong(c, GWL_STYLE) & WS_GROUP)) break;
    if (c == h) continue;
    if (buttons().count(c) && kindOf(c) == BS_AUTORADIOBUTTON) SendMessage(c, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

// Automatic check changes and press changes go through the window's own procedure
// (BM_SETCHECK, BM_SETSTATE), so that a subclass of the button sees them.
void clicked(HWND h) {
  const DWORD kind = kindOf(h);
  const UINT check = data(h).check;
  if (kind == BS_AUTOCHECKBOX) SendMessage(h, BM_SETCHECK, check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  else if (kind == BS_AUTO3STATE) SendMessage(h, BM_SETCHECK, (check + 1) % 3, 0);
  else if (kind == BS_AUTORADIOBUTTON) {
    SendMessage(h, BM_SETCHECK, BST_CHECKED, 0);
    if (IsWindow(h)) uncheckGroup(h);
  }
  if (IsWindow(h)) notify(h, BN_CLICKED);
}

void showPushed(HWND h, bool pushed) {
  ButtonData& d = data(h);
  if (d.pushed == pushed) return;
  d.pushed = pushed;
  redraw(h);
}

void setPushed(HWND h, bool pushed) {
  auto it = buttons().find(h);
  if (it == buttons().end() || it->second.pushed == pushed) return;
  SendMessage(h, BM_SETSTATE, pushed ? TRUE : FALSE, 0);
}

bool inside(HWND h, LPARAM lParam) {
  RECT r;
  GetClientRect(h, r);
  return PtInRect(r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != 0;
}

void drawContent(HWND h, HDC dc, const RECT& box, int align, bool disabled) {
  const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  ButtonData& d = data(h);
  if ((style & (BS_BITMAP | BS_ICON)) && d.image) {
    const SIZE s = dlg::imageSize(d.image, d.imageKind);
    dlg::drawImage(dc, box.left + (box.right - box.left - s.cx) / 2, box.top + (box.bottom - box.top - s.cy) / 2,
                   d.image, d.imageKind);
    return;
  }
  const DWORD halign = style & BS_CENTER;
  if (halign == BS_LEFT) align = 0;
  else if (halign == BS_RIGHT) align = 2;
  else if (halign == BS_CENTER) align = 1;
  int valign = 1;
  if ((style & BS_VCENTER) == BS_TOP) valign = 0;
  else if ((style & BS_VCENTER) == BS_BOTTOM) valign = 2;
  const bool multi = (style & BS_MULTILINE) != 0;
  auto lines = dlg::layoutText(dc, dlg::windowText(h), box.right - box.left, multi, true);
  if (!multi && lines.size() > 1) lines.resize(1);
  dlg::drawLines(dc, lines, box, align, valign, disabled);
}

void paintPush(HWND h, HDC dc, const RECT& client, bool disabled) {
  ButtonData& d = data(h);
  const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  const DWORD kind = style & BS_TYPEMASK;
  dlg::paintBackground(h, dc, WM_CTLCOLORBTN, client, COLOR_BTNTEXT);
  RECT r = client;
  const bool pushed = d.pushed || ((style & BS_PUSHLIKE) && d.check == BST_CHECKED);
  if (kind == BS_DEFPUSHBUTTON) {
    dlg::frame(dc, r, GetSysColor(COLOR_3DDKSHADOW));
    InflateRect(r, -1, -1);
  }
  if (pushed) {
    if (kind == BS_DEFPUSHBUTTON) dlg::frame(dc, r, GetSysColor(COLOR_BTNSHADOW));
    else dlg::edge3d(dc, r, false);
  } else {
    dlg::edge3d(dc, r, true);
  }
  RECT content = client;
  InflateRect(content, -4, -4);
  if (pushed) OffsetRect(content, 1, 1);
  drawContent(h, dc, content, 1, disabled);
  if (d.focused) {
    RECT f = client;
    InflateRect(f, -4, -4);
    dlg::focusRect(dc, f);
  }
}

void paintCheck(HWND h, HDC dc, const RECT& client, bool disabled) {
  ButtonData& d = data(h);
  const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  const DWORD kind = style & BS_TYPEMASK;
  dlg::paintBackground(h, dc, WM_CTLCOLORSTATIC, client, COLOR_BTNTEXT);
  const int size = 13;
  const bool leftText = (style & BS_LEFTTEXT) != 0;
  int top = client.top + (client.bottom - client.top - size) / 2;
  if ((style & BS_VCENTER) == BS_TOP) top = client.top;
  else if ((style & BS_VCENTER) == BS_BOTTOM) top = client.bottom - size;
  const int left = leftText ? client.right - size : client.left;
  const RECT box{left, top, left + size, top + size};
  const COLORREF mark = disabled || d.check == BST_INDETERMINATE ? GetSysColor(COLOR_BTNSHADOW) : RGB(0, 0, 0);
  const COLORREF well = disabled || d.pushed ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
  if (isRadio(kind)) {
    HBRUSH b = CreateSolidBrush(well);
    HPEN p = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
    Ellipse(dc, box.left, box.top, box.right - 1, box.bottom - 1);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(b);
    DeleteObject(p);
    if (d.check == BST_CHECKED) dlg::fillSolid(dc, RECT{box.left + 4, box.top + 4, box.left + 8, box.top + 8}, mark);
  } else {
    dlg::edge3d(dc, box, false);
    dlg::fillSolid(dc, RECT{box.left + 2, box.top + 2, box.right - 2, box.bottom - 2}, well);
    if (d.check != BST_UNCHECKED) {
      // A tick three pixels thick: down-right from (3,5) to (5,7), then up-right to (9,3).
      for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k) dlg::vline(dc, box.left + 3 + k, box.top + 5 + k + i, box.top + 6 + k + i, mark);
        for (int k = 0; k < 4; ++k) dlg::vline(dc, box.left + 6 + k, box.top + 6 - k + i, box.top + 7 - k + i, mark);
      }
    }
  }
  RECT text = client;
  if (leftText) text.right = box.left - 4;
  else text.left = box.right + 4;
  drawContent(h, dc, text, 0, disabled);
  if (d.focused) {
    auto lines = dlg::layoutText(dc, dlg::windowText(h), text.right - text.left, (style & BS_MULTILINE) != 0, true);
    const SIZE s = dlg::measureLines(dc, lines);
    const int ty = text.top + (text.bottom - text.top - s.cy) / 2;
    dlg::focusRect(dc, RECT{text.left - 1, ty - 1, text.left + s.cx + 1, ty + s.cy + 1});
  }
}

void paintGroup(HWND h, HDC dc, const RECT& client, bool disabled) {
  // The interior belongs to the controls inside: only the frame and the title are drawn.
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkMode(dc, TRANSPARENT);
  const std::string text = dlg::windowText(h);
  auto lines = dlg::layoutText(dc, text, 0, false, true);
  if (lines.size() > 1) lines.resize(1);
  const int lh = dlg::lineHeight(dc);
  dlg::etched(dc, RECT{client.left, client.top + lh / 2, client.right, client.bottom});
  if (text.empty()) return;
  const SIZE s = dlg::measureLines(dc, lines);
  const RECT title{client.left + 8, client.top, client.left + 8 + s.cx + 4, client.top + lh};
  HWND parent = GetParent(h);
  HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(SendMessage(parent, WM_CTLCOLORSTATIC,
                                                               reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(h)))
                        : nullptr;
  dlg::fillBrush(dc, title, brush, GetSysColor(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  dlg::drawLines(dc, lines, RECT{title.left + 2, title.top, title.right, title.bottom}, 0, 0, disabled);
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  if (dc) {
    RECT client;
    GetClientRect(h, client);
    HGDIOBJ oldFont = SelectObject(dc, dlg::fontOf(h));
    const bool disabled = !IsWindowEnabled(h);
    const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
    const DWORD kind = style & BS_TYPEMASK;
    if (kind == BS_GROUPBOX) paintGroup(h, dc, client, disabled);
    else if ((isCheck(kind) || isRadio(kind)) && !(style & BS_PUSHLIKE)) paintCheck(h, dc, client, disabled);
    else if (kind != BS_OWNERDRAW && kind != BS_USERBUTTON) paintPush(h, dc, client, disabled);
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

LRESULT buttonProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const DWORD kind = kindOf(h);
  switch (msg) {
    case WM_NCCREATE:
      buttons()[h] = ButtonData{};
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_NCDESTROY:
      buttons().erase(h);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_NCHITTEST:
      if (kind == BS_GROUPBOX) return HTTRANSPARENT;
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_GETDLGCODE:
      if (kind == BS_GROUPBOX) return DLGC_STATIC;
      if (isRadio(kind)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      if (kind == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (isPush(kind)) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    case WM_ERASEBKGND:
      return 1;   // painting fills the background
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SETFONT:
      data(h).font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) redraw(h);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(data(h).font);
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProc(h, msg, wParam, lParam);
      redraw(h);
      return r;
    }
    case WM_ENABLE:
      redraw(h);
      return 0;
    case WM_SETFOCUS:
      data(h).focused = true;
      redraw(h);
      if (isPush(kind)) dlg::pushButtonFocus(h, true, reinterpret_cast<HWND>(wParam));
      if (GetWindowLong(h, GWL_STYLE) & BS_NOTIFY) notify(h, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS: {
      ButtonData& d = data(h);
      d.focused = false;
      if (d.spaceDown) {
        d.spaceDown = false;
        setPushed(h, false);
      }
      redraw(h);
      if (isPush(kind)) dlg::pushButtonFocus(h, false, reinterpret_cast<HWND>(wParam));
      if (GetWindowLong(h, GWL_STYLE) & BS_NOTIFY) notify(h, BN_KILLFOCUS);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (kind == BS_GROUPBOX) return 0;
      if (GetFocus() != h) SetFocus(h);
      if (!IsWindow(h)) return 0;
      SetCapture(h);
      ButtonData& d = data(h);
      d.tracking = true;
      setPushed(h, true);
      if (msg == WM_LBUTTONDBLCLK && (isRadio(kind) || (GetWindowLong(h, GWL_STYLE) & BS_NOTIFY)))
        notify(h, BN_DOUBLECLICKED);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (data(h).tracking) setPushed(h, inside(h, lParam));
      return 0;
    case WM_LBUTTONUP: {
      ButtonData& d = data(h);
      if (!d.tracking) return 0;
      d.tracking = false;
      const bool wasPushed = d.pushed;
      setPushed(h, false);
      if (GetCapture() == h) ReleaseCapture();
      if (wasPushed && inside(h, lParam) && IsWindow(h)) clicked(h);
      return 0;
    }
    case WM_CAPTURECHANGED: {
      auto it = buttons().find(h);
      if (it != buttons().end() && it->second.tracking) {
        it->second.tracking = false;
        setPushed(h, false);
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == static_cast<WPARAM>(VK_SPACE) && kind != BS_GROUPBOX && !(lParam & (1 << 30))) {
        data(h).spaceDown = true;
        setPushed(h, true);
        return 0;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_KEYUP:
      if (wParam == static_cast<WPARAM>(VK_SPACE)) {
        ButtonData& d = data(h);
        if (!d.spaceDown) return 0;
        d.spaceDown = false;
        setPushed(h, false);
        clicked(h);
        return 0;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    case BM_CLICK:
      if (kind == BS_GROUPBOX || !IsWindowEnabled(h)) return 0;
      if (GetFocus() != h) SetFocus(h);
      if (IsWindow(h)) clicked(h);
      return 0;
    case BM_GETCHECK:
      return static_cast<LRESULT>(data(h).check);
    case BM_SETCHECK:
      if (isCheck(kind) || isRadio(kind)) {
        UINT c = static_cast<UINT>(wParam);
        if (c == BST_INDETERMINATE && kind != BS_3STATE && kind != BS_AUTO3STATE) c = BST_CHECKED;
        setCheck(h, c > BST_INDETERMINATE ? BST_CHECKED : c);
      }
      return 0;
    case BM_GETSTATE: {
      ButtonData& d = data(h);
      return static_cast<LRESULT>(d.check | (d.pushed ? BST_PUSHED : 0u) | (d.focused ? BST_FOCUS : 0u));
    }
    case BM_SETSTATE:
      showPushed(h, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      const DWORD old = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
      SetWindowLong(h, GWL_STYLE, static_cast<LONG>((old & 0xFFFF0000u) | (static_cast<DWORD>(wParam) & 0xFFFFu)));
      if (lParam) redraw(h);
      return 0;
    }
    case BM_GETIMAGE: {
      ButtonData& d = data(h);
      return d.imageKind == wParam ? reinterpret_cast<LRESULT>(d.image) : 0;
    }
    case BM_SETIMAGE: {
      if (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON) return 0;
      ButtonData& d = data(h);
      const LRESULT old = d.imageKind == wParam ? reinterpret_cast<LRESULT>(d.image) : 0;
      d.image = reinterpret_cast<HGDIOBJ>(lParam);
      d.imageKind = wParam;
      redraw(h);
      return old;
    }
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerButtonClass() { registerControlClass("Button", buttonProc); }
}  // namespace dlg

}  // namespace win
