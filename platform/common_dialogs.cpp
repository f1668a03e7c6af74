// platform/common_dialogs.cpp: the page set-up dialog, the colour chooser and the folder
// browser (the desktop's through native_dialogs.h, else the layer's own), and the user's
// measurement system.
// Invariants: (1) a cancelled or failed dialog changes nothing of the caller's; (2) on OK
// the page set-up's blocks name a printer the layer knows, and its paper size and margins
// are in the caller's units with the paper turned as the orientation says.
#include "platform/common_dialogs.h"

#include <dirent.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/combobox.h"
#include "platform/edit.h"
#include "platform/listbox.h"
#include "platform/message_box.h"
#include "platform/own_dialog.h"
#include "platform/printer.h"

namespace win {
namespace {

DWORD pageError = 0;
DWORD colourError = 0;

std::string text(HWND dialog, int id) {
  char buffer[4096] = {};
  GetDlgItemText(dialog, id, buffer, sizeof buffer);
  return buffer;
}

native::Questions questionsof(HWND dialog) {
  return {[dialog](const std::string& question, const std::string& title) {
            return MessageBox(dialog, question.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
          },
          [dialog](const std::string& message, const std::string& title) {
            MessageBox(dialog, message.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION);
          }};
}

bool number(const std::string& t, double& value) {
  const char* p = t.c_str();
  char* end = nullptr;
  value = std::strtod(p, &end);
  if (end == p) return false;
  while (*end == ' ') ++end;
  return *end == '\0' && std::isfinite(value) && value >= 0;
}

std::string shown(double value, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", digits, value);
  return buffer;
}

//------------------------------------------------------------------------------
// [SECTION] Page set-up
//------------------------------------------------------------------------------
struct Paper {
  const char* name;
  short code;
};
constexpr Paper kPapers[] = {{"A4", DMPAPER_A4}, {"Letter", DMPAPER_LETTER}, {"Legal", DMPAPER_LEGAL},
                             {"A3", DMPAPER_A3}, {"A5", DMPAPER_A5}};

// The printer's current settings with the fields of in merged (nullptr: as they are).
bool devmodeOf(const std::string& device, DEVMODE& mode, const DEVMODE* in = nullptr) {
  HPRINTER p = nullptr;
  if (!OpenPrinter(device.c_str(), p, nullptr)) return false;
  const LONG r = DocumentProperties(nullptr, p, device.c_str(), &mode, in,
                                    in != nullptr ? DM_IN_BUFFER | DM_OUT_BUFFER : DM_OUT_BUFFER);
  ClosePrinter(p);
  return r >= 0;
}

HGLOBAL blockOf(const void* data, std::size_t size) {
  HGLOBAL h = GlobalAlloc(GHND, size);
  if (h == nullptr) return nullptr;
  std::memcpy(GlobalLock(h), data, size);
  GlobalUnlock(h);
  return h;
}

// Replaces the caller's block by a new one with the data (the caller frees the old one only
// through us here, as it handed it in).
void putBlock(HGLOBAL& h, const void* data, std::size_t size) {
  if (h != nullptr) GlobalFree(h);
  h = blockOf(data, size);
}

PRINTER_NAMES namesOf(HGLOBAL h) {
  PRINTER_NAMES n;
  const std::size_t size = GlobalSize(h);
  const char* p = static_cast<const char*>(GlobalLock(h));
  if (p == nullptr) return n;
  std::string all(p, size);
  GlobalUnlock(h);
  std::size_t a = all.find('\0');
  std::size_t b = a == std::string::npos ? a : all.find('\0', a + 1);
  n.driver = all.substr(0, a);
  if (a != std::string::npos) n.device = all.substr(a + 1, b == std::string::npos ? b : b - a - 1);
  if (b != std::string::npos) n.port = all.substr(b + 1, all.find('\0', b + 1) - b - 1);
  return n;
}

std::string namesBytes(const PRINTER_NAMES& n) {
  std::string s = n.driver;
  s += '\0';
  s += n.device;
  s += '\0';
  s += n.port;
  s += '\0';
  return s;
}

// Tenths of a millimetre in the caller's units.
int units(int tenths, bool mm) {
  return mm ? tenths * 10 : static_cast<int>(std::lround(tenths * 1000.0 / 254.0));
}

struct PageState {
  native::PageRequest request;
  std::vector<PRINTER_NAMES> printers;
  std::vector<short> papers;   // codes of request.papers
};

constexpr int kPrinter = 1201, kPaper = 1202, kPortrait = 1203, kLandscape = 1204, kMargin = 1205;   // 1205-1208

bool takePage(HWND dialog, PageState& s) {
  native::PageRequest& r = s.request;
  double m[4] = {};
  for (int i = 0; i < 4; ++i)
    if (!number(text(dialog, kMargin + i), m[i])) {
      MessageBox(dialog, "Enter a number of 0 or more for each margin.", "Page Setup", MB_OK | MB_ICONEXCLAMATION);
      SetFocus(GetDlgItem(dialog, kMargin + i));
      return false;
    }
  r.printer = static_cast<int>(SendMessage(GetDlgItem(dialog, kPrinter), CB_GETCURSEL, 0, 0));
  r.paper = static_cast<int>(SendMessage(GetDlgItem(dialog, kPaper), CB_GETCURSEL, 0, 0));
  r.landscape = IsDlgButtonChecked(dialog, kLandscape) == BST_CHECKED;
  std::copy(m, m + 4, r.margins);
  return true;
}

INT_PTR pageProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = reinterpret_cast<PageState*>(GetWindowLongPtr(dialog, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    s = reinterpret_cast<PageState*>(lParam);
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    SetWindowText(dialog, "Page Setup");
    const std::string margins = std::string("Margins (") + (std::strcmp(s->request.unit, "in") == 0 ? "inches" : "millimetres") + ")";
    const owndialog::Item items[] = {
        {0, "STATIC", "P&rinter:", SS_LEFT, 8, 12, 80, 16},
        {kPrinter, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 96, 8, 254, 120},
        {0, "STATIC", "Paper &size:", SS_LEFT, 8, 40, 80, 16},
        {kPaper, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 96, 36, 254, 120},
        {0, "STATIC", "Orientation:", SS_LEFT, 8, 68, 80, 16},
        {kPortrait, "BUTTON", "&Portrait", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 96, 66, 100, 18},
        {kLandscape, "BUTTON", "&Landscape", BS_AUTORADIOBUTTON, 200, 66, 100, 18},
        {0, "STATIC", margins.c_str(), SS_LEFT | WS_GROUP, 8, 96, 200, 16},
        {0, "STATIC", "L&eft:", SS_LEFT, 8, 122, 50, 16},
        {kMargin, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 60, 120, 70, 20},
        {0, "STATIC", "&Top:", SS_LEFT, 8, 148, 50, 16},
        {kMargin + 1, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 60, 146, 70, 20},
        {0, "STATIC", "Ri&ght:", SS_LEFT, 180, 122, 50, 16},
        {kMargin + 2, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 240, 120, 70, 20},
        {0, "STATIC", "&Bottom:", SS_LEFT, 180, 148, 50, 16},
        {kMargin + 3, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 240, 146, 70, 20},
        {IDOK, "BUTTON", "OK", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 190, 182, 76, 23},
        {IDCANCEL, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 274, 182, 76, 23},
    };
    owndialog::build(dialog, items, 358, 214);
    const native::PageRequest& r = s->request;
    for (const std::string& p : r.printers)
      SendMessage(GetDlgItem(dialog, kPrinter), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.c_str()));
    SendMessage(GetDlgItem(dialog, kPrinter), CB_SETCURSEL, static_cast<WPARAM>(r.printer), 0);
    for (const std::string& p : r.papers)
      SendMessage(GetDlgItem(dialog, kPaper), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.c_str()));
    SendMessage(GetDlgItem(dialog, kPaper), CB_SETCURSEL, static_cast<WPARAM>(r.paper), 0);
    CheckRadioButton(dialog, kPortrait, kLandscape, r.landscape ? kLandscape : kPortrait);
    const int digits = std::strcmp(r.unit, "in") == 0 ? 2 : 1;
    for (int i = 0; i < 4; ++i) SetDlgItemText(dialog, kMargin + i, shown(r.margins[i], digits).c_str());
    SendMessage(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kPrinter)), TRUE);
    return FALSE;
  }
  if (msg == WM_COMMAND && s != nullptr) {
    const int id = LOWORD(wParam);
    if (id == IDOK) {
      if (takePage(dialog, *s)) EndDialog(dialog, IDOK);
      return TRUE;
    }
    if (id == IDCANCEL) {
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    }
  }
  return FALSE;
}

//------------------------------------------------------------------------------
// [SECTION] Colour chooser
//------------------------------------------------------------------------------
constexpr int kRed = 1301;   // 1301-1303 red, green, blue

INT_PTR colourProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* r = reinterpret_cast<native::ColourRequest*>(GetWindowLongPtr(dialog, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    r = reinterpret_cast<native::ColourRequest*>(lParam);
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    SetWindowText(dialog, "Color");
    const owndialog::Item items[] = {
        {0, "STATIC", "&Red:", SS_LEFT, 8, 12, 60, 16},
        {kRed, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_NUMBER, 72, 10, 60, 20},
        {0, "STATIC", "&Green:", SS_LEFT, 8, 38, 60, 16},
        {kRed + 1, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_NUMBER, 72, 36, 60, 20},
        {0, "STATIC", "&Blue:", SS_LEFT, 8, 64, 60, 16},
        {kRed + 2, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_NUMBER, 72, 62, 60, 20},
        {IDOK, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 150, 10, 76, 23},
        {IDCANCEL, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 150, 38, 76, 23},
    };
    owndialog::build(dialog, items, 234, 92);
    for (int i = 0; i < 3; ++i)
      SetDlgItemText(dialog, kRed + i, std::to_string((r->colour >> (8 * i)) & 0xFF).c_str());
    SendMessage(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kRed)), TRUE);
    return FALSE;
  }
  if (msg == WM_COMMAND && r != nullptr) {
    const int id = LOWORD(wParam);
    if (id == IDOK) {
      COLORREF c = 0;
      for (int i = 0; i < 3; ++i) {
        double v = 0;
        if (!number(text(dialog, kRed + i), v) || v > 255 || v != std::floor(v)) {
          MessageBox(dialog, "Enter a whole number from 0 to 255.", "Color", MB_OK | MB_ICONEXCLAMATION);
          SetFocus(GetDlgItem(dialog, kRed + i));
          return TRUE;
        }
        c |= static_cast<COLORREF>(v) << (8 * i);
      }
      r->colour = c;
      EndDialog(dialog, IDOK);
      return TRUE;
    }
    if (id == IDCANCEL) {
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    }
  }
  return FALSE;
}

//------------------------------------------------------------------------------
// [SECTION] Folder browser
//------------------------------------------------------------------------------
constexpr int kPath = 1401, kFolders = 1402;

// Folders are held as the system's names while the browser runs (as in file_dialog.cpp).
struct FolderState {
  BROWSEINFO* bi = nullptr;
  std::string folder;               // the folder whose subfolders the list shows
  std::vector<std::string> names;   // the list's entries
  std::string picked, pickedText;   // the entry last picked and the text it put in the path field
};

// The folder taken (a system name) handed to the caller's check in the code page; a name
// the code page cannot hold is refused with the characters named.
bool takeFolder(BROWSEINFO& bi, const std::string& system, const native::Questions& q, std::string& taken) {
  std::string path;
  if (!cp1252FromUtf8Strict(system, path)) {
    q.tell(unusableNameMessage(system), bi.title);
    return false;
  }
  if (bi.validate && !bi.validate(path, q)) return false;
  taken = path;
  return true;
}

bool isdir(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string child(const std::string& folder, const std::string& name) {
  if (name == "..") {
    const std::size_t slash = folder.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : folder.substr(0, slash);
  }
  return folder == "/" ? "/" + name : folder + "/" + name;
}

void listFolders(HWND dialog, FolderState& s) {
  HWND list = GetDlgItem(dialog, kFolders);
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  std::vector<std::string>& names = s.names;
  names.clear();
  if (s.folder != "/") names.push_back("..");
  if (DIR* d = ::opendir(s.folder.c_str())) {
    std::vector<std::string> found;
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name[0] != '.' && isdir(child(s.folder, name))) found.push_back(name);
    }
    ::closedir(d);
    std::sort(found.begin(), found.end());
    names.insert(names.end(), found.begin(), found.end());
  }
  for (const std::string& n : names)
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(cp1252FromUtf8Shown(n).c_str()));
  SetDlgItemText(dialog, kPath, cp1252FromUtf8Shown(s.folder).c_str());
}

INT_PTR folderProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = reinterpret_cast<FolderState*>(GetWindowLongPtr(dialog, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    s = reinterpret_cast<FolderState*>(lParam);
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    SetWindowText(dialog, s->bi->title.c_str());
    const owndialog::Item items[] = {
        {kPath, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 8, 320, 20},
        {kFolders, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY, 8, 34, 320, 200},
        {IDOK, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 168, 242, 76, 23},
        {IDCANCEL, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 252, 242, 76, 23},
    };
    owndialog::build(dialog, items, 336, 273);
    listFolders(dialog, *s);
    SetDlgItemText(dialog, kPath, s->bi->folder.c_str());
    SendMessage(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kPath)), TRUE);
    return FALSE;
  }
  if (msg == WM_COMMAND && s != nullptr) {
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (id == kFolders && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
      HWND list = GetDlgItem(dialog, kFolders);
      const int i = static_cast<int>(SendMessage(list, LB_GETCURSEL, 0, 0));
      if (i < 0 || i >= static_cast<int>(s->names.size())) return TRUE;
      const std::string path = child(s->folder, s->names[static_cast<std::size_t>(i)]);
      if (code == LBN_DBLCLK) {
        s->folder = path;
        listFolders(dialog, *s);
      } else {
        s->picked = path;
        s->pickedText = cp1252FromUtf8Shown(path);
        SetDlgItemText(dialog, kPath, s->pickedText.c_str());
      }
      return TRUE;
    }
    if (id == IDOK) {
      const std::string typed = text(dialog, kPath);
      std::string path = !s->picked.empty() && typed == s->pickedText ? s->picked : utf8FromCp1252(typed);
      if (!path.empty() && path[0] != '/') path = child(s->folder, path);
      std::string taken;
      if (takeFolder(*s->bi, path, questionsof(dialog), taken)) {
        s->bi->folder = taken;
        EndDialog(dialog, IDOK);
      }
      return TRUE;
    }
    if (id == IDCANCEL) {
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

BOOL PageSetupDlg(PAGESETUPDLG& psd) {
  pageError = 0;
  const bool mm = (psd.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) != 0;
  // The printer: the one the caller's blocks name, else the default printer.
  PRINTER_NAMES names;
  DEVMODE mode;
  if (psd.hDevNames != nullptr) names = namesOf(psd.hDevNames);
  if (names.device.empty()) {
    char entry[600] = {};
    if (GetProfileString("windows", "Device", "", entry, sizeof entry) == 0) {
      pageError = PDERR_NODEFAULTPRN;
      return FALSE;
    }
    const std::string e = entry;
    const std::size_t a = e.find(','), b = a == std::string::npos ? a : e.find(',', a + 1);
    names.device = e.substr(0, a);
    if (a != std::string::npos) names.driver = e.substr(a + 1, b == std::string::npos ? b : b - a - 1);
    if (b != std::string::npos) names.port = e.substr(b + 1);
  }
  const DEVMODE* kept = nullptr;
  DEVMODE keptMode;
  if (psd.hDevMode != nullptr && GlobalSize(psd.hDevMode) >= sizeof(DEVMODE)) {
    std::memcpy(&keptMode, GlobalLock(psd.hDevMode), sizeof(DEVMODE));
    GlobalUnlock(psd.hDevMode);
    kept = &keptMode;
  }
  if (!devmodeOf(names.device, mode, kept)) {
    pageError = PDERR_PRINTERNOTFOUND;
    return FALSE;
  }
  if (kept != nullptr) {
    // The orientation and copies the caller asked for stand, as the printer takes them.
    mode.dmOrientation = keptMode.dmOrientation;
    mode.dmCopies = keptMode.dmCopies;
  }
  auto paperSize = [&](const DEVMODE& m) {
    POINT p{units(m.dmPaperWidth, mm), units(m.dmPaperLength, mm)};
    if (m.dmOrientation == DMORIENT_LANDSCAPE) std::swap(p.x, p.y);
    return p;
  };
  auto store = [&](const PRINTER_NAMES& n, const DEVMODE& m) {
    putBlock(psd.hDevMode, &m, sizeof m);
    const std::string bytes = namesBytes(n);
    putBlock(psd.hDevNames, bytes.data(), bytes.size());
    psd.ptPaperSize = paperSize(m);
  };
  if ((psd.Flags & PSD_RETURNDEFAULT) != 0) {
    store(names, mode);
    return TRUE;
  }

  PageState s;
  native::PageRequest& r = s.request;
  r.owner = psd.hwndOwner;
  s.printers = EnumPrinters();
  for (std::size_t i = 0; i < s.printers.size(); ++i) {
    r.printers.push_back(s.printers[i].device);
    if (s.printers[i].device == names.device) r.printer = static_cast<int>(i);
  }
  r.paper = -1;
  for (const Paper& p : kPapers) {
    if (p.code == mode.dmPaperSize) r.paper = static_cast<int>(s.papers.size());
    r.papers.push_back(p.name);
    s.papers.push_back(p.code);
  }
  if (r.paper < 0) {
    // The printer's own paper, kept as it is unless another is chosen.
    char label[96];
    std::snprintf(label, sizeof label, "Printer's paper (%.0f x %.0f mm)", mode.dmPaperWidth / 10.0, mode.dmPaperLength / 10.0);
    r.paper = static_cast<int>(s.papers.size());
    r.papers.push_back(label);
    s.papers.push_back(mode.dmPaperSize);
  }
  r.landscape = mode.dmOrientation == DMORIENT_LANDSCAPE;
  r.unit = mm ? "mm" : "in";
  const double per = mm ? 100.0 : 1000.0;   // caller's units per shown unit
  if ((psd.Flags & PSD_MARGINS) != 0) {
    r.margins[0] = psd.rtMargin.left / per;
    r.margins[1] = psd.rtMargin.top / per;
    r.margins[2] = psd.rtMargin.right / per;
    r.margins[3] = psd.rtMargin.bottom / per;
  } else {
    std::fill(r.margins, r.margins + 4, mm ? 25.0 : 1.0);
  }
  const int answer = native::dialogs.page != nullptr ? native::dialogs.page(r)
                                                     : (owndialog::run(psd.hwndOwner, pageProc, &s) == IDOK ? 1 : 0);
  if (answer != 1) return FALSE;

  const PRINTER_NAMES chosen =
      r.printer >= 0 && r.printer < static_cast<int>(s.printers.size()) ? s.printers[static_cast<std::size_t>(r.printer)] : names;
  DEVMODE want;
  want.dmFields = DM_ORIENTATION | DM_COPIES;
  want.dmOrientation = r.landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  want.dmCopies = mode.dmCopies;
  if (r.paper >= 0 && r.paper < static_cast<int>(s.papers.size())) {
    want.dmFields |= DM_PAPERSIZE;
    want.dmPaperSize = s.papers[static_cast<std::size_t>(r.paper)];
    if (chosen.device == names.device && want.dmPaperSize == mode.dmPaperSize) {
      // The printer's own paper: its sizes stay.
      want.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
      want.dmPaperWidth = mode.dmPaperWidth;
      want.dmPaperLength = mode.dmPaperLength;
    }
  }
  DEVMODE result;
  if (!devmodeOf(chosen.device, result, &want)) {
    pageError = PDERR_PRINTERNOTFOUND;
    return FALSE;
  }
  store(chosen, result);
  // Margins that leave no room on the paper are cut so that something can be printed.
  long m[4];
  for (int i = 0; i < 4; ++i) m[i] = std::lround(r.margins[i] * per);
  auto fit = [](long& a, long& b, long size) {
    if (a + b < size) return;
    const long room = std::max(0L, size - 1);
    a = std::min(a, room / 2);
    b = std::min(b, room - a);
  };
  fit(m[0], m[2], psd.ptPaperSize.x);
  fit(m[1], m[3], psd.ptPaperSize.y);
  psd.rtMargin = RECT{static_cast<int>(m[0]), static_cast<int>(m[1]), static_cast<int>(m[2]), static_cast<int>(m[3])};
  return TRUE;
}

DWORD PageSetupError() { return pageError; }

BOOL ChooseColor(CHOOSECOLOR& cc) {
  colourError = 0;
  native::ColourRequest r;
  r.owner = cc.hwndOwner;
  r.colour = (cc.Flags & CC_RGBINIT) != 0 ? cc.rgbResult & 0xFFFFFF : 0;
  if (cc.lpCustColors != nullptr) std::copy(cc.lpCustColors, cc.lpCustColors + 16, r.custom);
  const int answer = native::dialogs.colour != nullptr ? native::dialogs.colour(r)
                                                       : (owndialog::run(cc.hwndOwner, colourProc, &r) == IDOK ? 1 : 0);
  if (answer != 1) return FALSE;
  cc.rgbResult = r.colour;
  if (cc.lpCustColors != nullptr) std::copy(r.custom, r.custom + 16, cc.lpCustColors);
  return TRUE;
}

DWORD ChooseColorError() { return colourError; }

BOOL BrowseForFolder(BROWSEINFO& bi) {
  char cwd[4096] = {};
  const std::string here = ::getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/";
  std::string start = utf8FromCp1252(bi.folder);
  while (start.size() > 1 && start.back() == '/') start.pop_back();
  if (!start.empty() && start[0] != '/') start = child(here, start);
  // The browser opens in the nearest folder there is; the name typed stays in its field.
  std::string open = start.empty() ? here : start;
  while (open.size() > 1 && !isdir(open)) open = child(open, "..");
  if (native::dialogs.file != nullptr) {
    native::FileRequest r;
    r.kind = native::FileRequest::Folder;
    r.owner = bi.hwndOwner;
    r.title = bi.title;
    r.folder = open;
    std::string taken;
    r.accept = [&](std::vector<std::string>& paths, int, const native::Questions& q) {
      return paths.size() == 1 && takeFolder(bi, paths[0], q, taken);
    };
    if (native::dialogs.file(r) != 1 || r.paths.empty()) return FALSE;
    bi.folder = taken;
    return TRUE;
  }
  FolderState s;
  s.bi = &bi;
  s.folder = open;
  const std::string typed = bi.folder;
  bi.folder = cp1252FromUtf8Shown(start.empty() ? open : start);
  if (owndialog::run(bi.hwndOwner, folderProc, &s) == IDOK) return TRUE;
  bi.folder = typed;
  return FALSE;
}

int GetLocaleInfo(DWORD /*locale*/, DWORD type, LPSTR data, int size) {
  if (type != LOCALE_IMEASURE || data == nullptr || size < 2) return 0;
  // glibc: 1 metric, 2 U.S.
  int measure = 1;
  if (locale_t loc = newlocale(LC_MEASUREMENT_MASK, "", static_cast<locale_t>(nullptr))) {
    const char* m = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc);
    if (m != nullptr && m[0] != '\0') measure = m[0];
    freelocale(loc);
  }
  data[0] = measure == 2 ? '1' : '0';
  data[1] = '\0';
  return 2;
}

}  // namespace win
