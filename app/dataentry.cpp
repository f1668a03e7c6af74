// The data dialogs: daily data entry, review of the daily record, aggregation period and the
// annual user variables.
#include "app/dataentry.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/aggregate.h"
#include "app/calendar.h"
#include "app/datacheck.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/edit.h"
#include "platform/gdi.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/grid/grid.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/os/opsys.h"
#include "toolkit/text/convert.h"
#include "toolkit/startup/help.h"
#include "toolkit/window/wmsg.h"

namespace {

constexpr int kGrid = 1008;
constexpr int kHeader = 1011;
constexpr int kGridRows = 100000;   // rows of the entry grid; only 1..MAXDAYS are read
constexpr const char* kEntryHelp = "ms-its:tarnwalker_help.chm::/TW_7_Step1import.htm";

std::string trimmed(std::string_view s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}

// Waits for the next push button of the dialog up; the other events are dropped, except
// field changes, which the caller asked for (fieldchanged set).
int nextbutton(bool* fieldchanged = nullptr) {
  for (;;) {
    wmessage(genwin.itype, genwin.message);
    if (genwin.itype == EV_PUSHBUTTON) return genwin.message.value1;
    if (genwin.itype == EV_FIELDCHANGED && fieldchanged != nullptr) {
      *fieldchanged = true;
      return 0;
    }
  }
}

void offersave() {
  WMessageBox(3, 2, 1, "Do you want to save your work so far?", "Save now?");
  if (winfodialog(4) == 1) filesave();
}

std::string datetext(int year, int month, int day) {
  std::string text(11, ' ');
  wdatetostring(text, year, month, day, 25, ' ');
  text.resize(11, ' ');
  return text;
}

// The start date chosen in dialog 101 must exist: the dialog's ranges let 31 April and
// 29 February of a common year through, which would give the record dates that are none.
bool startdateexists() {
  const TwVars& tw = twvars;
  if (tw.startmonth < 1 || tw.startmonth > 12 || tw.startyear < 0 || tw.startyear > 3000 || tw.startday < 1) {
    WMessageBox(0, 1, 1, "The start date is not a date.\rPlease enter a day, a month (1-12) and a year (0-3000).",
                "Problem here!");
    return false;
  }
  const int length = monthlen(tw.startmonth, tw.startyear);
  if (tw.startday <= length) return true;
  WMessageBox(0, 1, 1,
              trimmed(param.monthnames[static_cast<std::size_t>(tw.startmonth - 1)]) + " " +
                  std::to_string(tw.startyear) + " has " + std::to_string(length) + " days.\rPlease enter a start date that exists.",
              "Problem here!");
  return false;
}

// Rows below the last day the record holds that carry values: they would not be stored.
// The user is told how many and decides; No keeps the dialog up with every row as it is.
bool rowsbeyondaccepted() {
  int extra = 0;
  for (int row = MAXDAYS + 1; row <= kGridRows; ++row) {
    float flow = MISSING, rain = MISSING;
    WGridGetCellReal(kGrid, 1, row, flow);
    WGridGetCellReal(kGrid, 2, row, rain);
    if (flow != MISSING || rain != MISSING) ++extra;
  }
  if (extra == 0) return true;
  int y = twvars.startyear, m = twvars.startmonth, d = twvars.startday;
  for (int i = 1; i < MAXDAYS; ++i) nextdate(y, m, d);
  WMessageBox(3, 2, 2,
              std::to_string(extra) + (extra == 1 ? " row" : " rows") + " below row 60000 (" + trimmed(datetext(y, m, d)) +
                  ", the last day a record can hold) " + (extra == 1 ? "holds values that are" : "hold values that are") +
                  " not stored.\rStore the first 60000 days without them?",
              "Too many rows");
  return winfodialog(4) == 1;
}


// What the user typed into the current cell and has not yet left: the grid keeps it in the
// cell's editor until the current cell moves, and a push button does not move it.
void storetyped(int ident) {
  if (GridInstance* g = gridservices.locate(ident)) yyGridStoreCurrent(*g);
}

// The names typed over the header fit the project file, which keeps 16 columns of a name:
// one that does not is refused with a message (the dialog stays up) rather than cut.
bool namesfit() {
  constexpr std::size_t kNameLength = 16;
  for (int v = 1; v <= 3; ++v) {
    std::string name(1024, ' ');
    WGridGetCellString(kHeader, v + 3, 1, name);
    name = trimmed(name);
    if (name.size() <= kNameLength) continue;
    WMessageBox(0, 1, 1,
                "The name of variable " + std::to_string(v) + " is " + std::to_string(name.size()) +
                    " characters long:\r" + name + "\rA name can be at most " + std::to_string(kNameLength) + " characters long.",
                "Problem here!");
    return false;
  }
  return true;
}

int monthsof(int start, int end) { return end >= start ? end - start + 1 : end - start + 13; }

// Whether a text shows whole in a cell of a grid's column: a number is drawn from the left
// of the cell's text room in the grid's font and cut at its right.
bool fitsincell(GridInstance& g, int column, const std::string& text) {
  const GridColumn& c = g.data().columns[static_cast<std::size_t>(column)];
  int room = c.width - 4;
  if (c.prototypeeditor != nullptr) {
    win::RECT r{};
    win::SendMessage(c.prototypeeditor, win::EM_GETRECT, 0, reinterpret_cast<win::LPARAM>(&r));
    room = std::min(room, static_cast<int>(r.right - r.left));
  }
  win::HDC dc = win::GetDC(g.cellarea);
  win::HGDIOBJ old = g.font != nullptr ? win::SelectObject(dc, g.font) : nullptr;
  win::SIZE extent{};
  win::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), extent);
  if (old != nullptr) win::SelectObject(dc, old);
  win::ReleaseDC(g.cellarea, dc);
  return extent.cx <= room;
}

// The form of a user column (the grid keeps one display format a column): two decimals, or,
// when a value would then be wider than its cell (cut, 123456788103168.00 would read as a
// number ten times smaller), the exponent form with as many digits as every value fits.
std::string annualcolumnformat(GridInstance& g, int column, const std::vector<float>& values) {
  auto fits = [&](const char* format) {
    for (const float value : values) {
      std::string text(40, ' ');
      IRealToString(value, text, format);
      const std::size_t b = text.find_first_not_of(' ');
      const std::size_t e = text.find_last_not_of(' ');
      if (b == std::string::npos || text.find('*') != std::string::npos ||
          !fitsincell(g, column - 1, text.substr(b, e - b + 1)))
        return false;
    }
    return true;
  };
  for (const char* format : {"(F0.2)", "(1PE15.8)", "(1PE13.6)", "(1PE11.4)", "(1PE9.2)"})
    if (fits(format)) return format;
  return "(1PE9.2)";
}

// The user columns, each in the form that shows all its values whole; an empty cell stays
// empty, and the cell being edited is left to its editor. forms holds each column's form, so
// that a column is put again only when its form changes.
void showuservalues(int years, std::array<std::string, 3>& forms) {
  GridInstance* g = gridservices.locate(kGrid);
  if (g == nullptr) return;
  for (int v = 4; v <= 6; ++v) {
    std::vector<int> rows;
    std::vector<float> values;
    for (int y = 1; y <= years; ++y) {
      if (g->editor != nullptr && win::IsWindowVisible(g->editor) && g->currentcolumn == v - 1 && g->currentrow == y - 1)
        continue;
      std::string text(40, ' ');
      WGridGetCellString(kGrid, v, y, text);
      if (text.find_first_not_of(' ') == std::string::npos) continue;
      float value = MISSING;
      WGridGetCellReal(kGrid, v, y, value);
      rows.push_back(y);
      values.push_back(value);
    }
    const std::string form = annualcolumnformat(*g, v, values);
    std::string& was = forms[static_cast<std::size_t>(v - 4)];
    if (form == (was.empty() ? "(F0.2)" : was)) continue;
    for (std::size_t k = 0; k < rows.size(); ++k) WGridPutCellReal(kGrid, v, rows[k], values[k], form);
    was = form;
  }
}

}  // namespace

// The daily records from the grid, replacing the project.
void storedaily() {
  TwVars& tw = twvars;
  initialise_tw_vars();
  int y = tw.startyear, m = tw.startmonth, d = tw.startday;
  tw.ndays = 0;
  for (int i = 1; i <= MAXDAYS; ++i) {
    DailyRecord& r = tw.daily[static_cast<std::size_t>(i - 1)];
    r.year = y;
    r.month = m;
    r.day = d;
    r.datenum = y * 10000 + m * 100 + d;
    r.datetext = datetext(y, m, d);
    r.dayofyear = wdatedifference(y - 1, 12, 31, y, m, d);
    float flow = MISSING, rain = MISSING;
    WGridGetCellReal(kGrid, 1, i, flow);
    WGridGetCellReal(kGrid, 2, i, rain);
    storeflow(flow, r.flow, r.flowflag);
    r.rain = rain;
    r.rainflag = rain >= 0.0f ? 1 : 0;
    r.quickflow = r.baseflow = 0.0f;
    if (r.flowflag != FLOW_MISSING) tw.ndays = i;
    nextdate(y, m, d);
  }
}

void newdaily() {
  TwVars& tw = twvars;
  wmessageenable(EV_FIELDCHANGED, 1);
  WDialogLoad(101);
  WDialogPutInteger(1001, 1);
  WDialogPutInteger(1002, 1);
  WDialogPutInteger(1003, 1980);
  WDialogShow(-1, -1, 0, 3);
  for (;;) {
    const int button = nextbutton();
    if (button == 1047) {
      WHelpFile(kEntryHelp);
    } else if (button == 2) {
      WDialogUnload();
      wmessageenable(EV_FIELDCHANGED, 0);
      return;
    } else if (button == 1) {
      // Read into work first: a refused date leaves the project's start date as it was.
      const int day = tw.startday, month = tw.startmonth, year = tw.startyear;
      WDialogGetInteger(1001, tw.startday);
      WDialogGetInteger(1002, tw.startmonth);
      WDialogGetInteger(1003, tw.startyear);
      if (!startdateexists()) {
        tw.startday = day;
        tw.startmonth = month;
        tw.startyear = year;
        continue;
      }
      WDialogUnload();
      wmessageenable(EV_FIELDCHANGED, 0);
      // A cancelled entry leaves the whole project as it was, its start date too.
      if (!newdaily_dataentry()) {
        tw.startday = day;
        tw.startmonth = month;
        tw.startyear = year;
      }
      return;
    }
  }
}

bool newdaily_dataentry() {
  TwVars& tw = twvars;
  wmessageenable(EV_FIELDCHANGED, 1);
  WDialogLoad(102);
  WDialogPutString(1010, "Gauged flow (ML/d)");
  int y = tw.startyear, m = tw.startmonth, d = tw.startday;
  for (int i = 1; i <= MAXDAYS; ++i) {
    tw.datelabel = datetext(y, m, d);
    WGridLabelRow(kGrid, i, tw.datelabel);
    nextdate(y, m, d);
  }
  WDialogShow(-1, -1, 0, 3);
  for (;;) {
    const int button = nextbutton();
    if (button == 1047) {
      WHelpFile(kEntryHelp);
      continue;
    }
    if (button == 2) {
      WDialogUnload();
      wmessageenable(EV_FIELDCHANGED, 0);
      return false;
    }
    if (button != 1) continue;
    storetyped(kGrid);
    tw.lastflowrow = 0;
    for (int i = MAXDAYS; i >= 1 && tw.lastflowrow == 0; --i) {
      tw.cellvalue = MISSING;
      WGridGetCellReal(kGrid, 1, i, tw.cellvalue);
      if (tw.cellvalue > MISSING) tw.lastflowrow = i;
    }
    if (tw.lastflowrow == 0) {
      WMessageBox(0, 1, 1, "No flow data has been entered.\rPlease enter some flows.", "Problem here!");
      continue;
    }
    if (!rowsbeyondaccepted()) continue;
    break;
  }
  storedaily();
  dailytoannual();
  inputdatacheck();
  std::string title(100, ' ');
  WDialogGetString(1010, title);
  title.resize(100, ' ');
  tw.title = title;
  WDialogUnload();
  wmessageenable(EV_FIELDCHANGED, 0);
  tw.status = 2;
  offersave();
  return true;
}

void reviewflows() {
  TwVars& tw = twvars;
  WDialogLoad(120);
  tw.message = datacheckline(tw.missingflows, "% missing flows (");
  WDialogPutString(1039, trimmed(tw.message));
  tw.message = datacheckline(tw.negativeflows, "% negative flows (");
  WDialogPutString(1030, trimmed(tw.message));
  tw.message = datacheckline(tw.missingrain, "% missing rainfall (");
  WDialogPutString(1040, trimmed(tw.message));
  tw.message.resize(300, ' ');
  const int deftext = -1;
  const int orange = wrgb(255, 180, 70), yellow = wrgb(255, 255, 0), white = wrgb(255, 255, 255);
  const int n = std::min(tw.ndays, MAXDAYS);
  if (n > 0) WGridRows(kGrid, n);
  for (int i = 1; i <= n; ++i) {
    const DailyRecord& r = tw.daily[static_cast<std::size_t>(i - 1)];
    WGridLabelRow(kGrid, i, r.datetext);
    if (r.flowflag == FLOW_MISSING) {
      WGridColourCell(kGrid, 1, i, &deftext, &orange);
    } else {
      WGridPutCellReal(kGrid, 1, i, r.flow);
      WGridColourCell(kGrid, 1, i, &deftext, r.flowflag == FLOW_NEGATIVE ? &yellow : &white);
    }
    if (r.rainflag == 0) {
      WGridColourCell(kGrid, 2, i, &deftext, &orange);
    } else {
      WGridPutCellReal(kGrid, 2, i, r.rain);
      WGridColourCell(kGrid, 2, i, &deftext, &white);
    }
  }
  WDialogShow(-1, -1, 0, 3);
  for (;;) {
    const int button = nextbutton();
    if (button == 1047) {
      WHelpFile(kEntryHelp);
    } else if (button == 1 || button == 2) {
      // Escape and the close box end the review like "Finished": nothing is read back.
      break;
    }
  }
  WDialogUnload();
  wmessageenable(EV_FIELDCHANGED, 0);
}

void aggperiod() {
  TwVars& tw = twvars;
  wmessageenable(EV_FIELDCHANGED, 1);
  WDialogLoad(116);
  WDialogPutOption(1033, tw.aggstartmonth);
  WDialogPutOption(1034, tw.aggendmonth);
  WDialogPutInteger(1001, monthsof(tw.aggstartmonth, tw.aggendmonth));
  WDialogShow(-1, -1, 0, 3);
  for (;;) {
    bool changed = false;
    const int button = nextbutton(&changed);
    if (changed) {
      WDialogGetMenu(1033, tw.chosenstartmonth);
      WDialogGetMenu(1034, tw.chosenendmonth);
      WDialogPutInteger(1001, monthsof(tw.chosenstartmonth, tw.chosenendmonth));
    } else if (button == 1047) {
      WHelpFile("ms-its:tarnwalker_help.chm::/TW_10_Step3aggregate.htm");
    } else if (button == 2) {
      WDialogUnload();
      wmessageenable(EV_FIELDCHANGED, 0);
      return;
    } else if (button == 1) {
      break;
    }
  }
  int s = tw.aggstartmonth, e = tw.aggendmonth;
  WDialogGetMenu(1033, s);
  WDialogGetMenu(1034, e);
  // A selection outside the twelve months keeps the period as it was.
  if (s >= 1 && s <= 12 && e >= 1 && e <= 12) {
    tw.aggstartmonth = s;
    tw.aggendmonth = e;
    for (int m = 1; m <= 12; ++m) {
      int& flag = tw.monthflags[static_cast<std::size_t>(m - 1)];
      if (e >= s) flag = (m >= s && m <= e) ? 1 : 0;
      else flag = m <= e ? 1 : (m < s ? 0 : 2);
    }
  }
  WDialogUnload();
  wmessageenable(EV_FIELDCHANGED, 0);
}

void newannual() {
  TwVars& tw = twvars;
  dailytoannual();
  wmessageenable(EV_FIELDCHANGED, 1);
  WDialogLoad(105);
  const int years = std::min(tw.numyears, MAXYEARS);
  if (years > 0) WGridRows(kGrid, years);
  for (int y = 1; y <= years; ++y) {
    const AnnualRecord& a = tw.annual[static_cast<std::size_t>(y - 1)];
    tw.line = std::to_string(a.year);
    WGridLabelRow(kGrid, y, tw.line);
    if (a.flowflag == 1) {
      WGridPutCellReal(kGrid, 1, y, a.flow);
      WGridPutCellReal(kGrid, 2, y, a.baseflow);
    }
    if (a.rainflag == 1) WGridPutCellReal(kGrid, 3, y, a.rain);
  }
  tw.line.resize(100, ' ');
  WGridLabelRow(kHeader, 1, "Year");
  WGridPutCellString(kHeader, 1, 1, "Flow (ML/yr)");
  WGridPutCellString(kHeader, 2, 1, "Baseflow (ML/yr)");
  WGridPutCellString(kHeader, 3, 1, "Rain (mm/yr)");
  for (int v = 0; v < 3; ++v) {
    WGridPutCellString(kHeader, v + 4, 1, trimmed(tw.usernames[static_cast<std::size_t>(v)]));
    if (tw.useryears[static_cast<std::size_t>(v)] <= 0) continue;
    for (int y = 1; y <= years; ++y)
      WGridPutCellReal(kGrid, v + 4, y, tw.annual[static_cast<std::size_t>(y - 1)].user[static_cast<std::size_t>(v)]);
  }
  // The columns take their forms before the dialog shows: a cell painted at once before the
  // dialog's own first paint would be painted over by it, and every cell would stay blank.
  std::array<std::string, 3> forms;
  showuservalues(years, forms);
  WDialogShow(-1, -1, 0, 3);
  for (;;) {
    bool changed = false;
    const int button = nextbutton(&changed);
    if (changed) {
      // A value typed in and left: its column takes the form that shows every value whole.
      showuservalues(years, forms);
      continue;
    }
    if (button == 1047) {
      WHelpFile("ms-its:tarnwalker_help.chm::/TW_12_Trend_program.htm");
    } else if (button == 2) {
      WDialogUnload();
      wmessageenable(EV_FIELDCHANGED, 0);
      return;
    } else if (button == 1) {
      storetyped(kGrid);
      storetyped(kHeader);
      if (namesfit()) break;
    }
  }
  for (int y = 1; y <= years; ++y) {
    AnnualRecord& a = tw.annual[static_cast<std::size_t>(y - 1)];
    for (std::size_t v = 0; v < 3; ++v) {
      float value = MISSING;
      WGridGetCellReal(kGrid, static_cast<int>(v) + 4, y, value);
      a.user[v] = value;
      a.userflag[v] = value == MISSING ? 0 : 1;
    }
  }
  for (std::size_t v = 0; v < 3; ++v) {
    std::string name(40, ' ');
    WGridGetCellString(kHeader, static_cast<int>(v) + 4, 1, name);
    name.resize(40, ' ');
    tw.usernames[v] = name;
    int count = 0;
    for (int y = 1; y <= years; ++y) count += tw.annual[static_cast<std::size_t>(y - 1)].userflag[v];
    tw.useryears[v] = count;
    tw.userinclude[v] = count >= 8 ? 1 : 0;
  }
  WDialogUnload();
  wmessageenable(EV_FIELDCHANGED, 0);
  initialise_regressdat();
  // The regression's results are gone: no menu may offer them any longer.
  if (tw.status > 3) tw.status = 3;
  offersave();
}
