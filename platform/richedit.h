#pragma once
// platform/richedit.h: the rich-edit control classes ("RichEdit20A", and "RICHEDIT" for the
// first rich-edit level) of the platform layer, in the names and numbers the toolkit was
// designed on. This stage holds plain text: everything the EDIT control does (keys, mouse,
// selection, undo, clipboard, drawing) plus the extended selection and limit, text ranges,
// find, streaming of plain text and of RTF (its text), page formatting for printing and the
// selection-change notification.
//
// Paragraphs end at a lone CR inside the control, so that every position counts a line end
// once; plain text streamed in has its CR LF and LF turned into CR, and streamed out gets
// CR LF back.
#include "platform/edit.h"
#include "platform/win.h"

namespace win {

// Registers the rich-edit classes (and the dialog classes they build on); call before
// creating one.
void RegisterRichEditClasses();

inline constexpr const char* RICHEDIT_CLASS = "RichEdit20A";
inline constexpr const char* RICHEDIT_CLASS10 = "RICHEDIT";

inline constexpr UINT EM_CANPASTE = 0x0432, EM_EXGETSEL = 0x0434, EM_EXLIMITTEXT = 0x0435,
                      EM_EXLINEFROMCHAR = 0x0436, EM_EXSETSEL = 0x0437, EM_FINDTEXT = 0x0438,
                      EM_FORMATRANGE = 0x0439, EM_GETCHARFORMAT = 0x043A,
                      EM_GETEVENTMASK = 0x043B, EM_GETPARAFORMAT = 0x043D, EM_GETSELTEXT = 0x043E,
                      EM_HIDESELECTION = 0x043F, EM_SETCHARFORMAT = 0x0444,
                      EM_SETEVENTMASK = 0x0445, EM_SETPARAFORMAT = 0x0447, EM_STREAMIN = 0x0449,
                      EM_STREAMOUT = 0x044A, EM_GETTEXTRANGE = 0x044B, EM_FINDTEXTEX = 0x044F,
                      EM_REDO = 0x0454, EM_CANREDO = 0x0455, EM_GETTEXTLENGTHEX = 0x045F;

// Event mask bits (EM_SETEVENTMASK).
inline constexpr DWORD ENM_NONE = 0, ENM_CHANGE = 0x00000001, ENM_UPDATE = 0x00000002,
                       ENM_SCROLL = 0x00000004, ENM_KEYEVENTS = 0x00010000,
                       ENM_MOUSEEVENTS = 0x00020000, ENM_SELCHANGE = 0x00080000,
                       ENM_PROTECTED = 0x00200000;

// WM_NOTIFY codes.
inline constexpr UINT EN_MSGFILTER = 0x0700, EN_SELCHANGE = 0x0702, EN_PROTECTED = 0x0704;

// Selection types of SELCHANGE.
inline constexpr WORD SEL_EMPTY = 0x0000, SEL_TEXT = 0x0001;

// Stream formats and flags.
inline constexpr WPARAM SF_TEXT = 0x0001, SF_RTF = 0x0002, SFF_SELECTION = 0x8000;

// Find flags (the find dialog's own flags share these values).
inline constexpr WPARAM FR_DOWN = 0x00000001, FR_WHOLEWORD = 0x00000002, FR_MATCHCASE = 0x00000004;

// EM_GETTEXTLENGTHEX flags.
inline constexpr DWORD GTL_DEFAULT = 0, GTL_USECRLF = 1, GTL_PRECISE = 2, GTL_CLOSE = 4,
                       GTL_NUMCHARS = 8, GTL_NUMBYTES = 16;

struct CHARRANGE {
  LONG cpMin = 0;
  LONG cpMax = 0;   // -1: to the end
};

struct TEXTRANGE {
  CHARRANGE chrg;
  LPSTR lpstrText = nullptr;   // room for the range and a NUL
};

struct FINDTEXT {
  CHARRANGE chrg;
  LPCSTR lpstrText = nullptr;
};

struct FINDTEXTEX {
  CHARRANGE chrg;
  LPCSTR lpstrText = nullptr;
  CHARRANGE chrgText;   // the match found, -1 -1 none
};

struct SELCHANGE {
  NMHDR nmhdr;
  CHARRANGE chrg;
  WORD seltype = 0;
};

// EN_MSGFILTER: a key (ENM_KEYEVENTS) or mouse (ENM_MOUSEEVENTS) message before the control
// acts on it; the parent may change it, and a result other than 0 drops it.
struct MSGFILTER {
  NMHDR nmhdr;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

struct GETTEXTLENGTHEX {
  DWORD flags = 0;
  UINT codepage = 0;
};

// EM_FORMATRANGE: lays the characters chrg out on hdc inside rc (twips from the page's
// top left corner) in the control's font, lines broken at blanks, and draws them when the
// first parameter is not 0; the result is the first character that did not fit. A null
// second parameter ends a print job (nothing is kept between calls).
struct FORMATRANGE {
  HDC hdc = nullptr;
  HDC hdcTarget = nullptr;
  RECT rc;
  RECT rcPage;
  CHARRANGE chrg;
};

// Stream callback: cookie, buffer, bytes wanted (in) or offered (out), bytes done. A result
// other than 0 stops the stream and lands in dwError. Reading ends when 0 bytes come back.
using EDITSTREAMCALLBACK = DWORD (*)(UINT_PTR cookie, BYTE* buffer, LONG cb, LONG* pcb);

struct EDITSTREAM {
  UINT_PTR dwCookie = 0;
  DWORD dwError = 0;
  EDITSTREAMCALLBACK pfnCallback = nullptr;
};

// Text limit before EM_EXLIMITTEXT; EM_EXLIMITTEXT 0 gives kRichEditDefaultLimit too.
inline constexpr LONG kRichEditDefaultLimit = 32767;

}  // namespace win
