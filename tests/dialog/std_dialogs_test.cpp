// The standard dialogs besides file selection, on the headless backend driven by keys as a
// user would: the page set-up over the platform's printers (the PDF printer, A4 landscape
// and margins coming back in the printer settings that printing reads; cancel; units),
// the colour chooser, the directory browser's checks, and the measurement system.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/message_box.h"
#include "platform/printer.h"
#include "platform/test_api.h"
#include "tests/support/scripted_user.h"
#include "tests/window/window_fixture.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/raster/printer_info.h"
#include "toolkit/state/tessar.h"

namespace fs = std::filesystem;

namespace {

using tw::test::pressed;
using tw::test::Step;
using tw::test::typed;

// Replaces what the focused edit field holds, as a user selecting it all and typing.
Step retyped(const std::string& text) {
  return [text] {
    win::test::pressKey(win::VK_END);
    win::test::pressKey(win::VK_HOME, win::test::kShift);
    win::test::typeText(text);
  };
}
Step alt(char letter) {
  return [letter] { win::test::pressKey(letter, win::test::kAlt); };
}

class StandardDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::reset();
    tessarreset();
    win::test::clearMessageBoxes();
    // An office printer on Letter paper (the default) and the PDF printer.
    win::test::setPrinters({{"Office", "cups", "ipp://office", 5100, 6600, 600, 600, 2, true},
                            {"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, false}});
  }
  void TearDown() override {
    win::test::setIdleHook(nullptr);
    win::test::resetPrinters();
    win::test::reset();
  }
};

struct Page {
  int paperwidth = 0, paperheight = 0, printwidth = 0, printheight = 0, left = 0, top = 0;
  int orientation = 0, copies = 1, colours = 99, result = -1;
  void run(int units) {
    yyprintdialog(paperwidth, paperheight, printwidth, printheight, left, top, orientation, copies, units, colours,
                  result);
  }
};

TEST_F(StandardDialogs, PageSetupChoosingThePdfPrinterA4LandscapeAndMargins) {
  PrinterSettings& ps = tessar.raster.printersettings;
  Page p;
  p.printwidth = 17590;   // Letter portrait, 10 mm margins, in hundredths of a millimetre
  p.printheight = 25940;
  p.left = p.top = 1000;
  tw::test::scriptuser({pressed(win::VK_DOWN),           // printer: the PDF printer
                        pressed(win::VK_TAB), pressed(win::VK_HOME),   // paper: A4
                        alt('L'),                        // landscape
                        alt('E'), retyped("20"), alt('T'), retyped("15"), alt('G'), retyped("10"),
                        alt('B'), retyped("12.5"),
                        [] {
                          win::test::savePng(win::GetActiveWindow(), std::string(TW_SHOT_DIR) + "/page_setup.png", false);
                          win::test::pressKey(win::VK_RETURN);
                        }});
  p.run(2);
  ASSERT_EQ(p.result, 1);
  EXPECT_EQ(p.paperwidth, 29700) << "A4 turned: the long side across";
  EXPECT_EQ(p.paperheight, 21000);
  EXPECT_EQ(p.left, 2000);
  EXPECT_EQ(p.top, 1500);
  EXPECT_EQ(p.printwidth, 29700 - 2000 - 1000);
  EXPECT_EQ(p.printheight, 21000 - 1500 - 1250);
  EXPECT_EQ(p.orientation, 1);
  EXPECT_EQ(p.colours, -1) << "the PDF printer is a colour printer";
  EXPECT_STREQ(ps.lpPrintType.data(), "Print to PDF file");
  EXPECT_STREQ(ps.lpPrintDriver.data(), "pdf");
  EXPECT_STREQ(ps.lpPrintPort.data(), "FILE:");
  EXPECT_EQ(ps.PageDlgShown, 1);
  EXPECT_EQ(ps.prSize, win::DMPAPER_A4);
  EXPECT_EQ(ps.prWidth, 2100);
  EXPECT_EQ(ps.prLength, 2970);

  // What printing reads: the chosen printer's device mode and page.
  win::DEVMODE mode;
  ASSERT_TRUE(yywprdevmode(p.orientation, p.copies, mode));
  EXPECT_EQ(mode.dmPaperSize, win::DMPAPER_A4);
  EXPECT_EQ(mode.dmOrientation, win::DMORIENT_LANDSCAPE);
  win::HIC ic = win::CreateIC(ps.lpPrintDriver.data(), ps.lpPrintType.data(), nullptr, &mode);
  ASSERT_NE(ic, nullptr);
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALWIDTH), 7016);
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALHEIGHT), 4961);
  win::DeleteDC(ic);

  // A cancel changes nothing; the next OK starts from the PDF printer's A4, now in
  // thousandths of an inch.
  Page again = p;
  tw::test::scriptuser({pressed(win::VK_ESCAPE)});
  again.run(1);
  EXPECT_EQ(again.result, 0);
  EXPECT_EQ(again.paperwidth, p.paperwidth);
  EXPECT_STREQ(ps.lpPrintType.data(), "Print to PDF file");
  Page inches;
  inches.orientation = 1;
  inches.left = inches.top = 500;
  inches.printwidth = 10693;
  inches.printheight = 7268;
  tw::test::scriptuser({pressed(win::VK_RETURN)});
  inches.run(1);
  ASSERT_EQ(inches.result, 1);
  EXPECT_EQ(inches.paperwidth, 11693);
  EXPECT_EQ(inches.paperheight, 8268);
  EXPECT_EQ(inches.left, 500);
  EXPECT_EQ(inches.printwidth, 10693);
  EXPECT_STREQ(ps.lpPrintType.data(), "Print to PDF file");
}

TEST_F(StandardDialogs, PageSetupStartsFromTheDefaultPrinterAndRefusesABadMargin) {
  PrinterSettings& ps = tessar.raster.printersettings;
  Page p;
  p.printwidth = 6500;   // Letter portrait in thousandths of an inch, 1 inch margins
  p.printheight = 9000;
  p.left = p.top = 1000;
  // "abc" as a margin is refused with a box and the field keeps the focus; 0.75 is then taken.
  tw::test::scriptuser({alt('E'), retyped("abc"), pressed(win::VK_RETURN), retyped("0.75"), pressed(win::VK_RETURN)});
  p.run(1);
  ASSERT_EQ(p.result, 1);
  ASSERT_EQ(win::test::messageBoxes().size(), 1u);
  EXPECT_EQ(p.paperwidth, 8500);
  EXPECT_EQ(p.paperheight, 11000);
  EXPECT_EQ(p.left, 750);
  EXPECT_EQ(p.printwidth, 8500 - 750 - 1000);
  EXPECT_EQ(p.colours, 2) << "the office printer prints black only";
  EXPECT_STREQ(ps.lpPrintType.data(), "Office");
  EXPECT_EQ(ps.prSize, win::DMPAPER_LETTER);
}

TEST_F(StandardDialogs, ColourChooser) {
  int red = 10, green = 20, blue = 30, result = -1, error = -1;
  tw::test::scriptuser({retyped("200"), pressed(win::VK_TAB), retyped("100"), pressed(win::VK_TAB), retyped("50"),
                        pressed(win::VK_RETURN)});
  yygetrgbdialog(red, green, blue, result, error);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(red, 200);
  EXPECT_EQ(green, 100);
  EXPECT_EQ(blue, 50);
  tw::test::scriptuser({retyped("7"), pressed(win::VK_ESCAPE)});
  yygetrgbdialog(red, green, blue, result, error);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(red, 200) << "a cancel leaves the colour";
}

class SelectDirectory : public StandardDialogs {
 protected:
  void SetUp() override {
    StandardDialogs::SetUp();
    dir = fs::temp_directory_path() / ("tw_selectdir_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "data");
    std::ofstream(dir / "file.txt") << "x";
  }
  void TearDown() override {
    fs::remove_all(dir);
    StandardDialogs::TearDown();
  }
  fs::path dir;
};

TEST_F(SelectDirectory, TheChecksOfATypedDirectory) {
  struct Case {
    const char* why;
    int flags;
    std::string typed;   // under dir
    int boxkey;
    const char* boxtitle;   // nullptr: no box
    int answer;
    bool created;
  };
  const Case cases[] = {
      {"an existing directory", 0, "data", 0, nullptr, 1, false},
      {"flags 0: a missing directory is refused and the browser stays", 0, "new", 0, "Invalid Directory", 2, false},
      {"a file is no directory", 0, "file.txt", 0, "Invalid Directory", 2, false},
      {"flag 4: a missing directory is taken as it is", 4, "new", 0, nullptr, 1, false},
      {"flag 64, Yes: created", 64, "new", 'Y', "Create Directory?", 1, true},
      {"flag 64, No: the browser stays", 64, "other", 'N', "Create Directory?", 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::test::clearMessageBoxes();
    char buffer[300] = {};
    std::strcpy(buffer, dir.c_str());
    const std::string path = (dir / c.typed).string();
    tw::test::scriptuser({retyped(path), pressed(win::VK_RETURN)}, c.boxkey != 0 ? std::deque<int>{c.boxkey} : std::deque<int>{});
    int answer = 0;
    yyselectdir(1, answer, c.flags, buffer, "Folder for the results", sizeof buffer);
    EXPECT_EQ(answer, c.answer);
    if (c.boxtitle == nullptr) {
      EXPECT_TRUE(win::test::messageBoxes().empty());
    } else {
      ASSERT_EQ(win::test::messageBoxes().size(), 1u);
      EXPECT_EQ(win::test::messageBoxes()[0].title, c.boxtitle);
    }
    if (c.answer == 1) {
      EXPECT_STREQ(buffer, path.c_str());
    }
    EXPECT_EQ(fs::is_directory(path), c.created || c.typed == "data");
    if (c.created) fs::remove(path);
  }
}

class Placing : public twtest::WindowFixture {};

TEST_F(Placing, OptionDialogsShowAtTheClientOriginOfAWindow) {
  openMainWindow();
  int x = -1, y = -1;
  yygetwindlgpos(0, 0, 0, x, y);
  win::POINT origin{0, 0};
  win::ClientToScreen(winslot(0).hClient, origin);
  EXPECT_EQ(x, origin.x);
  EXPECT_EQ(y, origin.y);
  EXPECT_GT(y, 0) << "below the caption and menu bar";

  WDialogLoad(110);
  yyshowcd(0, 2, 0);
  win::HWND dialog = yycurrentdialog();
  ASSERT_NE(dialog, nullptr);
  win::RECT r;
  win::GetWindowRect(dialog, r);
  EXPECT_EQ(r.left, x);
  EXPECT_EQ(r.top, y);
  // -1: the current dialog's own client origin.
  win::POINT inner{0, 0};
  win::ClientToScreen(dialog, inner);
  yygetwindlgpos(-1, 0, 0, x, y);
  EXPECT_EQ(x, inner.x);
  EXPECT_EQ(y, inner.y);
  WDialogUnload();
}

TEST(MeasurementSystem, TheLocaleDecides) {
  // The C locale measures in metric; so does a locale that is not installed.
  const char* saved = std::getenv("LC_ALL");
  const std::string keep = saved != nullptr ? saved : "";
  for (const char* locale : {"C", "xx_NOWHERE.UTF-8"}) {
    ::setenv("LC_ALL", locale, 1);
    int measure = 0;
    yygetmeasure(measure);
    EXPECT_EQ(measure, 2) << locale;
  }
  if (saved != nullptr) ::setenv("LC_ALL", keep.c_str(), 1);
  else ::unsetenv("LC_ALL");
}

}  // namespace
