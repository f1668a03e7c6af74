// The drivers' output helpers: DXF groups and palette, HP-GL/2 lines, raw buffer writes, unit 2.
#include "toolkit/hardcopy/output_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "tests/raster/image_files.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"
#include "tests/support/tools.h"

namespace {

class OutputHelpers : public ::testing::Test {
 protected:
  void SetUp() override {
    tessarreset();
    path = (testfolder("out") / "out.txt").string();
  }
  // Runs the writes on output unit 2 and returns what the file holds.
  template <class Writes>
  std::string written(Writes&& writes) {
    assignfixed(tessar.files.HCCURRENT, path);
    yyprop(2);
    writes();
    yyprcl(2);
    const Bytes b = readfile(path);
    return std::string(b.begin(), b.end());
  }
  std::string path;
};
class Yydxf4 : public OutputHelpers {};
class Yydxf1 : public OutputHelpers {};
class Yyhpgl2b : public OutputHelpers {};
class Yyprbu : public OutputHelpers {};
class Yyprop : public OutputHelpers {};

struct RealCase {
  const char* why;
  float value;
  const char* want;
};

TEST_F(Yydxf4, WritesTrimmedFixedPointValues) {
  const RealCase cases[] = {
      {"trailing zeros go", 1.5f, "1.5"},
      {"a whole number keeps its point", 2.0f, "2."},
      {"zero", 0.0f, "0."},
      {"negative", -0.25f, "-0.25"},
  };
  for (const RealCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(written([&] { yydxf4("10", c.value); }), std::string("10\r\n") + c.want + "\r\n");
  }
  EXPECT_EQ(written([] { yydxf5("62", 7); yydxf5("70", -12); }), "62\r\n7\r\n70\r\n-12\r\n");
  tessar.graphics.operands.HCSCALEX = 2.0f;
  tessar.graphics.operands.HCSCALEY = 0.5f;
  EXPECT_EQ(written([] { yydxf2("10", "20", 1.25f, 3.0f); }), "10\r\n2.5\r\n20\r\n1.5\r\n");
}

// Asterisks made the whole file unreadable: a value too wide for (F15.6) gets an exponent.
TEST_F(Yydxf4, WritesTooWideValuesWithAnExponent) {
  const float big = std::numeric_limits<float>::max();
  const float inf = std::numeric_limits<float>::infinity();
  const RealCase cases[] = {
      {"nine integer digits", 123456789.0f, "1.2345679E+08"},
      {"eight digits and a sign", -98765432.0f, "-9.876543E+07"},
      {"rounds up to nine digits", 99999999.9999999f, "1E+08"},
      {"the largest value", big, "3.4028235E+38"},
      {"an infinity becomes the largest value", -inf, "-3.4028235E+38"},
      {"NaN becomes zero", std::numeric_limits<float>::quiet_NaN(), "0."},
      {"eight digits still fit the field", 12345678.0f, "12345678."},
  };
  for (const RealCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(written([&] { yydxf4("10", c.value); }), std::string("10\r\n") + c.want + "\r\n");
  }
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "no conversion error is reported";
}

// ezdxf reads the numbers of a LINE written in either form back to the values written.
TEST_F(Yydxf4, EzdxfReadsBothForms) {
  ASSERT_TRUE(tw::test::needpython("ezdxf", "python3-ezdxf"));
  const float values[] = {1.5f, -0.25f, 123456789.0f, -3.4028235e38f, 0.125f, 12345678.0f};
  const std::string dxf = written([&] {
    yydxf3("0", "SECTION");
    yydxf3("2", "ENTITIES");
    yydxf1("LINE");
    yydxf4("10", values[0]); yydxf4("20", values[1]); yydxf4("30", values[2]);
    yydxf4("11", values[3]); yydxf4("21", values[4]); yydxf4("31", values[5]);
    yydxf3("0", "ENDSEC");
    yydxf3("0", "EOF");
  });
  const std::string dxfpath = path + ".dxf";
  std::ofstream(dxfpath, std::ios::binary) << dxf;
  const std::string script =
      "import ezdxf.recover,sys\n"
      "doc,aud=ezdxf.recover.readfile(sys.argv[1])\n"
      "e=doc.modelspace().query('LINE')[0]\n"
      "print(int(aud.has_errors),*e.dxf.start,*e.dxf.end)\n";
  const std::string cmd = "/usr/bin/python3 -c \"" + script + "\" " + dxfpath + " 2>&1";
  FILE* pipe = popen(cmd.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  ASSERT_EQ(pclose(pipe), 0) << out;
  std::istringstream in(out);
  int errors = -1;
  in >> errors;
  EXPECT_EQ(errors, 0) << out;
  for (float v : values) {
    double got = 0;
    ASSERT_TRUE(in >> got) << out;
    EXPECT_EQ(static_cast<float>(got), v) << out;
  }
}

TEST_F(Yydxf1, WritesTheEntityHeadWithItsColour) {
  tessar.hardcopy.HCOPTIONS[22] = 8;
  tessar.hardcopy.DXFCOLOUR = 5;
  EXPECT_EQ(written([] { yydxf1("LINE"); }), "0\r\nLINE\r\n8\r\n1\r\n62\r\n5\r\n");
  tessar.hardcopy.HCOPTIONS[22] = 24;
  tessar.hardcopy.DXFCOLOUR = 0xFF8000;
  EXPECT_EQ(written([] { yydxf1("LINE"); }), "0\r\nLINE\r\n8\r\n1\r\n420\r\n16744448\r\n");
}

TEST(Yydxfpal, ReturnsTheColourIndex) {
  struct Case { int index, want; };
  const Case cases[] = {{1, 255}, {7, 16777215}, {250, 5526612}, {32, 0x0052B9}, {72, 0x48A552},
                        {255, 0xFFFFFF}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(yydxfpal(c.index), c.want);
  }
}

TEST_F(Yyhpgl2b, PrefixesABlankWhenAsked) {
  tessar.graphics.operands.HPGLPREFIX = 1;
  EXPECT_EQ(written([] { yyhpgl2b("PU;"); }), " PU;\r\n");
  tessar.graphics.operands.HPGLPREFIX = 2;
  EXPECT_EQ(written([] { yyhpgl2b("PU;"); }), "PU;\r\n");
}

TEST_F(Yyprbu, WritesBytesAndLineEnds) {
  const Bytes abc = textbytes("abc");
  EXPECT_EQ(written([&] {
              int handle = -1;
              yyprfh(2, handle);
              yyprbu(handle, abc, 0, 1);
              yyprbu(handle, abc, 3, 0);
            }),
            "\r\nabc");
  EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 0);
}

TEST_F(Yyprbu, ShortWriteRaisesTheFlag) {
  assignfixed(tessar.files.HCCURRENT, "/dev/full");
  yyprop(2);
  int handle = -1;
  yyprfh(2, handle);
  yyprbu(handle, textbytes("abc"), 3, 1);
  yyprcl(2);
  EXPECT_EQ(tessar.error.LASTERROR, 2);
  EXPECT_EQ(tessar.error.ERRDETAILKIND, 2);
  EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 1);
}

TEST_F(Yyprop, BlankOrUnopenableNameRaisesTheFlag) {
  tessar.files.HCCURRENT = std::string(260, ' ');
  yyprop(2);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
  EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 1);
  tessar.error = ErrorState{};
  assignfixed(tessar.files.HCCURRENT, "/no/such/folder/plot.plt");
  yyprop(2);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
  EXPECT_EQ(tessar.error.ERRDETAILKIND, 2);
  EXPECT_NE(tessar.error.ERRDETAIL, 0);
  EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 1);
}

}  // namespace
