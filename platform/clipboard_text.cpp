#include "platform/clipboard_text.h"

#include <algorithm>

#include "platform/codepage.h"

namespace win::clipboard {

std::string desktopTextFromStore(std::string_view store) {
  store = store.substr(0, store.find('\0'));
  std::string out;
  out.reserve(store.size());
  for (std::size_t i = 0; i < store.size();) {
    const std::size_t cr = std::min(store.find('\r', i), store.size());
    out += utf8FromCp1252(store.substr(i, cr - i));
    if (cr == store.size()) break;
    out += '\n';
    i = cr + (cr + 1 < store.size() && store[cr + 1] == '\n' ? 2 : 1);
  }
  return out;
}

std::string storeTextFromDesktop(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + utf8.size() / 16);
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t end = std::min(utf8.find_first_of("\r\n", i), utf8.size());
    out += cp1252FromUtf8Shown(utf8.substr(i, end - i));
    if (end == utf8.size()) break;
    out += "\r\n";
    i = end + (utf8[end] == '\r' && end + 1 < utf8.size() && utf8[end + 1] == '\n' ? 2 : 1);
  }
  return out;
}

}  // namespace win::clipboard
