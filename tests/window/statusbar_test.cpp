// Status bar (the control and the toolkit's parts and texts), the frame layout around it,
// menu prompts, cursor shapes, the bell and the text helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu_toolbar.h"
#include "platform/statusbar.h"
#include "tests/window/window_fixture.h"

namespace {

class StatusBar : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WindowOpenOptions o;
    o.flags = 0x27;
    o.width = 500;
    o.height = 200;
    open(o);
  }
  static std::vector<int> edges() {
    std::vector<int> e(256);
    const auto n = win::SendMessage(winslot(0).wMessLine, win::SB_GETPARTS, 256, reinterpret_cast<win::LPARAM>(e.data()));
    e.resize(static_cast<std::size_t>(n));
    return e;
  }
  static std::string text(int part) {
    char buf[300] = {};
    win::SendMessage(winslot(0).wMessLine, win::SB_GETTEXT, static_cast<win::WPARAM>(part), reinterpret_cast<win::LPARAM>(buf));
    return buf;
  }
};

TEST_F(StatusBar, PartsTakeTheirWidthsAndTheRestGoesToTheOpenOne) {
  struct Case {
    const char* why;
    int w1, w2, w3;
    std::vector<int> want;
  };
  const Case cases[] = {
      {"the middle part takes the room the others leave", 100, -1, 80, {100, 420, 500}},
      {"without an open part the bar beyond the last stays empty", 100, 50, 80, {100, 150, 230}},
      {"an open last part reaches the end", 120, 60, -1, {120, 180, 500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    yysetstatuspart(1, c.w1, 1);
    yysetstatuspart(2, c.w2, 1);
    yysetstatuspart(3, c.w3, 1);
    yysetstatusbar(3);
    EXPECT_EQ(edges(), c.want);
  }
}

TEST_F(StatusBar, PartWidthsSurviveAResize) {
  yysetstatuspart(1, 100, 1);
  yysetstatuspart(2, -1, 1);
  yysetstatuspart(3, 80, 1);
  yysetstatusbar(3);
  win::RECT f;
  win::GetWindowRect(winslot(0).wWindow, f);
  win::SetWindowPos(winslot(0).wWindow, nullptr, 0, 0, f.right - f.left + 100, f.bottom - f.top,
                    win::SWP_NOMOVE | win::SWP_NOZORDER);
  EXPECT_EQ(edges(), (std::vector<int>{100, 520, 600}));
  // The bar follows the frame's bottom and width.
  win::RECT bar, client;
  win::GetWindowRect(winslot(0).wMessLine, bar);
  win::GetWindowRect(winslot(0).hClient, client);
  EXPECT_EQ(bar.top, client.bottom);
  EXPECT_EQ(bar.right - bar.left, 600);
}

TEST_F(StatusBar, TextLosesTrailingBlanksAndGoesToItsPart) {
  yysetstatuspart(1, 200, 1);
  yysetstatuspart(2, -1, 1);
  yysetstatusbar(2);
  windowoutstatusbar(1, "Tarnwalker file:   None     ");
  windowoutstatusbar(2, "second");
  EXPECT_EQ(text(0), "Tarnwalker file:   None");
  EXPECT_EQ(text(1), "second");
  // Part numbers outside 1-255 do nothing and report nothing.
  windowoutstatusbar(0, "zero");
  windowoutstatusbar(256, "too far");
  EXPECT_EQ(text(0), "Tarnwalker file:   None");
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(StatusBar, BorderStylesReachTheControl) {
  yysetstatuspart(1, 100, 0);
  yysetstatuspart(2, 100, 2);
  yysetstatuspart(3, -1, 7);
  yysetstatusbar(3);
  windowoutstatusbar(1, "a");
  windowoutstatusbar(2, "b");
  windowoutstatusbar(3, "c");
  auto border = [](int part) {
    return win::HIWORD(static_cast<win::UINT_PTR>(win::SendMessage(winslot(0).wMessLine, win::SB_GETTEXTLENGTH, static_cast<win::WPARAM>(part), 0)));
  };
  EXPECT_EQ(border(0), win::SBT_NOBORDERS);
  EXPECT_EQ(border(1), win::SBT_POPOUT);
  EXPECT_EQ(border(2), 0u);
}

TEST_F(StatusBar, TextIsDrawnInTheBar) {
  win::test::runUntilIdle();
  int w = 0, h = 0;
  const auto before = win::test::pixels(winslot(0).wMessLine, true, w, h);
  windowoutstatusbar(1, "Tarnwalker file:   None");
  const auto after = win::test::pixels(winslot(0).wMessLine, true, w, h);
  int changed = 0;
  for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i];
  EXPECT_GT(changed, 20);
  // Ink near the left of the bar, where the first part's text starts.
  bool ink = false;
  for (int y = 0; y < h && !ink; ++y)
    for (int x = 2; x < 60 && !ink; ++x) ink = win::test::pixel(winslot(0).wMessLine, x, y) == win::GetSysColor(win::COLOR_BTNTEXT);
  EXPECT_TRUE(ink);
}

TEST_F(StatusBar, DraggingTheGripSizesTheWindow) {
  win::test::runUntilIdle();
  win::RECT bar;
  win::GetWindowRect(winslot(0).wMessLine, bar);
  const int x = bar.right - 3, y = bar.bottom - 3;
  EXPECT_EQ(win::SendMessage(winslot(0).wMessLine, win::WM_NCHITTEST, 0, win::MAKELPARAM(static_cast<win::WORD>(x), static_cast<win::WORD>(y))),
            win::HTBOTTOMRIGHT);
  win::test::mouseMove(x, y);
  win::test::mouseDown(win::test::Button::Left, x, y);
  win::test::mouseMove(x + 60, y + 40);
  win::test::mouseUp(win::test::Button::Left, x + 60, y + 40);
  win::test::runUntilIdle();
  win::RECT c;
  win::GetClientRect(winslot(0).hClient, c);
  EXPECT_EQ(c.right, 560);
  EXPECT_EQ(c.bottom, 240);
  // The grip goes when the window is maximised.
  win::ShowWindow(winslot(0).wWindow, win::SW_MAXIMIZE);
  win::GetWindowRect(winslot(0).wMessLine, bar);
  EXPECT_EQ(win::SendMessage(winslot(0).wMessLine, win::WM_NCHITTEST, 0,
                             win::MAKELPARAM(static_cast<win::WORD>(bar.right - 3), static_cast<win::WORD>(bar.bottom - 3))),
            win::HTCLIENT);
}

TEST_F(StatusBar, SimpleModeShowsOneTextAndKeepsTheParts) {
  yysetstatuspart(1, 100, 1);
  yysetstatuspart(2, -1, 1);
  yysetstatusbar(2);
  windowoutstatusbar(2, "kept");
  win::SendMessage(winslot(0).wMessLine, win::SB_SIMPLE, win::TRUE, 0);
  win::SendMessage(winslot(0).wMessLine, win::SB_SETTEXT, win::SB_SIMPLEID, reinterpret_cast<win::LPARAM>("one text"));
  win::RECT r;
  win::SendMessage(winslot(0).wMessLine, win::SB_GETRECT, 0, reinterpret_cast<win::LPARAM>(&r));
  win::RECT c;
  win::GetClientRect(winslot(0).wMessLine, c);
  EXPECT_EQ(r.left, c.left);
  EXPECT_EQ(r.right, c.right);
  win::SendMessage(winslot(0).wMessLine, win::SB_SIMPLE, win::FALSE, 0);
  EXPECT_EQ(text(1), "kept");
  EXPECT_EQ(edges(), (std::vector<int>{100, 500}));
  // Edges the control cannot hold are refused.
  int edge = 10;
  EXPECT_FALSE(win::SendMessage(winslot(0).wMessLine, win::SB_SETPARTS, 0, reinterpret_cast<win::LPARAM>(&edge)));
  EXPECT_FALSE(win::SendMessage(winslot(0).wMessLine, win::SB_SETPARTS, 257, 0));
}

TEST_F(StatusBar, WindowWithoutStatusBarIgnoresTheText) {
  windowclose();
  WindowOpenOptions o;
  o.flags = 7;
  open(o);
  windowoutstatusbar(1, "lost");
  yysetstatusbar(2);
  EXPECT_EQ(winslot(0).wMessLine, nullptr);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(StatusBar, MenuLoopShowsPromptsAndLeavingRestoresTheParts) {
  windowoutstatusbar(1, "file name");
  win::SendMessage(winslot(0).wWindow, win::WM_ENTERMENULOOP, 0, 0);
  EXPECT_TRUE(win::SendMessage(winslot(0).wMessLine, win::SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(text(win::SB_SIMPLEID), "");
  struct Case { const char* why; int command; const char* prompt; };
  const Case cases[] = {
      {"close", 0xF060, "Closes the window"},
      {"move", 0xF010, "Changes the window position"},
      {"size", 0xF000, "Changes the window size"},
      {"minimise", 0xF020, "Reduces the window to an icon"},
      {"maximise", 0xF030, "Enlarges the window to full size"},
      {"restore", 0xF120, "Restores the window to its normal size"},
      {"another system item has no prompt", 0xF100, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::SendMessage(winslot(0).wWindow, win::WM_MENUSELECT, win::MAKEWPARAM(static_cast<win::WORD>(c.command), 0x2000), 0);
    EXPECT_EQ(text(win::SB_SIMPLEID), c.prompt);
  }
  // An item with no prompt text clears the prompt.
  win::SendMessage(winslot(0).wWindow, win::WM_MENUSELECT, win::MAKEWPARAM(40004, 0), 0);
  EXPECT_EQ(text(win::SB_SIMPLEID), "");
  win::SendMessage(winslot(0).wWindow, win::WM_EXITMENULOOP, 0, 0);
  EXPECT_FALSE(win::SendMessage(winslot(0).wMessLine, win::SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(text(0), "file name");
}

TEST_F(StatusBar, MenuItemPromptsComeFromThePromptResource) {
  windowclose();
  WindowOpenOptions o;
  o.flags = 0x27;
  o.menu = 30001;
  open(o);
  win::SendMessage(winslot(0).wWindow, win::WM_ENTERMENULOOP, 0, 0);
  struct Case { const char* why; int id; const char* prompt; };
  const Case cases[] = {
      {"first entry", 40001, "Create and save data"},
      {"second entry", 40002, "Open a project file"},
      {"an item without a prompt clears it", 40003, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::SendMessage(winslot(0).wWindow, win::WM_MENUSELECT, win::MAKEWPARAM(static_cast<win::WORD>(c.id), 0),
                     reinterpret_cast<win::LPARAM>(winslot(0).hMenuRoot));
    EXPECT_EQ(text(win::SB_SIMPLEID), c.prompt);
  }
  win::SendMessage(winslot(0).wWindow, win::WM_EXITMENULOOP, 0, 0);
  EXPECT_FALSE(win::SendMessage(winslot(0).wMessLine, win::SB_ISSIMPLE, 0, 0));
}

TEST_F(StatusBar, ToolbarTooltipsComeFromTheListThenTheStringTable) {
  // Toolbars at every position, each with its own tooltip control.
  for (int p = 0; p < 4; ++p)
    winslot(0).hToolbar[static_cast<std::size_t>(p)] = win::CreateWindowEx(
        0, win::TOOLBARCLASSNAME, "", win::WS_CHILD | win::WS_VISIBLE | win::TBSTYLE_TOOLTIPS | win::CCS_NORESIZE, 0,
        0, 100, 24, winslot(0).wWindow, nullptr, nullptr, nullptr);
  winslot(0).pTooltip = {{40004, "Print the plot"}, {40006, "Copy the plot"}};
  struct Case { const char* why; int position, id; const char* text; };
  const Case cases[] = {
      {"a bottom toolbar's button is found in the list", 3, 40004, "Print the plot"},
      {"so is a top toolbar's", 0, 40006, "Copy the plot"},
      {"not in the list: the string table", 1, 40005, "Zoom in"},
      {"neither: no text", 2, 40007, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::NMTTDISPINFO info;
    info.hdr.hwndFrom = reinterpret_cast<win::HWND>(
        win::SendMessage(winslot(0).hToolbar[static_cast<std::size_t>(c.position)], win::TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(info.hdr.hwndFrom, nullptr);
    info.hdr.idFrom = static_cast<win::UINT_PTR>(c.id);
    info.hdr.code = win::TTN_GETDISPINFO;
    win::SendMessage(winslot(0).wWindow, win::WM_NOTIFY, static_cast<win::WPARAM>(c.id), reinterpret_cast<win::LPARAM>(&info));
    EXPECT_STREQ(info.lpszText ? info.lpszText : "", c.text);
  }
}

// The frame lays out toolbars at its four edges around the client area, the bottom one
// above the status bar; plain child windows stand for the toolbars here.
TEST_F(StatusBar, FrameLayoutPutsTheClientInsideFourToolbars) {
  const int sizes[4] = {24, 30, 40, 22};   // top and bottom heights, left and right widths
  for (int p = 0; p < 4; ++p) {
    winslot(0).hToolbar[static_cast<std::size_t>(p)] =
        win::CreateWindowEx(0, "TESSCLIENT", "", win::WS_CHILD | win::WS_VISIBLE, 0, 0, sizes[p], sizes[p],
                            winslot(0).wWindow, nullptr, nullptr, nullptr);
    winslot(0).iToolSize[static_cast<std::size_t>(p)] = sizes[p];
  }
  win::RECT f;
  win::GetWindowRect(winslot(0).wWindow, f);
  win::SetWindowPos(winslot(0).wWindow, nullptr, 0, 0, f.right - f.left, f.bottom - f.top + 60, win::SWP_NOMOVE | win::SWP_NOZORDER);
  auto rect = [](win::HWND h) {
    win::RECT r;
    win::GetWindowRect(h, r);
    win::POINT tl{r.left, r.top}, br{r.right, r.bottom};
    win::ScreenToClient(winslot(0).wWindow, tl);
    win::ScreenToClient(winslot(0).wWindow, br);
    return win::RECT{tl.x, tl.y, br.x, br.y};
  };
  win::RECT frame;
  win::GetClientRect(winslot(0).wWindow, frame);
  const win::RECT top = rect(winslot(0).hToolbar[0]), left = rect(winslot(0).hToolbar[1]), right = rect(winslot(0).hToolbar[2]);
  const win::RECT bottom = rect(winslot(0).hToolbar[3]), bar = rect(winslot(0).wMessLine), client = rect(winslot(0).hClient);
  EXPECT_EQ(bar.bottom, frame.bottom);
  EXPECT_EQ(bottom.bottom, bar.top);
  EXPECT_EQ(bottom.right - bottom.left, frame.right);
  EXPECT_EQ(left.top, top.top + 24);
  EXPECT_EQ(left.bottom, bottom.top);
  EXPECT_EQ(left.right - left.left, 30);
  EXPECT_EQ(right.right, frame.right);
  EXPECT_EQ(right.right - right.left, 40);
  EXPECT_EQ(client, (win::RECT{left.right, top.top + 24, right.left, bottom.top}));
}

using YyStringOut = twtest::WindowFixture;

TEST_F(YyStringOut, DrawsWithTheWindowColoursAndAdvances) {
  WindowOpenOptions o;
  o.width = 300;
  o.height = 100;
  open(o);
  win::test::runUntilIdle();
  yysetfontcolour(13, 10);   // blue on yellow
  int x = 20, y = 50;
  const char text[] = "TarnWalker";
  int width = 0;
  yystringlen(width, text, sizeof text);
  yystringout(x, y, text, sizeof text);
  EXPECT_EQ(x, 20 + width);
  EXPECT_EQ(y, 50);
  int blue = 0, yellow = 0;
  for (int py = 30; py < 56; ++py)
    for (int px = 20; px < 20 + width; ++px) {
      const win::COLORREF c = win::test::pixel(winslot(0).hClient, px, py);
      blue += c == win::RGB(0, 0, 255);
      yellow += c == win::RGB(255, 255, 0);
    }
  EXPECT_GT(blue, 30);
  EXPECT_GT(yellow, 100);   // opaque background behind the letters
  EXPECT_EQ(win::test::pixel(winslot(0).hClient, 10, 50), win::RGB(255, 255, 255));
}

TEST_F(YyStringOut, FontKindsGiveTheirMetrics) {
  open();
  for (int kind : {-99, 0, 1, 2, 3, 4}) {
    SCOPED_TRACE(kind);
    int w = 0, h = 16;
    yycreatefont(kind, kind == 3 ? 1 : 0, 0, w, h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
  }
}

using WCursorShapeTest = twtest::WindowFixture;

TEST_F(WCursorShapeTest, ShapesShowOverTheClientArea) {
  open();
  const win::POINT p = onClient(20, 20);
  struct Case { const char* why; int shape; win::LPCSTR cursor; };
  const Case cases[] = {
      {"arrow", 0, win::IDC_ARROW},          {"hourglass", 1, win::IDC_WAIT},
      {"arrow with hourglass", 2, win::IDC_APPSTARTING}, {"cross", 3, win::IDC_CROSS},
      {"I-beam", 4, win::IDC_IBEAM},         {"not allowed", 5, win::IDC_NO},
      {"four-way", 6, win::IDC_SIZEALL},     {"north-south", 7, win::IDC_SIZENS},
      {"west-east", 8, win::IDC_SIZEWE},     {"north-east", 9, win::IDC_SIZENESW},
      {"north-west", 10, win::IDC_SIZENWSE}, {"up arrow", 11, win::IDC_UPARROW},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    WCursorShape(c.shape);
    win::test::mouseMove(p.x + c.shape, p.y);
    win::test::runUntilIdle();
    EXPECT_EQ(win::test::cursor(), win::LoadCursor(nullptr, c.cursor));
  }
}

TEST_F(WCursorShapeTest, GlobalShapeRemovesTheWindowsOwnCursors) {
  open();
  WCursorShape(3, 1);   // the cross for the root window only
  EXPECT_EQ(winslot(0).iCursorWin, 3);
  WCursorShape(1, 2);   // the global shape changes, the own one stays
  EXPECT_EQ(winslot(0).iCursorWin, 3);
  int shape = -1;
  yygetmousecursor(shape, 1, 0);
  EXPECT_EQ(shape, 3);
  WCursorShape(1);      // hourglass everywhere
  EXPECT_EQ(winslot(0).hCursorWin, nullptr);
  yygetmousecursor(shape, 1, 0);
  EXPECT_EQ(shape, 1);
  const win::POINT p = onClient(5, 5);
  win::test::mouseMove(p.x, p.y);
  win::test::runUntilIdle();
  EXPECT_EQ(win::test::cursor(), win::LoadCursor(nullptr, win::IDC_WAIT));
}

TEST_F(WCursorShapeTest, ErrorsAndShapesWithoutACursor) {
  open();
  tessar.graphics.target.TARGETTYPE = 4;   // a metafile cannot show a cursor
  WCursorShape(1, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 1097);
  tessar.graphics.target.TARGETTYPE = 1;
  tessar.error.LASTERROR = 0;
  WCursorShape(-1);      // does nothing
  EXPECT_EQ(iCursor, 0);
  WCursorShape(2002);    // no such cursor resource: the shape is kept, nothing shown
  EXPECT_EQ(iCursor, 2002);
  EXPECT_EQ(wCursor, nullptr);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(WCursorShapeTest, ProgramCursorResourceShowsOverTheWindow) {
  open();
  WCursorShape(2001);
  ASSERT_NE(wCursor, nullptr);
  EXPECT_EQ(wCursor, win::LoadCursor(win::GetModuleHandle(nullptr), win::MAKEINTRESOURCE(2001)));
  const win::POINT p = onClient(7, 7);
  win::test::mouseMove(p.x, p.y);
  win::test::runUntilIdle();
  EXPECT_EQ(win::test::cursor(), wCursor);
}

TEST(YyGrSelectNone, ReleasesTheTargetThatIsNotAWindow) {
  win::test::reset();
  hGraphicsBitmap = win::CreateCompatibleDC(nullptr);
  hGraphicsMetafile = win::LongToHandle<win::HDC>(5);
  yygrselectnone();
  EXPECT_EQ(hGraphicsBitmap, nullptr);
  EXPECT_NE(hGraphicsMetafile, nullptr);   // one target at a time: the bitmap was it
  yygrselectnone();
  EXPECT_EQ(hGraphicsMetafile, nullptr);
}

TEST(WindowBell, SwitchesAndSounds) {
  struct Case { const char* why; const char* text; int ring; int beeps; };
  const Case cases[] = {
      {"on in lower case", "on ", 1, 0},
      {"any other text sounds the bell", "ding", 1, 1},
      {"off", "OFF", 0, 0},
      {"off: nothing sounds", "ding", 0, 0},
      {"on again", "On", 1, 0},
  };
  win::test::reset();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const int before = win::test::beepCount();
    windowbell(c.text);
    EXPECT_EQ(iRing, c.ring);
    EXPECT_EQ(win::test::beepCount() - before, c.beeps);
  }
}

TEST(YyFntCol, IndexesOutsideTheirRangesChangeNothing) {
  tessar.windowtext.FORE = 0;
  tessar.windowtext.BACK = 15;
  yyfntcol(16, 16);
  EXPECT_EQ(tessar.windowtext.FORE, 16);
  EXPECT_EQ(tessar.windowtext.BACK, 17);
  yyfntcol(-1, 20);
  EXPECT_EQ(tessar.windowtext.FORE, 16);
  EXPECT_EQ(tessar.windowtext.BACK, 17);
}

TEST(TextHelpers, NulTerminatedAndFixedLengthText) {
  EXPECT_EQ(yystrlen("ab  "), 2);
  EXPECT_EQ(yystrlen("   "), 0);
  EXPECT_EQ(yysubstrlen("ab cd"), 2);
  EXPECT_EQ(yyAsciiToInt("-12x"), -12);
  EXPECT_EQ(yyAsciiToInt("x12"), 0);
  EXPECT_EQ(yyAsciiToInt("345"), 345);
  std::string field;
  yystrctof("abc", field, 5);
  EXPECT_EQ(field, "abc  ");
  yystrctof("abcdef", field, 3);
  EXPECT_EQ(field, "abc");
}

}  // namespace
