// toolkit/os/opsys.cpp: the operating-system front routines, dates, command-line words and
// option letters.
// Invariant: the command-line cache is filled once and kept.
// Each routine turns fixed-length text into the NUL-terminated form the platform wrappers
// take, and records a failure with the system's code in the error record's detail words
// (ERRDETAIL with ERRDETAILKIND 2 for raw files, ERRSTATUS for the path services).
#include "toolkit/os/opsys.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

// The text without trailing blanks.
std::string trimmed(std::string_view text) {
  return std::string(text.substr(0, static_cast<std::size_t>(lentrim(text))));
}

// The text from its first visible character to its last non-blank one.
std::string visible(std::string_view text) {
  std::size_t first = 0;
  const std::size_t last = static_cast<std::size_t>(lentrim(text));
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  return std::string(text.substr(first, last - first));
}

bool isBlank(std::string_view text) { return lentrim(text) == 0; }

void fileFailure(int status, int number, std::string_view routine) {
  ErrorState& es = tessar.error;
  es.ERRDETAIL = status;
  es.ERRDETAILKIND = 2;
  yyerror(number, routine);
}

void osFailure(int status, std::string_view routine) {
  tessar.error.ERRSTATUS = status;
  yyerror(13, routine);
}

// The directory part of a path: up to and including its last separator, else empty.
std::string directoryPart(const std::string& path) {
  const auto slash = path.find_last_of(tessar.files.PATHSEP);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool hasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string::npos; }

// A search status that leaves a match behind: a name the code page cannot hold is recorded
// as a failure and the search goes on, so that no file is silently left out.
bool leavesMatch(int status) { return status == 0 || status == win::ERROR_NO_UNICODE_TRANSLATION; }

// The wildcard search works on the toolkit's ninth name slot, as the delete and copy
// routines have always done; callers know that slot is overwritten.
std::string& sharedNameBuffer() { return tessar.files.HCCURRENT; }

void putShared(const std::string& pattern) { assignfixed(sharedNameBuffer(), pattern); }

}  // namespace

//------------------------------------------------------------------------------
// Raw files
//------------------------------------------------------------------------------
void IFileOpen(std::string_view name, int mode, int& handle) {
  handle = -1;
  if (mode < 0 || mode > 2 || isBlank(name)) {
    tessar.error.ERRDETAIL = 0;
    yyerror(1, "IFileOpen");
    return;
  }
  const std::string path = visible(name);
  int status = 0;
  win::yyopen(path.c_str(), mode, handle, status);
  if (status != 0) {
    handle = -1;
    fileFailure(status, 1, "IFileOpen");
  }
}

void IFileReadChar(int handle, void* buffer, int count, int& bytesread) {
  int status = 0;
  win::yyreadc(handle, buffer, count, bytesread, status);
  if (status == 0) return;
  if (bytesread == 0) bytesread = -1;
  fileFailure(status, 2, "IFileReadChar");
}

void IFileWriteChar(int handle, const void* buffer, int count, int& byteswritten) {
  int status = 0;
  win::yywritc(handle, buffer, count, byteswritten, status);
  if (status == 0) return;
  if (byteswritten == 0) byteswritten = -1;
  fileFailure(status, 2, "IFileWriteChar");
}

void IFileSeek(int handle, int& position, int origin) {
  if (origin < 0 || origin > 2) return;
  int status = 0;
  win::yyseek(handle, position, origin, status);
  if (status == 0) return;
  position = -1;
  fileFailure(status, 2, "IFileSeek");
}

void ifileclose(int handle) { win::yyclos(handle); }

int yyreplacefile(std::string_view name, std::string_view bytes, bool& opened) {
  opened = false;
  if (name.empty()) return win::ERROR_PATH_NOT_FOUND;
  // The file itself, not a link to it: renaming over a link would leave its target old.
  std::string target;
  int status = 0;
  win::yyfinalpath(std::string(name).c_str(), target, status);
  if (status != 0) return status;
  win::FileFacts facts;
  win::yyfilefacts(target.c_str(), facts, status);
  if (status != 0) return status;
  if (facts.exists && !facts.regular) return win::ERROR_BAD_FILE_TYPE;
  if (facts.exists && !facts.writable) return win::ERROR_ACCESS_DENIED;
  int handle = -1;
  std::string temp;
  win::yytempfile(target.c_str(), handle, temp, status);
  opened = handle >= 0;
  if (!opened) return status != 0 ? status : win::ERROR_GEN_FAILURE;
  if (facts.exists) win::yysetaccess(handle, facts, status);
  // In blocks: the wrapper counts in 32 bits.
  constexpr std::size_t block = 1u << 30;
  for (std::size_t done = 0; status == 0 && done < bytes.size();) {
    const int count = static_cast<int>(std::min(block, bytes.size() - done));
    int written = 0;
    win::yywritc(handle, bytes.data() + done, count, written, status);
    if (status == 0 && written != count) status = win::ERROR_DISK_FULL;
    done += static_cast<std::size_t>(count);
  }
  if (status == 0) win::yyflush(handle, status);
  win::yyclos(handle);
  if (status == 0) win::yyreplace(status, temp.c_str(), target.c_str());
  if (status != 0) {
    int ignored = 0;
    win::yydelf(temp.c_str(), ignored);
    return status;
  }
  win::yyremovetempfiles(target.c_str());
  return 0;
}

void yyremovetempfiles(std::string_view name) {
  std::string target;
  int status = 0;
  win::yyfinalpath(std::string(name).c_str(), target, status);
  if (status == 0) win::yyremovetempfiles(target.c_str());
}

int yyreadfile(std::string_view name, std::string& text, bool& opened, std::int64_t& size,
               std::int64_t most, std::int64_t largest) {
  int handle = -1, status = 0;
  size = 0;
  win::yyopen(std::string(name).c_str(), 5, handle, status);
  opened = handle >= 0;
  if (!opened) return status;
  win::yyfilesize(handle, size, status);
  if (status == 0 && size > largest) status = win::ERROR_FILE_TOO_LARGE;
  if (status == 0) {
    const auto want = static_cast<std::size_t>(std::clamp<std::int64_t>(size, 0, std::max<std::int64_t>(most, 0)));
    try {
      text.resize(want);
    } catch (const std::exception&) {
      text = std::string();
      status = win::ERROR_NOT_ENOUGH_MEMORY;
    }
    // In blocks: the wrapper counts in 32 bits. A file that shrank meanwhile is read to its end.
    constexpr std::size_t block = 1u << 30;
    std::size_t got = 0;
    while (status == 0 && got < want) {
      int n = 0;
      win::yyreadc(handle, text.data() + got, static_cast<int>(std::min(block, want - got)), n, status);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    if (status == 0 && got < want) status = win::ERROR_GEN_FAILURE;
  }
  win::yyclos(handle);
  return status;
}

bool yyreadwholefile(std::string_view name, std::string& text, bool& opened) {
  std::int64_t size = 0;
  return yyreadfile(name, text, opened, size) == 0;
}

int yylockfile(std::string_view name, int& handle) {
  int status = 0;
  win::yyopen(std::string(name).c_str(), 4, handle, status);
  if (status != 0) handle = -1;
  return status;
}

void yyunlockfile(int& handle) {
  if (handle >= 0) win::yyclos(handle);
  handle = -1;
}

//------------------------------------------------------------------------------
// Environment, paths, files
//------------------------------------------------------------------------------
void IOsVariable(std::string_view name, std::string& value) {
  value.assign(value.size(), ' ');
  const std::string key = trimmed(name);
  const int size = static_cast<int>(value.size()) + 1;
  std::vector<char> buffer(static_cast<std::size_t>(size), '\0');
  int length = 0;
  win::yygetenv(length, key.c_str(), buffer.data(), size);
  if (length == 0) return;
  if (length < size) {
    value.replace(0, static_cast<std::size_t>(length), buffer.data(),
                  static_cast<std::size_t>(length));
    return;
  }
  yyerror(1023, "IOsVariable");
}

void yywinmessagebox(std::string_view caption, std::string_view text) {
  WMessageBox(0, 1, 1, text, caption);  // OK button, stop icon
}

void iosexitprogram(std::string_view message, int code) {
  if (!isBlank(message)) {
    std::string number(4, ' ');
    IntegerToString(code, number, "(I4)");
    const std::string text =
        "Abnormal exit (code " + visible(number) + ") : " + trimmed(message);
    yywinmessagebox("Tessaraweld", text);
  }
  win::yyexit(code);
}

void IOsDeleteFile(std::string_view name) {
  if (isBlank(name)) return;
  const std::string pattern = trimmed(name).substr(0, 260);
  putShared(pattern);
  const std::string dir = directoryPart(pattern);
  std::string found = pattern;
  int attributes = 0, packed = 0, size = 0, status = 0;
  win::yyfind(0, found, attributes, packed, size, status);
  if (!leavesMatch(status)) {
    osFailure(status, "IOsDeleteFile");
    win::yyfindclose();
    return;
  }
  while (leavesMatch(status)) {
    if (status != 0) {
      osFailure(status, "IOsDeleteFile");
    } else if ((attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0) {
      int deleted = 0;
      win::yydelf((dir + found).c_str(), deleted);
      if (deleted != 0) osFailure(deleted, "IOsDeleteFile");
    }
    win::yyfind(1, found, attributes, packed, size, status);
  }
  win::yyfindclose();
}

void IOsCopyFile(std::string_view source, std::string_view target) {
  if (isBlank(source)) return;
  const char sep = tessar.files.PATHSEP;
  const std::string from = trimmed(source).substr(0, 260);
  const std::string fromdir = directoryPart(from);
  std::string to = trimmed(target).substr(0, 260);
  int status = 0;
  if (!hasWildcard(from)) {
    if (to.empty() || to.back() == sep) to += from.substr(fromdir.size());
    if (to == from) {
      yyerror(55, "IOsCopyFile");
      return;
    }
    win::yycopyf(from.c_str(), to.c_str(), status);
    if (status != 0) osFailure(status, "IOsCopyFile");
    return;
  }
  // The target is a directory; a blank one is the current directory.
  if (!to.empty() && to.back() != sep) to += sep;
  putShared(from);
  std::string found = from;
  int attributes = 0, packed = 0, size = 0;
  win::yyfind(0, found, attributes, packed, size, status);
  if (!leavesMatch(status)) {
    osFailure(status, "IOsCopyFile");
    win::yyfindclose();
    return;
  }
  while (leavesMatch(status)) {
    if (status != 0) {
      osFailure(status, "IOsCopyFile");
    } else if ((attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0) {
      int copied = 0;
      win::yycopyf((fromdir + found).c_str(), (to + found).c_str(), copied);
      if (copied != 0) {
        osFailure(copied, "IOsCopyFile");
        break;
      }
    }
    win::yyfind(1, found, attributes, packed, size, status);
  }
  win::yyfindclose();
}

void IOsFullPathname(std::string_view name, std::string& fullpath) {
  fullpath.assign(fullpath.size(), ' ');
  const std::string path = visible(name);
  if (path.empty()) return;
  std::array<char, 1024> buffer{};
  int status = 0;
  win::yyfullpathname(status, path.c_str(), buffer.data(), static_cast<int>(buffer.size()));
  if (status != 0) {
    osFailure(status, "IOsFullPathname");
    return;
  }
  assignfixed(fullpath, buffer.data());
}

void IOsDirName(std::string& directory) {
  directory.assign(directory.size(), ' ');
  const int size = static_cast<int>(directory.size()) + 1;
  std::vector<char> buffer(static_cast<std::size_t>(size), '\0');
  int status = 0, toosmall = 0;
  win::yydirn(buffer.data(), status, toosmall, size);
  if (status != 0) {
    osFailure(status, "IOsDirName");
    return;
  }
  if (toosmall != 0) {
    yyerror(1023, "IOsDirName");
    return;
  }
  assignfixed(directory, buffer.data());
}

void iosargument(int n, std::string& argument) {
  argument.assign(argument.size(), ' ');
  if (n < 0) return;
  yyargs(n, argument);
}

//------------------------------------------------------------------------------
// Dates
//------------------------------------------------------------------------------
namespace {
constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

std::string formatted(int value, std::string_view format, int width) {
  std::string text(static_cast<std::size_t>(width), ' ');
  IntegerToString(value, text, format);
  return trimmed(text);
}
}  // namespace

void iosdate(int& year, int& month, int& day) { win::yydate(year, month, day); }

void wdatetostring(std::string& text, int year, int month, int day, std::optional<int> flags,
                   std::optional<char> separator) {
  const int f = flags.value_or(0);
  const char sep = separator.value_or('/');
  const bool named = (f & 3) != 0;
  const bool plain = (f & 8) != 0;
  std::string m;
  if (named) {
    // A month outside 1-12 has no name; it shows as asterisks rather than garbage.
    const bool valid = month >= 1 && month <= 12;
    if (f & 1)
      m = valid ? std::string(kMonths[month - 1].substr(0, 3)) : "***";
    else
      m = valid ? std::string(kMonths[month - 1]) : "*********";
  } else {
    m = plain ? formatted(month, "(I0)", 11) : formatted(month, "(I2.2)", 2);
  }
  const std::string d = plain ? formatted(day, "(I0)", 11) : formatted(day, "(I2.2)", 2);
  const std::string y = (f & 4) ? formatted(((year % 100) + 100) % 100, "(I2.2)", 2)
                                : formatted(year, "(I4)", 4);
  std::string joined;
  if (f & 64)
    joined = y + sep + m + sep + d;
  else if (f & 32)
    joined = m + sep + d + sep + y;
  else
    joined = d + sep + m + sep + y;
  assignfixed(text, joined);
}

void yyjuliandate(int year, int month, int day, int& daynumber) {
  const int a = (month - 14) / 12;
  daynumber = 1461 * (year + 4800 + a) / 4 + 367 * (month - 2 - 12 * a) / 12 -
              3 * ((year + 4900 + a) / 100) / 4 + day - 32075;
}

int wdatedifference(int year1, int month1, int day1, int year2, int month2, int day2) {
  int jd1 = 0, jd2 = 0;
  yyjuliandate(year1, month1, day1, jd1);
  yyjuliandate(year2, month2, day2, jd2);
  return jd2 - jd1;
}

//------------------------------------------------------------------------------
// [SECTION] Command line
// - yyargs(), yyopt()
//------------------------------------------------------------------------------
namespace {
struct CommandLineCache {
  bool filled = false;
  std::string text;
};
CommandLineCache& cache() {
  static CommandLineCache c;
  return c;
}
}  // namespace

namespace tw::test {
void resetCommandLine() { cache() = CommandLineCache{}; }
}  // namespace tw::test

int yyargs(int n, std::string& word) {
  CommandLineCache& c = cache();
  if (!c.filled) {
    c.text = win::yygetcl();
    const auto nul = c.text.find('\0');
    if (nul != std::string::npos) c.text.replace(nul, std::string::npos, c.text.size() - nul, ' ');
    c.filled = true;
  }
  const std::string& line = c.text;
  const std::size_t end = line.size();
  int counter = -1;
  std::size_t pos = 0;
  bool found = false;
  while (pos < end) {
    const std::size_t start = line.find_first_not_of(' ', pos);
    if (start == std::string::npos) break;
    std::string_view text;
    bool counts = true;
    if (line[start] != '"') {
      std::size_t stop = line.find(' ', start);
      if (stop == std::string::npos) stop = end;
      text = std::string_view(line).substr(start, stop - start);
      pos = stop + 1;
    } else {
      std::size_t close = line.find('"', start + 1);
      const std::size_t stop = close == std::string::npos ? end : close;
      text = std::string_view(line).substr(start + 1, stop - start - 1);
      // An empty pair, or a lone quote with only blanks after it, is no word.
      counts = !text.empty() && line.find_first_not_of(' ', start + 1) != std::string::npos;
      pos = close == std::string::npos ? end : close + 2;
    }
    if (!counts) continue;
    ++counter;
    if (counter == n) {
      assignfixed(word, text);
      found = true;
      break;
    }
  }
  if (n == 0 && found) {
    std::vector<char> exe(261, '\0');
    win::yygetexe(exe.data(), static_cast<int>(exe.size()));
    assignfixed(word, exe[0] != '\0' ? std::string(exe.data()) : std::string(" "));
  }
  return counter;
}

bool yyopt(std::string_view options, std::string_view letter) {
  if (letter.empty()) return false;
  const char c = letter[0];
  if (options.find(c) != std::string_view::npos) return true;
  const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return options.find(lower) != std::string_view::npos;
}
