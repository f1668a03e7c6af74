// The CGM scanner: the information a metafile gives and its integer reader.
#include "toolkit/hardcopy/cgm_scan.h"

#include <gtest/gtest.h>

#include <bit>

#include "tests/raster/kind_fixtures.h"
#include "toolkit/state/tessar.h"

namespace {

Bytes real4(float v) {
  const std::uint32_t u = std::bit_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}

struct ScanCase {
  const char* why;
  Bytes file;
  int pictures;
  float ratio;
  int error;
};

TEST(Yyinfocgm, CountsPicturesAndMeasuresTheExtent) {
  const Bytes endpic = cgmelement(0, 5, {});
  const Bytes extent = cgmelement(2, 6, cgmints({0, 0, 6300, 4500}));
  const Bytes realextent = cgmelement(2, 6, join({real4(0), real4(0), real4(3.0f), real4(2.0f)}));
  const Bytes bigprecision = cgmelement(1, 4, cgmints({32}));
  const Bytes vdcprecision32 = cgmelement(3, 1, {0, 0, 0, 32});
  const Bytes extent32 = cgmelement(2, 6, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0x80, 0});
  // Metafile defaults replacement holding a VDC extent, itself read as an element.
  const Bytes inner = cgmelement(2, 6, cgmints({0, 0, 50, 100}));
  const Bytes defaults = join({cgmelement(1, 12, {}), inner});
  Bytes longskip(40, 7);
  const ScanCase cases[] = {
      {"the default page of our own driver", cgmfile({extent, endpic}), 1, 1.4f, 0},
      {"two pictures", cgmfile({endpic, endpic}), 2, 1.0f, 0},
      {"the maximum extent wins", cgmfile({cgmelement(1, 17, cgmints({0, 0, 100, 50})),
                                           cgmelement(2, 6, cgmints({0, 0, 10, 10})), endpic}),
       1, 2.0f, 0},
      {"no extent", cgmfile({endpic}), 1, 1.0f, 0},
      {"real VDC", cgmfile({cgmelement(1, 3, cgmints({1})), realextent}), 1, 1.5f, 0},
      {"integer precision 32 widens the VDC precision word",
       cgmfile({bigprecision, vdcprecision32, extent32}), 1, 2.0f, 0},
      {"elements inside a defaults replacement", cgmfile({defaults}), 1, 0.5f, 0},
      {"a long element is skipped", cgmfile({cgmelement(4, 7, longskip), extent}), 1, 1.4f, 0},
      {"an empty file", {}, 1, 1.0f, 2},
      {"no END METAFILE", cgmelement(0, 5, {}), 1, 1.0f, 2},
      // A flat extent once divided by zero.
      {"an extent with equal y values is refused", cgmfile({cgmelement(2, 6, cgmints({0, 5, 9, 5}))}),
       1, 1.0f, 2},
      // An over-long wanted element once ran past the element buffer.
      {"an absurdly long extent is refused", cgmfile({cgmelement(2, 6, Bytes(4000, 1))}), 1, 1.0f, 2},
  };
  const auto dir = testfolder("cgm");
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    int pictures = -1;
    float ratio = -1;
    yyinfocgm(writefile(dir, "scan.cgm", c.file), pictures, ratio);
    EXPECT_EQ(pictures, c.pictures);
    EXPECT_FLOAT_EQ(ratio, c.ratio);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
}

TEST(Yyinfocgm, OpenFailureLeavesTheResults) {
  tessar.error = ErrorState{};
  int pictures = -1;
  float ratio = -1;
  yyinfocgm((testfolder("cgm") / "missing.cgm").string(), pictures, ratio);
  EXPECT_EQ(pictures, -1);
  EXPECT_EQ(ratio, -1);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
}

TEST(Yyrepcgmint, ReadsBigEndianAndZeroPastTheBuffer) {
  const Bytes b = {0xFF, 0xFE, 0x00, 0x10};
  EXPECT_EQ(yyrepcgmint(b, 1, 16), -2);
  EXPECT_EQ(yyrepcgmint(b, 1, 32), static_cast<int>(0xFFFE0010u));
  EXPECT_EQ(yyrepcgmint(b, 3, 32), 0x00100000);
  EXPECT_EQ(yyrepcgmint(b, 7, 16), 0);
  EXPECT_FLOAT_EQ(yyrepcgmreal(real4(2.5f), 1), 2.5f);
}

}  // namespace
