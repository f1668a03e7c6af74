// platform/combobox.cpp: the COMBOBOX control class: a list (a "ComboLBox" of listbox.cpp)
// with a selection field and a drop button (CBS_DROPDOWNLIST), with an edit part and a drop
// button (CBS_DROPDOWN), or with an edit part above a list always shown (CBS_SIMPLE).
//
// The dropped list is a pop-up that never takes the activation or the focus: while it is
// down the combo box holds the mouse capture and drives the list itself (the pointer
// highlights, a click or a release after a drag chooses, a click elsewhere cancels), and its
// keys come to the combo box or, through a subclass, to its edit part.
//
// Invariants: (1) the list's selection is the combo box's selection; (2) dropped is true
// exactly while the list is shown and the capture is ours; (3) committed is the selection
// last reported, to which a cancelled drop returns; (4) the parent may destroy the combo box
// in any notification, so nothing touches its record afterwards without checking.
// Sections (grep "[SECTION]"): record | selection | drop and close | keys and mouse |
//   painting | window procedures
#include <algorithm>
#include <string>

#include "platform/control_records.h"
#include "platform/combobox.h"
#include "platform/dialog_internal.h"
#include "platform/edit.h"
#include "platform/listbox.h"

namespace win {
namespace {

//------------------------------------------------------------------------------
// [SECTION] Record
//------------------------------------------------------------------------------
struct ComboData {
  HWND edit = nullptr;
  HWND list = nullptr;
  WNDPROC editProc = nullptr;   // the edit part's own procedure, under our subclass
  HFONT font = nullptr;
  int fullHeight = 0;    // with the list dropped
  int fieldHeight = 0;
  int dropWidth = 0;
  int committed = -1;
  bool dropped = false;
  bool focused = false;
  bool extendedUI = false;
  bool resizing = false;
  bool closing = false;
  bool settingText = false;   // the combo box itself sets its edit part's text
  bool buttonDown = false;    // the left button went down on the combo box and is still down
  bool dragged = false;       // ... and has since moved into the list
};

ControlRecords<ComboData>& combos() {
  static ControlRecords<ComboData> records;
  return records;
}

ComboData* rec(HWND h) { return combos().find(h); }

DWORD kindOf(HWND h) { return styleOf(h) & 0x3; }
bool dropsDown(HWND h) { return kindOf(h) != CBS_SIMPLE; }

void notify(HWND h, WORD code) { notifyCommand(h, code); }

LRESULT toList(const ComboData& d, UINT msg, WPARAM w, LPARAM l) { return d.list ? SendMessage(d.list, msg, w, l) : CB_ERR; }

int itemHeightOf(const ComboData& d) {
  const LRESULT ih = toList(d, LB_GETITEMHEIGHT, 0, 0);
  return ih > 0 ? static_cast<int>(ih) : 13;
}

int buttonWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

// Places the edit part and a simple combo box's list; a drop-down combo box keeps the
// height of its field.
void layoutChildren(HWND h) {
  ComboData* d = rec(h);
  if (!d) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dlg::fontOf(h));
  d->fieldHeight = dlg::lineHeight(dc) + 8;
  SelectObject(dc, old);
  DeleteDC(dc);
  RECT c;
  GetClientRect(h, c);
  if (dropsDown(h) && c.bottom != d->fieldHeight) {
    d->resizing = true;
    SetWindowPos(h, nullptr, 0, 0, c.right, d->fieldHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!IsWindow(h) || !(d = rec(h))) return;
    d->resizing = false;
    GetClientRect(h, c);
  }
  const int right = dropsDown(h) ? c.right - 2 - buttonWidth() : c.right - 3;
  if (d->edit) MoveWindow(d->edit, 3, 3, std::max(0, right - 4), std::max(0, d->fieldHeight - 6), TRUE);
  if (kindOf(h) == CBS_SIMPLE && d->list)
    MoveWindow(d->list, 0, d->fieldHeight, c.right, std::max(0, static_cast<int>(c.bottom) - d->fieldHeight), TRUE);
  InvalidateRect(h, nullptr, TRUE);
}

// The dropped list's place on the screen: under the field (above it when there is no room
// below), as wide as the combo box or its dropped width, as tall as the combo box's full
// height allows and no taller than its items need.
RECT dropRect(HWND h, const ComboData& d, bool fitItems) {
  RECT r;
  GetWindowRect(h, r);
  const int width = std::max(static_cast<int>(r.right - r.left), d.dropWidth);
  int height = std::max(itemHeightOf(d) + 2, d.fullHeight - d.fieldHeight);
  if (fitItems) {
    const int n = std::max(1, static_cast<int>(toList(d, LB_GETCOUNT, 0, 0)));
    height = std::min(height, n * itemHeightOf(d) + 2);
    // No part of an item shows unless the style asks for the height as given.
    if (!(styleOf(h) & CBS_NOINTEGRALHEIGHT))
      height = std::max(1, (height - 2) / itemHeightOf(d)) * itemHeightOf(d) + 2;
  }
  int y = r.bottom;
  if (y + height > GetSystemMetrics(SM_CYSCREEN) && r.top - height >= 0) y = r.top - height;
  return RECT{r.left, y, r.left + width, y + height};
}

//------------------------------------------------------------------------------
// [SECTION] Selection
//------------------------------------------------------------------------------
std::string itemText(const ComboData& d, int i) {
  const LRESULT n = toList(d, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
  if (n < 0) return std::string();
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  toList(d, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<std::size_t>(n));
  return s;
}

int current(const ComboData& d) { return static_cast<int>(toList(d, LB_GETCURSEL, 0, 0)); }

void setEditText(HWND h, const std::string& s) {
  ComboData* d = rec(h);
  if (!d || !d->edit) return;
  d->settingText = true;
  SetWindowText(d->edit, s.c_str());
  if ((d = rec(h)) == nullptr) return;
  d->settingText = false;
  if (GetFocus() == d->edit) SendMessage(d->edit, EM_SETSEL, 0, -1);
}

// Makes i the selection (-1 none) and shows it in the field; change: the user made it.
LRESULT select(HWND h, int i, bool change) {
  ComboData* d = rec(h);
  if (!d) return CB_ERR;
  const LRESULT r = toList(*d, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
  setEditText(h, r == LB_ERR ? std::string() : itemText(*d, static_cast<int>(r)));
  if ((d = rec(h)) == nullptr) return r;
  if (!d->dropped) d->committed = r == LB_ERR ? -1 : static_cast<int>(r);
  InvalidateRect(h, nullptr, TRUE);
  if (change) {
    d->committed = r == LB_ERR ? -1 : static_cast<int>(r);
    notify(h, CBN_SELCHANGE);
  }
  return r;
}

//------------------------------------------------------------------------------
// [SECTION] Drop and close
//------------------------------------------------------------------------------
void drop(HWND h) {
  ComboData* d = rec(h);
  if (!d || d->dropped || !dropsDown(h) || !d->list) return;
  notify(h, CBN_DROPDOWN);   // the parent may fill the list here
  if (!IsWindow(h) || !(d = rec(h)) || d->dropped) return;
  d->committed = current(*d);
  const RECT r = dropRect(h, *d, true);
  SetWindowPos(d->list, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
  // From the top, as far down as the selection needs.
  toList(*d, LB_SETTOPINDEX, 0, 0);
  if (d->committed >= 0) toList(*d, LB_SETCURSEL, static_cast<WPARAM>(d->committed), 0);
  ShowWindow(d->list, SW_SHOWNA);
  d->dropped = true;
  SetCapture(h);
  InvalidateRect(h, nullptr, TRUE);
}

// Closes the dropped list; ok keeps the highlighted item (reported when it changed the
// selection), otherwise the selection returns to what it was.
void closeUp(HWND h, bool ok) {
  ComboData* d = rec(h);
  if (!d || !d->dropped) return;
  d->dropped = false;
  d->buttonDown = false;
  d->closing = true;
  if (GetCapture() == h) ReleaseCapture();
  if (!(d = rec(h))) return;
  d->closing = false;
  ShowWindow(d->list, SW_HIDE);
  InvalidateRect(h, nullptr, TRUE);
  const int chosen = current(*d);
  const bool changed = ok && chosen != d->committed;
  if (!ok && chosen != d->committed) toList(*d, LB_SETCURSEL, static_cast<WPARAM>(d->committed), 0);
  if (changed) setEditText(h, chosen < 0 ? std::string() : itemText(*d, chosen));
  if ((d = rec(h)) != nullptr && changed) d->committed = chosen;
  notify(h, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (IsWindow(h)) notify(h, CBN_CLOSEUP);
  if (changed && IsWindow(h)) notify(h, CBN_SELCHANGE);
}

//------------------------------------------------------------------------------
// [SECTION] Keys and mouse
//------------------------------------------------------------------------------
// True when the combo box acted on the key (from itself or its edit part).
bool comboKey(HWND h, int vk, bool alt) {
  ComboData* d = rec(h);
  if (!d) return false;
  if ((vk == VK_F4 && !alt) || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (d->dropped) closeUp(h, true);
    else drop(h);
    return true;
  }
  if (alt) return false;
  if (d->dropped && (vk == VK_RETURN || vk == VK_ESCAPE)) {
    closeUp(h, vk == VK_RETURN);
    return true;
  }
  const bool list = kindOf(h) == CBS_DROPDOWNLIST;
  if (!(vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT || (list && (vk == VK_HOME || vk == VK_END))))
    return false;
  if (d->extendedUI && !d->dropped && vk == VK_DOWN && dropsDown(h)) {
    drop(h);
    return true;
  }
  const int n = static_cast<int>(toList(*d, LB_GETCOUNT, 0, 0));
  if (n <= 0) return true;
  const int cur = current(*d);
  RECT lr;
  GetClientRect(d->list, lr);
  const int page = d->dropped || !dropsDown(h) ? std::max(1, static_cast<int>(lr.bottom) / itemHeightOf(*d) - 1)
                                               : std::max(1, (d->fullHeight - d->fieldHeight) / itemHeightOf(*d) - 1);
  int to = cur;
  switch (vk) {
    case VK_UP: to = cur < 0 ? 0 : cur - 1; break;
    case VK_DOWN: to = cur + 1; break;
    case VK_PRIOR: to = cur - page; break;
    case VK_NEXT: to = cur + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    default: break;
  }
  to = std::clamp(to, 0, n - 1);
  if (to != cur) select(h, to, true);
  return true;
}

void typedChar(HWND h, char ch) {
  ComboData* d = rec(h);
  if (!d || static_cast<unsigned char>(ch) < 0x20) return;
  const LRESULT i = toList(*d, LB_FINDSTRING, static_cast<WPARAM>(current(*d)), reinterpret_cast<LPARAM>(std::string(1, ch).c_str()));
  if (i != LB_ERR && i != current(*d)) select(h, static_cast<int>(i), true);
}

// The user changed the text of the edit part: a simple or dropped list follows with the first
// item that begins with it; a closed drop-down combo box loses its selection, since the text
// is now the user's own.
void editChanged(HWND h) {
  ComboData* d = rec(h);
  if (!d || !d->edit) return;
  const std::string t = dlg::windowText(d->edit);
  if (d->dropped || kindOf(h) == CBS_SIMPLE) {
    const LRESULT i = t.empty() ? LB_ERR : toList(*d, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(t.c_str()));
    toList(*d, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    if (i != LB_ERR) toList(*d, LB_SETTOPINDEX, static_cast<WPARAM>(i), 0);
  } else {
    toList(*d, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    d->committed = -1;
  }
}

// Which part of the dropped list a point of the combo box's client area falls on: 1 an item
// (index out), 2 the list's scroll bar (request out), 0 elsewhere.
int dropHit(HWND h, const ComboData& d, LPARAM lParam, int& out) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(h, p);
  RECT wr;
  GetWindowRect(d.list, wr);
  if (!PtInRect(wr, p)) return 0;
  POINT c = p;
  ScreenToClient(d.list, c);
  RECT cr;
  GetClientRect(d.list, cr);
  if (PtInRect(cr, c)) {
    const LRESULT r = SendMessage(d.list, LB_ITEMFROMPOINT, 0, MAKELPARAM(static_cast<WORD>(c.x), static_cast<WORD>(c.y)));
    if (HIWORD(static_cast<UINT_PTR>(r))) return 0;
    out = LOWORD(static_cast<UINT_PTR>(r));
    return 1;
  }
  if (c.x >= cr.right) {
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    if (c.y < arrow) out = SB_LINEUP;
    else if (c.y >= cr.bottom - arrow) out = SB_LINEDOWN;
    else out = c.y < cr.bottom / 2 ? SB_PAGEUP : SB_PAGEDOWN;
    return 2;
  }
  return 0;
}

void mouse(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  ComboData* d = rec(h);
  if (!d) return;
  if (!d->dropped) {
    if (msg != WM_LBUTTONDOWN && msg != WM_LBUTTONDBLCLK) return;
    HWND focus = GetFocus();
    if (focus != h && !(d->edit && focus == d->edit)) SetFocus(h);
    if (!IsWindow(h) || !(d = rec(h))) return;
    RECT c;
    GetClientRect(h, c);
    const bool onButton = GET_X_LPARAM(lParam) >= c.right - 2 - buttonWidth();
    if (kindOf(h) == CBS_DROPDOWNLIST || (kindOf(h) == CBS_DROPDOWN && onButton)) {
      drop(h);
      if ((d = rec(h)) != nullptr && d->dropped) {
        d->buttonDown = true;
        d->dragged = false;
      }
    }
    return;
  }
  int at = -1;
  const int hit = dropHit(h, *d, lParam, at);
  switch (msg) {
    case WM_MOUSEMOVE:
      if (hit == 1) {
        if (at != current(*d)) toList(*d, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
        if (wParam & MK_LBUTTON) d->dragged = true;
      }
      return;
    case WM_LBUTTONUP:
      if (d->buttonDown && d->dragged && hit == 1) {
        toList(*d, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
        closeUp(h, true);
        return;
      }
      d->buttonDown = false;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (hit == 1) {
        toList(*d, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
        closeUp(h, true);
      } else if (hit == 2) {
        SendMessage(d->list, WM_VSCROLL, static_cast<WPARAM>(at), 0);
      } else {
        closeUp(h, false);
      }
      return;
    default:
      return;
  }
}

//------------------------------------------------------------------------------
// [SECTION] Painting
//------------------------------------------------------------------------------
void drawButton(HDC dc, const RECT& b, bool pushed, bool disabled) {
  dlg::fillSolid(dc, b, GetSysColor(COLOR_BTNFACE));
  if (pushed) dlg::frame(dc, b, GetSysColor(COLOR_BTNSHADOW));
  else dlg::edge3d(dc, b, true);
  const int cx = (b.left + b.right) / 2 + (pushed ? 1 : 0), cy = (b.top + b.bottom) / 2 - 1 + (pushed ? 1 : 0);
  const COLORREF c = GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
  for (int k = 0; k < 4; ++k) dlg::hline(dc, cx - 3 + k, cx + 4 - k, cy + k, c);
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  ComboData* d = rec(h);
  if (dc && d) {
    RECT c;
    GetClientRect(h, c);
    HGDIOBJ oldFont = SelectObject(dc, dlg::fontOf(h));
    const bool disabled = !IsWindowEnabled(h);
    const RECT field{0, 0, c.right, kindOf(h) == CBS_SIMPLE ? d->fieldHeight : c.bottom};
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(disabled ? COLOR_BTNFACE : COLOR_WINDOW));
    HBRUSH brush = nullptr;
    HWND parent = GetParent(h);
    if (parent && kindOf(h) == CBS_DROPDOWNLIST)
      brush = reinterpret_cast<HBRUSH>(SendMessage(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(h)));
    if ((d = rec(h)) != nullptr) {
      dlg::fillBrush(dc, field, brush, GetSysColor(disabled ? COLOR_BTNFACE : COLOR_WINDOW));
      if (kindOf(h) == CBS_SIMPLE && c.bottom > field.bottom)
        dlg::fillSolid(dc, RECT{0, field.bottom, c.right, c.bottom}, GetSysColor(COLOR_BTNFACE));
      dlg::edge3d(dc, field, false);
      RECT text{field.left + 3, field.top + 3, field.right - 3, field.bottom - 3};
      if (dropsDown(h)) {
        const RECT b{field.right - 2 - buttonWidth(), field.top + 2, field.right - 2, field.bottom - 2};
        drawButton(dc, b, d->dropped, disabled);
        text.right = b.left - 1;
      }
      if (kindOf(h) == CBS_DROPDOWNLIST) {
        const int cur = current(*d);
        const bool hot = d->focused && !d->dropped;
        if (hot) {
          dlg::fillSolid(dc, text, GetSysColor(COLOR_HIGHLIGHT));
          SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        }
        SetBkMode(dc, TRANSPARENT);
        if (cur >= 0) {
          const std::string s = itemText(*d, cur);
          const int y = text.top + (text.bottom - text.top - dlg::lineHeight(dc)) / 2;
          ExtTextOut(dc, text.left + 2, y, ETO_CLIPPED, &text, s.c_str(), static_cast<UINT>(s.size()), nullptr);
        }
        if (d->focused) dlg::focusRect(dc, text);
      }
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

//------------------------------------------------------------------------------
// [SECTION] Window procedures
//------------------------------------------------------------------------------
void focusChange(HWND h, bool gaining, HWND other) {
  ComboData* d = rec(h);
  if (!d) return;
  if (gaining) {
    if (d->focused) return;
    d->focused = true;
    InvalidateRect(h, nullptr, TRUE);
    notify(h, CBN_SETFOCUS);
    return;
  }
  if (other && (other == h || other == d->edit || other == d->list)) return;
  if (d->dropped) closeUp(h, false);
  if (!(d = rec(h)) || !d->focused) return;
  d->focused = false;
  InvalidateRect(h, nullptr, TRUE);
  notify(h, CBN_KILLFOCUS);
}

// The edit part's subclass: list keys, the drop keys, Enter and Escape while dropped, and
// the focus of the combo box as a whole.
LRESULT comboEditProc(HWND e, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND h = GetParent(e);
  ComboData* d = rec(h);
  if (!d || !d->editProc) return DefWindowProc(e, msg, wParam, lParam);
  const WNDPROC inner = d->editProc;
  switch (msg) {
    case WM_KEYDOWN:
      if (comboKey(h, static_cast<int>(wParam), false)) return 0;
      break;
    case WM_SYSKEYDOWN:
      if ((wParam == static_cast<WPARAM>(VK_DOWN) || wParam == static_cast<WPARAM>(VK_UP)) &&
          comboKey(h, static_cast<int>(wParam), true))
        return 0;
      break;
    case WM_CHAR:
      if (d->dropped && (wParam == '\r' || wParam == 27)) return 0;
      break;
    case WM_GETDLGCODE:
      return CallWindowProc(inner, e, msg, wParam, lParam) | (d->dropped ? DLGC_WANTMESSAGE : 0);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT r = CallWindowProc(inner, e, msg, wParam, lParam);
      focusChange(h, msg == WM_SETFOCUS, reinterpret_cast<HWND>(wParam));
      return r;
    }
    default:
      break;
  }
  return CallWindowProc(inner, e, msg, wParam, lParam);
}

LRESULT create(HWND h, const CREATESTRUCT* cs) {
  ComboData& d = combos().get(h);
  d.fullHeight = cs ? cs->cy : 0;
  const DWORD style = styleOf(h);
  DWORD listStyle = LBS_HASSTRINGS | WS_VSCROLL | WS_BORDER | LBS_NOTIFY;
  if (style & CBS_SORT) listStyle |= LBS_SORT;
  if (style & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
  HINSTANCE inst = cs ? cs->hInstance : nullptr;
  if (kindOf(h) == CBS_SIMPLE) {
    d.list = CreateWindowEx(0, "ComboLBox", "", listStyle | WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, h,
                            reinterpret_cast<HMENU>(static_cast<LONG_PTR>(kComboListId)), inst, nullptr);
  } else {
    d.list = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "", listStyle | LBS_COMBOBOX | WS_POPUP,
                            0, 0, 10, 10, h, nullptr, inst, nullptr);
  }
  if (!d.list) return -1;
  if (kindOf(h) != CBS_DROPDOWNLIST) {
    DWORD editStyle = WS_CHILD | WS_VISIBLE;
    if (style & CBS_AUTOHSCROLL) editStyle |= ES_AUTOHSCROLL;
    if (style & CBS_UPPERCASE) editStyle |= ES_UPPERCASE;
    if (style & CBS_LOWERCASE) editStyle |= ES_LOWERCASE;
    d.edit = CreateWindowEx(0, "Edit", cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : "", editStyle,
                            3, 3, 10, 10, h, reinterpret_cast<HMENU>(static_cast<LONG_PTR>(kComboEditId)), inst, nullptr);
    if (!d.edit) return -1;
    d.editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(d.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(comboEditProc)));
  }
  layoutChildren(h);
  return 0;
}

LRESULT comboProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE:
      combos().create(h);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_NCDESTROY:
      combos().erase(h);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_CREATE:
      return create(h, reinterpret_cast<const CREATESTRUCT*>(lParam));
    // The whole window is the combo box's own: WS_VSCROLL in its style is its list's.
    case WM_NCCALCSIZE:
      return 0;
    case WM_NCPAINT:
      return 0;
    case WM_NCHITTEST:
      return HTCLIENT;
    default:
      break;
  }
  ComboData* dp = rec(h);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  ComboData& d = *dp;
  switch (msg) {
    case WM_DESTROY:
      if (d.list && IsWindow(d.list) && dropsDown(h)) DestroyWindow(d.list);
      if ((dp = rec(h)) != nullptr) dp->list = nullptr;
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (d.dropped ? DLGC_WANTMESSAGE : 0);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SIZE:
      if (d.resizing) return 0;
      // A new height of a drop-down combo box is the height with its list dropped.
      if (dropsDown(h) && HIWORD(static_cast<UINT_PTR>(lParam)) != d.fieldHeight) d.fullHeight = HIWORD(static_cast<UINT_PTR>(lParam));
      layoutChildren(h);
      return 0;
    case WM_SETFONT:
      d.font = reinterpret_cast<HFONT>(wParam);
      if (d.edit) SendMessage(d.edit, WM_SETFONT, wParam, lParam);
      if (d.list) SendMessage(d.list, WM_SETFONT, wParam, lParam);
      layoutChildren(h);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d.font);
    case WM_ENABLE:
      if (d.edit) EnableWindow(d.edit, static_cast<BOOL>(wParam));
      if (d.list && kindOf(h) == CBS_SIMPLE) EnableWindow(d.list, static_cast<BOOL>(wParam));
      if (!wParam) closeUp(h, false);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      if (d.edit) {
        SetFocus(d.edit);
        if (rec(h) && GetFocus() == rec(h)->edit) SendMessage(rec(h)->edit, EM_SETSEL, 0, -1);
      } else {
        focusChange(h, true, reinterpret_cast<HWND>(wParam));
      }
      return 0;
    case WM_KILLFOCUS:
      if (!d.edit) focusChange(h, false, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_CAPTURECHANGED:
      if (d.dropped && !d.closing) closeUp(h, false);
      return 0;
    case WM_KEYDOWN:
      comboKey(h, static_cast<int>(wParam), false);
      return 0;
    case WM_SYSKEYDOWN:
      if ((wParam == static_cast<WPARAM>(VK_DOWN) || wParam == static_cast<WPARAM>(VK_UP)) &&
          comboKey(h, static_cast<int>(wParam), true))
        return 0;
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_CHAR:
      if (kindOf(h) == CBS_DROPDOWNLIST) typedChar(h, static_cast<char>(wParam));
      return 0;
    case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
      mouse(h, msg, wParam, lParam);
      return 0;
    case WM_MOUSEWHEEL:
      if (d.dropped) return SendMessage(d.list, msg, wParam, lParam);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_COMMAND: {
      const HWND from = reinterpret_cast<HWND>(lParam);
      const WORD code = HIWORD(wParam);
      if (from && from == d.edit) {
        if (d.settingText) return 0;
        if (code == EN_UPDATE) notify(h, CBN_EDITUPDATE);
        else if (code == EN_CHANGE) {
          editChanged(h);
          if (IsWindow(h)) notify(h, CBN_EDITCHANGE);
        }
      } else if (from && from == d.list && kindOf(h) == CBS_SIMPLE) {
        if (code == LBN_SELCHANGE) {
          const int cur = current(d);
          setEditText(h, cur < 0 ? std::string() : itemText(d, cur));
          if (ComboData* r = rec(h)) r->committed = cur;
          notify(h, CBN_SELCHANGE);
        } else if (code == LBN_DBLCLK) {
          notify(h, CBN_DBLCLK);
        } else if (code == LBN_SETFOCUS && d.edit) {
          SetFocus(d.edit);
        }
      }
      return 0;
    }
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSTATIC: {
      // The parts' colours are the parent's to give, as the combo box's own.
      HWND parent = GetParent(h);
      return parent ? SendMessage(parent, msg, wParam, lParam) : 0;
    }
    case WM_SETTEXT: {
      if (d.edit) return SendMessage(d.edit, WM_SETTEXT, wParam, lParam);
      const char* s = reinterpret_cast<const char*>(lParam);
      const LRESULT i = toList(d, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s ? s : ""));
      if (i == LB_ERR) return CB_ERR;
      select(h, static_cast<int>(i), false);
      return TRUE;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      if (d.edit) return SendMessage(d.edit, msg, wParam, lParam);
      const int cur = current(d);
      const std::string s = cur < 0 ? std::string() : itemText(d, cur);
      if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(s.size());
      if (wParam == 0 || !lParam) return 0;
      const std::size_t n = std::min(s.size(), static_cast<std::size_t>(wParam) - 1);
      char* out = reinterpret_cast<char*>(lParam);
      s.copy(out, n);
      out[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case CB_ADDSTRING: return toList(d, LB_ADDSTRING, wParam, lParam);
    case CB_INSERTSTRING: return toList(d, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: {
      const LRESULT r = toList(d, LB_DELETESTRING, wParam, lParam);
      if (r != LB_ERR && kindOf(h) == CBS_DROPDOWNLIST) InvalidateRect(h, nullptr, TRUE);
      return r;
    }
    case CB_RESETCONTENT:
      toList(d, LB_RESETCONTENT, 0, 0);
      d.committed = -1;
      setEditText(h, "");
      InvalidateRect(h, nullptr, TRUE);
      return CB_OKAY;
    case CB_GETCOUNT: return toList(d, LB_GETCOUNT, 0, 0);
    case CB_GETCURSEL: return toList(d, LB_GETCURSEL, 0, 0);
    case CB_SETCURSEL: return select(h, static_cast<int>(static_cast<LONG_PTR>(wParam)), false);
    case CB_GETLBTEXT: return toList(d, LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return toList(d, LB_GETTEXTLEN, wParam, lParam);
    case CB_FINDSTRING: return toList(d, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return toList(d, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: {
      const LRESULT i = toList(d, LB_FINDSTRING, wParam, lParam);
      if (i == LB_ERR) return CB_ERR;
      return select(h, static_cast<int>(i), false);
    }
    case CB_GETITEMDATA: return toList(d, LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMDATA: return toList(d, LB_SETITEMDATA, wParam, lParam);
    case CB_GETTOPINDEX: return toList(d, LB_GETTOPINDEX, 0, 0);
    case CB_SETTOPINDEX: return toList(d, LB_SETTOPINDEX, wParam, 0);
    case CB_GETITEMHEIGHT:
      return static_cast<LONG_PTR>(wParam) == -1 ? d.fieldHeight : itemHeightOf(d);
    case CB_SETITEMHEIGHT:
      if (static_cast<LONG_PTR>(wParam) == -1) return CB_ERR;
      return toList(d, LB_SETITEMHEIGHT, 0, lParam);
    case CB_SHOWDROPDOWN:
      if (wParam) drop(h);
      else closeUp(h, false);
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return d.dropped ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT: {
      RECT* out = reinterpret_cast<RECT*>(lParam);
      if (!out) return CB_ERR;
      GetWindowRect(h, *out);
      if (dropsDown(h)) {
        const RECT r = dropRect(h, d, false);
        out->right = std::max(out->right, r.right);
        out->bottom = out->top + d.fieldHeight + (r.bottom - r.top);
      }
      return TRUE;
    }
    case CB_GETDROPPEDWIDTH: {
      RECT r;
      GetWindowRect(h, r);
      return std::max(static_cast<int>(r.right - r.left), d.dropWidth);
    }
    case CB_SETDROPPEDWIDTH:
      d.dropWidth = static_cast<int>(wParam);
      return std::max(d.dropWidth, 0);
    case CB_SETEXTENDEDUI:
      d.extendedUI = wParam != 0;
      return CB_OKAY;
    case CB_GETEXTENDEDUI:
      return d.extendedUI ? TRUE : FALSE;
    case CB_LIMITTEXT:
      if (d.edit) SendMessage(d.edit, EM_LIMITTEXT, wParam, 0);
      return TRUE;
    case CB_GETEDITSEL:
      if (!d.edit) return CB_ERR;
      return SendMessage(d.edit, EM_GETSEL, wParam, lParam);
    case CB_SETEDITSEL:
      if (!d.edit) return CB_ERR;
      SendMessage(d.edit, EM_SETSEL, static_cast<WPARAM>(static_cast<short>(LOWORD(static_cast<UINT_PTR>(lParam)))),
                  static_cast<short>(HIWORD(static_cast<UINT_PTR>(lParam))));
      return TRUE;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerComboBoxClass() { registerControlClass("ComboBox", comboProc); }
}  // namespace dlg

}  // namespace win
