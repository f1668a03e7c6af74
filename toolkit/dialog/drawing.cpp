// toolkit/dialog/drawing.cpp: a dialog, or a field of it, as the drawing surface of the
// graphics, and the test of dialogs that draw (their snapshots are taken around modal work).
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/window/window.h"

using namespace win;

void yyfieldselect(int& field, int& width, int& height) {
  HWND d = yycurrentdialog();
  HWND w = field == 0 ? d : yycurrentfield(field);
  HDC dc = w != nullptr ? GetDC(w) : nullptr;
  if (dc == nullptr) {
    gDC = wDC;
    hGraphicsField = nullptr;
    hGraphicsFieldWnd = nullptr;
    field = -1;
    return;
  }
  gDC = hGraphicsField = dc;
  hGraphicsFieldWnd = w;
  hMovie = w;
  RECT c;
  GetClientRect(w, c);
  width = c.right;
  height = c.bottom;
  // The stipple is rebuilt for this device.
  if (gBitmap != nullptr) DeleteObject(gBitmap);
  gBitmap = CreateCompatibleBitmap(dc, 8, 8);
  gStippleRebuild = 1;
  yywinselectcurrent();
  yywinlinestyles();
  // From now on the field (or dialog) posts its mouse, paint and resize events.
  if (field == 0) {
    if (DialogRecord* r = yydialogrecord(d)) r->graphics = 1;
  } else if (FieldRecord* fr = yyfieldrecord(w)) {
    fr->graphics = 1;
  }
}

int yyCheckUserDrawn(HWND dialog) {
  const DialogRecord* r = yydialogrecord(dialog);
  if (r == nullptr) return 0;
  if (r->graphics != 0) return 1;
  for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
    if (const FieldRecord* fr = yyfieldrecord(f); fr != nullptr && fr->graphics != 0) return 1;
    if (yyfieldclass(f) != FieldClass::Tab) continue;
    const std::vector<int> pages = yytabpages(f);
    const LRESULT k = SendMessage(f, TCM_GETCURSEL, 0, 0);
    if (k < 0 || static_cast<std::size_t>(k) >= pages.size()) continue;
    const int at = yydialogfind(pages[static_cast<std::size_t>(k)]);
    if (at > 0 && yyCheckUserDrawn(dialogtable.hDialogList[static_cast<std::size_t>(at)]) != 0) return 1;
  }
  return 0;
}
