// Fuzz target: number and text conversion. The input's first line is a display format, the
// rest a text read by every text-to-number routine; the numbers read are written back under
// the format.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/state/tessar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = input.find('\n');
  const std::string format = nl == std::string::npos ? input : input.substr(0, nl);
  const std::string text = nl == std::string::npos ? input : input.substr(nl + 1);
  tessar.error = ErrorState{};
  tessar.dialog.DECIMALSUBST = size % 2 == 0 ? 0 : 1;
  tessar.files.DECIMAL = ';';

  int integer = 0;
  float single = 0;
  double dbl = 0;
  IStringToInteger(text, integer);
  IStringToReal(text, single);
  istringtodouble(text, dbl);
  std::string words = text;
  for (int k = 0; k < 64; ++k) inextreal(words, single);
  words = text;
  for (int k = 0; k < 64; ++k) inextinteger(words, integer);
  int flag = 0;
  yyst2dbl(dbl, text);
  yyst2rea(single, text);
  yyst2int(integer, text);
  yyst2dblcheck(dbl, flag, text);

  // The writers, under the fuzzed format, with every field length up to 80.
  std::string field(1 + size % 80, ' ');
  IntegerToString(integer, field, format);
  IRealToString(single, field, format);
  IDoubleToString(dbl, field, format);
  std::string buffer = text;
  buffer.resize(1 + size % 80, ' ');
  yyformd(buffer, format);
  buffer.resize(1 + size % 80, ' ');
  yyformr(buffer, format);
  buffer.resize(1 + size % 80, ' ');
  yyformi(buffer);
  return 0;
}
