#pragma once
// Triangle decomposition and gradient fills: simple polygons divided into triangles by
// clipping ears, the two-colour linear gradient fill, and the shading of a gradient polygon
// request (40) as every device carries it out.
#include <array>
#include <span>

#include "toolkit/graphics/graphics_state.h"

// Divides the polygon into ntri triangles; each triple holds vertex indices counted from 0
// (previous vertex, ear tip, next vertex). T needs room for n - 2 triples.
void yypolygondecompose(std::span<const float> x, std::span<const float> y, int n,
                        std::span<std::array<int, 3>> T, int& ntri);
void IGrPolygonGrad(std::span<const float> x, std::span<const float> y, int n, int dir);

// A device's own routines for the gradient request: one pixel, and native gradient
// triangles (status 0 done, anything else asks for software shading).
using GradientPixel = void (*)(int x, int y, int colour);
using GradientTriangles = void (*)(const GradientVertices& vertices, int& status);
// Shades the polygon of tessar.graphics.gradient; mode 2 tries the device's triangles first.
void yygradientfill(int mode, int cx1, int cy1, int cx2, int cy2, GradientPixel pixel,
                    GradientTriangles triangles);
void yygradienttriangle(const std::array<int, 3>& t, int cx1, int cy1, int cx2, int cy2,
                        GradientPixel pixel);
