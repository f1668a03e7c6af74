#pragma once
// platform/richedit.h: the rich-edit control classes ("RichEdit20A", and "RICHEDIT" for the
// first rich-edit level) of the platform layer, in the names and numbers the toolkit was
// designed on: everything the EDIT control does (keys, mouse, selection, undo, clipboard,
// drawing) plus the extended selection and limit, text ranges, find, character and paragraph
// formats (font, size, bold, italic, underline, strike-out, colours, bullets, alignment,
// indents), streaming of plain text and of RTF with those formats, page formatting for
// printing, the selection-change notification, overwriting switched by the Insert key, and
// replacing every match of a text in one change.
//
// Paragraphs end at a lone CR inside the control, so that every position counts a line end
// once; plain text streamed in has its CR LF and LF turned into CR, and streamed out gets
// CR LF back.
#include <cstdint>

#include "platform/edit.h"
#include "platform/gdi.h"
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

// EM_REPLACEALLTEXT, a request of our own (the system has none like it): every match of
// lpstrFind inside chrg (cpMax -1: to the end) replaced by lpstrReplace, as one undoable
// change with one EN_CHANGE, so that replacing thousands of matches costs one pass over the
// text. The first parameter takes FR_MATCHCASE and FR_WHOLEWORD as EM_FINDTEXT does. The
// search goes on after each replacement, which is never searched again; a whole-word test
// sees the text as the replacements before it left it, as replacing one match at a time
// would. New characters take the format of the character before them. Replacements that
// would take the text past its limit are left out. The caret ends after the last
// replacement; the result is the number of replacements. cpFollow follows a position (a
// bookmark) through them: it moves with the text before it, and one inside a replaced match
// stays inside the replacement.
inline constexpr UINT EM_REPLACEALLTEXT = 0x0600;

struct REPLACEALLTEXT {
  CHARRANGE chrg{0, -1};
  LPCSTR lpstrFind = nullptr;
  LPCSTR lpstrReplace = nullptr;
  LONG cpFollow = -1;   // in: a position, -1 none; out: where its text is afterwards
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
// top left corner) in their character and paragraph formats (fonts, sizes, effects,
// colours, indents, bullets, alignment), lines broken at blanks, and draws them when the
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

// Character formats (EM_SETCHARFORMAT, EM_GETCHARFORMAT). Which characters: the control's
// default format, the selection, the word at the caret when the selection is empty, all.
inline constexpr WPARAM SCF_DEFAULT = 0x0000, SCF_SELECTION = 0x0001, SCF_WORD = 0x0002, SCF_ALL = 0x0004;
inline constexpr DWORD CFM_BOLD = 0x00000001, CFM_ITALIC = 0x00000002, CFM_UNDERLINE = 0x00000004,
                       CFM_STRIKEOUT = 0x00000008, CFM_PROTECTED = 0x00000010, CFM_WEIGHT = 0x00400000,
                       CFM_BACKCOLOR = 0x04000000, CFM_CHARSET = 0x08000000, CFM_OFFSET = 0x10000000,
                       CFM_FACE = 0x20000000, CFM_COLOR = 0x40000000, CFM_SIZE = 0x80000000;
inline constexpr DWORD CFE_BOLD = 0x0001, CFE_ITALIC = 0x0002, CFE_UNDERLINE = 0x0004, CFE_STRIKEOUT = 0x0008,
                       CFE_PROTECTED = 0x0010, CFE_AUTOBACKCOLOR = CFM_BACKCOLOR, CFE_AUTOCOLOR = CFM_COLOR;

struct CHARFORMAT {
  UINT cbSize = sizeof(CHARFORMAT);
  DWORD dwMask = 0;
  DWORD dwEffects = 0;
  LONG yHeight = 0;   // twips
  LONG yOffset = 0;
  COLORREF crTextColor = 0;
  BYTE bCharSet = 0;
  BYTE bPitchAndFamily = 0;
  char szFaceName[LF_FACESIZE] = {};
};

// The larger layout (cbSize tells them apart), with the weight and the background colour.
struct CHARFORMAT2 : CHARFORMAT {
  CHARFORMAT2() { cbSize = sizeof(CHARFORMAT2); }
  WORD wWeight = 0;
  std::int16_t sSpacing = 0;
  COLORREF crBackColor = 0;
  DWORD lcid = 0;
  DWORD dwReserved = 0;
  std::int16_t sStyle = 0;
  WORD wKerning = 0;
  BYTE bUnderlineType = 0;
  BYTE bAnimation = 0;
  BYTE bRevAuthor = 0;
  BYTE bReserved1 = 0;
};

// Paragraph formats (EM_SETPARAFORMAT, EM_GETPARAFORMAT) of the paragraphs the selection touches.
inline constexpr DWORD PFM_STARTINDENT = 0x00000001, PFM_RIGHTINDENT = 0x00000002, PFM_OFFSET = 0x00000004,
                       PFM_ALIGNMENT = 0x00000008, PFM_TABSTOPS = 0x00000010, PFM_NUMBERING = 0x00000020,
                       PFM_OFFSETINDENT = 0x80000000;
inline constexpr WORD PFN_BULLET = 1;
inline constexpr WORD PFA_LEFT = 1, PFA_RIGHT = 2, PFA_CENTER = 3;
inline constexpr int MAX_TAB_STOPS = 32;

struct PARAFORMAT {
  UINT cbSize = sizeof(PARAFORMAT);
  DWORD dwMask = 0;
  WORD wNumbering = 0;
  WORD wEffects = 0;
  LONG dxStartIndent = 0;   // twips: the first line's indent
  LONG dxRightIndent = 0;
  LONG dxOffset = 0;        // the other lines' indent relative to the first's
  WORD wAlignment = 0;
  std::int16_t cTabCount = 0;
  LONG rgxTabs[MAX_TAB_STOPS] = {};
};

// Text limit before EM_EXLIMITTEXT; EM_EXLIMITTEXT 0 gives kRichEditDefaultLimit too.
inline constexpr LONG kRichEditDefaultLimit = 32767;

}  // namespace win
