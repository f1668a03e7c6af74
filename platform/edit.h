#pragma once
// platform/edit.h: the EDIT control class of the platform layer: single- and multi-line text
// entry with selection, one level of undo and the clipboard, in the names and numbers the
// toolkit was designed on. Texts are 8-bit (Windows-1252), NUL-terminated; a multi-line text
// breaks its lines at CR LF (a lone CR or LF breaks one too).
//
// The class registers with the dialog classes (RegisterDialogClasses). Positions the
// control reports (EM_POSFROMCHAR, EM_CHARFROMPOS, EM_GETRECT) are the ones it draws with.
#include "platform/win.h"

namespace win {

inline constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002,
                       ES_MULTILINE = 0x0004, ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010,
                       ES_PASSWORD = 0x0020, ES_AUTOVSCROLL = 0x0040, ES_AUTOHSCROLL = 0x0080,
                       ES_NOHIDESEL = 0x0100, ES_OEMCONVERT = 0x0400, ES_READONLY = 0x0800,
                       ES_WANTRETURN = 0x1000, ES_NUMBER = 0x2000;

inline constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2,
                      EM_SETRECT = 0x00B3, EM_SETRECTNP = 0x00B4, EM_SCROLL = 0x00B5,
                      EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7, EM_GETMODIFY = 0x00B8,
                      EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB,
                      EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4,
                      EM_LIMITTEXT = 0x00C5, EM_SETLIMITTEXT = EM_LIMITTEXT, EM_CANUNDO = 0x00C6,
                      EM_UNDO = 0x00C7, EM_LINEFROMCHAR = 0x00C9, EM_SETTABSTOPS = 0x00CB,
                      EM_SETPASSWORDCHAR = 0x00CC, EM_EMPTYUNDOBUFFER = 0x00CD,
                      EM_GETFIRSTVISIBLELINE = 0x00CE, EM_SETREADONLY = 0x00CF,
                      EM_GETPASSWORDCHAR = 0x00D2, EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4,
                      EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7;

// Margins of EM_SETMARGINS (which margins in the first parameter, left and right in the
// words of the second).
inline constexpr WPARAM EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2;

// Clipboard and undo requests that every text control takes.
inline constexpr UINT WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303,
                      WM_UNDO = 0x0304;

// Notification codes of WM_COMMAND from edits (high word of the first parameter).
inline constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300,
                      EN_UPDATE = 0x0400, EN_ERRSPACE = 0x0500, EN_MAXTEXT = 0x0501,
                      EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;

// The caret of the focused edit control: each HideCaret must be matched by a ShowCaret before
// it shows again; the control's next focus shows it afresh. A null window means the caret's
// owner. False when the window does not own the caret.
BOOL HideCaret(HWND h);
BOOL ShowCaret(HWND h);

// The limit of what the user may enter before EM_LIMITTEXT; EM_LIMITTEXT 0 lifts it.
inline constexpr UINT kEditDefaultLimit = 30000;

}  // namespace win
