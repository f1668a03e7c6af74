// app/datacheck.cpp: the data check summary.
#include "app/datacheck.h"

#include <string_view>

#include "app/modules.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/text/convert.h"

namespace {

std::string_view trimright(std::string_view s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : s.substr(0, end + 1);
}

std::string realtext(float value, std::string_view format) {
  std::string line(100, ' ');
  IRealToString(value, line, format);
  return std::string(trimright(line));
}

std::string inttext(int value) {
  std::string line(100, ' ');
  IntegerToString(value, line, "(I0)");
  return std::string(trimright(line));
}

std::string percent(int count, int n) {
  return realtext(static_cast<float>(count) / static_cast<float>(n) * 100.0f, "(F0.1)");
}

}  // namespace

void inputdatacheck() {
  TwVars& tw = twvars;
  tw.missingflows = tw.negativeflows = tw.curflowgap = tw.flowgaps = tw.longestflowgap = 0;
  tw.missingrain = tw.currraingap = tw.raingaps = tw.longestraingap = 0;
  const int n = tw.ndays < MAXDAYS ? tw.ndays : MAXDAYS;
  for (int k = 0; k < n; ++k) {
    const DailyRecord& d = tw.daily[k];
    if (d.flowflag == FLOW_MISSING) {
      ++tw.missingflows;
      if (tw.curflowgap++ == 0) ++tw.flowgaps;
      if (tw.curflowgap > tw.longestflowgap) tw.longestflowgap = tw.curflowgap;
    } else {
      if (d.flowflag == FLOW_NEGATIVE) ++tw.negativeflows;
      tw.curflowgap = 0;
    }
    if (d.rainflag == 0) {
      ++tw.missingrain;
      if (tw.currraingap++ == 0) ++tw.raingaps;
      if (tw.currraingap > tw.longestraingap) tw.longestraingap = tw.currraingap;
    } else {
      tw.currraingap = 0;
    }
  }
  WMessageBox(0, 4, 1, datachecksummary(), "File opened");
}

std::string datachecksummary() {
  const TwVars& tw = twvars;
  const int n = tw.ndays;
  const std::string cr = "\r";
  std::string text = "Daily flows sucessfully read for:" + cr + cr;
  // The years keep the leading blanks of their six-character field.
  std::string years(100, ' ');
  IRealToString(static_cast<float>(n / 365), years, "(F6.1)");
  text += "- " + std::string(trimright(years)) + " years of data" + cr;
  text += "- " + inttext(n) + " days of data" + cr + cr + cr;
  text += "Missing data summary:" + cr + cr;
  if (tw.missingflows == 0) {
    text += "- No missing flows.";
  } else {
    text += "- " + percent(tw.missingflows, n) + "% missing flows (" + inttext(tw.missingflows) + " days)" + cr;
    text += "- " + percent(tw.negativeflows, n) + "% negative flows (" + inttext(tw.negativeflows) + " days)" + cr;
    text += "- longest period of missing flows is " + inttext(tw.longestflowgap) + " days";
  }
  text += cr + cr;
  if (tw.missingrain == 0) {
    text += "- No missing rain.";
  } else {
    text += "- " + percent(tw.missingrain, n) + "% missing rainfall (" + inttext(tw.missingrain) + " days)" + cr;
    text += "- longest period of missing rainfall is " + inttext(tw.longestraingap) + " days";
  }
  text += cr;
  return std::string(trimright(text));
}

std::string datacheckline(int count, std::string_view caption) {
  const std::string pct = twvars.ndays > 0 ? percent(count, twvars.ndays) : realtext(0.0f, "(F0.1)");
  return "- " + pct + std::string(caption) + inttext(count) + " days)\r";
}
