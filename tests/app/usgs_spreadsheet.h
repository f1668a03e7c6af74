// The USGS record of the test data as a hydrologist's spreadsheet holds it and copies it to the
// clipboard: tab-separated flow and rain, one day a line, with a gauge's outages and faults
// put in (blank days, a negative flow, a flow far below the missing value) and a made-up rain
// column (the record has none) with a gap and a negative day.
// Tests that include this define TW_FIXTURES.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tw::test::usgssheet {

// Days blanked, made negative or made far below the missing value (0-based rows).
constexpr int kGapFrom = 100, kGapDays = 7, kSingleGap = 5000, kNegative = 200, kBelowMissing = 300;
constexpr int kRainGapFrom = 50, kRainGapDays = 3, kNegativeRain = 60;

struct Usgs {
  std::vector<std::string> flows;   // as the file writes them
};

inline const Usgs& usgs() {
  static const Usgs u = [] {
    Usgs out;
    std::ifstream in(std::filesystem::path(TW_FIXTURES) / "usgs-12304500-2000-2019.csv");
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) out.flows.push_back(line.substr(line.find(',') + 1));
    return out;
  }();
  return u;
}

inline std::string flowcell(int k) {
  if ((k >= kGapFrom && k < kGapFrom + kGapDays) || k == kSingleGap) return "";
  if (k == kNegative) return "-3.5";
  if (k == kBelowMissing) return "-1500";
  return usgs().flows[static_cast<std::size_t>(k)];
}
inline std::string raincell(int k) {
  if (k >= kRainGapFrom && k < kRainGapFrom + kRainGapDays) return "";
  if (k == kNegativeRain) return "-1";
  return std::to_string(k * 37 % 100 / 10) + "." + std::to_string(k * 37 % 10);
}

// The record as a spreadsheet copies it: tab-separated, one line per day.
inline std::string spreadsheet(bool rain, const char* eol) {
  std::string text;
  for (int k = 0; k < static_cast<int>(usgs().flows.size()); ++k) {
    text += flowcell(k);
    if (rain) text += "\t" + raincell(k);
    text += eol;
  }
  return text;
}

}  // namespace tw::test::usgssheet
