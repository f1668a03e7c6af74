// platform/os_registry.cpp: the registry as a small text file of the user's configuration,
// $XDG_CONFIG_HOME/tarnwalker/registry (else ~/.config/tarnwalker/registry).
//
// One line per value: root, key, value name, type and the data in hexadecimal, separated by
// tabs; a key without values keeps a line with type -1. Key names compare without regard to
// case, as the registry's do. The file is rewritten whole through a temporary file.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
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

std::string unhex(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  return out;
}

std::vector<Entry> load() {
  std::vector<Entry> entries;
  std::ifstream in(storePath());
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> f;
    std::stringstream ss(line);
    for (std::string part; std::getline(ss, part, '\t');) f.push_back(part);
    if (f.size() < 4) continue;
    Entry e;
    e.root = static_cast<int>(std::strtol(f[0].c_str(), nullptr, 10));
    e.key = unhex(f[1]);
    e.name = unhex(f[2]);
    e.type = static_cast<int>(std::strtol(f[3].c_str(), nullptr, 10));
    if (f.size() > 4) e.data = unhex(f[4]);
    entries.push_back(e);
  }
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
    out << e.root << '\t' << hex(e.key) << '\t' << hex(e.name) << '\t' << e.type << '\t'
        << hex(e.data) << '\n';
  // Flushed before and after the rename, so that a power cut leaves the old store or the new.
  return replaceDurably(path, std::move(out).str());
}

bool sameKey(const Entry& e, int root, const std::string& key) {
  return e.root == root && lower(e.key) == lower(key);
}

// A key exists when it was created or holds a key below it.
bool keyExists(const std::vector<Entry>& entries, int root, const std::string& key) {
  const std::string prefix = lower(key) + "\\";
  return std::any_of(entries.begin(), entries.end(), [&](const Entry& e) {
    return sameKey(e, root, key) || (e.root == root && lower(e.key).rfind(prefix, 0) == 0);
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
    if (e.root == root && lower(e.key).rfind(prefix, 0) == 0) {
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
  if (!keyExists(entries, root, key)) entries.push_back(Entry{root, key, "", -1, ""});
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
  entries.push_back(Entry{root, key, name, type, bytes});
  status = save(entries);
}

}  // namespace win
