#pragma once
// Smooth curves through points: overlapping parabolas through each three consecutive points,
// blended linearly between the points, drawn as clipped lines (igrcurve), as one polyline of
// m points (wgrcurve), or only computed (wgrcurvepoints). Points in graphics units.
#include <optional>
#include <span>

// Component t (0-1) of parabola k (1-based: through p(k), p(k+1), p(k+2)) with control c.
float yybow(std::span<const float> p, float c, int k, float t);
// Needs n >= 2; steps up to 4 count as 4 (default 32).
void igrcurve(std::span<const float> x, std::span<const float> y, int n, std::optional<int> steps = std::nullopt);
// For n >= 3 fills m points (default 10 n, at least 2) of xc, yc; else leaves them.
void wgrcurvepoints(std::span<const float> x, std::span<const float> y, int n, std::span<float> xc,
                    std::span<float> yc, std::optional<int> m = std::nullopt);
void wgrcurve(std::span<const float> x, std::span<const float> y, int n, std::optional<int> m = std::nullopt);
