#pragma once
// platform/richedit_rtf.h: internal to the rich-edit control: RTF in and out for its text.
// Texts are 8-bit (Windows-1252) with one CR for every paragraph end.
#include <string>
#include <string_view>

namespace win::rtf {

// The font the text is written in: face name and size in half points.
struct DefaultFont {
  std::string face = "Courier New";
  int halfPoints = 20;
  bool fixedPitch = true;
};

// An RTF document of the text, one \par at every paragraph end and after the last one.
std::string write(std::string_view text, const DefaultFont& font);

// The text of an RTF document: paragraphs end in CR, tabs stay tabs, characters outside
// Windows-1252 become '?'; tables, pictures, fields' instructions, headers and other
// destinations that are no body text are left out. The final paragraph end is dropped (the
// control's text always ends in one). False when data is no RTF (no "{\rtf" at the start).
bool read(std::string_view data, std::string& text);

}  // namespace win::rtf
