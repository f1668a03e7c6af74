// toolkit/startup/info.cpp: the information queries. They read the state that start-up and
// the device selections set; only winfosystem keeps a value of its own (its last result).
#include "toolkit/startup/info.h"

#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os.h"
#include "toolkit/hardcopy/printer_models.h"
#include "toolkit/os/opsys.h"
#include "toolkit/startup/startup.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

constexpr std::array<std::string_view, 10> kPlotters = {
    "Generic HP-GL 4-pen plotter", "HP 7475A A4 paper (6 pens)", "HP 7475A A3 paper (6 pens)",
    "Epson HI80/HP ROM (4 pens)",  "Facit 4550 A4     (6 pens)", "HP 7440A A4 paper (8 pens)",
    "HP 7550A A4 paper (8 pens)",  "HP 7550A A3 paper (8 pens)", "Facit 4551 A4     (6 pens)",
    "Facit 4551 A3     (6 pens)"};

constexpr std::array<std::string_view, 5> kHpgl2Types = {
    "HP LaserJet III", "HP DJet 1200C/1600C, Color LJet", "HP LaserJet 4/5", "HP DesignJet",
    "HP Color LaserJet 4500/8500"};

std::string trimmed(std::string_view text) {
  return std::string(text.substr(0, static_cast<std::size_t>(lentrim(text))));
}

// The temporary directory ("TEMP", else "TMP", else "/tmp") with a separator when room.
void temporaryDirectory(std::string& text) {
  // Read in full and cut afterwards: these two items never report.
  std::string value(4096, ' ');
  (void)silently([&] {
    IOsVariable("TEMP", value);
    if (lentrim(value) == 0) IOsVariable("TMP", value);
  });
  if (lentrim(value) == 0) assignfixed(value, "/tmp");
  const std::size_t n = static_cast<std::size_t>(lentrim(value));
  const char sep = tessar.files.PATHSEP;
  assignfixed(text, value);
  if (n > 0 && value[n - 1] != sep && n < text.size()) text[n] = sep;
}

bool exists(const std::string& name) {
  int size = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, attributes = 0, kb = 0;
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, name.c_str());
  return size != -1;
}

void temporaryFile(std::string& text) {
  temporaryDirectory(text);
  const std::string directory = trimmed(text);
  int counter = 0;
  yysystime(counter);
  counter = std::abs(counter);
  std::string candidate;
  for (;;) {
    std::string digits(10, ' ');
    IntegerToString(counter, digits, "(I10.10)");
    candidate = "xx" + digits + ".tmp";
    if (!exists(directory + candidate)) break;
    ++counter;
  }
  assignfixed(text, directory + candidate);
}

}  // namespace

void WInfoFilename(int item, std::string& text) {
  const FileNames& fn = tessar.files;
  const GraphicsRegion& gr = tessar.graphics;
  std::string_view name;
  int length = 0;
  switch (item) {
    case 1: name = fn.DUMPFILE; break;
    case 2: name = fn.HCOUTPUT; break;
    case 3: name = fn.CHARSET; break;
    case 5: name = fn.CHARDIR; break;
    case 7: name = fn.HOMEDIR; break;
    case 8: name = fn.SYSDIR; break;
    case 9: name = gr.text.FONTKIND == 1 ? std::string_view(gr.font.NAME) : "H"; break;
    case 10: temporaryDirectory(text); return;
    case 11: temporaryFile(text); return;
    default: name = ""; break;
  }
  length = lentrim(name);
  assignfixed(text, name);
  if (length > static_cast<int>(text.size())) yyerror(1023, "WInfoFilename");
}

int winfosystem(int item) {
  static int previous = 0;
  int value = previous;
  switch (item) {
    case 1: value = 6; break;
    case 2: {
      std::string unused(1, ' ');
      value = yyargs(-1, unused);
      break;
    }
    case 3: {
      int major = 0, minor = 0;
      win::yyosver(major, minor);
      value = major * 100 + minor;
      break;
    }
    case 6: value = static_cast<unsigned char>(tessar.files.PATHSEP); break;
    case 7: value = 0; break;
    case 9: {
      std::string directory(4096, ' ');
      IOsDirName(directory);
      value = trimmed(directory) == std::string(1, tessar.files.PATHSEP) ? 1 : 0;
      break;
    }
    case 15: yysystime(value); break;
    case 16: {
      int variant = 0;
      win::yywinvariant(variant);
      value = variant == 2 || variant == 4 ? variant : 3;
      break;
    }
    case 18: value = 1; break;
    case 19: value = 0; break;
    case 20: value = static_cast<unsigned char>(tessar.files.DECIMAL); break;
    case 21: win::yydspacemb(value); break;
    default:
      // Drive letters name no drive here: no drive type and no volume serial.
      if ((item >= 65 && item <= 90) || (item >= 165 && item <= 190)) value = 0;
      break;
  }
  previous = value;
  return value;
}

void WInfoDeviceName(int driver, std::string& name) {
  const PrinterSelection& sel = tessar.hardcopy.selection;
  std::string_view model;
  int field = 0;
  switch (driver) {
    case 1:
      field = 27;
      if (sel.PRINTERMODEL >= 2 && sel.PRINTERMODEL <= 38 && sel.PRINTERMODEL != 27)
        model = yyprintermodel(sel.PRINTERMODEL).name;
      break;
    case 2:
      field = 27;
      if (sel.PLOTTERMODEL >= 1 && sel.PLOTTERMODEL <= 10) model = kPlotters[sel.PLOTTERMODEL - 1];
      break;
    case 3:
      field = 31;
      if (sel.HPGL2TYPE >= 1 && sel.HPGL2TYPE <= 5) model = kHpgl2Types[sel.HPGL2TYPE - 1];
      break;
    default: break;
  }
  assignfixed(name, model);
  if (static_cast<int>(name.size()) < field) yyerror(1023, "WInfoDeviceName");
}

void yysystime(int& time) { time = win::yytickcount(); }

void winfoversion(std::string& text) { assignfixed(text, "7.10"); }
