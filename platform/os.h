#pragma once
// Operating-system services for the toolkit on POSIX: files, directories, wildcard search,
// environment, command line, processes, clock, disks and user. Each wrapper performs one
// service on NUL-terminated 8-bit texts and hands back a status: 0 on success, else the
// error code the toolkit knows (2 file not found, 3 path not found, 5 access denied ...,
// mapped from errno). Wrappers never report; the toolkit's front routines do.
//
// Texts crossing into the system (file names, environment, command line, messages) are
// converted between the toolkit's Windows-1252 and the system's UTF-8 here, by the routines
// of platform/codepage.h. A name that comes in with a character the code page cannot hold
// gives status ERROR_NO_UNICODE_TRANSLATION (1113), never a name with "?" in its place.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace win {

// Error codes the toolkit tests for; anything else arrives as its own code.
inline constexpr int ERROR_FILE_NOT_FOUND = 2;
inline constexpr int ERROR_PATH_NOT_FOUND = 3;
inline constexpr int ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr int ERROR_ACCESS_DENIED = 5;
inline constexpr int ERROR_INVALID_HANDLE = 6;
inline constexpr int ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr int ERROR_NOT_SAME_DEVICE = 17;
inline constexpr int ERROR_NO_MORE_FILES = 18;
inline constexpr int ERROR_WRITE_PROTECT = 19;
inline constexpr int ERROR_GEN_FAILURE = 31;
inline constexpr int ERROR_SHARING_VIOLATION = 32;
inline constexpr int ERROR_FILE_EXISTS = 80;
inline constexpr int ERROR_INVALID_PARAMETER = 87;
inline constexpr int ERROR_DISK_FULL = 112;
inline constexpr int ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr int ERROR_NEGATIVE_SEEK = 131;
inline constexpr int ERROR_DIR_NOT_EMPTY = 145;
inline constexpr int ERROR_ALREADY_EXISTS = 183;
inline constexpr int ERROR_BAD_EXE_FORMAT = 193;
inline constexpr int ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr int ERROR_MORE_DATA = 234;
inline constexpr int ERROR_DIRECTORY = 267;
// A pipe, device, socket or folder where a file of bytes was asked for.
inline constexpr int ERROR_BAD_FILE_TYPE = 222;
// A size or position that does not fit where it has to go.
inline constexpr int ERROR_FILE_TOO_LARGE = 223;

// File attribute bits of the search and attribute services.
inline constexpr int FILE_ATTRIBUTE_READONLY = 1;
inline constexpr int FILE_ATTRIBUTE_HIDDEN = 2;
inline constexpr int FILE_ATTRIBUTE_DIRECTORY = 16;
inline constexpr int FILE_ATTRIBUTE_ARCHIVE = 32;
inline constexpr int FILE_ATTRIBUTE_NORMAL = 128;

// Drive types of yydrivetype.
inline constexpr int DRIVE_UNKNOWN = 0;
inline constexpr int DRIVE_NO_ROOT_DIR = 1;
inline constexpr int DRIVE_REMOVABLE = 2;
inline constexpr int DRIVE_FIXED = 3;
inline constexpr int DRIVE_REMOTE = 4;
inline constexpr int DRIVE_CDROM = 5;
inline constexpr int DRIVE_RAMDISK = 6;

// The toolkit's code for an errno value, and the system's own text for a toolkit code
// (blank for 0).
int oserrorcode(int errnum);

// Raw files. A handle is a file descriptor, -1 invalid. Mode 0 reads an existing file,
// 1 writes a new or emptied file, 2 reads and writes an existing file, 3 writes a new file
// only (an existing name, even a link, fails), 4 reads an existing file and keeps writers
// out while the handle is open: a shared lock on the open file, which every program that
// locks before it writes respects (status 32 when one holds it for writing), 5 reads an
// existing file. Modes 4 and 5 take regular files only and never wait: a pipe, device or
// folder gives 222 at once (a pipe opened for reading would wait for a writer for ever).
void yyopen(const char* name, int mode, int& handle, int& status);
void yyclos(int handle);
void yyreadc(int handle, void* buffer, int count, int& bytesread, int& status);
void yywritc(int handle, const void* buffer, int count, int& byteswritten, int& status);
// As yyreadc and yywritc, with the bytes of each element of elemsize reversed on the file
// side (0: none); the caller's buffer is unchanged after a write.
void yyread(int handle, void* buffer, int count, int& bytesread, int elemsize, int& status);
void yywrit(int handle, void* buffer, int count, int& byteswritten, int elemsize, int& status);
// Forces the bytes written to an open file onto the disk (status 0 once they are there).
void yyflush(int handle, int& status);
// origin 0 start, 1 current position, 2 end; position in and out (new absolute position).
// Positions are 64-bit; the 32-bit form fails with 223 (the file position is left where it
// was) when the new position does not fit, rather than handing back a wrapped one.
void yyseek(int handle, std::int64_t& position, int origin, int& status);
void yyseek(int handle, int& position, int origin, int& status);
// The size in bytes of an open file.
void yyfilesize(int handle, std::int64_t& size, int& status);

// Local clock.
void yydate(int& year, int& month, int& day);
void yytime(int& hour, int& minute, int& second, int& millisecond);
// Milliseconds since the system started, top bit cleared.
int yytickcount();

// Directories.
void yydirc(const char* directory, int& status);
void yydird(const char* directory, int& status);
void yydirm(const char* directory, int& status);
// Current directory into buffer of size bytes (with its NUL); toosmall 1 when it did not fit.
void yydirn(char* buffer, int& status, int& toosmall, int size);
// The system's library directory, the counterpart of the system directory.
void yysysdir(char* buffer, int& status, int size);

// Files.
void yydelf(const char* name, int& status);
// Moves a file; an existing target is not replaced (status 183).
void yyrename(int& status, const char* oldname, const char* newname);
// Renames a complete new file over a target, replacing any file of that name in one step,
// then flushes the target's folder so that the rename survives a power cut. The new file's
// bytes must have been flushed (yyflush) before.
void yyreplace(int& status, const char* newfile, const char* target);
// Replaces a file (a name of the system, not converted) with bytes in the same durable
// way: a temporary file beside it under a name no file had (as yytempfile makes them),
// flushed, renamed over it, the folder flushed, earlier leftovers removed. A status.
int replaceDurably(const std::string& path, const std::string& bytes);
// Copies a file over an existing target, keeping its last-write time; a file is never
// copied onto itself (status 32).
void yycopyf(const char* source, const char* target, int& status);
void yyfileattr(int attributes, int& status, const char* name);
// First match of a pattern: size (-1 when nothing matches), local last-write time,
// attributes, kilobytes rounded up (at most 2147483647). The 32-bit size of the second form
// stops at 2147483647, so a large file never reads as a small or a missing one.
void yyfileinfo(std::int64_t& size, int& year, int& month, int& day, int& hour, int& minute,
                int& second, int& attributes, int& kilobytes, const char* name);
void yyfileinfo(int& size, int& year, int& month, int& day, int& hour, int& minute,
                int& second, int& attributes, int& kilobytes, const char* name);

// What a name stands for, symbolic links followed; exists false (status 0) when nothing is
// there. writable: the caller may write it and it is not marked read-only (no write bit at
// all, which keeps out the super-user too).
struct FileFacts {
  bool exists = false, regular = false, writable = false, folder = false;
  std::int64_t size = 0;
  unsigned mode = 0, owner = 0, group = 0;
};
void yyfilefacts(const char* name, FileFacts& facts, int& status);
// The file a name finally stands for: every symbolic link on it followed to its target (a
// link to a missing file gives the missing file's name). status 0 or a code (a loop of
// links gives the system's "too many levels of symbolic links").
void yyfinalpath(const char* name, std::string& path, int& status);
// A new, empty file beside target for writing its next version (handle open for writing),
// under a name that no file had: "<target>.<12 random hex digits><4 hex check digits>.tmp~",
// the check digits made from the rest of the name, so that a leftover of a killed write is
// known as one and a user's own file never is.
void yytempfile(const char* target, int& handle, std::string& tempname, int& status);
// Removes the leftovers of killed writes of target: files beside it that yytempfile named
// (check digits right), plain files of this user. Returns how many went.
int yyremovetempfiles(const char* target);
// The permission bits (and, where the system allows, owner and group) of facts given to an
// open file.
void yysetaccess(int handle, const FileFacts& facts, int& status);

// Wildcard search on one search for the whole process: mode 0 first (name holds the
// pattern, "*" any run of characters, "?" one character, "*.*" every name), other modes
// next. name receives the matched file name (without directory); packed is the local
// last-write time as date (high 16 bits) and time (low 16 bits) in the old packed format.
// status 0 found, 1 no further file, else the code of a failed first search.
void yyfind(int mode, std::string& name, int& attributes, int& packed, std::int64_t& size, int& status);
void yyfind(int mode, std::string& name, int& attributes, int& packed, int& size, int& status);
void yyfindclose();

// Environment. length: 0 not set; the value's length when it fits size (with its NUL);
// else the size needed, which is at least size.
void yygetenv(int& length, const char* name, char* buffer, int size);
void yyputenv(const char* name, const char* value);
// The process command line, words separated by blanks, words with blanks in double quotes.
std::string yygetcl();
// Full path of the program.
void yygetexe(char* buffer, int size);
// Absolute form of a name, "." and ".." resolved in the text; the name need not exist.
// status 122 when buffer (size with its NUL) is too small.
void yyfullpathname(int& status, const char* name, char* buffer, int size);
void yyerrorstr(int code, char* buffer, int size);

// System facts.
// The decimal separator of the user's locale (LC_ALL, LC_NUMERIC, LANG), "." by default.
char localedecimal();
// The measurement system of the user's locale (LC_MEASUREMENT): 1 inches, 2 metric.
int yylocalemeasure();
void yyosver(int& major, int& minor);
void yywinvariant(int& variant);
void yydisk(int& serial, const char* rootpath);
void yydrivetype(int& type, const char* rootpath);
void yydspace(int& bytes);
void yydspacemb(int& megabytes);
void yyusername(int& status, int& truncated, char* buffer, int size);
// The program that opens a document: status 0 and its path, 1 the document does not
// exist, -1 no program, 1023 when the path does not fit.
void yyassocexe(int& status, const char* document, char* program, int size);

// Full path of an executable program found on PATH (or the name itself when it holds "/").
bool findprogram(const char* name, std::string& path);

// File times as 100-ns counts since 1601 split into (low, high) 32-bit words.
struct FileTimes {
  std::uint32_t creationlow = 0, creationhigh = 0;
  std::uint32_t accesslow = 0, accesshigh = 0;
  std::uint32_t writelow = 0, writehigh = 0;
};
void yygetfiletime(FileTimes& times, const char* name, int& status);
// Sets the last-access and last-write times (the creation time cannot be set here).
void yysetfiletime(const FileTimes& times, const char* name, int& status);
void yycopyfiletime(const char* source, const char* target);

// Registry: root keys, value types, and the store (a file of the user's configuration).
inline constexpr int HKEY_CLASSES_ROOT = static_cast<int>(0x80000000u);
inline constexpr int HKEY_CURRENT_USER = static_cast<int>(0x80000001u);
inline constexpr int HKEY_LOCAL_MACHINE = static_cast<int>(0x80000002u);
inline constexpr int REG_SZ = 1;
inline constexpr int REG_BINARY = 3;
inline constexpr int REG_DWORD = 4;
// Deletes a key that has no keys below it (status 5 when it has, 2 when it does not exist).
void yyregkeydel(int root, int& status, const char* subkey);
// Deletes a value (status 2 when the key or value does not exist).
void yyregvaldel(int root, int& status, const char* subkey, const char* valuename);
// A value's type and data: size 0 on entry asks only for type and size; a size too small
// gives type and the size needed (234's case) without data; a missing value gives type -2
// and size 0; a missing key returns nothing.
void yyregkeyget(int root, int& type, int& size, const char* subkey, const char* valuename,
                 unsigned char* data);
// Creates the key when needed and sets the value.
void yyregkeyput(int root, int type, int& status, const char* subkey, const char* valuename,
                 const unsigned char* data, int datasize);

// E-mail through the desktop's mail composer (xdg-email): one recipient table and one
// attachment table for the process.
void yyemailclearrecip(int count);
void yyemailaddaddress(int index, const char* address);
void yyemailaddname(int index, const char* name);
void yyemailaddtype(int index, int type);  // 2 Cc, 3 Bcc, else To
void yyemailclearattach(int count);
void yyemailaddattachfile(int index, const char* path);
// status 0 handed to the composer, -1 no composer, -2 it failed (mailerror its code).
void yyemailsend(int flags, int& status, int& mailerror, const char* subject, const char* text);

// Processes. A command line runs through "/bin/sh -c".
// yyexec starts it without waiting; result above 31 means started.
void yyexec(int& result, const char* commandline);
// As yyexec, also giving the started process group (0 when nothing started).
void yyexecgroup(int& result, const char* commandline, int& group);
// Ends every process of a group that yyexecgroup started.
void yyendgroup(int group);
// Without wait: as yyexec. With wait and timeout < 0: waits without limit, running the
// paint pump every 100 ms; status 32 when the process ended. With timeout >= 0: waits that
// many seconds without dispatching; 32 ended, -1 still running (it is left running).
void yycmnd(const char* commandline, int hide, int wait, int timeout, int& status);
// Runs a command line and waits for its end: status 0 (or the code of a start failure) and
// the command's exit code.
void yyrun(const char* commandline, int& status, int& exitcode);
[[noreturn]] void yyexit(int code);

// The paint-only pump that the waiting command runs: the window layer installs one that
// dispatches pending paint messages and discards every other message; none by default.
void setpaintpump(std::function<void()> pump);

namespace test {
// The next call of the named service fails with code (services: "CreateFile", "ReadFile",
// "WriteFile", "SetFilePointer", "DeleteFile", "CopyFile", "MoveFile", "FindFirstFile",
// "GetCurrentDirectory", "GetFullPathName", "CreateProcess", "GetEnvironmentVariable").
void failNext(const std::string& service, int code);
// Records the name of every service called from now on into log (nullptr: stop), including
// "CloseHandle", "FlushFileBuffers", "MoveFileEx" and "FlushFolder".
void recordCalls(std::vector<std::string>* log);
// Replaces the command line the process reports (empty: the real one again).
void setCommandLine(const std::string& commandline);
// Runs hook with the exit code just before yyexit ends the process (tests read what the
// process showed before it ended).
void onExit(std::function<void(int)> hook);
}  // namespace test

}  // namespace win
