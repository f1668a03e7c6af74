// platform/file_dialog.cpp: the open and save file dialogs, modal dialogs of the layer's own
// controls over the folders and files of the file system.
#include "platform/file_dialog.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/combobox.h"
#include "platform/dialog_internal.h"
#include "platform/edit.h"
#include "platform/listbox.h"
#include "platform/message_box.h"

namespace win {
namespace {

DWORD lasterror = 0;

constexpr int kFolderLabel = 1101, kFolder = 1102, kList = 1103, kNameLabel = 1104, kName = 1105,
              kTypeLabel = 1106, kType = 1107;

struct Filter {
  std::string description;
  std::vector<std::string> patterns;
};

struct State {
  OPENFILENAME* ofn = nullptr;
  bool save = false;
  std::string folder;
  std::vector<Filter> filters;
  int filter = 0;
  std::vector<std::string> entries;   // what the list shows: folders end in '/'
  std::string result;                 // the answer, NUL-separated for several files
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
    if (p == "*.*" || ::fnmatch(p.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
  return false;
}

void fill(HWND dialog, State& s) {
  SetDlgItemText(dialog, kFolder, s.folder.c_str());
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
      SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
    }
}

std::string text(HWND dialog, int id) {
  char buffer[4096] = {};
  GetDlgItemText(dialog, id, buffer, sizeof buffer);
  return buffer;
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
std::string defaultextension(const State& s) {
  if (s.ofn->lpstrDefExt == nullptr) return {};
  if (s.ofn->lpstrDefExt[0] != '\0') return s.ofn->lpstrDefExt;
  for (const std::string& p : s.filters[static_cast<std::size_t>(s.filter)].patterns)
    if (p.size() > 2 && p.rfind("*.", 0) == 0 && p.find_first_of("*?", 2) == std::string::npos) return p.substr(2);
  return {};
}

bool ask(HWND dialog, const std::string& question, const std::string& title) {
  return MessageBox(dialog, question.c_str(), title.c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

void tell(HWND dialog, const std::string& message, const std::string& title) {
  MessageBox(dialog, message.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
}

// OK with what the name field holds: enter a folder, take a pattern, or choose.
bool accept(HWND dialog, State& s) {
  const DWORD flags = s.ofn->Flags;
  const std::vector<std::string> chosen = names(text(dialog, kName));
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
    if (chosen[0].find_first_of("*?") != std::string::npos) {
      s.filters[static_cast<std::size_t>(s.filter)].patterns = {chosen[0]};
      fill(dialog, s);
      return false;
    }
  }
  std::vector<std::string> paths;
  for (std::string name : chosen) {
    const std::string ext = defaultextension(s);
    const std::size_t slash = name.rfind('/');
    if (!ext.empty() && name.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos) name += "." + ext;
    paths.push_back(tidy(joined(s.folder, name)));
  }
  for (const std::string& path : paths) {
    const std::string folder = path.substr(0, std::max<std::size_t>(path.rfind('/'), 1));
    if ((flags & OFN_PATHMUSTEXIST) != 0 && !isdir(folder)) {
      tell(dialog, path + "\nThe folder does not exist.\nCheck the path and try again.", s.save ? "Save As" : "Open");
      return false;
    }
    const bool there = exists(path);
    if (!s.save) {
      if (!there && (flags & OFN_FILEMUSTEXIST) != 0) {
        tell(dialog, path + "\nFile not found.\nCheck the file name and try again.", "Open");
        return false;
      }
      if (!there && (flags & OFN_CREATEPROMPT) != 0 &&
          !ask(dialog, path + "\nThis file does not exist.\nDo you want to create it?", "Open"))
        return false;
    } else if (there && (flags & OFN_OVERWRITEPROMPT) != 0 &&
               !ask(dialog, path + " already exists.\nDo you want to replace it?", "Save As")) {
      return false;
    }
  }
  if (paths.size() == 1) {
    s.result = paths[0];
  } else {
    s.result = s.folder;
    s.result += '\0';
    for (const std::string& p : paths) {
      s.result += p.substr(p.rfind('/') + 1);
      s.result += '\0';
    }
  }
  if (paths.size() == 1) s.folder = paths[0].substr(0, std::max<std::size_t>(paths[0].rfind('/'), 1));
  return true;
}

void layout(HWND dialog, State& s) {
  HFONT font = reinterpret_cast<HFONT>(SendMessage(dialog, WM_GETFONT, 0, 0));
  const bool multi = !s.save && (s.ofn->Flags & OFN_ALLOWMULTISELECT) != 0;
  struct Item {
    int id;
    const char* cls;
    const char* text;
    DWORD style;
    int x, y, w, h;
  };
  const Item items[] = {
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
  for (const Item& it : items) {
    HWND c = CreateWindowEx(WS_EX_NOPARENTNOTIFY, it.cls, it.text, WS_CHILD | WS_VISIBLE | it.style, it.x, it.y, it.w, it.h,
                            dialog, reinterpret_cast<HMENU>(static_cast<LONG_PTR>(it.id)), nullptr, nullptr);
    if (c != nullptr && font != nullptr) SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  for (const Filter& f : s.filters)
    SendMessage(GetDlgItem(dialog, kType), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
  SendMessage(GetDlgItem(dialog, kType), CB_SETCURSEL, static_cast<WPARAM>(s.filter), 0);
  RECT frame{0, 0, 420, 302};
  AdjustWindowRectEx(frame, static_cast<DWORD>(GetWindowLong(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLong(dialog, GWL_EXSTYLE)));
  int sw = 0, sh = 0;
  sw = GetSystemMetrics(SM_CXSCREEN);
  sh = GetSystemMetrics(SM_CYSCREEN);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, std::max(0, (sw - w) / 2), std::max(0, (sh - h) / 2), w, h, SWP_NOZORDER | SWP_NOACTIVATE);
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
        if (chosen.size() == 1) {
          name = chosen[0];
        } else {
          for (const std::string& c : chosen)
            if (c.back() != '/') name += (name.empty() ? "\"" : " \"") + c + "\"";
        }
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

std::vector<WORD> dialogtemplate() {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_NOIDLEMSG;
  const DWORD ex = WS_EX_DLGMODALFRAME;
  std::vector<WORD> t = {static_cast<WORD>(style & 0xFFFF), static_cast<WORD>(style >> 16),
                         static_cast<WORD>(ex & 0xFFFF), static_cast<WORD>(ex >> 16), 0, 0, 0, 280, 200, 0, 0, 0, 8};
  for (const char* f = "MS Sans Serif"; *f; ++f) t.push_back(static_cast<WORD>(*f));
  t.push_back(0);
  return t;
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
  s.folder = ofn.lpstrInitialDir != nullptr && ofn.lpstrInitialDir[0] != '\0' ? tidy(joined(here, ofn.lpstrInitialDir)) : here;
  if (!isdir(s.folder)) s.folder = here;
  RegisterDialogClasses();
  const std::vector<WORD> t = dialogtemplate();
  const INT_PTR r = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), ofn.hwndOwner, proc,
                                           reinterpret_cast<LPARAM>(&s));
  if (r != IDOK) return FALSE;
  // Several names end with a second NUL; a result that does not fit is a failure.
  const std::size_t need = s.result.size() + (s.result.find('\0') != std::string::npos ? 2 : 1);
  if (need > ofn.nMaxFile) {
    lasterror = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  std::copy(s.result.begin(), s.result.end(), ofn.lpstrFile);
  ofn.lpstrFile[s.result.size()] = '\0';
  if (need > s.result.size() + 1) ofn.lpstrFile[s.result.size() + 1] = '\0';
  ofn.nFilterIndex = static_cast<DWORD>(s.filter + 1);
  if ((ofn.Flags & OFN_NOCHANGEDIR) == 0 && ::chdir(s.folder.c_str()) != 0) {
    // The chosen folder exists; failing to enter it leaves the current one.
  }
  return TRUE;
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME& ofn) { return run(ofn, false); }
BOOL GetSaveFileName(OPENFILENAME& ofn) { return run(ofn, true); }
DWORD CommDlgExtendedError() { return lasterror; }

}  // namespace win
