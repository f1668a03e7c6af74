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
#include "platform/tab.h"
#include "platform/trackbar.h"
#include "platform/updown.h"
#include "platform/win.h"

namespace win {

// Tree view.
inline constexpr DWORD TVS_HASBUTTONS = 0x0001, TVS_HASLINES = 0x0002, TVS_LINESATROOT = 0x0004,
                       TVS_DISABLEDRAGDROP = 0x0010, TVS_SHOWSELALWAYS = 0x0020;
inline constexpr UINT TVN_SELCHANGED = static_cast<UINT>(-402);
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);

}  // namespace win
