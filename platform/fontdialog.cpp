// platform/fontdialog.cpp: the Font dialog, a modal dialog from an in-memory template: face,
// style and size lists, the effect boxes and the colour list.
#include "platform/fontdialog.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/combobox.h"
#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/message_box.h"

namespace win {
namespace {

// The faces the layer's fonts answer to.
constexpr const char* kFaces[] = {"Arial", "Courier New", "Lucida Console", "Times New Roman"};
constexpr const char* kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};
constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
struct NamedColour {
  const char* name;
  COLORREF colour;
};
constexpr NamedColour kColours[] = {
    {"Black", RGB(0, 0, 0)},        {"Maroon", RGB(128, 0, 0)},    {"Green", RGB(0, 128, 0)},
    {"Olive", RGB(128, 128, 0)},    {"Navy", RGB(0, 0, 128)},      {"Purple", RGB(128, 0, 128)},
    {"Teal", RGB(0, 128, 128)},     {"Grey", RGB(128, 128, 128)},  {"Silver", RGB(192, 192, 192)},
    {"Red", RGB(255, 0, 0)},        {"Lime", RGB(0, 255, 0)},      {"Yellow", RGB(255, 255, 0)},
    {"Blue", RGB(0, 0, 255)},       {"Fuchsia", RGB(255, 0, 255)}, {"Aqua", RGB(0, 255, 255)},
    {"White", RGB(255, 255, 255)}};
constexpr int kEffectsGroup = 1072, kColourLabel = 1093;

struct State {
  CHOOSEFONT* cf = nullptr;
  COLORREF custom = 0;   // a colour outside the list, offered as "Custom"
  bool hasCustom = false;
};

std::vector<WORD> dialogTemplate() {
  using dlg::kAtomButton, dlg::kAtomComboBox, dlg::kAtomStatic;
  dlg::TemplateBuilder b;
  b.header(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 13, 54, 264, 124, "Font");
  b.item(kAtomStatic, "&Font:", SS_LEFT, 7, 7, 98, 9, -1);
  b.item(kAtomComboBox, "", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_GROUP | WS_TABSTOP, 7, 17, 98, 76, kCfFace);
  b.item(kAtomStatic, "Font st&yle:", SS_LEFT, 112, 7, 64, 9, -1);
  b.item(kAtomComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_GROUP | WS_TABSTOP, 112, 17, 64, 76, kCfStyle);
  b.item(kAtomStatic, "&Size:", SS_LEFT, 183, 7, 34, 9, -1);
  b.item(kAtomComboBox, "", CBS_DROPDOWN | WS_VSCROLL | WS_GROUP | WS_TABSTOP, 183, 17, 34, 76, kCfSize);
  b.item(kAtomButton, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 222, 17, 36, 14, IDOK);
  b.item(kAtomButton, "Cancel", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 222, 34, 36, 14, IDCANCEL);
  b.item(kAtomButton, "Effects", BS_GROUPBOX | WS_GROUP, 7, 40, 98, 76, kEffectsGroup);
  b.item(kAtomButton, "Stri&keout", BS_AUTOCHECKBOX | WS_TABSTOP, 13, 52, 60, 10, kCfStrikeOut);
  b.item(kAtomButton, "&Underline", BS_AUTOCHECKBOX | WS_TABSTOP, 13, 66, 60, 10, kCfUnderline);
  b.item(kAtomStatic, "&Colour:", SS_LEFT, 13, 81, 40, 9, kColourLabel);
  b.item(kAtomComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_GROUP | WS_TABSTOP, 13, 92, 82, 100, kCfColour);
  return b.t;
}

State* stateOf(HWND d) { return reinterpret_cast<State*>(GetWindowLongPtr(d, GWLP_USERDATA)); }

int pointsOf(const LOGFONT& lf) {
  const LONG px = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  return px > 0 ? static_cast<int>((px * 72 + 48) / 96) : 0;
}

void init(HWND d, State& s) {
  CHOOSEFONT& cf = *s.cf;
  LOGFONT lf{};
  if ((cf.Flags & CF_INITTOLOGFONTSTRUCT) && cf.lpLogFont) lf = *cf.lpLogFont;
  HWND face = GetDlgItem(d, kCfFace), style = GetDlgItem(d, kCfStyle), size = GetDlgItem(d, kCfSize),
       colour = GetDlgItem(d, kCfColour);
  for (const char* f : kFaces) SendMessage(face, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f));
  if (lf.lfFaceName[0] && SendMessage(face, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(lf.lfFaceName)) == CB_ERR)
    SendMessage(face, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lf.lfFaceName));
  if (!(cf.Flags & CF_NOFACESEL))
    SendMessage(face, CB_SETCURSEL,
                static_cast<WPARAM>(std::max<LRESULT>(0, SendMessage(face, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                                     reinterpret_cast<LPARAM>(lf.lfFaceName[0] ? lf.lfFaceName : "Arial")))),
                0);
  for (const char* st : kStyles) SendMessage(style, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(st));
  if (!(cf.Flags & CF_NOSTYLESEL))
    SendMessage(style, CB_SETCURSEL, static_cast<WPARAM>((lf.lfWeight >= FW_BOLD ? 2 : 0) + (lf.lfItalic ? 1 : 0)), 0);
  for (int p : kSizes) SendMessage(size, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(p).c_str()));
  if (!(cf.Flags & CF_NOSIZESEL)) {
    const int points = pointsOf(lf) > 0 ? pointsOf(lf) : 10;
    SetWindowText(size, std::to_string(points).c_str());
  }
  if (cf.Flags & CF_EFFECTS) {
    CheckDlgButton(d, kCfStrikeOut, lf.lfStrikeOut ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(d, kCfUnderline, lf.lfUnderline ? BST_CHECKED : BST_UNCHECKED);
    int chosen = -1;
    for (std::size_t k = 0; k < std::size(kColours); ++k) {
      SendMessage(colour, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kColours[k].name));
      if (kColours[k].colour == cf.rgbColors) chosen = static_cast<int>(k);
    }
    if (chosen < 0) {
      s.custom = cf.rgbColors;
      s.hasCustom = true;
      chosen = static_cast<int>(SendMessage(colour, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Custom")));
    }
    SendMessage(colour, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  } else {
    for (int id : {kEffectsGroup, kCfStrikeOut, kCfUnderline, kColourLabel, kCfColour}) ShowWindow(GetDlgItem(d, id), SW_HIDE);
  }
}

// Reads the choice into the record; false when the size is no number.
bool finish(HWND d, State& s) {
  CHOOSEFONT& cf = *s.cf;
  char sizeText[32] = {};
  GetDlgItemText(d, kCfSize, sizeText, sizeof sizeText);
  char* end = nullptr;
  const double points = std::strtod(sizeText, &end);
  const bool sizeGiven = sizeText[0] != '\0';
  if (sizeGiven && (end == sizeText || points <= 0 || points > 1638)) {
    MessageBox(d, "Size must be a number.", "Font", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  LOGFONT lf{};
  if (cf.lpLogFont) lf = *cf.lpLogFont;
  const auto face = SendDlgItemMessage(d, kCfFace, CB_GETCURSEL, 0, 0);
  if (face != CB_ERR) {
    SendDlgItemMessage(d, kCfFace, CB_GETLBTEXT, static_cast<WPARAM>(face), reinterpret_cast<LPARAM>(lf.lfFaceName));
    cf.Flags &= ~CF_NOFACESEL;
  } else if (cf.Flags & CF_NOFACESEL) {
    lf.lfFaceName[0] = '\0';
  }
  const auto style = SendDlgItemMessage(d, kCfStyle, CB_GETCURSEL, 0, 0);
  if (style != CB_ERR) {
    lf.lfWeight = style >= 2 ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & 1) ? 1 : 0;
    cf.Flags &= ~CF_NOSTYLESEL;
  } else if (cf.Flags & CF_NOSTYLESEL) {
    lf.lfWeight = 0;
    lf.lfItalic = 0;
  }
  if (sizeGiven) {
    cf.iPointSize = static_cast<int>(points * 10 + 0.5);
    lf.lfHeight = -static_cast<LONG>((cf.iPointSize * 96 + 360) / 720);
    lf.lfWidth = 0;
    cf.Flags &= ~CF_NOSIZESEL;
  } else {
    cf.iPointSize = 0;
  }
  if (cf.Flags & CF_EFFECTS) {
    lf.lfStrikeOut = IsDlgButtonChecked(d, kCfStrikeOut) == BST_CHECKED ? 1 : 0;
    lf.lfUnderline = IsDlgButtonChecked(d, kCfUnderline) == BST_CHECKED ? 1 : 0;
    const auto c = SendDlgItemMessage(d, kCfColour, CB_GETCURSEL, 0, 0);
    if (c >= 0 && c < static_cast<LRESULT>(std::size(kColours))) cf.rgbColors = kColours[c].colour;
    else if (s.hasCustom) cf.rgbColors = s.custom;
  }
  if (cf.lpLogFont) *cf.lpLogFont = lf;
  return true;
}

INT_PTR dialogProc(HWND d, UINT msg, WPARAM wParam, LPARAM lParam) {
  State* s = msg == WM_INITDIALOG ? reinterpret_cast<State*>(lParam) : stateOf(d);
  if (!s) return FALSE;
  CHOOSEFONT& cf = *s->cf;
  const bool hooked = (cf.Flags & CF_ENABLEHOOK) && cf.lpfnHook;
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtr(d, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
    init(d, *s);
    // The hook starts on the filled dialog, with the record.
    if (hooked) return cf.lpfnHook(d, msg, wParam, reinterpret_cast<LPARAM>(&cf)) ? TRUE : FALSE;
    return TRUE;
  }
  if (hooked && msg != WM_NCDESTROY && cf.lpfnHook(d, msg, wParam, lParam)) return TRUE;
  if (msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      if (finish(d, *s)) EndDialog(d, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(d, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

BOOL ChooseFont(CHOOSEFONT& cf) {
  if (cf.lStructSize != sizeof(CHOOSEFONT) || (cf.Flags & CF_ENABLETEMPLATE) || !cf.lpLogFont) return FALSE;
  RegisterDialogClasses();
  State s;
  s.cf = &cf;
  const std::vector<WORD> t = dialogTemplate();
  return DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), cf.hwndOwner, dialogProc,
                                reinterpret_cast<LPARAM>(&s)) == IDOK
             ? TRUE
             : FALSE;
}

}  // namespace win
