#pragma once
// platform/native_dialogs.h: the desktop's own file, folder, page set-up and colour dialogs.
// The common dialogs of the layer (file_dialog.h, common_dialogs.h) fill a request and hand it
// to the entry here when a display backend has installed one; otherwise they run the layer's
// own dialog. Either way the caller gets the same answer: the desktop side only shows and
// asks, the rules (default extension, the questions of the flags, folder checks) are the
// layer's, reached through the request's accept function.
#include <functional>
#include <string>
#include <vector>

#include "platform/win.h"

namespace win::native {

struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;   // "*.tw", "*.*"
};

// Questions put while a dialog stays up, in the dialog's own look.
struct Questions {
  std::function<bool(const std::string& text, const std::string& title)> ask;   // Yes: true
  std::function<void(const std::string& text, const std::string& title)> tell;
};

// Paths and names are the system's (UTF-8); titles and filters are the layer's texts.
struct FileRequest {
  enum Kind { Open, Save, Folder } kind = Open;
  HWND owner = nullptr;
  std::string title;
  bool multiple = false;
  std::string folder;                 // absolute, existing
  std::string name;                   // offered name (save) or preselected file
  std::vector<FileFilter> filters;    // empty for folders
  int filter = 0;                     // 0-based, in and out
  // Judges the absolute paths chosen with filter in use; false keeps the dialog up. It may
  // change the paths (an extension appended) and put questions.
  std::function<bool(std::vector<std::string>& paths, int filter, const Questions& q)> accept;
  std::vector<std::string> paths;     // out: what accept took
};

struct PageRequest {
  HWND owner = nullptr;
  std::vector<std::string> printers;  // device names; printer: index in and out
  int printer = 0;
  std::vector<std::string> papers;    // paper names; paper: index in and out
  int paper = 0;
  bool landscape = false;             // in and out
  const char* unit = "mm";            // "mm" or "in", for the margins' label
  double margins[4] = {};             // left, top, right, bottom in unit, in and out
};

struct ColourRequest {
  HWND owner = nullptr;
  COLORREF colour = 0;                // in and out
  COLORREF custom[16] = {};           // in and out
};

// 1 chosen, 0 cancelled.
struct Dialogs {
  int (*file)(FileRequest& request) = nullptr;
  int (*page)(PageRequest& request) = nullptr;
  int (*colour)(ColourRequest& request) = nullptr;
};
inline Dialogs dialogs;

}  // namespace win::native
