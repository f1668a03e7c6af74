// Toolkit start-up: environment variables, the INI file, the starting values, the command
// line and option letters.
#include <sys/wait.h>

#include <cstdio>

#include "platform/os.h"
#include "tests/os/os_fixture.h"
#include "tests/support/message_boxes.h"
#include "toolkit/os/opsys.h"
#include "toolkit/startup/startup.h"

namespace {

// A temporary directory with start-up's environment variables unset except "TEMP", which
// names the directory; start-up can run again, and everything is put back afterwards.
struct StartupScene {
  TempDir dir;
  ScopedVariable tessar_{"TESSAR", nullptr}, tdev{"TDEV", nullptr},
      tessinit{"TESSINIT", nullptr}, tessdebug{"TESSDEBUG", nullptr}, tmp{"TMP", nullptr},
      temp{"TEMP", dir.path().c_str()};
  StartupScene() {
    tw::test::resetStartup();
    win::test::setCommandLine("");
  }
  ~StartupScene() {
    tw::test::resetStartup();
    win::test::setCommandLine("");
  }
  // Runs start-up with an INI file of the given lines named by "TESSINIT".
  void startWith(const std::string& lines) {
    write("t.ini", lines);
    setenv("TESSINIT", (dir.path() + "/t.ini").c_str(), 1);
    tessar = Tessar{};
    tw::test::resetStartup();
    winitialise(" ");
  }
};

}  // namespace

TEST(Yywinitialise, HomeDirectoryFromEnvironment) {
  StartupScene here;
  struct Case {
    const char* why;
    const char* tessar;
    const char* tdev;
    const char* want;
  };
  const Case cases[] = {
      {"TESSAR gets a separator", "/opt/tess", nullptr, "/opt/tess/"},
      {"TESSAR keeps its separator", "/opt/tess/", nullptr, "/opt/tess/"},
      {"TESSAR wins over TDEV", "/a", "/b/TDEV/x", "/a/"},
      {"TDEV is cut before the name in any case", nullptr, "/home/u/tdev/build", "/home/u/"},
      {"TDEV is cut before the last occurrence", nullptr, "/TDEV/src/Tdev/x", "/TDEV/src/"},
      {"TDEV without the name stays whole", nullptr, "/home/u/src", "/home/u/src"},
      {"neither: the root's tess directory", nullptr, nullptr, "/tess/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    c.tessar ? setenv("TESSAR", c.tessar, 1) : unsetenv("TESSAR");
    c.tdev ? setenv("TDEV", c.tdev, 1) : unsetenv("TDEV");
    yywinitialise();
    EXPECT_EQ(trim(tessar.files.HOMEDIR), c.want);
    EXPECT_EQ(tessar.files.HOMEDIR.size(), 260u);
    EXPECT_EQ(tessar.files.LFNGEN, 40);
  }
}

TEST(Winitialise, StartingValues) {
  StartupScene here;
  setenv("TESSAR", "/opt/tess", 1);
  write(here.dir.path() + "/vxk$$00.plt", "");  // taken: the next number is used
  tessar.window.ROOTOPEN = 1;
  tessar.window.PUSHBACKTYPE = 5;
  tessar.dialog.CURDIALOG = 7;
  tessar.windowtext.kind = 3;
  tessar.error.LASTERROR = 44;
  tessar.graphics.attributes.SCREENON = 1;
  tessar.graphics.area.ASPECT = 2.0f;
  tessar.graphics.metafiles[4].KIND = 3;
  tessar.files.LFNPLOTI = 77;
  tessar.hardcopy.selection.PLOTTERMODEL = 9;
  winitialise(" ");
  EXPECT_EQ(tessar.window.STARTUP, -9999);
  EXPECT_EQ(tessar.display.WIDTH, 1280) << "the headless screen";
  EXPECT_EQ(tessar.display.HEIGHT, 1024);
  EXPECT_EQ(tessar.display.DEVICECLASS, 3);
  EXPECT_EQ(tessar.window.ROOTOPEN, 0);
  EXPECT_EQ(tessar.window.PUSHBACKTYPE, 0);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 0);
  EXPECT_EQ(tessar.windowtext.kind, -1);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 0);
  EXPECT_EQ(tessar.graphics.attributes.SCREENON, 0);
  EXPECT_FLOAT_EQ(tessar.graphics.area.ASPECT, 1.32f);
  EXPECT_EQ(tessar.graphics.metafiles[4].KIND, 0);
  EXPECT_EQ(tessar.dialog.EmptyInteger, -999);
  EXPECT_EQ(tessar.files.LFNGEN, 40);
  EXPECT_EQ(tessar.files.LFNPLOTI, 42);
  EXPECT_EQ(tessar.files.PATHSEP, '/');
  EXPECT_EQ(trim(tessar.files.CHARDIR), "/opt/tess/charsets/");
  EXPECT_EQ(trim(tessar.files.CHARSET), "standard.chr");
  EXPECT_EQ(trim(tessar.files.DUMPFILE), "");
  EXPECT_EQ(trim(tessar.files.TMPPRINT), here.dir.path() + "/vxk$$01.plt");
  EXPECT_EQ(trim(tessar.files.TMPDUMP), here.dir.path() + "/vxk$$00.dmp");
  EXPECT_EQ(trim(tessar.files.SYSDIR), "/usr/lib");
  ASSERT_EQ(tessar.editor.EDITBUF.size(), 51u);
  EXPECT_EQ(tessar.editor.EDITBUF[50][19].TEXTALLOCATED, 0);
  EXPECT_EQ(tessar.hardcopy.selection.PRINTERMODEL, 28) << "no INI value: the default printer";
  EXPECT_EQ(tessar.hardcopy.selection.PLOTTERMODEL, 1);
  EXPECT_GE(tessar.hardcopy.selection.HPGL2TYPE, 1);
}

TEST(Winitialise, SecondCallChangesNothing) {
  StartupScene here;
  winitialise(" ");
  tessar.files.LFNPLOTI = 60;
  write("other.ini", "LFNPLOTI=50\n");
  winitialise("other.ini");
  EXPECT_EQ(tessar.files.LFNPLOTI, 60);
}

TEST(Winitialise, TessdebugSetsReportLevel) {
  StartupScene here;
  struct Case {
    const char* why;
    const char* value;
    int want;
  };
  const Case cases[] = {
      {"a digit 0-4", "3", 3},
      {"only the first character counts", "2xyz", 2},
      {"out of range", "7", 0},
      {"not a digit", "x", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    setenv("TESSDEBUG", c.value, 1);
    tessar = Tessar{};
    tw::test::resetStartup();
    winitialise(" ");
    EXPECT_EQ(tessar.error.DEBUGLEVEL, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
}

TEST(Winitialise, IniKeysTakeEffect) {
  StartupScene here;
  const std::string col270 = std::string(268, ' ') + "x=5";  // "=" in column 270
  struct Case {
    const char* why;
    std::string lines;
    std::function<void()> check;
  };
  const Case cases[] = {
      {"lower-case keyword, leading blanks, a tab before =, separator added",
       "   chardir\t= /usr/share/tw fonts\n",
       [] { EXPECT_EQ(trim(tessar.files.CHARDIR), "/usr/share/tw fonts/"); }},
      {"CHARSET takes the rest of the line", "CHARSET=my set.chr \n",
       [] { EXPECT_EQ(trim(tessar.files.CHARSET), "my set.chr"); }},
      {"seven-letter LFNPLOT matches nothing", "LFNPLOT=50\n",
       [] { EXPECT_EQ(tessar.files.LFNPLOTI, 42); }},
      {"LFNPLOTI with its eight letters", "LFNPLOTI=50\n",
       [] { EXPECT_EQ(tessar.files.LFNPLOTI, 50); }},
      {"LFNGEN equal to the plot unit is ignored", "LFNGEN=42\n",
       [] { EXPECT_EQ(tessar.files.LFNGEN, 40); }},
      {"LFNGEN another unit", "lfngen=43\n", [] { EXPECT_EQ(tessar.files.LFNGEN, 43); }},
      {"later lines override earlier ones", "LFNGEN=43\nLFNGEN=44\n",
       [] { EXPECT_EQ(tessar.files.LFNGEN, 44); }},
      {"nothing before =", "=44\n LFNGEN\n", [] { EXPECT_EQ(tessar.files.LFNGEN, 40); }},
      {"a two-letter keyword", "LF=44\n", [] { EXPECT_EQ(tessar.files.LFNGEN, 40); }},
      {"= in column 270", col270 + "\n", [] { EXPECT_EQ(tessar.files.LFNGEN, 40); }},
      {"blank value", "LFNGEN=   \n", [] { EXPECT_EQ(tessar.files.LFNGEN, 40); }},
      {"DEBUG sets the level", "DEBUG=2\r\n", [] { EXPECT_EQ(tessar.error.DEBUGLEVEL, 2); }},
      {"DEBUG out of range leaves TESSDEBUG's level", "DEBUG=7\n",
       [] { EXPECT_EQ(tessar.error.DEBUGLEVEL, 1); }},
      {"DEBUG not a number", "DEBUG=high\n", [] { EXPECT_EQ(tessar.error.DEBUGLEVEL, 1); }},
      {"PRINTER selects the model and its HP-GL/2 type", "PRINTER=29\n",
       [] {
         EXPECT_EQ(tessar.hardcopy.selection.PRINTERMODEL, 29);
         EXPECT_EQ(tessar.hardcopy.selection.HPGL2TYPE, 3);
       }},
      {"PRINTER 27 is no model", "PRINTER=27\n",
       [] { EXPECT_EQ(tessar.hardcopy.selection.PRINTERMODEL, 28); }},
      {"PLOTTER 12: plotter 1 with HP-GL/2 type 2", "PLOTTER=12\n",
       [] {
         EXPECT_EQ(tessar.hardcopy.selection.PLOTTERMODEL, 1);
         EXPECT_EQ(tessar.hardcopy.selection.HPGL2TYPE, 2);
       }},
      {"PLOTTER 12 keeps its type against HPGL2 0", "PLOTTER=12\nHPGL2=0\n",
       [] { EXPECT_EQ(tessar.hardcopy.selection.HPGL2TYPE, 2); }},
      {"HPGL2 chooses the type", "PLOTTER=7\nHPGL2=4\n",
       [] {
         EXPECT_EQ(tessar.hardcopy.selection.PLOTTERMODEL, 7);
         EXPECT_EQ(tessar.hardcopy.selection.HPGL2TYPE, 4);
       }},
      {"a last line without a line end counts", "LFNGEN=45",
       [] { EXPECT_EQ(tessar.files.LFNGEN, 45); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    setenv("TESSDEBUG", "1", 1);
    testing::internal::CaptureStdout();  // level 1 reports failed conversions there
    here.startWith(c.lines);
    testing::internal::GetCapturedStdout();
    c.check();
    EXPECT_EQ(tessar.error.LASTERROR, 0) << "start-up leaves no error behind";
  }
}

TEST(Winitialise, IniFileSearchOrder) {
  StartupScene here;
  setenv("TESSAR", (here.dir.path() + "/home").c_str(), 1);
  std::filesystem::create_directory("home");
  write("home/tessar.ini", "LFNGEN=50\n");
  tessar = Tessar{};
  winitialise(" ");
  EXPECT_EQ(tessar.files.LFNGEN, 50) << "the home directory's file";

  write("tessar.ini", "LFNGEN=51\n");
  tessar = Tessar{};
  tw::test::resetStartup();
  winitialise(" ");
  EXPECT_EQ(tessar.files.LFNGEN, 51) << "the current directory's file first";

  write("t.ini", "LFNGEN=52\n");
  setenv("TESSINIT", (here.dir.path() + "/t.ini").c_str(), 1);
  tessar = Tessar{};
  tw::test::resetStartup();
  winitialise(" ");
  EXPECT_EQ(tessar.files.LFNGEN, 52) << "TESSINIT first";

  write("arg.ini", "LFNGEN=53\n");
  tessar = Tessar{};
  tw::test::resetStartup();
  winitialise("arg.ini");
  EXPECT_EQ(tessar.files.LFNGEN, 53) << "the caller's file before all";

  setenv("TESSINIT", (here.dir.path() + "/missing.ini").c_str(), 1);
  tessar = Tessar{};
  tw::test::resetStartup();
  winitialise("missing.ini");
  EXPECT_EQ(tessar.files.LFNGEN, 51) << "missing names fall through to the search";
}

TEST(Winitialise, VersionKeywordShowsVersionAndEnds) {
  StartupScene here;
  const char* const lines[] = {"VER=\n", "version = yes\nLFNGEN=44\n"};
  for (const char* l : lines) {
    SCOPED_TRACE(l);
    EXPECT_EXIT(
        {
          tw::test::reportBoxesAtExit();
          here.startWith(l);
        },
        ::testing::ExitedWithCode(0),
        "\\[Tessaraweld\\] Abnormal exit \\(code 0\\) : Tessaraweld version 7.10\n");
  }
}

// The program itself, started with TESSINIT naming an INI file with "VER=".
TEST(WinMain, ProgramWithVersionKeywordShowsVersionBoxAndExitsWithZero) {
  StartupScene here;
  write("v.ini", "  VER=\n");
  const std::string command = "TESSINIT='" + here.dir.path() + "/v.ini' '" STARTUP_PROBE "' 2>&1";
  std::FILE* p = popen(command.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string output;
  char block[256];
  while (std::fgets(block, sizeof block, p)) output += block;
  const int rc = pclose(p);
  ASSERT_TRUE(WIFEXITED(rc));
  EXPECT_EQ(WEXITSTATUS(rc), 0);
  EXPECT_NE(output.find("[Tessaraweld] Abnormal exit (code 0) : Tessaraweld version 7.10\n"),
            std::string::npos)
      << output;
  EXPECT_EQ(output.find("main program ran"), std::string::npos) << "start-up ended the run";

  write("plain.ini", "LFNGEN=44\n");
  const std::string plain = "TESSINIT='" + here.dir.path() + "/plain.ini' '" STARTUP_PROBE "' 2>&1";
  p = popen(plain.c_str(), "r");
  output.clear();
  while (std::fgets(block, sizeof block, p)) output += block;
  const int rc2 = pclose(p);
  EXPECT_EQ(WEXITSTATUS(rc2), 1) << "the main program returned";
  EXPECT_EQ(output, "main program ran with LFNGEN 44\n");
}

TEST(Yyargs, SplitsTheCommandLine) {
  StartupScene here;
  win::test::setCommandLine("prog.exe \"a  b\"   c \"\" ");
  std::string word = field(8);
  EXPECT_EQ(yyargs(1, word), 1);
  EXPECT_EQ(word, "a  b    ") << "quoted words keep their blanks";
  EXPECT_EQ(yyargs(2, word), 2);
  EXPECT_EQ(word, "c       ");
  word = "untouch ";
  EXPECT_EQ(yyargs(3, word), 2) << "an empty pair is no word";
  EXPECT_EQ(word, "untouch ");
  EXPECT_EQ(yyargs(-1, word), 2);
  std::string path = field(300);
  EXPECT_EQ(yyargs(0, path), 0);
  EXPECT_EQ(trim(path), std::filesystem::read_symlink("/proc/self/exe").string())
      << "word 0 is the program's own path";
}

TEST(Yyargs, EdgeCases) {
  StartupScene here;
  struct Case {
    const char* why;
    std::string line;
    int n;
    int result;
    const char* want;
  };
  const std::string longword(3000, 'w');
  const Case cases[] = {
      {"empty line", "", -1, -1, ""},
      {"quote without an end runs to the line's end", "p \"x y", 1, 1, "x y"},
      {"a lone quote at the end is no word", "p a \"   ", 2, 1, ""},
      {"a quoted word swallows the character after its end", "p \"a\"b c", 2, 2, "c"},
      {"long lines are split past 2048 characters", "p " + longword + " last", 2, 2, "last"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tw::test::resetStartup();
    win::test::setCommandLine(c.line.empty() ? " " : c.line);
    std::string word = field(4);
    EXPECT_EQ(yyargs(c.n, word), c.result);
    if (c.n > 0 && c.result == c.n) {
      EXPECT_EQ(trim(word), c.want);
    }
  }
}

TEST(Yyopt, LetterCases) {
  struct Case {
    const char* why;
    const char* options;
    const char* letter;
    bool want;
  };
  const Case cases[] = {
      {"upper-case letter finds its lower case", "hp", "H", true},
      {"lower-case letter finds only itself", "HP", "h", false},
      {"exact", "HP", "P", true},
      {"absent", "HP", "X", false},
      {"empty options", "", "H", false},
      {"only the first character of the letter", "xyz", "ZX", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(yyopt(c.options, c.letter), c.want);
  }
}
