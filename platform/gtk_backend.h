#pragma once
// The GTK 3 display backend: the window system's top-level windows on the desktop, one
// undecorated GTK window each, showing the window's backing store; real input, cursors and
// screen size. The program chooses it once at start-up, before it creates any window; the
// headless backend stays in every other case (and in the unit tests, which never call this).
#include "platform/win.h"

namespace win {

// Chooses the GTK backend when there is a display (DISPLAY or WAYLAND_DISPLAY set) and GTK
// initialises on it. False: the headless backend stays.
bool UseGtkBackend();

// True once UseGtkBackend has chosen the GTK backend.
bool GtkBackendActive();

namespace gtktest {
// The X window showing a top-level window, 0 when none is shown (or not on X).
unsigned long nativeWindow(HWND hwnd);
// How many times the desktop has had the window's backing store painted.
int drawCount(HWND hwnd);
// True when the desktop shows the window as the window system has it: painted, nothing left
// to paint in it or its children, its store shown since it was last drawn on, and its
// geometry confirmed by the desktop.
bool upToDate(HWND hwnd);
// Waits until the display has carried out every request sent to it so far.
void sync();
}  // namespace gtktest

}  // namespace win
