#pragma once
// The nine built-in stroke fonts and their installing routines. The glyph data are made at
// build time by tools/strokefonts from the Hershey fonts and from the Liberation and URW
// Standard Symbols outlines, one generated source file per font.
#include <array>
#include <optional>
#include <string_view>

struct StrokeFontData {
  float m1, m2, m3, m4;           // cell width and height, glyph box width and height
  int type;                       // bit 0 stroked, bit 1 128 glyphs
  int defspacing;                 // 0 fixed pitch, 1 table spacing
  std::string_view name;          // the ".chr" label
  std::string_view glyphs;        // at most 17000 characters
  std::array<int, 96> start1;     // codes 33-128
  std::array<int, 96> start2;     // codes 161-255, then one past the end
};

extern const StrokeFontData kFontStandard, kFontSymbols, kFontSymbol, kFontSwiss,
    kFontSwissBold, kFontRoman, kFontRomanBold, kFontFixed, kFontFixedBold;

// slot absent or 0: install as the stroke font; 1: fill the second font record.
void wgrvfontstandard(std::optional<int> slot = std::nullopt);
void wgrvfontvxksymbols(std::optional<int> slot = std::nullopt);
// The bold or the normal variant by bit 0 of the text type flags.
void wgrofontfixed();
void wgrofontroman();
void wgrofontswiss();
void wgrofontsymbol();
void yyofswiss();
void yyofswissbold();
void yyofroman();
void yyofromanbold();
void yyoffixed();
void yyoffixedbold();
