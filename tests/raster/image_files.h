#pragma once
// Small files made by the tests in a temporary folder of their own.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/tools.h"

using Bytes = std::vector<std::uint8_t>;

inline std::filesystem::path testfolder(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("tw_raster_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string writefile(const std::filesystem::path& dir, const std::string& name,
                             const Bytes& bytes) {
  const std::string path = (dir / name).string();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

inline Bytes readfile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a Pillow script wrote beside an image as its name + ".txt": width, height, then one
// colour value for each pixel, row by row.
struct PillowPixels {
  int width = 0, height = 0;
  std::vector<int> values;
};
inline PillowPixels pillowpixels(const std::string& image) {
  std::ifstream ref(image + ".txt");
  PillowPixels p;
  ref >> p.width >> p.height;
  p.values.resize(static_cast<std::size_t>(p.width * p.height));
  for (int& v : p.values) ref >> v;
  return p;
}

#ifdef TW_SOURCE_DIR
// Width, height and the colour of each pixel (top row first) of an image file as Pillow reads it.
inline std::vector<int> pillowread(const std::string& path, int& w, int& h) {
  EXPECT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const std::string script = std::string(TW_SOURCE_DIR) + "/tests/raster/pillow_images.py";
  const std::string command = "/usr/bin/python3 " + script + " read '" + path + "' 2>&1";
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
    pclose(pipe);
  }
  std::istringstream in(text);
  w = h = 0;
  in >> w >> h;
  std::vector<int> pixels(static_cast<std::size_t>(std::max(w * h, 0)));
  for (int& p : pixels) in >> p;
  return pixels;
}
#endif

inline Bytes textbytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline void put16(Bytes& b, std::size_t at, int v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void append(Bytes& b, std::initializer_list<int> more) {
  for (int v : more) b.push_back(static_cast<std::uint8_t>(v));
}

// A bottom-up BMP with a 40-byte header: palette as (r, g, b) colour values, then data.
inline Bytes bmpfile(int width, int height, int bits, int compression,
                     const std::vector<int>& palette, const Bytes& data) {
  Bytes b(54, 0);
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(palette.size());
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, offset + static_cast<std::uint32_t>(data.size()));
  put32(b, 10, offset);
  put32(b, 14, 40);
  put32(b, 18, static_cast<std::uint32_t>(width));
  put32(b, 22, static_cast<std::uint32_t>(height));
  put16(b, 26, 1);
  put16(b, 28, bits);
  put32(b, 30, static_cast<std::uint32_t>(compression));
  for (int c : palette) append(b, {(c >> 16) & 255, (c >> 8) & 255, c & 255, 0});
  b.insert(b.end(), data.begin(), data.end());
  return b;
}
