#include "toolkit/grid/gridfiles.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "platform/header.h"
#include "platform/os.h"
#include "toolkit/grid/grid.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/os/opsys.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

GridInstance* locate(int ident) {
  return gridservices.locate ? gridservices.locate(ident) : nullptr;
}

// 1005 when a dialog field is named while no dialog is current, 1006 when the identifier
// names no grid; nullptr then.
GridInstance* gridFor(int ident, std::string_view name) {
  if (tessar.dialog.CURDIALOG == 0 && ident != 0) {
    yyerror(1005, name);
    return nullptr;
  }
  GridInstance* g = locate(ident);
  if (!g) yyerror(1006, name);
  return g;
}

void fileError(int number, int status, std::string_view name) {
  tessar.error.ERRDETAIL = status;
  tessar.error.ERRDETAILKIND = 2;
  yyerror(number, name);
}

// 1-based range arguments into 0-based inclusive bounds.
struct Block { int c1, c2, r1, r2; };
Block clampBlock(const GridInstance& g, int icol1, int icol2, int irow1, int irow2) {
  return {std::max(icol1, 1) - 1, std::min(icol2, g.columncount) - 1, std::max(irow1, 1) - 1,
          std::min(irow2, g.rowsinuse) - 1};
}

std::string_view cellText(const GridColumn& c, std::size_t r) {
  const char* p = &c.strings[r * static_cast<std::size_t>(c.textlength + 1)];
  return {p, std::strlen(p)};
}

bool defined(const GridColumn& c, std::size_t r) { return (c.states[r] & GridCellDefined) != 0; }

// The value of a numeric cell at full precision (the shortest text that reads back to the same
// number), with the locale's decimal character when the toolkit substitutes it.
void appendNumber(std::string& out, const GridColumn& c, std::size_t r) {
  char buf[40];
  std::to_chars_result res{};
  if (c.type == GridInteger) res = std::to_chars(buf, buf + sizeof buf, c.integers[r]);
  else if (c.type == GridReal) res = std::to_chars(buf, buf + sizeof buf, c.reals[r]);
  else res = std::to_chars(buf, buf + sizeof buf, c.doubles[r]);
  std::string_view t(buf, static_cast<std::size_t>(res.ptr - buf));
  const char dec = tessar.files.DECIMAL;
  if (tessar.dialog.DECIMALSUBST == 1 && dec != '.' && t.find('.') != std::string_view::npos) {
    std::string s(t);
    std::replace(s.begin(), s.end(), '.', dec);
    // A decimal comma would split the field: such numbers are quoted.
    if (dec == ',') out += '"', out += s, out += '"';
    else out += s;
    return;
  }
  out += t;
}

// A text field: quoted (quotes doubled) when asked to, and always when it holds the separator,
// a quote or a line break, so that it reads back as one field.
void appendText(std::string& out, std::string_view t, bool quote) {
  if (!quote && t.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += t;
    return;
  }
  out += '"';
  for (char ch : t) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

std::string_view trimRight(std::string_view t) {
  const auto n = t.find_last_not_of(' ');
  return n == std::string_view::npos ? std::string_view{} : t.substr(0, n + 1);
}

bool sameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Whether the text is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF), and whether it has a byte from 0x80 up.
bool wellFormedUtf8(std::string_view t, bool* beyondAscii = nullptr) {
  bool high = false;
  for (std::size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c < 0x80) { ++i; continue; }
    high = true;
    const int extra = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
    if (extra < 0 || t.size() - i <= static_cast<std::size_t>(extra)) return false;
    unsigned code = c & (0x3Fu >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(t[i + static_cast<std::size_t>(k)]);
      if ((cc & 0xC0) != 0x80) return false;
      code = (code << 6) | (cc & 0x3Fu);
    }
    constexpr unsigned kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  if (beyondAscii) *beyondAscii = high;
  return true;
}

bool ascii(std::string_view t) {
  return std::none_of(t.begin(), t.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
}

// A cell text (code page) as a UTF-8 file holds it.
std::string utf8FromCell(std::string_view t) { return ascii(t) ? std::string(t) : win::utf8FromCp1252(t); }

// UTF-16 (after its mark) as UTF-8; false for an odd length or a surrogate without its pair.
bool utf8FromUtf16(std::string_view b, bool big, std::string& out) {
  if (b.size() % 2 != 0) return false;
  out.clear();
  out.reserve(b.size());
  auto unit = [&](std::size_t i) {
    const auto lo = static_cast<unsigned char>(b[i + (big ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(b[i + (big ? 0 : 1)]);
    return static_cast<unsigned>(hi << 8 | lo);
  };
  for (std::size_t i = 0; i < b.size(); i += 2) {
    unsigned code = unit(i);
    if (code >= 0xDC00 && code <= 0xDFFF) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (i + 2 >= b.size()) return false;
      const unsigned low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return true;
}

// Well-formed UTF-8 as UTF-16 with its byte-order mark.
std::string utf16FromUtf8(std::string_view t, bool big) {
  std::string out;
  out.reserve(t.size() * 2 + 2);
  auto put = [&](unsigned u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    if (big) out += hi, out += lo;
    else out += lo, out += hi;
  };
  put(0xFEFF);
  for (std::size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    unsigned code = extra == 0 ? c : c & (0x3Fu >> extra);
    for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < t.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(t[i + static_cast<std::size_t>(k)]) & 0x3Fu);
    i += static_cast<std::size_t>(extra) + 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      put(0xD800 + (code >> 10));
      put(0xDC00 + (code & 0x3FF));
    } else {
      put(code);
    }
  }
  return out;
}

bool utf8Family(int encoding) { return encoding >= GridFileUtf8; }

// The file's bytes in the encoding of the grid's file; a grid from no file, or from a
// Windows-1252 file, is written as the 8-bit text of its cells.
std::string csvFileBytes(const std::string& text, int encoding) {
  switch (encoding) {
    case GridFileUtf8: return text;
    case GridFileUtf8Mark: return std::string(kUtf8Mark) + text;
    case GridFileUtf16LE: return utf16FromUtf8(text, false);
    case GridFileUtf16BE: return utf16FromUtf8(text, true);
    default: return text;
  }
}

// The file's text (UTF-8 for the UTF-8 and UTF-16 encodings, else the bytes) and its
// encoding: a UTF-16 mark (FF FE or FE FF) or the UTF-8 mark says; without a mark, text that is
// well-formed UTF-8 with a byte from 0x80 up is UTF-8 and anything else Windows-1252 (plain
// ASCII included, the 8-bit text the grid writes). False for UTF-16 that does not decode.
bool csvFileText(std::string& bytes, int& encoding) {
  const std::string_view b(bytes);
  if (b.starts_with("\xFF\xFE") || b.starts_with("\xFE\xFF")) {
    const bool big = b[0] == '\xFE';
    std::string text;
    if (!utf8FromUtf16(b.substr(2), big, text)) return false;
    bytes = std::move(text);
    encoding = big ? GridFileUtf16BE : GridFileUtf16LE;
    return true;
  }
  if (b.starts_with(kUtf8Mark)) {
    bytes.erase(0, kUtf8Mark.size());
    encoding = GridFileUtf8Mark;
    return true;
  }
  bool high = false;
  encoding = wellFormedUtf8(b, &high) && high ? GridFileUtf8 : GridFileCp1252;
  return true;
}

// The current cell's editor holds what the user sees: the store takes it before the grid is
// read as a whole.
void takeEditor(GridInstance& g) {
  if (g.editor) yyGridStoreCurrent(g);
}

}  // namespace

// CSV save ---------------------------------------------------------------------------------

void WGridSave(int ident, std::string_view filename, int icol1, int icol2, int irow1, int irow2,
               int iflags) {
  constexpr std::string_view name = "WGridSave";
  GridInstance* gp = gridFor(ident, name);
  if (!gp) return;
  GridInstance& g = *gp;
  takeEditor(g);
  const Block b = clampBlock(g, icol1, icol2, irow1, irow2);
  const bool quote = (iflags & GridCsvNoQuotes) == 0;
  const bool labels = (iflags & GridCsvLabels) != 0;
  // Texts go out in the encoding of the file the grid came from.
  const bool utf8 = utf8Family(g.fileencoding);
  auto appendCell = [&](std::string& o, std::string_view t) {
    if (utf8 && !ascii(t)) appendText(o, utf8FromCell(t), quote);
    else appendText(o, t, quote);
  };
  std::string out;
  out.reserve(static_cast<std::size_t>(std::max(0, b.r2 - b.r1 + 1)) *
              static_cast<std::size_t>(std::max(0, b.c2 - b.c1 + 1)) * 12 + 64);
  auto label = [&](int item) -> std::string_view {
    return item < static_cast<int>(g.columnlabels.size())
               ? std::string_view(g.columnlabels[static_cast<std::size_t>(item)])
               : std::string_view{};
  };
  if (labels && g.hascolumnheader && b.c1 <= b.c2) {
    if (g.hasrowlabels) appendCell(out, label(0)), out += ',';
    for (int c = b.c1; c <= b.c2; ++c) {
      appendCell(out, label(c + 1));
      out += c == b.c2 ? "\r\n" : ",";
    }
  }
  for (int row = b.r1; row <= b.r2 && b.c1 <= b.c2; ++row) {
    const auto r = static_cast<std::size_t>(row);
    if (labels && g.hasrowlabels) {
      const auto& l = g.rowlabels[r];
      appendCell(out, std::string_view(l.data(), strnlen(l.data(), l.size())));
      out += ',';
    }
    for (int col = b.c1; col <= b.c2; ++col) {
      const GridColumn& c = g.columns[static_cast<std::size_t>(col)];
      switch (c.type) {
        case GridString: appendCell(out, cellText(c, r)); break;
        case GridInteger: case GridReal: case GridDouble:
          if (defined(c, r)) appendNumber(out, c, r);
          break;
        case GridCheckBox: out += c.integers[r] == 1 ? "Yes" : "No"; break;
        default: {
          const int k = c.integers[r];
          if (k >= 0 && k < static_cast<int>(c.options.size()))
            appendCell(out, c.options[static_cast<std::size_t>(k)]);
        }
      }
      out += col == b.c2 ? "\r\n" : ",";
    }
  }
  std::string file(trimRight(filename));
  file.erase(0, std::min(file.find_first_not_of(' '), file.size()));
  bool opened = false;
  if (const int status = yyreplacefile(file, csvFileBytes(out, g.fileencoding), opened))
    fileError(opened ? 2 : 1, status, name);
}

// CSV load ---------------------------------------------------------------------------------

namespace {

// Splits CSV text into records: a field that begins with a quote runs to its closing quote
// (doubled quotes inside are one quote; commas and line breaks inside belong to the text);
// any other field runs to the next comma or line end and keeps its quotes. Lines end in LF,
// CR LF or a lone CR (old Mac files); the last one needs no line end.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : t_(text) {}
  bool next(std::vector<std::string>& fields) {
    if (p_ >= t_.size()) return false;
    fields.clear();
    for (;;) {
      std::string f;
      if (p_ < t_.size() && t_[p_] == '"') {
        ++p_;
        for (;;) {
          const auto q = t_.find('"', p_);
          if (q == std::string_view::npos) { f.append(t_.substr(p_)); p_ = t_.size(); break; }
          f.append(t_.substr(p_, q - p_));
          p_ = q + 1;
          if (p_ < t_.size() && t_[p_] == '"') { f += '"'; ++p_; continue; }
          break;
        }
      }
      // Unquoted text, or what follows a closing quote before the delimiter.
      const auto e = t_.find_first_of(",\r\n", p_);
      const std::size_t end = e == std::string_view::npos ? t_.size() : e;
      f.append(t_.substr(p_, end - p_));
      fields.push_back(std::move(f));
      if (e == std::string_view::npos) { p_ = t_.size(); return true; }
      p_ = e + 1;
      if (t_[e] == ',') continue;
      if (t_[e] == '\r' && p_ < t_.size() && t_[p_] == '\n') ++p_;
      return true;
    }
  }

 private:
  std::string_view t_;
  std::size_t p_ = 0;
};

// The texts the save writes for a real or double that is not a finite number ("nan", "-nan",
// "inf", "-inf"; "infinity" and a plus sign too), read back as that value.
bool notFinite(std::string_view t, double& v) {
  const bool minus = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
  if (sameNoCase(t, "nan")) v = std::numeric_limits<double>::quiet_NaN();
  else if (sameNoCase(t, "inf") || sameNoCase(t, "infinity")) v = std::numeric_limits<double>::infinity();
  else return false;
  if (minus) v = -v;
  return true;
}

// A numeric field into its cell; 0 or the error the conversion or the put recorded.
int loadNumber(int ident, const GridColumn& c, int col, int row, std::string_view field,
               std::string_view format) {
  const std::string_view t = trimRight(field);
  if (t.find_first_not_of(' ') == std::string_view::npos) {
    // An empty field is an empty cell, as the save writes it: no data error.
    int status = ident;
    yygridclearcell(status, col, row, 1);
    return 0;
  }
  std::string s(t);
  const char dec = tessar.files.DECIMAL;
  if (dec != '.' && s.find('.') == std::string::npos) std::replace(s.begin(), s.end(), dec, '.');
  ErrorState& es = tessar.error;
  const int saved = es.LASTERROR;
  es.LASTERROR = 0;
  double special = 0.0;
  if (c.type != GridInteger && notFinite(s, special)) {
    if (c.type == GridReal) WGridPutCellReal(ident, col + 1, row + 1, static_cast<float>(special), format);
    else WGridPutCellDouble(ident, col + 1, row + 1, special, format);
  } else if (c.type == GridInteger) {
    int v = 0;
    IStringToInteger(s, v);
    if (!es.LASTERROR) WGridPutCellInteger(ident, col + 1, row + 1, v);
  } else if (c.type == GridReal) {
    float v = 0;
    IStringToReal(s, v);
    if (!es.LASTERROR) WGridPutCellReal(ident, col + 1, row + 1, v, format);
  } else {
    double v = 0;
    istringtodouble(s, v);
    if (!es.LASTERROR) WGridPutCellDouble(ident, col + 1, row + 1, v, format);
  }
  const int failed = es.LASTERROR;
  if (!failed) {
    es.LASTERROR = saved;
    return 0;
  }
  int status = ident;
  yygridclearcell(status, col, row, 1);
  return failed;
}

}  // namespace

void WGridLoad(int ident, std::string_view filename, int iextend, int iflags) {
  constexpr std::string_view name = "WGridLoad";
  GridInstance* gp = gridFor(ident, name);
  if (!gp) return;
  GridInstance& g = *gp;
  std::string file(trimRight(filename));
  file.erase(0, std::min(file.find_first_not_of(' '), file.size()));
  std::string text;
  bool opened = false;
  if (!yyreadwholefile(file, text, opened)) {
    fileError(opened ? 2 : 1, 0, name);
    return;
  }
  int encoding = GridFileNone;
  if (!csvFileText(text, encoding)) {
    // UTF-16 that does not decode (an odd length, a half of a surrogate pair): refused whole.
    fileError(2, 0, name);
    return;
  }
  // The cells hold the code page only: a UTF-8 or UTF-16 file with a character it lacks, or
  // with bytes that are not UTF-8 after a UTF-8 mark, is refused whole, the grid as it was.
  if (utf8Family(encoding)) {
    std::string converted;
    if (!win::cp1252FromUtf8Strict(text, converted)) {
      fileError(2, win::ERROR_NO_UNICODE_TRANSLATION, name);
      return;
    }
    text = std::move(converted);
  }
  g.fileencoding = encoding;
  const bool labels = (iflags & GridCsvLabels) != 0;
  const bool labelLine = labels && g.hascolumnheader;
  const int startCol = labels && g.hasrowlabels ? -1 : 0;
  std::vector<std::string> formats(static_cast<std::size_t>(g.columncount));
  for (int c = 0; c < g.columncount; ++c) yygridgetformat(ident, c, formats[static_cast<std::size_t>(c)], 51);

  // The rows in use grow once to what the file needs.
  if (iextend == 1) {
    std::size_t lines = 0;
    CsvReader count(text);
    std::vector<std::string> f;
    while (count.next(f)) ++lines;
    if (labelLine && lines > 0) --lines;
    const int want = static_cast<int>(std::min<std::size_t>(lines, static_cast<std::size_t>(g.rowsallocated)));
    if (want > g.rowsinuse) yygridsetrows2(g, ident, want);
  }

  yygridcellredrawoff();
  int lastError = 0;
  bool outside = false;
  CsvReader reader(text);
  std::vector<std::string> fields;
  int row = labelLine ? -1 : 0;
  while (reader.next(fields)) {
    int col = startCol;
    for (std::string& fs : fields) {
      if (col >= g.columncount || row >= g.rowsinuse) { outside = true; ++col; continue; }
      // The cells keep texts up to a NUL: the text ends there, before its blanks go.
      fs.resize(std::min(fs.size(), fs.find('\0')));
      std::string_view f = trimRight(fs);
      if (row == -1) {
        const auto item = static_cast<std::size_t>(col + 1);
        if (item < g.columnlabels.size()) {
          g.columnlabels[item].assign(f);
          if (g.header != nullptr) {
            // The header shows the titles read.
            win::HDITEM it;
            it.mask = win::HDI_TEXT;
            it.pszText = g.columnlabels[item].data();
            win::SendMessage(g.header, win::HDM_SETITEM, static_cast<win::WPARAM>(item), reinterpret_cast<win::LPARAM>(&it));
          }
        }
      } else if (col == -1) {
        yygridlabelrow(ident, row, trimRight(f.substr(0, 50)), 51);
      } else {
        const GridColumn& c = g.columns[static_cast<std::size_t>(col)];
        int status = ident;
        switch (c.type) {
          case GridString:
            // Cut to the column first: what is kept loses its trailing blanks too, as it does
            // when the file is read again.
            f = trimRight(f.substr(0, static_cast<std::size_t>(std::max(c.textlength, 0))));
            yygridputcellstring(status, col, row, 0.0, f, {});
            break;
          case GridInteger: case GridReal: case GridDouble:
            if (int e = loadNumber(ident, c, col, row, f, formats[static_cast<std::size_t>(col)])) lastError = e;
            break;
          case GridCheckBox: {
            std::string u(f);
            iuppercase(u);
            yygridputcellcheck(status, col, row, u == "YES" ? 1 : 0);
            break;
          }
          default: {
            int option = 0;  // an empty field: no option selected, as the save writes it
            if (!f.empty()) {
              for (std::size_t k = 0; k < c.options.size() && option == 0; ++k)
                if (sameNoCase(trimRight(c.options[k]), f)) option = static_cast<int>(k) + 1;
              if (option == 0) {
                option = 1;
                lastError = 1055;
              }
            }
            yygridputcelloption(status, col, row, option);
          }
        }
      }
      ++col;
    }
    if (row >= 0 && row < g.rowsinuse) {
      for (int c = std::max(col, 0); c < g.columncount; ++c) {
        int status = ident;
        yygridclearcell(status, c, row, 1);
      }
    } else if (row == -1) {
      for (int c = std::max(col, 0); c + 1 < static_cast<int>(g.columnlabels.size()); ++c)
        g.columnlabels[static_cast<std::size_t>(c + 1)].clear();
    }
    ++row;
  }
  for (int r = std::max(row, 0); r < g.rowsinuse; ++r) {
    if (labels && g.hasrowlabels) yygridlabelrow(ident, r, "", 51);
    for (int c = 0; c < g.columncount; ++c) {
      int status = ident;
      yygridclearcell(status, c, r, 2);
    }
  }
  if (outside) lastError = 1054;
  if (lastError == 1054 || lastError == 1055) yyerror(lastError, name);
  else if (lastError) tessar.error.LASTERROR = lastError;
  g.modified = g.changed = 1;
  if (g.editor) yyGridUpdateCurrent(g);  // the file's value replaces whatever was typed
  yygridcellredrawon(ident);
  if (g.window && g.header) win::InvalidateRect(g.header, nullptr, win::TRUE);
}

// HTML export ------------------------------------------------------------------------------

namespace {

// Characters an HTML page may not hold: the control characters other than TAB, LF and CR,
// and the five bytes that Windows-1252 leaves unassigned. They are left out.
bool unwritable(unsigned char ch) {
  if (ch < 0x20) return ch != '\t' && ch != '\n' && ch != '\r';
  return ch == 0x7F || ch == 0x81 || ch == 0x8D || ch == 0x8F || ch == 0x90 || ch == 0x9D;
}

void appendEscaped(std::string& out, std::string_view t) {
  for (char ch : t) {
    if (unwritable(static_cast<unsigned char>(ch))) continue;
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
}

void line(std::string& out, std::string_view t) {
  out += t;
  out += "\r\n";
}

void textLine(std::string& out, std::string_view t) {
  appendEscaped(out, t);
  out += "\r\n";
}

std::string hex6(int r, int g, int b) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02x%02x%02x", r & 255, g & 255, b & 255);
  return buf;
}

// Text and background colour of a cell as the grid shows it; -1 when default.
void cellColours(const GridInstance& g, const GridColumn& c, std::size_t r, int& text, int& back) {
  text = c.prototype.textcolour != -1 ? c.prototype.textcolour : g.textcolour;
  back = c.prototype.background != -1 ? c.prototype.background : g.background;
  if (!c.colours.empty()) {
    const GridCellColour& e = c.colours[r];
    text = (e.flags & 1) ? e.textred + 256 * e.textgreen + 65536 * e.textblue : g.textcolour;
    back = (e.flags & 2) ? e.backred + 256 * e.backgreen + 65536 * e.backblue : g.background;
  }
}

std::string packedHex(int rgb) { return hex6(rgb, rgb >> 8, rgb >> 16); }

}  // namespace

void WGridSaveHTML(int ident, std::string_view filename, int icol1, int icol2, int irow1,
                   int irow2, int iflags, std::optional<std::string_view> ctitle, int iborder,
                   std::optional<int> ibgcolour) {
  constexpr std::string_view name = "WGridSaveHTML";
  GridInstance* gp = gridFor(ident, name);
  if (!gp) return;
  GridInstance& g = *gp;
  takeEditor(g);
  const Block b = clampBlock(g, icol1, icol2, irow1, irow2);
  std::string out;
  const std::string_view title = ctitle ? trimRight(*ctitle) : std::string_view{};
  if (!(iflags & GridHtmlTableOnly)) {
    line(out, "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
    line(out, "<html>");
    line(out, "<head>");
    // The cells hold 8-bit text in the Windows Western code page.
    line(out, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
    if (ctitle) {
      out += "<title>";
      appendEscaped(out, title);
      line(out, "</title>");
    }
    line(out, "</head>");
    if (ibgcolour && *ibgcolour >= 0 && *ibgcolour <= 0xFFFFFF)
      line(out, "<body bgcolor=\"#" + packedHex(*ibgcolour) + "\">");
    else
      line(out, "<body>");
  }
  if (iflags & GridHtmlCentre) line(out, "<center>");
  if (!title.empty()) {
    out += "<h2>";
    appendEscaped(out, title);
    line(out, "</h2>");
  }
  line(out, "<table border=\"" + std::to_string(std::max(iborder, 0)) + "\" cellpadding=\"5\">");
  if (g.hascolumnheader) {
    line(out, "<tr>");
    if (g.hasrowlabels) line(out, "<td></td>");
    for (int c = b.c1; c <= b.c2; ++c) {
      line(out, "<td align=\"center\">");
      const auto item = static_cast<std::size_t>(c + 1);
      textLine(out, item < g.columnlabels.size() ? std::string_view(g.columnlabels[item]) : "");
      line(out, "</td>");
    }
    line(out, "</tr>");
  }
  for (int row = b.r1; row <= b.r2; ++row) {
    const auto r = static_cast<std::size_t>(row);
    line(out, "<tr>");
    if (g.hasrowlabels) {
      line(out, "<td align=\"left\">");
      const auto& l = g.rowlabels[r];
      textLine(out, std::string_view(l.data(), strnlen(l.data(), l.size())));
      line(out, "</td>");
    }
    for (int col = b.c1; col <= b.c2; ++col) {
      const GridColumn& c = g.columns[static_cast<std::size_t>(col)];
      const char* align = c.type == GridCheckBox ? "center"
                          : c.type == GridMenu   ? "left"
                          : c.prototype.align == 2 ? "right"
                          : c.prototype.align == 1 ? "center"
                                                   : "left";
      int text = -1, back = -1;
      if (!(iflags & GridHtmlNoColours)) cellColours(g, c, r, text, back);
      std::string start = std::string("<td align=\"") + align + "\"";
      if (back != -1) start += " bgcolor=\"#" + packedHex(back) + "\"";
      line(out, start + ">");
      if (text != -1) line(out, "<font color=\"#" + packedHex(text) + "\">");
      std::string s;
      switch (c.type) {
        case GridCheckBox:
          if (iflags & GridHtmlYesNo) line(out, c.integers[r] == 1 ? "Y" : "N");
          else line(out, c.integers[r] == 1 ? "<font face=\"Symbol\">&middot;</font>" : "&nbsp;");
          break;
        case GridMenu: {
          const int k = c.integers[r];
          if (k >= 0 && k < static_cast<int>(c.options.size())) textLine(out, c.options[static_cast<std::size_t>(k)]);
          else line(out, " ");
          break;
        }
        default:
          yyGridGetString(g, col, row, s, 0);
          if (s.size() > 1023) s.resize(1023);
          textLine(out, s);
      }
      if (text != -1) line(out, "</font>");
      line(out, "</td>");
    }
    line(out, "</tr>");
  }
  line(out, "</table>");
  if (iflags & GridHtmlCentre) line(out, "</center>");
  if (!(iflags & GridHtmlTableOnly)) {
    line(out, "</body>");
    line(out, "</html>");
  }
  std::string file(trimRight(filename));
  file.erase(0, std::min(file.find_first_not_of(' '), file.size()));
  bool opened = false;
  if (const int status = yyreplacefile(file, out, opened))
    fileError(opened ? 2 : 1, status, name);
}

// Find -------------------------------------------------------------------------------------

namespace {

// The first row from..to of column col whose searchable text (the shown text filled with
// blanks to the search length) contains what; -1 when none.
int yygridfind(const GridInstance& g, int col, std::string_view what, int from, int to,
               std::size_t length, bool ignorecase) {
  std::string key(what);
  if (ignorecase) iuppercase(key);
  std::string cell;
  for (int row = from; row <= to; ++row) {
    yyGridGetString(g, col, row, cell, 0);
    if (cell.size() > length) cell.resize(length);
    cell.resize(length, ' ');
    if (ignorecase) iuppercase(cell);
    if (cell.find(key) != std::string::npos) return row;
  }
  return -1;
}

}  // namespace

void WGridFind(int ident, std::string_view ctext, int iflags, int* ifound, int icol1, int icol2,
               int irow1, int irow2) {
  constexpr std::string_view name = "WGridFind";
  GridInstance* gp = gridFor(ident, name);
  if (!gp) return;
  GridInstance& g = *gp;
  takeEditor(g);
  const Block b = clampBlock(g, icol1, icol2, irow1, irow2);
  int firstCol = b.c1, firstRow = b.r1;
  if (iflags & GridFindNext) {
    if (g.currentcolumn >= b.c1) {
      firstCol = g.currentcolumn;
      firstRow = std::max(g.currentrow + 1, b.r1);
    }
  }
  const bool numeric = (iflags & GridFindNumeric) != 0;
  for (int col = firstCol; col <= b.c2; ++col) {
    const GridColumn& c = g.columns[static_cast<std::size_t>(col)];
    std::size_t length = 0;
    if (c.type == GridString) length = static_cast<std::size_t>(c.textlength + 1);
    else if (numeric && c.type == GridInteger) length = 11;
    else if (numeric && (c.type == GridReal || c.type == GridDouble)) length = 50;
    else continue;
    const int row = yygridfind(g, col, ctext, col == firstCol ? firstRow : b.r1, b.r2, length,
                               (iflags & GridFindIgnoreCase) != 0);
    if (row >= 0) {
      if (g.window) {
        yygridupdatecell(g.window, col, row, 0, 0);
      } else {
        g.currentcolumn = col;
        g.currentrow = row;
      }
      if (ifound) *ifound = 1;
      return;
    }
  }
  if (ifound) *ifound = 0;
}

// Row sort ---------------------------------------------------------------------------------

namespace {

struct SortKey {
  std::string text;
  double number = 0.0;
  bool filled = false;
};

// Texts compare byte by byte as unsigned values, the shorter one filled out with blanks.
int compareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(i < a.size() ? a[i] : ' ');
    const auto y = static_cast<unsigned char>(i < b.size() ? b[i] : ' ');
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

template <class T>
void permute(std::vector<T>& v, const std::vector<int>& order, int start, std::size_t block = 1) {
  std::vector<T> copy(order.size() * block);
  for (std::size_t i = 0; i < order.size(); ++i)
    std::copy_n(v.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(start + order[i]) * block),
                block, copy.begin() + static_cast<std::ptrdiff_t>(i * block));
  std::copy(copy.begin(), copy.end(),
            v.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(start) * block));
}

}  // namespace

int WGridSort(int ident, int icol, int iflags, int istart, int iend) {
  constexpr std::string_view name = "WGridSort";
  if (tessar.dialog.CURDIALOG == 0) {  // the sort asks for a dialog even for grid 0
    yyerror(1005, name);
    return 0;
  }
  GridInstance* gp = locate(ident);
  if (!gp) {
    yyerror(1006, name);
    return 0;
  }
  GridInstance& g = *gp;
  if (icol < 1 || icol > g.columncount) {
    yyerror(1017, name);
    return 0;
  }
  const int start = std::max(istart, 1) - 1, end = std::min(iend, g.rowsinuse) - 1;
  if (end <= start) return 1;
  takeEditor(g);
  const bool descending = (iflags & SORT_DESCENDING) != 0;
  const bool ignorecase = (iflags & SORT_IGNORECASE) != 0;
  const GridColumn& key = g.columns[static_cast<std::size_t>(icol - 1)];
  const int n = end - start + 1;
  std::vector<SortKey> keys(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const auto r = static_cast<std::size_t>(start + i);
    SortKey& k = keys[static_cast<std::size_t>(i)];
    switch (key.type) {
      case GridString:
        k.text.assign(cellText(key, r));
        k.filled = !k.text.empty();
        if (ignorecase) iuppercase(k.text);
        break;
      case GridInteger: k.filled = defined(key, r); k.number = key.integers[r]; break;
      case GridReal: k.filled = defined(key, r); k.number = key.reals[r]; break;
      case GridDouble: k.filled = defined(key, r); k.number = key.doubles[r]; break;
      case GridCheckBox: k.filled = true; k.number = key.integers[r]; break;
      default: k.filled = true; k.number = key.integers[r] + 1; break;
    }
  }
  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  const bool text = key.type == GridString;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const SortKey& x = keys[static_cast<std::size_t>(a)];
    const SortKey& y = keys[static_cast<std::size_t>(b)];
    if (x.filled != y.filled) return x.filled;  // empty cells last in either order
    if (!x.filled) return false;
    const int c = text ? compareText(x.text, y.text) : (x.number < y.number ? -1 : x.number > y.number ? 1 : 0);
    return descending ? c > 0 : c < 0;
  });
  for (int& o : order) o += start;
  bool moved = false;
  for (int i = 0; i < n && !moved; ++i) moved = order[static_cast<std::size_t>(i)] != start + i;
  if (!moved) return 1;
  std::vector<int> local(order);
  for (int& o : local) o -= start;
  for (GridColumn& c : g.columns) {
    switch (c.type) {
      case GridString:
        permute(c.strings, local, start, static_cast<std::size_t>(c.textlength + 1));
        break;
      case GridInteger:
        permute(c.integers, local, start);
        permute(c.states, local, start);  // lock, defined and entered travel with the value
        break;
      case GridReal: permute(c.reals, local, start); permute(c.states, local, start); break;
      case GridDouble: permute(c.doubles, local, start); permute(c.states, local, start); break;
      default: permute(c.integers, local, start); break;
    }
  }
  if ((iflags & SORT_ROWLABELS) && g.hasrowlabels) permute(g.rowlabels, local, start);
  if (g.window) yygridselectnone(g.window);
  else yygridselectnone(g);
  g.modified = g.changed = 1;
  if (g.editor) yyGridUpdateCurrent(g);
  if ((iflags & SORT_ROWLABELS) && g.hasrowlabels) yygridlabelschanged(g);
  yygridcellredrawon(ident);
  return 1;
}
