// toolkit/startup/help.cpp: help files opened in the viewer their name chooses.
//
// Viewers are separate processes that outlive the call. Their command lines run through
// the shell, so every file name and address is passed as one single-quoted word: names
// with blanks, "$" or "&" reach the viewer unchanged and are never run as commands.
#include "toolkit/startup/help.h"

#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/os/opsys.h"
#include "toolkit/startup/info.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

// Process groups of the compiled-help viewers started since help was last closed.
std::vector<int>& viewers() {
  static std::vector<int> groups;
  return groups;
}

std::string shellWord(std::string_view text) {
  std::string word = "'";
  for (char c : text) {
    if (c == '\'')
      word += "'\\''";
    else
      word += c;
  }
  return word + "'";
}

bool endsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool startsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

bool fileExists(const std::string& name) {
  int size = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, attributes = 0, kb = 0;
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, name.c_str());
  return size != -1 && (attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string trimmed(std::string_view text) {
  return std::string(text.substr(0, static_cast<std::size_t>(lentrim(text))));
}

// The help file by its full path, else beside the program; empty when neither exists.
std::string findHelpFile(const std::string& name) {
  std::string full(1024, ' ');
  IOsFullPathname(name, full);
  full = trimmed(full);
  if (!full.empty() && fileExists(full)) return full;
  std::string program(1024, ' ');
  iosargument(0, program);
  program = trimmed(program);
  const auto slash = program.find_last_of(tessar.files.PATHSEP);
  const std::string beside = (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) + name;
  if (fileExists(beside)) return beside;
  return {};
}

// Runs a viewer's command line without waiting; false when it did not start.
bool startViewer(const std::string& command, int* group = nullptr) {
  int result = 0, started = 0;
  win::yyexecgroup(result, command.c_str(), started);
  if (group) *group = started;
  return result > 32;
}

}  // namespace

void yyhelphlp(int mode, int popup, int topic, int& status, const char* file,
               const char* keyword) {
  // The Windows help engine has no counterpart: the viewer call fails.
  status = 1030;
}

void yyhelpchm(int mode, int popup, int topic, int& status, const char* file,
               const char* keyword) {
  std::string viewer;
  if (!win::findprogram("xchm", viewer)) {
    status = 1081;
    return;
  }
  // A topic address "ms-its:<file>::/<topic>" becomes the viewer's "file:<file>#xchm:/<topic>".
  std::string target = file ? file : "";
  if (startsWith(target, "ms-its:")) {
    const auto sep = target.find("::/");
    target = "file:" + target.substr(7, sep - 7) + "#xchm:/" + target.substr(sep + 3);
  }
  // A topic by number is the viewer's context identifier.
  const std::string context =
      mode == 2 && !startsWith(target, "file:") ? " --contextid=" + std::to_string(topic) : "";
  int group = 0;
  if (!startViewer(shellWord(viewer) + context + " " + shellWord(target), &group)) {
    status = 1030;
    return;
  }
  viewers().push_back(group);
  status = 0;
}

namespace {
// The program the desktop opens file with; false, with status 1 (no association) or 1030
// (the query failed), when there is none.
bool associatedProgram(const char* file, std::string& program, int& status) {
  std::vector<char> name(1024, '\0');
  int assoc = 0;
  win::yyassocexe(assoc, file, name.data(), static_cast<int>(name.size()));
  if (assoc != 0) {
    status = assoc == 1 ? 1 : 1030;
    return false;
  }
  program = name.data();
  return true;
}
}  // namespace

void yyhelphtm(int mode, int topic, int& status, const char* file, const char* topictext,
               const char* webaddress) {
  std::string browser;
  if (!associatedProgram(file, browser, status)) return;
  const std::string name = browser.substr(browser.find_last_of('/') + 1);
  // Only browsers known to take an anchor with the address keep it in modes 2 and 4.
  if ((mode == 2 || mode == 4) && !(startsWith(name, "net") || startsWith(name, "mozilla")))
    mode -= 1;
  std::string target = (mode == 1 || mode == 2) ? "file://" + std::string(file) : webaddress;
  if (mode == 2 || mode == 4 || topic > 0) target.append("#").append(topictext);
  status = startViewer(shellWord(browser) + " " + shellWord(target)) ? 0 : 1030;
}

void yyhelppdf(int& status, const char* file) {
  std::string program;
  if (!associatedProgram(file, program, status)) return;
  status = startViewer(shellWord(program) + " " + shellWord(file)) ? 0 : 1030;
}

void yyhelpclose() {
  for (int group : viewers()) win::yyendgroup(group);
  viewers().clear();
}

void yyhelp(std::string_view file, int topic, std::string_view topictext, int popup,
            int keyword) {
  std::string given(513, ' ');
  assignfixed(given, file);
  std::string work = given;
  ilowercase(work);
  const int first = ilocatechar(work);
  const int last = lentrim(work);
  int kind = -1;
  bool web = false, topicaddress = false;
  std::string name, topicpart;  // as the caller wrote them
  if (last == 0) {
    kind = 0;
  } else {
    const std::size_t f = static_cast<std::size_t>(first - 1);
    const std::string lower = work.substr(f, static_cast<std::size_t>(last) - f);
    const std::string text = given.substr(f, static_cast<std::size_t>(last) - f);
    const auto chm = lower.find(".chm::/", 7);
    if (startsWith(lower, "ms-its:") && chm != std::string::npos) {
      kind = 2;
      topicaddress = true;
      name = text.substr(7, chm + 4 - 7);
      topicpart = text.substr(chm + 7);
    } else if (endsWith(lower, ".hlp")) {
      kind = 1;
    } else if (endsWith(lower, ".chm") || endsWith(lower, ".col")) {
      kind = 2;
    } else if (startsWith(lower, "http://")) {
      kind = 3;
      web = true;
    } else if (endsWith(lower, ".htm") || endsWith(lower, ".html")) {
      kind = 3;
    } else if (endsWith(lower, ".pdf")) {
      kind = 4;
    }
    if (!topicaddress) name = text;
    if (kind == 3 && !web && startsWith(lower, "file://")) name = name.substr(7);
  }

  std::string found;
  if (kind >= 1 && kind <= 4 && !web) {
    found = findHelpFile(name);
    if (found.empty()) {
      yyerror(1, "WHelpFile");
      return;
    }
    if (topicaddress) found = "ms-its:" + found.substr(0, 506) + "::/" + topicpart;
  }

  const std::string topicstring(topictext.substr(0, static_cast<std::size_t>(lentrim(topictext))));
  int status = 0;
  switch (kind) {
    case 0:
      yyhelpclose();
      return;
    case 1: {
      int mode = 2;
      if (topic == -1) {
        const std::string contents = found.substr(0, found.size() - 3) + "cnt";
        mode = keyword != 1 ? 3 : fileExists(contents) ? 1 : 4;
      }
      yyhelphlp(mode, popup, topic, status, found.c_str(), topicstring.c_str());
      break;
    }
    case 2: {
      const int mode = topic != -1 ? 2 : keyword == 1 ? 1 : 3;
      yyhelpchm(mode, popup, topic, status, found.c_str(), topicstring.c_str());
      break;
    }
    case 3: {
      std::string temppage;
      int mode = keyword;
      if (web) {
        mode = keyword + 2;
        std::string dir(260, ' ');
        WInfoFilename(10, dir);
        temppage = trimmed(dir) + "$$tmp$$.htm";
        int handle = -1, opened = 0, written = 0;
        win::yyopen(temppage.c_str(), 1, handle, opened);
        if (opened != 0) {
          yyerror(1030, "WHelpFile");
          return;
        }
        const std::string line = "Temporary Tessaraweld file. Please delete.\n";
        win::yywritc(handle, line.data(), static_cast<int>(line.size()), written, opened);
        win::yyclos(handle);
        found = temppage;
      } else {
        for (char& c : found)
          if (c == '\\') c = '/';
      }
      yyhelphtm(mode, topic, status, found.c_str(), topicstring.c_str(), name.c_str());
      if (!temppage.empty()) IOsDeleteFile(temppage);
      break;
    }
    case 4:
      yyhelppdf(status, found.c_str());
      break;
    default:
      status = 1031;
      break;
  }
  if (status != 0) yyerror(status, "WHelpFile");
}

void WHelpFile(std::string_view file, std::optional<int> topic, std::optional<int> popup) {
  const int t = topic.value_or(-1);
  std::string text(11, ' ');
  IntegerToString(t, text, "(I11)");
  const auto at = text.find_first_not_of(' ');
  const std::string topictext = at == std::string::npos ? std::string() : text.substr(at);
  yyhelp(file, t, topictext, popup.value_or(0), 1);
}
