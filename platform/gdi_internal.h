#pragma once
// Internal to the drawing layer: the GDI object table, device contexts, regions and the
// drawing target. Invariants: (1) a handle is (object type << 24) | slot, slot >= 1, so it
// fits a 32-bit word and its type is known without a lookup; (2) a bitmap is selected into
// at most one device context; (3) pixels are CAIRO_FORMAT_RGB24 words 0x00RRGGBB; a
// monochrome bitmap holds only 0x000000 and 0xFFFFFF.
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace win::gdi {

//------------------------------------------------------------------------------
// Regions: non-overlapping, non-empty rectangles in device pixels (right and bottom out).
//------------------------------------------------------------------------------
struct Region {
  std::vector<RECT> rects;

  static bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
  static RECT meet(const RECT& a, const RECT& b);
  void addRect(const RECT& r);             // union
  void subtractRect(const RECT& r);
  void unite(const Region& o);
  void subtract(const Region& o);
  void intersect(const Region& o);
  void intersectRect(const RECT& r);
  void offset(int dx, int dy);
  RECT box() const;
  int kind() const { return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION; }
  bool contains(int x, int y) const;
  // From spans: one rectangle per run of rows with equal spans.
  static Region fromRows(int top, const std::vector<std::vector<std::pair<int, int>>>& rows);
};

//------------------------------------------------------------------------------
// Objects
//------------------------------------------------------------------------------
struct PenData {
  UINT style = PS_SOLID;       // PS_* style (low 4 bits)
  int width = 1;               // 0 counts as 1
  COLORREF colour = 0;
  bool geometric = false;      // wide lines with caps and joins
  UINT endcap = PS_ENDCAP_ROUND;
  UINT join = PS_JOIN_ROUND;
  std::vector<DWORD> dashes;   // PS_USERSTYLE: on, off, on, off ...
  bool extended = false;       // made by ExtCreatePen
  // The style CreatePen was asked for: a wide pen draws solid, but a metafile keeps what the
  // caller asked, as other programs' players draw it.
  std::optional<UINT> asked;
};

struct BrushData {
  UINT style = BS_SOLID;
  COLORREF colour = 0;
  int hatch = 0;
  // BS_PATTERN: a copy of the pattern bitmap's pixels; a monochrome pattern takes the text
  // colour for 0 bits and the background colour for 1 bits when it is used.
  int pw = 0, ph = 0;
  bool mono = false;
  std::vector<uint32_t> pattern;
};

struct BitmapData {
  int w = 0, h = 0;
  bool mono = false;
  cairo_surface_t* surface = nullptr;  // RGB24, owned
  UINT selectedIn = 0;                 // the DC handle value holding it, 0 none
  ~BitmapData();
};

struct FontData {
  LOGFONT lf;
};

// A logical palette and the colours it drew with at its last realisation.
struct PaletteData {
  std::vector<PALETTEENTRY> entries;
  std::vector<uint32_t> realised;   // pixels; empty until realised or selected
  bool unrealised = false;
};

// One record of a recording: its enhanced-metafile record type, 32-bit parameters in the
// order of that record, and the text, points or pixels it carries.
struct MetaRecord {
  DWORD type = 0;
  std::vector<LONG> args;
  std::string text;
  std::vector<POINT> points;
  std::vector<uint32_t> data;
};

// What a recording device context keeps. objects holds, per GDI handle value, the creation
// record last written for it; its first parameter is the index in the metafile's own object
// table (index 0 is the metafile itself). A deleted object's index is freed (a deletion
// record, type 40) and the lowest free index is taken next, as metafile players fill their
// tables; nextIndex is one more than the highest index ever used.
struct MetaRecording {
  std::vector<MetaRecord> records;
  std::map<UINT, MetaRecord> objects;
  std::set<DWORD> freeIndices;
  DWORD nextIndex = 1;
  RECT frame;             // hundredths of a millimetre; empty: the bounds decide
  bool haveFrame = false;
  RECT bounds{0, 0, -1, -1};
  SIZE device{1280, 1024};
  SIZE millimetres{338, 270};
  int dpi = 96;
  std::string file;         // written there at the close; empty: in memory only
  std::string description;  // the header's description, NULs included
};

// The standard enhanced-metafile bytes of a recording (gdi_metafile_file.cpp), and a file
// written whole or not at all (last error set on failure).
std::vector<BYTE> enhMetafileBytes(const MetaRecording& m, const RECT& frame, const std::string& description);
std::vector<BYTE> metafileBytes(const MetaRecording& m);
bool writeWholeFile(const std::string& path, std::span<const BYTE> bytes);
// Those bytes read back (gdi_metafile_read.cpp): the records, the logical space the picture
// spans and (Windows metafiles) its window origin; false for bytes that are not whole.
bool parseEnhMetafile(std::span<const BYTE> bytes, MetaRecording& m, SIZE& space);
bool parseMetafile(std::span<const BYTE> bytes, MetaRecording& m, SIZE& space, POINT& origin);

struct DcState {
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HBITMAP bitmap = nullptr;
  COLORREF text = 0x000000;
  COLORREF bk = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int fillMode = ALTERNATE;
  UINT align = 0;
  POINT current;
  POINT brushOrg;
  POINT viewportOrg;
  POINT windowOrg;
  std::optional<Region> clip;  // device coordinates
  int stretchMode = 1;         // BLACKONWHITE; stretching always takes the nearest pixel
  HPALETTE palette = nullptr;  // nullptr: the default palette
  SIZE windowExt{1, 1};
  bool windowExtSet = false;
  SIZE viewportExt{1, 1};
  int mapMode = 1;
  int graphicsMode = 1;        // GM_COMPATIBLE; the world transform acts only in GM_ADVANCED
  XFORM world{1, 0, 0, 1, 0, 0};
};

// The print job behind a printer device context (gdi_printer.cpp): it answers the device's
// capabilities and ends with the DC.
struct PrintDevice {
  virtual ~PrintDevice() = default;
  virtual int caps(int index) const = 0;
};

struct DcData {
  bool memory = true;
  HWND hwnd = nullptr;         // window DCs
  bool wholeWindow = false;
  std::vector<RECT> limit;     // window DCs: further limit (paint region), area coordinates
  DcState st;
  std::vector<DcState> saved;
  // Position in the line style of the current connected run of lines.
  long styleOffset = 0;
  // Recording device contexts (enhanced metafiles) keep their calls instead of drawing.
  std::shared_ptr<MetaRecording> rec;
  // Printer device contexts record each page (rec) and play it into the job's PDF.
  std::shared_ptr<PrintDevice> printer;
};

// Handle value <-> object.
UINT handleValue(const void* h);
PenData* pen(HGDIOBJ h);
BrushData* brush(HGDIOBJ h);
BitmapData* bitmap(HGDIOBJ h);
FontData* font(HGDIOBJ h);
Region* region(HGDIOBJ h);
PaletteData* palette(HGDIOBJ h);
DcData* dc(HDC h);
HPALETTE newPalette(PaletteData p);
HPEN newPen(PenData p);
HBRUSH newBrush(BrushData b);
HPALETTE defaultPalette();
HRGN newRegion(Region r);
HFONT newFont(std::unique_ptr<FontData> f);
void keepForRun(HGDIOBJ object);  // DeleteObject will not delete it, as a stock object

//------------------------------------------------------------------------------
// Drawing target: the pixels a DC reaches, resolved for each operation.
//------------------------------------------------------------------------------
struct Target {
  uint32_t* px = nullptr;
  int stride = 0;          // in pixels
  POINT origin;            // surface position of device (0, 0)
  int w = 0, h = 0;        // the device area
  bool mono = false;
  cairo_surface_t* surface = nullptr;
  Region clip;             // device coordinates: area, visible part, limit and clip region
  const std::vector<uint32_t>* palette = nullptr;   // realised entries for PALETTEINDEX colours
};
bool resolveTarget(DcData& d, Target& t);
void finishTarget(Target& t);  // marks the surface dirty for cairo

// Window DCs are resolved through this hook, which the window-DC part installs.
struct WindowArea {
  cairo_surface_t* surface = nullptr;
  POINT origin;
  SIZE size;
  std::vector<RECT> visible;  // surface coordinates
};
using WindowAreaHook = bool (*)(HWND hwnd, bool wholeWindow, WindowArea& out);
void setWindowAreaHook(WindowAreaHook hook);
void installWindowHooks();  // gdi_window.cpp: this hook and the window layer's DcProvider
HDC newWindowDC(HWND hwnd, bool wholeWindow, const std::vector<RECT>& limit);

// Colours.
inline uint32_t toPixel(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF toColorref(uint32_t p) {
  return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}
inline uint32_t monoPixel(uint32_t p) {
  const unsigned sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
  return sum > 382 ? 0xFFFFFF : 0x000000;
}
inline uint32_t devicePixel(COLORREF c, bool mono) {
  const uint32_t p = toPixel(c & 0xFFFFFF);
  return mono ? monoPixel(p) : p;
}
// A colour drawn on a target: PALETTEINDEX colours through the realised palette.
inline uint32_t devicePixel(COLORREF c, const Target& t) {
  if ((c >> 24) == 0x01 && t.palette != nullptr && !t.palette->empty()) {
    const size_t n = c & 0xFFFF;
    const uint32_t p = (*t.palette)[n < t.palette->size() ? n : 0];
    return t.mono ? monoPixel(p) : p;
  }
  return devicePixel(c, t.mono);
}
uint32_t rop2(int mode, uint32_t pen, uint32_t dst);

// Recording device contexts (gdi_metafile.cpp). record() adds one record; select() records
// the object's creation on first use and its selection.
void metaRecord(DcData& d, MetaRecord r);
void metaSelect(DcData& d, HGDIOBJ object);
// An object is being deleted: recordings that hold it record the deletion and free its index.
void metaDelete(DcData& d, UINT handle);
inline void metaRecord(DcData& d, DWORD type, std::vector<LONG> args) {
  MetaRecord r;
  r.type = type;
  r.args = std::move(args);
  metaRecord(d, std::move(r));
}

// Logical to device coordinates, kept within the platform's 28-bit coordinate space so that
// no later arithmetic overflows.
inline POINT toDevice(const DcData& d, int x, int y) {
  constexpr long long kFar = 1LL << 27;
  auto keep = [](long long v) { return static_cast<LONG>(v < -kFar ? -kFar : v > kFar ? kFar : v); };
  return POINT{keep(static_cast<long long>(x) - d.st.windowOrg.x + d.st.viewportOrg.x),
               keep(static_cast<long long>(y) - d.st.windowOrg.y + d.st.viewportOrg.y)};
}
// A device point of a line, without the clamp: 64-bit, so a line from far away keeps its
// direction and its dash phase; the line drawing cuts it to the surface itself.
struct FarPoint {
  long long x, y;
};
inline FarPoint toDeviceFar(const DcData& d, int x, int y) {
  return FarPoint{static_cast<long long>(x) - d.st.windowOrg.x + d.st.viewportOrg.x,
                  static_cast<long long>(y) - d.st.windowOrg.y + d.st.viewportOrg.y};
}
// The device rectangle of two logical corners, in either order.
inline RECT normalised(const DcData& d, int l, int t, int r, int b) {
  const POINT a = toDevice(d, l, t), c = toDevice(d, r, b);
  return RECT{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
}

// The font file a font resolves to through the substitution table ("" when none loads).
std::string fontFile(HFONT font);

// Wingdings characters that its stand-in, a Dingbats font, keeps under other codes (the check
// marks and crosses that programs print for check boxes): the stand-in's code and the
// character's Unicode value, both 0 for any other code.
struct WingdingsGlyph {
  unsigned char code = 0;
  char32_t unicode = 0;
};
WingdingsGlyph wingdingsGlyph(unsigned char c);
// The face name is the platform's Wingdings.
bool isWingdings(const char* face);

// Block transfers: rop3 applies a ternary raster operation's truth table (bit 4P + 2S + D);
// transfer() writes the device rectangle dest under the clip, each pixel from source(dx, dy)
// (offsets in dest; kNoPixel leaves the pixel) with the DC's brush as the pattern.
inline constexpr uint32_t kNoPixel = 0xFF000000u;
uint32_t rop3(unsigned code, uint32_t p, uint32_t s, uint32_t d);
bool usesSource(unsigned code);
bool usesPattern(unsigned code);
bool transfer(DcData& d, Target& t, const RECT& dest, DWORD rop, const std::function<uint32_t(int, int)>& source);
// The source surface's pixels of the device rectangle area (row by row), converted for the
// destination: mono to colour through the destination DC's text and background colours,
// colour to mono by the source DC's background colour; kNoPixel outside the source surface.
std::vector<uint32_t> sourceBlock(const DcData& d, const Target& dt, const DcData& s, const Target& st,
                                  const RECT& area);

// The DC's world transform is in force (advanced mode, not the identity).
bool turned(const DcData& d);
// Draws the world rectangle x, y, w, h through the world transform: each device pixel inside
// the transformed rectangle takes source(u, v), its place in the rectangle as fractions 0-1.
bool transferTurned(DcData& d, Target& t, int x, int y, int w, int h, DWORD rop,
                    const std::function<uint32_t(double u, double v)>& source);

// Fills a polygon given in device coordinates (corners) with a colour, under the clip, raster
// operation copy; used for text backgrounds and text decorations.
void fillDevicePolygon(Target& t, const std::vector<std::pair<double, double>>& corners, uint32_t colour);

}  // namespace win::gdi
