// Fuzz target: the daily data entry's paste. The input is the clipboard's text as a spreadsheet
// puts it there (tab-separated flow and rain, lines ending in CR LF, LF or CR), pasted with
// Ctrl+V into the entry grid's top cell of the headless program; then OK, which stores the daily
// record, the annual totals and the data check. A box asking to save is answered No, every
// other box with Enter; an entry that is refused ends with Escape.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/dataentry.h"
#include "app/mainprogram.h"
#include "app/modules.h"
#include "fuzz/fuzz_support.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/grid/grid.h"

namespace {

constexpr int kGrid = 1008;

void clickOn(win::HWND h) {
  win::RECT r;
  win::GetWindowRect(h, r);
  win::test::click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The entry grid's top left cell, where a user starts a paste.
void clickTopCell() {
  GridInstance* g = gridservices.locate(kGrid);
  if (g == nullptr || g->cellarea == nullptr) return;
  win::POINT p{g->data().columns[0].width / 2, g->rowheight / 2};
  win::ClientToScreen(g->cellarea, p);
  win::test::click(p.x, p.y);
}

void putOnClipboard(const std::uint8_t* data, std::size_t size) {
  if (!win::OpenClipboard(nullptr)) return;
  win::EmptyClipboard();
  win::HGLOBAL h = win::GlobalAlloc(win::GMEM_MOVEABLE, size + 1);
  char* p = static_cast<char*>(win::GlobalLock(h));
  if (size > 0) std::memcpy(p, data, size);
  p[size] = '\0';
  win::GlobalUnlock(h);
  win::SetClipboardData(win::CF_TEXT, h);
  win::CloseClipboard();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    // A save the program might still make lands in the target's own folder.
    if (chdir(fuzz::folder().c_str()) != 0) return false;
    win::test::reset();
    mainprogram_start();
    return true;
  }();
  if (!ready) return 0;
  initialise_tw_vars();
  twvars.startday = 1;
  twvars.startmonth = 10;
  twvars.startyear = 1980;
  putOnClipboard(data, size);

  int step = 0;
  win::test::setIdleHook([&step] {
    if (win::test::openMessageBox() != nullptr) {
      const auto& boxes = win::test::messageBoxes();
      win::test::pressKey(!boxes.empty() && boxes.back().title == "Save now?" ? 'N' : win::VK_RETURN);
      return;
    }
    switch (step++) {
      case 0: clickTopCell(); break;
      case 1: win::test::pressKey('V', win::test::kCtrl); break;
      case 2: clickOn(win::GetDlgItem(yycurrentdialog(), 1)); break;
      default: win::test::pressKey(win::VK_ESCAPE); break;
    }
  });
  newdaily_dataentry();
  win::test::setIdleHook(nullptr);
  win::test::clearMessageBoxes();
  return 0;
}
