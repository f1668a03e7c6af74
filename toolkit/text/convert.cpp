// toolkit/text/convert.cpp: number and text conversion.
// Sections (grep "[SECTION]"): display format engine | number to text | text to number |
//   internal routines | range of a series
// Invariants: (1) no routine writes past its text's size(); (2) a failed number-to-text
// conversion leaves the asterisk fill, a failed text-to-number conversion 0; (3) the
// internal text-to-number and reformatting routines never change LASTERROR or DEBUGLEVEL.
#include "toolkit/text/convert.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

//------------------------------------------------------------------------------
// [SECTION] Display format engine
// - parseFormat(), formatInteger(), formatFixed(), formatExponent(), formatGeneral(),
//   formatRecord()
//------------------------------------------------------------------------------
namespace {

// One edit descriptor: a data descriptor (I, F, E, G) or a quoted literal (kind 'L').
struct Descriptor {
  char kind = 0;
  int w = 0;
  int d = 0;        // decimals, significant digits, or the minimum digits m of Iw.m
  bool hasD = false;
  int e = 0;        // exponent digits of Ew.dEe and Gw.dEe
  bool hasE = false;
  int scale = 0;    // digits before the point of kPEw.d (0: the plain 0.ddd form)
  std::string literal;
};

// Widths and digit counts beyond this are refused: no text field is that long.
constexpr int kMaxCount = 100000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool readCount(std::string_view s, std::size_t& i, int& out) {
  if (i >= s.size() || !isDigit(s[i])) return false;
  long long v = 0;
  while (i < s.size() && isDigit(s[i])) {
    v = v * 10 + (s[i] - '0');
    if (v > kMaxCount) return false;
    ++i;
  }
  out = static_cast<int>(v);
  return true;
}

// Reads one list item (without its separating comma); false for anything not understood.
bool parseItem(std::string_view s, Descriptor& d) {
  if (s.empty()) return false;
  if (s.front() == '\'' || s.front() == '"') {
    const char quote = s.front();
    std::size_t i = 1;
    d.kind = 'L';
    for (;;) {
      if (i >= s.size()) return false;
      if (s[i] == quote) {
        if (i + 1 < s.size() && s[i + 1] == quote) {
          d.literal += quote;
          i += 2;
          continue;
        }
        return i + 1 == s.size();
      }
      d.literal += s[i++];
    }
  }
  std::size_t i = 0;
  int repeat = 1;
  if (isDigit(s[0]) && !readCount(s, i, repeat)) return false;
  // A scale factor kP before an E descriptor: k digits before the point.
  if (i > 0 && i < s.size() && upper(s[i]) == 'P') {
    d.scale = repeat;
    repeat = 1;
    ++i;
    if (i >= s.size() || upper(s[i]) != 'E') return false;
  }
  if (repeat < 1) return false;
  if (i >= s.size()) return false;
  d.kind = upper(s[i++]);
  if (d.kind != 'I' && d.kind != 'F' && d.kind != 'E' && d.kind != 'G') return false;
  if (!readCount(s, i, d.w)) return false;
  if (i < s.size() && s[i] == '.') {
    ++i;
    if (!readCount(s, i, d.d)) return false;
    d.hasD = true;
  }
  if ((d.kind == 'E' || d.kind == 'G') && i < s.size() && upper(s[i]) == 'E') {
    ++i;
    if (!readCount(s, i, d.e) || d.e < 1) return false;
    d.hasE = true;
  }
  if (i != s.size()) return false;
  switch (d.kind) {
    case 'I':
      return true;
    case 'F':
      return d.hasD;
    default:  // E and G need a width and at least one significant digit
      return d.hasD && d.w > 0 && d.d > 0 && d.scale <= d.d + 1;
  }
}

// Splits "(item,item,...)" into descriptors; blanks outside literals are ignored.
std::optional<std::vector<Descriptor>> parseFormat(std::string_view format) {
  const int len = lentrim(format);
  std::string s;
  bool quoted = false;
  char quote = 0;
  for (int k = 0; k < len; ++k) {
    const char c = format[static_cast<std::size_t>(k)];
    if (quoted) {
      if (c == quote) quoted = false;  // a doubled quote reopens at once
    } else if (c == '\'' || c == '"') {
      quoted = true;
      quote = c;
    } else if (c == ' ') {
      continue;
    }
    s += c;
  }
  if (quoted || s.size() < 2 || s.front() != '(' || s.back() != ')') return std::nullopt;
  std::vector<Descriptor> items;
  std::string_view body(s);
  body = body.substr(1, body.size() - 2);
  std::size_t start = 0;
  quoted = false;
  for (std::size_t k = 0; k <= body.size(); ++k) {
    if (k < body.size()) {
      const char c = body[k];
      if (quoted) {
        if (c == quote) quoted = false;
        continue;
      }
      if (c == '\'' || c == '"') {
        quoted = true;
        quote = c;
        continue;
      }
      if (c != ',') continue;
    }
    Descriptor d;
    if (!parseItem(body.substr(start, k - start), d)) return std::nullopt;
    items.push_back(std::move(d));
    start = k + 1;
  }
  return items;
}

// The magnitude of x printed as C's "%.*f" or "%.*e" prints it: exact decimal values,
// rounded to the nearest with ties to even, as Fortran output does. std::to_chars gives the
// same bytes without the locale and the formatting machinery; snprintf takes the texts too
// long for the buffer.
std::string printed(char conversion, int precision, double x) {
  char buffer[512];
  const auto form = conversion == 'f' ? std::chars_format::fixed : std::chars_format::scientific;
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x), form, precision);
  if (ec == std::errc()) return std::string(buffer, end);
  const char format[] = {'%', '.', '*', conversion, '\0'};
  const int n = std::snprintf(nullptr, 0, format, precision, std::fabs(x));
  std::vector<char> wide(static_cast<std::size_t>(n) + 1);
  std::snprintf(wide.data(), wide.size(), format, precision, std::fabs(x));
  return std::string(wide.data(), static_cast<std::size_t>(n));
}

// x in scientific form with sig significant digits.
std::string scientific(double x, int sig) { return printed('e', sig - 1, x); }

std::string stars(int w) { return std::string(static_cast<std::size_t>(w), '*'); }

// Right-aligns text in w characters, or w asterisks when it does not fit; w 0 is as wide
// as the text.
std::string fitField(const std::string& text, int w) {
  if (w == 0) return text;
  if (static_cast<int>(text.size()) > w) return stars(w);
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

std::string formatInteger(long long value, int w, int m, bool hasM) {
  std::string digits;
  if (!(value == 0 && hasM && m == 0)) {
    digits = std::to_string(value < 0 ? -value : value);
    if (hasM && static_cast<int>(digits.size()) < m)
      digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    if (value < 0) digits.insert(0, 1, '-');
  }
  if (w == 0 && digits.empty()) return " ";
  return fitField(digits, w);
}

// Infinity and NaN are written as words, as Fortran output writes them.
std::string formatSpecial(double x, int w) {
  std::string word;
  if (std::isnan(x)) {
    word = "NaN";
  } else {
    const bool neg = std::signbit(x);
    word = (w == 0 || w >= (neg ? 9 : 8)) ? "Infinity" : "Inf";
    if (neg) word.insert(0, 1, '-');
  }
  return fitField(word, w);
}

// Fixed point: exactly d decimals of the value's exact binary value, rounded to the
// nearest (ties to even); the zero before the point is dropped only when the field is
// too narrow for it.
std::string formatFixed(double x, int w, int d) {
  if (!std::isfinite(x)) return formatSpecial(x, w);
  std::string body = printed('f', d, x);
  if (d == 0) body += '.';
  const std::string sign = std::signbit(x) ? "-" : "";
  std::string text = sign + body;
  if (w > 0 && static_cast<int>(text.size()) > w && body.size() > 1 && body[0] == '0' &&
      body[1] == '.')
    text = sign + body.substr(1);
  return fitField(text, w);
}

// Exponent form 0.ddddE+xx, or with a scale factor k the first k digits before the point and
// d - k + 1 after it; a three-digit exponent without its own width drops the letter.
std::string formatExponent(double x, int w, int d, int e, bool hasE, int scale = 0) {
  if (!std::isfinite(x)) return formatSpecial(x, w);
  const int sig = scale > 0 ? d + 1 : d;
  std::string digits(static_cast<std::size_t>(sig), '0');
  int exponent = 0;
  if (x != 0.0) {
    const std::string sci = scientific(x, sig);
    const std::size_t epos = sci.find('e');
    digits = sci.substr(0, 1) + (sig > 1 ? sci.substr(2, epos - 2) : "");
    exponent = std::atoi(sci.c_str() + epos + 1) + 1 - scale;
  }
  const int magnitude = exponent < 0 ? -exponent : exponent;
  const char esign = exponent < 0 ? '-' : '+';
  std::string expText;
  if (hasE) {
    std::string ed = std::to_string(magnitude);
    if (static_cast<int>(ed.size()) > e) return stars(w);
    expText = std::string("E") + esign + std::string(static_cast<std::size_t>(e) - ed.size(), '0') + ed;
  } else if (magnitude <= 99) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "E%c%02d", esign, magnitude);
    expText = buf;
  } else if (magnitude <= 999) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%c%03d", esign, magnitude);
    expText = buf;
  } else {
    return stars(w);
  }
  const std::string sign = std::signbit(x) ? "-" : "";
  if (scale > 0) {
    const auto k = static_cast<std::size_t>(scale);
    return fitField(sign + digits.substr(0, k) + "." + digits.substr(k) + expText, w);
  }
  std::string text = sign + "0." + digits + expText;
  if (static_cast<int>(text.size()) > w) text = sign + "." + digits + expText;
  return fitField(text, w);
}

// General form: fixed with d significant digits and n trailing blanks when the rounded
// magnitude lies in [0.1, 10^d), or zero; otherwise the exponent form.
std::string formatGeneral(double x, int w, int d, int e, bool hasE) {
  if (!std::isfinite(x)) return formatSpecial(x, w);
  const int n = hasE ? e + 2 : 4;
  int s = 1;  // digits before the point in the fixed form; zero is written 0.ddd
  if (x != 0.0) {
    const std::string sci = scientific(x, d);
    const int decade = std::atoi(sci.c_str() + sci.find('e') + 1);
    if (decade < -1 || decade > d - 1) return formatExponent(x, w, d, e, hasE);
    s = decade + 1;
  }
  if (w - n < 1) return stars(w);
  return formatFixed(x, w - n, d - s) + std::string(static_cast<std::size_t>(n), ' ');
}

// A value handed to the engine: an integer or a real.
struct Value {
  bool integer;
  long long i;
  double r;
};

// Display formats already parsed: a program writes many values under a handful of texts.
const std::optional<std::vector<Descriptor>>& parsedFormat(std::string_view format) {
  struct Entry {
    std::string text;
    std::optional<std::vector<Descriptor>> items;
  };
  thread_local std::vector<Entry> cache;
  for (const Entry& e : cache)
    if (e.text == format) return e.items;
  if (cache.size() >= 64) cache.clear();
  cache.push_back({std::string(format), parseFormat(format)});
  return cache.back().items;
}

// The fast paths of the fields section, which write straight into a record.
bool appendFixed(std::string& out, double x, int w, int d);
void appendInteger(std::string& out, long long value, const FieldFormat& f);

// Formats one value with format into record; false for an invalid format, a value of the
// wrong kind for its descriptor, or a record longer than maxLength.
bool formatRecord(const Value& v, std::string_view format, std::size_t maxLength,
                  std::string& record) {
  const auto& items = parsedFormat(format);
  if (!items) return false;
  record.clear();
  bool used = false;
  for (const Descriptor& d : *items) {
    if (d.kind == 'L') {
      record += d.literal;
    } else {
      if (used) break;
      used = true;
      if (d.w > static_cast<int>(maxLength) || d.d > static_cast<int>(maxLength)) return false;
      if (v.integer) {
        if (d.kind == 'I' || d.kind == 'G')
          appendInteger(record, v.i, {'I', d.w, d.d, d.kind == 'I' && d.hasD, 0, false});
        else
          return false;
      } else {
        switch (d.kind) {
          case 'F':
            if (!(d.w > 0 && std::isfinite(v.r) && appendFixed(record, v.r, d.w, d.d)))
              record += formatFixed(v.r, d.w, d.d);
            break;
          case 'E': record += formatExponent(v.r, d.w, d.d, d.e, d.hasE, d.scale); break;
          case 'G': record += formatGeneral(v.r, d.w, d.d, d.e, d.hasE); break;
          default: return false;
        }
      }
    }
    if (record.size() > maxLength) return false;
  }
  return used;
}

// Formats into the whole text, blank-padded; positive status on failure, as an internal
// write would give it.
int writeFormatted(const Value& v, std::string& text, std::string_view format) {
  std::string record;
  if (!formatRecord(v, format, text.size(), record)) return 1;
  assignfixed(text, record);
  return 0;
}

void substituteDecimal(std::string& text) {
  if (tessar.dialog.DECIMALSUBST != 1) return;
  for (char& c : text)
    if (c == '.') c = tessar.files.DECIMAL;
}

//------------------------------------------------------------------------------
// [SECTION] Number to text
// - IntegerToString(), IRealToString(), IDoubleToString()
//------------------------------------------------------------------------------

void numberToString(const Value& v, std::string& text, std::string_view format,
                    std::string_view routine) {
  if (writeFormatted(v, text, format) == 0) {
    if (!v.integer) substituteDecimal(text);
    if (text.find('*') == std::string::npos || format.find('*') != std::string_view::npos)
      return;
  }
  assignfixed(text, "**********");
  yyerror(18, routine);
}

}  // namespace

void IntegerToString(int value, std::string& text, std::string_view format) {
  numberToString({true, value, 0.0}, text, format, "IntegerToString");
}

void IRealToString(float value, std::string& text, std::string_view format) {
  numberToString({false, 0, value}, text, format, "IRealToString");
}

void IDoubleToString(double value, std::string& text, std::string_view format) {
  numberToString({false, 0, value}, text, format, "IDoubleToString");
}

//------------------------------------------------------------------------------
// [SECTION] Fields of a record layout
// - parsefieldformat(), appendfield(), appendfittedreal(), readfield()
// One descriptor, parsed once, formats or reads many values: the fixed-point and integer
// paths write straight into the record without a text of their own per value.
//------------------------------------------------------------------------------
namespace {

void appendStars(std::string& out, int w) { out.append(static_cast<std::size_t>(w), '*'); }

// Right-aligns [text, text + n) in w columns, or w asterisks when it is wider.
void appendAligned(std::string& out, const char* text, std::size_t n, int w) {
  if (static_cast<int>(n) > w) {
    appendStars(out, w);
    return;
  }
  out.append(static_cast<std::size_t>(w) - n, ' ');
  out.append(text, n);
}

// Fw.d of a finite value with w > 0, as formatFixed writes it; false when the digits do
// not fit the buffer (formatFixed takes those).
bool appendFixed(std::string& out, double x, int w, int d) {
  char buffer[128];
  char* const body = buffer + 1;
  char* last = nullptr;
  const double magnitude = std::fabs(x);
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
  if (d <= 12 && magnitude < 1e18 && static_cast<double>(static_cast<float>(magnitude)) == magnitude &&
      magnitude * kPowers[d] < 9e18) {
    // A single-precision value times 10^d (at most 24 + 28 bits) is exact in a double, so
    // rounding it to an integer (to nearest, ties to even) is the exact decimal rounding.
    const auto scaled = static_cast<unsigned long long>(std::nearbyint(magnitude * kPowers[d]));
    char digits[24];
    char* digitsEnd = std::to_chars(digits, digits + sizeof digits, scaled).ptr;
    const int count = static_cast<int>(digitsEnd - digits);
    char* p = body;
    if (count <= d) {
      *p++ = '0';
      if (d > 0) *p++ = '.';
      for (int k = count; k < d; ++k) *p++ = '0';
      p = std::copy(digits, digitsEnd, p);
    } else {
      p = std::copy(digits, digitsEnd - d, p);
      if (d > 0) *p++ = '.';
      p = std::copy(digitsEnd - d, digitsEnd, p);
    }
    last = p;
  } else {
    const auto [end, ec] =
        std::to_chars(body, buffer + sizeof buffer - 1, magnitude, std::chars_format::fixed, d);
    if (ec != std::errc()) return false;
    last = end;
  }
  if (d == 0) *last++ = '.';
  char* first = body;
  const std::size_t bodyLength = static_cast<std::size_t>(last - body);
  const bool negative = std::signbit(x);
  if (static_cast<int>(bodyLength) + (negative ? 1 : 0) > w && bodyLength > 1 && body[0] == '0' &&
      body[1] == '.')
    ++first;
  if (negative) *--first = '-';
  appendAligned(out, first, static_cast<std::size_t>(last - first), w);
  return true;
}

void appendInteger(std::string& out, long long value, const FieldFormat& f) {
  const bool hasM = f.kind == 'I' && f.hasD;
  if (hasM && f.d > 20) {
    out += formatInteger(value, f.w, f.d, hasM);
    return;
  }
  char buffer[48];
  char* digits = buffer + 24;
  const unsigned long long magnitude =
      value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  char* end = std::to_chars(digits, buffer + sizeof buffer, magnitude).ptr;
  if (hasM && value == 0 && f.d == 0) {
    end = digits;  // Iw.0 writes a zero as blanks
  } else if (hasM) {
    while (end - digits < f.d) *--digits = '0';
  }
  if (value < 0) *--digits = '-';
  if (f.w == 0) {
    if (end == digits) out += ' ';  // I0.0 of a zero is one blank
    else out.append(digits, end);
    return;
  }
  appendAligned(out, digits, static_cast<std::size_t>(end - digits), f.w);
}

bool isBlank(char c) { return c == ' '; }

}  // namespace

bool parsefieldformat(std::string_view descriptor, FieldFormat& field) {
  Descriptor d;
  if (!parseItem(descriptor, d) || d.kind == 'L' || d.scale != 0) return false;
  field = {d.kind, d.w, d.d, d.hasD, d.e, d.hasE};
  return true;
}

void appendfield(std::string& out, double value, const FieldFormat& field) {
  if (field.kind == 'F' && field.w > 0 && std::isfinite(value) && appendFixed(out, value, field.w, field.d))
    return;
  switch (field.kind) {
    case 'F': out += formatFixed(value, field.w, field.d); break;
    case 'E': out += formatExponent(value, field.w, field.d, field.e, field.hasE); break;
    case 'G': out += formatGeneral(value, field.w, field.d, field.e, field.hasE); break;
    default: appendStars(out, field.w); break;
  }
}

void appendfield(std::string& out, long long value, const FieldFormat& field) {
  if (field.kind == 'I' || field.kind == 'G') appendInteger(out, value, field);
  else appendStars(out, field.w);
}

void appendfittedreal(std::string& out, double value, const FieldFormat& field, int maxdigits) {
  if (!std::isfinite(value)) {
    appendStars(out, field.w);
    return;
  }
  const std::size_t start = out.size();
  appendfield(out, value, field);
  // A number's text never begins with an asterisk: only a field that did not fit does.
  if (field.w == 0 || out.size() == start || out[start] != '*') return;
  // The most significant digits that fit the same width, down to one.
  for (int sig = std::min(maxdigits, field.w); sig >= 1; --sig) {
    const std::string text = formatExponent(value, field.w, sig, 0, false);
    if (text.find('*') == std::string::npos) {
      out.replace(start, std::string::npos, text);
      return;
    }
  }
}

bool readfield(std::string_view text, const FieldFormat& field, int& value) {
  long long sum = 0;
  bool negative = false, sign = false, digit = false;
  for (char c : text) {
    if (isBlank(c)) continue;
    if ((c == '+' || c == '-') && !sign && !digit) {
      sign = true;
      negative = c == '-';
    } else if (isDigit(c)) {
      digit = true;
      sum = sum * 10 + (c - '0');
      if (sum > 2147483648LL) return false;
    } else {
      return false;
    }
  }
  if ((sign && !digit) || sum > (negative ? 2147483648LL : 2147483647LL)) return false;
  (void)field;
  value = static_cast<int>(negative ? -sum : sum);
  return true;
}

bool readfield(std::string_view text, const FieldFormat& field, float& value) {
  // The usual field: blanks before a signed number with a decimal point and no exponent.
  {
    std::size_t first = 0;
    while (first < text.size() && text[first] == ' ') ++first;
    std::size_t last = text.size();
    while (last > first && text[last - 1] == ' ') --last;
    std::size_t k = first < last && text[first] == '-' ? first + 1 : first;
    bool point = false, digit = false, plain = k < last;
    for (; k < last && plain; ++k) {
      const char c = text[k];
      if (isDigit(c)) digit = true;
      else if (c == '.' && !point) point = true;
      else plain = false;
    }
    if (plain && point && digit) {
      float v = 0.0f;
      const auto [ptr, ec] = std::from_chars(text.data() + first, text.data() + last, v);
      if (ec == std::errc() && ptr == text.data() + last && std::isfinite(v)) {
        value = v;
        return true;
      }
    }
  }
  // The field without its blanks: sign, digits with at most one point, then an exponent
  // after E, e, D or d, or after its sign alone (1.5+3).
  char compact[160];
  std::size_t n = 0;
  for (char c : text) {
    if (isBlank(c)) continue;
    if (n + 24 >= sizeof compact) return false;
    compact[n++] = c;
  }
  if (n == 0) {
    value = 0.0f;
    return true;
  }
  std::size_t i = 0;
  const bool negative = compact[0] == '-';
  if (compact[0] == '+' || compact[0] == '-') i = 1;
  const std::size_t mantissaStart = i;
  bool point = false, digit = false;
  for (; i < n; ++i) {
    const char c = compact[i];
    if (isDigit(c)) digit = true;
    else if (c == '.' && !point) point = true;
    else break;
  }
  // A sign alone reads as zero, as does a mantissa without digits ("-.", ".E5"), which
  // keeps its sign.
  if (mantissaStart == n) {
    value = 0.0f;
    return true;
  }
  const std::size_t mantissaEnd = i;
  long exponent = 0;
  bool hasExponent = false;
  if (i < n) {
    const char c = compact[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') ++i;
    else if (c != '+' && c != '-') return false;
    bool exponentNegative = false;
    if (i < n && (compact[i] == '+' || compact[i] == '-')) exponentNegative = compact[i++] == '-';
    if (i == n) return false;
    for (; i < n; ++i) {
      if (!isDigit(compact[i])) return false;
      exponent = std::min(exponent * 10 + (compact[i] - '0'), 100000L);
    }
    if (exponent > 9999) return false;  // Fortran input takes at most four exponent digits' worth
    if (exponentNegative) exponent = -exponent;
    hasExponent = true;
  }
  if (!digit) {
    value = negative ? -0.0f : 0.0f;
    return true;
  }
  // Without a decimal point the point is implied d digits from the right.
  if (!point && field.hasD) exponent -= field.d;
  std::size_t end = mantissaEnd;
  if (hasExponent || exponent != 0) {
    compact[end++] = 'e';
    end = static_cast<std::size_t>(
        std::to_chars(compact + end, compact + sizeof compact, exponent).ptr - compact);
  }
  float v = 0.0f;
  const auto [ptr, ec] = std::from_chars(compact + mantissaStart, compact + end, v);
  if (ec == std::errc::result_out_of_range) {
    // Beyond the largest float fails; below the smallest reads as strtof rounds it.
    compact[end] = '\0';
    v = std::strtof(compact + mantissaStart, nullptr);
  } else if (ec != std::errc() || ptr != compact + end) {
    return false;
  }
  if (!std::isfinite(v)) return false;
  value = negative ? -v : v;
  return true;
}

//------------------------------------------------------------------------------
// [SECTION] Text to number
// - IStringToInteger(), IStringToReal(), istringtodouble(), inextreal(), inextinteger()
//------------------------------------------------------------------------------
namespace {

// The first blank-delimited word of text; empty when the text is blank.
std::string_view firstWord(std::string_view text, int& first, int& last) {
  ilocatestring(text, first, last);
  if (first == 0) return {};
  return text.substr(static_cast<std::size_t>(first) - 1, static_cast<std::size_t>(last - first) + 1);
}

int textToInteger(std::string_view text, int& value) {
  value = 0;
  int first = 0, last = 0;
  std::string_view word = firstWord(text, first, last);
  if (word.empty()) return 10;
  bool negative = false;
  if (word[0] == '-' || word[0] == '+') {
    negative = word[0] == '-';
    word.remove_prefix(1);
  }
  for (char c : word)
    if (!isDigit(c)) return 12;
  if (word.size() > 10 || (word.size() == 10 && word[0] > '2')) return 4;
  long long sum = 0;
  for (char c : word) {
    sum = sum * 10 + (c - '0');
    if (sum > 2147483647LL) return 4;
  }
  value = static_cast<int>(negative ? -sum : sum);
  return 0;
}

// One part of a real's text: its sign and its integer and fraction digits.
struct RealPart {
  bool negative = false;
  std::string integerDigits;
  std::string fractionDigits;
  bool isZero() const {
    return integerDigits.find_first_not_of('0') == std::string::npos &&
           fractionDigits.find_first_not_of('0') == std::string::npos;
  }
};

int parsePart(std::string_view part, bool exponent, int maxPower, RealPart& out) {
  std::string decimals = ".,";
  if (tessar.dialog.DECIMALSUBST == 1) decimals += tessar.files.DECIMAL;
  std::size_t dp = part.find_first_of(decimals);
  if (dp != std::string_view::npos) {
    if (exponent) return 12;
    if (part.find_first_of(decimals, dp + 1) != std::string_view::npos) return 11;
  } else {
    dp = part.size();
  }
  std::size_t start = 0;
  if (!part.empty() && (part[0] == '-' || part[0] == '+')) {
    out.negative = part[0] == '-';
    start = 1;
  }
  for (std::size_t k = start; k < part.size(); ++k)
    if (!isDigit(part[k]) && decimals.find(part[k]) == std::string::npos) return 12;
  const std::size_t intEnd = dp < start ? start : dp;
  out.integerDigits = std::string(part.substr(start, intEnd - start));
  if (static_cast<long long>(out.integerDigits.size()) - 1 > maxPower) return 4;
  if (dp + 1 < part.size()) out.fractionDigits = std::string(part.substr(dp + 1));
  return 0;
}

// Text to real under one parameter set; the result is 0 on every error.
// single: exponent letters "E", "e", largest power 38; else also "D", "d" and 308.
int textToReal(std::string_view text, bool single, double& value) {
  value = 0.0;
  const int maxPower = single ? 38 : 308;
  const std::string_view letters = single ? "Ee" : "EeDd";
  int first = 0, last = 0;
  const std::string_view word = firstWord(text, first, last);
  if (word.empty()) return 10;

  std::size_t epos = std::string_view::npos;
  for (char letter : letters) {
    epos = word.find(letter);
    if (epos != std::string_view::npos) break;
  }
  bool signExponent = false;
  if (epos == std::string_view::npos && word.size() >= 4) {
    const std::size_t at = word.size() - 4;
    if (at != 0 && (word[at] == '+' || word[at] == '-')) {
      epos = at;
      signExponent = true;
    }
  }
  const std::string_view mantissaText = word.substr(0, epos);
  RealPart mantissa;
  if (const int err = parsePart(mantissaText, false, maxPower, mantissa)) return err;
  const std::string digits = (mantissa.integerDigits.empty() ? "0" : mantissa.integerDigits) +
                             "." + mantissa.fractionDigits;
  const std::string signText = mantissa.negative ? "-" : "";

  long long exponentValue = 0;
  if (epos != std::string_view::npos) {
    const std::string_view exponentText = word.substr(signExponent ? epos : epos + 1);
    RealPart exponent;
    if (const int err = parsePart(exponentText, true, maxPower, exponent)) return err;
    if (mantissa.isZero()) return 0;
    // At most maxPower+1 digits; anything beyond the clamp underflows or fails the limit.
    long double x = 0.0L;
    for (char c : exponent.integerDigits) x = x * 10.0L + (c - '0');
    if (exponent.negative) x = -x;
    const long double m = std::strtold(digits.c_str(), nullptr);
    if (!(m > 0.0L)) return 0;  // so many leading zeros that even extended precision is 0
    const long long k = static_cast<long long>(std::trunc(std::log10(m) - 1.0L));
    const long double p = x + static_cast<long double>(k);
    if (p > maxPower) return 4;
    exponentValue = x < -100000.0L ? -100000 : static_cast<long long>(x);
  }

  // A zero keeps no sign: "-" alone or "-0.0" is 0, never -0.
  if (mantissa.isZero()) return 0;
  const std::string canonical = signText + digits + "e" + std::to_string(exponentValue);
  if (single) {
    // The largest single value is written rounded to the digits of the format
    // ("3.4028235E+38", "0.3403E+39"), which can lie above the value itself: a text up to
    // 3.4028235E+38, or one that passes the largest value by no more than half a unit of
    // its last digit, reads as the largest value, so that everything written reads back.
    const long double wide = std::fabs(std::strtold(canonical.c_str(), nullptr));
    if (wide > static_cast<long double>(FLT_MAX)) {
      const long long lastDigitPower =
          exponentValue - static_cast<long long>(mantissa.fractionDigits.size());
      const long double halfUnit = 0.5L * std::pow(10.0L, static_cast<long double>(lastDigitPower));
      if (wide > 3.4028235e38L && wide - halfUnit > static_cast<long double>(FLT_MAX)) return 4;
      value = mantissa.negative ? -FLT_MAX : FLT_MAX;
      return 0;
    }
    value = std::strtof(canonical.c_str(), nullptr);
    if (value == 0.0) value = 0.0f;  // an underflow keeps no sign either (-0 == 0)
  } else {
    value = std::strtod(canonical.c_str(), nullptr);
    // Past the largest double the text has no value we can hold; 0 with error 4, never
    // an infinity.
    if (std::isinf(value)) {
      value = 0.0;
      return 4;
    }
    if (value == 0.0) value = 0.0;  // -0 == 0: drop the sign
  }
  return 0;
}

void blankFirstWord(std::string& text) {
  int first = 0, last = 0;
  ilocatestring(text, first, last);
  if (first == 0) return;
  for (int k = first; k <= last; ++k) text[static_cast<std::size_t>(k) - 1] = ' ';
}

}  // namespace

void IStringToInteger(std::string_view text, int& value) {
  if (const int err = textToInteger(text, value)) yyerror(err, "IStringToInteger");
}

void IStringToReal(std::string_view text, float& value) {
  double result = 0.0;
  const int err = textToReal(text, true, result);
  value = static_cast<float>(result);
  if (err) yyerror(err, "IStringToReal");
}

void istringtodouble(std::string_view text, double& value) {
  if (const int err = textToReal(text, false, value)) yyerror(err, "IStringToReal");
}

void inextreal(std::string& text, float& value) {
  value = 0.0f;
  int first = 0, last = 0;
  ilocatestring(text, first, last);
  if (first == 0) return;
  IStringToReal(text, value);
  blankFirstWord(text);
}

void inextinteger(std::string& text, int& value) {
  value = 0;
  int first = 0, last = 0;
  ilocatestring(text, first, last);
  if (first == 0) return;
  IStringToInteger(text, value);
  blankFirstWord(text);
}

//------------------------------------------------------------------------------
// [SECTION] Internal routines
// - yyst2dbl(), yyst2rea(), yyst2int(), yyst2dblcheck(), yydbl2st(), yyrea2st(),
//   yyint2st(), yyformd(), yyformr(), yyformi()
//------------------------------------------------------------------------------
namespace {

// A buffer's text: up to its first NUL, else up to its last non-blank character.
std::string_view bufferText(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) return text.substr(0, nul);
  return text.substr(0, static_cast<std::size_t>(lentrim(text)));
}

// A double truncated toward zero, or 0 when it is outside the 32-bit range.
int truncateToInt(double x) {
  const double t = std::trunc(x);
  if (!(t >= -2147483648.0 && t <= 2147483647.0)) return 0;
  return static_cast<int>(t);
}

// NUL right after the first n characters and blanks after it, where the buffer has room.
void terminateAt(std::string& text, std::size_t n) {
  if (n >= text.size()) return;
  text[n] = '\0';
  std::fill(text.begin() + static_cast<std::ptrdiff_t>(n) + 1, text.end(), ' ');
}

void starsWithNul(std::string& text, std::size_t count) {
  const std::size_t n = std::min(count, text.size());
  std::fill(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), '*');
  std::fill(text.begin() + static_cast<std::ptrdiff_t>(n), text.end(), ' ');
  terminateAt(text, n);
}

// Moves the text from its first character that is neither blank nor NUL to its last
// non-blank character to the start, then a NUL and blanks.
void leftJustifyWithNul(std::string& text) {
  const int first = ilocatechar(text);
  const int last = lentrim(text);
  if (first == 0) {
    std::fill(text.begin(), text.end(), ' ');
    terminateAt(text, 0);
    return;
  }
  const std::string body = text.substr(static_cast<std::size_t>(first) - 1,
                                       static_cast<std::size_t>(last - first) + 1);
  assignfixed(text, body);
  terminateAt(text, body.size());
}

void realToBuffer(const Value& v, std::string& text, std::string_view format,
                  std::string_view routine) {
  ErrorState& es = tessar.error;
  es.ERRDETAIL = writeFormatted(v, text, format);
  if (es.ERRDETAIL > 0) {
    starsWithNul(text, 10);
    yyerror(18, routine);
    return;
  }
  substituteDecimal(text);
  leftJustifyWithNul(text);
}

// Left-justifies a reformatted text and ends it with a NUL after its last non-blank.
void justifyAndTerminate(std::string& text) {
  ijustifystring(text, "L");
  terminateAt(text, static_cast<std::size_t>(lentrim(text)));
}

}  // namespace

void yyst2dbl(double& value, std::string_view text) {
  value = 0.0;
  (void)silently([&] { istringtodouble(bufferText(text), value); });
}

void yyst2rea(float& value, std::string_view text) {
  value = 0.0f;
  (void)silently([&] { IStringToReal(bufferText(text), value); });
}

// Through double, so that integers above 2^24 come back exactly.
void yyst2int(int& value, std::string_view text) {
  double result = 0.0;
  (void)silently([&] { istringtodouble(bufferText(text), result); });
  value = truncateToInt(result);
}

void yyst2dblcheck(double& value, int& flag, std::string_view text) {
  value = 0.0;
  const int failed = silently([&] { istringtodouble(bufferText(text), value); });
  flag = failed == 0 ? 1 : 0;
}

void yydbl2st(double value, std::string& text, std::string_view format) {
  realToBuffer({false, 0, value}, text, format, "yydbl2st");
}

void yyrea2st(float value, std::string& text, std::string_view format) {
  realToBuffer({false, 0, value}, text, format, "yyrea2st");
}

void yyint2st(int value, std::string& text) {
  const int status = writeFormatted({true, value, 0.0}, text, "(I11)");
  if (status > 0) {
    starsWithNul(text, 11);
    yyerror(18, "yyint2st");
    return;
  }
  leftJustifyWithNul(text);
}

void yyformd(std::string& text, std::string_view format) {
  (void)silently([&] {
    double value = 0.0;
    istringtodouble(bufferText(text), value);
    IDoubleToString(value, text, format);
  });
  justifyAndTerminate(text);
}

void yyformr(std::string& text, std::string_view format) {
  (void)silently([&] {
    float value = 0.0f;
    IStringToReal(bufferText(text), value);
    IRealToString(value, text, format);
  });
  justifyAndTerminate(text);
}

void yyformi(std::string& text) {
  (void)silently([&] {
    double value = 0.0;
    istringtodouble(bufferText(text), value);
    IntegerToString(truncateToInt(value), text, "(I11)");
  });
  justifyAndTerminate(text);
}

//------------------------------------------------------------------------------
// [SECTION] Range of a series
// - irealmaxmin1()
//------------------------------------------------------------------------------

// Reads at most the values the span holds; with no value to read, the range is the empty
// one of a series whose values are all missing.
void irealmaxmin1(std::span<const float> values, int n, float& minimum, float& maximum) {
  const PlotDefinition& pg = tessar.pgraph.plot;
  const std::size_t count =
      n <= 0 ? 0 : std::min(values.size(), static_cast<std::size_t>(n));
  if (pg.MISSINGSET[0] != 0 || count == 0) {
    minimum = FLT_MAX;
    maximum = -FLT_MAX;
    for (std::size_t k = 0; k < count; ++k) {
      if (pg.MISSINGSET[0] != 0 && values[k] == pg.MISSINGVALUE) continue;
      minimum = std::min(minimum, values[k]);
      maximum = std::max(maximum, values[k]);
    }
    return;
  }
  minimum = values[0];
  maximum = values[0];
  for (std::size_t k = 1; k < count; ++k) {
    minimum = std::min(minimum, values[k]);
    maximum = std::max(maximum, values[k]);
  }
}
