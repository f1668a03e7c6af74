// Root window: opening in both forms, its frame, status bar and client area, and closing.
#include <gtest/gtest.h>

#include "platform/dialog.h"
#include "platform/statusbar.h"
#include "tests/window/window_fixture.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/text/errors.h"

namespace {

using twtest::WindowFixture;

win::RECT clientRect(win::HWND h) {
  win::RECT r;
  win::GetClientRect(h, r);
  return r;
}

win::RECT windowRect(win::HWND h) {
  win::RECT r;
  win::GetWindowRect(h, r);
  return r;
}

using WindowOpenTest = WindowFixture;

TEST_F(WindowOpenTest, DefaultSizeIsFourFifthsOfTheScreen) {
  twtest::useScreen(1024, 768);
  open();
  EXPECT_EQ(tessar.window.ROOTOPEN, 1);
  EXPECT_EQ(tessar.window.CURWIDTH, 819);
  EXPECT_EQ(tessar.window.CURHEIGHT, 614);
  EXPECT_EQ(clientRect(winslot(0).hClient).right, 819);
  EXPECT_EQ(clientRect(winslot(0).hClient).bottom, 614);
  // Centred on the screen.
  const win::RECT f = windowRect(winslot(0).wWindow);
  EXPECT_EQ(f.left, (1024 - (f.right - f.left)) / 2);
  EXPECT_EQ(f.top, (768 - (f.bottom - f.top)) / 2);
  EXPECT_TRUE(win::IsWindowVisible(winslot(0).wWindow));
  EXPECT_EQ(win::GetFocus(), winslot(0).hClient);
  EXPECT_EQ(tessar.window.WINFLAGS[0], 7);
  // Every event type starts with its default.
  for (int t = 1; t <= 16; ++t) {
    int flag = -1;
    yyinfomessage(t, flag);
    EXPECT_EQ(flag, wMessageDefault[static_cast<std::size_t>(t - 1)]) << "type " << t;
  }
}

// The recorder and the graphics core sit below the window layer and reach it, the message
// box, the program's end and the chart reset only through what the opening installs.
TEST_F(WindowOpenTest, OpeningFillsTheServiceTablesOfTheLayersBelow) {
  reportservices = ReportServices{};
  graphicsservices = GraphicsServices{};
  tessar.pgraph = PgraphRegion{};
  open();
  EXPECT_NE(reportservices.rootstatustext, nullptr);
  EXPECT_NE(reportservices.WMessageBox, nullptr);
  EXPECT_NE(reportservices.iosexitprogram, nullptr);
  EXPECT_NE(graphicsservices.yypgreset, nullptr);
  // The graphics reset of the opening put the chart defaults in.
  EXPECT_EQ(tessar.pgraph.plot.PGTYPE, 4);
  EXPECT_EQ(tessar.pgraph.plot.NSETS, 500);
}

TEST_F(WindowOpenTest, SecondCallChangesNothing) {
  WindowOpenOptions o;
  o.width = 300;
  o.height = 200;
  o.title = "First";
  open(o);
  win::HWND frame = winslot(0).wWindow;
  WindowOpenOptions again;
  again.width = 600;
  again.title = "Second";
  open(again);
  EXPECT_EQ(winslot(0).wWindow, frame);
  EXPECT_EQ(clientRect(winslot(0).hClient).right, 300);
  EXPECT_EQ(win::test::topLevelWindows().size(), 1u);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(WindowOpenTest, NegativePositionCentresOnlyInTheRecordForm) {
  WindowRecord rec;
  rec.x = -1;
  rec.y = 10;
  rec.width = 400;
  rec.height = 300;
  rec.title = "Record form" + std::string(69, ' ');
  WindowOpen(rec);
  win::RECT f = windowRect(winslot(0).wWindow);
  EXPECT_EQ(f.left, (1280 - (f.right - f.left)) / 2);
  EXPECT_EQ(f.top, 10);
  std::string title(80, '\0');
  win::GetWindowText(winslot(0).wWindow, title.data(), 80);
  EXPECT_STREQ(title.c_str(), "Record form");   // trailing blanks removed
  windowclose();

  WindowOpenOptions o;
  o.x = -1;
  o.y = 10;
  o.width = 400;
  o.height = 300;
  open(o);
  EXPECT_EQ(windowRect(winslot(0).wWindow).left, -1);
}

TEST_F(WindowOpenTest, FlagsShapeTheFrameAndTheStatusBar) {
  struct Case {
    const char* why;
    int flags;
    bool statusbar, grip, sizing, visible;
  };
  const Case cases[] = {
      {"status bar with a size grip", 0x27, true, true, true, true},
      {"fixed size: no sizing border and no grip", 0x67, true, false, false, true},
      {"fixed size without a status bar", 0x47, false, false, false, true},
      {"hidden: created but not shown", 0xA7, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    WindowOpenOptions o;
    o.flags = c.flags;
    o.width = 500;
    o.height = 300;
    open(o);
    EXPECT_EQ(winslot(0).wMessLine != nullptr, c.statusbar);
    const auto style = static_cast<win::DWORD>(win::GetWindowLong(winslot(0).wWindow, win::GWL_STYLE));
    EXPECT_EQ((style & win::WS_THICKFRAME) != 0, c.sizing);
    if (winslot(0).wMessLine != nullptr) {
      const auto sb = static_cast<win::DWORD>(win::GetWindowLong(winslot(0).wMessLine, win::GWL_STYLE));
      EXPECT_EQ((sb & win::SBARS_SIZEGRIP) != 0, c.grip);
      // The status bar is under the client area, which keeps the size asked for.
      const win::RECT client = windowRect(winslot(0).hClient), bar = windowRect(winslot(0).wMessLine);
      EXPECT_EQ(bar.top, client.bottom);
      EXPECT_EQ(winslot(0).partlist[1], -1);
    }
    EXPECT_EQ(clientRect(winslot(0).hClient).right, 500);
    EXPECT_EQ(clientRect(winslot(0).hClient).bottom, 300);
    EXPECT_EQ(win::IsWindowVisible(winslot(0).wWindow) != 0, c.visible);
    EXPECT_EQ(wHideRoot, c.visible ? 0 : 1);
    if (!c.visible) {
      EXPECT_NE(win::GetFocus(), winslot(0).hClient);
    }
    windowclose();
  }
}

TEST_F(WindowOpenTest, MaximisedWindowRestoresToTheSizeAskedFor) {
  WindowOpenOptions o;
  o.flags = 0x2F;
  o.width = 400;
  o.height = 250;
  open(o);
  EXPECT_TRUE(win::IsZoomed(winslot(0).wWindow));
  const win::RECT max = clientRect(winslot(0).hClient);
  EXPECT_GT(max.right, 1000);
  EXPECT_EQ(tessar.window.CURWIDTH, max.right);
  EXPECT_EQ(windowRect(winslot(0).wMessLine).top, windowRect(winslot(0).hClient).bottom);
  win::ShowWindow(winslot(0).wWindow, win::SW_RESTORE);
  EXPECT_EQ(clientRect(winslot(0).hClient).right, 400);
  EXPECT_EQ(clientRect(winslot(0).hClient).bottom, 250);
}

TEST_F(WindowOpenTest, ColourCountOutsideTheChoicesIsSixteen) {
  // Taken as 16 without a report; the window opens as usual.
  WindowOpenOptions o;
  o.colours = 20;
  open(o);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(tessar.window.ROOTOPEN, 1);
}

TEST_F(WindowOpenTest, MissingDialogIsReportedAndTheWindowOpens) {
  int dialog = 31999;
  WindowOpenOptions o;
  o.width = 320;
  o.height = 240;
  o.dialog = &dialog;
  open(o);
  EXPECT_EQ(dialog, -1);
  EXPECT_EQ(tessar.error.LASTERROR, 1007);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 0);
  EXPECT_EQ(clientRect(winslot(0).hClient).right, 320);
}

TEST_F(WindowOpenTest, MenuNumberBringsTheMenuItsAcceleratorsAndPrompts) {
  WindowOpenOptions o;
  o.menu = 30001;
  o.width = 400;
  o.height = 300;
  open(o);
  EXPECT_NE(win::GetMenu(winslot(0).wWindow), nullptr);
  EXPECT_EQ(winslot(0).hMenuRoot, win::GetMenu(winslot(0).wWindow));
  EXPECT_NE(winslot(0).hAccel, nullptr);
  EXPECT_NE(winslot(0).hVXKMenuString, nullptr);
  // The client keeps the size asked for under the menu bar.
  EXPECT_EQ(clientRect(winslot(0).hClient).right, 400);
  EXPECT_EQ(clientRect(winslot(0).hClient).bottom, 300);
  windowclose();
  // A menu number without a MENU resource: a window without a menu, and no report.
  o.menu = 30999;
  open(o);
  EXPECT_EQ(win::GetMenu(winslot(0).wWindow), nullptr);
  EXPECT_EQ(winslot(0).hAccel, nullptr);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(WindowOpenTest, DialogsThatCannotBeCombinedAreReported) {
  struct Case { const char* why; int dialog, code, error; };
  const Case cases[] = {
      {"a dialog with a caption has the wrong style", 120, -2, 1045},
      {"no such DIALOG resource", 31999, -1, 1007},
      {"a fitting dialog without a dialog layer to load it", 121, -4, 1088},
  };
  // The program links the dialog layer; these cases are the window layer's own answers.
  const auto layer = combinedialog;
  combinedialog = nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    int dialog = c.dialog;
    WindowOpenOptions o;
    o.width = 320;
    o.height = 240;
    o.dialog = &dialog;
    open(o);
    EXPECT_EQ(dialog, c.code);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
    EXPECT_EQ(clientRect(winslot(0).hClient).right, 320);
    EXPECT_EQ(yyframerecord(winslot(0).wWindow), nullptr);
    windowclose();
    tessar.error.LASTERROR = 0;
  }
  combinedialog = layer;
}

win::INT_PTR plainDialogProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM) { return win::FALSE; }

TEST_F(WindowOpenTest, CombinedDialogFillsAFixedSizeWindow) {
  combinedialog = [](int dialog, win::HWND client, bool show) {
    win::HWND d = win::CreateDialogParam(win::GetModuleHandle(nullptr), win::MAKEINTRESOURCE(dialog), client,
                                         plainDialogProc, 0);
    if (d && show) win::ShowWindow(d, win::SW_SHOW);
    return d;
  };
  int dialog = 121;
  WindowOpenOptions o;
  o.flags = 0x0F;   // asks for a maximise box and a maximised window
  o.dialog = &dialog;
  open(o);
  combinedialog = nullptr;
  EXPECT_EQ(dialog, 121);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 121);
  const FrameRecord* r = yyframerecord(winslot(0).wWindow);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->word[FR_KIND], SW_DIALOGWINDOW);
  win::HWND dlg = win::LongToHandle<win::HWND>(r->word[DW_DIALOG]);
  EXPECT_EQ(clientRect(winslot(0).hClient).right, windowRect(dlg).right - windowRect(dlg).left);
  EXPECT_EQ(clientRect(winslot(0).hClient).bottom, windowRect(dlg).bottom - windowRect(dlg).top);
  // Not resizable: no maximise box, no sizing border, not maximised.
  const auto style = static_cast<win::DWORD>(win::GetWindowLong(winslot(0).wWindow, win::GWL_STYLE));
  EXPECT_EQ(style & win::WS_MAXIMIZEBOX, 0u);
  EXPECT_EQ(style & win::WS_THICKFRAME, 0u);
  EXPECT_FALSE(win::IsZoomed(winslot(0).wWindow));
  windowclose();
  EXPECT_FALSE(win::IsWindow(dlg));
  EXPECT_EQ(bDlgRoot, 0);
}

TEST_F(WindowOpenTest, BackgroundColourFillsTheClientArea) {
  WindowOpenOptions o;
  o.width = 100;
  o.height = 80;
  o.background = 0x0000FF;   // red
  open(o);
  win::InvalidateRect(winslot(0).hClient, nullptr, win::TRUE);
  win::UpdateWindow(winslot(0).hClient);
  EXPECT_EQ(win::test::pixel(winslot(0).hClient, 50, 40), win::RGB(255, 0, 0));
}

// The program used to end with status 0 here, as if it had succeeded.
TEST(WindowOpenDeathTest, WindowThatCannotBeMadeEndsTheProgramWithFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* service : {"RegisterClass", "CreateWindowEx"}) {
    SCOPED_TRACE(service);
    EXPECT_EXIT(
        {
          win::test::reset();
          win::test::failNextWindowCall(service);
          WindowOpen();
        },
        ::testing::ExitedWithCode(1), "");
  }
}

using WindowCloseTest = WindowFixture;

TEST_F(WindowCloseTest, LeavesNoWindowObjectOrTimerBehind) {
  WindowOpenOptions o;
  o.flags = 0x27;
  open(o);
  yysettimer(20, 5, 1);
  yysettimer(20, 6, 0);
  wmessageenable(5, 1);
  wmessageenable(16, 1);
  WCursorShape(3);
  EXPECT_NE(gBitmap, nullptr);
  windowclose();
  EXPECT_EQ(gBitmap, nullptr);
  EXPECT_TRUE(win::test::topLevelWindows().empty());
  for (int w = 0; w < MAXWINDOWS; ++w) {
    EXPECT_EQ(winslot(w).wWindow, nullptr);
    EXPECT_EQ(winslot(w).hClient, nullptr);
    EXPECT_EQ(winslot(w).wMessLine, nullptr);
  }
  EXPECT_EQ(hWindowFont, nullptr);
  EXPECT_EQ(wDC, nullptr);
  EXPECT_EQ(tessar.window.ROOTOPEN, 0);
  EXPECT_EQ(tessar.window.WINFLAGS[0], -1);
  EXPECT_EQ(wMessageEnabled, wMessageDefault);
  // No timer of the closed windows is left to fire: nothing is left to dispatch.
  win::test::advanceTime(1000);
  EXPECT_EQ(win::test::runUntilIdle(), 0);
  // The program may open its window again.
  open();
  EXPECT_EQ(tessar.window.ROOTOPEN, 1);
}

}  // namespace
