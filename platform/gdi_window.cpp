// platform/gdi_window.cpp: window device contexts. Joins the drawing layer to the window
// layer: GetDC, GetWindowDC, BeginPaint and ReleaseDC of the window layer get their device
// contexts here, drawn on the window's backing store (platform/surface.h), and the window
// layer reads brushes and regions through the same hooks. A static object installs the hooks
// at start-up; the object table calls installWindowHooks() too, so that every program that
// draws at all links this file.
#include "platform/gdi_internal.h"
#include "platform/surface.h"

namespace win::gdi {

namespace {

bool windowArea(HWND hwnd, bool wholeWindow, WindowArea& out) {
  WindowSurface s;
  if (!GetWindowSurface(hwnd, wholeWindow, s) || !s.surface) return false;
  out.surface = s.surface;
  out.origin = s.origin;
  out.size = s.size;
  out.visible = s.visible;
  return true;
}

// No window: the screen. Its DC answers queries (device capabilities, fonts and text
// metrics); what is drawn on it goes nowhere, as the screen outside windows is not ours.
HDC getDC(HWND hwnd, bool wholeWindow, const std::vector<RECT>& clip) {
  return newWindowDC(hwnd, wholeWindow, clip);
}

int releaseDC(HWND, HDC dc) { return DeleteDC(dc) ? 1 : 0; }

bool brushColor(HBRUSH h, COLORREF& colour) {
  const BrushData* b = brush(h);
  if (!b || b->style != BS_SOLID) return false;
  colour = b->colour;
  return true;
}

bool regionRects(HRGN h, std::vector<RECT>& rects) {
  const Region* r = region(h);
  if (!r) return false;
  rects = r->rects;
  return true;
}

bool setRegionRects(HRGN h, const std::vector<RECT>& rects) {
  Region* r = region(h);
  if (!r) return false;
  r->rects.clear();
  for (const RECT& rc : rects) r->addRect(rc);
  return true;
}

}  // namespace

}  // namespace win::gdi

namespace win {

HBRUSH GetSysColorBrush(int index) {
  // One solid brush per system colour, made on first use and kept, as the platform's are.
  static HBRUSH brushes[COLOR_INFOBK + 1] = {};
  if (index < 0 || index > COLOR_INFOBK) return nullptr;
  if (!brushes[index]) {
    brushes[index] = CreateSolidBrush(GetSysColor(index));
    gdi::keepForRun(brushes[index]);
  }
  return brushes[index];
}

}  // namespace win

namespace win::gdi {

namespace {

struct Installer {
  Installer() { installWindowHooks(); }
};
const Installer installer;

}  // namespace

void installWindowHooks() {
  setWindowAreaHook(&windowArea);
  DcProvider p;
  p.getDC = &getDC;
  p.releaseDC = &releaseDC;
  p.brushColor = &brushColor;
  p.regionRects = &regionRects;
  p.setRegionRects = &setRegionRects;
  SetDcProvider(p);
}

}  // namespace win::gdi
