#pragma once
// platform/progress.h: the progress bar control class ("msctls_progress32") of the platform
// layer, in the names and numbers the toolkit was designed on. Its position stays within its
// range (0 to 100 and steps of 10 by default). The class registers with the dialog classes
// (RegisterDialogClasses).
#include "platform/win.h"

namespace win {

inline const LPCSTR PROGRESS_CLASS = "msctls_progress32";

inline constexpr DWORD PBS_SMOOTH = 0x01, PBS_VERTICAL = 0x04;

inline constexpr UINT PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2,
                      PBM_DELTAPOS = WM_USER + 3, PBM_SETSTEP = WM_USER + 4,
                      PBM_STEPIT = WM_USER + 5, PBM_SETRANGE32 = WM_USER + 6,
                      PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8,
                      PBM_SETBARCOLOR = WM_USER + 9, PBM_SETBKCOLOR = 0x2001;

inline constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

struct PBRANGE {
  int iLow = 0;
  int iHigh = 0;
};

}  // namespace win
