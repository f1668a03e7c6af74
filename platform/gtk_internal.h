#pragma once
// Internal to the GTK backend's files: what its dialogs and clipboard bridge need of it.
#include <gtk/gtk.h>


#include "platform/win.h"

namespace win::gtkbackend {

// The desktop window that shows hwnd's top-level window (shown first when it is due),
// nullptr when there is none.
GtkWindow* windowOf(HWND hwnd);
// Installed by UseGtkBackend.
void installDialogs();
void installClipboard();

}  // namespace win::gtkbackend
