// The toolbar and tooltip controls driven as a user would: clicks on enabled, grey and
// separator places, a press dragged off its button, states, layout, and tooltips shown after
// the pointer rests on a button, with their texts asked of the toolbar's parent.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu_toolbar.h"
#include "platform/test_api.h"

using namespace win;

namespace {

std::vector<std::pair<WPARAM, LPARAM>> gCommands;
std::map<int, std::string> gTexts;   // what the parent answers for each tool
int gAsked = 0;

LRESULT parentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND) gCommands.emplace_back(w, l);
  if (m == WM_NOTIFY) {
    auto* info = reinterpret_cast<NMTTDISPINFO*>(l);
    if (info->hdr.code == TTN_GETDISPINFO) {
      ++gAsked;
      const std::string& t = gTexts[static_cast<int>(info->hdr.idFrom)];
      t.copy(info->szText, sizeof info->szText - 1);
      return 0;
    }
  }
  return DefWindowProc(h, m, w, l);
}

constexpr COLORREF kInk = RGB(200, 0, 0);

class ToolbarFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    gCommands.clear();
    gTexts = {{101, "First button"}, {102, "Second button"}, {103, "DON'T PANIC !"}};
    gAsked = 0;
    WNDCLASS wc;
    wc.lpfnWndProc = parentProc;
    wc.lpszClassName = "ToolbarTestParent";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    ASSERT_NE(RegisterClass(wc), 0);
    ASSERT_TRUE(RegisterToolbarClass());
    parent = CreateWindowEx(0, "ToolbarTestParent", "Toolbar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 200,
                            nullptr, nullptr, nullptr, nullptr);
    toolbar = CreateWindowEx(0, TOOLBARCLASSNAME, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(toolbar, nullptr);
    SendMessage(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
    SendMessage(toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(22, 22));
    // A strip of three images: a red square on the light grey that stands for the face.
    std::vector<unsigned char> bits(48 * 16 * 4);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 48; ++x) {
        unsigned char* p = &bits[static_cast<std::size_t>(y * 48 + x) * 4];
        const bool ink = x % 16 >= 4 && x % 16 < 12 && y >= 4 && y < 12;
        p[0] = ink ? GetBValue(kInk) : 192;
        p[1] = ink ? GetGValue(kInk) : 192;
        p[2] = ink ? GetRValue(kInk) : 192;
      }
    strip = CreateBitmap(48, 16, 1, 32, bits.data());
    TBADDBITMAP add;
    add.nID = reinterpret_cast<UINT_PTR>(strip);
    ASSERT_EQ(SendMessage(toolbar, TB_ADDBITMAP, 3, reinterpret_cast<LPARAM>(&add)), 0);
    TBBUTTON buttons[4];
    buttons[0].iBitmap = 0, buttons[0].idCommand = 101, buttons[0].fsState = TBSTATE_ENABLED;
    buttons[1].fsStyle = TBSTYLE_SEP;
    buttons[2].iBitmap = 1, buttons[2].idCommand = 102, buttons[2].fsState = TBSTATE_ENABLED;
    buttons[3].iBitmap = 2, buttons[3].idCommand = 103, buttons[3].fsState = TBSTATE_ENABLED;
    ASSERT_TRUE(SendMessage(toolbar, TB_ADDBUTTONS, 4, reinterpret_cast<LPARAM>(buttons)));
    SendMessage(toolbar, TB_AUTOSIZE, 0, 0);
    test::runUntilIdle();
  }
  void TearDown() override {
    DeleteObject(strip);
    test::reset();
  }

  // Screen centre of button index i.
  POINT centre(int i) {
    RECT r;
    EXPECT_TRUE(SendMessage(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(toolbar, p);
    return p;
  }

  HWND tip() { return reinterpret_cast<HWND>(SendMessage(toolbar, TB_GETTOOLTIPS, 0, 0)); }

  std::string tipText() {
    if (!IsWindowVisible(tip())) return "(hidden)";
    char text[100] = {};
    GetWindowText(tip(), text, sizeof text);
    return text;
  }

  HWND parent = nullptr, toolbar = nullptr;
  HBITMAP strip = nullptr;
};

}  // namespace

// Where a click lands decides whether the parent gets a command.
TEST_F(ToolbarFixture, ClicksGiveCommandsOnlyFromEnabledButtons) {
  SendMessage(toolbar, TB_ENABLEBUTTON, 102, FALSE);
  struct Case { const char* why; int index; std::vector<WPARAM> commands; };
  const Case cases[] = {
      {"an enabled button", 0, {MAKEWPARAM(101, 0)}},
      {"a separator", 1, {}},
      {"a grey button", 2, {}},
      {"the last button", 3, {MAKEWPARAM(103, 0)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    gCommands.clear();
    const POINT p = centre(c.index);
    test::click(p.x, p.y);
    test::runUntilIdle();
    std::vector<WPARAM> got;
    for (const auto& [w, l] : gCommands) {
      got.push_back(w);
      EXPECT_EQ(reinterpret_cast<HWND>(l), toolbar) << "the command names its toolbar";
    }
    EXPECT_EQ(got, c.commands);
  }
  EXPECT_EQ(GetCapture(), nullptr);
}

// A press dragged off its button before the release gives nothing and leaves it raised.
TEST_F(ToolbarFixture, PressDraggedOffGivesNothing) {
  const POINT a = centre(0), b = centre(3);
  test::mouseDown(test::Button::Left, a.x, a.y);
  test::runUntilIdle();
  EXPECT_TRUE(SendMessage(toolbar, TB_ISBUTTONPRESSED, 101, 0));
  test::mouseMove(b.x, b.y);
  test::mouseUp(test::Button::Left, b.x, b.y);
  test::runUntilIdle();
  EXPECT_TRUE(gCommands.empty());
  EXPECT_FALSE(SendMessage(toolbar, TB_ISBUTTONPRESSED, 101, 0));
}

// States set and read back; unknown commands answer -1 or FALSE.
TEST_F(ToolbarFixture, SetStateAndGetState) {
  EXPECT_EQ(SendMessage(toolbar, TB_GETSTATE, 102, 0), TBSTATE_ENABLED);
  EXPECT_TRUE(SendMessage(toolbar, TB_SETSTATE, 102, TBSTATE_CHECKED));
  EXPECT_EQ(SendMessage(toolbar, TB_GETSTATE, 102, 0), TBSTATE_CHECKED);
  EXPECT_FALSE(SendMessage(toolbar, TB_ISBUTTONENABLED, 102, 0));
  EXPECT_TRUE(SendMessage(toolbar, TB_ISBUTTONCHECKED, 102, 0));
  EXPECT_EQ(SendMessage(toolbar, TB_GETSTATE, 999, 0), -1);
  EXPECT_FALSE(SendMessage(toolbar, TB_SETSTATE, 999, TBSTATE_ENABLED));
  EXPECT_EQ(SendMessage(toolbar, TB_BUTTONCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessage(toolbar, TB_COMMANDTOINDEX, 103, 0), 3);
  TBBUTTON got;
  ASSERT_TRUE(SendMessage(toolbar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&got)));
  EXPECT_EQ(got.fsStyle, TBSTYLE_SEP);
}

// Buttons sit side by side (separators 8 wide); auto-size spans the parent's width at the top;
// as many rows as buttons puts one button per row.
TEST_F(ToolbarFixture, LayoutRowAndColumn) {
  RECT r[4];
  for (int i = 0; i < 4; ++i) SendMessage(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r[i]));
  EXPECT_EQ(r[0], (RECT{0, 0, 22, 22}));
  EXPECT_EQ(r[1], (RECT{22, 0, 30, 22}));
  EXPECT_EQ(r[2], (RECT{30, 0, 52, 22}));
  RECT wr, pc;
  GetWindowRect(toolbar, wr);
  GetClientRect(parent, pc);
  EXPECT_EQ(wr.right - wr.left, pc.right);
  EXPECT_EQ(wr.bottom - wr.top, 22);
  RECT bounds{};
  SendMessage(toolbar, TB_SETROWS, MAKEWPARAM(4, TRUE), reinterpret_cast<LPARAM>(&bounds));
  EXPECT_EQ(bounds, (RECT{0, 0, 22, 74}));
  SendMessage(toolbar, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r[3]));
  EXPECT_EQ(r[3], (RECT{0, 52, 22, 74}));
}

// An enabled button shows its image; a grey one shows it embossed in the shadow colour.
TEST_F(ToolbarFixture, GreyButtonDrawsEmbossedImage) {
  SendMessage(toolbar, TB_ENABLEBUTTON, 103, FALSE);
  UpdateWindow(toolbar);
  RECT a, c;
  SendMessage(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&a));
  SendMessage(toolbar, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&c));
  EXPECT_EQ(test::pixel(toolbar, a.left + 11, a.top + 11), kInk);
  EXPECT_EQ(test::pixel(toolbar, c.left + 11, c.top + 11), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(test::pixel(toolbar, a.left + 4, a.top + 4), GetSysColor(COLOR_BTNFACE)) << "grey strip pixels are the face";
}

// Resting on a button shows its tooltip with the text its parent gives; moving to another
// button shows that one's; leaving the toolbar takes it away.
TEST_F(ToolbarFixture, HoverShowsTooltipFromParent) {
  ASSERT_NE(tip(), nullptr);
  const POINT p = centre(3);
  test::mouseMove(p.x, p.y);
  test::runUntilIdle();
  EXPECT_EQ(tipText(), "(hidden)") << "not before the pointer has rested";
  test::advanceTime(600);
  test::runUntilIdle();
  EXPECT_EQ(tipText(), "DON'T PANIC !");
  EXPECT_EQ(gAsked, 1);
  RECT tr;
  GetWindowRect(tip(), tr);
  EXPECT_GT(tr.top, p.y) << "below the pointer";

  const POINT q = centre(0);
  test::mouseMove(q.x, q.y);
  test::runUntilIdle();
  test::advanceTime(150);
  test::runUntilIdle();
  EXPECT_EQ(tipText(), "First button");

  test::mouseMove(300, 150);   // the parent's client area, away from the toolbar
  test::runUntilIdle();
  test::advanceTime(200);
  test::runUntilIdle();
  EXPECT_EQ(tipText(), "(hidden)");
}

// A press hides the tip; a grey button still has its tooltip.
TEST_F(ToolbarFixture, TooltipOfGreyButtonAndPressHides) {
  SendMessage(toolbar, TB_ENABLEBUTTON, 102, FALSE);
  const POINT p = centre(2);
  test::mouseMove(p.x, p.y);
  test::runUntilIdle();
  test::advanceTime(600);
  test::runUntilIdle();
  EXPECT_EQ(tipText(), "Second button");
  test::mouseDown(test::Button::Left, p.x, p.y);
  test::mouseUp(test::Button::Left, p.x, p.y);
  test::runUntilIdle();
  EXPECT_EQ(tipText(), "(hidden)");
  EXPECT_TRUE(gCommands.empty());
}

// The tooltip control on its own: a tool with its own text on a whole window, switched off
// and on, and its text read back.
TEST(TooltipControl, ToolWithOwnTextShowsWhenActive) {
  test::reset();
  ASSERT_TRUE(RegisterToolbarClass());
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "TipOwner";
  ASSERT_NE(RegisterClass(wc), 0);
  HWND owner = CreateWindowEx(0, "TipOwner", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr, nullptr, nullptr);
  HWND tips = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP, 0, 0, 0, 0, owner, nullptr, nullptr, nullptr);
  ASSERT_NE(tips, nullptr);
  TOOLINFO ti;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = owner;
  ti.uId = reinterpret_cast<UINT_PTR>(owner);
  char text[] = "Owner window";
  ti.lpszText = text;
  ASSERT_TRUE(SendMessage(tips, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_FALSE(SendMessage(tips, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti))) << "one tool per identifier";
  EXPECT_EQ(SendMessage(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
  char buffer[80] = {};
  ti.lpszText = buffer;
  SendMessage(tips, TTM_GETTEXT, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(buffer, "Owner window");

  auto hover = [&](int x, int y) {
    test::mouseMove(x, y);
    MSG m{owner, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(x - 100), static_cast<WORD>(y - 100)), 0, POINT{x, y}};
    SendMessage(tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
    test::advanceTime(600);
    test::runUntilIdle();
  };
  SendMessage(tips, TTM_ACTIVATE, FALSE, 0);
  hover(150, 150);
  EXPECT_FALSE(IsWindowVisible(tips)) << "switched off";
  SendMessage(tips, TTM_ACTIVATE, TRUE, 0);
  hover(160, 150);
  EXPECT_TRUE(IsWindowVisible(tips));
  GetWindowText(tips, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "Owner window");
  test::advanceTime(6000);
  test::runUntilIdle();
  EXPECT_FALSE(IsWindowVisible(tips)) << "gone after the automatic pop delay";
  test::reset();
}
