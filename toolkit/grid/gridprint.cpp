// Grid printing on the platform's printer device contexts.
#include "toolkit/grid/gridprint.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/common_dialogs.h"
#include "platform/edit.h"
#include "platform/gdi.h"
#include "platform/header.h"
#include "platform/printer.h"
#include "toolkit/dialog/modal_frame.h"
#include "toolkit/dialog/printer_blocks.h"
#include "toolkit/grid/gridedit.h"
#include "toolkit/grid/wgrid.h"

using namespace win;

namespace {

struct GridPrintSettings {
  PAGESETUPDLG psd;    // the printer (mode and names blocks), paper size and margins
  int units = PSD_INTHOUSANDTHSOFINCHES;
  RECT minimum{};      // the printer's unprintable borders, in units; kept, not used
  int left = 0, right = 0, top = 0, bottom = 0;   // printed area of the last print, printer pixels
  int scale = 100, rowlines = 1, columnlines = 1, repeattitles = 1, textcolours = 1, backcolours = 1;
};
std::array<GridPrintSettings, 2> settings;
bool initialised = false;
int registration = -1;   // the grid class registration the records were filled after

GridPrintSettings& pick(int which) { return settings[which == 1 ? 0 : 1]; }

int unitof(const GridPrintSettings& s) { return s.units == PSD_INHUNDREDTHSOFMILLIMETERS ? 2540 : 1000; }

// The default printer's page through the page set-up service, without showing anything.
// Margins: half an inch until the user chooses (the service gives none by default).
void fill(GridPrintSettings& s) {
  yyforgetprinterblocks(s.psd);
  s = GridPrintSettings{};
  s.psd.hwndOwner = winslot(0).wWindow;
  s.psd.Flags = PSD_RETURNDEFAULT | PSD_INTHOUSANDTHSOFINCHES;
  PageSetupDlg(s.psd);
  s.units = PSD_INTHOUSANDTHSOFINCHES;
  s.psd.Flags = s.units;
  s.psd.rtMargin = RECT{500, 500, 500, 500};
}

void line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

int extent(HDC dc, const std::string& t) {
  SIZE s{};
  GetTextExtentPoint32(dc, t.c_str(), static_cast<int>(t.size()), s);
  return s.cx;
}

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

int truncated(double v) { return static_cast<int>(v); }

}  // namespace

void yyGridPrintInit() {
  if (initialised && registration == gridRegistrations) return;
  registration = gridRegistrations;
  fill(settings[0]);
  fill(settings[1]);
  // Colours print only on a printer that has them.
  const auto names = yyprinternames(settings[0].psd.hDevNames);
  int colours = 0;
  if (HIC ic = names[1].empty() ? nullptr : CreateIC(names[0].c_str(), names[1].c_str(), names[2].c_str(), nullptr)) {
    colours = GetDeviceCaps(ic, NUMCOLORS);
    DeleteDC(ic);
  }
  for (GridPrintSettings& s : settings) s.textcolours = s.backcolours = colours == 2 ? 0 : 1;
  initialised = true;
}

void yygridprintgetopt(int& rowlines, int& columnlines, int& repeattitles, int& textcolours, int& backcolours,
                       int& scale, int which) {
  yyGridPrintInit();
  const GridPrintSettings& s = pick(which);
  rowlines = s.rowlines == 1;
  columnlines = s.columnlines == 1;
  repeattitles = s.repeattitles == 1;
  textcolours = s.textcolours == 1;
  backcolours = s.backcolours == 1;
  scale = s.scale;
}

void yygridprintsetopt(int rowlines, int columnlines, int repeattitles, int textcolours, int backcolours, int scale,
                       int which) {
  yyGridPrintInit();
  GridPrintSettings& s = pick(which);
  s.rowlines = rowlines == 1;
  s.columnlines = columnlines == 1;
  s.repeattitles = repeattitles == 1;
  s.textcolours = textcolours == 1;
  s.backcolours = backcolours == 1;
  s.scale = scale;
}

int yygridprintsetup(int units, int which) {
  yyGridPrintInit();
  GridPrintSettings& s = pick(which);
  int measure = units >= 2 ? PSD_INHUNDREDTHSOFMILLIMETERS : PSD_INTHOUSANDTHSOFINCHES;
  if (units == -1) {
    char m[4] = {};
    GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, m, sizeof m);
    measure = m[0] == '1' ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS;
  }
  s.psd.Flags = static_cast<DWORD>(measure);
  if (measure != s.units) {
    const double k = measure == PSD_INHUNDREDTHSOFMILLIMETERS ? 2.54065 : 0.3936000629760101;
    RECT& m = s.psd.rtMargin;
    m = RECT{truncated(m.left * k), truncated(m.top * k), truncated(m.right * k), truncated(m.bottom * k)};
    s.psd.ptPaperSize = POINT{truncated(s.psd.ptPaperSize.x * k), truncated(s.psd.ptPaperSize.y * k)};
    RECT& b = s.minimum;
    b = RECT{truncated(b.left * k), truncated(b.top * k), truncated(b.right * k), truncated(b.bottom * k)};
    s.units = measure;
  }
  s.psd.Flags |= PSD_MARGINS;
  BOOL ok = FALSE;
  yymodalframe([&](HWND owner) {
    s.psd.hwndOwner = owner;
    ok = PageSetupDlg(s.psd);
  });
  s.psd.Flags &= ~static_cast<DWORD>(PSD_MARGINS);
  if (!ok) return 0;
  if (HDC dc = yyprinterdc(s.psd)) {
    const long u = unitof(s);
    const long dpiX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX)), dpiY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
    const long offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    const long right = GetDeviceCaps(dc, PHYSICALWIDTH) - GetDeviceCaps(dc, HORZRES) - offX;
    const long bottom = GetDeviceCaps(dc, PHYSICALHEIGHT) - GetDeviceCaps(dc, VERTRES) - offY;
    s.minimum = RECT{static_cast<LONG>(offX * u / dpiX), static_cast<LONG>(offY * u / dpiY),
                     static_cast<LONG>(right * u / dpiX), static_cast<LONG>(bottom * u / dpiY)};
    DeleteDC(dc);
  }
  return 1;
}

bool yygridprintready(int which) {
  yyGridPrintInit();
  return !yyprinternames(pick(which).psd.hDevNames)[1].empty();
}

int yygridprintunits(int which) {
  yyGridPrintInit();
  return pick(which).units;
}

void yygridprintgetpossize(int item, int& value, int which) {
  yyGridPrintInit();
  const GridPrintSettings& s = pick(which);
  const int u = unitof(s);
  const RECT& m = s.psd.rtMargin;
  switch (item) {
    case 1: value = (s.psd.ptPaperSize.x - m.right - m.left) * 72 / u; break;
    case 2: value = (s.psd.ptPaperSize.y - m.bottom - m.top) * 72 / u; break;
    case 3: value = m.left * 72 / u; break;
    case 4: value = m.top * 72 / u; break;
    case 5: {
      DEVMODE mode;
      value = yyreadprintermode(s.psd.hDevMode, mode) && mode.dmOrientation == DMORIENT_LANDSCAPE ? 1 : 0;
      break;
    }
    default: break;
  }
}

void yygridprintsetpossize(int item, int value, int which) {
  yyGridPrintInit();
  GridPrintSettings& s = pick(which);
  const int u = unitof(s);
  RECT& m = s.psd.rtMargin;
  POINT& paper = s.psd.ptPaperSize;
  switch (item) {
    // Width and height are the printed area: the paper less both margins.
    case 1: m.right = paper.x - m.left - value * u / 72; break;
    case 2: m.bottom = paper.y - m.top - value * u / 72; break;
    case 3: m.left = value * u / 72; break;
    case 4: m.top = value * u / 72; break;
    case 5: {
      if (value < 0 || value > 3) break;
      const short o = value % 2 == 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      DEVMODE mode;
      if (yyreadprintermode(s.psd.hDevMode, mode)) {
        if (o != mode.dmOrientation) std::swap(paper.x, paper.y);
        mode.dmOrientation = o;
        mode.dmFields |= DM_ORIENTATION;
        yywriteprintermode(s.psd.hDevMode, mode);
      }
      if (value >= 2) {
        // The printed area takes the orientation's proportions.
        const int w = paper.x - m.left - m.right, h = paper.y - m.top - m.bottom;
        if ((value == 2 && h < w) || (value == 3 && w < h)) {
          m.right = paper.x - m.left - h;
          m.bottom = paper.y - m.top - w;
        }
      }
      break;
    }
    default: break;
  }
}

void yygridprint(int ident, int& result, int row1, int row2, int col1, int col2, int which, std::string_view docname) {
  result = GridPrintNoPrinter;
  GridInstance* gi = gridservices.locate ? gridservices.locate(ident) : nullptr;
  if (gi == nullptr || gi->window == nullptr) return;
  GridInstance& view = *gi;
  const GridInstance& g = view.data();
  yyGridPrintInit();
  GridPrintSettings& s = pick(which);
  HDC dc = yyprinterdc(s.psd);
  if (dc == nullptr) return;
  const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  const DWORD style = static_cast<DWORD>(GetWindowLong(view.window, GWL_STYLE));
  const bool header = (style & GRS_COLUMNHEADER) != 0, labels = (style & GRS_ROWLABELS) != 0;

  HDC screen = GetDC(view.window);
  HGDIOBJ oldscreen = SelectObject(screen, view.font ? static_cast<HGDIOBJ>(view.font) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRIC tm;
  GetTextMetrics(screen, tm);
  const int sdpiX = std::max(GetDeviceCaps(screen, LOGPIXELSX), 1), sdpiY = std::max(GetDeviceCaps(screen, LOGPIXELSY), 1);
  LOGFONT lf{};
  lf.lfHeight = (tm.tmHeight - tm.tmInternalLeading) * dpiY * s.scale / (sdpiY * 100);
  lf.lfWeight = tm.tmWeight;
  lf.lfCharSet = tm.tmCharSet;
  lf.lfPitchAndFamily = tm.tmPitchAndFamily;
  lf.lfOutPrecision = 4;
  GetTextFace(screen, LF_FACESIZE, lf.lfFaceName);
  HFONT font = CreateFontIndirect(lf);
  // Check boxes print as a check mark or a cross of the symbol font.
  LOGFONT sf = lf;
  sf.lfCharSet = SYMBOL_CHARSET;
  sf.lfPitchAndFamily = 0;
  std::memset(sf.lfFaceName, 0, sizeof sf.lfFaceName);
  std::strncpy(sf.lfFaceName, "Wingdings", LF_FACESIZE - 1);
  HFONT symbol = CreateFontIndirect(sf);
  int gridtext = -1, gridback = -1;
  if (gridservices.gridcolours) gridservices.gridcolours(view.window, gridtext, gridback);

  const int u = unitof(s);
  const RECT& m = s.psd.rtMargin;
  const int left = m.left * dpiX / u, right = (s.psd.ptPaperSize.x - m.right) * dpiX / u;
  const int top = m.top * dpiY / u, bottom = (s.psd.ptPaperSize.y - m.bottom) * dpiY / u;
  s.left = left;
  s.right = right;
  s.top = top;
  s.bottom = bottom;
  // Measured on a second context of the printer: what the printing context selects is
  // recorded into its pages, and a page's recording starts afresh.
  HDC mdc = yyprinterdc(s.psd);
  HGDIOBJ oldmeasure = mdc ? SelectObject(mdc, font) : nullptr;
  HDC measure = mdc ? mdc : dc;
  HGDIOBJ oldprinter = mdc ? nullptr : SelectObject(dc, font);
  TEXTMETRIC ptm;
  GetTextMetrics(measure, ptm);
  const int h = ptm.tmHeight, a = std::max<int>(ptm.tmAveCharWidth, 1);
  const int T = 3 * h / 2, R = s.rowlines ? T : h;
  int perpage = (bottom - top) / std::max(R, 1) - (header ? 1 : 0);

  row1 = std::max(row1, 0);
  row2 = std::min(row2, g.rowsinuse - 1);
  col1 = std::max(col1, 0);
  col2 = std::min(col2, g.columncount - 1);
  // Titles as the header shows them.
  auto headertext = [&](int item) {
    if (view.header == nullptr) return std::string();
    char title[100] = {};
    HDITEM it;
    it.mask = HDI_TEXT;
    it.pszText = title;
    it.cchTextMax = sizeof title;
    if (!SendMessage(view.header, HDM_GETITEM, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it))) return std::string();
    return trimmed(title);
  };
  auto rowlabel = [&](int row) {
    if (static_cast<std::size_t>(row) >= g.rowlabels.size()) return std::string();
    return trimmed(std::string(g.rowlabels[static_cast<std::size_t>(row)].data()));
  };
  // Width of the row labels: the grid's, grown to the widest label (and the corner text).
  int labelwidth = 0;
  if (labels) {
    labelwidth = view.rowlabelwidth * dpiX * s.scale / (sdpiX * 100);
    if (header) labelwidth = std::max(labelwidth, extent(measure, headertext(0)) + a);
    for (int row = 0; row < g.rowsinuse; ++row) labelwidth = std::max(labelwidth, extent(measure, rowlabel(row)) + a);
  }
  // A page that holds no row, or labels that leave no room for a column, would never end.
  const int refusal = perpage < 1 ? GridPrintNoRowRoom : labels && labelwidth >= right - left ? GridPrintLabelsTooWide : 0;
  if (refusal != 0 || row2 < row1 || col2 < col1) {
    if (oldprinter) SelectObject(dc, oldprinter);
    if (mdc) {
      SelectObject(mdc, oldmeasure);
      DeleteDC(mdc);
    }
    DeleteDC(dc);
    DeleteObject(font);
    DeleteObject(symbol);
    SelectObject(screen, oldscreen);
    ReleaseDC(view.window, screen);
    result = refusal != 0 ? refusal : GridPrinted;
    return;
  }

  std::string name(docname.substr(0, std::min(docname.size(), docname.find('\0'))));
  if (which == 2) {
    name.clear();
    if (GridWindowRecord* r = yygridwindowrecord(winslot(wIndex).wWindow)) name = r->filename;
  }
  if (name.empty()) name = "Untitled Grid";
  DOCINFO info;
  info.lpszDocName = name.c_str();
  bool ok = StartDoc(dc, info) > 0;

  auto startpage = [&] {
    ok = StartPage(dc) > 0 && ok;
    SelectObject(dc, font);
    // The ruling's pen, named on every page: a page's recording starts afresh.
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
  };
  bool firstblock = true;
  for (int b1 = row1; b1 <= row2 && ok;) {
    const int b2 = std::min(row2, b1 + perpage - 1);
    const bool titles = header && (s.repeattitles || firstblock);
    const int rowsbottom = top + (titles ? T : 0) + (b2 - b1 + 1) * R + (s.rowlines ? 0 : h / 2);
    auto printlabels = [&](int x) {
      if (!labels) return x;
      int y = top + h / 4;
      if (titles) {
        const std::string corner = headertext(0);
        if (!corner.empty()) TextOut(dc, x + a / 2, y, corner.c_str(), static_cast<int>(corner.size()));
        y += T;
      }
      for (int row = b1; row <= b2; ++row, y += R) {
        const std::string l = rowlabel(row);
        TextOut(dc, x + a / 2, y, l.c_str(), static_cast<int>(l.size()));
      }
      line(dc, x, top, x, rowsbottom);
      line(dc, x + labelwidth, top, x + labelwidth, rowsbottom);
      return x + labelwidth;
    };
    auto finishpage = [&](int xs, int x) {
      line(dc, xs, top, x, top);
      if (titles) line(dc, left, top + T, x, top + T);
      if (s.rowlines) {
        for (int y = top + (titles ? T : 0) + R; y <= rowsbottom; y += R) line(dc, left, y, x, y);
      } else {
        line(dc, left, rowsbottom, x, rowsbottom);
      }
      ok = EndPage(dc) > 0 && ok;
    };
    startpage();
    int x = printlabels(left);
    int xs = x;
    if (!s.repeattitles && !firstblock) xs = left;
    bool firstonpage = true;
    for (int c = col1; c <= col2 && ok; ++c) {
      const GridColumn& col = g.columns[static_cast<std::size_t>(c)];
      const bool check = col.type == GridCheckBox;
      int w = col.width * dpiX * s.scale / (sdpiX * 100);
      if (check) SelectObject(measure, symbol);
      for (int row = row1; row <= row2; ++row) {
        std::string t;
        yyGridGetString(g, c, row, t, 1);
        w = std::max(w, extent(measure, trimmed(t)) + a);
      }
      if (check) SelectObject(measure, font);
      if (firstonpage) w = std::min(w, right - x);
      if (x + w > right) {
        if (!s.columnlines) line(dc, x, top, x, rowsbottom);
        finishpage(xs, x);
        startpage();
        x = left;
        if (s.repeattitles) {
          x = xs = printlabels(left);
        } else {
          line(dc, left, top, left, rowsbottom);
          xs = left;
        }
        w = std::min(w, right - x);
      }
      firstonpage = false;
      int y = top + h / 4;
      if (titles) {
        const std::string title = headertext(c + 1);
        SetTextAlign(dc, TA_CENTER | TA_TOP);
        SetTextColor(dc, RGB(0, 0, 0));
        TextOut(dc, x + w / 2, y, title.c_str(), static_cast<int>(title.size()));
        y += T;
      }
      UINT align = TA_LEFT;
      int ax = x + a / 2;
      if (col.type == GridCheckBox) {
        align = TA_CENTER;
        ax = x + w / 2;
      } else if (col.type != GridMenu && (col.prototypestyle & ES_RIGHT)) {
        align = TA_RIGHT;
        ax = x + w - a / 2;
      } else if (col.type != GridMenu && (col.prototypestyle & ES_CENTER)) {
        align = TA_CENTER;
        ax = x + w / 2;
      }
      SetTextAlign(dc, align | TA_TOP);
      if (check) SelectObject(dc, symbol);
      for (int row = b1; row <= b2; ++row, y += R) {
        std::string t;
        yyGridGetString(g, c, row, t, 1);
        t = trimmed(t);
        // The cell's colours where it has its own, else the column's, else the grid field's.
        int text = -1, back = -1;
        if (col.colours.empty()) {
          text = col.prototype.textcolour;
          back = col.prototype.background;
        } else {
          const GridCellColour& e = col.colours[static_cast<std::size_t>(row)];
          if (e.flags & 1) text = static_cast<int>(RGB(e.textred, e.textgreen, e.textblue));
          if (e.flags & 2) back = static_cast<int>(RGB(e.backred, e.backgreen, e.backblue));
        }
        if (text == -1) text = gridtext;
        if (back == -1) back = gridback;
        SetTextColor(dc, s.textcolours && text != -1 ? static_cast<COLORREF>(text) : RGB(0, 0, 0));
        UINT options = ETO_CLIPPED;
        if (s.backcolours && back != -1) {
          SetBkColor(dc, static_cast<COLORREF>(back));
          options |= ETO_OPAQUE;
        }
        RECT clip{x + 1, s.rowlines ? y - h / 4 : y, x + 1 + w, (s.rowlines ? y - h / 4 : y) + R};
        if (!s.rowlines && row == b1) clip.top -= h / 4;
        if (!s.rowlines && row == b2) clip.bottom += h / 4;
        ExtTextOut(dc, ax, y, options, &clip, t.c_str(), static_cast<UINT>(t.size()), nullptr);
      }
      if (check) SelectObject(dc, font);
      SetTextColor(dc, RGB(0, 0, 0));
      x += w;
      if (s.columnlines || c == col2) line(dc, x, top, x, rowsbottom);
    }
    finishpage(xs, x);
    b1 = b2 + 1;
    if (firstblock && header && !s.repeattitles) ++perpage;
    firstblock = false;
  }
  if (ok) ok = EndDoc(dc) > 0;
  else AbortDoc(dc);
  if (oldprinter) SelectObject(dc, oldprinter);
  if (mdc) {
    SelectObject(mdc, oldmeasure);
    DeleteDC(mdc);
  }
  DeleteDC(dc);
  DeleteObject(font);
  DeleteObject(symbol);
  SelectObject(screen, oldscreen);
  ReleaseDC(view.window, screen);
  result = ok ? GridPrinted : GridPrintFailed;
}
