// The plot commands of the separation view chosen from its "Save plot" menu by keys, as a user
// would: Print plot on the built-in PDF printer, the page set upright in the printer's page
// set-up (the page rendered by pdftoppm), Save plot to a
// file (*.WMF) under a typed name (rendered by libwmf) and Save plot to clipboard. The pictures
// are kept in the build folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "app/baseflow.h"
#include "app/mainprogram.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "app/separation.h"
#include "platform/clipboard.h"
#include "platform/gdi.h"
#include "platform/message_box.h"
#include "platform/printer.h"
#include "platform/test_api.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/files.h"
#include "tests/support/scripted_user.h"
#include "tests/window/window_fixture.h"
#include "toolkit/dialog/dialogs.h"

namespace fs = std::filesystem;

namespace {

using tw::test::pressed;
using tw::test::Step;

std::string shot(const std::string& name) { return (fs::path(TW_SHOT_DIR) / name).string(); }

// The ink of a picture: how many pixels are not white, and how many are clearly red, green or
// blue (one channel well above the other two), as "ink R G B".
struct Ink {
  long ink = -1, red = -1, green = -1, blue = -1;
};

Ink inkof(const fs::path& png) {
  EXPECT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const hc::Run r = hc::run(
      "/usr/bin/python3 -c \"from PIL import Image\n"
      "im = Image.open('" + png.string() + "').convert('RGB')\n"
      "n = [0, 0, 0, 0]\n"
      "for (r, g, b), c in ((p, 1) for p in im.getdata()):\n"
      "  n[0] += (r, g, b) != (255, 255, 255)\n"
      "  n[1] += r > g + 60 and r > b + 60\n"
      "  n[2] += g > r + 60 and g > b + 60\n"
      "  n[3] += b > r + 60 and b > g + 60\n"
      "print(*n)\"");
  Ink k;
  std::sscanf(r.output.c_str(), "%ld %ld %ld %ld", &k.ink, &k.red, &k.green, &k.blue);
  return k;
}

// The screen's plot area saved the same way, for its colours.
Ink screenink(const std::string& name) {
  win::test::savePng(winslot(0).hClient, shot(name), false);
  return inkof(shot(name));
}

// With "Save plot" selected on the bar (Alt), Down opens it on its first item, each further
// Down moves one item on, and Enter chooses: 0 the clipboard, 1 a file, 2 the printer.
std::deque<Step> saveplotitem(int item) {
  std::deque<Step> keys = {pressed(win::VK_DOWN)};
  for (int i = 0; i < item; ++i) keys.push_back(pressed(win::VK_DOWN));
  keys.push_back(pressed(win::VK_RETURN));
  return keys;
}

class PlotCommands : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    before = fs::current_path();
    folder = fs::temp_directory_path() / ("tw_plotcommands_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    // The PDF printer writes "<title>.pdf" into the current folder.
    fs::current_path(folder);
    win::test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});
  }
  void TearDown() override {
    win::test::setIdleHook(nullptr);
    WindowFixture::TearDown();
    win::test::resetPrinters();
    fs::current_path(before);
    fs::remove_all(folder);
  }
  fs::path before, folder;
};

TEST_F(PlotCommands, TheSeparationPlotPrintedSavedAsAMetafileAndCopied) {
  ASSERT_TRUE(tw::test::needtool("pdftoppm", "poppler-utils"));
  ASSERT_TRUE(tw::test::needtool("wmf2svg", "libwmf-bin"));
  ASSERT_TRUE(tw::test::needtool("rsvg-convert", "librsvg2-bin"));
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  tw::test::scriptuser({pressed(win::VK_RETURN)});
  mainprogram_start();
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  const std::string project = twvars.filename;
  baseflowseparation();
  ASSERT_EQ(twvars.errorflag, 0);

  const fs::path pdf = folder / "separation plot.pdf";
  const fs::path wmf = folder / "separation.wmf";
  Ink screen;
  bool printed = false, metafile = false;
  // Finished on the parameter dialog; then the printer, the file under a typed name, the
  // clipboard; then back to the main menu, declining to save the project.
  std::deque<Step> steps;
  const auto add = [&](std::deque<Step> more) { steps.insert(steps.end(), more.begin(), more.end()); };
  add({pressed(win::VK_RETURN), [&] {
         screen = screenink("plotcommands_screen.png");
         win::test::pressKey(win::VK_MENU);
       }});
  add(saveplotitem(2));
  // The page set-up: upright (Alt+P), confirmed; the file the PDF printer writes: the name it
  // offers, confirmed.
  add({[] { win::test::pressKey('P', win::test::kAlt); }, pressed(win::VK_RETURN), pressed(win::VK_RETURN), [&] {
         printed = fs::exists(pdf);
         win::test::pressKey(win::VK_MENU);
       }});
  add(saveplotitem(1));
  add({tw::test::typed("separation.wmf"), pressed(win::VK_RETURN), [&] {
         metafile = fs::exists(wmf);
         // Nothing else is on the clipboard when the plot goes there.
         if (win::OpenClipboard(nullptr)) {
           win::EmptyClipboard();
           win::CloseClipboard();
         }
         win::test::pressKey(win::VK_MENU);
       }});
  add(saveplotitem(0));
  add({[] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }});
  tw::test::scriptuser(std::move(steps), {'N'});
  bfsep_main();
  win::test::setIdleHook(nullptr);

  EXPECT_TRUE(printed) << "Print plot printed once the page set-up was confirmed";
  EXPECT_TRUE(metafile) << "the metafile is written when the plot ends";
  EXPECT_EQ(twvars.filename, project) << "saving the plot leaves the project's file name";
  EXPECT_EQ(twvars.status, 3);
  std::printf("screen: ink %ld red %ld green %ld blue %ld\n", screen.ink, screen.red, screen.green, screen.blue);
  ASSERT_GT(screen.ink, 0) << "PIL reads the screen picture";

  // The page: one page, rendered; ink over a good part of it, and the plot's colours.
  ASSERT_TRUE(fs::exists(pdf));
  const hc::Run info = hc::run("pdfinfo '" + pdf.string() + "'");
  const std::size_t pages = info.output.find("Pages:");
  ASSERT_NE(pages, std::string::npos) << info.output;
  EXPECT_EQ(std::stoi(info.output.substr(pages + 6)), 1) << info.output;
  EXPECT_NE(info.output.find("595.32 x 841.92 pts"), std::string::npos) << "upright A4, as set up\n" << info.output;
  const hc::Run page = hc::run("pdftoppm -r 50 -png -singlefile '" + pdf.string() + "' '" + shot("plotcommands_printed") + "'");
  ASSERT_EQ(page.status, 0) << page.output;
  const Ink paper = inkof(shot("plotcommands_printed.png"));
  std::printf("printed page: ink %ld red %ld green %ld blue %ld\n", paper.ink, paper.red, paper.green, paper.blue);
  EXPECT_GT(paper.ink, 2000) << "axes, labels and the flows";
  for (auto [onscreen, printedcount, what] : {std::tuple{screen.red, paper.red, "red"}, {screen.green, paper.green, "green"},
                                              {screen.blue, paper.blue, "blue"}}) {
    if (onscreen > 50) {
      EXPECT_GT(printedcount, 50) << what << " on the screen and on the page";
    }
  }

  // The metafile: placeable, and libwmf draws it.
  ASSERT_TRUE(fs::exists(wmf));
  std::ifstream in(wmf, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 22u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\xD7\xCD\xC6\x9A"));
  const std::string svg = shot("plotcommands_saved.svg");
  const hc::Run a = hc::run("wmf2svg -o '" + svg + "' '" + wmf.string() + "'");
  ASSERT_EQ(a.status, 0) << a.output;
  const std::string drawing = tw::test::slurp(svg);
  EXPECT_NE(tw::test::svgtexts(drawing).find("Interactive baseflow separation (BFI = "), std::string::npos)
      << "the title as text";
  EXPECT_NE(drawing.find("<polyline"), std::string::npos) << "the flows as lines";
  // libwmf writes texts as Latin-1 bytes and polylines without "fill:none" (SVG would fill
  // them; a metafile's polyline never is): made UTF-8 and unfilled for rsvg, picture kept.
  const hc::Run v = hc::run("iconv -f latin1 -t utf-8 '" + svg + "' | sed 's|<polyline |<polyline fill=\"none\" |' > '" +
                            svg + ".utf8' && rsvg-convert -f png -o '" +
                            shot("plotcommands_saved_wmf2svg.png") + "' '" + svg + ".utf8'");
  EXPECT_EQ(v.status, 0) << v.output;
  const hc::Run g = hc::run("wmf2gd -t png -o '" + shot("plotcommands_saved_wmf2gd.png") + "' '" + wmf.string() + "'");
  ASSERT_EQ(g.status, 0) << g.output;
  const Ink drawn = inkof(shot("plotcommands_saved_wmf2gd.png"));
  std::printf("metafile by wmf2gd: ink %ld red %ld green %ld blue %ld\n", drawn.ink, drawn.red, drawn.green, drawn.blue);
  EXPECT_GT(drawn.ink, 2000);
  for (auto [onscreen, saved, what] : {std::tuple{screen.red, drawn.red, "red"}, {screen.green, drawn.green, "green"},
                                       {screen.blue, drawn.blue, "blue"}}) {
    if (onscreen > 50) {
      EXPECT_GT(saved, 50) << what << " on the screen and in the metafile";
    }
  }

  // The clipboard holds the plot as a metafile picture.
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  EXPECT_TRUE(win::IsClipboardFormatAvailable(win::CF_METAFILEPICT));
  win::HGLOBAL block = win::GetClipboardData(win::CF_METAFILEPICT);
  ASSERT_NE(block, nullptr);
  const auto* words = static_cast<const std::int32_t*>(win::GlobalLock(block));
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words[0], 8) << "anisotropic mapping";
  const auto mf = reinterpret_cast<win::HMETAFILE>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(words[3])));
  EXPECT_EQ(win::GetMetaFileBitsEx(mf, 0, nullptr), bytes.size() - 22) << "the same plot as the file, without its header";
  win::GlobalUnlock(block);
  win::CloseClipboard();
}

}  // namespace

// With no printer at all the printer set-up fails (error 63), and an answer left from the
// dialog before it (the metafile's file selection, confirmed) must not start a print.
TEST_F(PlotCommands, WithoutAPrinterPrintPlotStopsAtTheSetUp) {
  win::test::setPrinters({});
  tw::test::scriptuser({pressed(win::VK_RETURN)});
  mainprogram_start();
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  baseflowseparation();
  ASSERT_EQ(twvars.errorflag, 0);
  int answer = -1, error = -1;
  std::deque<Step> steps = {pressed(win::VK_RETURN), pressed(win::VK_MENU)};
  const auto add = [&](std::deque<Step> more) { steps.insert(steps.end(), more.begin(), more.end()); };
  add(saveplotitem(1));
  add({tw::test::typed("first.wmf"), pressed(win::VK_RETURN), [&] {
         answer = winfodialog(4);
         tessar.error.LASTERROR = 0;
         win::test::pressKey(win::VK_MENU);
       }});
  add(saveplotitem(2));
  add({[&] {
         error = tessar.error.LASTERROR;
         win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0);
       }});
  tw::test::scriptuser(std::move(steps), {'N'});
  bfsep_main();
  win::test::setIdleHook(nullptr);
  EXPECT_EQ(answer, 1) << "the file selection was confirmed";
  EXPECT_TRUE(fs::exists(folder / "first.wmf"));
  EXPECT_EQ(error, 63) << "the set-up's own error, no failed print job after it";
  EXPECT_FALSE(fs::exists(folder / "Tessaraweld graphic.pdf"));
  EXPECT_FALSE(fs::exists(folder / "separation plot.pdf"));
}

// No to "File exists. Do you want to overwrite it?" brings the file selection back on the
// name chosen, not a blank one; Cancel there leaves the file as it was.
TEST_F(PlotCommands, NoToOverwriteAsksAgainWithTheNameKept) {
  tw::test::scriptuser({pressed(win::VK_RETURN)});
  mainprogram_start();
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  baseflowseparation();
  ASSERT_EQ(twvars.errorflag, 0);
  { std::ofstream(folder / "kept.wmf") << "the user's own file"; }
  std::string offered;
  std::deque<Step> steps = {pressed(win::VK_RETURN), pressed(win::VK_MENU)};
  const auto add = [&](std::deque<Step> more) { steps.insert(steps.end(), more.begin(), more.end()); };
  add(saveplotitem(1));
  add({tw::test::typed("kept.wmf"), pressed(win::VK_RETURN), [&] {
         char text[600] = {};
         win::GetWindowText(win::GetFocus(), text, sizeof text);
         offered = text;
         win::test::pressKey(win::VK_ESCAPE);
       },
       [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }});
  tw::test::scriptuser(std::move(steps), {'N', 'N'});
  bfsep_main();
  win::test::setIdleHook(nullptr);
  EXPECT_NE(offered.find("kept.wmf"), std::string::npos) << "the chooser came back with: " << offered;
  std::ifstream in(folder / "kept.wmf");
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "the user's own file");
}
