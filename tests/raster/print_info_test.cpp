// Which printer is meant and what its page is: the default printer's names, the page in
// points, the saved page set-up settings, the colour-table size of bitmap headers.
#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <string>
#include <vector>

#include "platform/printer.h"
#include "toolkit/raster/printer_info.h"
#include "toolkit/state/tessar.h"

namespace {

std::string text(const char* field) { return std::string(field); }

struct PrinterInfo {
  int longside = -1, shortside = -1, width = -1, height = -1, left = -1, top = -1,
      orientation = -1, copies = -1, colours = -1, error = -1;
  void query() {
    yywprinfo(longside, shortside, width, height, left, top, orientation, copies, colours,
              error);
  }
};

class PrinterQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    tessar.raster.printersettings = PrinterSettings{};
    win::SetLastError(0);
  }
  void TearDown() override { win::test::resetPrinters(); }
  static void only(const win::test::Printer& p) { win::test::setPrinters({p}); }
};

struct PageCase {
  const char* why;
  int width, height, dpix, dpiy, numcolors;
  int longside, shortside, drawwidth, drawheight;
};
constexpr PageCase kPages[] = {
    {"letter at 600 dpi", 5100, 6600, 600, 600, -1, 792, 612, 648, 468},
    {"A4: 4961 pixels at 600 dpi truncate to 595 points", 4961, 7016, 600, 600, -1, 841, 595,
     697, 451},
    {"square page: equal sides", 1200, 1200, 300, 300, 2, 288, 288, 144, 144},
    {"wider than high: the width is the long side", 3300, 2550, 300, 300, 256, 792, 612, 648,
     468},
    {"unequal resolutions convert each side by its own", 5100, 3300, 600, 300, -1, 792, 612,
     648, 468},
};

TEST_F(PrinterQuery, ReportsThePageInPoints) {
  for (const PageCase& c : kPages) {
    SCOPED_TRACE(c.why);
    tessar.raster.printersettings = PrinterSettings{};
    only({"P", "cups", "ipp://p", c.width, c.height, c.dpix, c.dpiy, c.numcolors, true});
    PrinterInfo p;
    p.query();
    EXPECT_EQ(p.error, 0);
    EXPECT_EQ(p.longside, c.longside);
    EXPECT_EQ(p.shortside, c.shortside);
    EXPECT_EQ(p.width, c.drawwidth);
    EXPECT_EQ(p.height, c.drawheight);
    EXPECT_EQ(p.left, 72);
    EXPECT_EQ(p.top, 72);
    EXPECT_EQ(p.orientation, 1);
    EXPECT_EQ(p.copies, 1);
    EXPECT_EQ(p.colours, c.numcolors);
  }
}

TEST_F(PrinterQuery, FetchesTheDefaultPrinterAndResetsSavedSettings) {
  win::test::setPrinters({{"Lab", "cups", "ipp://lab", 5100, 6600, 600, 600, -1, false},
                          {"Office", "cups", "ipp://office", 4961, 7016, 600, 600, -1, true}});
  PrinterSettings& ps = tessar.raster.printersettings;
  ps.PageDlgShown = 1;
  ps.prSize = 9;
  ps.prMedia = -1;
  PrinterInfo p;
  p.query();
  EXPECT_EQ(p.error, 0);
  EXPECT_EQ(p.longside, 841);
  EXPECT_EQ(ps.GotPrName, 1);
  EXPECT_EQ(ps.PageDlgShown, 0);
  EXPECT_EQ(text(ps.lpPrintType.data()), "Office");
  EXPECT_EQ(text(ps.lpPrintDriver.data()), "cups");
  EXPECT_EQ(text(ps.lpPrintPort.data()), "ipp://office");
  for (std::int16_t v : {ps.prSize, ps.prLength, ps.prWidth, ps.prScale, ps.prSource,
                         ps.prQuality, ps.prColor, ps.prDuplex, ps.prYRes, ps.prTTOption,
                         ps.prCollate})
    EXPECT_EQ(v, -1);
  EXPECT_EQ(ps.prMedia, 99999);
  EXPECT_EQ(ps.prDither, 99999);
}

TEST_F(PrinterQuery, AChosenPrinterIsKept) {
  win::test::setPrinters({{"Lab", "cups", "ipp://lab", 5100, 6600, 600, 600, -1, false},
                          {"Office", "cups", "ipp://office", 4961, 7016, 600, 600, -1, true}});
  PrinterSettings& ps = tessar.raster.printersettings;
  std::strcpy(ps.lpPrintType.data(), "Lab");
  ps.GotPrName = 1;
  ps.PageDlgShown = 1;
  PrinterInfo p;
  p.query();
  EXPECT_EQ(p.error, 0);
  EXPECT_EQ(p.longside, 792);
  EXPECT_EQ(ps.PageDlgShown, 1);
  EXPECT_EQ(text(ps.lpPrintType.data()), "Lab");
}

struct FailureCase {
  const char* why;
  bool printers;      // a default printer exists
  const char* fail;   // service made to fail, or nullptr
  win::DWORD code;
  int error;          // 0: any non-zero code
};
const FailureCase kFailures[] = {
    {"no default printer: the profile's code", false, nullptr, 0, 2},
    {"the information context fails with its code", true, "CreateIC", 5, 5},
    // A failed context whose last error was 0 reported the printer present with a page of 0.
    {"a failure without a code still fails", true, "CreateIC", 0, 0},
    {"no profile entry and no code: the empty names fail", true, "GetProfileString", 0, 0},
};

TEST_F(PrinterQuery, FailureLeavesOutputsZeroAndSettingsAlone) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.why);
    PrinterSettings& ps = tessar.raster.printersettings;
    ps = PrinterSettings{};
    ps.prSize = 9;
    ps.prMedia = 3;
    if (c.printers)
      only({"P", "cups", "ipp://p", 5100, 6600, 600, 600, -1, true});
    else
      win::test::setPrinters({});
    if (c.fail) win::test::failNextPrinter(c.fail, c.code);
    PrinterInfo p;
    p.query();
    if (c.error != 0)
      EXPECT_EQ(p.error, c.error);
    else
      EXPECT_NE(p.error, 0);
    for (int v : {p.longside, p.shortside, p.width, p.height, p.left, p.top, p.orientation,
                  p.copies, p.colours})
      EXPECT_EQ(v, 0);
    EXPECT_EQ(ps.prSize, 9);
    EXPECT_EQ(ps.prMedia, 3);
  }
}

TEST_F(PrinterQuery, KeepsTheFloatingPointControlState) {
  only({"P", "cups", "ipp://p", 5100, 6600, 600, 600, -1, true});
  std::fesetround(FE_TONEAREST);
  win::test::onPrinterQuery([] { std::fesetround(FE_DOWNWARD); });
  PrinterInfo p;
  p.query();
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  std::fesetround(FE_TONEAREST);
}

struct NameCase {
  const char* why;
  std::string device, driver, port;
  std::string wantDevice, wantDriver, wantPort;
};

TEST_F(PrinterQuery, SplitsTheProfileEntry) {
  const std::vector<NameCase> cases = {
      {"blanks after the commas are skipped", "HP LaserJet", "   winspool", " LPT1:",
       "HP LaserJet", "winspool", "LPT1:"},
      {"a third comma belongs to the port", "Lab", "cups", "ipp://a,b", "Lab", "cups",
       "ipp://a,b"},
      {"a comma in the device name moves the rest along", "Lab,2", "cups", "p", "Lab", "2",
       "cups,p"},
      {"empty driver and port", "Solo", "", "", "Solo", "", ""},
      {"names are cut to their fields", std::string(300, 'd'),
       std::string(40, 'r'), "p", std::string(259, 'd'), std::string(31, 'r'), "p"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.raster.printersettings = PrinterSettings{};
    only({c.device, c.driver, c.port, 5100, 6600, 600, 600, -1, true});
    EXPECT_EQ(yywprintername(), 1);
    const PrinterSettings& ps = tessar.raster.printersettings;
    EXPECT_EQ(text(ps.lpPrintType.data()), c.wantDevice);
    EXPECT_EQ(text(ps.lpPrintDriver.data()), c.wantDriver);
    EXPECT_EQ(text(ps.lpPrintPort.data()), c.wantPort);
    EXPECT_EQ(ps.GotPrName, 1);
  }
  tessar.raster.printersettings = PrinterSettings{};
  win::test::setPrinters({});
  EXPECT_EQ(yywprintername(), 0);
  EXPECT_EQ(tessar.raster.printersettings.GotPrName, 0);
}

// A printer whose device mode supports the given fields.
win::test::Printer withFields(win::DWORD fields) {
  win::test::Printer p{"P", "cups", "ipp://p", 5100, 6600, 600, 600, -1, true};
  p.fields = fields;
  return p;
}

class PrinterDevmode : public PrinterQuery {
 protected:
  void SetUp() override {
    PrinterQuery::SetUp();
    PrinterSettings& ps = tessar.raster.printersettings;
    std::strcpy(ps.lpPrintType.data(), "P");
    ps.GotPrName = 1;
    ps.prSize = ps.prLength = ps.prWidth = ps.prScale = ps.prSource = ps.prQuality =
        ps.prColor = ps.prDuplex = ps.prYRes = ps.prTTOption = ps.prCollate = -1;
    ps.prMedia = ps.prDither = 99999;
  }
};

TEST_F(PrinterDevmode, AppliesOrientationAndCopies) {
  only(withFields(win::DM_ORIENTATION | win::DM_COPIES | win::DM_PAPERSIZE));
  win::DEVMODE m;
  ASSERT_TRUE(yywprdevmode(1, 3, m));
  EXPECT_EQ(m.dmOrientation, win::DMORIENT_LANDSCAPE);
  EXPECT_EQ(m.dmCopies, 3);
  ASSERT_TRUE(yywprdevmode(0, 1, m));
  EXPECT_EQ(m.dmOrientation, win::DMORIENT_PORTRAIT);
  EXPECT_EQ(win::test::openPrinters(), 0);
}

TEST_F(PrinterDevmode, SavedSettingsOnlyWhereSupported) {
  only(withFields(win::DM_ORIENTATION | win::DM_MEDIATYPE | win::DM_DITHERTYPE));
  PrinterSettings& ps = tessar.raster.printersettings;
  ps.prSize = win::DMPAPER_A3;  // not supported: not applied
  ps.prMedia = -1;              // set: -1 is a value like any other here
  ps.prDither = 7;
  win::DEVMODE m;
  ASSERT_TRUE(yywprdevmode(0, 1, m));
  EXPECT_EQ(m.dmFields & win::DM_PAPERSIZE, 0u);
  EXPECT_EQ(m.dmPaperSize, win::DMPAPER_LETTER);  // the printer's own paper
  EXPECT_EQ(m.dmMediaType, 0xFFFFFFFFu);
  EXPECT_EQ(m.dmDitherType, 7u);
}

TEST_F(PrinterDevmode, NothingSupportedLeavesAnEmptyFieldMask) {
  only(withFields(win::DM_PAPERSIZE | win::DM_SCALE));  // settings all "not set"
  win::DEVMODE m;
  ASSERT_TRUE(yywprdevmode(1, 2, m));
  EXPECT_EQ(m.dmFields, 0u);
  EXPECT_EQ(m.dmOrientation, win::DMORIENT_PORTRAIT);
}

TEST_F(PrinterDevmode, PrinterWithoutDeviceModeGivesNone) {
  struct Case {
    const char* why;
    const char* fail;
  };
  for (const Case& c : {Case{"printer cannot be opened", "OpenPrinter"},
                        Case{"device mode cannot be had", "DocumentProperties"}}) {
    SCOPED_TRACE(c.why);
    only(withFields(win::DM_ORIENTATION));
    win::test::failNextPrinter(c.fail, 5);
    win::DEVMODE m;
    m.dmCopies = 42;
    EXPECT_FALSE(yywprdevmode(1, 1, m));
    EXPECT_EQ(m.dmCopies, 42);
    EXPECT_EQ(win::test::openPrinters(), 0);
  }
}

// A bitmap header of the given size field, bit count and colours used.
std::vector<unsigned char> header(std::uint32_t size, std::uint16_t bits, std::uint32_t used) {
  std::vector<unsigned char> h(40, 0);
  std::memcpy(h.data(), &size, 4);
  if (size == 12) {
    std::memcpy(h.data() + 10, &bits, 2);
  } else {
    std::memcpy(h.data() + 14, &bits, 2);
    std::memcpy(h.data() + 32, &used, 4);
  }
  return h;
}

struct PaletteCase {
  const char* why;
  std::uint32_t size;
  std::uint16_t bits;
  std::uint32_t used;
  std::uint16_t bytes;
};
constexpr PaletteCase kPalettes[] = {
    {"1 bit", 40, 1, 0, 8},          {"4 bits", 40, 4, 0, 64},
    {"8 bits", 40, 8, 0, 1024},      {"16 bits: no table", 40, 16, 0, 0},
    {"24 bits: no table", 40, 24, 0, 0}, {"32 bits: no table", 40, 32, 0, 0},
    {"core header, 8 bits: 3-byte entries", 12, 8, 0, 768},
    {"colours used rule the count", 40, 24, 10, 40},
};

TEST(YyWprPalSize, ColourTableBytes) {
  for (const PaletteCase& c : kPalettes) {
    SCOPED_TRACE(c.why);
    const auto h = header(c.size, c.bits, c.used);
    EXPECT_EQ(yywprpalsize(h.data()), c.bytes);
  }
}

}  // namespace
