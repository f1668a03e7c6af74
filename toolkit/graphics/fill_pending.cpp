// toolkit/graphics/fill_pending.cpp: stand-ins for the fill routines of fill_calls.h until
// the polygon fill and filled shapes join this library; each gives way to the real routine
// (weak symbols) and draws nothing meanwhile.
#include "toolkit/graphics/fill_calls.h"

[[gnu::weak]] void IGrPolygonComplex(std::span<const float>, std::span<const float>, int) {}
[[gnu::weak]] void IGrRectangle(float, float, float, float) {}
[[gnu::weak]] void IGrTriangle(float, float, float, float, float, float) {}
[[gnu::weak]] void yystep(int, int, float& sx, float& sy, int& ix, int& iy, float& inset, int& alternate) {
  sx = sy = 0;
  ix = iy = 0;
  inset = 0;
  alternate = 0;
}
[[gnu::weak]] void yy2col(int, int&) {}
