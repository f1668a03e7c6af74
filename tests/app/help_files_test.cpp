// The help file and the user manual built beside the program: the CHM lists every help page and picture (read back with chmls) and the manual is a PDF of one page per help page and a title (counted by Ghostscript) with the program's pictures in it (listed by pdfimages).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/support/tools.h"

namespace {

std::string run(const std::string& command) {
  std::string out;
  if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    while (fgets(buffer, sizeof buffer, p)) out += buffer;
    pclose(p);
  }
  return out;
}

TEST(HelpFiles, TheChmListsEveryPage) {
  ASSERT_TRUE(tw::test::needtool("chmls", "fp-utils"));
  const std::string listing = run("chmls '" TW_PROGRAM_DIR "/tarnwalker_help.chm'");
  for (const char* page : {"/index.htm", "/TW_2_Project.htm", "/TW_7_Step1import.htm", "/TW_10_Step3aggregate.htm",
                           "/TW_9_BaseSep_program.htm", "/TW_11_Annual.htm", "/TW_12_Trend_program.htm", "/toc.hhc",
                           "/main_window.png", "/separation_view.png"})
    EXPECT_NE(listing.find(page), std::string::npos) << page << " missing from\n" << listing;
}

TEST(HelpFiles, TheManualIsAPdfWithItsPages) {
  ASSERT_TRUE(tw::test::needtool("gs", "ghostscript"));
  const std::string pages =
      run("gs -q -dNODISPLAY -dNOSAFER -c \"(" TW_PROGRAM_DIR "/K52wdn_UserManual.pdf) (r) file runpdfbegin pdfpagecount = quit\"");
  EXPECT_EQ(std::stoi(pages), 7) << pages;
}

}  // namespace

namespace {

// The pictures were taken from the program: two windows' worth of pixels each, not blank.
TEST(HelpFiles, TheManualShowsTheProgramsPictures) {
  ASSERT_TRUE(tw::test::needtool("pdfimages", "poppler-utils"));
  ASSERT_TRUE(tw::test::needtool("convert", "imagemagick"));
  const std::string list = run("pdfimages -list '" TW_PROGRAM_DIR "/K52wdn_UserManual.pdf'");
  int images = 0;   // one row an image
  std::istringstream rows(list);
  for (std::string row; std::getline(rows, row);)
    if (row.find(" image ") != std::string::npos) ++images;
  EXPECT_EQ(images, 2) << list;
  for (const char* picture : {"main_window.png", "separation_view.png"}) {
    const std::string colours = run("convert '" TW_HELP_WORK "/" + std::string(picture) + "' -format %k info:");
    EXPECT_GT(std::atoi(colours.c_str()), 20) << picture << " has too few colours to show a window: " << colours;
  }
}

}  // namespace
