#pragma once
// Buffered reads of an open binary file, byte by byte or as text records, for the file
// identification scans. Internal to the raster subsystem.
#include <array>
#include <cstdint>
#include <string>

struct FileReader {
  int handle = -1;
  std::array<std::uint8_t, 4096> buffer{};
  int pos = 0, len = 0;
  bool failed = false;   // a read failed other than at the end of the file
};

// 1 a byte was read, 0 the end of the file, -1 a failed read (recorded by IFileReadChar).
int yyreadbyte(FileReader& reader, std::uint8_t& byte);
// Skips count bytes; false when the file ends or fails first.
bool yyskipbytes(FileReader& reader, int count);
// One line (ended by LF, a CR before it dropped): its first width characters, padded with
// blanks to width. False at the end of the file or after a failed read.
bool yyreadrecord(FileReader& reader, std::string& record, int width);
