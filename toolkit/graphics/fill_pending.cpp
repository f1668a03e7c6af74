// toolkit/graphics/fill_pending.cpp: stand-ins for the fill routines of fill_calls.h while
// the polygon fill and the filled shapes are not in this folder (graphics_figures.cmake
// builds this file only then): they draw nothing and give no hatch spacing.
#include "toolkit/graphics/fill_calls.h"

void IGrPolygonComplex(std::span<const float>, std::span<const float>, int) {}
void IGrRectangle(float, float, float, float) {}
void IGrTriangle(float, float, float, float, float, float) {}
void yystep(int, int, float& sx, float& sy, int& ix, int& iy, float& inset, int& alternate) {
  sx = sy = 0;
  ix = iy = 0;
  inset = 0;
  alternate = 0;
}
void yy2col(int, int&) {}
