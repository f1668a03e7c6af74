// platform/message_box.cpp: the message box, a modal dialog of the layer's own buttons and
// statics, laid out from its text in "MS Sans Serif" 8 points; and the test helpers that
// answer boxes through injected input.
#include "platform/message_box.h"

#include <algorithm>
#include <deque>

#include "platform/dialog_internal.h"
#include "platform/test_api.h"

namespace win {
namespace {

std::vector<test::MessageBoxRecord> shown;
bool failNext = false;
std::vector<HWND> openBoxes;   // innermost last

constexpr int kIconId = 20;
constexpr std::size_t kLogLimit = 1000;
constexpr int kTextId = 0xFFFF;

struct Box {
  HWND owner = nullptr;
  std::string text;
  std::string title;
  unsigned style = 0;
  std::vector<int> buttons;
};

// The buttons of a button set, left to right; empty for an unknown set.
std::vector<int> buttonsOf(unsigned type) {
  switch (type) {
    case MB_OK: return {IDOK};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {};
  }
}

const char* captionOf(int id) {
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "&Abort";
    case IDRETRY: return "&Retry";
    case IDIGNORE: return "&Ignore";
    case IDYES: return "&Yes";
    case IDNO: return "&No";
    default: return "";
  }
}

LPCSTR iconOf(unsigned style) {
  switch (style & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
  }
}

int frameHeightOf(HWND dialog) {
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(frame, static_cast<DWORD>(GetWindowLong(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLong(dialog, GWL_EXSTYLE)));
  return frame.bottom - frame.top;
}

RECT dlu(HWND dialog, int cx, int cy) {
  RECT r{0, 0, cx, cy};
  MapDialogRect(dialog, r);
  return r;
}

// Creates the controls and sizes and centres the box.
void layout(HWND dialog, const Box& box) {
  HFONT font = reinterpret_cast<HFONT>(SendMessage(dialog, WM_GETFONT, 0, 0));
  const RECT margin = dlu(dialog, 7, 7);
  const RECT button = dlu(dialog, 50, 14);
  const RECT gap = dlu(dialog, 4, 4);
  const int mx = margin.right, my = margin.bottom;
  const LPCSTR icon = iconOf(box.style);
  const int iconSize = icon ? 32 : 0;

  // The text wraps at five eighths of the screen width.
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  const int textLeft = mx + (icon ? iconSize + mx : 0);
  const int wrapWidth = std::max<int>(100, screenW * 5 / 8 - textLeft - mx);
  SIZE text;
  if (HDC dc = CreateCompatibleDC(nullptr)) {
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    text = dlg::measureLines(dc, dlg::layoutText(dc, box.text, wrapWidth, true, false));
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  const int n = static_cast<int>(box.buttons.size());
  const int rowWidth = n * button.right + (n - 1) * gap.right;
  // A text taller than the screen is cut, so that the buttons stay on the screen.
  const int textMax = screenH - frameHeightOf(dialog) - 3 * my - button.bottom;
  if (text.cy > textMax) text.cy = std::max(0, textMax);
  const int contentH = std::max<int>(iconSize, text.cy);
  // Not narrower than a window with a caption may be, so that the buttons stay centred.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(frame, static_cast<DWORD>(GetWindowLong(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLong(dialog, GWL_EXSTYLE)));
  const int frameW = frame.right - frame.left, frameH = frame.bottom - frame.top;
  const int clientW = std::max({textLeft + text.cx + mx, rowWidth + 2 * mx, GetSystemMetrics(SM_CXMINTRACK) - frameW});
  const int buttonsY = my + contentH + my;
  const int clientH = buttonsY + button.bottom + my;

  const HINSTANCE instance = nullptr;
  if (icon) {
    HWND s = CreateWindowEx(WS_EX_NOPARENTNOTIFY, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, mx, my, 32, 32,
                            dialog, reinterpret_cast<HMENU>(static_cast<LONG_PTR>(kIconId)), instance, nullptr);
    if (s) SendMessage(s, STM_SETICON, reinterpret_cast<WPARAM>(dlg::systemIcon(icon)), 0);
  }
  const int textTop = my + (text.cy < iconSize ? (iconSize - text.cy) / 2 : 0);
  HWND label = CreateWindowEx(WS_EX_NOPARENTNOTIFY, "STATIC", box.text.c_str(),
                              WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX, textLeft, textTop,
                              text.cx, text.cy, dialog, reinterpret_cast<HMENU>(static_cast<LONG_PTR>(kTextId)),
                              instance, nullptr);
  if (label && font) SendMessage(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  const std::size_t defPos = (box.style & MB_DEFMASK) >> 8;
  const int defId = box.buttons[defPos < box.buttons.size() ? defPos : 0];
  int x = (clientW - rowWidth) / 2;
  for (int k = 0; k < n; ++k) {
    const int id = box.buttons[static_cast<std::size_t>(k)];
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (id == defId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    if (k == 0) style |= WS_GROUP;
    HWND b = CreateWindowEx(WS_EX_NOPARENTNOTIFY, "BUTTON", captionOf(id), style, x, buttonsY, button.right,
                            button.bottom, dialog, reinterpret_cast<HMENU>(static_cast<LONG_PTR>(id)), instance,
                            nullptr);
    if (b && font) SendMessage(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    x += button.right + gap.right;
  }

  const int w = clientW + frameW, h = clientH + frameH;
  SetWindowPos(dialog, nullptr, std::max(0, (screenW - w) / 2), std::max(0, (screenH - h) / 2), w, h,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessage(dialog, DM_SETDEFID, static_cast<WPARAM>(defId), 0);
  if (HWND def = GetDlgItem(dialog, defId)) SendMessage(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(def), TRUE);
}

INT_PTR boxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      const Box& box = *reinterpret_cast<const Box*>(lParam);
      SetWindowLongPtr(dialog, DWLP_USER, lParam);
      SetWindowText(dialog, box.title.c_str());
      layout(dialog, box);
      // The log is for tests; a long run keeps only its latest boxes.
      if (shown.size() >= kLogLimit) shown.erase(shown.begin());
      shown.push_back({box.owner, box.text, box.title, box.style});
      openBoxes.push_back(dialog);
      MessageBeep(box.style & MB_ICONMASK);
      return FALSE;   // the default button has the focus already
    }
    case WM_COMMAND: {
      const auto* box = reinterpret_cast<const Box*>(GetWindowLongPtr(dialog, DWLP_USER));
      if (!box) return FALSE;
      const int id = LOWORD(wParam);
      const auto& b = box->buttons;
      if (std::find(b.begin(), b.end(), id) != b.end()) EndDialog(dialog, id);
      // Escape and the close box: Cancel where there is one, OK in an OK-only box.
      else if (id == IDCANCEL && b.size() == 1 && b[0] == IDOK) EndDialog(dialog, IDOK);
      return TRUE;
    }
    case WM_DESTROY:
      openBoxes.erase(std::remove(openBoxes.begin(), openBoxes.end(), dialog), openBoxes.end());
      return FALSE;
    default:
      return FALSE;
  }
}

// The box's template: no controls, the font "MS Sans Serif" 8 points; the rest is laid out
// when the box starts.
std::vector<WORD> boxTemplate(unsigned style) {
  DWORD dstyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_NOIDLEMSG;
  DWORD ex = WS_EX_DLGMODALFRAME;
  if ((style & MB_MODEMASK) == MB_SYSTEMMODAL || (style & MB_TOPMOST)) ex |= WS_EX_TOPMOST;
  std::vector<WORD> t = {static_cast<WORD>(dstyle & 0xFFFF), static_cast<WORD>(dstyle >> 16),
                         static_cast<WORD>(ex & 0xFFFF), static_cast<WORD>(ex >> 16),
                         0, 0, 0, 100, 50,   // no items; position and size come later
                         0, 0, 0,            // no menu, the dialog class, no caption
                         8};
  for (const char* f = "MS Sans Serif"; *f; ++f) t.push_back(static_cast<WORD>(*f));
  t.push_back(0);
  return t;
}

BOOL collectEnabledTop(HWND h, LPARAM param) {
  if (IsWindowVisible(h) && IsWindowEnabled(h)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(h);
  return TRUE;
}

}  // namespace

int MessageBox(HWND owner, const char* text, const char* title, unsigned style) {
  Box box;
  box.buttons = buttonsOf(style & MB_TYPEMASK);
  if (failNext || box.buttons.empty()) {
    failNext = false;
    return 0;
  }
  if (owner && !IsWindow(owner)) return 0;
  box.owner = owner;
  box.text = text ? text : "";
  box.title = title ? title : "Error";
  box.style = style;
  RegisterDialogClasses();

  // A task-modal box without an owner holds every window of the program.
  std::vector<HWND> held;
  if (!owner && (style & MB_MODEMASK) == MB_TASKMODAL) {
    EnumWindows(collectEnabledTop, reinterpret_cast<LPARAM>(&held));
    for (HWND h : held) EnableWindow(h, FALSE);
  }
  const std::vector<WORD> t = boxTemplate(style);
  const INT_PTR r = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), owner, boxProc,
                                           reinterpret_cast<LPARAM>(&box));
  for (HWND h : held)
    if (IsWindow(h)) EnableWindow(h, TRUE);
  return r > 0 ? static_cast<int>(r) : 0;
}

namespace test {
namespace {

struct Answer {
  bool click = false;
  int value = 0;
  unsigned modifiers = 0;
};
std::deque<Answer> answers;
int standingKey = 0;

void answerOpenBox() {
  if (openBoxes.empty()) return;
  HWND box = openBoxes.back();
  Answer a;
  if (!answers.empty()) {
    a = answers.front();
    answers.pop_front();
  } else if (standingKey) {
    a.value = standingKey;
  } else {
    return;
  }
  if (!a.click) {
    pressKey(a.value, a.modifiers);
    return;
  }
  HWND b = GetDlgItem(box, a.value);
  if (!b) return;
  RECT r;
  GetWindowRect(b, r);
  click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace

const std::vector<MessageBoxRecord>& messageBoxes() { return shown; }
void clearMessageBoxes() { shown.clear(); }
void failNextMessageBox() { failNext = true; }

void answerNextMessageBoxWithClick(int buttonId) {
  answers.push_back(Answer{true, buttonId, 0});
  setIdleHook(answerOpenBox);
}

void answerNextMessageBoxWithKey(int vk, unsigned modifiers) {
  answers.push_back(Answer{false, vk, modifiers});
  setIdleHook(answerOpenBox);
}

void answerEveryMessageBoxWithKey(int vk) {
  standingKey = vk;
  setIdleHook(answerOpenBox);
}

void clearMessageBoxAnswers() {
  answers.clear();
  standingKey = 0;
}

HWND openMessageBox() { return openBoxes.empty() ? nullptr : openBoxes.back(); }

}  // namespace test
}  // namespace win
