#pragma once
// Message, style and notification numbers of the platform controls the dialog manager drives
// (edit, list box, combo box, up-down, trackbar, progress bar, tab, tree view, scroll bar),
// with the numeric values the toolkit was designed on. The controls' own headers in
// platform/ take their place as each control lands.
#include "platform/edit.h"
#include "platform/combobox.h"
#include "platform/listbox.h"
#include "platform/scrollbar.h"
#include "platform/win.h"

namespace win {

// Up-down.
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002, UDS_ALIGNRIGHT = 0x0004, UDS_ARROWKEYS = 0x0020,
                       UDS_NOTHOUSANDS = 0x0080;
inline constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102,
                      UDM_SETPOS = WM_USER + 103, UDM_GETPOS = WM_USER + 104,
                      UDM_SETBUDDY = WM_USER + 105, UDM_SETACCEL = WM_USER + 107,
                      UDM_GETACCEL = WM_USER + 108, UDM_SETRANGE32 = WM_USER + 111,
                      UDM_GETRANGE32 = WM_USER + 112;
inline constexpr UINT UDN_DELTAPOS = static_cast<UINT>(-722);
struct UDACCEL { UINT nSec = 0; UINT nInc = 0; };
struct NMUPDOWN { NMHDR hdr; int iPos = 0; int iDelta = 0; };

// Trackbar.
inline constexpr DWORD TBS_ENABLESELRANGE = 0x0020;
inline constexpr UINT TBM_GETPOS = WM_USER, TBM_GETRANGEMIN = WM_USER + 1,
                      TBM_GETRANGEMAX = WM_USER + 2, TBM_SETPOS = WM_USER + 5,
                      TBM_SETRANGEMIN = WM_USER + 7, TBM_SETRANGEMAX = WM_USER + 8,
                      TBM_SETSEL = WM_USER + 10, TBM_GETSELSTART = WM_USER + 17,
                      TBM_GETSELEND = WM_USER + 18, TBM_CLEARSEL = WM_USER + 19,
                      TBM_SETTICFREQ = WM_USER + 20, TBM_SETPAGESIZE = WM_USER + 21,
                      TBM_SETLINESIZE = WM_USER + 23;

// Progress bar.
inline constexpr UINT PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2,
                      PBM_DELTAPOS = WM_USER + 3, PBM_GETRANGE = WM_USER + 7,
                      PBM_GETPOS = WM_USER + 8;

// Tab control.
inline constexpr UINT TCM_GETITEMCOUNT = 0x1304, TCM_GETITEM = 0x1305, TCM_SETITEM = 0x1306,
                      TCM_INSERTITEM = 0x1307, TCM_GETCURSEL = 0x130B, TCM_SETCURSEL = 0x130C,
                      TCM_SETITEMEXTRA = 0x130E, TCM_ADJUSTRECT = 0x1328,
                      TCM_SETCURFOCUS = 0x1330;
inline constexpr UINT TCIF_TEXT = 0x0001, TCIF_PARAM = 0x0008;
struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};
inline constexpr UINT TCN_SELCHANGE = static_cast<UINT>(-551), TCN_SELCHANGING = static_cast<UINT>(-552);

// Tree view.
inline constexpr DWORD TVS_HASBUTTONS = 0x0001, TVS_HASLINES = 0x0002, TVS_LINESATROOT = 0x0004,
                       TVS_DISABLEDRAGDROP = 0x0010, TVS_SHOWSELALWAYS = 0x0020;
inline constexpr UINT TVN_SELCHANGED = static_cast<UINT>(-402);
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);

}  // namespace win
