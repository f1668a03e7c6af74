// The editor's command line: a one-line edit field, or a drop-down combo box whose list is
// the history of commands (newest first, at most 100), with a prompt at its left. Enter
// raises event 14; the program reads the line with yyeditgetcommand.
#include <algorithm>
#include <string>

#include "platform/combobox.h"
#include "platform/edit.h"
#include "platform/gdi.h"
#include "platform/statusbar.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_state.h"
#include "toolkit/window/wmsg.h"

using namespace win;

namespace {

constexpr int kHistory = 100;

EditorRecord* recordoffield(HWND field) {
  HWND parent = GetParent(field);
  if (EditorRecord* r = yyeditrecord(parent)) return r;
  return yyeditrecord(GetParent(parent));   // the combo box's edit field
}

std::string fieldtext(HWND h) {
  const int n = static_cast<int>(SendMessage(h, WM_GETTEXTLENGTH, 0, 0));
  std::string t(static_cast<std::size_t>(n) + 1, '\0');
  SendMessage(h, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(t.data()));
  t.resize(static_cast<std::size_t>(n));
  return t;
}

std::string historyline(const EditorRecord& r, int index) {
  const int n = static_cast<int>(SendMessage(r.commandline, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
  if (n < 0) return {};
  std::string t(static_cast<std::size_t>(n) + 1, '\0');
  SendMessage(r.commandline, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(t.data()));
  t.resize(static_cast<std::size_t>(n));
  return t;
}

int historycount(const EditorRecord& r) { return static_cast<int>(SendMessage(r.commandline, CB_GETCOUNT, 0, 0)); }

// The first history line that begins with the command text, 0 when none.
int matching(const EditorRecord& r) {
  const std::string text = fieldtext(r.commandedit);
  for (int k = 0; k < historycount(r); ++k)
    if (historyline(r, k).rfind(text, 0) == 0) return k;
  return 0;
}

LRESULT passon(EditorRecord& r, HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProc(r.commandproc, h, msg, wParam, lParam);
}

void choose(EditorRecord& r, int index) {
  SendMessage(r.commandline, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace

LRESULT yyEditSubCommand(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  EditorRecord* rp = recordoffield(h);
  if (rp == nullptr) return DefWindowProc(h, msg, wParam, lParam);
  EditorRecord& r = *rp;
  const bool dropped = r.history && SendMessage(r.commandline, CB_GETDROPPEDSTATE, 0, 0) != 0;
  if (msg == WM_KEYDOWN) {
    switch (wParam) {
      case VK_CAPITAL:
      case VK_NUMLOCK:
        if (r.statusbar != nullptr) {
          SendMessage(r.statusbar, SB_SETTEXT, 1, reinterpret_cast<LPARAM>((GetKeyState(VK_CAPITAL) & 1) ? "\tCAPS" : ""));
          SendMessage(r.statusbar, SB_SETTEXT, 2, reinterpret_cast<LPARAM>((GetKeyState(VK_NUMLOCK) & 1) ? "\tNUM" : ""));
        }
        break;
      case VK_PRIOR:
      case VK_NEXT:
        SendMessage(r.control, WM_VSCROLL, wParam == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN, 0);
        return 0;
      case VK_UP:
      case VK_DOWN: {
        if (!r.history) {
          SendMessage(r.control, WM_VSCROLL, wParam == VK_UP ? SB_LINEUP : SB_LINEDOWN, 0);
          return 0;
        }
        if (dropped) return passon(r, h, msg, wParam, lParam);
        const int selected = static_cast<int>(SendMessage(r.commandline, CB_GETCURSEL, 0, 0));
        if (wParam == VK_UP) {
          choose(r, selected < 0 ? matching(r) : std::max(selected - 1, 0));
        } else if (selected < 0) {
          choose(r, matching(r));
        } else if (selected + 1 >= historycount(r)) {
          choose(r, -1);
          SetWindowText(r.commandedit, "");
        } else {
          choose(r, selected + 1);
        }
        return 0;
      }
      default: break;
    }
    return passon(r, h, msg, wParam, lParam);
  }
  if (msg == WM_CHAR) {
    switch (wParam) {
      case 1:
        SendMessage(h, EM_SETSEL, 0, -1);
        SendMessage(h, EM_SCROLLCARET, 0, 0);
        return 0;
      case '\t':
        hWinCur = GetParent(r.control);
        hDlgCur = nullptr;
        SetFocus(r.control);
        return 0;
      case '\r': {
        if (dropped) SendMessage(r.commandline, CB_SHOWDROPDOWN, FALSE, 0);
        const std::string text = fieldtext(r.commandedit);
        const bool blank = text.find_first_not_of(' ') == std::string::npos;
        if (r.history && !blank) {
          if (historycount(r) == 0 || historyline(r, 0) != text) {
            if (historycount(r) >= kHistory) SendMessage(r.commandline, CB_DELETESTRING, kHistory - 1, 0);
            SendMessage(r.commandline, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
          }
          choose(r, 0);
          SetWindowText(r.commandedit, text.c_str());
        }
        yyinterpretmessage(EV_COMMANDLINE, 0, 0, 0, GetParent(r.control));
        return 0;
      }
      case 27:
        if (dropped) return passon(r, h, msg, wParam, lParam);
        SetWindowText(r.commandedit, "");
        return 0;
      default: break;
    }
  }
  return passon(r, h, msg, wParam, lParam);
}

void yyeditcommandline(HWND frame, EditorRecord& r) {
  r.history = (r.options & EO_HISTORY) != 0;
  const int edge = GetSystemMetrics(SM_CYEDGE);
  r.commandheight = r.lineheight + 2 * edge + 2;
  HINSTANCE inst = GetModuleHandle(nullptr);
  auto* id = reinterpret_cast<HMENU>(static_cast<std::intptr_t>(1004));
  if (r.history) {
    r.commandline = CreateWindowEx(WS_EX_CLIENTEDGE, "COMBOBOX", "",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 0,
                                   10, r.commandheight * 10, frame, id, inst, nullptr);
    r.commandedit = GetWindow(r.commandline, GW_CHILD);
    RECT c;
    GetWindowRect(r.commandline, c);
    r.commandheight = c.bottom - c.top;
  } else {
    r.commandline = CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | ES_AUTOHSCROLL,
                                   0, 0, 10, r.commandheight, frame, id, inst, nullptr);
    r.commandedit = r.commandline;
  }
  auto* promptid = reinterpret_cast<HMENU>(static_cast<std::intptr_t>(1005));
  r.promptframe = CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, r.commandheight, frame, promptid, inst, nullptr);
  r.prompttext = CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, r.commandheight, r.promptframe, promptid, inst, nullptr);
  r.promptoffset = std::max((r.commandheight - r.lineheight) / 2, 0);
  for (HWND h : {r.commandline, r.prompttext}) SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(r.font), TRUE);
  r.commandproc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(r.commandedit, GWLP_WNDPROC));
  SetWindowLongPtr(r.commandedit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yyEditSubCommand));
  r.word[ED_COMMANDLINE] = HandleToLong(r.commandline);
}

void yyeditcommandlayout(EditorRecord& r, const RECT& area) {
  if (r.commandline == nullptr) return;
  RECT p{};
  GetWindowRect(r.promptframe, p);
  const int promptwidth = p.right - p.left;
  const int top = area.bottom - r.commandheight;
  MoveWindow(r.promptframe, area.left, top, promptwidth, r.commandheight, TRUE);
  MoveWindow(r.prompttext, 0, r.promptoffset, promptwidth, r.commandheight - r.promptoffset, TRUE);
  MoveWindow(r.commandline, area.left + promptwidth, top, std::max<int>(area.right - area.left - promptwidth, 0),
             r.history ? r.commandheight * 10 : r.commandheight, TRUE);
}

void yyeditprompt(int& result, std::string_view prompt) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = 1;
    return;
  }
  if (r->commandline == nullptr) {
    result = 2;
    return;
  }
  const std::string text(prompt);
  SetWindowText(r->prompttext, text.c_str());
  int width = 0;
  if (!text.empty()) {
    HDC dc = GetDC(r->prompttext);
    HGDIOBJ old = SelectObject(dc, r->font);
    SIZE size{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), size);
    SelectObject(dc, old);
    ReleaseDC(r->prompttext, dc);
    width = size.cx + 2 * GetSystemMetrics(SM_CXEDGE);
  }
  RECT c;
  GetWindowRect(r->commandline, c);
  POINT topleft{c.left, c.top};
  ScreenToClient(GetParent(r->commandline), topleft);
  const int left = (r->word[FR_TOOLBAR + 1] != 0 ? [&] {
    RECT t;
    GetWindowRect(LongToHandle<HWND>(r->word[FR_TOOLBAR + 1]), t);
    return static_cast<int>(t.right - t.left);
  }() : 0);
  MoveWindow(r->promptframe, left, topleft.y, width, r->commandheight, TRUE);
  MoveWindow(r->prompttext, 0, r->promptoffset, width, r->commandheight - r->promptoffset, TRUE);
  POINT right{c.right, c.top};
  ScreenToClient(GetParent(r->commandline), right);
  MoveWindow(r->commandline, left + width, topleft.y, std::max<int>(right.x - left - width, 0),
             r->history ? r->commandheight * 10 : r->commandheight, TRUE);
  result = 0;
}

void yyeditputcommand(int& result, std::string_view text, int caret) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = 1;
    return;
  }
  if (r->commandline == nullptr) {
    result = 2;
    return;
  }
  if (r->history) choose(*r, -1);
  const std::string t(text);
  SetWindowText(r->commandedit, t.c_str());
  SendMessage(r->commandedit, EM_SETSEL, static_cast<WPARAM>(caret), caret);
  SendMessage(r->commandedit, EM_SCROLLCARET, 0, 0);
  InvalidateRect(r->commandline, nullptr, TRUE);
  result = 0;
}

void yyeditgetcommand(int& result, std::string& text, int maximum) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = 1;
    return;
  }
  if (r->commandline == nullptr) {
    result = 3;
    return;
  }
  const std::string all = fieldtext(r->commandedit);
  const std::size_t room = static_cast<std::size_t>(std::max(maximum - 1, 0));
  result = all.size() <= room ? 0 : 2;
  text = all.substr(0, room);
}

void yyeditcheckhistory(int& result) {
  EditorRecord* r = yyeditcurrent();
  result = r == nullptr ? 1 : r->history ? 0 : 2;
}

void yyeditclearhistory(int& result) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr) {
    result = 1;
    return;
  }
  if (!r->history) {
    result = 2;
    return;
  }
  const std::string keep = fieldtext(r->commandedit);
  SendMessage(r->commandline, CB_RESETCONTENT, 0, 0);
  SetWindowText(r->commandedit, keep.c_str());
  result = 0;
}

void yyeditputhistory(int index, std::string_view text) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr || !r->history) return;
  const std::string t(text);
  SendMessage(r->commandline, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(t.c_str()));
}

void yyeditgethistory(int index, std::string& text) {
  EditorRecord* r = yyeditcurrent();
  if (r == nullptr || !r->history || index < 0 || index >= historycount(*r)) return;
  text = historyline(*r, index);
}
