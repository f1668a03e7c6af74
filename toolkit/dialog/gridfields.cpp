// toolkit/dialog/gridfields.cpp: the dialog manager's side of the grid field. It fills the grid's
// service table (finding a grid by field identifier, the row-template dialog, the field records
// of the grid's prototypes and editors, the range check and the grid field's options), reads
// the "[Grids]" entries of companion texts and turns the grid's GM_CELLCHANGE into events.
#include <string>

#include "platform/dialog.h"
#include "platform/resource.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/grid/wgrid.h"

using namespace win;

namespace {

GridInstance* locate(int ident) {
  if (ident == 0) {
    // The grid of the current grid-editor window.
    const FrameRecord* r = yyframerecord(winslot(wIndex).wWindow);
    return r != nullptr && r->word[FR_KIND] == SW_GRIDWINDOW ? yygridinstance(LongToHandle<HWND>(r->word[FR_CONTROL]))
                                                              : nullptr;
  }
  return yygridinstance(yycurrentfield(ident));
}

// The row template's own procedure: the fields that are not numeric get a record of their own
// (no range: low above high), then the template's companion text reaches them.
INT_PTR yygridrowtemplateproc(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
      if (yyisnumeric(f) || yyfieldrecord(f) != nullptr) continue;
      SetWindowLongPtr(f, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new FieldRecord));
    }
    // A refused text is seen by the reading of the grid's own dialog, which refuses too.
    (void)yydialogvxk(dialog, static_cast<int>(lParam), -1);
    return TRUE;
  }
  if (msg == WM_DESTROY) {
    for (HWND f = GetWindow(dialog, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT)) {
      if (yyisnumeric(f)) continue;   // the numeric classes free their own
      auto* fr = reinterpret_cast<FieldRecord*>(GetWindowLongPtr(f, GWLP_USERDATA));
      SetWindowLongPtr(f, GWLP_USERDATA, 0);
      if (fr != nullptr) delete fr->format;
      delete fr;
    }
  }
  return FALSE;
}

HWND loadtemplate(int resource) {
  HWND root = winslot(0).wWindow;
  return CreateDialogParam(GetModuleHandle(nullptr), MAKEINTRESOURCE(resource), root, yygridrowtemplateproc,
                           static_cast<LPARAM>(resource));
}

// The record of a template child or an editor: the dialog's field record for dialog fields,
// the class's own for numeric controls, the template's for template children.
FieldRecord* recordof(HWND field) {
  if (FieldRecord* fr = yyfieldrecord(field)) return fr;
  return reinterpret_cast<FieldRecord*>(GetWindowLongPtr(field, GWLP_USERDATA));
}

bool readrecord(HWND field, GridFieldRecord& out, int& length) {
  const FieldRecord* fr = recordof(field);
  if (fr == nullptr) return false;
  out.value = fr->value;
  out.rangelow = fr->rangemin;
  out.rangehigh = fr->rangemax;
  out.spinsmall = fr->smallstep;
  out.spinlarge = fr->largestep;
  out.spinoption = fr->spinorigin;
  out.hasvalue = fr->valueflag;
  out.textcolour = fr->foreground;
  out.background = fr->background;
  out.hasformat = fr->format != nullptr;
  out.format = fr->format != nullptr ? *fr->format : std::string();
  length = fr->lengthlimit;
  return true;
}

// Only the numeric controls carry a record of their own; the other editors are plain controls.
void giverecord(HWND field, const GridFieldRecord& in, int length) {
  if (!yyisnumeric(field)) return;
  FieldRecord* fr = reinterpret_cast<FieldRecord*>(GetWindowLongPtr(field, GWLP_USERDATA));
  if (fr == nullptr) return;
  fr->value = in.value;
  fr->rangemin = in.rangelow;
  fr->rangemax = in.rangehigh;
  fr->smallstep = in.spinsmall;
  fr->largestep = in.spinlarge;
  fr->spinorigin = in.spinoption;
  fr->foreground = in.textcolour;
  fr->background = in.background;
  fr->lengthlimit = length;
  if (!fr->sharedformat) delete fr->format;
  fr->format = in.hasformat ? new std::string(in.format) : nullptr;
  fr->sharedformat = false;
}

void editorvalue(HWND field, double* value, int* hasvalue, bool write) {
  if (!yyisnumeric(field)) return;
  FieldRecord* fr = reinterpret_cast<FieldRecord*>(GetWindowLongPtr(field, GWLP_USERDATA));
  if (fr == nullptr) return;
  if (write) {
    fr->value = *value;
    fr->valueflag = *hasvalue;
  } else {
    *value = fr->value;
    *hasvalue = fr->valueflag;
  }
}

int outofrange(HWND field) { return yyoutofrange(field, nullptr, 0); }

int notifyoption(HWND grid) {
  const FieldRecord* fr = yyfieldrecord(grid);
  return fr != nullptr ? fr->notify : 0;
}

void gridcolours(HWND grid, int& text, int& back) {
  const FieldRecord* fr = yyfieldrecord(grid);
  text = fr != nullptr ? fr->foreground : -1;
  back = fr != nullptr ? fr->background : -1;
}

HWND updownof(HWND field) {
  if (!yyisspin(yyfieldclass(field))) return nullptr;
  const FieldRecord* fr = recordof(field);
  return fr != nullptr ? fr->buddy : nullptr;
}

}  // namespace

void yygridfieldsinstall() {
  yygridregister();
  gridservices.locate = locate;
  gridservices.loadtemplate = loadtemplate;
  gridservices.readrecord = readrecord;
  gridservices.giverecord = giverecord;
  gridservices.editorvalue = editorvalue;
  gridservices.outofrange = outofrange;
  gridservices.notifyoption = notifyoption;
  gridservices.gridcolours = gridcolours;
  gridservices.updownof = updownof;
  gridservices.spinstep = yyspinstep;
}
