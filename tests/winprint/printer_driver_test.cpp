// The Windows printer driver: its defaults from the printer's page, the pen width rule, the
// shared test picture printed on the built-in PDF printer and, through a CUPS scheduler of
// the test's own with a cups-pdf queue, as a real print job; failed jobs are reported.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/printer.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/test_picture.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"
#include "toolkit/winprint/wdrivers.h"

namespace fs = std::filesystem;

namespace {

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }

void names(const std::string& device, const std::string& driver, const std::string& port) {
  PrinterSettings& ps = tessar.raster.printersettings;
  ps.lpPrintType = {};
  ps.lpPrintDriver = {};
  ps.lpPrintPort = {};
  device.copy(ps.lpPrintType.data(), ps.lpPrintType.size() - 1);
  driver.copy(ps.lpPrintDriver.data(), ps.lpPrintDriver.size() - 1);
  port.copy(ps.lpPrintPort.data(), ps.lpPrintPort.size() - 1);
  ps.GotPrName = 1;
}

// Runs in a folder of its own: the PDF printer writes "<title>.pdf" to the current folder.
class Printer : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = hc::scratch("printer-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(folder);
    before = fs::current_path();
    fs::current_path(folder);
    win::test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0},
                            {"Letter mono", "pdf", "FILE:", 2550, 3300, 300, 300, 2, false, 0}});
    tessar.raster.printersettings.GotPrName = 0;
    testpicturegraphics(1000, 750);
    yyinstallwinprint();
  }
  void TearDown() override {
    fs::current_path(before);
    win::test::resetPrinters();
  }
  fs::path folder, before;
};

TEST_F(Printer, DefaultsFollowThePrinter) {
  igrhardcopyselect(1, HCWINPRINTER);
  // A4 at 600 dpi: 841 x 595 points, less an inch of margin all round.
  EXPECT_EQ(tessar.graphics.operands.HCDEVICE, HCWINPRINTER);
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1);
  EXPECT_EQ(tessar.hardcopy.settings.PAGEWIDTH, 841);
  EXPECT_EQ(tessar.hardcopy.settings.PAGEHEIGHT, 595);
  EXPECT_EQ(option(1), 697);
  EXPECT_EQ(option(2), 451);
  EXPECT_EQ(option(3), 72);
  EXPECT_EQ(option(5), 1);
  EXPECT_EQ(option(7), 0);
  // A monochrome Letter printer: 612 x 792 points, black and white.
  names("Letter mono", "pdf", "FILE:");
  igrhardcopyselect(1, HCWINPRINTER);
  EXPECT_EQ(option(1), 648);
  EXPECT_EQ(option(2), 468);
  EXPECT_EQ(option(7), 1);
  // No such printer: not present, and a hardcopy reports error 1 under XXWIN.
  names("Gone", "pdf", "FILE:");
  igrhardcopyselect(1, HCWINPRINTER);
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 0);
  tessar.error.LASTERROR = 0;
  igrhardcopy();
  EXPECT_EQ(tessar.error.LASTERROR, 1);
  EXPECT_EQ(tessar.error.ERRDETAIL, static_cast<int>(win::ERROR_INVALID_PRINTER_NAME));
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 0);
}

TEST_F(Printer, BuiltInPdfPrinterPrintsTheTestPicture) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  igrhardcopyselect(1, HCWINPRINTER);
  tessar.error.LASTERROR = 0;
  static std::string image;
  image = hc::scratch("ramp.png").string();
  hc::run("/usr/bin/python3 -c \"from PIL import Image\nim=Image.new('RGB',(16,16))\n"
          "[im.putpixel((x,y),(x*16,y*16,128)) for x in range(16) for y in range(16)]\nim.save('" + image + "')\"");
  igrhardcopy();
  drawtestpicture(image);
  igrhardcopy("S");
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  const fs::path pdf = folder / "Tessaraweld graphic.pdf";
  // The image went into the page as a picture of its own size.
  const hc::Run images = hc::run("pdfimages -list '" + pdf.string() + "'");
  EXPECT_NE(images.output.find("   16    16  rgb"), std::string::npos) << images.output;
  ASSERT_TRUE(fs::exists(pdf));
  const hc::Run info = hc::run("pdfinfo '" + pdf.string() + "'");
  EXPECT_NE(info.output.find("Pages:           1"), std::string::npos) << info.output;
  const hc::Run text = hc::run("pdftotext -layout '" + pdf.string() + "' -");
  EXPECT_NE(text.output.find("Courier: Gauge 12304500 (Q)"), std::string::npos) << text.output;
  EXPECT_NE(text.output.find("Helvetica bold \xC3\x89t\xC3\xA9 \xC3\xA0 Z\xC3\xBCrich"), std::string::npos) << text.output;
  const fs::path keep = fs::temp_directory_path() / "tw-winprint-renderings";
  fs::create_directories(keep);
  std::ofstream(keep / "printer-pdf.txt") << text.output;
  const hc::Run png = hc::run("pdftoppm -r 50 -png -singlefile '" + pdf.string() + "' '" + (keep / "printer-pdf").string() + "'");
  EXPECT_EQ(png.status, 0) << png.output;
}

TEST_F(Printer, FailedJobsAreReported) {
  igrhardcopyselect(1, HCWINPRINTER);
  struct Case {
    const char* why;
    const char* service;
  };
  const Case cases[] = {{"the job cannot start", "StartDoc"},
                        {"the page is refused", "EndPage"},
                        {"the job's end is refused", "EndDoc"}};
  for (const Case& c : cases) {
    tessar.error = ErrorState{};
    fs::remove(folder / "Tessaraweld graphic.pdf");
    if (std::string(c.service) == "StartDoc") win::test::failNextPrinter(c.service, win::ERROR_WRITE_FAULT);
    igrhardcopy();
    if (std::string(c.service) != "StartDoc") win::test::failNextPrinter(c.service, win::ERROR_WRITE_FAULT);
    drawtestpicture();
    igrhardcopy("S");
    EXPECT_EQ(tessar.error.LASTERROR, 1) << c.why;
    EXPECT_EQ(tessar.error.ERRDETAIL, static_cast<int>(win::ERROR_WRITE_FAULT)) << c.why;
    EXPECT_FALSE(fs::exists(folder / "Tessaraweld graphic.pdf")) << c.why;
  }
}

// A CUPS scheduler of the test's own, listening on a socket in the scratch folder, with one
// cups-pdf queue "PDF" whose output goes to the scratch folder.
class Cups {
 public:
  explicit Cups(const fs::path& dir) : dir_(dir) {}
  ~Cups() { stop(); }
  bool start(std::string& why) {
    for (const char* d : {"spool", "tmp", "cache", "state", "log", "out", "ppd"}) fs::create_directories(dir_ / d);
    // The filters run as the scheduler's own user, not as root.
    fs::permissions(dir_ / "out", fs::perms::all);
    fs::permissions(dir_ / "tmp", fs::perms::all | fs::perms::sticky_bit);
    std::ofstream(dir_ / "cupsd.conf") << "Listen " << socket() << "\nLogLevel warn\nWebInterface No\n"
                                       << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                       << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    std::ofstream(dir_ / "cups-files.conf") << "ServerRoot " << dir_.string() << "\nRequestRoot " << (dir_ / "spool").string()
                                            << "\nTempDir " << (dir_ / "tmp").string() << "\nCacheDir "
                                            << (dir_ / "cache").string() << "\nStateDir " << (dir_ / "state").string()
                                            << "\nAccessLog " << (dir_ / "log/access_log").string() << "\nErrorLog "
                                            << (dir_ / "log/error_log").string() << "\nPageLog "
                                            << (dir_ / "log/page_log").string() << "\n";
    // cups-pdf reads only its system configuration: its output folder is pointed here for the
    // run and put back afterwards.
    config_ = hc::run("cat /etc/cups/cups-pdf.conf").output;
    haveConfig_ = true;
    std::ofstream("/etc/cups/cups-pdf.conf") << "Out " << (dir_ / "out").string() << "\nAnonDirName "
                                             << (dir_ / "out").string() << "\nLabel 0\n";
    const hc::Run r = hc::run("cupsd -f -c '" + (dir_ / "cupsd.conf").string() + "' -s '" +
                              (dir_ / "cups-files.conf").string() + "' > '" + (dir_ / "log/cupsd.out").string() +
                              "' 2>&1 & echo $!");
    pid_ = std::atoi(r.output.c_str());
    if (pid_ <= 0) {
      why = "cupsd did not start: " + r.output;
      return false;
    }
    for (int i = 0; i < 100 && !fs::exists(socket()); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const hc::Run a = hc::run("CUPS_SERVER='" + socket() + "' lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd");
    if (a.status != 0) {
      why = "lpadmin: " + a.output + hc::run("cat '" + (dir_ / "log/error_log").string() + "'").output;
      return false;
    }
    return true;
  }
  void stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      pid_ = 0;
    }
    if (haveConfig_) std::ofstream("/etc/cups/cups-pdf.conf") << config_;
    haveConfig_ = false;
    ::unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
    win::test::resetPrinters();
  }
  std::string socket() const { return (dir_ / "cups.sock").string(); }
  fs::path out() const { return dir_ / "out"; }

 private:
  fs::path dir_;
  int pid_ = 0;
  std::string config_;
  bool haveConfig_ = false;
};

TEST_F(Printer, RealPrintJobThroughCupsPdf) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  ASSERT_TRUE(tw::test::needtool("cupsd", "cups"));
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  ASSERT_TRUE(tw::test::needfile("/usr/lib/cups/backend/cups-pdf", "printer-driver-cups-pdf"));
  // Short paths: a socket path has room for about a hundred characters.
  const fs::path dir = fs::path("/tmp") / ("twcups" + std::to_string(::getpid()));
  fs::create_directories(dir);
  {
    Cups cups(dir);
    std::string why;
    ASSERT_TRUE(cups.start(why)) << why;
    ::setenv("CUPS_SERVER", cups.socket().c_str(), 1);
    cupsSetServer(cups.socket().c_str());
    win::test::resetPrinters();
    names("PDF", "cups", "cups-pdf:/");
    igrhardcopyselect(1, HCWINPRINTER);
    EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1);
    tessar.error.LASTERROR = 0;
    igrhardcopy(std::nullopt, "Tarn Beck flows");
    drawtestpicture();
    igrhardcopy("S");
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    // cups-pdf writes the job's PDF when the scheduler has run it.
    fs::path pdf;
    for (int i = 0; i < 300 && pdf.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      for (const auto& e : fs::recursive_directory_iterator(cups.out()))
        if (e.path().extension() == ".pdf") pdf = e.path();
    }
    ASSERT_FALSE(pdf.empty()) << hc::run("cat '" + (dir / "log/error_log").string() + "'").output;
    // cups-pdf writes the file while Ghostscript runs: it is whole once poppler reads it.
    hc::Run info = hc::run("pdfinfo '" + pdf.string() + "'");
    for (int i = 0; i < 200 && info.output.find("Pages:") == std::string::npos; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      info = hc::run("pdfinfo '" + pdf.string() + "'");
    }
    EXPECT_NE(info.output.find("Pages:           1"), std::string::npos) << info.output;
    const fs::path keep = fs::temp_directory_path() / "tw-winprint-renderings";
    fs::create_directories(keep);
    const hc::Run png = hc::run("pdftoppm -r 50 -png -singlefile '" + pdf.string() + "' '" + (keep / "cups-pdf").string() + "'");
    ASSERT_EQ(png.status, 0) << png.output;
    // cups-pdf remakes the PDF through Ghostscript, which keeps the text as shapes only: the
    // page is checked by its ink, the red and green boxes and the blue disc of the picture.
    const hc::Run ink = hc::run("/usr/bin/python3 -c \"from PIL import Image; im = Image.open('" + (keep / "cups-pdf.png").string() +
                                "').convert('RGB'); px = list(im.getdata()); "
                                "print(sum(p[0] > 200 and p[1] < 40 and p[2] < 40 for p in px), "
                                "sum(p[1] > 150 and p[0] < 160 and p[2] < 160 for p in px), "
                                "sum(p[2] > 150 and p[0] < 40 and p[1] < 40 for p in px))\"");
    int red = 0, green = 0, blue = 0;
    ASSERT_EQ(std::sscanf(ink.output.c_str(), "%d %d %d", &red, &green, &blue), 3) << ink.output;
    EXPECT_GT(red, 300);
    EXPECT_GT(green, 300);
    EXPECT_GT(blue, 300);
    cups.stop();
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
