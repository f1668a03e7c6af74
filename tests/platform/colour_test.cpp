// Control colours: every control class asks its parent with its own WM_CTLCOLOR message and
// paints with the brush and text colour it gets, or with its classic colours without one;
// and the edit class serves as the base of a program's own class (the numeric fields).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/combobox.h"
#include "platform/edit.h"
#include "platform/listbox.h"
#include "platform/scrollbar.h"
#include "platform/tab.h"
#include "platform/trackbar.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;

namespace {
class ControlColourTest : public ctltest::Fixture {};

WNDPROC baseEditProc = nullptr;

// A program's class on the edit class: digits only, as the integer fields filter them.
LRESULT digitsOnly(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_CHAR && w >= 0x20 && !(w >= '0' && w <= '9')) return 0;
  return CallWindowProc(baseEditProc, h, msg, w, l);
}
}  // namespace

TEST_F(ControlColourTest, EachClassAsksWithItsMessageAndPaintsWithTheAnswer) {
  struct Case { const char* why; const char* cls; DWORD style; UINT msg; int x, y; COLORREF fallback; };
  const Case cases[] = {
      {"edit", "EDIT", 0, WM_CTLCOLOREDIT, 1, 1, GetSysColor(COLOR_WINDOW)},
      {"read-only edit", "EDIT", ES_READONLY, WM_CTLCOLORSTATIC, 1, 1, GetSysColor(COLOR_BTNFACE)},
      {"list box", "LISTBOX", 0, WM_CTLCOLORLISTBOX, 5, 40, GetSysColor(COLOR_WINDOW)},
      {"drop-down list field", "COMBOBOX", CBS_DROPDOWNLIST, WM_CTLCOLORLISTBOX, 4, 4, GetSysColor(COLOR_WINDOW)},
      {"scroll bar track", "SCROLLBAR", SBS_VERT, WM_CTLCOLORSCROLLBAR, 8, 40, RGB(224, 224, 224)},
      {"trackbar", TRACKBAR_CLASS, 0, WM_CTLCOLORSTATIC, 1, 1, GetSysColor(COLOR_BTNFACE)},
      {"tab control", WC_TABCONTROL, 0, WM_CTLCOLORSTATIC, 100, 5, GetSysColor(COLOR_BTNFACE)},
      {"button", "BUTTON", BS_PUSHBUTTON, WM_CTLCOLORBTN, 6, 6, GetSysColor(COLOR_BTNFACE)},
      {"static", "STATIC", SS_LEFT, WM_CTLCOLORSTATIC, 60, 1, GetSysColor(COLOR_BTNFACE)},
  };
  const COLORREF paper = RGB(250, 240, 200);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    for (bool answered : {false, true}) {
      ctltest::parent().colourMessages.clear();
      if (answered) ctltest::parent().brush = CreateSolidBrush(paper);
      HWND w = make(c.cls, c.style, 20, 20, c.msg == WM_CTLCOLORSCROLLBAR ? 17 : 150, 80, 1400);
      ASSERT_NE(w, nullptr);
      InvalidateRect(w, nullptr, TRUE);
      test::runUntilIdle();
      const auto& got = ctltest::parent().colourMessages;
      EXPECT_NE(std::find(got.begin(), got.end(), c.msg), got.end());
      EXPECT_EQ(test::pixel(w, c.x, c.y), answered ? paper : c.fallback);
      DestroyWindow(w);
      if (answered) {
        DeleteObject(ctltest::parent().brush);
        ctltest::parent().brush = nullptr;
      }
    }
  }
}

TEST_F(ControlColourTest, AProgramsClassBuiltOnTheEditClassFiltersAndEdits) {
  WNDCLASS wc;
  ASSERT_TRUE(GetClassInfo(nullptr, "EDIT", wc)) << "the class name in any case";
  baseEditProc = wc.lpfnWndProc;
  wc.lpfnWndProc = digitsOnly;
  wc.lpszClassName = "INTEGEREDIT";
  ASSERT_NE(RegisterClass(wc), 0);
  HWND e = make("INTEGEREDIT", WS_BORDER | ES_RIGHT | ES_MULTILINE, 20, 20, 80, 22, 1401, "1");
  ASSERT_NE(e, nullptr);
  SetFocus(e);
  SendMessage(e, EM_SETSEL, 1, 1);
  test::typeText("2a3");
  test::runUntilIdle();
  EXPECT_EQ(ctltest::textOf(e), "123");
  EXPECT_EQ(SendMessage(e, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL, DLGC_HASSETSEL);
}
