// The separation view and its parameter dialog.
#include "app/separation.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/aggregate.h"
#include "app/baseflow.h"
#include "app/modules.h"
#include "app/plotcommands.h"
#include "app/plots.h"
#include "app/projectfile.h"
#include "platform/dialog.h"
#include "platform/os.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/startup/help.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/strings.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/window/wmsg.h"

namespace {

// The parameter and scaling of the dialog applied: the separation runs again and the plot
// is drawn afresh.
void applydialog() {
  float a = twvars.filterparam;
  WDialogGetReal(1019, a);
  // The field shows three decimals and the file keeps three: the separation uses the same.
  twvars.filterparam = filterparam_asstored(a);
  int position = 1;
  WDialogGetRadioButton(1020, position);
  if (position == 1 && plotdat.vscale == "LOG") {
    plotdat.vscale = "LIN";
  } else if (position == 2 && plotdat.vscale == "LIN") {
    plotdat.vscale = "LOG";
    plotdat.vmin = 0.01f;
  }
  baseflowseparation();
  refreshplot();
}

// Leaving the view: the years take the current separation before the save question.
void leave() {
  dailytoannual();
  twvars.status = std::max(twvars.status, 3);
  WMessageBox(3, 2, 1, "Do you want to save your work so far?", "Save now?");
  if (winfodialog(4) == 1) filesave();
  plotclear();
  wmenuroot(30001);
  WMenuToolbar(30101);
}

}  // namespace

void sepzoom(int button) {
  int& a = plotdat.firstday;
  int& b = plotdat.lastday;
  const int w = b - a;
  plotdat.shownwidth = w;
  const int d = w / 5;
  float& lo = plotdat.vmin;
  float& hi = plotdat.vmax;
  const float M = plotdat.datamax;
  const bool log = plotdat.vscale == "LOG";
  const long double r = log ? std::log10(static_cast<long double>(hi)) - std::log10(static_cast<long double>(lo))
                            : static_cast<long double>(hi) - lo;
  plotdat.vrange = static_cast<float>(r);
  auto pow10 = [](long double v) { return static_cast<float>(std::pow(10.0L, v)); };
  switch (button) {
    case 1025:
      if (w > 5) {
        b -= d;
        a = std::min(a + d, b - 5);
      }
      break;
    case 1022:
      a = std::max(a - d, 1);
      b = std::min(b + d, twvars.ndays);
      break;
    case 1023:
      a = std::max(a - d, 1);
      b = a + w;
      break;
    case 1024:
      b = std::min(b + d, twvars.ndays);
      a = b - w;
      break;
    case 1026:
      if (hi - lo > 50) hi = log ? pow10(std::log10(static_cast<long double>(hi)) - 0.2L * r) : static_cast<float>(hi - 0.2L * r);
      break;
    case 1027:
      hi = log ? std::min(pow10(std::log10(static_cast<long double>(hi)) + 0.2L * r), 1.05f * M)
               : std::min(static_cast<float>(hi + 0.2L * r), M);
      break;
    case 1037:
      if (log) {
        hi = std::min(pow10(std::log10(static_cast<long double>(hi)) + 0.2L * r), 1.05f * M);
        lo = pow10(std::log10(static_cast<long double>(hi)) - r);
      } else {
        hi = std::min(static_cast<float>(std::trunc(hi + 0.2L * r)), M);
        lo = static_cast<float>(hi - r);
      }
      break;
    case 1038:
      if (log) {
        const float down = pow10(std::log10(static_cast<long double>(lo)) - 0.2L * r);
        lo = down <= 0.01f ? 0.01f : down;
        hi = pow10(std::log10(static_cast<long double>(lo)) + r);
      } else {
        const float down = static_cast<float>(lo - 0.2L * r);
        lo = down <= 0 ? 0.0f : down;
        hi = static_cast<float>(lo + r);
      }
      break;
    default: break;
  }
}

void bfinteract_dialog() {
  wmessageenable(EV_FIELDCHANGED, 1);
  WDialogLoad(110);
  if (tessar.dialog.CURDIALOG == 0) return;
  // A stored project may hold a parameter outside the range the field offers (the file takes
  // any between 0 and 1). The field then admits the parameter in use besides its own range
  // and shows it, so that the dialog, the separation and the file agree, and the user is told.
  std::string outside;
  if (FieldRecord* fr = yyfieldrecord(win::GetDlgItem(yycurrentdialog(), 1019)); fr != nullptr && fr->hasrange()) {
    const float a = twvars.filterparam;
    if (a < static_cast<float>(fr->rangemin) || a > static_cast<float>(fr->rangemax)) {
      auto shown = [](double v) {
        std::string t(16, ' ');
        IRealToString(static_cast<float>(v), t, "(F5.3)");
        const std::size_t b = t.find_first_not_of(' ');
        return b == std::string::npos ? std::string() : yytrimright(t.substr(b));
      };
      outside = "The filter parameter in use, " + shown(a) + ", lies outside the range " + shown(fr->rangemin) +
                " to " + shown(fr->rangemax) + " that this dialog offers.\rIt stays in use until you enter another.";
      // The bound is the parameter as shown, so that the same text typed again is accepted.
      const double inuse = std::round(static_cast<double>(a) * 1000.0) / 1000.0;
      int id = 1019;
      yyfieldrange(id, std::min(fr->rangemin, inuse), std::max(fr->rangemax, inuse));
    }
  }
  WDialogPutReal(1019, twvars.filterparam, "(F5.3)");
  WDialogSpinnerStep(1019, 0.005f, 0.005f);
  // Finished with the parameter outside its range says what the field accepts.
  WDialogFieldOptions(1019, 4, 1);
  if (plotdat.vscale == "LOG") WDialogPutRadioButton(1021);
  // "Finished" is the dialog's default button: Enter never opens the help.
  if (win::HWND dialog = yycurrentdialog()) win::SendMessage(dialog, win::DM_SETDEFID, 1, 0);
  WDialogShow(static_cast<int>(0.7 * winfoscreen(1)), -1, 0, 3);
  if (!outside.empty()) WMessageBox(0, 4, 1, outside, "Baseflow Parameters");
  MessageRecord m;
  int type = 0;
  for (;;) {
    wmessage(type, m);
    if (type == EV_PUSHBUTTON) {
      if (m.value1 == 1) {
        // A parameter typed and confirmed with Finished is applied before the dialog goes.
        float typed = twvars.filterparam;
        WDialogGetReal(1019, typed);
        if (filterparam_asstored(typed) != twvars.filterparam) applydialog();
        WDialogUnload();
        return;
      }
      if (m.value1 == 1047) {
        WHelpFile("ms-its:tarnwalker_help.chm::/TW_9_BaseSep_program.htm");
      } else {
        sepzoom(m.value1);
        refreshplot();
      }
    } else if (type == EV_EXPOSE || type == EV_RESIZE) {
      refreshplot();
    } else if (type == EV_FIELDCHANGED) {
      applydialog();
    }
  }
}

void bfsep_main() {
  wmenuroot(0);
  wmenuroot(30002);
  WMenuToolbar(30102);
  initialiseplot();
  std::vector<float> work(MAXDAYS);
  for (int i = 0; i < MAXDAYS; ++i) work[static_cast<std::size_t>(i)] = twvars.daily[static_cast<std::size_t>(i)].flow;
  irealmaxmin1(work, twvars.ndays, plotdat.datamin, plotdat.datamax);
  plotdat.vmax = 1.05f * plotdat.datamax;
  plotdat.vmin = 0;
  refreshplot();
  bfinteract_dialog();
  MessageRecord m;
  int type = 0;
  for (;;) {
    wmessage(type, m);
    if (type == EV_COMMAND) {
      switch (m.value1) {
        case 40010: bfinteract_dialog(); break;
        case 40011: leave(); return;
        case 40018: plottoclipboard(refreshplot); break;
        case 40019: plottofile(refreshplot); break;
        case 40020: plottoprinter(refreshplot, "separation plot"); break;
        default: break;
      }
    } else if (type == EV_EXPOSE || type == EV_RESIZE) {
      refreshplot();
    } else if (type == EV_CLOSE) {
      leave();
      return;
    }
  }
}
