// Copying and saving a window's plot as a Windows metafile, and printing it.
#include "app/plotcommands.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/os.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/winprint/hcoptions.h"

namespace {

// The name chosen for the last saved plot; the project's own file name is not touched.
std::string plotfile(500, ' ');

std::string trimmed(const std::string& s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

bool exists(const std::string& name) {
  int size = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, attributes = 0, kb = 0;
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, name.c_str());
  return size != -1;
}

void drawhardcopy(void (*draw)(), std::optional<std::string_view> name) {
  igrhardcopy(name);
  draw();
  igrhardcopy("S");
}

void plotto(void (*draw)(), std::optional<std::string_view> name) {
  igrhardcopyselect(1, HCWMF);
  drawhardcopy(draw, name);
}

}  // namespace

void plottoclipboard(void (*draw)()) { plotto(draw, std::nullopt); }

void plottofile(void (*draw)()) {
  for (;;) {
    plotfile.assign(500, ' ');
    WSelectFile("Windows metafiles (*.WMF)|*.wmf|All files|*.*|", 45, plotfile, "Save plot");
    if (winfodialog(4) != 1) {
      draw();
      return;
    }
    if (exists(trimmed(plotfile))) {
      WMessageBox(3, 2, 2, "File exists. Do you want to overwrite it?", "TarnWalker");
      if (winfodialog(4) != 1) continue;
    }
    plotto(draw, trimmed(plotfile));
    return;
  }
}

void plottoprinter(void (*draw)()) {
  igrhardcopyselect(1, HCWINPRINTER);
  WHardcopyOptions(2);
  if (winfodialog(4) == 1) drawhardcopy(draw, std::nullopt);
}
