#pragma once
// A fresh window system with the program's main window open, and helpers that drive a dialog
// as a user would: where its fields are on the screen, keys and clicks through the event
// loop, and the events the program reads back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/test_api.h"
#include "tests/window/window_fixture.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"

namespace dlgtest {

struct Event {
  int type = 0;
  MessageRecord m;
};

class DialogFixture : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    tessar.dialog = DialogState{};
    openMainWindow();
    for (int t = 1; t <= 16; ++t) wmessageenable(t, 1);
    win::test::runUntilIdle();
    win::test::setIdleHook({});
  }
  void TearDown() override {
    win::test::setIdleHook({});
    WindowFixture::TearDown();
  }

  static win::HWND dialog() { return yycurrentdialog(); }
  static win::HWND field(int id) { return win::GetDlgItem(dialog(), id); }

  static win::POINT centre(win::HWND h) {
    win::RECT r;
    win::GetWindowRect(h, r);
    return win::POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  static void clickOn(win::HWND h) {
    const win::POINT p = centre(h);
    win::test::click(p.x, p.y);
  }
  // The up (or down) arrow of a spin field's up-down control.
  static void clickSpin(int id, bool up) {
    const FieldRecord* fr = yyfieldrecord(field(id));
    ASSERT_NE(fr, nullptr);
    ASSERT_NE(fr->buddy, nullptr) << "spin field without its up-down control";
    win::RECT r;
    win::GetWindowRect(fr->buddy, r);
    const int y = up ? r.top + (r.bottom - r.top) / 4 : r.bottom - (r.bottom - r.top) / 4 - 1;
    win::test::click((r.left + r.right) / 2, y);
  }

  // Every event the program would read now, in order, until nothing is left to do.
  static std::vector<Event> events() {
    std::vector<Event> out;
    for (int guard = 0; guard < 10000; ++guard) {
      Event e;
      yydispatchpeekmessage(e.type, e.m.value1, e.m.value2, e.m.value3, e.m.value4, e.m.x, e.m.y, e.m.window,
                            e.m.time);
      if (e.type == -1) break;
      if (e.type > 0) out.push_back(e);
    }
    return out;
  }
  // The field-changed events the program would read now, each with what `look` finds at the
  // moment it is read (the state a loop reading that event sees).
  struct Change {
    Event event;
    int seen = 0;
  };
  static std::vector<Change> fieldChanges(const std::function<int()>& look) {
    std::vector<Change> out;
    for (int guard = 0; guard < 10000; ++guard) {
      Event e;
      yydispatchpeekmessage(e.type, e.m.value1, e.m.value2, e.m.value3, e.m.value4, e.m.x, e.m.y, e.m.window,
                            e.m.time);
      if (e.type == -1) break;
      if (e.type == EV_FIELDCHANGED) out.push_back({e, look()});
    }
    return out;
  }
  // Types and first values of the dialog events among them (paints and moves left out).
  static std::vector<std::pair<int, int>> dialogEvents() {
    std::vector<std::pair<int, int>> out;
    for (const Event& e : events())
      if (e.type == EV_PUSHBUTTON || e.type == EV_FIELDCHANGED || e.type == EV_TABCHANGED)
        out.emplace_back(e.type, e.type == EV_FIELDCHANGED ? e.m.value2 : e.m.value1);
    return out;
  }
  static std::string text(int id) { return yywindowtext(field(id)); }
  static int focusId() {
    win::HWND f = win::GetFocus();
    return f != nullptr ? win::GetDlgCtrlID(f) : 0;
  }
  static void type(std::string_view s) {
    win::test::typeText(s);
    events();
  }
  static void press(int vk, unsigned modifiers = 0) {
    win::test::pressKey(vk, modifiers);
  }
  static void loadAndShow(int resource, int mode = 2) {
    WDialogLoad(resource);
    ASSERT_EQ(tessar.error.LASTERROR, 0);
    WDialogShow(std::nullopt, std::nullopt, std::nullopt, mode);
    events();
  }
};

}  // namespace dlgtest
