// Image-file information: kinds, sizes and colour counts read from file headers.
#include "toolkit/raster/file_info.h"

#include <gtest/gtest.h>

#include "tests/raster/kind_fixtures.h"
#include "toolkit/state/tessar.h"

namespace {

class Igrfileinfo : public ::testing::Test {
 protected:
  void SetUp() override { tessar.error = ErrorState{}; }
  std::filesystem::path dir = testfolder("info");
};

TEST_F(Igrfileinfo, IdentifiesEveryKind) {
  for (const KindFixture& k : kindfixtures()) {
    SCOPED_TRACE(k.why);
    const std::string path = writefile(dir, k.name, k.bytes);
    std::array<int, 6> info{};
    info.fill(-99);
    igrfileinfo(path + "   ", info, 6);
    EXPECT_EQ(info, k.want);
  }
}

TEST_F(Igrfileinfo, NoUsableFileWritesOnlyTheType) {
  struct Case { const char* why; std::string name; };
  const Case cases[] = {
      {"a blank name", "    "},
      {"a missing file", (dir / "missing.bmp").string()},
      {"a 3-byte file", writefile(dir, "three", {'B', 'M', 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::array<int, 4> info = {7, 7, 7, 7};
    igrfileinfo(c.name, info, 4);
    EXPECT_EQ(info, (std::array<int, 4>{-1, 7, 7, 7}));
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
}

TEST_F(Igrfileinfo, WritesOnlyTheEntriesAskedFor) {
  const std::string path = writefile(dir, "n.bmp", bmpfile(3, 2, 24, 0, {}, Bytes(16, 0)));
  std::array<int, 6> info = {9, 9, 9, 9, 9, 9};
  igrfileinfo(path, info, 1);
  EXPECT_EQ(info, (std::array<int, 6>{1, 9, 9, 9, 9, 9}));
  igrfileinfo(path, info, 3);
  EXPECT_EQ(info, (std::array<int, 6>{1, 3, 2, 9, 9, 9}));
  std::array<int, 2> small = {0, 0};
  igrfileinfo(path, small, 6);   // n is cut to the array
  EXPECT_EQ(small, (std::array<int, 2>{1, 3}));
}

// A short file was once tested against the bytes the previous, longer file left behind.
TEST_F(Igrfileinfo, ShortFileIsNotTestedAgainstOlderBytes) {
  std::array<int, 1> info{};
  const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
  igrfileinfo(writefile(dir, "long.png", png), info, 1);
  EXPECT_EQ(info[0], 15);
  igrfileinfo(writefile(dir, "short.png", {0x89, 'P', 'N', 'G'}), info, 1);
  EXPECT_EQ(info[0], 0);
}

// Values read from a file once served as divisors unchecked.
TEST_F(Igrfileinfo, ZeroDivisorsFromTheFileLeaveTheEntry) {
  Bytes wmf(40, 0);
  put32(wmf, 0, 0x9AC6CDD7u);
  put16(wmf, 10, 100);
  Bytes escp = textbytes("\x1B@");
  append(escp, {0x1B, '(', 'U', 1, 0, 0, 'x'});
  const Bytes narrow = cgmfile({cgmelement(2, 6, cgmints({5, 0, 5, 100})), cgmelement(0, 5, {})});
  struct Case { const char* why; const char* name; Bytes bytes; std::array<int, 6> want; };
  const Case cases[] = {
      {"placeable WMF with 0 units per inch", "zero.wmf", wmf, {3, -1, -1, 1, -1, -1}},
      {"ESC/P unit byte 0", "zero.prn", escp, {12, -1, -1, 0, -1, -1}},
      {"CGM of zero width: ratio 0", "zero.cgm", narrow, {6, 1000, -1, 1, -1, -1}},
      {"DXF extent that is no number", "bad.dxf",
       textbytes("0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n0.0\n20\n0.0\n9\n$EXTMAX\n10\nwide\n20\n1\n"),
       {14, -1, 72, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::array<int, 6> info{};
    igrfileinfo(writefile(dir, c.name, c.bytes), info, 6);
    EXPECT_EQ(info, c.want);
  }
}

TEST(Yych2int, ReadsLittleEndian) {
  const Bytes ones = {0xFF, 0xFF, 0xFF, 0xFF};
  int v = 0;
  yych2int(ones, 2, v);
  EXPECT_EQ(v, 65535);
  yych2int(ones, 4, v);
  EXPECT_EQ(v, -1);
  yych2int(Bytes{0x34, 0x12, 0, 0}, 4, v);
  EXPECT_EQ(v, 0x1234);
}

TEST(Yycntpic, CountsPicturesAndReportsShortFiles) {
  const auto dir = testfolder("pic");
  Bytes pic(17, 0);
  append(pic, {0xA2, 1, 2, 3, 4, 0x20});
  int count = -5;
  yycntpic(writefile(dir, "none.pic", pic), count);
  EXPECT_EQ(count, 1) << "no opcode 60-6F: one picture";
  append(pic, {0x6F, 0xE0, 2});   // E0 wants 12 bytes more
  tessar.error = ErrorState{};
  yycntpic(writefile(dir, "cut.pic", pic), count);
  EXPECT_EQ(tessar.error.LASTERROR, 2);
  EXPECT_EQ(count, 1);
}

}  // namespace

namespace {

TEST(Yycnthpg, CountsPageCommands) {
  const auto dir = testfolder("hpg");
  struct Case { const char* why; std::string text; int want; };
  const Case cases[] = {
      {"two SC -3 records", "IN;\nSC -3\nPU;\n  SC -3\n", 2},
      {"a CO comment with 3 counts, a CO: record does not", "CO \"3 1\"\nCO:\"3\"\nCO \"4\"\n", 1},
      {"no page command still gives one page", "IN;\nPU 0 0;\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    int count = -1;
    yycnthpg(writefile(dir, "pages.plt", textbytes(c.text)), count);
    EXPECT_EQ(count, c.want);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
  int count = -1;
  yycnthpg((dir / "missing.plt").string(), count);
  EXPECT_EQ(count, -1);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
  EXPECT_EQ(tessar.error.ERRDETAILKIND, 1);
}

}  // namespace
