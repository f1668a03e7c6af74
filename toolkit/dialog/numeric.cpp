// toolkit/dialog/numeric.cpp: the six numeric field classes (integer, real and double, each
// plain or with a spin control), built on the platform's edit field: keystroke filtering,
// the value kept in the field record, reformatting when the focus leaves, the range check
// that holds the user in a refused field, the spin step, and the range and step setters.
// Sections (grep "[SECTION]"): classes | range check | spin | setters
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "platform/dialog.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"

using namespace win;

//------------------------------------------------------------------------------
// [SECTION] Classes
// - yyregistersuperclass(), the class procedures, yynumericproc()
//------------------------------------------------------------------------------
namespace {

WNDPROC editproc = nullptr;
int guard = 0;   // 1 while a refused field takes the focus back
HWND losing = nullptr;   // the numeric field whose loss of focus is being handled

enum class Kind { Integer, Real, Double };

Kind kindof(FieldClass c) {
  if (c == FieldClass::IntegerEdit || c == FieldClass::IntegerSpin) return Kind::Integer;
  if (c == FieldClass::RealEdit || c == FieldClass::RealSpin) return Kind::Real;
  return Kind::Double;
}

char decimalchar() { return bDecimal != 0 ? wDecimal : '.'; }

std::string formatof(const FieldRecord& fr) { return fr.format != nullptr ? *fr.format : "(G15.5E2)"; }

std::string lefttrim(const std::string& s) {
  const std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

// The field's whole entry: an entry is judged, stored and put back whole, never from its
// first 255 characters.
std::string entry(HWND h) { return yywindowtext(h, std::max(0, GetWindowTextLength(h))); }

// A value as the field keeps it: a zero has no sign (in a real field, neither has a number
// too small for a single), so that it never shows as "-0.00".
double kept(Kind kind, double v) {
  if (kind == Kind::Real && static_cast<float>(v) == 0.0f) return 0.0;
  return v == 0.0 ? 0.0 : v;
}

// The value as the field's class writes it: an integer, or the display format.
std::string formatted(Kind kind, const FieldRecord& fr, double value) {
  std::string text(64, ' ');
  if (kind == Kind::Integer) yyint2st(static_cast<int>(value), text);
  else yydbl2st(kind == Kind::Real ? static_cast<double>(static_cast<float>(kept(kind, value))) : kept(kind, value), text, formatof(fr));
  return lefttrim(yycstr(text));
}

bool blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// Whether the field's kind can hold the number: a 32-bit integer, a finite single or a
// finite double. What does not fit is refused like an entry outside the range, so that the
// text shown and the value read never part.
bool fits(Kind kind, double v) {
  if (kind == Kind::Integer) return std::trunc(v) >= -2147483648.0 && std::trunc(v) <= 2147483647.0;
  if (kind == Kind::Real) return std::abs(v) <= static_cast<double>(FLT_MAX);
  return std::isfinite(v);
}

enum class Entry { Accepted, NoNumber, Refused };

// How the range check judges a field's text (a text that is no number is refused only when
// the focus leaves, or when a push button insists).
Entry judge(Kind kind, const FieldRecord& fr, std::string_view text) {
  if (blank(text)) return fr.valueflag != 0 && fr.hasrange() ? Entry::Refused : Entry::Accepted;
  double v = 0.0;
  int ok = 0;
  yyst2dblcheck(v, ok, text);
  if (ok == 0) return Entry::NoNumber;
  if (!fits(kind, v) || (fr.hasrange() && (v < fr.rangemin || v > fr.rangemax))) return Entry::Refused;
  return Entry::Accepted;
}

bool accepts(Kind kind, WPARAM c) {
  if (c == 3 || c == 22 || c == 24 || c == 26 || c == 8 || c == 9 || c == 13 || c == 27) return true;
  if ((c >= '0' && c <= '9') || c == '+' || c == '-') return true;
  if (kind == Kind::Integer) return false;
  if (c == 'E' || c == 'e' || c == static_cast<unsigned char>(decimalchar())) return true;
  return kind == Kind::Double && (c == 'D' || c == 'd');
}

void makebuddy(HWND h, FieldClass c, const CREATESTRUCT& cs) {
  FieldRecord* fr = reinterpret_cast<FieldRecord*>(GetWindowLongPtr(h, GWLP_USERDATA));
  DWORD style = WS_CHILD | WS_BORDER | UDS_ALIGNRIGHT | UDS_ARROWKEYS;
  if (kindof(c) != Kind::Integer) style |= UDS_NOTHOUSANDS;
  if (cs.style & WS_VISIBLE) style |= WS_VISIBLE;
  HWND up = CreateWindowEx(0, "msctls_updown32", "", style, 0, 0, 0, 0, cs.hwndParent,
                           LongToHandle<HMENU>(-1), GetModuleHandle(nullptr), nullptr);
  if (up == nullptr) return;
  SendMessage(up, UDM_SETBUDDY, reinterpret_cast<WPARAM>(h), 0);
  SendMessage(up, UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(100), static_cast<WORD>(-100)));
  UDACCEL accel[2] = {{0, 1}, {2, 5}};
  SendMessage(up, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(accel));
  if (kindof(c) == Kind::Integer) SendMessage(up, UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(static_cast<int>(fr->value)), 0));
  if (cs.style & WS_DISABLED) EnableWindow(up, FALSE);
  if (fr != nullptr) fr->buddy = up;
}

LRESULT yynumericproc(FieldClass c, HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  const Kind kind = kindof(c);
  FieldRecord* fr = reinterpret_cast<FieldRecord*>(GetWindowLongPtr(h, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE: {
      auto* record = new FieldRecord;
      record->smallstep = 1.0;
      record->largestep = 5.0;
      SetWindowLongPtr(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
      break;
    }
    case WM_CREATE: {
      const LRESULT result = CallWindowProc(editproc, h, msg, wParam, lParam);
      if (result == -1 || fr == nullptr) return result;
      std::string text = yywindowtext(h, 255);
      if (bDecimal != 0) std::replace(text.begin(), text.end(), '.', wDecimal);
      SetWindowText(h, text.c_str());
      yyst2dbl(fr->value, text);
      fr->valueflag = blank(text) ? 0 : 1;
      SendMessage(h, EM_SETMODIFY, FALSE, 0);
      if (kind == Kind::Integer) {
        SendMessage(h, EM_LIMITTEXT, 11, 0);
        fr->lengthlimit = 11;
      }
      if (yyisspin(c)) makebuddy(h, c, *reinterpret_cast<const CREATESTRUCT*>(lParam));
      return result;
    }
    case WM_NCDESTROY: {
      // A field of a dialog has its record freed by the dialog's field procedure; a field
      // made elsewhere frees its own here.
      const LRESULT result = CallWindowProc(editproc, h, msg, wParam, lParam);
      if (fr != nullptr) {
        SetWindowLongPtr(h, GWLP_USERDATA, 0);
        if (!fr->sharedformat) delete fr->format;
        delete fr;
      }
      return result;
    }
    case WM_CHAR: {
      if (wParam == 1) {
        SendMessage(h, EM_SETSEL, 0, -1);
        return 0;
      }
      if (!accepts(kind, wParam)) {
        MessageBeep(0);
        return 0;
      }
      if (wParam == 'e') wParam = 'E';
      if (wParam == 'd') wParam = 'D';
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_TAB && fr != nullptr) fr->leftbytab = 1;
      if (wParam == VK_RETURN && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        yyDefaultButton(h);
        return 0;
      }
      break;
    case WM_GETDLGCODE: {
      // The dialog takes Tab before the field sees it; the field still learns it was left so.
      const MSG* m = reinterpret_cast<const MSG*>(lParam);
      if (m != nullptr && m->message == WM_KEYDOWN && m->wParam == VK_TAB && fr != nullptr) fr->leftbytab = 1;
      break;
    }
    case WM_SETFOCUS:
      if (guard != 0) break;   // a refused field taking the focus back keeps its entry
      if (fr != nullptr) {
        if (StoreVal != 0) {
          StoreVal = 0;
          SavedFieldText = entry(h);
          SavedFieldValue = fr->value;
        }
        fr->leftbytab = 0;
      }
      SendMessage(h, EM_SETMODIFY, FALSE, 0);
      break;
    case WM_KILLFOCUS: {
      HWND outer = losing;
      losing = h;
      const int refused = yyoutofrange(h, reinterpret_cast<HWND>(wParam), 0);
      losing = outer;
      if (refused != 0) return 0;
      // An entry the check refuses and still lets go (a box explaining it, a push button
      // that puts the last valid entry back, the frame) is never stored: until it is
      // corrected or put back the field reads its last accepted value.
      const bool keep = yyentryrefused(h) != 0;
      const LRESULT result = CallWindowProc(editproc, h, msg, wParam, lParam);
      if (fr == nullptr || !IsWindow(h) || keep) return result;
      if (kind == Kind::Integer || SendMessage(h, EM_GETMODIFY, 0, 0) != 0) {
        const std::string text = entry(h);
        if (!blank(text)) {
          yyst2dbl(fr->value, text);
          if (kind == Kind::Integer) fr->value = std::trunc(fr->value);
          fr->value = kept(kind, fr->value);
          fr->valueflag = 1;
          SetWindowText(h, formatted(kind, *fr, fr->value).c_str());
        } else {
          fr->value = 0.0;
        }
      }
      SendMessage(h, EM_SETMODIFY, FALSE, 0);
      return result;
    }
    default: break;
  }
  return CallWindowProc(editproc, h, msg, wParam, lParam);
}

LRESULT yyintegersupercls(HWND h, UINT m, WPARAM w, LPARAM l) { return yynumericproc(FieldClass::IntegerEdit, h, m, w, l); }
LRESULT yyintegerspinsupercls(HWND h, UINT m, WPARAM w, LPARAM l) { return yynumericproc(FieldClass::IntegerSpin, h, m, w, l); }
LRESULT yyrealsupercls(HWND h, UINT m, WPARAM w, LPARAM l) { return yynumericproc(FieldClass::RealEdit, h, m, w, l); }
LRESULT yyrealspinsupercls(HWND h, UINT m, WPARAM w, LPARAM l) { return yynumericproc(FieldClass::RealSpin, h, m, w, l); }
LRESULT yydoublesupercls(HWND h, UINT m, WPARAM w, LPARAM l) { return yynumericproc(FieldClass::DoubleEdit, h, m, w, l); }
LRESULT yydoublespinsupercls(HWND h, UINT m, WPARAM w, LPARAM l) { return yynumericproc(FieldClass::DoubleSpin, h, m, w, l); }

}  // namespace

void yyregistersuperclass() {
  WNDCLASS wc;
  if (GetClassInfo(nullptr, "INTEGEREDIT", wc)) return;
  WNDCLASS edit;
  if (!GetClassInfo(nullptr, "EDIT", edit)) return;
  editproc = edit.lpfnWndProc;
  const struct { const char* name; WNDPROC proc; } kClasses[] = {
      {"INTEGEREDIT", yyintegersupercls}, {"INTEGERSPIN", yyintegerspinsupercls},
      {"REALEDIT", yyrealsupercls},       {"REALSPIN", yyrealspinsupercls},
      {"DOUBLEEDIT", yydoublesupercls},   {"DOUBLESPIN", yydoublespinsupercls}};
  for (const auto& k : kClasses) {
    WNDCLASS n = edit;
    n.lpszClassName = k.name;
    n.lpfnWndProc = k.proc;
    n.hInstance = GetModuleHandle(nullptr);
    RegisterClass(n);
  }
}

//------------------------------------------------------------------------------
// [SECTION] Range check
// - yyoutofrange(), yyselectinvalid(), yyDefaultButton()
//------------------------------------------------------------------------------
namespace {

bool ispushbutton(HWND h) {
  if (h == nullptr || yyfieldclass(h) != FieldClass::Button) return false;
  const DWORD low = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & 0xF;
  return low == BS_PUSHBUTTON || low == BS_DEFPUSHBUTTON;
}

HWND finddescendant(HWND parent, int id) {
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(c) == id && yyfieldclass(c) != FieldClass::Dialog) return c;
    if (yyfieldclass(c) == FieldClass::Dialog)
      if (HWND d = finddescendant(c, id)) return d;
  }
  return nullptr;
}

}  // namespace

int yyoutofrange(HWND field, HWND taking, int flag) {
  if (guard != 0 || bOverride != 0 || field == nullptr || !yyisnumeric(field)) return 0;
  if (taking != nullptr && (taking == winslot(0).wWindow || taking == winslot(0).hClient)) return 0;
  FieldRecord* fr = yyfieldrecord(field);
  if (fr == nullptr) return 0;
  hBadTab = nullptr;
  if (taking != field) {
    hBadVal = nullptr;
    if (fr->leftbytab == 0 && ispushbutton(taking) && GetDlgCtrlID(taking) != IDOK) hBadVal = field;
    if (taking != nullptr && yyfieldclass(taking) == FieldClass::Tab) hBadTab = field;
  }
  // A grid cell holding NaN or an infinity (loaded from a file) shows it as it is: left
  // untouched, nothing was entered and nothing is refused, so the user is never held there.
  const bool untouched = !std::isfinite(fr->value) && SendMessage(field, EM_GETMODIFY, 0, 0) == 0;
  const Entry judged = untouched ? Entry::Accepted : judge(kindof(yyfieldclass(field)), *fr, entry(field));
  const bool refused = judged == Entry::Refused || (judged == Entry::NoNumber && (taking != field || flag == 1));
  if (refused) {
    if (hBadVal != nullptr) return 0;
    guard = 1;
    yyselectinvalid(taking, field, fr->leftbytab);
    guard = 0;
    return 1;
  }
  if (taking != field) {
    hBadVal = nullptr;
    hBadTab = nullptr;
    StoreVal = 1;
  }
  return 0;
}

int yyentryrefused(HWND field) {
  if (field == nullptr || !yyisnumeric(field)) return 0;
  const FieldRecord* fr = yyfieldrecord(field);
  if (fr == nullptr) return 0;
  return judge(kindof(yyfieldclass(field)), *fr, entry(field)) != Entry::Accepted ? 1 : 0;
}

void yyexplainrefusal(HWND field) {
  const FieldRecord* fr = yyfieldrecord(field);
  if (fr == nullptr || fr->explain == 0) return;
  const Kind kind = kindof(yyfieldclass(field));
  std::string lo, hi;
  if (fr->hasrange()) {
    lo = formatted(kind, *fr, std::max(fr->rangemin, kind == Kind::Integer ? -2147483648.0 : -DBL_MAX));
    hi = formatted(kind, *fr, std::min(fr->rangemax, kind == Kind::Integer ? 2147483647.0 : DBL_MAX));
  } else if (kind == Kind::Integer) {
    lo = "-2147483648";
    hi = "2147483647";
  }
  std::string message = kind == Kind::Integer ? "Please enter a whole number" : "Please enter a number";
  message += lo.empty() ? "." : " from " + lo + " to " + hi + ".";
  const std::string title = yywindowtext(GetParent(field), 255);
  // The box takes the focus from the field without the range check pulling it back, and
  // the field takes it back keeping the entry to correct and the saved valid entry.
  guard = 1;
  WMessageBox(0, 3, 1, message, title.empty() ? "Problem here!" : title);
  if (IsWindow(field)) {
    SetFocus(field);
    SendMessage(field, EM_SETSEL, 0, -1);
  }
  guard = 0;
}

void yyselectinvalid(HWND taking, HWND field, int tabflag) {
  if (taking != field) MessageBeep(0);
  // Inside the field's own loss of focus the platform keeps the focus change under way
  // unless a new one starts: the field lets go first, then takes the focus back.
  if (losing == field && GetFocus() == field) SetFocus(nullptr);
  SetFocus(field);
  SendMessage(field, EM_SETSEL, 0, -1);
  if (!ispushbutton(taking)) return;
  HWND dialog = GetParent(taking);
  const LRESULT def = SendMessage(dialog, DM_GETDEFID, 0, 0);
  const int defid = HIWORD(static_cast<UINT_PTR>(def)) == DC_HASDEFID ? LOWORD(static_cast<UINT_PTR>(def)) : 0;
  if (GetDlgCtrlID(taking) == defid) return;
  SendMessage(taking, BM_SETSTYLE, tabflag != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  if (HWND d = defid != 0 ? GetDlgItem(dialog, defid) : nullptr)
    SendMessage(d, BM_SETSTYLE, tabflag != 0 ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
}

void yyDefaultButton(HWND field) {
  HWND d = GetParent(field);
  while (d != nullptr && yyfieldclass(d) != FieldClass::Dialog) d = GetParent(d);
  if (d == nullptr) return;
  while ((GetWindowLong(d, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) && GetParent(d) != nullptr &&
         yyfieldclass(GetParent(d)) == FieldClass::Dialog)
    d = GetParent(d);
  const LRESULT def = SendMessage(d, DM_GETDEFID, 0, 0);
  const int id = HIWORD(static_cast<UINT_PTR>(def)) == DC_HASDEFID ? LOWORD(static_cast<UINT_PTR>(def)) : IDOK;
  HWND button = finddescendant(d, id);
  if (button != nullptr && !IsWindowEnabled(button)) return;
  SendMessage(d, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), reinterpret_cast<LPARAM>(button));
}

//------------------------------------------------------------------------------
// [SECTION] Spin
// - yyspinstep()
//------------------------------------------------------------------------------
namespace {
// The value in the field's display format; false when the format cannot show it (asterisks,
// or a text that does not read back as a number).
bool showable(const FieldRecord& fr, double v, std::string& text) {
  std::string buffer(64, ' ');
  const int detail = tessar.error.ERRDETAIL;
  (void)silently([&] { yydbl2st(v, buffer, formatof(fr)); });   // a trial, not an error
  tessar.error.ERRDETAIL = detail;
  text = lefttrim(yycstr(buffer));
  if (text.empty() || text.find('*') != std::string::npos) return false;
  double back = 0.0;
  int ok = 0;
  yyst2dblcheck(back, ok, text);
  return ok != 0;
}
}  // namespace

void yyspinstep(HWND field, int delta) {
  FieldRecord* fr = yyfieldrecord(field);
  if (fr == nullptr || delta == 0) return;
  const FieldClass c = yyfieldclass(field);
  double v = fr->value;
  if (SendMessage(field, EM_GETMODIFY, 0, 0) != 0) {
    const std::string text = entry(field);
    v = 0.0;
    if (!blank(text)) yyst2dbl(v, text);
  }
  const double step = std::abs(delta) >= 5 ? fr->largestep : fr->smallstep;
  const double from = v;
  v += delta > 0 ? step : -step;
  if (std::isnan(v)) {   // a step that is no number goes nowhere
    MessageBeep(0);
    return;
  }
  // An integer step below 1 would snap every value onto nothing: one unit at least.
  const long long k = static_cast<long long>(std::clamp(std::trunc(step), 1.0, 4294967296.0));
  bool clamped = false;
  if (fr->hasrange() && v < fr->rangemin) { v = fr->rangemin; clamped = true; }
  if (fr->hasrange() && v > fr->rangemax) { v = fr->rangemax; clamped = true; }
  // A step never carries the value beyond what the field's kind holds.
  const double most = kindof(c) == Kind::Integer ? 2147483647.0 : kindof(c) == Kind::Real ? FLT_MAX : DBL_MAX;
  const double least = kindof(c) == Kind::Integer ? -2147483648.0 : -most;
  if (!(v >= least)) { v = least; clamped = true; }
  if (!(v <= most)) { v = most; clamped = true; }
  std::string text;
  if (kindof(c) == Kind::Integer) {
    long long t = static_cast<long long>(v);
    if (!clamped) t = std::clamp((t - fr->spinorigin) / k * k + fr->spinorigin, -2147483648LL, 2147483647LL);
    v = static_cast<double>(t);
    text = formatted(Kind::Integer, *fr, v);
  } else if (!showable(*fr, v, text)) {
    // The format cannot show the value (its asterisks could be neither read nor left): the
    // step stops at the last value the format shows on the way there.
    MessageBeep(0);
    std::string last;
    if (!showable(*fr, from, last)) return;
    double a = from, b = v;
    for (int k = 0; k < 2100; ++k) {
      const double m = a / 2 + b / 2;
      if (m == a || m == b) break;
      std::string t;
      if (showable(*fr, m, t)) a = m, last = std::move(t);
      else b = m;
    }
    text = std::move(last);
    yyst2dbl(v, text);
  }
  fr->value = v;
  SetWindowText(field, text.c_str());
  SendMessage(field, EM_SETMODIFY, FALSE, 0);
  fr->valueflag = 1;
}

//------------------------------------------------------------------------------
// [SECTION] Setters
// - yyfieldrange(), yyfieldrange2(), yyfieldrangecheck(), yyfieldspinstepr(),
//   yyfieldspinstepi(), yyfieldspinstepd(), WDialogSpinnerStep(), WDialogRangeInteger()
//------------------------------------------------------------------------------
void yyfieldrange(int& field, double minimum, double maximum) {
  yyfieldrange2(field, minimum, maximum, yycurrentdialog());
}

void yyfieldrange2(int& field, double minimum, double maximum, HWND dialog) {
  FieldRecord* fr = dialog != nullptr ? yyfieldrecord(GetDlgItem(dialog, field)) : nullptr;
  if (fr == nullptr) {
    field = -1;
    return;
  }
  fr->rangemin = minimum;
  fr->rangemax = maximum;
}

void yyfieldrangecheck(int& field, double value) {
  const FieldRecord* fr = yyfieldrecord(yycurrentfield(field));
  if (fr == nullptr) {
    field = -1;
    return;
  }
  if (fr->hasrange() && (value < fr->rangemin || value > fr->rangemax)) field = -2;
}

namespace {
FieldRecord* spinrecord(int& field, FieldClass want) {
  HWND h = yycurrentfield(field);
  FieldRecord* fr = h != nullptr && yyfieldclass(h) == want ? yyfieldrecord(h) : nullptr;
  if (fr == nullptr) field = -1;
  return fr;
}
}  // namespace

void yyfieldspinstepr(int& field, float small, float large) {
  if (FieldRecord* fr = spinrecord(field, FieldClass::RealSpin)) {
    fr->smallstep = small;
    fr->largestep = large;
  }
}

void yyfieldspinstepi(int& field, int small, int large, int origin) {
  if (FieldRecord* fr = spinrecord(field, FieldClass::IntegerSpin)) {
    fr->smallstep = small;
    fr->largestep = large == 0 ? small : large;
    fr->spinorigin = origin;
  }
}

void yyfieldspinstepd(int& field, double small, double large) {
  if (FieldRecord* fr = spinrecord(field, FieldClass::DoubleSpin)) {
    fr->smallstep = small;
    fr->largestep = large;
  }
}

void WDialogSpinnerStep(int field, float small, std::optional<float> large) {
  if (tessar.dialog.CURDIALOG == 0 || yycurrentdialog() == nullptr) { yyerror(1005, "WDialogSpinnerStep"); return; }
  int id = field;
  yyfieldspinstepr(id, small, large.value_or(small));
  if (id == -1) yyerror(1006, "WDialogSpinnerStep");
}

void WDialogRangeInteger(int field, std::optional<int> minimum, std::optional<int> maximum) {
  if (tessar.dialog.CURDIALOG == 0 || yycurrentdialog() == nullptr) { yyerror(1005, "WDialogRangeInteger"); return; }
  double lo = 1000.0, hi = -1000.0;
  if (minimum || maximum) {
    lo = minimum ? *minimum : -2147483647.0;
    hi = maximum ? *maximum : 2147483647.0;
  }
  int id = field;
  yyfieldrange(id, lo, hi);
  if (id == -1) yyerror(1006, "WDialogRangeInteger");
}
