// Driver output helpers: DXF groups, the DXF palette, HP-GL/2 lines and raw buffer writes.
#include "toolkit/hardcopy/output_helpers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/os.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

// The DXF colour index as six hexadecimal digits red, green, blue; entry 1 first.
constexpr std::array<int, 255> kDxfPalette = {
    0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF, 0xFFFFFF, 0x4C4C4C,
    0xA5A5A5, 0xFF0000, 0xFF7F7F, 0xA50000, 0xA55252, 0x7F0000, 0x7F3F3F, 0x4C0000,
    0x4C2626, 0x260000, 0x261313, 0xFF3F00, 0xFF9F7F, 0xA52900, 0xA56752, 0x7F1F00,
    0x7F4F3F, 0x4C1300, 0x4C2F26, 0x260900, 0x261713, 0xFF7F00, 0xFFBF7F, 0xB95200,
    0xA57C52, 0x7F3F00, 0x7F5F3F, 0x4C2600, 0x4C3926, 0x261300, 0x261C13, 0xFFBF00,
    0xFFDF7F, 0xA57C00, 0xA59152, 0x7F5F00, 0x7F6F3F, 0x4C3900, 0x4C4226, 0x261C00,
    0x262113, 0xFFFF00, 0xFFFF7F, 0xA5A500, 0xA5A552, 0x7F7F00, 0x7F7F3F, 0x4C4C00,
    0x4C4C26, 0x262600, 0x262613, 0xBFFF00, 0xDFFF7F, 0x7CA500, 0x91A552, 0x5F7F00,
    0x6F7F3F, 0x394C00, 0x424C26, 0x1C2600, 0x212613, 0x7FFF00, 0xBFFF7F, 0x52A548,
    0x7CA552, 0x3F7F00, 0x5F7F3F, 0x264C00, 0x394C26, 0x132600, 0x1C2613, 0x3FFF00,
    0x9FFF7F, 0x29A500, 0x67A552, 0x1F7F00, 0x4F7F3F, 0x134C00, 0x2F4C26, 0x092600,
    0x172613, 0x00FF00, 0x7FFF7F, 0x00A500, 0x52A552, 0x007F00, 0x3F7F3F, 0x004C00,
    0x264C26, 0x002600, 0x132613, 0x00FF3F, 0x7FFF9F, 0x00A529, 0x52A567, 0x007F1F,
    0x3F7F4F, 0x004C13, 0x264C2F, 0x002609, 0x132617, 0x00FF7F, 0x7FFFBF, 0x00A552,
    0x52A57C, 0x007F3F, 0x3F7F5F, 0x004C26, 0x264C39, 0x002613, 0x13261C, 0x00FFBF,
    0x7FFFDF, 0x00A57C, 0x52A591, 0x007F5F, 0x3F7F6F, 0x004C39, 0x264C42, 0x00261C,
    0x132621, 0x00FFFF, 0x7FFFFF, 0x00A5A5, 0x52A5A5, 0x007F7F, 0x3F7F7F, 0x004C4C,
    0x264C4C, 0x002626, 0x132626, 0x00BFFF, 0x7FDFFF, 0x007CA5, 0x5291A5, 0x005F7F,
    0x3F6F7F, 0x00394C, 0x26424C, 0x001C26, 0x132126, 0x007FFF, 0x7FBFFF, 0x0052A5,
    0x527CA5, 0x003F7F, 0x3F5F7F, 0x00264C, 0x26394C, 0x001326, 0x131C26, 0x003FFF,
    0x7F9FFF, 0x0029A5, 0x5267A5, 0x001F7F, 0x3F4F7F, 0x00134C, 0x262F4C, 0x000926,
    0x131726, 0x0000FF, 0x7F7FFF, 0x0000A5, 0x5252A5, 0x00007F, 0x3F3F7F, 0x00004C,
    0x26264C, 0x000026, 0x131326, 0x3F00FF, 0x9F7FFF, 0x2900A5, 0x6752A5, 0x1F007F,
    0x4F3F7F, 0x13004C, 0x2F264C, 0x090026, 0x171326, 0x7F00FF, 0xBF7FFF, 0x5200A5,
    0x7C52A5, 0x3F007F, 0x5F3F7F, 0x26004C, 0x39264C, 0x130026, 0x1C1326, 0xBF00FF,
    0xDF7FFF, 0x7C00A5, 0x9152A5, 0x5F007F, 0x6F3F7F, 0x39004C, 0x42264C, 0x1C0026,
    0x211326, 0xFF00FF, 0xFF7FFF, 0xA500A5, 0xA552A5, 0x7F007F, 0x7F3F7F, 0x4C004C,
    0x4C264C, 0x260026, 0x261326, 0xFF00BF, 0xFF7FDF, 0xA5007C, 0xA55291, 0x7F005F,
    0x7F3F6F, 0x4C0039, 0x4C2642, 0x26001C, 0x261321, 0xFF007F, 0xFF7FBF, 0xA50052,
    0xA5527C, 0x7F003F, 0x7F3F5F, 0x4C0026, 0x4C2639, 0x260013, 0x26131C, 0xFF003F,
    0xFF7F9F, 0xA50029, 0xA55267, 0x7F001F, 0x7F3F4F, 0x4C0013, 0x4C262F, 0x260009,
    0x261317, 0x545454, 0x767676, 0x989898, 0xBABABA, 0xDCDCDC, 0xFFFFFF,
};

void line(std::string_view text) { yyprwl(2, text, static_cast<int>(text.size())); }

// Whether (F15.6) holds the value; asterisks in a DXF file make the whole file unreadable.
bool fitsF156(float value) {
  if (!std::isfinite(value)) return false;
  char buffer[64];
  return std::snprintf(buffer, sizeof buffer, "%.6f", static_cast<double>(value)) <= 15;
}

// The shortest text that reads back as the same single-precision value, with an exponent
// ("1.2345679E+08"), which every DXF reader accepts. An infinity becomes the largest finite
// value of its sign and NaN becomes 0, so that the file stays readable.
std::string dxfExponentForm(float value) {
  if (std::isnan(value)) return "0.";
  if (std::isinf(value))
    value = std::copysign(std::numeric_limits<float>::max(), value);
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
    if (c == '.' && tessar.dialog.DECIMALSUBST == 1) c = tessar.files.DECIMAL;
  }
  return text;
}

}  // namespace

void yydxf3(std::string_view code, std::string_view value) {
  line(code);
  line(value);
}

void yydxf4(std::string_view code, float value) {
  if (!fitsF156(value)) {
    yydxf3(code, dxfExponentForm(value));
    return;
  }
  std::string text(15, ' ');
  IRealToString(value, text, "(F15.6)");
  if (text.find('*') != std::string::npos) {
    yydxf3(code, dxfExponentForm(value));
    return;
  }
  const int first = ilocatechar(text);
  int last = 15;
  while (last > 0 && text[static_cast<std::size_t>(last - 1)] == '0') --last;
  const std::size_t from = first > 0 ? static_cast<std::size_t>(first - 1) : 0;
  const std::size_t to = last > static_cast<int>(from) ? static_cast<std::size_t>(last) : from;
  yydxf3(code, std::string_view(text).substr(from, to - from));
}

void yydxf5(std::string_view code, int value) {
  std::string text(8, ' ');
  IntegerToString(value, text, "(I8)");
  const int first = ilocatechar(text);
  yydxf3(code, first > 0 ? std::string_view(text).substr(static_cast<std::size_t>(first - 1))
                         : std::string_view(text));
}

void yydxf2(std::string_view codex, std::string_view codey, float x, float y) {
  const DeviceOperands& op = tessar.graphics.operands;
  yydxf4(codex, x * op.HCSCALEX);
  yydxf4(codey, y * op.HCSCALEY);
}

void yydxf1(std::string_view entity) {
  const HardcopyRegion& hc = tessar.hardcopy;
  yydxf3("0", entity);
  yydxf3("8", "1");
  yydxf5(hc.HCOPTIONS[22] == 24 ? "420" : "62", hc.DXFCOLOUR);
}

int yydxfpal(int index) {
  if (index < 1 || index > 255) return 0;
  const int hex = kDxfPalette[static_cast<std::size_t>(index - 1)];
  return ((hex >> 16) & 0xFF) + 256 * ((hex >> 8) & 0xFF) + 65536 * (hex & 0xFF);
}

void yyhpgl2b(std::string_view command) {
  if (tessar.graphics.operands.HPGLPREFIX == 1) yyprou(2, std::span<const char>(" ", 1), 1);
  line(command);
}

void yyprbu(int handle, std::span<const std::uint8_t> bytes, int count, int lineend) {
  auto fail = [](int status) {
    tessar.error.ERRDETAIL = status;
    tessar.error.ERRDETAILKIND = 2;
    tessar.hardcopy.printer.OUTPUTERROR = 1;
    yyerror(2, "YYPRBU");
  };
  if (count > static_cast<int>(bytes.size())) count = static_cast<int>(bytes.size());
  int written = 0, status = 0;
  if (count > 0) win::yywritc(handle, bytes.data(), count, written, status);
  if (written < count) {
    fail(status);
    return;
  }
  if (lineend == 0) return;
  static constexpr char kCrLf[2] = {'\r', '\n'};
  win::yywritc(handle, kCrLf, 2, written, status);
  if (written < 2) fail(status);
}
