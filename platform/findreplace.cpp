// platform/findreplace.cpp: the modeless Find and Replace dialogs, built from an in-memory
// template in dialog units; the dialog keeps its record in the user data and reports every
// request to the owner with the registered find message.
#include "platform/findreplace.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/dialog_template.h"

namespace win {
namespace {

using Builder = dlg::TemplateBuilder;

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82;

std::vector<WORD> dialogTemplate(bool replace) {
  Builder b;
  b.header(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 30, 73, replace ? 230 : 236, replace ? 94 : 62,
           replace ? "Replace" : "Find");
  auto item = [&](WORD atom, const char* s, DWORD st, short x, short y, short cx, short cy, int id) {
    b.item(atom, s, st, x, y, cx, cy, id);
  };
  item(kStatic, "Fi&nd what:", SS_LEFT, 4, 8, 42, 8, -1);
  item(kEdit, "", ES_AUTOHSCROLL | WS_BORDER | WS_GROUP | WS_TABSTOP, replace ? 54 : 47, 7, replace ? 114 : 128, 12,
       kFrFindEdit);
  short y = 26;
  if (replace) {
    item(kStatic, "Re&place with:", SS_LEFT, 4, 26, 48, 8, -1);
    item(kEdit, "", ES_AUTOHSCROLL | WS_BORDER | WS_GROUP | WS_TABSTOP, 54, 24, 114, 12, kFrReplaceEdit);
    y = 46;
  }
  item(kButton, "Match &whole word only", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 5, replace ? y : 26, 100, 12,
       kFrWholeWord);
  item(kButton, "Match &case", BS_AUTOCHECKBOX | WS_TABSTOP, 5, replace ? y + 16 : 42, 59, 12, kFrMatchCase);
  if (!replace) {
    item(kButton, "Direction", BS_GROUPBOX | WS_GROUP, 107, 26, 68, 28, kFrDirectionGroup);
    item(kButton, "&Up", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 111, 38, 25, 12, kFrUp);
    item(kButton, "&Down", BS_AUTORADIOBUTTON, 138, 38, 35, 12, kFrDown);
  }
  const short bx = replace ? 174 : 182;
  item(kButton, "&Find Next", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, bx, 5, 50, 14, IDOK);
  if (replace) {
    item(kButton, "&Replace", BS_PUSHBUTTON | WS_TABSTOP, bx, 23, 50, 14, kFrReplaceButton);
    item(kButton, "Replace &All", BS_PUSHBUTTON | WS_TABSTOP, bx, 41, 50, 14, kFrReplaceAllButton);
  }
  item(kButton, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, bx, replace ? 59 : 23, 50, 14, IDCANCEL);
  return b.t;
}

FINDREPLACE* recordOf(HWND d) { return reinterpret_cast<FINDREPLACE*>(GetWindowLongPtr(d, GWLP_USERDATA)); }

void enableFind(HWND d) {
  const bool any = GetWindowTextLength(GetDlgItem(d, kFrFindEdit)) > 0;
  for (int id : {IDOK, kFrReplaceButton, kFrReplaceAllButton})
    if (HWND b = GetDlgItem(d, id)) EnableWindow(b, any ? TRUE : FALSE);
}

void report(HWND d, FINDREPLACE& fr, DWORD what) {
  fr.Flags &= ~static_cast<DWORD>(FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD | FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL |
                                  FR_DIALOGTERM);
  if (what != FR_DIALOGTERM) {
    if (fr.lpstrFindWhat && fr.wFindWhatLen > 0) GetDlgItemText(d, kFrFindEdit, fr.lpstrFindWhat, fr.wFindWhatLen);
    if (fr.lpstrReplaceWith && fr.wReplaceWithLen > 0 && GetDlgItem(d, kFrReplaceEdit))
      GetDlgItemText(d, kFrReplaceEdit, fr.lpstrReplaceWith, fr.wReplaceWithLen);
    if (IsDlgButtonChecked(d, kFrMatchCase) == BST_CHECKED) fr.Flags |= FR_MATCHCASE;
    if (IsDlgButtonChecked(d, kFrWholeWord) == BST_CHECKED) fr.Flags |= FR_WHOLEWORD;
    // The Replace dialog always searches down.
    if (!GetDlgItem(d, kFrDown) || IsDlgButtonChecked(d, kFrDown) == BST_CHECKED) fr.Flags |= FR_DOWN;
  }
  fr.Flags |= what;
  static const UINT msg = RegisterWindowMessage(FINDMSGSTRING);
  SendMessage(fr.hwndOwner, msg, 0, reinterpret_cast<LPARAM>(&fr));
}

INT_PTR dialogProc(HWND d, UINT msg, WPARAM wParam, LPARAM lParam) {
  FINDREPLACE* fr = msg == WM_INITDIALOG ? reinterpret_cast<FINDREPLACE*>(lParam) : recordOf(d);
  if (!fr) return FALSE;
  if ((fr->Flags & FR_ENABLEHOOK) && fr->lpfnHook && msg != WM_NCDESTROY) {
    if (msg == WM_INITDIALOG) SetWindowLongPtr(d, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fr));
    if (msg != WM_INITDIALOG && fr->lpfnHook(d, msg, wParam, lParam)) return TRUE;
  }
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtr(d, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fr));
      if (fr->lpstrFindWhat) SetDlgItemText(d, kFrFindEdit, fr->lpstrFindWhat);
      if (fr->lpstrReplaceWith && GetDlgItem(d, kFrReplaceEdit)) SetDlgItemText(d, kFrReplaceEdit, fr->lpstrReplaceWith);
      CheckDlgButton(d, kFrMatchCase, (fr->Flags & FR_MATCHCASE) ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(d, kFrWholeWord, (fr->Flags & FR_WHOLEWORD) ? BST_CHECKED : BST_UNCHECKED);
      if (GetDlgItem(d, kFrDown)) CheckRadioButton(d, kFrUp, kFrDown, (fr->Flags & FR_DOWN) ? kFrDown : kFrUp);
      auto off = [d](int id, bool hide) {
        if (HWND c = GetDlgItem(d, id)) hide ? static_cast<void>(ShowWindow(c, SW_HIDE)) : static_cast<void>(EnableWindow(c, FALSE));
      };
      if (fr->Flags & (FR_HIDEUPDOWN | FR_NOUPDOWN))
        for (int id : {kFrUp, kFrDown, kFrDirectionGroup}) off(id, (fr->Flags & FR_HIDEUPDOWN) != 0);
      if (fr->Flags & (FR_HIDEMATCHCASE | FR_NOMATCHCASE)) off(kFrMatchCase, (fr->Flags & FR_HIDEMATCHCASE) != 0);
      if (fr->Flags & (FR_HIDEWHOLEWORD | FR_NOWHOLEWORD)) off(kFrWholeWord, (fr->Flags & FR_HIDEWHOLEWORD) != 0);
      enableFind(d);
      if ((fr->Flags & FR_ENABLEHOOK) && fr->lpfnHook) return fr->lpfnHook(d, msg, wParam, lParam) ? TRUE : FALSE;
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kFrFindEdit:
          if (HIWORD(wParam) == EN_CHANGE) enableFind(d);
          return TRUE;
        case IDOK:
          if (GetWindowTextLength(GetDlgItem(d, kFrFindEdit)) > 0) report(d, *fr, FR_FINDNEXT);
          return TRUE;
        case kFrReplaceButton:
          report(d, *fr, FR_REPLACE);
          return TRUE;
        case kFrReplaceAllButton:
          report(d, *fr, FR_REPLACEALL);
          return TRUE;
        case IDCANCEL:
          report(d, *fr, FR_DIALOGTERM);
          DestroyWindow(d);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

HWND open(FINDREPLACE& fr, bool replace) {
  if (!fr.hwndOwner || !IsWindow(fr.hwndOwner) || !fr.lpstrFindWhat || fr.wFindWhatLen == 0 ||
      (replace && (!fr.lpstrReplaceWith || fr.wReplaceWithLen == 0)) ||
      (fr.Flags & (FR_ENABLETEMPLATE | FR_ENABLETEMPLATEHANDLE)))
    return nullptr;
  RegisterDialogClasses();
  const std::vector<WORD> t = dialogTemplate(replace);
  return CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), fr.hwndOwner, dialogProc,
                                   reinterpret_cast<LPARAM>(&fr));
}

}  // namespace

HWND FindText(FINDREPLACE& fr) { return open(fr, false); }
HWND ReplaceText(FINDREPLACE& fr) { return open(fr, true); }

}  // namespace win
