// toolkit/dialog/companion.cpp: the companion text of a dialog (the RCDATA resource of the
// dialog's number), read once after the dialog's windows exist and applied line by line to
// the fields it names: ranges, list items, checks, tab pages, grids, colours, trackbars,
// lengths, resizing, formats, tree views, fonts and user flags.
//
// The text is 8-bit, ends at its first NUL; lines end with a line feed, and the resource
// compiler leaves one blank before it. A line whose layout is broken (no blank after a
// number, a tab line without caption, a font line without comma) never reads past its own
// line: each section reads only the line it is on.
//
// A text that would make the dialog unsound is refused as a whole (the load fails and leaves
// nothing loaded): a progress-bar or trackbar range beyond 32-bit integers; a [Tabs] line
// whose field is no tab field, or whose page is a dialog whose companion text is being read
// (the dialog itself or one it is a page of), or a page whose own text is refused; a [Grids]
// line whose row template is being read (the grid's own dialog), whose own text is refused,
// or whose size is beyond the limits below.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/resource.h"
#include "toolkit/text/convert.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/grid/wgrid.h"

using namespace win;

namespace {

enum Section { NONE, RANGES, MENUS, CHECKS, TABS, GRIDS, COLOURS, TRACKBARS, LENGTHS, DIALOGLINE,
               FORMATS, TREEVIEWS, FONTS, FLAGS };

constexpr struct { const char* word; Section section; } kHeaders[] = {
    {"[Ranges]", RANGES},       {"[Menus]", MENUS},     {"[Checks]", CHECKS},
    {"[Tabs]", TABS},           {"[Grids]", GRIDS},     {"[Colours]", COLOURS},
    {"[Trackbars]", TRACKBARS}, {"[Lengths]", LENGTHS}, {"[Dialog]", DIALOGLINE},
    {"[Formats]", FORMATS},     {"[Treeviews]", TREEVIEWS}, {"[Fonts]", FONTS},
    {"[Flags]", FLAGS}};

constexpr std::size_t kItemMax = 1024;

// A grid's size on its [Grids] line: ten times the largest the program uses, and no more
// cells than a few hundred megabytes of store hold.
constexpr long long kGridRowsMax = 1000000, kGridColumnsMax = 1000, kGridCellsMax = 10000000;

// The companion texts being read, outermost first: a dialog's pages and a grid's row
// template are made (and their texts read) while the owner's text is read.
struct Reading {
  HWND dialog;
  int resource;
};
std::vector<Reading> reading;
bool nestedrefusal = false;   // a text read inside the current one was refused

bool beingread(int identifier) {
  for (const Reading& r : reading)
    if (const DialogRecord* rec = yydialogrecord(r.dialog); rec != nullptr && rec->identifier == identifier) return true;
  return false;
}

bool templatebeingread(int resource) {
  for (const Reading& r : reading)
    if (r.resource == resource) return true;
  return false;
}

// A real that truncates toward zero into a 32-bit integer.
bool fitsint(double v) { return v > -2147483649.0 && v < 2147483648.0; }

// A cursor over one line of the text.
struct Line {
  std::string_view text;
  std::size_t pos = 0;
  void blanks() {
    while (pos < text.size() && text[pos] == ' ') ++pos;
  }
  // An optional "-" and digits, up to the first other character; then the blanks after it.
  int integer() {
    blanks();
    bool negative = false;
    if (pos < text.size() && text[pos] == '-') {
      negative = true;
      ++pos;
    }
    long long v = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      v = v * 10 + (text[pos] - '0');
      if (v > 2147483647LL) v = 2147483647LL;
      ++pos;
    }
    skipword();
    return static_cast<int>(negative ? -v : v);
  }
  double real() {
    blanks();
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] != ' ') ++pos;
    double v = 0.0;
    yyst2dbl(v, text.substr(start, pos - start));
    blanks();
    return v;
  }
  void skipword() {
    while (pos < text.size() && text[pos] != ' ') ++pos;
    blanks();
  }
  std::string_view rest() const { return text.substr(std::min(pos, text.size())); }
};

// Walks the text line by line.
struct Reader {
  std::string_view text;
  std::size_t pos = 0;
  bool next(std::string_view& line) {
    if (pos >= text.size()) return false;
    const std::size_t end = text.find('\n', pos);
    line = text.substr(pos, (end == std::string_view::npos ? text.size() : end) - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    return true;
  }
};

std::string item(std::string_view line) {
  std::string s = yytrimright(line);
  if (s.size() > kItemMax) s.resize(kItemMax);
  return s;
}

bool ranges(HWND dlg, HWND field, Line& l) {
  const double lo = l.real(), hi = l.real();
  if (field == nullptr) return true;
  const FieldClass c = yyfieldclass(field);
  if (c == FieldClass::Progress || c == FieldClass::Trackbar) {
    if (!fitsint(lo) || !fitsint(hi)) return false;
    double pos = 0.0;
    yyst2dbl(pos, yywindowtext(field, 17));
    const int p = fitsint(pos) ? static_cast<int>(pos) : 0;
    if (c == FieldClass::Progress) {
      SendMessage(field, PBM_SETRANGE, 0,
                  MAKELPARAM(static_cast<WORD>(static_cast<int>(lo)), static_cast<WORD>(static_cast<int>(hi))));
      SendMessage(field, PBM_SETPOS, static_cast<WPARAM>(p), 0);
    } else {
      SendMessage(field, TBM_SETRANGEMIN, FALSE, static_cast<LPARAM>(static_cast<int>(lo)));
      SendMessage(field, TBM_SETRANGEMAX, FALSE, static_cast<LPARAM>(static_cast<int>(hi)));
      SendMessage(field, TBM_SETPOS, TRUE, static_cast<LPARAM>(p));
    }
    return true;
  }
  int id = GetDlgCtrlID(field);
  yyfieldrange2(id, lo, hi, dlg);
  return true;
}

void menus(HWND field, Line& l, Reader& r, int index) {
  const int n = l.integer(), selection = l.integer();
  const bool list = field != nullptr && yyfieldclass(field) == FieldClass::List;
  if (field != nullptr) SendMessage(field, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
  std::string_view line;
  for (int k = 0; k < n && r.next(line); ++k) {
    if (field == nullptr) continue;
    const std::string text = item(line);
    SendMessage(field, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  if (field == nullptr) return;
  const int select = index == -1 ? 0 : selection - 1;
  SendMessage(field, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

bool tabs(HWND field, Line& l, Reader& r) {
  const int n = l.integer(), initial = l.integer();
  // Pages loaded for a field that is no tab field would never be unloaded with it.
  if (field == nullptr || yyfieldclass(field) != FieldClass::Tab) return false;
  DialogTable& dt = dialogtable;
  const int savedcur = dt.iDlgCur;
  std::vector<int> pages;
  std::string_view line;
  bool sound = true;
  for (int k = 0; k < n && sound && r.next(line); ++k) {
    Line t{line};
    const int page = t.integer();
    // A page that is a dialog being read (the dialog itself, or one it is a page of) would
    // hold itself.
    if (beingread(page)) {
      sound = false;
      break;
    }
    std::string caption(t.rest());
    if (!caption.empty()) caption.pop_back();   // the blank that ends every line
    if (caption.size() > kItemMax) caption.resize(kItemMax);
    TCITEM ti;
    ti.mask = TCIF_TEXT | TCIF_PARAM;
    ti.pszText = caption.data();
    ti.lParam = page;
    SendMessage(field, TCM_INSERTITEM, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&ti));
    int status = page;
    yydialogload2(page, status, page, 0, 0);
    // A page missing from the resources leaves a tab without a page; one whose own text is
    // refused refuses this one.
    if (status == -3) sound = false;
    pages.push_back(page);
  }
  dt.iDlgCur = savedcur;
  if (!sound) return false;
  RECT area;
  yytabdisplayarea(field, area);
  for (int page : pages) {
    const int k = yydialogfind(page);
    if (k > 0)
      SetWindowPos(dt.hDialogList[static_cast<std::size_t>(k)], nullptr, area.left, area.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  int selected = 0;
  for (std::size_t k = 0; k < pages.size(); ++k)
    if (pages[k] == initial) {
      selected = static_cast<int>(k);
      break;
    }
  SendMessage(field, TCM_SETCURSEL, static_cast<WPARAM>(selected), 0);
  return true;
}

// The grid's entry, judged before the grid reads it: its size and its row template.
bool gridentry(std::string_view rest) {
  Line g{rest.substr(0, rest.find('\n'))};
  const long long columns = g.integer(), rows = std::max(1, g.integer());
  const int templ = g.integer();
  if (columns < 0 || columns > kGridColumnsMax || rows > kGridRowsMax || columns * rows > kGridCellsMax) return false;
  return !templatebeingread(templ);
}

void colours(HWND field, Line& l) {
  int v[6];
  for (int& c : v) c = l.integer();
  FieldRecord* fr = yyfieldrecord(field);
  if (fr == nullptr) return;
  yyFieldColour2(*fr, v[0], v[1], v[2], true);
  yyFieldColour2(*fr, v[3], v[4], v[5], false);
}

void trackbars(HWND field, Line& l) {
  const int freq = l.integer(), line = l.integer(), page = l.integer(), s = l.integer(), e = l.integer();
  if (field == nullptr || yyfieldclass(field) != FieldClass::Trackbar) return;
  SendMessage(field, TBM_SETTICFREQ, static_cast<WPARAM>(freq), 0);
  SendMessage(field, TBM_SETLINESIZE, 0, line);
  SendMessage(field, TBM_SETPAGESIZE, 0, page);
  if (!(GetWindowLong(field, GWL_STYLE) & static_cast<LONG>(TBS_ENABLESELRANGE))) return;
  if (s == e) SendMessage(field, TBM_CLEARSEL, FALSE, 0);
  else SendMessage(field, TBM_SETSEL, FALSE, MAKELPARAM(static_cast<WORD>(s), static_cast<WORD>(e)));
}

void lengths(HWND field, Line& l) {
  const int n = l.integer();
  if (field == nullptr) return;
  const FieldClass c = yyfieldclass(field);
  if (c == FieldClass::Edit || yyisnumeric(c)) SendMessage(field, EM_LIMITTEXT, static_cast<WPARAM>(n), 0);
  if (c == FieldClass::Combo) SendMessage(field, CB_LIMITTEXT, static_cast<WPARAM>(n), 0);
  if (FieldRecord* fr = yyfieldrecord(field)) fr->lengthlimit = n;
}

void dialogline(HWND dlg, int flag, Line& l) {
  DialogRecord* rec = yydialogrecord(dlg);
  if (rec == nullptr) return;
  rec->rootaccelerators = flag;
  if (l.rest().find_first_not_of(' ') == std::string_view::npos) return;
  const int field = l.integer(), mode = l.integer();
  HWND stretch = field != 0 ? GetDlgItem(dlg, field) : nullptr;
  if (stretch == nullptr) return;
  rec->stretchfield = stretch;
  rec->stretchmode = mode;
  yydialoganchors(dlg);
  yyDialogCreateSizeGrip(dlg);
}

void formats(HWND field, Line& l) {
  const std::string f = yytrimright(l.rest());
  FieldRecord* fr = yyfieldrecord(field);
  if (f.empty() || fr == nullptr) return;
  delete fr->format;
  fr->format = new std::string(f);
}

void fonts(HWND field, Line& l) {
  const int points = l.integer();
  const std::string_view rest = l.rest();
  const std::size_t comma = rest.find(',');
  std::string face(rest.substr(0, comma == std::string_view::npos ? rest.size() : comma));
  if (comma == std::string_view::npos) return;   // a line without a comma names no weight
  if (face.size() > 31) face.resize(31);
  Line w{rest, comma + 1};
  const int weight = w.integer(), italic = w.integer();
  if (field == nullptr) return;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const int height = -static_cast<int>(std::lround(points * dpi / 72.0));
  HFONT font = CreateFont(height, 0, 0, 0, weight, italic == 1 ? 1 : 0, 0, 0, DEFAULT_CHARSET,
                          OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                          face.c_str());
  if (font != nullptr) SendMessage(field, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace

int strcmpvxk(std::string_view header, std::string_view text) {
  for (std::size_t i = 0;; ++i) {
    if (i >= header.size() || i >= text.size()) return 0;
    if (header[i] != text[i])
      return static_cast<unsigned char>(header[i]) - static_cast<unsigned char>(text[i]);
  }
}

namespace {

bool apply(HWND dlg, int index, std::string_view all);

}  // namespace

int yydialogvxk(HWND dlg, int resource, int index) {
  HRSRC res = FindResource(nullptr, MAKEINTRESOURCE(resource), RT_RCDATA);
  if (res == nullptr) return 0;
  const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, res)));
  if (data == nullptr) return 0;
  std::string_view all(data, SizeofResource(nullptr, res));
  return yydialogvxktext(dlg, resource, index, all.substr(0, all.find('\0')));
}

int yydialogvxktext(HWND dlg, int resource, int index, std::string_view text) {
  reading.push_back({dlg, resource});
  const bool sound = apply(dlg, index, text);
  reading.pop_back();
  if (!sound) nestedrefusal = true;
  return sound ? 0 : -1;
}

namespace {

bool apply(HWND dlg, int index, std::string_view all) {
  Reader r{all};
  Section section = NONE;
  std::string_view raw;
  while (r.next(raw)) {
    Line l{raw};
    l.blanks();
    const std::string_view start = l.rest();
    bool header = false;
    // A line that is empty after its blanks would match every header word; it opens none.
    for (const auto& h : kHeaders)
      if (!start.empty() && strcmpvxk(h.word, start) == 0) {
        section = h.section;
        header = true;
        break;
      }
    if (header) continue;
    if (start.empty()) continue;
    const int id = l.integer();
    HWND field = section == DIALOGLINE ? nullptr : GetDlgItem(dlg, id);
    switch (section) {
      case RANGES:
        if (!ranges(dlg, field, l)) return false;
        break;
      case MENUS: menus(field, l, r, index); break;
      case CHECKS: {
        const int state = l.integer();
        if (field != nullptr) SendMessage(field, BM_SETCHECK, static_cast<WPARAM>(state), 0);
        break;
      }
      case TABS:
        if (!tabs(field, l, r)) return false;
        break;
      case GRIDS:
        // The grid reads its own entry, which may run over several lines (its row labels);
        // reading goes on after what it took.
        if (field != nullptr && yygridinstance(field) != nullptr) {
          const std::size_t start = static_cast<std::size_t>(raw.data() - all.data()) + l.pos;
          if (!gridentry(all.substr(start))) return false;
          nestedrefusal = false;
          r.pos = start + static_cast<std::size_t>(yygridinitialise(field, all.substr(start)));
          if (nestedrefusal) return false;
        }
        break;
      case COLOURS: colours(field, l); break;
      case TRACKBARS: trackbars(field, l); break;
      case LENGTHS: lengths(field, l); break;
      case DIALOGLINE: dialogline(dlg, id, l); break;
      case FORMATS: formats(field, l); break;
      case TREEVIEWS: {
        const int menu = l.integer(), select = l.integer();
        if (field != nullptr && menu != 0) yyTreeViewInit(field, menu, select);
        break;
      }
      case FONTS: fonts(field, l); break;
      case FLAGS: {
        const int flags = l.integer();
        if (FieldRecord* fr = yyfieldrecord(field)) fr->userflags = flags;
        break;
      }
      case NONE: break;
    }
  }
  return true;
}

}  // namespace
