// Menus: items loaded from a MENU resource, the menu loop driven by mouse and keyboard as a
// user would, the system menu and keyboard accelerators, through the headless backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/resource.h"
#include "platform/surface.h"
#include "platform/test_api.h"
#include "tests/support/menu_driving.h"

using namespace win;

namespace {

struct Msg {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Msg> gLog;
std::function<void(UINT, WPARAM, LPARAM)> gHook;   // a test's own reaction to a message

LRESULT frameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (gHook) gHook(m, w, l);
  if (m == WM_ENTERMENULOOP || m == WM_EXITMENULOOP || m == WM_INITMENU || m == WM_INITMENUPOPUP ||
      m == WM_MENUSELECT || m == WM_COMMAND || m == WM_SYSCOMMAND || m == WM_CLOSE)
    gLog.push_back({m, w, l});
  if (m == WM_CLOSE) return 0;   // noted, the window stays
  return DefWindowProc(h, m, w, l);
}

class MenuFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    gLog.clear();
    WNDCLASS wc;
    wc.lpfnWndProc = frameProc;
    wc.lpszClassName = "MenuTestFrame";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    ASSERT_NE(RegisterClass(wc), 0);
    menu = LoadMenu(nullptr, MAKEINTRESOURCE(100));
    ASSERT_NE(menu, nullptr);
    frame = CreateWindowEx(0, "MenuTestFrame", "Menus", WS_OVERLAPPEDWINDOW, 100, 100, 500, 300, nullptr, menu,
                           nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    ShowWindow(frame, SW_SHOW);
    test::runUntilIdle();
    gLog.clear();
  }
  void TearDown() override {
    gHook = nullptr;
    test::setIdleHook(nullptr);
    test::reset();
  }

  void script(std::vector<std::function<void()>> steps) { tw::test::script(std::move(steps)); }
  POINT barItem(int i) { return tw::test::menuBarItem(frame, {"File", "View", "Run", "Help"}, i); }
  // The visible pop-up menu windows, newest first.
  static std::vector<test::TopLevel> popups() { return tw::test::visiblePopups(); }
  static POINT popupRow(const test::TopLevel& p, int row, const std::vector<bool>& separators) {
    return tw::test::popupRow(p, row, separators);
  }

  std::vector<Msg> only(UINT m) const {
    std::vector<Msg> out;
    for (const Msg& e : gLog)
      if (e.msg == m) out.push_back(e);
    return out;
  }

  HMENU menu = nullptr;
  HWND frame = nullptr;
};

const std::vector<bool> kFileRows = {false, false, false, true, false};

}  // namespace

// The template's items, identifiers, pop-ups and states come back as the script gave them.
TEST(LoadMenu, ReadsItemsIdentifiersAndStates) {
  test::reset();
  HMENU m = LoadMenu(nullptr, MAKEINTRESOURCE(100));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(GetMenuItemCount(m), 4);
  HMENU file = GetSubMenu(m, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuItemID(m, 0), 0xFFFFFFFFu);   // a pop-up item has no command
  struct Case { const char* why; HMENU menu; int pos; UINT id; UINT flags; const char* text; };
  HMENU view = GetSubMenu(m, 1);
  const Case cases[] = {
      {"plain item", file, 0, 201, 0, "&New"},
      {"accelerator text after a tab", file, 1, 202, 0, "&Open...\tCtrl+O"},
      {"GRAYED", file, 2, 203, MF_GRAYED, "&Save"},
      {"separator", file, 3, 0, MF_SEPARATOR, ""},
      {"last item of a level", file, 4, 204, 0, "E&xit"},
      {"CHECKED", view, 0, 301, MF_CHECKED, "&Toolbar"},
      {"item on the bar itself", m, 2, 400, 0, "&Run"},
      {"HELP justifies right", m, 3, 500, MF_HELP, "&Help"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(GetMenuItemID(c.menu, c.pos), c.id);
    EXPECT_EQ(GetMenuState(c.menu, static_cast<UINT>(c.pos), MF_BYPOSITION), c.flags);
    char text[64] = {};
    GetMenuString(c.menu, static_cast<UINT>(c.pos), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, c.text);
  }
  HMENU zoom = GetSubMenu(view, 1);
  ASSERT_NE(zoom, nullptr);
  EXPECT_EQ(GetMenuState(zoom, 312, MF_BYCOMMAND), static_cast<UINT>(MF_DISABLED)) << "INACTIVE is disabled, not grey";
  EXPECT_EQ(GetMenuState(m, 312, MF_BYCOMMAND), static_cast<UINT>(MF_DISABLED)) << "by command through the pop-ups";
  EXPECT_EQ(LoadMenu(nullptr, MAKEINTRESOURCE(999)), nullptr);
  EXPECT_TRUE(DestroyMenu(m));
  EXPECT_FALSE(IsMenu(file)) << "destroying a menu destroys its pop-ups";
}

// A template cut short must give no menu rather than read past its end.
TEST(LoadMenuIndirect, RefusesMalformedTemplates) {
  test::reset();
  const unsigned char good[] = {0, 0, 0, 0, 0x80, 0, 7, 0, 'A', 0, 0, 0};
  HMENU m = LoadMenuIndirect(good);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(GetMenuItemID(m, 0), 7u);
  const unsigned char version[] = {1, 0, 0, 0, 0x80, 0, 7, 0, 'A', 0, 0, 0};
  EXPECT_EQ(LoadMenuIndirect(version), nullptr);
}

// Identifiers and data given to items (a pop-up included) are read back; unknown items fail.
TEST(GetMenuItemInfo, IdentifiersAndDataOfItems) {
  test::reset();
  HMENU m = LoadMenu(nullptr, MAKEINTRESOURCE(100));
  MENUITEMINFO set;
  set.fMask = MIIM_ID | MIIM_DATA;
  set.wID = 40001;
  set.dwItemData = 0x1234;
  ASSERT_TRUE(SetMenuItemInfo(m, 0, TRUE, set));
  MENUITEMINFO got;
  got.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE;
  ASSERT_TRUE(GetMenuItemInfo(m, 0, TRUE, got));
  EXPECT_EQ(got.wID, 40001u);
  EXPECT_EQ(got.dwItemData, 0x1234u);
  EXPECT_EQ(got.hSubMenu, GetSubMenu(m, 0));
  EXPECT_EQ(GetMenuState(m, 40001, MF_BYCOMMAND) & MF_POPUP, static_cast<UINT>(MF_POPUP))
      << "a pop-up with an identifier is found by command";
  char buffer[4];
  got = MENUITEMINFO{};
  got.fMask = MIIM_STRING;
  got.dwTypeData = buffer;
  got.cch = sizeof buffer;
  ASSERT_TRUE(GetMenuItemInfo(m, 201, FALSE, got));
  EXPECT_STREQ(buffer, "&Ne") << "text cut to the buffer";
  EXPECT_FALSE(GetMenuItemInfo(m, 9999, FALSE, got));
  EXPECT_FALSE(GetMenuItemInfo(m, 9, TRUE, got));
}

// Enabling, greying and checking answer the previous state, -1 for no such item.
TEST(EnableMenuItem, GreyDisableEnableAndCheck) {
  test::reset();
  HMENU m = LoadMenu(nullptr, MAKEINTRESOURCE(100));
  EXPECT_EQ(EnableMenuItem(m, 203, MF_ENABLED), static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(m, 203, MF_DISABLED), static_cast<UINT>(MF_ENABLED));
  EXPECT_EQ(EnableMenuItem(m, 203, MF_GRAYED), static_cast<UINT>(MF_DISABLED));
  EXPECT_EQ(GetMenuState(m, 203, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(m, 1, MF_BYPOSITION | MF_GRAYED), static_cast<UINT>(MF_ENABLED)) << "a bar item by position";
  EXPECT_EQ(EnableMenuItem(m, 4711, MF_GRAYED), 0xFFFFFFFFu);
  EXPECT_EQ(CheckMenuItem(m, 301, MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(m, 301, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(m, 4711, MF_CHECKED), 0xFFFFFFFFu);
}

// Building menus in code: append, insert before an item, modify, delete.
TEST(AppendMenu, BuildAndChangeMenus) {
  test::reset();
  HMENU bar = CreateMenu();
  HMENU pop = CreatePopupMenu();
  ASSERT_TRUE(AppendMenu(pop, MF_STRING, 11, "One"));
  ASSERT_TRUE(AppendMenu(pop, MF_STRING, 13, "Three"));
  ASSERT_TRUE(AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(pop), "Pop"));
  ASSERT_TRUE(InsertMenu(bar, 13, MF_BYCOMMAND | MF_STRING, 12, "Two")) << "by command through the pop-up";
  EXPECT_EQ(GetMenuItemID(pop, 1), 12u);
  ASSERT_TRUE(ModifyMenu(pop, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 10, "Zero"));
  EXPECT_EQ(GetMenuItemID(pop, 0), 10u);
  EXPECT_EQ(GetMenuState(pop, 10, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
  ASSERT_TRUE(DeleteMenu(bar, 13, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(pop), 2);
  EXPECT_FALSE(AppendMenu(bar, MF_POPUP, 12345, "no such pop-up"));
}

// Clicking a bar item opens its pop-up; highlighting reports each item; choosing posts its
// command after the loop has ended.
TEST_F(MenuFixture, ClickBarHighlightAndChoose) {
  std::vector<test::TopLevel> seen;
  std::vector<Msg> selectsWhileOpen;
  script({
      [&] {
        seen = popups();
        selectsWhileOpen = only(WM_MENUSELECT);
        ASSERT_EQ(seen.size(), 1u);
        const POINT p = popupRow(seen[0], 1, kFileRows);
        test::mouseMove(p.x, p.y);
      },
      [&] {
        const POINT p = popupRow(seen[0], 4, kFileRows);
        test::click(p.x, p.y);
      },
  });
  const POINT file = barItem(0);
  test::click(file.x, file.y);
  test::runUntilIdle();

  ASSERT_EQ(seen.size(), 1u) << "the File pop-up opened";
  EXPECT_GE(seen[0].rect.top, file.y) << "below the bar";
  ASSERT_FALSE(selectsWhileOpen.empty());
  EXPECT_EQ(LOWORD(selectsWhileOpen[0].wParam), 0) << "a pop-up item is named by position";
  EXPECT_TRUE(HIWORD(selectsWhileOpen[0].wParam) & MF_POPUP);
  EXPECT_EQ(reinterpret_cast<HMENU>(selectsWhileOpen[0].lParam), menu);

  std::vector<UINT> ids;
  for (const Msg& m : only(WM_MENUSELECT)) ids.push_back(LOWORD(m.wParam));
  const std::vector<UINT> wantIds = {0, 202, 204, 0};   // File, hover Open, hover Exit, closed
  EXPECT_EQ(ids, wantIds);
  EXPECT_EQ(HIWORD(only(WM_MENUSELECT).back().wParam), 0xFFFF) << "the menu closing";
  EXPECT_EQ(reinterpret_cast<HMENU>(only(WM_INITMENUPOPUP).at(0).wParam), GetSubMenu(menu, 0));
  ASSERT_EQ(only(WM_COMMAND).size(), 1u);
  EXPECT_EQ(only(WM_COMMAND)[0].wParam, 204u);
  EXPECT_TRUE(popups().empty());
  std::vector<UINT> order;
  for (const Msg& m : gLog)
    if (m.msg != WM_MENUSELECT && m.msg != WM_SYSCOMMAND) order.push_back(m.msg);
  const std::vector<UINT> wantOrder = {WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND};
  EXPECT_EQ(order, wantOrder);
  EXPECT_EQ(only(WM_ENTERMENULOOP)[0].wParam, 0u) << "a menu-bar loop, not a pop-up loop";
}

// A grey item can be highlighted but gives no command; the menu stays open for a choice.
TEST_F(MenuFixture, GreyItemGivesNothing) {
  std::vector<test::TopLevel> seen;
  bool openAfterGreyClick = false;
  script({
      [&] {
        seen = popups();
        const POINT p = popupRow(seen.at(0), 2, kFileRows);
        test::click(p.x, p.y);
      },
      [&] {
        openAfterGreyClick = !popups().empty();
        test::pressKey(VK_ESCAPE);
      },
      [&] { test::pressKey(VK_ESCAPE); },
  });
  const POINT file = barItem(0);
  test::click(file.x, file.y);
  test::runUntilIdle();
  EXPECT_TRUE(openAfterGreyClick);
  EXPECT_TRUE(only(WM_COMMAND).empty());
  bool greySelected = false;
  for (const Msg& m : only(WM_MENUSELECT))
    if (LOWORD(m.wParam) == 203) greySelected = (HIWORD(m.wParam) & MF_GRAYED) != 0;
  EXPECT_TRUE(greySelected) << "the grey item is reported as grey";
  EXPECT_EQ(only(WM_EXITMENULOOP).size(), 1u);
}

// A press outside the menu closes it without a command, and so does switching to another
// program.
TEST_F(MenuFixture, PressOutsideDismisses) {
  script({[&] {
    test::switchAway();
    test::pressKey(VK_DOWN);     // would choose New if the menu stayed
    test::pressKey(VK_RETURN);
  }});
  POINT bar = barItem(0);
  test::click(bar.x, bar.y);
  test::runUntilIdle();
  EXPECT_TRUE(only(WM_COMMAND).empty());
  EXPECT_EQ(only(WM_EXITMENULOOP).size(), 1u);
  EXPECT_TRUE(popups().empty());
  gLog.clear();
  SetActiveWindow(frame);
  script({[&] { test::click(1000, 900); }});
  const POINT file = barItem(0);
  test::click(file.x, file.y);
  test::runUntilIdle();
  EXPECT_TRUE(only(WM_COMMAND).empty());
  EXPECT_EQ(only(WM_EXITMENULOOP).size(), 1u);
  EXPECT_TRUE(popups().empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

// Keyboard: Alt+mnemonic opens a pop-up at its first item, arrows move, Enter chooses.
TEST_F(MenuFixture, KeyboardNavigation) {
  struct Case {
    const char* why;
    std::vector<std::function<void()>> keys;
    std::vector<WPARAM> commands;
  };
  const std::vector<Case> cases = {
      {"Alt+F, Down, Enter chooses the second item",
       {[] { test::pressKey(VK_DOWN); }, [] { test::pressKey(VK_RETURN); }},
       {202}},
      {"Down stops on the grey item too; Enter on it gives nothing",
       {[] { test::pressKey(VK_DOWN); }, [] { test::pressKey(VK_DOWN); }, [] { test::pressKey(VK_RETURN); },
        [] { test::pressKey(VK_ESCAPE); }, [] { test::pressKey(VK_ESCAPE); }},
       {}},
      {"Up wraps past the separator to Exit",
       {[] { test::pressKey(VK_UP); }, [] { test::pressKey(VK_RETURN); }},
       {204}},
      {"a mnemonic inside the pop-up chooses at once",
       {[] { test::typeText("x"); }},
       {204}},
      {"Right moves to the View pop-up, Right opens Zoom, Enter chooses In",
       {[] { test::pressKey(VK_RIGHT); }, [] { test::pressKey(VK_DOWN); }, [] { test::pressKey(VK_RIGHT); },
        [] { test::pressKey(VK_RETURN); }},
       {311}},
      {"Right then Enter on a bar command item",
       {[] { test::pressKey(VK_RIGHT); }, [] { test::pressKey(VK_RIGHT); }, [] { test::pressKey(VK_ESCAPE); },
        [] { test::pressKey(VK_RETURN); }},
       {}},
      {"Escape twice leaves the menu",
       {[] { test::pressKey(VK_ESCAPE); }, [] { test::pressKey(VK_ESCAPE); }},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    gLog.clear();
    script(c.keys);
    SetFocus(frame);
    test::pressKey('F', test::kAlt);
    test::runUntilIdle();
    test::setIdleHook(nullptr);
    std::vector<WPARAM> got;
    for (const Msg& m : only(WM_COMMAND)) got.push_back(m.wParam);
    EXPECT_EQ(got, c.commands);
    EXPECT_TRUE(popups().empty());
    EXPECT_EQ(only(WM_EXITMENULOOP).size(), 1u);
  }
}

// Alt pressed and released alone selects the first bar item; Down opens it.
TEST_F(MenuFixture, AltAloneSelectsTheBar) {
  int selectedBefore = -1;
  script({[&] {
            selectedBefore = static_cast<int>(only(WM_MENUSELECT).size());
            test::pressKey(VK_DOWN);
          },
          [&] { test::pressKey(VK_RETURN); }});
  SetFocus(frame);
  test::pressKey(VK_MENU);
  test::runUntilIdle();
  EXPECT_EQ(selectedBefore, 1) << "File selected on the bar, no pop-up yet";
  ASSERT_EQ(only(WM_COMMAND).size(), 1u);
  EXPECT_EQ(only(WM_COMMAND)[0].wParam, 201u);
}

// A pop-up menu at a point: TPM_RETURNCMD answers the choice instead of posting it.
TEST_F(MenuFixture, TrackPopupMenuReturnsOrPostsTheChoice) {
  HMENU view = GetSubMenu(menu, 1);
  HMENU zoom = GetSubMenu(view, 1);
  const std::vector<bool> rows = {false, false};
  script({[&] {
    const POINT p = popupRow(popups().at(0), 0, rows);
    test::click(p.x, p.y);
  }});
  EXPECT_EQ(TrackPopupMenu(zoom, TPM_RETURNCMD, 300, 300, 0, frame, nullptr), 311);
  EXPECT_TRUE(only(WM_COMMAND).empty());
  EXPECT_EQ(only(WM_ENTERMENULOOP).at(0).wParam, 1u) << "a pop-up loop";

  gLog.clear();
  script({[&] {
    const POINT p = popupRow(popups().at(0), 1, rows);
    test::click(p.x, p.y);   // the disabled item
  }});
  EXPECT_EQ(TrackPopupMenu(zoom, TPM_RETURNCMD, 300, 300, 0, frame, nullptr), 0) << "disabled: no choice";

  gLog.clear();
  script({[&] {
    const POINT p = popupRow(popups().at(0), 0, rows);
    test::click(p.x, p.y);
  }});
  EXPECT_TRUE(TrackPopupMenu(zoom, 0, 300, 300, 0, frame, nullptr));
  test::runUntilIdle();
  ASSERT_EQ(only(WM_COMMAND).size(), 1u);
  EXPECT_EQ(only(WM_COMMAND)[0].wParam, 311u);
  EXPECT_FALSE(TrackPopupMenu(nullptr, 0, 0, 0, 0, frame, nullptr));
}

// Alt+Space opens the system menu; its items carry MF_SYSMENU and the choice is a system
// command (Close leads to WM_CLOSE).
TEST_F(MenuFixture, SystemMenuFromTheKeyboard) {
  script({[&] { test::pressKey(VK_UP); }, [&] { test::pressKey(VK_RETURN); }});
  SetFocus(frame);
  test::pressKey(VK_SPACE, test::kAlt);
  test::runUntilIdle();
  const std::vector<Msg> selects = only(WM_MENUSELECT);
  ASSERT_GE(selects.size(), 2u);
  EXPECT_TRUE(HIWORD(selects[0].wParam) & MF_SYSMENU);
  EXPECT_EQ(reinterpret_cast<HMENU>(selects[0].lParam), GetSystemMenu(frame, FALSE));
  std::vector<Msg> sys = only(WM_SYSCOMMAND);
  ASSERT_FALSE(sys.empty());
  EXPECT_EQ(sys.back().wParam, SC_CLOSE);
  EXPECT_EQ(only(WM_CLOSE).size(), 1u);
  HMENU s = GetSystemMenu(frame, FALSE);
  EXPECT_EQ(GetMenuState(s, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED))
      << "nothing to restore in a normal window";
  EXPECT_EQ(GetMenuState(s, SC_MINIMIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

// The bar draws its texts, and the item being tracked in the highlight colour.
TEST_F(MenuFixture, BarDrawsItemsAndHighlight) {
  NcLayout l;
  ASSERT_TRUE(GetNcLayout(frame, l));
  const POINT file = barItem(0);
  RECT wr;
  GetWindowRect(frame, wr);
  auto countInk = [&](COLORREF ink) {
    int width = 0, height = 0, n = 0;
    const std::vector<COLORREF> px = test::pixels(frame, false, width, height);
    for (int x = file.x - wr.left - 12; x < file.x - wr.left + 12; ++x)
      for (int y = l.menuBar.top; y < l.menuBar.bottom; ++y)
        n += px[static_cast<std::size_t>(y * width + x)] == ink ? 1 : 0;
    return n;
  };
  EXPECT_GT(countInk(GetSysColor(COLOR_MENUTEXT)), 10) << "File is written on the bar";
  int highlighted = 0;
  script({[&] { highlighted = countInk(GetSysColor(COLOR_HIGHLIGHT)); test::pressKey(VK_ESCAPE); },
          [&] { test::pressKey(VK_ESCAPE); }});
  test::click(file.x, file.y);
  test::runUntilIdle();
  EXPECT_GT(highlighted, 100);
  EXPECT_EQ(countInk(GetSysColor(COLOR_HIGHLIGHT)), 0) << "back to normal after the loop";
}

// Accelerators from an ACCELERATORS resource become commands with code 1.
TEST_F(MenuFixture, TranslateAcceleratorKeysBecomeCommands) {
  HACCEL table = LoadAccelerators(nullptr, MAKEINTRESOURCE(100));
  ASSERT_NE(table, nullptr);
  struct Case { const char* why; int vk; unsigned mods; std::vector<WPARAM> commands; };
  const Case cases[] = {
      {"Ctrl+O", 'O', test::kCtrl, {MAKEWPARAM(202, 1)}},
      {"O alone is no accelerator", 'O', 0, {}},
      {"Ctrl+Shift+O has an extra modifier", 'O', test::kCtrl | test::kShift, {}},
      {"F5", VK_F5, 0, {MAKEWPARAM(400, 1)}},
      {"Ctrl+S is the grey Save item: used up, no command", 'S', test::kCtrl, {}},
      {"Alt+n as a character", 'N', test::kAlt, {MAKEWPARAM(201, 1)}},
      {"q as a character", 'Q', 0, {MAKEWPARAM(204, 1)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    gLog.clear();
    SetFocus(frame);
    test::pressKey(c.vk, c.mods);
    MSG m;
    while (PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
      if (TranslateAccelerator(frame, table, m)) continue;
      TranslateMessage(m);
      if (m.message != WM_SYSCHAR) DispatchMessage(m);   // no menu loop for Alt+n here
    }
    std::vector<WPARAM> got;
    for (const Msg& e : only(WM_COMMAND)) got.push_back(e.wParam);
    EXPECT_EQ(got, c.commands);
  }
}

// An item on the bar itself is a command: chosen by a click, by its mnemonic or by Enter,
// never when grey.
TEST_F(MenuFixture, CommandOnTheBar) {
  struct Case { const char* why; std::function<void()> act; std::vector<std::function<void()>> then; bool grey; std::vector<WPARAM> want; };
  const std::vector<Case> cases = {
      {"a click on Run", [&] { const POINT p = barItem(2); test::click(p.x, p.y); }, {}, false, {400}},
      {"Alt+R", [&] { test::pressKey('R', test::kAlt); }, {}, false, {400}},
      {"Alt alone, Right twice, Enter", [&] { test::pressKey(VK_MENU); },
       {[] { test::pressKey(VK_RIGHT); }, [] { test::pressKey(VK_RIGHT); }, [] { test::pressKey(VK_RETURN); }}, false, {400}},
      // Regression: this second click on Run came as a double click and opened no menu.
      {"a click on Run while grey", [&] { const POINT p = barItem(2); test::click(p.x, p.y); },
       {[] { test::pressKey(VK_ESCAPE); }}, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    gLog.clear();
    EnableMenuItem(menu, 400, c.grey ? MF_GRAYED : MF_ENABLED);
    script(c.then);
    SetFocus(frame);
    c.act();
    test::runUntilIdle();
    test::setIdleHook(nullptr);
    std::vector<WPARAM> got;
    for (const Msg& m : only(WM_COMMAND)) got.push_back(m.wParam);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(only(WM_EXITMENULOOP).size(), 1u);
  }
}

// A window's menu bar goes with the window; a menu taken off before stays for its owner.
TEST_F(MenuFixture, DestroyedWindowTakesItsMenu) {
  HMENU kept = LoadMenu(nullptr, MAKEINTRESOURCE(100));
  HWND other = CreateWindowEx(0, "MenuTestFrame", "Other", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, kept, nullptr, nullptr);
  ASSERT_TRUE(SetMenu(other, nullptr));
  DestroyWindow(other);
  EXPECT_TRUE(IsMenu(kept));
  HMENU file = GetSubMenu(menu, 0);
  DestroyWindow(frame);
  EXPECT_FALSE(IsMenu(menu));
  EXPECT_FALSE(IsMenu(file));
  DestroyMenu(kept);
}

// The owner may change the menu while the loop runs: an item greyed as its pop-up opens
// cannot be chosen, and items deleted while highlighted leave the loop standing.
TEST_F(MenuFixture, OwnerChangesMenuDuringLoop) {
  gHook = [&](UINT m, WPARAM w, LPARAM) {
    if (m == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(w) == GetSubMenu(menu, 0)) EnableMenuItem(menu, 202, MF_GRAYED);
  };
  std::vector<test::TopLevel> seen;
  script({[&] {
            seen = popups();
            const POINT p = popupRow(seen.at(0), 1, kFileRows);
            test::click(p.x, p.y);
          },
          [&] { test::pressKey(VK_ESCAPE); }, [&] { test::pressKey(VK_ESCAPE); }});
  POINT file = barItem(0);
  test::click(file.x, file.y);
  test::runUntilIdle();
  EXPECT_TRUE(only(WM_COMMAND).empty());

  gLog.clear();
  gHook = [&](UINT m, WPARAM w, LPARAM) {
    if (m == WM_MENUSELECT && LOWORD(w) == 201)
      while (GetMenuItemCount(GetSubMenu(menu, 0)) > 0) DeleteMenu(GetSubMenu(menu, 0), 0, MF_BYPOSITION);
  };
  script({[&] {
            seen = popups();
            const POINT p = popupRow(seen.at(0), 0, kFileRows);
            test::mouseMove(p.x, p.y);
          },
          [&] { test::pressKey(VK_DOWN); }, [&] { test::pressKey(VK_RETURN); },
          [&] { test::click(seen.at(0).rect.left + 5, seen.at(0).rect.top + 5); }, [&] { test::pressKey(VK_ESCAPE); },
          [&] { test::pressKey(VK_ESCAPE); }});
  test::click(file.x, file.y);
  test::runUntilIdle();
  EXPECT_TRUE(only(WM_COMMAND).empty());
  EXPECT_EQ(only(WM_EXITMENULOOP).size(), 1u);
}

// Resting on a pop-up item opens its cascade beside it; a click there chooses.
TEST_F(MenuFixture, HoverOpensCascade) {
  HMENU view = GetSubMenu(menu, 1);
  const std::vector<bool> viewRows = {false, false}, zoomRows = {false, false};
  std::vector<test::TopLevel> levels;
  script({[&] {
            const POINT p = popupRow(popups().at(0), 1, viewRows);
            test::mouseMove(p.x, p.y);
          },
          [&] {
            levels = popups();
            ASSERT_EQ(levels.size(), 2u);
            // The newest pop-up is the cascade: find it by position (right of the first).
            const test::TopLevel& zoom = levels[0].rect.left > levels[1].rect.left ? levels[0] : levels[1];
            const POINT p = popupRow(zoom, 0, zoomRows);
            test::click(p.x, p.y);
          }});
  EXPECT_EQ(TrackPopupMenu(view, TPM_RETURNCMD, 200, 200, 0, frame, nullptr), 311);
  ASSERT_EQ(levels.size(), 2u);
  EXPECT_GE(std::max(levels[0].rect.left, levels[1].rect.left), std::min(levels[0].rect.right, levels[1].rect.right) - 3)
      << "the cascade opens at the right edge of its parent";
  std::vector<Msg> inits = only(WM_INITMENUPOPUP);
  ASSERT_EQ(inits.size(), 2u);
  EXPECT_EQ(reinterpret_cast<HMENU>(inits[1].wParam), GetSubMenu(view, 1));
  EXPECT_EQ(LOWORD(inits[1].lParam), 1) << "its position in the parent";
}
