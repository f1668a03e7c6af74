#pragma once
// Image files (and the clipboard's bitmap) drawn on a device context: the screen target
// (device 0) and, once their drawing layers have set them, the printer (10) and metafile (11)
// device contexts; stretched or at natural size, turned by quarter turns.
#include <string_view>

#include "platform/gdi.h"

// The surface of the printer or metafile device: its device context and clip region (either
// may be nullptr). The drawing layers of those devices set them while they draw.
void yyimagesurface(int device, win::HDC dc, win::HRGN clip);
// What the metafile player needs besides: the printer's page origin (device 10) and the
// hardcopy metafile's format (2 enhanced) and its two extents (device 11).
void yyimagesurfacepage(int device, int originx, int originy, int format, int extentx, int extenty);

// Draws the image of the type (0 clipboard bitmap, 1 BMP, 2 PCX, 15 PNG) into x1, y1 - x2, y2
// of the device (stretched when stretch is not 0, else at its own size from x1, y1), turned by
// rotation degrees about the translation dx, dy. error is 0 or the toolkit error number
// (1 cannot open, 2 cannot read, 27 not a usable image, 1066 copy failed, 1094/1095
// clipboard), syserror the system's code; nothing is reported here.
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
