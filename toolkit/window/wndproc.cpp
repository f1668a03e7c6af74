// Window procedures of the toolkit's classes: the frame (yyWndProc), the client area
// (yyWndProcClient) and the splitter bar (yySplitProc), with the frame layout, menu prompts,
// keys and mouse, and the helpers they share.
// Sections (grep "[SECTION]"): helpers | frame | client | splitter
#include <algorithm>
#include <string>

#include "platform/gdi.h"
#include "platform/icon.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/resource.h"
#include "platform/statusbar.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_internal.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/window/wmsg.h"

using namespace win;

namespace {

int widthof(HWND h) {
  if (h == nullptr) return 0;
  RECT r;
  GetWindowRect(h, r);
  return r.right - r.left;
}

HWND framehandle(int w) { return w >= 0 && w < MAXWINDOWS ? winslot(w).wWindow : nullptr; }

// The frame of a client window: its parent.
HWND frameofclient(HWND client) { return GetParent(client); }

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Helpers
// - yySplitFixed(), yyTranslateAccelerator(), yydrawablesize(), yyGetPromptWindow(),
//   yyframelayout()
//------------------------------------------------------------------------------
int yySplitFixed(const FrameRecord& split, int pane, int direction) {
  const bool stacked = (split.word[SP_FLAGS] & 1) != 0;
  const int splitdir = stacked ? 1 : 0;
  const int paneflags = split.word[static_cast<std::size_t>(SP_PANEFLAGS1 + pane)];
  if (direction == splitdir && (paneflags & WOF_FIXEDSIZE)) return 1;
  const FrameRecord* inner = yyframerecord(framehandle(split.word[static_cast<std::size_t>(SP_PANE1 + pane)]));
  if (inner == nullptr || inner->word[FR_KIND] != SW_SPLITWINDOW) return 0;
  const bool innerstacked = (inner->word[SP_FLAGS] & 1) != 0;
  const bool proportional = (inner->word[SP_FLAGS] & 2) != 0;
  const bool a = yySplitFixed(*inner, 0, direction) != 0, b = yySplitFixed(*inner, 1, direction) != 0;
  if (innerstacked) return direction == 0 ? (a || b) : (!proportional && a && b);
  return direction == 0 ? (!proportional && a && b) : (a || b);
}

namespace {

// A split window's own size is fixed in a direction by the rules applied to its panes.
bool splitsizefixed(const FrameRecord& split, int direction) {
  const bool stacked = (split.word[SP_FLAGS] & 1) != 0;
  const bool proportional = (split.word[SP_FLAGS] & 2) != 0;
  const bool a = yySplitFixed(split, 0, direction) != 0, b = yySplitFixed(split, 1, direction) != 0;
  if (stacked) return direction == 0 ? (a || b) : (!proportional && a && b);
  return direction == 0 ? (!proportional && a && b) : (a || b);
}

}  // namespace

int yyTranslateAccelerator(int window, int menuwindow, const MSG& msg) {
  HWND frame = framehandle(window);
  const FrameRecord* r = yyframerecord(frame);
  if (r && r->word[FR_KIND] == SW_SPLITWINDOW && r->word[SP_MENUPANE] != 0) {
    // Editor and grid panes use their own tables, which their layers keep; other panes use
    // the menu window's table with the pane as target.
    HWND pane = LongToHandle<HWND>(r->word[SP_MENUPANE]);
    const int k = kindof(pane);
    if (k == SW_EDITOR || k == SW_GRIDWINDOW) return 0;
    if (menuwindow < 0 || menuwindow >= MAXWINDOWS || winslot(menuwindow).hAccel == nullptr) return 0;
    return TranslateAccelerator(pane, winslot(menuwindow).hAccel, msg);
  }
  if (menuwindow < 0 || menuwindow >= MAXWINDOWS || winslot(menuwindow).hAccel == nullptr || frame == nullptr) return 0;
  return TranslateAccelerator(frame, winslot(menuwindow).hAccel, msg);
}

void yydrawablesize(int kind, int number, int& width, int& height) {
  width = 0;
  height = 0;
  HWND h = nullptr;
  if (kind == 1) h = number >= 0 && number < MAXWINDOWS ? winslot(number).hClient : nullptr;
  else if (kind == 3 && hDlgCur != nullptr) h = number == 0 ? hDlgCur : GetDlgItem(hDlgCur, number);
  if (h == nullptr) return;
  RECT r;
  GetClientRect(h, r);
  width = r.right;
  height = r.bottom;
}

HWND yyGetPromptWindow(int window) {
  for (HWND f = framehandle(window); f != nullptr;) {
    const int w = yygetwindowindex(f);
    if (w < 0) return nullptr;
    if (winslot(w).wMessLine != nullptr) return winslot(w).wMessLine;
    if (!ischildframe(f)) return nullptr;
    // Up the parent chain: the client area holding this child, then its frame.
    HWND p = GetParent(f);
    const int pw = yygetwindowindex(p);
    if (pw < 0) return nullptr;
    f = winslot(pw).wWindow;
  }
  return nullptr;
}

bool yyresourceprompt(HRSRC prompts, int id, std::string& text) {
  if (prompts == nullptr) return false;
  const auto* p = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, prompts)));
  const DWORD size = SizeofResource(nullptr, prompts);
  if (p == nullptr) return false;
  // Records of a 16-bit identifier and a NUL-terminated text, up to identifier 0; a record
  // cut short by the end of the resource ends the list.
  DWORD at = 0;
  while (at + 2 <= size) {
    const int rid = p[at] | (p[at + 1] << 8);
    at += 2;
    if (rid == 0) break;
    DWORD end = at;
    while (end < size && p[end] != 0) ++end;
    if (end >= size) break;
    if (rid == id) {
      text.assign(reinterpret_cast<const char*>(p + at), end - at);
      return true;
    }
    at = end + 1;
  }
  return false;
}

void yyframelayout(HWND frame) {
  const int w = yygetwindowindex(frame);
  if (w < 0) return;
  RECT R;
  GetClientRect(frame, R);
  if (HWND sb = winslot(w).wMessLine) {
    const int parts = static_cast<int>(SendMessage(sb, SB_GETPARTS, 0, 0));
    yySetStatusBar2(w, std::max(parts, 1));
    SendMessage(sb, WM_SIZE, 0, MAKELPARAM(static_cast<WORD>(R.right), static_cast<WORD>(R.bottom)));
    InvalidateRect(sb, nullptr, TRUE);
    R.bottom -= heightof(sb);
  }
  const auto& tb = winslot(w).hToolbar;
  if (tb[0]) {
    SendMessage(tb[0], TB_AUTOSIZE, 0, 0);
    R.top += heightof(tb[0]);
  }
  if (tb[3]) {
    const int h = heightof(tb[3]);
    MoveWindow(tb[3], R.left, R.bottom - h, R.right - R.left, h, TRUE);
    R.bottom -= h;
  }
  if (tb[1]) {
    const int s = winslot(w).iToolSize[1];
    MoveWindow(tb[1], R.left, R.top, s, R.bottom - R.top, TRUE);
    R.left += s;
  }
  if (tb[2]) {
    const int s = winslot(w).iToolSize[2];
    MoveWindow(tb[2], R.right - s, R.top, s, R.bottom - R.top, TRUE);
    R.right -= s;
  }
  if (winslot(w).hClient) MoveWindow(winslot(w).hClient, R.left, R.top, R.right - R.left, R.bottom - R.top, TRUE);
}

//------------------------------------------------------------------------------
// [SECTION] Frame
// - yyWndProc()
//------------------------------------------------------------------------------
namespace {

// Paints a frame active and, through the active-pane word, the active panes of nested split windows.
void paintactive(HWND frame) {
  SendMessage(frame, WM_NCACTIVATE, TRUE, 0);
  for (const FrameRecord* r = yyframerecord(frame); r && r->word[FR_KIND] == SW_SPLITWINDOW && r->word[SP_ACTIVE] != 0;) {
    HWND pane = LongToHandle<HWND>(r->word[SP_ACTIVE]);
    SendMessage(pane, WM_NCACTIVATE, TRUE, 0);
    r = yyframerecord(pane);
  }
}

// The frame whose menu the prompts are taken from.
int menuwindowfor(HWND frame) {
  const int own = yygetwindowindex(frame);
  HMENU current = GetMenu(frame);
  int found = -1;
  for (int w = 0; w < MAXWINDOWS; ++w)
    if (current != nullptr && winslot(w).hMenuRoot == current) found = w;
  return found >= 0 ? found : own;
}

bool promptsapply(HWND frame, int menuwindow) {
  if (menuwindow < 0) return false;
  const int k = kindof(framehandle(menuwindow));
  return winslot(menuwindow).hVXKMenuString != nullptr || hFloatPrompt != nullptr || GetMenu(frame) == nullptr ||
         winslot(menuwindow).nMenuString > 0 || k == SW_EDITOR || k == SW_GRIDWINDOW;
}

void showprompt(HWND bar, const std::string& text) {
  SendMessage(bar, SB_SETTEXT, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
  UpdateWindow(bar);
}

void menuselect(HWND frame, WPARAM wParam, LPARAM lParam) {
  const int own = yygetwindowindex(frame);
  HWND bar = yyGetPromptWindow(own);
  if (bar == nullptr) return;
  const int menuwindow = menuwindowfor(frame);
  if (!promptsapply(frame, menuwindow)) return;
  const UINT flags = HIWORD(wParam);
  std::string text;
  if (flags & MF_SYSMENU) {
    switch (LOWORD(wParam) & 0xFFF0) {
      case SC_SIZE: text = "Changes the window size"; break;
      case SC_MOVE: text = "Changes the window position"; break;
      case SC_MINIMIZE: text = "Reduces the window to an icon"; break;
      case SC_MAXIMIZE: text = "Enlarges the window to full size"; break;
      case SC_CLOSE: text = "Closes the window"; break;
      case SC_RESTORE: text = "Restores the window to its normal size"; break;
      default: break;
    }
    showprompt(bar, text);
    return;
  }
  bool found = false;
  if (winslot(menuwindow).hVXKMenuString != nullptr || hFloatPrompt != nullptr || winslot(menuwindow).nMenuString > 0) {
    // A popup item is known by the identifier its menu's item table gave it.
    UINT id = LOWORD(wParam);
    if (flags & MF_POPUP) {
      MENUITEMINFO mi;
      mi.fMask = MIIM_ID;
      id = GetMenuItemInfo(reinterpret_cast<HMENU>(lParam), id, TRUE, mi) ? mi.wID : 0;
    }
    MENUITEMINFO data;
    data.fMask = MIIM_DATA;
    HMENU main = winslot(menuwindow).hMenuRoot;
    if (id != 0 && main != nullptr && GetMenuItemInfo(main, id, FALSE, data) && data.dwItemData != 0) {
      text = reinterpret_cast<const char*>(data.dwItemData);
      found = true;
    }
    if (!found && id != 0) found = yyresourceprompt(winslot(menuwindow).hVXKMenuString, static_cast<int>(id), text);
    if (!found && id != 0) found = yyresourceprompt(hFloatPrompt, static_cast<int>(id), text);
  }
  const int k = kindof(framehandle(menuwindow));
  if (!found && (k == SW_EDITOR || k == SW_GRIDWINDOW) && menuRelay == 0) {
    // The editor or grid window shows its own prompt in this bar.
    FrameRecord* r = yyframerecord(framehandle(menuwindow));
    const int saved = r->word[ED_PROMPTTARGET];
    r->word[ED_PROMPTTARGET] = HandleToLong(bar);
    menuRelay = 1;
    SendMessage(framehandle(menuwindow), WM_MENUSELECT, wParam, lParam);
    menuRelay = 0;
    r->word[ED_PROMPTTARGET] = saved;
    return;
  }
  showprompt(bar, text);
}

// Command target: the frame, or for a menu command of a split window the pane whose menu
// is shown, through nested split windows.
HWND commandtarget(HWND frame, LPARAM control) {
  HWND target = frame;
  if (control != 0) return target;
  for (const FrameRecord* r = yyframerecord(target); r && r->word[FR_KIND] == SW_SPLITWINDOW;) {
    const int next = r->word[SP_MENUPANE] != 0 ? r->word[SP_MENUPANE] : r->word[SP_ACTIVE];
    if (next == 0) break;
    target = LongToHandle<HWND>(next);
    r = yyframerecord(target);
  }
  return target;
}

LRESULT framehittest(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  LRESULT hit = DefWindowProc(hwnd, WM_NCHITTEST, wParam, lParam);
  if (ischildframe(hwnd) && hit == HTCAPTION) {
    const FrameRecord* g = yyframerecord(GetParent(GetParent(hwnd)));
    if (g && g->word[FR_KIND] == SW_SPLITWINDOW) return HTBORDER;
  }
  const FrameRecord* r = yyframerecord(hwnd);
  if (r && r->word[FR_KIND] == SW_SPLITWINDOW) {
    if (splitsizefixed(*r, 0)) {
      if (hit == HTLEFT || hit == HTRIGHT) hit = HTBORDER;
      else if (hit == HTTOPLEFT || hit == HTTOPRIGHT) hit = HTTOP;
      else if (hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) hit = HTBOTTOM;
    }
    if (splitsizefixed(*r, 1)) {
      if (hit == HTTOP || hit == HTBOTTOM) hit = HTBORDER;
      else if (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) hit = HTLEFT;
      else if (hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT) hit = HTRIGHT;
    }
  }
  return hit;
}

// A toolbar button's tooltip: the text in the tooltip list of the window whose toolbar owns
// the asking tooltip control, else the string-table entry of the button's command.
void tooltiptext(NMTTDISPINFO& info) {
  const int id = static_cast<int>(info.hdr.idFrom);
  for (int w = 0; w < MAXWINDOWS; ++w)
    for (HWND tb : winslot(w).hToolbar) {
      if (tb == nullptr || reinterpret_cast<HWND>(SendMessage(tb, TB_GETTOOLTIPS, 0, 0)) != info.hdr.hwndFrom) continue;
      for (const TooltipEntry& e : winslot(w).pTooltip)
        if (e.id == id) {
          const std::size_t n = std::min<std::size_t>(e.text.size(), sizeof info.szText - 1);
          e.text.copy(info.szText, n);
          info.szText[n] = '\0';
          info.lpszText = info.szText;
          return;
        }
      if (LoadString(GetModuleHandle(nullptr), static_cast<UINT>(id), info.szText, 80) > 0) info.lpszText = info.szText;
      return;
    }
}

int yyCloseCheck(HWND frame) {
  const FrameRecord* r = yyframerecord(frame);
  if (r == nullptr || r->word[FR_KIND] != SW_SPLITWINDOW) return 1;
  for (int pane = 0; pane < 2; ++pane) {
    HWND p = framehandle(r->word[static_cast<std::size_t>(SP_PANE1 + pane)]);
    if (kindof(p) == SW_SPLITWINDOW && yyCloseCheck(p) == 0) return 0;
    if (kindof(p) == SW_GRIDWINDOW && yygridpanecloses != nullptr && yygridpanecloses(p) == 0) return 0;
  }
  return 1;
}

void framesize(HWND hwnd, WPARAM kind) {
  const int w = yygetwindowindex(hwnd);
  if (w > 0 && ischildframe(hwnd)) {
    RECT& saved = winslot(w).wChildRect;
    WINDOWPLACEMENT wp;
    GetWindowPlacement(hwnd, wp);
    if (kind == SIZE_MAXIMIZED && saved.left == -999) {
      saved = wp.rcNormalPosition;
    } else if (kind == SIZE_RESTORED && saved.left != -999) {
      wp.rcNormalPosition = saved;
      SetWindowPlacement(hwnd, wp);
      saved.left = -999;
    }
  }
  if (kind == SIZE_MINIMIZED) {
    if (w > 0 && ischildframe(hwnd)) {
      SendMessage(hwnd, WM_NCACTIVATE, FALSE, 0);
      HWND parentframe = GetParent(GetParent(hwnd));
      if (parentframe) SendMessage(parentframe, WM_NCACTIVATE, TRUE, 0);
    }
    return;
  }
  yyframelayout(hwnd);
  if (FrameRecord* r = yyframerecord(hwnd); r && r->word[FR_KIND] == SW_SPLITWINDOW) {
    RECT wr;
    GetWindowRect(hwnd, wr);
    r->word[SP_FRAMEWIDTH] = wr.right - wr.left;
    r->word[SP_FRAMEHEIGHT] = wr.bottom - wr.top;
  }
}

}  // namespace

LRESULT yyWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int w = yygetwindowindex(hwnd);
  switch (msg) {
    case WM_DESTROY:
      if (w >= 0) {
        // The prompts set at run time live in the menu's items: free them before the menu goes.
        if (winslot(w).hMenuRoot != nullptr) yyClearMenuPrompt(winslot(w).hMenuRoot, w);
        // So do the window's own icons (yywindowtitle); shared icons outlive DestroyIcon.
        HICON big = reinterpret_cast<HICON>(SendMessage(hwnd, WM_SETICON, ICON_BIG, 0));
        HICON small = reinterpret_cast<HICON>(SendMessage(hwnd, WM_SETICON, ICON_SMALL, 0));
        if (big != nullptr) DestroyIcon(big);
        if (small != nullptr && small != big) DestroyIcon(small);
        winslot(w).hMenuRoot = nullptr;
        winslot(w).hAccel = nullptr;
        winslot(w).hVXKMenuString = nullptr;
        winslot(w).hToolbar.fill(nullptr);
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SIZE:
      framesize(hwnd, wParam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) yytitlecolour(hwnd);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETFOCUS:
      if (w >= 0 && winslot(w).hClient != nullptr) SetFocus(winslot(w).hClient);
      return 0;
    case WM_CLOSE:
      if (kindof(hwnd) == SW_SPLITWINDOW && yyCloseCheck(hwnd) == 0) return 0;
      yyinterpretmessage(EV_CLOSE, 0, wParam, lParam, hwnd);
      return 0;
    case WM_ACTIVATEAPP:
      if (wParam == 0) yytitlecolour(nullptr);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_GETMINMAXINFO: {
      const FrameRecord* r = yyframerecord(hwnd);
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      if (r && r->word[FR_KIND] == SW_SPLITWINDOW && r->word[SP_SIZING] == 0 && mm) {
        if (splitsizefixed(*r, 0)) mm->ptMaxSize.x = mm->ptMinTrackSize.x = mm->ptMaxTrackSize.x = r->word[SP_FRAMEWIDTH];
        if (splitsizefixed(*r, 1)) mm->ptMaxSize.y = mm->ptMinTrackSize.y = mm->ptMaxTrackSize.y = r->word[SP_FRAMEHEIGHT];
        return 0;
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      if (hdr != nullptr && hdr->code == TTN_GETDISPINFO) {
        tooltiptext(*reinterpret_cast<NMTTDISPINFO*>(lParam));
        return 0;
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_NCHITTEST:
      return framehittest(hwnd, wParam, lParam);
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: {
      if (msg == WM_NCLBUTTONDOWN) hWinMenuClick = hwnd;
      const int button = msg == WM_NCLBUTTONDOWN ? 1 : msg == WM_NCRBUTTONDOWN ? 3 : 2;
      if (wParam != static_cast<WPARAM>(HTMENU)) yyinterpretmessage(EV_FRAMEBUTTON, button, wParam, lParam, hwnd);
      BringWindowToTop(hwnd);
      paintactive(hwnd);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_NCLBUTTONUP:
      hWinMenuClick = nullptr;
      return 0;
    case WM_SYSCHAR:
      if (ischildframe(hwnd) && wParam != '-') return SendMessage(GetParent(GetParent(hwnd)), msg, wParam, lParam);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_COMMAND: {
      const UINT code = HIWORD(wParam);
      if (code > 1) return DefWindowProc(hwnd, msg, wParam, lParam);
      HWND target = commandtarget(hwnd, lParam);
      const int k = kindof(target);
      if (k == SW_EDITOR || k == SW_GRIDWINDOW) SendMessage(target, msg, wParam, lParam);
      else yyinterpretmessage(EV_COMMAND, 0, wParam, lParam, target);
      if (lParam != 0 && w >= 0)
        for (HWND tb : winslot(w).hToolbar)
          if (tb != nullptr && tb == reinterpret_cast<HWND>(lParam)) {
            InvalidateRect(tb, nullptr, TRUE);
            UpdateWindow(tb);
          }
      return 0;
    }
    case WM_TIMER:
      KillTimer(hwnd, wParam);
      yyinterpretmessage(EV_TIMER, 0, wParam, lParam, hwnd);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_INITMENUPOPUP: {
      HWND pane = hwnd;
      for (const FrameRecord* r = yyframerecord(pane); r && r->word[FR_KIND] == SW_SPLITWINDOW && r->word[SP_ACTIVE] != 0;) {
        pane = LongToHandle<HWND>(r->word[SP_ACTIVE]);
        r = yyframerecord(pane);
      }
      const int k = kindof(pane);
      if (pane != hwnd && (k == SW_EDITOR || k == SW_GRIDWINDOW)) return SendMessage(pane, msg, wParam, lParam);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_MENUSELECT:
      menuselect(hwnd, wParam, lParam);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
      BringWindowToTop(hwnd);
      paintactive(hwnd);
      return 0;
    case WM_ENTERMENULOOP: {
      popupMenuLoop = wParam != 0 ? 1 : 0;
      HWND bar = yyGetPromptWindow(w);
      if (bar != nullptr && promptsapply(hwnd, menuwindowfor(hwnd))) {
        SendMessage(bar, SB_SIMPLE, TRUE, 0);
        showprompt(bar, "");
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_EXITMENULOOP: {
      hWinMenuClick = nullptr;
      if (HWND bar = yyGetPromptWindow(w)) SendMessage(bar, SB_SIMPLE, FALSE, 0);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_EXITSIZEMOVE:
      if (w > 0 && ischildframe(hwnd) && IsIconic(hwnd)) ArrangeIconicWindows(GetParent(hwnd));
      return 0;
    case WM_PALETTECHANGED:
      if (w >= 0 && winslot(w).hClient != nullptr) return SendMessage(winslot(w).hClient, msg, wParam, lParam);
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

//------------------------------------------------------------------------------
// [SECTION] Client
// - yyWndProcClient()
//------------------------------------------------------------------------------
namespace {

void clientkey(HWND hwnd, WPARAM vk) {
  MSG next;
  int ch = -1;
  if (PeekMessage(next, hwnd, 0, 0, PM_NOREMOVE) && next.message == WM_CHAR) {
    PeekMessage(next, hwnd, WM_CHAR, WM_CHAR, PM_REMOVE);
    ch = static_cast<int>(next.wParam);
  }
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  if (ch >= 0) {
    if (vk >= 0x60 && vk <= 0x6F) yyinterpretmessage(EV_KEY, 1, vk, 0, hwnd);
    else if (vk == static_cast<WPARAM>(VK_TAB) && shift) yyinterpretmessage(EV_KEY, 1, VK_TAB | 0x1000, 0, hwnd);
    else yyinterpretmessage(EV_KEY, 0, static_cast<WPARAM>(ch), 0, hwnd);
    return;
  }
  if ((vk >= 0x10 && vk <= 0x14) || vk == 0x90 || vk == 0x91) return;
  yyinterpretmessage(EV_KEY, 1, vk | (ctrl ? 0x2000u : shift ? 0x1000u : 0u), 0, hwnd);
}

void clientbutton(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  int button = 1;
  bool dbl = false;
  switch (msg) {
    case WM_LBUTTONDBLCLK: dbl = true; [[fallthrough]];
    case WM_LBUTTONDOWN: button = 1; break;
    case WM_MBUTTONDBLCLK: dbl = true; [[fallthrough]];
    case WM_MBUTTONDOWN: button = 2; break;
    case WM_RBUTTONDBLCLK: dbl = true; [[fallthrough]];
    default: button = 3; break;
  }
  SetCapture(hwnd);
  const int type = dbl && wMessageEnabled[EV_DOUBLECLICK - 1] != 0 ? EV_DOUBLECLICK : EV_MOUSEDOWN;
  yyinterpretmessage(type, button, wParam, lParam, hwnd);
  HWND frame = frameofclient(hwnd);
  BringWindowToTop(frame);
  SendMessage(frame, WM_NCACTIVATE, TRUE, 0);
}

void clientfocus(HWND hwnd) {
  HWND frame = frameofclient(hwnd);
  hWinCur = frame;
  hDlgCur = nullptr;
  if (!(frame == winslot(0).wWindow && wHideRoot != 0)) {
    BringWindowToTop(frame);
    if (!IsWindowVisible(frame)) ShowWindow(frame, SW_SHOW);
  }
  // A pane of a split window becomes the split's active pane, up to the outermost frame.
  HWND pane = frame;
  for (HWND outer = ischildframe(pane) ? GetParent(GetParent(pane)) : nullptr; outer != nullptr;) {
    FrameRecord* r = yyframerecord(outer);
    if (r == nullptr || r->word[FR_KIND] != SW_SPLITWINDOW) break;
    r->word[SP_ACTIVE] = HandleToLong(pane);
    if (kindof(frame) == SW_SPLITWINDOW) break;
    pane = outer;
    outer = ischildframe(pane) ? GetParent(GetParent(pane)) : nullptr;
  }
  const FrameRecord* own = yyframerecord(frame);
  if (own && own->word[FR_KIND] == SW_DIALOGWINDOW) {
    HWND dlg = LongToHandle<HWND>(own->word[DW_DIALOG]);
    const int saved = wMessageEnabled[EV_FIELDCHANGED - 1];
    wMessageEnabled[EV_FIELDCHANGED - 1] = 0;
    BringWindowToTop(dlg);
    if (!IsChild(dlg, GetFocus())) SetFocus(dlg);
    wMessageEnabled[EV_FIELDCHANGED - 1] = saved;
    hDlgCur = dlg;
  }
  if (own && own->word[FR_KIND] == SW_SPLITWINDOW && own->word[SP_ACTIVE] != 0) {
    HWND active = LongToHandle<HWND>(own->word[SP_ACTIVE]);
    const int pw = yygetwindowindex(active);
    if (pw >= 0 && winslot(pw).hClient) SetFocus(winslot(pw).hClient);
    SendMessage(active, WM_NCACTIVATE, TRUE, 0);
  }
}

void splitlayout(HWND client, FrameRecord& r) {
  HWND first = framehandle(r.word[SP_PANE1]), second = framehandle(r.word[SP_PANE2]);
  HWND barwnd = LongToHandle<HWND>(r.word[SP_BAR]);
  if (!first || !second || !barwnd) return;
  RECT Q;
  GetClientRect(client, Q);
  const bool stacked = (r.word[SP_FLAGS] & 1) != 0;
  auto extent = [&](HWND h) { return stacked ? heightof(h) : widthof(h); };
  auto clientextent = [&](HWND h) {
    RECT c;
    GetClientRect(h, c);
    return stacked ? c.bottom : c.right;
  };
  const int total = stacked ? Q.bottom : Q.right;
  const int across = stacked ? Q.right : Q.bottom;
  const int barsize = extent(barwnd);
  int e1 = extent(first), e2 = extent(second);
  if (r.word[SP_FLAGS] & 2) {
    const int nc = (e1 - clientextent(first)) + (e2 - clientextent(second));
    const int space = total - barsize - nc;
    const int sum = r.word[SP_EXTENT1] + r.word[SP_EXTENT2];
    const int s1 = sum > 0 ? space * r.word[SP_EXTENT1] / sum : space / 2;
    e1 = s1 + (extent(first) - clientextent(first));
    e2 = total - e1 - barsize;
  } else if ((r.word[SP_FLAGS] & 4) || yySplitFixed(r, 1, stacked ? 1 : 0)) {
    e1 = total - e2 - barsize;
  } else {
    e2 = total - e1 - barsize;
  }
  e1 = std::max(e1, 0);
  e2 = std::max(e2, 0);
  if (stacked) {
    SetWindowPos(first, nullptr, 0, 0, across, e1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(barwnd, 0, e1, across, barsize, TRUE);
    MoveWindow(second, 0, e1 + barsize, across, e2, TRUE);
  } else {
    SetWindowPos(first, nullptr, 0, 0, e1, across, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(barwnd, e1, 0, barsize, across, TRUE);
    MoveWindow(second, e1 + barsize, 0, e2, across, TRUE);
  }
  ValidateRect(client, nullptr);
}

void clientsize(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  HWND frame = frameofclient(hwnd);
  FrameRecord* r = yyframerecord(frame);
  if (r && r->word[FR_KIND] == SW_SPLITWINDOW) {
    splitlayout(hwnd, *r);
    return;
  }
  if (r && r->word[FR_KIND] == SW_DIALOGWINDOW) {
    RECT c;
    GetClientRect(hwnd, c);
    MoveWindow(LongToHandle<HWND>(r->word[DW_DIALOG]), 0, 0, c.right, c.bottom, TRUE);
    ValidateRect(hwnd, nullptr);
    return;
  }
  ArrangeIconicWindows(hwnd);
  if (ischildframe(frame)) ArrangeIconicWindows(GetParent(frame));
  RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
  yyinterpretmessage(EV_RESIZE, 0, wParam, lParam, hwnd);
  // Maximised child frames follow the new size.
  HWND children[MAXWINDOWS];
  int n = 0;
  for (HWND c = GetWindow(hwnd, GW_CHILD); c != nullptr && n < MAXWINDOWS; c = GetWindow(c, GW_HWNDNEXT))
    if (yygetwindowindex(c) > 0 && IsZoomed(c)) children[n++] = c;
  for (int i = 0; i < n; ++i) {
    HWND after = GetWindow(children[i], GW_HWNDPREV);
    ShowWindow(children[i], SW_RESTORE);
    ShowWindow(children[i], SW_MAXIMIZE);
    SetWindowPos(children[i], after ? after : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// A paint or size that completed an event outside the pump's own dispatch is held back for
// the next wmessage.
void holdback(HWND hwnd, unsigned before) {
  if (wCompletions == before || wValidMessage != 0 || bExpectPaintResize != 0 || wBlitOn != 0) return;
  if (wMessageType != EV_EXPOSE && wMessageType != EV_RESIZE) return;
  if (!IsWindowVisible(hwnd)) return;
  const int k = kindof(frameofclient(hwnd));
  if (k == SW_DIALOGWINDOW || k == SW_SPLITWINDOW) return;
  const int w = yygetwindowindex(hwnd);
  if (w < 0) return;
  DeferredEvent& slot = VXKMessages[ix(w)];
  if (wMessageType == EV_EXPOSE && slot.type == EV_RESIZE) return;
  slot = DeferredEvent{wMessageType, wMessageValue1, wMessageValue2, wMessageValue3, wMessageValue4,
                       wMessageX, wMessageY, w, wMessageTime};
}

}  // namespace

LRESULT yyWndProcClient(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int w = yygetwindowindex(hwnd);
  switch (msg) {
    case WM_SIZE: {
      const unsigned before = wCompletions;
      clientsize(hwnd, wParam, lParam);
      holdback(hwnd, before);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SendMessage(frameofclient(hwnd), WM_NCACTIVATE, TRUE, 0);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETFOCUS:
      clientfocus(hwnd);
      return 0;
    case WM_PAINT: {
      if (wBlitOn != 0 && w >= 0 && winslot(w).hImage != nullptr) {
        // While modal work runs the window shows the snapshot taken before it began.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, ps);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, winslot(w).hImage);
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, mem, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        EndPaint(hwnd, ps);
        return 0;
      }
      const unsigned before = wCompletions;
      const int k = kindof(frameofclient(hwnd));
      if (wBlitOn == 0 && k != SW_DIALOGWINDOW && k != SW_SPLITWINDOW)
        yyinterpretmessage(EV_EXPOSE, 0, wParam, lParam, hwnd);
      const LRESULT result = DefWindowProc(hwnd, msg, wParam, lParam);
      holdback(hwnd, before);
      return result;
    }
    case WM_ERASEBKGND:
      if (wBlitOn != 0 && w >= 0 && winslot(w).hImage != nullptr) return 1;
      if (w >= 0 && winslot(w).hWindowColour != nullptr) {
        RECT r;
        GetClientRect(hwnd, r);
        FillRect(reinterpret_cast<HDC>(wParam), r, winslot(w).hWindowColour);
        return 1;
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SETCURSOR: {
      if (LOWORD(static_cast<UINT_PTR>(lParam)) == HTCLIENT && w >= 0) {
        const int k = kindof(winslot(w).wWindow);
        if (k != 0 && k != SW_BITMAPVIEWER) return TRUE;
        HCURSOR c = winslot(w).hCursorWin != nullptr ? winslot(w).hCursorWin : wCursor;
        if (c != nullptr) {
          SetCursor(c);
          return TRUE;
        }
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: {
      const int button = msg == WM_NCLBUTTONDOWN ? 1 : msg == WM_NCRBUTTONDOWN ? 3 : 2;
      yyinterpretmessage(EV_FRAMEBUTTON, button, wParam, lParam, hwnd);
      HWND frame = frameofclient(hwnd);
      BringWindowToTop(frame);
      paintactive(frame);
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_KEYDOWN:
      clientkey(hwnd, wParam);
      return 0;
    case WM_CHAR:
      yyinterpretmessage(EV_KEY, 0, wParam, lParam, hwnd);
      return 0;
    case WM_SYSCHAR: case WM_MENUSELECT: case WM_ENTERMENULOOP: case WM_EXITMENULOOP:
      return SendMessage(frameofclient(hwnd), msg, wParam, lParam);
    case WM_COMMAND:
      if (HIWORD(wParam) <= 1) {
        yyinterpretmessage(EV_COMMAND, 0, wParam, lParam, hwnd);
        return 0;
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_TIMER:
      if (wParam == 999 && TimerEnabled != 0) {
        TimerEnabled = 0;
        KillTimer(hwnd, 999);
      } else {
        yyinterpretmessage(EV_TIMER, 0, wParam, lParam, hwnd);
      }
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_MOUSEMOVE:
      yyinterpretmessage(EV_MOUSEMOVE, 0, wParam, lParam, hwnd);
      return 0;
    case WM_LBUTTONDOWN: case WM_MBUTTONDOWN: case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_MBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
      clientbutton(hwnd, msg, wParam, lParam);
      return 0;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
      ReleaseCapture();
      yyinterpretmessage(EV_MOUSEUP, msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 3 : 2, wParam, lParam, hwnd);
      return 0;
    case WM_MOUSEWHEEL: {
      // The wheel's position is on the screen; the event's, like every mouse event's, in the
      // client area.
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, p);
      const int button = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 4 : 5;
      yyinterpretmessage(EV_MOUSEDOWN, button, GET_KEYSTATE_WPARAM(wParam),
                         MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)), hwnd);
      return 0;
    }
    case WM_PALETTECHANGED:
      return 0;   // true-colour displays: no palette to realise
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

//------------------------------------------------------------------------------
// [SECTION] Splitter
// - yySplitProc()
//------------------------------------------------------------------------------
namespace {

FrameRecord* splitrecordofbar(HWND bar) {
  // The bar is a child of the split window's client; the split record is on its frame.
  HWND client = GetParent(bar);
  return client ? yyframerecord(GetParent(client)) : nullptr;
}

bool eitherfixed(const FrameRecord& r) {
  const int dir = (r.word[SP_FLAGS] & 1) ? 1 : 0;
  return yySplitFixed(r, 0, dir) != 0 || yySplitFixed(r, 1, dir) != 0;
}

}  // namespace

LRESULT yySplitProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  FrameRecord* r = splitrecordofbar(hwnd);
  if (r == nullptr || r->word[FR_KIND] != SW_SPLITWINDOW) return DefWindowProc(hwnd, msg, wParam, lParam);
  const bool stacked = (r->word[SP_FLAGS] & 1) != 0;
  switch (msg) {
    case WM_ENTERSIZEMOVE: {
      RECT wr;
      GetWindowRect(hwnd, wr);
      r->word[SP_DRAG] = stacked ? wr.left : wr.top;
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    case WM_MOVING:
      if (r->word[SP_DRAG] != -999 && lParam) {
        RECT& p = *reinterpret_cast<RECT*>(lParam);
        if (stacked) OffsetRect(p, r->word[SP_DRAG] - p.left, 0);
        else OffsetRect(p, 0, r->word[SP_DRAG] - p.top);
      }
      return TRUE;
    case WM_MOVE: {
      if (r->word[SP_DRAG] == -999) return DefWindowProc(hwnd, msg, wParam, lParam);
      HWND first = framehandle(r->word[SP_PANE1]), second = framehandle(r->word[SP_PANE2]);
      HWND client = GetParent(hwnd);
      if (!first || !second || !client) return 0;
      RECT Q, b;
      GetClientRect(client, Q);
      GetWindowRect(hwnd, b);
      POINT tl{b.left, b.top}, br{b.right, b.bottom};
      ScreenToClient(client, tl);
      ScreenToClient(client, br);
      if (stacked) {
        SetWindowPos(first, nullptr, 0, 0, Q.right, tl.y, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        MoveWindow(second, 0, br.y, Q.right, Q.bottom - br.y, TRUE);
      } else {
        SetWindowPos(first, nullptr, 0, 0, tl.x, Q.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        MoveWindow(second, br.x, 0, Q.right - br.x, Q.bottom, TRUE);
      }
      RECT c1, c2;
      GetClientRect(first, c1);
      GetClientRect(second, c2);
      r->word[SP_EXTENT1] = stacked ? c1.bottom : c1.right;
      r->word[SP_EXTENT2] = stacked ? c2.bottom : c2.right;
      return 0;
    }
    case WM_EXITSIZEMOVE:
      r->word[SP_DRAG] = -999;
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_DESTROY:
      return 0;
    case WM_SETFOCUS: {
      const int pw = yygetwindowindex(LongToHandle<HWND>(r->word[SP_ACTIVE]));
      if (pw >= 0 && winslot(pw).hClient) SetFocus(winslot(pw).hClient);
      return 0;
    }
    case WM_SETCURSOR:
      if (eitherfixed(*r)) return 0;
      SetCursor(LoadCursor(nullptr, stacked ? IDC_SIZENS : IDC_SIZEWE));
      return TRUE;
    case WM_NCHITTEST:
      return eitherfixed(*r) ? HTBORDER : HTCAPTION;
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: {
      const int button = msg == WM_NCLBUTTONDOWN ? 1 : msg == WM_NCRBUTTONDOWN ? 3 : 2;
      yyinterpretmessage(EV_FRAMEBUTTON, button, wParam, lParam, framehandle(r->word[SP_WINDOW]));
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}
