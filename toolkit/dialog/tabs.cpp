// toolkit/dialog/tabs.cpp: tab fields whose pages are dialogs of their own, resizable dialogs
// with anchored fields and a size grip, and the snapshots of toolkit windows taken around
// modal work.
// Sections (grep "[SECTION]"): tab pages | tab changes | resizable dialogs | snapshots
#include <algorithm>
#include <cstdint>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"

using namespace win;

namespace {
std::size_t at(int i) { return static_cast<std::size_t>(i); }

HWND pagewindow(int page) {
  const int k = yydialogfind(page);
  return k > 0 ? dialogtable.hDialogList[at(k)] : nullptr;
}

template <class F>
void eachtab(HWND dialog, F&& f) {
  for (HWND t = GetWindow(dialog, GW_CHILD); t != nullptr; t = GetWindow(t, GW_HWNDNEXT))
    if (yyfieldclass(t) == FieldClass::Tab) f(t);
}
}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Tab pages
// - yytabpages(), yytabdisplayarea(), yytabdialoginit(), yytabdialogend(), yytabdialogsetfocus()
//------------------------------------------------------------------------------
std::vector<int> yytabpages(HWND tab) {
  std::vector<int> pages;
  const LRESULT n = SendMessage(tab, TCM_GETITEMCOUNT, 0, 0);
  for (LRESULT k = 0; k < n; ++k) {
    TCITEM ti;
    ti.mask = TCIF_PARAM;
    SendMessage(tab, TCM_GETITEM, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&ti));
    pages.push_back(static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(ti.lParam) & 0xFFFFFFFFu)));
  }
  return pages;
}

void yytabdisplayarea(HWND tab, RECT& area) {
  RECT r;
  GetWindowRect(tab, r);
  POINT tl{r.left, r.top};
  ScreenToClient(GetParent(tab), tl);
  area = RECT{tl.x, tl.y, tl.x + r.right - r.left, tl.y + r.bottom - r.top};
  SendMessage(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
}

void yytabdialoginit(HWND dialog) {
  eachtab(dialog, [&](HWND tab) {
    const std::vector<int> pages = yytabpages(tab);
    const LRESULT current = SendMessage(tab, TCM_GETCURSEL, 0, 0);
    RECT area;
    yytabdisplayarea(tab, area);
    for (std::size_t k = 0; k < pages.size(); ++k) {
      HWND page = pagewindow(pages[k]);
      // A page that holds this dialog would hold itself.
      if (page == nullptr || page == dialog || IsChild(page, dialog)) continue;
      LONG style = GetWindowLong(page, GWL_STYLE);
      style &= ~static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
      style |= static_cast<LONG>(WS_CHILD | DS_CONTROL);
      SetWindowLong(page, GWL_STYLE, style);
      SetWindowLong(page, GWL_EXSTYLE, GetWindowLong(page, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_CONTROLPARENT));
      if (HWND grip = GetDlgItem(page, -1); grip != nullptr && yyfieldclass(grip) == FieldClass::Scrollbar)
        DestroyWindow(grip);
      SetParent(page, dialog);
      // The owner may not be on the screen yet: the tab field's own visibility counts.
      const bool shown = static_cast<LRESULT>(k) == current && (GetWindowLong(tab, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE));
      SetWindowPos(page, tab, area.left, area.top, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      EnableWindow(page, TRUE);
      if (DialogRecord* r = yydialogrecord(dialog); r != nullptr && shown) r->currentpage = pages[k];
      yytabdialoginit(page);
    }
  });
}

void yytabdialogend(HWND dialog) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr;) {
    HWND next = GetWindow(c, GW_HWNDNEXT);
    if (yyfieldclass(c) == FieldClass::Dialog && yydialogrecord(c) != nullptr) {
      yytabdialogend(c);
      ShowWindow(c, SW_HIDE);
      SetParent(c, winslot(0).hClient);
      yyDialogCreateSizeGrip(c);
    }
    c = next;
  }
}

void yytabdialogsetfocus(HWND tab, HWND page, int focus) {
  HWND target = nullptr;
  for (HWND c = GetWindow(page, GW_CHILD); c != nullptr && target == nullptr; c = GetWindow(c, GW_HWNDNEXT))
    if ((GetWindowLong(c, GWL_STYLE) & static_cast<LONG>(WS_TABSTOP)) && IsWindowVisible(c) && IsWindowEnabled(c))
      target = c;
  if (target == nullptr) target = tab;
  if (focus != 0) SetFocus(target);
  yyDialogSelectAll(target);
}

//------------------------------------------------------------------------------
// [SECTION] Tabs by program
// - yytabdisabled(), yydialogsettab(), yytabenable(), yyfieldgettab()
//------------------------------------------------------------------------------
namespace {

// A tab's item data: the page identifier in the low word, the disabled flag in the high one.
LPARAM tabdata(HWND tab, int k) {
  TCITEM ti;
  ti.mask = TCIF_PARAM;
  SendMessage(tab, TCM_GETITEM, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&ti));
  return ti.lParam;
}

HWND tabfield(int& field) {
  HWND h = yycurrentfield(field);
  if (h == nullptr || yyfieldclass(h) != FieldClass::Tab) {
    field = -1;
    return nullptr;
  }
  return h;
}

}  // namespace

bool yytabdisabled(HWND tab, int k) {
  return ((static_cast<std::uint64_t>(tabdata(tab, k)) >> 32) & 0xFFFFFFFFu) != 0;
}

void yydialogsettab(int& field, int& page) {
  HWND tab = tabfield(field);
  if (tab == nullptr) return;
  const std::vector<int> pages = yytabpages(tab);
  int k = 0;
  while (k < static_cast<int>(pages.size()) && (pages[at(k)] != page || yytabdisabled(tab, k))) ++k;
  if (k == static_cast<int>(pages.size())) {
    page = -1;
    return;
  }
  const LRESULT old = SendMessage(tab, TCM_GETCURSEL, 0, 0);
  if (old == k) return;
  SendMessage(tab, TCM_SETCURSEL, static_cast<WPARAM>(k), 0);
  if (!IsWindowVisible(tab)) return;
  HWND dialog = GetParent(tab);
  if (old >= 0 && static_cast<std::size_t>(old) < pages.size())
    if (HWND p = pagewindow(pages[at(static_cast<int>(old))])) ShowWindow(p, SW_HIDE);
  if (HWND p = pagewindow(page)) {
    SetWindowPos(p, tab, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const DialogRecord* r = yydialogrecord(dialog);
    yytabdialogsetfocus(tab, p, r != nullptr && r->shown != 0 ? 1 : 0);
  }
  if (DialogRecord* r = yydialogrecord(dialog)) {
    r->previouspage = r->currentpage;
    r->currentpage = page;
  }
  InvalidateRect(tab, nullptr, TRUE);
}

void yytabenable(int& field, int& page, int enable) {
  HWND tab = tabfield(field);
  if (tab == nullptr) return;
  const std::vector<int> pages = yytabpages(tab);
  const auto it = std::find(pages.begin(), pages.end(), page);
  if (it == pages.end()) {
    page = -1;
    return;
  }
  const int k = static_cast<int>(it - pages.begin());
  const bool disabled = enable == 0;
  if (disabled == yytabdisabled(tab, k)) return;
  TCITEM ti;
  ti.mask = TCIF_PARAM;
  ti.lParam = static_cast<LPARAM>((static_cast<std::uint64_t>(disabled ? 1 : 0) << 32) |
                                  static_cast<std::uint32_t>(page));
  SendMessage(tab, TCM_SETITEM, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&ti));
  if (IsWindowVisible(tab)) InvalidateRect(tab, nullptr, TRUE);
}

void yyfieldgettab(int& field, int& page) {
  HWND tab = tabfield(field);
  if (tab == nullptr) return;
  const std::vector<int> pages = yytabpages(tab);
  const LRESULT k = SendMessage(tab, TCM_GETCURSEL, 0, 0);
  page = k >= 0 && static_cast<std::size_t>(k) < pages.size() ? pages[at(static_cast<int>(k))] : -1;
}

//------------------------------------------------------------------------------
// [SECTION] Tab changes
// - yytabnotify()
//------------------------------------------------------------------------------
int yytabnotify(HWND dialog, const NMHDR& header) {
  if (header.code != TCN_SELCHANGING && header.code != TCN_SELCHANGE) return 0;
  HWND tab = header.hwndFrom;
  const bool modal = yyismodaldialog(dialog) != 0;
  DialogRecord* r = CreatingDialog != 0 ? nullptr
                    : dialog == dialogtable.hDialogList[0] ? yydialogrecord(yycurrentdialog())
                                                           : yydialogrecord(dialog);
  const std::vector<int> pages = yytabpages(tab);
  const LRESULT current = SendMessage(tab, TCM_GETCURSEL, 0, 0);
  const int page = current >= 0 && static_cast<std::size_t>(current) < pages.size() ? pages[at(static_cast<int>(current))] : 0;
  HWND focus = GetFocus();
  if (header.code == TCN_SELCHANGING) {
    if (focus != tab && focus != nullptr && yyoutofrange(focus, focus, 0) != 0) hBadTab = focus;
    if (hBadTab != nullptr || hBadVal != nullptr) {
      // The platform's tab keeps its current tab when the change is refused here.
      iBadTab = static_cast<int>(current);
      MessageBeep(0);
      HWND bad = hBadTab != nullptr ? hBadTab : hBadVal;
      SetFocus(bad);
      SendMessage(bad, EM_SETSEL, 0, -1);
      hBadTab = nullptr;
      return 1;
    }
    if (HWND p = pagewindow(page)) ShowWindow(p, SW_HIDE);
    if (r != nullptr) r->previouspage = page;
    return 0;
  }
  if (hBadTab != nullptr || hBadVal != nullptr) {
    SendMessage(tab, TCM_SETCURSEL, static_cast<WPARAM>(iBadTab), 0);
    HWND bad = hBadTab != nullptr ? hBadTab : hBadVal;
    if (HWND p = pagewindow(pages.empty() ? 0 : pages[at(std::clamp(iBadTab, 0, static_cast<int>(pages.size()) - 1))]))
      ShowWindow(p, SW_SHOWNA);
    SetFocus(bad);
    yyDialogSelectAll(bad);
    hBadTab = nullptr;
    return 0;
  }
  if (HWND p = pagewindow(page)) {
    SetWindowPos(p, tab, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(tab, nullptr, TRUE);
    if (GetFocus() != tab) yytabdialogsetfocus(tab, p, 1);
    RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  if (r != nullptr) {
    r->currentpage = page;
    if (!modal)
      yyinterpretmessage(EV_TABCHANGED, 0, static_cast<WPARAM>(r->previouspage), static_cast<LPARAM>(page), dialog);
  }
  return 0;
}

//------------------------------------------------------------------------------
// [SECTION] Resizable dialogs
// - yyIsResizableDialog(), yydialoganchors(), yydialogresize(), yyDialogCreateSizeGrip()
//------------------------------------------------------------------------------
namespace {

bool anchored(HWND f) {
  const FieldClass c = yyfieldclass(f);
  if (c == FieldClass::UpDown || c == FieldClass::Dialog) return false;
  return !(c == FieldClass::Scrollbar && GetDlgCtrlID(f) == -1);
}

// A field's rectangle in its dialog's client area; a spin field's covers its buddy.
RECT fieldrect(HWND f) {
  RECT r;
  GetWindowRect(f, r);
  if (const FieldRecord* fr = yyfieldrecord(f); fr != nullptr && fr->buddy != nullptr) {
    RECT b;
    GetWindowRect(fr->buddy, b);
    UnionRect(r, r, b);
  }
  POINT tl{r.left, r.top}, br{r.right, r.bottom};
  ScreenToClient(GetParent(f), tl);
  ScreenToClient(GetParent(f), br);
  return RECT{tl.x, tl.y, br.x, br.y};
}

bool encloses(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right && outer.bottom >= inner.bottom;
}

}  // namespace

int yyIsResizableDialog(HWND hwnd) {
  const DialogRecord* r = yydialogrecord(hwnd);
  return r != nullptr && r->stretchfield != nullptr ? 1 : 0;
}

void yydialoganchors(HWND dialog) {
  const DialogRecord* rec = yydialogrecord(dialog);
  if (rec == nullptr || rec->stretchfield == nullptr) return;
  HWND s = rec->stretchfield;
  const RECT sr = fieldrect(s);
  const int m = rec->stretchmode;
  RECT client;
  GetClientRect(dialog, client);
  std::vector<HWND> fields;
  for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT))
    if (anchored(f) && yyfieldrecord(f) != nullptr) fields.push_back(f);
  for (HWND f : fields) {
    FieldRecord* fr = yyfieldrecord(f);
    const RECT own = fieldrect(f);
    fr->rightoffset = client.right - own.right;
    fr->bottomoffset = client.bottom - own.bottom;
    RECT work = own;
    for (HWND e : fields) {
      if (e == f) continue;
      const RECT er = fieldrect(e);
      if (!encloses(er, own)) continue;
      if (f == s) yyfieldrecord(e)->anchors |= 2 | 8;
      else if (!encloses(er, sr) && encloses(er, work)) work = er;
    }
    if (f == s) {
      fr->anchors |= 2 | 8;
      continue;
    }
    if (m != 0 && work.right == sr.right) {
      if (work.left != sr.left || own.left == sr.left) {
        fr->anchors |= 2;
        if (own.left != sr.left) fr->anchors |= 1;
      }
    } else if (work.left >= sr.right) {
      fr->anchors |= 1 | 2;
    }
    if (m != 0 && work.bottom == sr.bottom) {
      if (work.top != sr.top || own.top == sr.top) {
        fr->anchors |= 8;
        if (own.top != sr.top) fr->anchors |= 4;
      }
    } else if (work.top >= sr.bottom) {
      fr->anchors |= 4 | 8;
    }
  }
  for (HWND f : fields) {
    FieldRecord* fr = yyfieldrecord(f);
    if (yyfieldclass(f) != FieldClass::Static) continue;
    const DWORD kind = static_cast<DWORD>(GetWindowLong(f, GWL_STYLE)) & SS_TYPEMASK;
    if (kind == SS_ETCHEDHORZ && !(fr->anchors & 4)) fr->anchors &= ~8;
    if (kind == SS_ETCHEDVERT && !(fr->anchors & 1)) fr->anchors &= ~2;
  }
}

void yydialogresize(HWND dialog, int width, int height) {
  const DialogRecord* rec = yydialogrecord(dialog);
  if (rec == nullptr) return;
  if (HWND grip = GetDlgItem(dialog, -1); grip != nullptr && yyfieldclass(grip) == FieldClass::Scrollbar) {
    RECT g;
    GetWindowRect(grip, g);
    const int gw = g.right - g.left, gh = g.bottom - g.top;
    SetWindowPos(grip, nullptr, width - gw, height - gh, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const bool hide = IsZoomed(dialog) || (rec->combinedwindow != nullptr && IsZoomed(rec->combinedwindow));
    ShowWindow(grip, hide ? SW_HIDE : SW_SHOWNA);
  }
  for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
    const FieldRecord* fr = yyfieldrecord(f);
    if (fr == nullptr || fr->anchors == 0 || !anchored(f)) continue;
    RECT r = fieldrect(f);
    const int dx = width - r.right - fr->rightoffset, dy = height - r.bottom - fr->bottomoffset;
    if (fr->anchors & 1) r.left += dx;
    if (fr->anchors & 2) r.right += dx;
    if (fr->anchors & 4) r.top += dy;
    if (fr->anchors & 8) r.bottom += dy;
    int bw = 0;
    if (fr->buddy != nullptr) {
      RECT b;
      GetWindowRect(fr->buddy, b);
      bw = b.right - b.left;
    }
    SetWindowPos(f, nullptr, r.left, r.top, r.right - r.left - bw, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (fr->buddy != nullptr)
      SetWindowPos(fr->buddy, nullptr, r.right - bw, r.top, bw, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void yydialogsize(int width, int height, int& status) {
  status = 0;
  HWND d = yycurrentdialog();
  DialogRecord* rec = yydialogrecord(d);
  if (rec == nullptr) return;
  if (rec->combinedwindow != nullptr) {
    status = -1;
    return;
  }
  RECT old;
  GetClientRect(d, old);
  RECT units{0, 0, width, height};
  MapDialogRect(d, units);
  RECT client{0, 0, width > 0 ? units.right : old.right, height > 0 ? units.bottom : old.bottom};
  const bool resizable = yyIsResizableDialog(d) != 0;
  // Fields of a fixed dialog that the new size cuts off are hidden; their state is kept.
  auto screen = [d](RECT r) {
    POINT tl{0, 0};
    ClientToScreen(d, tl);
    OffsetRect(r, tl.x, tl.y);
    return r;
  };
  std::vector<HWND> before;
  if (!resizable) {
    const RECT was = screen(old), will = screen(client);
    for (HWND f = GetWindow(d, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
      const FieldRecord* fr = yyfieldrecord(f);
      if (fr == nullptr || !anchored(f) || yyfieldclass(f) == FieldClass::UpDown) continue;
      const bool inside = yyFieldInRect(f, was) == 1;
      if (inside) before.push_back(f);
      if (!inside || yyFieldInRect(f, will) == 1) continue;
      HWND focus = GetFocus();
      const bool hadfocus = focus != nullptr && (focus == f || IsChild(f, focus));
      ShowWindow(f, SW_HIDE);
      if (fr->buddy != nullptr) ShowWindow(fr->buddy, SW_HIDE);
      if (hadfocus) SendMessage(d, WM_NEXTDLGCTL, 0, FALSE);
    }
  }
  RECT outer = client;
  AdjustWindowRectEx(outer, static_cast<DWORD>(GetWindowLong(d, GWL_STYLE)), GetMenu(d) != nullptr,
                     static_cast<DWORD>(GetWindowLong(d, GWL_EXSTYLE)));
  const int ow = outer.right - outer.left, oh = outer.bottom - outer.top;
  rec->minwidth = std::min(rec->minwidth, ow);
  rec->minheight = std::min(rec->minheight, oh);
  SetWindowPos(d, nullptr, 0, 0, ow, oh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (resizable) return;
  RECT now;
  GetClientRect(d, now);
  const RECT inner = screen(now);
  for (HWND f = GetWindow(d, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
    const FieldRecord* fr = yyfieldrecord(f);
    if (fr == nullptr || !anchored(f) || yyfieldclass(f) == FieldClass::UpDown) continue;
    if (std::find(before.begin(), before.end(), f) != before.end() || yyFieldInRect(f, inner) != 1) continue;
    int id = GetDlgCtrlID(f);
    yyfieldenable(id, fr->state, 1);
  }
}

void yyDialogCreateSizeGrip(HWND dialog) {
  if (!yyIsResizableDialog(dialog)) return;
  if (HWND old = GetDlgItem(dialog, -1); old != nullptr && yyfieldclass(old) == FieldClass::Scrollbar) return;
  const DialogRecord* rec = yydialogrecord(dialog);
  for (HWND w = rec->combinedwindow; w != nullptr;) {
    const int n = yygetwindowindex(w);
    if (n >= 0 && winslot(n).wMessLine != nullptr) return;   // the status bar has its own grip
    const FrameRecord* split = (GetWindowLong(w, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) ? yyframerecord(GetParent(GetParent(w))) : nullptr;
    if (split == nullptr || split->word[FR_KIND] != SW_SPLITWINDOW) break;
    if (split->word[SP_PANE1] == n) return;   // the first pane of a split window
    w = GetParent(GetParent(w));
  }
  RECT c;
  GetClientRect(dialog, c);
  CreateWindowEx(0, "SCROLLBAR", "",
                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
                 0, 0, c.right, c.bottom, dialog, LongToHandle<HMENU>(-1), GetModuleHandle(nullptr), nullptr);
}

//------------------------------------------------------------------------------
// [SECTION] Snapshots
// - yygetwindowbitmap()
//------------------------------------------------------------------------------
namespace {

HBITMAP takesnapshot(HWND w) {
  RECT r;
  GetClientRect(w, r);
  HDC dc = GetDC(w);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(1, r.right), std::max<LONG>(1, r.bottom));
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(w, dc);
  return bmp;
}

// The part (x, y, width, height) of a snapshot copied onto dc at (dx, dy).
void putsnapshot(HDC dc, HBITMAP image, int dx, int dy, int x, int y, int width, int height) {
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, image);
  BitBlt(dc, dx, dy, width, height, mem, x, y, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void givesnapshotback(HWND w, HBITMAP image) {
  RECT r;
  GetClientRect(w, r);
  HDC dc = GetDC(w);
  putsnapshot(dc, image, 0, 0, 0, 0, r.right, r.bottom);
  ReleaseDC(w, dc);
  ValidateRect(w, nullptr);
}

}  // namespace

void yypaintfromsnapshot(HWND w, HDC dc) {
  HWND dialog = yydialogrecord(w) != nullptr ? w : GetParent(w);
  const DialogRecord* r = yydialogrecord(dialog);
  if (r == nullptr || r->image == nullptr) return;
  if (w == dialog) {
    RECT c;
    GetClientRect(w, c);
    putsnapshot(dc, r->image, 0, 0, 0, 0, c.right, c.bottom);
    return;
  }
  RECT f;
  GetWindowRect(w, f);
  POINT tl{f.left, f.top};
  ScreenToClient(dialog, tl);
  putsnapshot(dc, r->image, 0, 0, tl.x, tl.y, f.right - f.left, f.bottom - f.top);
}

void yygetwindowbitmap(int mode, int window, int& status) {
  status = 0;
  const DialogTable& dt = dialogtable;
  auto plain = [](int w) {
    const FrameRecord* r = yyframerecord(winslot(w).wWindow);
    return r == nullptr || r->word[FR_KIND] == SW_SPLITWINDOW;
  };
  if (mode == 1) {
    // A dialog that draws only finishes its pending paints: painting it afresh would wipe
    // the program's drawing off the snapshot.
    for (int i = 1; i <= dt.nDialogs; ++i)
      if (HWND d = dt.hDialogList[at(i)]; IsWindowVisible(d))
        RedrawWindow(d, nullptr, nullptr,
                     (yyCheckUserDrawn(d) != 0 ? 0u : RDW_INVALIDATE) | RDW_ALLCHILDREN | RDW_UPDATENOW);
    wBlitOn = 1;
    for (int w = 0; w < MAXWINDOWS; ++w) {
      HWND client = winslot(w).hClient;
      if (w == window || client == nullptr || !IsWindowVisible(winslot(w).wWindow) || !plain(w)) continue;
      if (winslot(w).hImage == nullptr) winslot(w).hImage = takesnapshot(client);
      ++winslot(w).nImage;
    }
    for (int i = 1; i <= dt.nDialogs; ++i) {
      HWND d = dt.hDialogList[at(i)];
      DialogRecord* r = yydialogrecord(d);
      if (r == nullptr || !IsWindowVisible(d) || yyCheckUserDrawn(d) == 0) continue;
      if (r->image == nullptr) r->image = takesnapshot(d);
      ++r->nimage;
    }
    return;
  }
  wBlitOn = 0;
  for (int w = 0; w < MAXWINDOWS; ++w) {
    if (w == window || winslot(w).hImage == nullptr) continue;
    if (--winslot(w).nImage > 0) {
      wBlitOn = 1;
      continue;
    }
    winslot(w).nImage = 0;
    HWND client = winslot(w).hClient;
    if (client != nullptr && IsWindow(client)) givesnapshotback(client, winslot(w).hImage);
    DeleteObject(winslot(w).hImage);
    winslot(w).hImage = nullptr;
  }
  for (int i = 1; i <= dt.nDialogs; ++i) {
    HWND d = dt.hDialogList[at(i)];
    DialogRecord* r = yydialogrecord(d);
    if (r == nullptr) continue;
    if (r->image == nullptr) {
      if (IsWindowVisible(d)) RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      continue;
    }
    if (--r->nimage > 0) {
      wBlitOn = 1;
      continue;
    }
    r->nimage = 0;
    givesnapshotback(d, r->image);
    DeleteObject(r->image);
    r->image = nullptr;
  }
}
