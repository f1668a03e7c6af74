// The daily data entry on the headless backend, as a user meets it: the dialog with its
// 60,000 labelled rows, a click on the top cell, the paste of 60,000 days of flow and rain
// from the clipboard (tab-separated, CR LF), OK, the days built and aggregated, the data check
// summary and the save question answered. The aim is under 1 s.
#include <benchmark/benchmark.h>

#include <deque>
#include <memory>
#include <string>

#include "app/dataentry.h"
#include "app/mainprogram.h"
#include "app/modules.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "tests/support/clipboard_text.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"

namespace {

void started() {
  win::test::reset();
  tessarreset();
  wMessageEnabled.fill(0);
  for (DeferredEvent& s : VXKMessages) s = DeferredEvent{};
  win::test::setIdleHook([] { win::test::pressKey(win::VK_RETURN); });
  mainprogram_start();
  win::test::runUntilIdle();
}

void clickon(win::HWND h) {
  win::RECT r;
  win::GetWindowRect(h, r);
  win::test::click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The user: a click on the top cell, the paste, OK; Enter on the summary and No to the save.
void user() {
  auto step = std::make_shared<int>(0);
  win::test::setIdleHook([step] {
    if (win::test::openMessageBox() != nullptr) {
      win::test::pressKey(win::test::messageBoxes().back().title == "Save now?" ? 'N' : win::VK_RETURN);
      return;
    }
    switch ((*step)++) {
      case 0: {
        GridInstance& g = *gridservices.locate(1008);
        win::POINT p{g.columns[0].width / 2, g.rowheight / 2};
        win::ClientToScreen(g.cellarea, p);
        win::test::click(p.x, p.y);
        break;
      }
      case 1: win::test::pressKey('V', win::test::kCtrl); break;
      case 2: clickon(win::GetDlgItem(yycurrentdialog(), 1)); break;
      default: win::test::pressKey(win::VK_ESCAPE); break;
    }
  });
}

void BM_PasteSixtyThousandDays(benchmark::State& state) {
  started();
  std::string text;
  for (int k = 0; k < MAXDAYS; ++k)
    text += std::to_string(k % 3000) + "." + std::to_string(k % 100) + "\t" + std::to_string(k % 40) + ".5\r\n";
  tw::test::setclipboardtext(text);
  twvars.startday = 1;
  twvars.startmonth = 1;
  twvars.startyear = 1900;
  for (auto _ : state) {
    user();
    if (!newdaily_dataentry() || twvars.ndays != MAXDAYS) state.SkipWithError("the days were not stored");
  }
  win::test::setIdleHook(nullptr);
  windowclose();
  win::test::reset();
}
BENCHMARK(BM_PasteSixtyThousandDays)->Unit(benchmark::kMillisecond);

}  // namespace

