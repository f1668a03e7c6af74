// PNG pieces: compression, CRC, chunk words and colour-to-index conversion.
#include "toolkit/raster/png.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "toolkit/state/tessar.h"

namespace {

std::vector<std::uint8_t> bytesof(std::string_view text) {
  return {text.begin(), text.end()};
}

struct CrcCase {
  const char* why;
  std::vector<std::uint8_t> bytes;
  int length;
  std::uint32_t want;
};

TEST(Yypngcrc2, MatchesPngChunkCrcs) {
  const std::vector<std::uint8_t> ihdr640x480 = {'I', 'H', 'D', 'R', 0, 0, 2, 0x80, 0, 0, 1,
                                                 0xE0, 8, 3, 0, 0, 0};
  const std::vector<std::uint8_t> plte1bit = {'P', 'L', 'T', 'E', 255, 255, 255, 0, 0, 0};
  const CrcCase cases[] = {
      {"the standard check value", bytesof("abc"), 3, 0x352441C2u},
      {"the fixed IEND chunk", bytesof("IEND"), 4, 0xAE426082u},
      {"IHDR of a 640 x 480 page at 8 bits", ihdr640x480, 17, 0x020F2CD6u},
      {"PLTE of a one-bit page: white, black", plte1bit, 10, 0x55C2D37Eu},
      {"zero bytes give 0", bytesof("abc"), 0, 0u},
      {"a negative length gives 0", bytesof("abc"), -4, 0u},
      {"only the first length bytes count", bytesof("abcdef"), 3, 0x352441C2u},
  };
  for (const CrcCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(yypngcrc2(c.bytes, c.length), c.want);
    std::uint32_t crc = 1;
    yypngcrc(c.length, crc, c.bytes);
    EXPECT_EQ(crc, c.want);
  }
}

TEST(Yypngc2i, ReadsBigEndianSigned) {
  const std::array<std::uint8_t, 4> ones = {0xFF, 0xFF, 0xFF, 0xFF};
  const std::array<std::uint8_t, 4> v256 = {0, 0, 1, 0};
  EXPECT_EQ(yypngc2i(ones), -1);
  EXPECT_EQ(yypngc2i(v256), 256);
  int value = 0;
  yypngc2i(v256, value);
  EXPECT_EQ(value, 256);
}

TEST(Yypngwrd, WritesMostSignificantFirstAndReadsBack) {
  std::array<std::uint8_t, 4> b{};
  yypngwrd(0x12345678u, b);
  EXPECT_EQ(b, (std::array<std::uint8_t, 4>{0x12, 0x34, 0x56, 0x78}));
  yypngword(640, b);
  EXPECT_EQ(yypngc2i(b), 640);
}

TEST(Yypngcmp, ComparesFourCharacters) {
  EXPECT_EQ(yypngcmp(bytesof("IDAT"), "IDAT"), 1);
  EXPECT_EQ(yypngcmp(bytesof("IDAt"), "IDAT"), 0);
  EXPECT_EQ(yypngcmp(bytesof("IEND"), "IDAT"), 0);
}

class WCompressRoutines : public ::testing::Test {
 protected:
  void SetUp() override { tessar.error = ErrorState{}; }
};

TEST_F(WCompressRoutines, RoundTripsAWholeBuffer) {
  std::vector<std::uint8_t> source(5000);
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 7 % 13);
  std::vector<std::uint8_t> packed(6000);
  int packedlength = static_cast<int>(packed.size());
  WCompress(source, packed, static_cast<int>(source.size()), packedlength);
  ASSERT_GT(packedlength, 0);
  EXPECT_LT(packedlength, 5000);
  std::vector<std::uint8_t> back(5000);
  int backlength = static_cast<int>(back.size());
  WUnCompress(packed, back, packedlength, backlength);
  EXPECT_EQ(backlength, 5000);
  EXPECT_EQ(back, source);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

struct FailCase {
  const char* why;
  bool compress;
  std::vector<std::uint8_t> source;
  int capacity;
  int status;
};

TEST_F(WCompressRoutines, FailureRecords1044WithZlibStatus) {
  const FailCase cases[] = {
      {"no room at all for the result", true, bytesof("some text"), 0, -5},
      {"a destination too small", true, std::vector<std::uint8_t>(1000, 1), 4, -5},
      {"data that is not a zlib stream", false, bytesof("not zlib data"), 100, -3},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    std::vector<std::uint8_t> out(2000);
    int length = c.capacity;
    if (c.compress)
      WCompress(c.source, out, static_cast<int>(c.source.size()), length);
    else
      WUnCompress(c.source, out, static_cast<int>(c.source.size()), length);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(tessar.error.LASTERROR, 1044);
    EXPECT_EQ(tessar.error.ERRSTATUS, c.status);
  }
}

// A capacity larger than the buffer once let zlib write past its end.
TEST_F(WCompressRoutines, CapacityIsLimitedToTheBuffer) {
  const std::vector<std::uint8_t> source(4000, 9);
  std::vector<std::uint8_t> packed(64);
  int packedlength = 1 << 20;
  WCompress(source, packed, static_cast<int>(source.size()), packedlength);
  ASSERT_GT(packedlength, 0);
  ASSERT_LE(packedlength, 64);
  std::vector<std::uint8_t> back(100);
  int backlength = 1 << 20;
  WUnCompress(packed, back, packedlength, backlength);
  EXPECT_EQ(backlength, 0);
  EXPECT_EQ(tessar.error.ERRSTATUS, -5);
}

}  // namespace
