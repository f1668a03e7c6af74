#pragma once
// platform/scrollbar.h: the SCROLLBAR control class of the platform layer: a horizontal or
// vertical scroll bar that reports the user's requests to its parent (WM_HSCROLL or WM_VSCROLL
// with the control's window in the second parameter) and moves only when told, and the size
// box or size grip that resizes its top-level window. In the names and numbers the toolkit was
// designed on. SetScrollInfo and its companions with SB_CTL send the SBM_ requests below.
//
// The class registers with the dialog classes (RegisterDialogClasses).
#include "platform/win.h"

namespace win {

inline constexpr DWORD SBS_HORZ = 0x0000, SBS_VERT = 0x0001, SBS_TOPALIGN = 0x0002,
                       SBS_LEFTALIGN = 0x0002, SBS_BOTTOMALIGN = 0x0004, SBS_RIGHTALIGN = 0x0004,
                       SBS_SIZEBOXTOPLEFTALIGN = 0x0002, SBS_SIZEBOXBOTTOMRIGHTALIGN = 0x0004,
                       SBS_SIZEBOX = 0x0008, SBS_SIZEGRIP = 0x0010;

inline constexpr UINT SBM_SETPOS = 0x00E0, SBM_GETPOS = 0x00E1, SBM_SETRANGE = 0x00E2,
                      SBM_GETRANGE = 0x00E3, SBM_ENABLE_ARROWS = 0x00E4,
                      SBM_SETRANGEREDRAW = 0x00E6, SBM_SETSCROLLINFO = 0x00E9,
                      SBM_GETSCROLLINFO = 0x00EA;

// Arrows of EnableScrollBar and SBM_ENABLE_ARROWS (ESB_ENABLE_BOTH and ESB_DISABLE_BOTH in win.h).
inline constexpr UINT ESB_DISABLE_LTUP = 0x0001, ESB_DISABLE_RTDN = 0x0002;

}  // namespace win
