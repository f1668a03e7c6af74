#include "toolkit/dialog/printer_blocks.h"

#include <algorithm>
#include <cstring>

bool yyreadprintermode(win::HGLOBAL block, win::DEVMODE& mode) {
  if (block == nullptr || win::GlobalSize(block) < sizeof mode) return false;
  std::memcpy(&mode, win::GlobalLock(block), sizeof mode);
  win::GlobalUnlock(block);
  return true;
}

void yywriteprintermode(win::HGLOBAL block, const win::DEVMODE& mode) {
  if (block == nullptr || win::GlobalSize(block) < sizeof mode) return;
  std::memcpy(win::GlobalLock(block), &mode, sizeof mode);
  win::GlobalUnlock(block);
}

std::array<std::string, 3> yyprinternames(win::HGLOBAL block) {
  std::array<std::string, 3> out;
  if (block == nullptr) return out;
  const char* p = static_cast<const char*>(win::GlobalLock(block));
  if (p == nullptr) return out;
  const std::string all(p, win::GlobalSize(block));
  win::GlobalUnlock(block);
  std::size_t at = 0;
  for (std::string& name : out) {
    if (at >= all.size()) break;
    const std::size_t end = std::min(all.find('\0', at), all.size());
    name = all.substr(at, end - at);
    at = end + 1;
  }
  return out;
}

win::HDC yyprinterdc(const win::PAGESETUPDLG& psd) {
  const auto names = yyprinternames(psd.hDevNames);
  if (names[1].empty()) return nullptr;
  win::DEVMODE mode;
  const bool known = yyreadprintermode(psd.hDevMode, mode);
  return win::CreateDC(names[0].c_str(), names[1].c_str(), names[2].c_str(), known ? &mode : nullptr);
}

void yyforgetprinterblocks(win::PAGESETUPDLG& psd) {
  if (psd.hDevMode != nullptr) win::GlobalFree(psd.hDevMode);
  if (psd.hDevNames != nullptr) win::GlobalFree(psd.hDevNames);
  psd.hDevMode = psd.hDevNames = nullptr;
}
