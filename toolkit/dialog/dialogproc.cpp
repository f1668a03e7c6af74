// toolkit/dialog/dialogproc.cpp: the one dialog procedure of every toolkit dialog, the
// preparation of its fields, the field records, colours, and the subclass procedures that
// give buttons, statics, trackbars, edits, up-down controls and tree views their behaviour.
// Sections (grep "[SECTION]"): field kinds | initialisation | events | dialog procedure |
//   colours | subclass procedures
//
// Invariants: (1) no event is posted while CreatingDialog is 1 or from inside a modal
// instance; (2) every field of a dialog has a FieldRecord from initialisation until the field
// is destroyed, and yysubpaint is its outermost procedure.
#include <cstring>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/icon.h"
#include "platform/menu.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/grid/wgrid.h"

using namespace win;

//------------------------------------------------------------------------------
// [SECTION] Field kinds
// - yyfieldclass(), yyisnumeric(), yyisspin(), yyregistersubclass()
//------------------------------------------------------------------------------
namespace {

struct ClassProcs {
  WNDPROC button = nullptr, statics = nullptr, track = nullptr, tree = nullptr, tab = nullptr,
          edit = nullptr, updown = nullptr;
};
ClassProcs classprocs;

WNDPROC classproc(const char* name) {
  WNDCLASS wc;
  return GetClassInfo(nullptr, name, wc) ? wc.lpfnWndProc : nullptr;
}

bool iequal(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const char x = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 32) : *a;
    const char y = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

}  // namespace

FieldClass yyfieldclass(HWND field) {
  char name[64] = {};
  if (field == nullptr || GetClassName(field, name, sizeof name) == 0) return FieldClass::Other;
  static const struct { const char* name; FieldClass c; } kClasses[] = {
      {"#32770", FieldClass::Dialog},          {"STATIC", FieldClass::Static},
      {"EDIT", FieldClass::Edit},              {"INTEGEREDIT", FieldClass::IntegerEdit},
      {"INTEGERSPIN", FieldClass::IntegerSpin}, {"REALEDIT", FieldClass::RealEdit},
      {"REALSPIN", FieldClass::RealSpin},      {"DOUBLEEDIT", FieldClass::DoubleEdit},
      {"DOUBLESPIN", FieldClass::DoubleSpin},  {"VXKGRID", FieldClass::Grid},
      {"BUTTON", FieldClass::Button},          {"msctls_trackbar32", FieldClass::Trackbar},
      {"LISTBOX", FieldClass::List},           {"COMBOBOX", FieldClass::Combo},
      {"SysTabControl32", FieldClass::Tab},    {"msctls_progress32", FieldClass::Progress},
      {"msctls_updown32", FieldClass::UpDown}, {"SysHeader32", FieldClass::Header},
      {"SysTreeView32", FieldClass::Tree},     {"SCROLLBAR", FieldClass::Scrollbar}};
  for (const auto& k : kClasses)
    if (iequal(name, k.name)) return k.c;
  return FieldClass::Other;
}

bool yyisnumeric(FieldClass c) {
  return c == FieldClass::IntegerEdit || c == FieldClass::IntegerSpin || c == FieldClass::RealEdit ||
         c == FieldClass::RealSpin || c == FieldClass::DoubleEdit || c == FieldClass::DoubleSpin;
}

bool yyisspin(FieldClass c) {
  return c == FieldClass::IntegerSpin || c == FieldClass::RealSpin || c == FieldClass::DoubleSpin;
}

void yyregistersubclass() {
  RegisterDialogClasses();
  classprocs.button = classproc("BUTTON");
  classprocs.statics = classproc("STATIC");
  classprocs.track = classproc("msctls_trackbar32");
  classprocs.tree = classproc("SysTreeView32");
  classprocs.tab = classproc("SysTabControl32");
  classprocs.edit = classproc("EDIT");
  classprocs.updown = classproc("msctls_updown32");
}

namespace {

LRESULT yysubpaint(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yysubbutton(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yysubstatic(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yysubtrack(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yysubedit(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yysubupdown(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yysubtree(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT yysubtab(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);

HWND dialogof(HWND field) { return GetParent(field); }

int iSelStart = -1;

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Initialisation
// - yydialoginitialise(), yyFieldColour2()
//------------------------------------------------------------------------------
namespace {

void setimage(HWND field, bool button, DWORD& style) {
  const int id = GetDlgCtrlID(field);
  HANDLE image = nullptr;
  if (button) {
    if (style & BS_BITMAP) {
      image = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(id));
      if (image) SendMessage(field, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
    } else if (style & BS_ICON) {
      image = LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(id));
      if (image) SendMessage(field, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
    }
    if (image == nullptr) style &= ~(BS_BITMAP | BS_ICON);
    return;
  }
  const DWORD kind = style & SS_TYPEMASK;
  if (kind == SS_ICON && SendMessage(field, STM_GETIMAGE, IMAGE_ICON, 0) == 0) {
    if (HICON icon = LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(id)))
      SendMessage(field, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  } else if (kind == SS_BITMAP && SendMessage(field, STM_GETIMAGE, IMAGE_BITMAP, 0) == 0) {
    if (HBITMAP bmp = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(id)))
      SendMessage(field, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
  }
}

void preparefield(HWND f) {
  const FieldClass c = yyfieldclass(f);
  FieldRecord* fr = yyisnumeric(c) ? reinterpret_cast<FieldRecord*>(GetWindowLongPtr(f, GWLP_USERDATA)) : nullptr;
  if (fr == nullptr) {
    fr = new FieldRecord;
    SetWindowLongPtr(f, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fr));
  }
  DWORD style = static_cast<DWORD>(GetWindowLong(f, GWL_STYLE));
  WNDPROC sub = nullptr;
  switch (c) {
    case FieldClass::Edit: {
      const int limit = (style & ES_MULTILINE) ? 65535 : 32767;
      fr->lengthlimit = limit;
      SendMessage(f, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
      sub = yysubedit;
      break;
    }
    case FieldClass::Button: {
      const DWORD kind = style & BS_TYPEMASK;
      if (kind == BS_CHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE) style = (style & ~BS_TYPEMASK) | BS_AUTOCHECKBOX;
      if (kind == BS_RADIOBUTTON) style = (style & ~BS_TYPEMASK) | BS_AUTORADIOBUTTON;
      setimage(f, true, style);
      sub = yysubbutton;
      break;
    }
    case FieldClass::Static: setimage(f, false, style); sub = yysubstatic; break;
    case FieldClass::Trackbar: sub = yysubtrack; break;
    case FieldClass::Tab:
      SendMessage(f, TCM_SETITEMEXTRA, 8, 0);   // the page dialog's identifier and a disabled flag
      sub = yysubtab;
      break;
    case FieldClass::Tree:
      style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP;
      sub = yysubtree;
      break;
    case FieldClass::UpDown: sub = yysubupdown; break;
    default: break;
  }
  SetWindowLong(f, GWL_STYLE, static_cast<LONG>(style));
  DWORD ex = static_cast<DWORD>(GetWindowLong(f, GWL_EXSTYLE)) & ~WS_EX_NOPARENTNOTIFY;
  const DWORD skind = style & SS_TYPEMASK;
  if ((c == FieldClass::Button && (style & BS_TYPEMASK) == BS_GROUPBOX) ||
      (c == FieldClass::Static && (skind == SS_BLACKFRAME || skind == SS_GRAYFRAME || skind == SS_WHITEFRAME ||
                                   skind == SS_ETCHEDFRAME)))
    ex |= WS_EX_TRANSPARENT;
  SetWindowLong(f, GWL_EXSTYLE, static_cast<LONG>(ex));
  if (sub != nullptr) SetWindowLongPtr(f, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sub));
  fr->innerproc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(f, GWLP_WNDPROC));
  SetWindowLongPtr(f, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yysubpaint));
}

}  // namespace

void yyFieldColour2(FieldRecord& record, int red, int green, int blue, bool foreground) {
  int& colour = foreground ? record.foreground : record.background;
  if (red == -1) return;
  if (red == 256) {
    colour = -1;
    return;
  }
  colour = (red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF);
}

int yydialoginitialise(HWND dialog, DialogRecord* record) {
  DialogTable& dt = dialogtable;
  for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) preparefield(f);
  int result = 0;
  if (record != nullptr) {
    SetWindowLongPtr(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(yytakependingrecord(record)));
    if (winslot(0).wWindow != nullptr) {
      if (HICON icon = reinterpret_cast<HICON>(GetClassLongPtr(winslot(0).wWindow, GCLP_HICON)))
        SendMessage(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
    RECT r;
    GetWindowRect(dialog, r);
    record->minwidth = r.right - r.left;
    record->minheight = r.bottom - r.top;
  } else {
    dt.hDialogList[0] = dialog;
    auto* own = new DialogRecord;
    SetWindowLongPtr(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(own));
    HWND loaded = yycurrentdialog();
    if (loaded != nullptr) yydialogcopy(dialog, loaded);
    for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT))
      if (FieldRecord* fr = yyfieldrecord(f)) fr->sharedformat = true;
    yytabdialoginit(dialog);
    yydialogcentre(dialog);
    SetWindowPos(dialog, nullptr, ShowX, ShowY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (own->stretchfield != nullptr) {
      own->stretchfield = GetDlgItem(dialog, GetDlgCtrlID(own->stretchfield));
      yyDialogCreateSizeGrip(dialog);
    }
    result = 1;
  }
  SetWindowLong(dialog, GWL_EXSTYLE, GetWindowLong(dialog, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_APPWINDOW));
  if (ShowFocusField != 0) {
    if (HWND f = GetDlgItem(dialog, ShowFocusField)) {
      SetFocus(f);
      yyDialogSelectAll(f);
      result = 0;
    }
  }
  CreatingDialog = 0;
  return result;
}

//------------------------------------------------------------------------------
// [SECTION] Events
// - yyUpdateLast(), posting helpers
//------------------------------------------------------------------------------
void yyUpdateLast(HWND dialog, HWND field) {
  for (HWND d = dialog; d != nullptr;) {
    DialogRecord* r = yydialogrecord(d);
    if (r == nullptr) return;
    r->lastfield = field;
    if (!(GetWindowLong(d, GWL_STYLE) & static_cast<LONG>(WS_CHILD))) return;
    HWND parent = GetParent(d);
    if (parent == nullptr || yydialogrecord(parent) == nullptr) return;   // placed in a toolkit window
    d = parent;
  }
}

namespace {

// The record events are kept in: the loaded dialog's for a modal instance.
DialogRecord* eventrecord(HWND dialog) {
  if (dialog == dialogtable.hDialogList[0]) return yydialogrecord(yycurrentdialog());
  return yydialogrecord(dialog);
}

void postpushbutton(HWND dialog, int button) {
  const DialogRecord* r = yydialogrecord(dialog);
  if (r == nullptr) return;
  yyinterpretmessage(EV_PUSHBUTTON, 0, static_cast<WPARAM>(button), static_cast<LPARAM>(r->previousfield), dialog);
}

void postfieldchanged(HWND dialog, int code) {
  DialogRecord* r = yydialogrecord(dialog);
  if (r == nullptr) return;
  const int previouscode = r->lastcellcode;
  r->lastcellcode = code;
  yyinterpretmessage(EV_FIELDCHANGED, previouscode,
                     MAKEWPARAM(static_cast<WORD>(r->previousfield), static_cast<WORD>(r->currentfield)),
                     static_cast<LPARAM>(code), dialog);
}

void postmouse(HWND dialog, HWND source, UINT msg, WPARAM wParam, LPARAM lParam, int eventfield) {
  DialogRecord* r = yydialogrecord(dialog);
  if (r == nullptr) return;
  int type = 0;
  switch (msg) {
    case WM_MOUSEMOVE: type = 106; r->mousebutton = 0; break;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: ReleaseCapture(); type = 105; break;
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: {
      SetCapture(source);
      int enabled = 0;
      yyinfomessage(EV_DOUBLECLICK, enabled);
      type = enabled ? 116 : 104;
      break;
    }
    default: SetCapture(source); type = 104; break;
  }
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_LBUTTONDBLCLK) r->mousebutton = 1;
  if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_RBUTTONDBLCLK) r->mousebutton = 3;
  if (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP || msg == WM_MBUTTONDBLCLK) r->mousebutton = 2;
  r->eventfield = eventfield;
  yyinterpretmessage(type, r->mousebutton, static_cast<WPARAM>(eventfield), lParam, dialog);
  (void)wParam;
}

bool ismouse(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }

// A check box or radio button that took the focus from a mouse press or an arrow key is about
// to be clicked; its click reports the change, once the box has flipped.
HWND clickpending = nullptr;

// A field's change of a selection, text or focus, by notification code. Without post the
// record follows but the report is left to the click that comes next.
void fieldactivity(HWND dialog, HWND sender, int code, bool focuscode, bool post = true) {
  clickpending = nullptr;
  const bool modal = yyismodaldialog(dialog) != 0;
  DialogRecord* r = modal ? eventrecord(dialog) : yydialogrecord(dialog);
  if (r == nullptr) return;
  const int id = GetDlgCtrlID(sender);
  const bool changed = r->currentfield != id;
  r->previousfield = r->currentfield;
  r->currentfield = id;
  if (!modal && post && (!focuscode || changed)) postfieldchanged(dialog, code);
  if (!post) clickpending = sender;
  yyUpdateLast(dialog, sender);
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Dialog procedure
// - yydialogproc()
//------------------------------------------------------------------------------
namespace {

bool ischildstyle(HWND h) { return (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0; }

bool ispushstyle(HWND h) {
  const DWORD low = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & 0xF;
  return low == 0 || low == 1;
}

// Check boxes and radio buttons of every kind: the buttons whose click changes a state.
bool ischeckstyle(HWND h) {
  if (yyfieldclass(h) != FieldClass::Button) return false;
  const DWORD low = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & 0xF;
  return (low >= 2 && low <= 6) || low == 9;
}

// The focus came with a press that goes on to click the button: the left mouse button is
// down on it, or an arrow key moved onto an automatic radio button (which the dialog clicks).
bool clickfollows(HWND h) {
  if (GetKeyState(VK_LBUTTON) < 0) return true;
  const bool autoradio = (static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & 0xF) == 9;
  return autoradio && (GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0 || GetKeyState(VK_UP) < 0 ||
                       GetKeyState(VK_DOWN) < 0);
}

INT_PTR answer(HWND dialog, LRESULT value) {
  SetWindowLongPtr(dialog, DWLP_MSGRESULT, value);
  return TRUE;
}

INT_PTR command(HWND dialog, WPARAM wParam, LPARAM lParam) {
  const int id = static_cast<short>(LOWORD(wParam));
  const int code = HIWORD(wParam);
  HWND sender = reinterpret_cast<HWND>(lParam);
  const bool modal = yyismodaldialog(dialog) != 0;
  if (code == 0 && sender == nullptr && ischildstyle(dialog) && id >= 0xF000) {
    PostMessage(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(id), 0);
    return TRUE;
  }
  if (code == 0 && (sender == nullptr || ispushstyle(sender))) {
    HWND focus = GetFocus();
    if (focus != nullptr && yyisnumeric(focus) && yyoutofrange(focus, focus, 1) != 0) hBadVal = focus;
    if (hBadVal != nullptr && IsWindow(hBadVal)) {
      if (id == IDOK) {
        HWND refused = hBadVal;
        MessageBeep(0);
        SetFocus(refused);
        SendMessage(refused, EM_SETSEL, 0, -1);
        hBadVal = nullptr;
        yyexplainrefusal(refused);
        return TRUE;
      }
      if (FieldRecord* fr = yyfieldrecord(hBadVal)) {
        SetWindowText(hBadVal, SavedFieldText.c_str());
        fr->value = SavedFieldValue;
        SendMessage(hBadVal, EM_SETMODIFY, FALSE, 0);
      }
      StoreVal = 1;
      hBadVal = nullptr;
    }
    hBadVal = nullptr;
    focus = GetFocus();
    const int focusid = focus != nullptr && IsChild(dialog, focus) ? GetDlgCtrlID(focus) : 0;
    if (modal) {
      DialogRecord* r = yydialogrecord(dialog);
      dialogtable.iDlgAct = r != nullptr ? r->identifier : 0;
      if (r != nullptr) {
        if (focusid != 0 && focusid != id) r->previousfield = focusid;
        r->currentfield = id;
      }
      yytabdialogend(dialog);
      CreatingDialog = 1;
      if (HWND loaded = yycurrentdialog()) yydialogcopy(loaded, dialog);
      if (DialogRecord* lr = yydialogrecord(yycurrentdialog())) {
        lr->shown = 0;
        lr->currentfield = id;
        if (r != nullptr) lr->previousfield = r->previousfield;
      }
      hDlgCur = nullptr;
      SetWindowLongPtr(dialog, GWLP_USERDATA, 0);
      delete r;
      EndDialog(dialog, id);
      return TRUE;
    }
    DialogRecord* r = yydialogrecord(dialog);
    if (r != nullptr && focusid != 0 && focusid != id) r->previousfield = r->currentfield;
    postpushbutton(dialog, id);
    return TRUE;
  }
  if (code == 2 && sender != nullptr) {
    const FieldClass c = yyfieldclass(sender);
    if (c == FieldClass::List || c == FieldClass::Combo) {
      const FieldRecord* fr = yyfieldrecord(sender);
      if (fr == nullptr || (fr->userflags & 1) == 0) yyDefaultButton(sender);
      return TRUE;
    }
  }
  if (sender == nullptr) return FALSE;
  if (code == 0 && ischeckstyle(sender)) {
    // The platform sends the click after the box has flipped, so the event carries the new
    // state; a focus change made by the same press was not reported and is part of this one.
    if (CreatingDialog != 0) return FALSE;
    const bool modal = yyismodaldialog(dialog) != 0;
    if (clickpending == sender) {
      clickpending = nullptr;
      if (!modal) postfieldchanged(dialog, -1);
      yyUpdateLast(dialog, sender);
    } else {
      fieldactivity(dialog, sender, -1, false);
    }
    return FALSE;
  }
  if (code == 1 || code == 3 || code == 4 || code == 5 || code == 6 || code == 256 || code == 768) {
    const FieldClass c = yyfieldclass(sender);
    if (code == 6 && c != FieldClass::Button) return FALSE;
    if (CreatingDialog != 0) return FALSE;
    if (code == 5 || code == 768) {
      // Text changes count only for fields that asked for them; a combo box's list
      // notifications use the same codes for focus and are not text changes.
      const FieldRecord* fr = yyfieldrecord(sender);
      const bool textfield = c == FieldClass::Edit || yyisnumeric(c) || c == FieldClass::Combo || c == FieldClass::Grid;
      if (textfield && (fr == nullptr || fr->notify == 0)) return FALSE;
      if (!textfield && code == 768) return FALSE;
    }
    const bool focuscode = code == 3 || code == 4 || code == 6 || code == 256;
    const bool deferred = code == 6 && ischeckstyle(sender) && clickfollows(sender);
    fieldactivity(dialog, sender, -1, focuscode, !deferred);
    return FALSE;
  }
  return FALSE;
}

void sizemenu(HWND dialog, WPARAM kind) {
  HMENU menu = GetSystemMenu(dialog, FALSE);
  if (menu == nullptr) return;
  const DWORD style = static_cast<DWORD>(GetWindowLong(dialog, GWL_STYLE));
  auto set = [&](UINT item, bool on) { EnableMenuItem(menu, item, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  if (kind == SIZE_MINIMIZED) {
    set(SC_MINIMIZE, false);
    set(SC_RESTORE, true);
  } else if (kind == SIZE_MAXIMIZED) {
    set(SC_MAXIMIZE, false);
    set(SC_RESTORE, true);
  } else {
    set(SC_MINIMIZE, (style & WS_MINIMIZEBOX) != 0);
    set(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) != 0);
    set(SC_RESTORE, false);
  }
}

}  // namespace

INT_PTR yydialogproc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  const bool modal = yyismodaldialog(dialog) != 0;
  switch (msg) {
    case WM_INITDIALOG: {
      if (HMENU menu = GetSystemMenu(dialog, FALSE)) {
        const DWORD style = static_cast<DWORD>(GetWindowLong(dialog, GWL_STYLE));
        EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | MF_GRAYED);
        if (!(style & WS_MINIMIZEBOX)) EnableMenuItem(menu, SC_MINIMIZE, MF_BYCOMMAND | MF_GRAYED);
        if (!(style & WS_MAXIMIZEBOX)) EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
        if (!(style & WS_THICKFRAME)) EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
      }
      return yydialoginitialise(dialog, reinterpret_cast<DialogRecord*>(lParam));
    }
    case WM_HELP: {
      if (modal) return TRUE;
      DialogRecord* r = yydialogrecord(dialog);
      HWND focus = GetFocus();
      if (r != nullptr && (focus == nullptr || GetDlgCtrlID(focus) != IDHELP)) r->previousfield = r->currentfield;
      postpushbutton(dialog, IDHELP);
      return TRUE;
    }
    case WM_PAINT: {
      DialogRecord* r = yydialogrecord(dialog);
      if (modal || r == nullptr) return FALSE;
      if (wBlitOn != 0 && r->image != nullptr) {
        // Modal work runs: the dialog shows what it drew before.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(dialog, ps);
        yypaintfromsnapshot(dialog, dc);
        EndPaint(dialog, ps);
        return TRUE;
      }
      if (r->graphics != 0 && wBlitOn == 0) {
        r->eventfield = 0;
        yyinterpretmessage(107, 0, 0, 0, dialog);
      }
      return FALSE;
    }
    case WM_NCDESTROY: {
      DialogRecord* r = reinterpret_cast<DialogRecord*>(GetWindowLongPtr(dialog, GWLP_USERDATA));
      SetWindowLongPtr(dialog, GWLP_USERDATA, 0);
      if (r != nullptr && r->image != nullptr) DeleteObject(r->image);
      if (dialog == dialogtable.hDialogList[0]) dialogtable.hDialogList[0] = nullptr;
      else yyforgetdialog(dialog);
      delete r;
      return FALSE;
    }
    case WM_SIZE: {
      sizemenu(dialog, wParam);
      if (wParam != SIZE_RESTORED && wParam != SIZE_MAXIMIZED) return FALSE;
      if (yyIsResizableDialog(dialog)) {
        yydialogresize(dialog, LOWORD(static_cast<UINT_PTR>(lParam)), HIWORD(static_cast<UINT_PTR>(lParam)));
        DialogRecord* r = yydialogrecord(dialog);
        if (!modal && r != nullptr && r->graphics != 0) {
          r->eventfield = 0;
          RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
          yyinterpretmessage(108, static_cast<int>(wParam), 0, lParam, dialog);
        }
      }
      return FALSE;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        hDlgCur = dialog;
      } else {
        if (hDlgCur == dialog) hDlgCur = nullptr;
        hWinCur = dialog;
      }
      return FALSE;
    case WM_SETFOCUS: {
      HWND parent = GetParent(dialog);
      const DialogRecord* r = yydialogrecord(dialog);
      if (ischildstyle(dialog) && parent != nullptr && yygetwindowindex(parent) >= 0 && r != nullptr &&
          r->lastfield != nullptr && IsWindow(r->lastfield)) {
        SetFocus(r->lastfield);
        return TRUE;
      }
      return FALSE;
    }
    case WM_MOUSEACTIVATE: {
      HWND parent = GetParent(dialog);
      const DialogRecord* r = yydialogrecord(dialog);
      if (!ischildstyle(dialog) || parent == nullptr || yygetwindowindex(parent) < 0 || r == nullptr ||
          r->combinedwindow != nullptr)
        return FALSE;
      BringWindowToTop(dialog);
      HWND focus = GetFocus();
      if (focus == nullptr || !IsChild(dialog, focus)) SetFocus(dialog);
      hDlgCur = dialog;
      yytitlecolour(dialog);
      return FALSE;
    }
    case WM_GETMINMAXINFO: {
      const DialogRecord* r = yydialogrecord(dialog);
      if (r == nullptr || r->stretchfield == nullptr) return FALSE;
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      mm->ptMinTrackSize.x = r->minwidth;
      mm->ptMinTrackSize.y = r->minheight;
      return answer(dialog, 0);
    }
    case WM_NOTIFY: {
      const auto* h = reinterpret_cast<const NMHDR*>(lParam);
      if (h == nullptr) return FALSE;
      if (h->code == UDN_DELTAPOS) {
        HWND buddy = nullptr;
        for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
          const FieldRecord* fr = yyfieldrecord(f);
          if (fr != nullptr && fr->buddy == h->hwndFrom) buddy = f;
        }
        if (buddy == nullptr) {
          // A grid's spinner editor sits in the grid's cell area, which passes the step on.
          HWND b = reinterpret_cast<HWND>(SendMessage(h->hwndFrom, UDM_GETBUDDY, 0, 0));
          const FieldRecord* fr = b != nullptr && yyisspin(yyfieldclass(b)) ? yyfieldrecord(b) : nullptr;
          if (fr != nullptr && fr->buddy == h->hwndFrom && IsChild(dialog, b)) buddy = b;
        }
        if (buddy == nullptr) return FALSE;
        yyspinstep(buddy, reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
        return answer(dialog, 1);
      }
      if (h->code == TVN_SELCHANGED) {
        if (CreatingDialog != 0) return FALSE;
        DialogRecord* r = modal ? eventrecord(dialog) : yydialogrecord(dialog);
        if (r == nullptr) return FALSE;
        const int id = GetDlgCtrlID(h->hwndFrom);
        r->currentfield = r->previousfield = id;
        yyUpdateLast(dialog, h->hwndFrom);
        if (!modal) postfieldchanged(dialog, -1);
        return FALSE;
      }
      if (h->code == NM_DBLCLK && yyfieldclass(h->hwndFrom) == FieldClass::Tree) {
        const FieldRecord* fr = yyfieldrecord(h->hwndFrom);
        if (fr == nullptr || (fr->userflags & 1) == 0) yyDefaultButton(h->hwndFrom);
        return FALSE;
      }
      if (yyfieldclass(h->hwndFrom) == FieldClass::Tab) return yytabnotify(dialog, *h) != 0 ? answer(dialog, 1) : FALSE;
      return FALSE;
    }
    case WM_HSCROLL: case WM_VSCROLL: {
      HWND from = reinterpret_cast<HWND>(lParam);
      if (from == nullptr || LOWORD(wParam) == SB_ENDSCROLL) return FALSE;
      const FieldClass c = yyfieldclass(from);
      if (c == FieldClass::Trackbar) {
        const DWORD style = static_cast<DWORD>(GetWindowLong(from, GWL_STYLE));
        if ((style & TBS_ENABLESELRANGE) && GetKeyState(VK_SHIFT) < 0 && iSelStart >= 0) {
          const int pos = static_cast<int>(SendMessage(from, TBM_GETPOS, 0, 0));
          const int a = std::min(iSelStart, pos), b = std::max(iSelStart, pos);
          SendMessage(from, TBM_SETSEL, TRUE, MAKELPARAM(static_cast<WORD>(a), static_cast<WORD>(b)));
        }
        if (!modal) {
          DialogRecord* r = yydialogrecord(dialog);
          if (r == nullptr) return FALSE;
          r->previousfield = r->currentfield;
          r->currentfield = GetDlgCtrlID(from);
          yyUpdateLast(dialog, from);
          postfieldchanged(dialog, -1);
        }
        return FALSE;
      }
      if (c == FieldClass::UpDown && msg == WM_VSCROLL && !modal) {
        HWND buddy = nullptr;
        for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
          const FieldRecord* fr = yyfieldrecord(f);
          if (fr != nullptr && fr->buddy == from) buddy = f;
        }
        DialogRecord* r = yydialogrecord(dialog);
        if (buddy == nullptr || r == nullptr) return FALSE;
        r->currentfield = r->previousfield = GetDlgCtrlID(buddy);
        yyUpdateLast(dialog, buddy);
        const FieldRecord* ur = yyfieldrecord(from);
        if (ur == nullptr || ur->notify == 0) {
          const int previouscode = r->lastcellcode;
          r->lastcellcode = -1;
          yyinterpretmessage(EV_FIELDCHANGED, previouscode,
                             MAKEWPARAM(static_cast<WORD>(r->previousfield), static_cast<WORD>(r->currentfield)), -1,
                             dialog);
        }
      }
      return FALSE;
    }
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC:
      return reinterpret_cast<INT_PTR>(
          yyProcessColour(dialog, msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND: return command(dialog, wParam, lParam);
    default: break;
  }
  if (GM_CELLCHANGE != 0 && msg == GM_CELLCHANGE) {
    // A grid's current cell: a field change of the grid with the packed cell.
    HWND grid = GetDlgItem(dialog, static_cast<int>(wParam));
    if (grid != nullptr && CreatingDialog == 0) fieldactivity(dialog, grid, static_cast<int>(lParam), false);
    return TRUE;
  }
  if (ismouse(msg) && !modal) {
    const DialogRecord* r = yydialogrecord(dialog);
    if (r != nullptr && r->graphics != 0) postmouse(dialog, dialog, msg, wParam, lParam, 0);
  }
  return FALSE;
}

//------------------------------------------------------------------------------
// [SECTION] Colours
// - yyProcessColour()
//------------------------------------------------------------------------------
namespace {
HBRUSH lastBrush = nullptr;
}

HBRUSH yyProcessColour(HWND dialog, UINT msg, HDC dc, HWND field) {
  if (lastBrush != nullptr) {
    DeleteObject(lastBrush);
    lastBrush = nullptr;
  }
  if (field == nullptr || yyfieldclass(field) == FieldClass::Tree) return nullptr;
  HWND direct = field;
  for (int up = 0; up < 2 && direct != nullptr && GetParent(direct) != dialog; ++up) direct = GetParent(direct);
  if (direct == nullptr || GetParent(direct) != dialog) return nullptr;
  const FieldRecord* fr = yyfieldrecord(direct);
  if (fr == nullptr || (fr->foreground == -1 && fr->background == -1)) return nullptr;
  const bool buttonlike = msg == WM_CTLCOLORBTN || msg == WM_CTLCOLORSTATIC || yyfieldclass(direct) == FieldClass::Button;
  if (fr->foreground != -1) SetTextColor(dc, static_cast<COLORREF>(fr->foreground));
  else SetTextColor(dc, GetSysColor(yyfieldclass(direct) == FieldClass::Button ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
  if (fr->background != -1) {
    SetBkColor(dc, static_cast<COLORREF>(fr->background));
    lastBrush = CreateSolidBrush(GetNearestColor(dc, static_cast<COLORREF>(fr->background)));
    return lastBrush;
  }
  const int sys = buttonlike ? COLOR_BTNFACE : COLOR_WINDOW;
  SetBkColor(dc, GetSysColor(sys));
  return GetSysColorBrush(sys);
}

//------------------------------------------------------------------------------
// [SECTION] Subclass procedures
// - yysubpaint(), yysubbutton(), yysubstatic(), yysubtrack(), yysubedit(), yysubupdown(),
//   yysubtree()
//------------------------------------------------------------------------------
namespace {

LRESULT forward(WNDPROC proc, HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc != nullptr ? CallWindowProc(proc, h, msg, wParam, lParam) : DefWindowProc(h, msg, wParam, lParam);
}

// A press on another field while the focused numeric field holds an entry it would refuse:
// the move of the focus comes first, and when the field refuses it the press goes no
// further, so that no other control changes (and reports) while a refused entry stands.
// Push buttons keep their own protocol (OK insists, the others put the last valid entry
// back); statics, group boxes and tab fields take no focus from a press or have their own.
bool pressrefused(HWND h) {
  HWND focus = GetFocus();
  if (focus == nullptr || focus == h || !yyisnumeric(focus) || yyentryrefused(focus) == 0) return false;
  const FieldClass c = yyfieldclass(h);
  if (c == FieldClass::Static || c == FieldClass::Tab || c == FieldClass::Dialog || c == FieldClass::Other) return false;
  if (c == FieldClass::Button) {
    const DWORD low = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & 0xF;
    if (low == BS_PUSHBUTTON || low == BS_DEFPUSHBUTTON || low == BS_GROUPBOX) return false;
  }
  HWND target = c == FieldClass::UpDown ? reinterpret_cast<HWND>(SendMessage(h, UDM_GETBUDDY, 0, 0)) : h;
  if (target == nullptr || target == focus) return false;
  SetFocus(target);
  return GetFocus() != target;
}

LRESULT yysubpaint(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  FieldRecord* fr = reinterpret_cast<FieldRecord*>(GetWindowLongPtr(h, GWLP_USERDATA));
  WNDPROC inner = fr != nullptr ? fr->innerproc : nullptr;
  if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && pressrefused(h)) return 0;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inner));
    SetWindowLongPtr(h, GWLP_USERDATA, 0);
    const LRESULT result = forward(inner, h, msg, wParam, lParam);
    if (fr != nullptr) {
      if (!fr->sharedformat) delete fr->format;
      delete fr;
    }
    return result;
  }
  const LRESULT result = forward(inner, h, msg, wParam, lParam);
  if (fr == nullptr || fr->graphics == 0) return result;
  HWND dialog = dialogof(h);
  if (yyismodaldialog(dialog)) return result;
  DialogRecord* r = yydialogrecord(dialog);
  if (r == nullptr) return result;
  if (msg == WM_PAINT && wBlitOn != 0 && r->image != nullptr) {
    HDC dc = GetDC(h);
    yypaintfromsnapshot(h, dc);
    ReleaseDC(h, dc);
  } else if (msg == WM_PAINT) {
    r->eventfield = GetDlgCtrlID(h);
    yyinterpretmessage(107, 0, static_cast<WPARAM>(r->eventfield), 0, dialog);
  } else if (msg == WM_SIZE) {
    UpdateWindow(h);
    r->eventfield = GetDlgCtrlID(h);
    yyinterpretmessage(108, static_cast<int>(wParam), static_cast<WPARAM>(r->eventfield), lParam, dialog);
  }
  return result;
}

LRESULT yysubbutton(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETFOCUS: {
      const LRESULT result = forward(classprocs.button, h, msg, wParam, lParam);
      SendMessage(dialogof(h), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(h)), 6), reinterpret_cast<LPARAM>(h));
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = forward(classprocs.button, h, msg, wParam, lParam);
      HWND taking = reinterpret_cast<HWND>(wParam);
      if (hBadVal != nullptr && IsWindow(hBadVal) && taking != hBadVal) yyselectinvalid(h, hBadVal, 0);
      return result;
    }
    case WM_LBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT c;
      GetClientRect(h, c);
      const LRESULT result = forward(classprocs.button, h, msg, wParam, lParam);
      // Released off the box: no click came, so the focus change is reported on its own.
      if (clickpending == h && IsWindow(h)) {
        clickpending = nullptr;
        HWND dialog = dialogof(h);
        if (!yyismodaldialog(dialog) && CreatingDialog == 0) postfieldchanged(dialog, -1);
      }
      if (!PtInRect(c, p) && hBadVal != nullptr && IsWindow(hBadVal)) yyselectinvalid(h, hBadVal, 0);
      return result;
    }
    case BM_CLICK:
      // A click by program or mnemonic moves the focus first, as a press does.
      if (pressrefused(h)) return 0;
      return forward(classprocs.button, h, msg, wParam, lParam);
    case BM_SETSTATE: {
      const LRESULT result = forward(classprocs.button, h, msg, wParam, lParam);
      const FieldRecord* fr = yyfieldrecord(h);
      HWND dialog = dialogof(h);
      if (fr != nullptr && fr->graphics != 0 && !yyismodaldialog(dialog)) {
        if (DialogRecord* r = yydialogrecord(dialog)) {
          r->eventfield = GetDlgCtrlID(h);
          yyinterpretmessage(107, 0, static_cast<WPARAM>(r->eventfield), 0, dialog);
        }
      }
      return result;
    }
    default: return forward(classprocs.button, h, msg, wParam, lParam);
  }
}

LRESULT yysubstatic(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const FieldRecord* fr = yyfieldrecord(h);
  if (msg == WM_ENABLE) return 0;
  if (msg == WM_SETCURSOR && fr != nullptr && fr->graphics != 0) {
    SetCursor(fr->cursor != nullptr ? fr->cursor : wCursor != nullptr ? wCursor : LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
  }
  if (msg == WM_NCHITTEST && (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(SS_NOTIFY))) return HTCLIENT;
  if (ismouse(msg)) {
    HWND dialog = dialogof(h);
    if (fr != nullptr && fr->graphics != 0) {
      if (!yyismodaldialog(dialog)) postmouse(dialog, h, msg, wParam, lParam, GetDlgCtrlID(h));
      return 0;
    }
    if (!(GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(SS_NOTIFY))) return 0;
  }
  return forward(classprocs.statics, h, msg, wParam, lParam);
}

LRESULT yysubtrack(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const bool selrange = (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(TBS_ENABLESELRANGE)) != 0;
  HWND dialog = dialogof(h);
  switch (msg) {
    case WM_SETFOCUS: {
      const LRESULT result = forward(classprocs.track, h, msg, wParam, lParam);
      SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(h)), 256), reinterpret_cast<LPARAM>(h));
      return result;
    }
    case WM_KILLFOCUS: iSelStart = -1; break;
    case WM_KEYDOWN: {
      if (!selrange) break;
      const bool repeat = (lParam & 0x40000000) != 0;
      if (wParam == VK_SHIFT && !repeat) iSelStart = static_cast<int>(SendMessage(h, TBM_GETPOS, 0, 0));
      const bool del = wParam == VK_DELETE;
      const bool all = wParam == 'A' && GetKeyState(VK_CONTROL) < 0;
      if (del) SendMessage(h, TBM_CLEARSEL, TRUE, 0);
      if (all)
        SendMessage(h, TBM_SETSEL, TRUE,
                    MAKELPARAM(static_cast<WORD>(SendMessage(h, TBM_GETRANGEMIN, 0, 0)),
                               static_cast<WORD>(SendMessage(h, TBM_GETRANGEMAX, 0, 0))));
      if ((del || all) && !yyismodaldialog(dialog)) {
        if (DialogRecord* r = yydialogrecord(dialog)) {
          r->currentfield = GetDlgCtrlID(h);
          yyUpdateLast(dialog, h);
          const int previouscode = r->lastcellcode;
          r->lastcellcode = -1;
          yyinterpretmessage(EV_FIELDCHANGED, previouscode,
                             MAKEWPARAM(static_cast<WORD>(0xFFFF), static_cast<WORD>(r->currentfield)), -1, dialog);
        }
      }
      if (del || all) return 0;
      break;
    }
    case WM_KEYUP:
      if (selrange && wParam == VK_SHIFT &&
          SendMessage(h, TBM_GETSELSTART, 0, 0) == SendMessage(h, TBM_GETSELEND, 0, 0))
        SendMessage(h, TBM_CLEARSEL, TRUE, 0);
      break;
    default: break;
  }
  return forward(classprocs.track, h, msg, wParam, lParam);
}

LRESULT yysubedit(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CHAR && wParam == 1) {
    SendMessage(h, EM_SETSEL, 0, -1);
    return 0;
  }
  if (msg == WM_KEYDOWN && wParam == VK_RETURN && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 &&
      !(GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(ES_WANTRETURN))) {
    yyDefaultButton(h);
    return 0;
  }
  return forward(classprocs.edit, h, msg, wParam, lParam);
}

LRESULT yysubupdown(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_LBUTTONDOWN) {
    HWND dialog = GetParent(h);
    for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
      const FieldRecord* fr = yyfieldrecord(f);
      if (fr != nullptr && fr->buddy == h && GetFocus() != f) SetFocus(f);
    }
  }
  return forward(classprocs.updown, h, msg, wParam, lParam);
}

LRESULT yysubtree(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = forward(classprocs.tree, h, msg, wParam, lParam);
  if (msg == WM_SETFOCUS && CreatingDialog == 0) fieldactivity(dialogof(h), h, -1, true);
  return result;
}

// The captions of disabled tabs, embossed: highlight one pixel right and down on the
// button face, then shadow over it.
void paintdisabledtabs(HWND h, int n) {
  HDC dc = GetDC(h);
  HGDIOBJ oldfont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(h, WM_GETFONT, 0, 0)));
  for (int k = 0; k < n; ++k) {
    if (!yytabdisabled(h, k)) continue;
    RECT r;
    if (SendMessage(h, TCM_GETITEMRECT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&r)) == 0) continue;
    InflateRect(r, -2, -2);
    char text[256] = {};
    TCITEM ti;
    ti.mask = TCIF_TEXT;
    ti.pszText = text;
    ti.cchTextMax = sizeof text;
    SendMessage(h, TCM_GETITEM, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&ti));
    RECT t{r.left, r.top + 1, r.right, r.bottom};
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_3DHIGHLIGHT));
    RECT hl{t.left + 1, t.top + 1, t.right + 1, t.bottom + 1};
    DrawText(dc, text, -1, hl, DT_CENTER | DT_TOP | DT_SINGLELINE);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
    DrawText(dc, text, -1, t, DT_CENTER | DT_TOP | DT_SINGLELINE);
  }
  SelectObject(dc, oldfont);
  ReleaseDC(h, dc);
}

LRESULT yysubtab(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCHITTEST) {
    // The pages lie under the tab field's display area: only the tabs themselves are its.
    TCHITTESTINFO hit;
    hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(h, hit.pt);
    if (SendMessage(h, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 && !yytabpages(h).empty()) return HTTRANSPARENT;
  }
  // Only these messages look at disabled tabs (the tab messages sent here come back through
  // this procedure).
  const bool looks = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_KEYDOWN || msg == WM_PAINT;
  const int n = looks ? static_cast<int>(SendMessage(h, TCM_GETITEMCOUNT, 0, 0)) : 0;
  bool anydisabled = false;
  for (int k = 0; k < n && !anydisabled; ++k) anydisabled = yytabdisabled(h, k);
  if (anydisabled && (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)) {
    TCHITTESTINFO hit;
    hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int k = static_cast<int>(SendMessage(h, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (k >= 0 && yytabdisabled(h, k)) return 0;
  }
  if (anydisabled && msg == WM_KEYDOWN) {
    if (wParam == VK_UP || wParam == VK_DOWN) return 0;
    if (wParam == VK_LEFT || wParam == VK_RIGHT) {
      // The nearest enabled tab that way, or nothing.
      const int step = wParam == VK_LEFT ? -1 : 1;
      int k = static_cast<int>(SendMessage(h, TCM_GETCURSEL, 0, 0)) + step;
      while (k >= 0 && k < n && yytabdisabled(h, k)) k += step;
      if (k >= 0 && k < n) SendMessage(h, TCM_SETCURFOCUS, static_cast<WPARAM>(k), 0);
      return 0;
    }
  }
  const LRESULT result = forward(classprocs.tab, h, msg, wParam, lParam);
  if (msg == WM_PAINT && anydisabled) paintdisabledtabs(h, n);
  if (msg == WM_MOVE || (msg == WM_SIZE && (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED))) {
    RECT area;
    yytabdisplayarea(h, area);
    for (int page : yytabpages(h)) {
      const int k = yydialogfind(page);
      if (k > 0)
        SetWindowPos(dialogtable.hDialogList[static_cast<std::size_t>(k)], nullptr, area.left, area.top,
                     area.right - area.left, area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return result;
}

}  // namespace
