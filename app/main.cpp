// TarnWalker's entry point. The main window and its menu loop come with the toolkit's
// window layer; until then the program starts the toolkit and says what this build holds.
#include <cstdio>

#include "toolkit/core/startup.h"

namespace {

void tarnwalker_main() {
  winitialise(" ");
  std::puts(
      "TarnWalker: the main window, its menus and dialogs are not built yet.\n"
      "This build holds the analysis engine (calendar, aggregation into years, baseflow\n"
      "filter, trend regression, project files) and the toolkit pieces that exist so far;\n"
      "run ./test.sh to exercise them.");
}

}  // namespace

int main() { return WinMain(tarnwalker_main) == 1 ? 0 : 3; }
