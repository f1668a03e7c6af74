// platform/clipboard.cpp: memory blocks and the in-process clipboard store.
// Invariants: (1) a memory handle is kBlockBase + a serial number never handed out twice, so a
// freed handle stays dead; (2) every block in the store is a live block that only the store
// frees; (3) the store lists its formats in the order they were first set.
#include "platform/clipboard.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/window_internal.h"

namespace win {

namespace {

constexpr std::uintptr_t kBlockBase = 0x70000;

struct Block {
  std::vector<unsigned char> bytes;
  int locks = 0;
};

struct Store {
  std::map<std::uintptr_t, Block> blocks;
  std::uintptr_t nextBlock = kBlockBase + 1;
  bool open = false;
  HWND opener = nullptr;
  HWND owner = nullptr;
  std::vector<std::pair<UINT, HGLOBAL>> formats;
  bool changed = false;      // emptied or set since it was opened
  bool refreshing = false;
};

Store& store() {
  static Store s;
  return s;
}

Block* block(HGLOBAL h) {
  auto& b = store().blocks;
  auto it = b.find(reinterpret_cast<std::uintptr_t>(h));
  return it == b.end() ? nullptr : &it->second;
}

void freeBlock(HGLOBAL h) { store().blocks.erase(reinterpret_cast<std::uintptr_t>(h)); }

// Bitmaps and enhanced metafiles are held as the drawing layer's objects, not as blocks.
bool objectFormat(UINT format) { return format == CF_BITMAP || format == CF_ENHMETAFILE; }

void release(UINT format, HGLOBAL data) {
  if (data == nullptr) return;
  if (format == CF_BITMAP) DeleteObject(reinterpret_cast<HGDIOBJ>(data));
  else if (format == CF_ENHMETAFILE) DeleteEnhMetaFile(reinterpret_cast<HENHMETAFILE>(data));
  else freeBlock(data);
}

void dropAll() {
  Store& s = store();
  for (auto& [format, data] : s.formats) release(format, data);
  s.formats.clear();
}

// The clipboard may be read and written: someone in the program has it open (one thread, so
// whoever opened it is the caller).
bool openHere() { return store().open; }

void refresh() {
  Store& s = store();
  if (clipboard::bridge.refresh == nullptr || s.refreshing) return;
  s.refreshing = true;
  clipboard::bridge.refresh();
  s.refreshing = false;
}

}  // namespace

//------------------------------------------------------------------------------
// Memory blocks
//------------------------------------------------------------------------------
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
  (void)flags;   // blocks start zeroed whatever the flags: no stale bytes reach a reader
  Store& s = store();
  Block b;
  try {
    b.bytes.assign(bytes, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  const std::uintptr_t h = s.nextBlock++;
  s.blocks.emplace(h, std::move(b));
  return reinterpret_cast<HGLOBAL>(h);
}

void* GlobalLock(HGLOBAL h) {
  Block* b = block(h);
  if (!b) return nullptr;
  ++b->locks;
  // A block of no bytes still has an address.
  return b->bytes.empty() ? static_cast<void*>(b) : b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL h) {
  Block* b = block(h);
  if (!b || b->locks == 0) return FALSE;
  --b->locks;
  return b->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL h) {
  if (!block(h)) return h;
  // A block the clipboard holds is the store's to free.
  for (const auto& [format, data] : store().formats)
    if (data == h) return h;
  freeBlock(h);
  return nullptr;
}

std::size_t GlobalSize(HGLOBAL h) {
  const Block* b = block(h);
  return b ? b->bytes.size() : 0;
}

namespace clipboard {
int liveBlocks() { return static_cast<int>(store().blocks.size()); }

std::vector<UINT> storedFormats() {
  std::vector<UINT> out;
  for (const auto& [f, data] : store().formats) out.push_back(f);
  return out;
}

std::vector<unsigned char> storedBytes(UINT format) {
  for (const auto& [f, data] : store().formats)
    if (f == format)
      if (const Block* b = block(data)) return b->bytes;
  return {};
}

HGLOBAL storedHandle(UINT format) {
  for (const auto& [f, data] : store().formats)
    if (f == format) return data;
  return nullptr;
}

void replaceFromDesktop(const std::vector<std::pair<UINT, std::vector<unsigned char>>>& items,
                        const std::vector<std::pair<UINT, HGLOBAL>>& objects) {
  Store& s = store();
  dropAll();
  s.owner = nullptr;
  for (const auto& [format, bytes] : items) {
    HGLOBAL h = GlobalAlloc(GHND, bytes.size());
    if (h == nullptr) continue;
    block(h)->bytes = bytes;
    s.formats.emplace_back(format, h);
  }
  for (const auto& [format, object] : objects)
    if (object != nullptr) s.formats.emplace_back(format, object);
}
}  // namespace clipboard

//------------------------------------------------------------------------------
// The store
//------------------------------------------------------------------------------
BOOL OpenClipboard(HWND owner) {
  Store& s = store();
  if (failNow("OpenClipboard")) return FALSE;
  // A window that went away while it had the clipboard open leaves it free.
  if (s.open && s.opener != owner && (s.opener == nullptr || IsWindow(s.opener))) return FALSE;
  s.open = true;
  s.opener = owner;
  s.changed = false;
  refresh();
  return TRUE;
}

BOOL CloseClipboard() {
  Store& s = store();
  if (!s.open) return FALSE;
  s.open = false;
  s.opener = nullptr;
  if (s.changed && clipboard::bridge.publish != nullptr) clipboard::bridge.publish();
  s.changed = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  Store& s = store();
  if (!openHere()) return FALSE;
  dropAll();
  s.owner = s.opener;
  s.changed = true;
  return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL data) {
  Store& s = store();
  if (!openHere() || format == 0) return nullptr;
  if (data && !objectFormat(format) && !block(data)) return nullptr;
  s.changed = true;
  if (data && (format == CF_TEXT || format == CF_OEMTEXT)) {
    // Readers take the text up to its NUL: make sure there is one inside the block.
    Block* b = block(data);
    if (std::find(b->bytes.begin(), b->bytes.end(), 0) == b->bytes.end()) b->bytes.push_back(0);
  }
  for (auto& [f, held] : s.formats) {
    if (f != format) continue;
    if (held && held != data) release(f, held);
    held = data;
    return data;
  }
  s.formats.emplace_back(format, data);
  return data;
}

HGLOBAL GetClipboardData(UINT format) {
  if (!openHere()) return nullptr;
  for (const auto& [f, data] : store().formats)
    if (f == format) return data;
  return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  if (!store().open) refresh();
  for (const auto& [f, data] : store().formats)
    if (f == format) return TRUE;
  return FALSE;
}

int CountClipboardFormats() {
  if (!store().open) refresh();
  return static_cast<int>(store().formats.size());
}

UINT EnumClipboardFormats(UINT format) {
  const auto& f = store().formats;
  if (!openHere()) return 0;
  if (format == 0) return f.empty() ? 0 : f.front().first;
  for (std::size_t i = 0; i + 1 < f.size(); ++i)
    if (f[i].first == format) return f[i + 1].first;
  return 0;
}

HWND GetClipboardOwner() { return store().owner; }

UINT RegisterClipboardFormat(LPCSTR name) {
  if (!name || !*name) return 0;
  return addAtom(name);
}

int GetClipboardFormatName(UINT format, LPSTR name, int size) {
  if (!name || size <= 0 || format < 0xC000) return 0;
  const auto& names = ws().atomNames;
  auto it = names.find(static_cast<ATOM>(format));
  if (format > 0xFFFF || it == names.end()) return 0;
  const std::size_t n = std::min(it->second.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(name, it->second.data(), n);
  name[n] = '\0';
  return static_cast<int>(n);
}

}  // namespace win
