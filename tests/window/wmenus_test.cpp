// Menus, toolbars and menu prompts of the program's main window, driven as a user would:
// the File pop-up with its status-bar prompts, commands from menu items and toolbar buttons,
// greying items and buttons together, tooltips, and replacing menus and toolbars.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/statusbar.h"
#include "platform/surface.h"
#include "tests/support/menu_driving.h"
#include "tests/window/window_fixture.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/wmenus.h"

namespace {

using namespace win;

constexpr int kMainFlags = 39;   // system menu, minimise and maximise boxes, status bar

class MenuWindow : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    openMainWindow();
    WMenuToolbar(30101);
    test::runUntilIdle();
    ASSERT_EQ(tessar.error.LASTERROR, 0);
  }
  void TearDown() override {
    test::setIdleHook({});
    WindowFixture::TearDown();
  }

  static void script(std::vector<std::function<void()>> steps) { tw::test::script(std::move(steps)); }
  // Screen centre of menu-bar item i of the main menu.
  static POINT barItem(int i) { return tw::test::menuBarItem(winslot(0).wWindow, {"File", "Analysis", "Help"}, i); }
  static std::vector<test::TopLevel> popups() { return tw::test::visiblePopups(); }
  static POINT popupRow(const test::TopLevel& p, int row, const std::vector<bool>& separators) {
    return tw::test::popupRow(p, row, separators);
  }
  static std::string statusText() { return tw::test::statusBarText(winslot(0).wMessLine); }

  // The next event other than the expose and resize events that the toolbar's arrival left.
  static int nextInput(MessageRecord& m) {
    int type = 0;
    do type = next(m);
    while (type == EV_EXPOSE || type == EV_RESIZE);
    return type;
  }

  static HWND toolbar(int pos = 0) { return winslot(0).hToolbar[static_cast<std::size_t>(pos)]; }

  // Screen centre of the toolbar button with the command.
  static POINT button(int command, int pos = 0) {
    RECT r{};
    EXPECT_TRUE(SendMessage(toolbar(pos), TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&r)));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(toolbar(pos), p);
    return p;
  }

  static std::string tipText() {
    HWND tip = reinterpret_cast<HWND>(SendMessage(toolbar(), TB_GETTOOLTIPS, 0, 0));
    if (tip == nullptr || !IsWindowVisible(tip)) return "(hidden)";
    char text[100] = {};
    GetWindowText(tip, text, sizeof text);
    return text;
  }

  static std::string hoverTip(int command) {
    test::mouseMove(5, 5);
    test::runUntilIdle();
    test::advanceTime(1000);
    test::runUntilIdle();
    const POINT p = button(command);
    test::mouseMove(p.x, p.y);
    test::runUntilIdle();
    test::advanceTime(600);
    test::runUntilIdle();
    return tipText();
  }

  static bool itemGrey(int id) { return (GetMenuState(winslot(0).hMenuRoot, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0; }
  static bool buttonEnabled(int id) { return SendMessage(toolbar(), TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0) != 0; }
};

const std::vector<bool> kFileRows = {false, false, false, false, true, false};

// The user opens File, moves down the items reading each prompt, and chooses Open.
TEST_F(MenuWindow, FilePopupShowsPromptsAndChoiceGivesCommandEvent) {
  std::vector<std::string> prompts;
  std::size_t popupCount = 0;
  script({
      [&] {
        popupCount = popups().size();
        prompts.push_back(statusText());
        test::mouseMove(popupRow(popups().at(0), 0, kFileRows).x, popupRow(popups().at(0), 0, kFileRows).y);
      },
      [&] {
        prompts.push_back(statusText());
        const POINT p = popupRow(popups().at(0), 2, kFileRows);
        test::mouseMove(p.x, p.y);
      },
      [&] {
        prompts.push_back(statusText());
        const POINT p = popupRow(popups().at(0), 3, kFileRows);
        test::mouseMove(p.x, p.y);
      },
      [&] {
        prompts.push_back(statusText());
        const POINT p = popupRow(popups().at(0), 5, kFileRows);
        test::mouseMove(p.x, p.y);
      },
      [&] {
        prompts.push_back(statusText());
        const POINT p = popupRow(popups().at(0), 1, kFileRows);
        test::mouseMove(p.x, p.y);
      },
      [&] {
        prompts.push_back(statusText());
        const POINT p = popupRow(popups().at(0), 1, kFileRows);
        test::click(p.x, p.y);
      },
  });
  const POINT file = barItem(0);
  test::click(file.x, file.y);
  MessageRecord m;
  const int type = nextInput(m);

  EXPECT_EQ(popupCount, 1u) << "the File pop-up opened";
  const std::vector<std::string> want = {"Create and save data", "Start a new TarnWalker file", "Save data to a text file",
                                         "Save the existing data in a new file", "Exit the program",
                                         "Open an existing TarnWalker file"};
  EXPECT_EQ(prompts, want);
  EXPECT_EQ(type, EV_COMMAND);
  EXPECT_EQ(m.value1, 40009);
  EXPECT_EQ(m.window, 0);
  EXPECT_TRUE(popups().empty());
  EXPECT_FALSE(SendMessage(winslot(0).wMessLine, SB_ISSIMPLE, 0, 0)) << "the bar shows its parts again";
}

// A toolbar button gives the same command event as its menu item.
TEST_F(MenuWindow, ToolbarButtonGivesCommandEvent) {
  const POINT p = button(40007);
  test::click(p.x, p.y);
  MessageRecord m;
  EXPECT_EQ(nextInput(m), EV_COMMAND);
  EXPECT_EQ(m.value1, 40007);
}

// Greying Save greys its toolbar button too: neither the grey button nor the grey item gives
// an event, so the next event is the enabled button clicked afterwards.
TEST_F(MenuWindow, SetStateGreysItemAndButtonTogether) {
  WMenuSetState(40006, 1, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_TRUE(itemGrey(40006));
  EXPECT_FALSE(buttonEnabled(40006));
  EXPECT_TRUE(buttonEnabled(40009));

  wmessageenable(EV_KEY, 0);   // the Escape keys that leave the menu are no events here
  const POINT grey = button(40006);
  test::click(grey.x, grey.y);
  test::runUntilIdle();
  script({
      [&] {
        const POINT p = popupRow(popups().at(0), 2, kFileRows);   // Save, grey
        test::click(p.x, p.y);
      },
      [&] { test::pressKey(VK_ESCAPE); },   // back to the bar
      [&] { test::pressKey(VK_ESCAPE); },   // out of the menu
      [&] {
        const POINT p = button(40009);
        test::click(p.x, p.y);
      },
  });
  const POINT file = barItem(0);
  test::click(file.x, file.y);
  MessageRecord m;
  EXPECT_EQ(nextInput(m), EV_COMMAND);
  EXPECT_EQ(m.value1, 40009) << "nothing came from the grey button or item";

  WMenuSetState(40006, 1, 1);
  EXPECT_FALSE(itemGrey(40006));
  EXPECT_TRUE(buttonEnabled(40006));
}

TEST_F(MenuWindow, SetStateChecksItemAndButton) {
  WMenuSetState(40007, 2, 1);
  EXPECT_TRUE(GetMenuState(winslot(0).hMenuRoot, 40007, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(SendMessage(toolbar(), TB_ISBUTTONCHECKED, 40007, 0));
  int v = -5;
  yymngflg(40007, 2, v);
  EXPECT_EQ(v, 1);
  WMenuSetState(40007, 2, 0);
  EXPECT_FALSE(SendMessage(toolbar(), TB_ISBUTTONCHECKED, 40007, 0));
}

// Options and values outside 1-2 and 0-1 do nothing; an unknown identifier is reported; a
// button without a menu item is changed without a report.
TEST_F(MenuWindow, SetStateArguments) {
  struct Case {
    const char* why;
    int item, option, value;
    bool wantGrey;
    int wantError;
  };
  const Case cases[] = {
      {"option 3 changes nothing", 40006, 3, 0, false, 0},
      {"value 2 changes nothing", 40006, 1, 2, false, 0},
      {"unknown item is reported", 12345, 1, 0, false, 1001},
      {"a pop-up by its item-table identifier", 40001, 1, 0, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    WMenuSetState(c.item, c.option, c.value);
    EXPECT_EQ(itemGrey(40006), c.wantGrey);
    EXPECT_EQ(tessar.error.LASTERROR, c.wantError);
  }
  EXPECT_TRUE(itemGrey(40001)) << "the File pop-up itself greys";

  wmenuroot(0);
  tessar.error.LASTERROR = 0;
  WMenuSetState(40027, 1, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "only the button has the identifier";
  EXPECT_FALSE(buttonEnabled(40027));
}

// Resting on a button shows its string-table text; the window's own tooltip text wins.
TEST_F(MenuWindow, HoverShowsTooltip) {
  EXPECT_EQ(hoverTip(40014), "DON'T PANIC !");
  EXPECT_EQ(hoverTip(40009), "Open existing TarnWalker file");
  int id = 40014;
  yytooltip(id, "Ask the towel", 14);
  EXPECT_EQ(id, 40014);
  EXPECT_EQ(hoverTip(40014), "Ask the towel");
  yytooltip(id, "", 1);   // freed again: the string table speaks
  EXPECT_EQ(hoverTip(40014), "DON'T PANIC !");
  int none = 40017;
  yytooltip(none, "No such button", 15);
  EXPECT_EQ(none, -1);
}

// Removing the menu and loading it again gives the pop-ups their identifiers and prompts.
TEST_F(MenuWindow, MenuRemovedAndLoadedAgainKeepsPopupPrompts) {
  wmenuroot(0);
  EXPECT_EQ(GetMenu(winslot(0).wWindow), nullptr);
  EXPECT_EQ(winslot(0).hMenuRoot, nullptr);
  EXPECT_EQ(winslot(0).hVXKMenuString, nullptr);
  wmenuroot(30002);
  EXPECT_EQ(GetMenu(winslot(0).wWindow), winslot(0).hMenuRoot);
  wmenuroot(30001);
  ASSERT_NE(winslot(0).hMenuRoot, nullptr);
  MENUITEMINFO mi;
  mi.fMask = MIIM_ID;
  ASSERT_TRUE(GetMenuItemInfo(winslot(0).hMenuRoot, 0, TRUE, mi));
  EXPECT_EQ(mi.wID, 40001u);
  std::string first;
  script({[&] {
    first = statusText();
    test::pressKey(VK_ESCAPE);
  }});
  const POINT file = barItem(0);
  test::click(file.x, file.y);
  test::runUntilIdle();
  EXPECT_EQ(first, "Create and save data");

  tessar.error.LASTERROR = 0;
  wmenuroot(29999);
  EXPECT_EQ(tessar.error.LASTERROR, 1002);
  EXPECT_NE(winslot(0).hMenuRoot, nullptr) << "a failed load keeps the menu";
  tessar.error.LASTERROR = 0;
  WMenu(30002, 51);
  EXPECT_EQ(tessar.error.LASTERROR, 1003);
  tessar.error.LASTERROR = 0;
  WMenu(30002, 7);
  EXPECT_EQ(tessar.error.LASTERROR, 1003);
}

// A toolbar takes its room from the client area; replacing the only toolbar discards its
// tooltip texts; a second toolbar keeps the list and grows it.
TEST_F(MenuWindow, ToolbarPlacementAndTooltipList) {
  RECT c;
  GetClientRect(winslot(0).hClient, c);
  EXPECT_EQ(c.right, 800);
  EXPECT_EQ(c.bottom, 500 - 22) << "the top toolbar is 16 + 6 high";
  EXPECT_EQ(tessar.window.CURHEIGHT, 500 - 22);
  EXPECT_EQ(winslot(0).iToolSize[0], 22);
  EXPECT_EQ(winslot(0).pTooltip.size(), 17u) << "13 buttons and 4 separators";
  EXPECT_EQ(SendMessage(toolbar(), TB_BUTTONCOUNT, 0, 0), 17);

  int id = 40014;
  yytooltip(id, "Own", 4);
  WMenuToolbar(30102);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(winslot(0).pTooltip.size(), 6u);
  for (const TooltipEntry& e : winslot(0).pTooltip) EXPECT_EQ(e.id, 0);

  int own = 40010;
  yytooltip(own, "Kept", 5);
  WMenuToolbar(30101, 0, 2);   // left
  EXPECT_EQ(winslot(0).pTooltip.size(), 23u);
  EXPECT_EQ(winslot(0).pTooltip[5].id, 40010) << "the text went into the last free entry and keeps its place";
  EXPECT_EQ(winslot(0).iToolSize[1], 19);
  GetClientRect(winslot(0).hClient, c);
  EXPECT_EQ(c.right, 800 - 19);
  EXPECT_EQ(tessar.window.CURWIDTH, 800 - 19);

  struct Case {
    const char* why;
    int id, win, pos;
    int wantError;
  };
  const Case cases[] = {
      {"position 7 counts as top", 30103, 0, 7, 0},
      {"removing where there is none", 0, 0, 4, 0},
      {"window outside 0-50", 30101, 51, 1, 1003},
      {"window not open", 30101, 9, 1, 1003},
      {"no button table", 29999, 0, 4, 1002},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.why);
    tessar.error.LASTERROR = 0;
    WMenuToolbar(k.id, k.win, k.pos);
    EXPECT_EQ(tessar.error.LASTERROR, k.wantError);
  }
  EXPECT_EQ(GetDlgCtrlID(toolbar(0)), 30103);
  EXPECT_EQ(toolbar(3), nullptr);

  WMenuToolbar(0, 0, 1);
  WMenuToolbar(0, 0, 2);
  EXPECT_EQ(yyHasMenu(0), 1) << "the menu is still there";
  EXPECT_TRUE(winslot(0).pTooltip.empty());
  GetClientRect(winslot(0).hClient, c);
  EXPECT_EQ(c.right, 800);
  EXPECT_EQ(c.bottom, 500);
}

// A toolbar the window system cannot make is reported and the window keeps none there.
TEST_F(MenuWindow, ToolbarThatCannotBeMade) {
  test::failNextWindowCall("CreateWindowEx");
  WMenuToolbar(30102, 0, 4);
  EXPECT_EQ(tessar.error.LASTERROR, 1002);
  EXPECT_EQ(toolbar(3), nullptr);
  EXPECT_EQ(winslot(0).pTooltip.size(), 17u) << "the top toolbar's list stays";
}

// The item operations: text, prompt, insert and delete, with the prompts counted.
TEST_F(MenuWindow, ItemOperations) {
  int id = 40006;
  yymntext(id, "Save now");
  char text[32] = {};
  GetMenuString(winslot(0).hMenuRoot, 40006, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Save now");

  id = 40006;
  yymenuprompt(id, "Run-time prompt");
  EXPECT_EQ(winslot(0).nMenuString, 1);
  yymenuprompt(id, "Replaced");
  EXPECT_EQ(winslot(0).nMenuString, 1);

  id = 40006;
  yymnins(id, 2, 41000, "After save");
  HMENU file = GetSubMenu(winslot(0).hMenuRoot, 0);
  EXPECT_EQ(GetMenuItemID(file, 3), 41000u) << "offset 2 puts it after the item";
  id = 40006;
  yymnins(id, 99, 0, "");
  EXPECT_EQ(GetMenuState(file, static_cast<UINT>(GetMenuItemCount(file) - 1), MF_BYPOSITION) & MF_SEPARATOR,
            MF_SEPARATOR)
      << "a large offset appends a separator";
  id = 40006;
  yymnins(id, 1, 41001, "Before save");
  EXPECT_EQ(GetMenuItemID(file, 2), 41001u);

  id = 40006;
  yymndel(id);
  EXPECT_EQ(id, 40006);
  EXPECT_EQ(winslot(0).nMenuString, 0) << "its prompt went with it";
  EXPECT_EQ(GetMenuState(winslot(0).hMenuRoot, 40006, MF_BYCOMMAND), 0xFFFFFFFFu);

  struct Case {
    const char* why;
    std::function<int()> op;
  };
  const Case unknown[] = {
      {"text", [] { int i = 777; yymntext(i, "x"); return i; }},
      {"prompt", [] { int i = 777; yymenuprompt(i, "x"); return i; }},
      {"delete", [] { int i = 777; yymndel(i); return i; }},
      {"insert", [] { int i = 777; yymnins(i, 1, 5, "x"); return i; }},
  };
  for (const Case& c : unknown) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.op(), -1);
  }
  int v = 0;
  yymngflg(777, 1, v);
  EXPECT_EQ(v, -1);
  yymngflg(40009, 1, v);
  EXPECT_EQ(v, 1);
}

// Items that a resource marks disabled become grey, and a toolbar button of a grey item
// starts disabled.
TEST_F(MenuWindow, ToolbarButtonsFollowMenuStateWhenBuilt) {
  WMenuSetState(40005, 1, 0);
  WMenuToolbar(30101);
  EXPECT_FALSE(buttonEnabled(40005));
  EXPECT_TRUE(buttonEnabled(40024));
}

// A floating menu shows the menu's bar items as one pop-up, with the states of the main
// menu's items of the same identifiers and the menu's own prompts; a choice is a command
// event of the current window.
TEST_F(MenuWindow, FloatingMenu) {
  std::vector<std::string> seen;
  std::size_t rows = 0;
  script({
      [&] {
        rows = popups().size();
        const POINT p = popupRow(popups().at(0), 0, {false, false, false});
        test::mouseMove(p.x, p.y);
      },
      [&] {
        seen.push_back(statusText());
        const POINT p = popupRow(popups().back(), 1, {false, false, false});
        test::click(p.x, p.y);
      },
  });
  int id = 30002;
  yymnflot(id, 100, 100, 1);
  EXPECT_EQ(id, 30002);
  EXPECT_EQ(rows, 1u) << "one pop-up";
  EXPECT_EQ(seen, std::vector<std::string>{"Save plot to file or clipboard"}) << "the floating menu's own prompts";
  EXPECT_EQ(hFloatPrompt, nullptr);
  MessageRecord m;
  EXPECT_EQ(nextInput(m), EV_COMMAND);
  EXPECT_EQ(m.value1, 40010);
  int missing = 29999;
  yymnflot(missing, 0, 0, 1);
  EXPECT_EQ(missing, -1);
}

using RootWindowOpen = twtest::WindowFixture;

// Toolbars named when the window opens add to the frame: the client keeps the size asked
// for, and a centred window stays centred.
TEST_F(RootWindowOpen, ToolbarsNamedAtOpeningGrowTheFrame) {
  WindowOpenOptions o;
  o.flags = kMainFlags;
  o.width = 600;
  o.height = 400;
  o.menu = 30001;
  o.toolbars = {30101, 30102, 0, 30103};
  open(o);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  RECT c, f;
  GetClientRect(winslot(0).hClient, c);
  EXPECT_EQ(c.right, 600);
  EXPECT_EQ(c.bottom, 400);
  EXPECT_EQ(tessar.window.CURWIDTH, 600);
  GetWindowRect(winslot(0).wWindow, f);
  EXPECT_LE(std::abs(f.left - (1280 - (f.right - f.left)) / 2), 1);
  EXPECT_LE(std::abs(f.top - (1024 - (f.bottom - f.top)) / 2), 1);
  RECT top, left, bottom, bar, client;
  GetWindowRect(winslot(0).hToolbar[0], top);
  GetWindowRect(winslot(0).hToolbar[1], left);
  GetWindowRect(winslot(0).hToolbar[3], bottom);
  GetWindowRect(winslot(0).wMessLine, bar);
  GetWindowRect(winslot(0).hClient, client);
  EXPECT_EQ(top.bottom, client.top);
  EXPECT_EQ(left.right, client.left);
  EXPECT_EQ(left.top, client.top);
  EXPECT_EQ(bottom.top, client.bottom);
  EXPECT_EQ(bottom.bottom, bar.top) << "the bottom toolbar stands on the status bar";
  EXPECT_EQ(winslot(0).pTooltip.size(), 17u + 6u + 6u);
}

// Matching copies the state and text of items with equal identifiers, through the pop-ups.
TEST(YyMnMtch, CopiesStatesAndTextsByIdentifier) {
  HMENU menu = yymnload(30001), source = yymnload(30001);
  ASSERT_NE(menu, nullptr);
  EnableMenuItem(source, 40006, MF_BYCOMMAND | MF_GRAYED);
  CheckMenuItem(source, 40004, MF_BYCOMMAND | MF_CHECKED);
  ModifyMenu(source, 40009, MF_BYCOMMAND | MF_STRING, 40009, "Open a project");
  yymnmtch(menu, source);
  EXPECT_TRUE(GetMenuState(menu, 40006, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(menu, 40004, MF_BYCOMMAND) & MF_CHECKED);
  char text[40] = {};
  GetMenuString(menu, 40009, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Open a project");
  ASSERT_NE(GetSubMenu(menu, 0), nullptr) << "pop-ups stay pop-ups";
  DestroyMenu(menu);
  DestroyMenu(source);
}

// The main window as the program shows it: menu bar, toolbar with its drawn images and
// separators, white client area, and the status bar's text; saved for looking at.
TEST_F(MenuWindow, MainWindowPicture) {
  windowoutstatusbar(1, "Tarnwalker file:   None");
  test::runUntilIdle();
  ASSERT_TRUE(test::savePng(winslot(0).wWindow, "/tmp/root-headless.png", false));

  // Button images are drawn on the toolbar: each button's square holds colours other than
  // the face in many columns, a separator only its etched line.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto inked = [&](const RECT& r) {
    int columns = 0;
    for (int x = r.left + 1; x < r.right - 1; ++x) {
      bool ink = false;
      for (int y = r.top + 3; y < r.bottom - 3; ++y) ink = ink || test::pixel(toolbar(), x, y) != face;
      columns += ink ? 1 : 0;
    }
    return columns;
  };
  for (int i = 0; i < 17; ++i) {
    SCOPED_TRACE(i);
    RECT r{};
    ASSERT_TRUE(SendMessage(toolbar(), TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)));
    TBBUTTON b;
    SendMessage(toolbar(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
    if (b.fsStyle & TBSTYLE_SEP) EXPECT_LE(inked(r), 2);
    else EXPECT_GE(inked(r), 8);
  }
  EXPECT_EQ(test::pixel(winslot(0).hClient, 400, 250), RGB(255, 255, 255));
  EXPECT_EQ(statusText(), "Tarnwalker file:   None");
}

}  // namespace
