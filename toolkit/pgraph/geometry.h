#pragma once
// Polar and 3-D geometry: the polar circle fitted into the plot area so that it stays round
// on the device, polar points, and the oblique projection of a 3-D chart's grid.
#include <span>

#include "toolkit/state/tessar.h"

void yypol(float& cx, float& cy, float& r, float& ry);
void ipgunitstogrunitsp(float angle, float radius, float& gx, float& gy);
void yy3dxy(float& dxi, float& dxj, float& dyj, float& dyi, float& dyz, float& x0, float& y0);
// gx, gy: four corners each; ileft is 1-based.
void yycorn(std::span<float, 4> gx, std::span<float, 4> gy, int& ileft, float& yleft);

// Runs body once per device of a polar chart, so that the circle fits each device's aspect:
// the screen alone, then an open hardcopy alone; both flags are as before afterwards.
template <class Body>
void polarpasses(Body&& body) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  const int screen = at.SCREENON, hardcopy = at.HARDCOPYON;
  if (screen != 0) {
    at.HARDCOPYON = 0;
    body();
    at.HARDCOPYON = hardcopy;
  }
  if (hardcopy > 0) {
    at.SCREENON = 0;
    body();
  }
  at.SCREENON = screen;
  at.HARDCOPYON = hardcopy;
}

// The aspect ratio of the device a polar pass draws on.
inline float polaraspect() {
  const GraphicsRegion& g = tessar.graphics;
  return g.attributes.SCREENON != 0 ? g.area.ASPECT : g.operands.HCASPECT;
}
