#pragma once
// The status-bar control ("msctls_statusbar32"): a strip of parts along the bottom of its
// parent, each with a text and a border, an optional simple mode showing one text across
// the whole bar, and an optional size grip. It places itself at the bottom of its parent's
// client area, at the parent's full width, whenever it gets a size message.
#include "platform/win.h"

namespace win {

inline constexpr const char* STATUSCLASSNAME = "msctls_statusbar32";

// Styles.
inline constexpr DWORD SBARS_SIZEGRIP = 0x0100;
inline constexpr DWORD CCS_TOP = 0x0001, CCS_NOMOVEY = 0x0002, CCS_BOTTOM = 0x0003,
                       CCS_NORESIZE = 0x0004, CCS_NOPARENTALIGN = 0x0008;

// Messages.
inline constexpr UINT SB_SETTEXT = WM_USER + 1;        // wParam part | border, lParam text
inline constexpr UINT SB_GETTEXT = WM_USER + 2;        // wParam part, lParam buffer; MAKELONG(length, border)
inline constexpr UINT SB_GETTEXTLENGTH = WM_USER + 3;  // MAKELONG(length, border)
inline constexpr UINT SB_SETPARTS = WM_USER + 4;       // wParam count (1-256), lParam right edges (-1: to the end)
inline constexpr UINT SB_GETPARTS = WM_USER + 6;       // wParam count wanted, lParam edges out; result the count
inline constexpr UINT SB_GETBORDERS = WM_USER + 7;     // lParam int[3]: horizontal, vertical, between parts
inline constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
inline constexpr UINT SB_SIMPLE = WM_USER + 9;         // wParam TRUE: one text across the bar
inline constexpr UINT SB_GETRECT = WM_USER + 10;       // wParam part, lParam RECT*
inline constexpr UINT SB_ISSIMPLE = WM_USER + 14;

// Part number of the simple-mode text, and the border kinds of SB_SETTEXT.
inline constexpr int SB_SIMPLEID = 0xFF;
inline constexpr UINT SBT_NOBORDERS = 0x0100, SBT_POPOUT = 0x0200;

// Registers the status-bar class (again after the class table was cleared); TRUE when it is
// registered.
BOOL RegisterStatusBarClass();

}  // namespace win
