// TarnWalker's entry point: the toolkit's start-up, then the main program on the desktop
// through the GTK backend.
#include <cstdio>

#include "app/mainprogram.h"
#include "platform/gtk_backend.h"
#include "toolkit/startup/startup.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"

namespace {

int exitcode = 0;

void tarnwalker_main() {
  // Start-up first: its INI keywords may end the program before any window is wanted.
  winitialise(" ");
  if (!win::UseGtkBackend()) {
    std::fputs("TarnWalker needs a desktop display: neither DISPLAY nor WAYLAND_DISPLAY names one that opens.\n",
               stderr);
    exitcode = 2;
    return;
  }
  // The start-up read the screen's size before the desktop was there: read it again, so that
  // windows and dialogs placed by the screen's size land on this screen.
  DisplayInfo& di = tessar.display;
  yygetdisplayinfo(di.WIDTH, di.HEIGHT, di.COLOURS, di.PALETTECLASS, di.DEVICECLASS);
  mainprogram_start(false);
  while (!mainprogram_turn()) {
  }
}

}  // namespace

int main() {
  const int status = WinMain(tarnwalker_main);
  if (status != 1) return 3;
  return exitcode;
}
