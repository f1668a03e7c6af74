// The printers of the platform layer: CUPS destinations turned into printers, the default
// printer's profile entry, and information contexts of a printer's page.
#include <gtest/gtest.h>

#include <cups/cups.h>

#include <algorithm>
#include <string>

#include "platform/printer.h"
#include "platform/printer_internal.h"

namespace {

struct MediaCase {
  const char* why;
  const char* media;
  bool known;
  double width, height;
};
constexpr MediaCase kMedia[] = {
    {"PWG name in millimetres", "iso_a4_210x297mm", true, 210, 297},
    {"PWG name in inches", "na_letter_8.5x11in", true, 215.9, 279.4},
    {"short name, any case", "LeTTer", true, 215.9, 279.4},
    {"short name A5", "A5", true, 148, 210},
    {"landscape order comes back portrait", "custom_297x210mm", true, 210, 297},
    {"zero size is no paper", "custom_0x0mm", false, 0, 0},
    {"no unit", "custom_100x150", false, 0, 0},
    {"trailing text after the size", "custom_100x150xmm", false, 0, 0},
    {"absurd size is no paper", "custom_90000x90000mm", false, 0, 0},
    {"unknown word", "photo", false, 0, 0},
};

TEST(MediaSize, ReadsPaperNames) {
  for (const MediaCase& c : kMedia) {
    SCOPED_TRACE(c.why);
    double w = 0, h = 0;
    EXPECT_EQ(win::printer::mediaSize(c.media, w, h), c.known);
    if (c.known) {
      EXPECT_NEAR(w, c.width, 1e-9);
      EXPECT_NEAR(h, c.height, 1e-9);
    }
  }
}

// Destinations built in memory as CUPS hands them over; no server is asked.
struct Dests {
  cups_dest_t* dests = nullptr;
  int count = 0;
  cups_dest_t* add(const char* name, const char* instance = nullptr) {
    count = cupsAddDest(name, instance, count, &dests);
    return cupsGetDest(name, instance, count, dests);
  }
  static void option(cups_dest_t* d, const char* name, const char* value) {
    d->num_options = cupsAddOption(name, value, d->num_options, &d->options);
  }
  ~Dests() { cupsFreeDests(count, dests); }
};

TEST(PrintersFromDests, WithoutDestinationsThePdfPrinterIsDefault) {
  const auto list = win::printer::fromDests(0, nullptr);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].device, "Print to PDF file");
  EXPECT_TRUE(list[0].isDefault);
  EXPECT_EQ(list[0].width, 4961);   // A4 at 600 dots per inch
  EXPECT_EQ(list[0].height, 7016);
}

TEST(PrintersFromDests, CupsDefaultTakesItsMediaAndColour) {
  Dests d;
  cups_dest_t* office = d.add("office");
  office->is_default = 1;
  Dests::option(office, "media", "unknown-roll,na_letter_8.5x11in");
  Dests::option(office, "device-uri", "ipp://office.example/ipp/print");
  Dests::option(office, "printer-type", "4");  // no colour bit
  d.add("office", "draft");                    // an instance is no printer of its own
  d.add("lab");
  const auto list = win::printer::fromDests(d.count, d.dests);
  ASSERT_EQ(list.size(), 3u);
  const auto& o = *std::find_if(list.begin(), list.end(),
                                [](const auto& r) { return r.device == "office"; });
  EXPECT_TRUE(o.isDefault);
  EXPECT_EQ(o.port, "ipp://office.example/ipp/print");
  EXPECT_EQ(o.width, 5100);
  EXPECT_EQ(o.height, 6600);
  EXPECT_EQ(o.numcolors, 2);
  EXPECT_EQ(o.devmode.dmPaperSize, win::DMPAPER_LETTER);
  for (const auto& r : list) EXPECT_EQ(r.isDefault, r.device == "office") << r.device;
}

TEST(PrintersFromDests, NoCupsDefaultLeavesThePdfPrinterDefault) {
  Dests d;
  d.add("lab");
  const auto list = win::printer::fromDests(d.count, d.dests);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].device, "lab");
  EXPECT_EQ(list[0].width, 4961);  // no media option: A4
  EXPECT_FALSE(list[0].isDefault);
  EXPECT_TRUE(list[1].isDefault);
}

TEST(PrintersFromDests, DefaultInstanceMakesItsPrinterDefault) {
  Dests d;
  d.add("office");
  d.add("office", "draft")->is_default = 1;
  const auto list = win::printer::fromDests(d.count, d.dests);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].device, "office");
  EXPECT_TRUE(list[0].isDefault);
  EXPECT_FALSE(list[1].isDefault);
}

class PrinterServices : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::setPrinters({
        {"Lab", "cups", "ipp://lab", 5100, 6600, 600, 600, 2, false},
        {"Office", "cups", "ipp://office", 2480, 3508, 300, 300, -1, true},
    });
    win::SetLastError(0);
  }
  void TearDown() override { win::test::resetPrinters(); }
};

TEST_F(PrinterServices, ProfileDeviceEntryNamesTheDefaultPrinter) {
  char out[552];
  const win::DWORD n = win::GetProfileString("windows", "Device", "", out, sizeof out);
  EXPECT_EQ(std::string(out), "Office,cups,ipp://office");
  EXPECT_EQ(n, std::string(out).size());
  EXPECT_EQ(win::GetProfileString("WINDOWS", "device", "", out, 7), 6u);  // cut, NUL kept
  EXPECT_EQ(std::string(out), "Office");
  EXPECT_EQ(win::GetProfileString("windows", "Spooler", "none", out, sizeof out), 4u);
  EXPECT_EQ(std::string(out), "none");
}

TEST_F(PrinterServices, ProfileWithoutDefaultPrinterGivesTheDefaultText) {
  win::test::setPrinters({{"Lab", "cups", "ipp://lab", 5100, 6600, 600, 600, 2, false}});
  char out[16] = "xxx";
  EXPECT_EQ(win::GetProfileString("windows", "Device", "", out, sizeof out), 0u);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(win::GetLastError(), 2u);
}

TEST_F(PrinterServices, InformationContextAnswersThePage) {
  const win::HIC ic = win::CreateIC("cups", "lab", nullptr, nullptr);  // any case
  ASSERT_NE(ic, nullptr);
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALWIDTH), 5100);
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALHEIGHT), 6600);
  EXPECT_EQ(win::GetDeviceCaps(ic, 88), 600);   // LOGPIXELSX
  EXPECT_EQ(win::GetDeviceCaps(ic, 24), 2);     // NUMCOLORS
  EXPECT_EQ(win::GetDeviceCaps(ic, 4), 216);    // HORZSIZE, millimetres
  EXPECT_TRUE(win::DeleteDC(ic));
  EXPECT_FALSE(win::DeleteDC(ic));
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALWIDTH), 0);
}

TEST_F(PrinterServices, InformationContextFollowsTheDeviceMode) {
  win::DEVMODE mode;
  mode.dmFields = win::DM_ORIENTATION | win::DM_PAPERSIZE;
  mode.dmOrientation = win::DMORIENT_LANDSCAPE;
  mode.dmPaperSize = win::DMPAPER_A4;
  const win::HIC ic = win::CreateIC("", "Lab", "", &mode);
  ASSERT_NE(ic, nullptr);
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALWIDTH), 7016);
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALHEIGHT), 4961);
  win::DeleteDC(ic);
}

TEST_F(PrinterServices, UnknownOrEmptyPrinterHasNoContext) {
  for (const char* name : {"", "Nowhere"}) {
    SCOPED_TRACE(name);
    win::SetLastError(0);
    EXPECT_EQ(win::CreateIC("cups", name, nullptr, nullptr), nullptr);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PRINTER_NAME);
  }
  win::test::failNextPrinter("CreateIC", 5);
  EXPECT_EQ(win::CreateIC("cups", "Lab", nullptr, nullptr), nullptr);
  EXPECT_EQ(win::GetLastError(), 5u);
  const win::HIC again = win::CreateIC("cups", "Lab", nullptr, nullptr);  // only the next call
  EXPECT_NE(again, nullptr);
  win::DeleteDC(again);
}

TEST_F(PrinterServices, DocumentPropertiesMergesSupportedFields) {
  win::HPRINTER printer = nullptr;
  ASSERT_TRUE(win::OpenPrinter("Office", printer, nullptr));
  EXPECT_EQ(win::DocumentProperties(nullptr, printer, "Office", nullptr, nullptr, 0),
            static_cast<win::LONG>(sizeof(win::DEVMODE)));
  win::DEVMODE current;
  ASSERT_EQ(win::DocumentProperties(nullptr, printer, "Office", &current, nullptr,
                                    win::DM_OUT_BUFFER), 1);
  EXPECT_EQ(current.dmPaperSize, win::DMPAPER_A4);
  EXPECT_EQ(current.dmOrientation, win::DMORIENT_PORTRAIT);
  EXPECT_EQ(current.dmFields & win::DM_DUPLEX, 0u);

  win::DEVMODE change = current;
  change.dmFields = win::DM_ORIENTATION | win::DM_PAPERSIZE | win::DM_DUPLEX | win::DM_COPIES;
  change.dmOrientation = win::DMORIENT_LANDSCAPE;
  change.dmPaperSize = win::DMPAPER_LETTER;
  change.dmDuplex = 2;   // not supported: dropped
  change.dmCopies = 0;   // no copies is no value: dropped
  ASSERT_EQ(win::DocumentProperties(nullptr, printer, "Office", &change, &change,
                                    win::DM_IN_BUFFER | win::DM_OUT_BUFFER), 1);
  EXPECT_EQ(change.dmFields, current.dmFields);
  EXPECT_EQ(change.dmOrientation, win::DMORIENT_LANDSCAPE);
  EXPECT_EQ(change.dmPaperSize, win::DMPAPER_LETTER);
  EXPECT_EQ(change.dmPaperWidth, 2159);
  EXPECT_EQ(change.dmPaperLength, 2794);
  EXPECT_EQ(change.dmDuplex, current.dmDuplex);
  EXPECT_EQ(change.dmCopies, 1);

  win::DEVMODE again;  // the printer's own settings did not change
  win::DocumentProperties(nullptr, printer, "Office", &again, nullptr, win::DM_OUT_BUFFER);
  EXPECT_EQ(again.dmOrientation, win::DMORIENT_PORTRAIT);

  EXPECT_EQ(win::DocumentProperties(nullptr, printer, "Office", nullptr, nullptr,
                                    win::DM_OUT_BUFFER), -1);
  EXPECT_EQ(win::GetLastError(), 87u);
  EXPECT_TRUE(win::ClosePrinter(printer));
  EXPECT_EQ(win::DocumentProperties(nullptr, printer, "Office", &again, nullptr,
                                    win::DM_OUT_BUFFER), -1);
  EXPECT_EQ(win::GetLastError(), 6u);
  EXPECT_FALSE(win::ClosePrinter(printer));
  EXPECT_EQ(win::test::openPrinters(), 0);
}

TEST_F(PrinterServices, OpenPrinterNeedsAKnownName) {
  win::HPRINTER printer = nullptr;
  EXPECT_FALSE(win::OpenPrinter("Nowhere", printer, nullptr));
  EXPECT_EQ(printer, nullptr);
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PRINTER_NAME);
  EXPECT_FALSE(win::OpenPrinter("", printer, nullptr));
}

TEST(PrinterDiscovery, ThePdfPrinterIsAlwaysThere) {
  win::test::resetPrinters();
  const win::HIC ic = win::CreateIC("pdf", "Print to PDF file", "FILE:", nullptr);
  ASSERT_NE(ic, nullptr);
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALWIDTH), 4961);
  EXPECT_EQ(win::GetDeviceCaps(ic, win::PHYSICALHEIGHT), 7016);
  EXPECT_EQ(win::GetDeviceCaps(ic, 24), -1);
  win::DeleteDC(ic);
  char out[552];
  EXPECT_GT(win::GetProfileString("windows", "Device", "", out, sizeof out), 0u);
}

}  // namespace
