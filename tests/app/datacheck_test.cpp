// The data check summary: its counts, its gaps and the text of its box.
#include "app/datacheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/modules.h"
#include "platform/message_box.h"

namespace {

// A record of n days, all flows valid and all rain present.
void record(int n) {
  initialise_tw_vars();
  twvars.ndays = n;
  for (int k = 0; k < n; ++k) {
    twvars.daily[k].flow = 1.0f;
    twvars.daily[k].flowflag = FLOW_VALID;
    twvars.daily[k].rainflag = 1;
  }
}

void missingflow(int first, int count) {
  for (int k = first; k < first + count; ++k) twvars.daily[k].flowflag = FLOW_MISSING;
}

std::string shown() {
  const auto& boxes = win::test::messageBoxes();
  return boxes.empty() ? std::string() : boxes.back().text;
}

class Inputdatacheck : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::clearMessageBoxes();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  }
};

TEST_F(Inputdatacheck, CompleteRecordSummary) {
  record(3650);
  inputdatacheck();
  const auto& boxes = win::test::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "File opened");
  EXPECT_EQ(boxes[0].style & win::MB_ICONMASK, win::MB_ICONASTERISK);
  EXPECT_EQ(boxes[0].text,
            "Daily flows sucessfully read for:\r\r"
            "-   10.0 years of data\r"
            "- 3650 days of data\r\r\r"
            "Missing data summary:\r\r"
            "- No missing flows.\r\r"
            "- No missing rain.\r");
}

TEST_F(Inputdatacheck, CountsAndLines) {
  struct Case {
    const char* why;
    int ndays;
    std::vector<std::pair<int, int>> flowgaps;  // first day (0-based), length
    std::vector<int> negative;                  // days with a negative flow
    bool norain;
    int missing, negatives, longest, missingrain, longestrain;
    std::vector<std::string> lines;  // lines the text must hold
  };
  const Case cases[] = {
      {"400 days are one whole year", 400, {}, {}, false, 0, 0, 0, 0, 0, {"-    1.0 years of data", "- 400 days of data"}},
      {"36 missing of 3650 is 1.0 per cent", 3650, {{100, 36}}, {}, false, 36, 0, 36, 0, 0,
       {"- 1.0% missing flows (36 days)", "- longest period of missing flows is 36 days"}},
      {"two gaps of 3 and 5: the longest is 5", 3650, {{10, 3}, {50, 5}}, {}, false, 8, 0, 5, 0, 0,
       {"- longest period of missing flows is 5 days"}},
      {"a gap that reaches the last day counts", 3650, {{10, 3}, {3643, 7}}, {}, false, 10, 0, 7, 0, 0,
       {"- longest period of missing flows is 7 days"}},
      {"no rain at all: one gap as long as the record", 3650, {}, {}, true, 0, 0, 0, 3650, 3650,
       {"- 100.0% missing rainfall (3650 days)", "- longest period of missing rainfall is 3650 days"}},
      {"negative flows without missing flows show no negative line", 3650, {}, {5, 6}, false, 0, 2, 0, 0, 0,
       {"- No missing flows."}},
      {"negative flows beside missing ones are shown", 3650, {{0, 1}}, {5, 6}, false, 1, 2, 1, 0, 0,
       {"% negative flows (2 days)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    record(c.ndays);
    for (auto [first, count] : c.flowgaps) missingflow(first, count);
    for (int k : c.negative) twvars.daily[k].flowflag = FLOW_NEGATIVE;
    if (c.norain) {
      for (int k = 0; k < c.ndays; ++k) twvars.daily[k].rainflag = 0;
    }
    inputdatacheck();
    EXPECT_EQ(twvars.missingflows, c.missing);
    EXPECT_EQ(twvars.negativeflows, c.negatives);
    EXPECT_EQ(twvars.longestflowgap, c.longest);
    EXPECT_EQ(twvars.flowgaps, static_cast<int>(c.flowgaps.size()));
    EXPECT_EQ(twvars.missingrain, c.missingrain);
    EXPECT_EQ(twvars.longestraingap, c.longestrain);
    const std::string text = shown();
    for (const std::string& line : c.lines) EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    if (c.missing == 0) {
      EXPECT_EQ(text.find("negative"), std::string::npos);
    }
  }
}

// The summary of a long record with flows and rain missing runs past 300 characters; its
// last line was lost when the text was cut.
TEST_F(Inputdatacheck, LongSummaryIsWhole) {
  record(60000);
  missingflow(0, 12345);
  for (int k = 20000; k < 60000; ++k) twvars.daily[k].flowflag = FLOW_NEGATIVE;
  for (int k = 0; k < 60000; ++k) twvars.daily[k].rainflag = 0;
  inputdatacheck();
  const std::string text = shown();
  EXPECT_GT(text.size(), 300u);
  const std::string last = "- longest period of missing rainfall is 60000 days\r";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

}  // namespace
