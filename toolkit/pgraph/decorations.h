#pragma once
// Titles and axis labels beside the plot area, and grid lines at the tick positions.
#include <string_view>

// Options: "L", "R" justify a title or X label at the plot's left or right edge; on Y labels
// "R" reads downward, "9" upward, "T" and "B" place at the plot's top or bottom.
void ipgtitle(std::string_view text, std::string_view options = {});
void ipgxlabel(std::string_view text, std::string_view options = {});
void ipgxlabeltop(std::string_view text, std::string_view options = {});
void ipgylabelleft(std::string_view text, std::string_view options = {});
void ipgylabelright(std::string_view text, std::string_view options = {});
void ipgzlabelleft(std::string_view text, std::string_view options = {});
void ipgzlabelright(std::string_view text, std::string_view options = {});
// Grid lines in line type lt at the X or Y tick positions.
void ipgxgraticules(int lt);
void ipgygraticules(int lt);
