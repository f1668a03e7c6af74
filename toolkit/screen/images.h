#pragma once
// Image files (and the clipboard's bitmap) drawn on a device context: the screen target
// (device 0) and, once their drawing layers have set them, the printer (10) and metafile (11)
// device contexts; stretched or at natural size, turned by quarter turns.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi.h"
#include "platform/os.h"

// The bitmap being drawn: a 40-byte header, the colour table and the rows, bottom row first,
// each padded to four bytes; made by each image request and freed before it returns.
// wBitsOffset is where the rows start. achFileName passes the file's name to yyreaddib.
inline std::vector<std::uint8_t> hImageDib;
inline std::uint16_t wBitsOffset = 0;
inline std::string achFileName;

// An open image file read through a buffer; the file is closed when it goes.
struct ImageFile {
  int handle = -1;
  std::array<std::uint8_t, 4096> buffer{};
  std::size_t pos = 0, len = 0;
  ImageFile() = default;
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;
  ~ImageFile() { if (handle >= 0) win::yyclos(handle); }
};

// Reads the BMP file achFileName into hImageDib: 0, 1 cannot open, 2 short file or no
// memory for the block, 27 not a usable BMP.
int yyreaddib();
// One run of a PCX line: the value and its count (a byte with its two top bits set gives the
// count in its low six bits, the value follows). 0, or 2 when the file ends.
int yyencget(std::uint8_t& value, int& count, ImageFile& file);
// Writes one run as yyencget reads it: 0, or 2 when the write fails.
int yyencput(std::uint8_t value, int count, std::FILE* file);
// The loading half of yyloadimage: the file of the type (1 BMP, 2 PCX, 15 PNG) decoded into
// hImageDib, which the caller frees. 0 or the error yyloadimage gives (the block empty then).
int yyimagedib(int type, std::string_view name, int& syserror);
// The colour table's size in bytes behind a bitmap header.
int yypalettesize(const win::BITMAPINFOHEADER& header);

// The surface of the printer or metafile device: its device context and clip region (either
// may be nullptr). The drawing layers of those devices set them while they draw.
void yyimagesurface(int device, win::HDC dc, win::HRGN clip);
// What the metafile player needs besides: the printer's page origin (device 10) and the
// hardcopy metafile's format (2 enhanced) and its two extents (device 11).
void yyimagesurfacepage(int device, int originx, int originy, int format, int extentx, int extenty);

// Draws the image of the type (0 clipboard bitmap, 1 BMP, 2 PCX, 15 PNG) into x1, y1 - x2, y2
// of the device (stretched when stretch is not 0, else at its own size from x1, y1), turned by
// rotation degrees about the translation dx, dy. BMP, PCX and PNG keep their depth: 1-, 4-
// and 8-bit palette images are drawn through their palettes (a 2-bit PNG as 4 bits). error
// is 0 or the toolkit error number (1 cannot open, 2 cannot read, no memory, or PNG image
// data beyond what the picture needs, 27 not a usable image, 1044 the data do not unpack,
// 1066 copy failed, 1094/1095 clipboard), syserror the system's code; nothing is reported
// here.
void yyloadimage(int type, int device, int x1, int y1, int x2, int y2, int stretch, int rotation, int dx,
                 int dy, int& error, int& syserror, std::string_view name);

// Plays a metafile file into x1, y1 - x2, y2 of the device (0 the screen target, 10 the
// printer, 11 the hardcopy metafile), turned by rotation (0, 90, 180, 270) about (ox, oy).
// kind 1 a placeable Windows metafile (its 22-byte header skipped), 2 an enhanced metafile,
// any other a plain Windows metafile; a name of one character plays the clipboard's enhanced
// metafile. failed: 0, 1 the file cannot be opened, 2 its bytes are no metafile, 1094 the
// clipboard cannot be opened, 1095 it holds no enhanced metafile.
void yywmfplaymetafile(int kind, int x1, int y1, int x2, int y2, int device, int rotation, int ox, int oy,
                       int& failed, std::string_view name);

// Saves the inclusive rectangle x1, y1 - x2, y2 of gDC (y down): type 0 to the clipboard as a
// bitmap, 1 a BMP of the screen bitmap's depth, 2 a PCX (three planes on a screen of 256
// colours or more, else one plane and a 256-entry palette), 15 a PNG (24-bit colour, or 4-
// and 8-bit palette images); PCX and PNG capture the width rounded up to even. error is 0,
// 1 cannot create the file, 2 short write, 1044 compression, 1072 no bitmap or memory, 1094
// clipboard; other types write nothing.
void yysaveimage(int type, int x1, int y1, int x2, int y2, int& error, int& syserror, std::string_view name);
