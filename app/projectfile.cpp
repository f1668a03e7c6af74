// app/projectfile.cpp: the ".tw" project file, its writer and its reader.
// Sections (grep "[SECTION]"): fields | writer | reader
//
// Invariants: (1) the reader reads exactly the lines the writer writes, in the same order
// and under the same status tests; (2) a save replaces the old file only once the new one
// is complete; (3) a read that fails at any point leaves twvars and regressdat as they were.
#include "app/projectfile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <sstream>
#include <string_view>

#include "app/aggregate.h"
#include "app/calendar.h"
#include "app/datacheck.h"
#include "app/modules.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/os/opsys.h"

//------------------------------------------------------------------------------
// [SECTION] Fields
// - fortranreal(), fortraninteger(), and the text helpers of the layout
namespace {

std::string_view trimright(std::string_view s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : s.substr(0, end + 1);
}

// A text right-justified in w columns, cut to its first w characters.
std::string rjust(std::string_view text, int w) {
  if (static_cast<int>(text.size()) >= w) return std::string(text.substr(0, w));
  return std::string(w - text.size(), ' ') + std::string(text);
}

}  // namespace

std::string fortranreal(float value, int w, int d) {
  if (!std::isfinite(value)) return std::string(w, '*');
  char buf[64];
  int len = std::snprintf(buf, sizeof buf, "%.*f", d, static_cast<double>(value));
  std::string s(buf, len > 0 ? len : 0);
  // Without room for it the zero before the decimal point is left out, as in 0.50 -> .50.
  if (static_cast<int>(s.size()) > w) {
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  }
  if (static_cast<int>(s.size()) > w) return std::string(w, '*');
  return rjust(s, w);
}

std::string fortraninteger(int value, int w, int m) {
  char buf[32];
  const int len = std::snprintf(buf, sizeof buf, "%.*d", m > 1 ? m : 1, value);
  if (len > w) return std::string(w, '*');
  return rjust(std::string_view(buf, len), w);
}

//------------------------------------------------------------------------------
// [SECTION] Writer
// - filesave_text(), filesave()
void filesave_text(std::string& out, int year, int month, int day, int hour, int minute) {
  const TwVars& tw = twvars;
  const RegressDat& rd = regressdat;
  const int status = tw.status;
  out.clear();
  out.reserve(200000 + static_cast<std::size_t>(tw.ndays) * 60);
  auto line = [&out](std::string_view s) {
    out += s;
    out += '\n';
  };
  auto blank = [&out] { out += '\n'; };

  const std::string rule(32, '=');
  line(rule);
  line("TarnWalker data and results file");
  line(rule);
  blank();
  line("Analysis title:   " + std::string(trimright(tw.title)));
  {
    const std::string_view monthname = (month >= 1 && month <= 12) ? trimright(param.monthnames[month - 1]) : "";
    line("Date saved:       " + fortraninteger(day, 2) + " " + std::string(monthname) + " " +
         fortraninteger(year, 4) + " " + fortraninteger(hour, 2, 2) + ":" + fortraninteger(minute, 2, 2));
  }
  line("Program version:  " + std::string(trimright(param.version)));
  line("Analysis status:  " + fortraninteger(status == 0 ? 1 : status, 1));
  blank();
  line("Regression results");
  line(std::string(18, '-'));
  blank();

  if (status >= 4) {
    line("        Variable Y/N   Coefficient   tstat   tprob");
    auto row = [&](std::string_view name, int flag, int entry) {
      line(rjust(trimright(name), 16) + fortraninteger(flag, 2) + fortranreal(rd.coeffs[entry], 16, 2) +
           fortranreal(rd.tstat[entry], 8, 3) + fortranreal(rd.tprob[entry], 8, 3));
    };
    for (int i = 0; i < 3; ++i) row(tw.usernames[i], tw.userinclude[i], 3 + i);
    row("Rain", tw.raininclude, 2);
    row("Trend", 1, 1);
    row("Coefficient", 1, 0);
    blank();
    line(rjust("Include outliers?", 20) + fortraninteger(rd.includeoutliers, 2));
    blank();
    line(rjust("numyears", 16) + fortraninteger(tw.numyears, 30));
    line(rjust("nsample", 16) + fortraninteger(rd.nsample, 30));
    line(rjust("NumUseVar", 16) + fortraninteger(rd.NumUseVar, 30));
    const std::pair<const char*, float> fits[] = {{"avest", rd.avest}, {"avobs", rd.avobs}, {"ssreg", rd.ssreg},
                                                  {"ssresid", rd.ssresid}, {"sst", rd.sst}, {"R2", rd.R2},
                                                  {"SE", rd.SE}, {"ce", rd.ce}};
    for (const auto& [label, value] : fits) line(rjust(label, 16) + fortranreal(value, 30, 3));
    blank();
    line(rjust("Mean Annual Flow (MAF):", 30) + fortranreal(rd.MAF, 16, 1) + rjust("ML/yr", 7));
    line(rjust("Mean Annual Baseflow (MABF):", 30) + fortranreal(rd.MABF, 16, 1) + rjust("ML/yr", 7));
    line(rjust("Baseflow trend:", 30) + fortranreal(rd.coeffs[1], 16, 1) + rjust("ML/yr", 7));
    line(rjust("Baseflow trend / MABF:", 30) + fortranreal(rd.trendpct, 16, 1) + "%");
    line(rjust("Prob trend is not significant:", 30) + fortranreal(100.0f * rd.tprob[1], 16, 1) + "%");
  } else {
    line("     Regression not undertaken");
  }

  blank();
  blank();
  line("Baseflow Separation");
  line(std::string(19, '-'));
  blank();
  if (status >= 3) {
    line(rjust("Digital filter parameter:", 25) + fortranreal(tw.filterparam, 5, 3));
    line(rjust("Number of passes:", 25) + fortraninteger(tw.passes, 5));
    line(rjust("Baseflow Index (BFI):", 25) + fortranreal(tw.BFI, 5, 2));
  } else {
    line("     Baseflow separation not undertaken");
  }

  blank();
  blank();
  line("Annual Data");
  line(std::string(11, '-'));
  if (status >= 2) {
    auto bracket = [](int m) {
      const std::string_view abbr = (m >= 1 && m <= 12) ? param.monthabbr[m - 1] : "   ";
      return rjust(std::string("(").append(abbr).append(")"), 7);
    };
    const int s = tw.aggstartmonth, e = tw.aggendmonth;
    blank();
    line(rjust("years of data:", 31) + fortraninteger(tw.numyears, 3));
    line(rjust("annual aggregation start month:", 31) + fortraninteger(s, 3) + bracket(s));
    line(rjust("annual aggregation end month:", 31) + fortraninteger(e, 3) + bracket(e));
    line(rjust("no months aggregated each year:", 31) + fortraninteger(e >= s ? e - s + 1 : e - s + 13, 3));
    blank();
    const int nyears = std::min(std::max(tw.numyears, 0), MAXYEARS);
    if (status >= 3) {
      line(rjust("Year", 6) + rjust("Flows", 16) + rjust("Baseflows", 16) + rjust("Rain", 16) +
           rjust(trimright(tw.usernames[0]), 16) + rjust(trimright(tw.usernames[1]), 16) +
           rjust(trimright(tw.usernames[2]), 16) + rjust("Lin.trend", 16));
      for (int y = 0; y < nyears; ++y) {
        const AnnualRecord& a = tw.annual[y];
        out += fortraninteger(a.year, 6);
        for (float v : {a.flow, a.baseflow, a.rain, a.user[0], a.user[1], a.user[2]}) out += fortranreal(v, 16, 2);
        out += fortraninteger(a.timeindex, 16);
        out += '\n';
      }
    } else {
      line("  Year           Flows            Rain");
      for (int y = 0; y < nyears; ++y) {
        const AnnualRecord& a = tw.annual[y];
        line(fortraninteger(a.year, 6) + fortranreal(a.flow, 16, 2) + fortranreal(a.rain, 16, 2));
      }
    }
  }

  blank();
  blank();
  line("Daily Data");
  line(std::string(10, '-'));
  if (status >= 2) {
    const int ndays = std::min(std::max(tw.ndays, 0), MAXDAYS);
    blank();
    line(rjust("days of data:", 18) + fortraninteger(tw.ndays, 5));
    blank();
    line(status >= 3 ? "YYYYMMDD           Flows       Baseflows            Rain"
                     : "YYYYMMDD           Flows            Rain");
    for (int k = 0; k < ndays; ++k) {
      const DailyRecord& d = tw.daily[k];
      out += fortraninteger(d.datenum, 8);
      out += fortranreal(d.flow, 16, 2);
      if (status >= 3) out += fortranreal(d.baseflow, 16, 2);
      out += fortranreal(d.rain, 16, 2);
      out += '\n';
    }
  }
}

bool filesave() {
  TwVars& tw = twvars;
  const std::string name(trimright(tw.filename));
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  get_date_time(year, month, day, hour, minute, second);
  std::string text;
  filesave_text(text, year, month, day, hour, minute);

  const int fault = filesave_failnext;
  filesave_failnext = 0;
  // The new file is written beside the old one and renamed over it only when complete,
  // so a failed save never destroys the previous file (Invariant 2).
  const std::string temp = name + ".tmp~";
  std::FILE* f = (fault == 1 || name.empty()) ? nullptr : std::fopen(temp.c_str(), "wb");
  if (f == nullptr) {
    tw.iostat = errno != 0 ? errno : 1;
    WMessageBox(0, 3, 1, "Failed to open new file on unit 3: " + name, "Problem with file");
    return false;
  }
  bool ok = fault != 2 && std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fclose(f) == 0) && ok && fault != 3;
  ok = ok && fault != 4 && std::rename(temp.c_str(), name.c_str()) == 0;
  if (!ok) {
    std::remove(temp.c_str());
    tw.iostat = 1;
    WMessageBox(0, 1, 1, "Problem with file. Data not saved properly.", "Problem");
    return false;
  }
  tw.iostat = 0;
  if (tw.status == 0) {
    WMessageBox(0, 4, 1, "New file created.", "Done");
    tw.status = 1;
  } else {
    WMessageBox(0, 4, 1, "Data saved.", "Done");
  }
  return true;
}

//------------------------------------------------------------------------------
// [SECTION] Reader
// - the line source, fixed-format field input, fileopen_read()
namespace {

// Thrown inside the reader to take its failure path.
struct ReadFailure {};

// Fixed-format input of one field: blanks are ignored, an all-blank field is 0, a real
// without a decimal point has an implied one d digits from the right.
bool readinteger(std::string_view field, int& value) {
  std::string s;
  for (char c : field)
    if (c != ' ') s += c;
  if (s.empty()) {
    value = 0;
    return true;
  }
  std::size_t i = 0;
  if (s[0] == '+' || s[0] == '-') i = 1;
  if (i == s.size()) return false;
  for (std::size_t j = i; j < s.size(); ++j)
    if (s[j] < '0' || s[j] > '9') return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (errno != 0 || v > 2147483647L || v < -2147483647L) return false;
  value = static_cast<int>(v);
  return true;
}

bool readreal(std::string_view field, int d, float& value) {
  std::string s;
  for (char c : field)
    if (c != ' ') s += c;
  if (s.empty()) {
    value = 0.0f;
    return true;
  }
  std::size_t i = 0;
  std::string mantissa;
  if (s[0] == '+' || s[0] == '-') mantissa += s[i++];
  bool point = false, digit = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') digit = true;
    else if (c == '.' && !point) point = true;
    else break;
    mantissa += c;
  }
  if (!digit) return false;
  // Exponent: a letter E or D with an optional sign, or a sign alone (1.5+3).
  long exponent = 0;
  if (i < s.size()) {
    const char c = s[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') ++i;
    else if (c != '+' && c != '-') return false;
    std::string ex;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ex += s[i++];
    if (i == s.size()) return false;
    for (; i < s.size(); ++i) {
      if (s[i] < '0' || s[i] > '9' || ex.size() > 6) return false;
      ex += s[i];
    }
    exponent = std::strtol(ex.c_str(), nullptr, 10);
  }
  // Without a decimal point the point is implied d digits from the right.
  if (!point) exponent -= d;
  const std::string full = mantissa + "e" + std::to_string(exponent);
  char* end = nullptr;
  const float v = std::strtof(full.c_str(), &end);
  if (end == nullptr || *end != '\0' || !std::isfinite(v)) return false;
  value = v;
  return true;
}

// The file's lines, with CR LF read like LF, and the diagnostic of the last line read.
class LineSource {
 public:
  explicit LineSource(std::string text) : text_(std::move(text)) {}

  // The next line; a premature end of the file fails the read.
  std::string_view next() {
    if (pos_ >= text_.size()) throw ReadFailure{};
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    std::string_view l(text_.data() + pos_, end - pos_);
    pos_ = end + 1;
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    return l;
  }
  void skip(int n = 1) {
    for (int i = 0; i < n; ++i) {
      const std::string_view l = next();
      last = std::string(l.substr(0, 1));
    }
  }
  // Columns first..last (1-based) of a line; columns past its end are blank.
  static std::string_view cols(std::string_view l, int first, int last) {
    if (static_cast<int>(l.size()) < first) return {};
    return l.substr(first - 1, last - first + 1);
  }
  int integer(std::string_view l, int first, int last) const {
    int v = 0;
    if (!readinteger(cols(l, first, last), v)) throw ReadFailure{};
    return v;
  }
  float real(std::string_view l, int first, int last, int d) const {
    float v = 0.0f;
    if (!readreal(cols(l, first, last), d, v)) throw ReadFailure{};
    return v;
  }
  // A labelled line: its label part becomes the diagnostic.
  std::string_view labelled(int labelwidth) {
    const std::string_view l = next();
    last = std::string(trimright(cols(l, 1, labelwidth)));
    return l;
  }

  std::string last;  // the diagnostic: what was last read into the line work text
  int section = 0;   // 4 once the annual rows of a separated project are reached

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

int checked(int v, int lo, int hi) {
  if (v < lo || v > hi) throw ReadFailure{};
  return v;
}

std::string asname(std::string_view columns) {
  std::string name(columns.substr(0, 40));
  name.resize(40, ' ');
  return name;
}

// Everything the reader does to twvars and regressdat, on the assumption that both were
// reset; any failure throws ReadFailure.
void readproject(LineSource& in) {
  TwVars& tw = twvars;
  RegressDat& rd = regressdat;

  in.skip();
  {
    const std::string_view l = in.next();
    in.last = std::string(LineSource::cols(l, 1, 10));
    if (LineSource::cols(l, 1, 10) != "TarnWalker") throw ReadFailure{};
  }
  in.skip(2);
  {
    const std::string_view l = in.next();
    in.last = std::string(trimright(LineSource::cols(l, 1, 18)));
    tw.title.assign(LineSource::cols(l, 19, 118));
    tw.title.resize(100, ' ');
  }
  in.skip(2);
  const int status = checked(in.integer(in.labelled(18), 19, 19), 0, 4);
  tw.status = status;
  in.skip(4);

  if (status >= 4) {
    in.skip();
    for (int i = 0; i < 3; ++i) {
      const std::string_view l = in.labelled(16);
      tw.usernames[i] = asname(LineSource::cols(l, 1, 16));
      tw.userinclude[i] = checked(in.integer(l, 17, 18), 0, 1);
      rd.coeffs[3 + i] = in.real(l, 19, 34, 2);
      rd.tstat[3 + i] = in.real(l, 35, 42, 3);
      rd.tprob[3 + i] = in.real(l, 43, 50, 3);
    }
    for (int entry = 2; entry >= 0; --entry) {
      const std::string_view l = in.labelled(16);
      // Trend and constant carry a flag that is read and not used.
      const int flag = in.integer(l, 17, 18);
      if (entry == 2) tw.raininclude = checked(flag, 0, 1);
      rd.coeffs[entry] = in.real(l, 19, 34, 2);
      rd.tstat[entry] = in.real(l, 35, 42, 3);
      rd.tprob[entry] = in.real(l, 43, 50, 3);
    }
    in.skip();
    rd.includeoutliers = checked(in.integer(in.labelled(20), 21, 22), 0, 1);
    in.skip();
    tw.numyears = checked(in.integer(in.labelled(16), 17, 46), 0, MAXYEARS);
    rd.nsample = checked(in.integer(in.labelled(16), 17, 46), 0, MAXYEARS);
    rd.NumUseVar = checked(in.integer(in.labelled(16), 17, 46), 0, 4);
    rd.ncols = rd.NumUseVar + 2;
    for (float* v : {&rd.avest, &rd.avobs, &rd.ssreg, &rd.ssresid, &rd.sst, &rd.R2, &rd.SE, &rd.ce})
      *v = in.real(in.labelled(16), 17, 46, 3);
    in.skip();
    rd.MAF = in.real(in.labelled(30), 31, 46, 1);
    rd.MABF = in.real(in.labelled(30), 31, 46, 1);
    in.skip();
    rd.trendpct = in.real(in.labelled(30), 31, 46, 1);
    in.skip();
  } else {
    in.skip();
  }

  in.skip(4);
  if (status >= 3) {
    in.skip();
    const float filter = in.real(in.labelled(25), 26, 30, 3);
    if (!(filter > 0.0f && filter < 1.0f)) throw ReadFailure{};
    tw.filterparam = filter;
    tw.passes = checked(in.integer(in.labelled(25), 26, 30), 1, 99);
    const std::string_view l = in.labelled(25);
    // An index the separation could not form is stored as asterisks; it reads as missing.
    tw.BFI = LineSource::cols(l, 26, 30) == "*****" ? MISSING : in.real(l, 26, 30, 2);
  } else {
    in.skip(2);
  }

  in.skip(4);
  if (status >= 2) {
    in.skip();
    tw.numyears = checked(in.integer(in.labelled(31), 32, 34), 0, MAXYEARS);
    tw.aggstartmonth = checked(in.integer(in.labelled(31), 32, 34), 1, 12);
    tw.aggendmonth = checked(in.integer(in.labelled(31), 32, 34), 1, 12);
    if (status >= 3) {
      in.skip(2);
      const std::string_view heads = in.next();
      in.last = std::string(heads.substr(0, 1));
      tw.usernames[0] = asname(LineSource::cols(heads, 55, 70));
      tw.usernames[1] = asname(LineSource::cols(heads, 71, 86));
      tw.usernames[2] = asname(LineSource::cols(heads, 87, 102));
      in.section = 4;
      for (int y = 0; y < tw.numyears; ++y) {
        const std::string_view l = in.next();
        AnnualRecord& a = tw.annual[y];
        a.year = in.integer(l, 1, 6);
        a.flow = in.real(l, 7, 22, 2);
        a.baseflow = in.real(l, 23, 38, 2);
        a.rain = in.real(l, 39, 54, 2);
        a.user[0] = in.real(l, 55, 70, 2);
        a.user[1] = in.real(l, 71, 86, 2);
        a.user[2] = in.real(l, 87, 102, 2);
        a.timeindex = in.integer(l, 103, 118);
      }
    } else {
      in.skip(3);
      for (int y = 0; y < tw.numyears; ++y) {
        const std::string_view l = in.next();
        AnnualRecord& a = tw.annual[y];
        a.year = in.integer(l, 1, 6);
        a.flow = in.real(l, 7, 22, 2);
        a.rain = in.real(l, 23, 38, 2);
      }
    }
  }

  in.skip(4);
  if (status >= 2) {
    in.skip();
    tw.ndays = checked(in.integer(in.labelled(18), 19, 23), 0, MAXDAYS);
    in.skip(2);
    int py = 0, pm = 0, pd = 0;
    for (int k = 0; k < tw.ndays; ++k) {
      const std::string_view l = in.next();
      DailyRecord& d = tw.daily[k];
      const int year = in.integer(l, 1, 4), month = in.integer(l, 5, 6), day = in.integer(l, 7, 8);
      // The first date may be one the start-date dialog lets through (31 April); every
      // later one must be the day after its predecessor.
      if (k == 0) {
        checked(year, 0, 9999);
        checked(month, 1, 12);
        checked(day, 1, 31);
      } else {
        nextdate(py, pm, pd);
        if (year != py || month != pm || day != pd) throw ReadFailure{};
      }
      py = year;
      pm = month;
      pd = day;
      d.year = year;
      d.month = month;
      d.day = day;
      d.flow = in.real(l, 9, 24, 2);
      if (status >= 3) {
        d.baseflow = in.real(l, 25, 40, 2);
        d.rain = in.real(l, 41, 56, 2);
      } else {
        d.rain = in.real(l, 25, 40, 2);
      }
    }
  }

  for (int k = 0; k < tw.ndays; ++k) {
    DailyRecord& d = tw.daily[k];
    d.datenum = 10000 * d.year + 100 * d.month + d.day;
    wdatetostring(d.datetext, d.year, d.month, d.day, 25, ' ');
    d.flowflag = d.flow == MISSING ? FLOW_MISSING : (d.flow < 0.0f ? FLOW_NEGATIVE : FLOW_VALID);
    d.rainflag = d.rain < 0.0f ? 0 : 1;
    d.quickflow = 0.0f;
  }
  tw.userinclude.fill(0);
  for (int y = 0; y < tw.numyears; ++y) {
    AnnualRecord& a = tw.annual[y];
    a.flowflag = a.flow >= 0.0f ? 1 : 0;
    a.rainflag = a.rain >= 0.0f ? 1 : 0;
    for (int i = 0; i < 3; ++i) a.userflag[i] = a.user[i] == MISSING ? 0 : 1;
  }
  tw.flowyears = tw.rainyears = 0;
  tw.useryears.fill(0);
  for (int y = 0; y < tw.numyears; ++y) {
    const AnnualRecord& a = tw.annual[y];
    tw.flowyears += a.flowflag;
    tw.rainyears += a.rainflag;
    for (int i = 0; i < 3; ++i) tw.useryears[i] += a.userflag[i];
  }
  if (tw.flowyears < 8) tw.flowyearsflag = 0;
  if (tw.rainyears < 8) tw.raininclude = 0;
  for (int i = 0; i < 3; ++i)
    if (tw.useryears[i] < 8) tw.userinclude[i] = 0;
  const int s = tw.aggstartmonth, e = tw.aggendmonth;
  for (int m = 1; m <= 12; ++m) {
    if (e >= s) tw.monthflags[m - 1] = (m >= s && m <= e) ? 1 : 0;
    else tw.monthflags[m - 1] = m <= e ? 1 : (m < s ? 0 : 2);
  }
}

}  // namespace

bool fileopen_read() {
  TwVars& tw = twvars;
  const std::string name(trimright(tw.filename));

  auto fail = [&tw](std::string_view diagnostic, int section) {
    tw.iostat = 1;
    std::string text = "Problem with file. Data not imported properly.\r\r";
    text += trimright(diagnostic);
    text += " L";
    text += fortraninteger(section, 2);
    WMessageBox(0, 1, 1, text, "Problem");
    return false;
  };

  std::ifstream file(name, std::ios::binary);
  if (!file) {
    WMessageBox(0, 3, 1, "Failed to open file: \r" + name, "Problem with file");
    return fail("", 0);
  }
  std::ostringstream buffer;
  buffer << file.rdbuf();
  if (file.bad()) return fail("", 0);
  LineSource in(std::move(buffer).str());

  // Read over a fresh project; the previous one comes back whole if the file fails
  // (Invariant 3).
  TwVars previous = tw;
  RegressDat previousreg = regressdat;
  initialise_tw_vars();
  initialise_regressdat();
  try {
    readproject(in);
  } catch (const ReadFailure&) {
    tw = std::move(previous);
    regressdat = std::move(previousreg);
    return fail(in.last, in.section);
  }
  tw.line.assign(in.last.substr(0, 100));
  tw.line.resize(100, ' ');
  tw.iostat = 0;

  if (tw.status <= 1) {
    WMessageBox(0, 4, 1,
                "File sucessfully opened.\rIt is a valid TarnWalker file, but does not yet contain any data.",
                "File opened");
    tw.status = 1;
  } else {
    dailytoannual();
    inputdatacheck();
  }
  return true;
}
