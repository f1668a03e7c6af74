// Buffered reads of an open binary file for the file identification scans.
#include "toolkit/raster/file_reader.h"

#include <algorithm>
#include <span>

#include "toolkit/os/opsys.h"

int yyreadbyte(FileReader& reader, std::uint8_t& byte) {
  if (reader.failed) return -1;
  if (reader.pos >= reader.len) {
    int got = 0;
    IFileReadChar(reader.handle, std::span<std::uint8_t>(reader.buffer),
                  static_cast<int>(reader.buffer.size()), got);
    if (got < 0) {
      reader.failed = true;
      return -1;
    }
    reader.pos = 0;
    reader.len = got;
    if (got == 0) return 0;
  }
  byte = reader.buffer[static_cast<std::size_t>(reader.pos++)];
  return 1;
}

bool yyskipbytes(FileReader& reader, int count) {
  std::uint8_t b = 0;
  for (int i = 0; i < count; ++i)
    if (yyreadbyte(reader, b) != 1) return false;
  return true;
}

bool yyreadrecord(FileReader& reader, std::string& record, int width) {
  record.assign(static_cast<std::size_t>(width), ' ');
  std::uint8_t b = 0;
  int got = yyreadbyte(reader, b);
  if (got != 1) return false;
  std::string line;
  while (got == 1 && b != '\n') {
    // Only the first width characters are kept; the rest of a long line is passed over.
    if (static_cast<int>(line.size()) <= width) line.push_back(static_cast<char>(b));
    got = yyreadbyte(reader, b);
  }
  if (got < 0) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  record.replace(0, std::min(line.size(), record.size()), line, 0,
                 std::min(line.size(), record.size()));
  return true;
}
