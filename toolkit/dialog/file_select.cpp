// File selection: WSelectFile over the platform's open and save dialogs, with the toolkit's
// modal frame, the filter text rules and the current-directory rule.
#include <algorithm>
#include <string>

#include "platform/file_dialog.h"
#include "platform/os.h"
#include "platform/resource.h"
#include "toolkit/dialog/modal_frame.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"

namespace {

std::string trimmed(std::string_view s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}

std::string currentdirectory() {
  char buffer[4096] = {};
  int status = 0, toosmall = 0;
  win::yydirn(buffer, status, toosmall, static_cast<int>(sizeof buffer));
  return status == 0 ? std::string(buffer) : std::string();
}

}  // namespace

void yysplitp(std::string& path, std::string& name) {
  const std::size_t length = path.size();
  std::string p = path;
  p.erase(0, p.find_first_not_of(' '));
  p = trimmed(p);
  name.assign(name.size(), ' ');
  auto setname = [&](const std::string& n) {
    name.assign(name.size(), ' ');
    name.replace(0, std::min(n.size(), name.size()), n.substr(0, name.size()));
  };
  auto setpath = [&](const std::string& d) {
    path.assign(length, ' ');
    path.replace(0, std::min(d.size(), length), d.substr(0, length));
  };
  if (p.size() > 1 && p.ends_with("..")) {
    setpath(p);
    return;
  }
  const std::size_t k = p.rfind('/');
  if (k == std::string::npos) {
    // A name without a folder: the current directory stays the folder.
    setname(p);
    setpath("");
    return;
  }
  if (k + 1 == p.size()) {
    setpath(k == 0 ? p : p.substr(0, k));
    return;
  }
  setname(p.substr(k + 1));
  setpath(k == 0 ? std::string("/") : p.substr(0, k));
}

void yygetfiledialog(int filterid, int& filterindex, int save, int prompt, int pathmaybemissing, int multiple,
                     int defaultextension, int mustexist, int& answer, int& error, const char* title,
                     std::string& file, const char* initialdir, const char* filter) {
  std::string filters;
  // -1: the filter text given; another number: that string-table entry; 0 none.
  std::string f;
  if (filterid == -1 && filter != nullptr) {
    f = filter;
  } else if (filterid > 0) {
    char text[1001] = {};
    if (win::LoadString(nullptr, static_cast<win::UINT>(filterid), text, sizeof text) > 0) f = text;
    f = trimmed(f);
  }
  if (!f.empty()) {
    // The filter's last character separates its items.
    const char separator = f.back();
    std::replace(f.begin(), f.end(), separator, '\0');
    filters = f + std::string(1, '\0');
  }
  win::OPENFILENAME ofn;
  ofn.lpstrFilter = filters.empty() ? nullptr : filters.c_str();
  ofn.nFilterIndex = static_cast<win::DWORD>(std::max(filterindex, 1));
  std::string buffer = file;
  buffer.resize(std::max<std::size_t>(buffer.size(), 2), '\0');
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<win::DWORD>(buffer.size());
  ofn.lpstrInitialDir = initialdir;
  ofn.lpstrTitle = title;
  ofn.Flags = win::OFN_HIDEREADONLY | win::OFN_NOCHANGEDIR;
  if (save != 0 && prompt != 0) ofn.Flags |= win::OFN_OVERWRITEPROMPT;
  if (save == 0 && prompt != 0 && mustexist == 0) ofn.Flags |= win::OFN_CREATEPROMPT;
  if (pathmaybemissing == 0) ofn.Flags |= win::OFN_PATHMUSTEXIST;
  if (save == 0 && multiple != 0) ofn.Flags |= win::OFN_ALLOWMULTISELECT | win::OFN_EXPLORER;
  if (save == 0 && mustexist != 0) ofn.Flags |= win::OFN_FILEMUSTEXIST;
  ofn.lpstrDefExt = defaultextension != 0 ? "" : nullptr;

  win::BOOL ok = win::FALSE;
  yymodalframe([&](win::HWND owner) {
    ofn.hwndOwner = owner;
    ok = save != 0 ? win::GetSaveFileName(ofn) : win::GetOpenFileName(ofn);
  });
  if (ok) {
    answer = 1;
    error = 0;
    filterindex = static_cast<int>(ofn.nFilterIndex);
    file = buffer;
  } else {
    answer = 0;
    error = static_cast<int>(win::CommDlgExtendedError());
  }
}

void yywsfile(int filterid, std::string_view filter, int flags, std::string& filename, std::string_view title,
              int& filterindex, int snapshot) {
  DialogState& ds = tessar.dialog;
  if (snapshot != 0 && messageboxservices.snapshot != nullptr) messageboxservices.snapshot(1);
  std::string directory = filename;
  std::string name(filename.size(), ' ');
  yysplitp(directory, name);
  const std::string remembered = currentdirectory();
  std::string initial = trimmed(directory);
  if (initial.empty()) initial = remembered;
  std::string file = trimmed(name);
  // One file fits the caller's text or is refused in the dialog, never cut to fit;
  // several files come back whole and are cut as before.
  file.resize((flags & 16) != 0 ? std::max<std::size_t>(filename.size(), 4096) : filename.size() + 1, '\0');
  const std::string caption = trimmed(title).empty() ? std::string("Select File") : trimmed(title);
  const std::string filtertext(filter);
  int answer = 0, error = 0;
  yygetfiledialog(filterid, filterindex, flags & 1, (flags & 2) != 0 && (flags & 128) == 0 ? 1 : 0, (flags & 4) != 0,
                  (flags & 16) != 0, (flags & 32) != 0, (flags & 128) != 0, answer, error, caption.c_str(), file,
                  initial.c_str(), filtertext.c_str());
  ds.DLGANSWER = answer;
  if (answer == 1) {
    // The result ends at its first NUL, or with several files at the first pair of NULs.
    std::size_t end = file.find('\0');
    if ((flags & 16) != 0 && end != std::string::npos && end + 1 < file.size() && file[end + 1] != '\0') {
      const std::size_t pair = file.find(std::string(2, '\0'));
      end = pair == std::string::npos ? file.size() : pair;
    }
    std::string result = file.substr(0, end);
    filename.assign(filename.size(), ' ');
    filename.replace(0, std::min(result.size(), filename.size()), result.substr(0, filename.size()));
    // With flag 8 the folder of the chosen file becomes the current directory.
    if ((flags & 8) != 0) {
      const std::string folder = result.substr(0, std::min(result.find('\0'), result.rfind('/')));
      int status = 0;
      if (!folder.empty()) win::yydirc(folder.c_str(), status);
    }
  } else if (error > 0) {
    yyerror(1004, "WSelectFile");
  }
  if ((flags & 8) == 0 || answer != 1) {
    int status = 0;
    win::yydirc(remembered.c_str(), status);
  }
  if (snapshot != 0 && messageboxservices.snapshot != nullptr) messageboxservices.snapshot(0);
  ds.FOCUSFIELD = 0;
}

void WSelectFile(std::string_view filter, int flags, std::string& filename, std::string_view title, int* filterindex) {
  int index = filterindex != nullptr ? *filterindex : 1;
  std::string f = trimmed(filter).substr(0, 1000);
  yywsfile(-1, f, flags, filename, title, index, 1);
  if (filterindex != nullptr) *filterindex = index;
}
