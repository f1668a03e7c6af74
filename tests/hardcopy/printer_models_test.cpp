// Printer models: the table of raster printers and their selection.
#include "toolkit/hardcopy/printer_models.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "toolkit/state/tessar.h"

namespace {

class Iprinter : public ::testing::Test {
 protected:
  void SetUp() override {
    tessar.hardcopy = HardcopyRegion{};
  }
  RasterPrinter& rp = tessar.hardcopy.printer;
  PrinterSelection& sel = tessar.hardcopy.selection;
};

struct ModelCase {
  const char* why;
  int model;
  int stored;
  int cls, planes, kind, digit, pins, band, count;
  std::array<int, 4> res;
};

// band 0 marks a class that leaves the band advance alone (fresh record: 0).
constexpr ModelCase kModels[] = {
    {"model 0 is invalid: LaserJet III", 0, 28, 7, 1, 0, 2, 1, 0, 4, {300, 150, 100, 75}},
    {"model 1 is invalid", 1, 28, 7, 1, 0, 2, 1, 0, 4, {300, 150, 100, 75}},
    {"model 27 is the blank slot", 27, 28, 7, 1, 0, 2, 1, 0, 4, {300, 150, 100, 75}},
    {"model 39 is past the table", 39, 28, 7, 1, 0, 2, 1, 0, 4, {300, 150, 100, 75}},
    {"IBM Graphics: 8 pins", 2, 2, 1, 1, 0, 0, 8, 23, 3, {240, 120, 60, 0}},
    {"Epson FX: class F", 5, 5, 2, 1, 0, 0, 8, 23, 4, {240, 120, 90, 80}},
    {"Shinwa: band advance 22", 9, 9, 3, 1, 0, 0, 8, 22, 2, {160, 80, 0, 0}},
    {"PaintJet: RGB planes", 13, 13, 9, 3, 1, 1, 1, 0, 2, {180, 90, 0, 0}},
    {"Proprinter X24: 24 pins", 19, 19, 4, 1, 0, 0, 24, 29, 4, {360, 180, 120, 60}},
    {"Epson LQ colour: CMY", 25, 25, 5, 3, 2, 0, 24, 24, 4, {360, 180, 120, 90}},
    {"LaserJet 4/5: class 4 becomes 7", 29, 29, 7, 1, 0, 2, 1, 0, 4, {600, 300, 200, 150}},
    {"PaintJet XL: class 3", 30, 30, 10, 3, 1, 1, 1, 0, 4, {300, 150, 100, 75}},
    {"DeskJet 540 colour has one mono plane", 33, 33, 8, 1, 0, 2, 1, 0, 3, {300, 150, 75, 0}},
    {"DeskJet 540 mono has three CMY planes", 34, 34, 8, 3, 2, 2, 1, 0, 3, {300, 150, 75, 0}},
    {"Epson Stylus: ESC/P2", 36, 36, 6, 1, 0, 1, 1, 0, 3, {720, 360, 180, 0}},
    {"Color LaserJet 4500: class 4 becomes 7", 38, 38, 7, 3, 2, 2, 1, 0, 4, {600, 300, 200, 150}},
};

TEST_F(Iprinter, DescribeEachModel) {
  for (const ModelCase& c : kModels) {
    SCOPED_TRACE(c.why);
    tessar.hardcopy = HardcopyRegion{};
    iprinter(c.model);
    EXPECT_EQ(sel.PRINTERMODEL, c.stored);
    EXPECT_EQ(sel.PRINTERCHOSEN, c.stored == c.model ? 1 : 0);
    EXPECT_EQ(rp.PRCLASS, c.cls);
    EXPECT_EQ(rp.PLANES, c.planes);
    EXPECT_EQ(rp.COLOURKIND, c.kind);
    EXPECT_EQ(rp.COMPRESSDIGIT, c.digit);
    EXPECT_EQ(rp.PINS, c.pins);
    EXPECT_EQ(rp.BANDADVANCE, c.band);
    EXPECT_EQ(rp.RESCOUNT, c.count);
    EXPECT_EQ(rp.RESOLUTIONS, c.res);
  }
}

TEST_F(Iprinter, InvalidModelKeepsEarlierChoiceFlag) {
  iprinter(5);
  iprinter(27);
  EXPECT_EQ(sel.PRINTERMODEL, 28);
  EXPECT_EQ(sel.PRINTERCHOSEN, 1);
}

TEST_F(Iprinter, LaterModelKeepsEarlierBandAndSpareResolutions) {
  iprinter(19);  // 24 pins, band 29, four resolutions
  iprinter(36);  // ESC/P2: three resolutions, no band advance of its own
  EXPECT_EQ(rp.BANDADVANCE, 29);
  EXPECT_EQ(rp.RESCOUNT, 3);
  EXPECT_EQ(rp.RESOLUTIONS[3], 60);
  EXPECT_EQ(rp.PINS, 1);
}

struct SubtypeCase {
  const char* why;
  int chosen;  // HP-GL/2 sub-type chosen before, 0 none
  int model;
  int want;
};

constexpr SubtypeCase kSubtypes[] = {
    {"model 32 without a choice gives 2", 0, 32, 2},
    {"model 32 keeps an earlier choice", 4, 32, 4},
    {"model 29 gives 3", 0, 29, 3},
    {"model 38 gives 5", 0, 38, 5},
    {"model 28 gives 1", 0, 28, 1},
    {"a model without HP-GL/2 leaves the sub-type alone", 0, 5, 0},
};

TEST_F(Iprinter, DeriveHpgl2Subtype) {
  for (const SubtypeCase& c : kSubtypes) {
    SCOPED_TRACE(c.why);
    tessar.hardcopy = HardcopyRegion{};
    if (c.chosen) iprinter2(c.chosen);
    iprinter(c.model);
    EXPECT_EQ(sel.HPGL2TYPE, c.chosen ? c.chosen : c.want);
  }
}

TEST(YyPrinterModel, NamesAreBlankPaddedTo27) {
  for (int m = 2; m <= 38; ++m) {
    SCOPED_TRACE(m);
    EXPECT_EQ(yyprintermodel(m).name.size(), 27u);
    EXPECT_EQ(yyprintermodel(m).descriptor.size(), 5u);
  }
  EXPECT_EQ(yyprintermodel(28).name, "HP LaserJet III/4L         ");
  EXPECT_EQ(yyprintermodel(38).name, "HP Color LaserJet 4500/8500");
  EXPECT_EQ(yyprintermodel(27).name, std::string(27, ' '));
}

}  // namespace
