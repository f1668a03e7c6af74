#pragma once
// Grid files and tools: CSV save and load, HTML export, find and row sort of a grid field.
// Public toolkit routines: columns and rows from 1, the grid named as by the field operations
// (a field of the current dialog, 0 the grid of the current grid-editor window), errors
// recorded under the routine's own name.
#include <climits>
#include <optional>
#include <string_view>

// Options of WGridSave and WGridLoad.
constexpr int GridCsvNoQuotes = 1, GridCsvLabels = 2;
// Options of WGridSaveHTML.
constexpr int GridHtmlTableOnly = 1, GridHtmlCentre = 2, GridHtmlYesNo = 4, GridHtmlNoColours = 8;
// Options of WGridFind.
constexpr int GridFindNext = 1, GridFindIgnoreCase = 2, GridFindNumeric = 4;
// Sort flags.
constexpr int SORT_DESCENDING = 1, SORT_IGNORECASE = 2, SORT_ROWLABELS = 4;

// Writes the block of cells as comma-separated lines ending in CR LF. Text fields are quoted
// (quotes doubled) unless GridCsvNoQuotes; any field holding a comma, a quote or a line break
// is quoted whatever the option. Numbers are written at full precision. Texts are written in
// the encoding of the file the grid was last loaded from (Windows-1252, UTF-8 with or without
// a mark, UTF-16), 8-bit Windows-1252 without a mark for a grid from no file. The file is
// replaced in one step: a failure leaves the previous file as it was (error 1 not created, 2
// not written).
void WGridSave(int ident, std::string_view filename, int icol1 = 1, int icol2 = INT_MAX,
               int irow1 = 1, int irow2 = INT_MAX, int iflags = 0);
// Reads a comma-separated file into the grid from its first row and column. iextend 1 lets the
// rows in use grow up to the rows allocated. The file's encoding is found from its start and
// kept for the save. Errors: 1 not opened, 2 not read (also UTF-16 that does not decode, which
// leaves the grid as it was), 1054 a field outside the grid, 1055 no such menu option, and the
// conversion errors of numeric fields; reading goes on after data errors and the last one
// stays recorded.
void WGridLoad(int ident, std::string_view filename, int iextend = 0, int iflags = 0);
// Writes the block as an HTML table (or a whole page); texts are escaped.
void WGridSaveHTML(int ident, std::string_view filename, int icol1 = 1, int icol2 = INT_MAX,
                   int irow1 = 1, int irow2 = INT_MAX, int iflags = 0,
                   std::optional<std::string_view> ctitle = std::nullopt, int iborder = 0,
                   std::optional<int> ibgcolour = std::nullopt);
// Finds the first cell (column by column, top down) containing ctext and makes it current.
void WGridFind(int ident, std::string_view ctext, int iflags = 0, int* ifound = nullptr,
               int icol1 = 1, int icol2 = INT_MAX, int irow1 = 1, int irow2 = INT_MAX);
// Sorts rows istart..iend by column icol; stable, so sorting by the least significant key
// first and the most significant last orders by several keys. Empty cells go last in either
// order. Returns 1 when the rows were sorted, 0 when the call was refused (error recorded).
int WGridSort(int ident, int icol, int iflags = 0, int istart = 1, int iend = INT_MAX);
