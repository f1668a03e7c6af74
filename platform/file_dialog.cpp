// platform/file_dialog.cpp: the open and save file dialogs, modal dialogs of the layer's own
// controls over the folders and files of the file system.
// Invariant: folders, listed names and chosen paths are held as the system's names (UTF-8)
// while a dialog runs; what the caller gives is converted out at the start and what it gets
// back is converted in at the end (platform/codepage.h), and a name the code page cannot
// hold is refused while the dialog is still up.
#include "platform/file_dialog.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/combobox.h"
#include "platform/dialog_internal.h"
#include "platform/edit.h"
#include "platform/listbox.h"
#include "platform/message_box.h"
#include "platform/native_dialogs.h"
#include "platform/own_dialog.h"

namespace win {
namespace {

DWORD lasterror = 0;

constexpr int kFolderLabel = 1101, kFolder = 1102, kList = 1103, kNameLabel = 1104, kName = 1105,
              kTypeLabel = 1106, kType = 1107;

using Filter = native::FileFilter;

struct State {
  OPENFILENAME* ofn = nullptr;
  bool save = false;
  std::string folder;
  std::vector<Filter> filters;
  int filter = 0;
  std::vector<std::string> entries;   // the names the list shows: folders end in '/'
  std::vector<std::string> paths;     // the answer (system names)
  // The names last picked in the list and the text that put them in the name field: a name
  // the code page cannot hold shows with "?", so the field's text alone could not name it.
  std::vector<std::string> picked;
  std::string pickedText;
};

bool isdir(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool exists(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0;
}

std::string joined(const std::string& folder, const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// A path without "." and ".." parts and without a trailing separator.
std::string tidy(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= path.size()) {
    const std::size_t next = std::min(path.find('/', at), path.size());
    const std::string part = path.substr(at, next - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = next + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

// A system name as the layer's controls show it.
std::string shown(const std::string& name) { return cp1252FromUtf8Shown(name); }

std::vector<Filter> filtersof(LPCSTR text) {
  std::vector<Filter> out;
  for (const char* p = text; p != nullptr && *p != '\0';) {
    Filter f;
    f.description = p;
    p += f.description.size() + 1;
    const std::string patterns = p;
    p += patterns.size() + 1;
    std::size_t at = 0;
    while (at <= patterns.size()) {
      const std::size_t next = std::min(patterns.find(';', at), patterns.size());
      std::string one = patterns.substr(at, next - at);
      one.erase(0, one.find_first_not_of(' '));
      if (!one.empty()) f.patterns.push_back(one);
      at = next + 1;
    }
    out.push_back(f);
    if (patterns.empty() && f.description.empty()) break;
  }
  if (out.empty()) out.push_back({"All files", {"*"}});
  return out;
}

bool matches(const State& s, const std::string& name) {
  for (const std::string& p : s.filters[static_cast<std::size_t>(s.filter)].patterns)
    if (p == "*.*" || ::fnmatch(utf8FromCp1252(p).c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
  return false;
}

void fill(HWND dialog, State& s) {
  SetDlgItemText(dialog, kFolder, shown(s.folder).c_str());
  HWND list = GetDlgItem(dialog, kList);
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  s.entries.clear();
  std::vector<std::string> folders, files;
  if (DIR* d = ::opendir(s.folder.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name == "." || (name[0] == '.' && name != "..")) continue;
      if (isdir(joined(s.folder, name))) {
        if (name != ".." || s.folder != "/") folders.push_back(name + "/");
      } else if (matches(s, name)) {
        files.push_back(name);
      }
    }
    ::closedir(d);
  }
  std::sort(folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  for (const auto* group : {&folders, &files})
    for (const std::string& e : *group) {
      s.entries.push_back(e);
      SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown(e).c_str()));
    }
}

// A field's text as a system name.
std::string text(HWND dialog, int id) {
  char buffer[4096] = {};
  GetDlgItemText(dialog, id, buffer, sizeof buffer);
  return utf8FromCp1252(buffer);
}

// The names typed: one name, or several in double quotes.
std::vector<std::string> names(const std::string& typed) {
  std::vector<std::string> out;
  if (typed.find('"') == std::string::npos) {
    std::string t = typed;
    t.erase(0, t.find_first_not_of(' '));
    t.erase(t.find_last_not_of(' ') + 1);
    if (!t.empty()) out.push_back(t);
    return out;
  }
  for (std::size_t at = typed.find('"'); at != std::string::npos;) {
    const std::size_t end = typed.find('"', at + 1);
    if (end == std::string::npos) break;
    if (end > at + 1) out.push_back(typed.substr(at + 1, end - at - 1));
    at = typed.find('"', end + 1);
  }
  return out;
}

// The default extension: the caller's, or with an empty one the chosen type's first pattern
// when it names one ("*.tw" gives tw).
std::string defaultextension(const OPENFILENAME& ofn, const Filter& filter) {
  if (ofn.lpstrDefExt == nullptr) return {};
  if (ofn.lpstrDefExt[0] != '\0') return ofn.lpstrDefExt;
  for (const std::string& p : filter.patterns)
    if (p.size() > 2 && p.rfind("*.", 0) == 0 && p.find_first_of("*?", 2) == std::string::npos) return p.substr(2);
  return {};
}

native::Questions questionsof(HWND dialog) {
  return {[dialog](const std::string& question, const std::string& title) {
            return MessageBox(dialog, question.c_str(), title.c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
          },
          [dialog](const std::string& message, const std::string& title) {
            MessageBox(dialog, message.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
          }};
}

// The rules every dialog applies to the paths chosen (system names), whichever dialog showed:
// the default extension, names the program can hold and keep, the folder that must exist,
// and the questions the flags ask for. False keeps the dialog up.
bool judge(const OPENFILENAME& ofn, bool save, std::vector<std::string>& paths, const Filter& filter,
           const native::Questions& q) {
  const DWORD flags = ofn.Flags;
  const std::string ext = utf8FromCp1252(defaultextension(ofn, filter));
  for (std::string& path : paths) {
    const std::size_t slash = path.rfind('/');
    if (!ext.empty() && path.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos) path += "." + ext;
  }
  const char* title = save ? "Save As" : "Open";
  for (const std::string& system : paths) {
    std::string path;
    if (!cp1252FromUtf8Strict(system, path)) {
      q.tell(unusableNameMessage(system), title);
      return false;
    }
    // One path is the whole answer; the caller's buffer is what it can keep.
    if (paths.size() == 1 && path.size() + 1 > ofn.nMaxFile) {
      q.tell(path + "\nThis path is " + std::to_string(path.size()) + " characters long; the program keeps at most " +
                 std::to_string(ofn.nMaxFile - 1) + ".\nChoose a shorter name or folder.",
             title);
      return false;
    }
  }
  for (const std::string& system : paths) {
    const std::string path = shown(system);
    const std::string folder = system.substr(0, std::max<std::size_t>(system.rfind('/'), 1));
    if ((flags & OFN_PATHMUSTEXIST) != 0 && !isdir(folder)) {
      q.tell(path + "\nThe folder does not exist.\nCheck the path and try again.", save ? "Save As" : "Open");
      return false;
    }
    const bool there = exists(system);
    if (!save) {
      if (!there && (flags & OFN_FILEMUSTEXIST) != 0) {
        q.tell(path + "\nFile not found.\nCheck the file name and try again.", "Open");
        return false;
      }
      if (!there && (flags & OFN_CREATEPROMPT) != 0 &&
          !q.ask(path + "\nThis file does not exist.\nDo you want to create it?", "Open"))
        return false;
    } else if (there && (flags & OFN_OVERWRITEPROMPT) != 0 &&
               !q.ask(path + " already exists.\nDo you want to replace it?", "Save As")) {
      return false;
    }
  }
  return true;
}

// OK with what the name field holds: enter a folder, take a pattern, or choose.
bool accept(HWND dialog, State& s) {
  char field[4096] = {};
  GetDlgItemText(dialog, kName, field, sizeof field);
  const bool listed = !s.picked.empty() && s.pickedText == field;
  const std::vector<std::string> chosen = listed ? s.picked : names(utf8FromCp1252(field));
  if (chosen.empty()) {
    // An empty name with a folder typed in the folder field enters that folder.
    const std::string typed = tidy(joined(s.folder, text(dialog, kFolder)));
    if (typed != s.folder && isdir(typed)) {
      s.folder = typed;
      fill(dialog, s);
    }
    return false;
  }
  if (chosen.size() == 1) {
    const std::string path = tidy(joined(s.folder, chosen[0]));
    if (isdir(path)) {
      s.folder = path;
      SetDlgItemText(dialog, kName, "");
      fill(dialog, s);
      return false;
    }
    if (!listed && chosen[0].find_first_of("*?") != std::string::npos) {
      s.filters[static_cast<std::size_t>(s.filter)].patterns = {chosen[0]};
      fill(dialog, s);
      return false;
    }
  }
  std::vector<std::string> paths;
  for (const std::string& name : chosen) paths.push_back(tidy(joined(s.folder, name)));
  if (!judge(*s.ofn, s.save, paths, s.filters[static_cast<std::size_t>(s.filter)], questionsof(dialog))) return false;
  s.paths = paths;
  return true;
}

void layout(HWND dialog, State& s) {
  const bool multi = !s.save && (s.ofn->Flags & OFN_ALLOWMULTISELECT) != 0;
  const owndialog::Item items[] = {
      {kFolderLabel, "STATIC", "&Folder:", SS_LEFT, 8, 10, 70, 16},
      {kFolder, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 80, 8, 332, 20},
      {kList, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | (multi ? LBS_EXTENDEDSEL : 0), 8, 34, 404, 200},
      {kNameLabel, "STATIC", "File &name:", SS_LEFT, 8, 246, 70, 16},
      {kName, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 80, 244, 240, 20},
      {kTypeLabel, "STATIC", "Files of &type:", SS_LEFT, 8, 276, 70, 16},
      {kType, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 80, 272, 240, 120},
      {IDOK, "BUTTON", s.save ? "&Save" : "&Open", WS_TABSTOP | BS_DEFPUSHBUTTON, 332, 243, 80, 22},
      {IDCANCEL, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 332, 271, 80, 22},
  };
  owndialog::build(dialog, items, 420, 302);
  for (const Filter& f : s.filters)
    SendMessage(GetDlgItem(dialog, kType), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
  SendMessage(GetDlgItem(dialog, kType), CB_SETCURSEL, static_cast<WPARAM>(s.filter), 0);
  fill(dialog, s);
}

INT_PTR proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  State* s = reinterpret_cast<State*>(GetWindowLongPtr(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      s = reinterpret_cast<State*>(lParam);
      SetWindowLongPtr(dialog, DWLP_USER, lParam);
      SetWindowText(dialog, s->ofn->lpstrTitle != nullptr ? s->ofn->lpstrTitle : (s->save ? "Save As" : "Open"));
      layout(dialog, *s);
      std::string initial = s->ofn->lpstrFile != nullptr ? s->ofn->lpstrFile : "";
      SetDlgItemText(dialog, kName, initial.c_str());
      SendMessage(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kName)), TRUE);
      return FALSE;
    }
    case WM_COMMAND: {
      if (s == nullptr) return FALSE;
      const int id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == IDOK) {
        if (accept(dialog, *s)) EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      if (id == kType && code == CBN_SELCHANGE) {
        s->filter = static_cast<int>(SendMessage(GetDlgItem(dialog, kType), CB_GETCURSEL, 0, 0));
        s->filters = filtersof(s->ofn->lpstrFilter);
        if (s->filter < 0 || s->filter >= static_cast<int>(s->filters.size())) s->filter = 0;
        fill(dialog, *s);
        return TRUE;
      }
      if (id == kList && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
        HWND list = GetDlgItem(dialog, kList);
        std::vector<int> picked;
        if (!s->save && (s->ofn->Flags & OFN_ALLOWMULTISELECT) != 0) {
          const int n = static_cast<int>(SendMessage(list, LB_GETSELCOUNT, 0, 0));
          picked.resize(static_cast<std::size_t>(std::max(n, 0)));
          if (n > 0) SendMessage(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(picked.data()));
        } else {
          const int i = static_cast<int>(SendMessage(list, LB_GETCURSEL, 0, 0));
          if (i >= 0) picked.push_back(i);
        }
        std::vector<std::string> chosen;
        for (int i : picked)
          if (i >= 0 && i < static_cast<int>(s->entries.size())) chosen.push_back(s->entries[static_cast<std::size_t>(i)]);
        if (chosen.size() == 1 && chosen[0].back() == '/') {
          if (code == LBN_DBLCLK) {
            s->folder = tidy(joined(s->folder, chosen[0]));
            fill(dialog, *s);
          }
          return TRUE;
        }
        std::string name;
        s->picked.clear();
        for (const std::string& c : chosen)
          if (c.back() != '/') s->picked.push_back(c);
        if (s->picked.size() == 1) {
          name = shown(s->picked[0]);
        } else {
          for (const std::string& c : s->picked) name += (name.empty() ? "\"" : " \"") + shown(c) + "\"";
        }
        s->pickedText = name;
        SetDlgItemText(dialog, kName, name.c_str());
        if (code == LBN_DBLCLK && accept(dialog, *s)) EndDialog(dialog, IDOK);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

// The answer into the caller's buffer: the path, or with several files the folder, a NUL,
// each name with a NUL, and a second NUL. A result that does not fit is a failure.
BOOL finish(OPENFILENAME& ofn, const std::vector<std::string>& systempaths, int filter) {
  if (systempaths.empty()) return FALSE;
  std::vector<std::string> paths(systempaths.size());
  for (std::size_t i = 0; i < paths.size(); ++i)
    if (!cp1252FromUtf8Strict(systempaths[i], paths[i])) return FALSE;   // judged before: never here
  const std::string first = paths[0];
  const std::string folder = first.substr(0, std::max<std::size_t>(first.rfind('/'), 1));
  const std::string systemfolder = utf8FromCp1252(folder);
  std::string result;
  if (paths.size() == 1) {
    result = first;
  } else {
    result = folder;
    result += '\0';
    for (const std::string& p : paths) {
      result += p.substr(p.rfind('/') + 1);
      result += '\0';
    }
  }
  const std::size_t need = result.size() + (paths.size() > 1 ? 2 : 1);
  if (need > ofn.nMaxFile) {
    lasterror = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  std::copy(result.begin(), result.end(), ofn.lpstrFile);
  ofn.lpstrFile[result.size()] = '\0';
  if (need > result.size() + 1) ofn.lpstrFile[result.size() + 1] = '\0';
  ofn.nFilterIndex = static_cast<DWORD>(filter + 1);
  if ((ofn.Flags & OFN_NOCHANGEDIR) == 0 && ::chdir(systemfolder.c_str()) != 0) {
    // The chosen folder exists; failing to enter it leaves the current one.
  }
  return TRUE;
}

BOOL run(OPENFILENAME& ofn, bool save) {
  lasterror = 0;
  if (ofn.lpstrFile == nullptr || ofn.nMaxFile == 0) {
    lasterror = CDERR_INITIALIZATION;
    return FALSE;
  }
  State s;
  s.ofn = &ofn;
  s.save = save;
  s.filters = filtersof(ofn.lpstrFilter);
  s.filter = std::clamp(static_cast<int>(ofn.nFilterIndex) - 1, 0, static_cast<int>(s.filters.size()) - 1);
  char cwd[4096] = {};
  const std::string here = ::getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/";
  s.folder = ofn.lpstrInitialDir != nullptr && ofn.lpstrInitialDir[0] != '\0' ? tidy(joined(here, utf8FromCp1252(ofn.lpstrInitialDir))) : here;
  if (!isdir(s.folder)) s.folder = here;
  if (native::dialogs.file != nullptr) {
    // The desktop's own chooser, judged by the same rules.
    native::FileRequest r;
    r.kind = save ? native::FileRequest::Save : native::FileRequest::Open;
    r.owner = ofn.hwndOwner;
    r.title = ofn.lpstrTitle != nullptr ? ofn.lpstrTitle : (save ? "Save As" : "Open");
    r.multiple = !save && (ofn.Flags & OFN_ALLOWMULTISELECT) != 0;
    r.folder = s.folder;
    r.name = utf8FromCp1252(ofn.lpstrFile);
    r.filters = s.filters;
    r.filter = s.filter;
    r.accept = [&](std::vector<std::string>& paths, int filter, const native::Questions& q) {
      const int f = std::clamp(filter, 0, static_cast<int>(s.filters.size()) - 1);
      return judge(ofn, save, paths, s.filters[static_cast<std::size_t>(f)], q);
    };
    if (native::dialogs.file(r) != 1) return FALSE;
    return finish(ofn, r.paths, std::clamp(r.filter, 0, static_cast<int>(s.filters.size()) - 1));
  }
  if (owndialog::run(ofn.hwndOwner, proc, &s) != IDOK) return FALSE;
  return finish(ofn, s.paths, s.filter);
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME& ofn) { return run(ofn, false); }
BOOL GetSaveFileName(OPENFILENAME& ofn) { return run(ofn, true); }
DWORD CommDlgExtendedError() { return lasterror; }

}  // namespace win
