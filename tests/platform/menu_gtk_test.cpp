// Menus, toolbar and tooltips on a real display: the GTK backend on a private X server
// (Xvfb), input from xdotool, screenshots with ImageMagick's import. The File pop-up opens
// under the bar and its Exit item is chosen with the mouse; a grey toolbar button gives
// nothing; resting on a button shows its tooltip window on the desktop.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/gtk_backend.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/surface.h"
#include "platform/test_api.h"
#include "tests/support/xserver.h"

using namespace win;
using tw::test::pumpUntil;
using tw::test::sh;

namespace {

std::string at(POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

// The screen as the desktop shows it, as a cairo image (kept at keep for a look).
cairo_surface_t* screenshot(const std::string& keep) {
  if (!sh("import -display " + tw::test::xDisplay() + " -window root png:" + keep)) return nullptr;
  return tw::test::loadPng(keep);
}

COLORREF screenPixel(cairo_surface_t* s, int x, int y) { return tw::test::pixelAt(s, x, y); }

std::vector<WPARAM> commands;

LRESULT frameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND) commands.push_back(LOWORD(w));
  if (m == WM_NOTIFY) {
    auto* info = reinterpret_cast<NMTTDISPINFO*>(l);
    if (info->hdr.code == TTN_GETDISPINFO) std::snprintf(info->szText, sizeof info->szText, "Command %d", static_cast<int>(info->hdr.idFrom));
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

HWND visiblePopup() {
  for (const test::TopLevel& t : test::topLevelWindows()) {
    char cls[32] = {};
    GetClassName(t.hwnd, cls, sizeof cls);
    if (std::string(cls) == POPUPMENU_CLASS && t.visible) return t.hwnd;
  }
  return nullptr;
}

// Steps taken from a timer while the menu loop runs (the loop dispatches timers).
int step = 0;
POINT exitRow;
std::string shotPath;
cairo_surface_t* menuShot = nullptr;

void menuSteps(HWND, UINT, UINT_PTR, DWORD) {
  HWND popup = visiblePopup();
  if (step != 0 || !popup || !gtktest::upToDate(popup)) return;
  step = 1;
  gtktest::sync();
  menuShot = screenshot(shotPath);
  RECT pr;
  GetWindowRect(popup, pr);
  // File: New, Open, Save, separator, Exit; rows of equal height, the separator 9 pixels.
  const int h = (pr.bottom - pr.top - 6 - 9) / 4;
  exitRow = POINT{(pr.left + pr.right) / 2, pr.top + 3 + 3 * h + 9 + h / 2};
  sh("xdotool mousemove " + at(exitRow) + " sleep 0.2 click 1");
}

class MenuGtk : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    started = tw::test::startXvfb() && UseGtkBackend();
  }
  static void TearDownTestSuite() { tw::test::stopXvfb(); }
  static inline bool started = false;
};

}  // namespace

TEST_F(MenuGtk, MenuToolbarAndTooltipOnTheDesktop) {
  ASSERT_TRUE(started) << "Xvfb did not start or GTK did not initialise on it";
  ASSERT_TRUE(RegisterToolbarClass());
  WNDCLASS wc;
  wc.lpfnWndProc = frameProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "TwMenuGtk";
  ASSERT_NE(RegisterClass(wc), 0);
  HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(100));
  HWND frame = CreateWindowEx(0, "TwMenuGtk", "Menus on the desktop", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 500,
                              300, nullptr, menu, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  HWND toolbar = CreateWindowEx(0, TOOLBARCLASSNAME, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 0, 0, 0, 0,
                                frame, nullptr, nullptr, nullptr);
  SendMessage(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
  SendMessage(toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(22, 22));
  std::vector<unsigned char> bits(32 * 16 * 4, 0);
  for (std::size_t i = 0; i < bits.size(); i += 4) bits[i] = 200;   // blue images
  HBITMAP strip = CreateBitmap(32, 16, 1, 32, bits.data());
  TBADDBITMAP add;
  add.nID = reinterpret_cast<UINT_PTR>(strip);
  SendMessage(toolbar, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&add));
  TBBUTTON buttons[2];
  buttons[0].iBitmap = 0, buttons[0].idCommand = 501, buttons[0].fsState = TBSTATE_ENABLED;
  buttons[1].iBitmap = 1, buttons[1].idCommand = 502, buttons[1].fsState = 0;   // grey
  SendMessage(toolbar, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(buttons));
  SendMessage(toolbar, TB_AUTOSIZE, 0, 0);
  ASSERT_TRUE(pumpUntil([&] { return gtktest::upToDate(frame); }));
  gtktest::sync();

  // The File menu: click it on the bar, then (from the timer, inside the loop) Exit.
  NcLayout l;
  ASSERT_TRUE(GetNcLayout(frame, l));
  RECT wr;
  GetWindowRect(frame, wr);
  const POINT file{wr.left + l.menuBar.left + 12, wr.top + (l.menuBar.top + l.menuBar.bottom) / 2};
  shotPath = std::string(TW_SHOT_DIR) + "/menu_gtk_file_open.png";
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, menuSteps);
  ASSERT_TRUE(sh("xdotool mousemove " + at(file) + " sleep 0.2 click 1"));
  EXPECT_TRUE(pumpUntil([&] { return !commands.empty(); }));
  KillTimer(nullptr, timer);
  EXPECT_EQ(commands, std::vector<WPARAM>{204});
  ASSERT_NE(menuShot, nullptr) << "the pop-up was shown and photographed";
  EXPECT_EQ(screenPixel(menuShot, exitRow.x, exitRow.y - 30), GetSysColor(COLOR_MENU)) << "the pop-up on the screen";
  cairo_surface_destroy(menuShot);
  EXPECT_EQ(visiblePopup(), nullptr);

  // A grey button gives nothing; resting on the enabled one shows its tooltip.
  commands.clear();
  RECT r;
  SendMessage(toolbar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  POINT grey{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(toolbar, grey);
  ASSERT_TRUE(sh("xdotool mousemove " + at(grey) + " click 1"));
  pumpUntil([] { return false; }, 1);
  EXPECT_TRUE(commands.empty());
  SendMessage(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  POINT on{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(toolbar, on);
  ASSERT_TRUE(sh("xdotool mousemove " + at(on)));
  HWND tip = reinterpret_cast<HWND>(SendMessage(toolbar, TB_GETTOOLTIPS, 0, 0));
  char text[80] = {};
  EXPECT_TRUE(pumpUntil([&] {
    GetWindowText(tip, text, sizeof text);
    return IsWindowVisible(tip) && std::string(text) == "Command 501" && gtktest::upToDate(tip);
  }));
  gtktest::sync();
  cairo_surface_t* tipShot = screenshot(std::string(TW_SHOT_DIR) + "/menu_gtk_tooltip.png");
  ASSERT_NE(tipShot, nullptr);
  RECT tr;
  GetWindowRect(tip, tr);
  EXPECT_EQ(screenPixel(tipShot, tr.left + 2, (tr.top + tr.bottom) / 2), GetSysColor(COLOR_INFOBK)) << "the tip on the screen";
  cairo_surface_destroy(tipShot);
  DestroyWindow(frame);
  DeleteObject(strip);
}
