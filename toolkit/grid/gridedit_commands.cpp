// The commands of the grid-editor window: the save prompt, save and load as CSV, HTML export,
// find, go to, sort, and row insertion and deletion. Each selects the grid-editor window as
// the current toolkit window, asks the user, calls a grid routine on grid 0 (the window's
// grid), reports failures in message boxes and puts back the window, dialog and last error.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/dialog/dialog_state.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/grid/gridedit.h"
#include "toolkit/grid/gridfiles.h"
#include "toolkit/grid/gridprint.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/os/opsys.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window_state.h"
#include "toolkit/window/wmsg.h"

using namespace win;

namespace {

constexpr std::string_view kCsvFilter = "CSV Files|*.csv|All Files|*.*|";
constexpr std::string_view kHtmlFilter = "HTML Files|*.htm;*.html|All Files|*.*|";

std::string trimmed(std::string s) {
  s = s.substr(0, std::min(s.size(), s.find('\0')));
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

void box(std::string_view message, std::string_view title, int icon = 3) { WMessageBox(0, icon, 1, message, title); }

// Selects the grid-editor window for the length of a command and puts back what was current
// (the window, the dialog and the last error number).
class Selected {
 public:
  explicit Selected(int iwin) : window_(wIndex), dialog_(tessar.dialog.CURDIALOG), error_(tessar.error.LASTERROR) {
    if (iwin != window_) yywinsel(iwin, 1);
    tessar.error.LASTERROR = 0;
  }
  ~Selected() {
    if (wIndex != window_) yywinsel(window_, 1);
    if (dialog_ != 0 && tessar.dialog.CURDIALOG != dialog_) WDialogSelect(dialog_);
    if (restore_) tessar.error.LASTERROR = error_;
  }
  void keeperror() { restore_ = false; }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  int window_, dialog_, error_;
  bool restore_ = true;
};

GridWindowRecord* recordof(int iwin) {
  return iwin >= 0 && iwin < MAXWINDOWS ? yygridwindowrecord(winslot(iwin).wWindow) : nullptr;
}

GridInstance* gridof(const GridWindowRecord& r) { return yygridinstance(r.grid); }

// Loads a command dialog; false (after telling the user) when it cannot be loaded.
bool loaddialog(int resource) {
  tessar.error.LASTERROR = 0;
  WDialogLoad(resource);
  if (tessar.error.LASTERROR != 0) {
    box("Unable to load required dialog", "Error", 1);
    return false;
  }
  return true;
}

// Shows the loaded dialog modally; true when it ended with push button 1.
bool confirmed() {
  WDialogShow(-1, -1, 0, 1);
  return tessar.dialog.EXITBUTTON == 1;
}

// Shows the loaded dialog semi-modeless (the other windows and dialogs are disabled while it
// is up) with the focus on field.
void showsemimodeless(int field = 0) { WDialogShow(-1, -1, field, 3); }
// Waits for the next push button of the dialog; every other event is dropped.
int nextbutton() {
  // The program may have switched push-button events off; the wait needs them.
  int enabled = 0;
  yyinfomessage(EV_PUSHBUTTON, enabled);
  if (enabled == 0) wmessageenable(EV_PUSHBUTTON, 1);
  for (;;) {
    int type = 0;
    MessageRecord m;
    wmessage(type, m);
    if (type == EV_PUSHBUTTON) {
      if (enabled == 0) wmessageenable(EV_PUSHBUTTON, 0);
      return m.value1;
    }
  }
}
// Hides and unloads the current dialog.
void closedialog() {
  WDialogHide();
  WDialogUnload();
}

// Asks for a file name with the standard file dialog; empty when the user cancelled.
std::string askname(const GridWindowRecord& r, std::string proposed, int flags, std::string_view filter,
                    int* filetype) {
  std::string name = proposed;
  name.resize(std::max<std::size_t>(name.size(), 260), ' ');
  WSelectFile(filter.empty() ? kCsvFilter : filter, flags, name, {}, filetype);
  (void)r;
  if (tessar.dialog.DLGANSWER != 1) return {};
  return trimmed(name);
}

}  // namespace

void yygridwinsaveprompt(int iwin, int imodified, int& iresult) {
  GridWindowRecord* r = recordof(iwin);
  if (imodified != 1 || r == nullptr) {
    iresult = 1;
    return;
  }
  const std::string text =
      r->filename.empty() ? "Do you want to save changes?" : "Do you want to save changes to " + r->filename + "?";
  WMessageBox(4, 3, 1, text, "Tessaraweld Grid Editor");
  switch (tessar.dialog.DLGANSWER) {
    case MBANSWER_OK: yygridwinsave(iwin, 0, iresult); break;
    case MBANSWER_NO: iresult = 1; break;
    case MBANSWER_CANCEL: iresult = 0; break;
    default: break;
  }
}

void yygridwinsave(int iwin, int isaveas, int& iresult, int irow1, int irow2, int icol1, int icol2) {
  iresult = 0;
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  const bool selection = irow1 != -1;
  std::string name = r->filename;
  if (isaveas == 1 || name.empty()) {
    std::string proposed = name;
    if (selection) {
      const auto cut = proposed.find_last_of("/");
      proposed = cut == std::string::npos ? std::string() : proposed.substr(0, cut + 1);
    }
    name = askname(*r, proposed, 35, r->filter, &r->filetype);
    if (name.empty()) return;
  }
  Selected keep(iwin);
  if (r->backup == 1) IOsCopyFile(name, name + ".bak");
  const int backuperror = tessar.error.LASTERROR;
  tessar.error.LASTERROR = 0;
  const int flags = r->labelcells == 1 ? GridCsvLabels : 0;
  if (selection) WGridSave(0, name, icol1 + 1, icol2 + 1, irow1 + 1, irow2 + 1, flags);
  else WGridSave(0, name, 1, INT_MAX, 1, INT_MAX, flags);
  const int error = tessar.error.LASTERROR != 0 ? tessar.error.LASTERROR : backuperror;
  tessar.error.LASTERROR = error;
  if (error == 1 || error == 2) {
    keep.keeperror();
    box(error == 1 ? "Error opening file" : "Error writing file", "File Error");
    return;
  }
  if (error != 0) keep.keeperror();
  iresult = 1;
  if (!selection) r->filename = name;
}

void yygridwinload(int iwin, int iask, int& iresult, std::string_view given) {
  iresult = 0;
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  std::string name = given.empty() ? r->filename : std::string(given);
  if (iask == 1) {
    name = askname(*r, name, 160, r->filter, &r->filetype);
    if (name.empty()) return;
  }
  Selected keep(iwin);
  WGridLoad(0, name, r->variablerows, r->labelcells == 1 ? GridCsvLabels : 0);
  const int error = tessar.error.LASTERROR;
  const char* message = nullptr;
  switch (error) {
    case 0: iresult = 1; break;
    case 1: box("Error opening file", "File Error"); break;
    case 2:
      if (tessar.error.ERRDETAIL == win::ERROR_NO_UNICODE_TRANSLATION)
        box(name + "\rThe file holds characters outside Windows-1252 (such as Greek, Cyrillic or CJK letters), or bytes "
                   "that are not UTF-8 after its UTF-8 mark. The grid cannot hold them, so the file was not loaded.",
            "File Error");
      else
        box("Error reading file", "File Error");
      break;
    case 4: case 1009: message = "Out of range value found for numeric cell"; break;
    case 11: case 12: message = "Non-numeric data found for numeric cell"; break;
    case 1054: message = "File contains too many rows/columns"; break;
    case 1055: message = "Non-matching data found for menu cell"; break;
    default: message = "The file holds data that could not be read into the grid"; break;
  }
  if (message != nullptr) {
    // The grid shows what could be read; it does not stand for the file, so the window does
    // not take the file's name and a later Save asks for one.
    box(std::string(message) + "\rThe grid holds only part of " + name + "; it is not saved under that name.",
        "Data Error");
    iresult = 2;
  }
  if (GridInstance* g = gridof(*r); g != nullptr && g->columncount > 0 && g->rowsinuse > 0)
    yygridupdatecell(r->grid, 0, 0, 1, 0);
  if (iresult == 1) r->filename = trimmed(name);
  else if (iresult == 2) r->filename.clear();
}

namespace {
// The Save As HTML choices kept from one confirmed use to the next.
struct HtmlChoices {
  int tableonly = 0, yesno = 0, centre = 0, colours = 1, border = 1;
  std::string title;
};
HtmlChoices htmlkept;
}  // namespace

void yygridwinsavehtml(int iwin, int irow1, int irow2, int icol1, int icol2, int& iresult) {
  iresult = 0;
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  Selected keep(iwin);
  if (!loaddialog(IDD_GRIDHTML)) return;
  std::string proposed;
  if (!r->filename.empty()) {
    const auto dot = r->filename.find_last_of('.');
    const auto slash = r->filename.find_last_of('/');
    proposed = (dot != std::string::npos && (slash == std::string::npos || dot > slash) ? r->filename.substr(0, dot)
                                                                                       : r->filename) + ".htm";
  }
  const HtmlChoices& k = htmlkept;
  WDialogPutString(1002, proposed);
  WDialogPutRadioButton(k.tableonly ? 1006 : 1005);
  WDialogPutRadioButton(k.yesno ? 1009 : 1008);
  WDialogPutCheckBox(1010, k.centre);
  WDialogPutCheckBox(1011, k.colours);
  WDialogPutString(1013, k.title);
  WDialogPutInteger(1015, k.border);
  WDialogRangeInteger(1015, 0, 20);
  WDialogFieldState(1018, irow1 == -1 ? 0 : 1);
  WDialogPutRadioButton(irow1 == -1 ? 1017 : 1018);
  showsemimodeless(1002);
  std::string name, browsed;
  int button = 0;
  auto field = [](int id, std::size_t length) {
    std::string t(length, ' ');
    WDialogGetString(id, t);
    return trimmed(t);
  };
  for (;;) {
    button = nextbutton();
    if (button == 2) break;
    if (button == 1003) {
      const std::string chosen = askname(*r, field(1002, 260), 35, kHtmlFilter, nullptr);
      WDialogSelect(IDD_GRIDHTML);
      if (!chosen.empty()) {
        WDialogPutString(1002, chosen);
        browsed = chosen;
      }
      continue;
    }
    if (button != 1) continue;
    name = field(1002, 260);
    if (name.empty()) {
      box("You must enter a filename", "Select File");
      WDialogSelect(IDD_GRIDHTML);
      WDialogSetField(1002);
      continue;
    }
    win::FileFacts facts;
    int status = 0;
    win::yyfilefacts(name.c_str(), facts, status);
    if (name != browsed && facts.exists) {
      WMessageBox(3, 3, 2, name + " already exists\rDo you want to replace it?", "Select File");
      const bool yes = tessar.dialog.DLGANSWER == MBANSWER_OK;
      WDialogSelect(IDD_GRIDHTML);
      if (!yes) {
        WDialogSetField(1002);
        continue;
      }
    }
    HtmlChoices c;
    int p = 0;
    WDialogGetRadioButton(1005, p);
    c.tableonly = p == 2;
    WDialogGetRadioButton(1008, p);
    c.yesno = p == 2;
    WDialogGetCheckBox(1010, c.centre);
    WDialogGetCheckBox(1011, c.colours);
    c.title = field(1013, 1024);
    WDialogGetInteger(1015, c.border);
    WDialogGetRadioButton(1017, p);
    const bool selection = p == 2 && irow1 != -1;
    htmlkept = c;
    if (!selection) irow1 = -1;
    break;
  }
  closedialog();
  if (button != 1) return;
  tessar.error.LASTERROR = 0;
  if (r->backup == 1) IOsCopyFile(name, name + ".bak");
  tessar.error.LASTERROR = 0;
  const HtmlChoices& c = htmlkept;
  const int flags = (c.tableonly ? GridHtmlTableOnly : 0) + (c.centre ? GridHtmlCentre : 0) +
                    (c.yesno ? GridHtmlYesNo : 0) + (c.colours ? 0 : GridHtmlNoColours);
  const std::optional<std::string_view> title =
      c.title.empty() ? std::nullopt : std::optional<std::string_view>(c.title);
  if (irow1 != -1) WGridSaveHTML(0, name, icol1 + 1, icol2 + 1, irow1 + 1, irow2 + 1, flags, title, c.border);
  else WGridSaveHTML(0, name, 1, INT_MAX, 1, INT_MAX, flags, title, c.border);
  const int error = tessar.error.LASTERROR;
  if (error == 1 || error == 2) {
    keep.keeperror();
    box(error == 1 ? "Error opening file" : "Error writing file", "File Error");
    return;
  }
  if (error != 0) keep.keeperror();
  iresult = 1;
}

void yygridwinfind(int iwin, int ifindmode) {
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  GridInstance* g = gridof(*r);
  if (g == nullptr) return;
  Selected keep(iwin);
  bool text = false, numbers = false;
  for (const GridColumn& c : g->data().columns) {
    text = text || c.type == GridString;
    numbers = numbers || c.type == GridInteger || c.type == GridReal || c.type == GridDouble;
  }
  if (!text && !numbers) {
    box("Grid contains no searchable columns", "Find");
    return;
  }
  if (!text) r->numeric = 1;
  if (ifindmode == 1) {
    if (!loaddialog(IDD_GRIDFIND)) return;
    WDialogPutString(1002, r->searchtext);
    WDialogPutCheckBox(1003, r->matchcase);
    WDialogPutCheckBox(1004, r->numeric);
    // The numeric choice is offered only when the grid has both kinds of columns.
    if (!(text && numbers)) WDialogFieldState(1004, 3);
    showsemimodeless(1002);
    bool go = false;
    for (;;) {
      const int button = nextbutton();
      if (button == 2) break;
      if (button != 1) continue;
      std::string t(1024, ' ');
      WDialogGetString(1002, t);
      if (trimmed(t).empty()) {
        windowbell("");
        continue;
      }
      r->searchtext = trimmed(t);
      WDialogGetCheckBox(1003, r->matchcase);
      WDialogGetCheckBox(1004, r->numeric);
      go = true;
      break;
    }
    closedialog();
    if (!go) return;
  }
  if (r->searchtext.empty()) return;
  tessar.error.LASTERROR = 0;
  int found = 0;
  // Both Find and Find Next start after the current cell.
  WGridFind(0, r->searchtext,
            GridFindNext | (r->matchcase ? 0 : GridFindIgnoreCase) | (r->numeric ? GridFindNumeric : 0), &found);
  if (found == 0) box("End of grid reached", "Find", 4);
}

void yygridwingoto(int iwin, int ikind) {
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  GridInstance* g = gridof(*r);
  if (g == nullptr) return;
  Selected keep(iwin);
  if (!loaddialog(ikind == 1 ? IDD_GRIDGOTOCELL : IDD_GRIDGOTO)) return;
  const GridInstance& d = g->data();
  int column = g->currentcolumn + 1, row = g->currentrow + 1;
  if (ikind == 1) {
    WDialogPutInteger(1002, column);
    WDialogRangeInteger(1002, 1, d.columncount);
    WDialogPutInteger(1004, row);
    WDialogRangeInteger(1004, 1, d.rowsinuse);
  } else {
    WDialogTitle(ikind == 2 ? "Goto Row" : "Goto Column");
    WDialogPutString(1001, ikind == 2 ? "&Row" : "&Column");
    WDialogPutInteger(1002, ikind == 2 ? row : column);
    WDialogRangeInteger(1002, 1, ikind == 2 ? d.rowsinuse : d.columncount);
  }
  const bool go = confirmed();
  if (go) {
    if (ikind == 1) {
      WDialogGetInteger(1002, column);
      WDialogGetInteger(1004, row);
    } else {
      WDialogGetInteger(1002, ikind == 2 ? row : column);
    }
  }
  WDialogUnload();
  if (!go) return;
  if (column < 1 || column > d.columncount || row < 1 || row > d.rowsinuse) {
    box("There is no such cell in the grid", "Go to", 3);
    return;
  }
  yygridupdatecell(r->grid, column - 1, row - 1, 1, 0);
}

void yygridwinsort(int iwin, int& iresult) {
  static int descending = 0, matchcase = 0;
  iresult = 0;
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  GridInstance* g = gridof(*r);
  if (g == nullptr) return;
  Selected keep(iwin);
  if (!loaddialog(IDD_GRIDSORT)) return;
  std::vector<std::string> titles;
  const GridInstance& d = g->data();
  for (int c = 0; c < d.columncount; ++c) {
    std::string t = static_cast<std::size_t>(c + 1) < d.columnlabels.size() ? d.columnlabels[static_cast<std::size_t>(c + 1)] : "";
    titles.push_back(t.empty() ? "Column " + std::to_string(c + 1) : t);
  }
  WDialogPutMenu(1002, titles, static_cast<int>(titles.size()), g->currentcolumn + 1);
  WDialogPutRadioButton(descending ? 1005 : 1004);
  WDialogPutCheckBox(1006, matchcase);
  const bool go = confirmed();
  int key = 0;
  if (go) {
    WDialogGetMenu(1002, key);
    int position = 0;
    WDialogGetRadioButton(1004, position);
    descending = position == 2 ? 1 : 0;
    WDialogGetCheckBox(1006, matchcase);
  }
  if (go && key >= 1) {
    // Sorted while the sort dialog is still the current dialog.
    tessar.error.LASTERROR = 0;
    iresult = WGridSort(0, key, (descending ? SORT_DESCENDING : 0) | (matchcase ? 0 : SORT_IGNORECASE) |
                                    (r->movelabels ? SORT_ROWLABELS : 0));
  }
  WDialogUnload();
  if (iresult == 1) g->modified = g->changed = 1;
}

void yygridwininsertrow(int iwin, int iafter) {
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  GridInstance* g = gridof(*r);
  if (g == nullptr) return;
  Selected keep(iwin);
  WGridInsertRows(0, g->currentrow + 1 + (iafter ? 1 : 0), 1, r->variablerows, r->movelabels);
  if (tessar.error.LASTERROR != 0) {
    box("No room for another row in the grid", "Insert Row", 3);
    return;
  }
  g->modified = g->changed = 1;
  yyGridWinSize(*r);
}

void yygridwindeleterow(int iwin) {
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  GridInstance* g = gridof(*r);
  if (g == nullptr) return;
  Selected keep(iwin);
  WGridDeleteRows(0, g->currentrow + 1, 1, r->variablerows, r->movelabels);
  g->modified = g->changed = 1;
  yyGridWinSize(*r);
}

void yygridwinprint(int iwin, int irow1, int irow2, int icol1, int icol2, int& iresult) {
  iresult = 0;
  GridWindowRecord* r = recordof(iwin);
  if (r == nullptr) return;
  if (!yygridprintready(2)) {
    box("No printer installed", "Error", 1);
    return;
  }
  Selected keep(iwin);
  if (!loaddialog(IDD_GRIDPRINT)) return;
  int rowlines = 0, columnlines = 0, repeat = 0, text = 0, back = 0, scale = 100;
  yygridprintgetopt(rowlines, columnlines, repeat, text, back, scale, 2);
  WDialogPutCheckBox(1002, rowlines);
  WDialogPutCheckBox(1003, columnlines);
  WDialogPutRadioButton(repeat == 1 ? 1006 : 1005);
  WDialogPutRadioButton(back == 1 ? 1010 : text == 1 ? 1009 : 1008);
  WDialogPutInteger(1012, scale);
  WDialogRangeInteger(1012, 10, 1000);
  showsemimodeless();
  int button = 0;
  for (;;) {
    button = nextbutton();
    if (button == 1 || button == 2) break;
    if (button == 1014) {
      yygridprintsetup(-1, 2);
      WDialogSelect(IDD_GRIDPRINT);
    }
  }
  if (button == 1) {
    WDialogGetCheckBox(1002, rowlines);
    WDialogGetCheckBox(1003, columnlines);
    int p = 0;
    WDialogGetRadioButton(1005, p);
    repeat = p == 2;
    WDialogGetRadioButton(1008, p);
    text = p >= 2;
    back = p == 3;
    WDialogGetInteger(1012, scale);
  }
  closedialog();
  if (button != 1) return;
  yygridprintsetopt(rowlines, columnlines, repeat, text, back, scale, 2);
  yygridprint(0, iresult, irow1, irow2, icol1, icol2, 2, "");
  switch (iresult) {
    case GridPrinted: return;
    case GridPrintNoPrinter: box("No printer installed", "Error", 1); break;
    case GridPrintNoRowRoom:
      box("The page has no room for a single row of the grid.\rMake the margins or the scale smaller.", "Print");
      break;
    case GridPrintLabelsTooWide:
      box("The row labels are wider than the page.\rMake the scale smaller.", "Print");
      break;
    default: box("The grid could not be printed", "Print"); break;
  }
  iresult = 0;
}
