// A status-3 project made from twenty years of the USGS daily record: the status-3 fixture
// read, its daily record replaced by the gauge's flows with a rain that follows the flow, the
// separation run and the years aggregated, and one user variable. One year gets a flood and
// an extreme value of the user variable, a year that pulls the fit. Message boxes of the
// reader are the caller's to answer; tests that include this define TW_FIXTURES.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/aggregate.h"
#include "app/baseflow.h"
#include "app/modules.h"
#include "app/projectfile.h"

namespace tw::test {

inline bool usgsproject() {
  twvars.filename = (std::filesystem::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  if (!fileopen_read()) return false;
  std::ifstream in(TW_FIXTURES "/usgs-12304500-2000-2019.csv");
  std::string line;
  std::getline(in, line);
  int n = 0;
  unsigned seed = 12345;
  while (std::getline(in, line) && n < MAXDAYS) {
    DailyRecord& d = twvars.daily[static_cast<std::size_t>(n)];
    if (std::sscanf(line.c_str(), "%d-%d-%d,%f", &d.year, &d.month, &d.day, &d.flow) != 4) return false;
    d.datenum = 10000 * d.year + 100 * d.month + d.day;
    if (d.year == 2012) d.flow *= 3.0f;
    seed = seed * 1103515245u + 12345u;
    d.rain = 0.02f * d.flow + static_cast<float>((seed >> 16) % 100) / 20.0f;
    d.flowflag = FLOW_VALID;
    d.rainflag = 1;
    ++n;
  }
  if (n == 0) return false;
  twvars.ndays = n;
  twvars.startday = twvars.daily[0].day;
  twvars.startmonth = twvars.daily[0].month;
  twvars.startyear = twvars.daily[0].year;
  baseflowseparation();
  if (twvars.errorflag != 0) return false;
  dailytoannual();
  twvars.usernames[0] = "Dam storage";
  twvars.usernames[0].resize(40, ' ');
  for (int y = 0; y < twvars.numyears; ++y) {
    AnnualRecord& a = twvars.annual[static_cast<std::size_t>(y)];
    a.user[0] = 100.0f + 3.0f * static_cast<float>(y % 7);
    if (a.year == 2013) a.user[0] = 400.0f;
    a.userflag[0] = 1;
  }
  twvars.useryears[0] = twvars.numyears;
  twvars.userinclude = {1, 0, 0};
  twvars.raininclude = 1;
  regressdat.includeoutliers = 0;
  twvars.status = 3;
  return true;
}

}  // namespace tw::test
