#pragma once
// Internals of the window layer shared by its files (root window, window procedures,
// geometry, menus and toolbars, child windows): lookups on the window tables and frames, and
// the probe of a dialog to be combined with a window.
#include <cstddef>

#include "platform/win.h"
#include "toolkit/window/window.h"

// Index of window number w in the window tables.
inline std::size_t ix(int w) { return static_cast<std::size_t>(w); }

// An open window number.
inline bool exists(int w) { return w >= 0 && w < MAXWINDOWS && winslot(w).wWindow != nullptr; }

// A frame inside another window's client area.
inline bool ischildframe(win::HWND frame) {
  return (win::GetWindowLong(frame, win::GWL_STYLE) & static_cast<win::LONG>(win::WS_CHILD)) != 0;
}

// The special-window kind of a frame, 0 for an ordinary window.
inline int kindof(win::HWND frame) {
  const FrameRecord* r = yyframerecord(frame);
  return r ? r->word[FR_KIND] : 0;
}

// The outer height of a window, 0 for none.
inline int heightof(win::HWND h) {
  if (h == nullptr) return 0;
  win::RECT r;
  win::GetWindowRect(h, r);
  return r.bottom - r.top;
}

// The window whose client area holds a child-style frame, -1 for a top-level one.
inline int containerof(win::HWND frame) {
  if (frame == nullptr || !ischildframe(frame)) return -1;
  return yygetwindowindex(win::GetParent(frame));
}

// Probes a dialog to be combined with a window: it must exist, be creatable, and have the
// child and control styles without a caption or system menu; its outer size becomes the
// client size. Failures leave a negative code in dialog.
void probedialog(int& dialog, int& width, int& height, int& flags);
