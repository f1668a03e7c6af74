// The separation plot and the regression plot, through the presentation-graphics calls.
#include "app/plots.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/modules.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/pgraph/decorations.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/keys.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/plots.h"
#include "toolkit/pgraph/scales.h"
#include "toolkit/pgraph/settings.h"
#include "toolkit/pgraph/ticks.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/strings.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/wmenus.h"

namespace {

std::string trimmed(const std::string& s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string padded(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

// The axis scales, ticks and graticules both plots share after their own user scale.
void scales(std::string_view xoptions, std::string_view yoptions) {
  ipgxscale(xoptions);
  ipgxticklength(1.0f);
  ipgxscaleangle(0.0f, 0.0f);
  ipgxscalepos(0.25f);
  ipgyticklength(1.0f);
  ipgyscaleangle(0.0f, 0.0f);
  ipgdecimalplaces(-1);
  ipgxgraticules(1);
  ipgygraticules(1);
  WGrTextFont({.width = 0.012f, .height = 0.035f});
  ipgyscalepos(1.5f);
  ipgyscaleleft(yoptions);
}

void title(std::string_view text) {
  WGrTextFont({.family = 102, .type = 0, .width = 0.0133f, .height = 0.04f});
  IGrColour("black");
  ipgtitlepos(0.5f);
  ipgtitle(text, "C");
}

}  // namespace

void initialiseplot() {
  plotdat.firstday = 1;
  plotdat.lastday = twvars.ndays;
  plotdat.vscale = "LIN";
}

void daylabels(int shown, int first, int last) {
  plotdat.nxlabels = 0;
  auto label = [&](int i, const std::string& text) {
    if (plotdat.nxlabels >= static_cast<int>(plotdat.xlabels.size())) return;
    plotdat.xlabels[static_cast<std::size_t>(plotdat.nxlabels)] = padded(text, 11);
    plotdat.xlabelpos[static_cast<std::size_t>(plotdat.nxlabels)] = static_cast<float>(i);
    ++plotdat.nxlabels;
  };
  for (int i = std::max(first, 1); i <= last && i <= twvars.ndays; ++i) {
    const DailyRecord& d = twvars.daily[static_cast<std::size_t>(i - 1)];
    const std::string date = d.datetext;
    const std::string year = std::to_string(d.year);
    const std::string monthyear =
        (d.month >= 1 && d.month <= 12 ? std::string(param.monthabbr[static_cast<std::size_t>(d.month - 1)]) : std::string("   ")) +
        " " + year;
    const bool january1 = d.day == 1 && d.month == 1;
    if (shown <= 10) label(i, date);
    else if (shown <= 31) { if (i % 2 == 0) label(i, date); }
    else if (shown <= 93) { if (d.day == 1 || d.day == 15) label(i, date); }
    else if (shown <= 365) { if (d.day == 1) label(i, date); }
    else if (shown <= 730) { if (d.day == 1 && d.month % 2 == 1) label(i, date); }
    else if (shown <= 2190) { if (d.day == 1 && (d.month == 1 || d.month == 7)) label(i, monthyear); }
    else if (shown <= 4380) { if (january1) label(i, year); }
    else if (shown <= 8760) { if (january1 && d.year % 2 == 0) label(i, year); }
    else if (shown <= 21900) { if (january1 && d.year % 5 == 0) label(i, year); }
    else if (shown <= 43800) { if (january1 && d.year % 10 == 0) label(i, year); }
    else if (january1 && d.year % 20 == 0) label(i, year);
  }
}

void refreshplot() {
  const int a = plotdat.firstday, b = plotdat.lastday;
  const int n = std::max(b - a + 1, 0);
  windowclear();
  igrcolourmodel(8);
  IGrColourN(223);
  const std::vector<int> nvalues = {n, n};
  ipgnewplot1(4, 2, nvalues, 0, 0);
  ipgcliprectangle("G");
  ipgunits(static_cast<float>(a), plotdat.vmin, static_cast<float>(b), plotdat.vmax);
  IPgArea(0.15f, 0.08f, 0.85f, 0.92f);
  std::string bfi(4, ' ');
  IRealToString(twvars.BFI, bfi, "(F4.2)");
  title("Interactive baseflow separation (BFI = " + trimmed(bfi) + ")");
  ipgylabelpos(0.8f);
  ipgylabelleft("Flow (ML/d)", "C9");
  IGrColour("black");
  ipgscaling("LIN", plotdat.vscale);
  ipgaxes();
  ipgxtickpos2(1);
  ipgytickpos2(1);
  igrcharjustify("C");
  daylabels(n, a, b);
  WGrTextFont({.width = 0.012f, .height = 0.035f});
  ipgxuserscale(plotdat.xlabelpos, plotdat.nxlabels);
  ipgxtext(plotdat.xlabels, plotdat.nxlabels);
  scales(" T", "NT");
  ipgcliprectangle("P");
  ipgborder();
  ipgstyle(1, {.a = 0, .b = 0, .c = 0, .colour1 = 159, .colour2 = 159});
  ipgstyle(2, {.a = 0, .b = 0, .c = 0, .colour1 = 31, .colour2 = 31});
  ipgkeyarea(1.0f, 1.0f, 0.0f, 0.0f);
  const std::vector<std::string> keys = {padded("Total Flow", 10), padded("Base Flow", 10)};
  ipgkeyall(keys, "");
  ipgmissingdata(MISSING);
  std::vector<float> work(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) work[static_cast<std::size_t>(k)] = twvars.daily[static_cast<std::size_t>(a - 1 + k)].flow;
  ipglineplot(work);
  for (int k = 0; k < n; ++k) work[static_cast<std::size_t>(k)] = twvars.daily[static_cast<std::size_t>(a - 1 + k)].baseflow;
  ipglineplot(work);
  ipgmissingdata();
}

void plotclear() {
  windowclear();
  // Item 0 names no menu item: this changes nothing and records error 1001, as it always has.
  WMenuSetState(0, 1, 0);
}

void displayplot() {
  RegressDat& rd = regressdat;
  auto& nontrend = rd.plotseries[0];
  auto& trend = rd.plotseries[1];
  auto& sampleyears = rd.plotseries[2];
  auto& recordyears = rd.plotseries[3];
  const int years = std::clamp(twvars.numyears, 0, MAXYEARS);

  // The included regressors in their packed order: rain, then user variables 1-3.
  int k = 0;
  long double sum = 0;
  for (int y = 0; y < years; ++y) {
    const AnnualRecord& ar = twvars.annual[static_cast<std::size_t>(y)];
    if (ar.usable != 1) continue;
    float value = rd.coeffs[0];
    std::size_t column = 2;
    if (twvars.raininclude == 1) value += rd.coeffs[column++] * ar.rain;
    for (std::size_t u = 0; u < 3; ++u)
      if (twvars.userinclude[u] == 1) value += rd.coeffs[column++] * ar.user[u];
    nontrend[static_cast<std::size_t>(k)] = value;
    sampleyears[static_cast<std::size_t>(k)] = static_cast<float>(ar.year);
    sum += value;
    ++k;
  }
  rd.plotmean = k > 0 ? static_cast<float>(sum / k) : 0.0f;
  for (int y = 0; y < years; ++y) {
    const AnnualRecord& ar = twvars.annual[static_cast<std::size_t>(y)];
    trend[static_cast<std::size_t>(y)] = rd.coeffs[1] * static_cast<float>(ar.timeindex) + rd.plotmean;
    recordyears[static_cast<std::size_t>(y)] = static_cast<float>(ar.year);
  }
  rd.nsample = k;

  windowclear();
  igrcolourmodel(8);
  IGrColourN(223);
  const std::vector<int> nvalues = {years, years, years};
  ipgnewplot1(6, 3, nvalues, 0, 0);
  ipgcliprectangle("G");
  float lo = 0, hi = 0;
  irealmaxmin1(rd.observed, rd.nsample, lo, hi);
  plotdat.vmax = hi + 0.1f * hi;
  plotdat.vmin = std::min(0.0f, lo);
  irealmaxmin1(rd.estimated, rd.nsample, lo, hi);
  plotdat.vmax = std::max(plotdat.vmax, hi + 0.1f * hi);
  plotdat.vmin = std::min({0.0f, plotdat.vmin, lo});
  const float first = years > 0 ? static_cast<float>(twvars.annual[0].year) : 0.0f;
  const float last = years > 0 ? static_cast<float>(twvars.annual[static_cast<std::size_t>(years - 1)].year) : 1.0f;
  ipgunits(first, plotdat.vmin, last, plotdat.vmax);
  IPgArea(0.15f, 0.08f, 0.85f, 0.92f);
  title("Regression results");

  wgrtextorientation(0);
  WGrTextFont({.family = 102, .type = 0, .width = 0.008f, .height = 0.024f});
  std::string parameter(5, ' ');
  IRealToString(twvars.filterparam, parameter, "(F5.3)");
  wgrtextstring(0.15f, 0.97f, "Baseflow parameter = " + trimmed(parameter));
  auto month = [](int m) {
    return m >= 1 && m <= 12 ? std::string(param.monthabbr[static_cast<std::size_t>(m - 1)]) : std::string("   ");
  };
  wgrtextstring(0.15f, 0.95f, "Aggregation period = " + month(twvars.aggstartmonth) + " to " + month(twvars.aggendmonth));

  wgrtextorientation(1);
  WGrTextFont({.family = 102, .type = 0, .width = 0.0133f, .height = 0.04f});
  ipgylabelpos(0.8f);
  ipgylabelleft("Flow (ML)", "C9");
  IGrColour("black");
  ipgaxes();
  ipgscaling("LIN", "LIN");
  ipgxtickpos2(1);
  ipgytickpos2(1);
  igrcharjustify("C");
  WGrTextFont({.width = 0.012f, .height = 0.035f});
  ipgxuserscale(std::span<const float>(recordyears.data(), static_cast<std::size_t>(years)), -1);
  ipgxgraticules(1);
  scales("TN", "TN");
  ipgcliprectangle("P");
  ipgborder();
  ipgstyle(1, {.a = 0, .b = 3, .c = 0, .colour1 = 0, .colour2 = 159});
  ipgmarker(1, 14);
  ipgstyle(2, {.a = 0, .b = 0, .c = 0, .colour1 = 223, .colour2 = 223});
  ipgstyle(3, {.a = 0, .b = 0, .c = 0, .colour1 = 31, .colour2 = 31});
  ipgkeyarea(1.0f, 1.0f, 0.0f, 0.0f);
  const std::vector<std::string> keys = {padded("Observed Baseflow", 18), padded("Estimated Baseflow", 18),
                                         padded("Estimated Trend", 18)};
  ipgkeyall(keys, "");
  const std::size_t ns = static_cast<std::size_t>(rd.nsample), ny = static_cast<std::size_t>(years);
  ipgxypairs(std::span<const float>(sampleyears.data(), ns), std::span<const float>(rd.observed.data(), ns), rd.nsample);
  ipgxypairs(std::span<const float>(sampleyears.data(), ns), std::span<const float>(rd.estimated.data(), ns), rd.nsample);
  ipgxypairs(std::span<const float>(recordyears.data(), ny), std::span<const float>(trend.data(), ny), years);
}
