// TarnWalker's entry point: the toolkit's start-up, then the main program on the desktop
// through the GTK backend.
#include <cstdio>

#include "app/mainprogram.h"
#include "platform/gtk_backend.h"
#include "toolkit/startup/startup.h"

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
