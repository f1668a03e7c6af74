// The real program on a private Xvfb server (GTK backend), started as a child process in a
// folder of its own and driven with xdotool as a user would; screenshots kept in the build folder.
// Tests that include this define TW_PROGRAM and TW_SHOT_DIR and link tw_test_xserver.
#pragma once

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

namespace tw::test {

namespace fs = std::filesystem;

inline constexpr const char* kMainTitle = "^TarnWalker - Baseflow Separation and Trend Analysis$";

inline std::vector<std::string> lines(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
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
    ASSERT_TRUE(tw::test::needtool("xdotool", "xdotool"));
    ASSERT_TRUE(tw::test::needtool("import", "imagemagick"));
    // A folder whose name holds a letter of the code page beyond ASCII: every route the
    // program takes through the desktop (choosers, working folder, home, titles) crosses it.
    top = fs::temp_directory_path() / ("tw_program_gtk_" + std::to_string(::getpid()));
    dir = top / "Donn\xC3\xA9" "es";
    fs::remove_all(top);
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
    fs::remove_all(top);
  }

  // The program (TarnWalker unless another is named) in its own folder, which is also its home
  // and configuration folder.
  void startProgram(const char* program = TW_PROGRAM) {
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
      ::execl(program, program, static_cast<char*>(nullptr));
      ::_exit(121);
    }
  }

  // TarnWalker started and its about dialog closed: the main window ("" when either did not come).
  std::string startToMainWindow() {
    startProgram();
    const std::string about = waitWindow("^About TarnWalker$");
    if (about.empty() || !keys(about, "Return")) return "";
    return waitWindow(kMainTitle);
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
  fs::path top, dir;
  pid_t child = -1;
  bool exited = false;
  int status = -1;
};

}  // namespace tw::test
