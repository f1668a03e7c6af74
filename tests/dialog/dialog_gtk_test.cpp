// Dialogs on a real display: a private Xvfb server with the GTK backend shows the
// aggregation-period, parameter and field-kinds dialogs, and a screenshot of the X screen
// (xwd and ImageMagick) shows their face, their white entry fields (the spin field with its
// arrows), the list boxes, progress bar, trackbar and the combo boxes' months.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/gtk_backend.h"
#include "platform/win.h"
#include "tests/window/display_fixture.h"
#include "tests/support/xserver.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"

namespace {

using tw::test::pixelAt;

win::POINT inside(win::HWND h, int dx, int dy) {
  win::RECT r;
  win::GetWindowRect(h, r);
  return win::POINT{r.left + dx, r.top + dy};
}

TEST(DialogsOnDisplay, EntryFieldsListsAndCombosShowInTheScreenshot) {
  ASSERT_TRUE(tw::test::startXvfb(false)) << "Xvfb did not start";
  ASSERT_TRUE(win::UseGtkBackend());

  WindowOpenOptions o;
  o.flags = 0x27;
  o.title = "TarnWalker";
  WindowOpen(o);
  ASSERT_TRUE(tw::test::waitUntilShown(winslot(0).wWindow));

  WDialogLoad(116);
  WDialogShow(20, 40);
  win::HWND period = yycurrentdialog();
  WDialogLoad(110);
  WDialogShow(420, 40);
  WDialogPutReal(1019, 0.93f);
  win::HWND parameters = yycurrentdialog();
  WDialogLoad(900);
  WDialogPutString(2001, "Gauge 410730");
  WDialogPutInteger(2002, 42);
  WDialogShow(20, 330);
  win::HWND kinds = yycurrentdialog();
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  ASSERT_TRUE(tw::test::waitUntilShown(kinds));
  ASSERT_TRUE(tw::test::waitUntilShown(period));
  ASSERT_TRUE(tw::test::waitUntilShown(parameters));

  const std::string png = ::testing::TempDir() + "tarnwalker-dialogs.png";
  cairo_surface_t* shot = tw::test::xwdScreenshot(png);
  ASSERT_NE(shot, nullptr) << "xwd or convert failed";
  std::printf("screenshot: %s\n", png.c_str());

  const win::COLORREF face = win::GetSysColor(win::COLOR_BTNFACE), white = win::RGB(255, 255, 255);
  // The dialog face beside the fields, white entry fields (the number-of-months field is
  // read-only and keeps the face), a white list box.
  const win::POINT p1 = inside(period, 8, 60);
  EXPECT_EQ(pixelAt(shot, p1.x, p1.y), face);
  const win::POINT p2 = inside(win::GetDlgItem(parameters, 1019), 4, 3);
  EXPECT_EQ(pixelAt(shot, p2.x, p2.y), white);
  const win::POINT p3 = inside(win::GetDlgItem(kinds, 2014), 40, 30);
  EXPECT_EQ(pixelAt(shot, p3.x, p3.y), white);
  // Ink of the combo box's month in its selection field.
  auto dark = [](win::COLORREF c) { return win::GetRValue(c) < 96 && win::GetGValue(c) < 96 && win::GetBValue(c) < 96; };
  win::RECT combo;
  win::GetWindowRect(win::GetDlgItem(period, 1034), combo);
  int ink = 0;
  for (int y = combo.top + 2; y < combo.top + 20; ++y)
    for (int x = combo.left + 2; x < combo.left + 40; ++x) ink += dark(pixelAt(shot, x, y));
  EXPECT_GT(ink, 10);
  cairo_surface_destroy(shot);

  windowclose();
  tw::test::stopXvfb();
}

}  // namespace
