#pragma once
// Message, style and notification numbers of the platform controls the dialog manager drives
// (edit, list box, combo box, up-down, trackbar, progress bar, tab, tree view, scroll bar),
// with the numeric values the toolkit was designed on. The controls' own headers in
// platform/ take their place as each control lands.
#include "platform/edit.h"
#include "platform/combobox.h"
#include "platform/listbox.h"
#include "platform/progress.h"
#include "platform/scrollbar.h"
#include "platform/trackbar.h"
#include "platform/updown.h"
#include "platform/win.h"

namespace win {

// Tab control.
inline constexpr UINT TCM_GETITEMCOUNT = 0x1304, TCM_GETITEM = 0x1305, TCM_SETITEM = 0x1306,
                      TCM_INSERTITEM = 0x1307, TCM_GETCURSEL = 0x130B, TCM_SETCURSEL = 0x130C,
                      TCM_SETITEMEXTRA = 0x130E, TCM_ADJUSTRECT = 0x1328,
                      TCM_SETCURFOCUS = 0x1330;
inline constexpr UINT TCIF_TEXT = 0x0001, TCIF_PARAM = 0x0008;
struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  LPSTR pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};
inline constexpr UINT TCN_SELCHANGE = static_cast<UINT>(-551), TCN_SELCHANGING = static_cast<UINT>(-552);

// Tree view.
inline constexpr DWORD TVS_HASBUTTONS = 0x0001, TVS_HASLINES = 0x0002, TVS_LINESATROOT = 0x0004,
                       TVS_DISABLEDRAGDROP = 0x0010, TVS_SHOWSELALWAYS = 0x0020;
inline constexpr UINT TVN_SELCHANGED = static_cast<UINT>(-402);
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);

}  // namespace win
