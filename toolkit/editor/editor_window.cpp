// The text editor window: WEditFile, the editor's menus, status parts, font and control, the
// frame's window procedure with the editor's commands, and the modal loop.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/gdi.h"
#include "platform/combobox.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/message_box.h"
#include "platform/os.h"
#include "platform/richedit.h"
#include "platform/statusbar.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/viewer.h"
#include "toolkit/os/opsys.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_state.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/window/wmsg.h"

using namespace win;

void yyeditkeepmodal(const EditorRecord& r);
LRESULT yyEditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

UINT findmessage = 0;

bool haschildstyle(HWND h) { return (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0; }

void setstatus(const EditorRecord& r, int part, const char* text) {
  if (r.statusbar != nullptr) SendMessage(r.statusbar, SB_SETTEXT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void lockstatus(const EditorRecord& r) {
  setstatus(r, 1, (GetKeyState(VK_CAPITAL) & 1) != 0 ? "\tCAPS" : "");
  setstatus(r, 2, (GetKeyState(VK_NUMLOCK) & 1) != 0 ? "\tNUM" : "");
}

// "Line:n   Col:m" of the selection end.
void caretstatus(const EditorRecord& r) {
  DWORD s = 0, e = 0;
  SendMessage(r.control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  const int line = static_cast<int>(SendMessage(r.control, EM_LINEFROMCHAR, e, 0));
  const int first = static_cast<int>(SendMessage(r.control, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  const std::string text = "Line:" + std::to_string(line + 1) + "   Col:" + std::to_string(static_cast<int>(e) - first + 1);
  setstatus(r, 0, text.c_str());
}

}  // namespace

// The split window whose pane frame f is (a split window's record sits on the frame two
// levels above its panes), or nullptr.
HWND yysplitof(HWND f) {
  if (!haschildstyle(f)) return nullptr;
  HWND g = GetParent(GetParent(f));
  const FrameRecord* r = g != nullptr ? yyframerecord(g) : nullptr;
  return r != nullptr && r->word[FR_KIND] == SW_SPLITWINDOW ? g : nullptr;
}

// The outermost frame of the split windows around f (f itself outside any).
HWND yysplitoutermost(HWND f) {
  for (HWND g = yysplitof(f); g != nullptr; g = yysplitof(g)) f = g;
  return f;
}

// The menu bar of window w shows on the outermost frame of the split windows around pane
// frame: each split window up to window upto (-1: all) without a menu of its own borrows
// it and has the pane as its active pane.
void yysplitlendmenu(HWND pane, int upto) {
  const int w = yygetwindowindex(pane);
  HMENU bar = w >= 0 ? winslot(w).hMenuRoot : nullptr;
  HWND f = pane, shown = nullptr;
  for (HWND g = yysplitof(f); g != nullptr; f = g, g = yysplitof(g)) {
    FrameRecord* split = yyframerecord(g);
    const int gw = yygetwindowindex(g);
    split->word[SP_ACTIVE] = HandleToLong(f);
    if (gw >= 0 && bar != nullptr && (winslot(gw).hMenuRoot == nullptr || split->word[SP_MENUPANE] != 0)) {
      winslot(gw).hMenuRoot = bar;
      split->word[SP_MENUPANE] = HandleToLong(pane);
    }
    if (gw >= 0 && winslot(gw).hMenuRoot != nullptr) shown = g;
    if (gw == upto) break;
  }
  // The outermost frame shows the nearest menu.
  HWND outer = yysplitoutermost(pane);
  const int sw = shown != nullptr ? yygetwindowindex(shown) : -1;
  HMENU show = bar != nullptr ? bar : sw >= 0 ? winslot(sw).hMenuRoot : nullptr;
  if (!haschildstyle(outer) && show != nullptr && GetMenu(outer) != show) {
    SetMenu(outer, show);
    DrawMenuBar(outer);
  }
}

namespace {

void buildmenus(HWND frame, EditorRecord& r, int menu, int& status) {
  const bool accelerators = false;   // this program's resources hold no editor accelerator table
  r.file = CreatePopupMenu();
  if (r.maynew) AppendMenu(r.file, MF_STRING, ED_NEW, accelerators ? "&New\tCtrl+N" : "&New");
  if (r.mayopen) AppendMenu(r.file, MF_STRING, ED_OPEN, "&Open");
  if (r.buffers) {
    AppendMenu(r.file, MF_STRING, ED_CLOSE, "&Close");
    if (r.maysave || r.maysaveas) AppendMenu(r.file, MF_SEPARATOR, 0, nullptr);
  }
  if (r.maysave) AppendMenu(r.file, MF_STRING, ED_SAVE, "&Save");
  if (r.maysaveas) AppendMenu(r.file, MF_STRING, ED_SAVEAS, "Save &As");
  if (r.maynew || r.mayopen || r.maysave || r.maysaveas) AppendMenu(r.file, MF_SEPARATOR, 0, nullptr);
  if (r.mayprint) {
    AppendMenu(r.file, MF_STRING, ED_PRINT, "&Print");
    AppendMenu(r.file, MF_STRING, ED_PRINTSEL, "Prin&t Selection");
    AppendMenu(r.file, MF_SEPARATOR, 0, nullptr);
  }
  AppendMenu(r.file, MF_STRING, ED_EXIT, "E&xit");

  r.edit = CreatePopupMenu();
  if (!r.readonly) {
    AppendMenu(r.edit, MF_STRING, ED_UNDO, "&Undo\tCtrl+Z");
    AppendMenu(r.edit, MF_STRING, ED_REDO, "&Redo\tCtrl+Y");
    AppendMenu(r.edit, MF_SEPARATOR, 0, nullptr);
    AppendMenu(r.edit, MF_STRING, ED_CUT, "Cu&t\tCtrl+X");
  }
  AppendMenu(r.edit, MF_STRING, ED_COPY, "&Copy\tCtrl+C");
  if (!r.readonly) {
    AppendMenu(r.edit, MF_STRING, ED_PASTE, "&Paste\tCtrl+V");
    AppendMenu(r.edit, MF_STRING, ED_DELETE, "&Delete\tDel");
  }
  AppendMenu(r.edit, MF_SEPARATOR, 0, nullptr);
  AppendMenu(r.edit, MF_STRING, ED_SELECTALL, "Select &All\tCtrl+A");

  r.search = CreatePopupMenu();
  AppendMenu(r.search, MF_STRING, ED_FIND, "&Find");
  AppendMenu(r.search, MF_STRING, ED_FINDNEXT, "Find &Next");
  if (!r.readonly) AppendMenu(r.search, MF_STRING, ED_REPLACE, "&Replace");
  AppendMenu(r.search, MF_SEPARATOR, 0, nullptr);
  AppendMenu(r.search, MF_STRING, ED_SETBOOKMARK, "&Set Bookmark");
  AppendMenu(r.search, MF_STRING | MF_GRAYED, ED_GOTOBOOKMARK, "Goto &Bookmark");

  if (r.richtext && !r.readonly) {
    const bool extra = (r.options & EO_EXTRATOOLS) != 0;
    r.format = CreatePopupMenu();
    AppendMenu(r.format, MF_STRING, ED_FONT, "&Font");
    AppendMenu(r.format, MF_STRING, ED_BULLET, "&Bullet Style");
    AppendMenu(r.format, MF_SEPARATOR, 0, nullptr);
    AppendMenu(r.format, MF_STRING, ED_LEFT, extra ? "Align &Left\tCtrl+Shift+L" : "Align &Left\tCtrl+L");
    AppendMenu(r.format, MF_STRING, ED_CENTRE, extra ? "Align &Centre\tCtrl+Shift+E" : "Align &Centre\tCtrl+E");
    AppendMenu(r.format, MF_STRING, ED_RIGHT, extra ? "Align &Right\tCtrl+Shift+R" : "Align &Right\tCtrl+R");
  }

  if (r.buffers) {
    r.view = CreatePopupMenu();
    AppendMenu(r.view, MF_STRING | MF_CHECKED, ED_VIEW + 1, yyeditviewentry(1, r.filename).c_str());
  }

  r.menubar = nullptr;
  if (menu != 0) {
    r.menubar = r.mode == 1 ? nullptr : LoadMenu(GetModuleHandle(nullptr), MAKEINTRESOURCE(menu));
    if (r.mode == 1) status = 2;
    else if (r.menubar == nullptr) status = 3;
  }
  if (r.menubar == nullptr) r.menubar = CreateMenu();
  InsertMenu(r.menubar, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(r.file), "&File");
  InsertMenu(r.menubar, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(r.edit), "&Edit");
  InsertMenu(r.menubar, 2, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(r.search), "&Search");
  if (r.format != nullptr) InsertMenu(r.menubar, 3, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(r.format), "F&ormat");
  if (r.view != nullptr)
    InsertMenu(r.menubar, r.format != nullptr ? 4 : 3, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(r.view), "&View");

  const int w = yygetwindowindex(frame);
  if (!haschildstyle(frame)) SetMenu(frame, r.menubar);
  if (w >= 0) {
    if (HMENU old = winslot(w).hMenuRoot; old != nullptr && old != r.menubar) {
      yyClearMenuPrompt(old, w);
      DestroyMenu(old);
    }
    winslot(w).hMenuRoot = r.menubar;
    winslot(w).hAccel = nullptr;
    winslot(w).hVXKMenuString = nullptr;
  }
  DrawMenuBar(frame);
}

// Lays out the status bar, the window's toolbars and the control over the client area.
void layout(HWND frame, EditorRecord& r) {
  yyframelayout(frame);
  const int w = yygetwindowindex(frame);
  if (w < 0 || winslot(w).hClient == nullptr) return;
  RECT c;
  GetWindowRect(winslot(w).hClient, c);
  POINT corner{c.left, c.top};
  ScreenToClient(frame, corner);
  RECT area{corner.x, corner.y, corner.x + (c.right - c.left), corner.y + (c.bottom - c.top)};
  if (r.toolbar != nullptr) {
    // The editor's toolbar across the top, as tall as its buttons.
    SendMessage(r.toolbar, TB_AUTOSIZE, 0, 0);
    RECT t;
    GetWindowRect(r.toolbar, t);
    const int height = t.bottom - t.top;
    MoveWindow(r.toolbar, area.left, area.top, area.right - area.left, height, TRUE);
    area.top = std::min<LONG>(area.top + height, area.bottom);
  }
  yyeditcommandlayout(r, area);
  if (r.commandline != nullptr) area.bottom -= r.commandheight;
  MoveWindow(r.control, area.left, area.top, area.right - area.left, std::max<int>(area.bottom - area.top, 0), TRUE);
}

int textcontrolstyle(const EditorRecord& r) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_NOHIDESEL | ES_AUTOVSCROLL | ES_MULTILINE;
  if (r.readonly) style |= ES_READONLY;
  if ((r.options & EO_WORDWRAP) == 0) style |= WS_HSCROLL | ES_AUTOHSCROLL;
  return static_cast<int>(style);
}

// Buffer n becomes current in a several-buffer editor, its View entry added.
void addbuffer(HWND frame, EditorRecord& r, const std::string& path) {
  const int w = yygetwindowindex(frame);
  CheckMenuItem(r.view, static_cast<UINT>(r.current - 1), MF_BYPOSITION | MF_UNCHECKED);
  yyeditstorebuffer(w, r.current);
  yyeditstorebuffername(w, r.current, r.filename);
  ++r.count;
  r.current = r.count;
  r.filterindex[static_cast<std::size_t>(r.current)] = r.filterindex[static_cast<std::size_t>(r.current - 1)];
  r.bookmark[static_cast<std::size_t>(r.current)] = -1;
  r.lockfile[static_cast<std::size_t>(r.current)] = -1;
  r.filename = path;
  AppendMenu(r.view, MF_STRING | MF_CHECKED, static_cast<UINT_PTR>(ED_VIEW + r.count), yyeditviewentry(r.count, path).c_str());
}

bool untouched(const EditorRecord& r) {
  return r.count == 1 && r.filename.empty() && r.lockfile[1] < 0 && SendMessage(r.control, WM_GETTEXTLENGTH, 0, 0) == 0 &&
         SendMessage(r.control, EM_GETMODIFY, 0, 0) == 0;
}

// The full path of a name, or empty, after a message, when it is longer than the editor
// keeps: a cut name would be another file, which a later save would write.
std::string fullpath(HWND frame, std::string_view name) {
  std::string full(4096, ' ');
  IOsFullPathname(name, full);
  while (!full.empty() && (full.back() == ' ' || full.back() == '\0')) full.pop_back();
  if (full.size() <= kEditorPathLength) return full;
  const std::string text = full + "\nThis path is " + std::to_string(full.size()) + " characters long; the editor keeps at most " +
                           std::to_string(kEditorPathLength) + ". The file is not opened.";
  MessageBox(frame, text.c_str(), "Open Error", MB_OK | MB_ICONWARNING);
  return {};
}

}  // namespace

void yyEditCreateFont(EditorRecord& r, int type, int size) {
  HDC screen = GetDC(nullptr);
  const int points = size > 0 ? size : 12;
  const int height = -((points * GetDeviceCaps(screen, LOGPIXELSY) + 36) / 72);
  HFONT font = nullptr;
  switch (type) {
    case 1: font = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT)); break;
    case 2: case 3: case 4: {
      const char* face = type == 2 ? "Times New Roman" : type == 3 ? "Arial" : "Courier New";
      const BYTE family = type == 2 ? FF_ROMAN : type == 3 ? FF_SWISS : FF_MODERN;
      font = CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, VARIABLE_PITCH | family, face);
      break;
    }
    case 7: case 8: case 9: case 10: {
      static constexpr int sizes[] = {10, 11, 13, 14};
      const int h = -((sizes[type - 7] * GetDeviceCaps(screen, LOGPIXELSY) + 36) / 72);
      font = CreateFont(h, 0, 0, 0, FW_NORMAL, 0, 0, 0, OEM_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Lucida Console");
      break;
    }
    default: font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); break;
  }
  HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRIC tm{};
  GetTextMetrics(screen, tm);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  r.font = font;
  r.fonttype = type;
  r.fontsize = size;
  r.lineheight = tm.tmHeight;
  r.charheight = tm.tmHeight - tm.tmInternalLeading;
}

void yyeditfont(int fonttype, int fontsize, int& result) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = 1;
    return;
  }
  HFONT old = r->font;
  const bool modified = SendMessage(r->control, EM_GETMODIFY, 0, 0) != 0;
  yyEditCreateFont(*r, fonttype == -1 ? r->fonttype : fonttype, fontsize == -1 ? r->fontsize : fontsize);
  SendMessage(r->control, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), TRUE);
  if (!r->richtext && !modified) SendMessage(r->control, EM_SETMODIFY, FALSE, 0);
  const bool stock = old == GetStockObject(SYSTEM_FONT) || old == GetStockObject(SYSTEM_FIXED_FONT);
  if (old != nullptr && old != r->font && !stock) DeleteObject(old);
  result = 0;
}

void yyeditfile(int& status, int& mode, int menu, int options, int fonttype, int fontsize, int filterindex,
                int splitwindow, std::string_view filename, std::string_view filter) {
  status = 0;
  const int w = wIndex;
  if (w <= 0 || w >= MAXWINDOWS || winslot(w).wWindow == nullptr) {
    status = 1;
    return;
  }
  HWND frame = winslot(w).wWindow;
  const std::string path = filename.empty() ? std::string() : fullpath(frame, filename);

  // A second call on an editor loads the file into it.
  if (EditorRecord* r = yyeditrecord(frame)) {
    if (r->buffers && !untouched(*r)) {
      std::string name;
      for (int k = 1; k <= r->count; ++k) {
        if (k == r->current) name = r->filename;
        else yyeditgetbuffername(w, k, name);
        if (!path.empty() && strcasecmp(name.c_str(), path.c_str()) == 0) {
          if (k != r->current) yyEditSwitchBuffer(frame, k);
          return;
        }
      }
      if (r->count >= 20) {
        status = 12;
        return;
      }
      addbuffer(frame, *r, path);
      yyEditResetFormat(*r);
      if (!path.empty() && yyEditOpenFile(frame, 1) == 0) yyEditResetFormat(*r);
    } else {
      r->filename = path;
      if (!path.empty() && yyEditOpenFile(frame, 1) == 0) r->filename.clear();
      if (r->view != nullptr) ModifyMenu(r->view, 0, MF_BYPOSITION | MF_STRING, ED_VIEW + 1, yyeditviewentry(1, r->filename).c_str());
    }
    r->filterindex[static_cast<std::size_t>(r->current)] = filterindex == -1 ? 1 : filterindex;
    yyEditTitle(frame);
    return;
  }
  if (yyframerecord(frame) != nullptr) {
    status = 8;
    return;
  }
  HWND client = winslot(w).hClient;
  if (client != nullptr && GetWindow(client, GW_CHILD) != nullptr) {
    status = 11;
    return;
  }
  if (haschildstyle(frame)) {
    if (mode != 2) {
      status = 5;
      mode = 2;
    } else if (menu != 0) {
      status = 4;
    }
  }
  if (mode < 1 || mode > 3) mode = 2;

  auto* r = new (std::nothrow) EditorRecord{};
  if (r == nullptr) {
    status = 6;
    return;
  }
  r->word[FR_KIND] = SW_EDITOR;
  r->mode = mode;
  r->options = options;
  r->readonly = (options & EO_READONLY) != 0;
  r->maynew = (options & (EO_NONEWOPEN | EO_READONLY)) == 0;
  r->mayopen = (options & EO_NONEWOPEN) == 0;
  r->maysave = (options & (EO_NOSAVE | EO_READONLY)) == 0;
  r->maysaveas = (options & (EO_NOSAVEAS | EO_NOSAVE)) == 0;
  r->mayprint = (options & EO_NOPRINT) == 0;
  r->richtext = (options & EO_RICHTEXT) != 0;
  r->buffers = (options & EO_BUFFERS) != 0;
  r->filterindex[1] = filterindex == -1 ? 1 : filterindex;
  r->bookmark.fill(-1);
  r->bookmarklength.fill(-1);
  // The filter's last non-blank character separates its items.
  std::string f(filter);
  while (!f.empty() && f.back() == ' ') f.pop_back();
  if (!f.empty()) {
    const char separator = f.back();
    f = f.substr(0, std::min<std::size_t>(f.size(), 1000));
    std::replace(f.begin(), f.end(), separator, '\0');
  }
  r->filter = f;
  r->filename = path;
  r->statusbar = winslot(w).wMessLine;
  if (client != nullptr) ShowWindow(client, SW_HIDE);
  if ((options & EO_NOTOOLBAR) == 0) yyeditmaketoolbar(frame, *r);

  // Menus where the outermost frame of the split windows around the editor can show them.
  if ((options & EO_NOMENUS) == 0 && !haschildstyle(yysplitoutermost(frame))) {
    buildmenus(frame, *r, menu, status);
    if (splitwindow > 0 && yysplitof(frame) != nullptr) {
      // Only when that split window holds the editor.
      HWND split = splitwindow < MAXWINDOWS ? winslot(splitwindow).wWindow : nullptr;
      for (HWND g = yysplitof(frame); g != nullptr; g = yysplitof(g))
        if (g == split) {
          yysplitlendmenu(frame, splitwindow);
          r->splitwindow = splitwindow;
          break;
        }
    }
  }
  if (mode == 1) {
    for (HWND& bar : winslot(w).hToolbar) {
      if (bar != nullptr) DestroyWindow(bar);
      bar = nullptr;
    }
  } else {
    for (std::size_t k = 0; k < 4; ++k) r->word[FR_TOOLBAR + k] = HandleToLong(winslot(w).hToolbar[k]);
  }
  if ((options & (EO_COMMANDLINE | EO_HISTORY)) != 0 && mode == 1) status = 7;

  if (r->statusbar != nullptr) {
    const int edges[] = {130, 170, 210, 250, -1};
    // The window's part widths, which the frame's layout applies again at every size change:
    // without them it would spread the parts from the window's own list over the editor's.
    const int widths[] = {130, 40, 40, 40, -1};
    for (std::size_t p = 0; p < 5; ++p) winslot(w).partlist[p + 1] = widths[p];
    const bool caption = (GetWindowLong(frame, GWL_STYLE) & static_cast<LONG>(WS_CAPTION)) == static_cast<LONG>(WS_CAPTION);
    SendMessage(r->statusbar, SB_SETPARTS, caption ? 4 : 5, reinterpret_cast<LPARAM>(edges));
    setstatus(*r, 0, "Line:1   Col:1");
    lockstatus(*r);
    setstatus(*r, 3, "\tINS");
  }
  yyEditCreateFont(*r, fonttype, std::max(fontsize, 0));

  RegisterRichEditClasses();
  r->control = CreateWindowEx(WS_EX_CLIENTEDGE, RICHEDIT_CLASS, "", static_cast<DWORD>(textcontrolstyle(*r)), 0, 0, 10, 10,
                              frame, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(1002)), GetModuleHandle(nullptr), nullptr);
  if (r->control == nullptr) {
    delete r;
    status = 6;
    return;
  }
  SendMessage(r->control, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), TRUE);
  SendMessage(r->control, EM_EXLIMITTEXT, 0, 104857500);
  if ((options & (EO_COMMANDLINE | EO_HISTORY)) != 0 && mode != 1) yyeditcommandline(frame, *r);
  SendMessage(r->control, EM_SETEVENTMASK, 0,
              static_cast<LPARAM>(ENM_CHANGE | ENM_SCROLL | ENM_MOUSEEVENTS | ENM_SELCHANGE | ENM_PROTECTED |
                                  (r->statusbar != nullptr ? ENM_KEYEVENTS : 0)));
  r->find.hwndOwner = frame;
  r->find.hInstance = GetModuleHandle(nullptr);
  r->find.Flags = FR_DOWN;
  r->find.lpstrFindWhat = r->findbuffer.data();
  r->find.lpstrReplaceWith = r->replacebuffer.data();
  r->find.wFindWhatLen = static_cast<WORD>(r->findbuffer.size());
  r->find.wReplaceWithLen = static_cast<WORD>(r->replacebuffer.size());
  if (findmessage == 0) findmessage = RegisterWindowMessage(FINDMSGSTRING);
  r->word[FR_CONTROL] = HandleToLong(r->control);
  r->word[ED_PROMPTTARGET] = HandleToLong(r->statusbar);
  SetWindowLongPtr(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<FrameRecord*>(r)));
  SetWindowLongPtr(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yyEditWndProc));
  layout(frame, *r);

  char caption[1024] = {};
  GetWindowText(frame, caption, static_cast<int>(sizeof caption));
  r->basetitle = caption;
  if (!path.empty()) yyEditOpenFile(frame, 1);
  yyEditTitle(frame);

  r->focus = r->commandline != nullptr ? r->commandedit : r->control;
  // Raising the window gives the focus to this control.
  r->word[FR_CONTROL] = HandleToLong(r->focus);
  SetFocus(r->focus);
  SendMessage(r->control, EM_SETMODIFY, FALSE, 0);
  r->changed = 0;
  if (mode == 3) ++dialogtable.nSemi;
  if (!IsWindowEnabled(frame)) {
    EnableWindow(frame, TRUE);
    SetFocus(r->control);
  }
  ShowWindow(frame, SW_SHOW);
  yytitlecolour(frame);
  if (mode != 2) yyDisableDialogs(frame, 1);
  if (mode != 1) return;

  yyspecialmodalloop(r->modalend, &r->finddialog);
  delete r;
}

void WEditFile(std::string_view filename, const WEditFileOptions& o) {
  int mode = o.mode.value_or(2);
  const int options = o.options.value_or(0);
  std::string name(filename);
  while (!name.empty() && name.back() == ' ') name.erase(name.size() - 1);
  while (!name.empty() && name.front() == ' ') name.erase(0, 1);
  if ((options & EO_MUSTEXIST) != 0 && !name.empty()) {
    // Only whether it is there: the editor reads it (or says why it cannot) itself.
    win::FileFacts facts;
    int code = 0;
    win::yyfilefacts(name.c_str(), facts, code);
    if (!facts.exists) {
      yyerror(1, "WEditFile");
      return;
    }
  }
  if ((options & EO_BUFFERS) != 0 && wIndex >= 0 && static_cast<std::size_t>(wIndex) < tessar.editor.EDITBUF.size())
    // Only a new editor forgets the stored buffers: an open editor keeps them.
    if (yyeditrecord(winslot(wIndex).wWindow) == nullptr)
      for (EditBuffer& b : tessar.editor.EDITBUF[static_cast<std::size_t>(wIndex)]) b = EditBuffer{};
  int status = 0;
  std::string filter(o.filter.value_or(""));
  yyeditfile(status, mode, o.menu.value_or(0), options, o.fonttype.value_or(0), std::max(o.fontsize.value_or(0), 0),
             o.filterindex.value_or(-1), o.splitwindow.value_or(-1), name, filter);
  if (mode == 1) windowselect(0);
  static constexpr int errors[] = {0, 1022, 1026, 1002, 1025, 1024, 1027, 1033, 1038, 0, 0, 1057, 1068};
  if (status > 0 && status <= 12 && errors[status] != 0) yyerror(errors[status], "WEditFile");
}

namespace {

void command(HWND frame, EditorRecord& r, int id) {
  bool event = true;
  switch (id) {
    case ED_NEW:
      if (!r.maynew) return;
      if (r.buffers && r.count < 20) {
        addbuffer(frame, r, "");
      } else {
        if (yyEditCheckSave(frame, r) == 0) return;
        yyEditCloseFile(frame);
        r.filename.clear();
      }
      r.protection = 0;
      yyEditResetFormat(r);
      r.protection = 1;
      SendMessage(r.control, EM_SETMODIFY, FALSE, 0);
      r.changed = 0;
      r.bookmark[static_cast<std::size_t>(r.current)] = -1;
      yyEditTitle(frame);
      break;
    case ED_SAVE:
      if (!r.maysave || yyEditSaveFile(frame, 0) == 0) return;
      break;
    case ED_SAVEAS:
      if (!r.maysaveas || yyEditSaveFile(frame, 1) == 0) return;
      break;
    case ED_CLOSE: {
      if (!r.buffers || yyEditCheckSave(frame, r) == 0) return;
      const int w = yygetwindowindex(frame);
      yyEditCloseFile(frame);
      if (r.count == 1) {
        r.filename.clear();
        yyEditResetFormat(r);
        SendMessage(r.control, EM_SETMODIFY, FALSE, 0);
        ModifyMenu(r.view, 0, MF_BYPOSITION | MF_STRING, ED_VIEW + 1, yyeditviewentry(1, "").c_str());
      } else {
        yyeditclosebuffer(w, r.current);
        for (int k = r.current; k < r.count; ++k) {
          r.filterindex[static_cast<std::size_t>(k)] = r.filterindex[static_cast<std::size_t>(k + 1)];
          r.bookmark[static_cast<std::size_t>(k)] = r.bookmark[static_cast<std::size_t>(k + 1)];
          r.bookmarklength[static_cast<std::size_t>(k)] = r.bookmarklength[static_cast<std::size_t>(k + 1)];
          r.lockfile[static_cast<std::size_t>(k)] = r.lockfile[static_cast<std::size_t>(k + 1)];
        }
        r.lockfile[static_cast<std::size_t>(r.count)] = -1;
        DeleteMenu(r.view, static_cast<UINT>(r.count - 1), MF_BYPOSITION);
        --r.count;
        for (int k = 1; k <= r.count; ++k) {
          std::string name;
          yyeditgetbuffername(w, k, name);
          ModifyMenu(r.view, static_cast<UINT>(k - 1), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(ED_VIEW + k),
                     yyeditviewentry(k, name).c_str());
        }
        if (r.current > r.count) r.current = r.count;
        CheckMenuItem(r.view, static_cast<UINT>(r.current - 1), MF_BYPOSITION | MF_CHECKED);
        yyeditretrievebuffer(w, r.current);
        yyeditgetbuffername(w, r.current, r.filename);
      }
      yyEditTitle(frame);
      break;
    }
    case ED_EXIT:
      PostMessage(frame, WM_CLOSE, 0, 0);
      return;
    case ED_UNDO: SendMessage(r.control, EM_UNDO, 0, 0); event = false; break;
    case ED_REDO: SendMessage(r.control, EM_REDO, 0, 0); event = false; break;
    case ED_CUT: SendMessage(r.control, WM_CUT, 0, 0); event = false; break;
    case ED_COPY: SendMessage(r.control, WM_COPY, 0, 0); event = false; break;
    case ED_PASTE: yyEditPaste(r); event = false; break;
    case ED_DELETE: SendMessage(r.control, WM_CLEAR, 0, 0); event = false; break;
    case ED_SELECTALL:
      SendMessage(r.control, EM_SETSEL, 0, -1);
      SendMessage(r.control, EM_SCROLLCARET, 0, 0);
      event = false;
      break;
    case ED_FIND:
    case ED_REPLACE:
      if (id == ED_REPLACE && r.readonly) return;
      r.find.Flags &= ~FR_DIALOGTERM;
      if (r.finddialog != nullptr) DestroyWindow(r.finddialog);
      r.finddialog = id == ED_FIND ? FindText(r.find) : ReplaceText(r.find);
      r.word[ED_FINDDIALOG] = HandleToLong(r.finddialog);
      event = false;
      break;
    case ED_FINDNEXT:
      r.findtext = r.findbuffer.data();
      yyEditFind(frame, r, r.find);
      event = false;
      break;
    case ED_FONT:
    case ED_BULLET:
    case ED_LEFT:
    case ED_CENTRE:
    case ED_RIGHT:
    case ED_BOLD:
    case ED_ITALIC:
    case ED_UNDERLINE:
      event = false;
      if (!r.richtext || r.readonly) break;
      if (id == ED_FONT) yyEditFormatFont(frame, r);
      else if (id == ED_BULLET) yyEditFormatBullet(r);
      else if (id >= ED_LEFT && id <= ED_RIGHT) yyEditFormatLCR(r, id);
      else yyEditFormatBIU(r, id);
      break;
    case ED_SETBOOKMARK: {
      DWORD s = 0, e = 0;
      SendMessage(r.control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
      r.bookmark[static_cast<std::size_t>(r.current)] = static_cast<int>(e);
      r.bookmarklength[static_cast<std::size_t>(r.current)] = static_cast<int>(SendMessage(r.control, WM_GETTEXTLENGTH, 0, 0));
      if (r.search != nullptr) EnableMenuItem(r.search, ED_GOTOBOOKMARK, MF_BYCOMMAND | MF_ENABLED);
      event = false;
      break;
    }
    case ED_GOTOBOOKMARK: {
      const int b = r.bookmark[static_cast<std::size_t>(r.current)];
      if (b >= 0) {
        SendMessage(r.control, EM_SETSEL, static_cast<WPARAM>(b), b);
        SendMessage(r.control, EM_SCROLLCARET, 0, 0);
      }
      event = false;
      break;
    }
    default:
      if (id > ED_VIEW && id <= ED_VIEW + 20) {
        yyEditSwitchBuffer(frame, id - ED_VIEW);
        break;
      }
      if (id == ED_OPEN) {
        if (!r.mayopen) return;
        if (r.buffers ? r.count >= 20 : yyEditCheckSave(frame, r) == 0) return;
        std::string path;
        if (yyEditFileDialog(frame, r, false, path) == 0) return;
        const int w = yygetwindowindex(frame);
        if (r.buffers) {
          for (int k = 1; k <= r.count; ++k) {
            std::string name;
            if (k == r.current) name = r.filename;
            else yyeditgetbuffername(w, k, name);
            if (strcasecmp(name.c_str(), path.c_str()) == 0) {
              yyEditSwitchBuffer(frame, k);
              yyinterpretmessage(EV_COMMAND, 0, MAKEWPARAM(static_cast<WORD>(ED_VIEW + k), 0), -1, frame);
              return;
            }
          }
          if (untouched(r)) {
            r.filename = path;
            ModifyMenu(r.view, 0, MF_BYPOSITION | MF_STRING, ED_VIEW + 1, yyeditviewentry(1, path).c_str());
          } else {
            addbuffer(frame, r, path);
          }
        } else {
          r.filename = path;
        }
        if (yyEditOpenFile(frame, 0) == 0) r.filename.clear();
        yyEditTitle(frame);
        break;
      }
      if (id == ED_PRINT || id == ED_PRINTSEL) {
        if (!r.mayprint) return;
        if ((r.options & EO_PRINTBYPROGRAM) == 0 &&
            yyEditPrint(frame, r, id == ED_PRINTSEL ? 1 : 0, 1, 0, 0, std::string()) == 0)
          return;
      }
      break;
  }
  if (event) yyinterpretmessage(EV_COMMAND, 0, MAKEWPARAM(static_cast<WORD>(id), 0), -1, frame);
}

// The bookmark moves with the text before it: a change that left the text L - L0 longer,
// with the selection now starting at s, happened before the bookmark when s - (L - L0) is
// at or before it. A deletion that took the bookmarked place leaves it where the deletion was.
void shiftbookmark(EditorRecord& r) {
  const auto k = static_cast<std::size_t>(r.current);
  int& mark = r.bookmark[k];
  if (mark < 0) return;
  const int length = static_cast<int>(SendMessage(r.control, WM_GETTEXTLENGTH, 0, 0));
  const int delta = length - r.bookmarklength[k];
  DWORD s = 0, e = 0;
  SendMessage(r.control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  const int start = static_cast<int>(s);
  if (start - delta <= mark) mark += delta;
  else if (delta < 0 && start < mark) mark = start;
  mark = std::clamp(mark, 0, length);
  r.bookmarklength[k] = length;
}

// Closing: the current buffer's question, then every other unsaved buffer's in turn.
bool mayclose(HWND frame, EditorRecord& r) {
  const int w = yygetwindowindex(frame);
  const int before = r.current;
  if (yyEditCheckSave(frame, r) == 0) return false;
  if (!r.buffers) return true;
  for (int k = 1; k <= r.count; ++k) {
    if (k == before) continue;
    int saved = 1;
    yyeditgetsave(w, k, saved);
    if (saved != 0) continue;
    yyeditswap(w, r.current, k);
    yyeditstorebuffername(w, r.current, r.filename);
    r.current = k;
    yyeditgetbuffername(w, k, r.filename);
    yyEditTitle(frame);
    if (yyEditCheckSave(frame, r) == 0) {
      if (r.current != before) yyEditSwitchBuffer(frame, before);
      return false;
    }
  }
  return true;
}

}  // namespace

LRESULT yyEditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  EditorRecord* r = yyeditrecord(hwnd);
  if (r == nullptr) return DefWindowProc(hwnd, msg, wParam, lParam);
  if (findmessage != 0 && msg == findmessage) {
    const auto* fr = reinterpret_cast<const FINDREPLACE*>(lParam);
    r->findtext = r->findbuffer.data();
    r->replacetext = r->replacebuffer.data();
    if ((fr->Flags & FR_DIALOGTERM) != 0) {
      r->finddialog = nullptr;
      r->word[ED_FINDDIALOG] = 0;
    }
    else if ((fr->Flags & FR_FINDNEXT) != 0) yyEditFind(hwnd, *r, *fr);
    else if ((fr->Flags & FR_REPLACE) != 0) yyEditReplace(hwnd, *r, *fr);
    else if ((fr->Flags & FR_REPLACEALL) != 0) yyEditReplaceAll(hwnd, *r, *fr);
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  switch (msg) {
    case WM_DESTROY: {
      yyspecialwindowgone(hwnd, r->mode);
      if (r->finddialog != nullptr) DestroyWindow(r->finddialog);
      for (int& lock : r->lockfile) yyunlockfile(lock);
      if (r->font != nullptr && r->font != GetStockObject(SYSTEM_FONT) && r->font != GetStockObject(SYSTEM_FIXED_FONT))
        DeleteObject(r->font);
      SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
      if (r->mode != 1) delete r;
      return yyWndProc(hwnd, msg, wParam, lParam);
    }
    case WM_SIZE: {
      const LRESULT done = yyWndProc(hwnd, msg, wParam, lParam);
      if (wParam != SIZE_MINIMIZED) layout(hwnd, *r);
      return done;
    }
    case WM_SETFOCUS:
      hWinCur = hwnd;
      hDlgCur = nullptr;
      SetFocus(r->focus);
      return 0;
    case WM_CLOSE:
      if (!mayclose(hwnd, *r)) return 0;
      if (r->mode == 1) {
        r->modalend = 1;
        yyeditkeepmodal(*r);
        return DefWindowProc(hwnd, msg, wParam, lParam);
      }
      yyinterpretmessage(EV_CLOSE, 0, wParam, lParam, hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 0;
    case WM_NOTIFY: {
      const auto* h = reinterpret_cast<const NMHDR*>(lParam);
      if (h != nullptr && h->code == TTN_GETDISPINFO && r->tooltips != nullptr && h->hwndFrom == r->tooltips) {
        auto* info = reinterpret_cast<NMTTDISPINFO*>(lParam);
        const char* tip = yyedittooltip(static_cast<int>(h->idFrom), (r->options & EO_EXTRATOOLS) != 0);
        info->lpszText = const_cast<char*>(tip);
        if (*tip != '\0') return 0;
        return DefWindowProc(hwnd, msg, wParam, lParam);
      }
      if (h == nullptr || h->hwndFrom != r->control) return yyWndProc(hwnd, msg, wParam, lParam);
      if (h->code == EN_MSGFILTER) {
        const auto* f = reinterpret_cast<const MSGFILTER*>(lParam);
        if (f->msg != WM_KEYDOWN) return 0;
        const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0, shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0,
                   alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
        if (f->wParam == static_cast<WPARAM>(VK_CAPITAL) || f->wParam == static_cast<WPARAM>(VK_NUMLOCK)) lockstatus(*r);
        if ((f->wParam == static_cast<WPARAM>(VK_INSERT) && shift && !ctrl && !alt) || (f->wParam == 'V' && ctrl && !shift && !alt)) {
          yyEditPaste(*r);
          return 1;
        }
        if (f->wParam == static_cast<WPARAM>(VK_INSERT) && !shift && !ctrl && !alt) {
          r->insertmode = 1 - r->insertmode;
          setstatus(*r, 3, r->insertmode != 0 ? "\tINS" : "\tOVR");
        }
        return 0;
      }
      if (h->code == EN_SELCHANGE) {
        if (IsWindowVisible(r->control)) yyedittoolbarselection(*r);
        yyEditUpdateBIU(*r);
        caretstatus(*r);
        return 0;
      }
      if (h->code == EN_PROTECTED) return r->protection;
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_COMMAND: {
      const WORD code = HIWORD(wParam);
      const auto from = reinterpret_cast<HWND>(lParam);
      if (from != nullptr && ((code == EN_SETFOCUS && (from == r->control || from == r->commandline)) ||
                              (code == CBN_SETFOCUS && from == r->commandline))) {
        // The control with the focus is the one to focus again; inside split windows this
        // pane becomes the active one and its menu shows.
        r->focus = from == r->commandline ? r->commandedit : from;
        r->word[FR_CONTROL] = HandleToLong(r->focus);
        if (yysplitof(hwnd) != nullptr) yysplitlendmenu(hwnd, -1);
        if (from != r->control) return 0;
      }
      if (from == r->control) {
        if (code == EN_MAXTEXT) r->maxtext = true;
        if (code == EN_CHANGE) {
          yyedittoolbarundo(*r);
          r->changed = 1;
          if ((r->options & EO_SHOWMODIFIED) != 0) yyEditTitle(hwnd);
          shiftbookmark(*r);
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
      }
      if (code == 0 || code == 1) command(hwnd, *r, LOWORD(wParam));
      return 0;
    }
    case WM_INITMENUPOPUP: {
      HMENU popup = reinterpret_cast<HMENU>(wParam);
      DWORD s = 0, e = 0;
      SendMessage(r->control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
      const UINT some = s != e ? MF_ENABLED : MF_GRAYED;
      if (popup == r->file) EnableMenuItem(popup, ED_PRINTSEL, MF_BYCOMMAND | some);
      if (popup == r->edit) {
        EnableMenuItem(popup, ED_UNDO, MF_BYCOMMAND | (SendMessage(r->control, EM_CANUNDO, 0, 0) ? MF_ENABLED : MF_GRAYED));
        EnableMenuItem(popup, ED_REDO, MF_BYCOMMAND | (SendMessage(r->control, EM_CANREDO, 0, 0) ? MF_ENABLED : MF_GRAYED));
        for (UINT id : {ED_CUT, ED_COPY, ED_DELETE}) EnableMenuItem(popup, id, MF_BYCOMMAND | some);
        EnableMenuItem(popup, ED_PASTE, MF_BYCOMMAND | (IsClipboardFormatAvailable(CF_TEXT) ? MF_ENABLED : MF_GRAYED));
        return 0;
      }
      if (popup == r->format && popup != nullptr) {
        const UINT state = yyEditSelectionEditable(*r) ? MF_ENABLED : MF_GRAYED;
        EnableMenuItem(popup, ED_FONT, MF_BYCOMMAND | state);
        EnableMenuItem(popup, ED_BULLET, MF_BYCOMMAND | state);
      }
      if (popup == r->search) {
        EnableMenuItem(popup, ED_FINDNEXT, MF_BYCOMMAND | (r->findbuffer[0] != '\0' ? MF_ENABLED : MF_GRAYED));
        EnableMenuItem(popup, ED_GOTOBOOKMARK,
                       MF_BYCOMMAND | (r->bookmark[static_cast<std::size_t>(r->current)] >= 0 ? MF_ENABLED : MF_GRAYED));
      }
      return yyWndProc(hwnd, msg, wParam, lParam);
    }
    default:
      return yyWndProc(hwnd, msg, wParam, lParam);
  }
}
