// TarnWalker's entry point. The main window and its menu loop come with the toolkit's
// window layer; until then the program says what this build holds.
#include <cstdio>

int main() {
  std::puts(
      "TarnWalker: the main window, its menus and dialogs are not built yet.\n"
      "This build holds the analysis engine (calendar, aggregation into years, baseflow\n"
      "filter) and the toolkit pieces that exist so far; run ./test.sh to exercise them.");
  return 0;
}
