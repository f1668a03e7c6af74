#include "platform/clipboard_text.h"

#include <array>
#include <cstdint>

namespace win::clipboard {
namespace {

// Code points of the bytes 0x80..0x9F; the unassigned ones keep their own number.
constexpr std::array<char32_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t codePoint(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char32_t(byte);
}

char byteFor(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) return char(cp);
  for (std::size_t i = 0; i < high.size(); ++i)
    if (high[i] == cp) return char(0x80 + i);
  return '?';
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// The code point at text[i], moving i past it; a malformed sequence gives '?' and moves one byte.
char32_t decode(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) { ++i; return lead; }
  const int extra = (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2
                  : (lead & 0xF8) == 0xF0 ? 3 : 0;
  if (extra == 0 || i + extra >= text.size()) { ++i; return U'?'; }
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) { ++i; return U'?'; }
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr std::array<char32_t, 4> least = {0, 0x80, 0x800, 0x10000};
  if (cp < least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) { ++i; return U'?'; }
  i += extra + 1;
  return cp;
}

}  // namespace

std::string desktopTextFromStore(std::string_view store) {
  std::string out;
  out.reserve(store.size());
  for (std::size_t i = 0; i < store.size() && store[i] != '\0'; ++i) {
    const auto byte = static_cast<unsigned char>(store[i]);
    if (byte == '\r') {
      out += '\n';
      if (i + 1 < store.size() && store[i + 1] == '\n') ++i;
    } else {
      appendUtf8(out, codePoint(byte));
    }
  }
  return out;
}

std::string storeTextFromDesktop(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + utf8.size() / 16);
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (utf8[i] == '\r' || utf8[i] == '\n') {
      if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      ++i;
      out += "\r\n";
      continue;
    }
    out += byteFor(decode(utf8, i));
  }
  return out;
}

}  // namespace win::clipboard
