#pragma once
// platform/fontdialog.h: the Font common dialog of the platform layer (ChooseFont), a modal
// dialog of the layer's own controls, in the names and numbers the toolkit was designed on.
#include "platform/gdi.h"
#include "platform/win.h"

namespace win {

using LPCFHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr DWORD CF_SCREENFONTS = 0x00000001, CF_PRINTERFONTS = 0x00000002, CF_SHOWHELP = 0x00000004,
                       CF_ENABLEHOOK = 0x00000008, CF_ENABLETEMPLATE = 0x00000010,
                       CF_INITTOLOGFONTSTRUCT = 0x00000040, CF_USESTYLE = 0x00000080, CF_EFFECTS = 0x00000100,
                       CF_APPLY = 0x00000200, CF_FORCEFONTEXIST = 0x00010000, CF_TTONLY = 0x00040000,
                       CF_NOFACESEL = 0x00080000, CF_NOSTYLESEL = 0x00100000, CF_NOSIZESEL = 0x00200000,
                       CF_LIMITSIZE = 0x00002000;

// Control identifiers of the dialog (a hook may reach them with GetDlgItem).
inline constexpr int kCfStrikeOut = 1040, kCfUnderline = 1041, kCfFace = 1136, kCfStyle = 1137, kCfSize = 1138,
                     kCfColour = 1139;

struct CHOOSEFONT {
  DWORD lStructSize = sizeof(CHOOSEFONT);
  HWND hwndOwner = nullptr;
  HDC hDC = nullptr;
  LOGFONT* lpLogFont = nullptr;   // in with CF_INITTOLOGFONTSTRUCT, always out
  int iPointSize = 0;             // out: tenths of a point
  DWORD Flags = 0;
  COLORREF rgbColors = 0;         // with CF_EFFECTS: in and out
  LPARAM lCustData = 0;
  LPCFHOOKPROC lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;   // own templates are not supported
  HINSTANCE hInstance = nullptr;
  LPSTR lpszStyle = nullptr;
  WORD nFontType = 0;
  int nSizeMin = 0, nSizeMax = 0;
};

// Shows the dialog: the face, style and size lists, with CF_EFFECTS the strike-out and
// underline boxes and the colour list. OK fills the LOGFONT (height in pixels at 96 dots an
// inch), iPointSize and rgbColors and gives TRUE; Cancel or a failure gives FALSE. A list
// that CF_NOFACESEL, CF_NOSTYLESEL or CF_NOSIZESEL leaves without a selection and that the
// user does not choose from keeps its flag set on return, its value left out (empty face,
// weight 0, iPointSize 0). The hook (CF_ENABLEHOOK) sees every message first, WM_INITDIALOG
// with the record; a result other than 0 keeps the dialog from handling it.
BOOL ChooseFont(CHOOSEFONT& cf);

}  // namespace win
