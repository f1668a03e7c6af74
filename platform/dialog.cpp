// platform/dialog.cpp: the dialog class: templates, dialog units, creation, the modal loop,
// the default dialog procedure and the dialog keyboard interface.
// Sections (grep "[SECTION]"): records | templates | dialog units | navigation |
//   default push button | default dialog procedure | creation | modal loop |
//   keyboard interface | item helpers
//
// Invariants: (1) every dialog made here has a record in dialogs() from its creation to its
// WM_NCDESTROY; windows of the dialog class made otherwise run without one (system font
// units, no default button); (2) a modal dialog's owner is disabled by the modal loop only
// when it was enabled, and enabled again by EndDialog or at the end of the loop, once;
// (3) the dialog procedure is called for every message before the default handling, and
// its DWLP_MSGRESULT word is saved and restored around the call, so nested messages do not
// overwrite an outer answer.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

#include "platform/dialog_internal.h"
#include "platform/resource.h"

namespace win {
namespace {

constexpr UINT kEmSetSel = 0x00B1;   // the edit control's select message

//------------------------------------------------------------------------------
// [SECTION] Records
//------------------------------------------------------------------------------
struct DialogData {
  HFONT font = nullptr;
  bool ownsFont = false;
  int baseX = 0, baseY = 0;    // dialog base units of the template font
  int defId = 0;               // default push button, 0 none
  HWND savedFocus = nullptr;   // the control to focus again on activation
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  HWND disabledOwner = nullptr;   // the owner that the modal loop disabled
};

std::unordered_map<HWND, DialogData>& dialogs() {
  static std::unordered_map<HWND, DialogData> m;
  return m;
}

DialogData* rec(HWND h) {
  auto it = dialogs().find(h);
  return it == dialogs().end() ? nullptr : &it->second;
}

DWORD styleOf(HWND h) { return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)); }
DWORD exStyleOf(HWND h) { return static_cast<DWORD>(GetWindowLong(h, GWL_EXSTYLE)); }

// The value a * b / c rounded half away from zero, as dialog-unit conversions do.
int muldiv(int a, int b, int c) {
  if (c == 0) return 0;
  const long long p = static_cast<long long>(a) * b;
  const long long q = p >= 0 ? (p + c / 2) / c : (p - c / 2) / c;
  return static_cast<int>(q);
}

//------------------------------------------------------------------------------
// [SECTION] Templates
//------------------------------------------------------------------------------
struct Reader {
  const BYTE* base;
  std::size_t size;
  std::size_t pos = 0;
  bool ok = true;

  WORD u16() {
    if (pos + 2 > size) { ok = false; return 0; }
    WORD v;
    std::memcpy(&v, base + pos, 2);
    pos += 2;
    return v;
  }
  DWORD u32() {
    if (pos + 4 > size) { ok = false; return 0; }
    DWORD v;
    std::memcpy(&v, base + pos, 4);
    pos += 4;
    return v;
  }
  BYTE u8() {
    if (pos + 1 > size) { ok = false; return 0; }
    return base[pos++];
  }
  std::u16string str() {
    std::u16string s;
    for (;;) {
      const WORD c = u16();
      if (!ok || c == 0) break;
      s += static_cast<char16_t>(c);
    }
    return s;
  }
  void align4() { pos = (pos + 3) & ~static_cast<std::size_t>(3); }
};

struct NameOrOrd {
  bool present = false;
  bool isOrd = false;
  WORD ord = 0;
  std::string name;
};

NameOrOrd nameOrOrd(Reader& r) {
  NameOrOrd n;
  const std::size_t at = r.pos;
  const WORD first = r.u16();
  if (!r.ok || first == 0) return n;
  n.present = true;
  if (first == 0xFFFF) {
    n.isOrd = true;
    n.ord = r.u16();
    return n;
  }
  r.pos = at;
  n.name = dlg::fromUtf16(r.str());
  return n;
}

struct ItemTemplate {
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  LONG id = 0;
  NameOrOrd cls, text;
  const BYTE* data = nullptr;   // creation data, its size word first
};

struct DialogTemplate {
  bool ex = false;
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrd menu, cls;
  std::string caption;
  bool hasFont = false;
  int pointSize = 0, weight = 0, italic = 0, charset = DEFAULT_CHARSET;
  std::string face;
  std::vector<ItemTemplate> items;
};

// Reads a DLGTEMPLATE or DLGTEMPLATEEX of at most size bytes; false when it is cut short.
bool parseTemplate(const void* data, std::size_t size, DialogTemplate& t) {
  if (!data) return false;
  Reader r{static_cast<const BYTE*>(data), size};
  const WORD w0 = r.u16(), w1 = r.u16();
  t.ex = w0 == 1 && w1 == 0xFFFF;
  if (t.ex) {
    r.u32();   // help identifier
    t.exStyle = r.u32();
    t.style = r.u32();
  } else {
    r.pos = 0;
    t.style = r.u32();
    t.exStyle = r.u32();
  }
  const WORD count = r.u16();
  t.x = static_cast<short>(r.u16());
  t.y = static_cast<short>(r.u16());
  t.cx = static_cast<short>(r.u16());
  t.cy = static_cast<short>(r.u16());
  t.menu = nameOrOrd(r);
  t.cls = nameOrOrd(r);
  t.caption = dlg::fromUtf16(r.str());
  if (t.style & DS_SETFONT) {
    t.hasFont = true;
    t.pointSize = r.u16();
    if (t.ex) {
      t.weight = r.u16();
      t.italic = r.u8();
      t.charset = r.u8();
    }
    t.face = dlg::fromUtf16(r.str());
  }
  for (WORD i = 0; i < count && r.ok; ++i) {
    r.align4();
    ItemTemplate it;
    if (t.ex) {
      r.u32();   // help identifier
      it.exStyle = r.u32();
      it.style = r.u32();
    } else {
      it.style = r.u32();
      it.exStyle = r.u32();
    }
    it.x = static_cast<short>(r.u16());
    it.y = static_cast<short>(r.u16());
    it.cx = static_cast<short>(r.u16());
    it.cy = static_cast<short>(r.u16());
    it.id = t.ex ? static_cast<LONG>(r.u32()) : static_cast<LONG>(r.u16());
    it.cls = nameOrOrd(r);
    it.text = nameOrOrd(r);
    const std::size_t at = r.pos;
    const WORD extra = r.u16();
    if (extra > 0) {
      if (r.pos + extra > r.size) r.ok = false;
      it.data = r.base + at;
      r.pos += extra;
    }
    if (!it.cls.present) r.ok = false;
    t.items.push_back(it);
  }
  return r.ok;
}

std::string upperAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A predefined control class by its atom in a template.
const char* predefinedClass(WORD atom) {
  switch (atom) {
    case 0x80: return "BUTTON";
    case 0x81: return "EDIT";
    case 0x82: return "STATIC";
    case 0x83: return "LISTBOX";
    case 0x84: return "SCROLLBAR";
    case 0x85: return "COMBOBOX";
    default: return nullptr;
  }
}

//------------------------------------------------------------------------------
// [SECTION] Dialog units
//------------------------------------------------------------------------------
void baseUnitsOf(HFONT font, int& bx, int& by) {
  bx = 0;
  by = 0;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc) {
    HGDIOBJ old = SelectObject(dc, font);
    LONG h = 0;
    bx = static_cast<int>(GdiGetCharDimensions(dc, nullptr, &h));
    by = static_cast<int>(h);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  // Without usable metrics the layout still needs units: those of an 8-point sans serif.
  if (bx <= 0) bx = 6;
  if (by <= 0) by = 13;
}

//------------------------------------------------------------------------------
// [SECTION] Navigation
//------------------------------------------------------------------------------
bool shownAndEnabled(HWND h) {
  const DWORD s = styleOf(h);
  return (s & WS_VISIBLE) && !(s & WS_DISABLED);
}

// The dialog's controls in tab order: children in creation order, the controls of a child
// that is itself a control parent (an embedded dialog) in its place.
void flatten(HWND parent, std::vector<HWND>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if ((exStyleOf(c) & WS_EX_CONTROLPARENT) && shownAndEnabled(c) && GetWindow(c, GW_CHILD)) {
      flatten(c, out);
      continue;
    }
    out.push_back(c);
  }
}

HWND findControl(HWND dialog, int id) {
  std::vector<HWND> all;
  flatten(dialog, all);
  for (HWND c : all)
    if (GetDlgCtrlID(c) == id) return c;
  return GetDlgItem(dialog, id);
}

LRESULT dlgCode(HWND h, const MSG* m = nullptr) {
  return h ? SendMessage(h, WM_GETDLGCODE, m ? m->wParam : 0, reinterpret_cast<LPARAM>(m)) : 0;
}

// Focuses a control as the dialog does: an edit-like control has its whole text selected.
void focusControl(HWND control) {
  if (!control) return;
  const LRESULT code = dlgCode(control);
  SetFocus(control);
  if (code & DLGC_HASSETSEL) SendMessage(control, kEmSetSel, 0, -1);
}

// The siblings of the group that holds h, in order: from a WS_GROUP control to the next.
void groupOf(HWND h, std::vector<HWND>& members) {
  HWND start = h;
  for (HWND p = h; p; p = GetWindow(p, GW_HWNDPREV)) {
    start = p;
    if (styleOf(p) & WS_GROUP) break;
  }
  for (HWND c = start; c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (c != start && (styleOf(c) & WS_GROUP)) break;
    members.push_back(c);
  }
}

// Tabbing onto a radio button lands on the checked one of its group.
HWND checkedRadioOf(HWND h) {
  if (!(dlgCode(h) & DLGC_RADIOBUTTON) || SendMessage(h, BM_GETCHECK, 0, 0) == BST_CHECKED) return h;
  std::vector<HWND> group;
  groupOf(h, group);
  for (HWND g : group)
    if (shownAndEnabled(g) && (dlgCode(g) & DLGC_RADIOBUTTON) && SendMessage(g, BM_GETCHECK, 0, 0) == BST_CHECKED)
      return g;
  return h;
}

HWND dialogOf(HWND control) {
  for (HWND p = GetParent(control); p; p = GetParent(p)) {
    if (rec(p)) return p;
    if (!(styleOf(p) & WS_CHILD)) break;
  }
  return nullptr;
}

// The dialog's control that is or holds h (a combo box holds its edit part).
HWND itemOf(const std::vector<HWND>& all, HWND h) {
  for (HWND p = h; p; p = GetParent(p)) {
    if (std::find(all.begin(), all.end(), p) != all.end()) return p;
    if (!(styleOf(p) & WS_CHILD)) break;
  }
  return h;
}

}  // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  if (!IsWindow(dialog)) return nullptr;
  std::vector<HWND> all;
  flatten(dialog, all);
  control = itemOf(all, control);
  auto stop = [](HWND h) { return shownAndEnabled(h) && (styleOf(h) & WS_TABSTOP); };
  const auto at = std::find(all.begin(), all.end(), control);
  if (!control || at == all.end()) {
    if (previous) {
      for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (stop(*it)) return *it;
    } else {
      for (HWND h : all)
        if (stop(h)) return h;
    }
    return nullptr;
  }
  const std::size_t n = all.size(), i = static_cast<std::size_t>(at - all.begin());
  for (std::size_t k = 1; k < n; ++k) {
    HWND h = all[previous ? (i + n - k) % n : (i + k) % n];
    if (stop(h)) return h;
  }
  return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!IsWindow(dialog)) return nullptr;
  if (!control || !IsChild(dialog, control)) return GetNextDlgTabItem(dialog, nullptr, FALSE);
  {
    std::vector<HWND> all;
    flatten(dialog, all);
    control = itemOf(all, control);
  }
  std::vector<HWND> group;
  groupOf(control, group);
  const std::size_t n = group.size();
  const std::size_t i = static_cast<std::size_t>(std::find(group.begin(), group.end(), control) - group.begin());
  for (std::size_t k = 1; k < n; ++k) {
    HWND h = group[previous ? (i + n - k) % n : (i + k) % n];
    if (shownAndEnabled(h)) return h;
  }
  return control;
}

//------------------------------------------------------------------------------
// [SECTION] Default push button
//------------------------------------------------------------------------------
namespace dlg {

bool isDialogWindow(HWND hwnd) { return rec(hwnd) != nullptr; }

void pushButtonFocus(HWND button, bool gaining, HWND other) {
  HWND dialog = dialogOf(button);
  DialogData* d = dialog ? rec(dialog) : nullptr;
  if (!d) return;
  std::vector<HWND> all;
  flatten(dialog, all);
  if (gaining) {
    for (HWND c : all)
      if (c != button && (dlgCode(c) & DLGC_DEFPUSHBUTTON)) SendMessage(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (dlgCode(button) & DLGC_UNDEFPUSHBUTTON) SendMessage(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    return;
  }
  // The push button that takes the focus shows itself as the default.
  if (other && std::find(all.begin(), all.end(), other) != all.end() &&
      (dlgCode(other) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    return;
  if (GetDlgCtrlID(button) != d->defId && (dlgCode(button) & DLGC_DEFPUSHBUTTON))
    SendMessage(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  if (d->defId) {
    HWND def = findControl(dialog, d->defId);
    if (def && (dlgCode(def) & DLGC_UNDEFPUSHBUTTON)) SendMessage(def, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  }
}

}  // namespace dlg

//------------------------------------------------------------------------------
// [SECTION] Default dialog procedure
//------------------------------------------------------------------------------
namespace {

bool answersDirectly(UINT msg) {
  return (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_INITDIALOG;
}

void restoreFocus(HWND dialog) {
  DialogData* d = rec(dialog);
  HWND target = d ? d->savedFocus : nullptr;
  HWND focus = GetFocus();
  if (!target && focus && IsChild(dialog, focus)) return;   // a control has it already
  if (!target || !IsWindow(target) || !IsChild(dialog, target)) target = GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (target) focusControl(target);
}

void saveFocus(HWND dialog) {
  HWND f = GetFocus();
  if (DialogData* d = rec(dialog); d && f && IsChild(dialog, f)) d->savedFocus = f;
}

LRESULT defaultDialog(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  DialogData* d = rec(h);
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      RECT r;
      GetClientRect(h, r);
      HBRUSH b = reinterpret_cast<HBRUSH>(SendMessage(h, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(h)));
      if (dc) dlg::fillBrush(dc, r, b, GetSysColor(COLOR_BTNFACE));
      return 1;
    }
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
      return 0;   // the controls' own colours
    case WM_SHOWWINDOW:
      if (!wParam) saveFocus(h);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) saveFocus(h);
      else if (!HIWORD(wParam)) restoreFocus(h);
      return 0;
    case WM_SETFOCUS:
      restoreFocus(h);
      return 0;
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(h, IDCANCEL);
      if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return 0;
      }
      PostMessage(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case DM_GETDEFID:
      return d && d->defId ? MAKELONG(static_cast<WORD>(d->defId), DC_HASDEFID) : 0;
    case DM_SETDEFID: {
      if (!d) return FALSE;
      const int old = d->defId;
      d->defId = static_cast<int>(wParam);
      HWND focus = GetFocus();
      const bool focusOnPush = focus && IsChild(h, focus) && (dlgCode(focus) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
      if (HWND o = old ? findControl(h, old) : nullptr; o && old != d->defId && o != focus && (dlgCode(o) & DLGC_DEFPUSHBUTTON))
        SendMessage(o, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
      if (HWND n = d->defId ? findControl(h, d->defId) : nullptr; n && (!focusOnPush || n == focus) && (dlgCode(n) & DLGC_UNDEFPUSHBUTTON))
        SendMessage(n, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
      return TRUE;
    }
    case DM_REPOSITION: {
      if (styleOf(h) & WS_CHILD) return 0;
      RECT r;
      GetWindowRect(h, r);
      const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
      int x = std::max<int>(0, std::min<int>(r.left, sw - (r.right - r.left)));
      int y = std::max<int>(0, std::min<int>(r.top, sh - (r.bottom - r.top)));
      SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NEXTDLGCTL: {
      HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(h, GetFocus(), wParam != 0);
      if (target && (target == h || IsChild(h, target))) focusControl(target);
      return 0;
    }
    case WM_SETFONT:
      if (d) d->font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return d ? reinterpret_cast<LRESULT>(d->font) : 0;
    case WM_NCDESTROY:
      if (d) {
        if (d->ownsFont && d->font) DeleteObject(d->font);
        dialogs().erase(h);
      }
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_HELP:
      if ((styleOf(h) & WS_CHILD) && GetParent(h)) return SendMessage(GetParent(h), msg, wParam, lParam);
      return 0;
    case WM_INITDIALOG:
    case WM_COMMAND:
    case WM_NOTIFY:
      return 0;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

LRESULT DefDlgProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  DLGPROC proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(h, DWLP_DLGPROC));
  if (proc) {
    const LONG_PTR outer = GetWindowLongPtr(h, DWLP_MSGRESULT);
    SetWindowLongPtr(h, DWLP_MSGRESULT, 0);
    const INT_PTR handled = proc(h, msg, wParam, lParam);
    if (!IsWindow(h)) return handled;
    const LONG_PTR answer = GetWindowLongPtr(h, DWLP_MSGRESULT);
    SetWindowLongPtr(h, DWLP_MSGRESULT, outer);
    // A dialog's record goes with it whatever its procedure answers.
    if (handled && msg != WM_NCDESTROY) return answersDirectly(msg) ? handled : answer;
  }
  return defaultDialog(h, msg, wParam, lParam);
}

//------------------------------------------------------------------------------
// [SECTION] Creation
//------------------------------------------------------------------------------
namespace dlg {
void registerDialogClass() {
  WNDCLASS wc;
  if (GetClassInfo(nullptr, WC_DIALOG, wc)) return;
  wc = WNDCLASS{};
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpfnWndProc = DefDlgProc;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
  wc.lpszClassName = WC_DIALOG;
  RegisterClass(wc);
}
}  // namespace dlg

void RegisterDialogClasses() {
  dlg::registerButtonClass();
  dlg::registerStaticClass();
  dlg::registerEditClass();
  dlg::registerListBoxClasses();
  dlg::registerComboBoxClass();
  dlg::registerScrollBarClass();
  dlg::registerUpDownClass();
  dlg::registerProgressClass();
  dlg::registerTrackbarClass();
  dlg::registerHeaderClass();
  dlg::registerTabClass();
  dlg::registerTreeViewClass();
  dlg::registerDialogClass();
}

namespace {

HFONT templateFont(const DialogTemplate& t) {
  const int height = -muldiv(t.pointSize, 96, 72);
  const int weight = t.weight > 0 ? t.weight : FW_NORMAL;
  return CreateFont(height, 0, 0, 0, weight, t.italic ? 1u : 0u, 0, 0, static_cast<DWORD>(t.charset),
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    VARIABLE_PITCH | FF_SWISS, t.face.c_str());
}

// Creates the dialog and its controls and runs WM_INITDIALOG; show says whether a template
// with WS_VISIBLE is shown here (a modal dialog is shown by its loop).
HWND createFromTemplate(HINSTANCE instance, const DialogTemplate& t, HWND parent, DLGPROC proc,
                        LPARAM param, bool show) {
  RegisterDialogClasses();
  DWORD style = t.style;
  DWORD exStyle = t.exStyle;
  if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
  if (style & DS_CONTROL) {
    style &= ~(WS_CAPTION | WS_SYSMENU);
    exStyle |= WS_EX_CONTROLPARENT;
  }
  const bool child = (style & WS_CHILD) != 0;
  if (child && !IsWindow(parent)) return nullptr;
  HWND owner = parent && !child ? GetAncestor(parent, GA_ROOT) : parent;

  HFONT font = nullptr;
  bool ownsFont = false;
  if (t.hasFont) {
    font = templateFont(t);
    ownsFont = font != nullptr;
  }
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  int bx = 0, by = 0;
  baseUnitsOf(font, bx, by);

  RECT r{muldiv(t.x, bx, 4), muldiv(t.y, by, 8), 0, 0};
  r.right = r.left + muldiv(t.cx, bx, 4);
  r.bottom = r.top + muldiv(t.cy, by, 8);
  AdjustWindowRectEx(r, style, FALSE, exStyle);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (!child) {
    if (owner && !(style & DS_ABSALIGN)) {
      POINT o{0, 0};
      ClientToScreen(owner, o);
      OffsetRect(r, o.x, o.y);
    }
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    if (style & DS_CENTER) {
      r.left = (sw - width) / 2;
      r.top = (sh - height) / 2;
    } else if (style & DS_CENTERMOUSE) {
      POINT c;
      GetCursorPos(c);
      r.left = c.x - width / 2;
      r.top = c.y - height / 2;
    }
    // A top-level dialog stays on the screen.
    r.left = std::max<int>(0, std::min<int>(r.left, sw - width));
    r.top = std::max<int>(0, std::min<int>(r.top, sh - height));
  }

  std::string className = WC_DIALOG;
  if (t.cls.present) {
    if (t.cls.isOrd) return nullptr;   // class atoms of dialogs are not kept in templates
    className = t.cls.name;
  }
  HWND h = CreateWindowEx(exStyle, className.c_str(), t.caption.c_str(), style & ~WS_VISIBLE,
                          r.left, r.top, width, height, child ? parent : owner, nullptr, instance, nullptr);
  if (!h) {
    if (ownsFont) DeleteObject(font);
    return nullptr;
  }
  DialogData& d = dialogs()[h];
  d.font = font;
  d.ownsFont = ownsFont;
  d.baseX = bx;
  d.baseY = by;
  SetWindowLongPtr(h, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  if (t.hasFont) SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (!IsWindow(h)) return nullptr;

  for (const ItemTemplate& it : t.items) {
    std::string cls;
    if (it.cls.isOrd) {
      const char* name = predefinedClass(it.cls.ord);
      cls = name ? name : "";
    } else {
      cls = it.cls.name;
    }
    // A static's image named by number in the template goes to it as "#number", a name the
    // resource loaders take.
    std::string text = it.text.present && !it.text.isOrd ? it.text.name : std::string();
    if (it.text.isOrd && upperAscii(cls) == "STATIC") text = std::string("#").append(std::to_string(it.text.ord));
    const int x = muldiv(it.x, bx, 4), y = muldiv(it.y, by, 8);
    const int cx = muldiv(it.cx, bx, 4), cy = muldiv(it.cy, by, 8);
    HWND c = cls.empty() ? nullptr
                         : CreateWindowEx(it.exStyle | WS_EX_NOPARENTNOTIFY, cls.c_str(), text.c_str(),
                                          it.style | WS_CHILD, x, y, cx, cy, h,
                                          reinterpret_cast<HMENU>(static_cast<LONG_PTR>(it.id)), instance,
                                          const_cast<BYTE*>(it.data));
    if (!IsWindow(h)) return nullptr;
    if (!c) {
      if (style & DS_NOFAILCREATE) continue;
      DestroyWindow(h);
      return nullptr;
    }
    if (t.hasFont) SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (DialogData* dd = rec(h)) {
    std::vector<HWND> all;
    flatten(h, all);
    for (HWND c : all)
      if (dlgCode(c) & DLGC_DEFPUSHBUTTON) {
        dd->defId = GetDlgCtrlID(c);
        break;
      }
  }

  HWND first = GetNextDlgTabItem(h, nullptr, FALSE);
  const LRESULT focusFirst = SendMessage(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (!IsWindow(h)) return nullptr;
  if (focusFirst && first && IsWindow(first)) {
    // A hidden dialog takes the focus when it is shown and activated.
    if (IsWindowVisible(h)) focusControl(first);
    else if (DialogData* dd = rec(h)) dd->savedFocus = first;
  }
  if (show && (t.style & WS_VISIBLE) && IsWindow(h)) {
    ShowWindow(h, SW_SHOWNORMAL);
    UpdateWindow(h);
  }
  return IsWindow(h) ? h : nullptr;
}

bool templateFromResource(HINSTANCE instance, LPCSTR name, const void*& data, std::size_t& size) {
  HRSRC res = FindResource(instance, name, RT_DIALOG);
  if (!res) return false;
  HGLOBAL g = LoadResource(instance, res);
  data = LockResource(g);
  size = SizeofResource(instance, res);
  return data != nullptr && size > 0;
}

// In-memory templates carry no size: reading stops at their declared end.
constexpr std::size_t kUnbounded = static_cast<std::size_t>(1) << 30;

}  // namespace

HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE dialogTemplate, HWND parent,
                               DLGPROC proc, LPARAM param) {
  DialogTemplate t;
  if (!parseTemplate(dialogTemplate, kUnbounded, t)) return nullptr;
  return createFromTemplate(instance, t, parent, proc, param, true);
}

HWND CreateDialogParam(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
  const void* data = nullptr;
  std::size_t size = 0;
  DialogTemplate t;
  if (!templateFromResource(instance, templateName, data, size) || !parseTemplate(data, size, t)) return nullptr;
  return createFromTemplate(instance, t, parent, proc, param, true);
}

HWND CreateDialog(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc) {
  return CreateDialogParam(instance, templateName, parent, proc, 0);
}

//------------------------------------------------------------------------------
// [SECTION] Modal loop
//------------------------------------------------------------------------------
namespace {

void enableOwnerAgain(DialogData& d) {
  if (!d.disabledOwner) return;
  HWND owner = d.disabledOwner;
  d.disabledOwner = nullptr;
  if (IsWindow(owner)) EnableWindow(owner, TRUE);
}

INT_PTR runModal(HWND h, const DialogTemplate& t) {
  DialogData* d = rec(h);
  if (!d) return -1;
  d->modal = true;
  HWND owner = GetWindow(h, GW_OWNER);
  if (owner && IsWindowEnabled(owner)) {
    EnableWindow(owner, FALSE);
    if ((d = rec(h))) d->disabledOwner = owner;
  }
  if ((d = rec(h)) && !d->ended && !IsWindowVisible(h)) {
    ShowWindow(h, SW_SHOWNORMAL);
    UpdateWindow(h);
  }
  bool idleSent = false;
  INT_PTR result = -1;
  for (;;) {
    d = rec(h);
    if (!d) break;   // destroyed without EndDialog
    if (d->ended) {
      result = d->result;
      break;
    }
    MSG m;
    if (!PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
      if (!idleSent && owner && !(t.style & DS_NOIDLEMSG)) {
        idleSent = true;
        SendMessage(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(h));
        continue;
      }
      if (!WaitMessage()) {
        std::fprintf(stderr, "platform: a modal dialog waits for input that cannot arrive; it ends with -1\n");
        break;
      }
      continue;
    }
    idleSent = false;
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));   // for the loop outside
      break;
    }
    if (!IsDialogMessage(h, m)) {
      TranslateMessage(m);
      DispatchMessage(m);
    }
  }
  if ((d = rec(h))) enableOwnerAgain(*d);
  else if (owner && IsWindow(owner) && !IsWindowEnabled(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(h)) DestroyWindow(h);
  return result;
}

INT_PTR dialogBox(HINSTANCE instance, const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param) {
  if (t.style & WS_CHILD) return -1;   // a modal dialog is a top-level window
  HWND h = createFromTemplate(instance, t, parent, proc, param, false);
  if (!h) return -1;
  return runModal(h, t);
}

}  // namespace

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE dialogTemplate, HWND parent,
                               DLGPROC proc, LPARAM param) {
  DialogTemplate t;
  if (!parseTemplate(dialogTemplate, kUnbounded, t)) return -1;
  return dialogBox(instance, t, parent, proc, param);
}

INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
  const void* data = nullptr;
  std::size_t size = 0;
  DialogTemplate t;
  if (!templateFromResource(instance, templateName, data, size) || !parseTemplate(data, size, t)) return -1;
  return dialogBox(instance, t, parent, proc, param);
}

INT_PTR DialogBox(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc) {
  return DialogBoxParam(instance, templateName, parent, proc, 0);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogData* d = rec(dialog);
  if (!d) return FALSE;
  d->ended = true;
  d->result = result;
  if (!d->modal) return TRUE;
  // The owner is enabled before the dialog hides, so that the activation goes back to it.
  enableOwnerAgain(*d);
  if (IsWindow(dialog)) ShowWindow(dialog, SW_HIDE);
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Keyboard interface
//------------------------------------------------------------------------------
namespace {

// Moves the focus by a control's mnemonic: a button is clicked, a label passes the focus to
// the control after it. False when no control has that mnemonic.
bool mnemonic(HWND dialog, char ch) {
  const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (key == 0 || key == ' ') return false;
  std::vector<HWND> all;
  flatten(dialog, all);
  const std::size_t n = all.size();
  if (n == 0) return false;
  HWND focus = GetFocus();
  const auto at = std::find(all.begin(), all.end(), focus);
  const std::size_t from = at == all.end() ? n - 1 : static_cast<std::size_t>(at - all.begin());
  for (std::size_t k = 1; k <= n; ++k) {
    HWND c = all[(from + k) % n];
    if (!(styleOf(c) & WS_VISIBLE)) continue;
    const LRESULT code = dlgCode(c);
    if (!(code & (DLGC_BUTTON | DLGC_STATIC))) continue;
    if ((code & DLGC_STATIC) && !(code & DLGC_BUTTON) && (styleOf(c) & SS_NOPREFIX)) continue;
    const int len = GetWindowTextLength(c);
    std::string text(static_cast<std::size_t>(len) + 1, '\0');
    GetWindowText(c, text.data(), len + 1);
    text.resize(static_cast<std::size_t>(len));
    if (dlg::mnemonicOf(text) != key) continue;
    if (code & DLGC_BUTTON) {
      if (!IsWindowEnabled(c)) return true;
      SendMessage(c, BM_CLICK, 0, 0);
      return true;
    }
    HWND next = GetNextDlgTabItem(dialog, c, FALSE);
    if (next) focusControl(checkedRadioOf(next));
    return true;
  }
  return false;
}

void pressButton(HWND dialog, int id, HWND button) {
  if (button && !IsWindowEnabled(button)) {
    MessageBeep(0);
    return;
  }
  SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// True when the key-down was acted on here.
bool dialogKey(HWND dialog, const MSG& m) {
  const LRESULT code = dlgCode(m.hwnd, &m);
  if (code & DLGC_WANTMESSAGE) return false;
  const int vk = static_cast<int>(m.wParam);
  switch (vk) {
    case VK_TAB: {
      if (code & DLGC_WANTTAB) return false;
      HWND focus = GetFocus();
      HWND next = GetNextDlgTabItem(dialog, focus && IsChild(dialog, focus) ? focus : nullptr,
                                    GetKeyState(VK_SHIFT) < 0);
      if (next) focusControl(checkedRadioOf(next));
      return true;
    }
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: {
      if (code & DLGC_WANTARROWS) return false;
      HWND focus = GetFocus();
      if (!focus || !IsChild(dialog, focus)) return true;
      HWND next = GetNextDlgGroupItem(dialog, focus, vk == VK_LEFT || vk == VK_UP);
      if (!next || next == focus) return true;
      focusControl(next);
      if ((dlgCode(next) & DLGC_RADIOBUTTON) && (styleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
        SendMessage(next, BM_CLICK, 0, 0);
      return true;
    }
    case VK_RETURN: {
      HWND focus = GetFocus();
      const LRESULT fc = focus && IsChild(dialog, focus) ? dlgCode(focus) : 0;
      if (fc & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        pressButton(dialog, GetDlgCtrlID(focus), focus);
        return true;
      }
      const LRESULT def = SendMessage(dialog, DM_GETDEFID, 0, 0);
      const int id = HIWORD(static_cast<UINT_PTR>(def)) == DC_HASDEFID ? LOWORD(static_cast<UINT_PTR>(def)) : IDOK;
      pressButton(dialog, id, findControl(dialog, id));
      return true;
    }
    case VK_ESCAPE:
      pressButton(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
      return true;
    case VK_F1: {
      HWND focus = GetFocus();
      HWND inner = focus && IsChild(dialog, focus) ? dialogOf(focus) : nullptr;
      HELPINFO hi;
      hi.iCtrlId = focus ? GetDlgCtrlID(focus) : 0;
      hi.hItemHandle = focus;
      GetCursorPos(hi.MousePos);
      SendMessage(inner ? inner : dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

BOOL IsDialogMessage(HWND dialog, const MSG& m) {
  if (!dialog || !IsWindow(dialog)) return FALSE;
  if (m.hwnd != dialog && !IsChild(dialog, m.hwnd)) return FALSE;
  switch (m.message) {
    case WM_KEYDOWN:
      if (dialogKey(dialog, m)) return TRUE;
      break;
    case WM_CHAR: {
      const LRESULT code = dlgCode(m.hwnd, &m);
      if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
      const char ch = static_cast<char>(m.wParam);
      if (ch == '\t' && (code & DLGC_WANTTAB)) break;
      if (ch == '\t' || ch == '\r' || ch == 27) return TRUE;   // acted on at the key-down
      if (mnemonic(dialog, ch)) return TRUE;
      break;
    }
    case WM_SYSCHAR:
      if (mnemonic(dialog, static_cast<char>(m.wParam))) return TRUE;
      break;
    default:
      break;
  }
  TranslateMessage(m);
  DispatchMessage(m);
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Item helpers
//------------------------------------------------------------------------------
BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SetWindowText(c, text) : FALSE;
}

UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size) {
  HWND c = GetDlgItem(dialog, id);
  if (!c) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowText(c, buffer, size));
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND c = GetDlgItem(dialog, id);
  if (!c) return FALSE;
  SendMessage(c, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND c = GetDlgItem(dialog, id);
  return c ? static_cast<UINT>(SendMessage(c, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  if (!IsWindow(dialog)) return FALSE;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    if (id >= firstId && id <= lastId)
      SendMessage(c, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

LONG GetDialogBaseUnits() {
  static int bx = 0, by = 0;
  if (bx == 0) baseUnitsOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), bx, by);
  return MAKELONG(static_cast<WORD>(bx), static_cast<WORD>(by));
}

BOOL MapDialogRect(HWND dialog, RECT& r) {
  int bx = 0, by = 0;
  if (const DialogData* d = rec(dialog)) {
    bx = d->baseX;
    by = d->baseY;
  } else {
    if (!IsWindow(dialog)) return FALSE;
    const LONG units = GetDialogBaseUnits();
    bx = LOWORD(static_cast<UINT_PTR>(units));
    by = HIWORD(static_cast<UINT_PTR>(units));
  }
  r.left = muldiv(r.left, bx, 4);
  r.right = muldiv(r.right, bx, 4);
  r.top = muldiv(r.top, by, 8);
  r.bottom = muldiv(r.bottom, by, 8);
  return TRUE;
}

}  // namespace win
