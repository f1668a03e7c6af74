#pragma once
// What the metafile and printer drawing layers share: one picture on a device context in
// integer device units, with its own colour, line type, width, pen and font kept between
// calls. The two layers differ only in where the picture goes, in their coordinates and in
// which pens take user dash patterns; they keep one Picture each.
#include <array>
#include <span>
#include <string_view>

#include "platform/gdi.h"

struct Picture {
  win::HDC dc = nullptr;
  int colour = 0, prevcolour = 0;   // red + 256 green + 65536 blue
  int linetype = 0;
  int penstyle = 0;
  int linewidth = 1;
  win::HPEN pen = nullptr, penold = nullptr;
  std::array<int, 3> penkey{-1, -1, -1};
  win::HFONT font = nullptr, fontold = nullptr;
  std::array<win::DWORD, 26> dashes{};
  int dpi = 96;                    // resolution the dash patterns are scaled to
  bool userpatterns = false;       // styled lines as geometric pens with the user patterns
  bool standardstyles = false;     // styled geometric pens with the platform's dash styles
};

// Line type to pen style (a type above 7 leaves the style alone).
void yypiclinetype(Picture& p, int type);
// The dash patterns of the seven line types scaled from screen pixels to p.dpi, their gaps
// widened by width - 1 for wide pens (square ends lengthen every dash by the width).
void yypiclinestyles(Picture& p);
// The pen for the current colour, type and width made current (only when one of them
// changed since the last pen).
void yypiccreatepen(Picture& p);
void yypicline(Picture& p, int x1, int y1, int x2, int y2);
// Polyline through the first n points of gPoints; below 1 point nothing.
void yypicpolyline(Picture& p, int n);
void yypicpixel(Picture& p, int x, int y, int colour);
void yypicellipse(Picture& p, int xc, int yc, int rx, int ry, int style);
void yypicrectangle(Picture& p, int x1, int y1, int x2, int y2);
// Filled square of side linewidth centred on the point (the printer's point).
void yypicsquare(Picture& p, int x, int y);
void yypicarc(Picture& p, int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb);
void yypicoutlinearc(Picture& p, int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb, int mode);
// Solid polygon through the first n points of gPoints; outline: a one-unit edge in its colour.
void yypicpolygon(Picture& p, int n, int outline);
void yypicgradfill(Picture& p, std::span<const int> x, std::span<const int> y, std::span<const int> colour,
                   std::span<const int> triangles, int nv, int nt, int& failed);
// The face table's font (0 named, 1 Courier New, 2 Arial, 3 Times New Roman, 4 Symbol),
// weight, italic and underline from the style bits 1, 2, 4: character height height.
win::HFONT yypicmakefont(int width, int height, int angle, int face, int style, std::string_view name);
// Replaces the picture's font.
void yypicfont(Picture& p, win::HFONT font);
void yypicreleasefont(Picture& p);
void yypicdrawstring(Picture& p, int x1, int y1, int x2, int y2, int alignment, int opaque, std::string_view text,
                     int length);
void yypictextlength(Picture& p, int& width, std::string_view text, int length);
// Forgets the pen (deleting it when it is held) so that the next drawing makes a new one.
void yypicresetpen(Picture& p);
