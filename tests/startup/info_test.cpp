// Information queries.
#include <regex>

#include "platform/os.h"
#include "tests/os/os_fixture.h"
#include "toolkit/hardcopy/printer_models.h"
#include "toolkit/hardcopy/startup_hardcopy.h"
#include "toolkit/startup/info.h"
#include "toolkit/startup/startup.h"
#include "toolkit/text/strings.h"

namespace {
// A temporary directory with "TEMP" and "TMP" unset; the command line and start-up are
// put back afterwards.
struct InfoScene {
  TempDir dir;
  ScopedVariable temp{"TEMP", nullptr}, tmp{"TMP", nullptr};
  ~InfoScene() {
    win::test::setCommandLine("");
    tw::test::resetStartup();
  }
};
}  // namespace

TEST(WInfoFilename, Names) {
  InfoScene here;
  assignfixed(tessar.files.CHARSET, "standard.chr");
  assignfixed(tessar.files.HOMEDIR, "/opt/tess/");
  assignfixed(tessar.graphics.font.NAME, "swiss");
  struct Case {
    const char* why;
    int item;
    int fontkind;
    std::size_t length;
    const char* want;
    int error;
  };
  const Case cases[] = {
      {"character-set file", 3, 0, 14, "standard.chr  ", 0},
      {"cut to a short text with error 1023", 3, 0, 5, "stand", 1023},
      {"home directory", 7, 0, 10, "/opt/tess/", 0},
      {"hardware text", 9, 0, 3, "H  ", 0},
      {"stroke-font text: the font's name", 9, 1, 6, "swiss ", 0},
      {"item 4 is blank", 4, 0, 3, "   ", 0},
      {"item 6 is blank", 6, 0, 3, "   ", 0},
      {"unknown item is blank", 99, 0, 3, "   ", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    tessar.graphics.text.FONTKIND = c.fontkind;
    std::string text(c.length, '#');
    WInfoFilename(c.item, text);
    EXPECT_EQ(text, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
}

TEST(WInfoFilename, TemporaryDirectory) {
  InfoScene here;
  struct Case {
    const char* why;
    const char* temp;
    const char* tmp;
    std::size_t length;
    const char* want;
  };
  const Case cases[] = {
      {"TEMP gets a separator", "/var/work", nullptr, 12, "/var/work/  "},
      {"TEMP keeps its separator", "/var/work/", nullptr, 12, "/var/work/  "},
      {"TMP when TEMP is not set", nullptr, "/scratch", 10, "/scratch/ "},
      {"neither: /tmp", nullptr, nullptr, 6, "/tmp/ "},
      {"a text exactly as long as the directory gets no separator", "/var/work", nullptr, 9,
       "/var/work"},
      {"a longer directory is cut without a report", "/var/work/deeper", nullptr, 8,
       "/var/wor"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    c.temp ? setenv("TEMP", c.temp, 1) : unsetenv("TEMP");
    c.tmp ? setenv("TMP", c.tmp, 1) : unsetenv("TMP");
    tessar.error = ErrorState{};
    std::string text(c.length, '#');
    WInfoFilename(10, text);
    EXPECT_EQ(text, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
}

TEST(WInfoFilename, NewTemporaryFile) {
  InfoScene here;
  setenv("TEMP", here.dir.path().c_str(), 1);
  std::string text = field(200);
  WInfoFilename(11, text);
  const std::string name = trim(text);
  EXPECT_TRUE(std::regex_match(name, std::regex(here.dir.path() + "/xx[0-9]{10}\\.tmp"))) << name;
  EXPECT_FALSE(exists(name));
  std::string shortText = field(here.dir.path().size() + 5);
  WInfoFilename(11, shortText);
  EXPECT_EQ(shortText.substr(0, here.dir.path().size() + 3), here.dir.path() + "/xx") << "as much as fits";
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST(WInfoFilename, NewTemporaryFileSkipsNamesInUse) {
  InfoScene here;
  setenv("TEMP", here.dir.path().c_str(), 1);
  int start = 0;
  yysystime(start);
  constexpr int kTaken = 5000;
  for (int k = 0; k < kTaken; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "xx%010d.tmp", start + k);
    write(name, "");
  }
  int now = 0;
  yysystime(now);
  std::string text = field(200);
  WInfoFilename(11, text);
  if (now >= start + kTaken) GTEST_SKIP() << "the clock passed every name in use";
  char want[32];
  std::snprintf(want, sizeof want, "/xx%010d.tmp", start + kTaken);
  EXPECT_EQ(trim(text), here.dir.path() + want) << "the next count for which no file exists";
}

TEST(Winfosystem, Items) {
  InfoScene here;
  win::test::setCommandLine("prog one \"two words\"");
  tw::test::resetStartup();
  tessar.files.DECIMAL = ',';
  struct Case {
    const char* why;
    int item;
    int want;
  };
  const Case cases[] = {
      {"item 1 is always 6", 1, 6},
      {"the path separator's code", 6, '/'},
      {"an unknown item repeats the previous value", 4, '/'},
      {"arguments after the program path", 2, 2},
      {"item 7", 7, 0},
      {"item 18", 18, 1},
      {"item 19", 19, 0},
      {"the decimal character", 20, ','},
      {"the NT family", 16, 4},
      {"no drive letters: no drive D", 68, 0},
      {"no volume serial of drive D", 168, 0},
      {"an unknown item again", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(winfosystem(c.item), c.want);
  }
  EXPECT_EQ(winfosystem(9), 0) << "the temporary directory is not the root";
  std::filesystem::current_path("/");
  EXPECT_EQ(winfosystem(9), 1);
  std::filesystem::current_path(here.dir.path());
  const long long mb = static_cast<long long>(std::filesystem::space(".").available >> 20);
  EXPECT_NEAR(winfosystem(21), mb, 64);
  int major = 0, minor = 0;
  win::yyosver(major, minor);
  EXPECT_GT(major, 0);
  EXPECT_EQ(winfosystem(3), major * 100 + minor);
  const int t = winfosystem(15);
  EXPECT_GE(t, 0);
}

TEST(WInfoDeviceName, NamesCutToTheText) {
  InfoScene here;
  iprinter(29);
  iplotter(3);
  iprinter2(2);
  struct Case {
    const char* why;
    int driver;
    std::size_t length;
    std::string want;
    int error;
  };
  const Case cases[] = {
      {"raster printer", 1, 27, "HP LaserJet 4/5 series     ", 0},
      {"raster printer cut to 20 with error 1023", 1, 20, "HP LaserJet 4/5 seri", 1023},
      {"plotter, inner blanks kept", 2, 28, "HP 7475A A3 paper (6 pens)  ", 0},
      {"HP-GL/2 type", 3, 31, "HP DJet 1200C/1600C, Color LJet", 0},
      {"HP-GL/2 type into a 27-character text", 3, 27, "HP DJet 1200C/1600C, Color ", 1023},
      {"no driver 4", 4, 5, "     ", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    std::string text(c.length, '#');
    WInfoDeviceName(c.driver, text);
    EXPECT_EQ(text, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
}

TEST(Winfoversion, CutToText) {
  std::string text(3, ' ');
  winfoversion(text);
  EXPECT_EQ(text, "7.1");
  text = std::string(6, '#');
  winfoversion(text);
  EXPECT_EQ(text, "7.10  ");
}

TEST(Iplotter, Selection) {
  struct Case {
    const char* why;
    int model;
    int plotter;
    int type;  // 0: unchanged
  };
  const Case cases[] = {
      {"a model 1-10", 7, 7, 0},
      {"11-15 select plotter 1 and type model - 10", 13, 1, 3},
      {"anything else plotter 1", 99, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.hardcopy.selection = PrinterSelection{};
    iplotter(c.model);
    EXPECT_EQ(tessar.hardcopy.selection.PLOTTERMODEL, c.plotter);
    EXPECT_EQ(tessar.hardcopy.selection.HPGL2TYPE, c.type);
  }
}
