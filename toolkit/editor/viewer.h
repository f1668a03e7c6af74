#pragma once
// The bitmap viewer: a toolkit child window turned into a scrollable view of one numbered
// bitmap, modal, modeless or semi-modeless. Its frame carries a frame record of kind 2
// (words named BV_ in toolkit/window/window.h), shared with the view window.
#include "platform/menu_toolbar.h"
#include "platform/win.h"

// Shows the slot's bitmap in the current window, scrolled to x, y (negative: 0). mode 1
// modal (returns when the window closes), 2 modeless, 3 semi-modeless; it becomes 2 (result 5)
// in a frame that is itself a child window. options: 1 keys scroll, 2 the left button drags
// (a modal viewer has both). Results: 0; 1 the root window; 2 no such bitmap; 3 the bitmap
// is the drawing target; 4 another special window; 5 mode changed; 6 no room; 9 the client
// area holds child windows. A window that is a viewer already shows the new bitmap.
void yybitmapview(int slot, int x, int y, int& mode, int options, int& result);

// Sets the viewer record to show the bitmap and fits the frame and the scroll bars to it;
// a negative position keeps the present one.
void yyBitmapViewerInit(win::HWND frame, win::HBITMAP bitmap, int x, int y);

// The frame's and the view window's procedures.
win::LRESULT yyBitmapWndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
win::LRESULT yyBitmapWndProcClient(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);

// What the special windows of this folder share when one closes: a semi-modeless window
// gives back its count and hands activation to the window before it (or the root window).
void yyspecialwindowgone(win::HWND frame, int mode);
// Split windows around a special window's frame: the split window whose pane frame f is (or
// nullptr), the outermost frame of the split windows around f (f itself outside any), and the
// lending of pane's menu bar: each split window up to window upto (-1: all) without a menu of
// its own borrows it and has the pane as its active pane; the outermost frame shows the
// nearest menu.
win::HWND yysplitof(win::HWND f);
win::HWND yysplitoutermost(win::HWND f);
void yysplitlendmenu(win::HWND pane, int upto);
// The modal loop of a special window: messages dispatched until the end flag is set, the
// caret-blink timer held back while the toolkit asks for it; then the window before the
// modal one (or the root window) is enabled and activated again. An accelerator table given
// translates for its window first.
void yyspecialmodalloop(const int& endflag, const win::HWND* finddialog = nullptr, win::HWND accelwindow = nullptr,
                        win::HACCEL accelerators = nullptr);

// A toolbar push button of the special windows' toolbars (editor, grid editor), and the
// standard separator between their groups.
inline win::TBBUTTON yytoolbarbutton(int image, int command, win::BYTE state = win::TBSTATE_ENABLED) {
  win::TBBUTTON b;
  b.iBitmap = image;
  b.idCommand = command;
  b.fsState = state;
  b.fsStyle = win::TBSTYLE_BUTTON;
  return b;
}
inline win::TBBUTTON yytoolbarseparator() {
  win::TBBUTTON b;
  b.fsStyle = win::TBSTYLE_SEP;
  return b;
}
