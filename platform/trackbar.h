#pragma once
// platform/trackbar.h: the trackbar control class ("msctls_trackbar32") of the platform layer:
// a thumb that slides along a channel over a range, with tick marks and an optional selection
// range, in the names and numbers the toolkit was designed on.
//
// The trackbar moves its own position and then tells its parent: WM_HSCROLL (WM_VSCROLL with
// TBS_VERT) with the TB_ request and the position in the high word, the control's window in
// the second parameter, and TB_ENDTRACK when the key or button is released.
// The class registers with the dialog classes (RegisterDialogClasses).
#include "platform/win.h"

namespace win {

inline const LPCSTR TRACKBAR_CLASS = "msctls_trackbar32";

inline constexpr DWORD TBS_AUTOTICKS = 0x0001, TBS_VERT = 0x0002, TBS_HORZ = 0x0000,
                       TBS_TOP = 0x0004, TBS_BOTTOM = 0x0000, TBS_LEFT = 0x0004,
                       TBS_RIGHT = 0x0000, TBS_BOTH = 0x0008, TBS_NOTICKS = 0x0010,
                       TBS_ENABLESELRANGE = 0x0020, TBS_FIXEDLENGTH = 0x0040,
                       TBS_NOTHUMB = 0x0080;

inline constexpr UINT TBM_GETPOS = WM_USER, TBM_GETRANGEMIN = WM_USER + 1,
                      TBM_GETRANGEMAX = WM_USER + 2, TBM_GETTIC = WM_USER + 3,
                      TBM_SETTIC = WM_USER + 4, TBM_SETPOS = WM_USER + 5,
                      TBM_SETRANGE = WM_USER + 6, TBM_SETRANGEMIN = WM_USER + 7,
                      TBM_SETRANGEMAX = WM_USER + 8, TBM_CLEARTICS = WM_USER + 9,
                      TBM_SETSEL = WM_USER + 10, TBM_SETSELSTART = WM_USER + 11,
                      TBM_SETSELEND = WM_USER + 12, TBM_GETNUMTICS = WM_USER + 16,
                      TBM_GETSELSTART = WM_USER + 17, TBM_GETSELEND = WM_USER + 18,
                      TBM_CLEARSEL = WM_USER + 19, TBM_SETTICFREQ = WM_USER + 20,
                      TBM_SETPAGESIZE = WM_USER + 21, TBM_GETPAGESIZE = WM_USER + 22,
                      TBM_SETLINESIZE = WM_USER + 23, TBM_GETLINESIZE = WM_USER + 24,
                      TBM_GETTHUMBRECT = WM_USER + 25, TBM_GETCHANNELRECT = WM_USER + 26;

// Requests of WM_HSCROLL and WM_VSCROLL from a trackbar.
inline constexpr WORD TB_LINEUP = 0, TB_LINEDOWN = 1, TB_PAGEUP = 2, TB_PAGEDOWN = 3,
                      TB_THUMBPOSITION = 4, TB_THUMBTRACK = 5, TB_TOP = 6, TB_BOTTOM = 7,
                      TB_ENDTRACK = 8;

}  // namespace win
