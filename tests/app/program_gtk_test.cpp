// The real program on a desktop: build/app/tarnwalker started as a child process on a private
// Xvfb server (GTK backend) and driven with xdotool as a user would: the about dialog closed,
// a status-3 project opened through GTK's file chooser, saved as a new name, and the program
// left through File > Exit. Screenshots are kept in the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/app/program_desktop.h"

namespace fs = std::filesystem;

namespace {

using tw::test::kMainTitle;
using tw::test::lines;
using tw::test::ProgramOnDesktop;

// Pixels of clear colour (not grey) on the Analysis buttons of the toolbar in a screenshot:
// the enabled buttons are drawn in colour, the disabled ones in greys.
int colouredAnalysisButtons(const std::string& png) {
  cairo_surface_t* image = tw::test::loadPng(png);
  if (!image) return -1;
  int n = 0;
  for (int x = 100; x < 210; ++x)
    for (int y = 72; y < 94; ++y) {
      const win::COLORREF c = tw::test::pixelAt(image, x, y);
      const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
      if (std::max({r, g, b}) - std::min({r, g, b}) > 40) ++n;
    }
  cairo_surface_destroy(image);
  return n;
}

TEST_F(ProgramOnDesktop, OpenSaveAsAndExitThroughMenusAndGtksFileChooser) {
  startProgram();
  const std::string about = waitWindow("^About TarnWalker$");
  ASSERT_FALSE(about.empty()) << "no about dialog";
  shot("program_about");
  ASSERT_TRUE(keys(about, "Return"));
  const std::string main = waitWindow(kMainTitle);
  ASSERT_FALSE(main.empty()) << "no main window";
  // No project: the Analysis buttons greyed.
  const int greyed = colouredAnalysisButtons(shot("program_start"));

  // File > Open: the chooser's location field takes the whole path.
  ASSERT_TRUE(keys(main, "alt+f o"));
  const std::string chooser = waitWindow("^Open data$");
  ASSERT_FALSE(chooser.empty()) << "no file chooser for Open";
  ::usleep(1500000);
  const fs::path project = dir / "project-status3.tw";
  ASSERT_TRUE(keys(chooser, "ctrl+l"));
  ASSERT_TRUE(type(project.string()));
  shot("program_open_chooser");
  ASSERT_TRUE(keys(chooser, "Return"));
  // The data summary of the project read.
  ASSERT_TRUE(answer("^File opened$", "Return", "program_open_summary")) << "no data summary";
  // A status-3 project: the Analysis buttons in colour (the status bar names the file).
  const int coloured = colouredAnalysisButtons(shot("program_opened"));
  std::printf("coloured pixels on the Analysis buttons: %d without a project, %d with it\n", greyed, coloured);
  EXPECT_LT(greyed, 20);
  EXPECT_GT(coloured, 100);
  // The Analysis menu, open for a look at its items.
  ASSERT_TRUE(keys(main, "alt+a"));
  shot("program_analysis_menu");
  ASSERT_TRUE(keys(main, "Escape Escape"));

  // File > Save as: the notice, then the chooser of the same title, a new name typed into its
  // name field; the project is written and "Done" says so.
  // Save and Save as... share their first letter: from New, the fourth item.
  ASSERT_TRUE(keys(main, "alt+f Down Down Down Return"));
  const std::string notice = waitWindow("^Save as\\.\\.\\.$");
  ASSERT_FALSE(notice.empty()) << "no Save as notice";
  ASSERT_TRUE(keys(notice, "Return"));
  const std::string saver = waitWindow("^Save as\\.\\.\\.$", notice);
  ASSERT_FALSE(saver.empty()) << "no file chooser for Save as";
  ::usleep(1500000);
  ASSERT_TRUE(keys(saver, "ctrl+a"));
  ASSERT_TRUE(type("copy.tw"));
  shot("program_saveas_chooser");
  ASSERT_TRUE(keys(saver, "Return"));
  ASSERT_TRUE(answer("^Done$")) << "no Done after Save as";
  shot("program_saved");

  // File > Exit: the save question answered No; the program ends with status 0.
  ASSERT_TRUE(keys(main, "alt+f e"));
  ASSERT_TRUE(answer("^Save now\\?$", "n", "program_exit_question")) << "no save question at Exit";
  for (int i = 0; i < 150 && !ended(); ++i) ::usleep(100000);
  ASSERT_TRUE(ended()) << "the program did not end after Exit";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  // The copy holds the project as read: every line but the time it was saved.
  ASSERT_TRUE(fs::exists(dir / "copy.tw")) << "Save as wrote nothing";
  const std::vector<std::string> original = lines(project), copy = lines(dir / "copy.tw");
  ASSERT_EQ(copy.size(), original.size());
  for (std::size_t i = 0; i < copy.size(); ++i) {
    if (original[i].rfind("Date saved:", 0) == 0) continue;
    EXPECT_EQ(copy[i], original[i]) << "line " << i + 1;
  }
  // "No" at Exit left the opened file as it was.
  EXPECT_EQ(lines(project), lines(fs::path(TW_FIXTURES) / "project-status3.tw"));
}

}  // namespace
