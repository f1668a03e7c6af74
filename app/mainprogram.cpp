// The main program and its menu loop, the about dialog and the text-file browser.
#include "app/mainprogram.h"

#include <string>

#include "app/baseflow.h"
#include "app/dataentry.h"
#include "app/menustate.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "app/regwindow.h"
#include "app/separation.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/editor/editor.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/startup/help.h"
#include "toolkit/startup/startup.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/winprint/wdrivers.h"
#include "toolkit/window/wmsg.h"

namespace {

// The file browsefile chose last, offered again next time.
std::string browsed(500, ' ');

std::string trimmed(const std::string& s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// The save question; false when the user said Yes and the save failed.
bool offersave() {
  if (twvars.status < 1) return true;
  WMessageBox(3, 2, 1, "Do you want to save your work so far?", "Save now?");
  if (winfodialog(4) != 1) return true;
  return filesave();
}

void dispatch(int id) {
  switch (maincommand(id)) {
    case MainCommand::NewDaily: newdaily(); break;
    case MainCommand::Exit: break;            // handled by the caller
    case MainCommand::Save: filesave(); break;
    case MainCommand::BaseflowSeparation:
      baseflowseparation();
      // A separation that failed opens no view and leaves the status as it was.
      if (twvars.errorflag == 0) bfsep_main();
      break;
    case MainCommand::TrendAnalysis: trendanalysis(); break;
    case MainCommand::Open: fileopen(); break;
    case MainCommand::NewAnnual: newannual(); break;
    case MainCommand::Help: WHelpFile("tarnwalker_help.chm"); break;
    case MainCommand::AggPeriod: aggperiod(); break;
    case MainCommand::ReviewFlows: reviewflows(); break;
    case MainCommand::New: filenew(); break;
    case MainCommand::About: displayabout(); break;
    case MainCommand::BrowseFile: browsefile(); break;
    case MainCommand::SaveAs: filesaveas(); break;
    case MainCommand::UserManual: WHelpFile("K52wdn_UserManual.pdf"); break;
    case MainCommand::None: break;
  }
}

}  // namespace

void mainprogram_start(bool initialise) {
  if (initialise) winitialise(" ");
  // The Windows metafile and printer drivers join the hardcopy manager's dispatch.
  yyinstallwinprint();
  genwin.flags = 39;
  genwin.x = -1;
  genwin.y = 30;
  genwin.width = -1;
  genwin.height = -1;
  genwin.menuid = 30001;
  genwin.wintitle = "TarnWalker - Baseflow Separation and Trend Analysis";
  genwin.wintitle.resize(80, ' ');
  WindowOpenOptions o;
  o.flags = genwin.flags;
  o.x = genwin.x;
  o.y = genwin.y;
  o.width = genwin.width;
  o.height = genwin.height;
  o.menu = genwin.menuid;
  const std::string title = trimmed(genwin.wintitle);
  o.title = title;
  WindowOpen(o);
  WMenuToolbar(30101);
  wmessageenable(EV_FIELDCHANGED, 1);
  wmenuroot(0);
  wmenuroot(30001);
  WMenuToolbar(30101);
  for (int type : {EV_MOUSEMOVE, EV_DOUBLECLICK, EV_MOUSEDOWN, EV_MOUSEUP}) wmessageenable(type, 1);
  igrcolourmodel(24);
  initialise_tw_vars();
  windowoutstatusbar(1, "Tarnwalker file:   None");
  displayabout();
}

bool mainprogram_turn() {
  setmenustate();
  wmessage(genwin.itype, genwin.message);
  if (genwin.itype == EV_COMMAND) {
    if (maincommand(genwin.message.value1) == MainCommand::Exit) return exitsequence();
    dispatch(genwin.message.value1);
    return false;
  }
  if (genwin.itype == EV_CLOSE) return exitsequence();
  return false;
}

bool exitsequence() {
  // A save the user asked for that fails keeps the program and the data as they are.
  if (!offersave()) return false;
  WCursorShape(0);
  wmenuroot(30001);
  WMenuToolbar(30101);
  IGrArea(0, 0, 1, 1);
  igrareaclear();
  windowclose();
  return true;
}

void displayabout() {
  tessar.error.LASTERROR = 0;
  WDialogLoad(109);
  // Without its dialog there is no OK to wait for.
  if (tessar.error.LASTERROR != 0) return;
  // The version field shows this program's version.
  WDialogPutString(1018, std::string(param.version));
  WDialogShow(-1, -1, 0, 3);
  MessageRecord m;
  int type = 0;
  do {
    wmessage(type, m);
  } while (!(type == EV_PUSHBUTTON && m.value1 == 1));
  WDialogUnload();
  wmessageenable(EV_FIELDCHANGED, 0);
}

void browsefile() {
  int window = 0;
  WindowOpenChildOptions o;
  o.flags = 39;
  o.title = "Text Editor";
  WindowOpenChild(window, o);
  if (window <= 0) return;
  WSelectFile("All files (*.*)|*.*|", 42, browsed, "Select file");
  WEditFile(trimmed(browsed), {.mode = 2, .menu = 0, .options = 34, .fonttype = 1});
  MessageRecord m;
  int type = 0;
  do {
    wmessage(type, m);
  } while (type != EV_CLOSE);
  WindowCloseChild(window);
}
