#pragma once
// platform/combobox.h: the COMBOBOX control class of the platform layer: a list with a
// selection field (CBS_DROPDOWNLIST), an edit part (CBS_DROPDOWN) or both always shown
// (CBS_SIMPLE), in the names and numbers the toolkit was designed on. Texts are 8-bit
// (Windows-1252), NUL-terminated. Requests that fail answer CB_ERR.
//
// The height a drop-down combo box is created with (or sized to) is that of the whole
// control with its list dropped; the window itself keeps the height of its selection field.
// The class registers with the dialog classes (RegisterDialogClasses).
#include "platform/win.h"

namespace win {

inline constexpr DWORD CBS_SIMPLE = 0x0001, CBS_DROPDOWN = 0x0002, CBS_DROPDOWNLIST = 0x0003,
                       CBS_OWNERDRAWFIXED = 0x0010, CBS_OWNERDRAWVARIABLE = 0x0020,
                       CBS_AUTOHSCROLL = 0x0040, CBS_OEMCONVERT = 0x0080, CBS_SORT = 0x0100,
                       CBS_HASSTRINGS = 0x0200, CBS_NOINTEGRALHEIGHT = 0x0400,
                       CBS_DISABLENOSCROLL = 0x0800, CBS_UPPERCASE = 0x2000,
                       CBS_LOWERCASE = 0x4000;

inline constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142,
                      CB_ADDSTRING = 0x0143, CB_DELETESTRING = 0x0144, CB_GETCOUNT = 0x0146,
                      CB_GETCURSEL = 0x0147, CB_GETLBTEXT = 0x0148, CB_GETLBTEXTLEN = 0x0149,
                      CB_INSERTSTRING = 0x014A, CB_RESETCONTENT = 0x014B, CB_FINDSTRING = 0x014C,
                      CB_SELECTSTRING = 0x014D, CB_SETCURSEL = 0x014E, CB_SHOWDROPDOWN = 0x014F,
                      CB_GETITEMDATA = 0x0150, CB_SETITEMDATA = 0x0151,
                      CB_GETDROPPEDCONTROLRECT = 0x0152, CB_SETITEMHEIGHT = 0x0153,
                      CB_GETITEMHEIGHT = 0x0154, CB_SETEXTENDEDUI = 0x0155,
                      CB_GETEXTENDEDUI = 0x0156, CB_GETDROPPEDSTATE = 0x0157,
                      CB_FINDSTRINGEXACT = 0x0158, CB_GETTOPINDEX = 0x015B,
                      CB_SETTOPINDEX = 0x015C, CB_GETDROPPEDWIDTH = 0x015F,
                      CB_SETDROPPEDWIDTH = 0x0160;

inline constexpr LRESULT CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2;

// Notification codes of WM_COMMAND from combo boxes (high word of the first parameter).
inline constexpr WORD CBN_ERRSPACE = 0xFFFF, CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3,
                      CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5, CBN_EDITUPDATE = 6,
                      CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9,
                      CBN_SELENDCANCEL = 10;

// Identifiers of a combo box's own children.
inline constexpr int kComboEditId = 1001, kComboListId = 1000;

}  // namespace win
