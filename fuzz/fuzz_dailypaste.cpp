// Fuzz target: the daily data entry's paste. The input is the clipboard's text as a spreadsheet
// puts it there (tab-separated flow and rain, lines ending in CR LF, LF or CR). The headless
// program loads the entry dialog with its grid of flow and rain, the grid pastes the text at its
// top cell (what Ctrl+V there does), and the days are stored as OK stores them, then totalled
// into years and checked. Every message box is answered with Enter.
//
// The entry's own routine labels its 60,000 rows with dates before it shows, which takes about
// a second a run; the target loads the dialog without the labels so that it runs many inputs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/aggregate.h"
#include "app/calendar.h"
#include "app/datacheck.h"
#include "app/dataentry.h"
#include "app/mainprogram.h"
#include "app/modules.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "platform/window_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/grid/grid.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace {

constexpr int kGrid = 1008;

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
    win::test::reset();
    // A small screen: each message box keeps a copy of the screen under it.
    win::Backend backend;
    backend.screenSize = [](int& w, int& h) {
      w = 640;
      h = 480;
      return true;
    };
    win::SetBackend(backend);
    // The About box that greets the user at start, and every box after: Enter.
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
    win::test::setIdleHook([] { win::test::pressKey(win::VK_RETURN); });
    mainprogram_start();
    win::test::setIdleHook(nullptr);
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
    // The main window goes with the process, as the program's own end closes it.
    std::atexit([] {
      if (tessar.window.ROOTOPEN == 1) windowclose();
    });
    return true;
  }();
  (void)ready;
  initialise_tw_vars();
  twvars.startday = 1;
  twvars.startmonth = 10;
  twvars.startyear = 1980;
  putOnClipboard(data, size);

  WDialogLoad(102);
  if (GridInstance* g = gridservices.locate(kGrid); g != nullptr && g->window != nullptr) {
    yygridclippaste(g->window);
    storedaily();
    if (twvars.ndays > 0) {
      dailytoannual();
      inputdatacheck();
    }
  }
  WDialogUnload();
  win::test::clearMessageBoxes();
  return 0;
}
