// platform/os.cpp: operating-system services on POSIX for the toolkit.
// Sections (grep "[SECTION]"): text and codes | raw files | clock | directories and files |
//   wildcard search | environment and command line | system facts | file times | processes
//
// Invariants: (1) no wrapper reports or throws; every failure is a status code;
// (2) texts cross the system boundary converted (Windows-1252 inside, UTF-8 outside);
// (3) one wildcard search exists for the whole process.
#include "platform/os.h"

#include <dirent.h>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <thread>
#include <vector>

extern char** environ;

namespace win {

//------------------------------------------------------------------------------
// [SECTION] Text and codes
// - oserrorcode(), yyerrorstr(), fault hooks, Windows-1252 <-> UTF-8
//------------------------------------------------------------------------------
namespace {

// Out to the system; in for showing only ("?" for what the code page lacks). A name that
// comes in goes through fromSystemName, which refuses what the code page cannot hold.
std::string toSystem(std::string_view text) { return utf8FromCp1252(text); }
std::string fromSystem(std::string_view text) { return cp1252FromUtf8Shown(text); }
bool fromSystemName(std::string_view text, std::string& out) { return cp1252FromUtf8Strict(text, out); }

std::string safeText(const char* text) { return text ? std::string(text) : std::string(); }

std::map<std::string, int>& pendingFailures() {
  static std::map<std::string, int> pending;
  return pending;
}

std::vector<std::string>* callLog = nullptr;  // the services called, while a test records them

void noteCall(const char* service) {
  if (callLog) callLog->push_back(service);
}

// True (with status set) when a test asked the service to fail now.
bool injected(const char* service, int& status) {
  noteCall(service);
  auto& pending = pendingFailures();
  auto it = pending.find(service);
  if (it == pending.end()) return false;
  status = it->second;
  pending.erase(it);
  return true;
}

// Codes for errno values; the first pair of a code gives its text.
struct CodePair {
  int errnum, code;
};
constexpr CodePair kCodes[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},  {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES}, {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EACCES, ERROR_ACCESS_DENIED},   {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},   {EBADF, ERROR_INVALID_HANDLE},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY}, {EXDEV, ERROR_NOT_SAME_DEVICE},
    {EROFS, ERROR_WRITE_PROTECT},    {EIO, ERROR_GEN_FAILURE},
    {ETXTBSY, ERROR_SHARING_VIOLATION}, {EBUSY, ERROR_SHARING_VIOLATION},
    {EEXIST, ERROR_FILE_EXISTS},     {EINVAL, ERROR_INVALID_PARAMETER},
    {ENOSPC, ERROR_DISK_FULL},       {EDQUOT, ERROR_DISK_FULL},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY}, {ENOEXEC, ERROR_BAD_EXE_FORMAT},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EFBIG, ERROR_FILE_TOO_LARGE},   {EOVERFLOW, ERROR_FILE_TOO_LARGE},
};
// Codes that have no errno of their own but an errno whose text says the same.
constexpr CodePair kTextOnly[] = {
    {ENOENT, ERROR_PATH_NOT_FOUND}, {EINVAL, ERROR_NEGATIVE_SEEK},
    {EEXIST, ERROR_ALREADY_EXISTS}, {ENOTDIR, ERROR_DIRECTORY},
    {ERANGE, ERROR_INSUFFICIENT_BUFFER},
};
// Any other errno travels as this bit with the errno beside it.
constexpr int kErrnoCode = 0x20000000;

// The code of errno e for an operation on path: a missing file in a missing directory is
// "path not found".
int pathCode(int e, const std::string& path) {
  if (e == ENOENT) {
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
      struct stat st;
      if (stat(path.substr(0, slash).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return ERROR_PATH_NOT_FOUND;
    }
    return ERROR_FILE_NOT_FOUND;
  }
  return oserrorcode(e);
}

void copyOut(const std::string& text, char* buffer, int size) {
  if (!buffer || size <= 0) return;
  const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace

int oserrorcode(int errnum) {
  if (errnum == 0) return 0;
  for (const CodePair& p : kCodes)
    if (p.errnum == errnum) return p.code;
  return kErrnoCode | errnum;
}

void yyerrorstr(int code, char* buffer, int size) {
  if (code == ERROR_BAD_FILE_TYPE) {  // no errno says it
    copyOut("Not a regular file", buffer, size);
    return;
  }
  if (code == ERROR_NO_UNICODE_TRANSLATION) {
    copyOut("The name holds characters outside Windows-1252", buffer, size);
    return;
  }
  int errnum = 0;
  if (code & kErrnoCode) errnum = code & ~kErrnoCode;
  for (const CodePair& p : kCodes)
    if (errnum == 0 && p.code == code) errnum = p.errnum;
  for (const CodePair& p : kTextOnly)
    if (errnum == 0 && p.code == code) errnum = p.errnum;
  std::string text;
  if (code != 0 && errnum != 0) {
    char work[256];
    // The GNU form returns the text, which may or may not live in work.
    const char* msg = strerror_r(errnum, work, sizeof work);
    text = fromSystem(msg ? msg : "");
  }
  copyOut(text, buffer, size);
}

namespace test {
void failNext(const std::string& service, int code) { pendingFailures()[service] = code; }
void recordCalls(std::vector<std::string>* log) { callLog = log; }
}  // namespace test

//------------------------------------------------------------------------------
// [SECTION] Raw files
// - yyopen(), yyclos(), yyreadc(), yywritc(), yyread(), yywrit(), yyseek()
//------------------------------------------------------------------------------
void yyopen(const char* name, int mode, int& handle, int& status) {
  handle = -1;
  if (injected("CreateFile", status)) return;
  int flags = 0;
  switch (mode) {
    case 0: flags = O_RDONLY; break;
    case 1: flags = O_WRONLY | O_CREAT | O_TRUNC; break;
    case 2: flags = O_RDWR; break;
    case 3: flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    case 4: case 5: flags = O_RDONLY | O_NONBLOCK; break;
    default: status = ERROR_INVALID_PARAMETER; return;
  }
  const std::string path = toSystem(safeText(name));
  if (path.empty()) {
    status = ERROR_PATH_NOT_FOUND;
    return;
  }
  const int fd = open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) {
    status = pathCode(errno, path);
    return;
  }
  // A directory is no file to read or write.
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    status = ERROR_ACCESS_DENIED;
    return;
  }
  if (flags & O_NONBLOCK) {
    // Opened without waiting, so that a pipe without a writer cannot hold the caller; only
    // a file of bytes goes on, and reads it in the ordinary (waiting) way.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      status = ERROR_BAD_FILE_TYPE;
      return;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  }
  if (mode == 4) {
    // Locks of the open file description: they go with this handle alone.
    struct flock lock {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (fcntl(fd, F_OFD_SETLK, &lock) != 0) {
      const int e = errno;
      close(fd);
      status = e == EAGAIN || e == EACCES ? ERROR_SHARING_VIOLATION : pathCode(e, path);
      return;
    }
  }
  handle = fd;
  status = 0;
}

void yyclos(int handle) {
  noteCall("CloseHandle");
  if (handle >= 0) close(handle);
}

void yyflush(int handle, int& status) {
  if (injected("FlushFileBuffers", status)) return;
  while (fsync(handle) != 0) {
    if (errno == EINTR) continue;
    status = errno == EBADF ? ERROR_INVALID_HANDLE : oserrorcode(errno);
    return;
  }
  status = 0;
}

void yyreadc(int handle, void* buffer, int count, int& bytesread, int& status) {
  bytesread = 0;
  if (injected("ReadFile", status)) return;
  if (count < 0 || (count > 0 && !buffer)) {
    status = ERROR_INVALID_PARAMETER;
    return;
  }
  auto* p = static_cast<char*>(buffer);
  int total = 0;
  while (total < count) {
    const ssize_t n = read(handle, p + total, static_cast<std::size_t>(count - total));
    if (n < 0) {
      if (errno == EINTR) continue;
      if (total > 0) break;  // the next call meets the fault again
      status = oserrorcode(errno);
      return;
    }
    if (n == 0) break;
    total += static_cast<int>(n);
  }
  bytesread = total;
  status = 0;
}

void yywritc(int handle, const void* buffer, int count, int& byteswritten, int& status) {
  byteswritten = 0;
  if (injected("WriteFile", status)) return;
  if (count < 0 || (count > 0 && !buffer)) {
    status = ERROR_INVALID_PARAMETER;
    return;
  }
  const auto* p = static_cast<const char*>(buffer);
  int total = 0;
  while (total < count) {
    const ssize_t n = write(handle, p + total, static_cast<std::size_t>(count - total));
    if (n < 0) {
      if (errno == EINTR) continue;
      byteswritten = total;  // what reached the file before the fault
      status = oserrorcode(errno);
      return;
    }
    total += static_cast<int>(n);
  }
  byteswritten = total;
  status = 0;
}

namespace {
void reverseElements(void* buffer, int count, int elemsize) {
  if (elemsize <= 1 || !buffer) return;
  auto* p = static_cast<unsigned char*>(buffer);
  for (int i = 0; i + elemsize <= count; i += elemsize) std::reverse(p + i, p + i + elemsize);
}
}  // namespace

void yyread(int handle, void* buffer, int count, int& bytesread, int elemsize, int& status) {
  yyreadc(handle, buffer, count, bytesread, status);
  reverseElements(buffer, bytesread, elemsize);
}

void yywrit(int handle, void* buffer, int count, int& byteswritten, int elemsize, int& status) {
  if (count < 0) {
    byteswritten = 0;
    status = ERROR_INVALID_PARAMETER;
    return;
  }
  reverseElements(buffer, count, elemsize);
  yywritc(handle, buffer, count, byteswritten, status);
  reverseElements(buffer, count, elemsize);
}

void yyseek(int handle, std::int64_t& position, int origin, int& status) {
  if (injected("SetFilePointer", status)) return;
  int whence = SEEK_SET;
  switch (origin) {
    case 0: whence = SEEK_SET; break;
    case 1: whence = SEEK_CUR; break;
    case 2: whence = SEEK_END; break;
    default: status = ERROR_INVALID_PARAMETER; return;
  }
  const off_t at = lseek(handle, static_cast<off_t>(position), whence);
  if (at < 0) {
    status = errno == EINVAL ? ERROR_NEGATIVE_SEEK : oserrorcode(errno);
    return;
  }
  position = static_cast<std::int64_t>(at);
  status = 0;
}

void yyseek(int handle, int& position, int origin, int& status) {
  if (injected("SetFilePointer", status)) return;
  // Where the move would land, found before moving: a position past 2 GiB has no 32-bit
  // form, and the file position stays where it was.
  const off_t here = lseek(handle, 0, SEEK_CUR);
  if (here < 0) {
    status = oserrorcode(errno);
    return;
  }
  std::int64_t at = position;
  if (origin == 1) {
    at = here + position;
  } else if (origin == 2) {
    struct stat st;
    if (fstat(handle, &st) != 0) {
      status = oserrorcode(errno);
      return;
    }
    at = static_cast<std::int64_t>(st.st_size) + position;
  } else if (origin != 0) {
    status = ERROR_INVALID_PARAMETER;
    return;
  }
  if (at > INT32_MAX) {
    status = ERROR_FILE_TOO_LARGE;
    return;
  }
  const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
  if (lseek(handle, static_cast<off_t>(position), whence) < 0) {
    status = errno == EINVAL ? ERROR_NEGATIVE_SEEK : oserrorcode(errno);
    return;
  }
  position = static_cast<int>(at);
  status = 0;
}

void yyfilesize(int handle, std::int64_t& size, int& status) {
  struct stat st;
  if (fstat(handle, &st) != 0) {
    status = errno == EBADF ? ERROR_INVALID_HANDLE : oserrorcode(errno);
    return;
  }
  size = static_cast<std::int64_t>(st.st_size);
  status = 0;
}

//------------------------------------------------------------------------------
// [SECTION] Clock
// - yydate(), yytime(), yytickcount()
//------------------------------------------------------------------------------
namespace {
struct tm localNow(long& nanoseconds) {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  struct tm t {};
  localtime_r(&ts.tv_sec, &t);
  nanoseconds = ts.tv_nsec;
  return t;
}
}  // namespace

void yydate(int& year, int& month, int& day) {
  long ns = 0;
  const struct tm t = localNow(ns);
  year = t.tm_year + 1900;
  month = t.tm_mon + 1;
  day = t.tm_mday;
}

void yytime(int& hour, int& minute, int& second, int& millisecond) {
  long ns = 0;
  const struct tm t = localNow(ns);
  hour = t.tm_hour;
  minute = t.tm_min;
  second = t.tm_sec;
  millisecond = static_cast<int>(ns / 1000000);
}

int yytickcount() {
  struct timespec ts;
  clock_gettime(CLOCK_BOOTTIME, &ts);
  const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                           static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
  return static_cast<int>(ms & 0x7FFFFFFFu);
}

//------------------------------------------------------------------------------
// [SECTION] Directories and files
// - yydirc(), yydird(), yydirm(), yydirn(), yysysdir(), yydelf(), yyrename(), yycopyf(),
//   yyfileattr(), yyfileinfo()
//------------------------------------------------------------------------------
void yydirc(const char* directory, int& status) {
  const std::string path = toSystem(safeText(directory));
  status = chdir(path.c_str()) == 0 ? 0 : pathCode(errno, path);
}

void yydird(const char* directory, int& status) {
  const std::string path = toSystem(safeText(directory));
  status = rmdir(path.c_str()) == 0 ? 0 : pathCode(errno, path);
}

void yydirm(const char* directory, int& status) {
  const std::string path = toSystem(safeText(directory));
  if (mkdir(path.c_str(), 0777) == 0) {
    status = 0;
    return;
  }
  status = errno == EEXIST ? ERROR_ALREADY_EXISTS
           : errno == ENOENT ? ERROR_PATH_NOT_FOUND
                             : oserrorcode(errno);
}

void yydirn(char* buffer, int& status, int& toosmall, int size) {
  toosmall = 0;
  if (injected("GetCurrentDirectory", status)) return;
  std::vector<char> work(4096);
  while (!getcwd(work.data(), work.size())) {
    if (errno != ERANGE) {
      status = oserrorcode(errno);
      return;
    }
    work.resize(work.size() * 2);
  }
  std::string dir;
  if (!fromSystemName(work.data(), dir)) {
    status = ERROR_NO_UNICODE_TRANSLATION;
    return;
  }
  status = 0;
  if (static_cast<int>(dir.size()) + 1 > size) {
    toosmall = 1;
    return;
  }
  copyOut(dir, buffer, size);
}

void yysysdir(char* buffer, int& status, int size) {
  const std::string dir = "/usr/lib";
  if (static_cast<int>(dir.size()) + 1 > size) {
    status = ERROR_INSUFFICIENT_BUFFER;
    return;
  }
  copyOut(dir, buffer, size);
  status = 0;
}

void yydelf(const char* name, int& status) {
  if (injected("DeleteFile", status)) return;
  const std::string path = toSystem(safeText(name));
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    status = ERROR_ACCESS_DENIED;
    return;
  }
  status = unlink(path.c_str()) == 0 ? 0 : pathCode(errno, path);
}

namespace {
// Copies the bytes of one regular file to another; the target keeps the source's
// last-write time. With flush the copy is on the disk before the call returns. Returns a
// status.
int copyFileBytes(const std::string& from, const std::string& to, bool flush = false) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return pathCode(errno, from);
  struct stat src;
  if (fstat(in, &src) != 0 || S_ISDIR(src.st_mode)) {
    close(in);
    return ERROR_ACCESS_DENIED;
  }
  struct stat dst;
  if (stat(to.c_str(), &dst) == 0 && dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) {
    close(in);
    return ERROR_SHARING_VIOLATION;  // emptying the target would destroy the source
  }
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, src.st_mode & 0777);
  if (out < 0) {
    const int code = pathCode(errno, to);
    close(in);
    return code;
  }
  std::vector<char> block(1 << 16);
  int status = 0;
  for (;;) {
    const ssize_t n = read(in, block.data(), block.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      status = oserrorcode(errno);
      break;
    }
    if (n == 0) break;
    ssize_t done = 0;
    while (done < n) {
      const ssize_t w = write(out, block.data() + done, static_cast<std::size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        status = oserrorcode(errno);
        break;
      }
      done += w;
    }
    if (status != 0) break;
  }
  if (status == 0) {
    const struct timespec times[2] = {src.st_atim, src.st_mtim};
    futimens(out, times);
  }
  if (status == 0 && flush && fsync(out) != 0) status = oserrorcode(errno);
  if (close(out) != 0 && status == 0) status = oserrorcode(errno);
  close(in);
  return status;
}
}  // namespace

void yyrename(int& status, const char* oldname, const char* newname) {
  if (injected("MoveFile", status)) return;
  const std::string from = toSystem(safeText(oldname));
  const std::string to = toSystem(safeText(newname));
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) {
    status = pathCode(errno, from);
    return;
  }
  if (lstat(to.c_str(), &st) == 0) {
    status = ERROR_ALREADY_EXISTS;
    return;
  }
  if (rename(from.c_str(), to.c_str()) == 0) {
    status = 0;
    return;
  }
  if (errno != EXDEV) {
    status = pathCode(errno, to);
    return;
  }
  // Across file systems a file moves by copy and delete; the copy reaches the disk before
  // the original goes, so that a power cut cannot lose both.
  status = copyFileBytes(from, to, true);
  if (status == 0 && unlink(from.c_str()) != 0) status = oserrorcode(errno);
}

namespace {
// Flushes the folder that holds path, so that a rename in it survives a power cut.
int flushFolder(const std::string& path) {
  int status = 0;
  if (injected("FlushFolder", status)) return status;
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return pathCode(errno, folder);
  while (fsync(fd) != 0) {
    if (errno == EINTR) continue;
    // Some file systems cannot flush a folder; their renames are as safe as they get.
    if (errno != EINVAL && errno != ENOTSUP) status = oserrorcode(errno);
    break;
  }
  close(fd);
  return status;
}
}  // namespace

void yyreplace(int& status, const char* newfile, const char* target) {
  if (injected("MoveFileEx", status)) return;
  const std::string from = toSystem(safeText(newfile));
  const std::string to = toSystem(safeText(target));
  if (rename(from.c_str(), to.c_str()) != 0) {
    const int e = errno;
    struct stat st;
    status = pathCode(e, e == ENOENT && lstat(from.c_str(), &st) != 0 ? from : to);
    return;
  }
  status = flushFolder(to);
}

namespace {
// Names of the next versions of files: "<target>.<12 random><4 check>.tmp~" in lower-case
// hexadecimal; the check digits are a hash of the target's own name and the random digits.
constexpr const char* kTempEnd = ".tmp~";
constexpr std::size_t kTempDigits = 16;

unsigned tempCheck(std::string_view base, std::string_view random) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (const std::string_view part : {base, std::string_view("/"), random})
    for (unsigned char c : part) h = (h ^ c) * 16777619u;
  return (h ^ (h >> 16)) & 0xFFFFu;
}

std::string tempSuffix(std::string_view base) {
  unsigned char bytes[6] = {};
  if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    // No entropy yet (early boot): time and process still make a name no one else makes now.
    const auto t = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint64_t v = t ^ (static_cast<std::uint64_t>(getpid()) << 40);
    std::memcpy(bytes, &v, sizeof bytes);
  }
  char random[13];
  for (int k = 0; k < 6; ++k) std::snprintf(random + 2 * k, 3, "%02x", bytes[k]);
  char check[5];
  std::snprintf(check, sizeof check, "%04x", tempCheck(base, random));
  return std::string(".") + random + check + kTempEnd;
}

// A folder entry's longest name in bytes. The temporary name of a target whose name leaves
// no room for the suffix begins with as many whole characters of it as fit; the check digits
// still tell whose it is.
constexpr std::size_t kNameMax = 255;

std::string_view tempStem(std::string_view base) {
  const std::size_t room = kNameMax - (1 + kTempDigits + std::strlen(kTempEnd));
  if (base.size() <= room) return base;
  std::size_t n = room;
  while (n > 0 && (static_cast<unsigned char>(base[n]) & 0xC0) == 0x80) --n;
  return base.substr(0, n);
}

// True when name (in the target's folder) is one that tempSuffix made for base.
bool isTempOf(std::string_view name, std::string_view base) {
  const std::size_t end = std::strlen(kTempEnd);
  const std::string_view stem = tempStem(base);
  if (name.size() != stem.size() + 1 + kTempDigits + end || name.substr(0, stem.size()) != stem ||
      name[stem.size()] != '.' || name.substr(name.size() - end) != kTempEnd)
    return false;
  const std::string_view digits = name.substr(stem.size() + 1, kTempDigits);
  for (char c : digits)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  char check[5];
  std::snprintf(check, sizeof check, "%04x", tempCheck(base, digits.substr(0, 12)));
  return digits.substr(12) == check;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

void yyfilefacts(const char* name, FileFacts& facts, int& status) {
  facts = FileFacts{};
  const std::string path = toSystem(safeText(name));
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    status = pathCode(errno, path);
    if (status == ERROR_FILE_NOT_FOUND) status = 0;  // no file yet, in a folder that exists
    return;
  }
  facts.exists = true;
  facts.regular = S_ISREG(st.st_mode);
  facts.folder = S_ISDIR(st.st_mode);
  facts.size = static_cast<std::int64_t>(st.st_size);
  facts.mode = st.st_mode & 07777;
  facts.owner = st.st_uid;
  facts.group = st.st_gid;
  facts.writable = (st.st_mode & 0222) != 0 && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
  status = 0;
}

void yyfinalpath(const char* name, std::string& path, int& status) {
  std::string p = toSystem(safeText(name));
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      // A target the code page cannot hold is refused: "?" in its place would name another file.
      status = fromSystemName(p, path) ? 0 : ERROR_NO_UNICODE_TRANSLATION;
      return;
    }
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = readlink(p.c_str(), target.data(), target.size());
    if (n < 0) {
      status = pathCode(errno, p);
      return;
    }
    target.resize(static_cast<std::size_t>(n));
    // A relative link points from the folder that holds it.
    p = !target.empty() && target[0] == '/' ? target : folderOf(p) + "/" + target;
  }
  status = oserrorcode(ELOOP);
}

void yytempfile(const char* target, int& handle, std::string& tempname, int& status) {
  handle = -1;
  const std::string t = safeText(target);
  const std::string base = baseOf(toSystem(t));
  // A long name is shortened rather than taken past the limit (which would fail the save of
  // a file whose own name is valid).
  const std::string_view stem = tempStem(base);
  const std::size_t slash = t.find_last_of('/');
  const std::string start = stem.size() == base.size() ? t : t.substr(0, slash == std::string::npos ? 0 : slash + 1) + fromSystem(stem);
  // Another name on the rare clash; never an existing file (mode 3 does not follow links).
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempname = start + tempSuffix(base);
    yyopen(tempname.c_str(), 3, handle, status);
    if (status != ERROR_FILE_EXISTS) return;
  }
}

namespace {
// Removes the leftovers that killed writes of path (a name of the system) left beside it.
int removeTempsOf(const std::string& path) {
  const std::string folder = folderOf(path), base = baseOf(path);
  DIR* d = opendir(folder.c_str());
  if (!d) return 0;
  std::vector<std::string> gone;
  while (const struct dirent* e = readdir(d))
    if (isTempOf(e->d_name, base)) gone.emplace_back(e->d_name);
  closedir(d);
  int removed = 0;
  for (const std::string& n : gone) {
    const std::string full = folder + "/" + n;
    struct stat st;
    if (lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
        unlink(full.c_str()) == 0)
      ++removed;
  }
  return removed;
}
}  // namespace

int yyremovetempfiles(const char* target) { return removeTempsOf(toSystem(safeText(target))); }

int replaceDurably(const std::string& path, const std::string& bytes) {
  // A name no file had, as the project and editor saves use: "<path>.new" could be a
  // user's own file, which the rename would take over.
  const std::string base = baseOf(path);
  const std::size_t slash = path.find_last_of('/');
  const std::string start = path.substr(0, slash == std::string::npos ? 0 : slash + 1) + std::string(tempStem(base));
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = start + tempSuffix(base);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return pathCode(errno, temp);
  std::size_t done = 0;
  int status = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      status = oserrorcode(errno);
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  while (status == 0 && fsync(fd) != 0) {
    if (errno == EINTR) continue;
    status = oserrorcode(errno);
  }
  if (close(fd) != 0 && status == 0) status = oserrorcode(errno);
  if (status == 0 && rename(temp.c_str(), path.c_str()) != 0) status = oserrorcode(errno);
  if (status != 0) {
    unlink(temp.c_str());
    return status;
  }
  status = flushFolder(path);
  removeTempsOf(path);
  return status;
}

void yysetaccess(int handle, const FileFacts& facts, int& status) {
  // Owner and group first: changing them may clear the set-id bits that the mode then sets.
  // Only the super-user gives a file away and only a member takes a group; otherwise the new
  // file stays the caller's, as a file the caller wrote afresh would.
  if (fchown(handle, facts.owner, facts.group) != 0) (void)!fchown(handle, static_cast<uid_t>(-1), facts.group);
  status = fchmod(handle, static_cast<mode_t>(facts.mode)) == 0 ? 0 : oserrorcode(errno);
}

void yycopyf(const char* source, const char* target, int& status) {
  if (injected("CopyFile", status)) return;
  status = copyFileBytes(toSystem(safeText(source)), toSystem(safeText(target)));
}

namespace {
int attributesOf(const struct stat& st, const std::string& name) {
  int attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  if (!name.empty() && name[0] == '.') attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}
}  // namespace

void yyfileattr(int attributes, int& status, const char* name) {
  const std::string path = toSystem(safeText(name));
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    status = pathCode(errno, path);
    return;
  }
  mode_t mode = st.st_mode & 07777;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else
    mode |= S_IWUSR;
  status = chmod(path.c_str(), mode) == 0 ? 0 : oserrorcode(errno);
}

//------------------------------------------------------------------------------
// [SECTION] Wildcard search
// - yyfind(), yyfindclose(), yyfileinfo()
//------------------------------------------------------------------------------
namespace {

// "*" any run of characters, "?" one character; every other character itself.
bool wildMatch(const char* pattern, const char* name) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '?' || (*pattern != '*' && *pattern == *name)) {
      ++pattern;
      ++name;
    } else if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

struct Match {
  std::string name;  // toolkit text; with unusable, the name shown with "?"
  struct stat st;
  bool unusable = false;  // the code page cannot hold the name
};

struct Search {
  std::vector<Match> matches;
  std::size_t next = 0;
  bool open = false;
};
Search& theSearch() {
  static Search search;
  return search;
}

// All matches of a pattern (toolkit text) in name order, or a status.
int findMatches(const std::string& pattern, std::vector<Match>& matches) {
  matches.clear();
  const auto slash = pattern.find_last_of('/');
  const std::string dirpart = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
  const std::string namepart = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (namepart.empty()) return ERROR_FILE_NOT_FOUND;
  const std::string dir = dirpart.empty() ? "." : toSystem(dirpart);
  if (namepart.find_first_of("*?") == std::string::npos) {
    Match m;
    const std::string path = toSystem(pattern);
    // A link whose target is gone is still a file to delete.
    if (stat(path.c_str(), &m.st) != 0 && lstat(path.c_str(), &m.st) != 0)
      return pathCode(errno, path);
    m.name = namepart;
    matches.push_back(m);
    return 0;
  }
  DIR* d = opendir(dir.c_str());
  if (!d) return errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : oserrorcode(errno);
  const bool everything = namepart == "*.*";
  while (const struct dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    Match m;
    m.unusable = !fromSystemName(e->d_name, m.name);
    if (m.unusable) m.name = fromSystem(e->d_name);
    if (!everything && !wildMatch(namepart.c_str(), m.name.c_str())) continue;
    const std::string full = (dirpart.empty() ? std::string() : dir) + e->d_name;
    if (stat(full.c_str(), &m.st) != 0 && lstat(full.c_str(), &m.st) != 0) continue;
    matches.push_back(m);
  }
  closedir(d);
  std::sort(matches.begin(), matches.end(),
            [](const Match& a, const Match& b) { return a.name < b.name; });
  return matches.empty() ? ERROR_FILE_NOT_FOUND : 0;
}

int packedTime(time_t when) {
  struct tm t {};
  localtime_r(&when, &t);
  const int year = std::clamp(t.tm_year + 1900 - 1980, 0, 127);
  const unsigned date = (static_cast<unsigned>(year) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday;
  const unsigned clock = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2);
  return static_cast<int>((date << 16) | clock);
}

void describe(const Match& m, std::string& name, int& attributes, int& packed, std::int64_t& size) {
  name = m.name;
  attributes = attributesOf(m.st, m.name);
  packed = packedTime(m.st.st_mtime);
  size = static_cast<std::int64_t>(m.st.st_size);
}

// A 64-bit size in 32 bits: a large file stays large (never small, never -1).
int narrowSize(std::int64_t size) { return static_cast<int>(std::clamp<std::int64_t>(size, -1, INT32_MAX)); }

}  // namespace

void yyfind(int mode, std::string& name, int& attributes, int& packed, int& size, int& status) {
  std::int64_t wide = size;
  yyfind(mode, name, attributes, packed, wide, status);
  size = narrowSize(wide);
}

void yyfind(int mode, std::string& name, int& attributes, int& packed, std::int64_t& size, int& status) {
  Search& s = theSearch();
  if (mode == 0) {
    s = Search{};
    if (injected("FindFirstFile", status)) return;
    status = findMatches(name, s.matches);
    if (status != 0) return;
    s.open = true;
  } else if (!s.open || s.next >= s.matches.size()) {
    status = 1;
    return;
  }
  const Match& m = s.matches[s.next++];
  describe(m, name, attributes, packed, size);
  status = m.unusable ? ERROR_NO_UNICODE_TRANSLATION : 0;
}

void yyfindclose() { theSearch() = Search{}; }

void yyfileinfo(int& size, int& year, int& month, int& day, int& hour, int& minute,
                int& second, int& attributes, int& kilobytes, const char* name) {
  std::int64_t wide = -1;
  yyfileinfo(wide, year, month, day, hour, minute, second, attributes, kilobytes, name);
  size = narrowSize(wide);
}

void yyfileinfo(std::int64_t& size, int& year, int& month, int& day, int& hour, int& minute,
                int& second, int& attributes, int& kilobytes, const char* name) {
  std::vector<Match> matches;
  size = -1;
  if (findMatches(safeText(name), matches) != 0) return;
  const Match& m = matches.front();
  size = static_cast<std::int64_t>(m.st.st_size);
  struct tm t {};
  localtime_r(&m.st.st_mtime, &t);
  year = t.tm_year + 1900;
  month = t.tm_mon + 1;
  day = t.tm_mday;
  hour = t.tm_hour;
  minute = t.tm_min;
  second = t.tm_sec;
  attributes = attributesOf(m.st, m.name);
  kilobytes = static_cast<int>(std::min<std::uint64_t>((static_cast<std::uint64_t>(m.st.st_size) + 1023) / 1024, INT32_MAX));
}

//------------------------------------------------------------------------------
// [SECTION] Environment and command line
// - yygetenv(), yyputenv(), yygetcl(), yygetexe(), yyfullpathname()
//------------------------------------------------------------------------------
void yygetenv(int& length, const char* name, char* buffer, int size) {
  int status = 0;
  if (injected("GetEnvironmentVariable", status)) {
    length = 0;
    return;
  }
  const char* value = std::getenv(toSystem(safeText(name)).c_str());
  if (!value) {
    length = 0;
    return;
  }
  // A value the code page cannot hold (a folder of Cyrillic letters) reads as not set, so
  // callers take their fallback rather than a name with "?" in it.
  std::string text;
  if (!fromSystemName(value, text)) {
    length = 0;
    return;
  }
  if (static_cast<int>(text.size()) + 1 > size) {
    length = static_cast<int>(text.size()) + 1;
    return;
  }
  copyOut(text, buffer, size);
  length = static_cast<int>(text.size());
}

void yyputenv(const char* name, const char* value) {
  setenv(toSystem(safeText(name)).c_str(), toSystem(safeText(value)).c_str(), 1);
}

namespace {
std::string& commandLineOverride() {
  static std::string text;
  return text;
}
}  // namespace

namespace test {
void setCommandLine(const std::string& commandline) { commandLineOverride() = commandline; }
}  // namespace test

std::string yygetcl() {
  if (!commandLineOverride().empty()) return commandLineOverride();
  std::FILE* f = std::fopen("/proc/self/cmdline", "rb");
  if (!f) return {};
  std::string raw;
  char block[4096];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) raw.append(block, n);
  std::fclose(f);
  std::string line;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    // A character the code page cannot hold arrives as SUB (0x1A), the substitute
    // character: neither a wildcard nor a separator, so the word can name no other file.
    const std::string word = cp1252FromUtf8Shown(std::string_view(raw).substr(start, end - start), '\x1A');
    if (!line.empty()) line += ' ';
    // A word with blanks or an empty word keeps its shape in double quotes.
    if (word.empty() || word.find_first_of(" \t") != std::string::npos)
      line += '"' + word + '"';
    else
      line += word;
    start = end + 1;
  }
  return line;
}

void yygetexe(char* buffer, int size) {
  std::vector<char> work(4096);
  const ssize_t n = readlink("/proc/self/exe", work.data(), work.size() - 1);
  std::string path;
  if (n <= 0 || !fromSystemName(std::string_view(work.data(), static_cast<std::size_t>(n)), path)) path.clear();
  copyOut(path, buffer, size);
}

void yyfullpathname(int& status, const char* name, char* buffer, int size) {
  if (injected("GetFullPathName", status)) return;
  std::string text = safeText(name);
  if (text.empty()) {
    status = ERROR_INVALID_PARAMETER;
    return;
  }
  if (text[0] != '/') {
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) {
      status = oserrorcode(errno);
      return;
    }
    std::string here;
    if (!fromSystemName(cwd, here)) {
      status = ERROR_NO_UNICODE_TRANSLATION;
      return;
    }
    text = here + "/" + text;
  }
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('/', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string full;
  for (const std::string& p : parts) full.append("/").append(p);
  if (full.empty()) full.push_back('/');
  // A name that ends in a separator keeps it (it names a directory).
  if (text.back() == '/' && full != "/") full += '/';
  if (static_cast<int>(full.size()) + 1 > size) {
    status = ERROR_INSUFFICIENT_BUFFER;
    return;
  }
  copyOut(full, buffer, size);
  status = 0;
}

//------------------------------------------------------------------------------
// [SECTION] System facts
// - yyosver(), yywinvariant(), yydisk(), yydrivetype(), yydspace(), yydspacemb(),
//   yyusername(), yyassocexe(), findprogram()
//------------------------------------------------------------------------------
char localedecimal() {
  char decimal = '.';
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (loc) {
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    if (radix && radix[0] != '\0') {
      const std::string text = fromSystem(radix);
      if (!text.empty()) decimal = text[0];
    }
    freelocale(loc);
  }
  return decimal;
}

void yyosver(int& major, int& minor) {
  struct utsname u;
  major = minor = 0;
  if (uname(&u) != 0) return;
  std::sscanf(u.release, "%d.%d", &major, &minor);
}

void yywinvariant(int& variant) { variant = 4; }

int yylocalemeasure() {
  locale_t l = newlocale(LC_MEASUREMENT_MASK, "", static_cast<locale_t>(0));
  if (l == static_cast<locale_t>(0)) return 2;
  // glibc gives 1 for the metric system and 2 for the US one.
  const char* m = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, l);
  const int system = m != nullptr && m[0] == 2 ? 1 : 2;
  freelocale(l);
  return system;
}

void yydisk(int& serial, const char* rootpath) {
  struct statvfs sv;
  serial = 0;
  if (statvfs(toSystem(safeText(rootpath)).c_str(), &sv) == 0)
    serial = static_cast<int>(static_cast<std::uint32_t>(sv.f_fsid));
}

void yydrivetype(int& type, const char* rootpath) {
  struct statfs sf;
  const std::string path = toSystem(safeText(rootpath));
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
      statfs(path.c_str(), &sf) != 0) {
    type = DRIVE_NO_ROOT_DIR;
    return;
  }
  switch (static_cast<unsigned long>(sf.f_type)) {
    case 0x01021994ul:  // tmpfs
    case 0x858458f6ul:  // ramfs
      type = DRIVE_RAMDISK;
      break;
    case 0x6969ul:      // nfs
    case 0x517Bul:      // smb
    case 0xFF534D42ul:  // cifs
    case 0xFE534D42ul:  // smb2
      type = DRIVE_REMOTE;
      break;
    case 0x9660ul:      // iso9660
    case 0x15013346ul:  // udf
      type = DRIVE_CDROM;
      break;
    default:
      type = DRIVE_FIXED;
  }
}

namespace {
bool freeBytes(std::uint64_t& bytes) {
  struct statvfs sv;
  if (statvfs(".", &sv) != 0) return false;
  bytes = static_cast<std::uint64_t>(sv.f_bavail) * sv.f_frsize;
  return true;
}
}  // namespace

void yydspace(int& bytes) {
  std::uint64_t free = 0;
  bytes = 0;
  if (!freeBytes(free)) return;
  bytes = free >= (std::uint64_t{2048} << 20) ? 2147155968 : static_cast<int>(free);
}

void yydspacemb(int& megabytes) {
  std::uint64_t free = 0;
  megabytes = 0;
  if (freeBytes(free)) megabytes = static_cast<int>(static_cast<std::uint32_t>(free >> 20));
}

void yyusername(int& status, int& truncated, char* buffer, int size) {
  truncated = 0;
  std::string name;
  if (const struct passwd* pw = getpwuid(geteuid())) {
    name = pw->pw_name;
  } else if (const char* user = std::getenv("USER")) {
    name = user;
  } else {
    status = ERROR_FILE_NOT_FOUND;
    return;
  }
  name = fromSystem(name).substr(0, 256);
  if (static_cast<int>(name.size()) > size - 1) truncated = 1;
  copyOut(name, buffer, size);
  status = 0;
}

bool findprogram(const char* name, std::string& path) {
  const std::string want = toSystem(safeText(name));
  if (want.empty()) return false;
  if (want.find('/') != std::string::npos) {
    return access(want.c_str(), X_OK) == 0 && fromSystemName(want, path);
  }
  const char* env = std::getenv("PATH");
  const std::string dirs = env ? env : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + want;
    struct stat st;
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        access(candidate.c_str(), X_OK) == 0) {
      return fromSystemName(candidate, path);
    }
    start = end + 1;
  }
  return false;
}

void yyassocexe(int& status, const char* document, char* program, int size) {
  struct stat st;
  if (stat(toSystem(safeText(document)).c_str(), &st) != 0) {
    status = 1;
    return;
  }
  std::string opener;
  if (!findprogram("xdg-open", opener)) {
    status = -1;
    return;
  }
  if (static_cast<int>(opener.size()) + 1 > size) {
    status = 1023;
    return;
  }
  copyOut(opener, program, size);
  status = 0;
}

//------------------------------------------------------------------------------
// [SECTION] File times
// - yygetfiletime(), yysetfiletime(), yycopyfiletime()
//------------------------------------------------------------------------------
namespace {
constexpr std::uint64_t kEpochDifference = 11644473600ull;  // seconds 1601-01-01 to 1970-01-01

void split(const struct timespec& ts, std::uint32_t& low, std::uint32_t& high) {
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(ts.tv_sec) + kEpochDifference) * 10000000ull +
      static_cast<std::uint64_t>(ts.tv_nsec) / 100;
  low = static_cast<std::uint32_t>(ticks);
  high = static_cast<std::uint32_t>(ticks >> 32);
}

struct timespec join(std::uint32_t low, std::uint32_t high) {
  const std::uint64_t ticks = (static_cast<std::uint64_t>(high) << 32) | low;
  struct timespec ts;
  ts.tv_sec = static_cast<time_t>(ticks / 10000000ull) - static_cast<time_t>(kEpochDifference);
  ts.tv_nsec = static_cast<long>(ticks % 10000000ull) * 100;
  return ts;
}
}  // namespace

void yygetfiletime(FileTimes& times, const char* name, int& status) {
  const std::string path = toSystem(safeText(name));
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    status = pathCode(errno, path);
    return;
  }
  struct timespec created = st.st_mtim;
  struct statx sx;
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME)) {
    created.tv_sec = sx.stx_btime.tv_sec;
    created.tv_nsec = sx.stx_btime.tv_nsec;
  }
  split(created, times.creationlow, times.creationhigh);
  split(st.st_atim, times.accesslow, times.accesshigh);
  split(st.st_mtim, times.writelow, times.writehigh);
  status = 0;
}

void yysetfiletime(const FileTimes& times, const char* name, int& status) {
  const std::string path = toSystem(safeText(name));
  const struct timespec ts[2] = {join(times.accesslow, times.accesshigh),
                                 join(times.writelow, times.writehigh)};
  status = utimensat(AT_FDCWD, path.c_str(), ts, 0) == 0 ? 0 : pathCode(errno, path);
}

void yycopyfiletime(const char* source, const char* target) {
  FileTimes times;
  int status = 0;
  yygetfiletime(times, source, status);
  if (status == 0) yysetfiletime(times, target, status);
}

//------------------------------------------------------------------------------
// [SECTION] Processes
// - yyexec(), yycmnd(), yyexit(), setpaintpump()
//------------------------------------------------------------------------------
namespace {

std::function<void()>& paintPump() {
  static std::function<void()> pump;
  return pump;
}

// Children started without waiting; reaped when they have ended.
std::vector<pid_t>& unwaited() {
  static std::vector<pid_t> pids;
  return pids;
}

void reapEnded() {
  auto& pids = unwaited();
  pids.erase(std::remove_if(pids.begin(), pids.end(),
                            [](pid_t pid) {
                              int st = 0;
                              return waitpid(pid, &st, WNOHANG) != 0;
                            }),
             pids.end());
}

// Starts "/bin/sh -c commandline" in a process group of its own; returns a status.
int spawnShell(const char* commandline, pid_t& pid) {
  int status = 0;
  if (injected("CreateProcess", status)) return status;
  const std::string line = toSystem(safeText(commandline));
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  char sh[] = "/bin/sh";
  char dashc[] = "-c";
  std::vector<char> cmd(line.begin(), line.end());
  cmd.push_back('\0');
  char* argv[] = {sh, dashc, cmd.data(), nullptr};
  const int rc = posix_spawn(&pid, sh, nullptr, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  return rc == 0 ? 0 : oserrorcode(rc);
}

// Waits up to ms milliseconds for pid; true when it has ended (and is reaped).
bool waitFor(pid_t pid, int ms) {
  int st = 0;
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (pidfd >= 0) {
    struct pollfd p = {pidfd, POLLIN, 0};
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            until - std::chrono::steady_clock::now())
                            .count();
      const int rc = poll(&p, 1, static_cast<int>(std::max<long long>(left, 0)));
      if (rc < 0 && errno == EINTR) continue;
      break;
    }
    close(pidfd);
    return waitpid(pid, &st, WNOHANG) == pid;
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (waitpid(pid, &st, WNOHANG) == pid) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

void setpaintpump(std::function<void()> pump) { paintPump() = std::move(pump); }

void yyexecgroup(int& result, const char* commandline, int& group) {
  reapEnded();
  pid_t pid = 0;
  group = 0;
  const int status = spawnShell(commandline, pid);
  if (status != 0) {
    result = std::clamp(status, 0, 31);
    return;
  }
  unwaited().push_back(pid);
  group = static_cast<int>(pid);  // the shell leads a process group of its own
  result = 33;
}

void yyexec(int& result, const char* commandline) {
  int group = 0;
  yyexecgroup(result, commandline, group);
}

void yyendgroup(int group) {
  if (group <= 0) return;
  const pid_t leader = static_cast<pid_t>(group);
  kill(-leader, SIGTERM);
  auto& pids = unwaited();
  const auto it = std::find(pids.begin(), pids.end(), leader);
  if (it != pids.end() && waitFor(leader, 1000)) pids.erase(it);
  reapEnded();
}

void yycmnd(const char* commandline, int hide, int wait, int timeout, int& status) {
  if (wait == 0) {
    yyexec(status, commandline);
    return;
  }
  reapEnded();
  pid_t pid = 0;
  status = spawnShell(commandline, pid);
  if (status != 0) return;
  if (timeout < 0) {
    for (;;) {
      if (paintPump()) paintPump()();
      if (waitFor(pid, 100)) break;
    }
    status = 32;
    return;
  }
  if (waitFor(pid, timeout * 1000)) {
    status = 32;
    return;
  }
  unwaited().push_back(pid);  // left running; reaped once it ends
  status = -1;
}

void yyrun(const char* commandline, int& status, int& exitcode) {
  reapEnded();
  pid_t pid = 0;
  exitcode = -1;
  status = spawnShell(commandline, pid);
  if (status != 0) return;
  int st = 0;
  while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
  }
  exitcode = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + (WIFSIGNALED(st) ? WTERMSIG(st) : 0);
}

namespace {
std::function<void(int)>& exitHook() {
  static std::function<void(int)> hook;
  return hook;
}
}  // namespace

namespace test {
void onExit(std::function<void(int)> hook) { exitHook() = std::move(hook); }
}  // namespace test

void yyexit(int code) {
  if (exitHook()) exitHook()(code);
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace win
