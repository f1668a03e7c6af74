// platform/printer.cpp: the printers of the platform layer: CUPS destinations and the
// built-in PDF printer, the default printer's profile entry, information contexts and the
// device modes the layer keeps. The only file that talks to CUPS.
//
// Invariants: (1) the printer list is looked up once and kept until a test replaces or
// forgets it; (2) an information context copies the page it answers for when it is made,
// so later changes of the printer do not move it; (3) handles of information contexts are
// small numbers that are never reused within a run.
#include "platform/printer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "platform/codepage.h"
#include "platform/printer_internal.h"

namespace win {
namespace printer {
namespace {

struct Paper {
  short code;
  double width, height;  // millimetres, portrait
};
constexpr Paper kPapers[] = {
    {DMPAPER_LETTER, 215.9, 279.4}, {DMPAPER_LEGAL, 215.9, 355.6},
    {DMPAPER_A3, 297.0, 420.0},     {DMPAPER_A4, 210.0, 297.0},
    {DMPAPER_A5, 148.0, 210.0},
};
constexpr short kCustomPaper = 256;

int pixels(double mm, int dpi) { return static_cast<int>(std::lround(mm / 25.4 * dpi)); }

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

void copyName(char (&field)[32], std::string_view name) {
  const std::size_t n = std::min(name.size(), sizeof field - 1);
  std::memcpy(field, name.data(), n);
  field[n] = '\0';
}

// The settings a printer starts with: portrait, its paper, one copy, its resolution.
void startDevmode(Record& r, double widthmm, double heightmm, DWORD extraFields) {
  DEVMODE& m = r.devmode;
  m = DEVMODE{};
  copyName(m.dmDeviceName, r.device);
  m.dmSize = sizeof(DEVMODE);
  m.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_SCALE |
               DM_COPIES | DM_PRINTQUALITY | DM_COLOR | DM_YRESOLUTION | DM_COLLATE |
               extraFields;
  m.dmOrientation = DMORIENT_PORTRAIT;
  m.dmPaperSize = kCustomPaper;
  for (const Paper& p : kPapers)
    if (std::fabs(p.width - widthmm) < 0.6 && std::fabs(p.height - heightmm) < 0.6)
      m.dmPaperSize = p.code;
  m.dmPaperWidth = static_cast<short>(std::lround(widthmm * 10));
  m.dmPaperLength = static_cast<short>(std::lround(heightmm * 10));
  m.dmScale = 100;
  m.dmCopies = 1;
  m.dmPrintQuality = static_cast<short>(r.dpix);
  m.dmYResolution = static_cast<short>(r.dpiy);
  m.dmColor = r.numcolors == 2 ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
  r.width = pixels(widthmm, r.dpix);
  r.height = pixels(heightmm, r.dpiy);
}

const char* option(const cups_dest_t& d, const char* name) {
  return cupsGetOption(name, d.num_options, d.options);
}

}  // namespace

Record pdfPrinter() {
  Record r;
  r.device = kPdfDevice;
  r.driver = "pdf";
  r.port = "FILE:";
  startDevmode(r, 210.0, 297.0, 0);
  return r;
}

bool mediaSize(std::string_view media, double& width, double& height) {
  struct Named {
    const char* name;
    short code;
  };
  constexpr Named kNames[] = {{"a4", DMPAPER_A4}, {"letter", DMPAPER_LETTER},
                              {"legal", DMPAPER_LEGAL}, {"a3", DMPAPER_A3},
                              {"a5", DMPAPER_A5}};
  for (const Named& n : kNames) {
    if (!equalNoCase(media, n.name)) continue;
    for (const Paper& p : kPapers)
      if (p.code == n.code) { width = p.width; height = p.height; return true; }
  }
  // A self-describing name ends in "_<width>x<height>mm" or "...in".
  const std::size_t underscore = media.rfind('_');
  if (underscore == std::string_view::npos) return false;
  std::string dims(media.substr(underscore + 1));
  double scale = 0;
  if (dims.size() > 2 && dims.compare(dims.size() - 2, 2, "mm") == 0) scale = 1.0;
  else if (dims.size() > 2 && dims.compare(dims.size() - 2, 2, "in") == 0) scale = 25.4;
  if (scale == 0) return false;
  dims.resize(dims.size() - 2);
  double w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(dims.c_str(), "%lfx%lf%c", &w, &h, &tail) != 2) return false;
  if (!(w > 0) || !(h > 0) || w * scale > 3000 || h * scale > 3000) return false;
  width = std::min(w, h) * scale;
  height = std::max(w, h) * scale;
  return true;
}

std::vector<Record> fromDests(int count, const cups_dest_t* dests) {
  std::vector<Record> list;
  // A default instance makes its printer the default: instances share one queue.
  const char* defaultName = nullptr;
  for (int i = 0; i < count && defaultName == nullptr; ++i)
    if (dests[i].is_default != 0) defaultName = dests[i].name;
  bool haveDefault = false;
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& d = dests[i];
    if (d.instance != nullptr || d.name == nullptr) continue;
    Record r;
    // A queue the code page cannot name could never be chosen back: it is left out.
    if (!cp1252FromUtf8Strict(d.name, r.device)) continue;
    r.driver = "cups";
    const char* uri = option(d, "device-uri");
    r.port = cp1252FromUtf8Shown(uri ? uri : d.name);
    const char* type = option(d, "printer-type");
    if (type != nullptr && (std::strtoul(type, nullptr, 10) & CUPS_PRINTER_COLOR) == 0)
      r.numcolors = 2;
    double w = 210.0, h = 297.0;
    if (const char* media = option(d, "media")) {
      // A list of media names: the first that gives a size counts.
      std::string_view rest(media);
      while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        if (mediaSize(rest.substr(0, comma), w, h)) break;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
      }
    }
    startDevmode(r, w, h, DM_DUPLEX);
    r.devmode.dmDuplex = 1;
    r.isDefault = !haveDefault && defaultName != nullptr && std::strcmp(defaultName, d.name) == 0;
    haveDefault = haveDefault || r.isDefault;
    list.push_back(std::move(r));
  }
  Record pdf = pdfPrinter();
  pdf.isDefault = !haveDefault;
  list.push_back(std::move(pdf));
  return list;
}

}  // namespace printer

//------------------------------------------------------------------------------
// The printer list, the last error and the test hooks
//------------------------------------------------------------------------------
namespace {

struct Store {
  std::optional<std::vector<printer::Record>> printers;
  DWORD lastError = 0;
  std::map<std::string, DWORD> failures;
  std::function<void()> queryHook;
  struct Context {
    int width, height, offsetx, offsety, dpix, dpiy, numcolors;
  };
  std::map<unsigned, Context> contexts;
  unsigned nextContext = 1;
  std::map<unsigned, std::string> open;  // open printer handles and their device names
  unsigned nextOpen = 1;
};

Store& store() {
  static Store s;
  return s;
}

std::vector<printer::Record>& printers() {
  Store& s = store();
  if (!s.printers) {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    s.printers = printer::fromDests(count, dests);
    cupsFreeDests(count, dests);
  }
  return *s.printers;
}

bool failing(const char* service) {
  Store& s = store();
  auto it = s.failures.find(service);
  if (it == s.failures.end()) return false;
  s.lastError = it->second;
  s.failures.erase(it);
  return true;
}

constexpr unsigned kContextTag = 0x7E000000u;
constexpr unsigned kPrinterTag = 0x7D000000u;

printer::Record* findPrinter(LPCSTR device) {
  if (device == nullptr || *device == '\0') return nullptr;
  for (printer::Record& r : printers())
    if (printer::equalNoCase(r.device, device)) return &r;
  return nullptr;
}

}  // namespace

namespace printer {
const Record* find(const char* device) { return findPrinter(device); }
bool failing(const char* service) { return ::win::failing(service); }
int submit(const std::string& device, const std::string& file, const std::string& title,
           int copies, DWORD& error) {
  cups_option_t* options = nullptr;
  int count = 0;
  if (copies > 1) count = cupsAddOption("copies", std::to_string(copies).c_str(), count, &options);
  const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, utf8FromCp1252(device).c_str(), file.c_str(),
                                 utf8FromCp1252(title).c_str(), count, options);
  cupsFreeOptions(count, options);
  if (job <= 0) error = ERROR_CANCELLED;
  return job > 0 ? job : 0;
}
}  // namespace printer

std::vector<PRINTER_NAMES> EnumPrinters() {
  std::vector<PRINTER_NAMES> out;
  for (const printer::Record& r : printers()) out.push_back({r.device, r.driver, r.port});
  return out;
}

DWORD GetLastError() { return store().lastError; }
void SetLastError(DWORD code) { store().lastError = code; }

DWORD GetProfileString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size) {
  if (out == nullptr || size == 0) return 0;
  std::string value = def ? def : "";
  bool found = false;
  if (!failing("GetProfileString") && section && key && printer::equalNoCase(section, "windows") &&
      printer::equalNoCase(key, "Device")) {
    for (const printer::Record& r : printers()) {
      if (!r.isDefault) continue;
      value = r.device + "," + r.driver + "," + r.port;
      found = true;
      break;
    }
    if (!found) SetLastError(2);  // file not found: no such entry
  }
  const std::size_t n = std::min<std::size_t>(value.size(), size - 1);
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return static_cast<DWORD>(n);
}

HIC CreateIC(LPCSTR /*driver*/, LPCSTR device, LPCSTR /*port*/, const DEVMODE* mode) {
  Store& s = store();
  if (s.queryHook) {
    auto hook = std::move(s.queryHook);
    s.queryHook = nullptr;
    hook();
  }
  if (failing("CreateIC")) return nullptr;
  const printer::Record* found = findPrinter(device);
  if (found == nullptr) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return nullptr;
  }
  Store::Context c{found->width, found->height, 0, 0, found->dpix, found->dpiy,
                   found->numcolors};
  if (mode != nullptr) {
    if (mode->dmFields & DM_PAPERSIZE)
      for (const printer::Paper& p : printer::kPapers)
        if (p.code == mode->dmPaperSize) {
          c.width = printer::pixels(p.width, c.dpix);
          c.height = printer::pixels(p.height, c.dpiy);
        }
    if ((mode->dmFields & DM_PAPERWIDTH) && mode->dmPaperWidth > 0)
      c.width = printer::pixels(mode->dmPaperWidth / 10.0, c.dpix);
    if ((mode->dmFields & DM_PAPERLENGTH) && mode->dmPaperLength > 0)
      c.height = printer::pixels(mode->dmPaperLength / 10.0, c.dpiy);
    if ((mode->dmFields & DM_ORIENTATION) && mode->dmOrientation == DMORIENT_LANDSCAPE) {
      std::swap(c.width, c.height);
      std::swap(c.dpix, c.dpiy);
    }
  }
  const unsigned slot = s.nextContext++;
  s.contexts[slot] = c;
  return reinterpret_cast<HIC>(static_cast<std::uintptr_t>(kContextTag | slot));
}

namespace {
Store::Context* context(HIC ic) {
  const auto value = reinterpret_cast<std::uintptr_t>(ic);
  if ((value & 0xFF000000u) != kContextTag) return nullptr;
  auto it = store().contexts.find(static_cast<unsigned>(value & 0xFFFFFFu));
  return it == store().contexts.end() ? nullptr : &it->second;
}
}  // namespace

int GetDeviceCaps(HIC ic, int index) {
  const Store::Context* c = context(ic);
  if (c == nullptr) return 0;
  switch (index) {
    case 2: return DT_RASPRINTER;                                      // TECHNOLOGY
    case 4: return static_cast<int>(std::lround(c->width * 25.4 / c->dpix));   // HORZSIZE
    case 6: return static_cast<int>(std::lround(c->height * 25.4 / c->dpiy));  // VERTSIZE
    case 8: return c->width - 2 * c->offsetx;                           // HORZRES
    case 10: return c->height - 2 * c->offsety;                         // VERTRES
    case 12: return c->numcolors == 2 ? 1 : 24;                         // BITSPIXEL
    case 14: return 1;                                                  // PLANES
    case 24: return c->numcolors;                                       // NUMCOLORS
    case 88: return c->dpix;                                            // LOGPIXELSX
    case 90: return c->dpiy;                                            // LOGPIXELSY
    case PHYSICALWIDTH: return c->width;
    case PHYSICALHEIGHT: return c->height;
    case PHYSICALOFFSETX: return c->offsetx;
    case PHYSICALOFFSETY: return c->offsety;
    default: return 0;
  }
}

BOOL DeleteDC(HIC ic) {
  const auto value = reinterpret_cast<std::uintptr_t>(ic);
  if ((value & 0xFF000000u) != kContextTag) return FALSE;
  return store().contexts.erase(static_cast<unsigned>(value & 0xFFFFFFu)) ? TRUE : FALSE;
}

BOOL OpenPrinter(LPCSTR name, HPRINTER& printer, const void* /*defaults*/) {
  printer = nullptr;
  if (failing("OpenPrinter")) return FALSE;
  const printer::Record* found = findPrinter(name);
  if (found == nullptr) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
  }
  Store& s = store();
  const unsigned slot = s.nextOpen++;
  s.open[slot] = found->device;
  printer = reinterpret_cast<HPRINTER>(static_cast<std::uintptr_t>(kPrinterTag | slot));
  return TRUE;
}

namespace {
// The record of an open printer handle; nullptr when the handle is not open or the printer
// has gone from the list.
printer::Record* openPrinter(HPRINTER handle) {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if ((value & 0xFF000000u) != kPrinterTag) return nullptr;
  auto it = store().open.find(static_cast<unsigned>(value & 0xFFFFFFu));
  return it == store().open.end() ? nullptr : findPrinter(it->second.c_str());
}

// The fields of in that the printer supports, merged into m; values the printer cannot take
// are left as they were.
void merge(DEVMODE& m, const DEVMODE& in, DWORD supported) {
  const DWORD f = in.dmFields & supported;
  if ((f & DM_ORIENTATION) &&
      (in.dmOrientation == DMORIENT_PORTRAIT || in.dmOrientation == DMORIENT_LANDSCAPE))
    m.dmOrientation = in.dmOrientation;
  if (f & DM_PAPERSIZE)
    for (const printer::Paper& p : printer::kPapers)
      if (p.code == in.dmPaperSize) {
        m.dmPaperSize = p.code;
        m.dmPaperWidth = static_cast<short>(std::lround(p.width * 10));
        m.dmPaperLength = static_cast<short>(std::lround(p.height * 10));
      }
  if ((f & DM_PAPERLENGTH) && in.dmPaperLength > 0) m.dmPaperLength = in.dmPaperLength;
  if ((f & DM_PAPERWIDTH) && in.dmPaperWidth > 0) m.dmPaperWidth = in.dmPaperWidth;
  if ((f & DM_SCALE) && in.dmScale > 0) m.dmScale = in.dmScale;
  if ((f & DM_COPIES) && in.dmCopies > 0) m.dmCopies = in.dmCopies;
  if (f & DM_DEFAULTSOURCE) m.dmDefaultSource = in.dmDefaultSource;
  if (f & DM_PRINTQUALITY) m.dmPrintQuality = in.dmPrintQuality;
  if ((f & DM_COLOR) && (in.dmColor == DMCOLOR_MONOCHROME || in.dmColor == DMCOLOR_COLOR))
    m.dmColor = in.dmColor;
  if (f & DM_DUPLEX) m.dmDuplex = in.dmDuplex;
  if (f & DM_YRESOLUTION) m.dmYResolution = in.dmYResolution;
  if (f & DM_TTOPTION) m.dmTTOption = in.dmTTOption;
  if (f & DM_COLLATE) m.dmCollate = in.dmCollate;
  if (f & DM_MEDIATYPE) m.dmMediaType = in.dmMediaType;
  if (f & DM_DITHERTYPE) m.dmDitherType = in.dmDitherType;
}
}  // namespace

BOOL ClosePrinter(HPRINTER printer) {
  const auto value = reinterpret_cast<std::uintptr_t>(printer);
  if ((value & 0xFF000000u) != kPrinterTag) return FALSE;
  return store().open.erase(static_cast<unsigned>(value & 0xFFFFFFu)) ? TRUE : FALSE;
}

LONG DocumentProperties(HWND /*owner*/, HPRINTER printer, LPCSTR /*device*/, DEVMODE* out,
                        const DEVMODE* in, DWORD mode) {
  if (failing("DocumentProperties")) return -1;
  const printer::Record* r = openPrinter(printer);
  if (r == nullptr) {
    SetLastError(6);  // invalid handle
    return -1;
  }
  if (mode == 0) return static_cast<LONG>(sizeof(DEVMODE));
  if (!(mode & DM_OUT_BUFFER) || out == nullptr || ((mode & DM_IN_BUFFER) && in == nullptr)) {
    SetLastError(87);  // invalid parameter
    return -1;
  }
  DEVMODE m = r->devmode;
  if (mode & DM_IN_BUFFER) merge(m, *in, r->devmode.dmFields);
  *out = m;
  return 1;
}

namespace test {

void setPrinters(const std::vector<Printer>& list) {
  std::vector<printer::Record> records;
  for (const Printer& p : list) {
    printer::Record r;
    r.device = p.device;
    r.driver = p.driver;
    r.port = p.port;
    r.dpix = p.dpix;
    r.dpiy = p.dpiy;
    r.numcolors = p.numcolors;
    r.isDefault = p.isDefault;
    printer::startDevmode(r, p.width * 25.4 / p.dpix, p.height * 25.4 / p.dpiy, 0);
    if (p.fields != 0) r.devmode.dmFields = p.fields;
    // The page is the test's, to the pixel.
    r.width = p.width;
    r.height = p.height;
    records.push_back(std::move(r));
  }
  store().printers = std::move(records);
}

void resetPrinters() { store().printers.reset(); }

void failNextPrinter(const std::string& service, DWORD code) { store().failures[service] = code; }

int openPrinters() { return static_cast<int>(store().open.size()); }

void onPrinterQuery(std::function<void()> hook) { store().queryHook = std::move(hook); }

}  // namespace test

}  // namespace win
