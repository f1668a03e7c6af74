// Grid printing on the platform's printer device contexts.
#include "toolkit/grid/gridprint.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/edit.h"
#include "platform/gdi.h"
#include "platform/header.h"
#include "platform/printer.h"
#include "toolkit/grid/gridedit.h"
#include "toolkit/grid/wgrid.h"

using namespace win;

namespace {

struct GridPrintSettings {
  std::string device, driver, port;
  short orientation = DMORIENT_PORTRAIT;
  int units = 4;   // thousandths of an inch (8: hundredths of a millimetre)
  int paperwidth = 0, paperheight = 0;
  int left = 0, top = 0, right = 0, bottom = 0;   // margins, each from its paper edge
  int scale = 100, rowlines = 1, columnlines = 1, repeattitles = 1, textcolours = 1, backcolours = 1;
};
std::array<GridPrintSettings, 2> settings;
bool initialised = false;

GridPrintSettings& pick(int which) { return settings[which == 1 ? 0 : 1]; }

// The default printer's page: no page set-up service here, so the paper is the printer's and
// the margins are half an inch.
void fill(GridPrintSettings& s) {
  char entry[512] = {};
  GetProfileString("windows", "Device", "", entry, sizeof entry);
  std::string e = entry;
  const auto c1 = e.find(','), c2 = c1 == std::string::npos ? c1 : e.find(',', c1 + 1);
  s.device = e.substr(0, c1);
  s.driver = c1 == std::string::npos ? "" : e.substr(c1 + 1, c2 - c1 - 1);
  s.port = c2 == std::string::npos ? "" : e.substr(c2 + 1);
  s.units = 4;
  s.left = s.top = s.right = s.bottom = 500;
  if (HIC ic = CreateIC(s.driver.c_str(), s.device.c_str(), s.port.c_str(), nullptr)) {
    const int dx = std::max(GetDeviceCaps(ic, LOGPIXELSX), 1), dy = std::max(GetDeviceCaps(ic, LOGPIXELSY), 1);
    s.paperwidth = static_cast<int>(GetDeviceCaps(ic, PHYSICALWIDTH) * 1000LL / dx);
    s.paperheight = static_cast<int>(GetDeviceCaps(ic, PHYSICALHEIGHT) * 1000LL / dy);
    const int colours = GetDeviceCaps(ic, NUMCOLORS);
    s.textcolours = s.backcolours = colours == 2 ? 0 : 1;
    DeleteDC(ic);
  }
}

int unitof(const GridPrintSettings& s) { return s.units == 8 ? 2540 : 1000; }

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

}  // namespace

void yyGridPrintInit() {
  if (initialised) return;
  fill(settings[0]);
  settings[1] = settings[0];
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

void yygridprintgetpossize(int item, int& value, int which) {
  yyGridPrintInit();
  const GridPrintSettings& s = pick(which);
  const int u = unitof(s);
  switch (item) {
    case 1: value = (s.paperwidth - s.right - s.left) * 72 / u; break;
    case 2: value = (s.paperheight - s.bottom - s.top) * 72 / u; break;
    case 3: value = s.left * 72 / u; break;
    case 4: value = s.top * 72 / u; break;
    case 5: value = s.orientation == DMORIENT_LANDSCAPE ? 1 : 0; break;
    default: break;
  }
}

void yygridprintsetpossize(int item, int value, int which) {
  yyGridPrintInit();
  GridPrintSettings& s = pick(which);
  const int u = unitof(s);
  switch (item) {
    // Width and height are the printed area: the paper less both margins.
    case 1: s.right = s.paperwidth - s.left - value * u / 72; break;
    case 2: s.bottom = s.paperheight - s.top - value * u / 72; break;
    case 3: s.left = value * u / 72; break;
    case 4: s.top = value * u / 72; break;
    case 5:
      if (value >= 0 && value <= 3) {
        const short o = value % 2 == 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        if (o != s.orientation) std::swap(s.paperwidth, s.paperheight);
        s.orientation = o;
      }
      break;
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
  const GridPrintSettings& s = pick(which);
  DEVMODE mode{};
  mode.dmFields = DM_ORIENTATION;
  mode.dmOrientation = s.orientation;
  // Portrait: the printer's own settings, whole.
  HDC dc = CreateDC(s.driver.c_str(), s.device.c_str(), s.port.c_str(),
                    s.orientation == DMORIENT_PORTRAIT ? nullptr : &mode);
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

  const int u = unitof(s);
  const int left = s.left * dpiX / u, right = (s.paperwidth - s.right) * dpiX / u;
  const int top = s.top * dpiY / u, bottom = (s.paperheight - s.bottom) * dpiY / u;
  // Measured on a second context of the printer: what the printing context selects is
  // recorded into its pages, and a page's recording starts afresh.
  HDC mdc = CreateDC(s.driver.c_str(), s.device.c_str(), s.port.c_str(), nullptr);
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
      int w = col.width * dpiX * s.scale / (sdpiX * 100);
      for (int row = row1; row <= row2; ++row) {
        std::string t;
        yyGridGetString(g, c, row, t, 1);
        w = std::max(w, extent(measure, trimmed(t)) + a);
      }
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
      for (int row = b1; row <= b2; ++row, y += R) {
        std::string t;
        yyGridGetString(g, c, row, t, 1);
        t = trimmed(t);
        const RECT clip{x + 1, s.rowlines ? y - h / 4 : y, x + 1 + w, (s.rowlines ? y - h / 4 : y) + R};
        ExtTextOut(dc, ax, y, ETO_CLIPPED, &clip, t.c_str(), static_cast<UINT>(t.size()), nullptr);
      }
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
  SelectObject(screen, oldscreen);
  ReleaseDC(view.window, screen);
  result = ok ? GridPrinted : GridPrintFailed;
}
