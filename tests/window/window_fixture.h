#pragma once
// A fresh window system and toolkit state per test, on a screen of a chosen size, with
// helpers that find where a user would click.
#include <gtest/gtest.h>

#include "platform/test_api.h"
#include "platform/window_internal.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"

namespace twtest {

inline int screenW = 1280, screenH = 1024;

inline void useScreen(int width, int height) {
  screenW = width;
  screenH = height;
  win::Backend b;
  b.screenSize = [](int& w, int& h) {
    w = screenW;
    h = screenH;
    return true;
  };
  win::SetBackend(b);
}

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::reset();
    useScreen(1280, 1024);
    resetToolkit();
  }
  void TearDown() override {
    if (tessar.window.ROOTOPEN == 1) windowclose();
    win::test::reset();
    useScreen(1280, 1024);
  }
  static void resetToolkit() {
    tessarreset();
    wMessageEnabled.fill(0);
    wCursor = nullptr;
    iCursor = 0;
    for (DeferredEvent& s : VXKMessages) s = DeferredEvent{};
  }
  // Opens the root window as a program would.
  static void open(WindowOpenOptions o = {}) { WindowOpen(o); }
  // Opens the program's main window: its menu and a status bar, 800 x 500 pixels.
  static void openMainWindow() {
    WindowOpenOptions o;
    o.flags = 0x27;   // system menu, minimise and maximise boxes, status bar
    o.width = 800;
    o.height = 500;
    o.menu = 30001;
    o.title = "TarnWalker";
    open(o);
  }

  // Screen position of a client-area pixel of window w.
  static win::POINT onClient(int x, int y, int w = 0) {
    win::POINT p{x, y};
    win::ClientToScreen(winslot(w).hClient, p);
    return p;
  }
  // Screen position of the first point of the frame that answers the hit-test code.
  static win::POINT findHit(win::HWND frame, win::LRESULT code) {
    win::RECT r;
    win::GetWindowRect(frame, r);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (win::SendMessage(frame, win::WM_NCHITTEST, 0, win::MAKELPARAM(static_cast<win::WORD>(x), static_cast<win::WORD>(y))) == code)
          return win::POINT{x, y};
    return win::POINT{-1, -1};
  }
  static int next(MessageRecord& m) {
    int type = 0;
    wmessage(type, m);
    return type;
  }
};

}  // namespace twtest
