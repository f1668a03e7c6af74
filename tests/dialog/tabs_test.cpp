// Tab fields whose pages are dialogs of their own: pages loaded with their owner and shown
// inside the tab field, switching posts the tab-changed event, a refused entry keeps the tab,
// the keyboard crosses nested pages, and the pages go with their owner.
#include <functional>

#include "tests/dialog/dialog_fixture.h"

namespace {

using namespace win;
using dlgtest::DialogFixture;

class TabPageTest : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    WDialogLoad(903);
    ASSERT_EQ(tessar.error.LASTERROR, 0);
  }
  static HWND page(int id) { return dialogtable.hDialogList[static_cast<std::size_t>(yydialogfind(id))]; }
  static void clickTab(HWND tab, int index) {
    RECT r;
    SendMessage(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tab, p);
    test::click(p.x, p.y);
  }
};

TEST_F(TabPageTest, PagesLoadWithTheirOwnerAndShowInsideTheTabField) {
  EXPECT_EQ(dialogtable.nDialogs, 4);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 903) << "loading the pages leaves the owner current";
  HWND tab = field(5001);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1) << "the initial page";
  char caption[32] = {};
  TCITEM ti;
  ti.mask = TCIF_TEXT;
  ti.pszText = caption;
  ti.cchTextMax = sizeof caption;
  SendMessage(tab, TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(caption, "First page");
  WDialogShow();
  events();
  EXPECT_EQ(GetParent(page(905)), dialog());
  EXPECT_TRUE(IsWindowVisible(page(905)));
  EXPECT_FALSE(IsWindowVisible(page(904)));
  EXPECT_TRUE(IsWindowVisible(page(906))) << "the nested page inside the second page";
  RECT area, p;
  yytabdisplayarea(tab, area);
  GetWindowRect(page(905), p);
  POINT tl{p.left, p.top};
  ScreenToClient(dialog(), tl);
  EXPECT_EQ(tl.x, area.left);
  EXPECT_EQ(tl.y, area.top);
  EXPECT_EQ(winfodialog(10), 1);
  WDialogSelect(905);
  EXPECT_EQ(winfodialog(10), 3) << "a tab page is a child of another dialog";
  WDialogHide();
  EXPECT_EQ(tessar.error.LASTERROR, 1069) << "a page is not hidden on its own";
}

TEST_F(TabPageTest, SwitchingPostsTheTabChange) {
  WDialogShow();
  events();
  clickTab(field(5001), 0);
  const auto all = events();
  const dlgtest::Event* tabbed = nullptr;
  for (const auto& e : all)
    if (e.type == EV_TABCHANGED) tabbed = &e;
  ASSERT_NE(tabbed, nullptr);
  EXPECT_EQ(tabbed->m.window, 903);
  EXPECT_EQ(tabbed->m.value1, 905);
  EXPECT_EQ(tabbed->m.value2, 904);
  EXPECT_TRUE(IsWindowVisible(page(904)));
  EXPECT_FALSE(IsWindowVisible(page(905)));
  EXPECT_EQ(focusId(), 5001) << "the clicked tab field keeps the focus";
}

TEST_F(TabPageTest, AnEntryOutsideItsRangeKeepsTheTab) {
  WDialogShow();
  events();
  clickTab(field(5001), 0);
  events();
  clickOn(GetDlgItem(page(904), 5101));
  events();
  press('A', test::kCtrl);
  type("50");
  ASSERT_EQ(focusId(), 5101);
  ASSERT_EQ(yywindowtext(GetDlgItem(page(904), 5101)), "50");
  const int beeps = test::beepCount();
  clickTab(field(5001), 1);
  const auto all = events();
  EXPECT_GT(test::beepCount(), beeps);
  EXPECT_EQ(SendMessage(field(5001), TCM_GETCURSEL, 0, 0), 0) << "the tab stays";
  EXPECT_EQ(focusId(), 5101);
  for (const auto& e : all) EXPECT_NE(e.type, EV_TABCHANGED);
}

TEST_F(TabPageTest, TheKeyboardCrossesNestedPages) {
  WDialogShow();
  events();
  std::vector<int> order;
  for (int k = 0; k < 6; ++k) {
    press(VK_TAB);
    events();
    order.push_back(focusId());
  }
  // From the tab field: the second page's edit, its tab field, the inner page's edit, the
  // dialog's buttons, and round again.
  const std::vector<int> want = {5201, 5202, 5301, 1, 2, 5001};
  EXPECT_EQ(order, want);
  clickTab(field(5001), 0);
  events();
  press('G', test::kAlt);
  const auto got = dialogEvents();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back().first, EV_PUSHBUTTON);
  EXPECT_EQ(got.back().second, 5103) << "a mnemonic on a page presses its button";
  clickOn(GetDlgItem(page(904), 5102));
  events();
  press(VK_RETURN);
  const auto enter = events();
  ASSERT_FALSE(enter.empty());
  EXPECT_EQ(enter.back().type, EV_PUSHBUTTON);
  EXPECT_EQ(enter.back().m.value1, IDOK) << "Enter on a page presses the owner's default button";
  EXPECT_EQ(enter.back().m.window, 903);
}

TEST_F(TabPageTest, APageTitleIsTheCaptionOfItsTab) {
  WDialogSelect(904);
  WDialogTitle("Flows   ");
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  WDialogSelect(903);
  char caption[32] = {};
  TCITEM ti;
  ti.mask = TCIF_TEXT;
  ti.pszText = caption;
  ti.cchTextMax = sizeof caption;
  SendMessage(field(5001), TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(caption, "Flows");
  EXPECT_EQ(yywindowtext(dialog()), "Tabbed") << "the owner keeps its own caption";
}

TEST_F(TabPageTest, UnloadingTheOwnerUnloadsItsPages) {
  WDialogShow();
  events();
  WDialogUnload();
  EXPECT_EQ(dialogtable.nDialogs, 0);
  WDialogLoad(903);
  WDialogUnload(1);
  EXPECT_EQ(dialogtable.nDialogs, 3) << "a non-zero flag leaves the pages loaded";
}


TEST_F(TabPageTest, TabsChosenEnabledAndReadByProgram) {
  WDialogShow();
  events();
  HWND tab = field(5001);
  int f = 5001, page = 0;
  yyfieldgettab(f, page);
  EXPECT_EQ(page, 905);
  struct Case {
    const char* why;
    std::function<void(int&, int&)> act;
    int field, page;
    int want, wantpage;
  };
  const Case cases[] = {
      {"a push button is no tab field", [](int& f, int& p) { yyfieldgettab(f, p); }, IDOK, 0, -1, 0},
      {"a missing field", [](int& f, int& p) { yydialogsettab(f, p); }, 4242, 904, -1, 904},
      {"no tab shows page 999", [](int& f, int& p) { yydialogsettab(f, p); }, 5001, 999, 5001, -1},
      {"enabling a page no tab shows", [](int& f, int& p) { yytabenable(f, p, 1); }, 5001, 999, 5001, -1},
  };
  for (const Case& c : cases) {
    int cf = c.field, cp = c.page;
    c.act(cf, cp);
    EXPECT_EQ(cf, c.want) << c.why;
    EXPECT_EQ(cp, c.wantpage) << c.why;
  }
  // The first tab disabled: no click, no arrow and no program reaches it.
  f = 5001;
  page = 904;
  yytabenable(f, page, 0);
  EXPECT_EQ(page, 904);
  EXPECT_TRUE(yytabdisabled(tab, 0));
  UpdateWindow(tab);
  clickTab(tab, 0);
  SetFocus(tab);
  press(VK_LEFT);
  press(VK_UP);
  EXPECT_TRUE(dialogEvents().empty()) << "no tab change";
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
  page = 904;
  yydialogsettab(f, page);
  EXPECT_EQ(page, -1) << "the only tab showing 904 is disabled";
  // Its caption is embossed: highlight and shadow, no black text.
  RECT r;
  SendMessage(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  int shadow = 0, light = 0, black = 0;
  for (int y = r.top + 2; y < r.bottom - 2; ++y)
    for (int x = r.left + 2; x < r.right - 2; ++x) {
      const COLORREF c = test::pixel(tab, x, y);
      shadow += c == GetSysColor(COLOR_3DSHADOW);
      light += c == GetSysColor(COLOR_3DHIGHLIGHT);
      black += c == RGB(0, 0, 0);
    }
  EXPECT_GT(shadow, 8);
  EXPECT_GT(light, 8);
  EXPECT_EQ(black, 0);
  test::savePng(dialog(), "tabs_disabled.png", true);
  // Enabled again, the program switches to it: the pages change places, no event is posted.
  yytabenable(f, page = 904, 1);
  page = 904;
  yydialogsettab(f, page);
  EXPECT_EQ(page, 904);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(this->page(904)));
  EXPECT_FALSE(IsWindowVisible(this->page(905)));
  yyfieldgettab(f, page);
  EXPECT_EQ(page, 904);
  EXPECT_EQ(yydialogrecord(dialog())->currentpage, 904);
  EXPECT_TRUE(dialogEvents().empty());
  // The arrows now step over a disabled tab to the next enabled one, or stay.
  yytabenable(f, page = 905, 0);
  SetFocus(tab);
  press(VK_RIGHT);
  events();
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0) << "nothing enabled to the right";
}

}  // namespace
