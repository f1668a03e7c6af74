// The colour chooser and the placing of the toolkit's option dialogs, the standard dialogs
// that need the window layer (the colour table, the windows' client areas, showing dialogs).
#include <array>

#include "platform/common_dialogs.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/modal_frame.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace {

// The chooser's custom colours for the whole run: seeded from the first 16 entries of the
// colour table on the first call, then kept as the user leaves them.
std::array<win::COLORREF, 16> customcolours{};
bool seeded = false;

}  // namespace

void yygetrgbdialog(int& red, int& green, int& blue, int& result, int& error) {
  if (!seeded) {
    for (std::size_t i = 0; i < customcolours.size(); ++i) customcolours[i] = wColor[i];
    seeded = true;
  }
  win::CHOOSECOLOR cc;
  cc.rgbResult = static_cast<win::COLORREF>((red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF));
  cc.lpCustColors = customcolours.data();
  cc.Flags = win::CC_RGBINIT | win::CC_FULLOPEN;
  win::BOOL ok = win::FALSE;
  yymodalframe([&](win::HWND owner) {
    cc.hwndOwner = owner;
    ok = win::ChooseColor(cc);
  });
  if (ok) {
    red = static_cast<int>(cc.rgbResult & 0xFF);
    green = static_cast<int>((cc.rgbResult >> 8) & 0xFF);
    blue = static_cast<int>((cc.rgbResult >> 16) & 0xFF);
    result = 1;
    error = 0;
  } else {
    result = 0;
    error = static_cast<int>(win::ChooseColorError());
  }
}

void yygetwindlgpos(int window, int /*width*/, int /*height*/, int& x, int& y) {
  win::HWND h = nullptr;
  if (window >= 0 && window <= 50) {
    h = winslot(window).hClient;
  } else if (window == -1) {
    h = yycurrentdialog();
    if (h == nullptr) h = winslot(tessar.window.CURWINDOW).hClient;
    // From a child window up, two parent levels at a time, to a window that is no child.
    while (h != nullptr && (win::GetWindowLong(h, win::GWL_STYLE) & win::WS_CHILD) != 0) {
      win::HWND up = win::GetParent(h);
      if (up != nullptr && (win::GetWindowLong(up, win::GWL_STYLE) & win::WS_CHILD) != 0) up = win::GetParent(up);
      if (up == nullptr) break;
      h = up;
    }
  }
  win::POINT origin{0, 0};
  if (h != nullptr) win::ClientToScreen(h, origin);
  x = origin.x;
  y = origin.y;
}

void yyshowcd(int field, int type, int window) {
  int x = 0, y = 0;
  yygetwindlgpos(window, 0, 0, x, y);
  WDialogShow(x, y, field, type);
}
