#pragma once
// platform/richedit_rtf.h: internal to the rich-edit control: RTF in and out for its text with
// its character and paragraph formats. Texts are 8-bit (Windows-1252) with one CR for every
// paragraph end.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win.h"

namespace win::rtf {

// The control's own font, which characters without a face or size of their own are shown in.
struct DefaultFont {
  std::string face = "Courier New";
  int halfPoints = 20;
  bool fixedPitch = true;
  BYTE family = 0x30;   // FF_ values
};

struct CharFormat {
  bool bold = false, italic = false, underline = false, strike = false, protect = false;
  bool unbold = false;    // normal weight although the control's font is bold
  int twips = 0;          // character height; 0: the control's
  std::string face;       // empty: the control's
  BYTE charset = 0;
  BYTE pitchFamily = 0;
  bool autoColour = true;
  COLORREF colour = 0;
  bool autoBack = true;   // background: the control's
  COLORREF back = 0;
  bool operator==(const CharFormat&) const = default;
};

// Indents in twips as the control keeps them: start is the first line's, offset the other
// lines' relative to it.
struct ParaFormat {
  bool bullet = false;
  int align = 0;   // 0 left, 1 centre, 2 right
  int start = 0, offset = 0, right = 0;
  bool operator==(const ParaFormat&) const = default;
};

struct Document {
  std::string text;                                  // CR at every paragraph end but the last
  std::vector<CharFormat> formats{CharFormat{}};
  std::vector<std::pair<int, int>> runs{{0, 0}};     // (first character, index into formats), ascending
  std::vector<ParaFormat> paragraphs{ParaFormat{}};  // one a paragraph, in order
};

// An RTF document: one \par at every paragraph end and after the last one; fonts, colours,
// bold, italic, underline, strike-out, sizes, alignment, indents and bullets (a simple list).
std::string write(const Document& doc, const DefaultFont& font);

// The text and formats of an RTF document: paragraphs end in CR, tabs stay tabs, characters
// outside Windows-1252 become '?'; tables, pictures, fields' instructions, headers, list
// texts and other destinations that are no body text are left out. A paragraph of a list
// (\ls, or \pnlvlblt of the older paragraph numbering) gets a bullet. The final paragraph
// end is dropped (the control's text always ends in one). False when data is no RTF (no
// "{\rtf" at the start).
bool read(std::string_view data, Document& doc);

}  // namespace win::rtf
