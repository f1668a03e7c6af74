// platform/os_registry.cpp: the registry as a small text file of the user's configuration,
// $XDG_CONFIG_HOME/tarnwalker/registry (else ~/.config/tarnwalker/registry).
//
// One line per value: root, key, value name, type and the data in hexadecimal, separated by
// tabs; a key without values keeps a line with type -1. Key names compare without regard to
// case, as the registry's do. The file is rewritten whole through a temporary file.
// A damaged line (a wrong field count, a number or hexadecimal text that does not read) is
// skipped and reported once on standard error; it is written back as it stands, so that
// nothing of the file is lost.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/os.h"

namespace win {

namespace {

struct Entry {
  int root = 0;
  std::string key, name;
  int type = -1;  // -1: the key itself
  std::string data;
  std::string damaged;  // a line that does not read: kept as it stands, matches nothing
};

std::string lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Keys without leading or trailing separators, "/" written as "\".
std::string cleanKey(const char* key) {
  std::string k = key ? key : "";
  std::replace(k.begin(), k.end(), '/', '\\');
  while (!k.empty() && k.front() == '\\') k.erase(0, 1);
  while (!k.empty() && k.back() == '\\') k.pop_back();
  return k;
}

std::string storePath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = std::string(home) + "/.config";
  else
    base = "/tmp";
  return base + "/tarnwalker/registry";
}

std::string hex(const std::string& data) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : data) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool unhex(const std::string& text, std::string& out) {
  out.clear();
  if (text.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
  }
  return true;
}

bool number(const std::string& text, int& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || v < -2147483647L - 1 || v > 2147483647L) return false;
  out = static_cast<int>(v);
  return true;
}

// One line of the file, or the reason it does not read.
const char* parse(const std::string& line, Entry& e) {
  std::vector<std::string> f;
  std::size_t from = 0;
  for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
    f.push_back(line.substr(from, tab - from));
  f.push_back(line.substr(from));
  if (f.size() != 4 && f.size() != 5) return "wrong number of fields";
  if (!number(f[0], e.root) || !number(f[3], e.type)) return "a number does not read";
  if (!unhex(f[1], e.key) || !unhex(f[2], e.name) || (f.size() == 5 && !unhex(f[4], e.data)))
    return "hexadecimal text does not read";
  return nullptr;
}

// Reports the damaged lines of one reading that the previous reading did not have, so that
// a file read again and again reports each damaged line once.
void reportDamaged(const std::string& path, const std::vector<std::pair<int, std::string>>& lines,
                   const std::vector<const char*>& reasons) {
  static std::set<std::string> previous;
  std::set<std::string> now;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string id = path + '\n' + lines[i].second;
    now.insert(id);
    if (!previous.count(id))
      std::fprintf(stderr, "platform: settings file %s, line %d is damaged (%s) and was skipped\n",
                   path.c_str(), lines[i].first, reasons[i]);
  }
  previous = std::move(now);
}

std::vector<Entry> load() {
  std::vector<Entry> entries;
  const std::string path = storePath();
  std::ifstream in(path, std::ios::binary);
  int lineNumber = 0;
  std::vector<std::pair<int, std::string>> damaged;
  std::vector<const char*> reasons;
  for (std::string line; std::getline(in, line);) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    Entry e;
    if (const char* why = parse(line, e)) {
      damaged.emplace_back(lineNumber, line);
      reasons.push_back(why);
      entries.push_back(Entry{0, "", "", -1, "", line});
      continue;
    }
    entries.push_back(e);
  }
  reportDamaged(path, damaged, reasons);
  return entries;
}

int save(const std::vector<Entry>& entries) {
  const std::string path = storePath();
  const std::string dir = path.substr(0, path.find_last_of('/'));
  const std::string parent = dir.substr(0, dir.find_last_of('/'));
  mkdir(parent.c_str(), 0700);
  mkdir(dir.c_str(), 0700);
  std::ostringstream out;
  for (const Entry& e : entries)
    if (!e.damaged.empty())
      out << e.damaged << '\n';
    else
      out << e.root << '\t' << hex(e.key) << '\t' << hex(e.name) << '\t' << e.type << '\t'
          << hex(e.data) << '\n';
  // Flushed before and after the rename, so that a power cut leaves the old store or the new.
  return replaceDurably(path, std::move(out).str());
}

bool sameKey(const Entry& e, int root, const std::string& key) {
  return e.damaged.empty() && e.root == root && lower(e.key) == lower(key);
}

// A key exists when it was created or holds a key below it.
bool keyExists(const std::vector<Entry>& entries, int root, const std::string& key) {
  const std::string prefix = lower(key) + "\\";
  return std::any_of(entries.begin(), entries.end(), [&](const Entry& e) {
    return sameKey(e, root, key) ||
           (e.damaged.empty() && e.root == root && lower(e.key).rfind(prefix, 0) == 0);
  });
}

}  // namespace

void yyregkeydel(int root, int& status, const char* subkey) {
  auto entries = load();
  const std::string key = cleanKey(subkey);
  if (key.empty() || !keyExists(entries, root, key)) {
    status = ERROR_FILE_NOT_FOUND;
    return;
  }
  const std::string prefix = lower(key) + "\\";
  // A key with subkeys is not deleted.
  for (const Entry& e : entries)
    if (e.damaged.empty() && e.root == root && lower(e.key).rfind(prefix, 0) == 0) {
      status = ERROR_ACCESS_DENIED;
      return;
    }
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&](const Entry& e) { return sameKey(e, root, key); }),
                entries.end());
  status = save(entries);
}

void yyregvaldel(int root, int& status, const char* subkey, const char* valuename) {
  auto entries = load();
  const std::string key = cleanKey(subkey);
  if (!keyExists(entries, root, key)) {
    status = ERROR_FILE_NOT_FOUND;
    return;
  }
  const std::string name = lower(valuename ? valuename : "");
  const auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
    return sameKey(e, root, key) && e.type != -1 && lower(e.name) == name;
  });
  if (it == entries.end()) {
    status = ERROR_FILE_NOT_FOUND;
    return;
  }
  entries.erase(it);
  // The key stays, with or without values.
  if (!keyExists(entries, root, key)) entries.push_back(Entry{root, key, "", -1, "", ""});
  status = save(entries);
}

void yyregkeyget(int root, int& type, int& size, const char* subkey, const char* valuename,
                 unsigned char* data) {
  const auto entries = load();
  const std::string key = cleanKey(subkey);
  if (!keyExists(entries, root, key)) return;
  const std::string name = lower(valuename ? valuename : "");
  const auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
    return sameKey(e, root, key) && e.type != -1 && lower(e.name) == name;
  });
  if (it == entries.end()) {
    type = -2;
    size = 0;
    return;
  }
  type = it->type;
  const int needed = static_cast<int>(it->data.size());
  if (size == 0 || !data || size < needed) {
    size = needed;  // asked for type and size only, or too small: nothing copied
    return;
  }
  std::memcpy(data, it->data.data(), it->data.size());
  size = needed;
}

void yyregkeyput(int root, int type, int& status, const char* subkey, const char* valuename,
                 const unsigned char* data, int datasize) {
  auto entries = load();
  const std::string key = cleanKey(subkey);
  if (key.empty() || datasize < 0) {
    status = ERROR_INVALID_PARAMETER;
    return;
  }
  const std::string name = valuename ? valuename : "";
  const std::string bytes = data ? std::string(reinterpret_cast<const char*>(data),
                                               static_cast<std::size_t>(datasize))
                                 : std::string();
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&](const Entry& e) {
                                 return sameKey(e, root, key) &&
                                        (e.type == -1 || lower(e.name) == lower(name));
                               }),
                entries.end());
  entries.push_back(Entry{root, key, name, type, bytes, ""});
  status = save(entries);
}

}  // namespace win
