// Axis scales and text labels: options, tick positions and their axis line, number and log
// texts, narrowing of crowded labels, and the text state put back afterwards.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/pgraph/chart_recorder.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/scales.h"
#include "toolkit/pgraph/settings.h"

namespace {

class Scales : public ::testing::Test {
 protected:
  void SetUp() override {
    resetchartdevice();
    const std::array<int, 1> nv{10};
    ipgnewplot1(4, 1, nv);
    IPgArea(0.2f, 0.2f, 0.9f, 0.9f);
  }
  PlotDefinition& pd = tessar.pgraph.plot;
};

TEST_F(Scales, OptionLettersChooseTicksAndNumbers) {
  struct Case { const char* options; bool ticks, numbers; };
  const Case cases[] = {{"", true, true}, {"   ", true, true}, {"N", false, true},
                        {"IN", true, true}, {"i", true, false}, {"T", true, false},
                        {"x", false, false}};
  ipgunits(0, 0, 10, 5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    devicelog().clear();
    drawntexts().clear();
    ipgxscale(c.options);
    EXPECT_EQ(!segments().empty(), c.ticks);
    EXPECT_EQ(!drawntexts().empty(), c.numbers);
  }
}

TEST_F(Scales, LinearXScaleTicksAndNumbers) {
  ipgunits(0, 0, 10, 5);
  ipgxscale("");
  EXPECT_EQ(textsonly(), (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8",
                                                    "9", "10"}));
  const auto segs = segments();
  ASSERT_EQ(segs.size(), 11u);
  for (std::size_t i = 0; i < segs.size(); ++i) {
    float X = 0, Y = 0;
    device(yyp2x(static_cast<float>(i)), yyp2y(0), X, Y);
    EXPECT_NEAR(segs[i].x1, X, 0.01f);
    EXPECT_NEAR(segs[i].y1, Y, 0.01f);
    EXPECT_LT(segs[i].y2, segs[i].y1);   // outward: down the page
  }
  // Centred numbers below the plot, 38 % of the way to the area edge.
  float X = 0, Y = 0;
  device(yyp2x(0), 0.2f - 0.38f * 0.2f, X, Y);
  EXPECT_NEAR(drawntexts()[0].y, Y, 1.0f);
  EXPECT_EQ(drawntexts()[0].justify, 1);
}

TEST_F(Scales, TicksStandOnTheZeroLineOnlyWhenZeroIsStrictlyInside) {
  struct Case { float ymin, ymax, tickline; };
  const Case cases[] = {{-5, 5, 0}, {0, 5, 0}, {1, 5, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ymin);
    ipgunits(0, c.ymin, 10, c.ymax);
    devicelog().clear();
    drawntexts().clear();
    ipgxscale("");
    float X = 0, Y = 0, Xn = 0, Yn = 0;
    device(0, yyp2y(c.tickline), X, Y);
    ASSERT_FALSE(segments().empty());
    EXPECT_NEAR(segments()[0].y1, Y, 0.01f);
    // The numbers stay below the plot edge.
    device(0, 0.2f - 0.38f * 0.2f, Xn, Yn);
    EXPECT_NEAR(drawntexts()[0].y, Yn, 1.0f);
  }
}

TEST_F(Scales, LeftAndRightYNumbersAreJustifiedAwayFromThePlot) {
  ipgunits(0, 0, 10, 5);
  ipgyscaleleft("");
  ASSERT_FALSE(drawntexts().empty());
  EXPECT_EQ(drawntexts()[0].justify, 2);
  drawntexts().clear();
  ipgyscaleright("");
  ASSERT_FALSE(drawntexts().empty());
  EXPECT_EQ(drawntexts()[0].justify, 0);
  EXPECT_EQ(tessar.graphics.text.JUSTIFY, 1);   // put back
}

TEST_F(Scales, LogXScaleWithoutAWholeDecadeLabelsEveryTick) {
  ipgscaling("LOG", "LIN");
  ipgunits(20, 0, 80, 5);
  ipgxscale("");
  const std::vector<std::string> want{"2*10", "1", "3*10", "1", "4*10", "1", "5*10", "1",
                                      "6*10", "1", "7*10", "1", "8*10", "1"};
  EXPECT_EQ(textsonly(), want);
}

TEST_F(Scales, LogXScaleOfManyDecadesHasDecadeTicksOnly) {
  ipgscaling("LOG", "LIN");
  ipgunits(1, 0, 1e8f, 5);
  ipgxscale("T");
  EXPECT_EQ(segments().size(), 9u);
  EXPECT_TRUE(drawntexts().empty());
}

TEST_F(Scales, NumbersThatShouldBeZeroAreWrittenAsZero) {
  ipgunits(-0.3f, 0, 0.3f, 5);
  ipgxscale("N");
  const auto t = textsonly();
  EXPECT_NE(std::find(t.begin(), t.end(), "0"), t.end());
}

TEST_F(Scales, CrowdedXNumbersAreNarrowedAndTheSizeRestored) {
  const float cw = tessar.graphics.text.CW;
  tessar.graphics.text.CW = 0.2f;   // far too wide for the ticks
  ipgunits(0, 0, 10, 5);
  float during = 0;
  graphicsservices.yygapi = [](int& code) {
    if (code == DTEXT) drawntexts().push_back({"", tessar.graphics.text.CW, 0, 0});
  };
  ipgxscale("N");
  ASSERT_FALSE(drawntexts().empty());
  during = drawntexts()[0].x;
  EXPECT_LT(during, 0.2f);
  EXPECT_FLOAT_EQ(tessar.graphics.text.CW, 0.2f);
  tessar.graphics.text.CW = cw;
}

TEST_F(Scales, TextLabelsFillTheUserTickSlotsAndBlankTheRest) {
  ipgunits(0, 0, 10, 5);
  const std::array<float, 10> ticks{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  ipgxuserscale(ticks, 10);
  std::vector<std::string> texts{"a", "b", "c", "d", "e", "f", "g", "h"};
  texts.push_back(std::string(250, 'x'));
  ipgxtext(texts, 8);
  EXPECT_EQ(textsonly(), (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g", "h"}));
  EXPECT_TRUE(segments().empty());
  drawntexts().clear();
  ipgxtext(std::span<const std::string>(texts).subspan(8), 1);
  ASSERT_FALSE(drawntexts().empty());
  EXPECT_EQ(drawntexts()[0].text.size(), 200u);
}

TEST_F(Scales, TextLabelsOnALogAxisAndOnTheThirdAxis) {
  // On a log axis from 1 to 1000 the texts belong to the decade steps from the one below the
  // range: the decades 1, 10, 100 and 1000 carry texts 2 to 5.
  ipgscaling("LOG", "LIN");
  ipgunits(1, 0, 1000, 5);
  const std::vector<std::string> texts{"below", "one", "ten", "hundred", "thousand"};
  ipgxtext(texts, 5);
  EXPECT_EQ(textsonly(), (std::vector<std::string>{"one", "ten", "hundred", "thousand"}));
  // The third axis's texts go along the left Y axis of a flat chart.
  ipgscaling("LIN", "LIN");
  ipgunits(0, 0, 10, 5);
  drawntexts().clear();
  const std::vector<std::string> z{"low", "high"};
  ipgztext(z, 2);
  ASSERT_EQ(drawntexts().size(), 2u);
  float X = 0, Y = 0;
  device(yyp2x(0), 0, X, Y);
  for (const DrawnText& t : drawntexts()) EXPECT_LT(t.x, X);
  EXPECT_LT(drawntexts()[0].y, drawntexts()[1].y);
}

TEST_F(Scales, ZScaleOnACartesianChartDrawsAYScaleOnThePreviousSide) {
  ipgunits(0, 0, 10, 5);
  ipgyscaleright("");
  const auto right = drawntexts();
  drawntexts().clear();
  ipgzscale("");
  ASSERT_EQ(drawntexts().size(), right.size());
  EXPECT_FLOAT_EQ(drawntexts()[0].y, right[0].y);
}

}  // namespace
