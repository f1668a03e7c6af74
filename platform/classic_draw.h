#pragma once
// Drawing steps that the layer's own menus, toolbar and status bar share, on the public
// drawing calls.
#include "platform/gdi.h"

namespace win::draw {

// A line from (x1, y1) to (x2, y2) in a one-pixel solid pen; the end pixel is left out.
inline void line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// r filled with a solid colour.
inline void solid(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH b = CreateSolidBrush(colour);
  FillRect(dc, r, b);
  DeleteObject(b);
}

}  // namespace win::draw
