#pragma once
// The DXF file driver (hardcopy device 8).

void xxdxf(int& code);
// The DXF colour number 1-255 nearest in the HSV cone to a packed RGB value.
int yydxfcol(int rgb);
