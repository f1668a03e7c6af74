// Help: the viewer command built for each kind of name, run against fake viewers on PATH
// that write down how they were called.
#include <signal.h>

#include <thread>

#include "platform/os.h"
#include "tests/os/os_fixture.h"
#include "toolkit/startup/help.h"
#include "toolkit/startup/startup.h"

namespace {

// A temporary directory with fake viewers first on PATH and "TEMP" inside it; the viewers
// help started are closed and everything is put back afterwards.
struct HelpScene {
  TempDir dir;
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ScopedVariable path{"PATH", (dir.path() + "/bin:" + oldPath).c_str()};
  ScopedVariable temp{"TEMP", (dir.path() + "/tmp").c_str()};
  HelpScene() {
    std::filesystem::create_directories("bin");
    std::filesystem::create_directories("tmp");
    fake("xdg-open");
    fake("xchm");
    tw::test::resetStartup();
  }
  ~HelpScene() { yyhelpclose(); }
  // A viewer that records its process id and arguments, one call per line; the compiled-
  // help viewer then stays open, as a real one does, until help closes it.
  void fake(const std::string& name) {
    const std::string file = dir.path() + "/bin/" + name;
    write(file, "#!/bin/sh\nprintf '%s\\n' \"$$|" + name + "|$*\" >> '" + dir.path() +
                    "/calls.log'\n" + (name == "xchm" ? "sleep 20\n" : ""));
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
  }
  // The calls recorded so far, once at least want have arrived (up to ten seconds).
  std::vector<std::string> calls(std::size_t want) {
    std::vector<std::string> lines;
    for (int i = 0; i < 1000; ++i) {
      lines.clear();
      std::istringstream in(read(dir.path() + "/calls.log"));
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      if (lines.size() >= want) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return lines;
  }
};

// The viewer and arguments of a recorded call, without its process id.
std::string what(const std::string& line) { return line.substr(line.find('|') + 1); }

}  // namespace

TEST(WHelpFile, ViewerCommandForEachKind) {
  HelpScene here;
  write("Manual.PDF", "%PDF");
  write("guide.htm", "<p>");
  write("my $HOME & co.pdf", "%PDF");
  write("help.chm", "ITSF");
  const std::string fileAddress = "file://" + here.dir.path() + "/guide.htm";
  struct Case {
    const char* why;
    const char* file;
    int topic;
    std::string want;
  };
  const Case cases[] = {
      {"a PDF in any letter case, by its full path", "  Manual.PDF  ", -1,
       "xdg-open|" + here.dir.path() + "/Manual.PDF"},
      {"a local page as a file address", "guide.htm", -1, "xdg-open|file://" + here.dir.path() + "/guide.htm"},
      {"topic 15 is appended as an anchor", "guide.htm", 15,
       "xdg-open|file://" + here.dir.path() + "/guide.htm#15"},
      {"topic 0 is not", "guide.htm", 0, "xdg-open|file://" + here.dir.path() + "/guide.htm"},
      {"a file:// page", fileAddress.c_str(), -1,
       "xdg-open|file://" + here.dir.path() + "/guide.htm"},
      {"a web address ending in .htm goes to the browser as it is",
       "http://example.org/a.htm?x=1&y=2", -1, "xdg-open|http://example.org/a.htm?x=1&y=2"},
      {"names reach the viewer as one word, never run", "my $HOME & co.pdf", -1,
       "xdg-open|" + here.dir.path() + "/my $HOME & co.pdf"},
      {"compiled help", "help.chm", -1, "xchm|" + here.dir.path() + "/help.chm"},
      {"compiled help at a topic number", "help.chm", 42,
       "xchm|--contextid=42 " + here.dir.path() + "/help.chm"},
      {"a compiled-help topic address", "ms-its:help.chm::/TW_7_Step1import.htm", -1,
       "xchm|file:" + here.dir.path() + "/help.chm#xchm:/TW_7_Step1import.htm"},
  };
  std::size_t n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    WHelpFile(c.file, c.topic);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    const auto lines = here.calls(++n);
    ASSERT_EQ(lines.size(), n);
    EXPECT_EQ(what(lines.back()), c.want);
  }
  EXPECT_FALSE(exists("tmp/$$tmp$$.htm")) << "no temporary page left behind";
}

TEST(WHelpFile, TopicAddressFindsTheFileBesideTheProgram) {
  HelpScene here;
  const auto programDir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const std::string chm = (programDir / "tw_help_probe.chm").string();
  write(chm, "ITSF");
  WHelpFile("ms-its:tw_help_probe.chm::/TW_7_Step1import.htm");
  std::filesystem::remove(chm);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  const auto lines = here.calls(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(what(lines[0]), "xchm|file:" + chm + "#xchm:/TW_7_Step1import.htm");
}

TEST(WHelpFile, FailuresRecordTheirErrors) {
  HelpScene here;
  write("old.hlp", "?");
  write("notes.txt", "text");
  struct Case {
    const char* why;
    const char* file;
    const char* path;  // PATH for the call, nullptr: with both fake viewers
    int error;
  };
  const std::string onlyOpener = here.dir.path() + "/only";
  std::filesystem::create_directories(onlyOpener);
  std::filesystem::copy_file(here.dir.path() + "/bin/xdg-open", onlyOpener + "/xdg-open");
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
    setenv("PATH", (here.dir.path() + "/bin:" + here.oldPath).c_str(), 1);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
  EXPECT_FALSE(exists(here.dir.path() + "/calls.log")) << "no viewer was started";
}

TEST(WHelpFile, BlankNameClosesTheViewers) {
  HelpScene here;
  write("help.chm", "ITSF");
  WHelpFile("help.chm");
  const auto lines = here.calls(1);
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
