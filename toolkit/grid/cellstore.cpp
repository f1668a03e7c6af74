#include "toolkit/grid/grid.h"
#include "toolkit/grid/wgrid.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/combobox.h"
#include "platform/edit.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"

GridServices gridservices;

namespace {

constexpr std::string_view kDefaultFormat = "(G15.5E2)";

GridInstance* locate(int ident) {
  return gridservices.locate ? gridservices.locate(ident) : nullptr;
}

// Locates the grid and checks the cell against the column count and the given row bound.
GridInstance* cell(int& status, int column, int row, bool allocated = false) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return nullptr; }
  const int bound = allocated ? g->rowsallocated : g->rowsinuse;
  if (column < 0 || column >= g->columncount || row < 0 || row >= bound) {
    status = GridOutOfRange;
    return nullptr;
  }
  return g;
}

// A buffer's text up to its first NUL.
std::string_view upToNul(std::string_view t) {
  const auto n = t.find('\0');
  return n == std::string_view::npos ? t : t.substr(0, n);
}

bool isNumeric(int type) { return type >= GridInteger && type <= GridDouble; }

std::string_view columnFormat(const GridColumn& c) {
  return c.prototype.hasformat ? std::string_view(c.prototype.format) : kDefaultFormat;
}

void fill(std::string& buffer, std::string_view text) { buffer.assign(text); }

}  // namespace

void yygridbuild(GridInstance& g, const std::vector<GridColumnSpec>& specs, int rowsallocated,
                 int rowsinuse) {
  g = GridInstance{};
  g.columncount = static_cast<int>(specs.size());
  g.columnsatsetup = g.columncount;
  g.rowsallocated = rowsallocated;
  g.rowsinuse = rowsinuse;
  const auto n = static_cast<std::size_t>(rowsallocated);
  for (const GridColumnSpec& s : specs) {
    GridColumn c;
    c.type = s.type;
    c.textlength = s.textlength;
    switch (s.type) {
      case GridString: c.strings.assign(n * static_cast<std::size_t>(s.textlength + 1), '\0'); break;
      case GridReal: c.reals.assign(n, 0.0f); break;
      case GridDouble: c.doubles.assign(n, 0.0); break;
      default: c.integers.assign(n, s.type == GridMenu ? -1 : 0); break;
    }
    c.states.assign(n, 0);
    g.columns.push_back(std::move(c));
  }
  g.rowlabels.assign(n, std::array<char, 51>{});
  g.hasrowlabels = true;
}

void yygridselectnone(GridInstance& g) {
  g.selfirstcolumn = g.selfirstrow = g.sellastcolumn = g.sellastrow = -1;
}

void yygridputcellstring(int& status, int column, int row, double value, std::string_view text,
                         std::string_view format) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  if (c.type == GridCheckBox || c.type == GridMenu) { status = GridOutOfRange; return; }
  text = upToNul(text);
  const bool entered = text.find_last_not_of(' ') != std::string_view::npos;
  yygridselectnone(*g);
  double number = value;
  if (c.type != GridString && value == 0.0) {
    int ok = 0;
    yyst2dblcheck(number, ok, text);
    if (!ok) number = 0.0;
  }
  // An empty format keeps the column's own: a string or integer put must not take a real
  // column's display format away.
  if (!format.empty() &&
      (!c.prototype.hasformat || !std::equal(format.begin(), format.end(),
                                             c.prototype.format.begin(), c.prototype.format.end(),
                                             [](char a, char b) {
                                               return std::toupper(static_cast<unsigned char>(a)) ==
                                                      std::toupper(static_cast<unsigned char>(b));
                                             }))) {
    c.prototype.format.assign(format);
    c.prototype.hasformat = true;
  }
  const auto r = static_cast<std::size_t>(row);
  switch (c.type) {
    case GridString: {
      char* slot = &c.strings[r * static_cast<std::size_t>(c.textlength + 1)];
      const std::size_t n = std::min(text.size(), static_cast<std::size_t>(c.textlength));
      if (n > 0) std::memcpy(slot, text.data(), n);  // an empty view may hold no pointer at all
      slot[n] = '\0';
      break;
    }
    case GridInteger: {
      const double t = std::trunc(number);
      c.integers[r] = (t >= -2147483648.0 && t <= 2147483647.0) ? static_cast<int>(t) : 0;
      break;
    }
    case GridReal: c.reals[r] = static_cast<float>(number); break;
    default: c.doubles[r] = number; break;
  }
  std::uint8_t& st = c.states[r];
  st = static_cast<std::uint8_t>(st & GridCellLocked);
  if (!text.empty()) st |= GridCellDefined;
  if (entered) st |= GridCellEntered;
  g->modified = g->changed = 1;
  yygridcellstored(*g, column, row);
}

void yygridputcellcheck(int& status, int column, int row, int state) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  if (c.type != GridCheckBox) { status = GridOutOfRange; return; }
  yygridselectnone(*g);
  c.integers[static_cast<std::size_t>(row)] = state;
  g->modified = g->changed = 1;
  yygridcellstored(*g, column, row);
}

void yygridputcelloption(int& status, int column, int row, int option) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  if (c.type != GridMenu) { status = GridOutOfRange; return; }
  yygridselectnone(*g);
  c.integers[static_cast<std::size_t>(row)] = option - 1;
  g->modified = g->changed = 1;
  yygridcellstored(*g, column, row);
}

void yyGridGetString(const GridInstance& g, int column, int row, std::string& buffer, int mode) {
  const GridColumn& c = g.columns[static_cast<std::size_t>(column)];
  const auto r = static_cast<std::size_t>(row);
  const bool defined = (c.states[r] & GridCellDefined) != 0;
  switch (c.type) {
    case GridString:
      fill(buffer, upToNul({&c.strings[r * static_cast<std::size_t>(c.textlength + 1)],
                            static_cast<std::size_t>(c.textlength + 1)}));
      return;
    case GridInteger: {
      if (!defined) { buffer.clear(); return; }
      std::string t(12, ' ');
      yyint2st(c.integers[r], t);
      fill(buffer, upToNul(t));
      return;
    }
    case GridReal:
    case GridDouble: {
      if (!defined) { buffer.clear(); return; }
      std::string t(51, ' ');
      if (c.type == GridReal) yyrea2st(c.reals[r], t, columnFormat(c));
      else yydbl2st(c.doubles[r], t, columnFormat(c));
      fill(buffer, upToNul(t));
      return;
    }
    case GridCheckBox:
      if (mode == 1) buffer.assign(1, c.integers[r] ? '\xFC' : '\xFB');
      else buffer.assign(c.integers[r] ? "Yes" : "No");
      return;
    default: {
      const int k = c.integers[r];
      if (k < 0 || k >= static_cast<int>(c.options.size())) buffer.clear();
      else buffer = c.options[static_cast<std::size_t>(k)];
      return;
    }
  }
}

void yygridgetcellstring(int& status, int column, int row, std::string& buffer, int length) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  if (!isNumeric(g->columns[static_cast<std::size_t>(column)].type) &&
      g->columns[static_cast<std::size_t>(column)].type != GridString) {
    status = GridOutOfRange;
    return;
  }
  yyGridGetString(*g, column, row, buffer, 0);
  if (length > 0 && static_cast<int>(buffer.size()) > length - 1)
    buffer.resize(static_cast<std::size_t>(length - 1));
}

void yygridgetcellvalue(int& status, int column, int row, double& value) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  const GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  const auto r = static_cast<std::size_t>(row);
  if (c.type == GridString) {
    std::string t;
    yyGridGetString(*g, column, row, t, 0);
    if (t.find_last_not_of(' ') == std::string::npos) { status = GridNoValue; return; }
    yyst2dbl(value, t);
    return;
  }
  if (!isNumeric(c.type)) { status = GridOutOfRange; return; }
  if (!(c.states[r] & GridCellDefined)) { status = GridNoValue; return; }
  value = c.type == GridInteger ? c.integers[r] : c.type == GridReal ? c.reals[r] : c.doubles[r];
}

void yygridgetcellcheck(int& status, int column, int row, int& state) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  const GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  if (c.type != GridCheckBox) { status = GridOutOfRange; return; }
  state = c.integers[static_cast<std::size_t>(row)];
}

void yygridgetcellmenu(int& status, int column, int row, int& option) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  const GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  if (c.type != GridMenu) { status = GridOutOfRange; return; }
  option = c.integers[static_cast<std::size_t>(row)] + 1;
}

void yygridclearcell(int& status, int column, int row, int mode) {
  GridInstance* g = cell(status, column, row, mode != 0);
  if (!g) return;
  GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  if (c.type == GridMenu && mode != 2) { status = GridOutOfRange; return; }
  yygridselectnone(*g);
  const auto r = static_cast<std::size_t>(row);
  switch (c.type) {
    case GridString: c.strings[r * static_cast<std::size_t>(c.textlength + 1)] = '\0'; break;
    case GridReal: c.reals[r] = 0.0f; break;
    case GridDouble: c.doubles[r] = 0.0; break;
    default: c.integers[r] = 0; break;
  }
  if (c.type != GridMenu)
    c.states[r] = static_cast<std::uint8_t>(c.states[r] & GridCellLocked);
  if (row < g->rowsinuse) yygridcellstored(*g, column, row);
}

void yygridcellstate(int& status, int column, int row, int state) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  std::uint8_t& st = g->columns[static_cast<std::size_t>(column)].states[static_cast<std::size_t>(row)];
  if (state == 1) st = static_cast<std::uint8_t>(st & ~GridCellLocked);
  else st |= GridCellLocked;
  yygridcellstored(*g, column, row);
}

void yygridcolourcell(int& status, int column, int row, int tr, int tg, int tb, int br, int bg,
                      int bb) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  if (c.colours.empty()) {
    GridCellColour init;
    auto split = [](int rgb, std::uint8_t& r, std::uint8_t& gg, std::uint8_t& b) {
      r = static_cast<std::uint8_t>(rgb & 255);
      gg = static_cast<std::uint8_t>((rgb >> 8) & 255);
      b = static_cast<std::uint8_t>((rgb >> 16) & 255);
    };
    if (c.prototype.textcolour != -1) {
      init.flags |= 1;
      split(c.prototype.textcolour, init.textred, init.textgreen, init.textblue);
    }
    if (c.prototype.background != -1) {
      init.flags |= 2;
      split(c.prototype.background, init.backred, init.backgreen, init.backblue);
    }
    c.colours.assign(static_cast<std::size_t>(g->rowsallocated), init);
  }
  GridCellColour& e = c.colours[static_cast<std::size_t>(row)];
  auto put = [&](int r, int gg, int b, std::uint8_t flag, std::uint8_t& er, std::uint8_t& eg,
                 std::uint8_t& eb) {
    if (r == 256) { e.flags = static_cast<std::uint8_t>(e.flags & ~flag); return; }
    if (r == -1) return;
    e.flags |= flag;
    er = static_cast<std::uint8_t>(r);
    eg = static_cast<std::uint8_t>(gg);
    eb = static_cast<std::uint8_t>(b);
  };
  put(tr, tg, tb, 1, e.textred, e.textgreen, e.textblue);
  put(br, bg, bb, 2, e.backred, e.backgreen, e.backblue);
  yygridcellstored(*g, column, row);
}

void yygridcelltype(int& status, int column, int& type) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  if (column < 0 || column >= g->columncount) { status = GridOutOfRange; return; }
  static constexpr int kFieldTypes[] = {4, 5, 6, 7, 9, 11};
  type = kFieldTypes[g->columns[static_cast<std::size_t>(column)].type];
}

void yygridgetformat(int ident, int column, std::string& buffer, int length) {
  GridInstance* g = locate(ident);
  std::string_view f = kDefaultFormat;
  if (g && column >= 0 && column < g->columncount) {
    const GridColumn& c = g->columns[static_cast<std::size_t>(column)];
    if (c.type == GridReal || c.type == GridDouble) f = columnFormat(c);
  }
  buffer.assign(f.substr(0, static_cast<std::size_t>(std::max(0, length - 1))));
}

// Rows, labels, selection and settings ----------------------------------------------------

void yygridsetrows2(GridInstance& g, int /*ident*/, int rows) {
  yygridselectnone(g);
  g.rowsinuse = rows;
  if (rows <= g.currentrow || rows <= g.firstvisiblerow + g.visiblerows - 1) {
    if (rows <= g.currentrow) g.currentrow = rows - 1;
    g.firstvisiblerow = std::max(0, g.currentrow - g.visiblerows + 1);
  }
  int scale = 1, n = rows;
  while (n > 65536) { scale *= 2; n /= 2; }
  g.scrollscale = scale;
  g.scrollrange = n - 1;
  yygridrowschanged(g);
}

void yygridsetrows(int& status, int rows) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  yygridsetrows2(*g, status, rows);
}

void yygridlabelrow(int ident, int row, std::string_view text, int length) {
  GridInstance* g = locate(ident);
  if (!g || !g->hasrowlabels || row < 0 || row >= g->rowsallocated) return;
  text = upToNul(text);
  const std::size_t n = std::min<std::size_t>(
      {text.size(), static_cast<std::size_t>(std::max(0, length - 1)), 50});
  auto& slot = g->rowlabels[static_cast<std::size_t>(row)];
  if (n > 0) std::memcpy(slot.data(), text.data(), n);
  slot[n] = '\0';
  yygridlabelschanged(*g);
}

void yygridgetrowlabel(int ident, int row, std::string& buffer, int length) {
  GridInstance* g = locate(ident);
  buffer.clear();
  if (!g || !g->hasrowlabels || row < 0 || row >= g->rowsallocated) return;
  const auto& slot = g->rowlabels[static_cast<std::size_t>(row)];
  std::string_view t = upToNul({slot.data(), slot.size()});
  buffer.assign(t.substr(0, static_cast<std::size_t>(std::clamp(length - 1, 0, 50))));
}

void yygridclearselection(int& status) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  if (g->window) yygridselectnone(g->window);
  else yygridselectnone(*g);
}

void yygridsetselection(int& status, int fc, int fr, int lc, int lr) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  auto colOk = [&](int c) { return c >= 0 && c < g->columncount; };
  auto rowOk = [&](int r) { return r >= 0 && r < g->rowsinuse; };
  if (!colOk(fc) || !colOk(lc) || !rowOk(fr) || !rowOk(lr)) { status = GridOutOfRange; return; }
  if (g->window) {
    yygridselectrange(g->window, std::min(fr, lr), std::max(fr, lr), std::min(fc, lc), std::max(fc, lc));
    return;
  }
  g->selfirstcolumn = std::min(fc, lc);
  g->sellastcolumn = std::max(fc, lc);
  g->selfirstrow = std::min(fr, lr);
  g->sellastrow = std::max(fr, lr);
}

void yygridgetinfo(int& status, int item, int& value) {
  if (status == -2) {
    // The last modal grid-editor window's words, kept when it closed.
    if (item == 6) value = 1 - gridmodalresults.modified;
    else if (item == 7) value = gridmodalresults.changed;
    return;
  }
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  const bool sel = g->selfirstrow >= 0;
  switch (item) {
    case 1: value = g->columncount; break;
    case 2: value = g->rowsallocated; break;
    case 3: value = g->rowsinuse; break;
    case 4: value = g->currentcolumn + 1; break;
    case 5: value = g->currentrow + 1; break;
    case 6: value = 1 - g->modified; break;
    case 7: value = g->changed; break;
    case 8: value = g->firstvisiblecolumn + 1; break;
    case 9: value = g->firstvisiblerow + 1; break;
    case 10: value = sel ? g->selfirstcolumn + 1 : 0; break;
    case 11: value = sel ? g->selfirstrow + 1 : 0; break;
    case 12: value = sel ? g->sellastcolumn + 1 : 0; break;
    case 13: value = sel ? g->sellastrow + 1 : 0; break;
    case 101: value = g->rowlabelcount; break;
    case 102: value = g->columnsatsetup; break;
    default: break;
  }
}

void yygridrange(int& status, int column, double low, double high) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  if (column < 0 || column >= g->columncount) { status = GridOutOfRange; return; }
  GridFieldRecord& f = g->columns[static_cast<std::size_t>(column)].prototype;
  f.rangelow = low;
  f.rangehigh = high;
  yygridcolumnchanged(*g, column);
}

namespace {

// The grid of a spinner column of the given kind; nullptr with the status set otherwise.
GridInstance* spincolumn(int& status, int column, int kind) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return nullptr; }
  if (column < 0 || column >= g->columncount ||
      g->columns[static_cast<std::size_t>(column)].prototype.spinnerclass != kind) {
    status = GridOutOfRange;
    return nullptr;
  }
  return g;
}

void setsteps(GridInstance& g, int column, double small, double large) {
  GridFieldRecord& f = g.columns[static_cast<std::size_t>(column)].prototype;
  f.spinsmall = small;
  f.spinlarge = large;
  yygridcolumnchanged(g, column);
}

}  // namespace

void yygridspinstepi(int& status, int column, int small, int large, int option) {
  GridInstance* g = spincolumn(status, column, GridInteger);
  if (!g) return;
  g->columns[static_cast<std::size_t>(column)].prototype.spinoption = option;
  setsteps(*g, column, small, large == 0 ? small : large);
}

void yygridspinstepr(int& status, int column, float small, float large) {
  if (GridInstance* g = spincolumn(status, column, GridReal)) setsteps(*g, column, small, large);
}

void yygridspinstepd(int& status, int column, double small, double large) {
  if (GridInstance* g = spincolumn(status, column, GridDouble)) setsteps(*g, column, small, large);
}

void yygridcellfocus(int& status, int column, int row, int caret) {
  GridInstance* g = cell(status, column, row);
  if (!g) return;
  if (!g->window) {
    yygridselectnone(*g);
    g->currentcolumn = column;
    g->currentrow = row;
    return;
  }
  yygridselectnone(g->window);
  win::HWND parent = win::GetParent(g->window);
  const bool mayfocus = parent != nullptr && win::IsWindowVisible(parent) &&
                        (win::GetWindowLong(parent, win::GWL_STYLE) & static_cast<win::LONG>(win::WS_DISABLED)) == 0;
  if (mayfocus) win::SetFocus(parent);
  yygridupdatecell(g->window, column, row, mayfocus ? 1 : 0, 0);
  if (!mayfocus) return;
  win::SetFocus(g->window);
  win::HWND f = win::GetFocus();
  if (caret < 0 || f == nullptr) return;
  char name[32] = {};
  win::GetClassName(f, name, sizeof name);
  const std::string_view n(name);
  auto is = [&](std::string_view want) {
    return n.size() == want.size() && std::equal(n.begin(), n.end(), want.begin(), [](char a, char b) {
             return std::toupper(static_cast<unsigned char>(a)) == b;
           });
  };
  if (is("EDIT") || is("INTEGEREDIT") || is("INTEGERSPIN") || is("REALEDIT") || is("REALSPIN") ||
      is("DOUBLEEDIT") || is("DOUBLESPIN")) {
    win::SendMessage(f, win::EM_SETSEL, static_cast<win::WPARAM>(caret), caret);
    win::SendMessage(f, win::EM_SCROLLCARET, 0, 0);
  }
}

void yygridcolourcolumn(int& status, int column, int tr, int tg, int tb, int br, int bg, int bb) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  if (column < 0 || column >= g->columncount) { status = GridOutOfRange; return; }
  GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  c.colours.clear();
  c.colours.shrink_to_fit();
  // Red 256 is the default colour, -1 leaves the colour as it is.
  auto put = [](int& colour, int r, int gg, int b) {
    if (r == -1) return;
    colour = r == 256 ? -1 : (r & 255) + 256 * (gg & 255) + 65536 * (b & 255);
  };
  put(c.prototype.textcolour, tr, tg, tb);
  put(c.prototype.background, br, bg, bb);
  yygridcolumnchanged(*g, column);
}

namespace {

// The grid of a menu column (the row is not checked); nullptr with status -1 otherwise.
GridInstance* menucolumn(int& status, int column) {
  GridInstance* g = locate(status);
  if (!g || column < 0 || column >= g->columncount ||
      g->columns[static_cast<std::size_t>(column)].type != GridMenu) {
    status = GridNoGrid;
    return nullptr;
  }
  return g;
}

bool currenteditor(const GridInstance& g, int column, int row) {
  return g.editor != nullptr && column == g.currentcolumn && row == g.currentrow;
}

}  // namespace

void yygridputmenu(int& status, int column, int row, std::string_view text) {
  GridInstance* g = menucolumn(status, column);
  if (!g) return;
  GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  const std::string item(upToNul(text));
  c.options.push_back(item);
  if (c.prototypeeditor) win::SendMessage(c.prototypeeditor, win::CB_ADDSTRING, 0, reinterpret_cast<win::LPARAM>(item.c_str()));
  if (currenteditor(*g, column, row))
    win::SendMessage(g->editor, win::CB_ADDSTRING, 0, reinterpret_cast<win::LPARAM>(item.c_str()));
}

void yygridclearmenu(int& status, int column, int row) {
  GridInstance* g = menucolumn(status, column);
  if (!g) return;
  GridColumn& c = g->columns[static_cast<std::size_t>(column)];
  c.options.clear();
  if (c.prototypeeditor) win::SendMessage(c.prototypeeditor, win::CB_RESETCONTENT, 0, 0);
  if (currenteditor(*g, column, row)) win::SendMessage(g->editor, win::CB_RESETCONTENT, 0, 0);
}

void yygridcelllength(int& status, int column, int& length) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  if (column < 0 || column >= g->columncount || g->columns[static_cast<std::size_t>(column)].type != GridString) {
    status = GridOutOfRange;
    return;
  }
  length = g->columns[static_cast<std::size_t>(column)].textlength + 1;
}

void yygridredefine(int& status, int columns, const int* positions) {
  GridInstance* g = locate(status);
  if (!g || yygridrebuild(*g, columns, positions) == 0) status = GridNoGrid;
}

void yygridrangecheck2(int& status, const GridInstance& g, int column, double value) {
  if (column < 0 || column >= g.columncount) { status = GridOutOfRange; return; }
  const GridFieldRecord& f = g.columns[static_cast<std::size_t>(column)].prototype;
  if (!(f.rangelow > f.rangehigh) && (value < f.rangelow || value > f.rangehigh))
    status = GridNoValue;
}

void yygridrangecheck(int& status, int column, double value) {
  GridInstance* g = locate(status);
  if (!g) { status = GridNoGrid; return; }
  yygridrangecheck2(status, *g, column, value);
}

// Public grid field operations --------------------------------------------------------------
namespace {

// No dialog current and a dialog field named: 1005.
bool noDialog(int ident, std::string_view name) {
  if (tessar.dialog.CURDIALOG == 0 && ident != 0) {
    yyerror(1005, name);
    return true;
  }
  return false;
}

// Maps a store status to its error and records it; true when the call succeeded.
bool report(int status, std::string_view name, bool get = false) {
  int number = 0;
  if (status == GridNoGrid) number = 1006;
  else if (status == GridOutOfRange) number = 1017;
  else if (status == GridNoValue) number = get ? 1010 : 1009;
  if (number) yyerror(number, name);
  return number == 0;
}

std::string_view trimmed(std::string_view t) {
  const auto n = t.find_last_not_of(' ');
  return n == std::string_view::npos ? std::string_view{} : t.substr(0, n + 1);
}

void putNumber(int ident, int icol, int irow, double value, int kind, std::string_view cformat,
               std::string_view name) {
  if (noDialog(ident, name)) return;
  std::string fmt;
  if (kind != GridInteger) {
    const std::string_view given = upToNul(cformat.substr(0, 50));
    if (!trimmed(given).empty()) fmt.assign(trimmed(given));
    else yygridgetformat(ident, icol - 1, fmt, 51);
  }
  int status = ident, first = 0, shown = 0;
  yygridgetinfo(status, 9, first);
  if (!report(status, name)) return;
  yygridgetinfo(status, 101, shown);
  std::string text;
  if (irow >= first && irow < first + shown) {
    std::string t(100, ' ');
    if (kind == GridInteger) yyint2st(static_cast<int>(value), t);
    else if (kind == GridReal) yyrea2st(static_cast<float>(value), t, fmt);
    else yydbl2st(value, t, fmt);
    text.assign(trimmed(upToNul(t)));
  } else {
    text = kind == GridInteger ? "0" : "0.0";
  }
  yygridrangecheck(status, icol - 1, value);
  if (!report(status, name)) return;
  yygridputcellstring(status, icol - 1, irow - 1, value, text, fmt);
  report(status, name);
}

// Fixed-length output: blank-padded or cut to the argument's length.
void padTo(std::string& out, std::string_view text) {
  const std::size_t n = out.size();
  out.assign(text.substr(0, std::min(n, text.size())));
  out.resize(n, ' ');
}

}  // namespace

void WGridRows(int ident, int nrows) {
  constexpr std::string_view name = "WGridRows";
  if (noDialog(ident, name)) return;
  int status = ident, allocated = 0;
  yygridgetinfo(status, 2, allocated);
  if (!report(status, name)) return;
  if (nrows < 1) { yyerror(1018, name); return; }
  yygridsetrows(status, std::min(nrows, allocated));
  if (nrows > allocated) yyerror(1018, name);
}

void WGridPutCellString(int ident, int icol, int irow, std::string_view cvalue) {
  constexpr std::string_view name = "WGridPutCellString";
  if (noDialog(ident, name)) return;
  int status = ident;
  yygridputcellstring(status, icol - 1, irow - 1, 0.0, trimmed(cvalue), {});
  report(status, name);
}

void WGridPutCellInteger(int ident, int icol, int irow, int ivalue) {
  putNumber(ident, icol, irow, ivalue, GridInteger, {}, "WGridPutCellInteger");
}
void WGridPutCellReal(int ident, int icol, int irow, float rvalue, std::string_view cformat) {
  putNumber(ident, icol, irow, rvalue, GridReal, cformat, "WGridPutCellReal");
}
void WGridPutCellDouble(int ident, int icol, int irow, double dvalue, std::string_view cformat) {
  putNumber(ident, icol, irow, dvalue, GridDouble, cformat, "WGridPutCellDouble");
}

void WGridPutCellCheckBox(int ident, int icol, int irow, int istate) {
  if (noDialog(ident, "WGridPutCellCheckBox")) return;
  int status = ident;
  yygridputcellcheck(status, icol - 1, irow - 1, istate);
  report(status, "WGridPutCellCheckBox");
}

void WGridPutCellOption(int ident, int icol, int irow, int ioption) {
  if (noDialog(ident, "WGridPutCellOption")) return;
  int status = ident;
  yygridputcelloption(status, icol - 1, irow - 1, ioption);
  report(status, "WGridPutCellOption");
}

void WGridGetCellString(int ident, int icol, int irow, std::string& cvalue) {
  if (noDialog(ident, "WGridGetCellString")) return;
  int status = ident;
  std::string buffer;
  yygridgetcellstring(status, icol - 1, irow - 1, buffer, static_cast<int>(cvalue.size()) + 1);
  if (report(status, "WGridGetCellString", true)) padTo(cvalue, buffer);
}

namespace {
// 0 ok, 1 empty (the empty values apply), -1 failed (output unchanged).
int getValue(int ident, int icol, int irow, double& v, std::string_view name) {
  if (noDialog(ident, name)) return -1;
  int status = ident;
  yygridgetcellvalue(status, icol - 1, irow - 1, v);
  if (status == GridNoValue) { report(status, name, true); return 1; }
  return report(status, name, true) ? 0 : -1;
}
}  // namespace

void WGridGetCellInteger(int ident, int icol, int irow, int& ivalue) {
  double v = 0.0;
  const int r = getValue(ident, icol, irow, v, "WGridGetCellInteger");
  if (r == 0) ivalue = static_cast<int>(std::trunc(v));
  else if (r == 1) ivalue = tessar.dialog.EmptyInteger;
}
void WGridGetCellReal(int ident, int icol, int irow, float& rvalue) {
  double v = 0.0;
  const int r = getValue(ident, icol, irow, v, "WGridGetCellReal");
  if (r == 0) rvalue = static_cast<float>(v);
  else if (r == 1) rvalue = tessar.dialog.EmptyReal;
}
void WGridGetCellDouble(int ident, int icol, int irow, double& dvalue) {
  double v = 0.0;
  const int r = getValue(ident, icol, irow, v, "WGridGetCellDouble");
  if (r == 0) dvalue = v;
  else if (r == 1) dvalue = tessar.dialog.EmptyDouble;
}

void WGridGetCellCheckBox(int ident, int icol, int irow, int& istate) {
  if (noDialog(ident, "WGridGetCellCheckBox")) return;
  int status = ident;
  yygridgetcellcheck(status, icol - 1, irow - 1, istate);
  report(status, "WGridGetCellCheckBox");
}

void WGridGetCellMenu(int ident, int icol, int irow, int& ioption) {
  if (noDialog(ident, "WGridGetCellMenu")) return;
  int status = ident;
  yygridgetcellmenu(status, icol - 1, irow - 1, ioption);
  report(status, "WGridGetCellMenu");
}

void WGridLabelRow(int ident, int irow, std::string_view clabel) {
  constexpr std::string_view name = "WGridLabelRow";
  if (noDialog(ident, name)) return;
  int status = ident, allocated = 0;
  yygridgetinfo(status, 2, allocated);
  if (!report(status, name)) return;
  if (irow < 1 || irow > allocated) { yyerror(1017, name); return; }
  const std::string_view t = trimmed(clabel);
  yygridlabelrow(ident, irow - 1, t, static_cast<int>(t.size()) + 1);
}

void WGridColourCell(int ident, int icol, int irow, const int* irgbfore, const int* irgbback) {
  if (noDialog(ident, "WGridColourCell")) return;
  int c[6];
  auto split = [](const int* rgb, int* out) {
    if (!rgb) { out[0] = -1; out[1] = out[2] = 0; return; }
    if (*rgb == -1) { out[0] = 256; out[1] = out[2] = 0; return; }
    out[0] = *rgb & 255; out[1] = (*rgb >> 8) & 255; out[2] = (*rgb >> 16) & 255;
  };
  split(irgbfore, c);
  split(irgbback, c + 3);
  int status = ident;
  yygridcolourcell(status, icol - 1, irow - 1, c[0], c[1], c[2], c[3], c[4], c[5]);
  if (status != GridNoValue) report(status, "WGridColourCell");
}

void WGridStateCell(int ident, int icol, int irow, int istate) {
  if (noDialog(ident, "WGridStateCell")) return;
  int status = ident;
  yygridcellstate(status, icol - 1, irow - 1, istate);
  report(status, "WGridStateCell");
}

void WGridSetCell(int ident, int icol, int irow, std::optional<int> ipos) {
  if (noDialog(ident, "WGridSetCell")) return;
  int status = ident;
  yygridcellfocus(status, icol - 1, irow - 1, ipos ? *ipos - 1 : -1);
  report(status, "WGridSetCell");
}

void WGridClearCell(int ident, int icol, int irow) {
  if (noDialog(ident, "WGridClearCell")) return;
  int status = ident;
  yygridclearcell(status, icol - 1, irow - 1, 0);
  report(status, "WGridClearCell");
}

// Row insertion and deletion -----------------------------------------------------------------
namespace {

void moveCell(int ident, int col, int from, int to) {
  int status = ident, type = 0;
  yygridcelltype(status, col - 1, type);
  switch (type) {
    case 4: {
      std::string t;
      status = ident;
      yygridgetcellstring(status, col - 1, from - 1, t, 32768);
      status = ident;
      yygridputcellstring(status, col - 1, to - 1, 0.0, t, {});
      break;
    }
    case 5: case 6: case 7: {
      std::string t(50, ' ');
      WGridGetCellString(ident, col, from, t);
      if (trimmed(t).empty()) { WGridClearCell(ident, col, to); break; }
      double d = 0.0;
      WGridGetCellDouble(ident, col, from, d);
      if (type == 5) WGridPutCellInteger(ident, col, to, static_cast<int>(d));
      else if (type == 6) WGridPutCellReal(ident, col, to, static_cast<float>(d));
      else WGridPutCellDouble(ident, col, to, d);
      break;
    }
    case 9: {
      int s = 0;
      WGridGetCellCheckBox(ident, col, from, s);
      WGridPutCellCheckBox(ident, col, to, s);
      break;
    }
    default: {
      int o = 0;
      WGridGetCellMenu(ident, col, from, o);
      WGridPutCellOption(ident, col, to, o);
      break;
    }
  }
}

void emptyCell(int ident, int col, int row) {
  int status = ident, type = 0;
  yygridcelltype(status, col - 1, type);
  if (type == 11) WGridPutCellOption(ident, col, row, 1);
  else WGridClearCell(ident, col, row);
}

void moveLabel(int ident, int from, int to) {
  std::string t;
  yygridgetrowlabel(ident, from - 1, t, 32768);
  WGridLabelRow(ident, to, t);
}

// Shared checks; the rows in use, or 0 after an error.
int rowsInUse(int ident, int irow, std::string_view name) {
  if (noDialog(ident, name)) return 0;
  int status = ident, n = 0;
  yygridgetinfo(status, 3, n);
  if (!report(status, name)) return 0;
  if (irow < 1 || irow > n) { yyerror(1017, name); return 0; }
  return n;
}

}  // namespace

namespace {
// A bulk change paints the grid once, at its end.
struct PaintOnce {
  int ident;
  explicit PaintOnce(int i) : ident(i) { yygridcellredrawoff(); }
  ~PaintOnce() { yygridcellredrawon(ident); }
};
}  // namespace

void WGridInsertRows(int ident, int irow, int number, int iadjust, int ilabels) {
  constexpr std::string_view name = "WGridInsertRows";
  const PaintOnce paint(ident);
  int n = rowsInUse(ident, irow, name);
  if (n == 0) return;
  int status = ident, allocated = 0, columns = 0;
  yygridgetinfo(status, 2, allocated);
  yygridgetinfo(status, 1, columns);
  const int k = std::max(0, number);
  // A full grid cannot make room: refuse rather than push rows off its end.
  if (k > 0 && (n == allocated || (iadjust == 1 && n + k > allocated))) {
    yyerror(1018, name);
    return;
  }
  if (iadjust == 1) {
    n = std::min(n + k, allocated);
    WGridRows(ident, n);
  }
  for (int c = 1; c <= columns; ++c)
    for (int t = n; t >= irow + k; --t) moveCell(ident, c, t - k, t);
  if (ilabels == 1)
    for (int t = n; t >= irow + k; --t) moveLabel(ident, t - k, t);
  for (int c = 1; c <= columns; ++c)
    for (int r = irow; r <= irow + k - 1; ++r) emptyCell(ident, c, r);
  if (ilabels == 1)
    for (int r = irow; r <= irow + k - 1; ++r) WGridLabelRow(ident, r, {});
}

void WGridDeleteRows(int ident, int irow, int number, int iadjust, int ilabels) {
  constexpr std::string_view name = "WGridDeleteRows";
  const PaintOnce paint(ident);
  const int n = rowsInUse(ident, irow, name);
  if (n == 0) return;
  int status = ident, columns = 0;
  yygridgetinfo(status, 1, columns);
  const int d = std::clamp(number, 0, n - irow + 1);
  for (int c = 1; c <= columns; ++c)
    for (int t = irow; t <= n - d; ++t) moveCell(ident, c, t + d, t);
  if (ilabels == 1)
    for (int t = irow; t <= n - d; ++t) moveLabel(ident, t + d, t);
  if (iadjust == 1) {
    WGridRows(ident, n - d);
    return;
  }
  for (int c = 1; c <= columns; ++c)
    for (int r = n - d + 1; r <= n; ++r) emptyCell(ident, c, r);
  if (ilabels == 1)
    for (int r = n - d + 1; r <= n; ++r) WGridLabelRow(ident, r, {});
}
