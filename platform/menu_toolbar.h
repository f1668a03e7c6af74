#pragma once
// platform/menu_toolbar.h: the toolbar control ("ToolbarWindow32": a row, or a column, of
// buttons with images from bitmap strips, separators, enabled, checked and pressed states,
// WM_COMMAND to its parent on a click) and the tooltip control ("tooltips_class32": tools
// that show a text in a small window after the mouse has rested on them). A toolbar made with
// TBSTYLE_TOOLTIPS has its own tooltip control, whose texts come from its parent through the
// TTN_GETDISPINFO (TTN_NEEDTEXT) notification, idFrom the button's command.
#include "platform/statusbar.h"   // CCS_ styles shared by the common controls
#include "platform/win.h"

namespace win {

inline constexpr const char* TOOLBARCLASSNAME = "ToolbarWindow32";
inline constexpr const char* TOOLTIPS_CLASS = "tooltips_class32";

// Common-control styles besides those of the status bar.
inline constexpr DWORD CCS_NODIVIDER = 0x0040, CCS_VERT = 0x0080;

//------------------------------------------------------------------------------
// Toolbar
//------------------------------------------------------------------------------
inline constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100, TBSTYLE_WRAPABLE = 0x0200, TBSTYLE_FLAT = 0x0800;
// Button styles (TBBUTTON::fsStyle).
inline constexpr BYTE TBSTYLE_BUTTON = 0x00, TBSTYLE_SEP = 0x01, TBSTYLE_CHECK = 0x02, TBSTYLE_GROUP = 0x04;
// Button states (TBBUTTON::fsState, TB_SETSTATE, TB_GETSTATE).
inline constexpr BYTE TBSTATE_CHECKED = 0x01, TBSTATE_PRESSED = 0x02, TBSTATE_ENABLED = 0x04,
                      TBSTATE_HIDDEN = 0x08, TBSTATE_INDETERMINATE = 0x10, TBSTATE_WRAP = 0x20;

struct TBBUTTON {
  int iBitmap = 0;       // image index (separators: their width, 0 the standard one)
  int idCommand = 0;
  BYTE fsState = 0;
  BYTE fsStyle = 0;
  BYTE bReserved[6] = {};
  ULONG_PTR dwData = 0;
  INT_PTR iString = 0;
};

// hInst null: nID is an HBITMAP; HINST_COMMCTRL: nID names the layer's own strip; otherwise
// nID names a BITMAP resource of the program.
struct TBADDBITMAP {
  HINSTANCE hInst = nullptr;
  UINT_PTR nID = 0;
};

// The layer's standard strip: fifteen 16 x 15 images.
inline const HINSTANCE HINST_COMMCTRL = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(-1));
inline constexpr UINT_PTR IDB_STD_SMALL_COLOR = 0;
inline constexpr int STD_CUT = 0, STD_COPY = 1, STD_PASTE = 2, STD_UNDO = 3, STD_REDOW = 4, STD_DELETE = 5,
                     STD_FILENEW = 6, STD_FILEOPEN = 7, STD_FILESAVE = 8, STD_PRINTPRE = 9, STD_PROPERTIES = 10,
                     STD_HELP = 11, STD_FIND = 12, STD_REPLACE = 13, STD_PRINT = 14;

inline constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;     // wParam command, lParam TRUE/FALSE
inline constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
inline constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
inline constexpr UINT TB_HIDEBUTTON = WM_USER + 4;
inline constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
inline constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
inline constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
inline constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
inline constexpr UINT TB_SETSTATE = WM_USER + 17;        // wParam command, lParam state
inline constexpr UINT TB_GETSTATE = WM_USER + 18;        // -1 when no button has the command
inline constexpr UINT TB_ADDBITMAP = WM_USER + 19;       // wParam images, lParam TBADDBITMAP*; first index or -1
inline constexpr UINT TB_ADDBUTTONS = WM_USER + 20;      // wParam count, lParam TBBUTTON*
inline constexpr UINT TB_INSERTBUTTON = WM_USER + 21;    // wParam index, lParam TBBUTTON*
inline constexpr UINT TB_DELETEBUTTON = WM_USER + 22;    // wParam index
inline constexpr UINT TB_GETBUTTON = WM_USER + 23;       // wParam index, lParam TBBUTTON*
inline constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
inline constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;
inline constexpr UINT TB_GETITEMRECT = WM_USER + 29;     // wParam index, lParam RECT*
inline constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
inline constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;   // lParam MAKELONG(width, height)
inline constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;   // lParam MAKELONG(width, height)
inline constexpr UINT TB_AUTOSIZE = WM_USER + 33;
inline constexpr UINT TB_GETTOOLTIPS = WM_USER + 35;
inline constexpr UINT TB_SETTOOLTIPS = WM_USER + 36;
inline constexpr UINT TB_SETPARENT = WM_USER + 37;       // the window that gets commands and notifications
inline constexpr UINT TB_SETROWS = WM_USER + 39;         // wParam MAKEWPARAM(rows, larger), lParam RECT* out
inline constexpr UINT TB_GETROWS = WM_USER + 40;
inline constexpr UINT TB_GETRECT = WM_USER + 51;         // wParam command, lParam RECT*
inline constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;
inline constexpr UINT TB_HITTEST = WM_USER + 69;         // lParam POINT*; index, or negative

// Registers the toolbar and tooltip classes (again after the class table was cleared).
BOOL RegisterToolbarClass();

//------------------------------------------------------------------------------
// Tooltips
//------------------------------------------------------------------------------
inline constexpr DWORD TTS_ALWAYSTIP = 0x01, TTS_NOPREFIX = 0x02;
inline constexpr UINT TTF_IDISHWND = 0x0001, TTF_CENTERTIP = 0x0002, TTF_SUBCLASS = 0x0010;

// lpszText of a tool whose text is asked for each time it shows.
inline const LPSTR LPSTR_TEXTCALLBACK = reinterpret_cast<LPSTR>(static_cast<std::intptr_t>(-1));

struct TOOLINFO {
  UINT cbSize = sizeof(TOOLINFO);
  UINT uFlags = 0;
  HWND hwnd = nullptr;      // the window holding the tool
  UINT_PTR uId = 0;         // the tool's identifier, or its window with TTF_IDISHWND
  RECT rect;                // in hwnd's client coordinates
  HINSTANCE hinst = nullptr;
  LPSTR lpszText = nullptr; // a text, LPSTR_TEXTCALLBACK, or a string-table number with hinst
  LPARAM lParam = 0;
  void* lpReserved = nullptr;
};

// TTN_GETDISPINFO: fill szText, or point lpszText at a text (or a string number with hinst).
struct NMTTDISPINFO {
  NMHDR hdr;                // hwndFrom the tooltip control, idFrom the tool's identifier
  LPSTR lpszText = nullptr;
  char szText[80] = {};
  HINSTANCE hinst = nullptr;
  UINT uFlags = 0;
  LPARAM lParam = 0;
};
using TOOLTIPTEXT = NMTTDISPINFO;

inline constexpr UINT TTN_FIRST = 0U - 520U;
inline constexpr UINT TTN_GETDISPINFO = TTN_FIRST - 0;
inline constexpr UINT TTN_NEEDTEXT = TTN_GETDISPINFO;
inline constexpr UINT TTN_SHOW = TTN_FIRST - 1;
inline constexpr UINT TTN_POP = TTN_FIRST - 2;

inline constexpr UINT TTM_ACTIVATE = WM_USER + 1;        // wParam TRUE/FALSE
inline constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;    // wParam TTDT_, lParam milliseconds (-1 default)
inline constexpr UINT TTM_ADDTOOL = WM_USER + 4;         // lParam TOOLINFO*
inline constexpr UINT TTM_DELTOOL = WM_USER + 5;
inline constexpr UINT TTM_NEWTOOLRECT = WM_USER + 6;
inline constexpr UINT TTM_RELAYEVENT = WM_USER + 7;      // lParam MSG*: a mouse message of a tool's window
inline constexpr UINT TTM_GETTOOLINFO = WM_USER + 8;
inline constexpr UINT TTM_SETTOOLINFO = WM_USER + 9;
inline constexpr UINT TTM_GETTEXT = WM_USER + 11;        // lParam TOOLINFO* with lpszText a buffer of 80
inline constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 12;
inline constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
inline constexpr UINT TTM_POP = WM_USER + 28;
inline constexpr WPARAM TTDT_AUTOMATIC = 0, TTDT_RESHOW = 1, TTDT_AUTOPOP = 2, TTDT_INITIAL = 3;

}  // namespace win
