// The real program on a desktop: build/app/tarnwalker started as a child process on a private
// Xvfb server (GTK backend) and driven with xdotool as a user would: the about dialog closed,
// a status-3 project opened through GTK's file chooser, saved as a new name, and the program
// left through File > Exit. Screenshots are kept in the build folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/hardcopy/driver_files.h"
#include "tests/support/xserver.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMainTitle = "^TarnWalker - Baseflow Separation and Trend Analysis$";

std::vector<std::string> lines(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

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

class ProgramOnDesktop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("GSETTINGS_BACKEND", "memory", 1);   // no settings daemon on the bare server
    ready = tw::test::startXvfb(false);
  }
  static void TearDownTestSuite() { tw::test::stopXvfb(); }

  void SetUp() override {
    ASSERT_TRUE(ready) << "Xvfb did not start";
    ASSERT_TRUE(hc::needtool("xdotool", "xdotool"));
    ASSERT_TRUE(hc::needtool("import", "imagemagick"));
    dir = fs::temp_directory_path() / ("tw_program_gtk_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "config");
    fs::copy_file(fs::path(TW_FIXTURES) / "project-status3.tw", dir / "project-status3.tw");
  }

  void TearDown() override {
    // Never leave the program behind, whatever happened.
    if (child > 0 && !exited) {
      ::kill(child, SIGKILL);
      ::waitpid(child, nullptr, 0);
    }
    std::ifstream log(dir / "program.log");
    std::printf("program output:\n%s\n", std::string(std::istreambuf_iterator<char>(log), {}).c_str());
    fs::remove_all(dir);
  }

  // The program in its own folder, which is also its home and configuration folder.
  void startProgram() {
    child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (::chdir(dir.c_str()) != 0) ::_exit(120);
      ::setenv("HOME", dir.c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
      const int out = ::open((dir / "program.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int in = ::open("/dev/null", O_RDONLY);
      if (out >= 0) ::dup2(out, 1), ::dup2(out, 2);
      if (in >= 0) ::dup2(in, 0);
      ::execl(TW_PROGRAM, TW_PROGRAM, static_cast<char*>(nullptr));
      ::_exit(121);
    }
  }

  // True once the program has ended, with its exit status in status.
  bool ended() {
    if (exited) return true;
    int s = 0;
    if (::waitpid(child, &s, WNOHANG) == child) {
      exited = true;
      status = s;
    }
    return exited;
  }

  // A visible window titled (regular expression) title, other than the window other; "" when
  // none came within the seconds or the program ended meanwhile.
  std::string waitWindow(const std::string& title, const std::string& other = "", int seconds = 20) {
    for (int i = 0; i < seconds * 10 && !ended(); ++i) {
      int st = 0;
      std::istringstream out(tw::test::runCommand(
          "timeout 5 xdotool search --onlyvisible --name '" + title + "' 2>/dev/null", st));
      for (std::string id; std::getline(out, id);)
        if (!id.empty() && id != other) return id;
      ::usleep(100000);
    }
    return "";
  }

  // The bare server gives the keyboard to the window under the pointer: point at the window's
  // top middle, then press the keys.
  bool keys(const std::string& window, const std::string& what) {
    return tw::test::sh("eval \"$(xdotool getwindowgeometry --shell " + window + ")\"; xdotool mousemove $((X + WIDTH / 2)) $((Y + 12))") &&
           tw::test::sh("sleep 0.2; timeout 10 xdotool key --delay 80 " + what);
  }
  bool type(const std::string& text) { return tw::test::sh("timeout 20 xdotool type --delay 50 '" + text + "'"); }

  // The screen as a PNG beside the test, checked readable; its path.
  std::string shot(const std::string& name) {
    ::usleep(600000);   // let the last change paint
    const std::string png = std::string(TW_SHOT_DIR) + "/" + name + ".png";
    // ImageMagick's import rather than xwd: xwd of the root leaves the program's dialogs
    // (windows of their own visual) black on this server.
    EXPECT_TRUE(tw::test::sh("import -display " + tw::test::xDisplay() + " -window root " + png));
    cairo_surface_t* image = tw::test::loadPng(png);
    EXPECT_NE(image, nullptr) << "no screenshot " << png;
    if (image) cairo_surface_destroy(image);
    std::printf("screenshot: %s\n", png.c_str());
    return png;
  }

  // Answers a message box titled title with Enter; false when it did not come.
  bool answer(const std::string& title, const std::string& key = "Return", const std::string& picture = "") {
    const std::string box = waitWindow(title);
    if (box.empty()) return false;
    ::usleep(400000);
    if (!picture.empty()) shot(picture);
    return keys(box, key);
  }

  static inline bool ready = false;
  fs::path dir;
  pid_t child = -1;
  bool exited = false;
  int status = -1;
};

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
