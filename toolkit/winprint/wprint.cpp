// The printer drawing layer over the platform's printer device contexts and print jobs.
// Every result of the job (StartPage, EndPage, EndDoc) is checked: the first failure aborts
// the job, later drawing does nothing, and the failure comes back from the next end of page
// or the close, so that the driver reports it once.
#include "toolkit/winprint/wprint.h"

#include <algorithm>
#include <string>

#include "platform/printer.h"
#include "toolkit/raster/printer_info.h"
#include "toolkit/screen/images.h"
#include "toolkit/winprint/picture.h"

using namespace win;

namespace {

Picture pic;
int gPrDocStarted = 0;
int gPrPageEnded = 0;
SIZE gPrExtent{0, 0};
int gPrDPI = 0;
DWORD gPrFailure = 0;  // the system error of the first failed job call, 0 none

std::string cut(std::string_view text, int length) {
  std::string s(text.substr(0, static_cast<std::size_t>(std::clamp<int>(length, 0, static_cast<int>(text.size())))));
  if (const std::size_t nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
  return s;
}

// The job failed: dropped at once, the code kept for the driver.
void failjob() {
  const DWORD code = GetLastError();
  if (gPrFailure == 0) gPrFailure = code != 0 ? code : ERROR_CANCELLED;
  if (gPrDocStarted != 0 && gPrDC != nullptr) AbortDoc(gPrDC);
  gPrDocStarted = 0;
}

// Drawing goes on only while the job runs; an ended page is started again first.
bool drawing() {
  if (gPrDocStarted == 0 || gPrDC == nullptr) return false;
  if (gPrPageEnded != 0) yywprstartpage();
  return gPrDocStarted != 0;
}

int takefailure() {
  const int code = static_cast<int>(gPrFailure);
  gPrFailure = 0;
  return code;
}

}  // namespace

bool yywprjobrunning() { return gPrDocStarted != 0; }

void yywpropen(int width, int height, int left, int top, int& dpix, int& dpiy, int& colours, int& status,
               int& syserror, int orientation, int copies, std::string_view name, int length) {
  status = 0;
  syserror = 0;
  if (gPrDocStarted == 0) {
    if (gPrDC != nullptr) DeleteDC(gPrDC);  // left by an earlier StartDoc that failed
    gPrDC = yywprgetdc(orientation, copies);
    if (gPrDC == nullptr) {
      status = 1;
      syserror = static_cast<int>(GetLastError());
      return;
    }
    const std::string docname = cut(name, length);
    DOCINFO info;
    info.lpszDocName = docname.c_str();
    if (StartDoc(gPrDC, info) <= 0) {
      status = 1;
      syserror = static_cast<int>(GetLastError());
      return;
    }
    gPrDocStarted = 1;
    gPrFailure = 0;
    pic.dc = gPrDC;
    pic.pen = pic.penold = nullptr;
    pic.font = pic.fontold = nullptr;
  }
  colours = GetDeviceCaps(gPrDC, NUMCOLORS);
  dpix = GetDeviceCaps(gPrDC, LOGPIXELSX);
  dpiy = GetDeviceCaps(gPrDC, LOGPIXELSY);
  gPrDPI = dpix;
  yywprlinestyles();
  origin.x = GetDeviceCaps(gPrDC, PHYSICALOFFSETX) - left * dpix / 72;
  origin.y = GetDeviceCaps(gPrDC, PHYSICALOFFSETY) - top * dpiy / 72;
  gPrExtent = SIZE{width * dpix / 72, height * dpiy / 72};
  if (yywprstartpage() != 0) {
    status = 1;
    syserror = takefailure();
    return;
  }
  gPrRegion = nullptr;
  SetBkMode(gPrDC, TRANSPARENT);
  pic.penkey = {-1, -1, -1};
  pic.userpatterns = true;
  pic.standardstyles = false;
  yyimagesurface(10, gPrDC, nullptr);
}

int yywprstartpage() {
  if (gPrDocStarted == 0) return static_cast<int>(gPrFailure);
  if (StartPage(gPrDC) <= 0) {
    failjob();
    return static_cast<int>(gPrFailure);
  }
  SetWindowOrgEx(gPrDC, origin.x, origin.y, nullptr);
  SetWindowExtEx(gPrDC, gPrExtent.cx, gPrExtent.cy, nullptr);
  if (pic.font != nullptr) SelectObject(gPrDC, pic.font);
  gPrPageEnded = 0;
  return 0;
}

int yywprdump() {
  if (gPrDocStarted != 0 && gPrPageEnded == 0) {
    if (EndPage(gPrDC) <= 0) failjob();
    gPrPageEnded = 1;
  }
  return takefailure();
}

int yywprclose() {
  yyimagesurface(10, nullptr, nullptr);
  if (gPrDC == nullptr) return takefailure();
  if (gPrRegion != nullptr) {
    SelectClipRgn(gPrDC, nullptr);
    DeleteObject(gPrRegion);
    gPrRegion = nullptr;
  }
  yypicreleasefont(pic);
  if (gPrDocStarted != 0) {
    // A page still open is ended by the job's end.
    if (EndDoc(gPrDC) <= 0) failjob();
  }
  if (pic.pen != nullptr && pic.penold != nullptr) SelectObject(gPrDC, pic.penold);
  HPEN pen = pic.pen;
  pic.pen = pic.penold = nullptr;
  DeleteDC(gPrDC);
  if (pen != nullptr) DeleteObject(pen);
  gPrDC = nullptr;
  pic.dc = nullptr;
  gPrDocStarted = 0;
  gPrPageEnded = 0;
  return takefailure();
}

void yywprcolour(int red, int green, int blue) {
  pic.prevcolour = pic.colour;
  pic.colour = (red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF);
}

void yywprlinetype(int type) { yypiclinetype(pic, type); }

void yywprlinewidth(int width) {
  pic.linewidth = width;
  yywprlinestyles();
}

void yywprline(int x1, int y1, int x2, int y2) {
  if (drawing()) yypicline(pic, x1, y1, x2, y2);
}
void yywprpolyline(int n) {
  if (drawing()) yypicpolyline(pic, n);
}
void yywprpoint(int x, int y) {
  if (drawing()) yypicsquare(pic, x, y);
}
void yywprpointrgb(int x, int y, int colour) {
  if (drawing()) yypicpixel(pic, x, y, colour);
}
void yywprellipse(int xc, int yc, int rx, int ry, int style) {
  if (drawing()) yypicellipse(pic, xc, yc, rx, ry, style);
}
void yywprrectangle(int x1, int y1, int x2, int y2) {
  if (drawing()) yypicrectangle(pic, x1, y1, x2, y2);
}
void yywprarc(int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb) {
  if (drawing()) yypicarc(pic, xc, yc, rx, ry, xa, ya, xb, yb);
}
void yywproutlinearc(int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb, int mode) {
  if (drawing()) yypicoutlinearc(pic, xc, yc, rx, ry, xa, ya, xb, yb, mode);
}
void yywprpolygon(int n, int outline) {
  if (drawing()) yypicpolygon(pic, n, outline);
}

void yywprgradfill(std::span<const int> x, std::span<const int> y, std::span<const int> colour,
                   std::span<const int> triangles, int nv, int nt, int& failed) {
  // A gradient that comes first after an end of page starts the next page like any drawing.
  if (!drawing()) {
    failed = 0;
    return;
  }
  yypicgradfill(pic, x, y, colour, triangles, nv, nt, failed);
}

void yywprtextsize(int width, int& height, int& ascent, int angle, int face, int style, std::string_view name,
                   int length) {
  if (gPrDC == nullptr) return;
  yypicreleasefont(pic);
  const std::string facename = cut(name, length);
  HFONT probe = yypicmakefont(width, height, 0, face, style, facename);
  HGDIOBJ old = SelectObject(gPrDC, probe);
  TEXTMETRIC tm;
  if (GetTextMetrics(gPrDC, tm)) {
    height = tm.tmHeight;
    ascent = tm.tmAscent;
  }
  SelectObject(gPrDC, old);
  DeleteObject(probe);
  yypicfont(pic, yypicmakefont(width, height, angle, face, style, facename));
}

void yywprdrawstring(int x1, int y1, int x2, int y2, int alignment, int opaque, std::string_view text, int length) {
  if (drawing()) yypicdrawstring(pic, x1, y1, x2, y2, alignment, opaque, text, length);
}

void yywprtextlength(int& width, std::string_view text, int length) {
  if (gPrDC != nullptr) yypictextlength(pic, width, text, length);
}

void yywprclip(int x1, int y1, int x2, int y2) {
  if (gPrDC == nullptr) return;
  if (gPrRegion != nullptr) {
    SelectClipRgn(gPrDC, nullptr);
    DeleteObject(gPrRegion);
  }
  gPrRegion = CreateRectRgn(x1 - origin.x, y1 - origin.y, x2 - origin.x, y2 - origin.y);
  SelectClipRgn(gPrDC, gPrRegion);
  yyimagesurface(10, gPrDC, gPrRegion);
}

void yywprcreatepen() { yypiccreatepen(pic); }

void yywprlinestyles() {
  pic.dpi = gPrDPI > 0 ? gPrDPI : 96;
  yypiclinestyles(pic);
}
