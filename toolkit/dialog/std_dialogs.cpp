// The printer page set-up, the directory browser and the measurement system of the standard
// dialogs, over the platform's dialogs in the standard dialogs' modal frame.
// Invariants: (1) a cancelled or failed page set-up leaves the printer settings as they were;
// (2) the kept printer blocks are the platform's memory blocks, freed only here.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/common_dialogs.h"
#include "platform/os.h"
#include "platform/printer.h"
#include "toolkit/dialog/modal_frame.h"
#include "toolkit/dialog/printer_blocks.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/state/tessar.h"

namespace {

// The page set-up's request for the whole run: the last confirmed printer's blocks and the
// units of the last call.
struct PageSetupRequest {
  win::PAGESETUPDLG psd;
  int units = -1;
};
PageSetupRequest pagesetup;

template <std::size_t N>
void storename(std::array<char, N>& field, const std::string& name) {
  field.fill('\0');
  std::memcpy(field.data(), name.data(), std::min(name.size(), N - 1));
}

bool isdirectory(const std::string& path, bool& exists) {
  win::FileFacts facts;
  int status = 0;
  win::yyfilefacts(path.c_str(), facts, status);
  exists = status == 0 && facts.exists;
  return exists && facts.folder;
}

// The directory browser's state while yyselectdir runs.
struct DirSelect {
  char* buffer = nullptr;
  int length = 0;
  const char* title = nullptr;
  int flags = 0;
};
DirSelect dirselect;

}  // namespace

void yyprintdialog(int& paperwidth, int& paperheight, int& printwidth, int& printheight, int& left, int& top,
                   int& orientation, int& copies, int units, int& colours, int& result) {
  PrinterSettings& ps = tessar.raster.printersettings;
  win::PAGESETUPDLG& psd = pagesetup.psd;
  const win::DWORD unitflag = units < 2 ? win::PSD_INTHOUSANDTHSOFINCHES : win::PSD_INHUNDREDTHSOFMILLIMETERS;
  result = 0;
  // Start from the default printer, or from the printer and paper confirmed last.
  bool ready = true;
  if (ps.PageDlgShown == 0) {
    yyforgetprinterblocks(psd);
    psd.Flags = win::PSD_RETURNDEFAULT | unitflag;
    ready = win::PageSetupDlg(psd) != win::FALSE;
  } else if (units != pagesetup.units) {
    psd.Flags = win::PSD_RETURNDEFAULT | unitflag;
    ready = win::PageSetupDlg(psd) != win::FALSE;
  }
  if (!ready) return;
  pagesetup.units = units;
  win::DEVMODE mode;
  if (yyreadprintermode(psd.hDevMode, mode)) {
    const short want = orientation == 1 ? win::DMORIENT_LANDSCAPE : win::DMORIENT_PORTRAIT;
    if (mode.dmOrientation != want) {
      std::swap(psd.ptPaperSize.x, psd.ptPaperSize.y);
      mode.dmOrientation = want;
    }
    mode.dmCopies = static_cast<short>(copies);
    yywriteprintermode(psd.hDevMode, mode);
  }
  psd.rtMargin = win::RECT{left, top, psd.ptPaperSize.x - printwidth - left, psd.ptPaperSize.y - printheight - top};
  psd.Flags = win::PSD_MARGINS | unitflag;
  win::BOOL ok = win::FALSE;
  yymodalframe([&](win::HWND owner) {
    psd.hwndOwner = owner;
    ok = win::PageSetupDlg(psd);
  });
  if (!ok || !yyreadprintermode(psd.hDevMode, mode)) return;
  paperwidth = psd.ptPaperSize.x;
  paperheight = psd.ptPaperSize.y;
  printwidth = paperwidth - psd.rtMargin.left - psd.rtMargin.right;
  printheight = paperheight - psd.rtMargin.top - psd.rtMargin.bottom;
  left = psd.rtMargin.left;
  top = psd.rtMargin.top;
  orientation = mode.dmOrientation == win::DMORIENT_LANDSCAPE ? 1 : 0;
  copies = mode.dmCopies;
  ps.prSize = mode.dmPaperSize;
  ps.prLength = mode.dmPaperLength;
  ps.prWidth = mode.dmPaperWidth;
  ps.prScale = mode.dmScale;
  ps.prSource = mode.dmDefaultSource;
  ps.prQuality = mode.dmPrintQuality;
  ps.prColor = mode.dmColor;
  ps.prDuplex = mode.dmDuplex;
  ps.prYRes = mode.dmYResolution;
  ps.prTTOption = mode.dmTTOption;
  ps.prCollate = mode.dmCollate;
  ps.prMedia = static_cast<std::int32_t>(mode.dmMediaType);
  ps.prDither = static_cast<std::int32_t>(mode.dmDitherType);
  const std::array<std::string, 3> names = yyprinternames(psd.hDevNames);
  storename(ps.lpPrintDriver, names[0]);
  storename(ps.lpPrintType, names[1]);
  storename(ps.lpPrintPort, names[2]);
  ps.GotPrName = 1;
  ps.PageDlgShown = 1;
  if (win::HIC ic = win::CreateIC(ps.lpPrintDriver.data(), ps.lpPrintType.data(), nullptr, nullptr)) {
    colours = win::GetDeviceCaps(ic, 24);   // NUMCOLORS
    win::DeleteDC(ic);
  }
  result = 1;
}

bool yyBrowseCallbackProc2(std::string& path, const win::native::Questions& q) {
  const int flags = dirselect.flags;
  if (path.size() > 260) path.resize(260);
  bool exists = false;
  const bool directory = isdirectory(path, exists);
  if (!exists && (flags & 64) != 0) {
    if (!q.ask("The specified directory does not exist.\nDo you wish to create it?", "Create Directory?")) return false;
    int status = 0;
    win::yydirm(path.c_str(), status);
    if (status != 0) {
      q.tell("An error occurred creating\nthe specified directory.", "Error");
      return false;
    }
  } else if (!exists && (flags & 4) == 0) {
    q.tell("The specified directory does not exist.\nSpecify a valid directory.", "Invalid Directory");
    return false;
  } else if (exists && !directory) {
    q.tell("The specified path is not a valid directory name.\nSpecify a valid directory.", "Invalid Directory");
    return false;
  }
  // The buffer holds the last path taken.
  if (dirselect.buffer != nullptr && dirselect.length > 0) {
    const std::size_t n = std::min(path.size(), static_cast<std::size_t>(dirselect.length - 1));
    std::memcpy(dirselect.buffer, path.data(), n);
    dirselect.buffer[n] = '\0';
  }
  return true;
}

void yyselectdir(int titleflag, int& answer, int flags, char* directory, const char* title, int length) {
  dirselect = DirSelect{directory, length, titleflag == 1 && title != nullptr ? title : "Select Directory", flags};
  win::BROWSEINFO bi;
  bi.title = dirselect.title;
  bi.folder = directory != nullptr ? std::string(directory, strnlen(directory, static_cast<std::size_t>(std::max(length, 0))))
                                   : std::string();
  bi.validate = yyBrowseCallbackProc2;
  win::BOOL ok = win::FALSE;
  yymodalframe([&](win::HWND owner) {
    bi.hwndOwner = owner;
    ok = win::BrowseForFolder(bi);
  });
  answer = ok ? 1 : 2;
  dirselect = DirSelect{};
}

void yygetmeasure(int& measure) {
  char text[4] = {};
  win::GetLocaleInfo(win::LOCALE_USER_DEFAULT, win::LOCALE_IMEASURE, text, sizeof text);
  measure = text[0] == '1' ? 1 : 2;
}
