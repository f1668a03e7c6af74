#pragma once
// The drawing layer of the screen side: each routine draws one thing on the drawing
// context gDC in platform pixels (row 0 at the top), or keeps the pen, the two-colour
// stipple, the plot mode, the logical palette, the clip region or the device font. It
// reports nothing: a failed platform call leaves the picture as it was, except
// yywingradfill (failed) and yywingetpixelrgb (red -1).
//
// gDC, gBitmap, gPen, gFont, gClipRgn, the stipple flag and the plot mode are the window
// layer's (toolkit/window/window.h); the globals below belong to this layer.
#include <span>
#include <string_view>
#include <vector>

#include "platform/gdi.h"

// Logical palette made on palette displays, and its entry table; none on true colour.
inline win::HPALETTE gPal256 = nullptr;
inline std::vector<win::PALETTEENTRY> gLogPal;
// Point buffer: one block at a time, allocated, filled, drawn once and freed per request.
inline std::vector<win::POINT> gPoints;
inline int gLineWidth = 1;
inline int WinNT = 1;
inline int wScreenDPI = 96, wMetafileDPI = 96;
// Current and previous colours as the platform draws them.
inline win::COLORREF gColour = 0, gColourPrev = 0xFFFFFF;

void yywinline(int x1, int y1, int x2, int y2);
void yywincolour(int device, int rgb);
win::HBRUSH yywinstipple();
void yywinellipse(int cx, int cy, int rx, int ry, int kind, int style);
void yywinrectangle(int x1, int y1, int x2, int y2, int style);
void yywinarc(int cx, int cy, int rx, int ry, int x1, int y1, int x2, int y2, int style);
void yywinoutlinearc(int cx, int cy, int rx, int ry, int x1, int y1, int x2, int y2, int density, int style);
void yywinpolygon(int n, int style);
void yywinpolyline(int n);
// Triangles of 1-based vertex numbers, three per triangle; n vertices, m triangles.
void yywingradfill(std::span<const int> x, std::span<const int> y, std::span<const int> rgb,
                   std::span<const int> triangles, int n, int m, int& failed);
void yywinclear(int width, int height, int rgb);
void yywintextsize(int& width, int& height, int& ascent, int angle, int face, int flags, std::string_view name);
void yywindrawstring(int x1, int y1, int x2, int y2, int justification, int background, std::string_view text,
                     int length);
void yywintextlength(int& width, std::string_view text, int length);
void yywinblit(int sx, int sy, int dx, int dy, int w, int h, int erase, int rgb);
void yywinclip(int x1, int y1, int x2, int y2);
void yywinpoint(int x, int y);
void yywinpointrgb(int x, int y, int rgb);
void yywingetpixelrgb(int x, int y, int& red, int& green, int& blue);
void yywinplotmode(int mode);
void yywinpalette(int index, int rgb, int mode);
void yywinpalette256(int index, int rgb, int mode);
void yywinlinetype(int type);
void yywinlinewidth(int width);
void yywincreatepen();
void yywinlinestyles();
void yypolalloc(int n);
void yypolpoint(int x, int y, int i);
void yypolfree();
// Puts the current pen, font, plot mode and palette into a newly selected gDC, keeping what
// they replace in gPenOld and gFontOld.
void yywinselectcurrent();
// The dash pattern of a line type 1-7 in screen pixels, dash first, as the screen driver
// starts from (empty for 0); the metafile and printer layers scale it for their devices.
std::span<const win::DWORD> yywinpattern(int type);
// The scaled dash pattern of a line type 1-7 (empty for 0).
std::span<const win::DWORD> yywindashes(int type);
