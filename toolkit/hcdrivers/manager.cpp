// The hardcopy manager over the graphics layer's hardcopy side.
#include "toolkit/hcdrivers/manager.h"

#include <array>
#include <string>

#include "platform/os.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/bitmap_file.h"
#include "toolkit/hcdrivers/cgm_file.h"
#include "toolkit/hcdrivers/cgm_recorder.h"
#include "toolkit/hcdrivers/dxf.h"
#include "toolkit/hcdrivers/hpgl.h"
#include "toolkit/hcdrivers/postscript.h"
#include "toolkit/hcdrivers/raster_printer.h"
#include "toolkit/hardcopy/startup_hardcopy.h"
#include "toolkit/hcdrivers/svg.h"
#include "toolkit/os/opsys.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

int hcselect = 10;
std::string printcommand(260, ' ');
std::array<HardcopyDriver, 13> drivers{};

bool blank(std::string_view s) { return lentrim(s) == 0; }

std::string trimmed(std::string_view s) {
  return std::string(s.substr(0, static_cast<std::size_t>(lentrim(s))));
}

// Single quotes keep every character of a file name literal for the shell.
std::string shellquoted(const std::string& name) {
  std::string out = "'";
  for (char c : name) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

// Makes name 4 a file that this run created itself: a name that already exists (left over,
// or planted) is never written through; the next free number is taken instead.
bool claimprintfile() {
  FileNames& fn = tessar.files;
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (blank(fn.TMPPRINT)) yytmpprn();
    int handle = -1, status = 0;
    win::yyopen(trimmed(fn.TMPPRINT).c_str(), 3, handle, status);
    if (status == 0) {
      win::yyclos(handle);
      return true;
    }
    yytmpprn();
  }
  tessar.error.ERRDETAIL = win::ERROR_FILE_EXISTS;
  tessar.error.ERRDETAILKIND = 2;
  yyerror(1, "YYPROU");
  return false;
}

// Set when the output of the hardcopy with the pending command could not be written.
bool printoutputfailed = false;

void runpending() {
  if (blank(printcommand)) return;
  FileNames& fn = tessar.files;
  const std::string file = trimmed(fn.TMPPRINT);
  if (!printoutputfailed) {
    const std::size_t k = printcommand.find('@');
    const std::string command =
        printcommand.substr(0, k) + shellquoted(file) + printcommand.substr(k + 1);
    yyprncmd(command);
  }
  IOsDeleteFile(file);
  assignfixed(printcommand, "");
  printoutputfailed = false;
}

void closeopen() {
  GraphicsRegion& g = tessar.graphics;
  if (g.operands.PLOTSTARTED != 0) {
    g.operands.IOPER2 = 1;
    yyhdrv(DENDPAGE);
  }
  const bool open = g.attributes.HARDCOPYON > 0;
  yyhdrv(DENDPLOT);
  if (open && !blank(printcommand) && tessar.hardcopy.printer.OUTPUTERROR != 0)
    printoutputfailed = true;
  g.attributes.HARDCOPYON = 0;
}

}  // namespace

void yyhcregister(int device, HardcopyDriver driver) {
  if (device >= 1 && device <= 12) drivers[static_cast<std::size_t>(device)] = driver;
}

void yyhcdispatch(int& code) {
  if (hcselect < 1 || hcselect > 12) return;
  HardcopyDriver d = drivers[static_cast<std::size_t>(hcselect)];
  if (d != nullptr) d(code);
}

void igrhardcopyselect(int mode, int device) {
  if (mode != 1) return;
  hcselect = device;
  xxhcif(DOPEN);
}

void igrhardcopy(std::optional<std::string_view> name, std::optional<std::string_view> title) {
  GraphicsRegion& g = tessar.graphics;
  DeviceOperands& op = g.operands;
  FileNames& fn = tessar.files;
  closeopen();
  const bool finish = name && name->size() == 1 && (*name == "S" || *name == "s");
  // A command still pending from an earlier hardcopy runs before anything new is started,
  // so that no plot is lost.
  runpending();
  if (finish) return;

  op.IOPER2 = -999;
  xxhcif(DOPEN);
  if (op.IOPER2 == -999) {
    op.IOPER2 = 0;
    return;
  }
  fn.HCCURRENT = fn.HCOUTPUT;
  op.IOPER2 = 1;
  if (name && !blank(*name)) {
    assignfixed(fn.HCCURRENT, *name);
    op.IOPER2 = 0;
  }
  if (op.PRINTCMDOK != 0 && fn.HCCURRENT.find(" @ ") != std::string::npos) {
    printcommand = fn.HCCURRENT;
    printoutputfailed = false;
    if (!claimprintfile()) {
      assignfixed(printcommand, "");
      return;
    }
    fn.HCCURRENT = fn.TMPPRINT;
  }
  if (title) {
    assignfixed(fn.TEXTBUF, *title);
    op.IX1 = 1;
  } else {
    op.IX1 = 0;
  }
  g.attributes.HARDCOPYON = 1;
  op.IOPER1 = 1;
  yyhdrv(DBEGINPLOT);
  if (g.attributes.HARDCOPYON == 0 && !blank(printcommand)) printoutputfailed = true;
  yyasprath();
  yyresnrot();
  if (g.attributes.SCREENON == 0) g.attributes.HCCLASS = op.HCCOLOURS;
  auto& c = g.attributes.COLOURS;
  if (c[PAIRINDEX][PREVIOUS] == -1) yyrgbto8(c[PAIRRGB][PREVIOUS], c[PAIRINDEX][PREVIOUS]);
  if (c[PAIRINDEX][CURRENT] == -1) yyrgbto8(c[PAIRRGB][CURRENT], c[PAIRINDEX][CURRENT]);
  op.LASTPENX = -9999;
  op.LASTPENY = -9999;
  for (int code : {DLINEWIDTH, DLINETYPE, DLINEJOIN, DLINECAP, DCLIP, DFONT, DCOLOUR})
    yyhdrv(code);
}

void yydefh() {
  std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
  auto set = [&](int n, int v) { o[static_cast<std::size_t>(n - 1)] = v; };
  set(6, 0); set(7, 0); set(8, 1); set(9, 5); set(10, 0); set(11, 0); set(17, 0);
  set(101, 80); set(102, 60); set(103, 1); set(104, 999999); set(105, 1); set(106, 0);
  set(107, 0); set(108, 8);
}

void yyasprath() {
  const std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
  GraphicsRegion& g = tessar.graphics;
  if (o[0] <= 0 || o[1] <= 0) return;
  const float w = static_cast<float>(o[0]), h = static_cast<float>(o[1]);
  g.operands.HCASPECT = g.area.PAGEROTATION % 180 == 0 ? w / h : h / w;
}

namespace {
// Name 2 from its extension (or its trimmed end) on becomes the new extension.
void newextension(std::string_view extension) {
  std::string& name = tessar.files.HCOUTPUT;
  if (blank(name)) return;
  const std::size_t d = name.rfind('.');
  const std::size_t s = name.rfind(tessar.files.PATHSEP);
  std::size_t k = static_cast<std::size_t>(lentrim(name));
  if (d != std::string::npos && (s == std::string::npos || d > s)) k = d;
  std::string rest(name.size() - k, ' ');
  rest.replace(0, std::min(extension.size(), rest.size()), extension.substr(0, rest.size()));
  name.replace(k, std::string::npos, rest);
}
}  // namespace

void igrhardcopyoptions(int n, int v) {
  const bool listed = (n >= 1 && n <= 29) || (n >= 101 && n <= 108);
  if (!listed || n == 14) return;
  std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
  GraphicsRegion& g = tessar.graphics;
  const int device = g.operands.HCDEVICE;
  auto& slot = o[static_cast<std::size_t>(n - 1)];
  switch (n) {
    case 1: case 2:
      if (v < 1) return;
      slot = v;
      yyasprath();
      return;
    case 5: {
      if (v < 0 || v > 3) return;
      slot = v % 2;
      const int a = o[0], b = o[1];
      if (v == 2) { o[0] = std::min(a, b); o[1] = std::max(a, b); }
      if (v == 3) { o[0] = std::max(a, b); o[1] = std::min(a, b); }
      return;
    }
    case 6: if (v < 0 || v > 2) return; slot = v; return;
    case 8: slot = std::max(v, 1); return;
    case 9: case 10: case 11:
      if (n == 9) v = std::max(v, 1);
      else if (v < 0 || v > 2) return;
      slot = v;
      yyhdrv(n == 9 ? DLINEWIDTH : (n == 10 ? DLINEJOIN : DLINECAP));
      return;
    case 12: slot = std::max(v, 100); return;
    case 13:
      if (v < 1 || v > tessar.hardcopy.printer.RESCOUNT) return;
      slot = v;
      g.operands.HCRESINDEX = v;
      return;
    case 16: if (v < 10 || v > 255) return; slot = v; return;
    case 21: if (v < 1 || v > 127) return; slot = v; return;
    case 22:
      slot = v;
      if (device == HCPOSTSCRIPT) newextension(v == 0 ? ".ps" : ".eps");
      return;
    case 23: {
      const bool bitmap = device == HCBITMAP && (v == 1 || v == 4 || v == 8 || v == 24);
      const bool dxf = device == HCDXF && (v == 3 || v == 4 || v == 8 || v == 24);
      if (bitmap || dxf) slot = v;
      return;
    }
    case 24:
      if (v < 0 || (device == HCRASTER && v > tessar.hardcopy.printer.COMPRESSDIGIT)) return;
      slot = v;
      return;
    case 26:
      slot = v;
      if (device == HCBITMAP) newextension(v == 1 || v == 2 ? ".bmp" : (v == 3 ? ".png" : ".pcx"));
      return;
    case 101: case 102: case 103: case 104: case 108:
      if (v < 1) return;
      slot = v;
      return;
    case 105: if (v < 1 || v > 4) return; slot = v; return;
    default: slot = v; return;
  }
}

void yyprncmd(std::string_view command) {
  const std::string line(command);
  int status = 0, exitcode = 0;
  win::yyrun(line.c_str(), status, exitcode);
  if (status != 0) {
    tessar.error.ERRSTATUS = status;
    yyerror(13, "YYPRNCMD");
    return;
  }
  // The command ran: a failure it reports through its exit status is a failed print too.
  if (exitcode != 0) {
    tessar.error.ERRSTATUS = exitcode;
    yyerror(13, "YYPRNCMD");
  }
}

void yyinstallhardcopy() {
  graphicsservices.xxhcif = yyhcdispatch;
  graphicsservices.igrhardcopy = [](std::string_view name, std::string_view title) {
    igrhardcopy(name, title);
  };
  graphicsservices.igrhardcopyoptions = igrhardcopyoptions;
  yyhcregister(HCPOSTSCRIPT, xxpost);
  yyhcregister(HCSVG, xxsvg);
  yyhcregister(HCDXF, xxdxf);
  yyhcregister(HCBITMAP, xximag);
  yyhcregister(HCRASTER, xxrast);
  yyhcregister(HCCGM, xxcgm);
  graphicsservices.yygcgm = yygcgm;
  yyhcregister(HCHPGL, xxhpgl);
  yyhcregister(HCHPGL2, xxhpgl2);
}
