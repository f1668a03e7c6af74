#pragma once
// Window units: positions and sizes on a 0-9999 scale of the current window's client area
// (CURWIDTH x CURHEIGHT pixels).
void windowunitsfrompixels(int xpixels, int ypixels, int& xunits, int& yunits);
void windowunitstopixels(int xunits, int yunits, int& xpixels, int& ypixels);
// One direction of a client area size pixels across.
int unitsfrompixels(int pixel, int size);
int pixelsfromunits(int units, int size);
// The client area of a window changed size: the current window takes the new size.
void yyresize(int window, int width, int height);
