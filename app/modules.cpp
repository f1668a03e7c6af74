// The application's data modules and their defaults.
#include "app/modules.h"

#include <ctime>

TwVars twvars;
RegressDat regressdat;
PlotDat plotdat;
GenWin genwin;
const Param param;

namespace {
void puttext(std::string& field, std::string_view value) {
  const std::size_t len = field.size();
  field.assign(value.substr(0, len));
  field.resize(len, ' ');
}
}  // namespace

void initialise_tw_vars() {
  TwVars& tw = twvars;
  tw.ndays = 0;
  tw.numyears = 0;
  tw.status = 0;
  tw.iostat = 0;
  tw.errorflag = 0;
  tw.useryears.fill(0);
  tw.userinclude.fill(0);
  tw.flowyears = 0;
  tw.rainyears = 0;
  tw.flowyearsflag = 0;
  tw.raininclude = 0;
  tw.missingflows = tw.negativeflows = tw.curflowgap = tw.flowgaps = tw.longestflowgap = 0;
  tw.missingrain = tw.currraingap = tw.raingaps = tw.longestraingap = 0;
  tw.section = 0;
  tw.passes = 3;

  tw.aggstartmonth = 1;
  tw.aggendmonth = 12;
  tw.monthflags.fill(1);

  for (DailyRecord& d : tw.daily) {
    d.flow = d.rain = d.quickflow = d.baseflow = 0.0f;
    d.datenum = d.day = d.month = d.year = d.dayofyear = d.flowflag = d.rainflag = 0;
    d.datetext.assign(11, ' ');
  }
  for (AnnualRecord& a : tw.annual) {
    a.flow = a.rain = a.quickflow = a.baseflow = MISSING;
    a.user.fill(MISSING);
    a.flowflag = a.rainflag = 0;
    a.userflag.fill(0);
    a.year = a.usable = a.timeindex = 0;
  }

  puttext(tw.usernames[0], "Other data 1");
  puttext(tw.usernames[1], "Other data 2");
  puttext(tw.usernames[2], "Other data 3");
  tw.filterparam = 0.925f;
}

void initialise_regressdat() {
  RegressDat& rd = regressdat;
  rd.coeffs.fill(0.0f);
  rd.tprob.fill(0.0f);
  rd.tstat.fill(0.0f);
  rd.stderrs.fill(0.0f);
  rd.avest = rd.avobs = rd.ssreg = rd.ssresid = rd.sst = 0.0f;
  rd.R2 = rd.R = rd.resvar = rd.SE = rd.cv = rd.ce = 0.0f;
  rd.MAF = rd.MABF = rd.trendpct = 0.0f;
  rd.nsample = rd.NumUseVar = rd.ncols = 0;
  rd.cook.fill(0.0f);
  rd.cookyear.fill(0.0f);
  rd.includeoutliers = 1;
}

void get_date_time(int& year, int& month, int& day, int& hour, int& minute, int& second) {
  const std::time_t now = std::time(nullptr);
  const std::tm* t = std::localtime(&now);
  if (t == nullptr) {  // clock unreadable: a plain zero date rather than garbage
    year = month = day = hour = minute = second = 0;
    return;
  }
  year = t->tm_year + 1900;
  month = t->tm_mon + 1;
  day = t->tm_mday;
  hour = t->tm_hour;
  minute = t->tm_min;
  second = t->tm_sec;
}
