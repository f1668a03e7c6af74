#pragma once
// Internal to platform/: how the drawing layer reaches the pixels of a window.
//
// Every top-level window has one backing store, a cairo image surface (CAIRO_FORMAT_RGB24)
// as large as the window rectangle, frame included. Child windows have none of their own:
// they draw into their top-level window's store at their offset, clipped to what of them
// is visible (inside every ancestor's client area, less clipped children and siblings).
//
// The store is replaced when its window changes size, so a device context must not keep
// the surface pointer: ask GetWindowSurface again for every drawing operation (it is cheap).
//
// The window layer does not build device contexts itself: the drawing layer installs a
// DcProvider once, and GetDC, GetWindowDC, ReleaseDC and BeginPaint go through it.
#include <cairo.h>

#include <vector>

#include "platform/win.h"

namespace win {

struct WindowSurface {
  cairo_surface_t* surface = nullptr;  // the top-level window's store (owned by the window layer)
  POINT origin;                        // surface position of the area's (0, 0)
  SIZE size;                           // the area's size in pixels
  std::vector<RECT> visible;           // what of the area may be drawn, in surface coordinates
};

// The client area (wholeWindow false) or the whole window of hwnd; false for no window.
bool GetWindowSurface(HWND hwnd, bool wholeWindow, WindowSurface& out);

// The drawing layer's hooks. Any of them may be missing: the window layer then does without
// (no device context, no background fill with a brush it cannot read, no region exchange).
struct DcProvider {
  // A device context on hwnd's client area or whole window (nullptr hwnd: the screen).
  // clip, when not empty, further limits drawing (area coordinates): BeginPaint passes the
  // update region.
  HDC (*getDC)(HWND hwnd, bool wholeWindow, const std::vector<RECT>& clip) = nullptr;
  int (*releaseDC)(HWND hwnd, HDC dc) = nullptr;
  // The solid colour of a brush.
  bool (*brushColor)(HBRUSH brush, COLORREF& colour) = nullptr;
  // A region's rectangles, and a region set to rectangles (InvalidateRgn, GetUpdateRgn,
  // ScrollWindowEx).
  bool (*regionRects)(HRGN region, std::vector<RECT>& rects) = nullptr;
  bool (*setRegionRects)(HRGN region, const std::vector<RECT>& rects) = nullptr;
};
void SetDcProvider(const DcProvider& provider);

// Non-client layout of a window in window coordinates, for the menus, which draw the menu
// bar into menuBar and hit-test it.
struct NcLayout {
  RECT caption;    // empty without a caption
  RECT menuBar;    // empty without a menu
  RECT vscroll;    // empty without a shown vertical scroll bar
  RECT hscroll;
  RECT client;
  RECT closeButton, maxButton, minButton;
};
bool GetNcLayout(HWND hwnd, NcLayout& out);

// Draws the menu bar strip of a window; installed by the menus. Without it the strip is
// drawn empty in the menu colour.
using MenuBarPainter = void (*)(HWND hwnd, cairo_t* cr, const RECT& strip);
void SetMenuBarPainter(MenuBarPainter painter);

// Runs the menu loop for WM_SYSCOMMAND SC_MOUSEMENU and SC_KEYMENU (wParam, lParam as sent);
// installed by the menus. Without it those commands do nothing.
using MenuCommandHandler = void (*)(HWND hwnd, WPARAM wParam, LPARAM lParam);
void SetMenuCommandHandler(MenuCommandHandler handler);
// Destroys the menu bar of a top-level window that is being destroyed; installed by the menus.
void SetMenuDestroyer(void (*destroyer)(HMENU menu));

}  // namespace win
