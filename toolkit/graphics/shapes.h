#pragma once
// Filled shapes: triangles, rectangles, trapeziums and parallelograms with two sides parallel
// to an axis, absolute and relative to the current point, outlined and filled in the current
// fill style; and simple polygons filled triangle by triangle.
#include <span>

void IGrTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
void igrtrianglerel(float dx2, float dy2, float dx3, float dy3);
void IGrRectangle(float x1, float y1, float x2, float y2);
void igrrectanglerel(float dx, float dy);
void yyrecti(float X1, float Y1, float X2, float Y2);
// dir 1: the two parallel sides run along y; any other dir: along x.
void IGrTrapezium(float x1, float y1, float x2, float y2, float len1, float len2, int dir);
// IGrTrapezium with lengths in double, for callers whose lengths are differences of far
// values: the corners come out where the exact lengths put them.
void yytrapeziumd(float x1, float y1, float x2, float y2, double len1, double len2, int dir);
void igrtrapeziumrel(float dx, float dy, float len1, float len2, int dir);
void igrparallel(float x1, float y1, float x2, float y2, float len, int dir);
void igrparallelrel(float dx, float dy, float len, int dir);
void igrpolygonsimple(std::span<const float> x, std::span<const float> y, int n);
