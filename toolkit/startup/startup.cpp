// toolkit/startup/startup.cpp: program entry and toolkit start-up.
// Sections (grep "[SECTION]"): entry | start-up | INI file
//
// Invariants: (1) winitialise runs its body once per process; the sentinel is set before
// anything else, so even an interrupted start-up is not repeated; (2) start-up leaves no
// error number behind.
#include "toolkit/startup/startup.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/os_pump.h"
#include "platform/win.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/printer_models.h"
#include "toolkit/hardcopy/startup_hardcopy.h"
#include "toolkit/os/opsys.h"
#include "toolkit/raster/print_select.h"
#include "toolkit/screen/screen_driver.h"
#include "toolkit/startup/info.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"

//------------------------------------------------------------------------------
// [SECTION] Entry
// - WinMain()
//------------------------------------------------------------------------------
int WinMain(void (*mainprogram)()) {
  try {
    mainprogram();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "TarnWalker stopped by an unexpected fault: %s\n", e.what());
    return 3;
  } catch (...) {
    std::fprintf(stderr, "TarnWalker stopped by an unexpected fault\n");
    return 3;
  }
  return 1;
}

namespace {

std::string trimmed(std::string_view text) {
  return std::string(text.substr(0, static_cast<std::size_t>(lentrim(text))));
}

bool fileExists(const std::string& name) {
  if (name.empty()) return false;
  int size = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, attributes = 0, kb = 0;
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, name.c_str());
  return size != -1 && (attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The environment variable's value as a 260-character text.
std::string variable(std::string_view name) {
  std::string value(260, ' ');
  IOsVariable(name, value);
  return value;
}

struct IniValues {
  int printer = 0, plotter = 0, hpgl2 = 0;
  bool version = false;
};

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] INI file
// - applyIniLine(), readIni()
//------------------------------------------------------------------------------
namespace {

constexpr std::size_t kIniLine = 270;

void applyIniLine(std::string line, IniValues& ini) {
  FileNames& fn = tessar.files;
  line.resize(kIniLine, ' ');
  const auto eq = line.find('=');
  if (eq == std::string::npos || eq + 1 < 2 || eq + 1 > 269) return;
  for (char& c : line)
    if (c == '\t') c = ' ';
  int first = 0, last = 0;
  ilocatestring(std::string_view(line).substr(0, eq), first, last);
  if (first == 0) return;
  const std::size_t wordlength = static_cast<std::size_t>(last - first + 1);
  std::string keyword(8, ' ');
  assignfixed(keyword, std::string_view(line).substr(static_cast<std::size_t>(first - 1),
                                                      wordlength));
  iuppercase(keyword);
  if (wordlength < 3) return;
  if (keyword.compare(0, 3, "VER") == 0) ini.version = true;
  const std::string_view value = std::string_view(line).substr(eq + 1);
  if (lentrim(value) == 0) return;
  int number = 0;
  IStringToInteger(value, number);
  const bool converted = tessar.error.LASTERROR == 0;
  tessar.error.LASTERROR = 0;
  const std::string_view text = value.substr(value.find_first_not_of(' '));
  if (keyword == "CHARDIR ") {
    assignfixed(fn.CHARDIR, text);
  } else if (keyword == "CHARSET ") {
    assignfixed(fn.CHARSET, text);
  } else if (!converted) {
    return;
  } else if (keyword == "DEBUG   ") {
    idebuglevel(number);
  } else if (keyword == "HPGL2   ") {
    ini.hpgl2 = number;
  } else if (keyword == "LFNGEN  ") {
    if (number != fn.LFNPLOTI) fn.LFNGEN = number;
  } else if (keyword == "LFNPLOTI") {
    if (number != fn.LFNGEN) fn.LFNPLOTI = number;
  } else if (keyword == "PLOTTER ") {
    ini.plotter = number;
  } else if (keyword == "PRINTER ") {
    ini.printer = number;
  }
}

// Reads the INI file line by line up to its end or the first read error. A file that
// does not open is no error.
void readIni(const std::string& name, IniValues& ini) {
  int handle = -1, status = 0;
  win::yyopen(name.c_str(), 0, handle, status);
  if (status != 0 || handle < 0) return;
  std::string pending;
  std::vector<char> block(4096);
  for (;;) {
    int got = 0;
    win::yyreadc(handle, block.data(), static_cast<int>(block.size()), got, status);
    if (status != 0 || got <= 0) break;
    pending.append(block.data(), static_cast<std::size_t>(got));
    std::size_t nl;
    while ((nl = pending.find('\n')) != std::string::npos) {
      std::string line = pending.substr(0, nl);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      applyIniLine(line.substr(0, std::min(line.size(), kIniLine)), ini);
      pending.erase(0, nl + 1);
    }
  }
  if (!pending.empty()) {
    if (pending.back() == '\r') pending.pop_back();
    applyIniLine(pending.substr(0, std::min(pending.size(), kIniLine)), ini);
  }
  win::yyclos(handle);
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Start-up
// - yywinitialise(), winitialise()
//------------------------------------------------------------------------------
void yywinitialise() {
  FileNames& fn = tessar.files;
  fn.PATHSEP = '/';
  fn.DECIMAL = win::localedecimal();
  tessar.dialog.DECIMALSUBST = 0;
  std::string home = variable("TESSAR");
  if (lentrim(home) > 0) {
    const int n = lentrim(home);
    if (home[static_cast<std::size_t>(n - 1)] != fn.PATHSEP)
      assignfixed(home, trimmed(home) + fn.PATHSEP);
  } else {
    home = variable("TDEV");
    if (lentrim(home) > 0) {
      const int p = indexnocase(home, "TDEV", true);
      if (p > 0) home.replace(static_cast<std::size_t>(p - 1), std::string::npos,
                              home.size() - static_cast<std::size_t>(p - 1), ' ');
    } else {
      // The root of the file system stands where the current drive's root stood.
      assignfixed(home, std::string(1, fn.PATHSEP) + "tess" + fn.PATHSEP);
    }
  }
  assignfixed(fn.HOMEDIR, home);
  fn.LFNGEN = 40;
}

void winitialise(std::optional<std::string_view> inifile) {
  WindowState& ws = tessar.window;
  if (ws.STARTUP == -9999) return;
  ws.STARTUP = -9999;
  // Reports made before the root window opens already reach the message box and the end.
  yyinstallservices();
  yyinstallhardcopy();
  FileNames& fn = tessar.files;
  ErrorState& es = tessar.error;

  DisplayInfo& di = tessar.display;
  yygetdisplayinfo(di.WIDTH, di.HEIGHT, di.COLOURS, di.PALETTECLASS, di.DEVICECLASS);
  win::installpaintonlypump();
  yywinitialise();
  yyscreenservices();

  fn.LFNPLOTI = 42;
  ws.ROOTOPEN = 0;
  ws.PUSHBACKTYPE = 0;
  tessar.dialog.CURDIALOG = 0;
  tessar.windowtext = WindowTextState{};

  es = ErrorState{};
  GraphicsRegion& gr = tessar.graphics;
  gr.attributes.SCREENON = 0;
  gr.attributes.HARDCOPYON = 0;
  gr.target.RESELECT = 0;
  gr.operands.HCDEVICE = 0;
  gr.area.ASPECT = 1.32f;
  tessar.hardcopy.selection = PrinterSelection{};
  for (MetafileSlot& slot : gr.metafiles) slot.KIND = 0;

  tessar.dialog.EmptyInteger = -999;
  tessar.dialog.EmptyReal = -999.0f;
  tessar.dialog.EmptyDouble = -999.0;

  yyeditbufalloc();
  yysetbell(1);

  // Character-set directory and the INI file the search finds.
  const std::string home = trimmed(fn.HOMEDIR);
  assignfixed(fn.CHARDIR, home.empty() ? std::string() : home + "charsets");
  std::string located;
  const std::string tessinit = trimmed(variable("TESSINIT"));
  if (!tessinit.empty() && fileExists(tessinit))
    located = tessinit;
  else if (fileExists("tessar.ini"))
    located = "tessar.ini";
  else if (!home.empty() && fileExists(home + "tessar.ini"))
    located = home + "tessar.ini";

  assignfixed(fn.DUMPFILE, "");
  assignfixed(fn.HCOUTPUT, "");
  assignfixed(fn.CHARSET, "standard.chr");
  yytmpprn();

  {
    std::vector<char> buffer(261, '\0');
    int status = 0;
    win::yysysdir(buffer.data(), status, static_cast<int>(buffer.size()));
    assignfixed(fn.SYSDIR, status == 0 ? std::string(buffer.data()) : std::string());
  }

  const std::string debug = variable("TESSDEBUG");
  idebuglevel(static_cast<unsigned char>(debug[0]) - '0');
  es.LASTERROR = 0;

  std::string unused(1, ' ');
  yyargs(-1, unused);

  std::string chosen;
  const std::string given = inifile ? trimmed(*inifile) : std::string();
  if (!given.empty() && fileExists(given)) {
    int handle = -1, status = 0;
    win::yyopen(given.c_str(), 0, handle, status);
    if (status == 0) {
      win::yyclos(handle);
      chosen = given;
    }
  }
  if (chosen.empty()) chosen = located;
  IniValues ini;
  if (!chosen.empty()) readIni(chosen, ini);

  const int n = lentrim(fn.CHARDIR);
  if (n > 0 && fn.CHARDIR[static_cast<std::size_t>(n - 1)] != fn.PATHSEP)
    assignfixed(fn.CHARDIR, trimmed(fn.CHARDIR) + fn.PATHSEP);

  PrinterSelection& sel = tessar.hardcopy.selection;
  sel.HPGL2TYPE = 0;
  iprinter(ini.printer);
  iplotter(ini.plotter);
  if (!(ini.hpgl2 == 0 && sel.HPGL2TYPE != 0)) iprinter2(ini.hpgl2);
  igrprintimageselect(0);  // window dumps go to the Windows printer, on its page

  if (ini.version) {
    std::string version(5, ' ');
    winfoversion(version);
    iosexitprogram("Tessaraweld version " + trimmed(version), 0);
  }
}

namespace tw::test {
void resetStartup() {
  tessar.window.STARTUP = 0;
  resetCommandLine();
}
}  // namespace tw::test
