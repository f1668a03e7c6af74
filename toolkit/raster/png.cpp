// PNG shared pieces and the buffer compression routines.
#include "toolkit/raster/png.h"

#include <zlib.h>

#include <algorithm>
#include <array>

#include "toolkit/text/errors.h"

namespace {

const std::array<std::uint32_t, 256>& crctable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

// The lengths a caller gives, limited to what the spans really hold.
uLong clampto(int length, std::size_t size) {
  if (length <= 0) return 0;
  return static_cast<uLong>(std::min<std::size_t>(static_cast<std::size_t>(length), size));
}

using ZlibCall = int (*)(Bytef*, uLongf*, const Bytef*, uLong);

void zcall(ZlibCall call, std::span<const std::uint8_t> source,
           std::span<std::uint8_t> destination, int sourcelength, int& destinationlength,
           int& status) {
  uLongf out = clampto(destinationlength, destination.size());
  status = call(destination.data(), &out, source.data(), clampto(sourcelength, source.size()));
  destinationlength = status == Z_OK ? static_cast<int>(out) : 0;
}

void zrecord(ZlibCall call, std::string_view routine, std::span<const std::uint8_t> source,
             std::span<std::uint8_t> destination, int sourcelength, int& destinationlength) {
  int status = 0;
  zcall(call, source, destination, sourcelength, destinationlength, status);
  if (status == Z_OK) return;
  tessar.error.ERRSTATUS = status;
  destinationlength = 0;
  yyerror(1044, routine);
}

int zcompress(Bytef* d, uLongf* dl, const Bytef* s, uLong sl) { return compress(d, dl, s, sl); }
int zuncompress(Bytef* d, uLongf* dl, const Bytef* s, uLong sl) {
  return uncompress(d, dl, s, sl);
}

}  // namespace

std::uint32_t yypngcrc2(std::span<const std::uint8_t> bytes, int length) {
  if (length <= 0) return 0;
  const auto& table = crctable();
  const std::size_t n = std::min(static_cast<std::size_t>(length), bytes.size());
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) c = table[(c ^ bytes[i]) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void yypngcrc(int length, std::uint32_t& crc, std::span<const std::uint8_t> bytes) {
  crc = yypngcrc2(bytes, length);
}

void yypngwrd(std::uint32_t value, std::span<std::uint8_t> bytes) {
  bytes[0] = static_cast<std::uint8_t>(value >> 24);
  bytes[1] = static_cast<std::uint8_t>(value >> 16);
  bytes[2] = static_cast<std::uint8_t>(value >> 8);
  bytes[3] = static_cast<std::uint8_t>(value);
}

void yypngword(std::uint32_t value, std::span<std::uint8_t> bytes) { yypngwrd(value, bytes); }

int yypngc2i(std::span<const std::uint8_t> bytes) {
  const std::uint32_t u = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                          (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
  return static_cast<int>(u);
}

void yypngc2i(std::span<const std::uint8_t> bytes, int& value) { value = yypngc2i(bytes); }

int yypngcmp(std::span<const std::uint8_t> bytes, std::string_view type) {
  for (std::size_t i = 0; i < 4; ++i)
    if (i >= type.size() || bytes[i] != static_cast<std::uint8_t>(type[i])) return 0;
  return 1;
}

void yyzcompr(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
              int sourcelength, int& destinationlength, int& status) {
  zcall(zcompress, source, destination, sourcelength, destinationlength, status);
}

void yyzuncom(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
              int sourcelength, int& destinationlength, int& status) {
  zcall(zuncompress, source, destination, sourcelength, destinationlength, status);
}

void WCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
               int sourcelength, int& destinationlength) {
  zrecord(zcompress, "WCompress", source, destination, sourcelength, destinationlength);
}

void WUnCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                 int sourcelength, int& destinationlength) {
  zrecord(zuncompress, "WUnCompress", source, destination, sourcelength, destinationlength);
}
