// toolkit/dialog/trackbars.cpp: setting and reading trackbar and progress bar fields by
// program. A missing field, or one of another class, gives field -1 and changes nothing.
#include "platform/progress.h"
#include "platform/trackbar.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"

using namespace win;

namespace {

HWND fieldof(int& field, FieldClass c) {
  HWND h = yycurrentfield(field);
  if (h == nullptr || yyfieldclass(h) != c) {
    field = -1;
    return nullptr;
  }
  return h;
}

bool selrange(HWND h) { return (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(TBS_ENABLESELRANGE)) != 0; }

}  // namespace

void yydialogundefined(int value) { iUndef = value; }

void yyfieldputtrack(int& field, int position, int start, int end, int mode) {
  HWND h = fieldof(field, FieldClass::Trackbar);
  if (h == nullptr) return;
  SendMessage(h, TBM_SETPOS, TRUE, position);
  if (!selrange(h)) return;
  if (mode == 0) {
    SendMessage(h, TBM_SETSELSTART, FALSE, start);
    SendMessage(h, TBM_SETSELEND, TRUE, end);
  } else if (mode == 2) {
    SendMessage(h, TBM_CLEARSEL, TRUE, 0);
  }
}

void yyfieldgettrack(int& field, int& position, int& start, int& end) {
  HWND h = fieldof(field, FieldClass::Trackbar);
  if (h == nullptr) return;
  position = static_cast<int>(SendMessage(h, TBM_GETPOS, 0, 0));
  start = end = iUndef;
  if (!selrange(h)) return;
  const int s = static_cast<int>(SendMessage(h, TBM_GETSELSTART, 0, 0));
  const int e = static_cast<int>(SendMessage(h, TBM_GETSELEND, 0, 0));
  if (s < e) {
    start = s;
    end = e;
  }
}

void yyrangetrack(int& field, int minimum, int maximum, int frequency) {
  HWND h = fieldof(field, FieldClass::Trackbar);
  if (h == nullptr) return;
  SendMessage(h, TBM_SETRANGEMIN, FALSE, minimum);
  SendMessage(h, TBM_SETRANGEMAX, TRUE, maximum);
  if (frequency > 0) SendMessage(h, TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
}

void yyfieldtrackstep(int& field, int line, int page) {
  HWND h = fieldof(field, FieldClass::Trackbar);
  if (h == nullptr) return;
  SendMessage(h, TBM_SETLINESIZE, 0, line);
  SendMessage(h, TBM_SETPAGESIZE, 0, page > 0 ? page : line);
}

void yyfieldputprogress(int& field, int value, int delta) {
  HWND h = fieldof(field, FieldClass::Progress);
  if (h == nullptr) return;
  if (delta == 0) SendMessage(h, PBM_SETPOS, static_cast<WPARAM>(value), 0);
  else SendMessage(h, PBM_DELTAPOS, static_cast<WPARAM>(value), 0);
}

void yyrangeprogress(int& field, int minimum, int maximum) {
  HWND h = fieldof(field, FieldClass::Progress);
  if (h == nullptr) return;
  // The range is two 16-bit numbers.
  const auto lo = static_cast<std::uint16_t>(static_cast<std::int16_t>(minimum));
  const auto hi = static_cast<std::uint16_t>(static_cast<std::int16_t>(maximum));
  SendMessage(h, PBM_SETRANGE, 0, MAKELPARAM(lo, hi));
}
