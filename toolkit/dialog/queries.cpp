// toolkit/dialog/queries.cpp: winfodialog and winfodialogfield, the field kind and state
// codes they report, and the small getters behind them.
#include "platform/dialog.h"
#include "toolkit/window/geometry.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/units.h"
#include "toolkit/window/window.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"

using namespace win;

namespace {
int lastdialogitem = 0;   // an item the query does not know returns the previous answer
int lastfielditem = 0;
}  // namespace

void yywinfodialog(int item, int& result) {
  const DialogRecord* r = yydialogrecord(yycurrentdialog());
  switch (item) {
    case 1: result = r != nullptr ? r->currentfield : 0; break;
    case 2: result = r != nullptr ? r->previousfield : 0; break;
    case 3: result = dialogtable.iDlgAct; break;
    default: result = 0; break;
  }
}

void yygetfieldinfo(int& field, int& x, int& y, int& width, int& height, int mode) {
  HWND d = yycurrentdialog();
  HWND h = yycurrentfield(field);
  if (h == nullptr) {
    field = -1;
    return;
  }
  RECT r;
  if (mode == 1) {
    GetClientRect(h, r);
    POINT tl{0, 0};
    ClientToScreen(h, tl);
    OffsetRect(r, tl.x, tl.y);
  } else {
    GetWindowRect(h, r);
  }
  POINT tl{r.left, r.top};
  ScreenToClient(d, tl);
  x = tl.x;
  y = tl.y;
  width = r.right - r.left;
  height = r.bottom - r.top;
}

void yygetfieldtype(int& field, int& type) {
  HWND h = yycurrentfield(field);
  type = 0;
  if (h == nullptr) {
    field = -1;
    return;
  }
  const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  switch (yyfieldclass(h)) {
    case FieldClass::Static: {
      const DWORD low = style & 0xFF;
      type = low == SS_LEFT || low == SS_CENTER || low == SS_SIMPLE ? 1 : 2;
      break;
    }
    case FieldClass::Button:
      if ((style & 7) == 7) type = 3;
      else if ((style & 3) == 3) type = 9;
      else if ((style & 9) == 9) type = 10;
      else type = 8;
      break;
    case FieldClass::Edit: type = 4; break;
    case FieldClass::IntegerEdit: case FieldClass::IntegerSpin: type = 5; break;
    case FieldClass::RealEdit: case FieldClass::RealSpin: type = 6; break;
    case FieldClass::DoubleEdit: case FieldClass::DoubleSpin: type = 7; break;
    case FieldClass::Combo: type = 11; break;
    case FieldClass::List: type = 12; break;
    case FieldClass::Tab: type = 13; break;
    case FieldClass::Progress: type = 14; break;
    case FieldClass::Grid: type = 15; break;
    case FieldClass::Trackbar: type = 16; break;
    case FieldClass::Tree: type = 17; break;
    default: type = 0; break;
  }
}

void yygetfieldstatewindow(HWND h, int& state) {
  if (!(GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE))) {
    state = 3;
    return;
  }
  if (!IsWindowEnabled(h)) {
    state = 0;
    return;
  }
  const FieldClass c = yyfieldclass(h);
  const bool editlike = c == FieldClass::Edit || yyisnumeric(c);
  const LONG style = GetWindowLong(h, GWL_STYLE);
  const bool readonly = (editlike && (style & static_cast<LONG>(ES_READONLY))) || (c == FieldClass::Grid && (style & 2048));
  state = readonly ? 2 : 1;
}

void yygetfieldstate(int& field, int& state) {
  HWND h = yycurrentfield(field);
  if (h == nullptr) {
    field = -1;
    return;
  }
  yygetfieldstatewindow(h, state);
}

void yygettrackrange(int& field, int& minimum, int& maximum) {
  HWND h = yycurrentfield(field);
  if (h == nullptr || yyfieldclass(h) != FieldClass::Trackbar) {
    field = -1;
    return;
  }
  minimum = static_cast<int>(SendMessage(h, TBM_GETRANGEMIN, 0, 0));
  maximum = static_cast<int>(SendMessage(h, TBM_GETRANGEMAX, 0, 0));
}

int winfodialog(int item) {
  const DialogState& ds = tessar.dialog;
  HWND d = yycurrentdialog();
  switch (item) {
    case 1: lastdialogitem = ds.EXITBUTTON; break;
    case 2: lastdialogitem = ds.FOCUSFIELD; break;
    case 3: lastdialogitem = ds.CURDIALOG; break;
    case 4: lastdialogitem = ds.DLGANSWER; break;
    case 5: lastdialogitem = ds.DLGACTIVE; break;
    case 6: case 7: case 8: case 9: {
      if (d == nullptr) {
        lastdialogitem = 0;
        break;
      }
      WINDOWPLACEMENT wp;
      GetWindowPlacement(d, wp);
      RECT r = wp.rcNormalPosition;
      if (!IsIconic(d)) GetWindowRect(d, r);
      const bool child = (GetWindowLong(d, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0;
      int a = item <= 7 ? r.left : r.right - r.left, b = item <= 7 ? r.top : r.bottom - r.top;
      if (child) {
        if (item <= 7) {
          POINT p{r.left, r.top};
          ScreenToClient(GetParent(d), p);
          a = p.x;
          b = p.y;
        }
        int parent = 0;
        yydialogparent(parent);
        const int saved = tessar.window.CURWINDOW;
        if (parent != saved) yywinsel(parent, 1);
        int ua = 0, ub = 0;
        windowunitsfrompixels(a, b, ua, ub);
        if (parent != saved) yywinsel(saved, 1);
        a = ua;
        b = ub;
      }
      lastdialogitem = item == 6 || item == 8 ? a : b;
      break;
    }
    case 10: yygetdialogtype(lastdialogitem); break;
    default: break;
  }
  return lastdialogitem;
}

int winfodialogfield(int field, int item) {
  if (tessar.dialog.CURDIALOG == 0 || yycurrentdialog() == nullptr || item < 1 || item > 8) return lastfielditem;
  int id = field;
  int x = 0, y = 0, w = 0, h = 0, v = 0, lo = 0, hi = 0;
  switch (item) {
    case 1: case 2: case 3: case 4:
      yygetfieldinfo(id, x, y, w, h, 1);
      if (id == -1) return lastfielditem;
      lastfielditem = item == 1 ? x : item == 2 ? y : item == 3 ? w : h;
      break;
    case 5:
      yygetfieldtype(id, v);
      lastfielditem = id == -1 ? 0 : v;
      break;
    case 6:
      yygetfieldstate(id, v);
      if (id == -1) return lastfielditem;
      lastfielditem = v;
      break;
    default:
      yygettrackrange(id, lo, hi);
      if (id == -1) return lastfielditem;
      lastfielditem = item == 7 ? lo : hi;
      break;
  }
  return lastfielditem;
}
