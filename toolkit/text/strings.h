#pragma once
// String utilities on fixed-length text: byte by byte on 8-bit characters, locale-free,
// no errors reported. Positions are counted from 1; "blank" is the space character only.
#include <optional>
#include <string>
#include <string_view>

void ilowercase(std::string& text);
void iuppercase(std::string& text);
void ilocatestring(std::string_view text, int& first, int& last);
int ilocatechar(std::string_view text);
void ijustifystring(std::string& text, std::string_view justification);
int indexnocase(std::string_view text, std::string_view substring,
                std::optional<bool> backward = std::nullopt);
int yyichar(char c);

// Fixed-length assignment: value cut at text.size(), or padded with blanks to it.
void assignfixed(std::string& text, std::string_view value);
// Length of the text without its trailing blanks.
int lentrim(std::string_view text);
