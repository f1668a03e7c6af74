// Hardcopy manager: device selection, options and their rules, opening and finishing a
// hardcopy, print commands (quoting, exit status, pending commands, temporary files).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/hardcopy/driver_files.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/startup_hardcopy.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
std::string name2() {
  const std::string& n = tessar.files.HCOUTPUT;
  return n.substr(0, static_cast<std::size_t>(lentrim(n)));
}

class Manager : public ::testing::Test {
 protected:
  void SetUp() override {
    testpicturegraphics(1000, 750);
    igrhardcopyselect(1, HCPOSTSCRIPT);
  }
};

TEST_F(Manager, OptionRules) {
  struct Case { int n, v, option, expected; };
  const Case cases[] = {
      {1, 0, 1, 756}, {1, -3, 1, 756}, {8, 0, 8, 1}, {8, -5, 8, 1}, {12, 50, 12, 100},
      {16, 9, 16, 255}, {16, 256, 16, 255}, {16, 10, 16, 10}, {6, 3, 6, 0}, {9, 0, 9, 1},
      {21, 128, 21, option(21)}, {105, 5, 105, 1}, {101, 0, 101, 80}, {23, 3, 23, 0},
  };
  for (const Case& c : cases) {
    igrhardcopyselect(1, HCPOSTSCRIPT);
    igrhardcopyoptions(c.n, c.v);
    EXPECT_EQ(option(c.option), c.expected) << "option " << c.n << " = " << c.v;
  }
}

TEST_F(Manager, OrientationReordersThePage) {
  igrhardcopyoptions(1, 540);
  igrhardcopyoptions(2, 756);
  igrhardcopyoptions(5, 3);
  EXPECT_EQ(option(1), 756);
  EXPECT_EQ(option(2), 540);
  EXPECT_EQ(option(5), 1);
  igrhardcopyoptions(5, 4);
  EXPECT_EQ(option(5), 1);
  igrhardcopyoptions(5, 2);
  EXPECT_EQ(option(1), 540);
  EXPECT_EQ(option(5), 0);
}

TEST_F(Manager, AspectFollowsThePageOnly) {
  igrhardcopyoptions(1, 800);
  igrhardcopyoptions(2, 400);
  EXPECT_FLOAT_EQ(tessar.graphics.operands.HCASPECT, 2.0f);
  igrhardcopyoptions(1, 0);
  EXPECT_FLOAT_EQ(tessar.graphics.operands.HCASPECT, 2.0f);
}

TEST_F(Manager, ExtensionsFollowTheFormatOptions) {
  igrhardcopyoptions(22, 1);
  EXPECT_EQ(name2(), "tessplot.eps");
  assignfixed(tessar.files.HCOUTPUT, "out.d/plot");
  igrhardcopyoptions(22, 0);
  EXPECT_EQ(name2(), "out.d/plot.ps");
  igrhardcopyselect(1, HCSVG);
  igrhardcopyoptions(22, 1);
  EXPECT_EQ(option(22), 1);
  EXPECT_EQ(name2(), "tessplot.svg");
  igrhardcopyselect(1, HCDXF);
  igrhardcopyoptions(23, 3);
  EXPECT_EQ(option(23), 3);
  igrhardcopyoptions(23, 5);
  EXPECT_EQ(option(23), 3);
  igrhardcopyoptions(14, 7);
  igrhardcopyoptions(100, 7);
  EXPECT_EQ(option(14), 0);
}

TEST_F(Manager, DefaultsOfEveryDriverShareTheCommonOnes) {
  for (int device : {HCPOSTSCRIPT, HCSVG, HCDXF}) {
    igrhardcopyoptions(9, 40);
    igrhardcopyoptions(101, 7);
    igrhardcopyselect(1, device);
    EXPECT_EQ(option(9), 5);
    EXPECT_EQ(option(101), 80);
    EXPECT_EQ(option(104), 999999);
    EXPECT_EQ(tessar.graphics.operands.HCDEVICE, device);
  }
}

TEST_F(Manager, StartWithoutNameUsesTheDefaultAndSFinishes) {
  const auto dir = hc::scratch("cwd");
  std::filesystem::create_directories(dir);
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  igrhardcopy("S");  // nothing open: nothing happens
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 0);
  igrhardcopy();
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 1);
  igrjoin(0.1f, 0.1f, 0.2f, 0.2f);
  igrhardcopy("S");
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 0);
  std::filesystem::current_path(old);
  EXPECT_TRUE(tw::test::slurp(dir / "tessplot.ps").starts_with("%!PS-Adobe-3.0"));
}

TEST_F(Manager, SWithBlanksIsAFileName) {
  const auto dir = hc::scratch("sdir");
  std::filesystem::create_directories(dir);
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  igrhardcopy("S  ");
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 1);
  igrhardcopy("s");
  std::filesystem::current_path(old);
  EXPECT_TRUE(std::filesystem::exists(dir / "S"));
}

TEST_F(Manager, DevicesWithoutDriverLeaveHardcopyOff) {
  for (int device : {5, 7, 13}) {
    igrhardcopyselect(1, device);
    igrhardcopy(hc::scratch("none.out").string());
    EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 0);
  }
  igrhardcopyselect(1, HCSVG);
  EXPECT_EQ(tessar.graphics.operands.HCDEVICE, HCSVG);
}

TEST_F(Manager, FailedOpenLeavesHardcopyOffWithError1) {
  igrhardcopy("/nonexistent-dir/x.ps");
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
}

class PrintCommand : public Manager {
 protected:
  void SetUp() override {
    Manager::SetUp();
    tmpdir = hc::scratch("print dir's");  // a blank and a quote in the folder name
    std::filesystem::remove_all(tmpdir);
    std::filesystem::create_directories(tmpdir);
    assignfixed(tessar.files.TMPPRINT, (tmpdir / "vxk$$00.plt").string());
    log = hc::scratch("printed.log").string();
    std::filesystem::remove(log);
  }
  std::filesystem::path tmpdir;
  std::string log;
};

TEST_F(PrintCommand, RunsOnTheQuotedTemporaryFileAndDeletesIt) {
  igrhardcopy("cat @ >> '" + log + "'");
  const std::string temp = tessar.files.TMPPRINT.substr(0, static_cast<std::size_t>(lentrim(tessar.files.TMPPRINT)));
  EXPECT_TRUE(std::filesystem::exists(temp));
  igrjoin(0.1f, 0.1f, 0.2f, 0.2f);
  igrhardcopy("S");
  EXPECT_TRUE(tw::test::slurp(log).starts_with("%!PS-Adobe-3.0"));
  EXPECT_FALSE(std::filesystem::exists(temp));
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST_F(PrintCommand, SvgTakesTheSameNameAsAFile) {
  igrhardcopyselect(1, HCSVG);
  const std::string name = (tmpdir / "lp @ x").string();
  igrhardcopy(name);
  igrhardcopy("S");
  EXPECT_TRUE(std::filesystem::exists(name));
}

TEST_F(PrintCommand, NonZeroExitIsError13AndTheFileIsStillDeleted) {
  igrhardcopy("false @ x");
  igrhardcopy("S");
  EXPECT_EQ(tessar.error.LASTERROR, 13);
  EXPECT_NE(tessar.error.ERRSTATUS, 0);
  EXPECT_TRUE(std::filesystem::is_empty(tmpdir));
}

TEST_F(PrintCommand, SecondStartRunsThePendingCommandFirst) {
  igrhardcopy("cat @ >> '" + log + "'");
  igrjoin(0.1f, 0.1f, 0.2f, 0.2f);
  igrhardcopy(hc::scratch("second.ps").string());
  EXPECT_TRUE(tw::test::slurp(log).starts_with("%!PS-Adobe-3.0"));
  igrhardcopy("S");
}

TEST_F(PrintCommand, ExistingTemporaryNameIsNeverWrittenThrough) {
  const auto victim = tmpdir / "victim";
  { std::ofstream(victim) << "keep"; }
  std::filesystem::create_symlink(victim, tmpdir / "vxk$$00.plt");
  igrhardcopy("cat @ >> '" + log + "'");
  igrhardcopy("S");
  EXPECT_EQ(tw::test::slurp(victim), "keep");
  EXPECT_TRUE(tw::test::slurp(log).starts_with("%!PS-Adobe-3.0"));
}

TEST_F(PrintCommand, NotRunWhenTheOutputFailed) {
  igrhardcopy("cat @ >> '" + log + "'");
  // The output's folder disappears before the driver writes its end.
  tessar.hardcopy.printer.OUTPUTERROR = 1;
  igrhardcopy("S");
  EXPECT_FALSE(std::filesystem::exists(log));
  EXPECT_TRUE(std::filesystem::is_empty(tmpdir));
}

}  // namespace
