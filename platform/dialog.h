#pragma once
// platform/dialog.h: the BUTTON and STATIC controls and the dialog class of the platform
// layer: dialogs from DIALOG and DIALOGEX templates (in memory or from the resources), dialog
// units, modeless and modal dialogs, and the dialog keyboard interface. Names and numbers are
// the ones the toolkit was designed on. Texts are 8-bit (Windows-1252), NUL-terminated.
//
// The control and dialog classes are registered on first use (and again after the headless
// test API's reset); RegisterDialogClasses registers them at once, for code that creates a
// BUTTON or STATIC window itself or asks for their class information.
//
// Sections (grep "[SECTION]"): answers | buttons | statics | dialogs | templates | calls
#include <cstdint>

#include "platform/win.h"

namespace win {

//------------------------------------------------------------------------------
// [SECTION] Answers: identifiers of the standard push buttons
//------------------------------------------------------------------------------
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDCLOSE = 8;
inline constexpr int IDHELP = 9;

//------------------------------------------------------------------------------
// [SECTION] Buttons
//------------------------------------------------------------------------------
inline constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2,
                       BS_AUTOCHECKBOX = 0x3, BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5,
                       BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7, BS_USERBUTTON = 0x8,
                       BS_AUTORADIOBUTTON = 0x9, BS_PUSHBOX = 0xA, BS_OWNERDRAW = 0xB,
                       BS_TYPEMASK = 0xF;
inline constexpr DWORD BS_LEFTTEXT = 0x20, BS_TEXT = 0x0, BS_ICON = 0x40, BS_BITMAP = 0x80,
                       BS_LEFT = 0x100, BS_RIGHT = 0x200, BS_CENTER = 0x300, BS_TOP = 0x400,
                       BS_BOTTOM = 0x800, BS_VCENTER = 0xC00, BS_PUSHLIKE = 0x1000,
                       BS_MULTILINE = 0x2000, BS_NOTIFY = 0x4000, BS_FLAT = 0x8000;

inline constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2,
                      BM_SETSTATE = 0x00F3, BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5,
                      BM_GETIMAGE = 0x00F6, BM_SETIMAGE = 0x00F7;
inline constexpr UINT BST_UNCHECKED = 0x0, BST_CHECKED = 0x1, BST_INDETERMINATE = 0x2,
                      BST_PUSHED = 0x4, BST_FOCUS = 0x8;

// Notification codes of WM_COMMAND from buttons (high word of the first parameter).
inline constexpr WORD BN_CLICKED = 0, BN_PAINT = 1, BN_HILITE = 2, BN_UNHILITE = 3,
                      BN_DISABLE = 4, BN_DOUBLECLICKED = 5, BN_SETFOCUS = 6, BN_KILLFOCUS = 7;

// Image kinds of BM_SETIMAGE and STM_SETIMAGE.
inline constexpr WPARAM IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2, IMAGE_ENHMETAFILE = 3;

//------------------------------------------------------------------------------
// [SECTION] Statics
//------------------------------------------------------------------------------
inline constexpr DWORD SS_LEFT = 0x0, SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_ICON = 0x3,
                       SS_BLACKRECT = 0x4, SS_GRAYRECT = 0x5, SS_WHITERECT = 0x6,
                       SS_BLACKFRAME = 0x7, SS_GRAYFRAME = 0x8, SS_WHITEFRAME = 0x9,
                       SS_SIMPLE = 0xB, SS_LEFTNOWORDWRAP = 0xC, SS_OWNERDRAW = 0xD,
                       SS_BITMAP = 0xE, SS_ENHMETAFILE = 0xF, SS_ETCHEDHORZ = 0x10,
                       SS_ETCHEDVERT = 0x11, SS_ETCHEDFRAME = 0x12, SS_TYPEMASK = 0x1F;
inline constexpr DWORD SS_NOPREFIX = 0x80, SS_NOTIFY = 0x100, SS_CENTERIMAGE = 0x200,
                       SS_RIGHTJUST = 0x400, SS_REALSIZEIMAGE = 0x800, SS_SUNKEN = 0x1000;

inline constexpr UINT STM_SETICON = 0x0170, STM_GETICON = 0x0171, STM_SETIMAGE = 0x0172,
                      STM_GETIMAGE = 0x0173;
inline constexpr WORD STN_CLICKED = 0, STN_DBLCLK = 1, STN_ENABLE = 2, STN_DISABLE = 3;

//------------------------------------------------------------------------------
// [SECTION] Dialogs
//------------------------------------------------------------------------------
// The dialog class.
inline const LPCSTR WC_DIALOG = "#32770";

inline constexpr DWORD DS_ABSALIGN = 0x1, DS_SYSMODAL = 0x2, DS_3DLOOK = 0x4, DS_FIXEDSYS = 0x8,
                       DS_NOFAILCREATE = 0x10, DS_LOCALEDIT = 0x20, DS_SETFONT = 0x40,
                       DS_MODALFRAME = 0x80, DS_NOIDLEMSG = 0x100, DS_SETFOREGROUND = 0x200,
                       DS_CONTROL = 0x400, DS_CENTER = 0x800, DS_CENTERMOUSE = 0x1000,
                       DS_CONTEXTHELP = 0x2000, DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

inline constexpr UINT WM_NEXTDLGCTL = 0x0028;
inline constexpr UINT DM_GETDEFID = WM_USER + 0;
inline constexpr UINT DM_SETDEFID = WM_USER + 1;
inline constexpr UINT DM_REPOSITION = WM_USER + 2;
inline constexpr WORD DC_HASDEFID = 0x534B;   // high word of a DM_GETDEFID answer with a default

// F1 in a dialog: WM_HELP goes to the innermost dialog holding the focus, with a HELPINFO
// that names the focused control; a child dialog that leaves it unhandled passes it up.
inline constexpr UINT WM_HELP = 0x0053;
inline constexpr int HELPINFO_WINDOW = 1;
struct HELPINFO {
  UINT cbSize = sizeof(HELPINFO);
  int iContextType = HELPINFO_WINDOW;
  int iCtrlId = 0;
  HWND hItemHandle = nullptr;
  ULONG_PTR dwContextId = 0;
  POINT MousePos;
};

// WM_ENTERIDLE reason: a dialog's modal loop waits for input (the dialog in the second parameter).
inline constexpr WPARAM MSGF_DIALOGBOX = 0;

// Answers to WM_GETDLGCODE.
inline constexpr LRESULT DLGC_WANTARROWS = 0x0001, DLGC_WANTTAB = 0x0002,
                         DLGC_WANTALLKEYS = 0x0004, DLGC_WANTMESSAGE = 0x0004,
                         DLGC_HASSETSEL = 0x0008, DLGC_DEFPUSHBUTTON = 0x0010,
                         DLGC_UNDEFPUSHBUTTON = 0x0020, DLGC_RADIOBUTTON = 0x0040,
                         DLGC_WANTCHARS = 0x0080, DLGC_STATIC = 0x0100, DLGC_BUTTON = 0x2000;

// Words of the dialog class's extra bytes: the dialog procedure's answer to the message
// being handled, the dialog procedure, and a word for the program.
inline constexpr int DWLP_MSGRESULT = 0;
inline constexpr int DWL_MSGRESULT = DWLP_MSGRESULT;
inline constexpr int DWLP_DLGPROC = DWLP_MSGRESULT + static_cast<int>(sizeof(LRESULT));
inline constexpr int DWLP_USER = DWLP_DLGPROC + static_cast<int>(sizeof(void*));
inline constexpr int DWL_USER = DWLP_USER;
inline constexpr int DLGWINDOWEXTRA = DWLP_USER + static_cast<int>(sizeof(LONG_PTR));

// A dialog procedure returns TRUE when it handled the message (its answer then in
// DWLP_MSGRESULT, except for WM_INITDIALOG and the WM_CTLCOLOR messages, which answer with
// the return value itself), FALSE for the dialog class's default handling.
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

//------------------------------------------------------------------------------
// [SECTION] Templates
//------------------------------------------------------------------------------
// The fixed heads of the binary template layouts (2-byte packing, as stored). A DLGTEMPLATE
// is followed by the menu, class and caption (each 0x0000, 0xFFFF + ordinal, or a UTF-16 name),
// with DS_SETFONT the point size and face, then the items, each DWORD-aligned: a
// DLGITEMTEMPLATE, the class, the text and a creation-data byte count. The extended layout
// (DLGTEMPLATEEX, recognised by its first two words 1 and 0xFFFF) adds a help identifier,
// the font's weight, italic flag and character set, and 32-bit item identifiers.
#pragma pack(push, 2)
struct DLGTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  WORD cdit;
  short x, y, cx, cy;
};
struct DLGITEMTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  short x, y, cx, cy;
  WORD id;
};
#pragma pack(pop)
using LPCDLGTEMPLATE = const DLGTEMPLATE*;

//------------------------------------------------------------------------------
// [SECTION] Calls
//------------------------------------------------------------------------------
void RegisterDialogClasses();

// Modeless dialogs: the dialog is returned after WM_INITDIALOG (nullptr when the template is
// missing or malformed, or a control cannot be created without DS_NOFAILCREATE); it is shown
// only when its template has WS_VISIBLE. A top-level dialog's x and y are dialog units from
// the owner's client origin (screen with DS_ABSALIGN or without an owner); DS_CENTER centres
// it on the screen.
HWND CreateDialogParam(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc,
                       LPARAM param);
HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE dialogTemplate, HWND parent,
                               DLGPROC proc, LPARAM param);
HWND CreateDialog(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc);

// Modal dialogs: the owner (the top-level window of parent) is disabled while the dialog's
// own message loop runs; the result is EndDialog's, or -1 when the dialog cannot be
// created or no input can ever arrive (headless, without a test's input).
INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc,
                       LPARAM param);
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE dialogTemplate, HWND parent,
                               DLGPROC proc, LPARAM param);
INT_PTR DialogBox(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc);

// Ends a modal dialog's loop with result (the dialog is hidden and destroyed when the loop
// ends); on a modeless dialog it only records the result.
BOOL EndDialog(HWND dialog, INT_PTR result);

// The dialog class's window procedure, for dialog classes of the program's own.
LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The dialog keyboard interface for a message taken from the queue: TRUE when the message
// was for the dialog or one of its controls and has been handled (translated and
// dispatched as needed), FALSE when it is someone else's.
BOOL IsDialogMessage(HWND dialog, const MSG& msg);

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);

// Base units of the system font: average character width in the low word, character height
// in the high word. A dialog with a template font has units of its own (MapDialogRect).
LONG GetDialogBaseUnits();
// Dialog units of the dialog to pixels: x values times the average character width / 4,
// y values times the character height / 8.
BOOL MapDialogRect(HWND dialog, RECT& rect);

}  // namespace win
