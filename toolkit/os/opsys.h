#pragma once
// The toolkit's operating-system front routines: raw binary files, the environment, the
// command line, deleting and copying files with wildcards, full and current path names,
// ending the program, and dates. Texts are fixed-length; failures are recorded through
// yyerror with the system's code in the error record's detail words.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

// Raw files. mode 0 reads an existing file, 1 writes a new or emptied file, 2 reads and
// writes an existing file; handle -1 after a failure (error 1).
void IFileOpen(std::string_view name, int mode, int& handle);
// Reads or writes count bytes at buffer; bytes -1 when a failure (error 2) moved none.
// The end of the file is no failure (0 bytes read).
void IFileReadChar(int handle, void* buffer, int count, int& bytesread);
void IFileWriteChar(int handle, const void* buffer, int count, int& byteswritten);
// The same on a span of any plain type; count is cut to the span's bytes.
template <class T>
  requires std::is_trivially_copyable_v<T>
void IFileReadChar(int handle, std::span<T> buffer, int count, int& bytesread) {
  const auto room = static_cast<long long>(buffer.size_bytes());
  IFileReadChar(handle, static_cast<void*>(buffer.data()),
                static_cast<int>(count > room ? room : count), bytesread);
}
template <class T>
  requires std::is_trivially_copyable_v<T>
void IFileWriteChar(int handle, std::span<const T> buffer, int count, int& byteswritten) {
  const auto room = static_cast<long long>(buffer.size_bytes());
  IFileWriteChar(handle, static_cast<const void*>(buffer.data()),
                 static_cast<int>(count > room ? room : count), byteswritten);
}
// origin 0 start, 1 current position, 2 end; position in and out (new absolute position,
// -1 after a failure). Any other origin does nothing.
void IFileSeek(int handle, int& position, int origin);
void ifileclose(int handle);
// Whole files for callers that keep a document (no error recorded: the caller reports).
// yyreplacefile writes bytes to a new file beside name, flushes it to the disk, renames it
// over name in one step and flushes the folder, so that neither a failure nor a power cut
// loses the previous file; it answers 0 or the failing step's system code, with opened
// false when the new file could not even be created (nothing is left behind on failure).
// A name that is a symbolic link replaces the file the link points to (the link stays); the
// new file keeps the old one's permissions (and owner where allowed). A file marked
// read-only or not writable by the caller gives 5, a pipe, device or folder 222, both with
// opened false and nothing written. The new file is made under a name of its own that no
// file had (see win::yytempfile); after a replace, the leftovers of earlier killed writes
// of the same file are removed (yyremovetempfiles).
int yyreplacefile(std::string_view name, std::string_view bytes, bool& opened);
// Removes the leftovers that killed replaces of name left beside it (never a user's file).
void yyremovetempfiles(std::string_view name);
// The whole of a file into text; false when it cannot be opened (opened false) or read.
// Only a regular file opens (a pipe or device gives 222 at once instead of waiting).
bool yyreadwholefile(std::string_view name, std::string& text, bool& opened);
// As yyreadwholefile, answering 0 or the system's code: reads at most most bytes (the
// file's size in size; status 0 when it is longer: the caller sees the cut) and refuses a
// file larger than largest (223, nothing read). Memory that cannot be had gives 8.
int yyreadfile(std::string_view name, std::string& text, bool& opened, std::int64_t& size,
               std::int64_t most = INT64_MAX, std::int64_t largest = INT64_MAX);
// An open handle on a file that keeps other writers out while it is open (a shared lock that
// programs locking before they write respect): 0 and the handle, or the system's code and
// -1. yyunlockfile closes it (nothing for -1) and sets it to -1.
int yylockfile(std::string_view name, int& handle);
void yyunlockfile(int& handle);

// Environment variable into value (blank when not set; error 1023 when it does not fit).
void IOsVariable(std::string_view name, std::string& value);
// Shows "Abnormal exit (code n) : message" unless the message is blank, then ends the
// process with the code.
[[noreturn]] void iosexitprogram(std::string_view message, int code);
// Deletes every file matching a name or wildcard pattern (error 13).
void IOsDeleteFile(std::string_view name);
// Copies a file, or every file matching a pattern into a directory (errors 13 and 55).
void IOsCopyFile(std::string_view source, std::string_view target);
void IOsFullPathname(std::string_view name, std::string& fullpath);
inline void iosfullpathname(std::string_view name, std::string& fullpath) {
  IOsFullPathname(name, fullpath);
}
void IOsDirName(std::string& directory);
// Command-line word n (0 the program path); blank when absent or n < 0.
void iosargument(int n, std::string& argument);

// Dates.
void iosdate(int& year, int& month, int& day);
// flags: 1 month as three letters, 2 month's full name, 4 two-digit year, 8 no leading zeros,
// 32 order month day year, 64 order year month day; default day month year joined by "/".
void wdatetostring(std::string& text, int year, int month, int day,
                   std::optional<int> flags = std::nullopt,
                   std::optional<char> separator = std::nullopt);
int wdatedifference(int year1, int month1, int day1, int year2, int month2, int day2);
void yyjuliandate(int year, int month, int day, int& daynumber);

// A task-modal error box captioned caption, with an OK button.
void yywinmessagebox(std::string_view caption, std::string_view text);

// Command-line word n into word (cut or blank-padded); word 0 is the program's full path.
// Returns n when word n exists, else the number of the last word (-1 for an empty line),
// leaving word untouched. A negative n only fills the cache and counts.
int yyargs(int n, std::string& word);
// True when the first character of letter, or failing that its lower-case form, occurs in
// options.
bool yyopt(std::string_view options, std::string_view letter);

namespace tw::test {
// Forgets the command-line cache, so that a test reads the command line afresh.
void resetCommandLine();
}  // namespace tw::test
