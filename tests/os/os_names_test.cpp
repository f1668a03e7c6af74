// Names beyond ASCII at the border between the system (UTF-8) and the toolkit (Windows-1252):
// one table of names (ASCII, letters of the code page, letters outside it) over the routes
// of the OS layer, each checking the file written, the text read back or the error recorded.
#include <filesystem>

#include "platform/os.h"
#include "tests/os/os_fixture.h"
#include "toolkit/os/opsys.h"
#include "toolkit/text/errors.h"

namespace fs = std::filesystem;

namespace {

struct Name {
  const char* why;
  const char* utf8;   // as the system spells it
  bool held;          // the code page holds every letter
};
constexpr Name kNames[] = {
    {"ASCII", "Data", true},
    {"French accent", "Donn\xC3\xA9" "es", true},
    {"German umlaut and sharp s", "M\xC3\xBCller Stra\xC3\x9F" "e", true},
    {"Portuguese acute capital", "\xC3\x81rea", true},
    {"diaeresis", "Zo\xC3\xAB", true},
    {"Polish: L with stroke is not in the code page", "\xC5\x81\xC3\xB3" "d\xC5\xBA", false},
    {"Greek", "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1", false},
    {"Cyrillic", "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", false},
    {"CJK", "\xE6\x9D\xB1\xE4\xBA\xAC", false},
};

// The toolkit's spelling of a name the code page holds.
std::string toolkit(const char* utf8) {
  std::string out;
  EXPECT_TRUE(win::cp1252FromUtf8Strict(utf8, out));
  return out;
}

}  // namespace

// A project in "Données/gauge.tw" gave "File does not exist"; the file layer
// converted the chooser's UTF-8 a second time. Names in the code page open, save (also
// through a link) and read back, and the bytes land in the folder of that name.
TEST(NamesAtTheBorder, CodePageNamesOpenSaveAndSaveThroughALink) {
  for (const Name& n : kNames) {
    if (!n.held) continue;
    SCOPED_TRACE(n.why);
    TempDir dir;
    fs::create_directory(n.utf8);
    const std::string file = dir.path() + "/" + toolkit(n.utf8) + "/gauge.tw";
    bool opened = false;
    ASSERT_EQ(yyreplacefile(file, "flows", opened), 0);
    EXPECT_EQ(read(std::string(n.utf8) + "/gauge.tw"), "flows") << "written where asked";
    std::string text;
    EXPECT_TRUE(yyreadwholefile(file, text, opened));
    EXPECT_EQ(text, "flows");
    int handle = -1;
    IFileOpen(file, 0, handle);
    EXPECT_GE(handle, 0);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    ifileclose(handle);

    fs::create_symlink(std::string(n.utf8) + "/gauge.tw", "link.tw");
    ASSERT_EQ(yyreplacefile("link.tw", "saved through the link", opened), 0);
    EXPECT_TRUE(fs::is_symlink("link.tw")) << "the link stays";
    EXPECT_EQ(read(std::string(n.utf8) + "/gauge.tw"), "saved through the link");
  }
}

// A link whose target holds letters outside the code page was followed to a name with "?"
// in their place: the save went to a new file of that name and was reported as done.
TEST(NamesAtTheBorder, ALinkToANameOutsideTheCodePageIsRefusedWithNothingWritten) {
  for (const Name& n : kNames) {
    if (n.held) continue;
    SCOPED_TRACE(n.why);
    TempDir dir;
    fs::create_directory(n.utf8);
    write(std::string(n.utf8) + "/gauge.tw", "old");
    fs::create_symlink(std::string(n.utf8) + "/gauge.tw", "link.tw");
    bool opened = false;
    EXPECT_EQ(yyreplacefile("link.tw", "new", opened), win::ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_EQ(read(std::string(n.utf8) + "/gauge.tw"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2) << "no file beside";
    char text[200] = {};
    win::yyerrorstr(win::ERROR_NO_UNICODE_TRANSLATION, text, sizeof text);
    EXPECT_STREQ(text, "The name holds characters outside Windows-1252");
  }
}

// The working folder and the environment: names in the code page come in converted; names
// outside it never come in as a name with "?" (which would be another file): the working
// folder gives an error and an environment value reads as not set, so TEMP falls back to
// /tmp. Relative names keep working in such a working folder, and settings are kept in a
// home folder of any name.
TEST(NamesAtTheBorder, WorkingFolderEnvironmentAndSettings) {
  for (const Name& n : kNames) {
    SCOPED_TRACE(n.why);
    TempDir dir;
    fs::create_directory(n.utf8);
    const std::string system = dir.path() + "/" + n.utf8;
    {
      ScopedVariable temp("TEMP", system.c_str());
      std::string value = field(260);
      IOsVariable("TEMP", value);
      EXPECT_EQ(trim(value), n.held ? toolkit(system.c_str()) : "");
    }
    {
      ScopedVariable home("HOME", system.c_str());
      ScopedVariable xdg("XDG_CONFIG_HOME", nullptr);
      int status = -1;
      const unsigned char data[] = "kept";
      win::yyregkeyput(win::HKEY_CURRENT_USER, win::REG_SZ, status, "Software\\Tarn", "Setting", data, 5);
      EXPECT_EQ(status, 0);
      unsigned char back[8] = {};
      int type = 0, size = 8;
      win::yyregkeyget(win::HKEY_CURRENT_USER, type, size, "Software\\Tarn", "Setting", back);
      EXPECT_STREQ(reinterpret_cast<const char*>(back), "kept");
      EXPECT_TRUE(exists(system + "/.config/tarnwalker/registry")) << "the settings live in that home";
    }
    fs::current_path(n.utf8);
    tessar.error = ErrorState{};
    std::string here = field(300);
    IOsDirName(here);
    if (n.held) {
      EXPECT_EQ(trim(here), toolkit(system.c_str()));
      EXPECT_EQ(tessar.error.LASTERROR, 0);
    } else {
      EXPECT_EQ(trim(here), "");
      EXPECT_EQ(tessar.error.LASTERROR, 13);
      EXPECT_EQ(tessar.error.ERRSTATUS, win::ERROR_NO_UNICODE_TRANSLATION);
    }
    bool opened = false;
    EXPECT_EQ(yyreplacefile("relative.tw", "here", opened), 0) << "relative names work in any working folder";
    EXPECT_EQ(read(system + "/relative.tw"), "here");
    fs::current_path(dir.path());
  }
}

// Wildcard delete and copy list the folder: a file of the code page's letters is deleted or
// copied as any other; one the code page cannot name is left with an error recorded (never
// a silent skip, never a "?" that names another file), and the rest are still done.
TEST(NamesAtTheBorder, WildcardDeleteAndCopy) {
  for (const Name& n : kNames) {
    SCOPED_TRACE(n.why);
    TempDir dir;
    fs::create_directories("in");
    fs::create_directories("out");
    write(std::string("in/") + n.utf8 + ".plt", "x");
    write("in/zz.plt", "z");
    tessar.error = ErrorState{};
    IOsCopyFile("in/*.plt", "out/");
    EXPECT_TRUE(exists("out/zz.plt"));
    EXPECT_EQ(exists(std::string("out/") + n.utf8 + ".plt"), n.held);
    EXPECT_EQ(tessar.error.LASTERROR, n.held ? 0 : 13);
    tessar.error = ErrorState{};
    IOsDeleteFile("in/*.plt");
    EXPECT_FALSE(exists("in/zz.plt"));
    EXPECT_EQ(exists(std::string("in/") + n.utf8 + ".plt"), !n.held);
    EXPECT_EQ(tessar.error.LASTERROR, n.held ? 0 : 13);
    if (!n.held) {
      EXPECT_EQ(tessar.error.ERRSTATUS, win::ERROR_NO_UNICODE_TRANSLATION);
    }
  }
}

TEST(Codepage, UnusableCharactersAreNamedOnceInOrder) {
  EXPECT_EQ(win::unusableCharacters("Donn\xC3\xA9" "es"), "");
  EXPECT_EQ(win::unusableCharacters("\xC5\x81\xC3\xB3" "d\xC5\xBA \xC5\x81"), "U+0141 U+017A");
  EXPECT_EQ(win::unusableCharacters("caf\xC3\xA9\xFF"), "bytes that are not UTF-8");
  EXPECT_EQ(win::cp1252FromUtf8Shown("\xC5\x81\xC3\xB3" "d\xC5\xBA"), "?\xF3" "d?");
  const std::string message = win::unusableNameMessage("/home/\xE6\x9D\xB1\xE4\xBA\xAC/a.tw");
  EXPECT_EQ(message.substr(0, message.find('\n')), "/home/??/a.tw");
  EXPECT_NE(message.find("U+6771 U+4EAC"), std::string::npos);
}
