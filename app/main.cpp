// TarnWalker's entry point: the main program on the desktop through the GTK backend.
#include <cstdio>

#include "app/mainprogram.h"
#include "platform/gtk_backend.h"
#include "toolkit/startup/startup.h"

namespace {

void tarnwalker_main() {
  mainprogram_start();
  while (!mainprogram_turn()) {
  }
}

}  // namespace

int main() {
  if (!win::UseGtkBackend()) {
    std::fputs("TarnWalker needs a desktop display: neither DISPLAY nor WAYLAND_DISPLAY names one that opens.\n", stderr);
    return 2;
  }
  return WinMain(tarnwalker_main) == 1 ? 0 : 3;
}
