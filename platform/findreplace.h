#pragma once
// platform/findreplace.h: the modeless Find and Replace dialogs of the platform layer, in the
// names and numbers the toolkit was designed on. The dialog reports to its owner with the
// message registered under FINDMSGSTRING, the FINDREPLACE record as second parameter, its
// Flags telling what was asked (FR_FINDNEXT, FR_REPLACE, FR_REPLACEALL, FR_DIALOGTERM) and
// how (FR_DOWN, FR_MATCHCASE, FR_WHOLEWORD). The owner's message loop must pass the dialog's
// messages through IsDialogMessage. The record must live until FR_DIALOGTERM.
#include "platform/richedit.h"
#include "platform/win.h"

namespace win {

inline constexpr const char* FINDMSGSTRING = "commdlg_FindReplace";

inline constexpr DWORD FR_FINDNEXT = 0x00000008, FR_REPLACE = 0x00000010, FR_REPLACEALL = 0x00000020,
                       FR_DIALOGTERM = 0x00000040, FR_SHOWHELP = 0x00000080, FR_ENABLEHOOK = 0x00000100,
                       FR_ENABLETEMPLATE = 0x00000200, FR_NOUPDOWN = 0x00000400,
                       FR_NOMATCHCASE = 0x00000800, FR_NOWHOLEWORD = 0x00001000,
                       FR_ENABLETEMPLATEHANDLE = 0x00002000, FR_HIDEUPDOWN = 0x00004000,
                       FR_HIDEMATCHCASE = 0x00008000, FR_HIDEWHOLEWORD = 0x00010000;

// Hook: called first with every message of the dialog (WM_INITDIALOG carries the record); a
// result other than 0 means the hook handled it.
using LPFRHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct FINDREPLACE {
  DWORD lStructSize = sizeof(FINDREPLACE);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  DWORD Flags = 0;
  LPSTR lpstrFindWhat = nullptr;      // wFindWhatLen bytes
  LPSTR lpstrReplaceWith = nullptr;   // wReplaceWithLen bytes
  WORD wFindWhatLen = 0;
  WORD wReplaceWithLen = 0;
  LPARAM lCustData = 0;
  LPFRHOOKPROC lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;    // own templates are not supported
};

// Control identifiers of the dialogs.
inline constexpr int kFrFindEdit = 0x480, kFrReplaceEdit = 0x481, kFrWholeWord = 0x410,
                     kFrMatchCase = 0x411, kFrUp = 0x420, kFrDown = 0x421, kFrReplaceButton = 0x400,
                     kFrReplaceAllButton = 0x401, kFrDirectionGroup = 0x430;

// The dialog, shown, or nullptr (no owner, no find buffer, or FR_ENABLETEMPLATE asked).
HWND FindText(FINDREPLACE& fr);
HWND ReplaceText(FINDREPLACE& fr);

}  // namespace win
