#pragma once
// platform/common_dialogs.h: the page set-up dialog, the colour chooser, the folder browser
// and the user's measurement system, in the names and numbers the toolkit was designed on.
// With a display backend that offers them (native_dialogs.h) the desktop's own dialogs
// show; otherwise the layer's own, made of its controls. The answers are the same.
#include <functional>
#include <string>

#include "platform/clipboard.h"
#include "platform/native_dialogs.h"
#include "platform/win.h"

namespace win {

// Page set-up. hDevMode is a memory block (GlobalAlloc) holding the printer's DEVMODE
// (platform/printer.h), hDevNames one holding the driver, device and port names, each
// NUL-terminated, in that order; both are the caller's to free. Sizes are in thousandths of
// an inch, or with PSD_INHUNDREDTHSOFMILLIMETERS in hundredths of a millimetre; the paper
// size follows the orientation (landscape: the long side across).
inline constexpr DWORD PSD_MARGINS = 0x2, PSD_INTHOUSANDTHSOFINCHES = 0x4, PSD_INHUNDREDTHSOFMILLIMETERS = 0x8,
                       PSD_RETURNDEFAULT = 0x400;
// Extended errors of the common dialogs (CommDlgExtendedError of file_dialog.h has its own).
inline constexpr DWORD PDERR_NODEFAULTPRN = 0x1008, PDERR_PRINTERNOTFOUND = 0x100B, CDERR_MEMALLOCFAILURE = 0x0009;

struct PAGESETUPDLG {
  HWND hwndOwner = nullptr;
  HGLOBAL hDevMode = nullptr;     // in (nullptr: the default printer) and out
  HGLOBAL hDevNames = nullptr;    // in and out
  DWORD Flags = 0;
  POINT ptPaperSize{};            // out
  RECT rtMargin{};                // left, top, right, bottom: in with PSD_MARGINS, and out
};
// TRUE on OK (or, with PSD_RETURNDEFAULT, when the default printer's settings were filled in
// without showing anything); FALSE on cancel or failure (PageSetupError tells which: 0 cancel).
BOOL PageSetupDlg(PAGESETUPDLG& psd);
DWORD PageSetupError();

// The colour chooser. lpCustColors: 16 custom colours, in and out.
inline constexpr DWORD CC_RGBINIT = 0x1, CC_FULLOPEN = 0x2;
struct CHOOSECOLOR {
  HWND hwndOwner = nullptr;
  COLORREF rgbResult = 0;         // in with CC_RGBINIT, and out
  COLORREF* lpCustColors = nullptr;
  DWORD Flags = 0;
};
BOOL ChooseColor(CHOOSECOLOR& cc);
DWORD ChooseColorError();

// The folder browser: starts at folder (or the current directory), shows title; validate
// judges the folder chosen or typed (it may change it, and may put questions), false keeps
// the browser up. TRUE with the chosen folder in folder; FALSE on cancel.
struct BROWSEINFO {
  HWND hwndOwner = nullptr;
  std::string title;
  std::string folder;             // in and out
  std::function<bool(std::string& folder, const native::Questions& q)> validate;
};
BOOL BrowseForFolder(BROWSEINFO& bi);

// The user's measurement system as the locale gives it (LC_MEASUREMENT): 1 U.S., 0 metric,
// as the text "1" or "0" of LOCALE_IMEASURE. Returns the characters copied with the NUL.
inline constexpr DWORD LOCALE_USER_DEFAULT = 0x400, LOCALE_IMEASURE = 0x0D;
int GetLocaleInfo(DWORD locale, DWORD type, LPSTR data, int size);

}  // namespace win
