// platform/richedit_rtf.cpp: RTF in and out for the rich-edit control.
#include "platform/richedit_rtf.h"

#include <cstdlib>
#include <vector>

namespace win::rtf {
namespace {

const char kHex[] = "0123456789abcdef";

// Windows-1252's characters 0x80-0x9F, as Unicode.
constexpr unsigned kHigh[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
                                0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

char from1252(long u) {
  if (u < 0) u += 65536;
  if ((u >= 0x20 && u < 0x80) || (u >= 0xA0 && u <= 0xFF) || u == '\t') return static_cast<char>(u);
  for (int k = 0; k < 32; ++k)
    if (kHigh[k] == static_cast<unsigned>(u)) return static_cast<char>(0x80 + k);
  return '?';
}

bool skippedDestination(std::string_view w) {
  static const char* const kSkip[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header",
                                      "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
                                      "footnote", "listtable", "listoverridetable", "rsidtbl", "generator",
                                      "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore",
                                      "pgdsctbl", "fldinst", "filetbl", "revtbl", "nonshppict", "bkmkstart",
                                      "bkmkend", "annotation", "atnid", "atnauthor"};
  for (const char* s : kSkip)
    if (w == s) return true;
  return false;
}

}  // namespace

std::string write(std::string_view text, const DefaultFont& font) {
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 256);
  out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0";
  out += font.fixedPitch ? "\\fmodern" : "\\fswiss";
  out += "\\fcharset0 ";
  for (char c : font.face)
    if (c != ';' && c != '{' && c != '}' && c != '\\') out.push_back(c);
  out += ";}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs" + std::to_string(font.halfPoints) + " ";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\par\r\n";
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c == '\\' || c == '{' || c == '}') {
      out.push_back('\\');
      out.push_back(c);
    } else if (u >= 0x80 || u < 0x20) {
      out += "\\'";
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 15]);
    } else {
      out.push_back(c);
    }
  }
  out += "\\par\r\n}\r\n";
  return out;
}

bool read(std::string_view d, std::string& text) {
  text.clear();
  std::size_t i = 0;
  while (i < d.size() && (d[i] == ' ' || d[i] == '\r' || d[i] == '\n' || d[i] == '\t')) ++i;
  if (d.substr(i, 5) != "{\\rtf") return false;
  struct Group {
    bool skip = false;
    int uc = 1;
  };
  std::vector<Group> stack{Group{}};
  int pendingSkip = 0;   // characters still to drop after a \u
  auto put = [&](char c) {
    if (pendingSkip > 0) {
      --pendingSkip;
      return;
    }
    if (!stack.back().skip) text.push_back(c);
  };
  bool starMark = false;   // "\*" seen: the group's destination is skipped unless known
  bool groupStart = false;
  while (i < d.size()) {
    const char c = d[i];
    if (c == '{') {
      stack.push_back(stack.back());
      groupStart = true;
      ++i;
      continue;
    }
    if (c == '}') {
      if (stack.size() > 1) stack.pop_back();
      pendingSkip = 0;
      groupStart = false;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      put(c);
      groupStart = false;
      ++i;
      continue;
    }
    // A control symbol or word.
    ++i;
    if (i >= d.size()) break;
    const char s = d[i];
    if (!((s >= 'a' && s <= 'z') || (s >= 'A' && s <= 'Z'))) {
      ++i;
      switch (s) {
        case '\\': case '{': case '}': put(s); break;
        case '~': put('\xA0'); break;
        case '_': put('-'); break;
        case '\r': case '\n': put('\r'); break;
        case '*':
          starMark = true;
          continue;   // keeps groupStart
        case '\'': {
          if (i + 2 <= d.size()) {
            const std::string hex(d.substr(i, 2));
            char* end = nullptr;
            const long v = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) put(static_cast<char>(v));
            i += 2;
          }
          break;
        }
        default: break;   // \- optional hyphen, \| and others: nothing to show
      }
      groupStart = false;
      continue;
    }
    const std::size_t w0 = i;
    while (i < d.size() && ((d[i] >= 'a' && d[i] <= 'z') || (d[i] >= 'A' && d[i] <= 'Z'))) ++i;
    const std::string_view word = d.substr(w0, i - w0);
    bool hasParam = false;
    long param = 0;
    if (i < d.size() && (d[i] == '-' || (d[i] >= '0' && d[i] <= '9'))) {
      const std::size_t p0 = i;
      ++i;
      while (i < d.size() && d[i] >= '0' && d[i] <= '9') ++i;
      param = std::strtol(std::string(d.substr(p0, i - p0)).c_str(), nullptr, 10);
      hasParam = true;
    }
    if (i < d.size() && d[i] == ' ') ++i;
    const bool atStart = groupStart;
    groupStart = false;
    if (atStart && (starMark || skippedDestination(word))) {
      stack.back().skip = true;
      starMark = false;
      continue;
    }
    starMark = false;
    if (word == "bin" && hasParam) {
      i += static_cast<std::size_t>(std::max(0L, param));
    } else if (word == "par" || word == "line" || word == "row" || word == "page" || word == "sect") {
      put('\r');
    } else if (word == "tab" || word == "cell") {
      put('\t');
    } else if (word == "uc" && hasParam) {
      stack.back().uc = static_cast<int>(std::max(0L, param));
    } else if (word == "u" && hasParam) {
      put(from1252(param));
      pendingSkip = stack.back().uc;
    } else if (word == "emdash") {
      put('\x97');
    } else if (word == "endash") {
      put('\x96');
    } else if (word == "bullet") {
      put('\x95');
    } else if (word == "lquote") {
      put('\x91');
    } else if (word == "rquote") {
      put('\x92');
    } else if (word == "ldblquote") {
      put('\x93');
    } else if (word == "rdblquote") {
      put('\x94');
    } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
      put(' ');
    }
  }
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return true;
}

}  // namespace win::rtf
