// platform/richedit_rtf.cpp: RTF in and out for the rich-edit control.
#include "platform/richedit_rtf.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/codepage.h"
#include "platform/gdi.h"

namespace win::rtf {
namespace {

const char kHex[] = "0123456789abcdef";

// The byte of a \u character; controls other than the tab have no place in the text.
char from1252(long u) {
  if (u < 0) u += 65536;
  if ((u < 0x20 && u != '\t') || u > 0x10FFFF) return '?';
  const int b = cp1252OfTextCharacter(static_cast<char32_t>(u));
  return b < 0 ? '?' : static_cast<char>(b);
}

bool skippedDestination(std::string_view w) {
  static const char* const kSkip[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header",
                                      "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
                                      "footnote", "listtable", "listoverridetable", "listtext", "pntext", "rsidtbl", "generator",
                                      "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore",
                                      "pgdsctbl", "fldinst", "filetbl", "revtbl", "nonshppict", "bkmkstart",
                                      "bkmkend", "annotation", "atnid", "atnauthor"};
  for (const char* s : kSkip)
    if (w == s) return true;
  return false;
}


void escape(std::string& out, std::string_view text) {
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\t') {
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
}

std::string cleanName(std::string_view face) {
  std::string out;
  for (char c : face)
    if (c != ';' && c != '{' && c != '}' && c != '\\') out.push_back(c);
  return out;
}

// The state of character formatting written so far.
struct Written {
  int font = 0, halfPoints = 0, colour = 0, back = 0;
  bool bold = false, italic = false, underline = false, strike = false;
};

}  // namespace

std::string write(const Document& doc, const DefaultFont& font) {
  const std::string& text = doc.text;
  // Font table: the control's font first, then the faces the formats name.
  struct Face {
    std::string name;
    BYTE pitchFamily;
  };
  std::vector<Face> faces{{font.face, static_cast<BYTE>((font.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH) | (font.family & 0xF0))}};
  std::vector<COLORREF> colours;   // colour table entries 1...
  std::vector<int> fontOf(doc.formats.size(), 0), colourOf(doc.formats.size(), 0), backOf(doc.formats.size(), 0);
  auto colourIndex = [&](COLORREF c) {
    auto it = std::find(colours.begin(), colours.end(), c);
    if (it == colours.end()) {
      colours.push_back(c);
      return static_cast<int>(colours.size());
    }
    return static_cast<int>(it - colours.begin()) + 1;
  };
  for (std::size_t k = 0; k < doc.formats.size(); ++k) {
    const CharFormat& f = doc.formats[k];
    if (!f.face.empty() && f.face != font.face) {
      auto it = std::find_if(faces.begin(), faces.end(), [&](const Face& x) { return x.name == f.face; });
      if (it == faces.end()) {
        faces.push_back(Face{f.face, f.pitchFamily});
        it = faces.end() - 1;
      }
      fontOf[k] = static_cast<int>(it - faces.begin());
    }
    if (!f.autoColour) colourOf[k] = colourIndex(f.colour);
    if (!f.autoBack) backOf[k] = colourIndex(f.back);
  }
  const bool lists = std::any_of(doc.paragraphs.begin(), doc.paragraphs.end(), [](const ParaFormat& p) { return p.bullet; });

  std::string out;
  out.reserve(text.size() + text.size() / 8 + 512);
  out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
  for (std::size_t k = 0; k < faces.size(); ++k) {
    const BYTE family = faces[k].pitchFamily & 0xF0;
    out += "{\\f" + std::to_string(k);
    out += family == FF_ROMAN ? "\\froman" : family == FF_SWISS ? "\\fswiss" : family == FF_MODERN ? "\\fmodern" : "\\fnil";
    out += (faces[k].pitchFamily & 3) == FIXED_PITCH ? "\\fprq1" : "\\fprq2";
    out += "\\fcharset0 " + cleanName(faces[k].name) + ";}";
  }
  out += "}\r\n";
  if (!colours.empty()) {
    out += "{\\colortbl ;";
    for (COLORREF c : colours)
      out += "\\red" + std::to_string(GetRValue(c)) + "\\green" + std::to_string(GetGValue(c)) + "\\blue" +
             std::to_string(GetBValue(c)) + ";";
    out += "}\r\n";
  }
  if (lists)
    out += "{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23\\leveljc0\\levelstartat1"
           "\\levelfollow0{\\leveltext\\'01\\'95;}{\\levelnumbers;}\\fi-360\\li360}\\listid1}}\r\n"
           "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\r\n";
  out += "\\viewkind4\\uc1\\f0\\fs" + std::to_string(font.halfPoints) + "\r\n";

  Written w;
  w.halfPoints = font.halfPoints;
  std::size_t run = 0;
  std::size_t pos = 0;
  for (std::size_t p = 0; p < doc.paragraphs.size() && pos <= text.size(); ++p) {
    const ParaFormat& pf = doc.paragraphs[p];
    std::size_t end = text.find('\r', pos);
    if (end == std::string::npos) end = text.size();
    out += "\\pard";
    if (pf.align == 1) out += "\\qc";
    if (pf.align == 2) out += "\\qr";
    int li = pf.start + pf.offset, fi = -pf.offset;
    if (pf.bullet && li < 360) {
      li = std::max(li, 360);
      fi = -360;
    }
    if (pf.bullet) out += "\\ls1";
    if (li != 0) out += "\\li" + std::to_string(li);
    if (fi != 0) out += "\\fi" + std::to_string(fi);
    if (pf.right != 0) out += "\\ri" + std::to_string(pf.right);
    out += pf.bullet ? "{\\listtext\\f0\\'95\\tab}" : " ";
    std::size_t at = pos;
    while (at < end) {
      while (run + 1 < doc.runs.size() && static_cast<std::size_t>(doc.runs[run + 1].first) <= at) ++run;
      const std::size_t next = run + 1 < doc.runs.size() ? std::min<std::size_t>(end, static_cast<std::size_t>(doc.runs[run + 1].first)) : end;
      const auto k = static_cast<std::size_t>(std::clamp(doc.runs[run].second, 0, static_cast<int>(doc.formats.size()) - 1));
      const CharFormat& f = doc.formats[k];
      const int hp = f.twips > 0 ? (f.twips + 5) / 10 : font.halfPoints;
      std::string words;
      if (fontOf[k] != w.font) words += "\\f" + std::to_string(w.font = fontOf[k]);
      if (hp != w.halfPoints) words += "\\fs" + std::to_string(w.halfPoints = hp);
      if (f.bold != w.bold) words += (w.bold = f.bold) ? "\\b" : "\\b0";
      if (f.italic != w.italic) words += (w.italic = f.italic) ? "\\i" : "\\i0";
      if (f.underline != w.underline) words += (w.underline = f.underline) ? "\\ul" : "\\ulnone";
      if (f.strike != w.strike) words += (w.strike = f.strike) ? "\\strike" : "\\strike0";
      if (colourOf[k] != w.colour) words += "\\cf" + std::to_string(w.colour = colourOf[k]);
      if (backOf[k] != w.back) words += "\\highlight" + std::to_string(w.back = backOf[k]);
      if (!words.empty()) out += words + " ";
      escape(out, std::string_view(text).substr(at, next - at));
      at = next;
    }
    out += "\\par\r\n";
    pos = end + 1;
  }
  out += "}\r\n";
  return out;
}

namespace {

// Destination of a group.
enum class Dest { Body, Skip, FontTable, ColourTable, Numbering };

struct Group {
  Dest dest = Dest::Body;
  int uc = 1;
  CharFormat fmt;
};

struct TableFont {
  std::string name;
  BYTE pitchFamily = 0;
  BYTE charset = 0;
};

}  // namespace

bool read(std::string_view d, Document& doc) {
  doc = Document{};
  std::string& text = doc.text;
  std::size_t i = 0;
  while (i < d.size() && (d[i] == ' ' || d[i] == '\r' || d[i] == '\n' || d[i] == '\t')) ++i;
  if (d.substr(i, 5) != "{\\rtf") return false;
  std::vector<Group> stack{Group{}};
  std::vector<std::pair<int, TableFont>> fonts;
  int tableFont = -1;   // the font table entry being read
  TableFont entry;
  std::vector<std::pair<bool, COLORREF>> colours;   // (automatic, colour)
  int red = 0, green = 0, blue = 0;
  bool colourSet = false;
  int defaultFont = 0;
  ParaFormat para;
  bool paraFirst = true;   // \fi and \li come in either order: offset settles at the text
  int li = 0, fi = 0;
  int pendingSkip = 0;   // characters still to drop after a \u
  auto faceOf = [&](int n, CharFormat& f) {
    for (const auto& [num, tf] : fonts)
      if (num == n) {
        f.face = tf.name;
        f.pitchFamily = tf.pitchFamily;
        f.charset = tf.charset;
      }
  };
  auto settle = [&] {
    para.start = li + fi;
    para.offset = -fi;
  };
  auto put = [&](char c) {
    if (pendingSkip > 0) {
      --pendingSkip;
      return;
    }
    Group& g = stack.back();
    if (g.dest == Dest::FontTable) {
      if (c == ';') {
        if (tableFont >= 0) fonts.emplace_back(tableFont, entry);
        entry = TableFont{};
        tableFont = -1;
      } else if (tableFont >= 0) {
        entry.name.push_back(c);
      }
      return;
    }
    if (g.dest == Dest::ColourTable) {
      if (c == ';') {
        colours.emplace_back(!colourSet, RGB(red, green, blue));
        red = green = blue = 0;
        colourSet = false;
      }
      return;
    }
    if (g.dest != Dest::Body) return;
    if (paraFirst) {
      settle();
      paraFirst = false;
    }
    if (c == '\r') {
      doc.paragraphs.back() = para;
      doc.paragraphs.push_back(para);
      paraFirst = true;
    }
    const auto pos = static_cast<int>(text.size());
    text.push_back(c);
    if (c == '\r') return;
    const int cur = doc.runs.back().second;
    if (doc.formats[static_cast<std::size_t>(cur)] == g.fmt) return;
    auto it = std::find(doc.formats.begin(), doc.formats.end(), g.fmt);
    const int k = it == doc.formats.end() ? static_cast<int>(doc.formats.size()) : static_cast<int>(it - doc.formats.begin());
    if (it == doc.formats.end()) doc.formats.push_back(g.fmt);
    if (doc.runs.back().first == pos) doc.runs.back().second = k;
    else doc.runs.emplace_back(pos, k);
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
      if (stack.size() > 1) {
        if (stack.back().dest == Dest::FontTable && tableFont >= 0 && !entry.name.empty() &&
            stack[stack.size() - 2].dest != Dest::FontTable) {
          fonts.emplace_back(tableFont, entry);
          tableFont = -1;
        }
        stack.pop_back();
      }
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
    Group& g = stack.back();
    if (atStart && word == "fonttbl") {
      g.dest = Dest::FontTable;
      starMark = false;
      continue;
    }
    if (atStart && word == "colortbl") {
      g.dest = Dest::ColourTable;
      starMark = false;
      continue;
    }
    if (atStart && starMark && word == "pn" && g.dest == Dest::Body) {
      g.dest = Dest::Numbering;
      starMark = false;
      continue;
    }
    if (atStart && (starMark || skippedDestination(word))) {
      g.dest = Dest::Skip;
      starMark = false;
      continue;
    }
    starMark = false;
    const bool on = !hasParam || param != 0;
    if (word == "bin" && hasParam) {
      i += static_cast<std::size_t>(std::max(0L, param));
      continue;
    }
    if (g.dest == Dest::FontTable) {
      if (word == "f" && hasParam) {
        tableFont = static_cast<int>(param);
        entry = TableFont{};
      } else if (word == "froman") {
        entry.pitchFamily = static_cast<BYTE>((entry.pitchFamily & 0x0F) | FF_ROMAN);
      } else if (word == "fswiss") {
        entry.pitchFamily = static_cast<BYTE>((entry.pitchFamily & 0x0F) | FF_SWISS);
      } else if (word == "fmodern") {
        entry.pitchFamily = static_cast<BYTE>((entry.pitchFamily & 0x0F) | FF_MODERN);
      } else if (word == "fscript") {
        entry.pitchFamily = static_cast<BYTE>((entry.pitchFamily & 0x0F) | FF_SCRIPT);
      } else if (word == "fdecor") {
        entry.pitchFamily = static_cast<BYTE>((entry.pitchFamily & 0x0F) | FF_DECORATIVE);
      } else if (word == "fprq" && hasParam) {
        entry.pitchFamily = static_cast<BYTE>((entry.pitchFamily & 0xF0) | (param == 1 ? FIXED_PITCH : param == 2 ? VARIABLE_PITCH : 0));
      } else if (word == "fcharset" && hasParam) {
        entry.charset = static_cast<BYTE>(param);
      }
      continue;
    }
    if (g.dest == Dest::ColourTable) {
      if (word == "red") red = static_cast<int>(param), colourSet = true;
      else if (word == "green") green = static_cast<int>(param), colourSet = true;
      else if (word == "blue") blue = static_cast<int>(param), colourSet = true;
      continue;
    }
    if (g.dest == Dest::Numbering) {
      if (word == "pnlvlblt") para.bullet = true;
      continue;
    }
    if (g.dest == Dest::Skip) continue;
    CharFormat& f = g.fmt;
    if (word == "deff" && hasParam) {
      defaultFont = static_cast<int>(param);
    } else if (word == "plain") {
      f = CharFormat{};
      faceOf(defaultFont, f);
    } else if (word == "b") {
      f.bold = on;
    } else if (word == "i") {
      f.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldash" || word == "uldb" || word == "ulw" || word == "ulth" ||
               word == "ulwave") {
      f.underline = on;
    } else if (word == "ulnone") {
      f.underline = false;
    } else if (word == "strike") {
      f.strike = on;
    } else if (word == "f" && hasParam) {
      faceOf(static_cast<int>(param), f);
    } else if (word == "fs" && hasParam) {
      f.twips = static_cast<int>(std::clamp(param, 1L, 3276L)) * 10;
    } else if (word == "cf" && hasParam) {
      const auto n = static_cast<std::size_t>(std::max(0L, param));
      f.autoColour = n >= colours.size() || colours[n].first;
      f.colour = f.autoColour ? 0 : colours[n].second;
    } else if ((word == "highlight" || word == "cb" || word == "chcbpat") && hasParam) {
      const auto n = static_cast<std::size_t>(std::max(0L, param));
      f.autoBack = n >= colours.size() || colours[n].first;
      f.back = f.autoBack ? 0 : colours[n].second;
    } else if (word == "pard") {
      para = ParaFormat{};
      li = fi = 0;
      paraFirst = true;
    } else if (word == "ql" || word == "qj") {
      para.align = 0;
    } else if (word == "qc") {
      para.align = 1;
    } else if (word == "qr") {
      para.align = 2;
    } else if (word == "li" && hasParam) {
      li = static_cast<int>(param);
      paraFirst = true;
    } else if (word == "fi" && hasParam) {
      fi = static_cast<int>(param);
      paraFirst = true;
    } else if (word == "ri" && hasParam) {
      para.right = static_cast<int>(param);
    } else if (word == "ls" && hasParam) {
      para.bullet = param > 0;
    } else if (word == "par" || word == "line" || word == "row" || word == "page" || word == "sect") {
      put('\r');
    } else if (word == "tab" || word == "cell") {
      put('\t');
    } else if (word == "uc" && hasParam) {
      g.uc = static_cast<int>(std::max(0L, param));
    } else if (word == "u" && hasParam) {
      put(from1252(param));
      pendingSkip = g.uc;
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
  if (paraFirst) settle();
  doc.paragraphs.back() = para;
  if (!text.empty() && text.back() == '\r') {
    // The last \par ends the last paragraph; no empty one follows it.
    text.pop_back();
    doc.paragraphs.pop_back();
  }
  while (doc.runs.size() > 1 && doc.runs.back().first >= static_cast<int>(text.size())) doc.runs.pop_back();
  return true;
}

}  // namespace win::rtf
