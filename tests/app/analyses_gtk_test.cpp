// The analyses on a desktop: build/app/tarnwalker on a private Xvfb server (GTK backend),
// driven with xdotool as a user would. A status-3 project made from the USGS record is opened,
// the baseflow separation shown, the filter parameter changed to 0.98 (three passes, as the
// project has them) with the BFI in the plot title following, the plot zoomed and scrolled,
// the view left with Finished and the project saved; then the regression with the additional
// data shows its fit. On the way the plot is printed to the PDF printer, saved as a metafile
// (drawn by libwmf) and copied (read back by xclip as PNG and as SVG). Screenshots are kept in the build folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/baseflow.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "tests/app/program_desktop.h"
#include "tests/app/usgs_project.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

using tw::test::lines;
using tw::test::ProgramOnDesktop;

// The value on the line of the saved project that starts with label, without blanks.
std::string field(const fs::path& file, const std::string& label) {
  for (const std::string& line : lines(file)) {
    const std::size_t start = line.find_first_not_of(' ');
    const std::string l = start == std::string::npos ? "" : line.substr(start);   // labels stand right-aligned
    if (l.rfind(label, 0) == 0) {
      const std::string rest = l.substr(label.size());
      const std::size_t a = rest.find_first_not_of(' '), b = rest.find_last_not_of(" \r");
      return a == std::string::npos ? "" : rest.substr(a, b - a + 1);
    }
  }
  return "";
}

// Pixels of a PNG that are not near white; -1 when it cannot be read.
long inkof(const std::string& png) {
  cairo_surface_t* image = tw::test::loadPng(png);
  if (!image) return -1;
  long n = 0;
  const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const win::COLORREF c = tw::test::pixelAt(image, x, y);
      if ((c & 0xFF) < 200 || ((c >> 8) & 0xFF) < 200 || ((c >> 16) & 0xFF) < 200) ++n;
    }
  cairo_surface_destroy(image);
  return n;
}

class Analyses : public ProgramOnDesktop {
 protected:
  void SetUp() override {
    ProgramOnDesktop::SetUp();
    ASSERT_TRUE(tw::test::needtool("pdftoppm", "poppler-utils"));
    ASSERT_TRUE(tw::test::needtool("wmf2gd", "libwmf-bin"));
    ASSERT_TRUE(tw::test::needtool("xclip", "xclip"));
    ASSERT_TRUE(tw::test::needtool("rsvg-convert", "librsvg2-bin"));
    // The project is written here, headless, with the program's own reader and writer.
    initialise_tw_vars();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
    ASSERT_TRUE(tw::test::usgsproject());
    win::test::clearMessageBoxAnswers();
    std::string text;
    filesave_text(text, 2026, 12, 11, 3, 0);
    std::ofstream(dir / "usgs.tw", std::ios::binary) << text;
    daily = twvars.ndays;
  }
  // Moves the pointer to (x, y) of window w and clicks there.
  bool click(const std::string& w, int x, int y) {
    return tw::test::sh("eval \"$(xdotool getwindowgeometry --shell " + w + ")\"; xdotool mousemove $((X + " +
                        std::to_string(x) + ")) $((Y + " + std::to_string(y) + ")) sleep 0.2 click 1");
  }
  int daily = 0;
};

TEST_F(Analyses, SeparationWithANewParameterThenTheRegressionFit) {
  const std::string main = startToMainWindow();
  ASSERT_FALSE(main.empty()) << "no about dialog or no main window after it";

  // File > Open: the USGS project.
  ASSERT_TRUE(keys(main, "alt+f o"));
  const std::string chooser = waitWindow("^Open data$");
  ASSERT_FALSE(chooser.empty()) << "no file chooser for Open";
  ::usleep(1500000);
  const fs::path project = dir / "usgs.tw";
  ASSERT_TRUE(keys(chooser, "ctrl+l"));
  ASSERT_TRUE(type(project.string()));
  ASSERT_TRUE(keys(chooser, "Return"));
  ASSERT_TRUE(answer("^File opened$", "Return", "analyses_open_summary")) << "no data summary";

  // Analysis > Baseflow separation (the third item): the plot and the parameter dialog.
  ASSERT_TRUE(keys(main, "alt+a Down Down Return"));
  const std::string params = waitWindow("^Baseflow Parameters$");
  ASSERT_FALSE(params.empty()) << "no parameter dialog";
  shot("analyses_separation");
  // The dialog stands at 0.7 of the screen's width, wholly on this 1024-pixel screen.
  int st = 0;
  const std::string where = tw::test::runCommand("xdotool getwindowgeometry --shell " + params, st);
  int x = -1, width = -1;
  std::sscanf(where.substr(where.find("X=")).c_str(), "X=%d", &x);
  std::sscanf(where.substr(where.find("WIDTH=")).c_str(), "WIDTH=%d", &width);
  std::printf("parameter dialog at x %d, %d wide\n", x, width);
  EXPECT_EQ(x, 716);
  EXPECT_LE(x + width, 1024);

  // The parameter typed over the old one and Tab: the separation runs again at once.
  ASSERT_TRUE(click(params, 164, 46));
  ASSERT_TRUE(keys(params, "End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace"));
  ASSERT_TRUE(type("0.98"));
  ASSERT_TRUE(keys(params, "Tab"));
  shot("analyses_parameter_098");
  // The days: zoom in twice, then scroll left and right.
  ASSERT_TRUE(click(params, 154, 236));
  ASSERT_TRUE(click(params, 154, 236));
  shot("analyses_zoomed");
  ASSERT_TRUE(click(params, 122, 281));
  shot("analyses_scrolled_left");
  ASSERT_TRUE(click(params, 185, 281));
  ASSERT_TRUE(click(params, 185, 281));
  shot("analyses_scrolled_right");
  // Finished closes the dialog; "Return to main menu" leaves the view, and the save question
  // answered Yes writes the project with the new separation.
  ASSERT_TRUE(click(params, 175, 331));
  ::usleep(500000);
  EXPECT_TRUE(waitWindow("^Baseflow Parameters$", "", 1).empty()) << "the dialog stayed";

  // The plot's commands: Print plot (its page set-up confirmed with Enter) onto the built-in
  // PDF printer, which asks for the file in the desktop's chooser (a typed name); Save plot
  // to a file under a typed name; Save plot to clipboard, read by xclip as the desktop's PNG.
  ASSERT_TRUE(keys(main, "alt+s p"));
  const std::string setup = waitWindow("^(Page Setup|Page set-up|Print)$");
  ASSERT_FALSE(setup.empty()) << "no page set-up for Print plot";
  ::usleep(800000);
  shot("analyses_print_setup");
  ASSERT_TRUE(keys(setup, "Return"));
  const std::string printfile = waitWindow("^Print plot to file$");
  ASSERT_FALSE(printfile.empty()) << "no file chooser for the PDF printer";
  ::usleep(1500000);
  shot("analyses_print_to_file");
  const fs::path pdf = dir / "flows printed.pdf";
  ASSERT_TRUE(keys(printfile, "ctrl+a"));
  ASSERT_TRUE(type(pdf.string()));
  ASSERT_TRUE(keys(printfile, "Return"));
  for (int i = 0; i < 200 && !fs::exists(pdf); ++i) ::usleep(100000);
  ASSERT_TRUE(fs::exists(pdf)) << "Print plot printed nothing";
  const std::string page = std::string(TW_SHOT_DIR) + "/analyses_printed";
  bool rendered = false;
  for (int i = 0; i < 50 && !rendered; ++i) {   // the job may still be writing
    rendered = hc::run("pdftoppm -r 50 -png -singlefile '" + pdf.string() + "' '" + page + "'").status == 0;
    if (!rendered) ::usleep(200000);
  }
  ASSERT_TRUE(rendered) << "pdftoppm reads no page from " << pdf;
  EXPECT_GT(inkof(page + ".png"), 2000) << "axes, labels and flows on the printed page";

  ASSERT_TRUE(keys(main, "alt+s Down Return"));
  const std::string saver = waitWindow("^Save plot$");
  ASSERT_FALSE(saver.empty()) << "no file chooser for Save plot";
  ::usleep(1500000);
  const fs::path wmf = dir / "separation.wmf";
  ASSERT_TRUE(keys(saver, "ctrl+a"));
  ASSERT_TRUE(type(wmf.string()));
  ASSERT_TRUE(keys(saver, "Return"));
  for (int i = 0; i < 100 && !(fs::exists(wmf) && fs::file_size(wmf) > 1000); ++i) ::usleep(100000);
  ASSERT_TRUE(fs::exists(wmf)) << "Save plot wrote no metafile";
  ::usleep(500000);
  const std::string drawn = std::string(TW_SHOT_DIR) + "/analyses_saved_wmf2gd.png";
  const hc::Run g = hc::run("wmf2gd -t png -o '" + drawn + "' '" + wmf.string() + "'");
  ASSERT_EQ(g.status, 0) << g.output;
  EXPECT_GT(inkof(drawn), 2000) << "libwmf draws the saved plot";

  ASSERT_TRUE(keys(main, "alt+s"));
  shot("analyses_save_plot_menu");
  ASSERT_TRUE(keys(main, "Return"));
  ::usleep(1000000);
  const fs::path copied = fs::path(TW_SHOT_DIR) / "analyses_clipboard.png";
  std::printf("clipboard offers: %s\n", hc::run("timeout 15 xclip -selection clipboard -t TARGETS -o").output.c_str());
  hc::run("timeout 15 xclip -selection clipboard -t image/png -o > '" + copied.string() + "'");
  EXPECT_GT(inkof(copied.string()), 2000) << "the desktop reads the plot from the clipboard as PNG";
  // And as SVG, the plot's vector drawing, which rsvg draws.
  const fs::path svg = fs::path(TW_SHOT_DIR) / "analyses_clipboard.svg";
  hc::run("timeout 15 xclip -selection clipboard -t image/svg+xml -o > '" + svg.string() + "'");
  const std::string drawing = tw::test::slurp(svg);
  EXPECT_NE(drawing.find("<svg"), std::string::npos) << "no SVG from the clipboard";
  const std::string fromsvg = std::string(TW_SHOT_DIR) + "/analyses_clipboard_svg.png";
  EXPECT_EQ(hc::run("rsvg-convert -f png -o '" + fromsvg + "' '" + svg.string() + "'").status, 0);
  EXPECT_GT(inkof(fromsvg), 2000) << "rsvg draws the plot from the clipboard's SVG";
  shot("analyses_plot_commands_done");
  ASSERT_TRUE(keys(main, "alt+r"));
  ASSERT_TRUE(answer("^Save now\\?$", "Return", "analyses_save_question")) << "no save question on leaving";
  ASSERT_TRUE(answer("^Done$")) << "no Done after the save";
  const std::string parameter = field(project, "Digital filter parameter:");
  const std::string bfi = field(project, "Baseflow Index (BFI):");
  std::printf("saved: parameter '%s', passes '%s', BFI '%s'\n", parameter.c_str(),
              field(project, "Number of passes:").c_str(), bfi.c_str());
  EXPECT_EQ(parameter, "0.980");
  EXPECT_EQ(field(project, "Number of passes:"), "3");
  // The engine on the same record with 0.98 gives the BFI the program saved (and showed).
  twvars.filterparam = 0.98f;
  baseflowseparation();
  char want[16];
  std::snprintf(want, sizeof want, "%.2f", twvars.BFI);
  EXPECT_EQ(bfi, want);

  // Analysis > Baseflow regression with additional data (the sixth item): the fit.
  ASSERT_TRUE(keys(main, "alt+a Down Down Down Down Down Return"));
  const std::string regression = waitWindow("^Baseflow Regression$");
  ASSERT_FALSE(regression.empty()) << "no regression dialog";
  shot("analyses_regression");
  // The additional data: rain and the dam's storage ticked; then "Include outliers?"
  // unticked drops the flood year. Each click refits at once.
  ASSERT_TRUE(click(regression, 153, 67));
  ASSERT_TRUE(click(regression, 153, 86));
  shot("analyses_regression_rain_and_dam");
  ASSERT_TRUE(click(regression, 144, 324));
  shot("analyses_regression_outlier_dropped");
  // Finished, back to the main menu without saving, and File > Exit.
  ASSERT_TRUE(click(regression, 345, 325));
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+r"));
  ASSERT_TRUE(answer("^Save now\\?$", "n")) << "no save question on leaving the regression";
  ASSERT_TRUE(keys(main, "alt+f e"));
  ASSERT_TRUE(answer("^Save now\\?$", "n")) << "no save question at Exit";
  for (int i = 0; i < 150 && !ended(); ++i) ::usleep(100000);
  ASSERT_TRUE(ended()) << "the program did not end after Exit";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
