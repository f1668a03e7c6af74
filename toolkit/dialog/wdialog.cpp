// toolkit/dialog/wdialog.cpp: the table of loaded dialogs and a dialog's life: loading,
// selecting, showing modal, modeless and semi-modeless, the modal copy, hiding, unloading,
// and disabling the other windows around modal work.
// Sections (grep "[SECTION]"): helpers | front routines | loading | showing | modal copy |
//   hiding and unloading | disabling | window-layer hooks
#include <algorithm>
#include <cstring>

#include "platform/dialog.h"
#include "platform/icon.h"
#include "platform/resource.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/geometry.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/units.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"

using namespace win;

//------------------------------------------------------------------------------
// [SECTION] Helpers
// - yydialogrecord(), yyfieldrecord(), yycurrentdialog(), yycurrentfield(), yywindowtext(),
//   yytrimright(), yycstr(), yydialogfind()
//------------------------------------------------------------------------------
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

bool ischild(HWND h) { return (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0; }

bool isdialogwindow(HWND h) {
  char name[16] = {};
  GetClassName(h, name, sizeof name);
  return std::strcmp(name, WC_DIALOG) == 0;
}

bool isloaded(HWND h) {
  const DialogTable& dt = dialogtable;
  for (int i = 1; i <= dt.nDialogs; ++i)
    if (dt.hDialogList[at(i)] == h) return true;
  return false;
}

// A toolkit frame, child frame or client window, or the desktop.
bool istoolkitwindow(HWND h) {
  if (h == nullptr || h == GetDesktopWindow()) return true;
  for (int w = 0; w < MAXWINDOWS; ++w)
    if (winslot(w).wWindow == h || winslot(w).hClient == h) return true;
  return false;
}

DialogRecord* pendingRecord = nullptr;   // the record of the dialog being created

// Removes a destroyed dialog from the table; the current index keeps naming its dialog.
void forget(HWND dialog) {
  DialogTable& dt = dialogtable;
  int index = 0;
  for (int i = 1; i <= dt.nDialogs; ++i)
    if (dt.hDialogList[at(i)] == dialog) index = i;
  if (index == 0) return;
  for (int i = index; i < dt.nDialogs; ++i) dt.hDialogList[at(i)] = dt.hDialogList[at(i + 1)];
  dt.hDialogList[at(dt.nDialogs)] = nullptr;
  if (dt.iDlgCur == index) dt.iDlgCur = 0;
  else if (dt.iDlgCur > index) --dt.iDlgCur;
  --dt.nDialogs;
  if (dt.hLastSemi == dialog) dt.hLastSemi = nullptr;
  if (hDlgCur == dialog) hDlgCur = nullptr;
  if (dt.nDialogs == 0) {
    bool visible = false;
    for (const WindowSlot& slot : tessar.windows)
      if (HWND f = slot.wWindow; f != nullptr && IsWindowVisible(f)) visible = true;
    if (!visible) hWinCur = winslot(0).wWindow;
  }
}

}  // namespace

DialogRecord* yydialogrecord(HWND dialog) {
  if (dialog == nullptr || !isdialogwindow(dialog)) return nullptr;
  return reinterpret_cast<DialogRecord*>(GetWindowLongPtr(dialog, GWLP_USERDATA));
}

FieldRecord* yyfieldrecord(HWND field) {
  if (field == nullptr || !IsWindow(field)) return nullptr;
  HWND parent = GetParent(field);
  if (parent == nullptr || !isdialogwindow(parent) || isdialogwindow(field)) {
    // A numeric field outside a dialog (a grid's cell editor) keeps its record too.
    if (!yyisnumeric(field)) return nullptr;
  }
  return reinterpret_cast<FieldRecord*>(GetWindowLongPtr(field, GWLP_USERDATA));
}

HWND yycurrentdialog() {
  const DialogTable& dt = dialogtable;
  return dt.iDlgCur > 0 ? dt.hDialogList[at(dt.iDlgCur)] : nullptr;
}

HWND yycurrentfield(int field) {
  HWND dlg = yycurrentdialog();
  if (dlg == nullptr || field == -1) return nullptr;
  HWND h = GetDlgItem(dlg, field);
  return h != nullptr && !isdialogwindow(h) ? h : nullptr;
}

std::string yywindowtext(HWND hwnd, int limit) {
  std::string text(static_cast<std::size_t>(limit) + 1, '\0');
  const int n = GetWindowText(hwnd, text.data(), limit + 1);
  text.resize(static_cast<std::size_t>(std::max(0, n)));
  return text;
}

std::string yytrimright(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

std::string yycstr(const std::string& buffer) {
  return yytrimright(std::string_view(buffer).substr(0, buffer.find('\0')));
}

int yydialogfind(int identifier) {
  const DialogTable& dt = dialogtable;
  for (int i = 1; i <= dt.nDialogs; ++i) {
    const DialogRecord* r = yydialogrecord(dt.hDialogList[at(i)]);
    if (r != nullptr && r->identifier == identifier) return i;
  }
  return -1;
}

//------------------------------------------------------------------------------
// [SECTION] Front routines
// - WDialogLoad(), WDialogShow(), WDialogHide(), WDialogUnload(), WDialogSelect()
//------------------------------------------------------------------------------
void WDialogLoad(int resource, std::optional<int> identifier, std::optional<int> window) {
  int status = resource;
  yydialogload(resource, status, identifier.value_or(resource), window.value_or(0));
  if (status == -1) { yyerror(1087, "WDialogLoad"); return; }
  if (status == -2) { yyerror(1007, "WDialogLoad"); return; }
  if (status == -3) { yyerror(1088, "WDialogLoad"); return; }
  tessar.dialog.CURDIALOG = identifier.value_or(resource);
}

void WDialogShow(std::optional<int> x, std::optional<int> y, std::optional<int> field,
                 std::optional<int> mode) {
  DialogState& ds = tessar.dialog;
  if (ds.CURDIALOG == 0 || yycurrentdialog() == nullptr) { yyerror(1005, "WDialogShow"); return; }
  const int ix = x.value_or(-1), iy = y.value_or(-1);
  int status = mode.value_or(2);
  const int requested = status;
  int parent = 0;
  yydialogparent(parent);
  const int saved = tessar.window.CURWINDOW;
  if (parent != saved) yywinsel(parent, 1);
  int px = ix, py = iy;
  if (ix != -1 || iy != -1) {
    int cx = 0, cy = 0;
    windowunitstopixels(ix == -1 ? 0 : ix, iy == -1 ? 0 : iy, cx, cy);
    if (ix != -1) px = cx;
    if (iy != -1) py = cy;
  }
  int snapshot = 0;
  if (requested == 1) yygetwindowbitmap(1, -1, snapshot);
  yydialogshow(ix, iy, px, py, status, field.value_or(0), 0);
  if (parent != saved) yywinsel(saved, 1);
  if (requested == 1 && status != -1) {
    yygetwindowbitmap(0, -1, snapshot);
    yywinfodialog(1, ds.EXITBUTTON);
    yywinfodialog(2, ds.FOCUSFIELD);
    yywinfodialog(3, ds.DLGACTIVE);
  }
  switch (status) {
    case -1: yyerror(1014, "WDialogShow"); break;
    case -2: yyerror(1016, "WDialogShow"); break;
    case -3: yyerror(1046, "WDialogShow"); break;
    case -4: yyerror(1047, "WDialogShow"); break;
    default: break;
  }
}

void WDialogHide() {
  if (tessar.dialog.CURDIALOG == 0 || yycurrentdialog() == nullptr) return;
  int status = 0;
  yydialoghide(-1, status);
  if (status == -2) yyerror(1069, "WDialogHide");
  if (status == -1) yyerror(1047, "WDialogHide");
}

void WDialogUnload(std::optional<int> flag) {
  DialogState& ds = tessar.dialog;
  if (ds.CURDIALOG == 0 || yycurrentdialog() == nullptr) { yyerror(1005, "WDialogUnload"); return; }
  int status = 0;
  yydialoghide(-1, status);
  if (status == -2) { yyerror(1069, "WDialogUnload"); return; }
  if (status == -1) { yyerror(1047, "WDialogUnload"); return; }
  yydialogunload(flag.value_or(0), -1);
  ds.CURDIALOG = 0;
}

void WDialogSelect(int identifier) {
  int id = identifier;
  yydialogselect(id);
  if (id == -1) { yyerror(1008, "WDialogSelect"); return; }
  tessar.dialog.CURDIALOG = identifier;
}

//------------------------------------------------------------------------------
// [SECTION] Loading
// - yydialogload(), yydialogload2(), yydialogselect(), yydialogparent()
//------------------------------------------------------------------------------
void yydialogload(int resource, int& status, int identifier, int window) {
  yydialogload2(resource, status, identifier, window, 0);
}

void yydialogload2(int resource, int& status, int identifier, int window, int combine) {
  DialogTable& dt = dialogtable;
  const int found = yydialogfind(identifier);
  if (found > 0) {
    dt.iDlgCur = found;
    return;
  }
  if (dt.nDialogs >= MAXDIALOGS) { status = -1; return; }
  if (FindResource(nullptr, MAKEINTRESOURCE(resource), RT_DIALOG) == nullptr) { status = -2; return; }
  yyregisterdialoghooks();
  yyregistersubclass();
  yyregistersuperclass();

  auto* record = new DialogRecord;
  record->identifier = identifier;
  record->resource = resource;
  record->lastcellcode = 262145;
  record->combinedwindow = combine != 0 && window >= 0 && window < MAXWINDOWS ? winslot(window).wWindow : nullptr;
  ShowFocusField = 0;
  ShowX = ShowY = 0;
  CreatingDialog = 1;
  HWND parent = nullptr;
  if (window == -1) parent = yyactivewindlg();
  else if (window >= 0 && window < MAXWINDOWS) parent = winslot(window).hClient;
  HWND saved = hDlgCur;
  pendingRecord = record;
  ++dt.nDialogs;
  HWND dlg = CreateDialogParam(GetModuleHandle(nullptr), MAKEINTRESOURCE(resource), parent, yydialogproc,
                               reinterpret_cast<LPARAM>(record));
  dt.hDialogList[at(dt.nDialogs)] = dlg;
  CreatingDialog = 0;
  hDlgCur = saved;
  if (dlg == nullptr) {
    if (pendingRecord == record) delete record;
    pendingRecord = nullptr;
    --dt.nDialogs;
    status = -3;
    return;
  }
  pendingRecord = nullptr;
  const int savedcur = dt.iDlgCur;
  dt.iDlgCur = dt.nDialogs;
  const int index = dt.nDialogs;
  if (yydialogvxk(dlg, resource, index) != 0) {
    // A refused companion text: the dialog and every dialog loaded while its text was read
    // (its new pages) go again; pages loaded before stay as they were.
    for (int k = dt.nDialogs; k >= index; --k) DestroyWindow(dt.hDialogList[at(k)]);
    dt.iDlgCur = savedcur;
    hDlgCur = saved;
    status = -3;
    return;
  }
  dt.iDlgCur = yydialogfind(identifier);
  for (HWND f = GetWindow(dlg, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
    FieldRecord* fr = yyfieldrecord(f);
    if (fr == nullptr || yyfieldclass(f) == FieldClass::UpDown) continue;
    yygetfieldstatewindow(f, fr->state);
  }
}

void yydialogselect(int& identifier) {
  const int index = yydialogfind(identifier);
  if (index < 0) {
    identifier = -1;
    return;
  }
  dialogtable.iDlgCur = index;
}

void yydialogparent(int& window) {
  HWND dlg = yycurrentdialog();
  window = 0;
  if (dlg == nullptr) return;
  HWND parent = GetParent(dlg);
  const int w = parent != nullptr ? yygetwindowindex(parent) : -1;
  window = w < 0 ? 0 : w;
}

// The record of a dialog being created: the dialog procedure takes it at initialisation.
DialogRecord* yytakependingrecord(DialogRecord* record) {
  if (record != nullptr && record == pendingRecord) pendingRecord = nullptr;
  return record;
}

//------------------------------------------------------------------------------
// [SECTION] Showing
// - yydialogshow(), yydialogcentre(), yyactivewindlg(), yyismodaldialog()
//------------------------------------------------------------------------------
namespace {

// The frame above a child dialog's parent: hidden, and combined with a dialog.
void framestate(HWND dlg, bool& hidden, bool& combined) {
  hidden = combined = false;
  HWND p = GetParent(dlg);
  while (p != nullptr && yygetwindowindex(p) < 0 && ischild(p)) p = GetParent(p);
  const int w = p != nullptr ? yygetwindowindex(p) : -1;
  if (w < 0) return;
  HWND frame = winslot(w).wWindow;
  hidden = !IsWindowVisible(frame);
  const FrameRecord* r = yyframerecord(frame);
  combined = r != nullptr && r->word[FR_KIND] == SW_DIALOGWINDOW;
}

}  // namespace

void yydialogshow(int x, int y, int xpixels, int ypixels, int& mode, int focusfield, int combined) {
  DialogTable& dt = dialogtable;
  HWND d = yycurrentdialog();
  DialogRecord* rec = yydialogrecord(d);
  if (d == nullptr || rec == nullptr) return;
  const bool child = ischild(d);
  bool framehidden = false, framecombined = false;
  if (child) framestate(d, framehidden, framecombined);
  if (rec->combinedwindow != nullptr && combined == 0) { mode = -4; return; }
  if (rec->shown != 0) {
    ShowWindow(d, SW_RESTORE);
    BringWindowToTop(d);
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (child) {
      SetFocus(d);
      hDlgCur = d;
      yytitlecolour(d);
    }
    mode = 0;
    return;
  }
  int showmode = mode;
  int status = 0;
  if (showmode < 1 || showmode > 3) {
    showmode = 2;
    status = -1;
  }
  if (showmode == 2 && dt.nSemi > 0) {
    showmode = 3;
    status = -1;
  }
  if (child && showmode != 2) {
    if (showmode == 1) {
      int s = 0;
      yygetwindowbitmap(0, -1, s);
    }
    showmode = 2;
    status = -1;
  }
  ShowFocusField = focusfield;
  ShowX = child ? xpixels : x;
  ShowY = child ? ypixels : y;
  HWND returnwindow = hWinCur;
  if (hDlgCur != nullptr && IsWindowVisible(hDlgCur)) {
    const DialogRecord* active = yydialogrecord(hDlgCur);
    returnwindow = active != nullptr && active->combinedwindow != nullptr ? active->combinedwindow : hDlgCur;
  }
  rec->returnwindow = returnwindow;
  rec->reenablewindow = dt.hLastSemi != nullptr ? dt.hLastSemi : returnwindow;
  rec->showmode = showmode;

  if (showmode == 1) {
    HWND savedwin = hWinCur, saveddlg = hDlgCur;
    yyDisableDialogs(returnwindow, 1);
    CreatingDialog = 1;
    DialogBoxParam(GetModuleHandle(nullptr), MAKEINTRESOURCE(rec->resource), returnwindow, yydialogproc, 0);
    CreatingDialog = 0;
    dt.hDialogList[0] = nullptr;
    yyEnableDialogs(dt.hLastSemi != nullptr ? dt.hLastSemi : returnwindow, 1);
    hWinCur = savedwin;
    hDlgCur = saveddlg;
    if (returnwindow != nullptr && IsWindow(returnwindow) && ischild(returnwindow)) {
      SetFocus(returnwindow);
      yytitlecolour(returnwindow);
      if (isloaded(returnwindow)) hDlgCur = returnwindow;
    }
    mode = status;
    return;
  }

  if (showmode == 3) {
    ++dt.nSemi;
    dt.hLastSemi = d;
    yyDisableDialogs(nullptr, 0);
    for (const WindowSlot& slot : tessar.windows)
      if (HWND f = slot.wWindow; f != nullptr) EnableWindow(f, FALSE);
  }
  if (child && combined == 0 && (framehidden || framecombined)) {
    if (showmode == 3) {
      --dt.nSemi;
      dt.hLastSemi = rec->reenablewindow == returnwindow ? nullptr : rec->reenablewindow;
      yyEnableDialogs(nullptr, 1);
    }
    mode = framehidden ? -2 : -3;
    return;
  }
  yytabdialoginit(d);
  yydialogcentre(d);
  SetWindowPos(d, nullptr, ShowX, ShowY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(d, child ? SW_SHOWNA : SW_SHOW);
  if (child) {
    BringWindowToTop(d);
    yytitlecolour(d);
    hDlgCur = d;
  }
  if (combined != 2) {
    HWND target = focusfield != 0 ? GetDlgItem(d, focusfield) : nullptr;
    if (target == nullptr || !IsWindowVisible(target) || !IsWindowEnabled(target)) target = d;
    SetFocus(target);
    HWND focused = GetFocus();
    if (focused != nullptr && focused != d) yyDialogSelectAll(focused);
  }
  UpdateWindow(d);
  HWND focused = GetFocus();
  if (focused != nullptr && IsChild(d, focused)) rec->previousfield = GetDlgCtrlID(focused);
  rec->shown = 1;
  mode = status;
}

void yydialogcentre(HWND dialog) {
  RECT r;
  GetWindowRect(dialog, r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  int cw = GetSystemMetrics(SM_CXSCREEN), ch = GetSystemMetrics(SM_CYSCREEN);
  if (ischild(dialog) && GetParent(dialog) != nullptr) {
    RECT c;
    GetClientRect(GetParent(dialog), c);
    cw = c.right;
    ch = c.bottom;
  }
  if (ShowX == -1) ShowX = (cw - w) / 2;
  if (ShowY == -1) ShowY = (ch - h) / 2;
}

HWND yyactivewindlg() {
  if (hDlgCur != nullptr && IsWindow(hDlgCur)) {
    const DialogRecord* r = yydialogrecord(hDlgCur);
    if (r != nullptr && r->combinedwindow != nullptr) return r->combinedwindow;
    if (IsWindowVisible(hDlgCur)) return hDlgCur;
  }
  return hWinCur;
}

int yyismodaldialog(HWND hwnd) {
  HWND modal = dialogtable.hDialogList[0];
  if (modal == nullptr) return 0;
  for (HWND h = hwnd; h != nullptr; h = ischild(h) ? GetParent(h) : nullptr)
    if (h == modal) return 1;
  return 0;
}

//------------------------------------------------------------------------------
// [SECTION] Modal copy
// - yydialogcopy()
//------------------------------------------------------------------------------
namespace {

void copytext(HWND to, HWND from) { SetWindowText(to, yywindowtext(from).c_str()); }

void copylist(HWND to, HWND from, bool combo) {
  const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT, reset = combo ? CB_RESETCONTENT : LB_RESETCONTENT;
  const UINT len = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, get = combo ? CB_GETLBTEXT : LB_GETTEXT;
  const UINT add = combo ? CB_ADDSTRING : LB_ADDSTRING;
  SendMessage(to, reset, 0, 0);
  const LRESULT n = SendMessage(from, count, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    const LRESULT l = SendMessage(from, len, static_cast<WPARAM>(i), 0);
    std::string item(static_cast<std::size_t>(std::max<LRESULT>(l, 0)) + 1, '\0');
    SendMessage(from, get, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    SendMessage(to, add, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
}

void copyfield(HWND to, HWND from) {
  SetWindowLong(to, GWL_STYLE, GetWindowLong(from, GWL_STYLE));
  RECT r;
  GetWindowRect(from, r);
  POINT tl{r.left, r.top};
  ScreenToClient(GetParent(from), tl);
  SetWindowPos(to, nullptr, tl.x, tl.y, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FieldRecord* t = reinterpret_cast<FieldRecord*>(GetWindowLongPtr(to, GWLP_USERDATA));
  const FieldRecord* f = reinterpret_cast<const FieldRecord*>(GetWindowLongPtr(from, GWLP_USERDATA));
  if (t != nullptr && f != nullptr && yyfieldrecord(to) == t && yyfieldrecord(from) == f) {
    t->value = f->value;
    t->rangemin = f->rangemin;
    t->rangemax = f->rangemax;
    t->smallstep = f->smallstep;
    t->largestep = f->largestep;
    t->spinorigin = f->spinorigin;
    t->valueflag = f->valueflag;
    t->foreground = f->foreground;
    t->background = f->background;
    t->leftbytab = f->leftbytab;
    t->lengthlimit = f->lengthlimit;
    t->format = f->format;
    t->rightoffset = f->rightoffset;
    t->bottomoffset = f->bottomoffset;
    t->anchors = f->anchors;
    t->userflags = f->userflags;
    t->explain = f->explain;
  }
  const FieldClass c = yyfieldclass(from);
  switch (c) {
    case FieldClass::Grid: yygridcopy(to, from); break;
    case FieldClass::Button:
      SendMessage(to, BM_SETCHECK, static_cast<WPARAM>(SendMessage(from, BM_GETCHECK, 0, 0)), 0);
      break;
    case FieldClass::Combo:
      copylist(to, from, true);
      SendMessage(to, CB_SETCURSEL, static_cast<WPARAM>(SendMessage(from, CB_GETCURSEL, 0, 0)), 0);
      if (f != nullptr && f->lengthlimit > 0) SendMessage(to, CB_LIMITTEXT, static_cast<WPARAM>(f->lengthlimit), 0);
      break;
    case FieldClass::List: {
      copylist(to, from, false);
      const DWORD style = static_cast<DWORD>(GetWindowLong(from, GWL_STYLE));
      if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        const LRESULT n = SendMessage(from, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i)
          SendMessage(to, LB_SETSEL, static_cast<WPARAM>(SendMessage(from, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0),
                      static_cast<LPARAM>(i));
      } else {
        SendMessage(to, LB_SETCURSEL, static_cast<WPARAM>(SendMessage(from, LB_GETCURSEL, 0, 0)), 0);
      }
      break;
    }
    case FieldClass::Progress: {
      const LRESULT range = SendMessage(from, PBM_GETRANGE, 0, 0);
      SendMessage(to, PBM_SETRANGE, 0, range);
      SendMessage(to, PBM_SETPOS, static_cast<WPARAM>(SendMessage(from, PBM_GETPOS, 0, 0)), 0);
      break;
    }
    case FieldClass::Trackbar:
      SendMessage(to, TBM_SETRANGEMIN, FALSE, SendMessage(from, TBM_GETRANGEMIN, 0, 0));
      SendMessage(to, TBM_SETRANGEMAX, FALSE, SendMessage(from, TBM_GETRANGEMAX, 0, 0));
      if (GetWindowLong(from, GWL_STYLE) & static_cast<LONG>(TBS_ENABLESELRANGE))
        SendMessage(to, TBM_SETSEL, FALSE,
                    MAKELPARAM(static_cast<WORD>(SendMessage(from, TBM_GETSELSTART, 0, 0)),
                               static_cast<WORD>(SendMessage(from, TBM_GETSELEND, 0, 0))));
      SendMessage(to, TBM_SETPOS, TRUE, SendMessage(from, TBM_GETPOS, 0, 0));
      break;
    case FieldClass::Tree:
      SendMessage(to, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
      yyTreeViewCopy(to, TVI_ROOT, from,
                     reinterpret_cast<HTREEITEM>(SendMessage(from, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
      break;
    case FieldClass::Edit: case FieldClass::IntegerEdit: case FieldClass::IntegerSpin:
    case FieldClass::RealEdit: case FieldClass::RealSpin: case FieldClass::DoubleEdit:
    case FieldClass::DoubleSpin:
      SendMessage(to, EM_SETLIMITTEXT, static_cast<WPARAM>(SendMessage(from, EM_GETLIMITTEXT, 0, 0)), 0);
      SendMessage(to, EM_SETREADONLY,
                  (GetWindowLong(from, GWL_STYLE) & static_cast<LONG>(ES_READONLY)) != 0 ? TRUE : FALSE, 0);
      break;
    default: break;
  }
  if (c != FieldClass::Tab) copytext(to, from);
  if (c == FieldClass::Edit || yyisnumeric(c))
    SendMessage(to, EM_SETMODIFY, static_cast<WPARAM>(SendMessage(from, EM_GETMODIFY, 0, 0)), 0);
  EnableWindow(to, IsWindowEnabled(from));
  SendMessage(to, WM_SETFONT, static_cast<WPARAM>(SendMessage(from, WM_GETFONT, 0, 0)), FALSE);
}

}  // namespace

void yydialogcopy(HWND to, HWND from) {
  DialogRecord* t = yydialogrecord(to);
  const DialogRecord* f = yydialogrecord(from);
  if (t != nullptr && f != nullptr) {
    // Window handles stay each dialog's own.
    HWND stretch = t->stretchfield, last = t->lastfield;
    *t = *f;
    t->stretchfield = f->stretchfield != nullptr ? GetDlgItem(to, GetDlgCtrlID(f->stretchfield)) : stretch;
    t->lastfield = last;
  }
  copytext(to, from);
  SendMessage(to, WM_SETICON, ICON_BIG, SendMessage(from, WM_GETICON, ICON_BIG, 0));
  RECT r;
  GetWindowRect(from, r);
  SetWindowPos(to, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND a = GetWindow(to, GW_CHILD), b = GetWindow(from, GW_CHILD);
  auto skip = [](HWND h) {
    while (h != nullptr && isdialogwindow(h)) h = GetWindow(h, GW_HWNDNEXT);
    return h;
  };
  for (a = skip(a), b = skip(b); a != nullptr && b != nullptr;
       a = skip(GetWindow(a, GW_HWNDNEXT)), b = skip(GetWindow(b, GW_HWNDNEXT)))
    copyfield(a, b);
}

//------------------------------------------------------------------------------
// [SECTION] Hiding and unloading
// - yydialoghide(), yydialogunload(), yydialogunload2(), yyforgetdialog()
//------------------------------------------------------------------------------
void yydialoghide(int index, int& status) {
  DialogTable& dt = dialogtable;
  const int i = index == -1 ? dt.iDlgCur : index;
  HWND d = i >= 1 && i <= dt.nDialogs ? dt.hDialogList[at(i)] : nullptr;
  DialogRecord* rec = yydialogrecord(d);
  if (rec == nullptr) { status = 0; return; }
  if (index == -1 && rec->combinedwindow != nullptr) { status = -1; return; }
  if (ischild(d)) {
    HWND cur = yycurrentdialog();
    for (int k = 1; k <= dt.nDialogs; ++k) {
      HWND o = dt.hDialogList[at(k)];
      if (o == d || o == cur) continue;
      for (HWND f = GetWindow(o, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
        if (yyfieldclass(f) != FieldClass::Tab) continue;
        for (int page : yytabpages(f))
          if (page == rec->identifier) { status = -2; return; }
      }
    }
  }
  const bool active = hDlgCur == d;
  if (rec->shown != 0 && rec->showmode == 3) {
    --dt.nSemi;
    yyEnableDialogs(active ? rec->reenablewindow : nullptr, 1);
  }
  for (int k = 1; k <= dt.nDialogs; ++k) {
    DialogRecord* o = yydialogrecord(dt.hDialogList[at(k)]);
    if (o == nullptr || o == rec) continue;
    if (o->returnwindow == d) o->returnwindow = rec->returnwindow;
    if (o->reenablewindow == d) o->reenablewindow = rec->reenablewindow;
  }
  for (int w = 1; w < MAXWINDOWS; ++w)
    if (winslot(w).hPrevious == d) winslot(w).hPrevious = rec->returnwindow;
  if (active) hDlgCur = nullptr;
  SetWindowPos(d, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
  rec->shown = 0;
  if (dt.hLastSemi == d) dt.hLastSemi = dt.nSemi > 0 ? rec->reenablewindow : nullptr;
  if (active && rec->returnwindow != nullptr && IsWindow(rec->returnwindow)) {
    HWND back = rec->returnwindow;
    if (!ischild(back)) SetActiveWindow(back);
    SetFocus(back);
    SendMessage(back, WM_NCACTIVATE, TRUE, 0);
    if (isloaded(back)) hDlgCur = back;
  }
  status = 0;
}

void yydialogunload(int flag, int index) {
  DialogTable& dt = dialogtable;
  const int i = index == -1 ? dt.iDlgCur : index;
  HWND d = i >= 1 && i <= dt.nDialogs ? dt.hDialogList[at(i)] : nullptr;
  if (d == nullptr) return;
  yytabdialogend(d);
  yydialogunload2(d, flag, i);
}

void yydialogunload2(HWND dialog, int flag, int index) {
  DialogTable& dt = dialogtable;
  if (flag == 0) {
    for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
      if (yyfieldclass(f) != FieldClass::Tab) continue;
      for (int page : yytabpages(f)) {
        const int k = yydialogfind(page);
        if (k > 0 && dt.hDialogList[at(k)] != dialog) {
          HWND p = dt.hDialogList[at(k)];
          yytabdialogend(p);
          yydialogunload2(p, 0, k);
        }
      }
    }
  }
  for (int k = dt.nDialogs; k >= 1; --k) {
    if (k > dt.nDialogs) continue;
    HWND o = dt.hDialogList[at(k)];
    if (o == dialog) continue;
    bool inside = IsChild(dialog, o);
    for (HWND p = GetParent(o); !inside && p != nullptr; p = GetParent(p)) inside = p == dialog;
    if (!inside) continue;
    int status = 0;
    yydialoghide(k, status);
    if (status == 0) yydialogunload(0, yydialogfind(yydialogrecord(o)->identifier));
  }
  (void)index;
  DestroyWindow(dialog);   // the dialog procedure frees the records and leaves the table
}

// A dialog window is being destroyed: it leaves the table, however it came to be destroyed.
void yyforgetdialog(HWND dialog) { forget(dialog); }

//------------------------------------------------------------------------------
// [SECTION] Disabling
// - yyDisableDialogs(), yyEnableDialogs()
//------------------------------------------------------------------------------
namespace {

bool takespart(HWND d, HWND spare) {
  const DialogRecord* r = yydialogrecord(d);
  if (r == nullptr || r->shown == 0 || d == spare) return false;
  if (spare != nullptr && r->combinedwindow == spare) return false;
  return istoolkitwindow(GetParent(d));
}

}  // namespace

void yyDisableDialogs(HWND spare, int flag) {
  const DialogTable& dt = dialogtable;
  for (int i = 1; i <= dt.nDialogs; ++i)
    if (takespart(dt.hDialogList[at(i)], spare)) EnableWindow(dt.hDialogList[at(i)], FALSE);
  if (flag == 1)
    for (const WindowSlot& slot : tessar.windows)
      if (HWND f = slot.wWindow; f != nullptr && f != spare && IsWindowVisible(f)) EnableWindow(f, FALSE);
}

void yyEnableDialogs(HWND window, int flag) {
  const DialogTable& dt = dialogtable;
  if (dt.nSemi > 0) {
    if (window != nullptr && IsWindow(window)) EnableWindow(window, TRUE);
    return;
  }
  for (int i = 1; i <= dt.nDialogs; ++i)
    if (takespart(dt.hDialogList[at(i)], nullptr)) EnableWindow(dt.hDialogList[at(i)], TRUE);
  if (flag == 1)
    for (const WindowSlot& slot : tessar.windows)
      if (HWND f = slot.wWindow; f != nullptr && IsWindowVisible(f)) EnableWindow(f, TRUE);
}

//------------------------------------------------------------------------------
// [SECTION] Window-layer hooks
// - yyregisterdialoghooks(), yyunloadalldialogs()
//------------------------------------------------------------------------------
namespace {

HWND windowofdialog(int dialog) {
  const int i = yydialogfind(dialog);
  return i > 0 ? dialogtable.hDialogList[at(i)] : nullptr;
}

int identifierofdialog(HWND dialog) {
  const DialogRecord* r = yydialogrecord(dialog);
  return r != nullptr ? r->identifier : -1;
}

bool takesrootaccelerators(HWND dialog) {
  const DialogRecord* r = yydialogrecord(dialog);
  return r != nullptr && r->rootaccelerators != 0 && r->combinedwindow == nullptr;
}

// A dialog loaded into a toolkit window's client area; the dialog becomes current.
HWND combinewithwindow(int dialog, HWND client, bool show) {
  const int window = yygetwindowindex(client);
  int status = dialog;
  const int saved = dialogtable.iDlgCur;
  yydialogload2(dialog, status, dialog, window, 1);
  if (status < 0) {
    dialogtable.iDlgCur = saved;
    return nullptr;
  }
  HWND d = yycurrentdialog();
  if (show) {
    int mode = 2;
    yydialogshow(0, 0, 0, 0, mode, 0, 2);
  }
  return d;
}

}  // namespace

void yyunloadalldialogs() {
  DialogTable& dt = dialogtable;
  while (dt.nDialogs > 0) {
    HWND d = dt.hDialogList[at(dt.nDialogs)];
    if (DialogRecord* r = yydialogrecord(d)) r->shown = 0;
    yytabdialogend(d);
    DestroyWindow(d);
    if (dt.nDialogs > 0 && dt.hDialogList[at(dt.nDialogs)] == d) forget(d);
  }
  dt = DialogTable{};
  tessar.dialog.CURDIALOG = 0;
}

void yyregisterdialoghooks() {
  yygridfieldsinstall();
  dialogwindowof = windowofdialog;
  dialogidentifierof = identifierofdialog;
  dialogtakesrootaccelerators = takesrootaccelerators;
  combinedialog = combinewithwindow;
  unloadalldialogs = yyunloadalldialogs;
  graphicsservices.yyfieldselect = yyfieldselect;
  messageboxservices.owner = [] {
    HWND owner = yyactivewindlg();
    return owner != nullptr && IsWindow(owner) ? owner : nullptr;
  };
  messageboxservices.disable = [](HWND owner) { yyDisableDialogs(owner, 1); };
  messageboxservices.enable = [](HWND owner) {
    yyEnableDialogs(dialogtable.hLastSemi != nullptr ? dialogtable.hLastSemi : owner, 1);
    if (owner != nullptr && IsWindow(owner) && ischild(owner)) {
      SetFocus(owner);
      yytitlecolour(owner);
    }
  };
  messageboxservices.snapshot = [](int mode) {
    int status = 0;
    yygetwindowbitmap(mode, -1, status);
  };
}

namespace {
// The window layer finds the dialog manager from the program's start, before any dialog.
const bool hooked = (yyregisterdialoghooks(), true);
}  // namespace
