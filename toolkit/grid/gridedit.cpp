// The grid-editor window: opening it over a copy of a dialog's grid, its menus and status bar,
// fitting and titling, the modal loop and the frame's window procedure.
#include "toolkit/grid/gridedit.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "platform/edit.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/resource.h"
#include "platform/statusbar.h"
#include "platform/updown.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialog_state.h"
#include "toolkit/editor/viewer.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/window/window_state.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/window/wmsg.h"

using namespace win;

namespace {

bool childstyle(HWND h) { return (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0; }
bool hascaption(HWND h) {
  return (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_CAPTION)) == static_cast<LONG>(WS_CAPTION);
}

void setpart(const GridWindowRecord& r, int part, const char* text) {
  if (r.statusbar) SendMessage(r.statusbar, SB_SETTEXT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}
void setpartnoborder(const GridWindowRecord& r, int part, const char* text) {
  if (r.statusbar)
    SendMessage(r.statusbar, SB_SETTEXT, static_cast<WPARAM>(part) | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
}

// The row and column of a packed cell in status parts 1 and 3.
void showcell(const GridWindowRecord& r, int packed) {
  char text[32];
  std::snprintf(text, sizeof text, "\t\t%u", static_cast<unsigned>(packed & 0x3FFFF));
  setpart(r, 1, text);
  std::snprintf(text, sizeof text, "\t\t%u", static_cast<unsigned>(packed >> 18));
  setpart(r, 3, text);
}

void buildmenus(HWND frame, GridWindowRecord& r, int imenu, int& ierror) {
  r.file = CreatePopupMenu();
  r.edit = CreatePopupMenu();
  r.search = CreatePopupMenu();
  // File and Search items show their shortcuts only when the accelerator table is there.
  const bool keys = r.accelerators != nullptr;
  if (r.maynew) AppendMenu(r.file, MF_STRING, GE_NEW, keys ? "&New\tCtrl+N" : "&New");
  if (r.mayopen) AppendMenu(r.file, MF_STRING, GE_OPEN, keys ? "&Open\tCtrl+O" : "&Open");
  if (r.maysave) AppendMenu(r.file, MF_STRING, GE_SAVE, keys ? "&Save\tCtrl+S" : "&Save");
  if (r.maysaveas) {
    AppendMenu(r.file, MF_STRING, GE_SAVEAS, keys ? "Save &As\tF12" : "Save &As");
    AppendMenu(r.file, MF_STRING, GE_SAVESEL, "Save S&election");
  }
  if (r.mayhtml) AppendMenu(r.file, MF_STRING, GE_SAVEHTML, "Save As &HTML");
  if (r.maynew || r.mayopen || r.maysave || r.maysaveas || r.mayhtml) AppendMenu(r.file, MF_SEPARATOR, 0, nullptr);
  if (r.mayprint) {
    AppendMenu(r.file, MF_STRING, GE_PRINT, keys ? "&Print\tCtrl+P" : "&Print");
    AppendMenu(r.file, MF_STRING, GE_PRINTSEL, "Prin&t Selection");
    AppendMenu(r.file, MF_SEPARATOR, 0, nullptr);
  }
  AppendMenu(r.file, MF_STRING, GE_EXIT, "E&xit");

  if (!r.readonly) AppendMenu(r.edit, MF_STRING, GE_CUT, "Cu&t\tCtrl+X");
  AppendMenu(r.edit, MF_STRING, GE_COPY, "&Copy\tCtrl+C");
  if (!r.readonly) {
    AppendMenu(r.edit, MF_STRING, GE_PASTE, "&Paste\tCtrl+V");
    AppendMenu(r.edit, MF_STRING, GE_DELETE, "&Delete\tDel");
  }
  AppendMenu(r.edit, MF_SEPARATOR, 0, nullptr);
  AppendMenu(r.edit, MF_STRING, GE_SELECTALL, "Select &All");
  if (!r.readonly) {
    AppendMenu(r.edit, MF_SEPARATOR, 0, nullptr);
    AppendMenu(r.edit, MF_STRING, GE_SORT, "&Sort");
  }
  if (r.mayrows) {
    AppendMenu(r.edit, MF_STRING, GE_INSERTBEFORE, "&Insert Row Before Current\tCtrl+I");
    AppendMenu(r.edit, MF_STRING, GE_INSERTAFTER, "&Insert Row After Current\tCtrl+Shift+I");
    AppendMenu(r.edit, MF_STRING, GE_DELETEROW, "D&elete Row\tCtrl+E");
  }
  if (r.mayfind) {
    AppendMenu(r.search, MF_STRING, GE_FIND, keys ? "&Find\tCtrl+F" : "&Find");
    AppendMenu(r.search, MF_STRING, GE_FINDNEXT, keys ? "Find &Next\tF3" : "Find &Next");
    AppendMenu(r.search, MF_SEPARATOR, 0, nullptr);
  }
  AppendMenu(r.search, MF_STRING, GE_GOTOCELL, "&Goto Cell");
  AppendMenu(r.search, MF_STRING, GE_GOTOROW, "Goto Ro&w");
  AppendMenu(r.search, MF_STRING, GE_GOTOCOLUMN, "Goto &Column");

  r.menu = nullptr;
  if (imenu != 0) {
    if (r.mode == GEM_MODAL) ierror = 2;
    else if ((r.menu = LoadMenu(GetModuleHandle(nullptr), MAKEINTRESOURCE(imenu))) == nullptr) ierror = 3;
  }
  if (r.menu == nullptr) r.menu = CreateMenu();
  InsertMenu(r.menu, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(r.file), "&File");
  InsertMenu(r.menu, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(r.edit), "&Edit");
  InsertMenu(r.menu, 2, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(r.search), "&Search");
  if (!childstyle(frame)) SetMenu(frame, r.menu);   // a pane's menu shows on its split windows
  const int w = yygetwindowindex(frame);
  if (w >= 0) {
    if (HMENU old = winslot(w).hMenuRoot; old != nullptr && old != r.menu) {
      yyClearMenuPrompt(old, w);
      DestroyMenu(old);
    }
    winslot(w).hMenuRoot = r.menu;
    winslot(w).hAccel = nullptr;
    winslot(w).hVXKMenuString = nullptr;
  }
  if (!childstyle(frame)) DrawMenuBar(frame);
}

// The grid toolbar: the platform's standard images, a button for each command present.
void maketoolbar(HWND frame, GridWindowRecord& r) {
  r.toolbar = CreateWindowEx(0, TOOLBARCLASSNAME, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS, 0, 0,
                             1, 1, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1001)), nullptr, nullptr);
  if (r.toolbar == nullptr) return;
  SendMessage(r.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessage(r.toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 15));
  SendMessage(r.toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(22, 21));
  TBADDBITMAP standard;
  standard.hInst = HINST_COMMCTRL;
  standard.nID = IDB_STD_SMALL_COLOR;
  SendMessage(r.toolbar, TB_ADDBITMAP, 15, reinterpret_cast<LPARAM>(&standard));
  std::vector<TBBUTTON> buttons;
  if (r.maynew) buttons.push_back(yytoolbarbutton(STD_FILENEW, GE_NEW));
  if (r.mayopen) buttons.push_back(yytoolbarbutton(STD_FILEOPEN, GE_OPEN));
  if (r.maysave) buttons.push_back(yytoolbarbutton(STD_FILESAVE, GE_SAVE));
  if (r.maynew || r.mayopen || r.maysave) buttons.push_back(yytoolbarseparator());
  if (r.mayprint) {
    buttons.push_back(yytoolbarbutton(STD_PRINT, GE_PRINT));
    buttons.push_back(yytoolbarseparator());
  }
  if (r.mayfind) {
    buttons.push_back(yytoolbarbutton(STD_FIND, GE_FIND));
    buttons.push_back(yytoolbarseparator());
  }
  if (!r.readonly) buttons.push_back(yytoolbarbutton(STD_CUT, GE_CUT));
  buttons.push_back(yytoolbarbutton(STD_COPY, GE_COPY));
  if (!r.readonly) buttons.push_back(yytoolbarbutton(STD_PASTE, GE_PASTE));
  SendMessage(r.toolbar, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessage(r.toolbar, TB_AUTOSIZE, 0, 0);
  r.tooltips = reinterpret_cast<HWND>(SendMessage(r.toolbar, TB_GETTOOLTIPS, 0, 0));
}

int toolbarheight(const GridWindowRecord& r) {
  if (r.toolbar == nullptr) return 0;
  RECT b;
  GetWindowRect(r.toolbar, b);
  return b.bottom - b.top;
}

// The grid toolbar goes at the top of what the frame's client area leaves between the
// window's toolbars and its status bar; the grid takes the rest.
void layout(HWND frame, GridWindowRecord& r) {
  yyframelayout(frame);
  const int w = yygetwindowindex(frame);
  if (w < 0 || winslot(w).hClient == nullptr || r.grid == nullptr) return;
  RECT c;
  GetWindowRect(winslot(w).hClient, c);
  POINT corner{c.left, c.top};
  ScreenToClient(frame, corner);
  const int width = std::max<int>(c.right - c.left, 0);
  int top = corner.y;
  if (r.toolbar != nullptr) {
    SendMessage(r.toolbar, TB_AUTOSIZE, 0, 0);
    const int h = toolbarheight(r);
    MoveWindow(r.toolbar, corner.x, top, width, h, TRUE);
    top += h;
  }
  MoveWindow(r.grid, corner.x, top, width, std::max<int>(c.bottom - c.top - (top - corner.y), 0), TRUE);
}

// Hidden copies of the source's prototype editors in the new cell area, so that the window
// does not depend on the dialog staying loaded.
void copyprototypes(GridInstance& d) {
  for (GridColumn& c : d.columns) {
    HWND src = c.prototypeeditor;
    if (src == nullptr) continue;
    char cls[64] = {};
    GetClassName(src, cls, sizeof cls);
    RECT pr;
    GetWindowRect(src, pr);
    // A spinner prototype reaches to its up-down control's right edge.
    HWND srcup = yygridupdown(src);
    if (srcup != nullptr) {
      RECT ur;
      GetWindowRect(srcup, ur);
      pr.right = std::max(pr.right, ur.right);
    }
    const DWORD style = (static_cast<DWORD>(GetWindowLong(src, GWL_STYLE)) | WS_BORDER) & ~(WS_VISIBLE | WS_DISABLED);
    c.prototypeeditor = CreateWindowEx(static_cast<DWORD>(GetWindowLong(src, GWL_EXSTYLE)), cls, "", style, 0, 0,
                                       pr.right - pr.left, pr.bottom - pr.top, d.cellarea,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), nullptr, nullptr);
    if (c.prototypeeditor != nullptr && d.font) SendMessage(c.prototypeeditor, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
    if (HWND up = yygridupdown(c.prototypeeditor); up != nullptr && srcup != nullptr) {
      SendMessage(up, UDM_SETRANGE, 0, SendMessage(srcup, UDM_GETRANGE, 0, 0));
      UDACCEL accel[2];
      const LRESULT n = SendMessage(srcup, UDM_GETACCEL, 2, reinterpret_cast<LPARAM>(accel));
      if (n > 0) SendMessage(up, UDM_SETACCEL, static_cast<WPARAM>(std::min<LRESULT>(n, 2)), reinterpret_cast<LPARAM>(accel));
      ShowWindow(up, SW_HIDE);
    }
  }
}

// Gives the window grid its own copy of the source grid's cells, labels and columns.
void copygrid(HWND to, HWND from) {
  yygridcopy(to, from);   // geometry, header, row labels; the cells still the source's
  GridInstance* d = yygridinstance(to);
  GridInstance* s = yygridinstance(from);
  if (!d || !s) return;
  yyGridDestroyCurrent(*d, 0);
  const GridInstance& data = s->data();
  d->columns = data.columns;
  d->rowlabels = data.rowlabels;
  d->columnlabels = data.columnlabels;
  d->fileencoding = data.fileencoding;
  d->rowlabelcount = data.rowlabelcount;
  d->textcolour = data.textcolour;
  d->background = data.background;
  d->rowsallocated = data.rowsallocated;
  d->rowsinuse = data.rowsinuse;
  d->columncount = data.columncount;
  d->owner = nullptr;
  d->currentcolumn = d->currentrow = 0;
  d->firstvisiblerow = d->firstvisiblecolumn = 0;
  d->selfirstrow = d->sellastrow = d->selfirstcolumn = d->sellastcolumn = -1;
  copyprototypes(*d);
  yygridrowschanged(*d);
}

}  // namespace

GridWindowRecord* yygridwindowrecord(HWND frame) {
  FrameRecord* r = yyframerecord(frame);
  return r != nullptr && r->word[FR_KIND] == SW_GRIDWINDOW ? static_cast<GridWindowRecord*>(r) : nullptr;
}

void yyGridTitle(HWND frame) {
  GridWindowRecord* r = yygridwindowrecord(frame);
  if (r == nullptr) return;
  if (hascaption(frame)) {
    std::string t = r->title;
    if (!r->filename.empty()) t += " - [" + r->filename + "]";
    SetWindowText(frame, t.c_str());
  } else {
    setpart(*r, 4, r->filename.c_str());
  }
}

namespace {

// The frame size that shows the whole grid (minimum false), or one row of its widest column
// (minimum true), with the window's toolbars, status bar, the grid's border and scroll bars
// and the frame's own border, caption and menu.
SIZE framesize(GridWindowRecord& r, GridInstance& g, HWND frame, bool minimum) {
  const int w = yygetwindowindex(frame);
  int width = 1, height = 0;
  if (minimum) {
    for (const GridColumn& c : g.data().columns) width = std::max(width, c.width);
    width += g.rowlabelwidth;
    height = g.rowheight + g.headerheight + toolbarheight(r);
  } else {
    height = (g.rowheight - 1) * std::min(g.rowsinuse, 100000) + 1;
    for (const GridColumn& c : g.data().columns) width += c.width - 1;
    width = std::min(width, 10000) + g.rowlabelwidth;
    height = std::min(height, 10000) + g.headerheight + toolbarheight(r);
  }
  if (w >= 0) {
    width += winslot(w).iToolSize[1] * (winslot(w).hToolbar[1] != nullptr) + winslot(w).iToolSize[2] * (winslot(w).hToolbar[2] != nullptr);
    for (HWND bar : {winslot(w).wMessLine, winslot(w).hToolbar[0], winslot(w).hToolbar[3]}) {
      if (bar == nullptr) continue;
      RECT b;
      GetWindowRect(bar, b);
      height += b.bottom - b.top;
    }
  }
  RECT want{0, 0, width, height};
  AdjustWindowRectEx(want, static_cast<DWORD>(GetWindowLong(r.grid, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLong(r.grid, GWL_EXSTYLE)));
  AdjustWindowRectEx(want, static_cast<DWORD>(GetWindowLong(frame, GWL_STYLE)), GetMenu(frame) != nullptr,
                     static_cast<DWORD>(GetWindowLong(frame, GWL_EXSTYLE)));
  SIZE size{want.right - want.left, want.bottom - want.top};
  if (!minimum) {
    const LONG style = GetWindowLong(r.grid, GWL_STYLE);
    if (style & static_cast<LONG>(WS_VSCROLL)) size.cx += GetSystemMetrics(SM_CXVSCROLL);
    if (style & static_cast<LONG>(WS_HSCROLL)) size.cy += GetSystemMetrics(SM_CYHSCROLL);
  }
  return size;
}

// A window no larger than its grid and no smaller than one row of its widest column.
void sizelimits(GridWindowRecord& r, HWND frame, MINMAXINFO& mm) {
  GridInstance* g = yygridinstance(r.grid);
  if (g == nullptr) return;
  const SIZE most = framesize(r, *g, frame, false), least = framesize(r, *g, frame, true);
  mm.ptMaxTrackSize.x = std::min<LONG>(mm.ptMaxTrackSize.x, most.cx);
  mm.ptMaxTrackSize.y = std::min<LONG>(mm.ptMaxTrackSize.y, most.cy);
  mm.ptMaxSize.x = std::min<LONG>(mm.ptMaxSize.x, most.cx);
  mm.ptMaxSize.y = std::min<LONG>(mm.ptMaxSize.y, most.cy);
  mm.ptMinTrackSize.x = std::min(least.cx, mm.ptMaxTrackSize.x);
  mm.ptMinTrackSize.y = std::min(least.cy, mm.ptMaxTrackSize.y);
}

}  // namespace

void yyGridWinSize(GridWindowRecord& r) {
  GridInstance* g = yygridinstance(r.grid);
  HWND frame = GetParent(r.grid);
  if (g == nullptr || frame == nullptr) return;
  const SIZE want = framesize(r, *g, frame, false);
  const long ww = want.cx, wh = want.cy;
  RECT now;
  GetWindowRect(frame, now);
  const long nw = now.right - now.left, nh = now.bottom - now.top;
  if (nw <= ww && nh <= wh) return;   // a smaller window never grows
  SetWindowPos(frame, nullptr, 0, 0, std::min(nw, ww), std::min(nh, wh), SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
}

namespace {

// A grid-editor window's grid redefined: its cell word is the first cell again and the window
// fits the new columns.
void redefined(HWND grid) {
  GridWindowRecord* r = yygridwindowrecord(GetParent(grid));
  if (r == nullptr || r->grid != grid) return;
  r->lastcell = (1 << 18) + 1;
  yyGridWinSize(*r);
}

// The save prompt of a grid-editor pane before its split window closes.
int panecloses(HWND pane) {
  GridWindowRecord* r = yygridwindowrecord(pane);
  GridInstance* g = r != nullptr ? yygridinstance(r->grid) : nullptr;
  if (g == nullptr || !r->maysave) return 1;
  int ok = 1;
  yygridwinsaveprompt(yygetwindowindex(pane), g->modified, ok);
  return ok;
}

}  // namespace

void yygridedit(int& ierror, int ident, int& imode, int imenu, int iflags, int ifiletype, int isplit,
                std::string_view cfile, std::string_view cfilter) {
  const int w = wIndex;
  if (w <= 0 || w >= MAXWINDOWS || winslot(w).wWindow == nullptr) {
    ierror = 1;
    return;
  }
  HWND frame = winslot(w).wWindow;
  if (yyframerecord(frame) != nullptr) {
    ierror = 8;
    return;
  }
  HWND client = winslot(w).hClient;
  if (client != nullptr && GetWindow(client, GW_CHILD) != nullptr) {
    ierror = 12;
    return;
  }
  bool menus = (iflags & GEF_NOMENU) == 0;
  if (childstyle(frame)) {
    // A child frame carries a menu only as a pane of split windows whose outermost frame is
    // a top-level window (the menu shows there).
    const bool maycarry = yysplitof(frame) != nullptr && !childstyle(yysplitoutermost(frame));
    if (imode != GEM_MODELESS) {
      ierror = 5;
      imode = GEM_MODELESS;
    } else if (imenu != 0 && !maycarry) {
      ierror = 4;
    }
    menus = menus && maycarry;
  }
  if (imode < 1 || imode > 3) imode = GEM_MODELESS;
  GridInstance* source = tessar.dialog.CURDIALOG != 0 && ident != 0 && gridservices.locate ? gridservices.locate(ident) : nullptr;
  if (source == nullptr || source->window == nullptr) {
    ierror = 11;
    return;
  }
  auto* r = new (std::nothrow) GridWindowRecord{};
  if (r == nullptr) {
    ierror = 6;
    return;
  }
  const DWORD sourcestyle = static_cast<DWORD>(GetWindowLong(source->window, GWL_STYLE));
  r->word[FR_KIND] = SW_GRIDWINDOW;
  r->mode = imode;
  r->readonly = (sourcestyle & GRS_READONLY) != 0 ? GRS_READONLY : 0;
  r->movelabels = (iflags & GEF_MOVELABELS) != 0;
  r->variablerows = (iflags & GEF_VARIABLEROWS) != 0;
  r->labelcells = (iflags & GEF_LABELCELLS) != 0;
  r->backup = (iflags & GEF_BACKUP) != 0;
  r->ignorelocks = (iflags & GEF_IGNORELOCKS) != 0;
  r->maynew = (iflags & GEF_NONEWOPEN) == 0 && r->readonly == 0;
  r->mayopen = (iflags & GEF_NONEWOPEN) == 0;
  r->maysave = (iflags & GEF_NOSAVE) == 0 && r->readonly == 0;
  r->maysaveas = (iflags & (GEF_NOSAVEAS | GEF_NOSAVE)) == 0;
  r->mayhtml = (iflags & (GEF_NOHTML | GEF_NOSAVE)) == 0;
  r->mayprint = (iflags & GEF_NOPRINT) == 0;
  r->mayfind = (iflags & GEF_NOFIND) == 0;
  r->mayrows = (iflags & GEF_NOROWS) == 0 && r->readonly == 0;
  r->filetype = ifiletype == -1 ? 1 : ifiletype;
  r->filter = std::string(cfilter.substr(0, std::min<std::size_t>(cfilter.find('\0'), 1000)));
  r->accelerators = LoadAccelerators(GetModuleHandle(nullptr), MAKEINTRESOURCE(IDA_GRIDEDITOR));
  r->word[GW_ACCELERATORS] = HandleToLong(r->accelerators);
  if (client != nullptr) ShowWindow(client, SW_HIDE);
  if (menus) {
    buildmenus(frame, *r, imenu, ierror);
    // The split window named, when it holds the window, and those between show the menu.
    HWND split = isplit > 0 && isplit < MAXWINDOWS ? winslot(isplit).wWindow : nullptr;
    for (HWND g = yysplitof(frame); split != nullptr && g != nullptr; g = yysplitof(g))
      if (g == split) {
        yysplitlendmenu(frame, isplit);
        break;
      }
  }
  if (imode == GEM_MODAL) {
    for (HWND& bar : winslot(w).hToolbar) {
      if (bar != nullptr) DestroyWindow(bar);
      bar = nullptr;
    }
  } else {
    for (std::size_t k = 0; k < 4; ++k) r->word[FR_TOOLBAR + k] = HandleToLong(winslot(w).hToolbar[k]);
  }
  r->statusbar = winslot(w).wMessLine;
  if (r->statusbar != nullptr) {
    const int edges[] = {30, 90, 140, 200, -1};
    // The window's part widths, which the frame's layout applies again at every size change.
    const int widths[] = {30, 60, 50, 60, -1};
    for (std::size_t p = 0; p < 5; ++p) winslot(w).partlist[p + 1] = widths[p];
    SendMessage(r->statusbar, SB_SETPARTS, hascaption(frame) ? 4 : 5, reinterpret_cast<LPARAM>(edges));
    setpartnoborder(*r, 0, "Row");
    setpart(*r, 1, "\t\t1");
    setpartnoborder(*r, 2, "\tColumn");
    setpart(*r, 3, "\t\t1");
  }
  if ((iflags & GEF_NOTOOLBAR) == 0) maketoolbar(frame, *r);
  // The window's font: the source grid's.
  r->font = reinterpret_cast<HFONT>(SendMessage(source->window, WM_GETFONT, 0, 0));
  if (r->font) SendMessage(frame, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);

  SetWindowLongPtr(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<FrameRecord*>(r)));
  SetWindowLongPtr(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yyGridWindowWndProc));
  yygridpanecloses = panecloses;
  yygridredefinedhook = redefined;
  RECT cr;
  GetClientRect(frame, cr);
  const DWORD style = (sourcestyle | GRS_FIXEDHEIGHT | GRS_ENTERMOVES | GRS_TABMOVES | WS_CHILD | WS_VISIBLE) & ~WS_DISABLED;
  r->grid = CreateWindowEx(WS_EX_CLIENTEDGE, "VXKGRID", "", style, 0, 0, cr.right, cr.bottom, frame,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(1002)), nullptr, nullptr);
  if (r->grid == nullptr) {
    SetWindowLongPtr(frame, GWLP_USERDATA, 0);
    delete r;
    ierror = 6;
    return;
  }
  r->word[FR_CONTROL] = HandleToLong(r->grid);
  if (r->font) SendMessage(r->grid, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), FALSE);
  layout(frame, *r);
  copygrid(r->grid, source->window);
  layout(frame, *r);
  yyGridWinSize(*r);

  char caption[1024] = {};
  GetWindowText(frame, caption, static_cast<int>(sizeof caption));
  r->title = caption;
  if (!cfile.empty() && cfile.front() != '\0') {
    int loaded = 0;
    yygridwinload(w, 0, loaded, cfile.substr(0, std::min<std::size_t>(cfile.find('\0'), 259)));
  }
  yyGridTitle(frame);
  if (GridInstance* g = yygridinstance(r->grid); g != nullptr && !g->editor) yyGridCreateCurrent(*g);
  SetFocus(r->grid);
  if (imode == GEM_SEMIMODELESS) ++dialogtable.nSemi;
  if (!IsWindowEnabled(frame)) {
    EnableWindow(frame, TRUE);
    SetFocus(r->grid);
  }
  ShowWindow(frame, SW_SHOW);
  yytitlecolour(frame);
  if (imode != GEM_MODELESS) yyDisableDialogs(frame, 1);
}

void yygridgetinfostring(int& window, int item, std::string& buffer, int length) {
  if (item < 1 || item > 3) return;
  const std::string* texts[3] = {};
  if (window == -1) {
    texts[0] = &gridmodalresults.searchtext;
    texts[1] = &gridmodalresults.secondtext;
    texts[2] = &gridmodalresults.filename;
  } else {
    if (window < 0 || window >= MAXWINDOWS) return;
    const GridWindowRecord* r = yygridwindowrecord(winslot(window).wWindow);
    if (r == nullptr) return;
    texts[0] = &r->searchtext;
    texts[1] = &r->secondtext;
    texts[2] = &r->filename;
  }
  const std::string& t = *texts[item - 1];
  buffer.assign(t.substr(0, static_cast<std::size_t>(std::max(0, length - 1))));
}

void yygridedit2() {
  GridWindowRecord* r = yygridwindowrecord(winslot(wIndex).wWindow);
  if (r == nullptr) return;
  if (GridInstance* g = yygridinstance(r->grid)) g->modified = g->changed = 0;
  if (r->mode != GEM_MODAL) return;
  r->closed = 0;
  yyspecialmodalloop(r->closed, nullptr, winslot(wIndex).wWindow, r->accelerators);
  delete r;
}

namespace {

}  // namespace

const char* yygridtooltip(int command) {
  switch (command) {
    case GE_NEW: return "New";
    case GE_OPEN: return "Open";
    case GE_SAVE: return "Save";
    case GE_PRINT: return "Print";
    case GE_CUT: return "Cut";
    case GE_COPY: return "Copy";
    case GE_PASTE: return "Paste";
    case GE_FIND: return "Find";
    default: return "";
  }
}

namespace {

const char* prompt(UINT id) {
  switch (id) {
    case GE_NEW: return "Clears the grid";
    case GE_OPEN: return "Loads an existing grid";
    case GE_SAVE: return "Saves the grid";
    case GE_SAVEAS: return "Saves the grid with a new name";
    case GE_PRINT: return "Prints the grid";
    case GE_PRINTSEL: return "Prints the selected cells";
    case GE_EXIT: return "Closes the grid; prompts you to save changes";
    case GE_SAVEHTML: return "Saves the grid as an HTML document";
    case GE_SAVESEL: return "Saves the selected cells";
    case GE_CUT: return "Cuts the selected cells and places them on the clipboard";
    case GE_COPY: return "Copies the selected cells and places them on the clipboard";
    case GE_PASTE: return "Inserts clipboard contents";
    case GE_DELETE: return "Clears the selected cells";
    case GE_SELECTALL: return "Selects the entire grid";
    case GE_SORT: return "Sorts the rows of the grid";
    case GE_INSERTBEFORE: return "Inserts a row into the grid, before the current row";
    case GE_INSERTAFTER: return "Inserts a row into the grid, after the current row";
    case GE_DELETEROW: return "Deletes a row from the grid";
    case GE_FIND: return "Finds the specified string value";
    case GE_FINDNEXT: return "Repeats the last find";
    case GE_GOTOCELL: return "Moves to the specified cell";
    case GE_GOTOROW: return "Moves to the specified row";
    case GE_GOTOCOLUMN: return "Moves to the specified column";
    default: return nullptr;
  }
}

// Any locked cell in the rows from..rows in use - 1.
bool lockedfrom(const GridInstance& g, int from) {
  for (const GridColumn& c : g.columns)
    for (int row = std::max(from, 0); row < g.rowsinuse && row < static_cast<int>(c.states.size()); ++row)
      if (c.states[static_cast<std::size_t>(row)] & GridCellLocked) return true;
  return false;
}

HWND texteditor(const GridInstance& g) {
  if (g.editor == nullptr) return nullptr;
  char cls[64] = {};
  GetClassName(g.editor, cls, sizeof cls);
  return std::string_view(cls) == "COMBOBOX" || std::string_view(cls) == "BUTTON" ? nullptr : g.editor;
}

bool selected(const GridInstance& g) { return g.selfirstrow != -1; }

void initmenu(GridWindowRecord& r, GridInstance& g, HMENU popup) {
  auto state = [popup](UINT id, bool on) { EnableMenuItem(popup, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  GridInstance& d = g.data();
  if (popup == r.file) {
    state(GE_SAVESEL, selected(g));
    state(GE_PRINTSEL, selected(g));
  } else if (popup == r.edit) {
    HWND ed = texteditor(g);
    DWORD s = 0, e = 0;
    if (ed) SendMessage(ed, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    const bool textsel = ed != nullptr && s != e;
    const bool writable = r.readonly == 0;
    state(GE_CUT, selected(g) ? yygridcancut(r.grid) != 0 : textsel && writable);
    state(GE_DELETE, selected(g) ? yygridcancut(r.grid) != 0 : textsel && writable);
    state(GE_COPY, selected(g) || textsel);
    const int kind = yygridcheckclipboard();
    state(GE_PASTE, kind == 2 ? yygridcanpaste(r.grid) != 0 : kind == 1 && ed != nullptr && writable);
    state(GE_SORT, writable && (r.ignorelocks || !lockedfrom(d, 0)));
    const bool lockedbelow = !r.ignorelocks && lockedfrom(d, g.currentrow + 1);
    const bool lockedhere = !r.ignorelocks && lockedfrom(d, g.currentrow);
    state(GE_INSERTAFTER, writable && !lockedbelow && g.currentrow < d.rowsallocated - 1 &&
                              (g.currentrow < d.rowsinuse - 1 || r.variablerows));
    state(GE_INSERTBEFORE, writable && !lockedhere);
    state(GE_DELETEROW, writable && !lockedhere);
  } else if (popup == r.search) {
    state(GE_FINDNEXT, !r.searchtext.empty());
  }
}

void command(HWND frame, GridWindowRecord& r, UINT id) {
  GridInstance* g = yygridinstance(r.grid);
  if (g == nullptr) return;
  const int w = yygetwindowindex(frame);
  int ok = 0;
  bool event = false;
  switch (id) {
    case GE_NEW:
      if (!r.maynew) return;
      ok = 1;
      if (r.maysave) yygridwinsaveprompt(w, g->modified, ok);
      if (ok != 1) return;
      yyGridClear(r.grid, 0);   // the clear of the dialog's field, so that the two stay one
      r.filename.clear();
      yyGridTitle(frame);
      g->modified = g->changed = 0;
      event = true;
      break;
    case GE_OPEN:
      if (!r.mayopen) return;
      ok = 1;
      if (r.maysave) yygridwinsaveprompt(w, g->modified, ok);
      if (ok != 1) return;
      yygridwinload(w, 1, ok);
      if (ok == 1) {
        g->modified = g->changed = 0;
        yyGridTitle(frame);
      }
      event = ok == 1;
      break;
    case GE_SAVE:
    case GE_SAVEAS:
      if (id == GE_SAVE ? !r.maysave : !r.maysaveas) return;
      yygridwinsave(w, id == GE_SAVEAS ? 1 : 0, ok);
      if (ok == 1) {
        g->modified = 0;
        yyGridTitle(frame);
      }
      event = ok == 1;
      break;
    case GE_SAVESEL:
      if (!r.maysaveas) return;
      yygridwinsave(w, 1, ok, g->selfirstrow, g->sellastrow, g->selfirstcolumn, g->sellastcolumn);
      break;
    case GE_SAVEHTML:
      if (!r.mayhtml) return;
      yygridwinsavehtml(w, g->selfirstrow, g->sellastrow, g->selfirstcolumn, g->sellastcolumn, ok);
      event = ok == 1;
      break;
    case GE_EXIT: PostMessage(frame, WM_CLOSE, 0, 0); return;
    case GE_CUT:
      if (!selected(*g)) {
        if (HWND ed = texteditor(*g)) {
          SendMessage(ed, WM_COPY, 0, 0);
          SendMessage(ed, WM_CLEAR, 0, 0);
        }
      } else if (yygridclipcopy(r.grid)) {
        yygridclipdelete(r.grid);
      }
      return;
    case GE_COPY:
      if (!selected(*g)) {
        if (HWND ed = texteditor(*g)) SendMessage(ed, WM_COPY, 0, 0);
      } else {
        yygridclipcopy(r.grid);
      }
      return;
    case GE_PASTE: {
      const int kind = yygridcheckclipboard();
      if (kind == 1) {
        if (HWND ed = texteditor(*g)) SendMessage(ed, WM_PASTE, 0, 0);
      } else if (kind == 2) {
        yygridclippaste(r.grid);
      }
      return;
    }
    case GE_DELETE:
      if (!selected(*g)) {
        if (HWND ed = texteditor(*g)) SendMessage(ed, WM_CLEAR, 0, 0);
      } else {
        yygridclipdelete(r.grid);
      }
      return;
    case GE_SELECTALL: yygridselectrange(r.grid, 0, g->data().rowsinuse - 1, 0, g->data().columncount - 1); return;
    case GE_SORT:
      yygridwinsort(w, ok);
      event = ok == 1;
      break;
    case GE_INSERTBEFORE:
    case GE_INSERTAFTER:
    case GE_DELETEROW:
      if (!r.mayrows) return;
      if (id == GE_DELETEROW) yygridwindeleterow(w);
      else yygridwininsertrow(w, id == GE_INSERTAFTER ? 1 : 0);
      event = true;
      break;
    case GE_FIND:
    case GE_FINDNEXT:
      if (r.mayfind) yygridwinfind(w, id == GE_FIND ? 1 : 0);
      return;
    case GE_GOTOCELL: yygridwingoto(w, 1); return;
    case GE_GOTOROW: yygridwingoto(w, 2); return;
    case GE_GOTOCOLUMN: yygridwingoto(w, 3); return;
    case GE_PRINT:
      yygridwinprint(w, 0, g->data().rowsinuse - 1, 0, g->data().columncount - 1, ok);
      event = ok == 1;
      break;
    case GE_PRINTSEL:
      if (!selected(*g)) return;
      yygridwinprint(w, g->selfirstrow, g->sellastrow, g->selfirstcolumn, g->sellastcolumn, ok);
      event = ok == 1;
      break;
    default: event = true; break;
  }
  if (event) yyinterpretmessage(EV_COMMAND, 0, MAKEWPARAM(id, 0), 0, frame);
}

}  // namespace

LRESULT yyGridWindowWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  GridWindowRecord* r = yygridwindowrecord(hwnd);
  if (r == nullptr) return DefWindowProc(hwnd, msg, wParam, lParam);
  if (GM_CELLCHANGE != 0 && msg == GM_CELLCHANGE) {
    showcell(*r, static_cast<int>(lParam));
    // Inside split windows this pane becomes the active one and its menu shows.
    if (yysplitof(hwnd) != nullptr) yysplitlendmenu(hwnd, -1);
    if (r->mode != GEM_MODAL) yyinterpretmessage(EV_FIELDCHANGED, 0, static_cast<WPARAM>(r->lastcell), lParam, hwnd);
    r->lastcell = static_cast<int>(lParam);
    return 0;
  }
  switch (msg) {
    case WM_SIZE: {
      const LRESULT done = yyWndProc(hwnd, msg, wParam, lParam);
      if (wParam != SIZE_MINIMIZED) layout(hwnd, *r);
      return done;
    }
    case WM_GETMINMAXINFO: {
      const LRESULT done = yyWndProc(hwnd, msg, wParam, lParam);
      sizelimits(*r, hwnd, *reinterpret_cast<MINMAXINFO*>(lParam));
      return done;
    }
    case WM_INITMENUPOPUP:
      if (GridInstance* g = yygridinstance(r->grid)) initmenu(*r, *g, reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_ENTERMENULOOP:
      if (r->statusbar) {
        SendMessage(r->statusbar, SB_SIMPLE, TRUE, 0);
        SendMessage(r->statusbar, SB_SETTEXT, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
      }
      return 0;
    case WM_MENUSELECT: {
      const UINT id = LOWORD(wParam);
      const UINT flags = HIWORD(wParam);
      const char* text = nullptr;
      if (flags & MF_POPUP) {
        HMENU popup = GetSubMenu(reinterpret_cast<HMENU>(lParam), static_cast<int>(id));
        if (popup != nullptr && popup == r->file) text = "Commands to Load and Save files";
        else if (popup != nullptr && popup == r->edit) text = "Commands for Editing and Sorting cells";
        else if (popup != nullptr && popup == r->search) text = "Commands for Searching and Navigation";
      } else {
        text = prompt(id);
      }
      if (text == nullptr) return yyWndProc(hwnd, msg, wParam, lParam);
      if (r->statusbar) SendMessage(r->statusbar, SB_SETTEXT, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
      return 0;
    }
    case WM_NOTIFY: {
      auto* h = reinterpret_cast<NMHDR*>(lParam);
      if (h != nullptr && h->code == UDN_DELTAPOS) {
        // A step of a spinner cell's up-down control: the field steps its value itself.
        HWND buddy = reinterpret_cast<HWND>(SendMessage(h->hwndFrom, UDM_GETBUDDY, 0, 0));
        if (buddy != nullptr && yygridupdown(buddy) == h->hwndFrom && gridservices.spinstep) {
          auto* nm = reinterpret_cast<NMUPDOWN*>(lParam);
          gridservices.spinstep(buddy, nm->iDelta);
          nm->iDelta = 0;
          return 0;
        }
      }
      if (h != nullptr && h->code == TTN_NEEDTEXT && r->tooltips != nullptr && h->hwndFrom == r->tooltips) {
        auto* info = reinterpret_cast<NMTTDISPINFO*>(lParam);
        info->lpszText = const_cast<LPSTR>(yygridtooltip(static_cast<int>(h->idFrom)));
        return 0;
      }
      return yyWndProc(hwnd, msg, wParam, lParam);
    }
    case WM_EXITMENULOOP:
      if (r->statusbar) SendMessage(r->statusbar, SB_SIMPLE, FALSE, 0);
      return 0;
    case WM_SETFOCUS:
      hWinCur = hwnd;
      SetFocus(r->grid);
      return 0;
    case WM_COMMAND:
      // Menus, accelerators and the toolbar's buttons; other controls' notifications are not
      // commands.
      if (lParam != 0 && reinterpret_cast<HWND>(lParam) != r->toolbar) return DefWindowProc(hwnd, msg, wParam, lParam);
      command(hwnd, *r, LOWORD(wParam));
      return 0;
    case WM_CLOSE: {
      GridInstance* g = yygridinstance(r->grid);
      if (r->maysave && g != nullptr) {
        int ok = 1;
        yygridwinsaveprompt(yygetwindowindex(hwnd), g->modified, ok);
        if (ok != 1) return 0;
      }
      if (r->mode == GEM_MODAL) {
        r->closed = 1;
        return DefWindowProc(hwnd, msg, wParam, lParam);
      }
      yyinterpretmessage(EV_CLOSE, 0, wParam, lParam, hwnd);
      return 0;
    }
    case WM_DESTROY: {
      if (r->mode == GEM_MODAL) {
        // What the information queries report of the last modal window.
        const GridInstance* g = yygridinstance(r->grid);
        gridmodalresults = GridModalResults{g != nullptr ? g->modified : 0, g != nullptr ? g->changed : 0,
                                            r->searchtext, r->secondtext, r->filename};
      }
      yyspecialwindowgone(hwnd, r->mode);
      if (const int w = yygetwindowindex(hwnd); w >= 0 && winslot(w).hMenuRoot != nullptr) yyClearMenuPrompt(winslot(w).hMenuRoot, w);
      SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
      if (r->mode != GEM_MODAL) delete r;
      return yyWndProc(hwnd, msg, wParam, lParam);
    }
    case WM_SETFONT: r->font = reinterpret_cast<HFONT>(wParam); return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(r->font);
    case WM_ERASEBKGND: return 0;
    default: return yyWndProc(hwnd, msg, wParam, lParam);
  }
}
