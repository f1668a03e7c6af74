// Scale number text: zero, fixed-point, integer or exponent form by the scale's exponent and
// the chart's decimal places (negative: automatic), then redundant zeros trimmed.
#include "toolkit/pgraph/scalenum.h"

#include <cmath>
#include <string>

#include "toolkit/state/tessar.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/strings.h"

namespace {

// One decimal digit goes into the formats; more decimals than 9 are written as 9.
char digit(int d) { return static_cast<char>('0' + std::min(std::max(d, 0), 9)); }

}  // namespace

void yyr2s(float value, int exponent, int extra, int& first, int& last) {
  std::string& buf = tessar.files.TEXTBUF;
  const int places = tessar.pgraph.plot.DECIMALPLACES;
  buf.assign(200, ' ');

  int scan = 13;   // the text lies within the first 13 characters, or a wider exponent field
  if (value == 0) {
    buf[0] = '0';
  } else if ((exponent >= -4 && exponent <= 0) || (exponent >= 1 && exponent <= 5 && places >= 1)) {
    const int d = places >= 0 ? places : std::abs(exponent) + 1 + (extra != 0 ? 1 : 0);
    std::string field(9, ' ');
    IRealToString(value, field, std::string("(F9.") + digit(d) + ")");
    if (places < 0 && extra != 0 && field[8] == '0') field[8] = ' ';
    buf.replace(0, 9, field);
  } else if (exponent >= 1 && exponent <= 5) {
    // Rounded, so that a tick meant as 300 but computed as 299.99997 is labelled 300.
    const float rounded = std::round(value);
    std::string field(9, ' ');
    if (std::fabs(rounded) < 2147483647.0f)
      IntegerToString(static_cast<int>(rounded), field, "(I9)");
    else
      field.assign(9, '*');
    buf.replace(0, 9, field);
  } else {
    int n = 1;
    if (exponent < 0) {
      const float lg = std::log10(std::fabs(value));
      n = std::min(static_cast<int>(std::trunc(std::fabs(lg - static_cast<float>(exponent)))) + 1, 6);
    }
    const int d = places >= 0 ? std::min(places, 9) : n;
    // The field holds the decimals and seven more characters: sign, digit, point, E+nn.
    const int width = d + 7;
    std::string w(2, ' ');
    IntegerToString(width, w, "(I2.2)");
    std::string field(static_cast<std::size_t>(std::max(width, 13)), ' ');
    IRealToString(value, field, "(1PE" + w + "." + digit(d) + ")");
    scan = static_cast<int>(field.size());
    buf.replace(0, field.size(), field);
  }

  ilocatestring(std::string_view(buf).substr(0, static_cast<std::size_t>(scan)), first, last);
  if (first == 0) return;
  auto at = [&](int pos) { return buf[static_cast<std::size_t>(pos - 1)]; };
  if (last - first == 2 && buf.compare(static_cast<std::size_t>(first - 1), 3, "0.0") == 0) {
    first = last;
  } else if (at(first) == '0') {
    if (first < last - 1)
      ++first;
    else
      last = first;
  } else if (first < last && at(first) == '-' && at(first + 1) == '0') {
    ++first;
    buf[static_cast<std::size_t>(first - 1)] = '-';
  } else if (first < last && at(last - 1) == '.' && at(last) == '0' && places != 1) {
    if (first == last - 1)
      first = last;
    else
      last -= 2;
  }
}
