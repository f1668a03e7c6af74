#pragma once
// The metafile drawing layer: one recording at a time, a Windows metafile (kind 0), a
// placeable Windows metafile (kind 1 and any other kind: the 22-byte header, then the
// records) or an enhanced metafile (kind 2), to a file or to the clipboard. Coordinates are
// integer device units, y downwards: tenths of a point for the Windows metafiles, pixels of
// the reference device (the chosen printer, else the screen) for an enhanced metafile.
// The layer reports nothing: open and close return a status that the driver reports.
#include <array>
#include <span>
#include <string_view>

#include "platform/gdi.h"

inline win::HDC gwmfDC = nullptr;
inline win::HRGN gwmfRegion = nullptr;
// (width + 1, height + 1) as set at the last open; the metafile playback reads it too.
inline std::array<int, 2> gwmfWindowExt{0, 0};

// width, height: the page in tenths of a point (an enhanced metafile gives back its size in
// reference pixels). right, bottom, checksum: the placeable header's box at 1000 units per
// inch and its checksum; a box that does not fit 16 bits is written with fewer units per
// inch instead. status 0, or 1 with the system error when the recording or its file cannot
// be made. file and description are NUL-terminated texts of the lengths given.
void yywmfopen(int& width, int& height, int kind, int geometric, int right, int bottom, int checksum,
               int toclipboard, int& status, int& syserror, std::string_view file, std::string_view description,
               int filelength, int descriptionlength);
// Ends the recording and delivers it: status 0; 1094 when the clipboard cannot be opened;
// 1 (with the system error) when the file cannot be written or closed.
void yywmfclose(int& status, int* syserror = nullptr);
void yywmfcolour(int red, int green, int blue);
void yywmflinetype(int type);
void yywmflinewidth(int width);
void yywmfline(int x1, int y1, int x2, int y2);
void yywmfpolyline(int n);
void yywmfpoint(int x, int y);
void yywmfpointrgb(int x, int y, int colour);
void yywmfellipse(int xc, int yc, int rx, int ry, int style);
void yywmfrectangle(int x1, int y1, int x2, int y2);
void yywmfarc(int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb);
void yywmfoutlinearc(int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb, int mode);
void yywmfpolygon(int n);
void yywmfgradfill(std::span<const int> x, std::span<const int> y, std::span<const int> colour,
                   std::span<const int> triangles, int nv, int nt, int& failed);
void yywmftextsize(int width, int height, int angle, int face, int style, std::string_view name, int length);
void yywmfdrawstring(int x1, int y1, int x2, int y2, int alignment, int opaque, std::string_view text, int length);
void yywmftextlength(int& width, std::string_view text, int length);
void yywmfclip(int x1, int y1, int x2, int y2);
void yywmfcreatepen();
void yywmflinestyles();
// The kind of the open recording (0 when none is open) and the pen count made so far, for tests.
int yywmfkind();
