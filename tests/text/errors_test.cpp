// The error recorder: report texts byte for byte, report levels 0-2, the debug log and the
// silent-try protocol.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/message_box.h"
#include "platform/os.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/errors_internal.h"
#include "toolkit/text/messages.h"

namespace fs = std::filesystem;

namespace {

// Each test runs in a fresh current directory with a fresh error record and debug log.
class RecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("tw_errors_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
    tw::test::resetDebugLog();
    tessar.error = ErrorState{};
  }
  void TearDown() override {
    tw::test::resetDebugLog();
    tessar.error = ErrorState{};
    fs::current_path(saved_);
    fs::remove_all(dir_);
  }
  static std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The report as level 1 writes it: one blank, the text, a line end.
  static std::string reportAtLevel1(int number, std::string_view routine) {
    idebuglevel(1);
    ::testing::internal::CaptureStdout();
    yyerror(number, routine);
    return ::testing::internal::GetCapturedStdout();
  }
  fs::path saved_, dir_;
};

using YYError = RecorderTest;

struct ReportCase {
  const char* why;
  int number;
  std::string routine;
  int detailkind, detail, status;
  std::string want;
};

TEST_F(YYError, ReportTextsAtLevelOne) {
  const std::string longName(300, 'N');
  const ReportCase cases[] = {
      {"public name, message of the window band", 1007, "WDialogLoad", 0, 0, 0,
       "Routine:WDialogLoad Error=1007:Dialog not present in resource - unable to load"},
      {"internal upper-case name; kind 0 carries no detail", 2, "YYPRBU", 0, 5, 0,
       "Internal routine:YYPRBU Error=   2:Error reading/writing file or device"},
      {"kind 1 carries no detail either", 1, "yyopen", 1, 5, 0,
       "Internal routine:yyopen Error=   1:Error opening file or device"},
      {"13 with status 0: the system text of 0 is blank", 13, "IOsCopyFile", 0, 0, 0,
       "Routine:IOsCopyFile Error=  13:Operating system error:"},
      {"1044 ends with the compression text", 1044, "WCompress", 0, 0, -3,
       "Routine:WCompress Error=1044:Zlib compression/decompression error: data error"},
      {"a blank name leaves the prefix alone", 1003, "      ", 0, 0, 0,
       "Routine: Error=1003:Invalid window handle"},
      {"trailing blanks of a name disappear", 1005, "WDialogShow   ", 0, 0, 0,
       "Routine:WDialogShow Error=1005:No dialog currently selected"},
      {"50 has no message: the text ends with the colon", 50, "IGrArea", 0, 0, 0,
       "Routine:IGrArea Error=  50:"},
      {"6 has no message", 6, "IGrArea", 0, 0, 0, "Routine:IGrArea Error=   6:"},
      {"2000 is in no band", 2000, "IGrArea", 0, 0, 0, "Routine:IGrArea Error=2000:"},
      {"above 9999 the number field is stars", 12345, "IGrArea", 0, 0, 0,
       "Routine:IGrArea Error=****:"},
      {"a negative number keeps its sign", -1, "IGrArea", 0, 0, 0, "Routine:IGrArea Error=  -1:"},
      {"-999 still fits", -999, "IGrArea", 0, 0, 0, "Routine:IGrArea Error=-999:"},
      {"below -999 is stars", -1000, "IGrArea", 0, 0, 0, "Routine:IGrArea Error=****:"},
      {"a name of 300 characters is cut to 192 and leaves no room for the number", 13,
       longName, 0, 0, 0, "Routine:" + longName.substr(0, 192)},
      {"an internal name is cut to 183", 1, "yy" + longName, 2, 0, 0,
       "Internal routine:yy" + longName.substr(0, 181)},
      {"a name of 185 leaves room for part of the number field only", 13,
       longName.substr(0, 185), 0, 0, 0, "Routine:" + longName.substr(0, 185) + " Error="},
      {"the message is cut at 200 characters", 1007, longName.substr(0, 170), 0, 0, 0,
       "Routine:" + longName.substr(0, 170) + " Error=1007:Dialog not"},
      {"text reaching 198: no detail", 13, longName.substr(0, 156), 0, 0, 0,
       "Routine:" + longName.substr(0, 156) + " Error=  13:Operating system error"},
      {"text reaching 197: the colon of the detail still fits", 13, longName.substr(0, 155),
       0, 0, 0, "Routine:" + longName.substr(0, 155) + " Error=  13:Operating system error:"},
  };
  for (const ReportCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.ERRDETAILKIND = c.detailkind;
    tessar.error.ERRDETAIL = c.detail;
    tessar.error.ERRSTATUS = c.status;
    const std::string out = reportAtLevel1(c.number, c.routine);
    EXPECT_EQ(out, " " + c.want + "\n");
    EXPECT_LE(out.size(), 202u);
    EXPECT_EQ(tessar.error.LASTERROR, c.number);
    EXPECT_EQ(tessar.error.DEBUGLEVEL, 1);
  }
}

TEST_F(YYError, InternalPrefixOnlyForTheFourExactPairs) {
  const struct {
    const char* name;
    bool internal;
  } cases[] = {{"yyprbu", true},  {"YYPRBU", true},  {"xxpost", true},
               {"XXPOST", true},  {"Yyprbu", false}, {"xXpost", false},
               {"WGridPutCellString", false}, {"igrinit", false}, {"y", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int e1 = 0, e2 = 0;
    const std::string report = yyreporttext(1003, c.name, e1, e2);
    const std::string prefix = c.internal ? "Internal routine:" : "Routine:";
    EXPECT_EQ(report.substr(0, prefix.size() + std::string(c.name).size()), prefix + c.name);
    EXPECT_EQ(e1, static_cast<int>(prefix.size() + std::string(c.name).size()));
    EXPECT_EQ(e2, e1 + 12);
    EXPECT_EQ(report.size(), 200u);
  }
}

TEST_F(YYError, LevelZeroOnlyStoresTheNumber) {
  tessar.error.ERRDETAIL = 7;
  tessar.error.ERRSTATUS = 8;
  tessar.error.ERRDETAILKIND = 2;
  ::testing::internal::CaptureStdout();
  yyerror(1007, "WDialogLoad");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(tessar.error.LASTERROR, 1007);
  EXPECT_EQ(tessar.error.ERRDETAIL, 7);
  EXPECT_EQ(tessar.error.ERRSTATUS, 8);
  EXPECT_EQ(tessar.error.ERRDETAILKIND, 2);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 0);
  EXPECT_FALSE(fs::exists("debug"));
}

TEST_F(YYError, LevelTwoAppendsCrLfLinesToDebug) {
  idebuglevel(2);
  yyerror(1007, "WDialogLoad");
  yyerror(13, "IOsCopyFile");
  EXPECT_EQ(readFile("debug"),
            "Routine:WDialogLoad Error=1007:Dialog not present in resource - unable to load\r\n"
            "Routine:IOsCopyFile Error=  13:Operating system error:\r\n");
  EXPECT_EQ(tessar.error.LASTERROR, 13);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 2);
}

TEST_F(YYError, NewRunEmptiesTheLogAtItsFirstReport) {
  {
    std::ofstream old("debug", std::ios::binary);
    old << "old contents of an earlier run\r\n";
  }
  idebuglevel(2);
  yyerror(1003, "WindowSelect");
  EXPECT_EQ(readFile("debug"), "Routine:WindowSelect Error=1003:Invalid window handle\r\n");
}

TEST_F(YYError, DirectoryNamedDebugMovesTheLogToDebugTxt) {
  fs::create_directory("debug");
  idebuglevel(2);
  yyerror(1003, "WindowSelect");
  EXPECT_EQ(readFile("debug.txt"), "Routine:WindowSelect Error=1003:Invalid window handle\r\n");
}

TEST_F(YYError, NoLogNameLosesLinesSilently) {
  fs::create_directory("debug");
  fs::create_directory("debug.txt");
  fs::create_directory("debug.dat");
  idebuglevel(2);
  yyerror(1003, "WindowSelect");
  yyerror(1004, "WindowSelect");
  EXPECT_EQ(tessar.error.LASTERROR, 1004);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 2);
}

TEST_F(YYError, FileErrorWithSystemCodeCarriesTheSystemText) {
  char system[300] = {};
  win::yyerrorstr(win::ERROR_FILE_NOT_FOUND, system, sizeof system);
  ASSERT_NE(std::string(system), "");
  tessar.error.ERRDETAILKIND = 2;
  tessar.error.ERRDETAIL = win::ERROR_FILE_NOT_FOUND;
  EXPECT_EQ(reportAtLevel1(1, "IFileOpen"),
            " Routine:IFileOpen Error=   1:Error opening file or device: " + std::string(system) +
                "\n");
  tessar.error.ERRDETAILKIND = 0;
  tessar.error.ERRSTATUS = win::ERROR_FILE_NOT_FOUND;
  EXPECT_EQ(reportAtLevel1(13, "IOsDeleteFile"),
            " Routine:IOsDeleteFile Error=  13:Operating system error: " + std::string(system) +
                "\n");
}

// Level 4: the box of the headless platform records what it was asked to show.
class LevelFour : public RecorderTest {
 protected:
  void SetUp() override {
    RecorderTest::SetUp();
    win::test::clearMessageBoxes();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    idebuglevel(4);
  }
};

TEST_F(LevelFour, ShowsThreeLinesInALibraryErrorBox) {
  yyerror(1007, "WDialogLoad");
  const auto& boxes = win::test::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Routine:WDialogLoad\rError=1007\rDialog not present in resource - unable to load");
  EXPECT_EQ(boxes[0].title, "Library Error");
  EXPECT_EQ(boxes[0].style, win::MB_OKCANCEL | win::MB_ICONEXCLAMATION | win::MB_DEFBUTTON1);
  EXPECT_EQ(tessar.error.LASTERROR, 1007);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 4);
}

TEST_F(LevelFour, InternalNameAndMissingMessage) {
  yyerror(50, "xxpost");
  const auto& boxes = win::test::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Internal routine:xxpost\rError=  50\r");
}

TEST_F(LevelFour, FailedBoxLeavesTheReportedNumber) {
  win::test::failNextMessageBox();
  yyerror(1007, "WDialogLoad");
  EXPECT_EQ(tessar.error.LASTERROR, 1007);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 4);
}

// Cancel used to end the program with code 0, reporting a stop over an error as success.
TEST_F(LevelFour, CancelEndsTheProgramWithFailureStatus) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        win::test::answerNextMessageBoxWithClick(win::IDCANCEL);
        yyerror(1007, "WDialogLoad");
        std::exit(3);  // not reached when Cancel ends the program
      },
      ::testing::ExitedWithCode(1), "");
}

using IDebugLevel = RecorderTest;

TEST_F(IDebugLevel, OutOfRangeLevelsAreIgnored) {
  const struct {
    int level;
    int want;
  } cases[] = {{-1, 3}, {5, 3}, {100, 3}, {0, 0}, {4, 4}, {1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    tessar.error.DEBUGLEVEL = 3;
    idebuglevel(c.level);
    EXPECT_EQ(tessar.error.DEBUGLEVEL, c.want);
  }
  tessar.error.DEBUGLEVEL = 0;
}

TEST_F(IDebugLevel, ZeroSilencesReports) {
  idebuglevel(1);
  idebuglevel(0);
  ::testing::internal::CaptureStdout();
  yyerror(1003, "WindowSelect");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

using IDebug = RecorderTest;

TEST_F(IDebug, LineFormsOfTheLogRoutines) {
  idebug("kept trailing blanks   ");
  idebug(std::string_view("cut at\0the NUL", 14));
  yydebugc("from C");
  yydebug("length ignored", 3);
  yydebugi("count", -42);
  EXPECT_EQ(readFile("debug"),
            "kept trailing blanks   \r\ncut at\r\nfrom C\r\nlength ignored\r\ncount=-42\r\n");
}

TEST_F(IDebug, LongNameInNameValueLineIsCutNotOverrun) {
  const std::string name(300, 'v');
  yydebugi(name.c_str(), 7);
  const std::string log = readFile("debug");
  EXPECT_EQ(log, name.substr(0, 99) + "\r\n");
}

using Silently = RecorderTest;

TEST_F(Silently, ReturnsTheFailureAndRestoresTheRecord) {
  tessar.error.LASTERROR = 1007;
  idebuglevel(1);
  ::testing::internal::CaptureStdout();
  const int failed = silently([] { yyerror(12, "IStringToInteger"); });
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(failed, 12);
  EXPECT_EQ(tessar.error.LASTERROR, 1007);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 1);
  EXPECT_EQ(silently([] {}), 0);
}

}  // namespace
