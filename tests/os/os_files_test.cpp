// Raw files, deleting and copying with wildcards, environment and path names, against real
// files in a temporary directory.
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/os.h"
#include "tests/os/os_fixture.h"
#include "toolkit/os/opsys.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/errors_internal.h"

TEST(IFileOpen, FailuresRecordErrorOneWithDetail) {
  TempDir here;
  std::filesystem::create_directory("adir");
  struct Case {
    const char* why;
    const char* name;
    int mode;
    int detail;
    int kind;
  };
  const Case cases[] = {
      {"mode outside 0-2 is refused before the system is asked", "x.bin", 3, 0, 0},
      {"a blank name opens nothing", "    ", 0, 0, 0},
      {"a missing file to read", "missing.bin", 0, 2, 2},
      {"a missing file to read and write", "missing.bin", 2, 2, 2},
      {"a file in a missing directory is a missing path", "nodir/x.bin", 1, 3, 2},
      {"a directory is no file", "adir", 0, 5, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    int handle = 99;
    IFileOpen(c.name, c.mode, handle);
    EXPECT_EQ(handle, -1);
    EXPECT_EQ(tessar.error.LASTERROR, 1);
    EXPECT_EQ(tessar.error.ERRDETAIL, c.detail);
    EXPECT_EQ(tessar.error.ERRDETAILKIND, c.kind);
  }
  EXPECT_FALSE(exists("x.bin"));
}

TEST(IFileOpen, ReportAppendsTheSystemsText) {
  TempDir here;
  int handle = 0;
  IFileOpen("missing.bin", 0, handle);
  int e1 = 0, e2 = 0;
  const std::string report = yyreporttext(1, "IFileOpen", e1, e2);
  EXPECT_EQ(trim(report),
            "Routine:IFileOpen Error=   1:Error opening file or device: No such file or directory");
}

TEST(IFileSeek, WriteSeekReadRoundTrip) {
  TempDir here;
  int handle = -1;
  IFileOpen("  data.bin   ", 1, handle);  // blanks around the name are not part of it
  ASSERT_GE(handle, 0);
  int n = 0;
  IFileWriteChar(handle, "hello world", 11, n);
  EXPECT_EQ(n, 11);
  int pos = 0;
  IFileSeek(handle, pos, 2);
  EXPECT_EQ(pos, 11) << "origin 2 position 0 gives the size";
  pos = 3;
  IFileSeek(handle, pos, 5);
  EXPECT_EQ(pos, 3) << "an origin outside 0-2 does nothing";
  ifileclose(handle);
  EXPECT_EQ(read("data.bin"), "hello world");

  IFileOpen("data.bin", 2, handle);
  ASSERT_GE(handle, 0);
  pos = 6;
  IFileSeek(handle, pos, 0);
  std::array<char, 16> buffer{};
  IFileReadChar(handle, std::span<char>(buffer), 16, n);
  EXPECT_EQ(n, 5) << "a read past the end returns what is there";
  EXPECT_EQ(std::string(buffer.data(), 5), "world");
  IFileReadChar(handle, buffer.data(), 4, n);
  EXPECT_EQ(n, 0) << "the end of the file is no failure";
  pos = 0;
  IFileSeek(handle, pos, 0);
  IFileWriteChar(handle, "J", 1, n);
  ifileclose(handle);
  EXPECT_EQ(read("data.bin"), "Jello world");
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST(IFileReadChar, FailuresOfReadWriteAndSeekRecordErrorTwo) {
  TempDir here;
  struct Case {
    const char* why;
    const char* service;  // nullptr: a closed handle fails by itself
    int code;
  };
  const Case cases[] = {
      {"closed handle", nullptr, 6},
      {"disk full while writing", "WriteFile", 112},
      {"device fault while reading", "ReadFile", 31},
      {"seek refused", "SetFilePointer", 131},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    int handle = 12345;  // no such descriptor
    if (c.service) {
      IFileOpen("f.bin", 1, handle);
      win::test::failNext(c.service, c.code);
    }
    int n = 7;
    char byte = 'x';
    int pos = 0;
    if (!c.service || std::strcmp(c.service, "WriteFile") == 0) {
      IFileWriteChar(handle, &byte, 1, n);
      EXPECT_EQ(n, -1);
    } else if (std::strcmp(c.service, "ReadFile") == 0) {
      IFileReadChar(handle, &byte, 1, n);
      EXPECT_EQ(n, -1);
    } else {
      IFileSeek(handle, pos, 0);
      EXPECT_EQ(pos, -1);
    }
    EXPECT_EQ(tessar.error.LASTERROR, 2);
    EXPECT_EQ(tessar.error.ERRDETAIL, c.code);
    EXPECT_EQ(tessar.error.ERRDETAILKIND, 2);
    if (c.service) ifileclose(handle);
  }
}

TEST(Yywrit, ReversesElementsOnFileAndKeepsCallersBuffer) {
  TempDir here;
  int handle = -1, status = 0, n = 0;
  win::yyopen("words.bin", 1, handle, status);
  ASSERT_EQ(status, 0);
  unsigned char data[] = {1, 2, 3, 4, 5, 6, 7, 8};
  win::yywrit(handle, data, 8, n, 4, status);
  win::yyclos(handle);
  EXPECT_EQ(n, 8);
  EXPECT_EQ(data[0], 1) << "the caller's buffer is unchanged";
  EXPECT_EQ(read("words.bin"), std::string("\x04\x03\x02\x01\x08\x07\x06\x05", 8));
  unsigned char back[8] = {};
  win::yyopen("words.bin", 0, handle, status);
  win::yyread(handle, back, 8, n, 4, status);
  win::yyclos(handle);
  EXPECT_EQ(std::memcmp(back, data, 8), 0);
}

TEST(IOsDeleteFile, DeletesMatchesAndLeavesDirectories) {
  TempDir here;
  std::filesystem::create_directories("tmp/keep.plt");
  write("tmp/a.plt", "1");
  write("tmp/b.plt", "2");
  write("tmp/c.txt", "3");
  IOsDeleteFile("tmp/*.plt   ");
  EXPECT_FALSE(exists("tmp/a.plt"));
  EXPECT_FALSE(exists("tmp/b.plt"));
  EXPECT_TRUE(exists("tmp/c.txt"));
  EXPECT_TRUE(std::filesystem::is_directory("tmp/keep.plt"));
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(trim(tessar.files.HCCURRENT), "tmp/*.plt") << "the pattern is built in name 9";

  std::filesystem::create_symlink("gone.plt", "tmp/dangling.plt");
  IOsDeleteFile("tmp/*.plt");
  EXPECT_FALSE(std::filesystem::is_symlink("tmp/dangling.plt")) << "a link to nothing goes too";

  IOsDeleteFile("tmp/missing.plt");
  EXPECT_EQ(tessar.error.LASTERROR, 13);
  EXPECT_EQ(tessar.error.ERRSTATUS, 2);

  tessar.error = ErrorState{};
  IOsDeleteFile("   ");
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "a blank name does nothing";
}

TEST(IOsDeleteFile, FailureGoesOnWithNextMatch) {
  TempDir here;
  write("a.plt", "1");
  write("b.plt", "2");
  win::test::failNext("DeleteFile", 5);
  IOsDeleteFile("*.plt");
  EXPECT_EQ(tessar.error.LASTERROR, 13);
  EXPECT_EQ(tessar.error.ERRSTATUS, 5);
  EXPECT_TRUE(exists("a.plt"));
  EXPECT_FALSE(exists("b.plt"));
}

TEST(IOsCopyFile, SingleFiles) {
  TempDir here;
  std::filesystem::create_directory("out");
  write("a.txt", "alpha");
  IOsCopyFile("a.txt", "out/");
  EXPECT_EQ(read("out/a.txt"), "alpha") << "a target ending in / takes the source's name";
  IOsCopyFile("a.txt", "b.txt");
  EXPECT_EQ(read("b.txt"), "alpha");
  write("b.txt", "old and longer");
  IOsCopyFile("a.txt", "b.txt");
  EXPECT_EQ(read("b.txt"), "alpha") << "an existing target is replaced";
  EXPECT_EQ(tessar.error.LASTERROR, 0);

  IOsCopyFile("a.txt", "a.txt");
  EXPECT_EQ(tessar.error.LASTERROR, 55);

  tessar.error = ErrorState{};
  IOsCopyFile("missing.txt", "c.txt");
  EXPECT_EQ(tessar.error.LASTERROR, 13);
  EXPECT_EQ(tessar.error.ERRSTATUS, 2);
}

// A copy onto itself under another spelling once emptied the file it was copying.
TEST(IOsCopyFile, NeverEmptiesTheSourceCopiedOntoItself) {
  TempDir here;
  write("a.txt", "precious");
  IOsCopyFile("./a.txt", "a.txt");
  EXPECT_EQ(tessar.error.LASTERROR, 13);
  EXPECT_EQ(tessar.error.ERRSTATUS, 32);
  EXPECT_EQ(read("a.txt"), "precious");
}

TEST(IOsCopyFile, WildcardCopiesEachMatchIntoDirectory) {
  TempDir here;
  std::filesystem::create_directories("src/sub.png");
  std::filesystem::create_directory("out");
  write("src/x.png", "x");
  write("src/y.png", "y");
  write("src/z.txt", "z");
  IOsCopyFile("src/*.png", "out");
  EXPECT_EQ(read("out/x.png"), "x");
  EXPECT_EQ(read("out/y.png"), "y");
  EXPECT_FALSE(exists("out/z.txt"));
  EXPECT_FALSE(exists("out/sub.png")) << "directories are skipped";
  EXPECT_EQ(tessar.error.LASTERROR, 0);

  IOsCopyFile("src/*.png", "   ");
  EXPECT_EQ(read("x.png"), "x") << "a blank target is the current directory";
  EXPECT_EQ(read("y.png"), "y");
  EXPECT_EQ(tessar.error.LASTERROR, 0);

  IOsCopyFile("src/*.gif", "out");
  EXPECT_EQ(tessar.error.LASTERROR, 13);
  EXPECT_EQ(tessar.error.ERRSTATUS, 2);
}

TEST(IOsVariable, BlankWhenUnsetOrTooLong) {
  TempDir here;
  setenv("TW_OS_SHORT", "abc", 1);
  setenv("TW_OS_LONG", "abcdefghijk", 1);
  unsetenv("TW_OS_UNSET");
  struct Case {
    const char* why;
    const char* name;
    const char* want;
    int error;
  };
  const Case cases[] = {
      {"a value that fits, blank-padded", "TW_OS_SHORT  ", "abc   ", 0},
      {"an unset variable is blank without an error", "TW_OS_UNSET", "      ", 0},
      {"a value longer than the text stays blank", "TW_OS_LONG", "      ", 1023},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    std::string value = "xxxxxx";
    IOsVariable(c.name, value);
    EXPECT_EQ(value, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
}

TEST(IOsFullPathname, ExpandsNamesAndTheCurrentDirectory) {
  TempDir here;
  const std::string cwd = std::filesystem::current_path().string();
  std::string full = field(300);
  IOsFullPathname("  sub/../a.txt ", full);
  EXPECT_EQ(trim(full), cwd + "/a.txt");
  IOsFullPathname("/x/./y/../z", full);
  EXPECT_EQ(trim(full), "/x/z");
  IOsFullPathname("    ", full);
  EXPECT_EQ(trim(full), "");
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  win::test::failNext("GetFullPathName", 87);
  IOsFullPathname("a.txt", full);
  EXPECT_EQ(trim(full), "");
  EXPECT_EQ(tessar.error.LASTERROR, 13);
  EXPECT_EQ(tessar.error.ERRSTATUS, 87);

  tessar.error = ErrorState{};
  std::string dir = field(300);
  IOsDirName(dir);
  EXPECT_EQ(trim(dir), cwd);
  std::string small = field(4);
  IOsDirName(small);
  EXPECT_EQ(small, "    ");
  EXPECT_EQ(tessar.error.LASTERROR, 1023);
}

TEST(Yyfind, ReportsMatchesInNameOrder) {
  TempDir here;
  write("b.dat", "12345");
  write("a.dat", "1");
  write("noext", "");
  std::filesystem::create_directory("d.dat");
  std::string name = "*.dat";
  int attributes = 0, packed = 0, size = 0, status = -9;
  win::yyfind(0, name, attributes, packed, size, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(name, "a.dat");
  EXPECT_EQ(size, 1);
  int year = 0, month = 0, day = 0;
  win::yydate(year, month, day);
  EXPECT_EQ((packed >> 16) & 0xFFFF, ((year - 1980) << 9) | (month << 5) | day)
      << "date in the high half (written just now)";
  win::yyfind(1, name, attributes, packed, size, status);
  EXPECT_EQ(name, "b.dat");
  EXPECT_EQ(size, 5);
  win::yyfind(1, name, attributes, packed, size, status);
  EXPECT_EQ(name, "d.dat");
  EXPECT_NE(attributes & win::FILE_ATTRIBUTE_DIRECTORY, 0);
  win::yyfind(1, name, attributes, packed, size, status);
  EXPECT_EQ(status, 1) << "no further file";
  win::yyfindclose();

  name = "*.*";
  int count = 0;
  for (win::yyfind(0, name, attributes, packed, size, status); status == 0;
       win::yyfind(1, name, attributes, packed, size, status))
    ++count;
  EXPECT_EQ(count, 4) << "*.* also matches a name without a dot";

  name = "?.dat";
  win::yyfind(0, name, attributes, packed, size, status);
  EXPECT_EQ(name, "a.dat");
  name = "nodir/*.dat";
  win::yyfind(0, name, attributes, packed, size, status);
  EXPECT_EQ(status, 3);
  name = "*.none";
  win::yyfind(0, name, attributes, packed, size, status);
  EXPECT_EQ(status, 2);
  win::yyfindclose();
}

TEST(Yyfileinfo, SizeKilobytesAndAttributes) {
  TempDir here;
  write("f.txt", std::string(1500, 'x'));
  int size = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, attributes = 0, kb = 0;
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, "f.txt");
  EXPECT_EQ(size, 1500);
  EXPECT_EQ(kb, 2) << "kilobytes rounded up";
  EXPECT_EQ(attributes & win::FILE_ATTRIBUTE_READONLY, 0);
  int status = -1;
  win::yyfileattr(win::FILE_ATTRIBUTE_READONLY, status, "f.txt");
  EXPECT_EQ(status, 0);
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, "f.txt");
  EXPECT_NE(attributes & win::FILE_ATTRIBUTE_READONLY, 0);
  win::yyfileattr(win::FILE_ATTRIBUTE_NORMAL, status, "f.txt");
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, "f.txt");
  EXPECT_EQ(attributes & win::FILE_ATTRIBUTE_READONLY, 0);
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, "none.txt");
  EXPECT_EQ(size, -1);
}

TEST(Yyrename, KeepsAnExistingTarget) {
  TempDir here;
  write("a", "A");
  write("b", "B");
  int status = 0;
  win::yyrename(status, "a", "b");
  EXPECT_EQ(status, win::ERROR_ALREADY_EXISTS);
  EXPECT_EQ(read("a"), "A");
  EXPECT_EQ(read("b"), "B");
  win::yyrename(status, "a", "c");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read("c"), "A");
  EXPECT_FALSE(exists("a"));
}

TEST(Yyreplace, ReplacesAnExistingTargetWhole) {
  TempDir here;
  write("new", "NEW");
  write("old", "OLD");
  int status = -1;
  win::yyreplace(status, "new", "old");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read("old"), "NEW");
  EXPECT_FALSE(exists("new"));
  win::yyreplace(status, "none", "old");
  EXPECT_EQ(status, win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(read("old"), "NEW");
  win::yyreplace(status, "old", "nodir/old");
  EXPECT_EQ(status, win::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(read("old"), "NEW");
  // An injected failure of the rename leaves both files; one of the folder's flush comes
  // after the rename, which stands.
  write("new", "NEWER");
  win::test::failNext("MoveFileEx", win::ERROR_ACCESS_DENIED);
  win::yyreplace(status, "new", "old");
  EXPECT_EQ(status, win::ERROR_ACCESS_DENIED);
  EXPECT_EQ(read("old"), "NEW");
  win::test::failNext("FlushFolder", win::ERROR_GEN_FAILURE);
  win::yyreplace(status, "new", "old");
  EXPECT_EQ(status, win::ERROR_GEN_FAILURE);
  EXPECT_EQ(read("old"), "NEWER");
}

TEST(Yyflush, FlushesAnOpenFileAndRefusesABadHandle) {
  TempDir here;
  int handle = -1, status = -1, written = 0;
  win::yyopen("f.bin", 1, handle, status);
  ASSERT_GE(handle, 0);
  win::yywritc(handle, "abc", 3, written, status);
  std::vector<std::string> calls;
  win::test::recordCalls(&calls);
  win::yyflush(handle, status);
  EXPECT_EQ(status, 0);
  win::test::failNext("FlushFileBuffers", win::ERROR_DISK_FULL);
  win::yyflush(handle, status);
  EXPECT_EQ(status, win::ERROR_DISK_FULL);
  win::yyclos(handle);
  win::test::recordCalls(nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"FlushFileBuffers", "FlushFileBuffers", "CloseHandle"}));
  win::yyflush(handle, status);
  EXPECT_EQ(status, win::ERROR_INVALID_HANDLE);
  EXPECT_EQ(read("f.bin"), "abc");
}

TEST(ReplaceDurably, WritesTheWholeFileOrLeavesTheOld) {
  TempDir here;
  write("store", "old");
  EXPECT_EQ(win::replaceDurably("store", "new contents"), 0);
  EXPECT_EQ(read("store"), "new contents");
  EXPECT_FALSE(exists("store.new"));
  EXPECT_NE(win::replaceDurably("nodir/store", "x"), 0);
  EXPECT_EQ(read("store"), "new contents");
}

TEST(Yysetfiletime, RoundTripAndCopy) {
  TempDir here;
  write("a", "A");
  write("b", "B");
  win::FileTimes t;
  int status = -1;
  win::yygetfiletime(t, "a", status);
  ASSERT_EQ(status, 0);
  // 2001-02-03 04:05:06 UTC in 100-ns ticks since 1601.
  const std::uint64_t ticks = (981173106ull + 11644473600ull) * 10000000ull;
  t.writelow = static_cast<std::uint32_t>(ticks);
  t.writehigh = static_cast<std::uint32_t>(ticks >> 32);
  win::yysetfiletime(t, "a", status);
  ASSERT_EQ(status, 0);
  struct stat st;
  ASSERT_EQ(stat("a", &st), 0);
  EXPECT_EQ(st.st_mtime, 981173106);
  win::yycopyfiletime("a", "b");
  ASSERT_EQ(stat("b", &st), 0);
  EXPECT_EQ(st.st_mtime, 981173106);
}

TEST(Yydirm, MakeRemoveAndChangeDirectories) {
  TempDir here;
  int status = -1;
  win::yydirm("made", status);
  EXPECT_EQ(status, 0);
  win::yydirm("made", status);
  EXPECT_EQ(status, win::ERROR_ALREADY_EXISTS);
  write("made/f", "x");
  win::yydird("made", status);
  EXPECT_EQ(status, win::ERROR_DIR_NOT_EMPTY);
  win::yydirc("made", status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::filesystem::current_path().filename(), "made");
  win::yydirc("..", status);
  win::yydirc("nowhere", status);
  EXPECT_EQ(status, win::ERROR_FILE_NOT_FOUND);
}

TEST(Yydspace, MatchesTheFileSystem) {
  TempDir here;
  const auto space = std::filesystem::space(".");
  int mb = 0, bytes = 0;
  win::yydspacemb(mb);
  win::yydspace(bytes);
  const long long want = static_cast<long long>(space.available >> 20);
  EXPECT_NEAR(mb, want, 64) << "other processes may write meanwhile";
  if (space.available >= (2048ull << 20))
    EXPECT_EQ(bytes, 2147155968) << "2048 MB or more is reported as the cap";
  else
    EXPECT_NEAR(bytes, static_cast<double>(space.available), 64.0 * (1 << 20));
}

TEST(Yyerrorstr, TextsOfCodes) {
  struct Case {
    const char* why;
    int code;
    const char* want;
  };
  const Case cases[] = {
      {"no code, no text", 0, ""},
      {"file not found", 2, "No such file or directory"},
      {"access denied", 5, "Permission denied"},
      {"disk full", 112, "No space left on device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    char buffer[200] = "junk";
    win::yyerrorstr(c.code, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, c.want);
  }
  char small[5];
  win::yyerrorstr(2, small, sizeof small);
  EXPECT_STREQ(small, "No s") << "cut to the buffer";
  EXPECT_EQ(win::oserrorcode(ENOENT), 2);
  EXPECT_EQ(win::oserrorcode(EACCES), 5);
}

TEST(Yydrivetype, ExistingAndMissingRoots) {
  int type = 0;
  win::yydrivetype(type, "/nonexistent-root");
  EXPECT_EQ(type, win::DRIVE_NO_ROOT_DIR);
  win::yydrivetype(type, "/");
  EXPECT_GE(type, win::DRIVE_REMOVABLE);
  win::yydrivetype(type, "/dev/shm");
  EXPECT_EQ(type, win::DRIVE_RAMDISK) << "tmpfs is memory";
}
