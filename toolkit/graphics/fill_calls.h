#pragma once
// The fill routines that ellipses, arrows and markers draw with: the polygon fill, the hatch
// spacing and two-colour rules, the filled rectangle and triangle.
#include <span>

void IGrPolygonComplex(std::span<const float> x, std::span<const float> y, int n);
void IGrRectangle(float x1, float y1, float x2, float y2);
void IGrTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
void yystep(int side, int density, float& sx, float& sy, int& ix, int& iy, float& inset, int& alternate);
void yy2col(int side, int& pass);
