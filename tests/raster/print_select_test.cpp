// The page of window dumps, and the start-up that selects it.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "platform/printer.h"
#include "toolkit/raster/print_select.h"
#include "toolkit/startup/startup.h"
#include "toolkit/state/tessar.h"

namespace {

class DumpPage : public ::testing::Test {
 protected:
  void SetUp() override {
    tessar.raster.printersettings = PrinterSettings{};
    tessar.raster.DumpSettings = {};
    tessar.hardcopy.settings = HardcopySettings{};
    win::test::setPrinters({{"Letter", "cups", "ipp://l", 5100, 6600, 600, 600, -1, true}});
  }
  void TearDown() override { win::test::resetPrinters(); }
  static std::array<int, 6> dump() {
    const auto& d = tessar.raster.DumpSettings;
    return {d[0], d[1], d[2], d[3], d[4], d[7]};
  }
};

TEST_F(DumpPage, PostScriptPageAndDumpFile) {
  tessar.hardcopy.settings.PRINTERPRESENT = 1;
  igrprintimageselect(2);
  EXPECT_EQ(dump(), (std::array<int, 6>{756, 540, 42, -20, 1, 1}));
  EXPECT_EQ(tessar.files.DUMPFILE, "tessdump.ps" + std::string(249, ' '));
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1);
  EXPECT_EQ(tessar.raster.printersettings.GotPrName, 0);  // no printer asked
}

TEST_F(DumpPage, EveryOtherDeviceTakesTheWindowsPrinter) {
  for (std::optional<int> device : {std::optional<int>(10), std::optional<int>(0),
                                    std::optional<int>(4), std::optional<int>()}) {
    SCOPED_TRACE(device ? std::to_string(*device) : "none");
    SetUp();
    tessar.files.DUMPFILE = std::string(260, ' ');
    igrprintimageselect(device);
    EXPECT_EQ(dump(), (std::array<int, 6>{648, 468, 72, 72, 1, 1}));
    EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1);
    EXPECT_EQ(tessar.hardcopy.settings.PAGEWIDTH, 792);
    EXPECT_EQ(tessar.hardcopy.settings.PAGEHEIGHT, 612);
    EXPECT_EQ(tessar.files.DUMPFILE, std::string(260, ' '));
  }
}

TEST_F(DumpPage, PrinterThatCannotBeQueriedIsAbsent) {
  igrprintimageselect(10);
  ASSERT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1);
  tessar.raster.printersettings = PrinterSettings{};
  win::test::setPrinters({});
  igrprintimageselect(10);
  EXPECT_EQ(dump(), (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 0);
  EXPECT_EQ(tessar.hardcopy.settings.PAGEWIDTH, 0);
}

TEST(Winitialise, SelectsTheDefaultPrinterForWindowDumps) {
  win::test::setPrinters({{"Letter", "cups", "ipp://l", 5100, 6600, 600, 600, -1, true}});
  tessar.raster.printersettings = PrinterSettings{};
  tw::test::resetStartup();
  winitialise();
  const auto& d = tessar.raster.DumpSettings;
  EXPECT_EQ(d[0], 648);
  EXPECT_EQ(d[1], 468);
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1);
  EXPECT_EQ(std::string(tessar.raster.printersettings.lpPrintType.data()), "Letter");
  EXPECT_EQ(tessar.raster.printersettings.prMedia, 99999);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  win::test::resetPrinters();
}

TEST(Winitialise, FindsAPrinterWithoutAnyConfiguredOne) {
  win::test::resetPrinters();
  tessar.raster.printersettings = PrinterSettings{};
  tessar.hardcopy.settings = HardcopySettings{};
  tw::test::resetStartup();
  winitialise();
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1);
  EXPECT_GT(tessar.raster.DumpSettings[0], 0);
}

}  // namespace
