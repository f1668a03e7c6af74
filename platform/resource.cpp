// platform/resource.cpp: the resource loaders over the tables that rc-generated sources
// register. Invariants: (1) tables are only added, during static initialisation, before any
// lookup; (2) a resource handle is 1 + the resource's place in the registered tables taken
// in order, for HRSRC and HGLOBAL alike; (3) a loaded accelerator table is decoded once per
// resource, never freed, and its handle is 1 + its place among the decoded tables.
#include "platform/resource.h"

#include <cstring>
#include <vector>

#include "platform/codepage.h"

namespace win {

namespace {

std::vector<std::pair<const ResourceEntry*, std::size_t>>& tables() {
  static std::vector<std::pair<const ResourceEntry*, std::size_t>> t;
  return t;
}

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (upperAscii(*a) != upperAscii(*b)) return false;
  return *a == *b;
}

// An integer, a "#n" string or a name: matches entry fields (id, str).
struct Key {
  bool isNum = false;
  unsigned num = 0;
  const char* name = nullptr;
};

bool makeKey(LPCSTR p, Key& k) {
  if (p == nullptr) return false;
  if (IS_INTRESOURCE(p)) {
    k.isNum = true;
    k.num = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p));
    return true;
  }
  if (p[0] == '#') {
    unsigned v = 0;
    const char* q = p + 1;
    if (*q == '\0') return false;
    for (; *q; ++q) {
      if (*q < '0' || *q > '9') return false;
      v = v * 10 + static_cast<unsigned>(*q - '0');
      if (v > 0xFFFF) return false;
    }
    k.isNum = true;
    k.num = v;
    return true;
  }
  k.name = p;
  return true;
}

bool matches(const Key& k, std::uint16_t id, const char* str) {
  if (k.isNum) return str == nullptr && id == k.num;
  return str != nullptr && sameName(k.name, str);
}

const unsigned char kEmpty[4] = {0, 0, 0, 0};

const unsigned char* bytes(const ResourceEntry* r) { return r->data ? r->data : kEmpty; }

template <class H>
H toHandle(std::size_t n) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(n));
}

// The entry of a resource handle, null for none.
const ResourceEntry* entryOf(const void* h) {
  std::size_t n = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(h));
  if (n == 0) return nullptr;
  --n;
  for (const auto& [entries, count] : tables()) {
    if (n < count) return &entries[n];
    n -= count;
  }
  return nullptr;
}

struct AccelTable {
  const ResourceEntry* from;
  std::vector<ACCEL> entries;
};
std::vector<AccelTable>& accelTables() {
  static std::vector<AccelTable> t;
  return t;
}
const AccelTable* accelOf(HACCEL h) {
  const std::size_t n = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(h));
  return n >= 1 && n <= accelTables().size() ? &accelTables()[n - 1] : nullptr;
}

unsigned rd16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// Unicode to Windows-1252; characters outside the page become '?'.
char toCp1252(unsigned u) {
  const int b = cp1252OfUnicode(u);
  return b < 0 ? '?' : static_cast<char>(b);
}

}  // namespace

ResourceRegistration::ResourceRegistration(const ResourceEntry* entries, std::size_t count) {
  tables().emplace_back(entries, count);
}

HRSRC FindResource(HMODULE, LPCSTR name, LPCSTR type) {
  Key n, t;
  if (!makeKey(name, n) || !makeKey(type, t)) return nullptr;
  std::size_t place = 0;
  for (const auto& [entries, count] : tables())
    for (std::size_t i = 0; i < count; ++i) {
      const ResourceEntry& e = entries[i];
      ++place;
      if (matches(t, e.typeId, e.typeName) && matches(n, e.nameId, e.nameStr)) return toHandle<HRSRC>(place);
    }
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC res) { return entryOf(res) ? static_cast<HGLOBAL>(res) : nullptr; }

const void* LockResource(HGLOBAL data) {
  const ResourceEntry* e = entryOf(data);
  return e ? bytes(e) : nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC res) {
  const ResourceEntry* e = entryOf(res);
  return e ? e->size : 0;
}

BOOL FreeResource(HGLOBAL) { return 0; }

int LoadString(HINSTANCE, UINT id, char* buffer, int bufferMax) {
  if (buffer == nullptr || bufferMax <= 0) return 0;
  buffer[0] = '\0';
  if (id > 0xFFFF) return 0;
  const ResourceEntry* r = entryOf(FindResource(nullptr, MAKEINTRESOURCE(static_cast<int>((id >> 4) + 1)), RT_STRING));
  if (!r) return 0;
  const unsigned char* p = bytes(r);
  const unsigned char* end = p + r->size;
  // Walk past the strings before this one in its block of 16; a damaged block reads as absent.
  for (unsigned k = 0; k < (id & 15u); ++k) {
    if (end - p < 2) return 0;
    const unsigned len = rd16(p);
    if (static_cast<std::size_t>(end - p) < 2 + 2ul * len) return 0;
    p += 2 + 2 * len;
  }
  if (end - p < 2) return 0;
  const unsigned len = rd16(p);
  p += 2;
  if (static_cast<std::size_t>(end - p) < 2ul * len) return 0;
  int n = 0;
  for (unsigned k = 0; k < len && n < bufferMax - 1; ++k) {
    unsigned u = rd16(p + 2 * k);
    if (u >= 0xD800 && u < 0xDC00 && k + 1 < len) {  // a surrogate pair is one character
      ++k;
      u = 0x10000;
    }
    buffer[n++] = toCp1252(u);
  }
  buffer[n] = '\0';
  return n;
}

HACCEL LoadAccelerators(HINSTANCE, LPCSTR name) {
  const ResourceEntry* r = entryOf(FindResource(nullptr, name, RT_ACCELERATOR));
  if (!r) return nullptr;
  auto& all = accelTables();
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all[i].from == r) return toHandle<HACCEL>(i + 1);
  AccelTable t{r, {}};
  const unsigned char* p = bytes(r);
  for (std::size_t o = 0; o + 8 <= r->size; o += 8) {
    const unsigned flags = rd16(p + o);
    t.entries.push_back({static_cast<BYTE>(flags & 0x7F), static_cast<WORD>(rd16(p + o + 2)),
                         static_cast<WORD>(rd16(p + o + 4))});
    if (flags & 0x80) break;  // last entry
  }
  all.push_back(std::move(t));
  return toHandle<HACCEL>(all.size());
}

int CopyAcceleratorTable(HACCEL table, ACCEL* entries, int count) {
  const AccelTable* t = accelOf(table);
  if (!t) return 0;
  const int n = static_cast<int>(t->entries.size());
  if (!entries) return n;
  const int copied = count < n ? (count < 0 ? 0 : count) : n;
  std::memcpy(entries, t->entries.data(), sizeof(ACCEL) * static_cast<std::size_t>(copied));
  return copied;
}

BOOL DestroyAcceleratorTable(HACCEL table) { return accelOf(table) ? TRUE : FALSE; }

}  // namespace win
