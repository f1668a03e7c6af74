// Window units and the current window's size.
#include "toolkit/window/units.h"

#include "toolkit/graphics/area.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"

int unitsfrompixels(int pixel, int size) {
  if (size <= 1) return 0;
  return static_cast<int>((static_cast<double>(pixel) + 0.5) * 9999.0 / static_cast<double>(size));
}

int pixelsfromunits(int units, int size) { return (size - 1) * units / 9999; }

void windowunitsfrompixels(int xpixels, int ypixels, int& xunits, int& yunits) {
  const WindowState& w = tessar.window;
  xunits = unitsfrompixels(xpixels, w.CURWIDTH);
  yunits = unitsfrompixels(ypixels, w.CURHEIGHT);
}

void windowunitstopixels(int xunits, int yunits, int& xpixels, int& ypixels) {
  const WindowState& w = tessar.window;
  xpixels = pixelsfromunits(xunits, w.CURWIDTH);
  ypixels = pixelsfromunits(yunits, w.CURHEIGHT);
}

void yyresize(int window, int width, int height) {
  WindowState& w = tessar.window;
  if (window != w.CURWINDOW) return;
  w.CURWIDTH = width;
  w.CURHEIGHT = height;
  yyfntsiz();
  yyresn(1, window, width, height);
}
