// The root window on a real display: a private Xvfb server with the GTK backend; the window
// opens at its default size with a status bar showing a text, and a screenshot of the X
// screen (xwd and ImageMagick) shows the bar, its text and the white client area.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/gtk_backend.h"
#include "platform/win.h"
#include "tests/support/xserver.h"
#include "tests/window/display_fixture.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"

namespace {

using tw::test::pixelAt;

TEST(WindowOpenOnDisplay, StatusBarTextShowsInTheScreenshot) {
  ASSERT_TRUE(tw::test::startXvfb(false)) << "Xvfb did not start";
  ASSERT_TRUE(win::UseGtkBackend());

  WindowOpenOptions o;
  o.flags = 0x27;
  o.title = "TarnWalker";
  WindowOpen(o);
  EXPECT_EQ(tessar.window.CURWIDTH, 819);   // 80 per cent of the 1024-pixel screen
  windowoutstatusbar(1, "Tarnwalker file:   None");

  ASSERT_TRUE(tw::test::waitUntilShown(winslot(0).wWindow));

  const std::string png = ::testing::TempDir() + "tarnwalker-root-window.png";
  cairo_surface_t* shot = tw::test::xwdScreenshot(png);
  ASSERT_NE(shot, nullptr) << "xwd or convert failed";
  std::printf("screenshot: %s\n", png.c_str());

  win::RECT bar, client;
  win::GetWindowRect(winslot(0).wMessLine, bar);
  win::GetWindowRect(winslot(0).hClient, client);
  EXPECT_EQ(pixelAt(shot, (client.left + client.right) / 2, (client.top + client.bottom) / 2), win::RGB(255, 255, 255));
  // The bar's face, and the text's ink at the left of the bar.
  EXPECT_EQ(pixelAt(shot, bar.right - 60, bar.top + 4), win::GetSysColor(win::COLOR_BTNFACE));
  // Text is smoothed at its edges: count the dark pixels.
  auto dark = [](win::COLORREF c) { return win::GetRValue(c) < 96 && win::GetGValue(c) < 96 && win::GetBValue(c) < 96; };
  int ink = 0;
  for (int y = bar.top + 3; y < bar.bottom - 2; ++y)
    for (int x = bar.left + 3; x < bar.left + 150; ++x) ink += dark(pixelAt(shot, x, y));
  EXPECT_GT(ink, 60);
  cairo_surface_destroy(shot);

  windowclose();
  tw::test::stopXvfb();
}

}  // namespace
