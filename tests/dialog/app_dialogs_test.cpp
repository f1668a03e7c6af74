// The application's own dialogs: each loads with its companion values, shows modal, modeless
// and semi-modeless and closes with OK and Cancel; a message box runs disabled around.
#include "platform/gdi.h"
#include "platform/message_box.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "tests/dialog/dialog_fixture.h"

namespace {

using namespace win;
using dlgtest::DialogFixture;

struct FieldCheck {
  int id;
  int type;            // winfodialogfield item 5
  const char* text;    // nullptr: not checked
};

struct AppDialog {
  int resource;
  const char* caption;   // nullptr: a row template without a caption
  std::vector<FieldCheck> fields;
};

const std::vector<AppDialog>& appDialogs() {
  static const std::vector<AppDialog> kDialogs = {
      {101, "Select start date",
       {{1001, 5, "1"}, {1002, 5, "1"}, {1003, 5, "1965"}, {1004, 1, "Day"}, {1, 8, "OK"}, {2, 8, "Cancel"},
        {1047, 8, "Help"}}},
      {103, nullptr, {{1009, 6, "Flow (ML/d)"}, {1013, 6, "Rain (mm/d)"}}},
      {109, "About TarnWalker",
       {{1035, 1, "TarnWalker"}, {1018, 4, ""}, {1048, 4, nullptr}, {1049, 4, nullptr}, {1, 8, "OK"}}},
      {110, "Baseflow Parameters",
       {{1019, 6, "0.925"}, {1020, 10, "Linear"}, {1021, 10, "Logarithmic"}, {1, 8, "Finished"}, {1026, 8, "Zoom In"}}},
      {116, "Select aggregation period", {{1033, 11, "Jan"}, {1034, 11, "Dec"}, {1001, 5, "0"}, {1, 8, "OK"}}},
      {119, nullptr, {{1009, 6, "Flow (ML/d)"}, {1013, 6, "Rain (mm/d)"}}},
  };
  return kDialogs;
}

class AppDialogTest : public DialogFixture {};

TEST_F(AppDialogTest, EveryDialogLoadsWithItsFieldsAndCompanionValues) {
  for (const AppDialog& d : appDialogs()) {
    SCOPED_TRACE(d.resource);
    tessar.error = ErrorState{};
    WDialogLoad(d.resource);
    ASSERT_EQ(tessar.error.LASTERROR, 0);
    if (d.caption) {
      EXPECT_EQ(yywindowtext(dialog()), d.caption);
    }
    for (const FieldCheck& f : d.fields) {
      SCOPED_TRACE(f.id);
      EXPECT_EQ(winfodialogfield(f.id, 5), f.type);
      if (f.text) {
        EXPECT_EQ(text(f.id), f.text);
      }
    }
  }
  // Companion values the application relies on.
  WDialogSelect(110);
  const FieldRecord* p = yyfieldrecord(field(1019));
  EXPECT_TRUE(p->hasrange());
  EXPECT_EQ(*p->format, "(F5.3)");
  int radio = 0;
  WDialogGetRadioButton(1020, radio);
  EXPECT_EQ(radio, 1) << "Linear starts set";
  WDialogSelect(103);
  EXPECT_EQ(*yyfieldrecord(field(1009))->format, "(F20.2)");
  EXPECT_EQ(*yyfieldrecord(field(1013))->format, "(F8.1)");
  WDialogSelect(119);
  EXPECT_EQ(winfodialogfield(1009, 6), 2) << "review columns are read-only";
}

TEST_F(AppDialogTest, EveryDialogShowsInEachModeAndClosesWithOkAndCancel) {
  for (const AppDialog& d : appDialogs()) {
    if (!d.caption) continue;
    SCOPED_TRACE(d.resource);
    WDialogLoad(d.resource);
    const bool hascancel = GetDlgItem(dialog(), IDCANCEL) != nullptr;
    // Modal: OK by the mouse, then Cancel by Escape.
    for (int button : {IDOK, IDCANCEL}) {
      if (button == IDCANCEL && !hascancel) continue;
      tessar.error = ErrorState{};
      test::setIdleHook([button] {
        HWND modal = dialogtable.hDialogList[0];
        if (modal == nullptr) return;
        if (button == IDOK) {
          const POINT p = centre(GetDlgItem(modal, IDOK));
          test::click(p.x, p.y);
        } else {
          test::pressKey(VK_ESCAPE);
        }
      });
      WDialogShow(std::nullopt, std::nullopt, std::nullopt, 1);
      test::setIdleHook({});
      EXPECT_EQ(tessar.error.LASTERROR, 0);
      EXPECT_EQ(winfodialog(1), button);
      EXPECT_TRUE(IsWindowEnabled(winslot(0).wWindow));
    }
    // Modeless and semi-modeless: the buttons post their events.
    for (int mode : {2, 3}) {
      SCOPED_TRACE(mode);
      WDialogShow(std::nullopt, std::nullopt, std::nullopt, mode);
      events();
      EXPECT_EQ(IsWindowEnabled(winslot(0).wWindow) != 0, mode == 2);
      clickOn(field(IDOK));
      auto got = dialogEvents();
      ASSERT_FALSE(got.empty());
      EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_PUSHBUTTON), IDOK));
      if (hascancel) {
        press(VK_ESCAPE);
        got = dialogEvents();
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_PUSHBUTTON), IDCANCEL));
      }
      WDialogHide();
      EXPECT_TRUE(IsWindowEnabled(winslot(0).wWindow));
    }
    WDialogUnload();
  }
}

TEST_F(AppDialogTest, F1PostsTheHelpButton) {
  loadAndShow(110);
  clickOn(field(1026));
  events();
  press(VK_F1);
  const auto all = events();
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.back().type, EV_PUSHBUTTON);
  EXPECT_EQ(all.back().m.value1, IDHELP);
  EXPECT_EQ(all.back().m.value2, 1026) << "the previous field is the one that had the activity";
}

TEST_F(AppDialogTest, AMessageBoxOverASemiModelessDialogDisablesItAndGivesTheFocusBack) {
  loadAndShow(110, 3);
  clickOn(field(1019));
  events();
  HWND semi = dialog();
  test::answerNextMessageBoxWithKey(VK_RETURN);
  WMessageBox(0, 4, 1, "Done", "Done");
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  ASSERT_EQ(test::messageBoxes().size(), 1u);
  EXPECT_EQ(test::messageBoxes()[0].owner, semi) << "the active dialog owns the box";
  EXPECT_TRUE(IsWindowEnabled(semi));
  EXPECT_FALSE(IsWindowEnabled(winslot(0).wWindow)) << "the semi-modeless dialog still holds the main window";
  EXPECT_EQ(focusId(), 1019);
}

TEST_F(AppDialogTest, WhileAModalDialogRunsTheMainWindowRepaintsFromItsSnapshot) {
  HDC dc = GetDC(winslot(0).hClient);
  RECT r;
  GetClientRect(winslot(0).hClient, r);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, r, red);
  DeleteObject(red);
  ReleaseDC(winslot(0).hClient, dc);
  WDialogLoad(110);
  COLORREF during = 0;
  int usesDuring = 0, usesInBox = 0;
  HBITMAP snapshot = nullptr, snapshotInBox = nullptr;
  int step = 0;
  // One hook for all three loops: the modal dialog's, the message box's inside it, and the
  // dialog's again.
  test::setIdleHook([&] {
    switch (step++) {
      case 0:
        usesDuring = winslot(0).nImage;
        snapshot = winslot(0).hImage;
        InvalidateRect(winslot(0).hClient, nullptr, TRUE);
        UpdateWindow(winslot(0).hClient);
        during = test::pixel(winslot(0).hClient, 5, 5);
        WMessageBox(0, 0, 1, "Inner", "Inner");
        break;
      case 1:
        usesInBox = winslot(0).nImage;
        snapshotInBox = winslot(0).hImage;
        test::pressKey(VK_RETURN);
        break;
      default:
        test::pressKey(VK_ESCAPE);
        break;
    }
  });
  WDialogShow(std::nullopt, std::nullopt, std::nullopt, 1);
  test::setIdleHook({});
  EXPECT_EQ(usesDuring, 1);
  EXPECT_EQ(usesInBox, 2) << "the message box inside uses it too";
  EXPECT_NE(snapshot, nullptr);
  EXPECT_EQ(snapshotInBox, snapshot) << "one snapshot per window for nested modal work";
  EXPECT_EQ(during, RGB(255, 0, 0)) << "repainted from the snapshot, not by the program";
  EXPECT_EQ(winslot(0).nImage, 0);
  EXPECT_EQ(winslot(0).hImage, nullptr) << "released when the outer modal work ends";
  EXPECT_EQ(wBlitOn, 0);
}

}  // namespace
