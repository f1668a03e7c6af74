// Help: the viewer command built for each kind of name, run against fake viewers on PATH
// that write down how they were called.
#include <signal.h>

#include <thread>

#include "platform/os.h"
#include "tests/core/os_fixture.h"
#include "toolkit/core/help.h"
#include "toolkit/core/startup.h"

namespace {

class Help : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    if (const char* t = std::getenv("TEMP")) oldTemp_ = t;
    std::filesystem::create_directories("bin");
    std::filesystem::create_directories("tmp");
    fake("xdg-open");
    fake("xchm");
    setenv("PATH", (dir_ + "/bin:" + oldPath_).c_str(), 1);
    setenv("TEMP", (dir_ + "/tmp").c_str(), 1);
    tw::test::resetStartup();
  }
  void TearDown() override {
    yyhelpclose();
    setenv("PATH", oldPath_.c_str(), 1);
    oldTemp_.empty() ? unsetenv("TEMP") : setenv("TEMP", oldTemp_.c_str(), 1);
    InTempDir::TearDown();
  }
  // A viewer that records its process id and arguments, one call per line; the compiled-
  // help viewer then stays open, as a real one does, until help closes it.
  void fake(const std::string& name) {
    const std::string path = dir_ + "/bin/" + name;
    write(path, "#!/bin/sh\nprintf '%s\\n' \"$$|" + name + "|$*\" >> '" + dir_ +
                    "/calls.log'\n" + (name == "xchm" ? "sleep 20\n" : ""));
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }
  // The calls recorded so far, once at least want have arrived (up to ten seconds).
  std::vector<std::string> calls(std::size_t want) {
    std::vector<std::string> lines;
    for (int i = 0; i < 1000; ++i) {
      lines.clear();
      std::istringstream in(read(dir_ + "/calls.log"));
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      if (lines.size() >= want) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return lines;
  }
  // The viewer and arguments of a recorded call, without its process id.
  static std::string what(const std::string& line) { return line.substr(line.find('|') + 1); }
  std::string oldPath_, oldTemp_;
};

}  // namespace

TEST_F(Help, ViewerCommandForEachKind) {
  write("Manual.PDF", "%PDF");
  write("guide.htm", "<p>");
  write("my $HOME & co.pdf", "%PDF");
  write("help.chm", "ITSF");
  const std::string fileAddress = "file://" + dir_ + "/guide.htm";
  struct Case {
    const char* why;
    const char* file;
    int topic;
    std::string want;
  };
  const Case cases[] = {
      {"a PDF in any letter case, by its full path", "  Manual.PDF  ", -1,
       "xdg-open|" + dir_ + "/Manual.PDF"},
      {"a local page as a file address", "guide.htm", -1, "xdg-open|file://" + dir_ + "/guide.htm"},
      {"topic 15 is appended as an anchor", "guide.htm", 15,
       "xdg-open|file://" + dir_ + "/guide.htm#15"},
      {"topic 0 is not", "guide.htm", 0, "xdg-open|file://" + dir_ + "/guide.htm"},
      {"a file:// page", fileAddress.c_str(), -1,
       "xdg-open|file://" + dir_ + "/guide.htm"},
      {"a web address ending in .htm goes to the browser as it is",
       "http://example.org/a.htm?x=1&y=2", -1, "xdg-open|http://example.org/a.htm?x=1&y=2"},
      {"names reach the viewer as one word, never run", "my $HOME & co.pdf", -1,
       "xdg-open|" + dir_ + "/my $HOME & co.pdf"},
      {"compiled help", "help.chm", -1, "xchm|" + dir_ + "/help.chm"},
      {"a compiled-help topic address", "ms-its:help.chm::/TW_7_Step1import.htm", -1,
       "xchm|file:" + dir_ + "/help.chm#xchm:/TW_7_Step1import.htm"},
  };
  std::size_t n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    WHelpFile(c.file, c.topic);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    const auto lines = calls(++n);
    ASSERT_EQ(lines.size(), n);
    EXPECT_EQ(what(lines.back()), c.want);
  }
  EXPECT_FALSE(exists("tmp/$$tmp$$.htm")) << "no temporary page left behind";
}

TEST_F(Help, TopicAddressFindsTheFileBesideTheProgram) {
  const auto programDir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const std::string chm = (programDir / "tw_help_probe.chm").string();
  write(chm, "ITSF");
  WHelpFile("ms-its:tw_help_probe.chm::/TW_7_Step1import.htm");
  std::filesystem::remove(chm);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  const auto lines = calls(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(what(lines[0]), "xchm|file:" + chm + "#xchm:/TW_7_Step1import.htm");
}

TEST_F(Help, Failures) {
  write("old.hlp", "?");
  write("notes.txt", "text");
  struct Case {
    const char* why;
    const char* file;
    const char* path;  // PATH for the call, nullptr: with both fake viewers
    int error;
  };
  const std::string onlyOpener = dir_ + "/only";
  std::filesystem::create_directories(onlyOpener);
  std::filesystem::copy_file(dir_ + "/bin/xdg-open", onlyOpener + "/xdg-open");
  const Case cases[] = {
      {"a name of no known form", "notes.txt", nullptr, 1031},
      {"a missing file", "none.pdf", nullptr, 1},
      {"a web address ending in .chm is a local file", "http://example.org/x.chm", nullptr, 1},
      {"WinHelp has no viewer here", "old.hlp", nullptr, 1030},
      {"no program opens a page", "notes.htm", "/nonexistent", 1030},
      {"no compiled-help viewer", "x.chm", onlyOpener.c_str(), 1081},
      {"no opener at all", "notes.txt.pdf", "/nonexistent", 1030},
  };
  write("notes.htm", "<p>");
  write("x.chm", "ITSF");
  write("notes.txt.pdf", "%PDF");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    if (c.path) setenv("PATH", c.path, 1);
    tessar.error = ErrorState{};
    WHelpFile(c.file);
    setenv("PATH", (dir_ + "/bin:" + oldPath_).c_str(), 1);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
  EXPECT_FALSE(exists(dir_ + "/calls.log")) << "no viewer was started";
}

TEST_F(Help, BlankNameClosesTheViewers) {
  write("help.chm", "ITSF");
  WHelpFile("help.chm");
  const auto lines = calls(1);
  ASSERT_EQ(lines.size(), 1u);
  const int pid = std::stoi(lines[0]);
  EXPECT_EQ(kill(pid, 0), 0);
  WHelpFile("   ");
  bool ended = false;
  for (int i = 0; i < 500 && !ended; ++i) {
    ended = kill(pid, 0) != 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(ended) << "the viewer was closed";
  WHelpFile("   ");
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "a second blank name is harmless";
}
