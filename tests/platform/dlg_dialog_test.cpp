// The dialog class: templates from the compiled resources and from memory, dialog units,
// WM_INITDIALOG, dialog-procedure answers, the modal loop, and the buttons and statics
// under the mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/test_api.h"
#include "tests/platform/dlg_helpers.h"

using namespace win;
using dlgtest::record;

namespace {

// An in-memory DLGTEMPLATE with its items, laid out as the resource compiler lays it out.
class TemplateBuilder {
 public:
  TemplateBuilder(DWORD style, WORD count, short cx, short cy, const char* caption) {
    put32(style);
    put32(0);
    w_.push_back(count);
    w_.insert(w_.end(), {10, 10, static_cast<WORD>(cx), static_cast<WORD>(cy)});
    w_.push_back(0);   // no menu
    w_.push_back(0);   // the dialog class
    text(caption);
    if (style & DS_SETFONT) {
      w_.push_back(8);
      text("MS Sans Serif");
    }
  }
  // An item of a predefined class (atom 0x80 button .. 0x85 combo box) or a named one.
  TemplateBuilder& item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
                        const char* cls, const char* caption) {
    if (w_.size() % 2) w_.push_back(0);
    put32(style | WS_CHILD | WS_VISIBLE);
    put32(0);
    w_.insert(w_.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx), static_cast<WORD>(cy), id});
    if (atom) w_.insert(w_.end(), {0xFFFF, atom});
    else text(cls);
    text(caption);
    w_.push_back(0);   // no creation data
    return *this;
  }
  LPCDLGTEMPLATE get() const { return reinterpret_cast<LPCDLGTEMPLATE>(w_.data()); }

 private:
  void put32(DWORD v) {
    w_.push_back(static_cast<WORD>(v & 0xFFFF));
    w_.push_back(static_cast<WORD>(v >> 16));
  }
  void text(const char* s) {
    for (; *s; ++s) w_.push_back(static_cast<unsigned char>(*s));
    w_.push_back(0);
  }
  std::vector<WORD> w_;
};

RECT mapped(HWND dialog, RECT r) {
  MapDialogRect(dialog, r);
  return r;
}

RECT clientRectOfChild(HWND dialog, HWND child) {
  RECT r;
  GetWindowRect(child, r);
  POINT tl{r.left, r.top}, br{r.right, r.bottom};
  ScreenToClient(dialog, tl);
  ScreenToClient(dialog, br);
  return RECT{tl.x, tl.y, br.x, br.y};
}

}  // namespace

class CreateDialogParamTest : public dlgtest::Fixture {};

TEST_F(CreateDialogParamTest, BuildsTheDialogFromItsCompiledTemplate) {
  HWND h = win::CreateDialogParam(nullptr, MAKEINTRESOURCE(101), nullptr, dlgtest::recordingProc, 77);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(dlgtest::textOf(h), "Plot options");
  EXPECT_EQ(dlgtest::classOf(h), "#32770");
  EXPECT_FALSE(IsWindowVisible(h)) << "the template has no WS_VISIBLE";
  EXPECT_EQ(record().inits, 1);
  EXPECT_EQ(record().initParam, 77);
  EXPECT_EQ(record().initFocus, GetDlgItem(h, 101)) << "the first tab stop";

  struct Item { int id; const char* cls; const char* text; DWORD kind; RECT dlu; };
  const Item items[] = {
      {100, "Button", "Scale", BS_GROUPBOX, {7, 7, 97, 57}},
      {101, "Button", "&Linear", BS_AUTORADIOBUTTON, {14, 18, 84, 28}},
      {103, "Button", "&Square root", BS_AUTORADIOBUTTON, {14, 42, 84, 52}},
      {104, "Button", "Show &grid", BS_AUTOCHECKBOX, {110, 18, 190, 28}},
      {-1, "Static", "&Keys:", SS_LEFT, {110, 34, 140, 42}},
      {IDOK, "Button", "OK", BS_DEFPUSHBUTTON, {30, 78, 80, 92}},
      {106, "Button", "&Apply", BS_PUSHBUTTON, {140, 78, 190, 92}},
  };
  HFONT font = reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0));
  EXPECT_NE(font, nullptr);
  for (const Item& it : items) {
    SCOPED_TRACE(it.text);
    HWND c = GetDlgItem(h, it.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(dlgtest::classOf(c), it.cls);
    EXPECT_EQ(dlgtest::textOf(c), it.text);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(c, GWL_STYLE)) & 0xF, it.kind);
    EXPECT_TRUE(GetWindowLong(c, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY);
    EXPECT_EQ(clientRectOfChild(h, c), mapped(h, it.dlu)) << "positions in dialog units of the template font";
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(c, WM_GETFONT, 0, 0)), font);
  }
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, 106)));
  RECT client;
  GetClientRect(h, client);
  EXPECT_EQ(client, mapped(h, RECT{0, 0, 200, 100}));
  POINT origin{0, 0};
  ClientToScreen(h, origin);
  const RECT at = mapped(h, RECT{40, 40, 0, 0});
  EXPECT_EQ(origin.x, at.left) << "an ownerless dialog is placed from the screen origin";
  EXPECT_EQ(origin.y, at.top);
  EXPECT_EQ(SendMessage(h, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
}

TEST_F(CreateDialogParamTest, TemplateWithoutFontUsesTheSystemFontUnits) {
  HWND h = win::CreateDialogParam(nullptr, MAKEINTRESOURCE(102), nullptr, dlgtest::recordingProc, 0);
  ASSERT_NE(h, nullptr);
  const LONG units = GetDialogBaseUnits();
  RECT r{4, 8, 40, 80};
  MapDialogRect(h, r);
  EXPECT_EQ(r.left, LOWORD(static_cast<UINT_PTR>(units)));
  EXPECT_EQ(r.top, HIWORD(static_cast<UINT_PTR>(units)));
  EXPECT_EQ(r.right, 10 * LOWORD(static_cast<UINT_PTR>(units)));
  EXPECT_EQ(dlgtest::textOf(GetDlgItem(h, 201)), "Centred");
  EXPECT_EQ(GetWindowLong(GetDlgItem(h, 201), GWL_STYLE) & SS_TYPEMASK, static_cast<LONG>(SS_CENTER));
  EXPECT_NE(GetDlgItem(h, 202), nullptr) << "an icon control without a resource still exists";
  HWND bitmap = GetDlgItem(h, 203);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_NE(SendMessage(bitmap, STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "the bitmap the template names";
  RECT r2;
  GetClientRect(bitmap, r2);
  EXPECT_EQ(r2, (RECT{0, 0, 2, 2})) << "a bitmap static takes its bitmap's size";
}

TEST_F(CreateDialogParamTest, MissingTemplateGivesNoWindow) {
  EXPECT_EQ(win::CreateDialogParam(nullptr, MAKEINTRESOURCE(999), nullptr, dlgtest::recordingProc, 0), nullptr);
  EXPECT_EQ(win::DialogBoxParam(nullptr, MAKEINTRESOURCE(999), nullptr, dlgtest::recordingProc, 0), -1);
  EXPECT_TRUE(test::topLevelWindows().empty());
  EXPECT_EQ(record().inits, 0);
}

TEST_F(CreateDialogParamTest, DamagedTemplateGivesNoWindow) {
  struct Case { const char* why; int id; };
  const Case cases[] = {
      {"items promised and missing", 110},
      {"the head cut short", 111},
      {"a caption running past the end", 112},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(win::CreateDialogParam(nullptr, MAKEINTRESOURCE(c.id), nullptr, dlgtest::recordingProc, 0), nullptr);
    EXPECT_EQ(win::DialogBoxParam(nullptr, MAKEINTRESOURCE(c.id), nullptr, dlgtest::recordingProc, 0), -1);
  }
  EXPECT_TRUE(test::topLevelWindows().empty());
  EXPECT_EQ(record().inits, 0);
}

TEST_F(CreateDialogParamTest, BaseUnitsAreTheSameFromRunToRun) {
  HWND a = win::CreateDialogParam(nullptr, MAKEINTRESOURCE(101), nullptr, dlgtest::recordingProc, 0);
  HWND b = win::CreateDialogParam(nullptr, MAKEINTRESOURCE(101), nullptr, dlgtest::recordingProc, 0);
  ASSERT_TRUE(a && b);
  const RECT ra = mapped(a, RECT{0, 0, 400, 800}), rb = mapped(b, RECT{0, 0, 400, 800});
  EXPECT_EQ(ra, rb);
  EXPECT_GT(ra.right, 0);
  EXPECT_GT(ra.bottom, 0);
}

class CreateDialogIndirectParamTest : public dlgtest::Fixture {};

TEST_F(CreateDialogIndirectParamTest, ControlThatCannotBeCreatedFailsTheDialogUnlessAllowed) {
  struct Case { const char* why; DWORD extra; bool created; };
  const Case cases[] = {
      {"an unknown class fails the whole dialog", 0, false},
      {"DS_NOFAILCREATE keeps the dialog without the control", DS_NOFAILCREATE, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TemplateBuilder t(WS_POPUP | WS_CAPTION | DS_SETFONT | c.extra, 2, 100, 40, "Two");
    t.item(BS_PUSHBUTTON | WS_TABSTOP, 5, 5, 40, 14, 1, 0x80, nullptr, "Go")
        .item(0, 50, 5, 40, 14, 2, 0, "NoSuchClass", "");
    HWND h = win::CreateDialogIndirectParam(nullptr, t.get(), nullptr, dlgtest::recordingProc, 0);
    EXPECT_EQ(h != nullptr, c.created);
    if (h) {
      EXPECT_NE(GetDlgItem(h, 1), nullptr);
      EXPECT_EQ(GetDlgItem(h, 2), nullptr);
      DestroyWindow(h);
    }
  }
  EXPECT_TRUE(test::topLevelWindows().empty()) << "a failed dialog leaves no window behind";
}

TEST_F(CreateDialogIndirectParamTest, PlacementFollowsOwnerAndStyle) {
  HWND owner = dlgtest::ownerWindow();
  POINT ownerOrigin{0, 0};
  ClientToScreen(owner, ownerOrigin);
  struct Case { const char* why; DWORD style; bool owned; int want; };   // want: 0 owner, 1 screen, 2 centred
  const Case cases[] = {
      {"from the owner's client origin", 0, true, 0},
      {"DS_ABSALIGN: from the screen origin", DS_ABSALIGN, true, 1},
      {"without an owner: from the screen origin", 0, false, 1},
      {"DS_CENTER: centred on the screen", DS_CENTER, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TemplateBuilder t(WS_POPUP | WS_CAPTION | DS_SETFONT | c.style, 0, 100, 40, "Where");
    HWND h = win::CreateDialogIndirectParam(nullptr, t.get(), c.owned ? owner : nullptr, dlgtest::recordingProc, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetWindow(h, GW_OWNER), c.owned ? owner : nullptr);
    POINT origin{0, 0};
    ClientToScreen(h, origin);
    const RECT at = mapped(h, RECT{10, 10, 0, 0});   // the builder's x and y
    RECT w;
    GetWindowRect(h, w);
    if (c.want == 0) {
      EXPECT_EQ(origin.x, ownerOrigin.x + at.left);
      EXPECT_EQ(origin.y, ownerOrigin.y + at.top);
    } else if (c.want == 1) {
      EXPECT_EQ(origin.x, at.left);
      EXPECT_GE(w.top, 0) << "kept on the screen";
    } else {
      EXPECT_EQ(w.left, (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2);
      EXPECT_EQ(w.top, (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 2);
    }
    DestroyWindow(h);
  }
}

TEST_F(CreateDialogIndirectParamTest, InitDialogAnswerDecidesTheFirstFocus) {
  struct Case { const char* why; INT_PTR answer; int focusOnInit; int want; };
  const Case cases[] = {
      {"TRUE focuses the first tab stop", 1, 0, 11},
      {"FALSE keeps the focus the procedure chose", 0, 12, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    test::reset();
    record() = dlgtest::Record{};
    record().initAnswer = c.answer;
    record().focusOnInit = c.focusOnInit;
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 3, 120, 40, "Focus");
    t.item(SS_LEFT, 5, 5, 40, 8, 10, 0x82, nullptr, "Label")
        .item(BS_AUTOCHECKBOX | WS_TABSTOP, 5, 15, 40, 10, 11, 0x80, nullptr, "One")
        .item(BS_AUTOCHECKBOX | WS_TABSTOP, 50, 15, 40, 10, 12, 0x80, nullptr, "Two");
    HWND h = win::CreateDialogIndirectParam(nullptr, t.get(), nullptr, dlgtest::recordingProc, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(record().initFocus, GetDlgItem(h, 11));
    EXPECT_EQ(dlgtest::focusId(), c.want);
  }
}

// Answers of a dialog procedure: through DWLP_MSGRESULT, or the return value itself for
// the colour messages; an answer survives a message the procedure sends while it works.
INT_PTR answeringProc(HWND h, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_USER + 7) {
    SetWindowLongPtr(h, DWLP_MSGRESULT, 42);
    SendMessage(h, WM_USER + 8, 0, 0);
    return TRUE;
  }
  if (msg == WM_USER + 8) {
    SetWindowLongPtr(h, DWLP_MSGRESULT, 5);
    return TRUE;
  }
  if (msg == WM_CTLCOLORSTATIC) return 0x1234;
  return FALSE;
}

class DefDlgProcTest : public dlgtest::Fixture {};

TEST_F(DefDlgProcTest, AnswersComeFromMsgResultOrTheReturnValue) {
  HWND h = win::CreateDialogParam(nullptr, MAKEINTRESOURCE(102), nullptr, answeringProc, 0);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(SendMessage(h, WM_USER + 8, 0, 0), 5);
  // A nested message's answer must not replace the outer one.
  EXPECT_EQ(SendMessage(h, WM_USER + 7, 0, 0), 42);
  EXPECT_EQ(SendMessage(h, WM_CTLCOLORSTATIC, 0, 0), 0x1234);
  EXPECT_EQ(SendMessage(h, WM_CTLCOLORBTN, 0, 0), 0) << "unhandled: the controls' own colours";
}

TEST_F(DefDlgProcTest, CloseAsksForCancelAndKeepsTheDialog) {
  HWND h = win::CreateDialogParam(nullptr, MAKEINTRESOURCE(101), nullptr, dlgtest::recordingProc, 0);
  ASSERT_NE(h, nullptr);
  SendMessage(h, WM_CLOSE, 0, 0);
  dlgtest::pump(h);
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(record().commands, std::vector<int>{IDCANCEL});
}

class DialogBoxParamTest : public dlgtest::Fixture {};

TEST_F(DialogBoxParamTest, ModalLoopRunsUntilAButtonEndsIt) {
  HWND owner = dlgtest::ownerWindow();
  record().endOn = IDOK;
  bool ownerDisabled = false, dialogShown = false;
  test::setIdleHook([&] {
    HWND box = GetActiveWindow();
    if (!box || box == owner || !record().commands.empty()) return;
    ownerDisabled = !IsWindowEnabled(owner);
    dialogShown = IsWindowVisible(box) != 0;
    const POINT p = dlgtest::centre(GetDlgItem(box, IDOK));
    test::click(p.x, p.y);
  });
  const INT_PTR r = win::DialogBoxParam(nullptr, MAKEINTRESOURCE(101), owner, dlgtest::recordingProc, 0);
  EXPECT_EQ(r, IDOK);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(dialogShown);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner) << "the owner is active again";
  EXPECT_EQ(test::topLevelWindows().size(), 1u) << "the dialog is destroyed";
}

TEST_F(DialogBoxParamTest, EndDialogDuringInitialisationEndsAtOnce) {
  HWND owner = dlgtest::ownerWindow();
  record().endOnInit = 5;
  EXPECT_EQ(win::DialogBoxParam(nullptr, MAKEINTRESOURCE(101), owner, dlgtest::recordingProc, 0), 5);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(test::topLevelWindows().size(), 1u);
}

TEST_F(DialogBoxParamTest, OwnerStatesAfterTheLoop) {
  struct Case { const char* why; bool disabledBefore; bool wantEnabledAfter; };
  const Case cases[] = {
      {"an enabled owner is enabled again", false, true},
      {"an owner disabled before stays disabled", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    test::reset();
    record() = dlgtest::Record{};
    HWND owner = dlgtest::ownerWindow();
    if (c.disabledBefore) EnableWindow(owner, FALSE);
    record().endOn = IDCANCEL;
    test::setIdleHook([] { test::pressKey(VK_ESCAPE); });
    EXPECT_EQ(win::DialogBoxParam(nullptr, MAKEINTRESOURCE(101), owner, dlgtest::recordingProc, 0), IDCANCEL);
    EXPECT_EQ(IsWindowEnabled(owner) != 0, c.wantEnabledAfter);
  }
}

TEST_F(DialogBoxParamTest, NoInputThatCanArriveEndsTheLoopWithMinusOne) {
  HWND owner = dlgtest::ownerWindow();
  EXPECT_EQ(win::DialogBoxParam(nullptr, MAKEINTRESOURCE(101), owner, dlgtest::recordingProc, 0), -1);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(test::topLevelWindows().size(), 1u);
}

// Buttons and statics under the mouse.
class ButtonTest : public dlgtest::Fixture {
 protected:
  HWND open() {
    HWND h = win::CreateDialogParam(nullptr, MAKEINTRESOURCE(101), nullptr, dlgtest::recordingProc, 0);
    ShowWindow(h, SW_SHOW);
    test::runUntilIdle();
    return h;
  }
};

TEST_F(ButtonTest, ClicksChangeChecksAndNotifyTheDialog) {
  HWND h = open();
  ASSERT_NE(h, nullptr);
  auto clickOn = [&](int id) {
    const POINT p = dlgtest::centre(GetDlgItem(h, id));
    test::click(p.x, p.y);
    dlgtest::pump(h);
  };
  clickOn(104);
  EXPECT_EQ(IsDlgButtonChecked(h, 104), BST_CHECKED);
  EXPECT_EQ(dlgtest::focusId(), 104) << "a clicked button takes the focus";
  clickOn(104);
  EXPECT_EQ(IsDlgButtonChecked(h, 104), BST_UNCHECKED);
  clickOn(102);
  clickOn(103);
  EXPECT_EQ(IsDlgButtonChecked(h, 102), BST_UNCHECKED) << "one radio button of a group is checked";
  EXPECT_EQ(IsDlgButtonChecked(h, 103), BST_CHECKED);
  EXPECT_EQ(record().commands, (std::vector<int>{104, 104, 102, 103}));
  EXPECT_EQ(record().codes, (std::vector<int>{BN_CLICKED, BN_CLICKED, BN_CLICKED, BN_CLICKED}));
}

// A subclass of a button sees its press and check changes as messages.
WNDPROC buttonClassProc = nullptr;
std::vector<std::pair<UINT, WPARAM>> buttonMessages;
LRESULT watchingButton(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == BM_SETSTATE || msg == BM_SETCHECK) buttonMessages.emplace_back(msg, w);
  return CallWindowProc(buttonClassProc, h, msg, w, l);
}

TEST_F(ButtonTest, SubclassSeesPressAndCheckChanges) {
  HWND h = open();
  buttonMessages.clear();
  HWND box = GetDlgItem(h, 104);
  buttonClassProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchingButton)));
  const POINT p = dlgtest::centre(box);
  test::click(p.x, p.y);
  dlgtest::pump(h);
  const std::vector<std::pair<UINT, WPARAM>> want = {
      {BM_SETSTATE, TRUE}, {BM_SETSTATE, FALSE}, {BM_SETCHECK, BST_CHECKED}};
  EXPECT_EQ(buttonMessages, want);
}

TEST_F(ButtonTest, ReleaseOutsideTheButtonIsNoClick) {
  HWND h = open();
  const POINT in = dlgtest::centre(GetDlgItem(h, IDCANCEL));
  test::mouseMove(in.x, in.y);
  test::mouseDown(test::Button::Left, in.x, in.y);
  dlgtest::pump(h);
  EXPECT_TRUE(SendMessage(GetDlgItem(h, IDCANCEL), BM_GETSTATE, 0, 0) & BST_PUSHED);
  test::mouseMove(in.x, in.y + 60);
  test::mouseUp(test::Button::Left, in.x, in.y + 60);
  dlgtest::pump(h);
  EXPECT_FALSE(SendMessage(GetDlgItem(h, IDCANCEL), BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_TRUE(record().commands.empty());
}

TEST_F(ButtonTest, GroupBoxesAndPlainStaticsLetClicksThrough) {
  HWND h = open();
  RECT g;
  GetWindowRect(GetDlgItem(h, 100), g);
  test::click(g.left + 2, g.bottom - 3);   // inside the group box, below its radio buttons
  dlgtest::pump(h);
  EXPECT_TRUE(record().commands.empty());
  const POINT label = dlgtest::centre(GetDlgItem(h, -1));
  EXPECT_EQ(WindowFromPoint(label), h);
}

TEST_F(ButtonTest, StaticWithNotifyReportsClicks) {
  TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 1, 120, 40, "Notify");
  t.item(SS_LEFT | SS_NOTIFY, 5, 5, 60, 10, 30, 0x82, nullptr, "Press me");
  HWND h = win::CreateDialogIndirectParam(nullptr, t.get(), nullptr, dlgtest::recordingProc, 0);
  ASSERT_NE(h, nullptr);
  const POINT p = dlgtest::centre(GetDlgItem(h, 30));
  test::click(p.x, p.y);
  dlgtest::pump(h);
  EXPECT_EQ(record().commands, std::vector<int>{30});
  EXPECT_EQ(record().codes, std::vector<int>{STN_CLICKED});
}

TEST_F(ButtonTest, ItemHelpersReadAndWriteControls) {
  HWND h = open();
  EXPECT_TRUE(SetDlgItemText(h, 104, "Show grid &lines"));
  char text[64];
  EXPECT_EQ(GetDlgItemText(h, 104, text, sizeof text), 16u);
  EXPECT_STREQ(text, "Show grid &lines");
  EXPECT_EQ(GetDlgItemText(h, 999, text, sizeof text), 0u);
  EXPECT_STREQ(text, "") << "a missing item gives an empty text";
  EXPECT_FALSE(SetDlgItemText(h, 999, "x"));

  EXPECT_TRUE(CheckDlgButton(h, 104, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(h, 104), BST_CHECKED);
  EXPECT_TRUE(CheckDlgButton(h, 104, BST_INDETERMINATE));
  EXPECT_EQ(IsDlgButtonChecked(h, 104), BST_CHECKED) << "a two-state box has no third state";
  EXPECT_FALSE(CheckDlgButton(h, 999, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(h, 999), 0u);

  CheckRadioButton(h, 101, 103, 102);
  EXPECT_EQ(IsDlgButtonChecked(h, 101), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(h, 102), BST_CHECKED);
  CheckRadioButton(h, 101, 103, 103);
  EXPECT_EQ(IsDlgButtonChecked(h, 102), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(h, 103), BST_CHECKED);
  EXPECT_EQ(SendDlgItemMessage(h, 103, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(record().commands.empty()) << "setting a check notifies nobody";
}

TEST_F(ButtonTest, ChecksAndRadioDotsAreDrawn) {
  HWND h = open();
  CheckDlgButton(h, 102, BST_CHECKED);
  CheckDlgButton(h, 104, BST_CHECKED);
  test::runUntilIdle();
  // The 13-pixel mark sits at the left, centred vertically.
  auto markTop = [&](int id) {
    RECT r;
    GetClientRect(GetDlgItem(h, id), r);
    return (r.bottom - 13) / 2;
  };
  const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  EXPECT_EQ(test::pixel(GetDlgItem(h, 102), 5, markTop(102) + 5), black) << "the dot of a checked radio button";
  EXPECT_EQ(test::pixel(GetDlgItem(h, 101), 5, markTop(101) + 5), white) << "an unchecked one is empty";
  EXPECT_EQ(test::pixel(GetDlgItem(h, 104), 4, markTop(104) + 7), black) << "the tick of a checked box";
  EXPECT_EQ(test::pixel(GetDlgItem(h, 105), 4, markTop(105) + 7), white);
  EXPECT_EQ(test::pixel(GetDlgItem(h, 105), 0, markTop(105)), RGB(128, 128, 128)) << "a sunken box";
}

TEST_F(ButtonTest, EachKindChangesItsCheckOnClicksAsItShould) {
  struct Case { const char* why; DWORD kind; std::vector<UINT> after; };
  const Case cases[] = {
      {"an automatic check box toggles", BS_AUTOCHECKBOX, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}},
      {"an automatic three-state box cycles", BS_AUTO3STATE, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
      {"a plain check box leaves it to its owner", BS_CHECKBOX, {BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}},
      {"a plain three-state box too", BS_3STATE, {BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}},
      {"an automatic radio button stays checked", BS_AUTORADIOBUTTON, {BST_CHECKED, BST_CHECKED, BST_CHECKED}},
      {"a plain radio button leaves it to its owner", BS_RADIOBUTTON, {BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}},
      {"a push button has no check", BS_PUSHBUTTON, {BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    test::reset();
    record() = dlgtest::Record{};
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 1, 120, 40, "Kinds");
    t.item(c.kind | WS_TABSTOP, 5, 5, 80, 14, 40, 0x80, nullptr, "Choice");
    HWND h = win::CreateDialogIndirectParam(nullptr, t.get(), nullptr, dlgtest::recordingProc, 0);
    ASSERT_NE(h, nullptr);
    test::runUntilIdle();
    std::vector<UINT> seen;
    for (std::size_t k = 0; k < c.after.size(); ++k) {
      const POINT p = dlgtest::centre(GetDlgItem(h, 40));
      test::advanceTime(1000);   // slow clicks, no double click
      test::click(p.x, p.y);
      dlgtest::pump(h);
      seen.push_back(IsDlgButtonChecked(h, 40));
    }
    EXPECT_EQ(seen, c.after);
    EXPECT_EQ(record().commands, (std::vector<int>{40, 40, 40})) << "every click is reported";
    EXPECT_EQ(record().codes, (std::vector<int>{BN_CLICKED, BN_CLICKED, BN_CLICKED}));
  }
}

TEST_F(ButtonTest, DoubleClickOnARadioButtonIsReportedToo) {
  HWND h = open();
  const POINT p = dlgtest::centre(GetDlgItem(h, 102));
  test::click(p.x, p.y);
  test::click(p.x, p.y);
  dlgtest::pump(h);
  EXPECT_EQ(record().commands, (std::vector<int>{102, 102, 102}));
  EXPECT_EQ(record().codes, (std::vector<int>{BN_CLICKED, BN_DOUBLECLICKED, BN_CLICKED}));
  EXPECT_EQ(IsDlgButtonChecked(h, 102), BST_CHECKED);
}
