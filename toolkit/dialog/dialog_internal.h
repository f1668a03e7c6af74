#pragma once
// The dialog manager's own records and internal routines: the table of loaded dialogs, the
// record of each dialog window and of each field, the saved entry of the numeric fields,
// and the routines the parts of the manager call in one another.
//
// Dialog table, a static record of the manager. Starts empty; written by the load, show,
// hide and unload routines (hDialogList, nDialogs, iDlgCur, nSemi, hLastSemi), the modal end
// of a push button (iDlgAct) and the dialog procedure (entry 0 while a modal instance runs).
// Read by every field operation (entry iDlgCur) and the queries.
// Invariants: entries 1..nDialogs are live dialog windows with unique identifiers; iDlgCur is
// 0 or one of them; entries above nDialogs are empty.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win.h"
#include "toolkit/window/window.h"

inline constexpr int MAXDIALOGS = 100;

struct DialogTable {
  std::array<win::HWND, MAXDIALOGS + 1> hDialogList{};
  int nDialogs = 0;
  int iDlgCur = 0;
  int iDlgAct = 0;
  int nSemi = 0;
  win::HWND hLastSemi = nullptr;
};
inline DialogTable dialogtable;

// Show parameters kept from yydialogshow to the initialisation of a modal instance.
inline int ShowFocusField = 0, ShowX = -1, ShowY = -1;
inline int CreatingDialog = 0;   // 1 while windows are created or a modal copy runs: no events

// One record per dialog window, its user data.
struct DialogRecord {
  int identifier = 0;
  int shown = 0;
  int currentfield = 0;
  int previousfield = 0;
  int currentpage = 0;
  int previouspage = 0;
  int showmode = 0;            // 1 modal, 2 modeless, 3 semi-modeless
  win::HWND returnwindow = nullptr;
  win::HWND reenablewindow = nullptr;
  int lastcellcode = 0;
  int eventfield = 0;
  int graphics = 0;
  int mousebutton = 0;
  int rootaccelerators = 0;
  win::HWND combinedwindow = nullptr;
  win::HWND lastfield = nullptr;
  win::HWND stretchfield = nullptr;
  int minwidth = 0, minheight = 0;
  int stretchmode = 0;
  // The template the dialog was made from, so that a dialog loaded under another identifier
  // still shows its own template modal.
  int resource = 0;
  // Snapshot of a dialog that draws, taken around modal work, and its use count.
  win::HBITMAP image = nullptr;
  int nimage = 0;
};

// One record per field window, its user data.
struct FieldRecord {
  double value = 0.0;
  double rangemin = 1000.0, rangemax = -1000.0;
  double smallstep = 0.0, largestep = 0.0;
  int spinorigin = 0;
  int valueflag = 0;
  win::HWND buddy = nullptr;
  win::WNDPROC innerproc = nullptr;
  int graphics = 0;
  int foreground = -1, background = -1;
  int leftbytab = 0;
  int lengthlimit = 0;
  int state = 1;
  std::vector<int> tabstops;
  // Shared with a modal instance's copy of the record, which never frees it.
  std::string* format = nullptr;
  int notify = 0;
  int rightoffset = 0, bottomoffset = 0, anchors = 0;
  int userflags = 0;
  int explain = 0;   // field option 4: a refusal at OK says in a message box what is accepted
  win::HCURSOR cursor = nullptr;
  int cursorshape = 0;
  bool sharedformat = false;   // a modal instance's copy: the format is the loaded dialog's
  bool hasrange() const { return rangemin <= rangemax; }
};

// Saved entry of the numeric fields and the refused field.
// StoreVal (window layer, 1 from the root window's creation) asks the next numeric field
// to receive the focus to save its entry.
inline std::string SavedFieldText;
inline double SavedFieldValue = 0.0;
inline win::HWND hBadVal = nullptr, hBadTab = nullptr;
inline int iBadTab = 0;
inline int bOverride = 0;   // the grid switches the range check off

// Field kinds by window class.
enum class FieldClass {
  Other, Dialog, Static, Edit, IntegerEdit, IntegerSpin, RealEdit, RealSpin, DoubleEdit,
  DoubleSpin, Grid, Button, Trackbar, List, Combo, Tab, Progress, UpDown, Header, Tree, Scrollbar
};
FieldClass yyfieldclass(win::HWND field);
bool yyisnumeric(FieldClass c);
bool yyisspin(FieldClass c);
inline bool yyisnumeric(win::HWND field) { return yyisnumeric(yyfieldclass(field)); }

DialogRecord* yydialogrecord(win::HWND dialog);
FieldRecord* yyfieldrecord(win::HWND field);
win::HWND yycurrentdialog();                 // entry iDlgCur, nullptr without one
win::HWND yycurrentfield(int field);         // field of the current dialog, nullptr if none
// Text of a window as an std::string (at most limit characters).
std::string yywindowtext(win::HWND hwnd, int limit = 65535);
std::string yytrimright(std::string_view text);
std::string yycstr(const std::string& buffer);   // up to the first NUL, trailing blanks off

// Table, loading and showing.
int yydialogfind(int identifier);
void yydialogload(int resource, int& status, int identifier, int window);
void yydialogload2(int resource, int& status, int identifier, int window, int combine);
void yydialogselect(int& identifier);
void yydialogparent(int& window);
void yydialogshow(int x, int y, int xpixels, int ypixels, int& mode, int focusfield, int combined);
void yydialoghide(int index, int& status);
void yydialogunload(int flag, int index);
void yydialogunload2(win::HWND dialog, int flag, int index);
void yyDisableDialogs(win::HWND spare, int flag);
void yyEnableDialogs(win::HWND window, int flag);
void yydialogcentre(win::HWND dialog);
win::HWND yyactivewindlg();
int yyismodaldialog(win::HWND hwnd);
void yydialogcopy(win::HWND to, win::HWND from);
void yyregisterdialoghooks();
void yygridfieldsinstall();   // the grid classes and the grid's service table

// Companion text.
// Applies the companion text of that resource number to the dialog's fields: 0 done (also
// without a text), -1 refused (the text would leave the dialog unsound; the caller unloads
// what the text loaded). yydialogvxktext applies a text given directly.
int yydialogvxk(win::HWND dialog, int resource, int index);
int yydialogvxktext(win::HWND dialog, int resource, int index, std::string_view text);
int strcmpvxk(std::string_view header, std::string_view text);

// Dialog procedure.
win::INT_PTR yydialogproc(win::HWND dialog, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
int yydialoginitialise(win::HWND dialog, DialogRecord* record);
void yyUpdateLast(win::HWND dialog, win::HWND field);
win::HBRUSH yyProcessColour(win::HWND dialog, win::UINT msg, win::HDC dc, win::HWND field);
void yyFieldColour2(FieldRecord& record, int red, int green, int blue, bool foreground);
void yyregistersubclass();

// Numeric fields.
void yyregistersuperclass();
int yyoutofrange(win::HWND field, win::HWND taking, int flag);
// 1 when the numeric field's text would be refused if the focus left it now (outside the
// range, beyond what the field's kind holds, no number, or emptied with a range set).
int yyentryrefused(win::HWND field);
// With field option 4 set: a message box says what the numeric field accepts (its range, or
// a number), then the field has the focus again with its text selected.
void yyexplainrefusal(win::HWND field);
void yyselectinvalid(win::HWND taking, win::HWND field, int tabflag);
void yyDefaultButton(win::HWND field);
void yyspinstep(win::HWND field, int delta);
void yyfieldrange(int& field, double minimum, double maximum);
void yyfieldrange2(int& field, double minimum, double maximum, win::HWND dialog);
void yyfieldrangecheck(int& field, double value);
void yyfieldspinstepr(int& field, float small, float large);
void yyfieldspinstepi(int& field, int small, int large, int origin);
void yyfieldspinstepd(int& field, double small, double large);

// Field operations used inside the manager.
// The field's value (the last accepted one while a numeric field's text is refused); field
// -1 for a missing field, -2 for an empty one.
void yyfieldgetvalue(int& field, double& value);
void yyDialogSelectAll(win::HWND field);
void yyfieldclear(int& field);
void yyfieldenable(int& field, int state, int noupdate);
int yyFieldInRect(win::HWND field, const win::RECT& rect);   // 1 inside, 2 across, 0 outside (screen)
void yygetmenutype(int& field, int& type);

// Queries.
void yygetfieldtype(int& field, int& type);
void yygetfieldstate(int& field, int& state);
void yygetfieldstatewindow(win::HWND field, int& state);
void yywinfodialog(int item, int& result);

// Tabs, trackbars, progress bars and resizable dialogs.
void yytabdialoginit(win::HWND dialog);
void yytabdialogend(win::HWND dialog);
void yytabdialogsetfocus(win::HWND tab, win::HWND page, int focus);
std::vector<int> yytabpages(win::HWND tab);
void yytabdisplayarea(win::HWND tab, win::RECT& area);   // in the tab's parent's coordinates
void yyTreeViewInit(win::HWND tree, int menu, int select);
struct TREEITEM__;
void yyTreeViewInit2(win::HWND tree, ::TREEITEM__* parent, win::HMENU menu, int select);
::TREEITEM__* yyTreeViewFind(win::HWND tree, int id);
::TREEITEM__* yyTreeViewFind2(win::HWND tree, ::TREEITEM__* first, int id);
void yyTreeViewCopy(win::HWND to, ::TREEITEM__* parent, win::HWND from, ::TREEITEM__* first);   // page identifier of each tab item
void yyforgetdialog(win::HWND dialog);
DialogRecord* yytakependingrecord(DialogRecord* record);
void yyunloadalldialogs();
int yyIsResizableDialog(win::HWND hwnd);
void yyDialogCreateSizeGrip(win::HWND dialog);
void yydialoganchors(win::HWND dialog);
void yydialogresize(win::HWND dialog, int width, int height);
int yytabnotify(win::HWND dialog, const win::NMHDR& header);
void yygetwindowbitmap(int mode, int window, int& status);
// Paints a dialog that draws, or a field of it, from the dialog's snapshot (nothing without one).
void yypaintfromsnapshot(win::HWND window, win::HDC dc);

// Tabs by program: a field that is no tab field gives field -1; a page no (enabled) tab shows
// gives page -1.
bool yytabdisabled(win::HWND tab, int index);
void yydialogsettab(int& field, int& page);
void yytabenable(int& field, int& page, int enable);
void yyfieldgettab(int& field, int& page);
// Resizes the current dialog to width x height dialog units (0 or less keeps that side);
// status -1 for a dialog combined with a window.
void yydialogsize(int width, int height, int& status);

// Tree fields by item identifier: field -1 (no tree field), -2 (no such item), -3 (the
// identifier exists already when checked, or the item is no branch).
inline int iTreeCheck = 0;
void yytreeviewcheck(int flag);
void yytreeviewinsert(int& field, int reference, int position, int id, std::string_view text);
void yytreeviewdelete(int& field, int id);
void yytreeviewgetstate(int& field, int id, int& state);
void yytreeviewsetstate(int& field, int id, int state);
void yytreeviewsetstring(int& field, int id, std::string_view text);
void yyfieldputtree(int& field, int id);
void yyfieldgettree(int& field, int& id, int textflag, std::string& text);

// Trackbars and progress bars by program: field -1 for a missing field or one of another
// class. iUndef stands for a trackbar selection that does not exist.
inline int iUndef = 0;
void yydialogundefined(int value);
void yyfieldputtrack(int& field, int position, int start, int end, int mode);
void yyfieldgettrack(int& field, int& position, int& start, int& end);
void yyrangetrack(int& field, int minimum, int maximum, int frequency);
void yyfieldtrackstep(int& field, int line, int page);
void yyfieldputprogress(int& field, int value, int delta);
void yyrangeprogress(int& field, int minimum, int maximum);

// The drawing surface: field f of the current dialog (0 the dialog itself) becomes gDC with
// the drawing state; field -1 when it or its device context cannot be had.
void yyfieldselect(int& field, int& width, int& height);
// 1 when the dialog, one of its fields or the current page of one of its tab fields draws
// graphics.
int yyCheckUserDrawn(win::HWND dialog);
