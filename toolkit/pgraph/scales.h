#pragma once
// Axis scales and axis text labels of Cartesian charts: ticks and scale numbers (or the
// caller's texts) along one side of the plot rectangle. Linear and logarithmic axes; crowded
// labels are narrowed, never thinned out. Text state and fill style are restored.
#include <span>
#include <string>
#include <string_view>

// Options: "T" outward ticks, "I" inward ticks, "N" numbers; empty or blank: ticks and numbers.
void ipgxscale(std::string_view options);
void ipgxscaletop(std::string_view options);
void ipgyscaleleft(std::string_view options);
void ipgyscaleright(std::string_view options);
// Side of the previous scale or text call; the left or bottom side before any.
void ipgzscale(std::string_view options);
// Text k goes where the k-th scale number would; slots beyond n get a blank.
void ipgxtext(std::span<const std::string> texts, int n);
void ipgxtexttop(std::span<const std::string> texts, int n);
void ipgytextleft(std::span<const std::string> texts, int n);
void ipgytextright(std::span<const std::string> texts, int n);
void ipgztext(std::span<const std::string> texts, int n);
