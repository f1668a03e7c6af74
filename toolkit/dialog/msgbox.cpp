// The message box of the standard dialogs: WMessageBox and its worker yymessagebox.
#include <string>

#include "platform/message_box.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"

namespace {

// Position 1-3 of the default button among the platform's buttons for a caller's default
// given as an answer code.
int defaultposition(int buttons, int idefault) {
  switch (buttons) {
    case 1:
    case 2:
    case 3: return idefault == 1 ? 1 : 2;
    case 4: return idefault == 1 ? 1 : idefault == 2 ? 2 : 3;
    case 5: return idefault == 1 ? 2 : idefault == 2 ? 1 : 3;  // Abort, Retry, Ignore
    default: return 1;
  }
}

std::string withouttrailingblanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

}  // namespace

void yymessagebox(int buttons, int icon, int defpos, int& answer, const char* message,
                  const char* title) {
  unsigned style = win::MB_OK;
  switch (buttons) {
    case 1: style = win::MB_OKCANCEL; break;
    case 2: style = win::MB_RETRYCANCEL; break;
    case 3: style = win::MB_YESNO; break;
    case 4: style = win::MB_YESNOCANCEL; break;
    case 5: style = win::MB_ABORTRETRYIGNORE; break;
    default: break;
  }
  switch (icon) {
    case 1: style |= win::MB_ICONHAND; break;
    case 2: style |= win::MB_ICONQUESTION; break;
    case 3: style |= win::MB_ICONEXCLAMATION; break;
    case 4: style |= win::MB_ICONASTERISK; break;
    default: break;
  }
  if (defpos == 2) style |= win::MB_DEFBUTTON2;
  if (defpos == 3) style |= win::MB_DEFBUTTON3;

  // The box is owned by the window or dialog the dialog manager names as active; every
  // other toolkit window and shown dialog is disabled while it runs.
  const MessageBoxServices& sv = messageboxservices;
  win::HWND owner = sv.owner != nullptr ? sv.owner() : nullptr;
  win::HWND focus = win::GetFocus();
  if (sv.disable != nullptr) sv.disable(owner);
  const int result = win::MessageBox(owner, message, title, style);
  if (sv.enable != nullptr) sv.enable(owner);
  if (focus != nullptr && owner != nullptr && win::IsWindow(focus) && (focus == owner || win::IsChild(owner, focus)))
    win::SetFocus(focus);
  switch (result) {
    case win::IDOK:
    case win::IDRETRY:
    case win::IDYES: answer = MBANSWER_OK; break;
    case win::IDCANCEL:
    case win::IDIGNORE: answer = MBANSWER_CANCEL; break;
    case win::IDABORT:
    case win::IDNO: answer = MBANSWER_NO; break;
    default: answer = MBANSWER_FAILED; break;
  }
}

void WMessageBox(int buttons, int icon, int idefault, std::string_view message,
                 std::string_view title) {
  DialogState& ds = tessar.dialog;
  const int defpos = defaultposition(buttons, idefault);
  const std::string text = withouttrailingblanks(message);
  const std::string caption = withouttrailingblanks(title);
  int answer = MBANSWER_FAILED;
  // The toolkit's windows repaint from snapshots while the box is up.
  if (messageboxservices.snapshot != nullptr) messageboxservices.snapshot(1);
  yymessagebox(buttons, icon, defpos, answer, text.c_str(), caption.c_str());
  if (messageboxservices.snapshot != nullptr) messageboxservices.snapshot(0);
  ds.FOCUSFIELD = 0;
  // A failed box must not leave an earlier Yes or OK for its caller to act on.
  ds.DLGANSWER = answer;
  if (answer == MBANSWER_FAILED) yyerror(1004, "WMessageBox");
}
