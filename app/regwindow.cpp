// The regression window and its dialog.
#include "app/regwindow.h"

#include <string>

#include "app/aggregate.h"
#include "app/modules.h"
#include "app/plotcommands.h"
#include "app/plots.h"
#include "app/projectfile.h"
#include "app/regression.h"
#include "platform/dialog.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/grid/grid.h"
#include "toolkit/startup/help.h"
#include "toolkit/text/convert.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/window/wmsg.h"

namespace {

std::string trimmed(const std::string& s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// One row of a results grid: coefficient, probability and t value of a packed entry
// (1-based), or empty cells when the variable takes no part.
void putentry(int grid, int row, int entry) {
  if (entry == 0) {
    for (int col = 3; col <= 5; ++col) WGridClearCell(grid, col, row);
    return;
  }
  const std::size_t e = static_cast<std::size_t>(entry - 1);
  WGridPutCellReal(grid, 3, row, regressdat.coeffs[e], regresscellformat(regressdat.coeffs[e], 11, "(1PE10.3)"));
  WGridPutCellReal(grid, 4, row, regressdat.tprob[e], "(F0.3)");
  WGridPutCellReal(grid, 5, row, regressdat.tstat[e], regresscellformat(regressdat.tstat[e], 9, "(1PE9.2)"));
}

void filldialog() {
  WGridPutCellString(1031, 1, 1, "Rainfall");
  WGridPutCellCheckBox(1031, 2, 1, twvars.raininclude);
  putentry(1031, 1, twvars.raininclude == 1 ? 3 : 0);
  WGridStateCell(1031, 2, 1, twvars.rainyears <= 5 ? 2 : 1);
  int included = 0;
  for (int i = 0; i < 3; ++i) {
    const int row = i + 2;
    const std::size_t u = static_cast<std::size_t>(i);
    WGridPutCellString(1031, 1, row, trimmed(twvars.usernames[u]));
    WGridPutCellCheckBox(1031, 2, row, twvars.userinclude[u]);
    if (twvars.userinclude[u] == 1) ++included;
    putentry(1031, row, twvars.userinclude[u] == 1 ? 2 + twvars.raininclude + included : 0);
    WGridStateCell(1031, 2, row, twvars.useryears[u] <= 5 ? 2 : 1);
  }
  WGridPutCellString(1026, 1, 1, "Time trend");
  putentry(1026, 1, 2);
  WGridPutCellString(1026, 1, 2, "Intercept");
  putentry(1026, 2, 1);
  WDialogPutReal(1045, regressdat.R2, "(F5.3)");
  WDialogPutReal(1046, regressdat.cv, "(F7.2,'%')");
  WDialogPutReal(1041, regressdat.MAF, "(F0.0)");
  WDialogPutReal(1042, regressdat.MABF, "(F0.0)");
  WDialogPutReal(1043, regressdat.trendpct, "(F0.1,'%')");
  const float rho = regressdat.lag1[0];
  if (regressdat.lag1[2] <= rho && rho <= regressdat.lag1[1]) {
    WDialogPutString(1044, "Okay!");
    WDialogColour(1044, -1);
  } else {
    std::string text(5, ' ');   // the correlation is written into the text's own length
    IRealToString(rho, text, "(F5.3)");
    WDialogPutString(1044, "Bad! (P=" + trimmed(text) + ")");
    WDialogColour(1044, 255);
  }
  WDialogPutCheckBox(1032, regressdat.includeoutliers);
}

void show() {
  WDialogShow(static_cast<int>(0.6 * winfoscreen(1)), -1, 0, 3);
}

void leave() {
  plotclear();
  WMessageBox(3, 2, 1, "Do you want to save your work so far?", "Save now?");
  if (winfodialog(4) == 1) filesave();
  wmessageenable(EV_MOUSEMOVE, 0);
  wmenuroot(30001);
  WMenuToolbar(30101);
}

// The choices of the dialog against those of the last fit.
bool samechoices() {
  int outliers = 0, rain = 0;
  WDialogGetCheckBox(1032, outliers);
  WGridGetCellCheckBox(1031, 2, 1, rain);
  bool same = outliers == regressdat.includeoutliers && rain == twvars.raininclude;
  for (int i = 0; i < 3; ++i) {
    int user = 0;
    WGridGetCellCheckBox(1031, 2, i + 2, user);
    same = same && user == twvars.userinclude[static_cast<std::size_t>(i)];
  }
  return same;
}

}  // namespace

// Three decimals, unless the value would then be wider than its cell (a near-collinear fit
// can give an intercept of hundreds of millions): then the exponent form, which fits.
std::string regresscellformat(float value, std::size_t most, const char* wide) {
  std::string text(40, ' ');
  IRealToString(value, text, "(F0.3)");
  return trimmed(text).size() <= most ? "(F0.3)" : wide;
}

void regress_rerun() {
  WDialogGetCheckBox(1032, regressdat.includeoutliers);
  WGridGetCellCheckBox(1031, 2, 1, twvars.raininclude);
  for (int i = 0; i < 3; ++i) WGridGetCellCheckBox(1031, 2, i + 2, twvars.userinclude[static_cast<std::size_t>(i)]);
  for (AnnualRecord& y : twvars.annual) y.usable = 1;
  for (int k = 0; k < twvars.numyears; ++k) {
    AnnualRecord& y = twvars.annual[static_cast<std::size_t>(k)];
    bool drop = y.flowflag == 0 || (twvars.raininclude == 1 && y.rainflag == 0);
    for (std::size_t i = 0; i < 3; ++i) drop = drop || (twvars.userinclude[i] == 1 && y.userflag[i] == 0);
    if (drop) y.usable = 0;
  }
  linest();
  if (regressdat.includeoutliers == 0) {
    for (int k = 0; k < twvars.numyears; ++k) {
      if (regressdat.cookyear[static_cast<std::size_t>(k)] >= 2.0f) twvars.annual[static_cast<std::size_t>(k)].usable = 0;
    }
    linest();
  }
  // Only a successful fit is drawn; after a failure the plot area is left empty.
  if (twvars.errorflag == 0) {
    displayplot();
  } else {
    windowclear();
  }
}

void regress_dialog() {
  wmessageenable(EV_FIELDCHANGED, 1);
  WDialogLoad(108);
  if (tessar.dialog.CURDIALOG == 0) return;
  filldialog();
  // "Finished" is the dialog's default button: Enter never opens the help.
  if (win::HWND dialog = yycurrentdialog()) win::SendMessage(dialog, win::DM_SETDEFID, 1029, 0);
  show();
  MessageRecord m;
  int type = 0;
  bool failed = false;   // the last fit of this dialog failed
  for (;;) {
    wmessage(type, m);
    if (type == EV_PUSHBUTTON) {
      if (m.value1 == 1029) {
        WDialogUnload();
        twvars.status = twvars.errorflag == 0 ? 4 : 3;
        return;
      }
      if (m.value1 == 1047) WHelpFile("ms-its:tarnwalker_help.chm::/TW_12_Trend_program.htm");
    } else if (type == EV_EXPOSE || type == EV_RESIZE || type == EV_FIELDCHANGED) {
      // A failed fit's message uncovers the window and gives the focus back as it closes:
      // fitting the same choices again on that expose or field change would show the message
      // again, for ever. Only a changed choice refits then (the cleared plot stays as it is).
      if (failed && samechoices()) continue;
      regress_rerun();
      failed = twvars.errorflag != 0;
      filldialog();
      show();
    }
  }
}

void trendanalysis() {
  dailytoannual();
  wmenuroot(0);
  wmenuroot(30003);
  WMenuToolbar(30103);
  for (int type : {EV_MOUSEMOVE, EV_DOUBLECLICK, EV_MOUSEDOWN, EV_MOUSEUP}) wmessageenable(type, 1);
  regress_dialog();
  MessageRecord m;
  int type = 0;
  for (;;) {
    wmessage(type, m);
    if (type == EV_COMMAND) {
      switch (m.value1) {
        case 40011: leave(); return;
        case 40013: regress_dialog(); break;
        case 40018:
        case 40022: plottoclipboard(displayplot); break;
        case 40023: plottofile(displayplot); break;
        case 40020: plottoprinter(displayplot, "regression plot"); break;
        default: break;
      }
    } else if (type == EV_EXPOSE || type == EV_RESIZE) {
      displayplot();
    } else if (type == EV_CLOSE) {
      leave();
      return;
    }
  }
}
