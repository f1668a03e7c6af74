// The help file and the user manual built beside the program: the CHM lists every help page (read back with chmls) and the manual is a PDF of one page per help page and a title (counted by Ghostscript).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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
  const std::string listing = run("chmls '" TW_PROGRAM_DIR "/tarnwalker_help.chm'");
  for (const char* page : {"/index.htm", "/TW_2_Project.htm", "/TW_7_Step1import.htm", "/TW_10_Step3aggregate.htm",
                           "/TW_9_BaseSep_program.htm", "/TW_11_Annual.htm", "/TW_12_Trend_program.htm", "/toc.hhc"})
    EXPECT_NE(listing.find(page), std::string::npos) << page << " missing from\n" << listing;
}

TEST(HelpFiles, TheManualIsAPdfWithItsPages) {
  const std::string pages =
      run("gs -q -dNODISPLAY -dNOSAFER -c \"(" TW_PROGRAM_DIR "/K52wdn_UserManual.pdf) (r) file runpdfbegin pdfpagecount = quit\"");
  EXPECT_EQ(std::stoi(pages), 7) << pages;
}

}  // namespace
