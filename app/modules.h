#pragma once
// The application's data modules: five static records that live for the whole run and
// that every application routine reads and writes directly (no routine takes the data as
// an argument). Texts are fixed-length, blank-padded std::strings whose size() is the
// field length; 1-based arrays of the design are 0-based here (element k is [k-1]).
//
// Missing value: MISSING (-999.0) marks every absent daily or annual value. A daily flow is
// missing when it is MISSING or below (stored as MISSING); a daily rain when it is negative.
//
// Analysis status (twvars.status):
//   0 nothing, no project file yet       1 a project file without daily data
//   2 daily data present                 3 baseflow separated
//   4 trend regression done
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/state/core_state.h"

inline constexpr float MISSING = -999.0f;
inline constexpr int MAXDAYS = 60000;   // daily records, about 164 years
inline constexpr int MAXYEARS = 165;    // annual records

// Daily flow flags (DailyRecord::flowflag).
inline constexpr int FLOW_MISSING = 0;   // flow -999.0 (or below, stored as -999.0)
inline constexpr int FLOW_NEGATIVE = 1;  // below 0.0 and not -999.0
inline constexpr int FLOW_VALID = 2;     // 0.0 or more

// A daily flow as the record keeps it, from entry and from the project file alike: a value at
// or below MISSING is a missing day, stored as MISSING exactly, so that the entry's search for
// the last flow, the flags, the data check and the saved file all count it the same way.
inline void storeflow(float value, float& flow, int& flag) {
  if (value <= MISSING) {
    flow = MISSING;
    flag = FLOW_MISSING;
  } else {
    flow = value;
    flag = value < 0.0f ? FLOW_NEGATIVE : FLOW_VALID;
  }
}

// One day of the record.
struct DailyRecord {
  float flow = 0.0f;       // ML/d; MISSING when absent
  float rain = 0.0f;       // mm/d; any negative value is absent
  float quickflow = 0.0f;  // of the last separation; MISSING where flow is missing, 0 where negative
  float baseflow = 0.0f;   // likewise
  int datenum = 0;         // 10000 x year + 100 x month + day
  int day = 0;
  int month = 0;
  int year = 0;
  int dayofyear = 0;       // 1 January = 1; set by daily entry only, read by no analysis
  int flowflag = 0;        // FLOW_MISSING, FLOW_NEGATIVE or FLOW_VALID
  int rainflag = 0;        // 1 when rain is 0.0 or more, else 0
  std::string datetext = std::string(11, ' ');  // "5 Mar 1981" style label
};

// One aggregation year.
struct AnnualRecord {
  float flow = 0.0f;                 // ML; MISSING when incomplete
  float rain = 0.0f;                 // mm; MISSING when incomplete
  std::array<float, 3> user{};       // user variables 1..3; MISSING when absent
  float quickflow = 0.0f;            // ML; MISSING when incomplete
  float baseflow = 0.0f;             // ML; MISSING when incomplete
  int flowflag = 0;                  // 1 when the year's flow is complete
  int rainflag = 0;                  // 1 when the year's rain is complete
  std::array<int, 3> userflag{};     // 1 when user value 1..3 is present
  int year = 0;                      // label: calendar year in which the aggregation year ends
  int usable = 0;                    // 1 when the year takes part in the regression
  int timeindex = 0;                 // position 1..165, the regression's time variable
};

// The project: dates, counters, options, names, daily and annual records.
// Started all 0 (texts blank) at program start; initialise_tw_vars sets the defaults.
struct TwVars {
  int startday = 0, startmonth = 0, startyear = 0;  // date of daily record 1
  int ndays = 0;                                    // daily records in use, 0..60000
  int numyears = 0;                                 // annual records in use, 0..165
  // Work integers of the application routines; they carry nothing between operations.
  int loopi = 0, loopj = 0, loopk = 0;
  int lastflowrow = 0;  // daily entry: last grid row holding a flow
  int stepyear = 0;     // year while dates are stepped
  int section = 0;      // section marker of the project-file reader
  int passes = 0;       // filter passes of the separation (default 3)
  int status = 0;       // analysis status 0..4 (see the top of this file)
  int iostat = 0;       // status of the last project-file open, read or write (0 success)
  int errorflag = 0;    // last work-array allocation or solve: 0 success, else failure
  std::array<int, 3> useryears{};    // annual records with user value 1..3 present
  std::array<int, 3> userinclude{};  // 1 when user variable 1..3 takes part in the regression
  int flowyears = 0;      // annual records whose flow is complete
  int rainyears = 0;      // annual records whose rain is complete
  int flowyearsflag = 0;  // 1 when flowyears >= 8
  int raininclude = 0;    // 1 when rain takes part in the regression
  // Data-check counters.
  int missingflows = 0;     // days with flow flag 0
  int negativeflows = 0;    // days with flow flag 1
  int curflowgap = 0;       // work: run of missing flows being counted
  int flowgaps = 0;         // runs of consecutive missing flows
  int longestflowgap = 0;   // days in the longest run of missing flows
  int missingrain = 0;      // days with rain flag 0
  int currraingap = 0;      // work: run of missing rain being counted
  int raingaps = 0;         // runs of consecutive missing rain
  int longestraingap = 0;   // days in the longest run of missing rain
  int aggstartmonth = 0, aggendmonth = 0;  // aggregation period, months 1..12
  // Month flag of January..December: 0 outside the aggregation period; 1 inside, in the
  // aggregation year ending in the same calendar year; 2 inside, in the one ending next year.
  std::array<int, 12> monthflags{};
  int chosenstartmonth = 0, chosenendmonth = 0;  // work of the aggregation dialog
  int dotpos = 0, backslashpos = 0;              // work of the file commands (0 absent)
  int fileexists = 0;                            // work: 1 when the file named last exists
  float filterparam = 0.0f;  // the recursive filter's parameter (default 0.925), as the
                             // project file keeps it (filterparam_asstored)
  float BFI = 0.0f;          // Baseflow Index of the last separation; MISSING when undefined
  float cellvalue = 0.0f;    // work: last grid value read during daily entry
  std::string message = std::string(300, ' ');   // work: data-check and review messages
  std::string line = std::string(100, ' ');      // work: line last read from a project file
  std::string title = std::string(100, ' ');     // analysis title
  std::string filename = std::string(500, ' ');  // full path of the project file; blank none
  std::string fileext = std::string(500, ' ');   // work: part after the last ".", lower case
  std::string filebase = std::string(500, ' ');  // work: part between last "\" and last "."
  std::string filedir = std::string(500, ' ');   // work: part up to and including last "\"
  std::array<std::string, 3> usernames{std::string(40, ' '), std::string(40, ' '),
                                       std::string(40, ' ')};
  std::string datelabel = std::string(11, ' ');  // work: date text of the row being labelled
  std::vector<DailyRecord> daily = std::vector<DailyRecord>(MAXDAYS);
  std::array<AnnualRecord, MAXYEARS> annual{};
};

// Results of the trend regression. The six-entry arrays hold one entry per model column:
// [0] intercept, [1] trend, then the included variables packed in the order rain, user
// variable 1, 2, 3. All 0 at program start (includeoutliers too).
struct RegressDat {
  std::vector<float> Cov;  // inverse of X'X, ncols x ncols, element (i,j) at [(i-1)*ncols+(j-1)]
  std::array<float, 6> coeffs{};   // entries beyond ncols 0
  std::array<float, 6> tprob{};
  std::array<float, 6> tstat{};
  std::array<float, 6> stderrs{};  // standard error of each coefficient
  std::array<float, MAXYEARS> observed{};   // annual baseflow of each usable year, sample order
  std::array<float, MAXYEARS> estimated{};  // fitted baseflow, sample order
  // Regression plot series: [0] non-trend estimate, [1] trend line, [2] sample years,
  // [3] record years.
  std::array<std::array<float, MAXYEARS>, 4> plotseries{};
  float avest = 0.0f;
  float avobs = 0.0f;
  float ssreg = 0.0f;
  float ssresid = 0.0f;
  float sst = 0.0f;
  float plotmean = 0.0f;  // mean of the non-trend estimate
  float R2 = 0.0f;
  float R = 0.0f;
  float resvar = 0.0f;    // residual sum of squares over (nsample - ncols)
  float SE = 0.0f;
  float cv = 0.0f;        // coefficient of variation, 100 x SE / avobs
  float ce = 0.0f;        // coefficient of efficiency
  float MAF = 0.0f;
  float MABF = 0.0f;
  float trendpct = 0.0f;  // trend per MABF, 100 x trend coefficient / MABF
  std::array<float, 6> fitwork{};
  std::array<float, MAXYEARS> cook{};         // Cook's distance of each sample
  std::array<float, MAXYEARS> cookyear{};     // the same at each usable year's position
  std::array<float, MAXYEARS> stdres{};       // standardized residual of each sample
  std::array<float, MAXYEARS> stdresyear{};   // the same by year
  std::array<float, 3> lag1{};  // lag-1 correlation, upper and lower acceptance limit
  int nsample = 0;
  int NumUseVar = 0;
  int ncols = 0;            // NumUseVar + 2
  int includeoutliers = 0;  // 1: outlier years stay in the fit
};

inline std::array<std::string, 100> blanklabels() {
  std::array<std::string, 100> labels;
  labels.fill(std::string(11, ' '));
  return labels;
}

// State of the separation plot.
struct PlotDat {
  std::array<std::string, 100> xlabels = blanklabels();  // x-axis date labels, text(11)
  std::string vscale = std::string(3, ' ');   // "LIN" or "LOG"
  std::array<float, 100> xlabelpos{};         // in days
  float vmin = 0.0f, vmax = 0.0f;             // shown vertical range
  float datamin = 0.0f, datamax = 0.0f;
  float vrange = 0.0f;                        // work
  int nxlabels = 0;
  int firstday = 0, lastday = 0;              // record numbers 1..ndays
  int shownwidth = 0;                         // work: lastday - firstday
};

// The last event and the main window's settings. Every application loop hands itype
// and message to wmessage and tests the type there.
struct GenWin {
  MessageRecord message;             // the event record wmessage fills
  int flags = 0;                     // main window: flags handed to WindowOpen
  int x = 0, y = 0;                  // horizontal and vertical position
  int width = 0, height = 0;
  int menuid = 0;
  std::string wintitle = std::string(80, ' ');
  int itype = 0;                     // event type that wmessage returns
};

// Compiled-in constants.
struct Param {
  std::string_view version = "Version 1.0, 27th June 2007     ";  // text(32)
  // February 29: nextdate applies the leap-year rule itself.
  std::array<int, 12> monthdays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::array<std::string_view, 12> monthabbr{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string_view, 12> monthnames{"January  ", "February ", "March    ",
                                              "April    ", "May      ", "June     ",
                                              "July     ", "August   ", "September",
                                              "October  ", "November ", "December "};
};

extern TwVars twvars;
extern RegressDat regressdat;
extern PlotDat plotdat;
extern GenWin genwin;
extern const Param param;

// Resets twvars to the defaults of a fresh project (start date, title, file name, BFI and
// the texts are kept).
void initialise_tw_vars();
// Resets the regression results (includeoutliers becomes 1).
void initialise_regressdat();
// Current local date and time from the system clock.
void get_date_time(int& year, int& month, int& day, int& hour, int& minute, int& second);
