#pragma once
// Polar and 3-D geometry: the polar circle fitted into the plot area so that it stays round
// on the device, polar points, and the oblique projection of a 3-D chart's grid.
#include <span>

void yypol(float& cx, float& cy, float& r, float& ry);
void ipgunitstogrunitsp(float angle, float radius, float& gx, float& gy);
void yy3dxy(float& dxi, float& dxj, float& dyj, float& dyi, float& dyz, float& x0, float& y0);
// gx, gy: four corners each; ileft is 1-based.
void yycorn(std::span<float, 4> gx, std::span<float, 4> gy, int& ileft, float& yleft);
