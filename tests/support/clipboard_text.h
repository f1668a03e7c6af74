#pragma once
// Text put on the in-process clipboard store as another program would put it there.
#include <cstring>
#include <string>

#include "platform/clipboard.h"

namespace tw::test {

inline bool setclipboardtext(const std::string& text) {
  if (!win::OpenClipboard(nullptr)) return false;
  win::EmptyClipboard();
  win::HGLOBAL h = win::GlobalAlloc(win::GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(win::GlobalLock(h), text.c_str(), text.size() + 1);
  win::GlobalUnlock(h);
  const bool stored = win::SetClipboardData(win::CF_TEXT, h) != nullptr;
  win::CloseClipboard();
  return stored;
}

}  // namespace tw::test
