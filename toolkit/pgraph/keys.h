#pragma once
// Keys: the key area, the key cell, one key entry (a sample of how a set is drawn, then its
// text) and the key of all sets in one column, one row, or as labels at the line ends.
#include <span>
#include <string>
#include <string_view>

// Fractions of the graphics area; an empty or inverted box selects the automatic key.
void ipgkeyarea(float x1, float y1, float x2, float y2);
// One character of the current size in graphics units.
void yypgkeyc(float& w, float& h);
// Entry of set iset at (x, y), graphics units: the sample's start and the entry's middle line.
void ipgkeysingle(int iset, float x, float y, std::string_view text);
// Options: "R" reversed, "B" frame, "C" cleared background, "X" one row below the plot,
// "E" labels at the line ends (line and XY plots).
void ipgkeyall(std::span<const std::string> texts, std::string_view options,
               std::string_view title = {});
