// The controls on a real display (Xvfb through the GTK backend): a dialog with an edit, a
// list box, a drop-down list combo box, a spin edit with its up-down control, a
// trackbar and a progress bar, typed into with xdotool and photographed with xwd.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/combobox.h"
#include "platform/dialog.h"
#include "platform/edit.h"
#include "platform/gtk_backend.h"
#include "platform/listbox.h"
#include "platform/progress.h"
#include "platform/trackbar.h"
#include "platform/updown.h"
#include "tests/support/xserver.h"

using namespace win;
using tw::test::pumpUntil;

namespace {

std::vector<WORD> controlsDialog() {
  std::vector<WORD> w;
  auto put32 = [&](DWORD v) {
    w.push_back(static_cast<WORD>(v & 0xFFFF));
    w.push_back(static_cast<WORD>(v >> 16));
  };
  auto text = [&](const char* s) {
    for (; *s; ++s) w.push_back(static_cast<unsigned char>(*s));
    w.push_back(0);
  };
  auto item = [&](DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const char* cls, const char* t) {
    if (w.size() % 2) w.push_back(0);
    put32(style | WS_CHILD | WS_VISIBLE);
    put32(0);
    w.insert(w.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx), static_cast<WORD>(cy), id});
    if (atom) w.insert(w.end(), {0xFFFF, atom});
    else text(cls);
    text(t);
    w.push_back(0);
  };
  put32(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
  put32(0);
  w.push_back(13);
  w.insert(w.end(), {20, 20, 230, 150});
  w.push_back(0);
  w.push_back(0);
  text("Baseflow options");
  w.push_back(8);
  text("MS Sans Serif");
  item(SS_LEFT, 8, 10, 50, 8, 0xFFFF, 0x82, nullptr, "&Title:");
  item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 60, 8, 160, 12, 101, 0x81, nullptr, "");
  item(SS_LEFT, 8, 28, 50, 8, 0xFFFF, 0x82, nullptr, "&Start month:");
  item(WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 60, 26, 70, 80, 102, 0x85, nullptr, "");
  item(SS_LEFT, 8, 46, 50, 8, 0xFFFF, 0x82, nullptr, "&Filter:");
  item(WS_BORDER | WS_TABSTOP | ES_RIGHT, 60, 44, 40, 12, 103, 0x81, nullptr, "0.925");
  item(UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_SETBUDDYINT, 0, 0, 10, 12, 104, 0, UPDOWN_CLASS, "");
  item(SS_LEFT, 8, 64, 50, 8, 0xFFFF, 0x82, nullptr, "&Gauges:");
  item(WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY, 8, 74, 90, 50, 105, 0x83, nullptr, "");
  item(WS_TABSTOP | TBS_AUTOTICKS, 110, 74, 110, 16, 106, 0, TRACKBAR_CLASS, "");
  item(0, 110, 96, 110, 10, 107, 0, PROGRESS_CLASS, "");
  item(WS_TABSTOP | BS_DEFPUSHBUTTON, 110, 130, 50, 14, IDOK, 0x80, nullptr, "OK");
  item(WS_TABSTOP, 170, 130, 50, 14, IDCANCEL, 0x80, nullptr, "Cancel");
  return w;
}

INT_PTR quietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

class ControlsOnDisplay : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { started = tw::test::startXvfb() && UseGtkBackend(); }
  static void TearDownTestSuite() { tw::test::stopXvfb(); }
  static inline bool started = false;
};

}  // namespace

TEST_F(ControlsOnDisplay, DialogWithEditComboListAndUpDownShowsAndTakesTyping) {
  ASSERT_TRUE(started) << "Xvfb did not start or GTK did not initialise on it";
  RegisterDialogClasses();
  const std::vector<WORD> t = controlsDialog();
  HWND d = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), nullptr, quietProc, 0);
  ASSERT_NE(d, nullptr);
  const char* const months[] = {"January", "February", "March", "April", "May", "June", "July"};
  for (const char* m : months) SendDlgItemMessage(d, 102, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m));
  SendDlgItemMessage(d, 102, CB_SETCURSEL, 3, 0);
  for (const char* g : {"Tarn at Ambleside", "Brathay", "Rothay", "Leven", "Kent", "Crake"})
    SendDlgItemMessage(d, 105, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g));
  SendDlgItemMessage(d, 105, LB_SETCURSEL, 1, 0);
  SendDlgItemMessage(d, 104, UDM_SETRANGE32, 0, 100);
  SendDlgItemMessage(d, 106, TBM_SETPOS, TRUE, 35);
  SendDlgItemMessage(d, 107, PBM_SETPOS, 60, 0);
  ShowWindow(d, SW_SHOW);
  HWND title = GetDlgItem(d, 101);
  SetFocus(title);
  ASSERT_TRUE(pumpUntil([&] { return gtktest::upToDate(d); }));
  gtktest::sync();

  // Typing on the desktop reaches the focused edit through the dialog's keyboard interface.
  ASSERT_TRUE(tw::test::sh("xdotool type --delay 20 'Rothay 1965'"));
  MSG m;
  ASSERT_TRUE(pumpUntil([&] {
    while (PeekMessage(m, nullptr, 0, 0, PM_REMOVE))
      if (!IsDialogMessage(d, m)) {
        TranslateMessage(m);
        DispatchMessage(m);
      }
    return GetWindowTextLength(title) == 11;
  }));
  char typed[32] = {};
  GetWindowText(title, typed, sizeof typed);
  EXPECT_EQ(std::string(typed), "Rothay 1965");

  HWND combo = GetDlgItem(d, 102);
  const std::string png = std::string(TW_SHOT_DIR) + "/controls-dialog.png";
  cairo_surface_t* shot = tw::test::xwdScreenshot(png);
  ASSERT_NE(shot, nullptr);
  RECT er, cr;
  GetWindowRect(title, er);
  GetWindowRect(combo, cr);
  EXPECT_EQ(tw::test::pixelAt(shot, er.right - 4, (er.top + er.bottom) / 2), GetSysColor(COLOR_WINDOW))
      << "the edit's white field, right of the text";
  EXPECT_EQ(tw::test::pixelAt(shot, cr.right - 25, (cr.top + cr.bottom) / 2), GetSysColor(COLOR_WINDOW))
      << "the combo box's field";
  EXPECT_EQ(tw::test::pixelAt(shot, cr.right - 20, cr.bottom + 5), GetSysColor(COLOR_BTNFACE))
      << "the dialog under a combo box that is not dropped";
  cairo_surface_destroy(shot);
  DestroyWindow(d);
  pumpUntil([] { return true; });
}
