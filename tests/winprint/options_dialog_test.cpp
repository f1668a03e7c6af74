// The hardcopy option dialogs driven as a user drives them: the metafile's format dialog
// (kind, file or clipboard, name), the page dialog of PostScript (units, orientation,
// format, Cancel putting everything back), and the guards of WHardcopyOptions.
#include <filesystem>
#include <string>

#include "platform/test_api.h"
#include "tests/dialog/dialog_fixture.h"
#include "tests/support/scripted_user.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/winprint/hcoptions.h"
#include "toolkit/winprint/wdrivers.h"

namespace {

using namespace win;
using tw::test::Step;

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
  static Step shot(const std::string& name) {
    return [name] {
      const std::filesystem::path keep = std::filesystem::temp_directory_path() / "tw-winprint-renderings";
      std::filesystem::create_directories(keep);
      test::savePng(dialog(), (keep / name).string());
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

}  // namespace
