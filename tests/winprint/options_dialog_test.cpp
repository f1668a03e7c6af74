// The hardcopy option dialogs driven as a user drives them: the metafile's format dialog
// (kind, file or clipboard, name), the page dialog of PostScript (units, orientation,
// format, Cancel putting everything back), the printer's page set-up (the page it is given in
// its units, a choice of printer, orientation and margins reaching the options and the page,
// Cancel), and the guards of WHardcopyOptions.
#include <array>
#include <filesystem>
#include <string>

#include "platform/native_dialogs.h"
#include "platform/printer.h"
#include "platform/test_api.h"
#include "tests/dialog/dialog_fixture.h"
#include "tests/support/scripted_user.h"
#include "toolkit/hardcopy/printer_models.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/winprint/hcoptions.h"
#include "toolkit/winprint/wdrivers.h"

namespace {

using namespace win;
using tw::test::Step;
using tw::test::pressed;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }

class OptionDialogs : public dlgtest::DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    yyinstallhardcopy();
    yyinstallwinprint();
  }
  // A click on a field of the dialog up now.
  static Step clickfield(int id) {
    return [id] { clickOn(field(id)); };
  }
  // The dialog of the toolkit up now, or the window that has the focus (a platform dialog).
  static Step shot(const std::string& name, bool active = false) {
    return [name, active] {
      const std::filesystem::path keep = std::filesystem::temp_directory_path() / "tw-winprint-renderings";
      std::filesystem::create_directories(keep);
      test::savePng(active ? GetActiveWindow() : dialog(), (keep / name).string());
      test::pressKey(VK_SHIFT);  // a step gives input
    };
  }
};

TEST_F(OptionDialogs, MetafileKindNameAndClipboardReachTheOptions) {
  igrhardcopyselect(1, HCWMF);
  ASSERT_EQ(option(27), 1);
  std::string name;
  // The name is blank: the dialog starts on the clipboard. Typing a name chooses the file;
  // the enhanced metafile from the kind list turns its extension to ".emf".
  tw::test::scriptuser({clickfield(1201), tw::test::typed("flows"), clickfield(1027), tw::test::pressed(VK_DOWN),
                        tw::test::pressed(VK_RETURN), shot("options-metafile.png"), clickfield(IDOK)});
  WHardcopyOptions(3, &name);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(name, "flows.emf");
  EXPECT_EQ(option(27), 2);
  EXPECT_EQ(tessar.error.LASTERROR, 0);

  // Back to the clipboard: OK gives a blank name, the driver's sign for the clipboard.
  name = "flows.emf";
  tw::test::scriptuser({clickfield(4001), clickfield(IDOK)});
  WHardcopyOptions(3, &name);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(name, "");
}

TEST_F(OptionDialogs, PostScriptPageInCentimetresOrientationAndCancel) {
  igrhardcopyselect(1, HCPOSTSCRIPT);
  const int width = option(1), height = option(2), orientation = option(5);
  std::string name = "C:/out/plot";
  // Cancel after changing everything: nothing changes.
  tw::test::scriptuser({clickfield(1209), clickfield(1203), tw::test::pressed(VK_DOWN), tw::test::pressed(VK_RETURN),
                        clickfield(IDCANCEL)});
  WHardcopyOptions(2, &name);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.DLGANSWER, 0);
  EXPECT_EQ(option(1), width);
  EXPECT_EQ(option(2), height);
  EXPECT_EQ(option(5), orientation);
  EXPECT_EQ(name, "C:/out/plot");

  // A width typed in centimetres, the other orientation and the EPS format, confirmed.
  tw::test::scriptuser({clickfield(orientation == 0 ? 1209 : 1208), clickfield(1001), tw::test::pressed(VK_END), tw::test::pressed(VK_BACK),
                        tw::test::pressed(VK_BACK), tw::test::pressed(VK_BACK), tw::test::pressed(VK_BACK),
                        tw::test::pressed(VK_BACK), tw::test::pressed(VK_BACK), tw::test::pressed(VK_BACK),
                        tw::test::pressed(VK_BACK), tw::test::pressed(VK_BACK), tw::test::pressed(VK_BACK),
                        tw::test::typed("10"), clickfield(1203),
                        tw::test::pressed(VK_DOWN), tw::test::pressed(VK_RETURN), shot("options-postscript.png"),
                        clickfield(IDOK)});
  WHardcopyOptions(2, &name);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  // The orientation change exchanged the fields first; the typed 10 cm went into the width.
  EXPECT_EQ(option(1), 283);   // 10 / 0.03527778 = 283.46
  EXPECT_EQ(option(2), width);
  EXPECT_EQ(option(5), orientation == 0 ? 1 : 0);
  EXPECT_EQ(option(22), 1);
  EXPECT_EQ(name, "C:/out/plot.eps");
}

// The Details button of the PostScript page: copies, line join and the end-of-job character
// changed in the detail dialog reach the options; Cancel there changes nothing.
TEST_F(OptionDialogs, PostScriptDetailsReachTheOptions) {
  igrhardcopyselect(1, HCPOSTSCRIPT);
  ASSERT_EQ(option(10), 0);
  ASSERT_EQ(option(15), 1);
  std::string name = "plot.ps";
  // The detail dialog is modal: its window is the dialog manager's modal slot.
  const auto inmodal = [](int id) -> Step { return [id] { clickOn(GetDlgItem(dialogtable.hDialogList[0], id)); }; };
  const auto retype = [](const std::string& text) -> Step {
    return [text] {
      test::pressKey(VK_END);
      test::pressKey(VK_HOME, test::kShift);
      test::typeText(text);
    };
  };
  tw::test::scriptuser({clickfield(1207), inmodal(1008), retype("3"), inmodal(1010), pressed(VK_DOWN),
                        pressed(VK_RETURN), inmodal(1015),
                        [] {
                          const std::filesystem::path keep =
                              std::filesystem::temp_directory_path() / "tw-winprint-renderings";
                          test::savePng(dialogtable.hDialogList[0], (keep / "options-postscript-details.png").string());
                          test::pressKey(VK_SHIFT);
                        },
                        inmodal(IDOK), clickfield(IDOK)});
  WHardcopyOptions(2, &name);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(option(8), 3);
  EXPECT_EQ(option(10), 1) << "round joins";
  EXPECT_EQ(option(15), 0);
  EXPECT_EQ(option(11), 0) << "the cap untouched";

  tw::test::scriptuser({clickfield(1207), inmodal(1008), retype("7"), inmodal(IDCANCEL), clickfield(IDOK)});
  WHardcopyOptions(2, &name);
  test::setIdleHook({});
  EXPECT_EQ(option(8), 3) << "the details cancelled";
}

// Every detail dialog behind the Details button loads with the fields of its options and
// confirms without an error: the plotter, HP-GL/2 and each class of raster printer.
TEST_F(OptionDialogs, EveryDetailDialogShowsAndConfirms) {
  struct Case {
    int device, model;
    const char* caption;
  };
  const Case cases[] = {{HCHPGL, 0, "HP-GL Plotter Details"},       {HCHPGL2, 0, "HP-GL/2 Details"},
                        {HCRASTER, 5, "Pin Printer Details"},       {HCRASTER, 10, "Printer Details"},
                        {HCRASTER, 14, "Printer Details"},          {HCRASTER, 21, "Colour Printer Details"},
                        {HCRASTER, 13, "Colour Printer Details"}};
  static std::string caption;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    if (c.model != 0) iprinter(c.model);
    igrhardcopyselect(1, c.device);
    const auto before = tessar.hardcopy.HCOPTIONS;
    tessar.error.LASTERROR = 0;
    caption.clear();
    std::string name = "plot";
    tw::test::scriptuser({clickfield(1207),
                          [] {
                            char text[64] = {};
                            GetWindowText(dialogtable.hDialogList[0], text, sizeof text);
                            caption = text;
                            clickOn(GetDlgItem(dialogtable.hDialogList[0], IDOK));
                          },
                          clickfield(IDOK)});
    WHardcopyOptions(2, &name);
    test::setIdleHook({});
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
    // OK on what was shown changes nothing, but a check box keeps only the odd bit of its
    // option: the pin printers' stream mode 3 becomes 1 (its other bit is for PCL printers).
    for (std::size_t i = 0; i < before.size(); ++i) {
      const bool checkbox = i + 1 == 19 && c.model == 5;
      EXPECT_EQ(checkbox ? before[i] % 2 : before[i], tessar.hardcopy.HCOPTIONS[i]) << "option " << i + 1;
    }
  }
}

TEST_F(OptionDialogs, GuardsOfTheOptions) {
  // No driver selected: error 46 and nothing shown.
  tessar.graphics.operands.HCDEVICE = 0;
  tessar.dialog.DLGANSWER = 7;
  WHardcopyOptions(0);
  EXPECT_EQ(tessar.error.LASTERROR, 46);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 7);
  // A device without an option dialog: the missing template is error 1007, and an answer
  // left by an earlier dialog does not confirm it.
  tessar.dialog.DLGANSWER = 1;
  tessar.graphics.operands.HCDEVICE = 5;
  WHardcopyOptions(0);
  EXPECT_EQ(tessar.error.LASTERROR, 1007);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 0);
  // The Windows printer without a printer: error 63.
  tessar.graphics.operands.HCDEVICE = HCWINPRINTER;
  tessar.hardcopy.settings.PRINTERPRESENT = 0;
  tessar.error.LASTERROR = 0;
  WHardcopyOptions(2);
  EXPECT_EQ(tessar.error.LASTERROR, 63);
}

// The Windows printer's page set-up over an office printer (A4, black and white, the
// default) and the built-in PDF printer (A4, colour).
class PrinterPage : public OptionDialogs {
 protected:
  void SetUp() override {
    OptionDialogs::SetUp();
    test::setPrinters({{"Office", "cups", "ipp://office", 4961, 7016, 600, 600, 2, true, 0},
                       {"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, false, 0}});
    tessar.raster.printersettings = PrinterSettings{};
    igrhardcopyselect(1, HCWINPRINTER);
  }
  void TearDown() override {
    native::dialogs.page = nullptr;
    test::resetPrinters();
    OptionDialogs::TearDown();
  }
  static Step alt(char letter) {
    return [letter] { test::pressKey(letter, test::kAlt); };
  }
  // Replaces what the focused edit field holds.
  static Step retyped(const std::string& text) {
    return [text] {
      test::pressKey(VK_END);
      test::pressKey(VK_HOME, test::kShift);
      test::typeText(text);
    };
  }
  // Everything the set-up may change.
  struct Page {
    std::array<int, 108> options;
    int colours, width, height;
    bool operator==(const Page&) const = default;
  };
  static Page page() {
    return {tessar.hardcopy.HCOPTIONS, tessar.graphics.operands.HCCOLOURS, tessar.hardcopy.settings.PAGEWIDTH,
            tessar.hardcopy.settings.PAGEHEIGHT};
  }
};

// What the dialog is given: the page of options 1-4 in thousandths of an inch or hundredths
// of a millimetre, seen here as the margins of the A4 paper it shows (the right and bottom
// margins are the paper less page and left or top margin). The dialog is then cancelled.
native::PageRequest shownpage;
int keeppage(native::PageRequest& r) {
  shownpage = r;
  return 0;
}

TEST_F(PrinterPage, TheDialogIsGivenThePageInItsUnitsAndCancelChangesNothing) {
  struct Case {
    int mode;
    std::array<int, 5> options;   // 1-5
    const char* unit;
    bool landscape;
    std::array<double, 4> margins;   // in the unit shown
  };
  const Case cases[] = {
      // 756 x 540 points: 26670 x 19050 hundredths of a millimetre, margins 1481 and -705.
      {2, {756, 540, 42, -20, 1}, "mm", true, {14.81, -7.05, 297 - 266.70 - 14.81, 210 - 190.50 + 7.05}},
      // The same page in inches: 10500 x 7500 thousandths, margins 583 and -277; A4 turned is
      // 11693 x 8268 thousandths.
      {1, {756, 540, 42, -20, 1}, "in", true, {0.583, -0.277, 11.693 - 10.5 - 0.583, 8.268 - 7.5 + 0.277}},
      // Upright, mode 3 (millimetres): 17638 x 24694, margins 1270.
      {3, {500, 700, 36, 36, 0}, "mm", false, {12.70, 12.70, 210 - 176.38 - 12.70, 297 - 246.94 - 12.70}},
  };
  native::dialogs.page = keeppage;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    for (int n = 1; n <= 5; ++n) igrhardcopyoptions(n, c.options[static_cast<std::size_t>(n - 1)]);
    const Page before = page();
    tessar.dialog.DLGANSWER = 1;
    shownpage = native::PageRequest{};
    WHardcopyOptions(c.mode);
    EXPECT_STREQ(shownpage.unit, c.unit);
    EXPECT_EQ(shownpage.landscape, c.landscape);
    ASSERT_EQ(shownpage.printers.size(), 2u);
    EXPECT_EQ(shownpage.printers[static_cast<std::size_t>(shownpage.printer)], "Office");
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(shownpage.margins[i], c.margins[static_cast<std::size_t>(i)], 1e-6) << i;
    EXPECT_EQ(tessar.dialog.DLGANSWER, 0);
    EXPECT_TRUE(page() == before) << "a cancelled set-up changes nothing";
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
}

TEST_F(PrinterPage, ChoicesReachTheOptionsAndThePage) {
  // The office printer's page as its driver took it: A4 turned, an inch of margin.
  ASSERT_EQ(tessar.hardcopy.settings.PAGEWIDTH, 841);
  ASSERT_EQ(tessar.hardcopy.settings.PAGEHEIGHT, 595);
  ASSERT_EQ(option(5), 1);
  ASSERT_EQ(option(7), 1) << "the office printer prints black only";
  igrhardcopyoptions(8, 3);

  // The PDF printer, upright, half an inch left and right, an inch top and bottom.
  tw::test::scriptuser({pressed(VK_DOWN), alt('P'), alt('E'), retyped("0.5"), alt('T'), retyped("1"), alt('G'),
                        retyped("0.5"), alt('B'), retyped("1"), shot("options-printer-page.png", true), pressed(VK_RETURN)});
  WHardcopyOptions(1);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_STREQ(tessar.raster.printersettings.lpPrintType.data(), "Print to PDF file");
  // A4 upright is 8268 x 11693 thousandths of an inch: the page 7268 x 9693, in points.
  EXPECT_EQ(option(1), 523);
  EXPECT_EQ(option(2), 698);
  EXPECT_EQ(option(3), 36);
  EXPECT_EQ(option(4), 72);
  EXPECT_EQ(option(5), 0);
  EXPECT_EQ(option(8), 3) << "the copies asked for come back";
  EXPECT_EQ(option(7), 0) << "a colour printer now";
  EXPECT_EQ(tessar.graphics.operands.HCCOLOURS, 256);
  EXPECT_EQ(tessar.hardcopy.settings.PAGEWIDTH, 595) << "upright: the short side across";
  EXPECT_EQ(tessar.hardcopy.settings.PAGEHEIGHT, 842);

  // Another printer and orientation, cancelled: nothing changes.
  const Page chosen = page();
  tw::test::scriptuser({pressed(VK_UP), alt('L'), alt('E'), retyped("2"), pressed(VK_ESCAPE)});
  WHardcopyOptions(1);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.DLGANSWER, 0);
  EXPECT_TRUE(page() == chosen);
  EXPECT_STREQ(tessar.raster.printersettings.lpPrintType.data(), "Print to PDF file");

  // Back to the office printer, turned, in millimetres: black and white again.
  tw::test::scriptuser({pressed(VK_UP), alt('L'), pressed(VK_RETURN)});
  WHardcopyOptions(2);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_STREQ(tessar.raster.printersettings.lpPrintType.data(), "Office");
  EXPECT_EQ(option(5), 1);
  EXPECT_EQ(option(7), 1);
  EXPECT_EQ(tessar.graphics.operands.HCCOLOURS, 2);
  EXPECT_EQ(tessar.hardcopy.settings.PAGEWIDTH, 842) << "turned: the long side across";
  EXPECT_EQ(tessar.hardcopy.settings.PAGEHEIGHT, 595);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

}  // namespace
