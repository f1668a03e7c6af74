// Driver output helpers: DXF, HP-GL/2 and printer-stream writes on an output unit.
#include "toolkit/hardcopy/output_helpers.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/raster/image_files.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

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
  // A value too wide for (F15.6) comes out as the conversion's asterisks.
  const std::string wide = written([] { yydxf4("10", 123456789.0f); });
  EXPECT_EQ(wide.substr(0, 5), "10\r\n*");
  EXPECT_EQ(wide.find_first_of("0123456789", 4), std::string::npos);
  EXPECT_EQ(written([] { yydxf5("62", 7); yydxf5("70", -12); }), "62\r\n7\r\n70\r\n-12\r\n");
  tessar.graphics.operands.HCSCALEX = 2.0f;
  tessar.graphics.operands.HCSCALEY = 0.5f;
  EXPECT_EQ(written([] { yydxf2("10", "20", 1.25f, 3.0f); }), "10\r\n2.5\r\n20\r\n1.5\r\n");
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
