// Printer device contexts and print jobs: a page drawn on the built-in PDF printer comes out
// as a PDF that poppler reads (its text, its size, its ink), and every step of a job that is
// out of order or fails says so and leaves no file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/gdi.h"
#include "platform/printer.h"
#include "tests/hardcopy/driver_files.h"

using namespace win;

namespace {

using tw::test::needtool;
using hc::run;

class PrintJob : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("tw-printjob-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    // The built-in PDF printer, A4 at 600 dpi, and a monochrome printer in landscape use.
    test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0},
                       {"Mono", "pdf", "FILE:", 2550, 3300, 300, 300, 2, false, 0}});
  }
  void TearDown() override {
    test::resetPrinters();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::filesystem::path dir;
};

// A page with a frame, a filled red box, a blue circle and a line of text.
void drawpage(HDC dc) {
  HPEN pen = CreatePen(PS_SOLID, 6, RGB(0, 0, 0));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldpen = SelectObject(dc, pen), oldbrush = SelectObject(dc, red);
  Rectangle(dc, 600, 600, 2400, 1800);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  SelectObject(dc, blue);
  Ellipse(dc, 3000, 600, 4200, 1800);
  MoveToEx(dc, 600, 2400, nullptr);
  LineTo(dc, 4200, 2400);
  HFONT font = CreateFont(-200, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ oldfont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  TextOut(dc, 600, 3000, "Daily flow at Tarn Beck", 23);
  SelectObject(dc, oldfont);
  SelectObject(dc, oldpen);
  SelectObject(dc, oldbrush);
  DeleteObject(font);
  DeleteObject(pen);
  DeleteObject(red);
  DeleteObject(blue);
}

// One job of the page drawn by drawpage on dc, which it deletes.
void printpage(HDC dc, const char* doc, const char* output) {
  DOCINFO info;
  info.lpszDocName = doc;
  info.lpszOutput = output;
  EXPECT_GT(StartDoc(dc, info), 0);
  EXPECT_GT(StartPage(dc), 0);
  drawpage(dc);
  EXPECT_GT(EndPage(dc), 0);
  EXPECT_GT(EndDoc(dc), 0);
  DeleteDC(dc);
}

TEST_F(PrintJob, APageOnThePdfPrinterKeepsItsTextSizeAndInk) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  ASSERT_TRUE(needtool("pdftotext", "poppler-utils"));
  HDC dc = CreateDC("pdf", "Print to PDF file", "FILE:", nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 4961);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 7016);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
  const std::string out = (dir / "page.pdf").string();
  printpage(dc, "Tarn Beck", out.c_str());

  const hc::Run info1 = run("pdfinfo '" + out + "'");
  EXPECT_NE(info1.output.find("Pages:           1"), std::string::npos) << info1.output;
  EXPECT_NE(info1.output.find("595.32 x 841.92 pts"), std::string::npos) << info1.output;
  EXPECT_NE(info1.output.find("Tarn Beck"), std::string::npos) << info1.output;
  const hc::Run text = run("pdftotext '" + out + "' -");
  EXPECT_NE(text.output.find("Daily flow at Tarn Beck"), std::string::npos) << text.output;
  // The ink where the figures are, at 60 dpi (10 printer pixels a pixel): red box, blue disc.
  const hc::Run png = run("pdftoppm -r 60 -png -singlefile '" + out + "' '" + (dir / "page").string() + "'");
  ASSERT_EQ(png.status, 0) << png.output;
  const hc::Run probe = run("/usr/bin/python3 -c \"from PIL import Image; im = Image.open('" + (dir / "page.png").string() +
                        "').convert('RGB'); print(im.getpixel((150, 120)), im.getpixel((360, 120)), im.getpixel((10, 10)))\"");
  EXPECT_NE(probe.output.find("(255, 0, 0) (0, 0, 255) (255, 255, 255)"), std::string::npos) << probe.output;
}

// Regression: the fonts cairo keeps from a finished job outlived the FreeType library that
// job made, and a later job's text crashed once cairo let them go (after a few hundred sizes).
TEST_F(PrintJob, JobAfterJobWithText) {
  for (int job = 0; job < 8; ++job) {
    HDC dc = CreateDC("pdf", "Print to PDF file", "FILE:", nullptr);
    ASSERT_NE(dc, nullptr);
    const std::string out = (dir / ("job" + std::to_string(job) + ".pdf")).string();
    DOCINFO info;
    info.lpszDocName = "again";
    info.lpszOutput = out.c_str();
    ASSERT_GT(StartDoc(dc, info), 0);
    ASSERT_GT(StartPage(dc), 0);
    for (int size = 0; size < 60; ++size) {
      HFONT font = CreateFont(-(40 + size + 60 * job), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
      HGDIOBJ old = SelectObject(dc, font);
      TextOut(dc, 100, 100 + 50 * size, "Tarn", 4);
      SelectObject(dc, old);
      DeleteObject(font);
    }
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    EXPECT_TRUE(std::filesystem::exists(out));
  }
}

// A document named in the code page (an editor file in "Données"): the job is written, to
// the file of that name on the disk, with the name as its title. cairo took the code page's
// byte as broken UTF-8 and failed the whole job, so printing such a file gave an error.
TEST_F(PrintJob, ADocumentNamedInTheCodePagePrintsUnderThatName) {
  ASSERT_TRUE(needtool("pdfinfo", "poppler-utils"));
  const std::filesystem::path folder = dir / "Donn\xC3\xA9" "es";
  std::filesystem::create_directories(folder);
  const std::string toolkit = dir.string() + "/Donn\xE9" "es/tarn-notes.txt";
  struct Route {
    const char* why;
    std::string output;               // the job's output name, in the code page ("" = none)
    std::filesystem::path expected;   // where the PDF must land
  };
  const Route routes[] = {
      {"named after the document", "", folder / "tarn-notes.txt.pdf"},
      {"an output name given", toolkit + "-out.pdf", folder / "tarn-notes.txt-out.pdf"},
  };
  for (const Route& r : routes) {
    SCOPED_TRACE(r.why);
    HDC dc = CreateDC("pdf", "Print to PDF file", "FILE:", nullptr);
    ASSERT_NE(dc, nullptr);
    printpage(dc, toolkit.c_str(), r.output.empty() ? nullptr : r.output.c_str());
    ASSERT_TRUE(std::filesystem::exists(r.expected));
    const hc::Run shown = run("pdfinfo '" + r.expected.string() + "'");
    EXPECT_NE(shown.output.find("Donn\xC3\xA9" "es/tarn-notes.txt"), std::string::npos) << shown.output;
  }
}

TEST_F(PrintJob, LandscapeTurnsThePage) {
  DEVMODE mode;
  mode.dmFields = DM_ORIENTATION;
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  HDC dc = CreateDC("pdf", "Mono", "FILE:", &mode);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 3300);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 2550);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), 2);
  DeleteDC(dc);
  EXPECT_EQ(CreateDC("pdf", "No such printer", "", nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
}

TEST_F(PrintJob, StepsOutOfOrderAndFailuresLeaveNoFile) {
  const std::string out = (dir / "never.pdf").string();
  DOCINFO info;
  info.lpszDocName = "never";
  info.lpszOutput = out.c_str();
  struct Case {
    const char* why;
    const char* failing;  // the service made to fail, or nullptr
    bool page;            // a page is started and ended
  };
  const Case cases[] = {
      {"EndDoc refused", "EndDoc", true},
      {"EndPage refused", "EndPage", true},
      {"a document without pages prints nothing", nullptr, false},
  };
  for (const Case& c : cases) {
    HDC dc = CreateDC("pdf", "Print to PDF file", "FILE:", nullptr);
    ASSERT_NE(dc, nullptr);
    ASSERT_GT(StartDoc(dc, info), 0) << c.why;
    if (c.failing) test::failNextPrinter(c.failing, ERROR_WRITE_FAULT);
    if (c.page) {
      EXPECT_GT(StartPage(dc), 0) << c.why;
      drawpage(dc);
      const int ended = EndPage(dc);
      if (c.failing && std::string(c.failing) == "EndPage") {
        EXPECT_EQ(ended, SP_ERROR) << c.why;
      }
    }
    EXPECT_EQ(EndDoc(dc), SP_ERROR) << c.why;
    EXPECT_NE(GetLastError(), 0u) << c.why;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.why;
    DeleteDC(dc);
  }
  // Pages need a document, and a page cannot start twice.
  HDC dc = CreateDC("pdf", "Print to PDF file", "FILE:", nullptr);
  EXPECT_EQ(StartPage(dc), SP_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  ASSERT_GT(StartDoc(dc, info), 0);
  EXPECT_EQ(StartDoc(dc, info), SP_ERROR);
  ASSERT_GT(StartPage(dc), 0);
  EXPECT_EQ(StartPage(dc), SP_ERROR);
  EXPECT_GT(AbortDoc(dc), 0);
  EXPECT_FALSE(std::filesystem::exists(out));
  DeleteDC(dc);
  // An output that cannot be written fails the job.
  dc = CreateDC("pdf", "Print to PDF file", "FILE:", nullptr);
  const std::string bad = (dir / "missing" / "x.pdf").string();
  info.lpszOutput = bad.c_str();
  ASSERT_GT(StartDoc(dc, info), 0);
  ASSERT_GT(StartPage(dc), 0);
  drawpage(dc);
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
  DeleteDC(dc);
}

}  // namespace
