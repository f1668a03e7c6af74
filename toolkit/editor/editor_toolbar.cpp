// The editor's own toolbar: its buttons (the platform's standard images; format buttons only
// where the program has their bitmap), their states following the selection and the undo,
// and its tooltip texts.
#include <vector>

#include "platform/menu_toolbar.h"
#include "platform/resource.h"
#include "platform/richedit.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/viewer.h"

using namespace win;

namespace {

bool hasbitmap(int number) {
  return FindResource(GetModuleHandle(nullptr), MAKEINTRESOURCE(number), RT_BITMAP) != nullptr;
}

}  // namespace

void yyeditmaketoolbar(HWND frame, EditorRecord& r) {
  r.toolbar = CreateWindowEx(0, TOOLBARCLASSNAME, "", WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 0, 0, 10, 10, frame,
                             reinterpret_cast<HMENU>(static_cast<std::intptr_t>(1001)), GetModuleHandle(nullptr), nullptr);
  if (r.toolbar == nullptr) return;
  SendMessage(r.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessage(r.toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 15));
  SendMessage(r.toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(22, 21));
  TBADDBITMAP standard;
  standard.hInst = HINST_COMMCTRL;
  standard.nID = IDB_STD_SMALL_COLOR;
  SendMessage(r.toolbar, TB_ADDBITMAP, 15, reinterpret_cast<LPARAM>(&standard));
  std::vector<TBBUTTON> buttons;
  if (r.maynew) buttons.push_back(yytoolbarbutton(STD_FILENEW, ED_NEW, TBSTATE_ENABLED));
  if (r.mayopen) buttons.push_back(yytoolbarbutton(STD_FILEOPEN, ED_OPEN, TBSTATE_ENABLED));
  if (r.maysave) buttons.push_back(yytoolbarbutton(STD_FILESAVE, ED_SAVE, TBSTATE_ENABLED));
  if (r.maynew || r.mayopen || r.maysave) buttons.push_back(yytoolbarseparator());
  if (r.mayprint) {
    buttons.push_back(yytoolbarbutton(STD_PRINT, ED_PRINT, TBSTATE_ENABLED));
    buttons.push_back(yytoolbarseparator());
  }
  buttons.push_back(yytoolbarbutton(STD_FIND, ED_FIND, TBSTATE_ENABLED));
  buttons.push_back(yytoolbarseparator());
  if (!r.readonly) buttons.push_back(yytoolbarbutton(STD_CUT, ED_CUT, 0));
  buttons.push_back(yytoolbarbutton(STD_COPY, ED_COPY, 0));
  if (!r.readonly) {
    buttons.push_back(yytoolbarbutton(STD_PASTE, ED_PASTE, TBSTATE_ENABLED));
    buttons.push_back(yytoolbarbutton(STD_UNDO, ED_UNDO, 0));
    buttons.push_back(yytoolbarbutton(STD_REDOW, ED_REDO, 0));
  }
  // The format buttons need their images among the program's bitmaps.
  if (r.richtext && !r.readonly && hasbitmap(32101)) {
    TBADDBITMAP own;
    own.hInst = GetModuleHandle(nullptr);
    own.nID = 32101;
    const auto g = static_cast<int>(SendMessage(r.toolbar, TB_ADDBITMAP, 7, reinterpret_cast<LPARAM>(&own)));
    const bool extra = (r.options & EO_EXTRATOOLS) != 0;
    buttons.push_back(yytoolbarseparator());
    buttons.push_back(yytoolbarbutton(g, ED_BOLD, TBSTATE_ENABLED));
    buttons.push_back(yytoolbarbutton(g + 1, ED_ITALIC, TBSTATE_ENABLED));
    if (!extra) buttons.push_back(yytoolbarbutton(g + 2, ED_UNDERLINE, TBSTATE_ENABLED));
    buttons.push_back(yytoolbarseparator());
    buttons.push_back(yytoolbarbutton(g + 3, ED_LEFT, TBSTATE_ENABLED | TBSTATE_CHECKED));
    buttons.push_back(yytoolbarbutton(g + 4, ED_CENTRE, TBSTATE_ENABLED));
    buttons.push_back(yytoolbarbutton(g + 5, ED_RIGHT, TBSTATE_ENABLED));
    buttons.push_back(yytoolbarseparator());
    buttons.push_back(yytoolbarbutton(g + 6, ED_BULLET, TBSTATE_ENABLED));
    if (extra && hasbitmap(2001)) {
      own.nID = 2001;
      const auto p = static_cast<int>(SendMessage(r.toolbar, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&own)));
      buttons.push_back(yytoolbarbutton(p, 40019, TBSTATE_ENABLED));
      buttons.push_back(yytoolbarbutton(p + 1, 40020, TBSTATE_ENABLED));
    }
  }
  SendMessage(r.toolbar, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessage(r.toolbar, TB_AUTOSIZE, 0, 0);
  r.tooltips = reinterpret_cast<HWND>(SendMessage(r.toolbar, TB_GETTOOLTIPS, 0, 0));
}

void yyedittoolbarselection(EditorRecord& r) {
  if (r.toolbar == nullptr) return;
  DWORD s = 0, e = 0;
  SendMessage(r.control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  const bool some = s != e;
  SendMessage(r.toolbar, TB_ENABLEBUTTON, ED_COPY, some ? TRUE : FALSE);
  SendMessage(r.toolbar, TB_ENABLEBUTTON, ED_CUT, some && yyEditSelectionEditable(r) ? TRUE : FALSE);
}

void yyedittoolbarundo(EditorRecord& r) {
  if (r.toolbar == nullptr) return;
  SendMessage(r.toolbar, TB_ENABLEBUTTON, ED_UNDO, SendMessage(r.control, EM_CANUNDO, 0, 0) != 0 ? TRUE : FALSE);
  SendMessage(r.toolbar, TB_ENABLEBUTTON, ED_REDO, SendMessage(r.control, EM_CANREDO, 0, 0) != 0 ? TRUE : FALSE);
}

const char* yyedittooltip(int command, bool extra) {
  switch (command) {
    case 40019: return extra ? "Insert Picture" : "";
    case 40020: return extra ? "Insert Link" : "";
    case ED_NEW: return "New";
    case ED_OPEN: return "Open";
    case ED_SAVE: return "Save";
    case ED_PRINT: return "Print";
    case ED_PRINTSEL: return "Print selected text";
    case ED_UNDO: return "Undo";
    case ED_CUT: return "Cut";
    case ED_COPY: return "Copy";
    case ED_PASTE: return "Paste";
    case ED_REDO: return "Redo";
    case ED_FIND: return "Find";
    case ED_BULLET: return "Bullets";
    case ED_LEFT: return "Align Left";
    case ED_CENTRE: return "Centre";
    case ED_RIGHT: return "Align Right";
    case ED_BOLD: return "Bold";
    case ED_ITALIC: return "Italic";
    case ED_UNDERLINE: return "Underline";
    default: return "";
  }
}
