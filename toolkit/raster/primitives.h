#pragma once
// Raster pixel, span and line primitives: the writes of the raster device into the
// virtual raster page. Coordinates are page pixels, row 0 at the bottom; the callers keep
// them inside the page (the graphics layer clips to the clip box). Each returns 0.

// Sets pixel (x, y) to value.
int yyvra1(int value, int x, int y);
// Sets pixels xa to xb of row y to value; nothing when xb < xa.
int yyvra4(int value, int xa, int y, int xb);
// Paints pixels xa to xb of row y with the current fill; nothing when xb < xa.
int yyvra2(int xa, int xb, int y);
// Draws the line from (x1, y1) to (x2, y2) in the current colour, line type and width;
// a non-zero joint skips the first pixel.
int yyvra3(int x1, int y1, int x2, int y2, int joint);
// Sets pixel (x, y) to the page's value for the colour rgb.
int yyvra5(int x, int y, int rgb);
// The x at which the edge (x1, y1)-(x2, y2) meets row y; 32767 for a horizontal edge.
int yyxini(int x1, int y1, int x2, int y2, int y);
