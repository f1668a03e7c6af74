// TarnWalker's entry point. The application's main program (its main window loop) is not
// built yet; until then the program starts the toolkit and says what this build holds.
#include <cstdio>

#include "toolkit/startup/startup.h"

namespace {

void tarnwalker_main() {
  winitialise(" ");
  std::puts(
      "TarnWalker: the application's main window loop, its data-entry dialogs and its plots\n"
      "are not built yet. This build holds the analysis engine (calendar, aggregation into\n"
      "years, baseflow filter, trend regression, project files) and the toolkit's windows,\n"
      "menus, message boxes, graphics core, chart arithmetic and image files;\n"
      "run ./test.sh to exercise them.");
}

}  // namespace

int main() { return WinMain(tarnwalker_main) == 1 ? 0 : 3; }
