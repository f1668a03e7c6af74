#pragma once
// Stroke fonts: installing a font in the stroke-font format, its single save slot, and the
// renderer that draws a string as polylines (stroked fonts) or filled outlines.
//
// Format: a glyph is a run of strokes separated by one pen-up character (any character
// outside kStrokeAlphabet); a stroke is two or more points, a point two alphabet characters
// (x then y, the character's position in the alphabet, 0-55), in glyph units from the lower
// left corner of the glyph box.
#include <span>
#include <string_view>

inline constexpr std::string_view kStrokeAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";
// Most points one stroke may hold.
inline constexpr int kStrokePoints = 150;

// type bit 0: stroked (1) or outline (0); bit 1: 128 glyphs (code 128 draws slot 127).
// slot 1 fills the second font record; any other value installs the font.
void yychsfont(float m1, float m2, float m3, float m4, int charsetwidth, int type,
               int defspacing, int slot, std::string_view name, std::string_view glyphs,
               std::span<const int> start1, std::span<const int> start2);
void yychsave(int flag);
// (x, y): the start of the text line (horizontal) or the top of the column (vertical), in
// device units; EW, EH the cell in device units.
void yychdraw(float x, float y, std::string_view text, float EW, float EH);
// The glyph text of a mapped code in the installed font (empty when it has none).
std::string_view yychglyph(int code);
