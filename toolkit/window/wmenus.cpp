// Menus, toolbars and menu prompts: loading a window's menu with its pop-up identifiers and
// prompts, building its toolbars from their resources, and the item operations that grey,
// check, rename, prompt, delete and insert items on the menu and its toolbar buttons alike.
// Sections (grep "[SECTION]"): resources | lookups | menus | toolbars | item operations |
//   public routines
//
// Invariants: (1) a window's run-time prompts are counted in nMenuString and live in its
// menu's item data as allocated copies; (2) a window has a tooltip list exactly while it
// has a toolbar; (3) every toolbar is subclassed with yySubToolbar.
#include "toolkit/window/wmenus.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/resource.h"
#include "toolkit/graphics/area.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_internal.h"

using namespace win;

namespace {

// A window is a pane when the window holding it is split and names it as one of its panes.
bool ispane(int w) {
  const int c = containerof(winslot(w).wWindow);
  if (c < 0) return false;
  const FrameRecord* r = yyframerecord(winslot(c).wWindow);
  return r && r->word[FR_KIND] == SW_SPLITWINDOW && (r->word[SP_PANE1] == w || r->word[SP_PANE2] == w);
}

// The bytes of a resource, empty when it is missing.
struct Bytes {
  const unsigned char* p = nullptr;
  DWORD size = 0;
  int u16(DWORD at) const { return at + 2 <= size ? (p[at] | (p[at + 1] << 8)) : 0; }
};

Bytes resourcebytes(int id, LPCSTR type) {
  Bytes b;
  HRSRC r = FindResource(nullptr, MAKEINTRESOURCE(id), type);
  if (r == nullptr) return b;
  b.p = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, r)));
  b.size = b.p != nullptr ? SizeofResource(nullptr, r) : 0;
  return b;
}

// The menu window of the item operations.
int menuwindow() {
  const int w = wIndex;
  return yyHasMenu(w) == 1 ? w : 0;
}

void freeprompt(HMENU menu, UINT position) {
  MENUITEMINFO mi;
  mi.fMask = MIIM_DATA;
  if (!GetMenuItemInfo(menu, position, TRUE, mi) || mi.dwItemData == 0) return;
  delete[] reinterpret_cast<char*>(mi.dwItemData);
  mi.dwItemData = 0;
  SetMenuItemInfo(menu, position, TRUE, mi);
}

bool hasprompt(HMENU menu, UINT position) {
  MENUITEMINFO mi;
  mi.fMask = MIIM_DATA;
  return GetMenuItemInfo(menu, position, TRUE, mi) && mi.dwItemData != 0;
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Lookups
// - yymngetpos(), yyredrawmenu(), yyHasMenu(), yyGetMainMenuWindow(), yyClearMenuPrompt()
//------------------------------------------------------------------------------
int yymngetpos(HMENU menu, int ID, HMENU& submenu) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFO mi;
    mi.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    if (!GetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, mi)) continue;
    if (!(mi.fType & MFT_SEPARATOR) && ID != 0 && mi.wID == static_cast<UINT>(ID)) {
      submenu = menu;
      return i;
    }
    if (mi.hSubMenu != nullptr) {
      const int at = yymngetpos(mi.hSubMenu, ID, submenu);
      if (at >= 0) return at;
    }
  }
  return -1;
}

void yyredrawmenu(int ID, int WIN) {
  if (!exists(WIN) || winslot(WIN).hMenuRoot == nullptr) return;
  HMENU sub = nullptr;
  if (yymngetpos(winslot(WIN).hMenuRoot, ID, sub) >= 0 && sub == winslot(WIN).hMenuRoot) {
    HWND f = winslot(WIN).wWindow;
    SetWindowPos(f, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    DrawMenuBar(f);
  }
}

int yyHasMenu(int WIN) {
  if (WIN < 0 || WIN >= MAXWINDOWS) return 0;
  if (winslot(WIN).hMenuRoot != nullptr) return 1;
  for (HWND t : winslot(WIN).hToolbar)
    if (t != nullptr) return 1;
  return 0;
}

int yyGetMainMenuWindow(int WIN) {
  if (!exists(WIN)) return 0;
  int w = WIN;
  for (int c = containerof(winslot(w).wWindow); c >= 0; c = containerof(winslot(w).wWindow)) w = c;
  return winslot(w).hMenuRoot != nullptr ? w : 0;
}

void yyClearMenuPrompt(HMENU menu, int WIN) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    freeprompt(menu, static_cast<UINT>(i));
    if (HMENU sub = GetSubMenu(menu, i)) yyClearMenuPrompt(sub, -1);
  }
  if (WIN >= 0 && WIN < MAXWINDOWS) winslot(WIN).nMenuString = 0;
}

//------------------------------------------------------------------------------
// [SECTION] Menus
// - yymnload(), yymenuloadrc(), yymnconv(), yymnmtch(), yymenuchange(), yymnflot()
//------------------------------------------------------------------------------
HMENU yymnload(int ID) {
  HMENU menu = LoadMenu(GetModuleHandle(nullptr), MAKEINTRESOURCE(ID));
  if (menu == nullptr) return nullptr;
  yymenuloadrc(menu, ID);
  yymnconv(menu);
  return menu;
}

void yymenuloadrc(HMENU menu, int ID) {
  const Bytes b = resourcebytes(ID, RT_RCDATA);
  DWORD at = 0;
  // A record cut short by the end of the resource ends the list.
  while (at + 2 <= b.size) {
    const int id = b.u16(at);
    at += 2;
    if (id == 0) break;
    std::vector<int> path;
    while (at + 2 <= b.size && b.u16(at) != 0) {
      path.push_back(b.u16(at));
      at += 2;
    }
    if (at + 2 > b.size) break;
    at += 2;   // the record's closing 0
    if (path.empty()) continue;
    HMENU m = menu;
    for (std::size_t k = 0; k + 1 < path.size() && m != nullptr; ++k) m = GetSubMenu(m, path[k] - 1);
    if (m == nullptr) continue;
    MENUITEMINFO mi;
    mi.fMask = MIIM_ID;
    mi.wID = static_cast<UINT>(id);
    SetMenuItemInfo(m, static_cast<UINT>(path.back() - 1), TRUE, mi);
  }
}

void yymnconv(HMENU menu) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFO mi;
    mi.fMask = MIIM_STATE | MIIM_SUBMENU;
    if (!GetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, mi)) continue;
    if ((mi.fState & MFS_GRAYED) == MF_DISABLED) {
      mi.fMask = MIIM_STATE;
      mi.fState |= MFS_GRAYED;
      SetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, mi);
    }
    if (mi.hSubMenu != nullptr) yymnconv(mi.hSubMenu);
  }
}

void yymnmtch(HMENU menu, HMENU source) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFO mi;
    mi.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    if (!GetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, mi)) continue;
    if (!(mi.fType & MFT_SEPARATOR) && mi.wID != 0) {
      char text[101] = {};
      MENUITEMINFO from;
      from.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
      from.dwTypeData = text;
      from.cch = sizeof text;
      if (GetMenuItemInfo(source, mi.wID, FALSE, from)) {
        from.dwTypeData = text;
        from.fType &= ~static_cast<UINT>(MFT_SEPARATOR);
        SetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, from);
      }
    }
    if (mi.hSubMenu != nullptr) yymnmtch(mi.hSubMenu, source);
  }
}

void yymenuchange(int& ID, int WIN) {
  if (!exists(WIN)) {
    ID = -2;
    return;
  }
  HWND own = winslot(WIN).wWindow;
  const bool split = kindof(own) == SW_SPLITWINDOW;
  const bool pane = ispane(WIN);
  if ((ischildframe(own) && !pane) || kindof(own) == SW_EDITOR) {
    ID = -2;
    return;
  }
  // The frame that shows the menu: for split windows and panes the outermost frame.
  HWND frame = own;
  if (split || pane)
    for (int w = WIN; ispane(w);) {
      w = containerof(winslot(w).wWindow);
      frame = winslot(w).wWindow;
    }
  HMENU fallback = nullptr;
  HWND owner = nullptr;
  if (split || pane) {
    for (HWND f = frame; f != nullptr;) {
      const int w = yygetwindowindex(f);
      if (w >= 0 && w != WIN && winslot(w).hMenuRoot != nullptr) fallback = winslot(w).hMenuRoot;
      const FrameRecord* r = yyframerecord(f);
      f = r && r->word[FR_KIND] == SW_SPLITWINDOW && r->word[SP_ACTIVE] != 0 ? LongToHandle<HWND>(r->word[SP_ACTIVE]) : nullptr;
    }
    if (HMENU current = GetMenu(frame))
      for (int w = 0; w < MAXWINDOWS; ++w)
        if (winslot(w).hMenuRoot == current) owner = winslot(w).wWindow;
  }
  HMENU fresh = nullptr;
  if (ID != 0) {
    fresh = yymnload(ID);
    if (fresh == nullptr) {
      ID = -1;
      return;
    }
  }
  HMENU old = winslot(WIN).hMenuRoot;
  HMENU show = GetMenu(frame);
  if (split || pane) {
    if (owner != nullptr && (owner == own || IsChild(owner, own))) show = fresh != nullptr ? fresh : fallback;
    else if (GetMenu(frame) == old) show = fresh;
  } else {
    show = fresh;
  }
  if (GetMenu(frame) != show) SetMenu(frame, show);

  const FrameRecord* rec = yyframerecord(own);
  const bool borrowed = rec && rec->word[FR_KIND] == SW_SPLITWINDOW && rec->word[SP_MENUPANE] != 0;
  if (old != nullptr && !borrowed) {
    yyClearMenuPrompt(old, WIN);
    DestroyMenu(old);
  }
  winslot(WIN).nMenuString = 0;
  winslot(WIN).hMenuRoot = nullptr;
  winslot(WIN).hAccel = nullptr;
  winslot(WIN).hVXKMenuString = nullptr;
  if (fresh != nullptr) {
    winslot(WIN).hMenuRoot = fresh;
    winslot(WIN).hAccel = LoadAccelerators(GetModuleHandle(nullptr), MAKEINTRESOURCE(ID));
    winslot(WIN).hVXKMenuString = FindResource(nullptr, MAKEINTRESOURCE(ID), "VXKMENUSTRING");
  }
  if (rec && rec->word[FR_KIND] == SW_BITMAPVIEWER && rec->word[BV_VIEWER] != 0) {
    // The viewer lays itself out again for the changed menu bar.
    RECT fr;
    GetWindowRect(own, fr);
    SetWindowPos(own, nullptr, 0, 0, fr.right - fr.left, fr.bottom - fr.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT c;
    GetClientRect(winslot(WIN).hClient, c);
    SendMessage(LongToHandle<HWND>(rec->word[BV_VIEWER]), WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
  }
}

void yymnflot(int& ID, int X, int Y, int CLIENT) {
  HMENU loaded = yymnload(ID);
  if (loaded == nullptr) {
    ID = -1;
    return;
  }
  // The bar's items become the items of one pop-up.
  HMENU wrapper = CreatePopupMenu();
  const int n = GetMenuItemCount(loaded);
  for (int i = 0; i < n; ++i) {
    char text[256] = {};
    MENUITEMINFO mi;
    mi.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
    mi.dwTypeData = text;
    mi.cch = sizeof text;
    if (!GetMenuItemInfo(loaded, static_cast<UINT>(i), TRUE, mi)) continue;
    mi.dwTypeData = text;
    InsertMenuItem(wrapper, static_cast<UINT>(i), TRUE, mi);
  }
  // The pop-ups now belong to the wrapper: take the items out of the loaded bar.
  while (GetMenuItemCount(loaded) > 0) RemoveMenu(loaded, 0, MF_BYPOSITION);
  DestroyMenu(loaded);
  const int main = yyGetMainMenuWindow(wIndex);
  if (winslot(main).hMenuRoot != nullptr) yymnmtch(wrapper, winslot(main).hMenuRoot);
  POINT p{X, Y};
  HWND client = winslot(wIndex).hClient;
  if (CLIENT != 0) ClientToScreen(client, p);
  hFloatPrompt = FindResource(nullptr, MAKEINTRESOURCE(ID), "VXKMENUSTRING");
  TrackPopupMenu(wrapper, TPM_LEFTALIGN | TPM_LEFTBUTTON, p.x, p.y, 0, client, nullptr);
  DestroyMenu(wrapper);
  hFloatPrompt = nullptr;
}

//------------------------------------------------------------------------------
// [SECTION] Toolbars
// - yymntbar(), yySubToolbar(), yyRestackToolbars()
//------------------------------------------------------------------------------
LRESULT yySubToolbar(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The toolbar keeps the size and place it was given instead of fitting its parent.
  if (msg == WM_SIZE) return DefWindowProc(hwnd, msg, wParam, lParam);
  return CallWindowProc(lpNormalToolbarProc, hwnd, msg, wParam, lParam);
}

void yyRestackToolbars(int WIN) {
  if (!exists(WIN)) return;
  std::vector<HWND> bars;
  const FrameRecord* r = yyframerecord(winslot(WIN).wWindow);
  const bool editor = r && r->word[FR_KIND] == SW_EDITOR;
  // The editor's command line and its other bars stand
  // around the status bar and toolbars.
  if (editor && r->word[ED_COMMANDLINE] != 0) bars.push_back(LongToHandle<HWND>(r->word[ED_COMMANDLINE]));
  if (winslot(WIN).wMessLine != nullptr) bars.push_back(winslot(WIN).wMessLine);
  for (HWND t : winslot(WIN).hToolbar)
    if (t != nullptr) bars.push_back(t);
  if (editor)
    for (EditorWord k : {ED_BAR1, ED_BAR2})
      if (r->word[k] != 0) bars.push_back(LongToHandle<HWND>(r->word[k]));
  HWND after = HWND_TOP;
  for (HWND b : bars) {
    if (!IsWindow(b)) continue;
    SetWindowPos(b, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = b;
  }
}

void yymntbar(int& ID, int WIN, int POS, int& width, int& height) {
  width = -1;
  height = -1;
  if (!exists(WIN) || POS < 0 || POS > 3) {
    ID = -2;
    return;
  }
  HWND frame = winslot(WIN).wWindow;
  HINSTANCE inst = GetModuleHandle(nullptr);
  RECT before{0, 0, 0, 0};
  HWND& slot = winslot(WIN).hToolbar[ix(POS)];
  if (slot != nullptr) {
    GetWindowRect(slot, before);
    DestroyWindow(slot);
    slot = nullptr;
    winslot(WIN).iToolSize[ix(POS)] = 0;
    if (std::all_of(winslot(WIN).hToolbar.begin(), winslot(WIN).hToolbar.end(), [](HWND t) { return t == nullptr; }))
      winslot(WIN).pTooltip.clear();   // the list lives while the window has a toolbar
  }
  bool built = true;
  RECT after{0, 0, 0, 0};
  if (ID != 0) {
    const Bytes b = resourcebytes(ID, RT_RCDATA);
    HWND tb = nullptr;
    if (b.size >= 4)
      tb = CreateWindowEx(0, TOOLBARCLASSNAME, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS, 0, 0,
                          0, 0, frame, LongToHandle<HMENU>(ID), inst, nullptr);
    if (tb == nullptr) {
      ID = -1;
      built = false;
    } else {
      auto normal = reinterpret_cast<WNDPROC>(
          SetWindowLongPtr(tb, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&yySubToolbar)));
      if (normal != &yySubToolbar) lpNormalToolbarProc = normal;
      slot = tb;
      yyRestackToolbars(WIN);

      const int w = b.u16(0), h = b.u16(2);
      SendMessage(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
      SendMessage(tb, TB_SETBITMAPSIZE, 0, MAKELONG(w, h));
      SendMessage(tb, TB_SETBUTTONSIZE, 0, MAKELONG(w + 6, h + 6));
      std::vector<TBBUTTON> buttons;
      int image = 0;
      HMENU menu = winslot(WIN).hMenuRoot;
      for (DWORD at = 4; at + 2 <= b.size; at += 2) {
        const int id = b.u16(at);
        if (id == 0 && (at + 4 > b.size || b.u16(at + 2) == 0)) break;   // the two closing zeros
        TBBUTTON bt;
        if (id == 0) {
          bt.fsStyle = TBSTYLE_SEP;
        } else {
          bt.iBitmap = image++;
          bt.idCommand = id;
          bt.fsStyle = TBSTYLE_BUTTON;
          const UINT state = menu != nullptr ? GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) : 0xFFFFFFFF;
          bt.fsState = TBSTATE_ENABLED;
          if (state != 0xFFFFFFFF) {
            if (state & MF_GRAYED) bt.fsState = 0;
            if (state & MF_CHECKED) bt.fsState |= TBSTATE_CHECKED;
          }
        }
        buttons.push_back(bt);
      }
      const int n = static_cast<int>(buttons.size());
      TBADDBITMAP add;
      add.hInst = inst;
      add.nID = static_cast<UINT_PTR>(ID);
      if (FindResource(nullptr, MAKEINTRESOURCE(ID), RT_BITMAP) != nullptr)
        SendMessage(tb, TB_ADDBITMAP, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&add));
      SendMessage(tb, TB_ADDBUTTONS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(buttons.data()));
      const bool side = POS == 1 || POS == 2;
      if (side) {
        RECT rows;
        SendMessage(tb, TB_SETROWS, MAKEWPARAM(static_cast<WORD>(n), TRUE), reinterpret_cast<LPARAM>(&rows));
      }
      // Placement in the frame's client rectangle, above the status bar.
      RECT F;
      GetClientRect(frame, F);
      if (HWND sb = winslot(WIN).wMessLine) {
        RECT s;
        GetWindowRect(sb, s);
        F.bottom -= s.bottom - s.top;
      }
      // A text editor's command line stays above its top toolbar.
      const FrameRecord* rec = yyframerecord(frame);
      if (POS == 0 && rec && rec->word[FR_KIND] == SW_EDITOR && rec->word[ED_COMMANDLINE] != 0) {
        RECT e;
        GetWindowRect(LongToHandle<HWND>(rec->word[ED_COMMANDLINE]), e);
        F.top += e.bottom - e.top;
      }
      if (POS == 0) MoveWindow(tb, F.left, F.top, F.right - F.left, h + 6, TRUE);
      else if (POS == 3) MoveWindow(tb, F.left, F.bottom - (h + 6), F.right - F.left, h + 6, TRUE);
      else if (POS == 1) MoveWindow(tb, F.left, F.top, w + 3, F.bottom - F.top, TRUE);
      else MoveWindow(tb, F.right - (w + 3), F.top, w + 3, F.bottom - F.top, TRUE);
      winslot(WIN).iToolSize[ix(POS)] = side ? w + 3 : h + 6;
      GetWindowRect(tb, after);

      // The tooltip list grows to the buttons and separators of all the window's toolbars.
      std::size_t total = 0;
      for (HWND t : winslot(WIN).hToolbar)
        if (t != nullptr) total += static_cast<std::size_t>(SendMessage(t, TB_BUTTONCOUNT, 0, 0));
      if (winslot(WIN).pTooltip.size() < total) winslot(WIN).pTooltip.resize(total);
    }
  }
  const int dw = (after.right - after.left) - (before.right - before.left);
  const int dh = (after.bottom - after.top) - (before.bottom - before.top);
  const bool changed = dw != 0 || dh != 0;
  if (FrameRecord* rec = yyframerecord(frame)) {
    rec->word[ix(FR_TOOLBAR + POS)] = HandleToLong(slot);
    if (changed && !IsIconic(frame)) {
      RECT fr;
      GetWindowRect(frame, fr);
      int fw = fr.right - fr.left, fh = fr.bottom - fr.top;
      if (IsZoomed(frame)) {
        if (dw > 1) fw += dw;
        if (dh > 1) fh += dh;
      }
      SetWindowPos(frame, nullptr, 0, 0, fw, fh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (built && !IsIconic(frame) && changed && winslot(WIN).hClient != nullptr) {
    RECT c;
    GetClientRect(frame, c);
    SendMessage(frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
    const bool across = POS == 0 || POS == 3;
    if ((across && dh != 0) || (!across && dw != 0)) {
      RECT cc;
      GetClientRect(winslot(WIN).hClient, cc);
      width = cc.right;
      height = cc.bottom;
    }
  }
}

void yyopentoolbars(int WIN, const std::array<int, 4>& toolbars, int& width, int& height) {
  width = 0;
  height = 0;
  for (int p = 0; p < 4; ++p) {
    int id = toolbars[ix(p)], w = -1, h = -1;
    if (id == 0) continue;
    yymntbar(id, WIN, p, w, h);
    if (id < 0) continue;
    if (p == 1 || p == 2) width += winslot(WIN).iToolSize[ix(p)];
    else height += winslot(WIN).iToolSize[ix(p)];
  }
}

//------------------------------------------------------------------------------
// [SECTION] Item operations
// - yymntext(), yymngrey(), yymnchck(), yymngflg(), yytooltip(), yymenuprompt(), yymndel(),
//   yymnins()
//------------------------------------------------------------------------------
namespace {

// Applies a toolbar message to every button with the command on the window's toolbars;
// true when there is one.
bool eachbutton(int WIN, int ID, UINT msg, BOOL on) {
  bool found = false;
  for (HWND t : winslot(WIN).hToolbar) {
    if (t == nullptr || SendMessage(t, TB_GETSTATE, static_cast<WPARAM>(ID), 0) == -1) continue;
    SendMessage(t, msg, static_cast<WPARAM>(ID), on);
    InvalidateRect(t, nullptr, TRUE);
    UpdateWindow(t);
    found = true;
  }
  return found;
}

LRESULT buttonstate(int WIN, int ID) {
  for (HWND t : winslot(WIN).hToolbar)
    if (t != nullptr) {
      const LRESULT s = SendMessage(t, TB_GETSTATE, static_cast<WPARAM>(ID), 0);
      if (s != -1) return s;
    }
  return -1;
}

// The item with the identifier in the menu: its pop-up and position.
bool finditem(int M, int ID, HMENU& sub, int& pos) {
  HMENU menu = winslot(M).hMenuRoot;
  if (menu == nullptr) return false;
  pos = yymngetpos(menu, ID, sub);
  return pos >= 0;
}

}  // namespace

void yymntext(int& ID, const char* text) {
  const int M = menuwindow();
  HMENU sub = nullptr;
  int pos = 0;
  if (!finditem(M, ID, sub, pos)) {
    ID = -1;
    return;
  }
  MENUITEMINFO mi;
  mi.fMask = MIIM_STRING;
  mi.dwTypeData = const_cast<LPSTR>(text);
  SetMenuItemInfo(sub, static_cast<UINT>(pos), TRUE, mi);
  yyredrawmenu(ID, M);
}

void yymngrey(int ID, int& VALUE) {
  const int M = menuwindow();
  const bool enable = VALUE != 0;
  HMENU sub = nullptr;
  int pos = 0;
  if (finditem(M, ID, sub, pos)) {
    EnableMenuItem(sub, static_cast<UINT>(pos), MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
    yyredrawmenu(ID, M);
  } else {
    VALUE = -1;
  }
  if (eachbutton(M, ID, TB_ENABLEBUTTON, enable ? TRUE : FALSE)) VALUE = 1;
}

void yymnchck(int ID, int& VALUE) {
  const int M = menuwindow();
  const bool check = VALUE != 0;
  HMENU sub = nullptr;
  int pos = 0;
  if (finditem(M, ID, sub, pos)) CheckMenuItem(sub, static_cast<UINT>(pos), MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
  else VALUE = -1;
  if (eachbutton(M, ID, TB_CHECKBUTTON, check ? TRUE : FALSE)) VALUE = 1;
}

void yymngflg(int ID, int OPTION, int& VALUE) {
  const int M = menuwindow();
  VALUE = 0;
  HMENU sub = nullptr;
  int pos = 0;
  if (finditem(M, ID, sub, pos)) {
    const UINT s = GetMenuState(sub, static_cast<UINT>(pos), MF_BYPOSITION);
    if (OPTION == 1) VALUE = (s & MF_GRAYED) ? 0 : 1;
    else if (OPTION == 2) VALUE = (s & MF_CHECKED) ? 1 : 0;
    return;
  }
  VALUE = -1;
  const LRESULT b = buttonstate(M, ID);
  if (b == -1) return;
  if (OPTION == 1) VALUE = (b & TBSTATE_ENABLED) ? 1 : 0;
  else if (OPTION == 2) VALUE = (b & TBSTATE_CHECKED) ? 1 : 0;
}

void yytooltip(int& ID, const char* text, int length) {
  const int cw = wIndex;
  const bool any = std::any_of(winslot(cw).hToolbar.begin(), winslot(cw).hToolbar.end(), [](HWND t) { return t != nullptr; });
  const int W = any ? cw : 0;
  if (buttonstate(W, ID) == -1) {
    ID = -1;
    return;
  }
  std::vector<TooltipEntry>& list = winslot(W).pTooltip;
  TooltipEntry* entry = nullptr;
  for (TooltipEntry& e : list)
    if (e.id == ID) entry = &e;
  if (length <= 1) {
    if (entry != nullptr) *entry = TooltipEntry{};
    return;
  }
  if (entry == nullptr)
    for (TooltipEntry& e : list)
      if (e.id == 0) entry = &e;   // the last free entry
  if (entry == nullptr) return;
  const std::size_t cut = std::min<std::size_t>({std::strlen(text), static_cast<std::size_t>(length - 1), 79});
  entry->id = ID;
  entry->text.assign(text, cut);
}

void yymenuprompt(int& ID, const char* text) {
  const int M = menuwindow();
  HMENU sub = nullptr;
  int pos = 0;
  if (!finditem(M, ID, sub, pos)) {
    ID = -1;
    return;
  }
  const bool had = hasprompt(sub, static_cast<UINT>(pos));
  freeprompt(sub, static_cast<UINT>(pos));
  const std::size_t n = std::strlen(text);
  if (n == 0) {
    if (had) --winslot(M).nMenuString;
    return;
  }
  char* copy = new char[n + 1];
  std::memcpy(copy, text, n + 1);
  MENUITEMINFO mi;
  mi.fMask = MIIM_DATA;
  mi.dwItemData = reinterpret_cast<ULONG_PTR>(copy);
  SetMenuItemInfo(sub, static_cast<UINT>(pos), TRUE, mi);
  if (!had) ++winslot(M).nMenuString;
}

void yymndel(int& ID) {
  const int M = menuwindow();
  HMENU sub = nullptr;
  int pos = 0;
  if (!finditem(M, ID, sub, pos)) {
    ID = -1;
    return;
  }
  if (hasprompt(sub, static_cast<UINT>(pos))) {
    freeprompt(sub, static_cast<UINT>(pos));
    --winslot(M).nMenuString;
  }
  if (HMENU inner = GetSubMenu(sub, pos)) yyClearMenuPrompt(inner, -1);
  DeleteMenu(sub, static_cast<UINT>(pos), MF_BYPOSITION);
  if (sub == winslot(M).hMenuRoot) {
    HWND f = winslot(M).wWindow;
    SetWindowPos(f, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    DrawMenuBar(f);
  }
}

void yymnins(int& ID, int OFFSET, int NEWID, const char* text) {
  const int M = menuwindow();
  HMENU sub = nullptr;
  int pos = 0;
  if (!finditem(M, ID, sub, pos)) {
    ID = -1;
    return;
  }
  const int count = GetMenuItemCount(sub);
  int at = pos + OFFSET - 1;
  if (at > count || at < 0) at = at < 0 ? 0 : count;
  if (NEWID == 0) InsertMenu(sub, static_cast<UINT>(at), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  else InsertMenu(sub, static_cast<UINT>(at), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(NEWID), text);
  yyredrawmenu(NEWID, M);
}

//------------------------------------------------------------------------------
// [SECTION] Public routines
// - WMenu(), wmenuroot(), WMenuToolbar(), WMenuSetState()
//------------------------------------------------------------------------------
void WMenu(int ID, std::optional<int> WIN) {
  const int w = WIN.value_or(0);
  if (w < 0 || w >= MAXWINDOWS) {
    yyerror(1003, "WMenu");
    return;
  }
  int id = ID;
  yymenuchange(id, w);
  if (id == -1) yyerror(1002, "WMenu");
  else if (id == -2) yyerror(1003, "WMenu");
}

void wmenuroot(int ID) { WMenu(ID, 0); }

void WMenuToolbar(int ID, std::optional<int> WIN, std::optional<int> POS) {
  const int w = WIN.value_or(0);
  if (w < 0 || w >= MAXWINDOWS) {
    yyerror(1003, "WMenuToolbar");
    return;
  }
  int pos = POS.value_or(1);
  if (pos < 1 || pos > 4) pos = 1;
  int id = ID, width = -1, height = -1;
  yymntbar(id, w, pos - 1, width, height);
  if (id == -1) {
    yyerror(1002, "WMenuToolbar");
    return;
  }
  if (id == -2) {
    yyerror(1003, "WMenuToolbar");
    return;
  }
  WindowState& ws = tessar.window;
  if (width != -1 && w == ws.CURWINDOW) {
    ws.CURWIDTH = width;
    ws.CURHEIGHT = height;
    yyfntsiz();
    yyresn(1, w, width, height);
  }
}

void WMenuSetState(int ITEM, int OPTION, int VALUE) {
  if ((OPTION != 1 && OPTION != 2) || (VALUE != 0 && VALUE != 1)) return;
  int value = VALUE;
  if (OPTION == 1) yymngrey(ITEM, value);
  else yymnchck(ITEM, value);
  if (value == -1) yyerror(1001, "WMenuSetState");
}
