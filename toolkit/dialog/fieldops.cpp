// toolkit/dialog/fieldops.cpp: the field operations on the current dialog: texts and numbers
// through display formats, check boxes and radio groups, list and combo-box items, colours,
// title, focus, field states and field options.
// Sections (grep "[SECTION]"): internal routines | texts and numbers | buttons | lists |
//   appearance and focus
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "platform/dialog.h"
#include "platform/icon.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/grid/wgrid.h"

using namespace win;

//------------------------------------------------------------------------------
// [SECTION] Internal routines
// - yyfieldputtext(), yyfieldgetvalue(), yyfieldgetformat(), yyfieldclear(), yygetmenutype(),
//   yyfieldgroup(), yyDialogSelectAll()
//------------------------------------------------------------------------------
namespace {

bool nodialog(const char* routine) {
  if (tessar.dialog.CURDIALOG != 0 && yycurrentdialog() != nullptr) return false;
  yyerror(1005, routine);
  return true;
}

bool istextfield(FieldClass c) { return c == FieldClass::Edit || yyisnumeric(c); }

int buttonkind(HWND h) { return static_cast<int>(static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & BS_TYPEMASK); }

bool isformatted(FieldClass c) {
  return c == FieldClass::RealEdit || c == FieldClass::RealSpin || c == FieldClass::DoubleEdit ||
         c == FieldClass::DoubleSpin;
}

}  // namespace

void yyfieldputtext(int& field, double value, std::string_view text, std::string_view format) {
  HWND h = yycurrentfield(field);
  FieldRecord* fr = yyfieldrecord(h);
  if (h == nullptr) {
    field = -1;
    return;
  }
  const int notify = fr != nullptr ? fr->notify : 0;
  if (fr != nullptr) fr->notify = 0;
  SetWindowText(h, std::string(text).c_str());
  if (fr != nullptr) {
    fr->value = value;
    double v = 0.0;
    int ok = 0;
    yyst2dblcheck(v, ok, text);
    if (value == 0.0 && ok != 0 && text.find_first_not_of(' ') != std::string_view::npos) fr->value = v;
    fr->valueflag = text.find_first_not_of(' ') == std::string_view::npos ? 0 : 1;
    if (!fr->sharedformat) delete fr->format;
    fr->format = format.empty() ? nullptr : new std::string(format);
    fr->sharedformat = false;
  }
  if (istextfield(yyfieldclass(h))) SendMessage(h, EM_SETMODIFY, FALSE, 0);
  InvalidateRect(h, nullptr, TRUE);
  if (fr != nullptr) fr->notify = notify;
}

void yyfieldgetvalue(int& field, double& value) {
  HWND h = yycurrentfield(field);
  if (h == nullptr) {
    field = -1;
    return;
  }
  // The whole text: a long entry is read as the range check judged it.
  const std::string text = yywindowtext(h, std::max(0, GetWindowTextLength(h)));
  const bool empty = text.find_first_not_of(' ') == std::string::npos;
  const FieldRecord* fr = yyfieldrecord(h);
  if (fr != nullptr && yyisnumeric(h)) {
    const bool modified = SendMessage(h, EM_GETMODIFY, 0, 0) != 0;
    // A refused entry is never the field's value: the last accepted one stands until the
    // field accepts another (none when the field never held one).
    if (modified && yyentryrefused(h) != 0) {
      if (fr->valueflag == 0) field = -2;
      else value = fr->value;
      return;
    }
    if (!modified && !empty) {
      value = fr->value;
      return;
    }
  }
  if (empty) {
    field = -2;
    return;
  }
  yyst2dbl(value, text);
}

std::string yyfieldgetformat(HWND h) {
  const FieldRecord* fr = yyfieldrecord(h);
  if (fr != nullptr && fr->format != nullptr && isformatted(yyfieldclass(h))) return *fr->format;
  return "(G15.5E2)";
}

void yygetmenutype(int& field, int& type) {
  HWND h = yycurrentfield(field);
  const FieldClass c = yyfieldclass(h);
  if (c == FieldClass::List) {
    type = (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) ? 4 : 1;
  } else if (c == FieldClass::Combo) {
    type = (static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & 3) == CBS_DROPDOWNLIST ? 2 : 3;
  } else {
    field = -1;
    type = -1;
  }
}

void yyfieldgroup(HWND button, HWND& first, HWND& last);

void yyfieldclear(int& field) {
  HWND h = yycurrentfield(field);
  if (h == nullptr) {
    field = -1;
    return;
  }
  const FieldClass c = yyfieldclass(h);
  FieldRecord* fr = yyfieldrecord(h);
  switch (c) {
    case FieldClass::Edit: case FieldClass::IntegerEdit: case FieldClass::IntegerSpin: case FieldClass::RealEdit:
    case FieldClass::RealSpin: case FieldClass::DoubleEdit: case FieldClass::DoubleSpin:
      SetWindowText(h, "");
      SendMessage(h, EM_SETMODIFY, FALSE, 0);
      break;
    case FieldClass::Static: SetWindowText(h, ""); break;
    case FieldClass::Combo: SendMessage(h, CB_RESETCONTENT, 0, 0); break;
    case FieldClass::List: SendMessage(h, LB_RESETCONTENT, 0, 0); break;
    case FieldClass::Tree: SendMessage(h, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); break;
    case FieldClass::Grid: yyGridClear(h, 1); break;
    case FieldClass::Progress: {
      const LRESULT range = SendMessage(h, PBM_GETRANGE, TRUE, 0);
      SendMessage(h, PBM_SETPOS, static_cast<WPARAM>(range), 0);
      break;
    }
    case FieldClass::Button: {
      const int k = buttonkind(h);
      if (k == BS_PUSHBUTTON || k == BS_DEFPUSHBUTTON || k == BS_GROUPBOX) SetWindowText(h, "");
      else if (k == BS_AUTOCHECKBOX) SendMessage(h, BM_SETCHECK, BST_UNCHECKED, 0);
      else if (k == BS_AUTORADIOBUTTON) {
        HWND first = nullptr, last = nullptr;
        yyfieldgroup(h, first, last);
        for (HWND b = first; b != nullptr; b = b == last ? nullptr : GetWindow(b, GW_HWNDNEXT))
          SendMessage(b, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
      } else {
        field = -1;
        return;
      }
      break;
    }
    default: field = -1; return;
  }
  if (fr != nullptr) {
    fr->value = 0.0;
    fr->valueflag = 0;
  }
  InvalidateRect(h, nullptr, TRUE);
}

// The run of buttons around a radio button, bounded by the group style and other classes.
void yyfieldgroup(HWND button, HWND& first, HWND& last) {
  first = button;
  if (!(GetWindowLong(button, GWL_STYLE) & static_cast<LONG>(WS_GROUP))) {
    for (HWND p = GetWindow(button, GW_HWNDPREV);; p = GetWindow(p, GW_HWNDPREV)) {
      if (p == nullptr || yyfieldclass(p) != FieldClass::Button) break;
      first = p;
      if (GetWindowLong(p, GWL_STYLE) & static_cast<LONG>(WS_GROUP)) break;
    }
  }
  last = button;
  for (HWND n = GetWindow(button, GW_HWNDNEXT); n != nullptr; n = GetWindow(n, GW_HWNDNEXT)) {
    if (yyfieldclass(n) != FieldClass::Button || (GetWindowLong(n, GWL_STYLE) & static_cast<LONG>(WS_GROUP))) break;
    last = n;
  }
}

void yyDialogSelectAll(HWND field) {
  if (field == nullptr) return;
  const FieldClass c = yyfieldclass(field);
  if (istextfield(c)) {
    if (GetWindowLong(field, GWL_STYLE) & static_cast<LONG>(ES_MULTILINE)) SendMessage(field, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    else SendMessage(field, EM_SETSEL, 0, -1);
  } else if (c == FieldClass::Combo) {
    SendMessage(field, CB_SETEDITSEL, 0, MAKELPARAM(0, static_cast<WORD>(-1)));
  }
}

//------------------------------------------------------------------------------
// [SECTION] Texts and numbers
// - WDialogPutString(), WDialogGetString(), WDialogGetStringLength(), WDialogPutInteger(),
//   WDialogPutReal(), WDialogPutDouble(), WDialogGetInteger(), WDialogGetReal()
//------------------------------------------------------------------------------
void WDialogPutString(int field, std::string_view text) {
  if (nodialog("WDialogPutString")) return;
  int id = field;
  yyfieldputtext(id, 0.0, yytrimright(text), "");
  if (id == -1) yyerror(1006, "WDialogPutString");
}

void WDialogGetString(int field, std::string& text) {
  if (nodialog("WDialogGetString")) return;
  HWND h = yycurrentfield(field);
  if (h == nullptr) {
    assignfixed(text, "");
    yyerror(1006, "WDialogGetString");
    return;
  }
  assignfixed(text, yywindowtext(h));
}

void WDialogGetStringLength(int field, int& length) {
  if (nodialog("WDialogGetStringLength")) return;
  HWND h = yycurrentfield(field);
  if (h == nullptr) { yyerror(1006, "WDialogGetStringLength"); return; }
  length = GetWindowTextLength(h);
}

namespace {

std::string leftjustified(std::string text) {
  const std::size_t b = text.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : yytrimright(text.substr(b));
}

void putnumber(const char* routine, int field, double value, std::string_view text, std::string_view format,
               bool single = false) {
  int id = field;
  double checked = value;
  // A numeric field refuses what it would refuse typed: no number (NaN), and a number its
  // kind cannot hold (an infinity; beyond the largest single in a real field).
  if (HWND h = yycurrentfield(field); h != nullptr && yyisnumeric(h)) {
    const FieldClass c = yyfieldclass(h);
    const bool real = c == FieldClass::RealEdit || c == FieldClass::RealSpin;
    const bool integer = c == FieldClass::IntegerEdit || c == FieldClass::IntegerSpin;
    if (!std::isfinite(value) || (real && std::abs(value) > static_cast<double>(FLT_MAX)) ||
        (integer && !(value >= -2147483648.0 && value <= 2147483647.0))) {
      yyerror(1009, routine);
      return;
    }
  }
  // A single-precision value is judged against the range as single precision: 0.9 is
  // within 0.90-0.99 although its nearest float lies just below the double 0.90.
  if (const FieldRecord* fr = single ? yyfieldrecord(yycurrentfield(field)) : nullptr; fr != nullptr && fr->hasrange()) {
    const float v = static_cast<float>(value);
    if (v >= static_cast<float>(fr->rangemin) && v <= static_cast<float>(fr->rangemax))
      checked = std::clamp(value, fr->rangemin, fr->rangemax);
  }
  yyfieldrangecheck(id, checked);
  if (id == -1) { yyerror(1006, routine); return; }
  if (id == -2) { yyerror(1009, routine); return; }
  yyfieldputtext(id, value, text, format);
}

void putreal(const char* routine, int field, double value, bool single, std::optional<std::string_view> format) {
  if (nodialog(routine)) return;
  HWND h = yycurrentfield(field);
  if (h == nullptr) { yyerror(1006, routine); return; }
  std::string f = format && yytrimright(*format).size() > 0 ? yytrimright(format->substr(0, 50)) : yyfieldgetformat(h);
  // A zero has no sign (one too small for a single included): never "-0.00".
  const FieldClass c = yyfieldclass(h);
  const bool realfield = c == FieldClass::RealEdit || c == FieldClass::RealSpin;
  if (value == 0.0 || ((single || realfield) && static_cast<float>(value) == 0.0f)) value = 0.0;
  std::string text(64, ' ');
  if (single) IRealToString(static_cast<float>(value), text, f);
  else IDoubleToString(value, text, f);
  putnumber(routine, field, value, leftjustified(text), f, single);
}

bool getvalue(const char* routine, int field, double& value) {
  int id = field;
  yyfieldgetvalue(id, value);
  if (id == -1) { yyerror(1006, routine); return false; }
  if (id == -2) { yyerror(1010, routine); return false; }
  return true;
}

}  // namespace

void WDialogPutInteger(int field, int value) {
  if (nodialog("WDialogPutInteger")) return;
  std::string text(11, ' ');
  IntegerToString(value, text, "(I11)");
  putnumber("WDialogPutInteger", field, value, leftjustified(text), "");
}

void WDialogPutReal(int field, float value, std::optional<std::string_view> format) {
  putreal("WDialogPutReal", field, value, true, format);
}

void WDialogPutDouble(int field, double value, std::optional<std::string_view> format) {
  putreal("WDialogPutDouble", field, value, false, format);
}

void WDialogGetInteger(int field, int& value) {
  if (nodialog("WDialogGetInteger")) return;
  double v = 0.0;
  if (!getvalue("WDialogGetInteger", field, v)) {
    value = tessar.dialog.EmptyInteger;
    return;
  }
  const double t = std::trunc(v);
  value = t >= 2147483647.0 ? 2147483647 : t <= -2147483648.0 ? -2147483647 - 1 : static_cast<int>(t);
}

void WDialogGetReal(int field, float& value) {
  if (nodialog("WDialogGetReal")) return;
  double v = 0.0;
  if (!getvalue("WDialogGetReal", field, v)) {
    value = tessar.dialog.EmptyReal;
    return;
  }
  // A number beyond single precision (a static or plain edit read as a number) is kept at
  // the largest single value of its sign.
  value = static_cast<float>(std::clamp(v, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

//------------------------------------------------------------------------------
// [SECTION] Buttons
// - WDialogPutCheckBox(), WDialogGetCheckBox(), WDialogPutRadioButton(), WDialogGetRadioButton()
//------------------------------------------------------------------------------
namespace {
HWND checkable(int field) {
  HWND h = yycurrentfield(field);
  if (h == nullptr || yyfieldclass(h) != FieldClass::Button) return nullptr;
  const int k = buttonkind(h);
  return k == BS_AUTOCHECKBOX || k == BS_AUTORADIOBUTTON ? h : nullptr;
}
}  // namespace

void WDialogPutCheckBox(int field, int state) {
  if (nodialog("WDialogPutCheckBox")) return;
  HWND h = checkable(field);
  if (h == nullptr) { yyerror(1006, "WDialogPutCheckBox"); return; }
  SendMessage(h, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void WDialogGetCheckBox(int field, int& state) {
  if (nodialog("WDialogGetCheckBox")) return;
  HWND h = checkable(field);
  if (h == nullptr) { yyerror(1006, "WDialogGetCheckBox"); return; }
  state = static_cast<int>(SendMessage(h, BM_GETCHECK, 0, 0));
}

void WDialogPutRadioButton(int field) {
  if (nodialog("WDialogPutRadioButton")) return;
  HWND h = yycurrentfield(field);
  if (h == nullptr || yyfieldclass(h) != FieldClass::Button || buttonkind(h) != BS_AUTORADIOBUTTON) {
    yyerror(1006, "WDialogPutRadioButton");
    return;
  }
  HWND first = nullptr, last = nullptr;
  yyfieldgroup(h, first, last);
  for (HWND b = first; b != nullptr; b = b == last ? nullptr : GetWindow(b, GW_HWNDNEXT))
    SendMessage(b, BM_SETCHECK, b == h ? BST_CHECKED : BST_UNCHECKED, 0);
}

void WDialogGetRadioButton(int field, int& position) {
  if (nodialog("WDialogGetRadioButton")) return;
  HWND h = yycurrentfield(field);
  if (h == nullptr || yyfieldclass(h) != FieldClass::Button) { yyerror(1006, "WDialogGetRadioButton"); return; }
  HWND first = nullptr, last = nullptr;
  yyfieldgroup(h, first, last);
  int n = 1;
  for (HWND b = first; b != nullptr; b = b == last ? nullptr : GetWindow(b, GW_HWNDNEXT), ++n)
    if (SendMessage(b, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      position = n;
      return;
    }
  position = tessar.dialog.EmptyInteger;
  yyerror(1010, "WDialogGetRadioButton");
}

//------------------------------------------------------------------------------
// [SECTION] Lists
// - WDialogPutOption(), WDialogGetMenu(), WDialogPutMenu()
//------------------------------------------------------------------------------
namespace {

// Selects item index (-1 none); false when the platform refuses an item that does not exist.
bool selectitem(HWND h, int type, int index) {
  const LRESULT r = SendMessage(h, type == 1 ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return index == -1 || r >= 0;
}

std::string itemtext(HWND h, bool list, LRESULT index) {
  const LRESULT len = SendMessage(h, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  std::string s(static_cast<std::size_t>(std::max<LRESULT>(len, 0)) + 1, '\0');
  SendMessage(h, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(s.find('\0'));
  return s;
}

}  // namespace

void WDialogPutOption(int field, int option) {
  if (nodialog("WDialogPutOption")) return;
  int id = field, type = 0;
  yygetmenutype(id, type);
  if (id == -1 || type == 4) { yyerror(1006, "WDialogPutOption"); return; }
  // Option 0 clears the selection, which is a success and no error.
  if (option < 0 || !selectitem(yycurrentfield(field), type, option - 1)) yyerror(1011, "WDialogPutOption");
}

void WDialogGetMenu(int field, int& option, std::string* text) {
  if (nodialog("WDialogGetMenu")) return;
  int id = field, type = 0;
  yygetmenutype(id, type);
  if (id == -1 || type == 4) { yyerror(1006, "WDialogGetMenu"); return; }
  HWND h = yycurrentfield(field);
  if (type == 1) {
    const LRESULT sel = SendMessage(h, LB_GETCURSEL, 0, 0);
    if (sel < 0) {
      option = tessar.dialog.EmptyInteger;
      yyerror(1010, "WDialogGetMenu");
      return;
    }
    option = static_cast<int>(sel) + 1;
    if (text != nullptr) assignfixed(*text, itemtext(h, true, sel));
    return;
  }
  const std::string current = yywindowtext(h);
  const LRESULT sel = SendMessage(h, CB_GETCURSEL, 0, 0);
  if (sel >= 0) {
    option = static_cast<int>(sel) + 1;
  } else if (!current.empty()) {
    const LRESULT match = SendMessage(h, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(current.c_str()));
    option = match >= 0 && itemtext(h, false, match) == current ? static_cast<int>(match) + 1 : 0;
  } else {
    option = tessar.dialog.EmptyInteger;
    yyerror(1010, "WDialogGetMenu");
    return;
  }
  if (text != nullptr) assignfixed(*text, sel >= 0 && current.empty() ? itemtext(h, false, sel) : current);
}

void WDialogPutMenu(int field, std::span<const std::string> texts, int count, int option,
                    std::optional<std::string_view> text) {
  if (nodialog("WDialogPutMenu")) return;
  int id = field, type = 0;
  yygetmenutype(id, type);
  if (id == -1 || type == 4) { yyerror(1006, "WDialogPutMenu"); return; }
  HWND h = yycurrentfield(field);
  yyfieldclear(id);
  const int n = std::clamp(count, 0, static_cast<int>(texts.size()));
  for (int k = 0; k < n; ++k) {
    const std::string item = yytrimright(texts[static_cast<std::size_t>(k)]);
    SendMessage(h, type == 1 ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  if (option == 0 && type == 3 && text) {
    const std::string t = yytrimright(*text);
    const LRESULT match = SendMessage(h, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(t.c_str()));
    if (match >= 0) SendMessage(h, CB_SETCURSEL, static_cast<WPARAM>(match), 0);
    else SetWindowText(h, t.c_str());
    return;
  }
  if (option < 0 || !selectitem(h, type, option - 1)) yyerror(1011, "WDialogPutMenu");
}

//------------------------------------------------------------------------------
// [SECTION] Appearance and focus
// - WDialogColour(), WDialogTitle(), WDialogSetField(), WDialogFieldState(), WDialogFieldOptions(),
//   yyfieldenable(), yyFieldInRect()
//------------------------------------------------------------------------------
void WDialogColour(int field, std::optional<int> foreground, std::optional<int> background) {
  if (nodialog("WDialogColour")) return;
  HWND h = yycurrentfield(field);
  FieldRecord* fr = yyfieldrecord(h);
  if (fr == nullptr) { yyerror(1006, "WDialogColour"); return; }
  auto apply = [&](std::optional<int> c, bool fore) {
    if (!c) return;
    if (*c == -1) {
      yyFieldColour2(*fr, 256, 0, 0, fore);
      return;
    }
    int r = 0, g = 0, b = 0;
    wrgbsplit(*c, &r, &g, &b);
    yyFieldColour2(*fr, r, g, b, fore);
  };
  apply(foreground, true);
  apply(background, false);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WDialogTitle(std::optional<std::string_view> title, std::optional<int> icon) {
  if (nodialog("WDialogTitle")) return;
  HWND d = yycurrentdialog();
  const DWORD style = static_cast<DWORD>(GetWindowLong(d, GWL_STYLE));
  const bool framed = (style & (WS_CAPTION | WS_DLGFRAME | WS_BORDER | WS_THICKFRAME)) != 0;
  if (title) {
    const std::string t = yytrimright(*title);
    if (framed) {
      SetWindowText(d, t.c_str());
    } else if (const DialogRecord* r = yydialogrecord(d)) {
      // A page of a tab field shows its title as the caption of its tab.
      for (int i = 1; i <= dialogtable.nDialogs; ++i) {
        HWND o = dialogtable.hDialogList[static_cast<std::size_t>(i)];
        for (HWND f = GetWindow(o, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
          if (yyfieldclass(f) != FieldClass::Tab) continue;
          const std::vector<int> pages = yytabpages(f);
          for (std::size_t k = 0; k < pages.size(); ++k) {
            if (pages[k] != r->identifier) continue;
            std::string caption = t;
            TCITEM ti;
            ti.mask = TCIF_TEXT;
            ti.pszText = caption.data();
            SendMessage(f, TCM_SETITEM, k, reinterpret_cast<LPARAM>(&ti));
            InvalidateRect(f, nullptr, TRUE);
          }
        }
      }
    }
  }
  if (!icon || !framed) return;
  HICON h = LoadIcon(GetModuleHandle(nullptr), *icon == 0 ? "icon1" : MAKEINTRESOURCE(*icon));
  if (h == nullptr) { yyerror(1015, "WDialogTitle"); return; }
  SendMessage(d, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(h));
}

void WDialogSetField(int field, std::optional<int> position) {
  if (nodialog("WDialogSetField")) return;
  HWND d = yycurrentdialog();
  HWND h = yycurrentfield(field);
  if (h == nullptr) { yyerror(1006, "WDialogSetField"); return; }
  if (!IsWindowVisible(d)) return;
  SetFocus(h);
  const FieldClass c = yyfieldclass(h);
  if (position && (istextfield(c) || c == FieldClass::Combo)) {
    const int p = std::max(0, *position - 1);
    if (c == FieldClass::Combo) SendMessage(h, CB_SETEDITSEL, 0, MAKELPARAM(static_cast<WORD>(p), static_cast<WORD>(p)));
    else {
      SendMessage(h, EM_SETSEL, static_cast<WPARAM>(p), p);
      SendMessage(h, EM_SCROLLCARET, 0, 0);
    }
  } else {
    yyDialogSelectAll(h);
  }
  if (DialogRecord* r = yydialogrecord(d)) r->currentfield = field;
  yyUpdateLast(d, h);
  HWND parent = GetParent(d);
  if ((GetWindowLong(d, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) && parent != nullptr && yygetwindowindex(parent) >= 0) {
    BringWindowToTop(d);
    hDlgCur = d;
    yytitlecolour(d);
  }
}

int yyFieldInRect(HWND field, const RECT& rect) {
  RECT r;
  GetWindowRect(field, r);
  if (const FieldRecord* fr = yyfieldrecord(field); fr != nullptr && fr->buddy != nullptr) {
    RECT b;
    GetWindowRect(fr->buddy, b);
    UnionRect(r, r, b);
  }
  RECT both;
  if (r.left >= rect.left && r.top >= rect.top && r.right <= rect.right && r.bottom <= rect.bottom) return 1;
  return IntersectRect(both, r, rect) ? 2 : 0;
}

void yyfieldenable(int& field, int state, int noupdate) {
  HWND d = yycurrentdialog();
  HWND h = yycurrentfield(field);
  FieldRecord* fr = yyfieldrecord(h);
  if (h == nullptr) {
    field = -1;
    return;
  }
  if (fr != nullptr) fr->state = state;
  RECT client;
  GetClientRect(d, client);
  POINT tl{0, 0};
  ClientToScreen(d, tl);
  OffsetRect(client, tl.x, tl.y);
  bool resizable = false;
  for (HWND p = d; p != nullptr && yydialogrecord(p) != nullptr; p = GetParent(p))
    if (yyIsResizableDialog(p)) resizable = true;
  if (yyFieldInRect(h, client) != 1 && !resizable) return;
  const FieldClass c = yyfieldclass(h);
  HWND focus = GetFocus();
  const bool hadfocus = focus != nullptr && (focus == h || IsChild(h, focus));
  if (istextfield(c)) {
    EnableWindow(h, state == 1 || state == 2);
    SendMessage(h, EM_SETREADONLY, state == 2 ? TRUE : FALSE, 0);
    if (fr != nullptr && fr->buddy != nullptr) EnableWindow(fr->buddy, state == 1);
  } else if (c == FieldClass::Grid) {
    EnableWindow(h, state == 1 || state == 2);
    LONG style = GetWindowLong(h, GWL_STYLE);
    style = state == 2 ? (style | 2048) : (style & ~2048);
    SetWindowLong(h, GWL_STYLE, style);
    InvalidateRect(h, nullptr, TRUE);
  } else {
    EnableWindow(h, state == 1);
  }
  ShowWindow(h, state == 3 ? SW_HIDE : SW_SHOWNA);
  if (fr != nullptr && fr->buddy != nullptr) ShowWindow(fr->buddy, state == 3 ? SW_HIDE : SW_SHOWNA);
  if (c == FieldClass::Tab) {
    const std::vector<int> pages = yytabpages(h);
    const LRESULT cur = SendMessage(h, TCM_GETCURSEL, 0, 0);
    if (cur >= 0 && static_cast<std::size_t>(cur) < pages.size()) {
      const int k = yydialogfind(pages[static_cast<std::size_t>(cur)]);
      if (k > 0) ShowWindow(dialogtable.hDialogList[static_cast<std::size_t>(k)], state == 3 ? SW_HIDE : SW_SHOWNA);
    }
  }
  if (c == FieldClass::Static) InvalidateRect(h, nullptr, TRUE);
  if (!(noupdate != 0 && fr != nullptr && fr->graphics != 0)) UpdateWindow(h);
  const bool losing = state == 0 || state == 3 || (state == 2 && !istextfield(c) && c != FieldClass::Grid);
  if (losing && hadfocus) {
    DialogRecord* r = yydialogrecord(d);
    if (r != nullptr) r->lastfield = nullptr;
    SetFocus(r != nullptr && r->combinedwindow != nullptr ? r->combinedwindow : d);
  }
}

void WDialogFieldState(int field, int state) {
  if (nodialog("WDialogFieldState")) return;
  int id = field;
  yyfieldenable(id, state, 0);
  if (id == -1) yyerror(1006, "WDialogFieldState");
}

void WDialogFieldOptions(int field, int option, int value) {
  if (nodialog("WDialogFieldOptions")) return;
  HWND h = yycurrentfield(field);
  const FieldClass c = yyfieldclass(h);
  FieldRecord* fr = yyfieldrecord(h);
  if (h == nullptr || fr == nullptr) { yyerror(1006, "WDialogFieldOptions"); return; }
  if (option == 1 || option == 2) {
    if (c != FieldClass::Grid) { yyerror(1006, "WDialogFieldOptions"); return; }
    const LONG bit = option == 1 ? 4096 : 16384;
    const LONG style = GetWindowLong(h, GWL_STYLE);
    SetWindowLong(h, GWL_STYLE, value != 0 ? (style | bit) : (style & ~bit));
    return;
  }
  if (option == 3) {
    if (!istextfield(c) && c != FieldClass::Grid && c != FieldClass::Combo) { yyerror(1006, "WDialogFieldOptions"); return; }
    fr->notify = value != 0 ? 1 : 0;
    return;
  }
  if (option == 4) {
    if (!yyisnumeric(c)) { yyerror(1006, "WDialogFieldOptions"); return; }
    fr->explain = value != 0 ? 1 : 0;
  }
}
