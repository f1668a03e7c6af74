// Copying and saving a window's plot as a Windows metafile, and printing it.
#include "app/plotcommands.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/os.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/raster/raster_state.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"
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

// The printer chosen in the set-up writes a file rather than paper: the built-in PDF printer,
// whose port is a file.
bool printstofile() {
  const PrinterSettings& ps = tessar.raster.printersettings;
  return ps.GotPrName != 0 && std::string_view(ps.lpPrintPort.data()) == "FILE:";
}

}  // namespace

void plottoclipboard(void (*draw)()) { plotto(draw, std::nullopt); }

void plottofile(void (*draw)()) {
  // Blanked once: after No to the overwrite question the chooser comes back on the same name.
  plotfile.assign(500, ' ');
  for (;;) {
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

void plottoprinter(void (*draw)(), std::string_view name) {
  igrhardcopyselect(1, HCWINPRINTER);
  WHardcopyOptions(2);
  if (winfodialog(4) != 1) return;
  if (!printstofile()) {
    drawhardcopy(draw, std::nullopt);
    return;
  }
  // The built-in PDF printer makes a file: the user names it, as for a saved plot, and is told
  // where it went.
  std::string pdf(name);
  pdf += ".pdf";
  pdf.resize(500, ' ');
  for (;;) {
    WSelectFile("PDF files (*.pdf)|*.pdf|All files|*.*|", 45, pdf, "Print plot to file");
    if (winfodialog(4) != 1) {
      draw();
      return;
    }
    // The printer's document name holds 200 characters: a longer name would print elsewhere.
    if (trimmed(pdf).size() > 200) {
      WMessageBox(0, 1, 1, "The file name is longer than 200 characters.\rPlease choose a shorter one.", "Problem");
      continue;
    }
    if (exists(trimmed(pdf))) {
      WMessageBox(3, 2, 2, "File exists. Do you want to overwrite it?", "TarnWalker");
      if (winfodialog(4) != 1) continue;
    }
    break;
  }
  // The printer's document is named by the file: the PDF printer writes a name ending in
  // ".pdf" as it stands.
  const std::string file = trimmed(pdf);
  igrhardcopy(std::nullopt, file);
  draw();
  igrhardcopy("S");
  windowoutstatusbar(1, (exists(file) ? "Plot printed to " : "Plot not printed: ") + file);
}
