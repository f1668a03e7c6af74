#pragma once
// The grid-editor window: a toolkit child window turned into a small spreadsheet around a copy
// of a dialog's grid field, with File, Edit and Search menus, a status bar showing the current
// row and column, and commands that load and save CSV, export HTML, find, go to a cell, sort,
// and insert and delete rows. The window edits its own copy: the dialog's grid is not changed.
#include <string>
#include <string_view>

#include "platform/win.h"
#include "toolkit/window/window.h"

// Modes of the window.
constexpr int GEM_MODAL = 1, GEM_MODELESS = 2, GEM_SEMIMODELESS = 3;

// Option flags of yygridedit.
constexpr int GEF_NOTOOLBAR = 0x20, GEF_NONEWOPEN = 0x100, GEF_NOSAVEAS = 0x200, GEF_NOPRINT = 0x400,
              GEF_MOVELABELS = 0x800, GEF_NOFIND = 0x1000, GEF_NOSAVE = 0x2000, GEF_BACKUP = 0x20000,
              GEF_NOHTML = 0x40000, GEF_IGNORELOCKS = 0x80000, GEF_VARIABLEROWS = 0x100000,
              GEF_NOROWS = 0x200000, GEF_NOMENU = 0x800000, GEF_LABELCELLS = 0x2000000;

// Command identifiers of the menus.
enum GridEditorCommand : int {
  GE_FILE = 32100, GE_NEW = 32101, GE_OPEN = 32102, GE_SAVE = 32103, GE_SAVEAS = 32104, GE_PRINT = 32105,
  GE_PRINTSEL = 32106, GE_EXIT = 32107, GE_SAVEHTML = 32108, GE_SAVESEL = 32109,
  GE_EDIT = 32120, GE_CUT = 32122, GE_COPY = 32123, GE_PASTE = 32124, GE_DELETE = 32125, GE_SELECTALL = 32126,
  GE_SORT = 32127, GE_INSERTBEFORE = 32128, GE_INSERTAFTER = 32129, GE_DELETEROW = 32130,
  GE_SEARCH = 32140, GE_FIND = 32141, GE_FINDNEXT = 32142, GE_GOTOCELL = 32144, GE_GOTOROW = 32145,
  GE_GOTOCOLUMN = 32146
};

// The grid editor's accelerator table and dialogs of the commands (resources/grid_editor.rc).
constexpr int IDA_GRIDEDITOR = 32103;
constexpr int IDD_GRIDFIND = 32106, IDD_GRIDGOTOCELL = 32107, IDD_GRIDGOTO = 32108, IDD_GRIDSORT = 32109,
              IDD_GRIDPRINT = 32112, IDD_GRIDHTML = 32114;

// The record of a grid-editor window, the frame's user data. Word 0 is the kind (4), words
// 1-4 the window's toolbars, word 5 the grid control (FrameRecord's shared layout).
struct GridWindowRecord : FrameRecord {
  win::HWND grid = nullptr, toolbar = nullptr, tooltips = nullptr, statusbar = nullptr;
  win::HACCEL accelerators = nullptr;   // the grid editor's table (resource 32103), when loaded
  win::HMENU menu = nullptr, file = nullptr, edit = nullptr, search = nullptr;
  int mode = GEM_MODELESS;
  int movelabels = 0, variablerows = 0, labelcells = 0;
  std::string filename, title, searchtext, secondtext, filter;
  int filetype = 1, matchcase = 0, numeric = 0, closed = 0;
  int maynew = 0, readonly = 0, mayopen = 0, maysave = 0, maysaveas = 0, mayhtml = 0, mayprint = 0,
      mayfind = 0, mayrows = 0, ignorelocks = 0, backup = 0;
  int lastcell = (1 << 18) + 1;
  win::HFONT font = nullptr;
};

// Opens the grid-editor window on the current toolkit window over a copy of grid field ident
// of the current dialog. ierror is set only when something is refused or changed (1 root
// window, 2 caller menu with the modal mode, 3 caller menu missing, 4 child window without
// menus, 5 made modeless, 6 no memory, 8 already a special window, 11 no such grid, 12 the
// client area has child windows).
void yygridedit(int& ierror, int ident, int& imode, int imenu, int iflags, int ifiletype, int isplit,
                std::string_view cfile, std::string_view cfilter);
// Item 1 the search text, 2 the second text, 3 the file name of the grid-editor window with
// that number, or with -1 of the last modal one; at most length - 1 characters.
void yygridgetinfostring(int& window, int item, std::string& buffer, int length);
// Resets the modified and changed words; a modal window runs until it closes.
void yygridedit2();
// The record of a grid-editor frame, nullptr for any other window.
GridWindowRecord* yygridwindowrecord(win::HWND frame);
// The title shows the file name (status part 4 for a window without caption).
void yyGridTitle(win::HWND frame);
// Shrinks the frame to fit its grid.
void yyGridWinSize(GridWindowRecord& r);
// The tooltip of a toolbar button ("" for a command without one).
const char* yygridtooltip(int command);
win::LRESULT yyGridWindowWndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);

// The commands (iwin: the grid-editor window's number).
void yygridwinsaveprompt(int iwin, int imodified, int& iresult);
void yygridwinsave(int iwin, int isaveas, int& iresult, int irow1 = -1, int irow2 = -1, int icol1 = -1,
                   int icol2 = -1);
void yygridwinload(int iwin, int iask, int& iresult, std::string_view name = {});
void yygridwinsavehtml(int iwin, int irow1, int irow2, int icol1, int icol2, int& iresult);
// Prints the block (0-based) with the second print settings; 1 printed.
void yygridwinprint(int iwin, int irow1, int irow2, int icol1, int icol2, int& iresult);
void yygridwinfind(int iwin, int ifindmode);
void yygridwingoto(int iwin, int ikind);
void yygridwinsort(int iwin, int& iresult);
void yygridwininsertrow(int iwin, int iafter);
void yygridwindeleterow(int iwin);
