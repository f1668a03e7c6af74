// toolkit/editor/editor_print.cpp: printing an editor's text, or part of it, page by page
// through the control's page formatting onto a printer device context, and the two page
// set-up records (1: the Print commands, always with the dialog; 0: printing by program).
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>

#include "platform/common_dialogs.h"
#include "platform/message_box.h"
#include "platform/printer.h"
#include "platform/richedit.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/window/window.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/printer_blocks.h"

using namespace win;

namespace {

struct PrintSetup {
  PAGESETUPDLG psd;
  RECT minimum{};   // the printer's unprintable borders, in the record's units
};

std::array<PrintSetup, 2> setups;
bool fetched = false;

bool haschild(HWND h) { return (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0; }

int unitsOf(const PAGESETUPDLG& psd) { return (psd.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) != 0 ? 2540 : 1000; }

// The printer's unprintable borders become the record's minimum margins.
void takeBorders(PrintSetup& s, HDC dc) {
  const long u = unitsOf(s.psd);
  const long dpiX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX)), dpiY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
  const long offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  const long right = GetDeviceCaps(dc, PHYSICALWIDTH) - GetDeviceCaps(dc, HORZRES) - offX;
  const long bottom = GetDeviceCaps(dc, PHYSICALHEIGHT) - GetDeviceCaps(dc, VERTRES) - offY;
  s.minimum = RECT{static_cast<LONG>(offX * u / dpiX), static_cast<LONG>(offY * u / dpiY),
                   static_cast<LONG>(right * u / dpiX), static_cast<LONG>(bottom * u / dpiY)};
}

void fill(PrintSetup& s, HWND owner) { s.psd.hwndOwner = owner; }

}  // namespace

void yyEditPrintInit() {
  if (fetched) return;
  for (PrintSetup& s : setups) {
    s.psd = PAGESETUPDLG{};
    s.psd.hwndOwner = winslot(0).wWindow;
    s.psd.Flags = PSD_RETURNDEFAULT | PSD_INTHOUSANDTHSOFINCHES;
    PageSetupDlg(s.psd);
    // One inch all round until the user chooses.
    s.psd.rtMargin = RECT{1000, 1000, 1000, 1000};
  }
  fetched = true;
}

int yyEditPrint(HWND frame, EditorRecord& r, int part, int index, int from, int to, const std::string& name) {
  PrintSetup& s = setups[static_cast<std::size_t>(index != 0)];
  yyEditPrintInit();
  fill(s, frame);
  s.psd.Flags = (s.psd.Flags & ~PSD_RETURNDEFAULT) | PSD_MARGINS;
  const bool interactive = index != 0;
  auto giveBack = [&] {
    if (interactive && haschild(frame)) {
      SetFocus(frame);
      yytitlecolour(frame);
    }
  };
  if (interactive) {
    if (r.mode == 2) yyDisableDialogs(frame, 1);
    const BOOL ok = PageSetupDlg(s.psd);
    if (r.mode == 2) yyEnableDialogs(frame, 1);
    if (!ok) {
      giveBack();
      return 0;
    }
  }
  HDC dc = yyprinterdc(s.psd);
  if (dc == nullptr) {
    if (interactive) {
      MessageBox(frame, "Unable to print text", "Print Error", MB_OK | MB_ICONWARNING);
      giveBack();
    }
    return 0;
  }
  takeBorders(s, dc);
  const long u = unitsOf(s.psd);
  const PAGESETUPDLG& p = s.psd;
  FORMATRANGE fr;
  fr.hdc = fr.hdcTarget = dc;
  fr.rc = RECT{static_cast<LONG>((p.rtMargin.left - s.minimum.left) * 1440L / u),
               static_cast<LONG>((p.rtMargin.top - s.minimum.top) * 1440L / u),
               static_cast<LONG>((p.ptPaperSize.x - p.rtMargin.right - s.minimum.right) * 1440L / u),
               static_cast<LONG>((p.ptPaperSize.y - p.rtMargin.bottom - s.minimum.bottom) * 1440L / u)};
  fr.rcPage = RECT{0, 0, static_cast<LONG>(p.ptPaperSize.x * 1440L / u), static_cast<LONG>(p.ptPaperSize.y * 1440L / u)};
  // The control counts each line end once.
  LONG start = 0, end = static_cast<LONG>(SendMessage(r.control, WM_GETTEXTLENGTH, 0, 0));
  if (part != 0 && index != 0) {
    CHARRANGE sel;
    SendMessage(r.control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    start = sel.cpMin;
    end = sel.cpMax;
  } else if (part != 0) {
    start = from;
    end = to;
  }
  if (start >= end) {
    // Nothing to print (an empty selection): no job at all.
    DeleteDC(dc);
    return 1;
  }
  std::string doc = interactive ? r.filename : name;
  if (doc.empty()) doc = "Untitled Text";
  DOCINFO di;
  di.lpszDocName = doc.c_str();
  bool ok = StartDoc(dc, di) > 0;
  while (ok && start < end) {
    ok = StartPage(dc) > 0;
    if (!ok) break;
    fr.chrg = CHARRANGE{start, end};
    const LONG next = static_cast<LONG>(SendMessage(r.control, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr)));
    ok = EndPage(dc) > 0;
    // Margins that leave no room for a line: the text cannot be printed.
    if (next <= start) ok = false;
    start = next;
  }
  SendMessage(r.control, EM_FORMATRANGE, FALSE, 0);
  if (ok) ok = EndDoc(dc) > 0;
  else AbortDoc(dc);
  DeleteDC(dc);
  if (!ok) {
    if (interactive) {
      MessageBox(frame, "Unable to print text", "Print Error", MB_OK | MB_ICONWARNING);
      giveBack();
    }
    return 0;
  }
  return 1;
}

void yyeditprintsetup(int units, int index, int& result) {
  result = 0;
  yyEditPrintInit();
  PrintSetup& s = setups[static_cast<std::size_t>(index != 0)];
  const DWORD oldUnits = s.psd.Flags & (PSD_INTHOUSANDTHSOFINCHES | PSD_INHUNDREDTHSOFMILLIMETERS);
  if (units < 0) {
    char m[4] = {};
    GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, m, sizeof m);
    units = m[0] == '1' ? 1 : 2;
  }
  const DWORD unit = units < 2 ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS;
  s.psd.Flags = unit;
  HWND owner = hDlgCur != nullptr ? hDlgCur : hWinCur;
  while (owner != nullptr && haschild(owner) && GetParent(owner) != nullptr) owner = GetParent(owner);
  fill(s, owner);
  if (unit != oldUnits) {
    const double f = unit == PSD_INHUNDREDTHSOFMILLIMETERS ? 2.54065 : 0.3936000629760101;
    auto conv = [f](LONG& v) { v = static_cast<LONG>(v * f); };
    conv(s.psd.ptPaperSize.x);
    conv(s.psd.ptPaperSize.y);
    conv(s.psd.rtMargin.left);
    conv(s.psd.rtMargin.top);
    conv(s.psd.rtMargin.right);
    conv(s.psd.rtMargin.bottom);
  }
  s.psd.Flags |= PSD_MARGINS;
  if (!PageSetupDlg(s.psd)) return;
  result = 1;
  if (HDC dc = yyprinterdc(s.psd)) {
    takeBorders(s, dc);
    DeleteDC(dc);
  }
}

void yyeditprintgetpossize(int item, int& value, int index) {
  const PAGESETUPDLG& p = setups[static_cast<std::size_t>(index != 0)].psd;
  const long u = unitsOf(p);
  switch (item) {
    case 1: value = static_cast<int>((p.rtMargin.right - p.rtMargin.left) * 72L / u); break;
    case 2: value = static_cast<int>((p.rtMargin.bottom - p.rtMargin.top) * 72L / u); break;
    case 3: value = static_cast<int>(p.rtMargin.left * 72L / u); break;
    case 4: value = static_cast<int>(p.rtMargin.top * 72L / u); break;
    case 5: value = p.ptPaperSize.x > p.ptPaperSize.y ? 1 : 0; break;
    default: break;
  }
}

void yyeditprintsetpossize(int item, int value, int index) {
  yyEditPrintInit();
  PAGESETUPDLG& p = setups[static_cast<std::size_t>(index != 0)].psd;
  const long u = unitsOf(p);
  const LONG v = static_cast<LONG>(value * u / 72L);
  switch (item) {
    case 1: p.rtMargin.right = p.rtMargin.left + v; break;
    case 2: p.rtMargin.bottom = p.rtMargin.top + v; break;
    case 3: p.rtMargin.left = v; break;
    case 4: p.rtMargin.top = v; break;
    case 5: {
      if (value < 0 || value > 3) break;
      const bool landscape = value == 1 || value == 3;
      if (landscape != (p.ptPaperSize.x > p.ptPaperSize.y)) {
        std::swap(p.ptPaperSize.x, p.ptPaperSize.y);
        if (p.hDevMode != nullptr && GlobalSize(p.hDevMode) >= sizeof(DEVMODE)) {
          auto* m = static_cast<DEVMODE*>(GlobalLock(p.hDevMode));
          m->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
          GlobalUnlock(p.hDevMode);
        }
      }
      int w = 0, h = 0;
      yyeditprintgetpossize(1, w, index);
      yyeditprintgetpossize(2, h, index);
      if ((value == 2 && h < w) || (value == 3 && w < h)) {
        yyeditprintsetpossize(1, h, index);
        yyeditprintsetpossize(2, w, index);
      }
      break;
    }
    default: break;
  }
}

void yyeditprintprog(int& result, int from, int to, std::string_view name) {
  result = 0;
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) return;
  const HWND frame = yyeditframe();
  if (from >= 0 && from < to) {
    result = yyEditPrint(frame, *r, 1, 0, yyEditAdjustPos(*r, from), yyEditAdjustPos(*r, to), std::string(name));
  } else {
    result = yyEditPrint(frame, *r, 0, 0, 0, 0, std::string(name));
  }
}
