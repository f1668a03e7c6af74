// The program's main window on a real display: a private Xvfb server with the GTK backend;
// the window opens with menu 30001, toolbar 30101 and the status bar, and a screenshot of the
// X screen (xwd and ImageMagick) shows the menu bar, the button images and the bar's text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/gtk_backend.h"
#include "platform/menu_toolbar.h"
#include "platform/surface.h"
#include "platform/win.h"
#include "tests/support/xserver.h"
#include "tests/window/display_fixture.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmenus.h"

namespace {

using tw::test::pixelAt;

// Screen pixels in a rectangle that differ from a colour.
int differing(cairo_surface_t* s, const win::RECT& r, win::COLORREF from) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += pixelAt(s, x, y) != from ? 1 : 0;
  return n;
}

TEST(MainWindowOnDisplay, MenuToolbarAndStatusBarInTheScreenshot) {
  ASSERT_TRUE(tw::test::startXvfb(false)) << "Xvfb did not start";
  ASSERT_TRUE(win::UseGtkBackend());

  WindowOpenOptions o;
  o.flags = 39;
  o.menu = 30001;
  o.title = "TarnWalker";
  WindowOpen(o);
  wmenuroot(30001);
  WMenuToolbar(30101);
  WMenuSetState(40006, 1, 0);   // Save greyed, as before a project is open
  windowoutstatusbar(1, "Tarnwalker file:   None");
  ASSERT_EQ(tessar.error.LASTERROR, 0);

  ASSERT_TRUE(tw::test::waitUntilShown(winslot(0).wWindow));

  const std::string png = "/tmp/root-gtk.png";
  cairo_surface_t* shot = tw::test::xwdScreenshot(png);
  ASSERT_NE(shot, nullptr) << "xwd or convert failed";
  std::printf("screenshot: %s\n", png.c_str());

  const win::COLORREF face = win::GetSysColor(win::COLOR_BTNFACE);
  // Each button's image shows on the screen where the toolbar says the button is.
  for (int command : {40024, 40009, 40004, 40014, 40005}) {
    SCOPED_TRACE(command);
    win::RECT r{};
    ASSERT_TRUE(win::SendMessage(winslot(0).hToolbar[0], win::TB_GETRECT, static_cast<win::WPARAM>(command),
                                 reinterpret_cast<win::LPARAM>(&r)));
    win::POINT tl{r.left + 3, r.top + 3}, br{r.right - 3, r.bottom - 3};
    win::ClientToScreen(winslot(0).hToolbar[0], tl);
    win::ClientToScreen(winslot(0).hToolbar[0], br);
    EXPECT_GT(differing(shot, win::RECT{tl.x, tl.y, br.x, br.y}, face), 20);
  }
  // The menu bar's words and the status bar's text are inked on the face colour.
  win::NcLayout l;
  ASSERT_TRUE(win::GetNcLayout(winslot(0).wWindow, l));
  win::RECT fr, bar, client;
  win::GetWindowRect(winslot(0).wWindow, fr);
  win::GetWindowRect(winslot(0).wMessLine, bar);
  win::GetWindowRect(winslot(0).hClient, client);
  const win::RECT menu{fr.left + l.menuBar.left, fr.top + l.menuBar.top, fr.left + l.menuBar.left + 150,
                       fr.top + l.menuBar.bottom};
  EXPECT_GT(differing(shot, menu, face), 40);
  EXPECT_GT(differing(shot, win::RECT{bar.left + 3, bar.top + 3, bar.left + 150, bar.bottom - 2}, face), 60);
  EXPECT_EQ(pixelAt(shot, (client.left + client.right) / 2, (client.top + client.bottom) / 2), win::RGB(255, 255, 255));
  cairo_surface_destroy(shot);

  windowclose();
  tw::test::stopXvfb();
}

}  // namespace
