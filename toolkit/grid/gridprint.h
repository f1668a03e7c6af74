#pragma once
// Grid printing: a block of a grid's rows and columns on the printer, laid out like the grid on
// screen (titles, row labels, aligned cells, ruling), scaled and split into pages down and
// across. Two settings records (which 1 the first, any other value the second) start from the
// default printer.
#include <string_view>

// Results of yygridprint.
constexpr int GridPrintNoPrinter = 0, GridPrinted = 1, GridPrintNoRowRoom = 2, GridPrintLabelsTooWide = 3,
              GridPrintFailed = 4;

void yyGridPrintInit();
void yygridprintgetopt(int& rowlines, int& columnlines, int& repeattitles, int& textcolours, int& backcolours,
                       int& scale, int which);
void yygridprintsetopt(int rowlines, int columnlines, int repeattitles, int textcolours, int backcolours, int scale,
                       int which);
// The page set-up dialog for a record: its measure from units (-1 the user's locale, 0 or 1
// inches, 2 and more millimetres; the margins and paper size are converted when it changes),
// then the printer, paper, orientation and margins. 1 on OK, 0 on cancel.
int yygridprintsetup(int units, int which);
// The record names a printer.
bool yygridprintready(int which);
// The record's measure: 4 thousandths of an inch, 8 hundredths of a millimetre.
int yygridprintunits(int which);
// Item 3 left margin, 4 top margin, 1 and 2 width and height of the printed area, in points;
// 5 the orientation (0 portrait, 1 landscape).
void yygridprintgetpossize(int item, int& value, int which);
void yygridprintsetpossize(int item, int value, int which);
// Prints rows row1..row2 and columns col1..col2 (0-based) of grid ident. result: 1 printed,
// 0 no printer device context, 2 the page holds no row, 3 the row labels are wider than the
// page, 4 the job failed. With which 2 the document is named after docname, else after the
// grid-editor window's file (both "Untitled Grid" when empty).
void yygridprint(int ident, int& result, int row1, int row2, int col1, int col2, int which,
                 std::string_view docname);
