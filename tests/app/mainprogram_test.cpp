// The main program as a user meets it, on the headless backend: the about dialog at start, the menu state and status bar, commands through the menu loop, the exit sequence with its save question, and the file commands New, Open and Save as with their questions and the decisions on failed saves, cancelled and failed opens and declined overwrites.
#include "app/mainprogram.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/menustate.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/statusbar.h"
#include "platform/test_api.h"
#include "tests/support/scripted_user.h"
#include "tests/window/window_fixture.h"
#include "toolkit/dialog/dialogs.h"

namespace fs = std::filesystem;

namespace {

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

class MainProgram : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    dir = fs::temp_directory_path() / ("tw_mainprog_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    start = fs::current_path();
    fs::current_path(dir);
    win::test::clearMessageBoxes();
  }
  void TearDown() override {
    win::test::setIdleHook(nullptr);
    fs::current_path(start);
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
    WindowFixture::TearDown();
  }
  static void user(std::deque<tw::test::Step> steps, std::deque<int> boxkeys = {}) {
    tw::test::scriptuser(std::move(steps), std::move(boxkeys));
  }
  static tw::test::Step type(const std::string& t) { return tw::test::typed(t); }
  static tw::test::Step enter() { return tw::test::pressed(win::VK_RETURN); }
  // Starts the program, closing the about dialog with its OK button.
  void started() {
    user({enter()});
    mainprogram_start();
    win::test::setIdleHook(nullptr);
    ASSERT_EQ(tessar.window.ROOTOPEN, 1);
  }
  static std::string statustext() {
    char t[256] = {};
    win::SendMessage(winslot(0).wMessLine, win::SB_GETTEXT, 0, reinterpret_cast<win::LPARAM>(t));   // field 1
    return t;
  }
  static bool enabled(int id) {
    return (win::GetMenuState(winslot(0).hMenuRoot, static_cast<win::UINT>(id), win::MF_BYCOMMAND) & win::MF_GRAYED) == 0;
  }
  std::string project(const char* name) {
    const fs::path p = dir / name;
    fs::copy_file(fs::path(TW_FIXTURES) / "project-status3.tw", p, fs::copy_options::overwrite_existing);
    return p.string();
  }
  // A status-3 project loaded as from the Open command.
  void loaded(const std::string& path) {
    twvars.filename = path;
    twvars.filename.resize(500, ' ');
    ASSERT_TRUE(fileopen_read());
    ASSERT_EQ(twvars.status, 3);
  }
  fs::path dir, start;
};

TEST_F(MainProgram, StartsWithTheAboutDialogAndTheMenuState) {
  std::string version;
  user({[&] {
    std::string v(32, ' ');
    WDialogGetString(1018, v);
    version = v;
    win::test::pressKey(win::VK_RETURN);
  }});
  mainprogram_start();
  win::test::setIdleHook(nullptr);
  EXPECT_EQ(trimmed(version), trimmed(std::string(param.version))) << "the version field shows the program's version";
  EXPECT_EQ(statustext(), "Tarnwalker file:   None");
  setmenustate();
  EXPECT_TRUE(enabled(40009));
  EXPECT_FALSE(enabled(40006)) << "nothing to save at status 0";
  loaded(project("p.tw"));
  setmenustate();
  EXPECT_TRUE(enabled(40007));
  EXPECT_TRUE(enabled(40008));
  EXPECT_EQ(statustext(), "Tarnwalker file:   " + (dir / "p.tw").string());
}

TEST_F(MainProgram, TheMenuLoopIgnoresOtherCommandsAndExitsWithoutAQuestionAtStatusZero) {
  started();
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0);
  EXPECT_FALSE(mainprogram_turn()) << "a plot window's command is ignored here";
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40005, 0);
  EXPECT_TRUE(mainprogram_turn());
  EXPECT_TRUE(win::test::messageBoxes().empty());
  EXPECT_EQ(tessar.window.ROOTOPEN, 0);
}

TEST_F(MainProgram, TheExitQuestion) {
  started();
  const std::string path = project("q.tw");
  loaded(path);
  const std::string before = [&] {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  // Yes with a save that cannot be written: the program goes on with its data.
  twvars.filename = (dir / "gone" / "q.tw").string();
  twvars.filename.resize(500, ' ');
  user({}, {'Y', win::VK_RETURN});
  EXPECT_FALSE(exitsequence());
  EXPECT_EQ(tessar.window.ROOTOPEN, 1);
  EXPECT_EQ(twvars.status, 3);
  // No ends it without saving.
  user({}, {'N'});
  EXPECT_TRUE(exitsequence());
  EXPECT_EQ(tessar.window.ROOTOPEN, 0);
}

TEST_F(MainProgram, OpenKeepsTheProjectUntilAFileIsRead) {
  started();
  const std::string first = project("first.tw");
  loaded(first);
  // Cancelled: the project, its name and status stay.
  user({[] { win::test::pressKey(win::VK_ESCAPE); }}, {'N'});
  fileopen();
  EXPECT_EQ(twvars.status, 3);
  EXPECT_EQ(trimmed(twvars.filename), first);
  // A file that is no project: the failure is told and nothing changes.
  std::ofstream(dir / "notes.tw") << "not a project\n";
  user({type("notes.tw"), enter()}, {'N', win::VK_RETURN, win::VK_RETURN});
  fileopen();
  EXPECT_EQ(twvars.status, 3);
  EXPECT_EQ(trimmed(twvars.filename), first);
  // Another project is read.
  const std::string second = project("second.tw");
  user({type("second.tw"), enter()}, {'N', win::VK_RETURN});
  fileopen();
  EXPECT_EQ(trimmed(twvars.filename), second);
  EXPECT_EQ(twvars.status, 3);
}

TEST_F(MainProgram, SaveAsAndNew) {
  started();
  const std::string first = project("mine.tw");
  loaded(first);
  std::ofstream(dir / "taken.tw") << "someone else's";
  // Declining the overwrite keeps the previous name.
  user({type("taken"), enter()}, {win::VK_RETURN, 'N', win::VK_RETURN});
  filesaveas();
  EXPECT_EQ(trimmed(twvars.filename), first);
  {
    std::ifstream in(dir / "taken.tw");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "someone else's");
  }
  // Save as to a new name gets the extension and writes the project there.
  user({type("copy"), enter()}, {win::VK_RETURN, win::VK_RETURN});
  filesaveas();
  EXPECT_EQ(trimmed(twvars.filename), (dir / "copy.tw").string());
  EXPECT_TRUE(fs::exists(dir / "copy.tw"));
  // New: the save question, the notice, the name, and an empty project at status 1.
  user({type("fresh"), enter()}, {'N', win::VK_RETURN, win::VK_RETURN});
  filenew();
  EXPECT_EQ(trimmed(twvars.filename), (dir / "fresh.tw").string());
  EXPECT_EQ(twvars.status, 1);
  EXPECT_EQ(twvars.ndays, 0);
}

}  // namespace
