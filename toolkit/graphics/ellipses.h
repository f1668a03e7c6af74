#pragma once
// Ellipses, circles and arrows: axis-parallel ellipses and circles, outlined or filled in
// the current fill style (device requests 4, 5 and 6, with outlines and hatching drawn as
// clipped lines where a side cannot), and straight arrows with an open or a filled head.
#include <optional>

void igrellipse(float x, float y, float radius, float ratio);
void igrcircle(float x, float y, float radius);
void yyelip(float x, float y, float radius, float ratio);
// type 2: filled head; any other: an open head of two lines.
void igrarrow(float x, float y, float length, float angle, int type, std::optional<float> size = std::nullopt);
void igrarrowjoin(float x1, float y1, float x2, float y2, int type, std::optional<float> size = std::nullopt);
