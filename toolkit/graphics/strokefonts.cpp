// Installing routines of the built-in stroke fonts.
#include "toolkit/graphics/strokefonts.h"

#include <string>

#include "toolkit/state/tessar.h"
#include "toolkit/graphics/strokefont.h"

namespace {

void install(const StrokeFontData& f, int slot) {
  // Each font installs from a buffer of its own, as the format's copy routine expects.
  static std::string buffer;
  buffer.assign(f.glyphs);
  yychsfont(f.m1, f.m2, f.m3, f.m4, 8, f.type, f.defspacing, slot, f.name, buffer, f.start1,
            f.start2);
}

// Installs the bold or the normal variant and notes which one the type flags asked for.
void boldaware(const StrokeFontData& normal, const StrokeFontData& bold) {
  TextState& ts = tessar.graphics.text;
  install((ts.TYPEFLAGS & 1) != 0 ? bold : normal, 0);
  ts.LOADEDBOLD = ts.TYPEFLAGS % 2;
}

}  // namespace

void wgrvfontstandard(std::optional<int> slot) { install(kFontStandard, slot.value_or(0)); }
void wgrvfontvxksymbols(std::optional<int> slot) { install(kFontSymbols, slot.value_or(0)); }
void wgrofontfixed() { boldaware(kFontFixed, kFontFixedBold); }
void wgrofontroman() { boldaware(kFontRoman, kFontRomanBold); }
void wgrofontswiss() { boldaware(kFontSwiss, kFontSwissBold); }
void wgrofontsymbol() { install(kFontSymbol, 0); }
void yyofswiss() { install(kFontSwiss, 0); }
void yyofswissbold() { install(kFontSwissBold, 0); }
void yyofroman() { install(kFontRoman, 0); }
void yyofromanbold() { install(kFontRomanBold, 0); }
void yyoffixed() { install(kFontFixed, 0); }
void yyoffixedbold() { install(kFontFixedBold, 0); }
