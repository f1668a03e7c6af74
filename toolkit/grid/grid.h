#pragma once
// The grid control's records and its cell store: the primitives through which everything
// outside the grid window reads and writes cells, the public grid field operations over
// them, and row insertion and deletion.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win.h"

enum GridColumnType { GridString = 0, GridInteger = 1, GridReal = 2, GridDouble = 3,
                      GridCheckBox = 4, GridMenu = 5 };

// Encodings of a grid's CSV file: none (the grid came from no file: 8-bit text), Windows-1252,
// UTF-8 without and with a byte-order mark, UTF-16 little- and big-endian (with their mark).
enum GridFileEncoding { GridFileNone = 0, GridFileCp1252 = 1, GridFileUtf8 = 2, GridFileUtf8Mark = 3,
                        GridFileUtf16LE = 4, GridFileUtf16BE = 5 };

// GridCellState bits
constexpr std::uint8_t GridCellLocked = 1, GridCellDefined = 2, GridCellEntered = 4;

// Statuses returned in the identifier argument of the store primitives.
constexpr int GridNoGrid = -1, GridOutOfRange = -2, GridNoValue = -3;

struct GridCellColour {
  std::uint8_t flags = 0;  // 1 text colour set, 2 background set
  std::uint8_t textred = 0, textgreen = 0, textblue = 0;
  std::uint8_t backred = 0, backgreen = 0, backblue = 0;
};

// What the column keeps of its prototype editor's dialog field record.
struct GridFieldRecord {
  double value = 0.0;
  double rangelow = 1000.0, rangehigh = -1000.0;  // low above high: no range
  double spinsmall = 0.0, spinlarge = 0.0;
  int spinoption = 0;
  int hasvalue = 0;
  int textcolour = -1, background = -1;  // packed RGB, -1 default
  bool hasformat = false;
  std::string format;
  int align = 0;         // 0 left, 1 centred, 2 right (edit style of the prototype)
  int spinnerclass = 0;  // 0 none, else the column type whose spinner class the editor is
};

// Up-down ranges are limited to this many steps either side of 0.
constexpr double GridSpinLimit = 31073.0;

struct GridColumn {
  int type = GridString;
  int textlength = 0;
  std::vector<char> strings;    // string columns: textlength + 1 bytes per row
  std::vector<int> integers;    // integer, check-box and menu columns
  std::vector<float> reals;
  std::vector<double> doubles;
  std::vector<std::uint8_t> states;
  std::vector<GridCellColour> colours;  // empty until the first cell colour is set
  GridFieldRecord prototype;
  std::vector<std::string> options;  // menu columns: the option list
  int width = 0;                       // pixels, with the grid line it shares with the next
  win::HWND prototypeeditor = nullptr; // hidden control the editor and the painting copy
  win::DWORD prototypestyle = 0;
};

struct GridInstance {
  int columncount = 0, rowsallocated = 0, rowsinuse = 0;
  int currentcolumn = 0, currentrow = 0;
  int modified = 0, changed = 0;
  int firstvisiblecolumn = 0, lastvisiblecolumn = 0, firstvisiblerow = 0;
  int visiblerows = 0, rowlabelcount = 0;
  int textcolour = -1, background = -1;  // the grid field's own colours
  bool hasrowlabels = false, hascolumnheader = false;
  std::vector<std::array<char, 51>> rowlabels;
  std::vector<std::string> columnlabels;  // item 0 the corner, c + 1 column c
  int selfirstcolumn = -1, selfirstrow = -1, sellastcolumn = -1, sellastrow = -1;
  int columnsatsetup = 0;
  // The encoding of the CSV file the grid was last loaded from (GridFileEncoding); a save
  // writes that encoding again.
  int fileencoding = 0;
  int scrollscale = 1, scrollrange = 0;
  std::vector<GridColumn> columns;
  // The grid window's side (wgrid.cpp); empty for a grid without a window.
  int initialised = 0, lastscrollcolumn = 0, rowlabelslots = 0;
  int rowheight = 0, rowlabelwidth = 0, headerheight = 0, rowtemplate = 0;
  int anchorcolumn = -1, anchorrow = -1, pendingscroll = 0, wheel = 0;
  int creationclientheight = 0, frameheight = 0, passive = 0;
  win::HWND window = nullptr, cellarea = nullptr, editor = nullptr, header = nullptr;
  win::HWND menutarget = nullptr, droppedlist = nullptr;
  std::vector<win::HWND> rowlabelcontrols;
  win::HFONT font = nullptr;
  win::WNDPROC editorproc = nullptr;   // the editor's class procedure while it is subclassed
  // A modal copy's grid shows the loaded grid's cells: its columns and labels are the
  // loaded grid's (the copy never outlives the loaded dialog, which unloads after it).
  GridInstance* owner = nullptr;
  GridInstance& data() { return owner ? *owner : *this; }
};

// Builds a grid's records: columns of the given types (text length for string columns),
// rows allocated and in use. Everything starts empty.
struct GridColumnSpec { int type; int textlength = 0; };
void yygridbuild(GridInstance& grid, const std::vector<GridColumnSpec>& columns,
                 int rowsallocated, int rowsinuse);

// How an identifier finds its grid: the dialog manager fills it (identifier != 0: the
// control of the current dialog; 0: the current grid-editor window). Empty: no grid.
struct GridServices {
  GridInstance* (*locate)(int ident) = nullptr;
  // The dialog manager's side of the grid window (filled with locate): the hidden row-template
  // dialog with its fields' records and companion text applied (nullptr when it cannot be
  // made); a field's record read into the column's form, and a column's record given to an
  // editor; the shown value of an editor; its range check; the grid field's report-every-change
  // option and colours.
  win::HWND (*loadtemplate)(int resource) = nullptr;
  bool (*readrecord)(win::HWND field, GridFieldRecord& out, int& length) = nullptr;
  void (*giverecord)(win::HWND field, const GridFieldRecord& in, int length) = nullptr;
  void (*editorvalue)(win::HWND field, double* value, int* hasvalue, bool write) = nullptr;
  int (*outofrange)(win::HWND field) = nullptr;
  int (*notifyoption)(win::HWND grid) = nullptr;
  void (*gridcolours)(win::HWND grid, int& text, int& back) = nullptr;
  // The up-down control of a spinner field (nullptr for any other field), and the spin step
  // of such a field by the up-down's delta (-5, -1, 1, 5).
  win::HWND (*updownof)(win::HWND field) = nullptr;
  void (*spinstep)(win::HWND field, int delta) = nullptr;
};
extern GridServices gridservices;

// Store primitives (columns and rows from 0).
void yygridputcellstring(int& status, int column, int row, double value, std::string_view text,
                         std::string_view format);
void yygridputcellcheck(int& status, int column, int row, int state);
void yygridputcelloption(int& status, int column, int row, int option);
void yygridgetcellstring(int& status, int column, int row, std::string& buffer, int length);
void yygridgetcellvalue(int& status, int column, int row, double& value);
void yygridgetcellcheck(int& status, int column, int row, int& state);
void yygridgetcellmenu(int& status, int column, int row, int& option);
void yygridclearcell(int& status, int column, int row, int mode);
void yygridcellstate(int& status, int column, int row, int state);
void yygridcolourcell(int& status, int column, int row, int tr, int tg, int tb, int br, int bg,
                      int bb);
void yygridcelltype(int& status, int column, int& type);
void yygridgetformat(int ident, int column, std::string& buffer, int length);
void yyGridGetString(const GridInstance& grid, int column, int row, std::string& buffer, int mode);

// Rows, labels, selection and settings.
void yygridsetrows(int& status, int rows);
void yygridsetrows2(GridInstance& grid, int ident, int rows);
void yygridlabelrow(int ident, int row, std::string_view text, int length);
void yygridgetrowlabel(int ident, int row, std::string& buffer, int length);
void yygridclearselection(int& status);
void yygridsetselection(int& status, int firstcolumn, int firstrow, int lastcolumn, int lastrow);
void yygridselectnone(GridInstance& grid);
void yygridgetinfo(int& status, int item, int& value);
void yygridrange(int& status, int column, double low, double high);
void yygridrangecheck(int& status, int column, double value);
void yygridrangecheck2(int& status, const GridInstance& grid, int column, double value);
void yygridspinstepi(int& status, int column, int small, int large, int option);
void yygridspinstepr(int& status, int column, float small, float large);
void yygridspinstepd(int& status, int column, double small, double large);
void yygridcellfocus(int& status, int column, int row, int caret);
void yygridcolourcolumn(int& status, int column, int tr, int tg, int tb, int br, int bg, int bb);
void yygridputmenu(int& status, int column, int row, std::string_view text);
void yygridclearmenu(int& status, int column, int row);
void yygridcelllength(int& status, int column, int& length);
// Rebuilds the columns from the row template with a new column count; positions: 0 or the
// 1-based template child of each column.
void yygridredefine(int& status, int columns, const int* positions = nullptr);

// What the last modal grid-editor window left when it closed: its grid's modified and
// changed words and its search text, second text and file name (identifier -2 of
// yygridgetinfo, window -1 of yygridgetinfostring). Written by the grid-editor window.
struct GridModalResults {
  int modified = 0, changed = 0;
  std::string searchtext, secondtext, filename;
};
inline GridModalResults gridmodalresults;

// Public grid field operations (columns and rows from 1; errors recorded under their names).
void WGridRows(int ident, int nrows);
void WGridPutCellString(int ident, int icol, int irow, std::string_view cvalue);
void WGridPutCellInteger(int ident, int icol, int irow, int ivalue);
void WGridPutCellReal(int ident, int icol, int irow, float rvalue, std::string_view cformat = {});
void WGridPutCellDouble(int ident, int icol, int irow, double dvalue,
                        std::string_view cformat = {});
void WGridPutCellCheckBox(int ident, int icol, int irow, int istate);
void WGridPutCellOption(int ident, int icol, int irow, int ioption);
void WGridGetCellString(int ident, int icol, int irow, std::string& cvalue);
void WGridGetCellInteger(int ident, int icol, int irow, int& ivalue);
void WGridGetCellReal(int ident, int icol, int irow, float& rvalue);
void WGridGetCellDouble(int ident, int icol, int irow, double& dvalue);
void WGridGetCellCheckBox(int ident, int icol, int irow, int& istate);
void WGridGetCellMenu(int ident, int icol, int irow, int& ioption);
void WGridLabelRow(int ident, int irow, std::string_view clabel);
void WGridColourCell(int ident, int icol, int irow, const int* irgbfore = nullptr,
                     const int* irgbback = nullptr);
void WGridStateCell(int ident, int icol, int irow, int istate);
void WGridClearCell(int ident, int icol, int irow);
// Makes the cell current with the focus; with ipos the caret goes before character ipos
// (1-based) of its editor.
void WGridSetCell(int ident, int icol, int irow, std::optional<int> ipos = std::nullopt);

// Row insertion and deletion; number, iadjust and ilabels absent are 1, 0 and 0.
void WGridInsertRows(int ident, int irow, int number = 1, int iadjust = 0, int ilabels = 0);
void WGridDeleteRows(int ident, int irow, int number = 1, int iadjust = 0, int ilabels = 0);
