// The editor's files: loading a file into the current buffer (plain text, or RTF in a
// rich-text editor), saving it (replacing the old file in one step, with an optional ".bak"
// copy first) and the question about unsaved text.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <strings.h>
#include <string>

#include "platform/file_dialog.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/os.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/os/opsys.h"

using namespace win;

namespace {

bool haschild(HWND h) { return (GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0; }

void warn(HWND owner, const std::string& text, const char* title) {
  MessageBox(owner, text.c_str(), title, MB_OK | MB_ICONWARNING);
}

// The system's text for a code of the OS layer.
std::string codetext(int code) {
  char text[301] = {};
  win::yyerrorstr(code != 0 ? code : win::ERROR_GEN_FAILURE, text, sizeof text);
  return text;
}

// Why a file could not be opened or saved: a folder is named as one (the system's own text
// for it, "Permission denied", would send the user to the permissions).
std::string failuretext(const std::string& path, int code) {
  win::FileFacts facts;
  int status = 0;
  win::yyfilefacts(path.c_str(), facts, status);
  if (code != 0 && status == 0 && facts.folder) return path + " is a folder, not a file.";
  return codetext(code);
}

// The most a file may hold to come into the editor at all: the control and the programming
// interface count in 32 bits.
constexpr std::int64_t kLargestFile = 0x7FFFFFFF;

std::string cutnotice(const std::string& path, long long limit) {
  return "Only the first " + std::to_string(limit) + " characters of " + path +
         " fit in the editor; the rest of the file is not shown. Saving over the file would lose the rest.";
}

const EditorRecord::GuardedFile* guardof(const EditorRecord& r, const std::string& path) {
  for (const EditorRecord::GuardedFile& g : r.guarded)
    if (g.path == path) return &g;
  return nullptr;
}

void guard(EditorRecord& r, const std::string& path, int code) {
  std::erase_if(r.guarded, [&](const EditorRecord::GuardedFile& g) { return g.path == path; });
  if (code >= 0) r.guarded.push_back({path, code});
}

}  // namespace

bool yyEditIsRTF(const EditorRecord& r) {
  if (!r.richtext) return false;
  const std::string& n = r.filename;
  return n.size() >= 4 && strcasecmp(n.c_str() + n.size() - 4, ".rtf") == 0;
}

int yyEditOpenFile(HWND frame, int quiet) {
  EditorRecord* r = yyeditrecord(frame);
  if (r == nullptr) return 0;
  r->protection = 0;
  // The file stays open while it is in the editor, so that no other program writes it.
  int& lock = r->lockfile[static_cast<std::size_t>(r->current)];
  yyunlockfile(lock);
  const int lockcode = yylockfile(r->filename, lock);
  const bool rtf = yyEditIsRTF(*r);
  const auto limit = static_cast<std::int64_t>(SendMessage(r->control, EM_GETLIMITTEXT, 0, 0));
  std::string text;
  bool opened = false;
  std::int64_t size = 0;
  // Plain text needs no more than two bytes a character (a line end is two): the rest of a
  // huge file would only be cut off again.
  const int code = lockcode != 0 ? lockcode
                                 : yyreadfile(r->filename, text, opened, size, rtf ? kLargestFile : 2 * limit + 2, kLargestFile);
  int result = 0;
  // A file that is there but did not load is never saved over by its name (a missing one
  // is a new file, which the save makes).
  guard(*r, r->filename, code == win::ERROR_FILE_NOT_FOUND || code == win::ERROR_PATH_NOT_FOUND ? -1 : code);
  if (lockcode != 0 || !opened || code == win::ERROR_FILE_TOO_LARGE) {
    if (!(quiet == 1 && (r->options & EO_QUIETOPEN) != 0))
      warn(frame, failuretext(r->filename, code), "Open Error");
    yyunlockfile(lock);
  } else if (code != 0) {
    warn(frame, failuretext(r->filename, code), "Read Error");
    yyunlockfile(lock);
  } else {
    const bool partial = static_cast<std::int64_t>(text.size()) < size;
    // NUL bytes show as blanks; a closing Ctrl+Z is no part of the text.
    if (!rtf) {
      std::replace(text.begin(), text.end(), '\0', ' ');
      if (!partial && !text.empty() && text.back() == '\x1a') text.pop_back();
    }
    yyEditResetFormat(*r);
    // A plain file is text even where it starts like RTF. The control says when the text
    // did not fit (EN_MAXTEXT).
    r->maxtext = false;
    yyeditstreamin(*r, text, rtf);
    const bool cut = partial || r->maxtext;
    text = std::string();
    SendMessage(r->control, EM_SETSEL, 0, 0);
    SendMessage(r->control, EM_SCROLLCARET, 0, 0);
    SendMessage(r->control, EM_EMPTYUNDOBUFFER, 0, 0);
    yyedittoolbarundo(*r);
    SendMessage(r->control, EM_SETMODIFY, FALSE, 0);
    r->changed = 0;
    yyEditTitle(frame);
    // Saving the text shown over a cut file would destroy the rest of it: the save asks.
    guard(*r, r->filename, cut ? 0 : -1);
    if (cut) warn(frame, cutnotice(r->filename, limit), "File Too Large");
    result = 1;
  }
  if (opened) r->bookmark[static_cast<std::size_t>(r->current)] = -1;
  if (r->readonly) yyunlockfile(lock);
  r->protection = 1;
  return result;
}

void yyEditCloseFile(HWND frame) {
  if (EditorRecord* r = yyeditrecord(frame)) yyunlockfile(r->lockfile[static_cast<std::size_t>(r->current)]);
}

int yyEditFileDialog(HWND frame, EditorRecord& r, bool save, std::string& path) {
  // The editor's filter, or the text files of its kind.
  std::string filter = r.filter;
  if (filter.empty()) filter = r.richtext ? std::string("Rich Text Files (*.RTF)\0*.rtf\0", 30) : std::string("Text Files (*.TXT)\0*.txt\0", 26);
  filter += '\0';
  // A path the editor keeps whole (260 characters) or none: the dialog refuses a longer one.
  std::string buffer = save ? r.filename : path;
  buffer.resize(kEditorPathLength + 1, '\0');
  OPENFILENAME ofn;
  ofn.hwndOwner = frame;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(std::max(r.filterindex[static_cast<std::size_t>(r.current)], 1));
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
  ofn.lpstrDefExt = "";
  if (r.mode == 2) yyDisableDialogs(frame, 1);
  const BOOL ok = save ? GetSaveFileName(ofn) : GetOpenFileName(ofn);
  if (r.mode == 2) yyEnableDialogs(frame, 1);
  if (haschild(frame)) {
    SetFocus(frame);
    yytitlecolour(frame);
  }
  if (!ok) return 0;
  path = buffer.substr(0, buffer.find('\0'));
  r.filterindex[static_cast<std::size_t>(r.current)] = static_cast<int>(ofn.nFilterIndex);
  return 1;
}

int yyEditSaveFile(HWND frame, int saveas) {
  EditorRecord* r = yyeditrecord(frame);
  if (r == nullptr) return 0;
  bool chosen = false;
  if (saveas == 1 || r->filename.empty()) {
    chosen = true;
    std::string path;
    if (yyEditFileDialog(frame, *r, true, path) == 0) return 0;
    r->filename = path;
    const int w = yygetwindowindex(frame);
    yyeditstorebuffername(w, r->current, r->filename);
    if (r->view != nullptr)
      ModifyMenu(r->view, static_cast<UINT>(r->current - 1), MF_BYPOSITION | MF_STRING,
                 static_cast<UINT_PTR>(ED_VIEW + r->current), yyeditviewentry(r->current, r->filename).c_str());
    yyEditTitle(frame);
  }
  if (const EditorRecord::GuardedFile* g = guardof(*r, r->filename)) {
    if (g->code != 0 && !chosen) {
      warn(frame, failuretext(r->filename, g->code), "Open Error");
      return 0;
    }
    const std::string question = r->filename +
        " was cut when it was loaded. Saving replaces the whole file with the text shown, and the rest of the file is lost. Save it anyway?";
    if (g->code == 0 && MessageBox(frame, question.c_str(), "File Too Large", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
      return 0;
  }
  const std::string text = yyeditstreamout(*r, yyEditIsRTF(*r));
  if ((r->options & EO_BACKUP) != 0) {
    std::string old;
    bool opened = false;
    if (yyreadwholefile(r->filename, old, opened)) {
      // A user who asked for backups decides whether the file is replaced without one (a
      // name of over 251 bytes has no room for ".bak" in a folder entry). A file that does
      // not exist yet needs none.
      const std::string backup = r->filename + ".bak";
      bool made = false;
      if (const int code = yyreplacefile(backup, old, made); code != 0) {
        const std::string question = "The backup copy " + backup + " could not be made: " + failuretext(backup, code) +
                                     "\rSave " + r->filename + " without a backup copy?";
        if (MessageBox(frame, question.c_str(), "Backup Error", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
          return 0;
      }
    }
  }
  // The lock comes off while the file is replaced and goes on the new file afterwards, also
  // when writing failed.
  yyEditCloseFile(frame);
  bool opened = false;
  const int code = yyreplacefile(r->filename, text, opened);
  if (!r->readonly) yylockfile(r->filename, r->lockfile[static_cast<std::size_t>(r->current)]);
  if (code != 0) {
    warn(frame, failuretext(r->filename, code), opened ? "Write Error" : "Open Error");
    return 0;
  }
  guard(*r, r->filename, -1);  // the file now holds the editor's text
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
