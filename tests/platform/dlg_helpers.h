#pragma once
// Shared by the dialog-class tests: a fixture that starts each test on a fresh headless
// backend, a dialog procedure that records what reaches it, and a message pump through
// the dialog keyboard interface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/test_api.h"

namespace dlgtest {

struct Record {
  int inits = 0;
  win::HWND initFocus = nullptr;
  win::LPARAM initParam = 0;
  win::INT_PTR initAnswer = 1;   // TRUE: focus the first tab stop
  int focusOnInit = 0;           // a control the procedure focuses itself in WM_INITDIALOG
  int endOnInit = 0;             // EndDialog with this result in WM_INITDIALOG
  int endOn = 0;                 // EndDialog when a command with this identifier arrives
  std::vector<int> commands;     // identifiers of WM_COMMAND, in order
  std::vector<int> codes;        // their notification codes
  std::vector<int> helpIds;      // controls named by WM_HELP
};

inline Record& record() {
  static Record r;
  return r;
}

inline win::INT_PTR recordingProc(win::HWND h, win::UINT msg, win::WPARAM w, win::LPARAM l) {
  Record& r = record();
  if (msg == win::WM_INITDIALOG) {
    ++r.inits;
    r.initFocus = reinterpret_cast<win::HWND>(w);
    r.initParam = l;
    if (r.focusOnInit) win::SetFocus(win::GetDlgItem(h, r.focusOnInit));
    if (r.endOnInit) win::EndDialog(h, r.endOnInit);
    return r.initAnswer;
  }
  if (msg == win::WM_HELP) {
    r.helpIds.push_back(reinterpret_cast<const win::HELPINFO*>(l)->iCtrlId);
    return 1;
  }
  if (msg == win::WM_COMMAND) {
    r.commands.push_back(static_cast<short>(win::LOWORD(w)));
    r.codes.push_back(win::HIWORD(w));
    if (r.endOn && win::LOWORD(w) == r.endOn) win::EndDialog(h, r.endOn);
    return 1;
  }
  return 0;
}

// Takes every waiting message through the dialog's keyboard interface.
inline void pump(win::HWND dialog) {
  win::MSG m;
  while (win::PeekMessage(m, nullptr, 0, 0, win::PM_REMOVE)) {
    if (!win::IsDialogMessage(dialog, m)) {
      win::TranslateMessage(m);
      win::DispatchMessage(m);
    }
  }
}

inline int focusId() { return win::GetDlgCtrlID(win::GetFocus()); }

inline std::string textOf(win::HWND h) {
  char buf[256] = {};
  win::GetWindowText(h, buf, sizeof buf);
  return buf;
}

inline std::string classOf(win::HWND h) {
  char buf[64] = {};
  win::GetClassName(h, buf, sizeof buf);
  return buf;
}

// The centre of a window in screen coordinates.
inline win::POINT centre(win::HWND h) {
  win::RECT r;
  win::GetWindowRect(h, r);
  return win::POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A plain top-level window to own dialogs.
inline win::HWND ownerWindow() {
  win::WNDCLASS wc;
  if (!win::GetClassInfo(nullptr, "DlgTestOwner", wc)) {
    wc = win::WNDCLASS{};
    wc.lpfnWndProc = win::DefWindowProc;
    wc.lpszClassName = "DlgTestOwner";
    win::RegisterClass(wc);
  }
  return win::CreateWindowEx(0, "DlgTestOwner", "Owner", win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE, 100, 100,
                             600, 400, nullptr, nullptr, nullptr, nullptr);
}

class Fixture : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::reset();
    record() = Record{};
  }
  void TearDown() override { win::test::reset(); }
};

}  // namespace dlgtest
