// Registry store, e-mail composer, environment, user and program services, and the
// conversion of names between the toolkit's 8-bit texts and the system's UTF-8.
#include <pwd.h>

#include <cstring>
#include <sstream>

#include "platform/os.h"
#include "tests/os/os_fixture.h"
#include "toolkit/os/opsys.h"

namespace {
// A temporary directory that also holds the user's configuration; PATH is put back.
struct ServicesScene {
  TempDir dir;
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ScopedVariable path{"PATH", oldPath.c_str()};
  ScopedVariable xdg{"XDG_CONFIG_HOME", (dir.path() + "/config").c_str()};
};
}  // namespace

TEST(Yyregkeyput, ValuesRoundTripAndDelete) {
  ServicesScene here;
  using namespace win;
  int status = -1;
  const unsigned char text[] = "C:/data\0";
  yyregkeyput(HKEY_CURRENT_USER, REG_SZ, status, "Software\\Tarn\\Settings", "LastDir", text, 8);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(exists("config/tarnwalker/registry"));

  int type = 0, size = 0;
  yyregkeyget(HKEY_CURRENT_USER, type, size, "software\\tarn\\SETTINGS", "lastdir", nullptr);
  EXPECT_EQ(type, REG_SZ) << "names compare without regard to case";
  EXPECT_EQ(size, 8) << "size 0 asks for type and size";
  unsigned char small[4] = {};
  size = 4;
  yyregkeyget(HKEY_CURRENT_USER, type, size, "Software\\Tarn\\Settings", "LastDir", small);
  EXPECT_EQ(size, 8) << "too small: the size needed, nothing copied";
  EXPECT_EQ(small[0], 0);
  unsigned char data[16] = {};
  size = 16;
  yyregkeyget(HKEY_CURRENT_USER, type, size, "Software\\Tarn\\Settings", "LastDir", data);
  EXPECT_EQ(size, 8);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "C:/data");

  yyregkeyget(HKEY_CURRENT_USER, type, size, "Software\\Tarn\\Settings", "Other", data);
  EXPECT_EQ(type, -2) << "a missing value";
  EXPECT_EQ(size, 0);
  type = 77;
  yyregkeyget(HKEY_CURRENT_USER, type, size, "Software\\None", "LastDir", data);
  EXPECT_EQ(type, 77) << "a missing key returns nothing";
  yyregkeyget(HKEY_LOCAL_MACHINE, type, size, "Software\\Tarn\\Settings", "LastDir", data);
  EXPECT_EQ(type, 77) << "another root";

  yyregkeydel(HKEY_CURRENT_USER, status, "Software\\Tarn");
  EXPECT_EQ(status, ERROR_ACCESS_DENIED) << "a key with keys below it stays";
  yyregvaldel(HKEY_CURRENT_USER, status, "Software\\Tarn\\Settings", "LastDir");
  EXPECT_EQ(status, 0);
  yyregvaldel(HKEY_CURRENT_USER, status, "Software\\Tarn\\Settings", "LastDir");
  EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
  yyregkeydel(HKEY_CURRENT_USER, status, "Software\\Tarn\\Settings");
  EXPECT_EQ(status, 0) << "the emptied key is still there to delete";
  yyregkeydel(HKEY_CURRENT_USER, status, "Software\\Tarn\\Settings");
  EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
}

// Non-hexadecimal text in the settings file once threw out of the registry reader and ended
// the program: damaged lines are skipped, reported once, and kept when the file is rewritten.
TEST(Yyregkeyget, DamagedLinesAreSkippedReportedAndKept) {
  ServicesScene here;
  using namespace win;
  const std::string damaged = read(std::string(TW_FIXTURES) + "/registry-damaged");
  ASSERT_FALSE(damaged.empty());
  std::filesystem::create_directories("config/tarnwalker");
  write("config/tarnwalker/registry", damaged);
  const char* key = "Software\\Tarn\\Settings";

  ::testing::internal::CaptureStderr();
  int type = 0, size = 16;
  unsigned char data[16] = {};
  yyregkeyget(HKEY_CURRENT_USER, type, size, key, "LastDir", data);
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(type, REG_SZ);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "C:/data");
  std::size_t reports = 0;
  for (std::size_t at = 0; (at = report.find("is damaged", at)) != std::string::npos; ++at) ++reports;
  EXPECT_EQ(reports, 6u) << report;
  EXPECT_NE(report.find("line 2 is damaged"), std::string::npos) << report;

  ::testing::internal::CaptureStderr();
  size = 16;
  yyregkeyget(HKEY_CURRENT_USER, type, size, key, "Colour", data);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(size, 4);
  EXPECT_EQ(data[0], 0xFF);
  size = 16;
  yyregkeyget(HKEY_CURRENT_USER, type, size, key, "Width", data);
  EXPECT_EQ(type, -2) << "a damaged value is not there";
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "each damaged line is reported once";

  int status = -1;
  const unsigned char one[] = {1, 0, 0, 0};
  ::testing::internal::CaptureStderr();
  yyregkeyput(HKEY_CURRENT_USER, REG_DWORD, status, key, "Width", one, 4);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  const std::string after = read("config/tarnwalker/registry");
  std::istringstream lines(damaged);
  for (std::string line; std::getline(lines, line);)
    EXPECT_NE(after.find(line + "\n"), std::string::npos) << "kept: " << line;
  size = 16;
  yyregkeyget(HKEY_CURRENT_USER, type, size, key, "Width", data);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(data[0], 1);
}

TEST(Yyemailsend, GoesToTheComposerWithEveryPart) {
  ServicesScene here;
  std::filesystem::create_directory("bin");
  write("bin/xdg-email", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\" >> '" + here.dir.path() +
                             "/mail.log'; done\ncd /\nexit 0\n");
  std::filesystem::permissions("bin/xdg-email", std::filesystem::perms::owner_all);
  setenv("PATH", (here.dir.path() + "/bin:" + here.oldPath).c_str(), 1);
  win::yyemailclearrecip(3);
  win::yyemailaddaddress(0, "ann@example.org");
  win::yyemailaddname(1, "Bob Jones");
  win::yyemailaddaddress(1, "bob@example.org");
  win::yyemailaddtype(1, 2);
  win::yyemailaddaddress(2, "eve@example.org");
  win::yyemailaddtype(2, 3);
  win::yyemailaddaddress(9, "nobody@example.org");  // no such entry: ignored
  win::yyemailclearattach(1);
  win::yyemailaddattachfile(0, "/tmp/plot 1.wmf");
  int status = -9, mailerror = -9;
  win::yyemailsend(0, status, mailerror, "Flows", "See the plot's trend.");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(mailerror, 0);
  EXPECT_EQ(read("mail.log"),
            "[--utf8][--subject][Flows][--body][See the plot's trend.][--cc][Bob Jones "
            "<bob@example.org>][--bcc][eve@example.org][--attach][/tmp/plot 1.wmf]"
            "[ann@example.org]");
  EXPECT_EQ(std::filesystem::current_path().string(), here.dir.path()) << "the directory is put back";

  write("bin/xdg-email", "#!/bin/sh\nexit 4\n");
  win::yyemailsend(0, status, mailerror, "x", "y");
  EXPECT_EQ(status, -2);
  EXPECT_EQ(mailerror, 4);

  setenv("PATH", "/nonexistent", 1);
  win::yyemailsend(0, status, mailerror, "x", "y");
  EXPECT_EQ(status, -1) << "no composer";
}

TEST(Yygetenv, EnvironmentProgramPathAndUser) {
  ServicesScene here;
  char buffer[8];
  int length = -1;
  win::yyputenv("TW_OS_VAR", "value");
  win::yygetenv(length, "TW_OS_VAR", buffer, sizeof buffer);
  EXPECT_EQ(length, 5);
  EXPECT_STREQ(buffer, "value");
  win::yyputenv("TW_OS_VAR", "much longer");
  win::yygetenv(length, "TW_OS_VAR", buffer, sizeof buffer);
  EXPECT_EQ(length, 12) << "the size needed, with its NUL";
  unsetenv("TW_OS_VAR");
  win::yygetenv(length, "TW_OS_VAR", buffer, sizeof buffer);
  EXPECT_EQ(length, 0);

  char exe[512];
  win::yygetexe(exe, sizeof exe);
  EXPECT_EQ(std::string(exe), std::filesystem::read_symlink("/proc/self/exe").string());

  char user[300];
  int status = -1, truncated = -1;
  win::yyusername(status, truncated, user, sizeof user);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(truncated, 0);
  EXPECT_STREQ(user, getpwuid(geteuid())->pw_name);
  char two[2];
  win::yyusername(status, truncated, two, sizeof two);
  EXPECT_EQ(truncated, 1);
  EXPECT_EQ(std::strlen(two), 1u);
}

TEST(Yyassocexe, FindsTheOpener) {
  ServicesScene here;
  std::filesystem::create_directory("bin");
  write("bin/xdg-open", "#!/bin/sh\n");
  std::filesystem::permissions("bin/xdg-open", std::filesystem::perms::owner_all);
  write("doc.pdf", "%PDF");
  setenv("PATH", (here.dir.path() + "/bin").c_str(), 1);
  char program[300];
  int status = -9;
  win::yyassocexe(status, "doc.pdf", program, sizeof program);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::string(program), here.dir.path() + "/bin/xdg-open");
  win::yyassocexe(status, "none.pdf", program, sizeof program);
  EXPECT_EQ(status, 1) << "the document does not exist";
  char small[5];
  win::yyassocexe(status, "doc.pdf", small, sizeof small);
  EXPECT_EQ(status, 1023);
  setenv("PATH", "/nonexistent", 1);
  win::yyassocexe(status, "doc.pdf", program, sizeof program);
  EXPECT_EQ(status, -1);
}

// The toolkit's texts are Windows-1252; names on the system are UTF-8.
TEST(IFileOpen, NamesCrossTheSystemBoundaryConverted) {
  ServicesScene here;
  int handle = -1;
  IFileOpen("caf\xE9 \x80.txt", 1, handle);  // é and the euro sign
  ASSERT_GE(handle, 0);
  ifileclose(handle);
  EXPECT_TRUE(exists("caf\xC3\xA9 \xE2\x82\xAC.txt"));
  std::string name = "caf*";
  int attributes = 0, packed = 0, size = 0, status = 0;
  win::yyfind(0, name, attributes, packed, size, status);
  EXPECT_EQ(name, "caf\xE9 \x80.txt");
  win::yyfindclose();
  setenv("TW_OS_TEXT", "\xC3\xA9t\xC3\xA9", 1);
  std::string value(6, ' ');
  IOsVariable("TW_OS_TEXT", value);
  EXPECT_EQ(value, "\xE9t\xE9   ");
  unsetenv("TW_OS_TEXT");
}
