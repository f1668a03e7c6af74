// Replacing whole files (through links, keeping permissions, refusing read-only files and
// pipes, temporary names of its own, leftovers of killed saves), files past 4 GiB and pipes
// that must never make a reader wait, against real files in a temporary directory.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/os.h"
#include "tests/os/os_fixture.h"
#include "toolkit/os/opsys.h"
#include "toolkit/text/errors.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> names() {
  std::set<std::string> all;
  for (const auto& e : fs::directory_iterator(".")) all.insert(e.path().filename().string());
  return all;
}

unsigned modeof(const std::string& name) {
  struct stat st {};
  stat(name.c_str(), &st);
  return st.st_mode & 07777;
}

// A temporary that a save killed before its rename leaves behind.
std::string leftover(const std::string& target) {
  int handle = -1, status = -1;
  std::string name;
  win::yytempfile(target.c_str(), handle, name, status);
  EXPECT_EQ(status, 0);
  win::yyclos(handle);
  return name;
}

// Opens the pipe for writing if a reader still waits on it after a generous time, so that a
// reader that waits fails the test instead of hanging it.
class PipeWatchdog {
 public:
  explicit PipeWatchdog(std::string fifo)
      : thread_([this, fifo] {
          for (int k = 0; k < 200 && !done_; ++k) std::this_thread::sleep_for(std::chrono::milliseconds(100));
          if (done_) return;
          waited_ = true;
          const int fd = open(fifo.c_str(), O_WRONLY);
          if (fd >= 0) close(fd);
        }) {}
  ~PipeWatchdog() {
    done_ = true;
    thread_.join();
  }
  bool waited() const { return waited_; }

 private:
  std::atomic<bool> done_{false}, waited_{false};
  std::thread thread_;
};

}  // namespace

TEST(Yyreplacefile, ReplacesTheFileALinkPointsToAndKeepsTheLink) {
  TempDir here;
  fs::create_directory("real");
  write("real/notes.txt", "old");
  fs::create_symlink("real/notes.txt", "link.txt");
  fs::create_symlink("link.txt", "link2.txt");  // a link to a link
  bool opened = false;
  EXPECT_EQ(yyreplacefile("link2.txt", "new", opened), 0);
  EXPECT_TRUE(opened);
  EXPECT_TRUE(fs::is_symlink("link.txt"));
  EXPECT_TRUE(fs::is_symlink("link2.txt"));
  EXPECT_EQ(read("real/notes.txt"), "new") << "the file the links point to";
  EXPECT_EQ(names(), (std::set<std::string>{"real", "link.txt", "link2.txt"}));
  EXPECT_EQ(fs::directory_iterator("real")->path().filename(), "notes.txt") << "nothing left beside it";
  // A link whose file is gone makes that file.
  fs::create_symlink("real/made.txt", "dangling.txt");
  EXPECT_EQ(yyreplacefile("dangling.txt", "made", opened), 0);
  EXPECT_EQ(read("real/made.txt"), "made");
  EXPECT_TRUE(fs::is_symlink("dangling.txt"));
  // Links in a ring lead nowhere: nothing is written.
  fs::create_symlink("ring2", "ring1");
  fs::create_symlink("ring1", "ring2");
  EXPECT_NE(yyreplacefile("ring1", "x", opened), 0);
  EXPECT_FALSE(opened);
}

TEST(Yyreplacefile, KeepsThePermissionsOfTheFile) {
  TempDir here;
  for (const unsigned mode : {0600u, 0640u, 0755u, 0604u}) {
    write("f", "old");
    chmod("f", mode);
    bool opened = false;
    EXPECT_EQ(yyreplacefile("f", "new", opened), 0);
    EXPECT_EQ(read("f"), "new");
    EXPECT_EQ(modeof("f"), mode) << std::oct << mode;
  }
  // A new file gets what the user's mask leaves of read and write for all.
  const mode_t mask = umask(022);
  bool opened = false;
  EXPECT_EQ(yyreplacefile("fresh", "x", opened), 0);
  umask(mask);
  EXPECT_EQ(modeof("fresh"), 0644u);
}

TEST(Yyreplacefile, RefusesReadOnlyFilesPipesAndFolders) {
  TempDir here;
  write("ro.txt", "keep");
  chmod("ro.txt", 0444);
  mkfifo("pipe", 0644);
  fs::create_directory("folder");
  struct Case {
    const char* name;
    int code;
  };
  for (const Case& c : {Case{"ro.txt", win::ERROR_ACCESS_DENIED}, Case{"pipe", win::ERROR_BAD_FILE_TYPE},
                        Case{"folder", win::ERROR_BAD_FILE_TYPE}}) {
    bool opened = true;
    EXPECT_EQ(yyreplacefile(c.name, "new", opened), c.code) << c.name;
    EXPECT_FALSE(opened) << c.name;
  }
  EXPECT_EQ(read("ro.txt"), "keep") << "also for the super-user: the file is marked read-only";
  EXPECT_EQ(modeof("ro.txt"), 0444u);
  EXPECT_EQ(names(), (std::set<std::string>{"ro.txt", "pipe", "folder"}));
  char text[300] = {};
  win::yyerrorstr(win::ERROR_BAD_FILE_TYPE, text, sizeof text);
  EXPECT_STREQ(text, "Not a regular file");
}

TEST(Yyreplacefile, TemporaryNamesAreNewAndLeftoversOfKilledSavesGo) {
  TempDir here;
  write("flows.tw", "project");
  // The user's own files, whatever they look like, stay as they are.
  const std::vector<std::string> users = {"flows.tw.tmp~", "flows.tw.new", "flows.tw.0123456789abcdef.tmp~",
                                          "flows.tw.ABCDEF012345abcd.tmp~", "flows.tw.0123456789abcde.tmp~"};
  for (const std::string& n : users) write(n, "user's " + n);
  // What killed saves left: of this project, and of another one (which stays).
  const std::string ours1 = leftover("flows.tw"), ours2 = leftover("flows.tw");
  write("other.tw", "other");
  const std::string others = leftover("other.tw");
  EXPECT_NE(ours1, ours2);
  EXPECT_EQ(ours1.substr(0, 9), "flows.tw.");
  EXPECT_EQ(ours1.size(), std::string("flows.tw.").size() + 16 + 5);
  EXPECT_EQ(ours1.substr(ours1.size() - 5), ".tmp~");
  ASSERT_TRUE(exists(ours1) && exists(ours2));

  std::vector<std::string> calls;
  win::test::recordCalls(&calls);
  bool opened = false;
  EXPECT_EQ(yyreplacefile("flows.tw", "saved", opened), 0);
  win::test::recordCalls(nullptr);
  EXPECT_EQ(read("flows.tw"), "saved");
  for (const std::string& n : users) EXPECT_EQ(read(n), "user's " + n) << n;
  EXPECT_FALSE(exists(ours1));
  EXPECT_FALSE(exists(ours2));
  EXPECT_TRUE(exists(others));
  std::set<std::string> expected(users.begin(), users.end());
  expected.insert({"flows.tw", "other.tw", others});
  EXPECT_EQ(names(), expected);

  // The front routine that opening a project calls.
  const std::string ours3 = leftover("flows.tw");
  yyremovetempfiles("flows.tw");
  EXPECT_FALSE(exists(ours3));
  EXPECT_TRUE(exists(others));
  yyremovetempfiles("other.tw");
  EXPECT_FALSE(exists(others));
  for (const std::string& n : users) EXPECT_TRUE(exists(n)) << n;

  // A failed write removes its temporary and keeps the file.
  win::test::failNext("WriteFile", win::ERROR_DISK_FULL);
  EXPECT_EQ(yyreplacefile("flows.tw", "lost", opened), win::ERROR_DISK_FULL);
  EXPECT_TRUE(opened);
  EXPECT_EQ(read("flows.tw"), "saved");
  expected.erase(others);
  EXPECT_EQ(names(), expected);
}

// Was: the temporary name added 22 bytes to the file's, so a file named with 234 to 255 bytes
// could never be replaced ("File name too long"). The temporary starts with as many whole
// characters of the name as fit, and is still told apart from another file's.
TEST(Yyreplacefile, FilesWithTheLongestNamesAreReplacedInPlace) {
  TempDir here;
  std::string accents1252, accentsutf8;
  for (int k = 0; k < 127; ++k) {
    accents1252 += '\xe9';
    accentsutf8 += "\xc3\xa9";
  }
  struct Case {
    const char* why;
    std::string system, program;   // the name on the disk, and as the program writes it
  };
  const std::string a233(233, 'a'), b234(234, 'b'), c255(255, 'c');
  const Case cases[] = {
      {"233 bytes: the whole name and the suffix fit", a233, a233},
      {"234 bytes", b234, b234},
      {"255 bytes", c255, c255},
      {"254 bytes of two-byte characters, cut between characters", accentsutf8, accents1252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    write(c.system, "old");
    const std::string left = leftover(c.program);
    ASSERT_EQ(names().size(), 2u);
    for (const std::string& n : names()) EXPECT_LE(n.size(), 255u) << n;
    bool opened = false;
    EXPECT_EQ(yyreplacefile(c.program, "new", opened), 0);
    EXPECT_EQ(read(c.system), "new");
    EXPECT_EQ(names(), std::set<std::string>{c.system}) << "the leftover went, nothing else came";
    fs::remove(c.system);
  }
  // Two names alike in their first 233 bytes: a save of one leaves the other's leftover.
  const std::string one = std::string(240, 'x') + "1", two = std::string(240, 'x') + "2";
  write(one, "1");
  write(two, "2");
  const std::string twos = leftover(two);
  bool opened = false;
  EXPECT_EQ(yyreplacefile(one, "one", opened), 0);
  EXPECT_TRUE(exists(twos));
  EXPECT_EQ(yyreplacefile(two, "two", opened), 0);
  EXPECT_FALSE(exists(twos));
  EXPECT_EQ(names(), (std::set<std::string>{one, two}));
}

// Was: the settings store wrote "<store>.new" and renamed it over the store, taking over a
// user's own file of that name.
TEST(ReplaceDurably, LeavesAUsersFileOfTheOldTemporaryName) {
  TempDir here;
  write("store", "old");
  write("store.new", "the user's");
  write(std::string(250, 's'), "long");
  EXPECT_EQ(win::replaceDurably("store", "new contents"), 0);
  EXPECT_EQ(win::replaceDurably(std::string(250, 's'), "longer"), 0);
  EXPECT_EQ(read("store"), "new contents");
  EXPECT_EQ(read("store.new"), "the user's");
  EXPECT_EQ(read(std::string(250, 's')), "longer");
  EXPECT_EQ(names(), (std::set<std::string>{"store", "store.new", std::string(250, 's')}));
}

TEST(LargeFiles, SizesAndPositionsPast4GiBAreNeverWrapped) {
  TempDir here;
  constexpr std::int64_t size = 4294967396LL;  // 4 GiB + 100: 100 in 32 bits
  {
    std::error_code ec;
    write("big.txt", "");
    fs::resize_file("big.txt", static_cast<std::uintmax_t>(size), ec);  // sparse: no real data
    ASSERT_FALSE(ec) << ec.message();
  }
  int handle = -1, status = -1;
  win::yyopen("big.txt", 0, handle, status);
  ASSERT_EQ(status, 0);
  std::int64_t wide = -1;
  win::yyfilesize(handle, wide, status);
  EXPECT_EQ(wide, size);
  wide = 0;
  win::yyseek(handle, wide, 2, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(wide, size);
  wide = 10;
  win::yyseek(handle, wide, 0, status);
  // The 32-bit position cannot say where the end is: a failure, and the position stays.
  int narrow = 0;
  win::yyseek(handle, narrow, 2, status);
  EXPECT_EQ(status, win::ERROR_FILE_TOO_LARGE);
  narrow = 5;
  win::yyseek(handle, narrow, 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(narrow, 15) << "the failed move left the position at 10";
  win::yyclos(handle);

  // The front routine records error 2 instead of answering 100.
  IFileOpen("big.txt", 0, handle);
  tessar.error.LASTERROR = 0;
  int position = 0;
  IFileSeek(handle, position, 2);
  EXPECT_EQ(position, -1);
  EXPECT_EQ(tessar.error.LASTERROR, 2);
  EXPECT_EQ(tessar.error.ERRDETAIL, win::ERROR_FILE_TOO_LARGE);
  ifileclose(handle);

  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, attributes = 0, kb = 0;
  win::yyfileinfo(wide, y, mo, d, h, mi, s, attributes, kb, "big.txt");
  EXPECT_EQ(wide, size);
  EXPECT_EQ(kb, 4194305);
  win::yyfileinfo(narrow, y, mo, d, h, mi, s, attributes, kb, "big.txt");
  EXPECT_EQ(narrow, INT32_MAX) << "large, never small and never missing";
  std::string found = "big.*";
  int packed = 0;
  win::yyfind(0, found, attributes, packed, wide, status);
  EXPECT_EQ(wide, size);
  win::yyfind(0, found = "big.*", attributes, packed, narrow, status);
  EXPECT_EQ(narrow, INT32_MAX);
  win::yyfindclose();

  // A reader given a largest size refuses the file without reading it.
  std::string text = "before";
  bool opened = false;
  std::int64_t filesize = 0;
  EXPECT_EQ(yyreadfile("big.txt", text, opened, filesize, INT64_MAX, INT32_MAX), win::ERROR_FILE_TOO_LARGE);
  EXPECT_TRUE(opened);
  EXPECT_EQ(filesize, size);
  // Or reads only its beginning.
  EXPECT_EQ(yyreadfile("big.txt", text, opened, filesize, 1000), 0);
  EXPECT_EQ(text, std::string(1000, '\0'));
}

TEST(LargeFiles, PipesAndDevicesNeverMakeAReaderWait) {
  TempDir here;
  ASSERT_EQ(mkfifo("pipe", 0644), 0);
  const std::string fifo = here.path() + "/pipe";
  PipeWatchdog watchdog(fifo);
  std::string text;
  bool opened = true;
  EXPECT_FALSE(yyreadwholefile("pipe", text, opened));
  EXPECT_FALSE(opened);
  std::int64_t size = 0;
  EXPECT_EQ(yyreadfile("pipe", text, opened, size), win::ERROR_BAD_FILE_TYPE);
  int lock = -1;
  EXPECT_EQ(yylockfile("pipe", lock), win::ERROR_BAD_FILE_TYPE);
  EXPECT_EQ(lock, -1);
  EXPECT_EQ(yyreadfile("/dev/null", text, opened, size), win::ERROR_BAD_FILE_TYPE);
  EXPECT_FALSE(watchdog.waited()) << "a read of the pipe waited for a writer";
}
