// toolkit/raster/printer_info.cpp: which printer is meant and what its page is.
// Invariants: (1) after a successful yywprinfo GotPrName is 1 and every saved setting is
// "not set"; (2) yywprinfo leaves the floating-point control state as it found it, whatever
// the printer's driver did to it; (3) a failed query never reports error 0.
#include "toolkit/raster/printer_info.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "platform/printer.h"
#include "toolkit/state/tessar.h"

namespace {

std::fenv_t gSavedControlWord;

// Given when the platform names no code of its own, so that a failure never reads as 0.
constexpr int kNoPrinterCode = static_cast<int>(win::ERROR_INVALID_PRINTER_NAME);

template <std::size_t N>
void storeName(std::array<char, N>& field, std::string_view name) {
  const std::size_t n = std::min(name.size(), N - 1);
  field.fill('\0');
  std::memcpy(field.data(), name.data(), n);
}

}  // namespace

int yywprintername() {
  PrinterSettings& ps = tessar.raster.printersettings;
  std::array<char, 552> entry{};
  const win::DWORD got = win::GetProfileString("windows", "Device", "", entry.data(),
                                               static_cast<win::DWORD>(entry.size()));
  if (got == 0) return 0;
  const std::string_view text(entry.data(), got);
  std::string_view parts[3];
  std::size_t start = 0;
  int part = 0;
  for (std::size_t i = 0; i < text.size() && part < 2; ++i) {
    if (text[i] != ',') continue;
    parts[part++] = text.substr(start, i - start);
    start = i + 1;
    while (start < text.size() && text[start] == ' ') ++start;
    i = start - 1;
  }
  parts[part] = text.substr(std::min(start, text.size()));
  storeName(ps.lpPrintType, parts[0]);
  storeName(ps.lpPrintDriver, parts[1]);
  storeName(ps.lpPrintPort, parts[2]);
  ps.GotPrName = 1;
  return 1;
}

void yywprinfo(int& longside, int& shortside, int& width, int& height, int& left, int& top,
               int& orientation, int& copies, int& colours, int& error) {
  PrinterSettings& ps = tessar.raster.printersettings;
  longside = shortside = width = height = left = top = orientation = copies = colours = 0;
  error = 0;
  yygetcw(gSavedControlWord);
  if (ps.GotPrName == 0) {
    if (yywprintername() == 1)
      ps.PageDlgShown = 0;
    else
      error = static_cast<int>(win::GetLastError());
  }
  if (error == 0) {
    const win::HIC ic = win::CreateIC(ps.lpPrintDriver.data(), ps.lpPrintType.data(), nullptr,
                                      nullptr);
    const int dpix = ic ? win::GetDeviceCaps(ic, 88) : 0;   // LOGPIXELSX
    const int dpiy = ic ? win::GetDeviceCaps(ic, 90) : 0;   // LOGPIXELSY
    if (ic == nullptr || dpix <= 0 || dpiy <= 0) {
      error = ic ? kNoPrinterCode : static_cast<int>(win::GetLastError());
      if (error == 0) error = kNoPrinterCode;
      if (ic) win::DeleteDC(ic);
    } else {
      left = top = 72;
      orientation = 1;
      const int w = win::GetDeviceCaps(ic, win::PHYSICALWIDTH) * 72 / dpix;
      const int h = win::GetDeviceCaps(ic, win::PHYSICALHEIGHT) * 72 / dpiy;
      longside = std::max(w, h);
      shortside = std::min(w, h);
      width = longside - 144;
      height = shortside - 144;
      copies = 1;
      colours = win::GetDeviceCaps(ic, 24);                  // NUMCOLORS
      win::DeleteDC(ic);
      ps.prSize = ps.prLength = ps.prWidth = ps.prScale = ps.prSource = ps.prQuality =
          ps.prColor = ps.prDuplex = ps.prYRes = ps.prTTOption = ps.prCollate = -1;
      ps.prMedia = ps.prDither = 99999;
    }
  }
  yysetcw(gSavedControlWord);
}

bool yywprdevmode(int landscape, int copies, win::DEVMODE& mode) {
  const PrinterSettings& ps = tessar.raster.printersettings;
  win::HPRINTER printer = nullptr;
  if (!win::OpenPrinter(ps.lpPrintType.data(), printer, nullptr)) return false;
  const win::LONG size = win::DocumentProperties(nullptr, printer, ps.lpPrintType.data(),
                                                 nullptr, nullptr, 0);
  win::DEVMODE m;
  // A device mode that cannot be had is no device mode: the printer's defaults are not
  // guessed from an empty one.
  if (size < static_cast<win::LONG>(sizeof(win::DEVMODE)) ||
      win::DocumentProperties(nullptr, printer, ps.lpPrintType.data(), &m, nullptr,
                              win::DM_OUT_BUFFER) < 0) {
    win::ClosePrinter(printer);
    return false;
  }
  const win::DWORD supported = m.dmFields;
  m.dmFields = 0;
  auto apply = [&](win::DWORD bit, bool set, auto&& store) {
    if (!set || (supported & bit) == 0) return;
    store();
    m.dmFields |= bit;
  };
  apply(win::DM_ORIENTATION, true, [&] {
    m.dmOrientation = landscape != 0 ? win::DMORIENT_LANDSCAPE : win::DMORIENT_PORTRAIT;
  });
  apply(win::DM_COPIES, true, [&] { m.dmCopies = static_cast<short>(copies & 0xFFFF); });
  apply(win::DM_PAPERSIZE, ps.prSize != -1, [&] { m.dmPaperSize = ps.prSize; });
  apply(win::DM_PAPERLENGTH, ps.prLength != -1, [&] { m.dmPaperLength = ps.prLength; });
  apply(win::DM_PAPERWIDTH, ps.prWidth != -1, [&] { m.dmPaperWidth = ps.prWidth; });
  apply(win::DM_SCALE, ps.prScale != -1, [&] { m.dmScale = ps.prScale; });
  apply(win::DM_DEFAULTSOURCE, ps.prSource != -1, [&] { m.dmDefaultSource = ps.prSource; });
  apply(win::DM_PRINTQUALITY, ps.prQuality != -1, [&] { m.dmPrintQuality = ps.prQuality; });
  apply(win::DM_COLOR, ps.prColor != -1, [&] { m.dmColor = ps.prColor; });
  apply(win::DM_DUPLEX, ps.prDuplex != -1, [&] { m.dmDuplex = ps.prDuplex; });
  apply(win::DM_YRESOLUTION, ps.prYRes != -1, [&] { m.dmYResolution = ps.prYRes; });
  apply(win::DM_TTOPTION, ps.prTTOption != -1, [&] { m.dmTTOption = ps.prTTOption; });
  apply(win::DM_COLLATE, ps.prCollate != -1, [&] { m.dmCollate = ps.prCollate; });
  apply(win::DM_MEDIATYPE, ps.prMedia != 99999,
        [&] { m.dmMediaType = static_cast<win::DWORD>(ps.prMedia); });
  apply(win::DM_DITHERTYPE, ps.prDither != 99999,
        [&] { m.dmDitherType = static_cast<win::DWORD>(ps.prDither); });
  if (m.dmFields != 0)
    win::DocumentProperties(nullptr, printer, ps.lpPrintType.data(), &m, &m,
                            win::DM_IN_BUFFER | win::DM_OUT_BUFFER);
  win::ClosePrinter(printer);
  mode = m;
  return true;
}

win::HDC yywprgetdc(int landscape, int copies) {
  win::DEVMODE mode;
  if (!yywprdevmode(landscape, copies, mode)) return nullptr;
  const PrinterSettings& ps = tessar.raster.printersettings;
  return win::CreateDC(ps.lpPrintDriver.data(), ps.lpPrintType.data(), ps.lpPrintPort.data(), &mode);
}

std::uint16_t yywprpalsize(const void* header) {
  const auto* bytes = static_cast<const unsigned char*>(header);
  std::uint32_t size = 0;
  std::memcpy(&size, bytes, 4);
  const bool core = size == 12;
  unsigned entries = 0;
  std::uint16_t bits = 0;
  if (core) {
    std::memcpy(&bits, bytes + 10, 2);
  } else {
    std::uint32_t used = 0;
    std::memcpy(&used, bytes + 32, 4);
    if (used != 0) entries = used & 0xFFFFu;
    else std::memcpy(&bits, bytes + 14, 2);
  }
  if (entries == 0) entries = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
  return static_cast<std::uint16_t>(entries * (core ? 3 : 4));
}

void yygetcw(std::fenv_t& word) { std::fegetenv(&word); }

void yysetcw(const std::fenv_t& word) { std::fesetenv(&word); }
