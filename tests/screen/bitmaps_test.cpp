// Numbered bitmaps: slots, drawing into a bitmap as the graphics target, copies to and from the window with the copy modes, pixel data, mirrors, turns, resizing, resources and the errors.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/gdi.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/screen/bitmaps.h"
#include "toolkit/screen/targets.h"
#include "toolkit/state/tessar.h"

namespace {

using twtest::ScreenFixture;

constexpr int kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

class Bitmaps : public ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    openScreen(200, 100);
  }
  void TearDown() override {
    for (int s = 0; s < 50; ++s) {
      int r = 0;
      yybitmapdestroy(s, r);
    }
    yybitmapmode(0);
    ScreenFixture::TearDown();
  }
  // A new bitmap whose pixels are the rows given (top row first); returns its slot.
  static int make(const std::vector<std::vector<int>>& rows) {
    int number = 0;
    const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
    yybitmapcreate(number, w, h, kWhite);
    std::vector<int> data;
    for (const auto& r : rows) data.insert(data.end(), r.begin(), r.end());
    int result = -1;
    yybitmapgetdata(number - 1, data, 0, 0, w - 1, h - 1, result);
    EXPECT_EQ(result, 0);
    return number - 1;
  }
  static std::vector<std::vector<int>> read(int slot) {
    int w = 0, h = 0, result = -1;
    yybitmapsize(slot, w, h);
    std::vector<int> data(static_cast<std::size_t>(w * h));
    yybitmapputdata(slot, data, 0, 0, w - 1, h - 1, result);
    std::vector<std::vector<int>> rows;
    for (int y = 0; y < h; ++y) rows.emplace_back(data.begin() + y * w, data.begin() + (y + 1) * w);
    return rows;
  }
};

TEST_F(Bitmaps, FiftySlotsThenNone) {
  for (int k = 1; k <= 50; ++k) {
    int number = 0;
    yybitmapcreate(number, 4, 4, kWhite);
    EXPECT_EQ(number, k);
  }
  int number = -1;
  yybitmapcreate(number, 4, 4, kWhite);
  EXPECT_EQ(number, 0) << "the 51st has no slot";
  int result = -1;
  yybitmapdestroy(7, result);
  EXPECT_EQ(result, 0);
  yybitmapcreate(number, 4, 4, kWhite);
  EXPECT_EQ(number, 8) << "a freed slot is taken again";
}

TEST_F(Bitmaps, PixelDataRoundTripsAndFillColour) {
  int number = 0;
  yybitmapcreate(number, 3, 2, kGreen);
  EXPECT_EQ(read(number - 1), (std::vector<std::vector<int>>{{kGreen, kGreen, kGreen}, {kGreen, kGreen, kGreen}}));
  const int s = make({{kRed, kGreen, kBlue}, {0x123456, kWhite, 0}});
  EXPECT_EQ(read(s), (std::vector<std::vector<int>>{{kRed, kGreen, kBlue}, {0x123456, kWhite, 0}}));
}

TEST_F(Bitmaps, MirrorsAndTurns) {
  const std::vector<std::vector<int>> start = {{kRed, kGreen, kWhite}, {kBlue, 0, kWhite}};
  struct Case {
    const char* why;
    int mirror, angle;   // mirror -1: none; angle 0: none
    std::vector<std::vector<int>> want;
  };
  const Case cases[] = {
      {"rows exchanged", 1, 0, {{kBlue, 0, kWhite}, {kRed, kGreen, kWhite}}},
      {"columns exchanged", 0, 0, {{kWhite, kGreen, kRed}, {kWhite, 0, kBlue}}},
      {"quarter turn: top left goes to bottom left", -1, 90, {{kWhite, kWhite}, {kGreen, 0}, {kRed, kBlue}}},
      {"half turn", -1, 180, {{kWhite, 0, kBlue}, {kWhite, kGreen, kRed}}},
      {"three quarters", -1, 270, {{kBlue, kRed}, {0, kGreen}, {kWhite, kWhite}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const int s = make(start);
    int viewer = -1, result = -1;
    if (c.mirror >= 0) yybitmapmirror(s, c.mirror, viewer, result);
    else yybitmaprotate(s, c.angle, viewer, result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(viewer, 0);
    EXPECT_EQ(read(s), c.want);
    yybitmapdestroy(s, result);
  }
  int number = 0, viewer = 0, result = -1;
  yybitmapcreate(number, 10, 4, kWhite);
  yybitmaprotate(number - 1, 90, viewer, result);
  int w = 0, h = 0;
  yybitmapsize(number - 1, w, h);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 10);
}

TEST_F(Bitmaps, ResizeStretches) {
  const int s = make({{kRed, kBlue}});
  int viewer = -1, result = -1;
  yybitmapresize(s, 4, 2, viewer, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(read(s), (std::vector<std::vector<int>>{{kRed, kRed, kBlue, kBlue}, {kRed, kRed, kBlue, kBlue}}));
}

// Drawing into a bitmap through the graphics layer, then copying it to the window and back.
TEST_F(Bitmaps, DrawnAsTheTargetAndCopiedToTheWindow) {
  int number = 0;
  yybitmapcreate(number, 20, 10, kWhite);
  IGrSelect(2, number);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(tessar.graphics.target.WIDTH, 20);
  EXPECT_EQ(tessar.graphics.target.HEIGHT, 10);
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 20, 10);
  igrcolourmodel(24);
  IGrColourN(kRed);
  igrfillpattern(4, 0, 0);
  IGrRectangle(0, 0, 10, 10);
  IGrSelect(1, 0);
  const auto rows = read(number - 1);
  EXPECT_EQ(rows[5][2], kRed) << "the left half was filled";
  EXPECT_EQ(rows[5][15], kWhite);

  int result = -1;
  yybitmapput(number - 1, 0, 100, 50, 20, 10, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(px(102, 55), win::RGB(255, 0, 0));
  EXPECT_EQ(px(115, 55), win::RGB(255, 255, 255));
  yybitmapput(number - 1, 1, 0, 0, 40, 20, result);
  EXPECT_EQ(px(19, 10), win::RGB(255, 0, 0)) << "stretched twice as large";
  EXPECT_EQ(px(21, 10), win::RGB(255, 255, 255));

  // XOR of the same picture clears it; a part copied back from the window restores it.
  int other = 0;
  yybitmapcreate(other, 20, 10, kWhite);
  yybitmapget(other - 1, 100, 50, 20, 10, result);
  EXPECT_EQ(read(other - 1)[5][2], kRed);
  yybitmapmode(3);
  yybitmapput(other - 1, 0, 100, 50, 20, 10, result);
  EXPECT_EQ(px(102, 55), win::RGB(0, 0, 0));
  yybitmapmode(0);
  yybitmappart(number - 1, 0, 0, 100, 50, 5, 5, 1, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(px(102, 52), win::RGB(255, 0, 0));
}

TEST_F(Bitmaps, ResourcesAndErrors) {
  int w = 0, h = 0;
  yybitmapresourceinfo(30101, w, h);
  EXPECT_EQ(w, 208);
  EXPECT_EQ(h, 16);
  yybitmapresourceinfo(12345, w, h);
  EXPECT_EQ(w, 0);
  int number = 0, result = -1;
  yybitmapcreate(number, 16, 16, 0);
  yybitmapgetresource(number - 1, 30101, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(read(number - 1)[0][0], 0xC0C0C0);
  yybitmapgetresource(number - 1, 12345, result);
  EXPECT_EQ(result, 1066);

  std::vector<int> data(4);
  int viewer = 0;
  for (int slot : {-1, 30, 50}) {
    SCOPED_TRACE(slot);
    const std::vector<std::function<void(int&)>> calls = {
        [&](int& r) { yybitmapdestroy(slot, r); },
        [&](int& r) { yybitmapget(slot, 0, 0, 2, 2, r); },
        [&](int& r) { yybitmapput(slot, 0, 0, 0, 2, 2, r); },
        [&](int& r) { yybitmappart(slot, 0, 0, 0, 0, 2, 2, 1, r); },
        [&](int& r) { yybitmapgetdata(slot, data, 0, 0, 1, 1, r); },
        [&](int& r) { yybitmapputdata(slot, data, 0, 0, 1, 1, r); },
        [&](int& r) { yybitmapmirror(slot, 1, viewer, r); },
        [&](int& r) { yybitmapresize(slot, 3, 3, viewer, r); },
        [&](int& r) { yybitmaprotate(slot, 90, viewer, r); },
    };
    for (const auto& call : calls) {
      int r = 0;
      call(r);
      EXPECT_EQ(r, 1021);
    }
  }
  IGrSelect(2, 31);
  EXPECT_EQ(tessar.error.LASTERROR, 1019) << "no bitmap 31 to draw into";
  EXPECT_EQ(tessar.graphics.target.TARGETTYPE, 1);
}

}  // namespace
