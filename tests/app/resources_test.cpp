// The application's resources as the program reads them: menus with their pop-up identifiers,
// prompts, toolbar tables and strips, tooltips, icon and cursors; then the main window's menu
// and toolbar in use: highlighted items show their prompts, a grey toolbar button gives no
// command, a resting pointer shows the button's tooltip from the string table.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/resource.h"
#include "platform/statusbar.h"
#include "platform/surface.h"
#include "platform/test_api.h"

using namespace win;

namespace {

std::vector<WORD> words(int type, int id) {
  HRSRC r = FindResource(nullptr, MAKEINTRESOURCE(id), MAKEINTRESOURCE(type));
  if (!r) return {};
  const auto* p = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, r)));
  std::vector<WORD> out;
  for (DWORD i = 0; i + 1 < SizeofResource(nullptr, r); i += 2) out.push_back(static_cast<WORD>(p[i] | (p[i + 1] << 8)));
  return out;
}

// A VXKMENUSTRING resource: identifier, NUL-terminated text, ..., 0.
std::map<int, std::string> prompts(int id) {
  std::map<int, std::string> out;
  HRSRC r = FindResource(nullptr, MAKEINTRESOURCE(id), "VXKMENUSTRING");
  if (!r) return out;
  const auto* p = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, r)));
  const DWORD n = SizeofResource(nullptr, r);
  DWORD i = 0;
  while (i + 2 <= n) {
    const int ident = p[i] | (p[i + 1] << 8);
    i += 2;
    if (ident == 0) break;
    std::string text;
    while (i < n && p[i]) text += static_cast<char>(p[i++]);
    ++i;
    out[ident] = text;
  }
  return out;
}

std::string itemText(HMENU m, int pos) {
  char text[100] = {};
  GetMenuString(m, static_cast<UINT>(pos), text, sizeof text, MF_BYPOSITION);
  return text;
}

std::string loadString(int id) {
  char text[100] = {};
  LoadString(nullptr, static_cast<UINT>(id), text, sizeof text);
  return text;
}

}  // namespace

// Menu 30001: three pop-ups with their items and commands, the separator in File.
TEST(MainMenuResource, ItemsAndCommands) {
  test::reset();
  HMENU m = LoadMenu(nullptr, MAKEINTRESOURCE(30001));
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(GetMenuItemCount(m), 3);
  struct Popup { const char* title; std::vector<std::pair<int, std::string>> items; };
  const Popup want[] = {
      {"File", {{40024, "New"}, {40009, "Open"}, {40006, "Save"}, {40027, "Save as..."}, {0, ""}, {40005, "Exit"}}},
      {"Analysis",
       {{40004, "Add new daily flows"}, {40016, "Review/edit daily flows"}, {40007, "Baseflow separation"},
        {40015, "Select aggregation period"}, {40012, "New additional variables"},
        {40008, "Baseflow regression with additional data"}}},
      {"Help", {{40014, "Help"}, {40028, "User manual"}, {40025, "About"}, {40026, "Browse text file"}}},
  };
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(want[p].title);
    EXPECT_EQ(itemText(m, p), want[p].title);
    HMENU sub = GetSubMenu(m, p);
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(want[p].items.size()));
    for (std::size_t i = 0; i < want[p].items.size(); ++i) {
      EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(i)), static_cast<UINT>(want[p].items[i].first));
      EXPECT_EQ(itemText(sub, static_cast<int>(i)), want[p].items[i].second);
      EXPECT_EQ(GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED), 0u) << "all enabled";
    }
  }
  EXPECT_EQ(GetMenuState(GetSubMenu(m, 0), 4, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
  DestroyMenu(m);
}

// The plot windows' menus: a "Save plot" pop-up and two commands on the bar.
TEST(PlotMenuResources, ItemsAndCommands) {
  test::reset();
  struct Case { int id; int adjust; const char* adjustText; std::vector<int> save; };
  const Case cases[] = {
      {30002, 40010, "Adjust baseflow parameter", {40018, 40019, 40020}},
      {30003, 40013, "Adjust regression parameters", {40022, 40023, 40020}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    HMENU m = LoadMenu(nullptr, MAKEINTRESOURCE(c.id));
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(GetMenuItemCount(m), 3);
    EXPECT_EQ(itemText(m, 0), "Save plot");
    EXPECT_EQ(itemText(m, 1), c.adjustText);
    EXPECT_EQ(GetMenuItemID(m, 1), static_cast<UINT>(c.adjust));
    EXPECT_EQ(itemText(m, 2), "Return to main menu");
    EXPECT_EQ(GetMenuItemID(m, 2), 40011u);
    HMENU save = GetSubMenu(m, 0);
    const char* texts[] = {"Save plot to clipboard", "Save plot to a file (*.WMF)", "Print plot"};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(GetMenuItemID(save, i), static_cast<UINT>(c.save[static_cast<std::size_t>(i)]));
      EXPECT_EQ(itemText(save, i), texts[i]);
    }
    DestroyMenu(m);
  }
}

// RCDATA of the menus and toolbars, word for word.
TEST(RcdataResources, PopupIdentifiersAndButtonTables) {
  test::reset();
  struct Case { const char* why; int id; std::vector<WORD> want; };
  const Case cases[] = {
      {"main menu pop-ups", 30001, {40001, 1, 0, 40002, 2, 0, 40003, 3, 0, 0}},
      {"separation plot pop-up", 30002, {40017, 1, 0, 0}},
      {"regression plot pop-up", 30003, {40021, 1, 0, 0}},
      {"main toolbar",
       30101,
       {16, 16, 40024, 40009, 40006, 40027, 0, 40004, 40016, 40007, 40008, 40012, 0, 40014, 40028, 0, 40026, 0, 40005, 0, 0}},
      {"separation toolbar (bytes 10 00 10 00 52 9c 54 9c ...)", 30102, {16, 16, 40018, 40020, 0, 40010, 0, 40011, 0, 0}},
      {"regression toolbar", 30103, {16, 16, 40018, 40020, 0, 40013, 0, 40011, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(words(10, c.id), c.want);
  }
}

// Prompts of the three menus; the items without one have none.
TEST(MenuPromptResources, PromptTexts) {
  test::reset();
  const std::map<int, std::string> main = prompts(30001);
  EXPECT_EQ(main.size(), 15u);
  EXPECT_EQ(main.at(40001), "Create and save data");
  EXPECT_EQ(main.at(40002), "Baseflow separation, baseflow regression");
  EXPECT_EQ(main.at(40015), "Select months over which to aggregate flows and rainfall");
  EXPECT_EQ(main.at(40028), "Opens a PDF version of the TarnWalker user manual");
  for (int none : {40003, 40014, 40025}) EXPECT_EQ(main.count(none), 0u) << none;
  const std::map<int, std::string> sep = prompts(30002), reg = prompts(30003);
  EXPECT_EQ(sep.size(), 4u);
  EXPECT_EQ(sep.at(40019), "Save plot to a Windows Metafile, suitable for pasting into Word or Excel");
  EXPECT_EQ(reg.size(), 5u);
  EXPECT_EQ(reg.at(40013), "Adjust regression parameters and view trend results");
  EXPECT_EQ(reg.at(40021), "Save plot to file or clipboard");
}

// Tooltip strings: one per toolbar command of the three toolbars.
TEST(StringTableResource, TooltipsOfEveryToolbarButton) {
  test::reset();
  EXPECT_EQ(loadString(40014), "DON'T PANIC !");
  EXPECT_EQ(loadString(40016), "Review / edit daily flow and rainfall");
  EXPECT_EQ(loadString(40011), "Return to the main menu");
  EXPECT_EQ(loadString(40026), "Browse any text file using the built in text editor");
  for (int id : {30101, 30102, 30103}) {
    const std::vector<WORD> table = words(10, id);
    for (std::size_t i = 2; i + 2 < table.size(); ++i)
      if (table[i] != 0) {
        EXPECT_FALSE(loadString(table[i]).empty()) << "toolbar " << id << " command " << table[i];
      }
  }
  EXPECT_EQ(loadString(40015), "") << "no button, no tooltip";
}

// Toolbar strips: one 16 x 16 image per button, 256 colours; icon and cursors present.
TEST(ImageResources, StripsIconAndCursors) {
  test::reset();
  struct Case { int id; int width; };
  for (const Case c : {Case{30101, 208}, Case{30102, 64}, Case{30103, 64}}) {
    SCOPED_TRACE(c.id);
    HRSRC r = FindResource(nullptr, MAKEINTRESOURCE(c.id), RT_BITMAP);
    ASSERT_NE(r, nullptr);
    const auto* p = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, r)));
    int32_t w = 0, h = 0;
    std::memcpy(&w, p + 4, 4);
    std::memcpy(&h, p + 8, 4);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(p[14], 8) << "bits per pixel";
  }
  EXPECT_NE(FindResource(nullptr, "icon1", RT_GROUP_ICON), nullptr) << "found by the toolkit's lower-case name";
  for (int id : {2001, 2002, 2003}) EXPECT_NE(FindResource(nullptr, MAKEINTRESOURCE(id), RT_GROUP_CURSOR), nullptr) << id;
}

namespace {

// A main window as the toolkit builds it from these resources: menu 30001 with its pop-up
// identifiers, toolbar 30101 at the top, a status bar whose simple mode shows the prompts.
HWND gBar = nullptr, gToolbar = nullptr;
std::vector<int> gCommands;

void showPrompt(const std::string& text) {
  SendMessage(gBar, SB_SETTEXT, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT mainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_ENTERMENULOOP:
      SendMessage(gBar, SB_SIMPLE, TRUE, 0);
      showPrompt("");
      return 0;
    case WM_EXITMENULOOP:
      SendMessage(gBar, SB_SIMPLE, FALSE, 0);
      return 0;
    case WM_MENUSELECT: {
      if (HIWORD(w) == 0xFFFF) return 0;
      UINT id = LOWORD(w);
      if (HIWORD(w) & MF_POPUP) {
        MENUITEMINFO info;
        info.fMask = MIIM_ID;
        GetMenuItemInfo(reinterpret_cast<HMENU>(l), id, TRUE, info);
        id = info.wID;
      }
      const std::map<int, std::string> all = prompts(30001);
      const auto it = all.find(static_cast<int>(id));
      showPrompt(it == all.end() ? "" : it->second);
      return 0;
    }
    case WM_NOTIFY: {
      auto* info = reinterpret_cast<NMTTDISPINFO*>(l);
      if (info->hdr.code == TTN_GETDISPINFO)
        LoadString(nullptr, static_cast<UINT>(info->hdr.idFrom), info->szText, sizeof info->szText);
      return 0;
    }
    case WM_COMMAND:
      gCommands.push_back(LOWORD(w));
      return 0;
    case WM_SIZE:
      if (gBar) SendMessage(gBar, WM_SIZE, w, l);
      if (gToolbar) SendMessage(gToolbar, TB_AUTOSIZE, 0, 0);
      return 0;
    default:
      return DefWindowProc(h, m, w, l);
  }
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    gCommands.clear();
    gBar = gToolbar = nullptr;
    ASSERT_TRUE(RegisterStatusBarClass());
    ASSERT_TRUE(RegisterToolbarClass());
    WNDCLASS wc;
    wc.lpfnWndProc = mainProc;
    wc.lpszClassName = "ResourcesMainWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    ASSERT_NE(RegisterClass(wc), 0);
    menu = LoadMenu(nullptr, MAKEINTRESOURCE(30001));
    ASSERT_NE(menu, nullptr);
    // The pop-ups take their identifiers from RCDATA 30001: identifier, position, 0.
    const std::vector<WORD> rc = words(10, 30001);
    for (std::size_t i = 0; i + 2 < rc.size() && rc[i] != 0; i += 3) {
      MENUITEMINFO info;
      info.fMask = MIIM_ID;
      info.wID = rc[i];
      SetMenuItemInfo(menu, rc[i + 1] - 1u, TRUE, info);
    }
    frame = CreateWindowEx(0, "ResourcesMainWindow", "TarnWalker - Baseflow Separation and Trend Analysis",
                           WS_OVERLAPPEDWINDOW, 40, 30, 760, 420, nullptr, menu, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    gBar = CreateWindowEx(0, STATUSCLASSNAME, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame, nullptr, nullptr, nullptr);
    showPrompt("");
    SendMessage(gBar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("Tarnwalker file:   None"));
    gToolbar = CreateWindowEx(0, TOOLBARCLASSNAME, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 0, 0, 0, 0, frame,
                              reinterpret_cast<HMENU>(30101), nullptr, nullptr);
    // The button table: image size, then commands (0 separators) up to two zeros.
    const std::vector<WORD> table = words(10, 30101);
    ASSERT_GE(table.size(), 4u);
    SendMessage(gToolbar, TB_SETBITMAPSIZE, 0, MAKELONG(table[0], table[1]));
    SendMessage(gToolbar, TB_SETBUTTONSIZE, 0, MAKELONG(table[0] + 6, table[1] + 6));
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (std::size_t i = 2; i + 1 < table.size() && !(table[i] == 0 && table[i + 1] == 0); ++i) {
      TBBUTTON b;
      if (table[i] == 0) {
        b.fsStyle = TBSTYLE_SEP;
      } else {
        b.iBitmap = image++;
        b.idCommand = table[i];
        b.fsState = TBSTATE_ENABLED;
      }
      buttons.push_back(b);
    }
    TBADDBITMAP add;
    add.hInst = GetModuleHandle(nullptr);
    add.nID = 30101;
    ASSERT_EQ(SendMessage(gToolbar, TB_ADDBITMAP, static_cast<WPARAM>(buttons.size()), reinterpret_cast<LPARAM>(&add)), 0);
    SendMessage(gToolbar, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessage(gToolbar, TB_AUTOSIZE, 0, 0);
    SendMessage(gBar, WM_SIZE, 0, 0);
    ShowWindow(frame, SW_SHOW);
    test::runUntilIdle();
  }
  void TearDown() override {
    test::setIdleHook(nullptr);
    test::reset();
  }

  std::string statusText() {
    char text[200] = {};
    SendMessage(gBar, SB_GETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(text));
    return text;
  }

  POINT buttonCentre(int command) {
    RECT r;
    SendMessage(gToolbar, TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(gToolbar, p);
    return p;
  }

  HMENU menu = nullptr;
  HWND frame = nullptr;
};

}  // namespace

// Clicking "File" opens its pop-up and shows the pop-up's prompt; each highlighted item
// shows its own; the chosen item arrives as a command.
TEST_F(MainWindow, MenuPromptsAndCommand) {
  NcLayout l;
  ASSERT_TRUE(GetNcLayout(frame, l));
  RECT wr;
  GetWindowRect(frame, wr);
  std::vector<std::string> shown;
  HWND popup = nullptr;
  auto row = [&](int k) {   // File: five items of equal height and a 9-pixel separator
    RECT pr;
    GetWindowRect(popup, pr);
    const int h = (pr.bottom - pr.top - 6 - 9) / 5;
    return POINT{(pr.left + pr.right) / 2, pr.top + 3 + h * k + h / 2};
  };
  auto findPopup = [&] {
    for (const test::TopLevel& t : test::topLevelWindows()) {
      char cls[32] = {};
      GetClassName(t.hwnd, cls, sizeof cls);
      if (std::string(cls) == POPUPMENU_CLASS && t.visible) popup = t.hwnd;
    }
  };
  auto queue = std::make_shared<std::vector<std::function<void()>>>(std::vector<std::function<void()>>{
      [&] {
        findPopup();
        shown.push_back(statusText());
        const POINT p = row(1);
        test::mouseMove(p.x, p.y);
      },
      [&] {
        shown.push_back(statusText());
        // Pictures to look at: the window with File open, and the pop-up with Open lit.
        test::savePng(frame, std::string(TW_SHOT_DIR) + "/main_window_file_menu.png");
        test::savePng(popup, std::string(TW_SHOT_DIR) + "/main_window_file_popup.png");
        const POINT p = row(2);
        test::mouseMove(p.x, p.y);
      },
      [&] {
        shown.push_back(statusText());
        const POINT p = row(1);
        test::click(p.x, p.y);
      },
  });
  test::setIdleHook([queue] {
    if (queue->empty()) return;
    auto step = queue->front();
    queue->erase(queue->begin());
    step();
  });
  test::click(wr.left + l.menuBar.left + 12, wr.top + (l.menuBar.top + l.menuBar.bottom) / 2);
  test::runUntilIdle();
  ASSERT_NE(popup, nullptr);
  const std::vector<std::string> want = {"Create and save data", "Open an existing TarnWalker file",
                                         "Save data to a text file"};
  EXPECT_EQ(shown, want);
  EXPECT_EQ(gCommands, std::vector<int>{40009});
  EXPECT_FALSE(SendMessage(gBar, SB_ISSIMPLE, 0, 0)) << "the parts are back after the menu";
}

// Greying Save greys its button too; a click on it gives nothing, on Open a command.
TEST_F(MainWindow, GreyToolbarButtonGivesNothing) {
  EnableMenuItem(menu, 40006, MF_GRAYED);
  SendMessage(gToolbar, TB_ENABLEBUTTON, 40006, FALSE);
  const POINT save = buttonCentre(40006), open = buttonCentre(40009);
  test::click(save.x, save.y);
  test::runUntilIdle();
  EXPECT_TRUE(gCommands.empty());
  test::click(open.x, open.y);
  test::runUntilIdle();
  EXPECT_EQ(gCommands, std::vector<int>{40009});
}

// Resting on the Help button shows its tooltip from the string table; the window is saved
// as a picture to look at.
TEST_F(MainWindow, HelpButtonTooltip) {
  const POINT help = buttonCentre(40014);
  test::mouseMove(help.x, help.y);
  test::runUntilIdle();
  test::advanceTime(600);
  test::runUntilIdle();
  HWND tip = reinterpret_cast<HWND>(SendMessage(gToolbar, TB_GETTOOLTIPS, 0, 0));
  ASSERT_TRUE(IsWindowVisible(tip));
  char text[100] = {};
  GetWindowText(tip, text, sizeof text);
  EXPECT_STREQ(text, "DON'T PANIC !");
  EXPECT_TRUE(test::savePng(frame, std::string(TW_SHOT_DIR) + "/main_window_menu_toolbar.png"));
}

// The strip's images reach the buttons: the Help button shows its navy disc; a strip named
// without an instance is still found; a missing strip adds no images.
TEST_F(MainWindow, ToolbarImagesFromTheStrip) {
  RECT r;
  SendMessage(gToolbar, TB_GETRECT, 40014, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(test::pixel(gToolbar, r.left + 3 + 3, r.top + 3 + 7), RGB(0, 0, 128));
  HWND other = CreateWindowEx(0, TOOLBARCLASSNAME, nullptr, WS_CHILD, 0, 0, 0, 0, frame, nullptr, nullptr, nullptr);
  SendMessage(other, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
  TBADDBITMAP add;
  add.nID = 30102;
  EXPECT_EQ(SendMessage(other, TB_ADDBITMAP, 4, reinterpret_cast<LPARAM>(&add)), 0);
  add.nID = 4711;
  EXPECT_EQ(SendMessage(other, TB_ADDBITMAP, 4, reinterpret_cast<LPARAM>(&add)), -1);
}
