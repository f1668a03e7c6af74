#pragma once
// platform/gdi.h: drawing on device contexts: memory bitmaps and windows, pens, brushes,
// fonts, regions and clipping, raster operations, block transfers and text, in the names and
// numbers the toolkit was designed on. Lines and fills are aliased and follow the platform's
// pixel rules exactly (see docs/gdi.md); the toolkit's drawing code relies on them.
//
// GDI handles are small numbers, like the window layer's, so that they fit 32-bit words.
// Sections (grep "[SECTION]"): structures | constants | objects | device contexts and
//   attributes | drawing | regions and clipping | bitmaps and block transfers | fonts and text |
//   logical palettes | enhanced metafiles
#include <cstdint>

#include <array>
#include <functional>
#include <vector>

#include "platform/win.h"

struct HENHMETAFILE__;
struct HMETAFILE__;

namespace win {

//------------------------------------------------------------------------------
// [SECTION] Structures
//------------------------------------------------------------------------------
struct LOGPEN {
  UINT lopnStyle = 0;
  POINT lopnWidth;  // x is the width
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  ULONG_PTR lbHatch = 0;  // hatch style, or the HBITMAP of a pattern brush
};

struct EXTLOGPEN {
  DWORD elpPenStyle = 0;
  DWORD elpWidth = 0;
  UINT elpBrushStyle = 0;
  COLORREF elpColor = 0;
  ULONG_PTR elpHatch = 0;
  DWORD elpNumEntries = 0;
  DWORD elpStyleEntry[16] = {};
};

inline constexpr int LF_FACESIZE = 32;
struct LOGFONT {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRIC {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 0;
  LONG tmDigitizedAspectY = 0;
  BYTE tmFirstChar = 0;
  BYTE tmLastChar = 0;
  BYTE tmDefaultChar = 0;
  BYTE tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

//------------------------------------------------------------------------------
// [SECTION] Constants
//------------------------------------------------------------------------------
// Stock objects.
inline constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3,
                     BLACK_BRUSH = 4, NULL_BRUSH = 5, HOLLOW_BRUSH = 5, WHITE_PEN = 6,
                     BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11,
                     ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14,
                     DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17;

// Object types (GetObjectType).
inline constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6,
                       OBJ_BITMAP = 7, OBJ_REGION = 8, OBJ_MEMDC = 10, OBJ_EXTPEN = 11;

// Pen styles.
inline constexpr UINT PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4,
                      PS_NULL = 5, PS_INSIDEFRAME = 6, PS_USERSTYLE = 7, PS_ALTERNATE = 8,
                      PS_STYLE_MASK = 0x0000000F;
inline constexpr UINT PS_ENDCAP_ROUND = 0x000, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200,
                      PS_ENDCAP_MASK = 0xF00;
inline constexpr UINT PS_JOIN_ROUND = 0x0000, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000,
                      PS_JOIN_MASK = 0xF000;
inline constexpr UINT PS_COSMETIC = 0x00000, PS_GEOMETRIC = 0x10000, PS_TYPE_MASK = 0xF0000;

// Brush styles and hatches.
inline constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3;
inline constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3,
                     HS_CROSS = 4, HS_DIAGCROSS = 5;

// Binary raster operations (SetROP2).
inline constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4,
                     R2_MASKPENNOT = 5, R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8,
                     R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
                     R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;

// Ternary raster operations (BitBlt, PatBlt).
inline constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                       SRCINVERT = 0x00660046, SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008,
                       NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226,
                       PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                       DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;

// Background modes, fill modes, arc direction.
inline constexpr int TRANSPARENT = 1, OPAQUE = 2;
inline constexpr int ALTERNATE = 1, WINDING = 2;

// Text alignment.
inline constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2,
                      TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;
inline constexpr UINT GDI_ERROR = 0xFFFFFFFF;

// ExtTextOut options.
inline constexpr UINT ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004;

// DrawText formats.
inline constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2,
                      DT_VCENTER = 0x4, DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10,
                      DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100,
                      DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_HIDEPREFIX = 0x100000,
                      DT_END_ELLIPSIS = 0x8000;

// Font weights, character sets, pitches, families, precisions and qualities.
inline constexpr int FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400,
                     FW_MEDIUM = 500, FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900;
inline constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2,
                      OEM_CHARSET = 255;
inline constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30,
                      FF_SCRIPT = 0x40, FF_DECORATIVE = 0x50;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0, OUT_TT_PRECIS = 4, CLIP_DEFAULT_PRECIS = 0,
                      DEFAULT_QUALITY = 0, ANTIALIASED_QUALITY = 4, NONANTIALIASED_QUALITY = 3;
// tmPitchAndFamily bits: TMPF_FIXED_PITCH set means a variable-pitch font.
inline constexpr BYTE TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04;

// Region kinds and combinations.
// NULLREGION, SIMPLEREGION and COMPLEXREGION come with the window layer (platform/win.h).
inline constexpr int ERROR = 0;
inline constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;

// Device capabilities.
inline constexpr int DRIVERVERSION = 0, TECHNOLOGY = 2, HORZSIZE = 4, VERTSIZE = 6,
                     HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMBRUSHES = 16,
                     NUMPENS = 18, NUMFONTS = 22, NUMCOLORS = 24, RASTERCAPS = 38,
                     LOGPIXELSX = 88, LOGPIXELSY = 90, SIZEPALETTE = 104, NUMRESERVED = 106,
                     COLORRES = 108;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int RC_BITBLT = 1, RC_BITMAP64 = 8, RC_STRETCHBLT = 0x800;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

//------------------------------------------------------------------------------
// [SECTION] Objects
//------------------------------------------------------------------------------
HGDIOBJ GetStockObject(int index);
// Selects a pen, brush, font or bitmap and returns the one it replaces; for a region, sets
// the clip region and returns its kind. nullptr (HGDI_ERROR for regions) on failure.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Stock objects and objects still selected into a device context are not deleted.
BOOL DeleteObject(HGDIOBJ object);
DWORD GetObjectType(HGDIOBJ object);
int GetObject(HGDIOBJ object, int size, void* out);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

HPEN CreatePen(int style, int width, COLORREF colour);
HPEN CreatePenIndirect(const LOGPEN& pen);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH& brush, DWORD count,
                  const DWORD* dashes);
HBRUSH CreateSolidBrush(COLORREF colour);
HBRUSH CreateHatchBrush(int hatch, COLORREF colour);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH& brush);

// A solid brush of a system colour, kept for the run like a stock object (DeleteObject does
// not delete it). Comes with the window device contexts (gdi_window.cpp), since the
// colours are the window layer's.
HBRUSH GetSysColorBrush(int index);

//------------------------------------------------------------------------------
// [SECTION] Device contexts and attributes
//------------------------------------------------------------------------------
// A memory device context holding the stock 1 x 1 monochrome bitmap until another is
// selected. dc may be nullptr (the screen) or any device context.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);               // the level saved, 0 on failure
BOOL RestoreDC(HDC dc, int level);  // level > 0 absolute, < 0 relative to the latest

int SetROP2(HDC dc, int mode);
int GetROP2(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT& origin);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetWindowOrgEx(HDC dc, POINT& origin);
BOOL GetCurrentPositionEx(HDC dc, POINT& position);
COLORREF GetNearestColor(HDC dc, COLORREF colour);
int GetDeviceCaps(HDC dc, int index);

//------------------------------------------------------------------------------
// [SECTION] Drawing
//------------------------------------------------------------------------------
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);        // the end pixel is left out
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL PolyPolygon(HDC dc, const POINT* points, const int* counts, int polygons);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd);
BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd);
// brush may also be a system colour index + 1, standing for that colour.
int FillRect(HDC dc, const RECT& rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT& rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT& rect);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);  // the colour set, CLR_INVALID outside
BOOL SetPixelV(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);  // CLR_INVALID outside the surface or the clip region

// Shaded fills (msimg32). Colours are 16-bit channels (the 8-bit value shifted left by 8).
using ULONG = std::uint32_t;
using COLOR16 = std::uint16_t;
struct TRIVERTEX {
  LONG x = 0, y = 0;
  COLOR16 Red = 0, Green = 0, Blue = 0, Alpha = 0;
};
struct GRADIENT_TRIANGLE {
  ULONG Vertex1 = 0, Vertex2 = 0, Vertex3 = 0;
};
struct GRADIENT_RECT {
  ULONG UpperLeft = 0, LowerRight = 0;
};
inline constexpr ULONG GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1, GRADIENT_FILL_TRIANGLE = 2;
// Triangles cover the pixels whose centres lie inside, each pixel coloured by the vertex
// colours weighted at its centre; rectangles [UpperLeft, LowerRight) shade across (H) or
// down (V). meshes points to GRADIENT_TRIANGLE or GRADIENT_RECT entries. FALSE for a vertex
// number out of range or an unknown mode.
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* meshes, ULONG meshCount,
                  ULONG mode);

//------------------------------------------------------------------------------
// [SECTION] Regions and clipping
//------------------------------------------------------------------------------
// Regions leave their right column and bottom row out.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT& rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, RECT& box);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
// The clip region is a copy of region (device coordinates); nullptr removes it.
int SelectClipRgn(HDC dc, HRGN region);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int GetClipBox(HDC dc, RECT& box);
int GetClipRgn(HDC dc, HRGN region);  // 1 with a clip region copied into region, 0 without

//------------------------------------------------------------------------------
// [SECTION] Bitmaps and block transfers
//------------------------------------------------------------------------------
// Bits per pixel 1 gives a monochrome bitmap; any other depth is kept as 32-bit colour.
// bits, when given, are rows of 16-bit aligned width in that depth (1, 24 or 32 bits).
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// A bitmap of the device context's kind: monochrome for a memory DC holding its stock
// bitmap, else colour.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// The BITMAP resource of that name as a GDI bitmap (colour, or monochrome when it has two
// colours, black and white); nullptr when absent or damaged. The caller deletes it.
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// Stretches by taking the nearest source pixel; negative sizes mirror. Conversions as BitBlt.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);
inline constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
int SetStretchBltMode(HDC dc, int mode);  // kept and reported; stretching takes the nearest pixel
int GetStretchBltMode(HDC dc);
// Monochrome source to colour: 0 bits take the destination's text colour, 1 bits its
// background colour. Colour source to monochrome: pixels of the source's background colour
// become 1 (white), all others 0 (black).
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, DWORD rop);

// Device-independent bitmaps: a 40-byte header, a colour table for depths up to 8, rows of
// 32-bit aligned width, bottom row first for a positive height. Depths 1, 4, 8, 24 and 32,
// uncompressed, with RGB colour tables.
struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];  // the colour table runs on behind the header
};
inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
// Draws the source rectangle of the DIB (y counted from the bottom row for a bottom-up DIB)
// stretched into the destination rectangle; returns the rows of the source drawn, 0 on
// failure (no DC, a depth or compression not read, palette-index colours).
int StretchDIBits(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                  int hSrc, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
// bits holds scanLines rows from row startScan (counted from the bottom); returns rows set.
int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage);
// World transforms (advanced graphics mode): world x, y go to page x * eM11 + y * eM21 + eDx,
// x * eM12 + y * eM22 + eDy. They act on the image transfers (StretchDIBits, StretchBlt,
// BitBlt), which draw the transformed rectangle with each pixel taken from the source point
// under it; other drawing ignores them. The compatible mode can only be set back once the
// transform is the identity again.
struct XFORM {
  float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
};
inline constexpr int GM_COMPATIBLE = 1, GM_ADVANCED = 2;
inline constexpr DWORD MWT_IDENTITY = 1;
int SetGraphicsMode(HDC dc, int mode);   // the previous mode, 0 on failure
int GetGraphicsMode(HDC dc);
BOOL SetWorldTransform(HDC dc, const XFORM* transform);   // FALSE outside the advanced mode
BOOL GetWorldTransform(HDC dc, XFORM* transform);
BOOL ModifyWorldTransform(HDC dc, const XFORM* transform, DWORD mode);   // MWT_IDENTITY only

// Rows of a bitmap as a DIB of the header's depth (1, 24 or 32; 0 asks for the bitmap's own
// format). Without bits only the header is completed (size, depth, image size). Returns the
// rows copied (or 1 for a header), 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);

//------------------------------------------------------------------------------
// [SECTION] Fonts and text
//------------------------------------------------------------------------------
// Face names resolve through a fixed substitution table to Debian fonts (docs/gdi.md).
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                 DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                 LPCSTR face);
HFONT CreateFontIndirect(const LOGFONT& font);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC& metrics);
BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int length, SIZE& size);
// The face as created, cut to size - 1 characters; returns the characters copied with the NUL
// (without a buffer, the length needed).
int GetTextFace(HDC dc, int size, LPSTR face);
BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int length);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                const int* dx);
// Returns the height of the text drawn (or measured with DT_CALCRECT), 0 on failure.
int DrawText(HDC dc, LPCSTR text, int length, RECT& rect, UINT format);
// Average character width of the selected font as dialogs compute it (the 52 letters),
// with the cell height in height.
LONG GdiGetCharDimensions(HDC dc, TEXTMETRIC* metrics, LONG* height);


//------------------------------------------------------------------------------
// [SECTION] Logical palettes
//------------------------------------------------------------------------------
// The surfaces are true colour: a palette does not limit the colours drawn. A colour
// PALETTEINDEX(n) draws entry n of the palette selected into the device context as it was
// at its last RealizePalette (entry 0 for n beyond the palette; the default palette's 20
// colours when none is selected). SetPaletteEntries changes the logical palette only;
// AnimatePalette changes PC_RESERVED entries of both at once; pixels already drawn stay.
struct PALETTEENTRY {
  BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];  // the entries run on behind the header
};
inline constexpr BYTE PC_RESERVED = 0x01, PC_EXPLICIT = 0x02, PC_NOCOLLAPSE = 0x04;
inline constexpr COLORREF PALETTEINDEX(WORD n) { return 0x01000000u | n; }
inline constexpr COLORREF PALETTERGB(BYTE r, BYTE g, BYTE b) {
  return 0x02000000u | r | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
inline constexpr UINT CLR_INVALID_INDEX = 0xFFFFFFFF;

HPALETTE CreatePalette(const LOGPALETTE* palette);  // 1-256 entries
// Returns the palette it replaces; the stock DEFAULT_PALETTE may be selected back.
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
// The entries of the selected palette now draw: returns how many (GDI_ERROR without a DC).
UINT RealizePalette(HDC dc);
// For a palette: the next RealizePalette maps every entry afresh. TRUE for other objects.
BOOL UnrealizeObject(HGDIOBJ object);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
BOOL AnimatePalette(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
// The entry nearest colour (squared distance of the channels, the lowest index on a tie).
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF colour);

//------------------------------------------------------------------------------
// [SECTION] Enhanced metafiles
//------------------------------------------------------------------------------
// A recording device context keeps the drawing calls made on it (pens, brushes, fonts and
// their selection, attributes, clipping, lines, figures, pixels, text, shaded fills) as
// numbered records in the enhanced-metafile order; PlayEnhMetaFile makes the same calls on
// another device context. With a file name the standard enhanced-metafile file is written
// there at the close (CloseEnhMetaFile gives nullptr and sets the last error when it cannot
// be written whole); CopyEnhMetaFile with a file name writes one too.
using HENHMETAFILE = ::HENHMETAFILE__*;
inline constexpr int MM_TEXT = 1, MM_ANISOTROPIC = 8;

struct ENHMETAHEADER {
  DWORD iType = 1;
  DWORD nSize = 88;
  RECT rclBounds;        // pixels of the reference device that the records touch (inclusive)
  RECT rclFrame;         // the picture frame in hundredths of a millimetre
  DWORD nRecords = 0;
  SIZE szlDevice;        // the reference device in pixels
  SIZE szlMillimeters;   // and in millimetres
};

// reference: the device whose resolution the records are in (nullptr the screen). frame in
// hundredths of a millimetre, or nullptr for the extent of what is drawn. description (or
// nullptr): "program\0picture\0\0", the picture's name possibly empty.
HDC CreateEnhMetaFile(HDC reference, LPCSTR file, const RECT* frame, LPCSTR description);
HENHMETAFILE CloseEnhMetaFile(HDC dc);
BOOL DeleteEnhMetaFile(HENHMETAFILE metafile);
HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE metafile, LPCSTR file);
UINT GetEnhMetaFileHeader(HENHMETAFILE metafile, UINT size, ENHMETAHEADER* header);
// The standard file bytes; data nullptr: their count. 0 when size is too small.
UINT GetEnhMetaFileBits(HENHMETAFILE metafile, UINT size, BYTE* data);
// Maps the recording's logical space onto rect: its window extent when one was set
// (SetWindowExtEx), else the frame in reference pixels; [left, right) x [top, bottom).
// Clipping recorded in the metafile is intersected with the clip region of dc. Nothing is
// drawn when the space or rect is empty.
BOOL PlayEnhMetaFile(HDC dc, HENHMETAFILE metafile, const RECT& rect);
// The metafile played onto a white width x height picture, as PNG file bytes (empty when the
// metafile or size is not valid); the clipboard offers metafiles to the desktop this way.
std::vector<BYTE> RenderEnhMetaFilePng(HENHMETAFILE metafile, int width, int height);
// A picture drawn by draw onto a width x height device context at 96 dots per inch, as SVG
// file bytes of vector drawing (empty when it cannot be made); the clipboard offers metafiles
// to the desktop this way too.
std::vector<BYTE> RenderPictureSvg(int width, int height, const std::function<void(HDC)>& draw);

// Windows metafiles: the same recording, kept in the 16-bit record layout (coordinates
// clamped to 16 bits; clipping regions and shaded fills have no record there). With a file
// name the file is written at CloseMetaFile (nullptr and the last error when it cannot be).
using HMETAFILE = ::HMETAFILE__*;
HDC CreateMetaFile(LPCSTR file);
HMETAFILE CloseMetaFile(HDC dc);
BOOL DeleteMetaFile(HMETAFILE metafile);
HMETAFILE CopyMetaFile(HMETAFILE metafile, LPCSTR file);
// The records with their 18-byte header; data nullptr: their count. 0 when size is too small.
UINT GetMetaFileBitsEx(HMETAFILE metafile, UINT size, void* data);
// The 22-byte header that goes before the records in a placeable metafile file, for a page
// in points: box (0, 0, width x units / 72, height x units / 72) at 1000 units per inch, fewer
// when that box would not fit in 16 bits.
std::array<BYTE, 22> PlaceableMetafileHeader(LONG widthPoints, LONG heightPoints);

// Metafile bytes as GetEnhMetaFileBits and GetMetaFileBitsEx give them (and other programs
// write them): a metafile of their records, nullptr when the bytes are not a whole metafile.
// Records this layer does not draw are kept out.
HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data);
HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data);
// Plays a Windows metafile: in MM_ANISOTROPIC its window (the origin and extent its records
// set, else its bounds) is mapped onto the viewport of dc (SetViewportOrgEx,
// SetViewportExtEx); in the other modes one logical unit is one pixel.
BOOL PlayMetaFile(HDC dc, HMETAFILE metafile);
// Both players honour the world transform of dc in the advanced mode (quarter turns: boxes
// stay boxes; text turns with it).

// Kept for the player and for metafiles; drawing does not scale by them.
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* previous);
BOOL GetViewportExtEx(HDC dc, SIZE& extent);
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* previous);
BOOL GetWindowExtEx(HDC dc, SIZE& extent);
int SetMapMode(HDC dc, int mode);

}  // namespace win
