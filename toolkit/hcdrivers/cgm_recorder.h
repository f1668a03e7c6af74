#pragma once
// The CGM recorder: while the drawing target is a metafile slot recording CGM, the screen
// side's device requests become binary CGM elements appended to the slot's buffer (through
// the memory twins of cgm_elements.h). The slot's buffer is sized by whoever creates the
// slot; the recorder never grows it. A request that draws while the slot holds no open
// picture (nothing recorded yet, or after END METAFILE) first opens one, so no element
// lands outside a picture.
#include <array>

void yygcgm(int& code);

// The attribute values last written to each slot's metafile (-1 unknown): line, text, fill,
// edge and auxiliary colour (packed blue * 65536 + green * 256 + red), text font index,
// character height, horizontal text alignment, edge width, edge type.
enum CgmSlotField {
  CGMLINE, CGMTEXT, CGMFILL, CGMEDGE, CGMAUX, CGMFONT, CGMHEIGHT, CGMALIGN, CGMEDGEWIDTH,
  CGMEDGETYPE
};
inline std::array<std::array<int, 10>, 20> CGMSLOTSTATE = [] {
  std::array<std::array<int, 10>, 20> s{};
  for (auto& r : s) r.fill(-1);
  return s;
}();
