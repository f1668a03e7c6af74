// The data model's records and their defaults, and the date and time of a save.
#include "app/modules.h"

#include <gtest/gtest.h>

// The record as the program starts with it, whatever other tests did to regressdat.
TEST(RegressDat, IncludeOutliersStartsZero) {
  const RegressDat atstart{};
  EXPECT_EQ(atstart.includeoutliers, 0);
  EXPECT_TRUE(atstart.Cov.empty());
}

TEST(InitialiseTwVars, DefaultsMatchFreshProject) {
  twvars.ndays = 12;
  twvars.passes = 7;
  twvars.status = 4;
  twvars.monthflags.fill(0);
  twvars.daily[5].flow = 3.5f;
  twvars.daily[5].flowflag = 2;
  twvars.daily[5].datetext = "5 Mar 1981 ";
  twvars.annual[3].flow = 10.0f;
  twvars.annual[3].userflag[1] = 1;
  initialise_tw_vars();

  EXPECT_EQ(twvars.ndays, 0);
  EXPECT_EQ(twvars.status, 0);
  EXPECT_EQ(twvars.passes, 3);
  EXPECT_FLOAT_EQ(twvars.filterparam, 0.925f);
  EXPECT_EQ(twvars.aggstartmonth, 1);
  EXPECT_EQ(twvars.aggendmonth, 12);
  for (int f : twvars.monthflags) EXPECT_EQ(f, 1);
  EXPECT_EQ(twvars.usernames[0], "Other data 1" + std::string(28, ' '));
  EXPECT_EQ(twvars.usernames[2].substr(0, 12), "Other data 3");
  EXPECT_EQ(twvars.usernames[2].size(), 40u);
  const DailyRecord& d = twvars.daily[5];
  EXPECT_EQ(d.flow, 0.0f);
  EXPECT_EQ(d.flowflag, 0);
  EXPECT_EQ(d.datetext, std::string(11, ' '));
  for (const AnnualRecord& a : twvars.annual) {
    EXPECT_EQ(a.flow, MISSING);
    EXPECT_EQ(a.rain, MISSING);
    EXPECT_EQ(a.quickflow, MISSING);
    EXPECT_EQ(a.baseflow, MISSING);
    EXPECT_EQ(a.user[1], MISSING);
    EXPECT_EQ(a.flowflag + a.rainflag + a.userflag[1] + a.year + a.usable + a.timeindex, 0);
  }
}

TEST(InitialiseTwVars, KeepsProjectIdentity) {
  twvars.startyear = 1981;
  twvars.title.replace(0, 5, "Creek");
  twvars.filename.replace(0, 6, "/a.tw ");
  twvars.BFI = 0.5f;
  initialise_tw_vars();
  EXPECT_EQ(twvars.startyear, 1981);
  EXPECT_EQ(twvars.title.substr(0, 5), "Creek");
  EXPECT_EQ(twvars.filename.substr(0, 5), "/a.tw");
  EXPECT_EQ(twvars.BFI, 0.5f);
}

TEST(InitialiseRegressdat, ResetsResultsAndIncludesOutliers) {
  regressdat.coeffs[2] = 4.0f;
  regressdat.R2 = 0.7f;
  regressdat.nsample = 20;
  regressdat.cook[10] = 1.0f;
  initialise_regressdat();
  EXPECT_EQ(regressdat.coeffs[2], 0.0f);
  EXPECT_EQ(regressdat.R2, 0.0f);
  EXPECT_EQ(regressdat.nsample, 0);
  EXPECT_EQ(regressdat.cook[10], 0.0f);
  EXPECT_EQ(regressdat.includeoutliers, 1);
}

TEST(GetDateTime, GivesAPlausibleLocalTime) {
  int y = 0, mo = 0, d = 0, h = -1, mi = -1, s = -1;
  get_date_time(y, mo, d, h, mi, s);
  EXPECT_GE(y, 2020);
  EXPECT_TRUE(mo >= 1 && mo <= 12);
  EXPECT_TRUE(d >= 1 && d <= 31);
  EXPECT_TRUE(h >= 0 && h <= 23);
  EXPECT_TRUE(mi >= 0 && mi <= 59);
  EXPECT_TRUE(s >= 0 && s <= 60);
}

TEST(Param, MonthTablesAreFixedLength) {
  EXPECT_EQ(param.monthdays[1], 29);
  EXPECT_EQ(param.version.size(), 32u);
  for (std::string_view n : param.monthnames) EXPECT_EQ(n.size(), 9u);
  EXPECT_EQ(param.monthabbr[8], "Sep");
}

TEST(PlotDat, TextsStartBlank) {
  EXPECT_EQ(plotdat.xlabels[99], std::string(11, ' '));
  EXPECT_EQ(plotdat.vscale, "   ");
}

TEST(GenWin, EventRecordStartsEmpty) {
  EXPECT_EQ(genwin.itype, 0);
  EXPECT_EQ(genwin.message.window, 0);
  EXPECT_EQ(genwin.message.value1, 0);
  EXPECT_EQ(genwin.wintitle.size(), 80u);
}
