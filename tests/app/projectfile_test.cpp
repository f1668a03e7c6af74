// The ".tw" project file: its layout byte for byte (golden files and Fortran's own formatted
// output), round trips, the reader's failure paths and failed saves.
#include "app/projectfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/aggregate.h"
#include "app/calendar.h"
#include "app/modules.h"
#include "platform/message_box.h"
#include "platform/os.h"
#include "tests/support/files.h"
#include "tests/support/tools.h"

namespace fs = std::filesystem;

namespace {

using tw::test::slurp;

constexpr int kYear = 2026, kMonth = 12, kDay = 10, kHour = 9, kMinute = 5;

void put(std::string& field, std::string_view text) {
  std::string s(text.substr(0, field.size()));
  s.resize(field.size(), ' ');
  field = s;
}

void spit(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string projecttext() {
  std::string text;
  filesave_text(text, kYear, kMonth, kDay, kHour, kMinute);
  return text;
}

// A project at the given status: daily records from 1 July 1990 for the given number of
// July-June years (built by the aggregation), user values, separation and regression
// figures. Values are quarters, so that they survive the file's two decimals exactly.
void buildproject(int status, int years = 3, bool flagson = false) {
  initialise_tw_vars();
  initialise_regressdat();
  TwVars& tw = twvars;
  put(tw.title, "Baseflow analysis for gauge 410730 (Tarn Creek)");
  put(tw.usernames[1], "Soil moisture index, upper catchment");
  put(tw.usernames[2], "Dam");
  tw.aggstartmonth = 7;
  tw.aggendmonth = 6;
  for (int m = 1; m <= 12; ++m) tw.monthflags[m - 1] = m <= 6 ? 1 : 2;
  tw.status = status;
  if (status < 2) return;

  int year = 1990, month = 7, day = 1, k = 0;
  while (!(year == 1990 + years && month == 7 && day == 1) && k < MAXDAYS) {
    DailyRecord& d = tw.daily[k];
    d.year = year;
    d.month = month;
    d.day = day;
    d.datenum = 10000 * year + 100 * month + day;
    d.flow = static_cast<float>((k * 37) % 1000) * 0.25f;
    if (k == 40) d.flow = MISSING;
    if (k == 77) d.flow = -0.5f;
    d.rain = static_cast<float>((k * 13) % 60) * 0.5f;
    if (k == 100) d.rain = MISSING;
    d.flowflag = d.flow == MISSING ? FLOW_MISSING : (d.flow < 0.0f ? FLOW_NEGATIVE : FLOW_VALID);
    d.rainflag = d.rain < 0.0f ? 0 : 1;
    if (status >= 3) d.baseflow = d.flowflag == FLOW_MISSING ? MISSING : (d.flowflag == FLOW_NEGATIVE ? 0.0f : std::floor(d.flow * 2.4f) / 4.0f);
    nextdate(year, month, day);
    ++k;
  }
  tw.ndays = k;
  dailytoannual();
  for (int y = 0; y < tw.numyears; ++y) {
    AnnualRecord& a = tw.annual[y];
    a.user = {10.0f + y * 0.25f, y == 1 ? MISSING : 100.5f - y, 3.0f * y};
    for (int i = 0; i < 3; ++i) a.userflag[i] = a.user[i] == MISSING ? 0 : 1;
  }
  if (status >= 3) {
    tw.filterparam = 0.925f;
    tw.passes = 3;
    tw.BFI = 0.4125f;
  }
  if (status >= 4) {
    RegressDat& rd = regressdat;
    rd.coeffs = {1234.5678f, -35.25f, 6.125f, 25.5f, -0.004f, 1.0e6f};
    rd.tstat = {3.1234f, -2.5f, 4.75f, 1.25f, -0.0005f, 12.0f};
    rd.tprob = {0.0042f, 0.018f, 0.0001f, 0.222f, 0.9996f, 0.0f};
    rd.includeoutliers = 0;
    rd.nsample = tw.numyears - 1;
    rd.NumUseVar = 0;
    rd.ncols = 2;
    rd.avest = 5000.125f;
    rd.avobs = 5000.5f;
    rd.ssreg = 123456.789f;
    rd.ssresid = 2345.5f;
    rd.sst = 125802.3f;
    rd.R2 = 0.981f;
    rd.SE = 48.4f;
    rd.ce = 0.981f;
    rd.MAF = 12500.25f;
    rd.MABF = 5000.5f;
    rd.trendpct = -0.705f;
    if (flagson) {
      tw.raininclude = 1;
      tw.userinclude = {1, 0, 1};
    }
  }
}

class ProjectFile : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::clearMessageBoxes();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    // A directory of its own, so that runs of the suite side by side do not meet.
    dir_ = fs::temp_directory_path() / ("tw-projectfile-" + std::to_string(std::random_device{}()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void usefile(const fs::path& path) { put(twvars.filename, path.string()); }
  fs::path dir_;
};

// The first line in which two file texts differ, both ways; empty when they are equal.
std::string firstdifference(const std::string& a, const std::string& b) {
  std::istringstream ia(a), ib(b);
  std::string la, lb;
  for (int n = 1;; ++n) {
    const bool ea = !std::getline(ia, la), eb = !std::getline(ib, lb);
    if (ea && eb) return "";
    if (ea != eb || la != lb) return "line " + std::to_string(n) + ": [" + la + "] / [" + lb + "]";
  }
}

// A year label as the annual rows write it (I6).
std::string fortranyear(int year) {
  std::string s = std::to_string(year);
  return std::string(6 - s.size(), ' ') + s;
}

fs::path fixture(int status) { return fs::path(TW_FIXTURES) / ("project-status" + std::to_string(status) + ".tw"); }

TEST_F(ProjectFile, WritesTheGoldenFiles) {
  for (int status = 1; status <= 4; ++status) {
    SCOPED_TRACE(status);
    buildproject(status);
    EXPECT_EQ(projecttext(), slurp(fixture(status)));
  }
  // An empty project is written as a status-1 file.
  buildproject(0);
  EXPECT_EQ(projecttext(), slurp(fixture(1)));
}

// The project's values for the Fortran writer: reals as their bit patterns.
void writelayoutinput(const fs::path& path) {
  const TwVars& tw = twvars;
  const RegressDat& rd = regressdat;
  auto bits = [](float v) {
    int i = 0;
    std::memcpy(&i, &v, sizeof i);
    return i;
  };
  auto trimmed = [](const std::string& s) {
    const std::size_t e = s.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
  };
  std::ofstream out(path);
  out << tw.status << "\n" << trimmed(tw.title) << "\n";
  out << kYear << " " << kMonth << " " << kDay << " " << kHour << " " << kMinute << "\n";
  out << trimmed(std::string(param.version)) << "\n";
  for (const std::string& name : tw.usernames) out << trimmed(name) << "\n";
  out << tw.userinclude[0] << " " << tw.userinclude[1] << " " << tw.userinclude[2] << " " << tw.raininclude << " "
      << rd.includeoutliers << " " << tw.numyears << " " << rd.nsample << " " << rd.NumUseVar << " " << tw.passes
      << " " << tw.aggstartmonth << " " << tw.aggendmonth << " " << tw.ndays << "\n";
  for (const auto* arr : {&rd.coeffs, &rd.tstat, &rd.tprob})
    for (float v : *arr) out << bits(v) << " ";
  out << "\n";
  for (float v : {rd.avest, rd.avobs, rd.ssreg, rd.ssresid, rd.sst, rd.R2, rd.SE, rd.ce, rd.MAF, rd.MABF, rd.trendpct,
                  tw.filterparam, tw.BFI})
    out << bits(v) << " ";
  out << "\n";
  for (int y = 0; y < tw.numyears; ++y) {
    const AnnualRecord& a = tw.annual[y];
    out << a.year << " " << a.timeindex;
    for (float v : {a.flow, a.baseflow, a.rain, a.user[0], a.user[1], a.user[2]}) out << " " << bits(v);
    out << "\n";
  }
  for (int k = 0; k < tw.ndays; ++k) {
    const DailyRecord& d = tw.daily[k];
    out << d.datenum << " " << bits(d.flow) << " " << bits(d.baseflow) << " " << bits(d.rain) << "\n";
  }
}

// gfortran's formatted output of the same values is the independent check of every field.
TEST_F(ProjectFile, FieldsMatchFortranFormattedOutput) {
  ASSERT_TRUE(tw::test::needtool("gfortran", "gfortran"));
  const fs::path exe = dir_ / "layout";
  const std::string compile = "gfortran -O0 -o '" + exe.string() + "' '" + std::string(TW_SOURCE_TESTS) +
                              "/projectfile_layout.f90' > '" + (dir_ / "gfortran.log").string() + "' 2>&1";
  ASSERT_EQ(std::system(compile.c_str()), 0) << "gfortran (Debian gfortran) failed:\n" << slurp(dir_ / "gfortran.log");

  struct Case {
    const char* why;
    int status;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"empty project", 0, [] {}},
      {"daily data", 2, [] {}},
      {"separated", 3, [] {}},
      {"regression with every flag set", 4, [] {}},
      {"values too wide for their fields, an infinite sum, negative zero, long names", 4,
       [] {
         twvars.daily[3].flow = 1.0e15f;
         twvars.daily[4].rain = -0.001f;
         twvars.daily[5].baseflow = 99999999.99f;
         twvars.annual[1].user[2] = -1.0e14f;
         twvars.annual[0].flow = std::numeric_limits<float>::infinity();
         regressdat.tstat[0] = 12345.678f;
         regressdat.tprob[1] = 0.0005f;
         regressdat.coeffs[1] = 0.451f;  // 0.45 as stored, so the trend line shows 0.4
         regressdat.ssreg = 3.0e25f;
         regressdat.MAF = 1.0e16f;
         twvars.BFI = 12.5f;
         twvars.passes = 123456;
         put(twvars.usernames[0], "A name of exactly forty characters long.");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    buildproject(c.status, 3, true);
    c.change();
    writelayoutinput(dir_ / "values.in");
    const std::string run = "'" + exe.string() + "' '" + (dir_ / "values.in").string() + "' '" +
                            (dir_ / "fortran.tw").string() + "'";
    ASSERT_EQ(std::system(run.c_str()), 0);
    const std::string want = slurp(dir_ / "fortran.tw");
    const std::string got = projecttext();
    EXPECT_EQ(got, want);
  }
}

TEST_F(ProjectFile, GoldenFilesReadBackAndSaveUnchanged) {
  for (int status = 1; status <= 4; ++status) {
    SCOPED_TRACE(status);
    initialise_tw_vars();
    usefile(fixture(status));
    ASSERT_TRUE(fileopen_read());
    EXPECT_EQ(twvars.status, status);
    EXPECT_EQ(projecttext(), slurp(fixture(status)));
  }
}

TEST_F(ProjectFile, ReaderRestoresTheModel) {
  buildproject(4);
  const fs::path path = dir_ / "p.tw";
  spit(path, projecttext());
  const TwVars saved = twvars;
  initialise_tw_vars();
  regressdat.lag1 = {0.5f, 0.4f, -0.6f};
  regressdat.cook.fill(3.0f);
  usefile(path);
  ASSERT_TRUE(fileopen_read());
  const TwVars& tw = twvars;
  EXPECT_EQ(tw.ndays, saved.ndays);
  EXPECT_EQ(tw.numyears, saved.numyears);
  for (int k : {0, 40, 77, 100, tw.ndays - 1}) {
    SCOPED_TRACE(k);
    EXPECT_EQ(tw.daily[k].flow, saved.daily[k].flow);
    EXPECT_EQ(tw.daily[k].rain, saved.daily[k].rain);
    EXPECT_EQ(tw.daily[k].baseflow, saved.daily[k].baseflow);
    EXPECT_EQ(tw.daily[k].flowflag, saved.daily[k].flowflag);
    EXPECT_EQ(tw.daily[k].rainflag, saved.daily[k].rainflag);
    EXPECT_EQ(tw.daily[k].datenum, saved.daily[k].datenum);
    EXPECT_EQ(tw.daily[k].quickflow, 0.0f);
  }
  EXPECT_EQ(tw.daily[0].datetext, "1 Jul 1990 ");
  // User names come back right-justified in their 16 columns, the long one cut.
  EXPECT_EQ(tw.usernames[0], "    Other data 1" + std::string(24, ' '));
  EXPECT_EQ(tw.usernames[1], "Soil moisture in" + std::string(24, ' '));
  // July to June: July-December belong to the year that ends next calendar year.
  EXPECT_EQ(tw.monthflags, (std::array<int, 12>{1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}));
  EXPECT_EQ(tw.userinclude, (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(regressdat.MAF, 12500.2f);
  EXPECT_EQ(regressdat.MABF, 5000.5f);
  EXPECT_EQ(regressdat.trendpct, -0.7f);
  EXPECT_EQ(regressdat.coeffs[5], 1.0e6f);
  EXPECT_EQ(regressdat.includeoutliers, 0);
  // Results the file does not hold start afresh.
  EXPECT_EQ(regressdat.cook[0], 0.0f);
  // The data summary ends the read.
  ASSERT_FALSE(win::test::messageBoxes().empty());
  EXPECT_EQ(win::test::messageBoxes().back().title, "File opened");
}

TEST_F(ProjectFile, RoundTripKeepsEveryByte) {
  struct Case {
    const char* why;
    int status, years;
  };
  const Case cases[] = {{"ten years, rain included", 4, 10}, {"status 2", 2, 2}, {"status 3", 3, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    buildproject(c.status, c.years);
    if (c.status == 4) twvars.raininclude = 1;
    const fs::path path = dir_ / "trip.tw";
    usefile(path);
    ASSERT_TRUE(filesave());
    const std::string first = slurp(path);
    initialise_tw_vars();
    usefile(path);
    ASSERT_TRUE(fileopen_read());
    ASSERT_TRUE(filesave());
    // Every byte but the time of the save, which moves on between the two saves.
    auto undated = [](std::string t) {
      const std::size_t at = t.find("Date saved:");
      return at == std::string::npos ? t : t.erase(at, t.find('\n', at) - at);
    };
    EXPECT_EQ(undated(slurp(path)), undated(first));
    // The save writes what filesave_text lays out, with the date of the save on line 6.
    const std::string text = projecttext();
    const std::size_t l6 = text.find("Date saved:");
    EXPECT_EQ(first.substr(0, l6 + 18), text.substr(0, l6 + 18));
    EXPECT_EQ(first.substr(first.find('\n', l6)), text.substr(text.find('\n', l6)));
  }
}

TEST_F(ProjectFile, SixtyThousandDaysRoundTrip) {
  buildproject(3, 165);
  ASSERT_EQ(twvars.ndays, MAXDAYS);
  const fs::path path = dir_ / "long.tw";
  spit(path, projecttext());
  initialise_tw_vars();
  usefile(path);
  ASSERT_TRUE(fileopen_read());
  EXPECT_EQ(twvars.ndays, 60000);
  EXPECT_EQ(twvars.daily[59999].datenum, 10000 * twvars.daily[59999].year + 100 * twvars.daily[59999].month +
                                              twvars.daily[59999].day);
  EXPECT_EQ(projecttext(), slurp(path));
}

// A separation that could not form its index leaves BFI missing; the file stores it as
// asterisks, which once made the whole project unreadable.
TEST_F(ProjectFile, MissingBaseflowIndexReadsBack) {
  buildproject(3);
  twvars.BFI = MISSING;
  const std::string text = projecttext();
  ASSERT_NE(text.find("    Baseflow Index (BFI):*****\n"), std::string::npos);
  spit(dir_ / "bfi.tw", text);
  initialise_tw_vars();
  usefile(dir_ / "bfi.tw");
  ASSERT_TRUE(fileopen_read());
  EXPECT_EQ(twvars.BFI, MISSING);
  EXPECT_EQ(projecttext(), text);
}

TEST_F(ProjectFile, CrLfLinesReadLikeLf) {
  std::string text = slurp(fixture(3)), crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  spit(dir_ / "crlf.tw", crlf);
  usefile(dir_ / "crlf.tw");
  ASSERT_TRUE(fileopen_read());
  EXPECT_EQ(projecttext(), text);
}

TEST_F(ProjectFile, EmptyProjectOpensWithStatusOne) {
  std::string text = slurp(fixture(1));
  text.replace(0, 32, "anything at all on the first line");
  spit(dir_ / "empty.tw", text);
  buildproject(3);
  usefile(dir_ / "empty.tw");
  ASSERT_TRUE(fileopen_read());
  EXPECT_EQ(twvars.status, 1);
  EXPECT_EQ(twvars.ndays, 0);
  ASSERT_EQ(win::test::messageBoxes().size(), 1u);
  EXPECT_EQ(win::test::messageBoxes()[0].text,
            "File sucessfully opened.\rIt is a valid TarnWalker file, but does not yet contain any data.");
  EXPECT_EQ(win::test::messageBoxes()[0].title, "File opened");
}

// Lines of a status-3 golden file, changed one way or another.
std::string changed(const std::function<void(std::vector<std::string>&)>& change) {
  std::istringstream in(slurp(fixture(3)));
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  change(lines);
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

// Index of the first line that begins with the text.
std::size_t lineof(const std::vector<std::string>& lines, std::string_view start) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(start) != std::string::npos) return i;
  return lines.size();
}

void setcols(std::vector<std::string>& lines, std::string_view label, int first, std::string_view value) {
  std::string& l = lines[lineof(lines, label)];
  l.replace(first - 1, value.size(), value);
}

// A regression whose t statistic is 10,000 or more, or -1,000 or less, once gave eight
// asterisks in its F8.3 field, and the reader then refused the whole file. The writer now
// uses the exponent form of the same width; a file of the old writer opens with those
// statistics undefined.
TEST_F(ProjectFile, WideTStatisticsSaveAndOpen) {
  buildproject(4);
  regressdat.tstat[1] = 10000.0f;
  regressdat.tstat[2] = -1000.0f;
  const std::string text = projecttext();
  EXPECT_EQ(text, slurp(fs::path(TW_FIXTURES) / "project-wide-tstat.tw"));
  initialise_tw_vars();
  usefile(fs::path(TW_FIXTURES) / "project-wide-tstat.tw");
  ASSERT_TRUE(fileopen_read());
  EXPECT_EQ(regressdat.tstat[1], 10000.0f);
  EXPECT_EQ(regressdat.tstat[2], -1000.0f);
  EXPECT_EQ(projecttext(), text);

  initialise_tw_vars();
  usefile(fs::path(TW_FIXTURES) / "project-wide-tstat-asterisks.tw");
  ASSERT_TRUE(fileopen_read());
  EXPECT_EQ(regressdat.tstat[1], MISSING);
  EXPECT_EQ(regressdat.tstat[2], MISSING);
  EXPECT_EQ(regressdat.tstat[0], 3.123f);
  EXPECT_EQ(regressdat.coeffs[1], -35.25f);
  EXPECT_EQ(regressdat.tprob[1], 0.018f);
}

// Reals the writer could not express in their fixed field, at the edges of each width.
TEST_F(ProjectFile, ValuesTooWideForTheFixedFormUseTheExponentForm) {
  struct Case {
    const char* why;
    float value;
    const char* flow;  // columns 9-24 of the first daily row (F16.2)
  };
  const Case cases[] = {
      {"widest fixed form", 9999999827968.0f, "9999999827968.00"},
      {"one digit more", 1.0e14f, " 0.100000000E+15"},
      {"negative, a column short", -9999999827968.0f, "-0.999999983E+13"},
      {"largest float", 3.4028235e38f, " 0.340282347E+39"},
      {"smallest float", -3.4028235e38f, "-0.340282347E+39"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    buildproject(2);
    twvars.daily[0].flow = c.value;
    const std::string text = projecttext();
    const std::size_t row = text.find("\n19900701") + 1;
    EXPECT_EQ(text.substr(row + 8, 16), c.flow);
    spit(dir_ / "wide.tw", text);
    usefile(dir_ / "wide.tw");
    ASSERT_TRUE(fileopen_read());
    // A flow below the missing value reads back as a missing day.
    EXPECT_EQ(twvars.daily[0].flow, c.value <= MISSING ? MISSING : c.value);
    EXPECT_EQ(twvars.daily[0].flowflag, c.value <= MISSING ? FLOW_MISSING : FLOW_VALID);
  }
  // Nothing fits five columns of F5.2 for -999.0: the field stays asterisks and reads as
  // missing (MissingBaseflowIndexReadsBack).
}

// Save, open and save again over random values of every numeric field the file keeps: the
// file always opens and the second save is the first byte for byte. Daily values are ones
// the file holds exactly (the annual sums are rebuilt from them on opening); values that
// are stored and read back whole (user values, regression figures, the index) are any
// finite float. The include flags of user variables are reset by every read, so they stay 0.
TEST_F(ProjectFile, RandomValuesSurviveSaveOpenSave) {
  std::mt19937 rng(20261210u);
  auto anyfloat = [&rng] {
    for (;;) {
      const std::uint32_t bits = rng();
      float f = 0.0f;
      std::memcpy(&f, &bits, sizeof f);
      if (std::isfinite(f)) return f;
    }
  };
  // Near a power of ten: where a fixed field runs out of columns.
  auto edge = [&rng] {
    const float p = std::pow(10.0f, static_cast<float>(rng() % 39));
    const float v = rng() % 2 ? std::nextafter(p, 0.0f) : p;
    return rng() % 2 ? -v : v;
  };
  auto anyvalue = [&](int kind) {
    switch (kind % 6) {
      case 0: return anyfloat();
      case 1: return edge();
      case 2: return static_cast<float>(static_cast<int>(rng() % 2000001) - 1000000) / 100.0f;
      case 3: return MISSING;
      case 4: return rng() % 2 ? 0.0f : -0.0f;
      default: return static_cast<float>(rng() % 1000) / 1000.0f;
    }
  };
  // A daily value the file holds exactly: quarters, or a float beyond 2^24 (an integer).
  auto dailyvalue = [&] {
    switch (rng() % 4) {
      case 0: return static_cast<float>(static_cast<int>(rng() % 400001) - 200000) * 0.25f;
      case 1: {
        const float v = anyfloat();
        return std::fabs(v) >= 16777216.0f ? v : MISSING;
      }
      case 2: return MISSING;
      default: return edge();
    }
  };
  for (int round = 0; round < 120; ++round) {
    SCOPED_TRACE(round);
    const int status = 2 + round % 3;
    buildproject(status, 3);
    TwVars& tw = twvars;
    RegressDat& rd = regressdat;
    for (int k = 0; k < tw.ndays; ++k) {
      DailyRecord& d = tw.daily[k];
      // The flow as the program keeps it: one below the missing value is a missing day.
      storeflow(dailyvalue(), d.flow, d.flowflag);
      d.rain = dailyvalue();
      d.baseflow = status >= 3 ? dailyvalue() : 0.0f;
      d.rainflag = d.rain < 0.0f ? 0 : 1;
    }
    dailytoannual();
    if (status >= 3) {
      for (int y = 0; y < tw.numyears; ++y)
        for (float& v : tw.annual[y].user) v = anyvalue(static_cast<int>(rng()));
      tw.BFI = anyvalue(static_cast<int>(rng()));
      tw.filterparam = static_cast<float>(1 + rng() % 999) / 1000.0f;
      tw.passes = 1 + static_cast<int>(rng() % 99);
    }
    if (status >= 4) {
      for (auto* a : {&rd.coeffs, &rd.tstat, &rd.tprob})
        for (float& v : *a) v = anyvalue(static_cast<int>(rng()));
      for (float* v : {&rd.avest, &rd.avobs, &rd.ssreg, &rd.ssresid, &rd.sst, &rd.R2, &rd.SE, &rd.ce, &rd.MAF,
                       &rd.MABF, &rd.trendpct})
        *v = anyvalue(static_cast<int>(rng()));
      rd.includeoutliers = static_cast<int>(rng() % 2);
      rd.nsample = static_cast<int>(rng() % (MAXYEARS + 1));
      rd.NumUseVar = static_cast<int>(rng() % 5);
    }
    const std::string first = projecttext();
    spit(dir_ / "random.tw", first);
    initialise_tw_vars();
    usefile(dir_ / "random.tw");
    ASSERT_TRUE(fileopen_read()) << win::test::messageBoxes().back().text;
    ASSERT_EQ(firstdifference(projecttext(), first), "");
  }
}

// Every single numeric field of a saved file turned into asterisks: the file opens, with
// that field undefined. Only the analysis status, which decides what the file holds, and
// the first date, from which every other date follows, cannot be done without.
TEST_F(ProjectFile, AFieldOfAsterisksReadsAsUndefined) {
  const std::string golden = slurp(fixture(4));
  std::vector<std::string> lines;
  {
    std::istringstream in(golden);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
  }
  const std::size_t statusline = lineof(lines, "Analysis status:");
  const std::size_t firstdate = lineof(lines, "19900701");
  int fields = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    for (std::size_t p = 0; p < l.size();) {
      // A numeric field: a run of digits with its sign and point, as the writer writes it.
      const std::size_t start = l.find_first_of("-0123456789.", p);
      if (start == std::string::npos) break;
      std::size_t end = l.find_first_not_of("-0123456789.+E", start);
      if (end == std::string::npos) end = l.size();
      p = end;
      if (l.find_first_of("0123456789", start) >= end) continue;
      if (i > 0 && i < 8 && i != statusline) continue;  // the title, date and version are texts
      ++fields;
      std::vector<std::string> changedlines = lines;
      changedlines[i].replace(start, end - start, std::string(end - start, '*'));
      std::string text;
      for (const std::string& cl : changedlines) text += cl + "\n";
      SCOPED_TRACE(changedlines[i]);
      spit(dir_ / "stars.tw", text);
      initialise_tw_vars();
      usefile(dir_ / "stars.tw");
      const bool cannotdowithout = i == statusline || (i == firstdate && start == 0);
      ASSERT_EQ(fileopen_read(), !cannotdowithout);
      if (cannotdowithout) continue;
      // What it opened saves and opens again.
      const std::string saved = projecttext();
      spit(dir_ / "again.tw", saved);
      usefile(dir_ / "again.tw");
      ASSERT_TRUE(fileopen_read());
      EXPECT_EQ(projecttext(), saved);
    }
  }
  EXPECT_GT(fields, 100);
}

// Annual user values are stored under their year labels; the reader puts each on the
// rebuilt year of the same label, whatever years the aggregation forms.
TEST_F(ProjectFile, UserValuesStayOnTheirYears) {
  for (int status : {3, 4}) {
    SCOPED_TRACE(status);
    const std::string text = slurp(fixture(status));
    initialise_tw_vars();
    usefile(fixture(status));
    ASSERT_TRUE(fileopen_read());
    std::istringstream in(text.substr(text.find("Lin.trend")));
    std::string heading;
    std::getline(in, heading);
    int rows = 0;
    for (std::string l; std::getline(in, l) && !l.empty(); ++rows) {
      const int year = std::atoi(l.substr(0, 6).c_str());
      const AnnualRecord* a = nullptr;
      for (int y = 0; y < twvars.numyears; ++y)
        if (twvars.annual[y].year == year) a = &twvars.annual[y];
      ASSERT_NE(a, nullptr) << year;
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a->user[i], std::strtof(l.substr(54 + 16 * i, 16).c_str(), nullptr)) << year;
        EXPECT_EQ(a->userflag[i], a->user[i] == MISSING ? 0 : 1);
      }
    }
    EXPECT_EQ(rows, twvars.numyears);
  }
}

// A file whose years begin a year before those the aggregation now forms (as a file of
// another aggregation rule would): each value lands on its own year, the year the file
// lacks has none, and the value of a year that is not rebuilt is reported.
TEST_F(ProjectFile, UserValuesOfAYearNotRebuiltAreReported) {
  std::vector<std::string> lines;
  {
    std::istringstream in(slurp(fixture(3)));
    for (std::string l; std::getline(in, l);) lines.push_back(l);
  }
  std::vector<int> labels;
  std::vector<std::array<float, 3>> values;
  for (std::size_t i = lineof(lines, "Lin.trend") + 1; !lines[i].empty(); ++i) {
    const int year = std::atoi(lines[i].substr(0, 6).c_str()) - 1;
    lines[i].replace(0, 6, fortranyear(year));
    labels.push_back(year);
    values.push_back({std::strtof(lines[i].substr(54, 16).c_str(), nullptr),
                      std::strtof(lines[i].substr(70, 16).c_str(), nullptr),
                      std::strtof(lines[i].substr(86, 16).c_str(), nullptr)});
  }
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  spit(dir_ / "shifted.tw", text);
  initialise_tw_vars();
  usefile(dir_ / "shifted.tw");
  ASSERT_TRUE(fileopen_read());
  ASSERT_EQ(twvars.numyears, static_cast<int>(labels.size()));
  EXPECT_EQ(twvars.annual[0].year, labels[1]);
  for (std::size_t k = 1; k < labels.size(); ++k) {
    SCOPED_TRACE(labels[k]);
    EXPECT_EQ(twvars.annual[k - 1].user, values[k]);
  }
  const AnnualRecord& last = twvars.annual[labels.size() - 1];
  EXPECT_EQ(last.user, (std::array<float, 3>{MISSING, MISSING, MISSING}));
  EXPECT_EQ(last.userflag, (std::array<int, 3>{0, 0, 0}));
  const auto& boxes = win::test::messageBoxes();
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "User data of these years match no year of the daily data and were not loaded:\r " +
                               std::to_string(labels[0]));
  EXPECT_EQ(boxes.back().title, "File opened");
}

// A file saved before the aggregation kept every covered year: its first, empty year (1990)
// is no longer formed. Every other year keeps its own user values, and 1990's are reported.
TEST_F(ProjectFile, FileOfTheEarlierAggregationRuleKeepsUserValuesOnTheirYears) {
  initialise_tw_vars();
  usefile(fs::path(TW_FIXTURES) / "project-status4-earlier-rule.tw");
  ASSERT_TRUE(fileopen_read());
  struct Year { int label; std::array<float, 3> user; };
  const Year expected[] = {{1991, {10.25f, MISSING, 3.0f}},
                           {1992, {10.50f, 98.50f, 6.0f}},
                           {1993, {10.75f, 97.50f, 9.0f}}};
  ASSERT_EQ(twvars.numyears, 3);
  for (int y = 0; y < 3; ++y) {
    SCOPED_TRACE(expected[y].label);
    EXPECT_EQ(twvars.annual[y].year, expected[y].label);
    EXPECT_EQ(twvars.annual[y].user, expected[y].user);
  }
  const auto& boxes = win::test::messageBoxes();
  ASSERT_GE(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "User data of these years match no year of the daily data and were not loaded:\r 1990");
}

TEST_F(ProjectFile, ReaderFailuresLeaveThePreviousProject) {
  using Lines = std::vector<std::string>;
  struct Case {
    const char* why;
    std::function<void(Lines&)> change;
  };
  const Case cases[] = {
      {"truncated in the daily rows", [](Lines& l) { l.resize(l.size() - 10); }},
      {"truncated in the header", [](Lines& l) { l.resize(6); }},
      {"second line in lower case", [](Lines& l) { l[1] = "tarnWalker data and results file"; }},
      {"second line too short", [](Lines& l) { l[1] = "TarnWalke"; }},
      {"status 5", [](Lines& l) { setcols(l, "Analysis status:", 19, "5"); }},
      {"status not a number", [](Lines& l) { setcols(l, "Analysis status:", 19, "x"); }},
      {"ndays above 60000", [](Lines& l) { setcols(l, "days of data:", 19, "60001"); }},
      {"negative ndays", [](Lines& l) { setcols(l, "days of data:", 19, "   -1"); }},
      {"numyears above 165", [](Lines& l) { setcols(l, "years of data:", 32, "166"); }},
      {"start month 13", [](Lines& l) { setcols(l, "annual aggregation start month:", 32, " 13"); }},
      {"end month 0", [](Lines& l) { setcols(l, "annual aggregation end month:", 32, "  0"); }},
      {"no passes", [](Lines& l) { setcols(l, "Number of passes:", 26, "    0"); }},
      {"100 passes", [](Lines& l) { setcols(l, "Number of passes:", 26, "  100"); }},
      {"filter parameter 1", [](Lines& l) { setcols(l, "Digital filter parameter:", 26, "1.000"); }},
      {"filter parameter 0", [](Lines& l) { setcols(l, "Digital filter parameter:", 26, "0.000"); }},
      {"a day left out", [](Lines& l) { l.erase(l.begin() + lineof(l, "19900705")); }},
      {"dates out of order", [](Lines& l) { std::swap(l[lineof(l, "19900705")], l[lineof(l, "19900706")]); }},
      {"first date in month 13", [](Lines& l) { l[lineof(l, "19900701")].replace(0, 8, "19901301"); }},
      {"a flow that is not a number", [](Lines& l) { l[lineof(l, "19900702")].replace(18, 6, "12a.50"); }},
      {"a rain with two decimal points", [](Lines& l) { l[lineof(l, "19900702")].replace(50, 6, "1.2.50"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    buildproject(4);
    put(twvars.title, "The previous project");
    usefile(dir_ / "bad.tw");
    const std::string before = projecttext();
    const float cook = regressdat.cook[3] = 1.5f;
    spit(dir_ / "bad.tw", changed(c.change));
    win::test::clearMessageBoxes();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    EXPECT_FALSE(fileopen_read());
    EXPECT_EQ(projecttext(), before);
    EXPECT_EQ(regressdat.cook[3], cook);
    EXPECT_NE(twvars.iostat, 0);
    const auto& boxes = win::test::messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Problem");
    EXPECT_EQ(boxes[0].text.rfind("Problem with file. Data not imported properly.\r\r", 0), 0u);
    EXPECT_EQ(boxes[0].style & win::MB_ICONMASK, win::MB_ICONHAND);
  }
}

TEST_F(ProjectFile, FailureDiagnosticNamesTheLineAndSection) {
  buildproject(3);
  spit(dir_ / "bad.tw", changed([](std::vector<std::string>& l) { l[1] = "tarnWalker data and results file"; }));
  usefile(dir_ / "bad.tw");
  EXPECT_FALSE(fileopen_read());
  EXPECT_EQ(win::test::messageBoxes().back().text, "Problem with file. Data not imported properly.\r\rtarnWalker L 0");
  spit(dir_ / "bad.tw", changed([](std::vector<std::string>& l) { l[lineof(l, "  1993") ].replace(10, 4, "1x.5"); }));
  EXPECT_FALSE(fileopen_read());
  EXPECT_EQ(win::test::messageBoxes().back().text.substr(46), "\r\r L 4");
}

// A binary file picked by mistake: the box names what it read in characters a person can read.
TEST_F(ProjectFile, ABinaryFileIsShownInPrintableCharacters) {
  buildproject(3);
  static const char start[] = "\x1b[2J\a\x7f" "ELF\x02\x01\x01\x03>\x01\x10\x1b\x07\x1b[2J\a";
  std::string binary(start, sizeof start - 1);
  binary += std::string(5000, 'x');
  spit(dir_ / "program", binary);
  usefile(dir_ / "program");
  EXPECT_FALSE(fileopen_read());
  const std::string text = win::test::messageBoxes().back().text;
  const std::string head = "Problem with file. Data not imported properly.\r\r";
  ASSERT_EQ(text.rfind(head, 0), 0u) << text;
  const std::string line = text.substr(head.size());
  EXPECT_FALSE(line.empty());
  for (const char c : line) EXPECT_GE(static_cast<unsigned char>(c), 32) << "a control character in the box";
  EXPECT_LT(line.size(), 120u) << "the line is cut, not the whole file";
}

TEST_F(ProjectFile, MissingFileIsReported) {
  buildproject(2);
  usefile(dir_ / "none.tw");
  const std::string before = projecttext();
  EXPECT_FALSE(fileopen_read());
  EXPECT_EQ(projecttext(), before);
  const auto& boxes = win::test::messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Failed to open file: \r" + (dir_ / "none.tw").string());
  EXPECT_EQ(boxes[0].title, "Problem with file");
  EXPECT_EQ(boxes[1].title, "Problem");
}

TEST_F(ProjectFile, FixedFormatInput) {
  struct Case {
    const char* why;
    const char* field;  // columns 9-24 of a daily row (F16.2)
    float want;
  };
  const Case cases[] = {
      {"no decimal point: two implied decimals", "               5", 0.05f},
      {"an explicit point wins", "             5.0", 5.0f},
      {"blanks inside are ignored", "        1 2 3.25", 123.25f},
      {"an all-blank field is 0", "                ", 0.0f},
      {"exponent form", "         1.5E+02", 150.0f},
      {"exponent with implied decimals", "           15E+2", 15.0f},
      {"sign alone marks the exponent", "          1.5+02", 150.0f},
      {"missing value", "         -999.00", MISSING},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    buildproject(2);
    std::string text = slurp(fixture(2));
    const std::size_t row = text.find("\n19900702") + 1;
    text.replace(row + 8, 16, c.field);
    spit(dir_ / "f.tw", text);
    usefile(dir_ / "f.tw");
    ASSERT_TRUE(fileopen_read());
    EXPECT_EQ(twvars.daily[1].flow, c.want);
  }
}

TEST_F(ProjectFile, SavingAnEmptyProjectCreatesTheFile) {
  initialise_tw_vars();
  usefile(dir_ / "new.tw");
  ASSERT_TRUE(filesave());
  EXPECT_EQ(twvars.status, 1);
  ASSERT_EQ(win::test::messageBoxes().size(), 1u);
  EXPECT_EQ(win::test::messageBoxes()[0].text, "New file created.");
  EXPECT_EQ(win::test::messageBoxes()[0].title, "Done");
  const std::string text = slurp(dir_ / "new.tw");
  EXPECT_NE(text.find("\nAnalysis status:  1\n"), std::string::npos);
  EXPECT_NE(text.find("\n     Regression not undertaken\n"), std::string::npos);
  EXPECT_NE(text.find("\n     Baseflow separation not undertaken\n"), std::string::npos);
  ASSERT_TRUE(filesave());
  EXPECT_EQ(win::test::messageBoxes()[1].text, "Data saved.");
}

TEST_F(ProjectFile, FailedSaveKeepsTheOldFile) {
  struct Case {
    const char* why;
    const char* service;  // the OS layer's service that fails
    const char* text;
    const char* title;
  };
  const Case cases[] = {
      {"the new file cannot be opened", "CreateFile", "Failed to open new file on unit 3: ", "Problem with file"},
      {"a write fails (disk full)", "WriteFile", "Problem with file. Data not saved properly.", "Problem"},
      {"the flush to the disk fails", "FlushFileBuffers", "Problem with file. Data not saved properly.", "Problem"},
      {"the rename fails", "MoveFileEx", "Problem with file. Data not saved properly.", "Problem"},
  };
  const fs::path path = dir_ / "old.tw";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    spit(path, "the previous file\n");
    buildproject(3);
    usefile(path);
    win::test::clearMessageBoxes();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    win::test::failNext(c.service, win::ERROR_DISK_FULL);
    EXPECT_FALSE(filesave());
    EXPECT_EQ(slurp(path), "the previous file\n");
    EXPECT_EQ(twvars.status, 3);
    EXPECT_NE(twvars.iostat, 0);
    ASSERT_EQ(win::test::messageBoxes().size(), 1u);
    EXPECT_EQ(win::test::messageBoxes()[0].text.rfind(c.text, 0), 0u);
    EXPECT_EQ(win::test::messageBoxes()[0].title, c.title);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "temporary file left";
  }
  // A real failure: the directory does not exist.
  usefile(dir_ / "no-such-directory" / "p.tw");
  win::test::clearMessageBoxes();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  EXPECT_FALSE(filesave());
  EXPECT_EQ(win::test::messageBoxes()[0].text, "Failed to open new file on unit 3: " + (dir_ / "no-such-directory" / "p.tw").string());
  // A project without a file name has nowhere to go.
  twvars.filename.assign(500, ' ');
  win::test::clearMessageBoxes();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  EXPECT_FALSE(filesave());
  EXPECT_EQ(win::test::messageBoxes()[0].text, "Failed to open new file on unit 3:");
  // Nothing is left pending: the next save succeeds.
  usefile(path);
  EXPECT_TRUE(filesave());
}

// A save survives a power cut: the new file's bytes reach the disk before the rename, and
// the folder holding the rename after it. A folder that cannot be flushed is reported,
// though the new file has replaced the old one.
TEST_F(ProjectFile, SaveFlushesTheFileBeforeTheRenameAndTheFolderAfter) {
  const fs::path path = dir_ / "p.tw";
  spit(path, "the previous file\n");
  buildproject(3);
  usefile(path);
  std::vector<std::string> calls;
  win::test::recordCalls(&calls);
  const bool saved = filesave();
  win::test::recordCalls(nullptr);
  ASSERT_TRUE(saved);
  EXPECT_EQ(calls, (std::vector<std::string>{"CreateFile", "WriteFile", "FlushFileBuffers", "CloseHandle",
                                             "MoveFileEx", "FlushFolder"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

  spit(path, "the previous file\n");
  win::test::clearMessageBoxes();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  win::test::failNext("FlushFolder", win::ERROR_GEN_FAILURE);
  EXPECT_FALSE(filesave());
  EXPECT_NE(twvars.iostat, 0);
  ASSERT_EQ(win::test::messageBoxes().size(), 1u);
  EXPECT_EQ(win::test::messageBoxes()[0].text, "Problem with file. Data not saved properly.");
  EXPECT_NE(slurp(path), "the previous file\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "temporary file left";
}

}  // namespace

// A save killed before its rename leaves its temporary beside the project; the next open or
// save removes it, and never a user's file that only looks like one.
TEST_F(ProjectFile, LeftoversOfKilledSavesGoAtTheNextOpenOrSave) {
  spit(dir_ / "flows.tw", slurp(fixture(3)));
  const std::vector<std::string> users = {"flows.tw.tmp~", "flows.tw.0123456789abcdef.tmp~", "other.tw.tmp~"};
  for (const std::string& n : users) spit(dir_ / n, "the user's");
  auto killedsave = [&] {
    int handle = -1, status = -1;
    std::string name;
    win::yytempfile((dir_ / "flows.tw").string().c_str(), handle, name, status);
    EXPECT_EQ(status, 0);
    win::yyclos(handle);
    return name;
  };
  auto left = [&] {
    std::vector<std::string> all;
    for (const auto& e : fs::directory_iterator(dir_)) all.push_back(e.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
  };
  std::vector<std::string> expected = users;
  expected.push_back("flows.tw");
  std::sort(expected.begin(), expected.end());

  const std::string first = killedsave();
  ASSERT_TRUE(fs::exists(first));
  usefile(dir_ / "flows.tw");
  ASSERT_TRUE(fileopen_read());
  EXPECT_EQ(left(), expected);
  const std::string second = killedsave();
  ASSERT_TRUE(fs::exists(second));
  ASSERT_TRUE(filesave());
  EXPECT_EQ(left(), expected);
  for (const std::string& n : users) EXPECT_EQ(slurp(dir_ / n), "the user's") << n;
}
