// platform/codepage.cpp: Windows-1252 against UTF-8, the one conversion of the border
// between the system and the toolkit.
#include "platform/codepage.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace win {
namespace {

// Unicode of the bytes 0x80-0x9F of Windows-1252; 0 where the code page has no character
// (those bytes stand for the C1 control of the same number).
constexpr char16_t kHigh[32] = {0x20ac, 0,      0x201a, 0x192,  0x201e, 0x2026, 0x2020, 0x2021,
                                0x2c6,  0x2030, 0x160,  0x2039, 0x152,  0,      0x17d,  0,
                                0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014,
                                0x2dc,  0x2122, 0x161,  0x203a, 0x153,  0,      0x17e,  0x178};

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& code) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    code = c;
    return 1;
  }
  const int extra = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
  if (extra < 0 || text.size() - i <= static_cast<std::size_t>(extra)) return 0;
  char32_t u = c & (0x3Fu >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto cc = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
    if ((cc & 0xC0) != 0x80) return 0;
    u = (u << 6) | (cc & 0x3Fu);
  }
  constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
  if (u < kLeast[extra] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 0;
  code = u;
  return static_cast<std::size_t>(extra) + 1;
}

char32_t unicodeOfCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] != 0) return kHigh[byte - 0x80];
  return byte;
}

int cp1252OfUnicode(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  if (code < 0xA0) return kHigh[code - 0x80] == 0 ? static_cast<int>(code) : -1;
  for (int k = 0; k < 32; ++k)
    if (kHigh[k] == code) return 0x80 + k;
  return -1;
}

int cp1252OfTextCharacter(char32_t code) { return code >= 0x80 && code < 0xA0 ? -1 : cp1252OfUnicode(code); }

std::string utf8FromCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) appendUtf8(out, unicodeOfCp1252(c));
  return out;
}

bool cp1252FromUtf8Strict(std::string_view utf8, std::string& out) {
  std::string r;
  r.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t code = 0;
    const std::size_t n = decodeUtf8(utf8, i, code);
    const int b = n == 0 ? -1 : cp1252OfUnicode(code);
    if (b < 0) return false;
    r += static_cast<char>(b);
    i += n;
  }
  out = std::move(r);
  return true;
}

std::string cp1252FromUtf8Shown(std::string_view utf8, char standin) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t code = 0;
    const std::size_t n = decodeUtf8(utf8, i, code);
    const int b = n == 0 ? -1 : cp1252OfUnicode(code);
    out += b < 0 ? standin : static_cast<char>(b);
    i += n == 0 ? 1 : n;
  }
  return out;
}

std::string unusableCharacters(std::string_view utf8) {
  std::vector<char32_t> seen;
  bool malformed = false;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t code = 0;
    const std::size_t n = decodeUtf8(utf8, i, code);
    if (n == 0) {
      malformed = true;
      ++i;
      continue;
    }
    if (cp1252OfUnicode(code) < 0 && std::find(seen.begin(), seen.end(), code) == seen.end()) seen.push_back(code);
    i += n;
  }
  std::string out;
  for (char32_t c : seen) {
    char one[16];
    std::snprintf(one, sizeof one, "U+%04X", static_cast<unsigned>(c));
    out += (out.empty() ? "" : " ") + std::string(one);
  }
  if (malformed) out += out.empty() ? "bytes that are not UTF-8" : " and bytes that are not UTF-8";
  return out;
}

std::string unusableNameMessage(std::string_view utf8path) {
  return cp1252FromUtf8Shown(utf8path) + "\nThis name holds characters this program cannot use (" +
         unusableCharacters(utf8path) +
         "; it knows only the letters of Windows-1252).\nChoose another name or folder.";
}

}  // namespace win
