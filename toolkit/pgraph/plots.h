#pragma once
// Axes and border of the plot rectangle; the line plot and the XY-pairs plot, each call
// drawing the chart's next data set; the switch to the symbols stroke font for markers.
#include <optional>
#include <span>

// Axes cross at plot (x0, y0) when inside the units, else at the first X or Y unit.
void ipgaxes(std::optional<float> x0 = std::nullopt, std::optional<float> y0 = std::nullopt);
void ipgborder();
void ipglineplot(std::span<const float> y);
// The fill between one line segment and its base, in graphics units; h1 becomes h2.
void yypgli(float z, float x1, float b1, float x2, float t2, double& h1, double h2);
void ipgxypairs(std::span<const float> x, std::span<const float> y,
                std::optional<int> n = std::nullopt);
// 1: text output in the symbols stroke font; any other flag: back to the font before it.
void yysyload(int flag);
