#pragma once
// The grid window: the dialog control "VXKGRID" with its cell area "VXKGRIDCLIENT", set up from
// the "[Grids]" line of its dialog's companion text and a row-template dialog; painting,
// scrolling, the current-cell editor, keys and mouse, selection and the clipboard.
// Columns and rows are counted from 0 here.
//
// Module state (one GUI thread): the class atoms and the registered message, set by
// yygridregister; bCellUpdate (1: a stored cell is repainted at once), cleared and set again
// around bulk changes by yygridcellredrawoff/on.
#include <string_view>

#include "platform/win.h"
#include "toolkit/grid/grid.h"

// Grid styles (low 16 bits of the control's style).
constexpr win::DWORD GRS_COLOURLOCKED = 0x0010, GRS_SELECTEVENTS = 0x0020, GRS_CHANGEEVENTS = 0x0040,
                     GRS_NOLABELTEXT = 0x0080, GRS_FIXEDHEIGHT = 0x0100, GRS_COLUMNHEADER = 0x0200,
                     GRS_ROWLABELS = 0x0400, GRS_READONLY = 0x0800, GRS_ENTERMOVES = 0x1000,
                     GRS_RESIZECOLUMNS = 0x2000, GRS_TABMOVES = 0x4000, GRS_WRAP = 0x8000;

// Private messages of the grid window.
constexpr win::UINT GM_SETCOLUMNS = win::WM_USER + 1, GM_SETROWLABELS = win::WM_USER + 2,
                    GM_SETSCROLLBARS = win::WM_USER + 3, GM_SETSIZE = win::WM_USER + 4,
                    GM_SETPASSIVE = win::WM_USER + 5, GM_SETHEADERWIDTHS = win::WM_USER + 6;

inline win::ATOM atomGrid = 0, atomGridClient = 0;
inline win::UINT GM_CELLCHANGE = 0;
inline int bCellUpdate = 1;
// Counts the registrations of the grid class: the grid printing settings start afresh from
// the default printer after each.
inline int gridRegistrations = 0;

// The packed cell of GM_CELLCHANGE and of the grid's field-changed events (0-based inputs).
constexpr int yygridpackcell(int column, int row) { return ((column + 1) << 18) + (row + 1); }

void yygridregister();
// The grid instance of a grid window; nullptr for any other window.
GridInstance* yygridinstance(win::HWND hwnd);
// Set-up from the text of a "[Grids]" entry just after its field identifier; the number of
// characters consumed.
int yygridinitialise(win::HWND grid, std::string_view text);
// The modal copy of a dialog takes the loaded grid (to = modal grid) or gives it back.
void yygridcopy(win::HWND to, win::HWND from);

void yyGridRedrawCell(GridInstance& g, int column, int row, int update);
void yygridcellredrawoff();
void yygridcellredrawon(int ident);
// The cell store changed a cell: repaint it and show it in the editor when it is the current.
void yygridcellstored(GridInstance& g, int column, int row);
// The rows in use changed: scroll bars, view and repaint.
void yygridrowschanged(GridInstance& g);
// A row label changed: the row-label controls show the labels again.
void yygridlabelschanged(GridInstance& g);

void yyGridCreateCurrent(GridInstance& g);
void yyGridDestroyCurrent(GridInstance& g, int store);
int yyGridUpdateCurrent(GridInstance& g);
void yyGridStoreCurrent(GridInstance& g);
void yygridupdatecell(win::HWND grid, int column, int row, int focus, int extend);
// Applies a cell's locked state to its editor (read-only text, its up-down control enabled
// only when unlocked, a check box that does not toggle itself).
void yygridwindowstate(win::HWND editor, int type, int lock, int redraw);
// The up-down control of a spinner editor: Shift+click goes to its buddy.
win::LRESULT yygridspinwndproc(win::HWND h, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
// The up-down control beside an editor or prototype (nullptr when none).
win::HWND yygridupdown(win::HWND field);
// Sets an up-down control's range from a column range (limited to +-31073, truncated); a
// range that is switched off (low above high) leaves the control its default range.
void yygridupdownrange(win::HWND updown, double low, double high);
// Empties every cell of the grid; clearlists also empties the menu columns' option lists.
void yyGridClear(win::HWND grid, int clearlists);
// The grid window's side of the whole-grid settings: a column's record (range, steps,
// colours) reaches its prototype and the current editor and the column is repainted; a
// redefinition rebuilds the columns from the row template (1 done, 0 failed).
void yygridcolumnchanged(GridInstance& g, int column);
int yygridrebuild(GridInstance& g, int columns, const int* positions);
// Filled by the grid-editor window: a redefined grid's window fits it again.
inline void (*yygridredefinedhook)(win::HWND grid) = nullptr;

void yygridselectrange(win::HWND grid, int firstrow, int lastrow, int firstcolumn, int lastcolumn);
void yygridselectnone(win::HWND grid);
int yygridcheckclipboard();
void yygridclipcount(int& rows, int& columns);
int yygridcancut(win::HWND grid);
int yygridcanpaste(win::HWND grid);
int yygridclipcopy(win::HWND grid);
void yygridclippaste(win::HWND grid);
void yygridclipdelete(win::HWND grid);

// Fields a paste refused (text that is no number, out of range, an integer with an exponent):
// how many, and the first of them (0-based column and row; -1 when none).
struct GridPasteRefusals { int count = 0; int column = -1, row = -1; };
inline GridPasteRefusals gridpasterefusals;
