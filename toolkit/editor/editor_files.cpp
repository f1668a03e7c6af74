// The editor's files: loading a file into the current buffer, saving it (replacing the old
// file in one step, with an optional ".bak" copy first) and the question about unsaved text.
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/message_box.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/os/opsys.h"

using namespace win;

namespace {

void warn(HWND owner, const std::string& text, const char* title) {
  MessageBox(owner, text.c_str(), title, MB_OK | MB_ICONWARNING);
}

std::string systemtext(int code) {
  const char* t = std::strerror(code != 0 ? code : EIO);
  return std::string(t).substr(0, 300);
}

}  // namespace

int yyEditOpenFile(HWND frame, int quiet) {
  EditorRecord* r = yyeditrecord(frame);
  if (r == nullptr) return 0;
  r->protection = 0;
  std::string text;
  bool opened = false;
  errno = 0;
  const bool read = yyreadwholefile(r->filename, text, opened);
  const int code = errno;
  int result = 0;
  if (!opened) {
    if (!(quiet == 1 && (r->options & EO_QUIETOPEN) != 0)) warn(frame, systemtext(code), "Open Error");
  } else if (!read) {
    warn(frame, systemtext(code), "Read Error");
  } else {
    // NUL bytes show as blanks; a closing Ctrl+Z is no part of the text.
    for (char& c : text)
      if (c == '\0') c = ' ';
    if (!text.empty() && text.back() == '\x1a') text.pop_back();
    yyEditResetFormat(*r);
    const int saved = wIndex;
    wIndex = yygetwindowindex(frame);
    yyeditputrtf(static_cast<int>(text.size()), text);
    wIndex = saved;
    SendMessage(r->control, EM_SETSEL, 0, 0);
    SendMessage(r->control, EM_SCROLLCARET, 0, 0);
    SendMessage(r->control, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessage(r->control, EM_SETMODIFY, FALSE, 0);
    r->changed = 0;
    yyEditTitle(frame);
    result = 1;
  }
  if (opened) r->bookmark[static_cast<std::size_t>(r->current)] = -1;
  r->protection = 1;
  return result;
}

int yyEditSaveFile(HWND frame, int saveas) {
  EditorRecord* r = yyeditrecord(frame);
  if (r == nullptr) return 0;
  // Naming a file needs the file dialog of the standard dialogs, not yet on this platform:
  // an untitled text or Save As is not saved.
  if (saveas == 1 || r->filename.empty()) return 0;
  const std::string text = yyeditlogicaltext(*r);
  if ((r->options & EO_BACKUP) != 0) {
    std::string old;
    bool opened = false;
    if (yyreadwholefile(r->filename, old, opened)) {
      bool made = false;
      yyreplacefile(r->filename + ".bak", old, made);
    }
  }
  bool opened = false;
  const int code = yyreplacefile(r->filename, text, opened);
  if (code != 0) {
    warn(frame, systemtext(code), opened ? "Write Error" : "Open Error");
    return 0;
  }
  SendMessage(r->control, EM_SETMODIFY, FALSE, 0);
  yyEditTitle(frame);
  return 1;
}

int yyEditCheckSave(HWND frame, EditorRecord& r) {
  if (r.readonly || !r.maysave || SendMessage(r.control, EM_GETMODIFY, 0, 0) == 0) return 1;
  const std::string question = r.filename.empty() || (r.options & EO_NOFILENAME) != 0
                                   ? std::string("Do you want to save changes?")
                                   : "Do you want to save changes to " + r.filename + "?";
  switch (MessageBox(frame, question.c_str(), r.basetitle.c_str(), MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDCANCEL: return 0;
    case IDNO: return 1;
    default: return yyEditSaveFile(frame, 0);
  }
}
