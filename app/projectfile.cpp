// app/projectfile.cpp: the ".tw" project file, its layout, its writer and its reader.
// Sections (grep "[SECTION]"): layout | writer | reader
//
// Invariants: (1) the layout is described once, in the layout table; the writer and the
// reader walk the same table, so the reader reads exactly the lines the writer writes, in
// the same order and under the same status tests; (2) a save replaces the old file only
// once the new one is complete and on the disk; (3) a read that fails at any point leaves
// twvars and regressdat as they were; (4) every file the writer writes reads back: a real
// too wide for its fixed form is written in an exponent form, and a field of asterisks
// reads as undefined.
#include "app/projectfile.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/aggregate.h"
#include "app/calendar.h"
#include "app/datacheck.h"
#include "app/modules.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/os/opsys.h"
#include "toolkit/text/convert.h"

//------------------------------------------------------------------------------
// [SECTION] Layout
// - the field and line records, the layout table, the text helpers
namespace {

// The offending line as a message box can show it: a binary file's line is raw bytes, control
// characters and all, and may be the whole file. Each run of bytes that are no character is
// shown as one "?", and the line is cut to what a box line holds.
std::string printable(std::string_view line) {
  constexpr std::size_t kMost = 100;
  std::string out;
  bool gap = false;
  for (const char ch : line) {
    const auto c = static_cast<unsigned char>(ch);
    const bool shown = c >= 32 && c != 127 && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
    if (!shown) {
      if (!gap) out += '?';
      gap = true;
      continue;
    }
    gap = false;
    out += ch;
  }
  if (out.size() > kMost) out = out.substr(0, kMost) + "...";
  return out;
}

std::string_view trimright(std::string_view s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : s.substr(0, end + 1);
}

// A text right-justified in w columns and cut to its first w characters; w 0 is as wide
// as the text.
void appendjustified(std::string& out, std::string_view text, int w) {
  if (w == 0) {
    out += text;
  } else if (static_cast<int>(text.size()) >= w) {
    out += text.substr(0, static_cast<std::size_t>(w));
  } else {
    out.append(static_cast<std::size_t>(w) - text.size(), ' ');
    out += text;
  }
}

// The state of one walk over the layout: the analysis status that selects the lines, the
// row of a repeated line, and the date of the save for the header.
struct Walk {
  int status = 0;
  int row = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

enum class Kind {
  Literal,  // a fixed text right-justified in its width (0: as wide as the text)
  Text,     // a text of the project without trailing blanks, right-justified and cut
  Integer,  // Iw or Iw.m
  Real,     // Fw.d; too wide for it, the exponent form of the same width
  Date,     // a daily row's date number I8, read back as year I4, month I2 and day I2
};

// What a field of asterisks reads as.
enum class Undefined {
  Missing,  // the missing value -999.0
  Zero,     // 0: flags, counts and labels
  Keep,     // the value of the reset project: the default of a setting
  Rows,     // a row count: the rows that follow, counted to the end of their section
  Refuse,   // nothing can stand for it: the read fails
};

using Getter = double (*)(const Walk&);
using Setter = void (*)(Walk&, double);
using TextGetter = std::string_view (*)(const Walk&);
using TextSetter = void (*)(Walk&, std::string_view);
using Check = bool (*)(double);

struct Field {
  Kind kind = Kind::Literal;
  std::string_view literal;     // Literal
  int width = 0;                // Literal and Text: the columns written
  FieldFormat format;           // Integer, Real, Date
  Getter get = nullptr;
  Setter set = nullptr;         // nullptr: a number read is checked and discarded
  TextGetter gettext = nullptr;
  TextSetter settext = nullptr;
  int readwidth = 0;            // Text: the columns read back (0: none)
  bool verify = false;          // Literal: the reader insists on this text
  Check valid = nullptr;        // a number outside fails the read
  Undefined undefined = Undefined::Missing;
  int first = 0;                // first column, 1-based; set when the table is built
};

enum class Repeat { Once, AnnualRows, DailyRows };

constexpr int kAnyStatus = 1 << 30;

struct Line {
  int minstatus = 0, maxstatus = kAnyStatus;  // written and read when the status is inside
  std::vector<Field> fields;
  bool read = false;   // false: the reader skips the line
  int label = -1;      // diagnostic of a read line: -1 its first character, 0 none, else
                       // the line's first `label` columns
  Repeat repeat = Repeat::Once;
  int section = 0;     // section marker of the reader's diagnostic from this line on
};

FieldFormat format(std::string_view descriptor) {
  FieldFormat f;
  parsefieldformat(descriptor, f);
  return f;
}

Field lit(std::string_view text, int width = 0) {
  Field f;
  f.kind = Kind::Literal;
  f.literal = text;
  f.width = width;
  return f;
}

Field tag(std::string_view text) {
  Field f = lit(text);
  f.verify = true;
  return f;
}

Field text(TextGetter get, int width, TextSetter set = nullptr, int readwidth = 0) {
  Field f;
  f.kind = Kind::Text;
  f.gettext = get;
  f.settext = set;
  f.width = width;
  f.readwidth = readwidth;
  return f;
}

Field integer(std::string_view descriptor, Getter get, Setter set = nullptr, Check valid = nullptr,
              Undefined undefined = Undefined::Zero) {
  Field f;
  f.kind = Kind::Integer;
  f.format = format(descriptor);
  f.get = get;
  f.set = set;
  f.valid = valid;
  f.undefined = undefined;
  return f;
}

Field real(std::string_view descriptor, Getter get, Setter set = nullptr, Check valid = nullptr,
           Undefined undefined = Undefined::Missing) {
  Field f = integer(descriptor, get, set, valid, undefined);
  f.kind = Kind::Real;
  return f;
}

Field date() {
  Field f;
  f.kind = Kind::Date;
  f.format = format("I8");
  f.get = [](const Walk& w) { return double(twvars.daily[w.row].datenum); };
  return f;
}

// Significant digits of a real written in exponent form: as many as tell a float apart.
constexpr int kRealDigits = 9;

// A real as a field of the given form writes it and reads it back.
float asstored(float value, std::string_view descriptor) {
  const FieldFormat f = format(descriptor);
  std::string text;
  appendfittedreal(text, value, f, kRealDigits);
  float stored = MISSING;
  if (text.find('*') == std::string::npos) readfield(text, f, stored);
  return stored;
}

template <int lo, int hi>
bool within(double v) {
  return v >= lo && v <= hi;
}

// Lines of the file. The helpers take the status range last, as the layout's sections do.
Line literal(std::string_view text, int minstatus = 0, int maxstatus = kAnyStatus) {
  Line l;
  l.minstatus = minstatus;
  l.maxstatus = maxstatus;
  if (!text.empty()) l.fields.push_back(lit(text));
  return l;
}

Line fields(int label, std::vector<Field> f, int minstatus = 0, int maxstatus = kAnyStatus) {
  Line l;
  l.minstatus = minstatus;
  l.maxstatus = maxstatus;
  l.fields = std::move(f);
  l.read = true;
  l.label = label;
  return l;
}

// A line the writer writes and the reader skips.
Line written(std::vector<Field> f, int minstatus = 0, int maxstatus = kAnyStatus) {
  Line l = fields(-1, std::move(f), minstatus, maxstatus);
  l.read = false;
  return l;
}

std::string_view username(int i) { return twvars.usernames[static_cast<std::size_t>(i)]; }

void setusername(int i, std::string_view columns) {
  std::string name(columns.substr(0, 40));
  name.resize(40, ' ');
  twvars.usernames[static_cast<std::size_t>(i)] = std::move(name);
}

std::string_view bracketedmonth(int m) {
  static constexpr std::array<std::string_view, 13> kBracketed = {
      "(   )", "(Jan)", "(Feb)", "(Mar)", "(Apr)", "(May)", "(Jun)",
      "(Jul)", "(Aug)", "(Sep)", "(Oct)", "(Nov)", "(Dec)"};
  return kBracketed[(m >= 1 && m <= 12) ? static_cast<std::size_t>(m) : 0];
}

// One row of the regression table: a variable's name (a user variable's own or a fixed
// one), its include flag, and its coefficient, t statistic and probability entries.
template <int entry>
std::vector<Field> regressionrow(Field name, Field flag) {
  return {name, flag,
          real("F16.2", [](const Walk&) { return double(regressdat.coeffs[entry]); },
               [](Walk&, double v) { regressdat.coeffs[entry] = float(v); }),
          real("F8.3", [](const Walk&) { return double(regressdat.tstat[entry]); },
               [](Walk&, double v) { regressdat.tstat[entry] = float(v); }),
          real("F8.3", [](const Walk&) { return double(regressdat.tprob[entry]); },
               [](Walk&, double v) { regressdat.tprob[entry] = float(v); })};
}

// A user variable's name: written without trailing blanks, right-justified in 16 columns;
// read back as its 16 columns stand.
template <int i>
Field usernamefield() {
  return text([](const Walk&) { return username(i); }, 16, [](Walk&, std::string_view c) { setusername(i, c); }, 16);
}

template <int i>
std::vector<Field> userrow() {
  return regressionrow<3 + i>(
      usernamefield<i>(),
      integer("I2", [](const Walk&) { return double(twvars.userinclude[i]); },
              [](Walk&, double v) { twvars.userinclude[i] = int(v); }, within<0, 1>));
}

// A regression figure of its own line: its label in 16, the value F30.3.
template <float RegressDat::*member>
Line figure(std::string_view label) {
  return fields(16, {lit(label, 16), real("F30.3", [](const Walk&) { return double(regressdat.*member); },
                                          [](Walk&, double v) { regressdat.*member = float(v); })},
                4);
}

template <float RegressDat::*member>
Line summary(std::string_view label, std::string_view unit, int unitwidth) {
  return fields(30, {lit(label, 30), real("F16.1", [](const Walk&) { return double(regressdat.*member); },
                                          [](Walk&, double v) { regressdat.*member = float(v); }),
                     lit(unit, unitwidth)},
                4);
}

template <int i>
Field annualuser() {
  return real("F16.2", [](const Walk& w) { return double(twvars.annual[w.row].user[i]); },
              [](Walk& w, double v) { twvars.annual[w.row].user[i] = float(v); });
}

Field annualyear() {
  return integer("I6", [](const Walk& w) { return double(twvars.annual[w.row].year); },
                 [](Walk& w, double v) { twvars.annual[w.row].year = int(v); });
}

Field annualflow() {
  return real("F16.2", [](const Walk& w) { return double(twvars.annual[w.row].flow); },
              [](Walk& w, double v) { twvars.annual[w.row].flow = float(v); });
}

Field annualrain() {
  return real("F16.2", [](const Walk& w) { return double(twvars.annual[w.row].rain); },
              [](Walk& w, double v) { twvars.annual[w.row].rain = float(v); });
}

Field dailyflow() {
  return real("F16.2", [](const Walk& w) { return double(twvars.daily[w.row].flow); },
              [](Walk& w, double v) { twvars.daily[w.row].flow = float(v); });
}

Field dailyrain() {
  return real("F16.2", [](const Walk& w) { return double(twvars.daily[w.row].rain); },
              [](Walk& w, double v) { twvars.daily[w.row].rain = float(v); });
}

Line rows(Repeat repeat, std::vector<Field> f, int minstatus, int maxstatus, int section = 0) {
  Line l = fields(0, std::move(f), minstatus, maxstatus);
  l.repeat = repeat;
  l.section = section;
  return l;
}

// The whole file, line by line. Status ranges: "at 4 or more" is {4, any}, "below 4" is
// {0, 3}.
std::vector<Line> buildlayout() {
  const std::string_view rule = "================================";
  std::vector<Line> t;
  // Header.
  t.push_back(literal(rule));
  t.push_back(fields(10, {tag("TarnWalker"), lit(" data and results file")}));
  t.push_back(literal(rule));
  t.push_back(literal(""));
  t.push_back(fields(18, {lit("Analysis title:   "),
                          text([](const Walk&) { return std::string_view(twvars.title); }, 0,
                               [](Walk&, std::string_view c) {
                                 twvars.title.assign(c.substr(0, 100));
                                 twvars.title.resize(100, ' ');
                               },
                               100)}));
  t.push_back(written({lit("Date saved:       "), integer("I2", [](const Walk& w) { return double(w.day); }),
                       lit(" "),
                       text([](const Walk& w) {
                              return (w.month >= 1 && w.month <= 12) ? param.monthnames[w.month - 1]
                                                                     : std::string_view();
                            },
                            0),
                       lit(" "), integer("I4", [](const Walk& w) { return double(w.year); }), lit(" "),
                       integer("I2.2", [](const Walk& w) { return double(w.hour); }), lit(":"),
                       integer("I2.2", [](const Walk& w) { return double(w.minute); })}));
  t.push_back(written({lit("Program version:  "), text([](const Walk&) { return param.version; }, 0)}));
  t.push_back(fields(18, {lit("Analysis status:  "),
                          integer("I1", [](const Walk& w) { return double(w.status == 0 ? 1 : w.status); },
                                  [](Walk& w, double v) { w.status = twvars.status = int(v); }, within<0, 4>,
                                  Undefined::Refuse)}));
  t.push_back(literal(""));
  t.push_back(literal("Regression results"));
  t.push_back(literal("------------------"));
  t.push_back(literal(""));

  // Regression section. The rows give the array entries by fixed position.
  t.push_back(literal("        Variable Y/N   Coefficient   tstat   tprob", 4));
  t.push_back(fields(16, userrow<0>(), 4));
  t.push_back(fields(16, userrow<1>(), 4));
  t.push_back(fields(16, userrow<2>(), 4));
  t.push_back(fields(16, regressionrow<2>(lit("Rain", 16), integer("I2", [](const Walk&) { return double(twvars.raininclude); },
                                                                   [](Walk&, double v) { twvars.raininclude = int(v); },
                                                                   within<0, 1>)),
                     4));
  // Trend and constant carry a flag that is read and not used.
  t.push_back(fields(16, regressionrow<1>(lit("Trend", 16), integer("I2", [](const Walk&) { return 1.0; })), 4));
  t.push_back(fields(16, regressionrow<0>(lit("Coefficient", 16), integer("I2", [](const Walk&) { return 1.0; })), 4));
  t.push_back(literal("", 4));
  t.push_back(fields(20, {lit("Include outliers?", 20),
                          integer("I2", [](const Walk&) { return double(regressdat.includeoutliers); },
                                  [](Walk&, double v) { regressdat.includeoutliers = int(v); }, within<0, 1>)},
                     4));
  t.push_back(literal("", 4));
  t.push_back(fields(16, {lit("numyears", 16), integer("I30", [](const Walk&) { return double(twvars.numyears); },
                                                       [](Walk&, double v) { twvars.numyears = int(v); },
                                                       within<0, MAXYEARS>)},
                     4));
  t.push_back(fields(16, {lit("nsample", 16), integer("I30", [](const Walk&) { return double(regressdat.nsample); },
                                                      [](Walk&, double v) { regressdat.nsample = int(v); },
                                                      within<0, MAXYEARS>)},
                     4));
  t.push_back(fields(16, {lit("NumUseVar", 16),
                          integer("I30", [](const Walk&) { return double(regressdat.NumUseVar); },
                                  [](Walk&, double v) {
                                    regressdat.NumUseVar = int(v);
                                    regressdat.ncols = regressdat.NumUseVar + 2;
                                  },
                                  within<0, 4>)},
                     4));
  t.push_back(figure<&RegressDat::avest>("avest"));
  t.push_back(figure<&RegressDat::avobs>("avobs"));
  t.push_back(figure<&RegressDat::ssreg>("ssreg"));
  t.push_back(figure<&RegressDat::ssresid>("ssresid"));
  t.push_back(figure<&RegressDat::sst>("sst"));
  t.push_back(figure<&RegressDat::R2>("R2"));
  t.push_back(figure<&RegressDat::SE>("SE"));
  t.push_back(figure<&RegressDat::ce>("ce"));
  t.push_back(literal("", 4));
  t.push_back(summary<&RegressDat::MAF>("Mean Annual Flow (MAF):", "ML/yr", 7));
  t.push_back(summary<&RegressDat::MABF>("Mean Annual Baseflow (MABF):", "ML/yr", 7));
  // The two lines drawn from other fields start from those fields as the file holds them,
  // so that a project reopened and saved again writes them unchanged.
  t.push_back(written({lit("Baseflow trend:", 30), real("F16.1", [](const Walk&) { return double(asstored(regressdat.coeffs[1], "F16.2")); }),
                       lit("ML/yr", 7)},
                      4));
  t.push_back(summary<&RegressDat::trendpct>("Baseflow trend / MABF:", "%", 0));
  t.push_back(written({lit("Prob trend is not significant:", 30),
                       real("F16.1", [](const Walk&) { return double(100.0f * asstored(regressdat.tprob[1], "F8.3")); }),
                       lit("%")},
                      4));
  t.push_back(literal("     Regression not undertaken", 0, 3));

  // Separation section.
  t.push_back(literal(""));
  t.push_back(literal(""));
  t.push_back(literal("Baseflow Separation"));
  t.push_back(literal("-------------------"));
  t.push_back(literal(""));
  t.push_back(fields(25, {lit("Digital filter parameter:", 25),
                          real("F5.3", [](const Walk&) { return double(filterparam_asstored(twvars.filterparam)); },
                               [](Walk&, double v) { twvars.filterparam = filterparam_asstored(float(v)); },
                               [](double v) { return v > 0.0 && v < 1.0; }, Undefined::Keep)},
                     3));
  t.push_back(fields(25, {lit("Number of passes:", 25),
                          integer("I5", [](const Walk&) { return double(twvars.passes); },
                                  [](Walk&, double v) { twvars.passes = int(v); }, within<1, 99>,
                                  Undefined::Keep)},
                     3));
  // An index the separation could not form is missing; -999.0 fits no form of F5.2.
  t.push_back(fields(25, {lit("Baseflow Index (BFI):", 25),
                          real("F5.2", [](const Walk&) { return double(twvars.BFI); },
                               [](Walk&, double v) { twvars.BFI = float(v); })},
                     3));
  t.push_back(literal("     Baseflow separation not undertaken", 0, 2));

  // Annual section.
  t.push_back(literal(""));
  t.push_back(literal(""));
  t.push_back(literal("Annual Data"));
  t.push_back(literal("-----------"));
  t.push_back(literal("", 2));
  t.push_back(fields(31, {lit("years of data:", 31),
                          integer("I3", [](const Walk&) { return double(twvars.numyears); },
                                  [](Walk&, double v) { twvars.numyears = int(v); }, within<0, MAXYEARS>,
                                  Undefined::Rows)},
                     2));
  t.push_back(fields(31, {lit("annual aggregation start month:", 31),
                          integer("I3", [](const Walk&) { return double(twvars.aggstartmonth); },
                                  [](Walk&, double v) { twvars.aggstartmonth = int(v); }, within<1, 12>,
                                  Undefined::Keep),
                          text([](const Walk&) { return bracketedmonth(twvars.aggstartmonth); }, 7)},
                     2));
  t.push_back(fields(31, {lit("annual aggregation end month:", 31),
                          integer("I3", [](const Walk&) { return double(twvars.aggendmonth); },
                                  [](Walk&, double v) { twvars.aggendmonth = int(v); }, within<1, 12>,
                                  Undefined::Keep),
                          text([](const Walk&) { return bracketedmonth(twvars.aggendmonth); }, 7)},
                     2));
  t.push_back(written({lit("no months aggregated each year:", 31), integer("I3", [](const Walk&) {
                         const int s = twvars.aggstartmonth, e = twvars.aggendmonth;
                         return double(e >= s ? e - s + 1 : e - s + 13);
                       })},
                      2));
  t.push_back(literal("", 2));
  t.push_back(fields(-1,
                     {lit("Year", 6), lit("Flows", 16), lit("Baseflows", 16), lit("Rain", 16), usernamefield<0>(),
                      usernamefield<1>(), usernamefield<2>(), lit("Lin.trend", 16)},
                     3));
  t.push_back(rows(Repeat::AnnualRows,
                   {annualyear(), annualflow(),
                    real("F16.2", [](const Walk& w) { return double(twvars.annual[w.row].baseflow); },
                         [](Walk& w, double v) { twvars.annual[w.row].baseflow = float(v); }),
                    annualrain(), annualuser<0>(), annualuser<1>(), annualuser<2>(),
                    integer("I16", [](const Walk& w) { return double(twvars.annual[w.row].timeindex); },
                            [](Walk& w, double v) { twvars.annual[w.row].timeindex = int(v); })},
                   3, kAnyStatus, 4));
  t.push_back(literal("  Year           Flows            Rain", 2, 2));
  t.push_back(rows(Repeat::AnnualRows, {annualyear(), annualflow(), annualrain()}, 2, 2));

  // Daily section.
  t.push_back(literal(""));
  t.push_back(literal(""));
  t.push_back(literal("Daily Data"));
  t.push_back(literal("----------"));
  t.push_back(literal("", 2));
  t.push_back(fields(18, {lit("days of data:", 18),
                          integer("I5", [](const Walk&) { return double(twvars.ndays); },
                                  [](Walk&, double v) { twvars.ndays = int(v); }, within<0, MAXDAYS>,
                                  Undefined::Rows)},
                     2));
  t.push_back(literal("", 2));
  t.push_back(literal("YYYYMMDD           Flows       Baseflows            Rain", 3));
  t.push_back(rows(Repeat::DailyRows,
                   {date(), dailyflow(),
                    real("F16.2", [](const Walk& w) { return double(twvars.daily[w.row].baseflow); },
                         [](Walk& w, double v) { twvars.daily[w.row].baseflow = float(v); }),
                    dailyrain()},
                   3, kAnyStatus));
  t.push_back(literal("YYYYMMDD           Flows            Rain", 2, 2));
  t.push_back(rows(Repeat::DailyRows, {date(), dailyflow(), dailyrain()}, 2, 2));

  for (Line& l : t) {
    int column = 1;
    for (Field& f : l.fields) {
      f.first = column;
      switch (f.kind) {
        case Kind::Literal: column += f.width > 0 ? f.width : static_cast<int>(f.literal.size()); break;
        case Kind::Text: column += f.width; break;
        default: column += f.format.w; break;
      }
    }
  }
  return t;
}

const std::vector<Line>& layout() {
  static const std::vector<Line> table = buildlayout();
  return table;
}

bool selected(const Line& l, int status) { return status >= l.minstatus && status <= l.maxstatus; }

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Writer
// - filesave_text(), filesave()
void filesave_text(std::string& out, int year, int month, int day, int hour, int minute) {
  Walk w;
  w.status = twvars.status;
  w.year = year;
  w.month = month;
  w.day = day;
  w.hour = hour;
  w.minute = minute;
  out.clear();
  out.reserve(4096 + static_cast<std::size_t>(std::clamp(twvars.ndays, 0, MAXDAYS)) * 57 +
              static_cast<std::size_t>(MAXYEARS) * 119);
  auto writeline = [&out, &w](const Line& l) {
    for (const Field& f : l.fields) {
      switch (f.kind) {
        case Kind::Literal: appendjustified(out, f.literal, f.width); break;
        case Kind::Text: appendjustified(out, trimright(f.gettext(w)), f.width); break;
        case Kind::Integer:
        case Kind::Date: appendfield(out, static_cast<long long>(f.get(w)), f.format); break;
        case Kind::Real: appendfittedreal(out, f.get(w), f.format, kRealDigits); break;
      }
    }
    out += '\n';
  };
  for (const Line& l : layout()) {
    if (!selected(l, w.status)) continue;
    int count = 1;
    if (l.repeat == Repeat::AnnualRows) count = std::clamp(twvars.numyears, 0, MAXYEARS);
    if (l.repeat == Repeat::DailyRows) count = std::clamp(twvars.ndays, 0, MAXDAYS);
    for (w.row = 0; w.row < count; ++w.row) writeline(l);
    w.row = 0;
  }
}

bool filesave() {
  TwVars& tw = twvars;
  const std::string name(trimright(tw.filename));
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  get_date_time(year, month, day, hour, minute, second);
  std::string text;
  filesave_text(text, year, month, day, hour, minute);

  // Written beside the old file and renamed over it only when complete and on the disk, so
  // that neither a failed save nor a power cut loses the previous file.
  bool opened = false;
  const int status = yyreplacefile(name, text, opened);
  if (!opened) {
    tw.iostat = status;
    WMessageBox(0, 3, 1, "Failed to open new file on unit 3: " + name, "Problem with file");
    return false;
  }
  if (status != 0) {
    tw.iostat = status;
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
// - the line source, the layout walk, fileopen_read()
namespace {

// Thrown inside the reader to take its failure path.
struct ReadFailure {};

// The file's lines, with CR LF read like LF, and the diagnostic of the last line read.
class LineSource {
 public:
  explicit LineSource(std::string_view text) : text_(text) {}

  // The next line; a premature end of the file fails the read.
  std::string_view next() {
    if (pos_ >= text_.size()) throw ReadFailure{};
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    std::string_view l(text_.data() + pos_, end - pos_);
    pos_ = end + 1;
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    return l;
  }
  // The lines from here to the next empty line or the end of the file.
  int rowsahead() const {
    int n = 0;
    for (std::size_t p = pos_; p < text_.size(); ++n) {
      std::size_t end = text_.find('\n', p);
      if (end == std::string_view::npos) end = text_.size();
      if (end == p || (end == p + 1 && text_[p] == '\r')) break;
      p = end + 1;
    }
    return n;
  }
  // Columns first..last (1-based) of a line; columns past its end are blank.
  static std::string_view cols(std::string_view l, int first, int last) {
    if (static_cast<int>(l.size()) < first) return {};
    return l.substr(static_cast<std::size_t>(first) - 1, static_cast<std::size_t>(last - first) + 1);
  }

  std::string last;  // the diagnostic: what was last read into the line work text
  int section = 0;   // 4 once the annual rows of a separated project are reached

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// A field of asterisks only (blanks aside): a value its writer could not express.
bool asterisks(std::string_view field) {
  bool star = false;
  for (char c : field) {
    if (c == '*') star = true;
    else if (c != ' ') return false;
  }
  return star;
}

// The date of the daily row read last, which the next row's date must follow.
struct DateCheck {
  int year = 0, month = 0, day = 0;
};

class Reader {
 public:
  explicit Reader(LineSource& in) : in_(in) {}

  void run() {
    for (const Line& l : layout()) {
      if (!selected(l, walk_.status)) continue;
      if (l.section != 0) in_.section = l.section;
      if (l.repeat == Repeat::Once) {
        readline(l);
        continue;
      }
      if (pendingrows_ != nullptr) {
        const double rows = in_.rowsahead();
        if (pendingrows_->valid != nullptr && !pendingrows_->valid(rows)) throw ReadFailure{};
        pendingrows_->set(walk_, rows);
        pendingrows_ = nullptr;
      }
      const int count = l.repeat == Repeat::AnnualRows ? twvars.numyears : twvars.ndays;
      for (walk_.row = 0; walk_.row < count; ++walk_.row) readline(l);
      walk_.row = 0;
    }
  }

 private:
  void readline(const Line& l) {
    const std::string_view line = in_.next();
    if (!l.read) {
      in_.last = std::string(line.substr(0, 1));
      return;
    }
    if (l.label < 0) in_.last = std::string(line.substr(0, 1));
    else if (l.label > 0) in_.last = std::string(trimright(LineSource::cols(line, 1, l.label)));
    for (const Field& f : l.fields) readfield(line, f);
  }

  void readfield(std::string_view line, const Field& f) {
    switch (f.kind) {
      case Kind::Literal:
        if (f.verify && LineSource::cols(line, f.first, f.first + static_cast<int>(f.literal.size()) - 1) != f.literal)
          throw ReadFailure{};
        return;
      case Kind::Text:
        if (f.settext != nullptr) f.settext(walk_, LineSource::cols(line, f.first, f.first + f.readwidth - 1));
        return;
      case Kind::Date:
        readdate(line);
        return;
      case Kind::Integer:
      case Kind::Real:
        break;
    }
    const std::string_view columns = LineSource::cols(line, f.first, f.first + f.format.w - 1);
    double value = 0.0;
    if (asterisks(columns)) {
      switch (f.undefined) {
        case Undefined::Missing: value = MISSING; break;
        case Undefined::Zero: value = 0.0; break;
        case Undefined::Keep: return;
        case Undefined::Rows: pendingrows_ = &f; return;
        case Undefined::Refuse: throw ReadFailure{};
      }
    } else if (f.kind == Kind::Integer) {
      int v = 0;
      if (!::readfield(columns, f.format, v)) throw ReadFailure{};
      value = v;
    } else {
      float v = 0.0f;
      if (!::readfield(columns, f.format, v)) throw ReadFailure{};
      value = v;
    }
    if (f.valid != nullptr && !f.valid(value)) throw ReadFailure{};
    if (f.set != nullptr) f.set(walk_, value);
  }

  int dateitem(std::string_view line, int first, int last) const {
    static const FieldFormat kInteger = [] {
      FieldFormat f;
      parsefieldformat("I4", f);
      return f;
    }();
    int v = 0;
    if (!::readfield(LineSource::cols(line, first, last), kInteger, v)) throw ReadFailure{};
    return v;
  }

  void readdate(std::string_view line) {
    const int k = walk_.row;
    int year = 0, month = 0, day = 0;
    if (k > 0 && asterisks(LineSource::cols(line, 1, 8))) {
      // A date its writer could not express stands for the day after its predecessor.
      year = date_.year;
      month = date_.month;
      day = date_.day;
      nextdate(year, month, day);
    } else {
      year = dateitem(line, 1, 4);
      month = dateitem(line, 5, 6);
      day = dateitem(line, 7, 8);
    }
    // The first date may be one the start-date dialog lets through (31 April); every later
    // one must be the day after its predecessor.
    if (k == 0) {
      if (!within<0, 9999>(year) || !within<1, 12>(month) || !within<1, 31>(day)) throw ReadFailure{};
    } else {
      nextdate(date_.year, date_.month, date_.day);
      if (year != date_.year || month != date_.month || day != date_.day) throw ReadFailure{};
    }
    date_ = {year, month, day};
    DailyRecord& d = twvars.daily[static_cast<std::size_t>(k)];
    d.year = year;
    d.month = month;
    d.day = day;
  }

  LineSource& in_;
  Walk walk_;
  DateCheck date_;
  const Field* pendingrows_ = nullptr;  // a row count of asterisks, taken from the rows themselves
};

// Everything the reader does to twvars and regressdat, on the assumption that both were
// reset; any failure throws ReadFailure.
void readproject(LineSource& in) {
  TwVars& tw = twvars;
  Reader(in).run();

  for (int k = 0; k < tw.ndays; ++k) {
    DailyRecord& d = tw.daily[k];
    d.datenum = 10000 * d.year + 100 * d.month + d.day;
    wdatetostring(d.datetext, d.year, d.month, d.day, 25, ' ');
    storeflow(d.flow, d.flow, d.flowflag);
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

// The annual user values of the file, by the year label they were stored under.
struct StoredYear {
  int year = 0;
  std::array<float, 3> user{};
};

// Puts the user values read from the file on the rebuilt annual records of the same year
// label, whatever years the aggregation now forms; returns the labels whose values found
// no rebuilt year (or a year that had taken the values of an earlier row already).
std::vector<int> attachuservalues(const std::vector<StoredYear>& stored) {
  TwVars& tw = twvars;
  for (AnnualRecord& a : tw.annual) a.user.fill(MISSING);
  std::vector<int> unplaced;
  std::array<bool, MAXYEARS> taken{};
  const int n = std::clamp(tw.numyears, 0, MAXYEARS);
  for (const StoredYear& s : stored) {
    const bool present = std::any_of(s.user.begin(), s.user.end(), [](float v) { return v != MISSING; });
    if (!present) continue;
    int y = 0;
    while (y < n && tw.annual[y].year != s.year) ++y;
    if (y < n && !taken[y]) {
      tw.annual[y].user = s.user;
      taken[y] = true;
    } else {
      unplaced.push_back(s.year);
    }
  }
  tw.useryears.fill(0);
  for (int y = 0; y < MAXYEARS; ++y) {
    AnnualRecord& a = tw.annual[y];
    for (int i = 0; i < 3; ++i) {
      a.userflag[i] = a.user[i] == MISSING ? 0 : 1;
      if (y < n) tw.useryears[i] += a.userflag[i];
    }
  }
  for (int i = 0; i < 3; ++i)
    if (tw.useryears[i] < 8) tw.userinclude[i] = 0;
  return unplaced;
}


// The daily table of the project being read: a second full table, kept between reads, so
// that the previous project is set aside whole without copying its days.
std::vector<DailyRecord>& sparedaily() {
  static std::vector<DailyRecord> spare(MAXDAYS);
  return spare;
}

}  // namespace

bool fileopen_read() {
  TwVars& tw = twvars;
  const std::string name(trimright(tw.filename));

  auto fail = [&tw](std::string_view diagnostic, int section) {
    tw.iostat = 1;
    std::string text = "Problem with file. Data not imported properly.\r\r";
    text += printable(trimright(diagnostic));
    text += " L";
    appendfield(text, static_cast<long long>(section), format("I2"));
    WMessageBox(0, 1, 1, text, "Problem");
    return false;
  };

  // The file's text, in a buffer kept from one read to the next: a full-size project is
  // megabytes, which a fresh buffer would first have to clear and map page by page.
  static std::string filetext;
  bool opened = false;
  const bool read = yyreadwholefile(name, filetext, opened);
  if (!read) {
    filetext.clear();
    if (!opened) WMessageBox(0, 3, 1, "Failed to open file: \r" + name, "Problem with file");
    return fail("", 0);
  }
  LineSource in(filetext);

  // Read over a fresh project; the previous one comes back whole if the file fails
  // (Invariant 3).
  std::vector<DailyRecord>& spare = sparedaily();
  std::vector<DailyRecord> previousdaily = std::move(tw.daily);
  tw.daily = std::vector<DailyRecord>();
  TwVars previous = tw;
  tw.daily = std::move(spare);
  RegressDat previousreg = regressdat;
  initialise_tw_vars();
  initialise_regressdat();
  try {
    readproject(in);
  } catch (const ReadFailure&) {
    spare = std::move(tw.daily);
    tw = std::move(previous);
    tw.daily = std::move(previousdaily);
    regressdat = std::move(previousreg);
    return fail(in.last, in.section);
  }
  spare = std::move(previousdaily);
  // What a save killed half-way left beside the project goes now that the project is known
  // good (the save itself clears them too).
  yyremovetempfiles(name);
  tw.line.assign(in.last.substr(0, 100));
  tw.line.resize(100, ' ');
  tw.iostat = 0;

  if (tw.status <= 1) {
    WMessageBox(0, 4, 1,
                "File sucessfully opened.\rIt is a valid TarnWalker file, but does not yet contain any data.",
                "File opened");
    tw.status = 1;
  } else {
    std::vector<StoredYear> stored(static_cast<std::size_t>(tw.numyears));
    for (int y = 0; y < tw.numyears; ++y) stored[y] = {tw.annual[y].year, tw.annual[y].user};
    dailytoannual();
    const std::vector<int> unplaced = attachuservalues(stored);
    if (!unplaced.empty()) {
      std::string text = "User data of these years match no year of the daily data and were not loaded:\r";
      for (int year : unplaced) text += " " + std::to_string(year);
      WMessageBox(0, 3, 1, text, "File opened");
    }
    inputdatacheck();
  }
  return true;
}

float filterparam_asstored(float value) {
  // The reader takes a parameter between 0 and 1 only; what three decimals would give as 0 or
  // 1 (0.0004, 0.9999) keeps the nearest value a file holds and reads back.
  constexpr float kLeast = 0.001f, kMost = 0.999f;
  const float stored = asstored(value, "F5.3");
  if (!(stored >= kLeast)) return kLeast;
  return std::min(stored, kMost);
}
