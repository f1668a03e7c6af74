#pragma once
// platform/tab.h: the tab control class ("SysTabControl32") of the platform layer: a row of
// tabs over a display area, in the names and numbers the toolkit was designed on (the 8-bit
// forms, without their "A" suffix). Each tab has a text, an image index, a state and a block
// of program data (a word by default; TCM_SETITEMEXTRA sets its size while the control has no
// tabs). Texts are 8-bit (Windows-1252), NUL-terminated. The class registers with the dialog
// classes (RegisterDialogClasses).
#include "platform/win.h"

namespace win {

inline const LPCSTR WC_TABCONTROL = "SysTabControl32";

inline constexpr DWORD TCS_TABS = 0x0000, TCS_SINGLELINE = 0x0000, TCS_BUTTONS = 0x0100,
                       TCS_MULTILINE = 0x0200, TCS_FIXEDWIDTH = 0x0400,
                       TCS_FOCUSONBUTTONDOWN = 0x1000, TCS_FOCUSNEVER = 0x8000;

inline constexpr UINT TCM_FIRST = 0x1300;
inline constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4, TCM_GETITEM = TCM_FIRST + 5,
                      TCM_SETITEM = TCM_FIRST + 6, TCM_INSERTITEM = TCM_FIRST + 7,
                      TCM_DELETEITEM = TCM_FIRST + 8, TCM_DELETEALLITEMS = TCM_FIRST + 9,
                      TCM_GETITEMRECT = TCM_FIRST + 10, TCM_GETCURSEL = TCM_FIRST + 11,
                      TCM_SETCURSEL = TCM_FIRST + 12, TCM_HITTEST = TCM_FIRST + 13,
                      TCM_SETITEMEXTRA = TCM_FIRST + 14, TCM_ADJUSTRECT = TCM_FIRST + 40,
                      TCM_GETROWCOUNT = TCM_FIRST + 44, TCM_GETCURFOCUS = TCM_FIRST + 47,
                      TCM_SETCURFOCUS = TCM_FIRST + 48;

inline constexpr UINT TCIF_TEXT = 0x0001, TCIF_IMAGE = 0x0002, TCIF_RTLREADING = 0x0004,
                      TCIF_PARAM = 0x0008, TCIF_STATE = 0x0010;

// A tab's description; with TCM_SETITEMEXTRA the program data (lParam's place) is that many
// bytes long, so the record is the head below followed by the program's own bytes.
struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};

inline constexpr UINT TCHT_NOWHERE = 0x0001, TCHT_ONITEMICON = 0x0002,
                      TCHT_ONITEMLABEL = 0x0004, TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;

struct TCHITTESTINFO {
  POINT pt;
  UINT flags = 0;
};

// Notifications (WM_NOTIFY with an NMHDR). A non-zero answer to TCN_SELCHANGING keeps the
// current tab.
inline constexpr UINT TCN_FIRST = 0u - 550u;
inline constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0, TCN_SELCHANGE = TCN_FIRST - 1,
                      TCN_SELCHANGING = TCN_FIRST - 2;

}  // namespace win
