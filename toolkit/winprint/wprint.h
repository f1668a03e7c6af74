#pragma once
// The printer drawing layer: the twin of the metafile layer on a printer device context,
// wrapped in a print job. Coordinates are printer pixels with logical (0, 0) at the left and
// top page margins. A page ended by yywprdump is started again by the next drawing call.
// The layer reports nothing: open returns a status, and the job's own results come back
// from the page and close calls for the driver to report.
#include <span>
#include <string_view>

#include "platform/gdi.h"

inline win::HDC gPrDC = nullptr;
inline win::HRGN gPrRegion = nullptr;
inline win::POINT origin{0, 0};

// Starts the print job (document name of the given length) and its first page. status 0,
// or 1 with the system error when the printer's device context or the job cannot be had.
// dpix, dpiy and colours come back from the printer.
void yywpropen(int width, int height, int left, int top, int& dpix, int& dpiy, int& colours, int& status,
               int& syserror, int orientation, int copies, std::string_view name, int length);
// Starts a page: 0, or the system error of a refused StartPage (the job is then aborted).
int yywprstartpage();
// Ends the current page: 0, or the system error of a refused EndPage (the job is aborted).
int yywprdump();
// Ends the job: 0, or the system error when the job failed (it is then aborted).
int yywprclose();
void yywprcolour(int red, int green, int blue);
void yywprlinetype(int type);
void yywprlinewidth(int width);
void yywprline(int x1, int y1, int x2, int y2);
void yywprpolyline(int n);
void yywprpoint(int x, int y);
void yywprpointrgb(int x, int y, int colour);
void yywprellipse(int xc, int yc, int rx, int ry, int style);
void yywprrectangle(int x1, int y1, int x2, int y2);
void yywprarc(int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb);
void yywproutlinearc(int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb, int mode);
void yywprpolygon(int n, int outline);
void yywprgradfill(std::span<const int> x, std::span<const int> y, std::span<const int> colour,
                   std::span<const int> triangles, int nv, int nt, int& failed);
// The font's cell height comes back in height and its ascent in ascent; the font selected is
// the same face rotated by angle, at that cell height.
void yywprtextsize(int width, int& height, int& ascent, int angle, int face, int style, std::string_view name,
                   int length);
void yywprdrawstring(int x1, int y1, int x2, int y2, int alignment, int opaque, std::string_view text, int length);
void yywprtextlength(int& width, std::string_view text, int length);
void yywprclip(int x1, int y1, int x2, int y2);
void yywprcreatepen();
void yywprlinestyles();
// A job is running (for tests).
bool yywprjobrunning();
