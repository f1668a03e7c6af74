#pragma once
// Drawing text strings: placement by justification, the current point, the visible run of
// device text, per-side stroke substitution, background boxes and underlines.
#include <optional>
#include <string_view>

// An absent coordinate is taken from the current point.
void wgrtextstring(std::optional<float> x, std::optional<float> y, std::string_view text);
// side 0 screen, 1 hardcopy; result 1 when device text must be drawn as stroke text there.
void yychsubst(int side, float EW, float EH, int& result);
// Fills the background box of text whose reference point is (x, y), in device units, with
// the previous colour, on the sides whose flags are positive.
void yychback(float x, float y, std::string_view text, int mode, int screen, int hardcopy);
