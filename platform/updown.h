#pragma once
// platform/updown.h: the up-down control class ("msctls_updown32") of the platform layer: a
// pair of arrow buttons that step a position within a range, with an optional buddy window
// that shows it, in the names and numbers the toolkit was designed on.
//
// A step is first offered to the parent as UDN_DELTAPOS (WM_NOTIFY with an NMUPDOWN); a
// parent that answers non-zero keeps the position from changing. Either way the parent then
// gets WM_VSCROLL (WM_HSCROLL with UDS_HORZ) with SB_THUMBPOSITION and the position in the
// high word, and SB_ENDSCROLL when the button or key is released.
// The class registers with the dialog classes (RegisterDialogClasses).
#include "platform/win.h"

namespace win {

inline const LPCSTR UPDOWN_CLASS = "msctls_updown32";

inline constexpr DWORD UDS_WRAP = 0x0001, UDS_SETBUDDYINT = 0x0002, UDS_ALIGNRIGHT = 0x0004,
                       UDS_ALIGNLEFT = 0x0008, UDS_AUTOBUDDY = 0x0010, UDS_ARROWKEYS = 0x0020,
                       UDS_HORZ = 0x0040, UDS_NOTHOUSANDS = 0x0080, UDS_HOTTRACK = 0x0100;

inline constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102,
                      UDM_SETPOS = WM_USER + 103, UDM_GETPOS = WM_USER + 104,
                      UDM_SETBUDDY = WM_USER + 105, UDM_GETBUDDY = WM_USER + 106,
                      UDM_SETACCEL = WM_USER + 107, UDM_GETACCEL = WM_USER + 108,
                      UDM_SETBASE = WM_USER + 109, UDM_GETBASE = WM_USER + 110,
                      UDM_SETRANGE32 = WM_USER + 111, UDM_GETRANGE32 = WM_USER + 112,
                      UDM_SETPOS32 = WM_USER + 113, UDM_GETPOS32 = WM_USER + 114;

inline constexpr int UD_MAXVAL = 0x7FFF, UD_MINVAL = -UD_MAXVAL;

inline constexpr UINT UDN_FIRST = 0u - 721u;
inline constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;

struct NMUPDOWN {
  NMHDR hdr;
  int iPos = 0;     // the position before the step
  int iDelta = 0;   // the step proposed
};

// Acceleration: after nSec seconds of holding, steps of nInc.
struct UDACCEL {
  UINT nSec = 0;
  UINT nInc = 1;
};

}  // namespace win
