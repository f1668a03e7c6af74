// The text editor's files at their far ends: a file past 4 GiB, a text longer than the
// control takes, a symbolic link, a file's permissions, a read-only file, a user's own file of
// the old temporary name, pipes and devices; each through the editor's window and commands as
// a user reaches them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_box.h"
#include "platform/os.h"
#include "platform/richedit.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/window/childwin.h"

namespace {

using twtest::ScreenFixture;
using namespace win;
namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class EditorFiles : public ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    openScreen(600, 400);
    yyeditbufalloc();
    dir = fs::temp_directory_path() / ("tw_editfiles_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    test::clearMessageBoxes();
  }
  void TearDown() override {
    test::clearMessageBoxAnswers();
    for (int w = 1; w < MAXWINDOWS; ++w)
      if (winslot(w).wWindow != nullptr) WindowCloseChild(w);
    std::error_code ec;
    fs::remove_all(dir, ec);
    ScreenFixture::TearDown();
  }
  // The "Browse text file" editor's window and options.
  EditorRecord* browse(const std::string& path, int options = 34) {
    WindowOpenChildOptions o;
    o.flags = 39;
    o.width = 400;
    o.height = 300;
    o.title = "Text Editor";
    int n = 0;
    WindowOpenChild(n, o);
    WEditFile(path, {.mode = 2, .menu = 0, .options = options, .fonttype = 1});
    return yyeditrecord(winslot(n).wWindow);
  }
  std::string file(const std::string& name, const std::string& text) {
    const auto p = dir / name;
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }
  static std::string text() {
    int result = -1;
    std::string t;
    yyeditgettext(result, 1 << 24, t);
    return t;
  }
  // Typed over the first character (a full control takes no more).
  static void type(EditorRecord* r, const char* what) {
    SetFocus(r->control);
    SendMessage(r->control, EM_SETSEL, 0, SendMessage(r->control, WM_GETTEXTLENGTH, 0, 0) > 0 ? 1 : 0);
    test::typeText(what);
    test::runUntilIdle();
  }
  static void save(EditorRecord* r) { SendMessage(GetParent(r->control), WM_COMMAND, ED_SAVE, 0); }
  static bool modified(EditorRecord* r) { return SendMessage(r->control, EM_GETMODIFY, 0, 0) != 0; }
  static const test::MessageBoxRecord* lastbox() {
    return test::messageBoxes().empty() ? nullptr : &test::messageBoxes().back();
  }
  std::vector<std::string> names() const {
    std::vector<std::string> all;
    for (const auto& e : fs::directory_iterator(dir)) all.push_back(e.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
  }
  fs::path dir;
};

TEST_F(EditorFiles, AFileOver4GiBIsRefusedAndNeverWritten) {
  const std::string path = file("big.txt", "");
  constexpr std::uintmax_t size = 4294967396ULL;  // 100 bytes in 32 bits
  std::error_code ec;
  fs::resize_file(path, size, ec);  // sparse: no real data
  ASSERT_FALSE(ec) << ec.message();
  EditorRecord* r = browse(path);
  ASSERT_NE(r, nullptr);
  ASSERT_NE(lastbox(), nullptr);
  EXPECT_EQ(lastbox()->title, "Open Error");
  EXPECT_EQ(lastbox()->text, "File too large");
  EXPECT_EQ(text(), "") << "not 100 blanks";

  // Typed text saved by the name the file was loaded under: refused, the file stays whole.
  type(r, "typed");
  test::clearMessageBoxes();
  save(r);
  ASSERT_NE(lastbox(), nullptr);
  EXPECT_EQ(lastbox()->title, "Open Error");
  EXPECT_EQ(lastbox()->text, "File too large");
  EXPECT_EQ(fs::file_size(path), size);
  EXPECT_TRUE(modified(r));
  EXPECT_EQ(names(), std::vector<std::string>{"big.txt"});
}

TEST_F(EditorFiles, ATextOverTheLimitIsCutWithANoticeAndSavedOverTheFileOnlyWhenConfirmed) {
  // The control's limit made small, so that the files stay small: a file of short lines (cut by
  // the control), one of a single long line, and one longer than twice the limit (read only
  // in part), plain and RTF.
  std::string lines;
  for (int k = 0; k < 150; ++k) lines += "line " + std::to_string(k) + "\r\n";
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
  for (int k = 0; k < 300; ++k) rtf += "word" + std::to_string(k) + " \\b bold\\b0 \\par\n";
  rtf += "}";
  struct Case {
    const char* name;
    std::string content;
  };
  const std::vector<Case> cases = {{"lines.txt", lines}, {"long.txt", std::string(1500, 'x')},
                                   {"huge.txt", std::string(5000, 'y')}, {"cut.rtf", rtf}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = file(c.name, c.content);
    EditorRecord* r = browse("", 64);
    ASSERT_NE(r, nullptr);
    SendMessage(r->control, EM_EXLIMITTEXT, 0, 1000);
    test::clearMessageBoxes();
    WEditFile(path, {});  // into the editor of the current window
    ASSERT_NE(lastbox(), nullptr);
    EXPECT_EQ(lastbox()->title, "File Too Large");
    EXPECT_NE(lastbox()->text.find("Only the first 1000 characters of " + path), std::string::npos) << lastbox()->text;
    EXPECT_EQ(SendMessage(r->control, WM_GETTEXTLENGTH, 0, 0), 1000);
    EXPECT_FALSE(modified(r));

    // Saving asks; No keeps the file whole and the text unsaved.
    type(r, "A");
    test::clearMessageBoxes();
    test::answerNextMessageBoxWithClick(IDNO);
    save(r);
    ASSERT_EQ(test::messageBoxes().size(), 1u);
    EXPECT_EQ(lastbox()->title, "File Too Large");
    EXPECT_EQ(lastbox()->style & MB_DEFBUTTON2, MB_DEFBUTTON2) << "No is the default";
    EXPECT_EQ(slurp(path), c.content);
    EXPECT_TRUE(modified(r));
    // Yes writes the text shown; the next save asks no more.
    test::answerNextMessageBoxWithClick(IDYES);
    save(r);
    EXPECT_FALSE(modified(r));
    EXPECT_NE(slurp(path), c.content);
    EXPECT_EQ(slurp(path).substr(0, 1), std::string(c.name) == "cut.rtf" ? "{" : "A");
    type(r, "B");
    test::clearMessageBoxes();
    save(r);
    EXPECT_TRUE(test::messageBoxes().empty());
    EXPECT_FALSE(modified(r));
  }

  // A file that fits loads without a word.
  EditorRecord* r = browse("", 0);
  ASSERT_NE(r, nullptr);
  SendMessage(r->control, EM_EXLIMITTEXT, 0, 1000);
  test::clearMessageBoxes();
  WEditFile(file("fits.txt", std::string(999, 'z') + "\r\n"), {});
  EXPECT_TRUE(test::messageBoxes().empty());
}

TEST_F(EditorFiles, SavingGoesThroughLinksKeepsPermissionsAndRefusesReadOnlyFiles) {
  fs::create_directory(dir / "real");
  const std::string real = file("real/notes.txt", "old\r\n");
  chmod(real.c_str(), 0600);
  const std::string link = (dir / "notes.txt").string();
  fs::create_symlink("real/notes.txt", link);
  // A user's own file of the name saves once used for their temporary.
  file("real/notes.txt.tmp~", "the user's");
  file("notes.txt.tmp~", "the user's too");
  EditorRecord* r = browse(link);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(text(), "old\r\n");
  type(r, "n");
  save(r);
  EXPECT_FALSE(modified(r));
  EXPECT_TRUE(fs::is_symlink(link)) << "the link stays a link";
  EXPECT_EQ(slurp(real), "nld\r\n");
  struct stat st {};
  stat(real.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0600u) << "a private file stays private";
  EXPECT_EQ(slurp(dir / "real/notes.txt.tmp~"), "the user's");
  EXPECT_EQ(slurp(dir / "notes.txt.tmp~"), "the user's too");
  EXPECT_EQ(names(), (std::vector<std::string>{"notes.txt", "notes.txt.tmp~", "real"}));

  // A read-only file: refused with the system's reason (also for the super-user).
  const std::string ro = file("ro.txt", "keep\r\n");
  chmod(ro.c_str(), 0444);
  r = browse(ro);
  ASSERT_NE(r, nullptr);
  type(r, "x");
  test::clearMessageBoxes();
  save(r);
  ASSERT_NE(lastbox(), nullptr);
  EXPECT_EQ(lastbox()->title, "Open Error");
  EXPECT_EQ(lastbox()->text, "Permission denied");
  EXPECT_EQ(slurp(ro), "keep\r\n");
  EXPECT_TRUE(modified(r));
}

TEST_F(EditorFiles, PipesAndDevicesAreRefusedWithoutWaiting) {
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  // A reader that waits on the pipe is freed after a generous time, so that the test fails
  // instead of hanging.
  std::atomic<bool> done{false}, waited{false};
  std::thread watchdog([&] {
    for (int k = 0; k < 200 && !done; ++k) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (done) return;
    waited = true;
    for (int k = 0; k < 4; ++k) {  // the lock and the read each open it
      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  });
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    SCOPED_TRACE(path);
    test::clearMessageBoxes();
    EditorRecord* r = browse(path);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(lastbox(), nullptr);
    EXPECT_EQ(lastbox()->title, "Open Error");
    EXPECT_EQ(lastbox()->text, "Not a regular file");
    EXPECT_EQ(text(), "");
  }
  done = true;
  watchdog.join();
  EXPECT_FALSE(waited) << "opening the pipe waited for a writer";
}

// Was: with backups set, a file whose name has over 251 bytes (no room for ".bak" in a folder
// entry of 255) was saved without its copy and without a word. The user is asked: No keeps the
// file as it was and the text unsaved, Yes saves without the copy. A name of 251 bytes still
// gets its copy, and a file not on the disk any more needs none.
TEST_F(EditorFiles, ABackupCopyThatCannotBeMadeIsReportedBeforeTheSave) {
  const std::string e1252(1, '\xe9'), eutf8 = "\xc3\xa9";
  char toolong[301] = {};
  yyerrorstr(ERROR_FILENAME_EXCED_RANGE, toolong, sizeof toolong);
  auto repeated = [](const std::string& s, int n) {
    std::string out;
    for (int k = 0; k < n; ++k) out += s;
    return out;
  };
  struct Case {
    const char* why;
    std::string system;   // the name on the disk (UTF-8)
    std::string program;  // the name the program uses (Windows-1252)
    bool copied;          // the ".bak" copy can be made
  };
  const Case cases[] = {
      {"a short name", "notes.txt", "notes.txt", true},
      {"251 bytes: the copy's name takes the whole folder entry", repeated(eutf8, 125) + "a", repeated(e1252, 125) + "a", true},
      {"252 bytes: no room for the copy", repeated(eutf8, 126), repeated(e1252, 126), false},
      {"255 bytes", repeated(eutf8, 127) + "a", repeated(e1252, 127) + "a", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string program = dir.string() + "/" + c.program;
    const std::string onDisk = file(c.system, "old\r\n");
    ASSERT_TRUE(fs::exists(onDisk));
    test::clearMessageBoxes();
    EditorRecord* r = browse(program, 34 | EO_BACKUP);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(text(), "old\r\n");
    type(r, "n");
    if (c.copied) {
      save(r);
      EXPECT_TRUE(test::messageBoxes().empty()) << test::messageBoxes().front().text;
      EXPECT_EQ(slurp(onDisk + ".bak"), "old\r\n");
    } else {
      test::answerNextMessageBoxWithClick(IDNO);
      save(r);
      ASSERT_EQ(test::messageBoxes().size(), 1u);
      const test::MessageBoxRecord box = test::messageBoxes().front();
      EXPECT_EQ(box.title, "Backup Error");
      EXPECT_EQ(box.text, "The backup copy " + program + ".bak could not be made: " + toolong +
                              "\rSave " + program + " without a backup copy?");
      EXPECT_EQ(box.style & MB_DEFBUTTON2, MB_DEFBUTTON2) << "No is the default";
      EXPECT_EQ(slurp(onDisk), "old\r\n") << "No keeps the file as it was";
      EXPECT_TRUE(modified(r));
      test::answerNextMessageBoxWithClick(IDYES);
      save(r);
      EXPECT_EQ(test::messageBoxes().size(), 2u);
    }
    EXPECT_EQ(slurp(onDisk), "nld\r\n");
    EXPECT_FALSE(modified(r));
    EXPECT_EQ(names().size(), c.copied ? 2u : 1u) << "the file and its copy, nothing else";
    // Gone from the disk: the next save needs no copy and asks nothing.
    std::error_code ec;   // a copy's name too long for the folder is an error here
    fs::remove(onDisk);
    fs::remove(onDisk + ".bak", ec);
    type(r, "m");
    test::clearMessageBoxes();
    save(r);
    EXPECT_TRUE(test::messageBoxes().empty());
    EXPECT_EQ(slurp(onDisk), "mld\r\n");
    for (int w = 1; w < MAXWINDOWS; ++w)
      if (winslot(w).wWindow != nullptr) WindowCloseChild(w);
    fs::remove(onDisk);
  }
}

// Was: a file whose name had 234 to 255 bytes opened but never saved: the temporary name
// added 22 bytes and passed the limit of a folder entry, and the box blamed the user's valid
// name. The temporary name starts with as much of the name as fits; leftovers of a killed
// save of such a file are still known and removed.
TEST_F(EditorFiles, FilesWithTheLongestNamesSaveInPlace) {
  struct Case {
    const char* why;
    std::string system;   // the name on the disk (UTF-8)
    std::string program;  // the name the program uses (Windows-1252)
  };
  const std::string e1252(1, '\xe9'), eutf8 = "\xc3\xa9";
  std::string accents1252, accentsutf8;
  for (int k = 0; k < 127; ++k) {
    accents1252 += e1252;
    accentsutf8 += eutf8;
  }
  const Case cases[] = {
      {"233 bytes: the whole name still fits before the suffix", std::string(229, 'a') + ".txt", ""},
      {"234 bytes", std::string(230, 'b') + ".txt", ""},
      {"the longest the editor's full path of 260 takes here", std::string(260 - dir.string().size() - 1 - 4, 'c') + ".txt", ""},
      {"254 bytes of two-byte characters, cut between characters", accentsutf8, accents1252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string program = dir.string() + "/" + (c.program.empty() ? c.system : c.program);
    const std::string onDisk = file(c.system, "old\r\n");
    ASSERT_TRUE(fs::exists(onDisk));
    // The leftover of a save that was killed before its rename.
    int handle = -1, status = 0;
    std::string leftover;
    win::yytempfile(program.c_str(), handle, leftover, status);
    ASSERT_EQ(status, 0);
    win::yyclos(handle);
    ASSERT_EQ(names().size(), 2u);
    test::clearMessageBoxes();
    EditorRecord* r = browse(program);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(text(), "old\r\n");
    type(r, "n");
    save(r);
    EXPECT_EQ(lastbox(), nullptr) << (lastbox() ? lastbox()->text : "");
    EXPECT_FALSE(modified(r));
    EXPECT_EQ(slurp(onDisk), "nld\r\n");
    EXPECT_EQ(names(), std::vector<std::string>{c.system}) << "nothing left beside it";
    for (int w = 1; w < MAXWINDOWS; ++w)
      if (winslot(w).wWindow != nullptr) WindowCloseChild(w);
    fs::remove(onDisk);
  }
}

// A full path over the editor's 260 characters was cut to them: the editor took another
// file's name, and a save wrote there. One character past the limit is refused with a box
// that says so; the editor stays untitled and the file untouched (260 itself opens, above).
TEST_F(EditorFiles, APathLongerThanTheEditorKeepsIsRefused) {
  const std::string onDisk = file(std::string(261 - dir.string().size() - 1 - 4, 'd') + ".txt", "old\r\n");
  ASSERT_EQ(onDisk.size(), 261u);
  EditorRecord* r = browse(onDisk);
  ASSERT_NE(r, nullptr);
  ASSERT_NE(lastbox(), nullptr);
  EXPECT_EQ(lastbox()->title, "Open Error");
  EXPECT_EQ(lastbox()->text, onDisk + "\nThis path is 261 characters long; the editor keeps at most 260. The file is not opened.");
  EXPECT_EQ(r->filename, "");
  EXPECT_EQ(text(), "");
  EXPECT_EQ(slurp(onDisk), "old\r\n");
  EXPECT_EQ(names().size(), 1u) << "nothing written beside it";
}

// Was: opening a folder said "Permission denied".
TEST_F(EditorFiles, AFolderIsNamedAsOne) {
  fs::create_directory(dir / "records");
  const std::string folder = (dir / "records").string();
  EditorRecord* r = browse(folder);
  ASSERT_NE(r, nullptr);
  ASSERT_NE(lastbox(), nullptr);
  EXPECT_EQ(lastbox()->title, "Open Error");
  EXPECT_EQ(lastbox()->text, folder + " is a folder, not a file.");
  EXPECT_EQ(text(), "");
}

}  // namespace
