// toolkit/grid/wgrid.cpp: the grid window. Sections (grep "[SECTION]"): registration and
// creation | set-up | geometry and painting | scrolling | current-cell editor | moving and
// input | selection and clipboard | window procedures | modal copy | whole-grid settings
//
// Invariants: (1) every cell index reaching a store is below the column count and the rows
// in use; (2) at most one editor per grid, a child of the cell area with identifier -1;
// (3) a grid with an owner (a modal copy) never frees the columns or labels it shows.
#include "toolkit/grid/wgrid.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/combobox.h"
#include "platform/dialog.h"
#include "platform/edit.h"
#include "platform/gdi.h"
#include "platform/header.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/updown.h"
#include "toolkit/text/convert.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"

using namespace win;

namespace {

// Module flags of the grid input.
int gridMovesFocus = 0, focusFromOutside = 0, selectionRepaint = 1;
int lastDownColumn = -1, lastDownRow = -1;
bool pendingSet = false;   // the pending scroll target is set (it may be row 0)

LRESULT yygridwndproc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yygridwndprocclient(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yygridcellwndproc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yygridsubheader(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
void validateprototypes(GridInstance& g);

DWORD styleof(HWND h) { return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)); }
bool has(const GridInstance& g, DWORD style) { return (styleof(g.window) & style) != 0; }
GridColumn& col(GridInstance& g, int c) { return g.data().columns[static_cast<std::size_t>(c)]; }
bool numeric(int type) { return type >= GridInteger && type <= GridDouble; }
bool textlike(int type) { return type <= GridDouble; }

std::string classname(HWND h) {
  char name[64] = {};
  GetClassName(h, name, sizeof name);
  return name;
}
bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}
std::string windowtext(HWND h, int limit = 32767) {
  std::string t(static_cast<std::size_t>(limit) + 1, '\0');
  const int n = GetWindowText(h, t.data(), limit + 1);
  t.resize(static_cast<std::size_t>(std::max(0, n)));
  return t;
}
bool blank(std::string_view t) { return t.find_first_not_of(' ') == std::string_view::npos; }

GridInstance* ofcellarea(HWND area) { return area ? yygridinstance(GetParent(area)) : nullptr; }
GridInstance* ofeditor(HWND editor) { return editor ? ofcellarea(GetParent(editor)) : nullptr; }

bool focusinside(const GridInstance& g) {
  HWND f = GetFocus();
  return f != nullptr && (f == g.window || IsChild(g.window, f));
}

int ident(const GridInstance& g) { return GetDlgCtrlID(g.window); }

void cellchange(GridInstance& g) {
  SendMessage(GetParent(g.window), GM_CELLCHANGE, static_cast<WPARAM>(ident(g)),
              yygridpackcell(g.currentcolumn, g.currentrow));
}

// The field-changed event the grid writes itself (value3 1 paste or delete, 2 selection).
void gridevent(GridInstance& g, int kind, int x, int y) {
  if (wMessageEnabled[EV_FIELDCHANGED - 1] == 0) return;
  if (kind == 2 && wMessageType == EV_FIELDCHANGED && wValidMessage == 0) return;
  wMessageType = EV_FIELDCHANGED;
  wMessageWin = yydialogidentifier(GetParent(g.window));
  wMessageValue1 = wMessageValue2 = ident(g);
  wMessageValue3 = kind;
  wMessageValue4 = -1;
  wMessageX = x;
  wMessageY = y;
  wMessageTime = static_cast<int>(GetMessageTime());
  wValidMessage = 0;
  ++wCompletions;
}

int cellareawidth(const GridInstance& g) {
  RECT r;
  GetClientRect(g.cellarea, r);
  return r.right;
}
int cellareaheight(const GridInstance& g) {
  RECT r;
  GetClientRect(g.cellarea, r);
  return r.bottom;
}

// Rows considered for painting and hit testing, counted from the first visible row.
int consideredrows(const GridInstance& g) {
  int n = g.firstvisiblerow + g.visiblerows < g.rowsinuse ? g.rowlabelslots : std::min(g.visiblerows, g.rowsinuse);
  return std::max(0, std::min(n, g.rowsinuse - g.firstvisiblerow));
}
int lastconsideredcolumn(const GridInstance& g) { return std::min(g.lastvisiblecolumn + 1, g.columncount - 1); }

// Left edge of column c in the cell area (negative left of the view).
int columnx(GridInstance& g, int c) {
  int x = 0;
  if (c >= g.firstvisiblecolumn)
    for (int k = g.firstvisiblecolumn; k < c; ++k) x += col(g, k).width - 1;
  else
    for (int k = c; k < g.firstvisiblecolumn; ++k) x -= col(g, k).width - 1;
  return x;
}
int rowy(const GridInstance& g, int r) { return (r - g.firstvisiblerow) * (g.rowheight - 1); }

// Height of a drop-down list combo box in the font, less 1.
int measurerow(HWND parent, HFONT font) {
  HWND combo = CreateWindowEx(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, parent, nullptr,
                              nullptr, nullptr);
  if (combo == nullptr) return 20;
  if (font) SendMessage(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  RECT r;
  GetWindowRect(combo, r);
  DestroyWindow(combo);
  return std::max(4, static_cast<int>(r.bottom - r.top) - 1);
}

void sethelditem(HWND header, int item, int width, const char* text, int fmt, bool insert) {
  HDITEM it;
  it.mask = HDI_WIDTH | HDI_FORMAT | (text ? HDI_TEXT : 0u);
  it.cxy = width;
  it.pszText = const_cast<char*>(text);
  it.fmt = fmt | HDF_STRING;
  SendMessage(header, insert ? HDM_INSERTITEM : HDM_SETITEM, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Registration and creation
// - yygridregister(), yygridinstance(), creation, font, enabling, destruction
//------------------------------------------------------------------------------
void yygridregister() {
  WNDCLASS wc;
  if (GetClassInfo(nullptr, "VXKGRID", wc)) return;
  ++gridRegistrations;
  RegisterDialogClasses();
  WNDCLASS g;
  g.style = CS_PARENTDC;
  g.lpfnWndProc = yygridwndproc;
  g.cbWndExtra = sizeof(void*);
  g.hCursor = LoadCursor(nullptr, IDC_ARROW);
  g.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  g.lpszClassName = "VXKGRID";
  atomGrid = RegisterClass(g);
  WNDCLASS c = g;
  c.lpfnWndProc = yygridwndprocclient;
  c.cbWndExtra = 0;
  c.lpszClassName = "VXKGRIDCLIENT";
  atomGridClient = RegisterClass(c);
  GM_CELLCHANGE = RegisterWindowMessage("GM_CELLCHANGE");
}

GridInstance* yygridinstance(HWND hwnd) {
  if (hwnd == nullptr || atomGrid == 0 || GetClassLong(hwnd, GCW_ATOM) != atomGrid) return nullptr;
  return reinterpret_cast<GridInstance*>(GetWindowLongPtr(hwnd, 0));
}

namespace {

void fitheight(GridInstance& g) {
  if (has(g, GRS_FIXEDHEIGHT) || g.passive) return;
  RECT r;
  GetWindowRect(g.window, r);
  const int height = (g.rowheight - 1) * g.visiblerows + g.frameheight + 1 + (has(g, GRS_COLUMNHEADER) ? 2 : 0);
  SetWindowPos(g.window, nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Every grid window's instance, so that a modal copy can be cut loose from a loaded grid that
// goes first.
std::vector<GridInstance*> liveGrids;

LRESULT create(HWND h, const CREATESTRUCT& cs) {
  auto* g = new GridInstance;
  liveGrids.push_back(g);
  SetWindowLongPtr(h, 0, reinterpret_cast<LONG_PTR>(g));
  g->window = h;
  g->hasrowlabels = (cs.style & GRS_ROWLABELS) != 0;
  g->hascolumnheader = (cs.style & GRS_COLUMNHEADER) != 0;
  g->font = reinterpret_cast<HFONT>(SendMessage(GetParent(h), WM_GETFONT, 0, 0));
  g->rowheight = measurerow(h, g->font);
  RECT client, window;
  GetClientRect(h, client);
  GetWindowRect(h, window);
  g->visiblerows = std::max(0, static_cast<int>(client.bottom - 1) / (g->rowheight - 1));
  g->frameheight = (window.bottom - window.top) - client.bottom;
  g->creationclientheight = client.bottom;
  g->currentcolumn = g->currentrow = g->firstvisiblecolumn = g->firstvisiblerow = 0;
  fitheight(*g);
  if (g->hascolumnheader) {
    g->header = CreateWindowEx(WS_EX_NOPARENTNOTIFY, WC_HEADER, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 0,
                               window.right - window.left, g->rowheight, h, nullptr, nullptr, nullptr);
    if (g->header == nullptr) return -1;
    SetWindowLongPtr(g->header, GWLP_USERDATA, SetWindowLongPtr(g->header, GWLP_WNDPROC,
                                                                 reinterpret_cast<LONG_PTR>(yygridsubheader)));
    if (g->font) SendMessage(g->header, WM_SETFONT, reinterpret_cast<WPARAM>(g->font), FALSE);
    g->headerheight = client.bottom;
    --g->visiblerows;
  }
  return 0;
}

void setfont(GridInstance& g, HFONT font) {
  g.font = font;
  g.rowheight = measurerow(g.window, font);
  g.visiblerows = std::max(0, (g.creationclientheight - 1) / (g.rowheight - 1));
  fitheight(g);
  if (g.header) {
    SendMessage(g.header, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    RECT r;
    GetWindowRect(g.header, r);
    SetWindowPos(g.header, nullptr, 0, 0, r.right - r.left, g.rowheight + 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    g.headerheight = g.rowheight + 1;
    --g.visiblerows;
  }
}

void destroy(HWND h, GridInstance* g) {
  yyGridDestroyCurrent(*g, 1);
  liveGrids.erase(std::remove(liveGrids.begin(), liveGrids.end(), g), liveGrids.end());
  for (GridInstance* other : liveGrids)
    if (other->owner == g) {
      // A copy showing this grid shows nothing from now on.
      yyGridDestroyCurrent(*other, 0);
      other->owner = nullptr;
      other->columncount = other->rowsinuse = other->rowsallocated = 0;
      if (other->cellarea) InvalidateRect(other->cellarea, nullptr, TRUE);
    }
  if (!g->owner) {
    for (GridColumn& c : g->columns) c.prototypeeditor = nullptr;   // children go with the window
  }
  SetWindowLongPtr(h, 0, 0);
  delete g;
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Set-up
// - yygridinitialise(), the private messages (columns, row labels, scroll bars, size)
//------------------------------------------------------------------------------
namespace {

// Reads an optional "-" and digits at pos (after blanks); stops at the first other character.
int readnumber(std::string_view t, std::size_t& pos) {
  while (pos < t.size() && t[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < t.size() && t[pos] == '-') { negative = true; ++pos; }
  long long v = 0;
  while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9') {
    v = std::min(v * 10 + (t[pos] - '0'), 2147483647LL);
    ++pos;
  }
  return static_cast<int>(negative ? -v : v);
}
void skiptonumber(std::string_view t, std::size_t& pos) {
  while (pos < t.size() && t[pos] != ' ' && t[pos] != '\n') ++pos;
  while (pos < t.size() && t[pos] == ' ') ++pos;
}

int columntype(HWND child) {
  const std::string name = classname(child);
  if (iequals(name, "EDIT")) return GridString;
  if (iequals(name, "INTEGEREDIT") || iequals(name, "INTEGERSPIN")) return GridInteger;
  if (iequals(name, "REALEDIT") || iequals(name, "REALSPIN")) return GridReal;
  if (iequals(name, "DOUBLEEDIT") || iequals(name, "DOUBLESPIN")) return GridDouble;
  if (iequals(name, "BUTTON") && (styleof(child) & 0xF) == BS_AUTOCHECKBOX) return GridCheckBox;
  if (iequals(name, "COMBOBOX")) return GridMenu;
  return -1;
}
bool isupdown(HWND h) { return iequals(classname(h), UPDOWN_CLASS); }
// The column type whose spinner class the control is; 0 for any other class.
int spinnerclass(HWND h) {
  const std::string name = classname(h);
  if (iequals(name, "INTEGERSPIN")) return GridInteger;
  if (iequals(name, "REALSPIN")) return GridReal;
  if (iequals(name, "DOUBLESPIN")) return GridDouble;
  return 0;
}

// The n-th (1-based) control of a template, not counting up-down buddies.
HWND nthcontrol(HWND templ, int n) {
  for (HWND c = GetWindow(templ, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (isupdown(c)) continue;
    if (--n == 0) return c;
  }
  return nullptr;
}

// Whether the template has a control of a column type for each of the count columns, walked
// as setcolumns walks it: a redefinition checks this before it takes the old columns down.
bool templatefits(HWND templ, int count, const int* positions) {
  if (templ == nullptr || count < 0) return false;
  HWND child = GetWindow(templ, GW_CHILD);
  while (child && isupdown(child)) child = GetWindow(child, GW_HWNDNEXT);
  for (int c = 0; c < count; ++c) {
    if (positions != nullptr) child = nthcontrol(templ, positions[c]);
    if (child == nullptr || columntype(child) < 0) return false;
    child = GetWindow(child, GW_HWNDNEXT);
    while (child && isupdown(child)) child = GetWindow(child, GW_HWNDNEXT);
  }
  return true;
}

LRESULT setcolumns(GridInstance& g, HWND templ, const int* positions) {
  bool ok = true;
  g.columns.assign(static_cast<std::size_t>(g.columncount), GridColumn{});
  if (g.header) sethelditem(g.header, 0, g.rowlabelwidth + 1, "", HDF_LEFT, true);
  RECT client;
  GetClientRect(g.window, client);
  if (g.cellarea == nullptr)
    g.cellarea = CreateWindowEx(0, "VXKGRIDCLIENT", "", WS_CHILD | WS_VISIBLE, g.rowlabelwidth, g.headerheight,
                                client.right - g.rowlabelwidth, client.bottom - g.headerheight, g.window, nullptr,
                                nullptr, nullptr);
  if (g.cellarea == nullptr) return 0;
  const int areawidth = cellareawidth(g);
  const auto rows = static_cast<std::size_t>(g.rowsallocated);
  HWND child = templ ? GetWindow(templ, GW_CHILD) : nullptr;
  while (child && isupdown(child)) child = GetWindow(child, GW_HWNDNEXT);
  for (int c = 0; c < g.columncount; ++c) {
    GridColumn& column = g.columns[static_cast<std::size_t>(c)];
    if (positions != nullptr) child = templ ? nthcontrol(templ, positions[c]) : nullptr;
    if (child == nullptr) { ok = false; break; }
    const int type = columntype(child);
    if (type < 0) { ok = false; break; }
    RECT wr;
    GetWindowRect(child, wr);
    HWND next = GetWindow(child, GW_HWNDNEXT);
    HWND buddy = next && isupdown(next) ? next : nullptr;
    if (buddy) {
      RECT br;
      GetWindowRect(buddy, br);
      wr.right = std::max(wr.right, br.right);
      next = GetWindow(buddy, GW_HWNDNEXT);
    }
    column.width = std::min(static_cast<int>(wr.right - wr.left), std::max(areawidth, 2));
    column.type = type;
    int length = 0;
    GridFieldRecord rec;
    const bool hasrecord = gridservices.readrecord && gridservices.readrecord(child, rec, length);
    switch (type) {
      case GridString:
        column.textlength = length > 0 ? length : 1024;
        column.strings.assign(rows * static_cast<std::size_t>(column.textlength + 1), '\0');
        break;
      case GridInteger: column.textlength = 11; column.integers.assign(rows, 0); break;
      case GridReal: column.reals.assign(rows, 0.0f); break;
      case GridDouble: column.doubles.assign(rows, 0.0); break;
      default: column.integers.assign(rows, 0); break;
    }
    column.states.assign(rows, 0);
    const DWORD cs = styleof(child);
    if (textlike(type) && (cs & ES_READONLY))
      std::fill(column.states.begin(), column.states.end(), GridCellLocked);
    DWORD style = cs | WS_BORDER;
    if (has(g, GRS_READONLY)) {
      if (textlike(type)) style |= ES_READONLY;
      if (type == GridCheckBox) style = (style & ~0xFu) | BS_CHECKBOX;
    }
    if (textlike(type)) style |= ES_MULTILINE;
    style &= ~(WS_VISIBLE | WS_DISABLED);
    if (!IsWindowEnabled(g.window)) style |= WS_DISABLED;
    int height = g.rowheight;
    if (type == GridMenu) {
      RECT dr;
      SendMessage(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dr));
      height = std::max(height, static_cast<int>(dr.bottom - wr.top));
      style |= CBS_DROPDOWNLIST | WS_VSCROLL;
    }
    column.prototypestyle = style;
    const std::string text = type == GridCheckBox ? std::string(29, ' ') : std::string();
    column.prototypeeditor = CreateWindowEx(WS_EX_NOPARENTNOTIFY, classname(child).c_str(), text.c_str(),
                                            style | WS_CHILD, 0, 0, column.width, height, g.cellarea,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), nullptr, nullptr);
    if (column.prototypeeditor == nullptr) { ok = false; break; }
    SendMessage(column.prototypeeditor, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), FALSE);
    if (type == GridString) SendMessage(column.prototypeeditor, EM_LIMITTEXT, static_cast<WPARAM>(column.textlength), 0);
    else if (type == GridInteger) SendMessage(column.prototypeeditor, EM_LIMITTEXT, 11, 0);
    else if (numeric(type)) SendMessage(column.prototypeeditor, EM_LIMITTEXT, 0, 0);
    GridFieldRecord& p = column.prototype;
    if (hasrecord) {
      p.rangelow = rec.rangelow;
      p.rangehigh = rec.rangehigh;
      p.spinsmall = rec.spinsmall;
      p.spinlarge = rec.spinlarge;
      p.spinoption = rec.spinoption;
      p.value = rec.value;
      p.hasformat = rec.hasformat;
      p.format = rec.format;
    }
    p.textcolour = p.background = -1;
    p.hasvalue = 0;
    p.align = (cs & ES_RIGHT) ? 2 : (cs & ES_CENTER) ? 1 : 0;
    p.spinnerclass = spinnerclass(child);
    if (gridservices.giverecord) gridservices.giverecord(column.prototypeeditor, p, column.textlength);
    // The template spinner's up-down range reaches the prototype's up-down control.
    if (HWND from = buddy ? buddy : yygridupdown(child); from != nullptr)
      if (HWND to = yygridupdown(column.prototypeeditor))
        SendMessage(to, UDM_SETRANGE, 0, SendMessage(from, UDM_GETRANGE, 0, 0));
    if (type == GridMenu) {
      const int n = static_cast<int>(SendMessage(child, CB_GETCOUNT, 0, 0));
      column.options.clear();
      for (int k = 1; k < n; ++k) {
        std::string item(static_cast<std::size_t>(std::max<LRESULT>(0, SendMessage(child, CB_GETLBTEXTLEN, k, 0))) + 1, '\0');
        SendMessage(child, CB_GETLBTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(item.data()));
        item.resize(std::strlen(item.c_str()));
        column.options.push_back(item);
        SendMessage(column.prototypeeditor, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      }
    }
    if (g.header) {
      const std::string title = windowtext(child);
      sethelditem(g.header, c + 1, column.width - 1, title.c_str(), HDF_CENTER, true);
      // The titles the files write and the sort lists are the header's.
      if (g.columnlabels.size() < static_cast<std::size_t>(c) + 2) g.columnlabels.resize(static_cast<std::size_t>(c) + 2);
      g.columnlabels[static_cast<std::size_t>(c) + 1] = title;
    }
    child = next;
    while (child && isupdown(child)) child = GetWindow(child, GW_HWNDNEXT);
  }
  if (!ok) return 0;
  validateprototypes(g);
  if (IsWindowEnabled(g.window) && g.editor == nullptr) {
    g.initialised = 1;
    yyGridCreateCurrent(g);
  }
  return 1;
}

void labelitem(GridInstance& g, HWND control, int row) {
  const char* text = "";
  if (row >= 0 && row < static_cast<int>(g.data().rowlabels.size())) text = g.data().rowlabels[static_cast<std::size_t>(row)].data();
  sethelditem(control, 0, g.rowlabelwidth + 1, text, HDF_LEFT, SendMessage(control, HDM_GETITEMCOUNT, 0, 0) == 0);
}

HWND makerowlabel(GridInstance& g, int j, int y, int height) {
  HWND c = CreateWindowEx(WS_EX_NOPARENTNOTIFY, WC_HEADER, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, y,
                          g.rowlabelwidth, height, g.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(j)), nullptr,
                          nullptr);
  if (c == nullptr) return nullptr;
  SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), FALSE);
  SetWindowLongPtr(c, GWLP_USERDATA, SetWindowLongPtr(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yygridsubheader)));
  return c;
}

int setrowlabels(GridInstance& g, int width, std::string_view text) {
  g.rowlabelcontrols.assign(static_cast<std::size_t>(g.rowlabelslots), nullptr);
  g.rowlabels.assign(static_cast<std::size_t>(g.rowsinuse), std::array<char, 51>{});
  g.hasrowlabels = true;
  // Dialog units to pixels with the grid's font.
  HDC dc = GetDC(g.window);
  HGDIOBJ old = SelectObject(dc, g.font);
  TEXTMETRIC tm;
  GetTextMetrics(dc, tm);
  SelectObject(dc, old);
  ReleaseDC(g.window, dc);
  g.rowlabelwidth = width * tm.tmAveCharWidth / 4;
  for (int j = 0; j < g.rowlabelslots; ++j) {
    const int y = g.headerheight + j * (g.rowheight - 1) + (j > 0 ? 1 : 0);
    HWND c = makerowlabel(g, j, y, j == 0 ? g.rowheight : g.rowheight - 1);
    if (c == nullptr) return -1;
    g.rowlabelcontrols[static_cast<std::size_t>(j)] = c;
  }
  std::size_t pos = text.find('\n');
  pos = pos == std::string_view::npos ? text.size() : pos + 1;
  for (int row = 0; row < g.rowsinuse; ++row) {
    auto& label = g.rowlabels[static_cast<std::size_t>(row)];
    if (!has(g, GRS_NOLABELTEXT) && pos < text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view line = text.substr(pos, std::min<std::size_t>(end - pos, 50));
      std::size_t n = line.find_last_not_of(' ');
      n = n == std::string_view::npos ? 0 : n + 1;
      for (std::size_t k = 0; k < n; ++k) label[k] = line[k] == '\r' ? '\0' : line[k];
      pos = end < text.size() ? end + 1 : end;
    }
    if (row < g.rowlabelslots) labelitem(g, g.rowlabelcontrols[static_cast<std::size_t>(row)], row);
  }
  return static_cast<int>(pos) - 1;
}

void setscrollbars(GridInstance& g) {
  if (static_cast<int>(g.data().columns.size()) < g.columncount) return;   // not built (a failed set-up)
  int scale = 1, n = g.rowsinuse;
  while (n > 65536) { n /= 2; scale *= 2; }
  g.scrollscale = scale;
  g.scrollrange = n - 1;
  if (has(g, WS_VSCROLL)) {
    SCROLLINFO si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(0, n - 1);
    si.nPage = static_cast<UINT>(g.visiblerows / scale);
    si.nPos = g.firstvisiblerow / scale;
    SetScrollInfo(g.window, SB_VERT, si, TRUE);
  }
  const int width = g.cellarea ? cellareawidth(g) : 0;
  int sum = 1, fitted = 0;
  bool overran = false;
  g.lastscrollcolumn = 0;
  for (int i = g.columncount - 1; i >= 0; --i) {
    sum += col(g, i).width - 1;
    if (sum > width) {
      // The first column from the right that does not fit; scrolling may go one past the
      // column after it, never past the last column.
      g.lastscrollcolumn = std::min(i + 2, g.columncount - 1);
      overran = true;
      break;
    }
    ++fitted;
  }
  if (has(g, WS_HSCROLL)) {
    SCROLLINFO si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(0, g.columncount - 1);
    si.nPage = static_cast<UINT>(overran ? std::max(1, fitted) : fitted);
    si.nPos = g.firstvisiblecolumn;
    SetScrollInfo(g.window, SB_HORZ, si, TRUE);
  }
  sum = 1;
  g.lastvisiblecolumn = g.firstvisiblecolumn;
  for (int c = g.firstvisiblecolumn; c < g.columncount; ++c) {
    sum += col(g, c).width - 1;
    if (sum > width) { g.lastvisiblecolumn = std::max(g.firstvisiblecolumn, c - 1); break; }
    g.lastvisiblecolumn = c;
  }
}

void setheaderwidths(GridInstance& g) {
  if (!g.header) return;
  const int n = std::min(g.columncount, g.lastvisiblecolumn + 2);
  for (int c = 0; c < n; ++c)
    sethelditem(g.header, c + 1, c < g.firstvisiblecolumn ? 0 : col(g, c).width - 1, nullptr, HDF_CENTER, false);
}

}  // namespace

int yygridinitialise(HWND grid, std::string_view text) {
  GridInstance* g = yygridinstance(grid);
  if (g == nullptr) return 0;
  std::size_t pos = 0;
  g->columncount = readnumber(text, pos);
  skiptonumber(text, pos);
  const int rows = std::max(1, readnumber(text, pos));
  SendMessage(grid, GM_SETSIZE, static_cast<WPARAM>(rows), g->columncount);
  g->columnsatsetup = g->columncount;
  skiptonumber(text, pos);
  const int templ = readnumber(text, pos);
  if (g->initialised) return static_cast<int>(pos);
  bool ok = true;
  HWND dialog = gridservices.loadtemplate ? gridservices.loadtemplate(templ) : nullptr;
  if (dialog == nullptr) ok = false;
  if (has(*g, GRS_ROWLABELS)) {
    const std::size_t eol = text.find('\n', pos);
    pos = eol == std::string_view::npos ? text.size() : eol + 1;
    const int width = readnumber(text, pos);
    if (dialog) {
      const std::string_view rest = text.substr(std::min(pos, text.size()));
      const LRESULT used = SendMessage(grid, GM_SETROWLABELS, static_cast<WPARAM>(width),
                                       reinterpret_cast<LPARAM>(&rest));
      if (used == -1) ok = false;
      else pos += static_cast<std::size_t>(used);
    }
  }
  if (ok) ok = SendMessage(grid, GM_SETCOLUMNS, reinterpret_cast<WPARAM>(dialog), 0) != 0;
  SendMessage(grid, GM_SETSCROLLBARS, 0, 0);
  if (dialog) DestroyWindow(dialog);
  g->initialised = 1;
  g->rowtemplate = templ;
  if (!ok) {
    DestroyWindow(grid);
    return static_cast<int>(std::min(pos, text.size()));
  }
  setheaderwidths(*g);
  return static_cast<int>(std::min(pos, text.size()));
}

//------------------------------------------------------------------------------
// [SECTION] Geometry and painting
// - yyGridRedrawCell(), yygridcellredrawoff/on(), painting the cell area, re-layout
//------------------------------------------------------------------------------
namespace {

RECT cellrect(GridInstance& g, int c, int r) {
  const int x = columnx(g, c), y = rowy(g, r);
  return RECT{x, y, x + col(g, c).width, y + g.rowheight};
}
bool selected(const GridInstance& g, int c, int r) {
  return g.selfirstrow >= 0 && r >= g.selfirstrow && r <= g.sellastrow && c >= g.selfirstcolumn && c <= g.sellastcolumn;
}
COLORREF rgbof(std::uint8_t r, std::uint8_t gg, std::uint8_t b) { return RGB(r, gg, b); }

void cellcolours(GridInstance& g, int c, int r, bool focused, COLORREF& text, COLORREF& back) {
  GridColumn& column = col(g, c);
  const bool locked = (column.states[static_cast<std::size_t>(r)] & GridCellLocked) != 0;
  const bool readonly = has(g, GRS_READONLY) || locked;
  if (!IsWindowEnabled(g.window)) { text = GetSysColor(COLOR_GRAYTEXT); back = GetSysColor(COLOR_BTNFACE); return; }
  if (focused && selected(g, c, r)) { text = GetSysColor(COLOR_HIGHLIGHTTEXT); back = GetSysColor(COLOR_HIGHLIGHT); return; }
  if (readonly && !has(g, GRS_COLOURLOCKED)) { text = GetSysColor(COLOR_WINDOWTEXT); back = GetSysColor(COLOR_BTNFACE); return; }
  int t = -1, b = -1;
  if (!column.colours.empty()) {
    const GridCellColour& e = column.colours[static_cast<std::size_t>(r)];
    if (e.flags & 1) t = static_cast<int>(rgbof(e.textred, e.textgreen, e.textblue));
    if (e.flags & 2) b = static_cast<int>(rgbof(e.backred, e.backgreen, e.backblue));
  } else {
    t = column.prototype.textcolour;
    b = column.prototype.background;
  }
  int gt = -1, gb = -1;
  if (gridservices.gridcolours) gridservices.gridcolours(g.window, gt, gb);
  if (t == -1) t = gt;
  if (b == -1) b = gb;
  text = t == -1 ? GetSysColor(COLOR_WINDOWTEXT) : static_cast<COLORREF>(t);
  back = b == -1 ? GetSysColor(readonly ? COLOR_BTNFACE : COLOR_WINDOW) : static_cast<COLORREF>(b);
}

void drawcheck(HDC dc, const RECT& cell, bool on, COLORREF back) {
  HBRUSH bb = CreateSolidBrush(back);
  RECT inner{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
  FillRect(dc, inner, bb);
  DeleteObject(bb);
  const int size = 13;
  const int x = cell.left + 4, y = cell.top + std::max(1, (cell.bottom - cell.top - size) / 2);
  RECT box{x, y, x + size, y + size};
  HBRUSH white = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  FillRect(dc, box, white);
  DeleteObject(white);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, box.left, box.bottom - 1, nullptr);
  LineTo(dc, box.left, box.top);
  LineTo(dc, box.right - 1, box.top);
  LineTo(dc, box.right - 1, box.bottom - 1);
  LineTo(dc, box.left, box.bottom - 1);
  SelectObject(dc, old);
  DeleteObject(pen);
  if (!on) return;
  HPEN mark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
  old = SelectObject(dc, mark);
  for (int k = 0; k < 3; ++k) {
    MoveToEx(dc, x + 3, y + 5 + k, nullptr);
    LineTo(dc, x + 5, y + 7 + k);
    LineTo(dc, x + 10, y + 2 + k);
  }
  SelectObject(dc, old);
  DeleteObject(mark);
}

// The hidden prototypes are never painted: what placing text in them leaves to paint is
// dropped, so that the grid counts as drawn.
void validateprototypes(GridInstance& g) {
  for (GridColumn& c : g.data().columns) {
    if (!c.prototypeeditor) continue;
    RedrawWindow(c.prototypeeditor, nullptr, nullptr, RDW_VALIDATE | RDW_FRAME | RDW_NOINTERNALPAINT);
    if (HWND up = yygridupdown(c.prototypeeditor)) RedrawWindow(up, nullptr, nullptr, RDW_VALIDATE | RDW_FRAME | RDW_NOINTERNALPAINT);
  }
}

void paint(GridInstance& g, HDC dc, const RECT& update) {
  const int rows = consideredrows(g);
  const int last = lastconsideredcolumn(g);
  const int bottom = rows * (g.rowheight - 1);
  // Grid lines.
  int x = 0;
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, 0, bottom + 1);
  for (int c = g.firstvisiblecolumn; c <= last; ++c) {
    x += col(g, c).width - 1;
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, bottom + 1);
  }
  for (int r = 0; r <= rows; ++r) {
    MoveToEx(dc, 0, r * (g.rowheight - 1), nullptr);
    LineTo(dc, x + 1, r * (g.rowheight - 1));
  }
  HGDIOBJ oldfont = g.font ? SelectObject(dc, g.font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  const bool focused = focusinside(g);
  std::string text;
  struct Format { RECT rect{}; bool valid = false; };
  std::vector<Format> formats(g.data().columns.size());
  for (int c = g.firstvisiblecolumn; c <= last; ++c) {
    GridColumn& column = col(g, c);
    if (column.width <= 1) continue;
    const int left = columnx(g, c);
    if (left > update.right || left + column.width < update.left) continue;
    const int first = std::max(0, (update.top) / std::max(1, g.rowheight - 1) - 1);
    const int stop = std::min(rows, update.bottom / std::max(1, g.rowheight - 1) + 1);
    for (int k = first; k < stop; ++k) {
      const int r = g.firstvisiblerow + k;
      const RECT cell = cellrect(g, c, r);
      COLORREF fg, bg;
      cellcolours(g, c, r, focused, fg, bg);
      if (column.type == GridCheckBox) {
        drawcheck(dc, cell, column.integers[static_cast<std::size_t>(r)] == 1, bg);
        continue;
      }
      yyGridGetString(g.data(), c, r, text, 0);
      RECT inner{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
      HBRUSH brush = CreateSolidBrush(bg);
      FillRect(dc, inner, brush);
      DeleteObject(brush);
      SetTextColor(dc, fg);
      int tx = cell.left + 3, ty = cell.top + 3;
      RECT clip = inner;
      if (column.type != GridMenu && column.prototypeeditor) {
        // The prototype's formatting rectangle and its alignment place the text as the
        // editor would show it (the text itself is not put into the prototype, which would
        // give a hidden window something to paint on every paint).
        if (!formats[static_cast<std::size_t>(c)].valid) {
          SendMessage(column.prototypeeditor, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&formats[static_cast<std::size_t>(c)].rect));
          formats[static_cast<std::size_t>(c)].valid = true;
        }
        const RECT& fr = formats[static_cast<std::size_t>(c)].rect;
        SIZE extent{};
        GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), extent);
        const DWORD align = column.prototypestyle & (ES_CENTER | ES_RIGHT);
        int x0 = fr.left;
        if (align & ES_RIGHT) x0 = fr.right - extent.cx;
        else if (align & ES_CENTER) x0 = (fr.left + fr.right - extent.cx) / 2;
        // The editor's client area starts inside its one-pixel border, which lies on the
        // cell's top left grid lines: the text goes where the editor shows it, so that it
        // stays put when the editor comes and goes (a spinner's right-aligned value too).
        const int ex = cell.left + 1, ey = cell.top + 1;
        tx = ex + std::max<int>(static_cast<int>(fr.left), x0);
        ty = ey + fr.top;
        clip = RECT{ex + fr.left - 1, ey + fr.top, ex + fr.right, ey + fr.bottom};
        IntersectRect(clip, clip, inner);
      }
      ExtTextOut(dc, tx, ty, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    }
  }
  if (oldfont) SelectObject(dc, oldfont);
  validateprototypes(g);
}

void relabel(GridInstance& g) {
  for (std::size_t j = 0; j < g.rowlabelcontrols.size(); ++j)
    if (g.rowlabelcontrols[j]) labelitem(g, g.rowlabelcontrols[j], g.firstvisiblerow + static_cast<int>(j));
  if (!g.rowlabelcontrols.empty() && g.rowlabelcontrols.size() > static_cast<std::size_t>(g.visiblerows) &&
      g.rowlabelcontrols[static_cast<std::size_t>(g.visiblerows)])
    ShowWindow(g.rowlabelcontrols[static_cast<std::size_t>(g.visiblerows)],
               g.firstvisiblerow + g.visiblerows < g.rowsinuse ? SW_SHOWNA : SW_HIDE);
}

}  // namespace

void yyGridRedrawCell(GridInstance& g, int column, int row, int update) {
  if (g.cellarea == nullptr) return;
  if (row < g.firstvisiblerow || row >= g.firstvisiblerow + g.rowlabelslots) return;
  if (column < g.firstvisiblecolumn || column > g.lastvisiblecolumn + 1) return;
  RECT r = cellrect(g, column, row);
  r.bottom = std::min<LONG>(r.bottom, cellareaheight(g));
  InvalidateRect(g.cellarea, &r, FALSE);
  if (update) UpdateWindow(g.cellarea);
}

void yygridcellredrawoff() { bCellUpdate = 0; }

void yygridcellredrawon(int identifier) {
  bCellUpdate = 1;
  GridInstance* g = gridservices.locate ? gridservices.locate(identifier) : nullptr;
  if (g && g->cellarea) {
    relabel(*g);
    InvalidateRect(g->cellarea, nullptr, FALSE);
    UpdateWindow(g->cellarea);
  }
}

void yygridcellstored(GridInstance& g, int column, int row) {
  if (g.cellarea == nullptr) return;
  if (column == g.currentcolumn && row == g.currentrow && g.editor) yyGridUpdateCurrent(g);
  yyGridRedrawCell(g, column, row, bCellUpdate);
}

void yygridlabelschanged(GridInstance& g) {
  if (g.window && bCellUpdate) relabel(g);
}

void yygridrowschanged(GridInstance& g) {
  if (g.window == nullptr || g.cellarea == nullptr) return;
  const bool editor = g.editor != nullptr;
  yyGridDestroyCurrent(g, 1);
  if (g.currentrow >= g.rowsinuse) g.currentrow = std::max(0, g.rowsinuse - 1);
  g.firstvisiblerow = std::clamp(g.firstvisiblerow, 0, std::max(0, g.rowsinuse - g.visiblerows));
  setscrollbars(g);
  relabel(g);
  if (editor) yyGridCreateCurrent(g);
  InvalidateRect(g.cellarea, nullptr, TRUE);
  if (bCellUpdate) UpdateWindow(g.cellarea);
}

//------------------------------------------------------------------------------
// [SECTION] Scrolling
// - vertical, horizontal and wheel scrolls; the focus bringing the current cell into view
//------------------------------------------------------------------------------
namespace {

bool editorrefuses(GridInstance& g) {
  return g.editor && GetFocus() == g.editor && gridservices.outofrange && gridservices.outofrange(g.editor) != 0;
}

// A window's top left corner in the cell area.
POINT inarea(const GridInstance& g, HWND h) {
  RECT r;
  GetWindowRect(h, r);
  POINT p{r.left, r.top};
  ScreenToClient(g.cellarea, p);
  return p;
}

// The editor goes over the current cell; its up-down control keeps its place beside it.
void placeeditor(GridInstance& g) {
  if (!g.editor) return;
  const RECT r = cellrect(g, g.currentcolumn, g.currentrow);
  const POINT was = inarea(g, g.editor);
  SetWindowPos(g.editor, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (HWND up = yygridupdown(g.editor)) {
    const POINT u = inarea(g, up);
    SetWindowPos(up, nullptr, u.x + r.left - was.x, u.y + r.top - was.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void movecurrentinto(GridInstance& g, bool hadfocus) {
  const int row = std::clamp(g.currentrow, g.firstvisiblerow,
                             std::max(g.firstvisiblerow, std::min(g.rowsinuse - 1, g.firstvisiblerow + g.visiblerows - 1)));
  const int column = std::clamp(g.currentcolumn, g.firstvisiblecolumn, std::max(g.firstvisiblecolumn, g.lastvisiblecolumn));
  if (row != g.currentrow || column != g.currentcolumn) {
    yyGridDestroyCurrent(g, 1);
    g.currentrow = row;
    g.currentcolumn = column;
    yyGridCreateCurrent(g);
    if (hadfocus) cellchange(g);
  } else {
    placeeditor(g);
  }
  if (hadfocus && g.editor) {
    gridMovesFocus = 1;
    SetFocus(g.editor);
    gridMovesFocus = 0;
  }
}

void vscroll(GridInstance& g, int code) {
  if (editorrefuses(g)) return;
  int delta = 0;
  switch (code) {
    case SB_LINEUP: delta = -1; break;
    case SB_LINEDOWN: delta = 1; break;
    case SB_PAGEUP: delta = -g.visiblerows; break;
    case SB_PAGEDOWN: delta = g.visiblerows; break;
    case SB_THUMBTRACK: {
      int target = 0;
      if (pendingSet || g.pendingscroll) {
        target = g.pendingscroll;
        g.pendingscroll = 0;
        pendingSet = false;
      } else {
        SCROLLINFO si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(g.window, SB_VERT, si);
        target = si.nTrackPos * g.scrollscale;
      }
      delta = target - g.firstvisiblerow;
      break;
    }
    default: break;
  }
  if (delta < 0) delta = std::max(delta, -g.firstvisiblerow);
  if (delta > 0) {
    const int room = g.rowsinuse - g.visiblerows - g.firstvisiblerow;
    delta = room < 1 ? 0 : std::min(delta, room);
  }
  if (delta == 0) return;
  const bool hadfocus = focusinside(g);
  const int modified = g.data().modified, changed = g.data().changed;
  if (g.selfirstrow >= 0) yygridselectnone(g.window);
  yyGridStoreCurrent(g);
  g.firstvisiblerow += delta;
  if (has(g, WS_VSCROLL)) {
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = g.firstvisiblerow / g.scrollscale;
    SetScrollInfo(g.window, SB_VERT, si, TRUE);
  }
  ScrollWindowEx(g.cellarea, 0, -delta * (g.rowheight - 1), nullptr, nullptr, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  movecurrentinto(g, hadfocus);
  relabel(g);
  UpdateWindow(g.cellarea);
  g.data().modified = modified;
  g.data().changed = changed;
}

void hscroll(GridInstance& g, int code) {
  if (editorrefuses(g)) return;
  int delta = 0;
  const int width = cellareawidth(g);
  switch (code) {
    case SB_LINELEFT: delta = -1; break;
    case SB_LINERIGHT: delta = 1; break;
    case SB_PAGELEFT: {
      int sum = 1, first = g.firstvisiblecolumn;
      for (int c = g.firstvisiblecolumn - 1; c >= 0; --c) {
        sum += col(g, c).width - 1;
        if (sum > width) break;
        first = c;
      }
      delta = first - g.firstvisiblecolumn;
      break;
    }
    case SB_PAGERIGHT: delta = g.lastvisiblecolumn - g.firstvisiblecolumn; break;
    case SB_THUMBTRACK: {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(g.window, SB_HORZ, si);
      delta = si.nTrackPos - g.firstvisiblecolumn;
      break;
    }
    default: break;
  }
  const int target = std::clamp(g.firstvisiblecolumn + delta, 0, std::max(0, g.lastscrollcolumn));
  delta = target - g.firstvisiblecolumn;
  if (delta == 0) return;
  const bool hadfocus = focusinside(g);
  if (g.selfirstrow >= 0) yygridselectnone(g.window);
  const int dx = -columnx(g, target);
  g.firstvisiblecolumn = target;
  if (has(g, WS_HSCROLL)) {
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = g.firstvisiblecolumn;
    SetScrollInfo(g.window, SB_HORZ, si, TRUE);
  }
  setscrollbars(g);
  setheaderwidths(g);
  ScrollWindowEx(g.cellarea, -dx, 0, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  InvalidateRect(g.cellarea, nullptr, TRUE);
  movecurrentinto(g, hadfocus);
  UpdateWindow(g.cellarea);
  if (g.header) {
    InvalidateRect(g.header, nullptr, TRUE);
    UpdateWindow(g.header);
  }
}

// Scrolls so that the current cell is in view (the focus handling and the moves).
void bringintoview(GridInstance& g) {
  const int column = g.currentcolumn, row = g.currentrow;
  if (row < g.firstvisiblerow) {
    g.pendingscroll = row;
    pendingSet = true;
    vscroll(g, SB_THUMBTRACK);
  } else if (row >= g.firstvisiblerow + g.visiblerows) {
    g.pendingscroll = row - g.visiblerows + 1;
    pendingSet = true;
    vscroll(g, SB_THUMBTRACK);
  }
  g.pendingscroll = 0;
  pendingSet = false;
  if (column < g.firstvisiblecolumn) {
    const int d = g.firstvisiblecolumn - column;
    for (int k = 0; k < d; ++k) hscroll(g, SB_LINELEFT);
  } else if (column > g.lastvisiblecolumn) {
    for (int guard = 0; guard < g.columncount && column > g.lastvisiblecolumn; ++guard) {
      const int before = g.firstvisiblecolumn;
      hscroll(g, SB_LINERIGHT);
      if (g.firstvisiblecolumn == before) break;
    }
  }
  if (g.currentcolumn != column || g.currentrow != row) {
    yyGridDestroyCurrent(g, 1);
    g.currentcolumn = column;
    g.currentrow = row;
    yyGridCreateCurrent(g);
  }
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Current-cell editor
// - yyGridCreateCurrent(), yyGridDestroyCurrent(), yyGridUpdateCurrent(), yyGridStoreCurrent(),
//   yygridwindowstate(), yygridupdown(), yygridupdownrange(), yygridspinwndproc()
//------------------------------------------------------------------------------
HWND yygridupdown(HWND field) {
  return field != nullptr && gridservices.updownof ? gridservices.updownof(field) : nullptr;
}

void yygridupdownrange(HWND updown, double low, double high) {
  if (updown == nullptr) return;
  // A range that is switched off would turn the arrows round (the upper limit below the
  // lower): the control keeps its default range instead.
  if (!(low <= high)) {
    SendMessage(updown, UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(100), static_cast<WORD>(-100)));
    return;
  }
  auto limit = [](double v) { return static_cast<int>(std::clamp(v, -GridSpinLimit, GridSpinLimit)); };
  SendMessage(updown, UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(limit(high)), static_cast<WORD>(limit(low))));
}

LRESULT yygridspinwndproc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtr(h, GWLP_USERDATA));
  if (msg == WM_LBUTTONDOWN && (wParam & MK_SHIFT))
    if (HWND buddy = reinterpret_cast<HWND>(SendMessage(h, UDM_GETBUDDY, 0, 0)))
      return SendMessage(buddy, msg, wParam, lParam);
  return own ? CallWindowProc(own, h, msg, wParam, lParam) : DefWindowProc(h, msg, wParam, lParam);
}

void yygridwindowstate(HWND editor, int type, int lock, int redraw) {
  if (editor == nullptr) return;
  HWND area = GetParent(editor);
  HWND grid = area != nullptr ? GetParent(area) : nullptr;
  if (grid != nullptr && (styleof(grid) & GRS_READONLY) && lock == 0) return;
  if (textlike(type)) {
    SendMessage(editor, EM_SETREADONLY, lock ? TRUE : FALSE, 0);
    if (redraw) UpdateWindow(editor);
    if (HWND up = yygridupdown(editor)) {
      EnableWindow(up, lock == 0 ? TRUE : FALSE);
      if (redraw)
        RedrawWindow(up, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    }
  } else if (type == GridCheckBox) {
    const DWORD style = (styleof(editor) & ~0xFu) | (lock ? BS_CHECKBOX : BS_AUTOCHECKBOX);
    SetWindowLong(editor, GWL_STYLE, static_cast<LONG>(style));
  }
}

void yyGridCreateCurrent(GridInstance& g) {
  if (g.editor || g.columncount <= 0 || g.rowsinuse <= 0 || !g.cellarea || !IsWindowEnabled(g.window)) return;
  if (g.currentcolumn >= g.columncount || g.currentrow >= g.rowsinuse) return;
  GridColumn& column = col(g, g.currentcolumn);
  if (!column.prototypeeditor) return;
  RECT r = cellrect(g, g.currentcolumn, g.currentrow);
  int height = g.rowheight;
  DWORD style = (column.prototypestyle | WS_VISIBLE | WS_BORDER | WS_CHILD) & ~WS_DISABLED;
  if (column.type == GridMenu) {
    RECT pr;
    GetWindowRect(column.prototypeeditor, pr);
    height = pr.bottom - pr.top;
    style |= WS_VSCROLL;
  }
  if (textlike(column.type) && has(g, GRS_READONLY)) style |= ES_READONLY;
  g.editor = CreateWindowEx(0, classname(column.prototypeeditor).c_str(), "", style, r.left, r.top, column.width,
                            height, g.cellarea, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), nullptr, nullptr);
  if (!g.editor) return;
  if (gridservices.giverecord) gridservices.giverecord(g.editor, column.prototype, column.textlength);
  if (HWND up = yygridupdown(g.editor)) {
    if (HWND pu = yygridupdown(column.prototypeeditor)) SendMessage(up, UDM_SETRANGE, 0, SendMessage(pu, UDM_GETRANGE, 0, 0));
    SetWindowLongPtr(up, GWLP_USERDATA, SetWindowLongPtr(up, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yygridspinwndproc)));
  }
  SendMessage(g.editor, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), TRUE);
  if (column.type == GridString) SendMessage(g.editor, EM_LIMITTEXT, static_cast<WPARAM>(column.textlength), 0);
  else if (column.type == GridInteger) SendMessage(g.editor, EM_LIMITTEXT, 11, 0);
  else if (numeric(column.type)) SendMessage(g.editor, EM_LIMITTEXT, 0, 0);
  yyGridUpdateCurrent(g);
  g.editorproc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtr(g.editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yygridcellwndproc)));
}

void yyGridDestroyCurrent(GridInstance& g, int store) {
  if (!g.editor) return;
  if (store) yyGridStoreCurrent(g);
  HWND editor = g.editor;
  HWND up = yygridupdown(editor);
  SetWindowLongPtr(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g.editorproc));
  g.editor = nullptr;
  g.droppedlist = nullptr;
  if (up) DestroyWindow(up);
  DestroyWindow(editor);
}

namespace {
// A number too wide for its column's format shows as asterisks, which the editor could neither
// read back nor leave: the editor shows it at full precision instead.
std::string editortext(const GridColumn& column, std::size_t r, std::string text) {
  if (column.type == GridInteger) return text;
  double v = 0.0;
  int ok = 0;
  if (text.find('*') == std::string::npos) yyst2dblcheck(v, ok, text);
  const double stored = column.type == GridReal ? column.reals[r] : column.doubles[r];
  if (ok || !std::isfinite(stored)) return text;
  char buf[40];
  const auto res = column.type == GridReal ? std::to_chars(buf, buf + sizeof buf, column.reals[r])
                                           : std::to_chars(buf, buf + sizeof buf, column.doubles[r]);
  std::string full(buf, static_cast<std::size_t>(res.ptr - buf));
  std::replace(full.begin(), full.end(), 'e', 'E');
  if (bDecimal != 0) std::replace(full.begin(), full.end(), '.', wDecimal);
  return full;
}
}  // namespace

int yyGridUpdateCurrent(GridInstance& g) {
  if (!g.editor) return 0;
  GridColumn& column = col(g, g.currentcolumn);
  const auto r = static_cast<std::size_t>(g.currentrow);
  const std::uint8_t state = column.states[r];
  GridFieldRecord rec = column.prototype;
  if (!column.colours.empty()) {
    const GridCellColour& e = column.colours[r];
    rec.textcolour = (e.flags & 1) ? static_cast<int>(RGB(e.textred, e.textgreen, e.textblue)) : -1;
    rec.background = (e.flags & 2) ? static_cast<int>(RGB(e.backred, e.backgreen, e.backblue)) : -1;
    if (gridservices.giverecord) gridservices.giverecord(g.editor, rec, column.textlength);
  }
  std::string text;
  double value = 0.0;
  switch (column.type) {
    case GridString: yyGridGetString(g.data(), g.currentcolumn, g.currentrow, text, 0); break;
    case GridInteger: case GridReal: case GridDouble:
      if (state & GridCellDefined) {
        yyGridGetString(g.data(), g.currentcolumn, g.currentrow, text, 0);
        text = editortext(column, r, std::move(text));
        value = column.type == GridInteger ? column.integers[r] : column.type == GridReal ? column.reals[r] : column.doubles[r];
      }
      break;
    case GridCheckBox:
      SetWindowText(g.editor, std::string(31, ' ').c_str());
      SendMessage(g.editor, BM_SETCHECK, static_cast<WPARAM>(column.integers[r]), 0);
      break;
    default:
      SendMessage(g.editor, CB_RESETCONTENT, 0, 0);
      for (const std::string& o : column.options) SendMessage(g.editor, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(o.c_str()));
      SendMessage(g.editor, CB_SETCURSEL, static_cast<WPARAM>(column.integers[r]), 0);
      break;
  }
  if (textlike(column.type)) {
    SetWindowText(g.editor, text.c_str());
    SendMessage(g.editor, EM_SETMODIFY, FALSE, 0);
    if (numeric(column.type) && gridservices.editorvalue) {
      // An emptied cell keeps its entered bit but holds no value: the range check must not
      // take its blank for a value taken away.
      int hv = (state & GridCellEntered) && (state & GridCellDefined) ? 1 : 0;
      gridservices.editorvalue(g.editor, &value, &hv, true);
    }
    const bool ro = has(g, GRS_READONLY) || (state & GridCellLocked);
    yygridwindowstate(g.editor, column.type, ro ? 1 : 0, 0);
  } else {
    if (column.type == GridCheckBox) yygridwindowstate(g.editor, column.type, (state & GridCellLocked) ? 1 : 0, 0);
    EnableWindow(g.editor, (state & GridCellLocked) ? FALSE : TRUE);
  }
  InvalidateRect(g.editor, nullptr, TRUE);
  return 1;
}

void yyGridStoreCurrent(GridInstance& g) {
  if (!g.editor) return;
  GridColumn& column = col(g, g.currentcolumn);
  const auto r = static_cast<std::size_t>(g.currentrow);
  switch (column.type) {
    case GridString: {
      const std::string t = windowtext(g.editor, column.textlength);
      char* slot = &column.strings[r * static_cast<std::size_t>(column.textlength + 1)];
      std::memcpy(slot, t.data(), t.size());
      slot[t.size()] = '\0';
      break;
    }
    case GridInteger: case GridReal: case GridDouble: {
      const std::string t = windowtext(g.editor, 50);
      double v = 0.0;
      if (SendMessage(g.editor, EM_GETMODIFY, 0, 0)) {
        yyst2dbl(v, t);
      } else if (gridservices.editorvalue) {
        int hv = 0;
        gridservices.editorvalue(g.editor, &v, &hv, false);
      }
      if (column.type == GridInteger) {
        const double tv = std::trunc(v);
        column.integers[r] = (tv >= -2147483648.0 && tv <= 2147483647.0) ? static_cast<int>(tv) : 0;
      } else if (column.type == GridReal) {
        column.reals[r] = static_cast<float>(v);
      } else {
        column.doubles[r] = v;
      }
      if (!blank(t)) column.states[r] |= GridCellDefined | GridCellEntered;
      else column.states[r] = static_cast<std::uint8_t>(column.states[r] & ~GridCellDefined);
      break;
    }
    case GridCheckBox: column.integers[r] = SendMessage(g.editor, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; break;
    default: column.integers[r] = static_cast<int>(SendMessage(g.editor, CB_GETCURSEL, 0, 0)); break;
  }
}

//------------------------------------------------------------------------------
// [SECTION] Moving and input
// - yygridupdatecell(), keys, mouse, header clicks, editor notifications
//------------------------------------------------------------------------------
void yygridupdatecell(HWND grid, int column, int row, int focus, int extend) {
  GridInstance* g = yygridinstance(grid);
  if (!g) return;
  column = std::clamp(column, 0, std::max(0, g->columncount - 1));
  row = std::clamp(row, 0, std::max(0, g->rowsinuse - 1));
  const bool same = column == g->currentcolumn && row == g->currentrow;
  if (same && g->editor && !focusFromOutside) {
    if (!extend && g->selfirstrow >= 0) yygridselectnone(grid);
    return;
  }
  if (!same && g->editor && gridservices.outofrange && gridservices.outofrange(g->editor) != 0) return;
  const int oldc = g->currentcolumn, oldr = g->currentrow;
  const int ac = g->anchorcolumn, ar = g->anchorrow;
  yyGridDestroyCurrent(*g, 1);
  g->currentcolumn = column;
  g->currentrow = row;
  bringintoview(*g);
  yyGridCreateCurrent(*g);
  if (focus) {
    SetFocus(grid);
  } else if (focusinside(*g)) {
    if (g->editor) {
      gridMovesFocus = 1;
      SetFocus(g->editor);
      gridMovesFocus = 0;
    }
    cellchange(*g);
  }
  if (extend) {
    if (ac < 0) {
      yygridselectrange(grid, std::min(oldr, row), std::max(oldr, row), std::min(oldc, column), std::max(oldc, column));
      g->anchorcolumn = oldc;
      g->anchorrow = oldr;
      return;
    }
    if (ac != column || ar != row) {
      yygridselectrange(grid, std::min(ar, row), std::max(ar, row), std::min(ac, column), std::max(ac, column));
      g->anchorcolumn = ac;
      g->anchorrow = ar;
      return;
    }
  }
  yygridselectnone(grid);
}

namespace {

void scrollextend(GridInstance& g, UINT msg, int code, bool extend) {
  const int oldc = g.currentcolumn, oldr = g.currentrow, ac = g.anchorcolumn, ar = g.anchorrow;
  SendMessage(g.window, msg, static_cast<WPARAM>(code), 0);
  if (!extend) return;
  if (ac < 0) {
    yygridselectrange(g.window, std::min(oldr, g.currentrow), std::max(oldr, g.currentrow), std::min(oldc, g.currentcolumn),
                      std::max(oldc, g.currentcolumn));
    g.anchorcolumn = oldc;
    g.anchorrow = oldr;
  } else if (ac == g.currentcolumn && ar == g.currentrow) {
    yygridselectnone(g.window);
  } else {
    yygridselectrange(g.window, std::min(ar, g.currentrow), std::max(ar, g.currentrow), std::min(ac, g.currentcolumn),
                      std::max(ac, g.currentcolumn));
    g.anchorcolumn = ac;
    g.anchorrow = ar;
  }
}

bool atfirstchar(GridInstance& g) {
  const int type = col(g, g.currentcolumn).type;
  if (!textlike(type)) return true;
  DWORD s = 0, e = 0;
  SendMessage(g.editor, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return e == 0;
}
bool atlastchar(GridInstance& g) {
  const int type = col(g, g.currentcolumn).type;
  if (!textlike(type)) return true;
  DWORD s = 0, e = 0;
  SendMessage(g.editor, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(e) >= GetWindowTextLength(g.editor);
}

void pagecolumns(GridInstance& g, bool right) {
  scrollextend(g, WM_HSCROLL, right ? SB_PAGERIGHT : SB_PAGELEFT, false);
}

void cut(GridInstance& g) {
  if (yygridcancut(g.window) && yygridclipcopy(g.window)) yygridclipdelete(g.window);
}

// True for the grid of a grid-editor window (its frame's record is of that kind).
bool ingrideditor(HWND grid) {
  const FrameRecord* r = yyframerecord(GetParent(grid));
  return r != nullptr && r->word[FR_KIND] == SW_GRIDWINDOW;
}

// The keys of the editor; true when the grid took the key.
bool key(GridInstance& g, int vk) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const int type = col(g, g.currentcolumn).type;
  const HWND grid = g.window;
  const int c = g.currentcolumn, r = g.currentrow, lastc = g.columncount - 1, lastr = g.rowsinuse - 1;
  switch (vk) {
    case VK_TAB:
      if (has(g, GRS_TABMOVES)) {
        if (!shift) {
          if (c < lastc) yygridupdatecell(grid, c + 1, r, 1, 0);
          else if (has(g, GRS_WRAP) && r < lastr) yygridupdatecell(grid, 0, r + 1, 1, 0);
          else yyringbell2();
        } else {
          if (c > 0) yygridupdatecell(grid, c - 1, r, 1, 0);
          else if (has(g, GRS_WRAP) && r > 0) yygridupdatecell(grid, lastc, r - 1, 1, 0);
          else yyringbell2();
        }
        return true;
      }
      if (type == GridCheckBox || type == GridMenu) {
        SendMessage(GetParent(grid), WM_NEXTDLGCTL, shift ? 1 : 0, 0);
        return true;
      }
      return false;
    case VK_RETURN:
      if (!has(g, GRS_ENTERMOVES)) return false;
      [[fallthrough]];
    case VK_DOWN:
      if (vk == VK_DOWN && g.droppedlist) return false;
      if (r < lastr) yygridupdatecell(grid, c, r + 1, 1, shift);
      else yyringbell2();
      return true;
    case VK_ESCAPE:
      // Esc closes a dialog from any cell; a grid-editor window is no dialog and stays.
      if ((type == GridCheckBox || type == GridMenu) && !ingrideditor(grid)) {
        SendMessage(GetParent(grid), WM_CLOSE, 0, 0);
        return true;
      }
      return false;
    case VK_UP:
      if (g.droppedlist) return false;
      if (r > 0) yygridupdatecell(grid, c, r - 1, 1, shift);
      else yyringbell2();
      return true;
    case VK_LEFT:
      if (textlike(type) && !atfirstchar(g) && g.anchorcolumn < 0) return false;
      if (ctrl) pagecolumns(g, false);
      else if (c > 0) yygridupdatecell(grid, c - 1, r, 1, shift);
      else if (has(g, GRS_WRAP) && r > 0) yygridupdatecell(grid, lastc, r - 1, 1, shift);
      else yyringbell2();
      return true;
    case VK_RIGHT:
      if (textlike(type) && !atlastchar(g)) return false;
      if (ctrl) pagecolumns(g, true);
      else if (c < lastc) yygridupdatecell(grid, c + 1, r, 1, shift);
      else if (has(g, GRS_WRAP) && r < lastr) yygridupdatecell(grid, 0, r + 1, 1, shift);
      else yyringbell2();
      return true;
    case VK_PRIOR:
      if (g.droppedlist) return false;
      if (ctrl) yygridupdatecell(grid, c, 0, 1, shift);
      else scrollextend(g, WM_VSCROLL, SB_PAGEUP, shift);
      return true;
    case VK_NEXT:
      if (g.droppedlist) return false;
      if (ctrl) yygridupdatecell(grid, c, lastr, 1, shift);
      else if (g.rowsinuse > g.visiblerows) scrollextend(g, WM_VSCROLL, SB_PAGEDOWN, shift);
      return true;
    case VK_HOME:
      if (!ctrl) return false;
      yygridupdatecell(grid, 0, r, 1, shift);
      return true;
    case VK_END:
      if (!ctrl) return false;
      yygridupdatecell(grid, lastc, r, 1, shift);
      return true;
    case VK_INSERT:
      if (shift && yygridcheckclipboard() == 2) {
        if (yygridcanpaste(grid)) yygridclippaste(grid);
        return true;
      }
      return false;
    case VK_DELETE:
      if (g.selfirstrow < 0) return false;
      if (yygridcancut(grid)) {
        if (shift) cut(g);
        else yygridclipdelete(grid);
      }
      return true;
    default: return false;
  }
}

// A cell of the considered range under a point of the cell area; false when none.
bool hittest(GridInstance& g, POINT p, int& column, int& row) {
  const int rows = consideredrows(g);
  const int last = lastconsideredcolumn(g);
  for (int c = g.firstvisiblecolumn; c <= last; ++c) {
    const RECT cr = cellrect(g, c, g.firstvisiblerow);
    if (cr.right - 1 < p.x) continue;
    for (int k = 0; k < rows; ++k) {
      const RECT rr = cellrect(g, c, g.firstvisiblerow + k);
      if (rr.bottom - 1 >= p.y) {
        column = c;
        row = g.firstvisiblerow + k;
        return p.x >= 0 && p.y >= 0;
      }
    }
    return false;
  }
  return false;
}

void buttondown(GridInstance& g, UINT msg, WPARAM wParam, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  int column = 0, row = 0;
  if (!hittest(g, p, column, row)) return;
  if (msg == WM_LBUTTONDOWN && (wParam & MK_SHIFT)) {
    if (column == g.currentcolumn && row == g.currentrow) yygridselectnone(g.window);
    else
      yygridselectrange(g.window, std::min(row, g.currentrow), std::max(row, g.currentrow),
                        std::min(column, g.currentcolumn), std::max(column, g.currentcolumn));
    return;
  }
  const bool partial = row >= g.firstvisiblerow + g.visiblerows;
  yygridupdatecell(g.window, column, row, 0, 0);
  lastDownColumn = g.currentcolumn;
  lastDownRow = g.currentrow;
  if (partial && g.currentrow == row) lastDownRow = row + 1;
  if (g.editor) {
    RECT er;
    GetWindowRect(g.editor, er);
    POINT sp = p;
    ClientToScreen(g.cellarea, sp);
    gridMovesFocus = 1;
    SetFocus(g.editor);
    SendMessage(g.editor, msg, wParam, MAKELPARAM(sp.x - er.left, sp.y - er.top));
    gridMovesFocus = 0;
  }
}

void drag(GridInstance& g, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  MapWindowPoints(g.editor, g.cellarea, &p, 1);
  int column = 0, row = 0;
  if (!hittest(g, p, column, row)) return;
  if (column == lastDownColumn && row == lastDownRow) return;
  lastDownColumn = lastDownRow = -1;
  if (column == g.currentcolumn && row == g.currentrow) yygridselectnone(g.window);
  else
    yygridselectrange(g.window, std::min(row, g.currentrow), std::max(row, g.currentrow),
                      std::min(column, g.currentcolumn), std::max(column, g.currentcolumn));
}

void contextmenu(GridInstance& g, HWND target, POINT at) {
  g.menutarget = target;
  const bool sel = g.selfirstrow >= 0;
  const bool ro = has(g, GRS_READONLY);
  const bool editable = target == g.editor && target && textlike(col(g, g.currentcolumn).type);
  DWORD s = 0, e = 0;
  if (editable) SendMessage(target, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  const bool textsel = editable && e > s;
  const bool targetro = editable && (styleof(target) & ES_READONLY);
  const int clip = yygridcheckclipboard();
  HMENU m = CreatePopupMenu();
  auto add = [&](UINT id, const char* text, bool on) { AppendMenu(m, MF_STRING | (on ? MF_ENABLED : MF_GRAYED), id, text); };
  add(32221, "&Undo", editable && !sel && SendMessage(target, EM_CANUNDO, 0, 0) && !targetro && !ro);
  AppendMenu(m, MF_SEPARATOR, 0, nullptr);
  const bool cutok = sel ? yygridcancut(g.window) != 0 : (textsel && !targetro && !ro);
  add(sel ? 32122 : 32222, "Cu&t", cutok);
  add(sel ? 32123 : 32223, "&Copy", sel || textsel);
  if (clip == 2) add(32124, "&Paste", yygridcanpaste(g.window) != 0);
  else add(32224, "&Paste", clip == 1 && editable && !targetro && !ro);
  add(sel ? 32125 : 32225, "&Delete", cutok);
  AppendMenu(m, MF_SEPARATOR, 0, nullptr);
  const int len = editable ? GetWindowTextLength(target) : 0;
  add(32226, "Select &All", !sel && editable && len > 0 && !(s == 0 && static_cast<int>(e) >= len));
  TrackPopupMenu(m, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, g.window, nullptr);
  DestroyMenu(m);
}

void menucommand(GridInstance& g, int id) {
  HWND t = g.menutarget;
  switch (id) {
    case 32221: if (t) SendMessage(t, EM_UNDO, 0, 0); break;
    case 32222: if (t) SendMessage(t, WM_CUT, 0, 0); break;
    case 32223: if (t) SendMessage(t, WM_COPY, 0, 0); break;
    case 32224: if (t) SendMessage(t, WM_PASTE, 0, 0); break;
    case 32225: if (t) SendMessage(t, WM_CLEAR, 0, 0); break;
    case 32226: if (t) { SendMessage(t, EM_SETSEL, 0, -1); SendMessage(t, EM_SCROLLCARET, 0, 0); } break;
    case 32122: cut(g); break;
    case 32123: yygridclipcopy(g.window); break;
    case 32124: if (yygridcheckclipboard() == 2 && yygridcanpaste(g.window)) yygridclippaste(g.window); break;
    case 32125: if (yygridcancut(g.window)) yygridclipdelete(g.window); break;
    default: break;
  }
}

void headerclick(GridInstance& g, HWND from, int item) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (from == g.header) {
    if (item == 0) {
      gridMovesFocus = 1;
      SetFocus(g.window);
      gridMovesFocus = 0;
      yygridselectrange(g.window, 0, g.rowsinuse - 1, 0, g.columncount - 1);
      return;
    }
    const int c = item - 1;
    if (c >= g.columncount) return;
    if (!shift) yygridupdatecell(g.window, c, g.firstvisiblerow, 1, 0);
    else SetFocus(g.window);
    yygridselectrange(g.window, 0, g.rowsinuse - 1, std::min(c, g.currentcolumn), std::max(c, g.currentcolumn));
    return;
  }
  const int row = g.firstvisiblerow + GetDlgCtrlID(from);
  if (row >= g.rowsinuse) return;
  if (!shift) yygridupdatecell(g.window, g.firstvisiblecolumn, row, 1, 0);
  else SetFocus(g.window);
  yygridselectrange(g.window, std::min(row, g.currentrow), std::max(row, g.currentrow), 0, g.columncount - 1);
}

void editornotify(GridInstance& g, int code, HWND from) {
  if (from != g.editor) return;
  const int type = col(g, g.currentcolumn).type;
  if (code == CBN_DROPDOWN && type == GridMenu) { g.droppedlist = from; return; }
  if (code == CBN_CLOSEUP && type == GridMenu) { g.droppedlist = nullptr; return; }
  const bool edit = textlike(type) && code == EN_CHANGE;
  const bool click = (type == GridCheckBox && code == BN_CLICKED) || (type == GridMenu && code == CBN_SELCHANGE);
  if (!edit && !click) return;
  g.data().modified = g.data().changed = 1;
  if (edit && numeric(type) && gridservices.editorvalue) {
    // The record's has-value flag follows the text: a blank editor holds no value, which the
    // range check lets go (the cell is then stored empty).
    double v = 0.0;
    int hv = 0;
    gridservices.editorvalue(g.editor, &v, &hv, false);
    hv = blank(windowtext(g.editor, 255)) ? 0 : 1;
    gridservices.editorvalue(g.editor, &v, &hv, true);
  }
  if (edit) {
    if (g.selfirstrow >= 0) yygridselectnone(g.window);
    if (!gridservices.notifyoption || gridservices.notifyoption(g.window) == 0) return;
  }
  const auto r = static_cast<std::size_t>(g.currentrow);
  GridColumn& column = col(g, g.currentcolumn);
  if (has(g, GRS_READONLY) || (column.states[r] & GridCellLocked)) {
    if (type == GridMenu) SendMessage(g.editor, CB_SETCURSEL, static_cast<WPARAM>(column.integers[r]), 0);
    return;
  }
  if (click) yyGridStoreCurrent(g);
  cellchange(g);
  if (g.selfirstrow >= 0) yygridselectnone(g.window);
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Selection and clipboard
//------------------------------------------------------------------------------
namespace {

RECT selectionrect(GridInstance& g) {
  if (g.selfirstrow < 0 || !g.cellarea) return RECT{0, 0, 0, 0};
  const RECT a = cellrect(g, g.selfirstcolumn, g.selfirstrow), b = cellrect(g, g.sellastcolumn, g.sellastrow);
  return RECT{a.left, a.top, b.right, b.bottom};
}

}  // namespace

void yygridselectrange(HWND grid, int firstrow, int lastrow, int firstcolumn, int lastcolumn) {
  GridInstance* g = yygridinstance(grid);
  if (!g) return;
  firstrow = std::clamp(firstrow, 0, std::max(0, g->rowsinuse - 1));
  lastrow = std::clamp(lastrow, 0, std::max(0, g->rowsinuse - 1));
  firstcolumn = std::clamp(firstcolumn, 0, std::max(0, g->columncount - 1));
  lastcolumn = std::clamp(lastcolumn, 0, std::max(0, g->columncount - 1));
  if (g->selfirstrow == firstrow && g->sellastrow == lastrow && g->selfirstcolumn == firstcolumn &&
      g->sellastcolumn == lastcolumn)
    return;
  HWND f = GetFocus();
  if (f && !iequals(classname(f), "BUTTON") && !iequals(classname(f), "COMBOBOX"))
    SendMessage(f, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  if (g->cellarea) {
    RECT old = selectionrect(*g);
    InvalidateRect(g->cellarea, &old, FALSE);
  }
  g->selfirstrow = firstrow;
  g->sellastrow = lastrow;
  g->selfirstcolumn = firstcolumn;
  g->sellastcolumn = lastcolumn;
  if (g->cellarea) {
    RECT now = selectionrect(*g);
    InvalidateRect(g->cellarea, &now, FALSE);
    if (g->editor) InvalidateRect(g->editor, nullptr, TRUE);
    UpdateWindow(g->cellarea);
  }
  if (has(*g, GRS_SELECTEVENTS))
    gridevent(*g, 2, yygridpackcell(firstcolumn, firstrow), yygridpackcell(lastcolumn, lastrow));
}

void yygridselectnone(HWND grid) {
  GridInstance* g = yygridinstance(grid);
  if (!g) return;
  if (g->selfirstrow >= 0) {
    if (g->cellarea) {
      RECT old = selectionrect(*g);
      InvalidateRect(g->cellarea, &old, FALSE);
      if (g->editor) InvalidateRect(g->editor, nullptr, TRUE);
    }
    yygridselectnone(*g);
    if (g->cellarea) UpdateWindow(g->cellarea);
    if (has(*g, GRS_SELECTEVENTS)) gridevent(*g, 2, 0, 0);
  }
  g->anchorcolumn = g->anchorrow = -1;
}

namespace {

// The clipboard's text, up to its NUL; false when there is none or it cannot be read.
bool cliptext(std::string& out) {
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr)) return false;
  HGLOBAL h = GetClipboardData(CF_TEXT);
  bool ok = false;
  if (h) {
    const char* p = static_cast<const char*>(GlobalLock(h));
    if (p) {
      const std::size_t n = GlobalSize(h);
      out.assign(p, strnlen(p, n));
      GlobalUnlock(h);
      ok = true;
    }
  }
  CloseClipboard();
  return ok;
}

// Lines of clipboard text: a CR LF, a lone LF (what the desktop's programs write) or a lone CR
// ends a line.
struct ClipCursor {
  std::string_view t;
  std::size_t pos = 0;
};

}  // namespace

int yygridcheckclipboard() {
  std::string t;
  if (!cliptext(t)) return 0;
  if (t.find('\t') != std::string::npos || t.find('\n') != std::string::npos) return 2;
  return 1;
}

void yygridclipcount(int& rows, int& columns) {
  std::string t;
  rows = columns = 1;
  if (!cliptext(t) || t.empty()) return;
  int lines = 0, widest = 0, fields = 1;
  std::size_t i = 0;
  bool open = false;
  for (; i < t.size(); ++i) {
    open = true;
    if (t[i] == '\t') ++fields;
    else if (t[i] == '\r' || t[i] == '\n') {
      if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
      ++lines;
      widest = std::max(widest, fields);
      fields = 1;
      open = false;
    }
  }
  if (open) { ++lines; widest = std::max(widest, fields); }
  rows = std::max(1, lines);
  columns = std::max(1, widest);
}

int yygridcancut(HWND grid) {
  GridInstance* g = yygridinstance(grid);
  if (!g || has(*g, GRS_READONLY)) return 0;
  if (g->selfirstrow < 0) return 1;
  for (int c = g->selfirstcolumn; c <= g->sellastcolumn; ++c) {
    const auto& st = col(*g, c).states;
    for (int r = g->selfirstrow; r <= g->sellastrow; ++r)
      if (st[static_cast<std::size_t>(r)] & GridCellLocked) return 0;
  }
  return 1;
}

int yygridcanpaste(HWND grid) {
  GridInstance* g = yygridinstance(grid);
  if (!g || has(*g, GRS_READONLY)) return 0;
  int rows = 1, columns = 1;
  yygridclipcount(rows, columns);
  const int lastc = std::min(g->columncount - 1, g->currentcolumn + columns - 1);
  const int lastr = std::min(g->rowsinuse - 1, g->currentrow + rows - 1);
  for (int c = g->currentcolumn; c <= lastc; ++c) {
    const auto& st = col(*g, c).states;
    for (int r = g->currentrow; r <= lastr; ++r)
      if (st[static_cast<std::size_t>(r)] & GridCellLocked) return 0;
  }
  return 1;
}

namespace {

// The text form of a cell for the clipboard: the editor's present contents for the current cell.
void clipfield(GridInstance& g, int c, int r, std::string& out) {
  if (g.editor && c == g.currentcolumn && r == g.currentrow) {
    const int type = col(g, c).type;
    if (textlike(type)) { out = windowtext(g.editor); return; }
    if (type == GridCheckBox) { out = SendMessage(g.editor, BM_GETCHECK, 0, 0) == BST_CHECKED ? "Yes" : "No"; return; }
    const LRESULT k = SendMessage(g.editor, CB_GETCURSEL, 0, 0);
    const auto& o = col(g, c).options;
    out = k >= 0 && static_cast<std::size_t>(k) < o.size() ? o[static_cast<std::size_t>(k)] : std::string();
    return;
  }
  yyGridGetString(g.data(), c, r, out, 0);
}

void copyfailed() {
  MessageBox(nullptr,
             "Either the clipboard is in use by another application or there is\r"
             "insufficient memory available for the amount of data being copied",
             "Unable to Copy Data to Clipboard", MB_TASKMODAL | MB_ICONSTOP | MB_OK);
}

}  // namespace

int yygridclipcopy(HWND grid) {
  GridInstance* g = yygridinstance(grid);
  if (!g || g->selfirstrow < 0) return 0;
  if (!OpenClipboard(grid)) { copyfailed(); return 0; }
  EmptyClipboard();
  std::size_t line = 0;
  for (int c = g->selfirstcolumn; c <= g->sellastcolumn; ++c) {
    const GridColumn& column = col(*g, c);
    switch (column.type) {
      case GridString: line += static_cast<std::size_t>(column.textlength); break;
      case GridInteger: line += 11; break;
      case GridReal: case GridDouble: line += 50; break;
      case GridCheckBox: line += 3; break;
      default: {
        std::size_t w = 0;
        for (const auto& o : column.options) w = std::max(w, o.size());
        line += w;
      }
    }
  }
  line += static_cast<std::size_t>(g->sellastcolumn - g->selfirstcolumn) + 2;
  const std::size_t total = line * static_cast<std::size_t>(g->sellastrow - g->selfirstrow + 1) + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, total);
  char* p = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (!p) {
    if (block) GlobalFree(block);
    CloseClipboard();
    copyfailed();
    return 0;
  }
  std::size_t n = 0;
  std::string field;
  for (int r = g->selfirstrow; r <= g->sellastrow; ++r) {
    for (int c = g->selfirstcolumn; c <= g->sellastcolumn; ++c) {
      clipfield(*g, c, r, field);
      // The bound is per column; a field longer than it (an editor's typing) is cut there.
      const std::size_t room = total - 1 - n;
      const std::size_t k = std::min(field.size(), room > 3 ? room - 3 : 0);
      std::memcpy(p + n, field.data(), k);
      n += k;
      if (c < g->sellastcolumn) p[n++] = '\t';
    }
    p[n++] = '\r';
    p[n++] = '\n';
  }
  p[n] = '\0';
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
  return 1;
}

namespace {

// Whether a paste field is a checked box.
bool yes(std::string_view f) { return iequals(f, "Yes"); }

bool startswith(std::string_view item, std::string_view f) {
  return item.size() >= f.size() && iequals(item.substr(0, f.size()), f);
}

}  // namespace

void yygridclippaste(HWND grid) {
  GridInstance* g = yygridinstance(grid);
  if (!g) return;
  std::string text;
  if (!cliptext(text)) return;
  gridpasterefusals = GridPasteRefusals{};
  yygridselectnone(grid);
  const int c0 = g->currentcolumn, r0 = g->currentrow;
  int c = c0, r = r0, lastc = c0, lastr = r0;
  std::size_t pos = 0;
  const std::size_t size = text.size();
  std::string field, shown;
  GridInstance& d = g->data();
  while (pos < size && !(r >= g->rowsinuse - 1 + 1 && c >= g->columncount)) {
    if (r >= g->rowsinuse) break;   // nothing below the last row in use can be written
    std::size_t end = pos;
    while (end < size && text[end] != '\t' && text[end] != '\r' && text[end] != '\n') ++end;
    std::string_view f(text.data() + pos, end - pos);
    if (r < g->rowsinuse && c < g->columncount) {
      GridColumn& column = d.columns[static_cast<std::size_t>(c)];
      const auto row = static_cast<std::size_t>(r);
      lastc = std::max(lastc, c);
      lastr = std::max(lastr, r);
      bool refused = false;
      double v = 0.0;
      if (column.type == GridString && f.size() > static_cast<std::size_t>(column.textlength))
        f = f.substr(0, static_cast<std::size_t>(column.textlength));
      if (numeric(column.type)) {
        if (!blank(f)) {
          field.assign(f);
          if (column.type != GridDouble)
            for (char& ch : field)
              if (ch == 'D' || ch == 'd') ch = 'E';
          int ok = 0;
          yyst2dblcheck(v, ok, field);
          if (!ok) refused = true;
          else {
            int st = 0;
            yygridrangecheck2(st, d, c, v);
            if (st != 0) refused = true;
          }
          if (column.type == GridInteger && field.find_first_of("Ee") != std::string::npos) refused = true;
        }
        if (refused) {
          if (gridpasterefusals.count++ == 0) {
            gridpasterefusals.column = c;
            gridpasterefusals.row = r;
          }
        } else if (blank(f)) {
          // An empty field clears the cell's value.
          switch (column.type) {
            case GridInteger: column.integers[row] = 0; break;
            case GridReal: column.reals[row] = 0.0f; break;
            default: column.doubles[row] = 0.0; break;
          }
          column.states[row] = static_cast<std::uint8_t>(column.states[row] & ~(GridCellDefined | GridCellEntered));
        } else {
          switch (column.type) {
            case GridInteger: {
              const double t = std::trunc(v);
              column.integers[row] = (t >= -2147483648.0 && t <= 2147483647.0) ? static_cast<int>(t) : 0;
              break;
            }
            case GridReal: column.reals[row] = static_cast<float>(v); break;
            default: column.doubles[row] = v; break;
          }
          column.states[row] |= GridCellDefined | GridCellEntered;
        }
      } else if (column.type == GridString) {
        char* slot = &column.strings[row * static_cast<std::size_t>(column.textlength + 1)];
        std::memcpy(slot, f.data(), f.size());
        slot[f.size()] = '\0';
      } else if (column.type == GridCheckBox) {
        column.integers[row] = yes(f) ? 1 : 0;
      } else {
        for (std::size_t k = 0; k < column.options.size(); ++k)
          if (startswith(column.options[k], f)) {
            column.integers[row] = static_cast<int>(k);
            break;
          }
      }
      if (c == g->currentcolumn && r == g->currentrow && g->editor && !refused) yyGridUpdateCurrent(*g);
      yyGridRedrawCell(*g, c, r, 0);
    }
    if (end >= size) break;
    if (text[end] == '\t') {
      ++c;
      pos = end + 1;
    } else {
      c = c0;
      ++r;
      pos = end + 1;
      if (text[end] == '\r' && pos < size && text[pos] == '\n') ++pos;
    }
  }
  if (bCellUpdate && g->cellarea) UpdateWindow(g->cellarea);
  if (has(*g, GRS_CHANGEEVENTS)) gridevent(*g, 1, yygridpackcell(c0, r0), yygridpackcell(lastc, lastr));
  d.modified = d.changed = 1;
  if (gridpasterefusals.count > 0) {
    std::string message = std::to_string(gridpasterefusals.count) +
                          (gridpasterefusals.count == 1 ? " pasted value was" : " pasted values were") +
                          " not a number in the column's range and left the cell unchanged; the first is in column " +
                          std::to_string(gridpasterefusals.column + 1) + ", row " +
                          std::to_string(gridpasterefusals.row + 1) + ".";
    MessageBox(grid, message.c_str(), "Paste", MB_ICONEXCLAMATION | MB_OK);
  }
}

void yygridclipdelete(HWND grid) {
  GridInstance* g = yygridinstance(grid);
  if (!g || g->selfirstrow < 0) return;
  const int fc = g->selfirstcolumn, lc = g->sellastcolumn, fr = g->selfirstrow, lr = g->sellastrow;
  for (int c = fc; c <= lc; ++c) {
    GridColumn& column = col(*g, c);
    for (int r = fr; r <= lr; ++r) {
      const auto row = static_cast<std::size_t>(r);
      switch (column.type) {
        case GridString: column.strings[row * static_cast<std::size_t>(column.textlength + 1)] = '\0'; break;
        case GridReal: column.reals[row] = 0.0f; break;
        case GridDouble: column.doubles[row] = 0.0; break;
        default: column.integers[row] = 0; break;
      }
      column.states[row] = static_cast<std::uint8_t>(column.states[row] & ~GridCellDefined);
    }
  }
  yygridselectnone(grid);
  if (g->editor && g->currentcolumn >= fc && g->currentcolumn <= lc && g->currentrow >= fr && g->currentrow <= lr) {
    const int type = col(*g, g->currentcolumn).type;
    if (textlike(type)) {
      SetWindowText(g->editor, "");
      double zero = 0.0;
      int hv = 0;
      if (numeric(type) && gridservices.editorvalue) gridservices.editorvalue(g->editor, &zero, &hv, true);
    } else if (type == GridCheckBox) {
      SendMessage(g->editor, BM_SETCHECK, BST_UNCHECKED, 0);
    } else {
      SendMessage(g->editor, CB_SETCURSEL, 0, 0);
    }
  }
  if (g->cellarea) {
    InvalidateRect(g->cellarea, nullptr, FALSE);
    UpdateWindow(g->cellarea);
  }
  if (has(*g, GRS_CHANGEEVENTS)) gridevent(*g, 1, yygridpackcell(fc, fr), yygridpackcell(lc, lr));
  g->data().modified = g->data().changed = 1;
}

//------------------------------------------------------------------------------
// [SECTION] Window procedures
//------------------------------------------------------------------------------
namespace {

HBRUSH editorBrush = nullptr;   // the brush of the last colour answer

// Colours of the current-cell editor.
HBRUSH editorcolours(GridInstance& g, UINT msg, HDC dc, HWND control) {
  if (editorBrush) {
    DeleteObject(editorBrush);
    editorBrush = nullptr;
  }
  if (control == nullptr || control != g.editor) return nullptr;
  GridColumn& column = col(g, g.currentcolumn);
  const auto r = static_cast<std::size_t>(g.currentrow);
  const bool sel = focusinside(g) && selected(g, g.currentcolumn, g.currentrow);
  const bool readonly = has(g, GRS_READONLY) || (column.states[r] & GridCellLocked);
  if (msg == WM_CTLCOLORSTATIC && !sel && !(readonly && has(g, GRS_COLOURLOCKED))) return nullptr;
  if (sel) {
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    return GetSysColorBrush(COLOR_HIGHLIGHT);
  }
  int t = column.prototype.textcolour, b = column.prototype.background;
  if (!column.colours.empty()) {
    const GridCellColour& e = column.colours[r];
    t = (e.flags & 1) ? static_cast<int>(RGB(e.textred, e.textgreen, e.textblue)) : -1;
    b = (e.flags & 2) ? static_cast<int>(RGB(e.backred, e.backgreen, e.backblue)) : -1;
  }
  int gt = -1, gb = -1;
  if (gridservices.gridcolours) gridservices.gridcolours(g.window, gt, gb);
  if (t == -1) t = gt;
  if (b == -1) b = gb;
  const bool button = msg == WM_CTLCOLORBTN;
  if (t != -1) SetTextColor(dc, static_cast<COLORREF>(t));
  else if (b != -1) SetTextColor(dc, GetSysColor(button ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
  if (b != -1) {
    SetBkColor(dc, static_cast<COLORREF>(b));
    editorBrush = CreateSolidBrush(GetNearestColor(dc, static_cast<COLORREF>(b)));
    return editorBrush;
  }
  if (t != -1) {
    const int sys = button ? COLOR_BTNFACE : COLOR_WINDOW;
    SetBkColor(dc, GetSysColor(sys));
    return GetSysColorBrush(sys);
  }
  return nullptr;
}

void relayout(GridInstance& g) {
  if (!g.initialised || !g.cellarea) return;
  RECT client;
  GetClientRect(g.window, client);
  if (g.header) {
    RECT hr;
    GetWindowRect(g.header, hr);
    SetWindowPos(g.header, nullptr, 0, 0, client.right, hr.bottom - hr.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
  int widest = 0;
  for (int c = 0; c < g.columncount; ++c) widest = std::max(widest, col(g, c).width);
  const int w = std::max<int>(client.right - g.rowlabelwidth, widest);
  const int h = std::max<int>(client.bottom - g.headerheight, g.rowheight);
  SetWindowPos(g.cellarea, nullptr, g.rowlabelwidth, g.headerheight, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  const int lastvisible = g.lastvisiblecolumn;
  setscrollbars(g);
  if (g.lastvisiblecolumn != lastvisible) InvalidateRect(g.cellarea, nullptr, TRUE);
}

void relayoutcells(GridInstance& g, int height) {
  const int gcount = std::max(1, (height - g.rowheight) / std::max(1, g.rowheight - 1) + 1);
  g.visiblerows = gcount;
  if (g.firstvisiblerow > std::max(0, g.rowsinuse - g.visiblerows))
    g.firstvisiblerow = std::max(0, g.rowsinuse - g.visiblerows);
}

LRESULT yygridwndproc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  GridInstance* g = reinterpret_cast<GridInstance*>(GetWindowLongPtr(h, 0));
  if (msg == WM_CREATE) return create(h, *reinterpret_cast<const CREATESTRUCT*>(lParam));
  if (g == nullptr) return DefWindowProc(h, msg, wParam, lParam);
  switch (msg) {
    case WM_DESTROY: destroy(h, g); return 0;
    case WM_SETFONT: setfont(*g, reinterpret_cast<HFONT>(wParam)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(g->font);
    case WM_ENABLE:
      if (wParam) yyGridCreateCurrent(*g);
      else yyGridDestroyCurrent(*g, 1);
      for (GridColumn& c : g->data().columns)
        if (c.prototypeeditor && !g->owner) EnableWindow(c.prototypeeditor, static_cast<BOOL>(wParam));
      if (g->cellarea) InvalidateRect(g->cellarea, nullptr, TRUE);
      return 0;
    case WM_STYLECHANGED:
      if (static_cast<int>(wParam) == GWL_STYLE && g->editor) {
        const auto* ss = reinterpret_cast<const STYLESTRUCT*>(lParam);
        if (((ss->styleOld ^ ss->styleNew) & GRS_READONLY) != 0) yyGridUpdateCurrent(*g);
      }
      return 0;
    case GM_SETCOLUMNS: return setcolumns(*g, reinterpret_cast<HWND>(wParam), reinterpret_cast<const int*>(lParam));
    case GM_SETROWLABELS: {
      // lParam: the entry's text from the position after the width.
      const std::string_view rest = *reinterpret_cast<const std::string_view*>(lParam);
      return setrowlabels(*g, static_cast<int>(wParam), rest);
    }
    case GM_SETSCROLLBARS: setscrollbars(*g); return 0;
    case GM_SETSIZE:
      g->rowsinuse = g->rowsallocated = static_cast<int>(wParam);
      g->columncount = static_cast<int>(lParam);
      g->rowlabelslots = std::min(g->visiblerows + 1, g->rowsallocated);
      return 0;
    case GM_SETPASSIVE: g->initialised = g->passive = 1; return 0;
    case GM_SETHEADERWIDTHS: setheaderwidths(*g); return 0;
    case WM_SIZE: relayout(*g); return 0;
    case WM_SETFOCUS:
      if (!g->initialised) return 0;
      bringintoview(*g);
      if (g->editor) {
        SetFocus(g->editor);
        if (textlike(col(*g, g->currentcolumn).type) && reinterpret_cast<HWND>(wParam) == g->cellarea)
          SendMessage(g->editor, EM_SETSEL, 0, -1);
      }
      return 0;
    case WM_VSCROLL:
      if (lParam != 0) return 0;
      vscroll(*g, LOWORD(wParam));
      return 0;
    case WM_HSCROLL: hscroll(*g, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL:
      g->wheel += GET_WHEEL_DELTA_WPARAM(wParam);
      while (g->wheel < -119) { vscroll(*g, SB_LINEDOWN); g->wheel += 120; }
      while (g->wheel > 119) { vscroll(*g, SB_LINEUP); g->wheel -= 120; }
      return 0;
    case WM_NOTIFY: {
      const auto* nm = reinterpret_cast<const NMHEADER*>(lParam);
      if (nm->hdr.code == HDN_ITEMCLICK) headerclick(*g, nm->hdr.hwndFrom, nm->iItem);
      else if (nm->hdr.code == HDN_BEGINTRACK)
        return !(nm->hdr.hwndFrom == g->header && has(*g, GRS_RESIZECOLUMNS) && nm->iItem > g->firstvisiblecolumn);
      else if (nm->hdr.code == HDN_TRACK && nm->hdr.hwndFrom == g->header && nm->iItem > 0 && nm->pitem) {
        const int c = nm->iItem - 1;
        GridColumn& column = col(*g, c);
        const bool arrows = column.type == GridMenu || yygridupdown(column.prototypeeditor) != nullptr;
        int width = std::max(nm->pitem->cxy + 1, 14 + (arrows ? GetSystemMetrics(SM_CXVSCROLL) : 0));
        width = std::min(width, cellareawidth(*g));
        nm->pitem->cxy = width - 1;
        if (width != column.width) {
          column.width = width;
          setscrollbars(*g);
          if (column.prototypeeditor) {
            // A spinner prototype leaves room for its up-down control at its right.
            int bw = 0;
            if (HWND up = yygridupdown(column.prototypeeditor)) {
              RECT ur;
              GetWindowRect(up, ur);
              bw = ur.right - ur.left;
              SetWindowPos(up, nullptr, width - bw, 0, bw, g->rowheight, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            SetWindowPos(column.prototypeeditor, nullptr, 0, 0, width - bw, g->rowheight, SWP_NOMOVE | SWP_NOZORDER);
          }
          if (g->editor) {
            yyGridDestroyCurrent(*g, 1);
            yyGridCreateCurrent(*g);
          }
          InvalidateRect(g->cellarea, nullptr, TRUE);
        }
      }
      return 0;
    }
    case WM_COMMAND:
      if (lParam == 0) menucommand(*g, LOWORD(wParam));
      return 0;
    default: break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

LRESULT yygridwndprocclient(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  GridInstance* g = ofcellarea(h);
  if (g == nullptr) return DefWindowProc(h, msg, wParam, lParam);
  switch (msg) {
    case WM_SIZE: relayoutcells(*g, HIWORD(static_cast<DWORD>(lParam))); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, ps);
      paint(*g, dc, ps.rcPaint);
      EndPaint(h, ps);
      return 0;
    }
    case WM_LBUTTONDOWN: buttondown(*g, msg, wParam, lParam); return 0;
    case WM_RBUTTONDOWN:
      if (g->selfirstrow < 0) buttondown(*g, msg, wParam, lParam);
      return 0;
    case WM_CONTEXTMENU: {
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      contextmenu(*g, reinterpret_cast<HWND>(wParam), at);
      return 0;
    }
    case WM_COMMAND: editornotify(*g, HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_VSCROLL:
      if (lParam != 0 && LOWORD(wParam) != SB_ENDSCROLL) {
        if (!g->owner) cellchange(*g);
        g->data().modified = g->data().changed = 1;
        if (g->selfirstrow >= 0) yygridselectnone(g->window);
      }
      return 0;
    case DM_GETDEFID: {
      HWND dialog = GetParent(g->window);
      const LRESULT answer = SendMessage(dialog, DM_GETDEFID, 0, 0);
      if (HIWORD(static_cast<DWORD>(answer)) == DC_HASDEFID) {
        HWND button = GetDlgItem(dialog, LOWORD(static_cast<DWORD>(answer)));
        if (button && IsWindowEnabled(button)) SendMessage(dialog, WM_COMMAND, LOWORD(static_cast<DWORD>(answer)), reinterpret_cast<LPARAM>(button));
        else return 0;
      }
      return answer;
    }
    case WM_CTLCOLOREDIT: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(editorcolours(*g, msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_NCHITTEST: if (g->passive) return HTTRANSPARENT; break;
    case WM_CLOSE: case WM_NEXTDLGCTL: case WM_NOTIFY:
      return SendMessage(GetParent(g->window), msg, wParam, lParam);
    default: break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

LRESULT yygridcellwndproc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  GridInstance* g = ofeditor(h);
  if (g == nullptr || g->editor != h) return DefWindowProc(h, msg, wParam, lParam);
  WNDPROC inner = g->editorproc;
  auto forward = [&]() { return CallWindowProc(inner, h, msg, wParam, lParam); };
  switch (msg) {
    case WM_SETFOCUS: {
      HWND losing = reinterpret_cast<HWND>(wParam);
      if (losing && (losing == g->window || IsChild(g->window, losing))) {
        if (hWinMenuClick && (hWinMenuClick == g->window || IsChild(hWinMenuClick, g->window))) {
          hWinMenuClick = nullptr;
        } else {
          if (selectionRepaint && g->selfirstrow >= 0) {
            RECT r = selectionrect(*g);
            InvalidateRect(g->cellarea, &r, FALSE);
          }
          selectionRepaint = 1;
          focusFromOutside = 0;
        }
      } else {
        focusFromOutside = 1;
        if (g->selfirstrow >= 0) {
          RECT r = selectionrect(*g);
          InvalidateRect(g->cellarea, &r, FALSE);
        }
      }
      if (!(gridMovesFocus && !focusFromOutside)) cellchange(*g);
      const LRESULT result = forward();
      // A cell that cannot be typed into shows no caret that says it could.
      if (IsWindow(h) && (styleof(h) & ES_READONLY) != 0) HideCaret(h);
      if (IsWindow(h)) UpdateWindow(h);
      return result;
    }
    case WM_KILLFOCUS: {
      HWND gaining = reinterpret_cast<HWND>(wParam);
      if (!(hWinMenuClick && IsChild(hWinMenuClick, g->window))) {
        selectionRepaint = gaining != g->window;
        if (selectionRepaint && g->selfirstrow >= 0) {
          RECT r = selectionrect(*g);
          InvalidateRect(g->cellarea, &r, FALSE);
        }
      }
      return forward();
    }
    case WM_SETTEXT: {
      const LRESULT result = forward();
      UpdateWindow(h);
      return result;
    }
    case WM_KEYDOWN:
      if (key(*g, static_cast<int>(wParam))) return 0;
      return forward();
    case WM_CHAR: {
      const int ch = static_cast<int>(wParam);
      const int type = col(*g, g->currentcolumn).type;
      if (ch == 1 && textlike(type)) { SendMessage(h, EM_SETSEL, 0, -1); return 0; }
      if (ch == 3 && g->selfirstrow >= 0) { yygridclipcopy(g->window); return 0; }
      if (ch == 22 && yygridcheckclipboard() == 2) {
        if (yygridcanpaste(g->window)) yygridclippaste(g->window);
        return 0;
      }
      if (ch == 24 && g->selfirstrow >= 0) { cut(*g); return 0; }
      if (ch == '\t' || ch == '\r') return 0;
      return forward();
    }
    case WM_GETDLGCODE: {
      LRESULT code = forward();
      if (has(*g, GRS_ENTERMOVES)) code |= DLGC_WANTMESSAGE;
      else if (has(*g, GRS_TABMOVES)) code |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
      else code |= DLGC_WANTARROWS | DLGC_WANTCHARS;
      return code;
    }
    case WM_MOUSEMOVE:
      if (wParam & MK_LBUTTON) drag(*g, lParam);
      return forward();
    case WM_MOUSEWHEEL: return SendMessage(g->window, msg, wParam, lParam);
    case WM_CONTEXTMENU:
      if (g->selfirstrow < 0) SetFocus(h);
      return SendMessage(g->cellarea, msg, reinterpret_cast<WPARAM>(h), lParam);
    case WM_NCHITTEST:
      if (g->passive) return HTTRANSPARENT;
      return forward();
    default: return forward();
  }
}

LRESULT yygridsubheader(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtr(h, GWLP_USERDATA));
  GridInstance* g = yygridinstance(GetParent(h));
  if (g && msg == WM_SETCURSOR && !has(*g, GRS_RESIZECOLUMNS)) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
  }
  if (g && msg == WM_NCHITTEST && g->passive) return HTTRANSPARENT;
  return own ? CallWindowProc(own, h, msg, wParam, lParam) : DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Modal copy
// - yygridcopy()
//------------------------------------------------------------------------------
void yygridcopy(HWND to, HWND from) {
  GridInstance* d = yygridinstance(to);
  GridInstance* s = yygridinstance(from);
  if (!d || !s) return;
  yyGridDestroyCurrent(*d, 0);
  d->rowsinuse = s->rowsinuse;
  d->currentcolumn = s->currentcolumn;
  d->currentrow = s->currentrow;
  d->firstvisiblecolumn = s->firstvisiblecolumn;
  d->lastvisiblecolumn = s->lastvisiblecolumn;
  d->firstvisiblerow = s->firstvisiblerow;
  if (s->owner == d) {
    // Copying back: the cells are the loaded grid's already; the labels and widths follow.
    yyGridStoreCurrent(*s);
    for (std::size_t j = 0; j < std::min(d->rowlabelcontrols.size(), s->rowlabelcontrols.size()); ++j)
      if (d->rowlabelcontrols[j]) labelitem(*d, d->rowlabelcontrols[j], d->firstvisiblerow + static_cast<int>(j));
    if (d->header && s->header && has(*d, GRS_RESIZECOLUMNS)) setheaderwidths(*d);
    setscrollbars(*d);
    relabel(*d);
    yyGridCreateCurrent(*d);
    if (d->cellarea) InvalidateRect(d->cellarea, nullptr, TRUE);
    return;
  }
  d->initialised = s->initialised;
  d->columncount = s->columncount;
  d->lastscrollcolumn = s->lastscrollcolumn;
  d->rowsallocated = s->rowsallocated;
  d->columnsatsetup = s->columnsatsetup;
  d->visiblerows = s->visiblerows;
  d->rowlabelslots = s->rowlabelslots;
  d->rowlabelwidth = s->rowlabelwidth;
  d->headerheight = s->headerheight;
  d->rowtemplate = s->rowtemplate;
  d->scrollscale = s->scrollscale;
  d->rowheight = s->rowheight;
  d->passive = 0;
  d->owner = s;
  d->hasrowlabels = s->hasrowlabels;
  RECT client;
  GetClientRect(to, client);
  if (!d->cellarea)
    d->cellarea = CreateWindowEx(0, "VXKGRIDCLIENT", "", WS_CHILD | WS_VISIBLE, d->rowlabelwidth, d->headerheight,
                                 client.right - d->rowlabelwidth, client.bottom - d->headerheight, to, nullptr, nullptr,
                                 nullptr);
  d->rowlabelcontrols.assign(s->rowlabelcontrols.size(), nullptr);
  for (std::size_t j = 0; j < s->rowlabelcontrols.size(); ++j) {
    HWND src = s->rowlabelcontrols[j];
    if (!src) continue;
    RECT r;
    GetWindowRect(src, r);
    POINT tl{r.left, r.top};
    ScreenToClient(from, tl);
    d->rowlabelcontrols[j] = makerowlabel(*d, static_cast<int>(j), tl.y, r.bottom - r.top);
    if (d->rowlabelcontrols[j]) labelitem(*d, d->rowlabelcontrols[j], d->firstvisiblerow + static_cast<int>(j));
  }
  if (d->header && s->header) {
    SendMessage(d->header, WM_SETFONT, reinterpret_cast<WPARAM>(d->font), FALSE);
    while (SendMessage(d->header, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessage(d->header, HDM_DELETEITEM, 0, 0);
    const int n = static_cast<int>(SendMessage(s->header, HDM_GETITEMCOUNT, 0, 0));
    for (int k = 0; k < n; ++k) {
      char title[256] = {};
      HDITEM it;
      it.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
      it.pszText = title;
      it.cchTextMax = sizeof title;
      SendMessage(s->header, HDM_GETITEM, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&it));
      SendMessage(d->header, HDM_INSERTITEM, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&it));
    }
    RECT hr;
    GetWindowRect(s->header, hr);
    SetWindowPos(d->header, nullptr, 0, 0, hr.right - hr.left, hr.bottom - hr.top, SWP_NOMOVE | SWP_NOZORDER);
  }
  setscrollbars(*d);
  relabel(*d);
  if (s->editor) {
    yyGridStoreCurrent(*s);
    yyGridCreateCurrent(*d);
  }
}

//------------------------------------------------------------------------------
// [SECTION] Whole-grid settings
// - yyGridClear(), yygridcolumnchanged(), yygridrebuild()
//------------------------------------------------------------------------------
void yyGridClear(HWND grid, int clearlists) {
  GridInstance* g = yygridinstance(grid);
  if (g == nullptr) return;
  yygridselectnone(grid);
  GridInstance& d = g->data();
  d.fileencoding = GridFileNone;   // what the grid holds no longer came from a file
  if (g->editor) {
    const int type = col(*g, g->currentcolumn).type;
    if (textlike(type)) {
      SetWindowText(g->editor, "");
      SendMessage(g->editor, EM_SETMODIFY, FALSE, 0);
      double zero = 0.0;
      int hv = 0;
      if (numeric(type) && gridservices.editorvalue) gridservices.editorvalue(g->editor, &zero, &hv, true);
    } else if (type == GridCheckBox) {
      SendMessage(g->editor, BM_SETCHECK, BST_UNCHECKED, 0);
    } else if (clearlists) {
      SendMessage(g->editor, CB_RESETCONTENT, 0, 0);
    } else {
      SendMessage(g->editor, CB_SETCURSEL, 0, 0);
    }
  }
  for (GridColumn& c : d.columns) {
    if (clearlists && c.type == GridMenu) {
      c.options.clear();
      if (c.prototypeeditor) SendMessage(c.prototypeeditor, CB_RESETCONTENT, 0, 0);
    }
    std::fill(c.strings.begin(), c.strings.end(), '\0');
    std::fill(c.integers.begin(), c.integers.end(), 0);
    std::fill(c.reals.begin(), c.reals.end(), 0.0f);
    std::fill(c.doubles.begin(), c.doubles.end(), 0.0);
    for (std::uint8_t& st : c.states) st = static_cast<std::uint8_t>(st & GridCellLocked);
  }
  if (g->cellarea) RedrawWindow(g->cellarea, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW);
}

void yygridcolumnchanged(GridInstance& g, int column) {
  GridColumn& c = g.data().columns[static_cast<std::size_t>(column)];
  if (c.prototypeeditor) {
    if (gridservices.giverecord) gridservices.giverecord(c.prototypeeditor, c.prototype, c.textlength);
    yygridupdownrange(yygridupdown(c.prototypeeditor), c.prototype.rangelow, c.prototype.rangehigh);
  }
  if (!g.window || !g.cellarea) return;
  if (g.editor && column == g.currentcolumn) {
    // The editor keeps its value and colours: only the range and steps follow the column.
    GridFieldRecord rec;
    int length = 0;
    if (gridservices.readrecord && gridservices.giverecord && gridservices.readrecord(g.editor, rec, length)) {
      rec.rangelow = c.prototype.rangelow;
      rec.rangehigh = c.prototype.rangehigh;
      rec.spinsmall = c.prototype.spinsmall;
      rec.spinlarge = c.prototype.spinlarge;
      rec.spinoption = c.prototype.spinoption;
      gridservices.giverecord(g.editor, rec, length);
    }
    yygridupdownrange(yygridupdown(g.editor), c.prototype.rangelow, c.prototype.rangehigh);
    InvalidateRect(g.editor, nullptr, TRUE);
  }
  if (column >= g.firstvisiblecolumn && column <= g.lastvisiblecolumn + 1) {
    const int x = columnx(g, column);
    RECT strip{x, 0, x + c.width, cellareaheight(g)};
    InvalidateRect(g.cellarea, &strip, FALSE);
    UpdateWindow(g.cellarea);
  }
}

int yygridrebuild(GridInstance& g, int columns, const int* positions) {
  if (!g.window || !g.cellarea || g.owner) return 0;
  // Check first, then change: a template that cannot give the columns leaves the grid as it was.
  HWND templ = gridservices.loadtemplate ? gridservices.loadtemplate(g.rowtemplate) : nullptr;
  if (!templatefits(templ, columns, positions)) {
    if (templ) DestroyWindow(templ);
    return 0;
  }
  yygridselectnone(g.window);
  const bool hadfocus = focusinside(g);
  yyGridDestroyCurrent(g, 1);
  g.currentcolumn = g.currentrow = 0;
  g.firstvisiblecolumn = g.firstvisiblerow = 0;
  if (g.header)
    for (int k = static_cast<int>(SendMessage(g.header, HDM_GETITEMCOUNT, 0, 0)) - 1; k >= 0; --k)
      SendMessage(g.header, HDM_DELETEITEM, static_cast<WPARAM>(k), 0);
  for (GridColumn& c : g.columns) {
    if (HWND up = yygridupdown(c.prototypeeditor)) DestroyWindow(up);
    if (c.prototypeeditor) DestroyWindow(c.prototypeeditor);
  }
  g.columns.clear();
  g.columnlabels.clear();
  g.columncount = columns;
  const bool ok = SendMessage(g.window, GM_SETCOLUMNS, reinterpret_cast<WPARAM>(templ),
                              reinterpret_cast<LPARAM>(positions)) != 0;
  if (ok) {
    setscrollbars(g);
    setheaderwidths(g);
    relabel(g);
    if (g.editor == nullptr) yyGridCreateCurrent(g);
    if (hadfocus && IsWindowVisible(g.window)) SetFocus(g.window);
    if (yygridredefinedhook) yygridredefinedhook(g.window);
    RedrawWindow(g.cellarea, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  } else {
    // A control that could not be made half-way: the columns built so far go too, so that no
    // column is left without its cells.
    for (GridColumn& c : g.columns) {
      if (HWND up = yygridupdown(c.prototypeeditor)) DestroyWindow(up);
      if (c.prototypeeditor) DestroyWindow(c.prototypeeditor);
    }
    g.columns.clear();
    g.columncount = 0;
    setscrollbars(g);
    InvalidateRect(g.cellarea, nullptr, TRUE);
  }
  DestroyWindow(templ);
  return ok ? 1 : 0;
}
