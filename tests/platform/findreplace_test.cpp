// The modeless Find and Replace dialogs driven by clicks and typing: what they report to their
// owner (text, direction, case, whole word, replace requests, end), the buttons they enable,
// the options they hide or grey, their hook, and a find in a rich-edit control through them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/findreplace.h"
#include "platform/richedit.h"
#include "platform/test_api.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;

namespace {

struct Report {
  DWORD flags;
  std::string find, replace;
};

std::vector<Report>& reports() {
  static std::vector<Report> r;
  return r;
}

HWND gRich = nullptr;

LRESULT ownerProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  static const UINT findMsg = RegisterWindowMessage(FINDMSGSTRING);
  if (msg == findMsg) {
    auto* fr = reinterpret_cast<FINDREPLACE*>(l);
    reports().push_back({fr->Flags, fr->lpstrFindWhat, fr->lpstrReplaceWith ? fr->lpstrReplaceWith : ""});
    if (gRich && (fr->Flags & FR_FINDNEXT)) {
      CHARRANGE sel;
      SendMessage(gRich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
      FINDTEXTEX ft;
      ft.chrg = {sel.cpMin == sel.cpMax ? sel.cpMin : sel.cpMin + 1, -1};
      ft.lpstrText = fr->lpstrFindWhat;
      if (SendMessage(gRich, EM_FINDTEXTEX, fr->Flags & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD),
                      reinterpret_cast<LPARAM>(&ft)) >= 0)
        SendMessage(gRich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&ft.chrgText));
    }
    return 0;
  }
  return ctltest::parentProc(h, msg, w, l);
}

int hookCalls = 0;
UINT_PTR hook(HWND, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_INITDIALOG) {
    EXPECT_EQ(reinterpret_cast<FINDREPLACE*>(l)->lCustData, 77);
  }
  ++hookCalls;
  // The hook keeps Cancel for itself.
  return msg == WM_COMMAND && LOWORD(w) == IDCANCEL ? 1 : 0;
}

class FindReplaceTest : public ctltest::Fixture {
 protected:
  void SetUp() override {
    ctltest::Fixture::SetUp();
    RegisterRichEditClasses();
    reports().clear();
    gRich = nullptr;
    hookCalls = 0;
    SetWindowLongPtr(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ownerProc));
    std::strcpy(findWhat, "flow");
    replaceWith[0] = 0;
    fr.hwndOwner = top;
    fr.lpstrFindWhat = findWhat;
    fr.wFindWhatLen = sizeof findWhat;
    fr.lpstrReplaceWith = replaceWith;
    fr.wReplaceWithLen = sizeof replaceWith;
  }
  void click(HWND d, int id) {
    HWND c = GetDlgItem(d, id);
    ASSERT_NE(c, nullptr) << id;
    RECT r;
    GetClientRect(c, r);
    ctltest::clickAt(c, r.right / 2, r.bottom / 2);
  }
  char findWhat[128];
  char replaceWith[128];
  FINDREPLACE fr;
};

TEST_F(FindReplaceTest, FindReportsTextAndOptionsUntilCancelled) {
  fr.Flags = FR_DOWN;
  HWND d = FindText(fr);
  ASSERT_NE(d, nullptr);
  test::runUntilIdle();
  EXPECT_TRUE(IsWindowVisible(d));
  EXPECT_EQ(ctltest::textOf(d), "Find");
  EXPECT_EQ(ctltest::textOf(GetDlgItem(d, kFrFindEdit)), "flow");
  test::savePng(d, ::testing::TempDir() + "findreplace_find.png");
  click(d, IDOK);
  ASSERT_EQ(reports().size(), 1u);
  EXPECT_EQ(reports()[0].flags, FR_FINDNEXT | FR_DOWN);
  EXPECT_EQ(reports()[0].find, "flow");

  click(d, kFrMatchCase);
  click(d, kFrWholeWord);
  click(d, kFrUp);
  HWND edit = GetDlgItem(d, kFrFindEdit);
  SendMessage(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
  test::typeText("rain");
  test::runUntilIdle();
  click(d, IDOK);
  ASSERT_EQ(reports().size(), 2u);
  EXPECT_EQ(reports()[1].flags, FR_FINDNEXT | FR_MATCHCASE | FR_WHOLEWORD);
  EXPECT_EQ(reports()[1].find, "rain");

  // No text, no Find Next.
  SendMessage(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
  test::pressKey(VK_DELETE);
  test::runUntilIdle();
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDOK)));
  click(d, IDCANCEL);
  ASSERT_EQ(reports().size(), 3u);
  EXPECT_EQ(reports()[2].flags & (FR_DIALOGTERM | FR_FINDNEXT), FR_DIALOGTERM);
  EXPECT_FALSE(IsWindow(d));
}

TEST_F(FindReplaceTest, ReplaceReportsBothTextsAndAlwaysSearchesDown) {
  std::strcpy(replaceWith, "runoff");
  HWND d = ReplaceText(fr);
  ASSERT_NE(d, nullptr);
  test::runUntilIdle();
  EXPECT_EQ(ctltest::textOf(d), "Replace");
  test::savePng(d, ::testing::TempDir() + "findreplace_replace.png");
  EXPECT_EQ(GetDlgItem(d, kFrUp), nullptr);
  click(d, kFrReplaceButton);
  click(d, kFrReplaceAllButton);
  ASSERT_EQ(reports().size(), 2u);
  EXPECT_EQ(reports()[0].flags, FR_REPLACE | FR_DOWN);
  EXPECT_EQ(reports()[1].flags, FR_REPLACEALL | FR_DOWN);
  EXPECT_EQ(reports()[1].replace, "runoff");
  DestroyWindow(d);
}

TEST_F(FindReplaceTest, OptionsHideOrGreyAndTheHookComesFirst) {
  fr.Flags = FR_DOWN | FR_HIDEUPDOWN | FR_NOMATCHCASE | FR_ENABLEHOOK;
  fr.lpfnHook = hook;
  fr.lCustData = 77;
  HWND d = FindText(fr);
  ASSERT_NE(d, nullptr);
  test::runUntilIdle();
  EXPECT_GT(hookCalls, 0);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, kFrUp)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, kFrDown)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, kFrMatchCase)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kFrMatchCase)));
  click(d, IDCANCEL);
  EXPECT_TRUE(IsWindow(d));   // the hook took Cancel
  EXPECT_TRUE(reports().empty());
  DestroyWindow(d);

  // Refused: no owner, no buffer, an own template.
  FINDREPLACE bad = fr;
  bad.hwndOwner = nullptr;
  EXPECT_EQ(FindText(bad), nullptr);
  bad = fr;
  bad.wFindWhatLen = 0;
  EXPECT_EQ(FindText(bad), nullptr);
  bad = fr;
  bad.Flags |= FR_ENABLETEMPLATE;
  EXPECT_EQ(ReplaceText(bad), nullptr);
}

TEST_F(FindReplaceTest, FindNextSelectsTheMatchesInARichEdit) {
  gRich = make(RICHEDIT_CLASS, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 10, 10, 300, 200, 1002,
               "Flow\r\nlow flow\r\nflow");
  fr.Flags = FR_DOWN | FR_WHOLEWORD;
  HWND d = FindText(fr);
  ASSERT_NE(d, nullptr);
  test::runUntilIdle();
  std::vector<LONG> found;
  for (int k = 0; k < 4; ++k) {
    click(d, IDOK);
    CHARRANGE sel;
    SendMessage(gRich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    found.push_back(sel.cpMin);
  }
  EXPECT_EQ(found, (std::vector<LONG>{0, 9, 14, 14}));
  DestroyWindow(d);
}

}  // namespace
