// toolkit/graphics/targets.cpp: drawing targets and the in-memory metafile slots.
// Sections (grep "[SECTION]"): target selection | metafile slots | metafile module
//
// Invariants: (1) a failed selection leaves the current window as the target; (2) a slot
// can be a target only while it records; (3) gDC never names a recording that has been
// finished: finishing the slot that is the target puts the current window back first.
#include "toolkit/screen/targets.h"

#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/printer.h"  // the last error

#include "toolkit/text/errors.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/screen/wgraph.h"

using namespace win;

namespace {

bool slotok(int slot) { return slot >= 1 && slot <= 20; }
MetafileSlot& slotof(int slot) { return tessar.graphics.metafiles[static_cast<std::size_t>(slot - 1)]; }

// The window becomes the target again when the recording drawn on is about to end.
void leaverecording(int index) {
  if (MetafileDC[index] != nullptr && gDC == MetafileDC[index] && hMetafile[index] == nullptr)
    IGrSelect(1, tessar.window.CURWINDOW);
}

// A recording slot is finished before it is copied or played.
void finish(int index) {
  leaverecording(index);
  if (hMetafile[index] == nullptr) {
    hMetafile[index] = CloseEnhMetaFile(MetafileDC[index]);
    // The slot now holds a finished metafile: a marker stands for its context.
    MetafileDC[index] = reinterpret_cast<HDC>(static_cast<std::uintptr_t>(index + 1));
  }
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Target selection
// - IGrSelect(), yymetafileselect()
//------------------------------------------------------------------------------
void IGrSelect(int type, std::optional<int> number) {
  GraphicsTarget& gt = tessar.graphics.target;
  ErrorState& es = tessar.error;
  const int wasrecording = gt.CGMRECORD;
  gt.CGMRECORD = 0;
  if (type >= 1 && type <= 4) {
    gt.TARGETTYPE = type;
    bool failed = false;
    int width = 0, height = 0, bad = 0;
    switch (type) {
      case 1: {
        yygrselectnone();
        const int last = es.LASTERROR;
        es.LASTERROR = 0;
        gt.TARGETNUMBER = number.value_or(tessar.window.CURWINDOW);
        gt.TARGETDIALOG = 0;
        windowselect(gt.TARGETNUMBER);
        if (es.LASTERROR == 1003) failed = true;
        else es.LASTERROR = last;
        break;
      }
      case 2:
        yygrselectnone();
        gt.TARGETNUMBER = number.value_or(1);
        gt.TARGETDIALOG = 0;
        bad = 1;
        if (graphicsservices.yybitmapselect != nullptr)
          graphicsservices.yybitmapselect(gt.TARGETNUMBER - 1, bad, width, height);
        failed = bad > 0;
        if (!failed) yyresn(2, gt.TARGETNUMBER, width, height);
        break;
      case 3: {
        const int dialog = tessar.dialog.CURDIALOG;
        if (dialog <= 0) {
          failed = true;
          break;
        }
        yygrselectnone();
        int field = number.value_or(0);
        gt.TARGETNUMBER = field;
        gt.TARGETDIALOG = dialog;
        if (graphicsservices.yyfieldselect != nullptr) graphicsservices.yyfieldselect(field, width, height);
        else field = -1;
        failed = field == -1;
        if (!failed) yyresn(3, gt.TARGETNUMBER, width, height);
        break;
      }
      default:
        yygrselectnone();
        gt.TARGETNUMBER = number.value_or(1);
        gt.TARGETDIALOG = 0;
        yymetafileselect(gt.TARGETNUMBER, bad, width, height);
        failed = bad > 0;
        if (!failed) yyresn(4, gt.TARGETNUMBER, width, height);
        break;
    }
    if (failed) {
      gt.TARGETTYPE = 1;
      gt.TARGETNUMBER = tessar.window.CURWINDOW;
      gt.TARGETDIALOG = 0;
      gt.CGMRECORD = 0;
      const int last = es.LASTERROR;
      windowselect(gt.TARGETNUMBER);
      es.LASTERROR = last;
      yywinselectcurrent();
      yyerror(1019, "IGrSelect");
      return;
    }
    if (type != 4 || gt.CGMRECORD == 1) yywinselectcurrent();
  }
  yygdrv(DOPEN);
  if (gt.CGMRECORD == 1 || wasrecording == 1) {
    for (int code : {DBEGINPLOT, DLINEWIDTH, DLINETYPE, DLOADPALETTE, DCLIP}) yygdrv(code);
    if (gt.RESELECT != 0) yygdrv(DFONT);
  }
}

void yymetafileselect(int slot, int& failed, int& width, int& height) {
  failed = 1;
  if (!slotok(slot)) return;
  const MetafileSlot& s = slotof(slot);
  if (s.INUSE == 0 || s.KIND == 0) return;
  if (s.KIND == 3) {
    width = s.SIZE3;
    height = s.SIZE4;
    tessar.graphics.target.CGMRECORD = 0;
    yymetafileselect2(slot - 1, width, height, failed);
  } else if (s.KIND == 6) {
    width = s.SIZE3;
    height = s.SIZE4;
    tessar.graphics.target.CGMRECORD = 1;
    failed = 0;
  }
}

//------------------------------------------------------------------------------
// [SECTION] Metafile slots
// - WMetafileDestroy(), WMetafileCreate(), WMetafilePlay()
//------------------------------------------------------------------------------
void WMetafileDestroy(int slot) {
  if (!slotok(slot)) {
    yyerror(1060, "WMetafileDestroy");
    return;
  }
  MetafileSlot& s = slotof(slot);
  if (s.KIND == 0) yyerror(1060, "WMetafileDestroy");
  else if (s.KIND == 3) yymetafiledestroy(slot - 1);
  else if (s.KIND == 6) s.BUFFER = {};
  s.KIND = 0;
  s.SIZE1 = s.SIZE2 = 0;
  s.INUSE = 0;
  s.CAPACITY = s.USED = 0;
}

void WMetafileCreate(int slot, int width, int height) {
  if (!slotok(slot) || width <= 0 || height <= 0) {
    yyerror(1060, "WMetafileCreate");
    return;
  }
  MetafileSlot& s = slotof(slot);
  if (s.KIND != 0) WMetafileDestroy(slot);
  int hres = 0, vres = 0, hsize = 0, vsize = 0;
  yymetafilecreate(slot - 1, width, height, hres, vres, hsize, vsize);
  if (MetafileDC[slot - 1] == nullptr) {
    yyerror(1060, "WMetafileCreate");
    return;
  }
  // The drawable is the picture in reference pixels; the points divide the line width.
  s.SIZE1 = width;
  s.SIZE2 = height;
  s.SIZE3 = static_cast<int>(static_cast<long long>(width) * wMetafileDPI / 72);
  s.SIZE4 = static_cast<int>(static_cast<long long>(height) * wMetafileDPI / 72);
  s.KIND = 3;
  s.INUSE = 1;
}

void WMetafilePlay(int slot, float x1, float y1, float x2, float y2) {
  if (!slotok(slot) || slotof(slot).KIND != 3 || MetafileDC[slot - 1] == nullptr) {
    yyerror(1060, "WMetafilePlay");
    return;
  }
  leaverecording(slot - 1);
  // A drawable without width or height (a minimised window) shows nothing: the slot is
  // finished all the same, into an empty box.
  const GraphicsTarget& gt = tessar.graphics.target;
  if (gt.WIDTH <= 0 || gt.HEIGHT <= 0) {
    yymetafileplay(slot - 1, 0, 0, 0, 0);
    return;
  }
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  yye2i(x1, y1, X1, Y1);
  yye2i(x2, y2, X2, Y2);
  const int H = tessar.graphics.target.HEIGHT - 1;
  const int l = static_cast<int>(std::min(X1, X2)), r = static_cast<int>(std::max(X1, X2));
  const int b = static_cast<int>(std::min(Y1, Y2)), t = static_cast<int>(std::max(Y1, Y2));
  // The box takes in the pixels of both corners.
  yymetafileplay(slot - 1, l, H - t, r + 1, H - b + 1);
}

void WMetafileSave(int slot, std::string_view name) {
  if (!slotok(slot) || slotof(slot).KIND != 3 || MetafileDC[slot - 1] == nullptr) {
    yyerror(1060, "WMetafileSave");
    return;
  }
  int failed = 0, oserror = 0;
  yymetafilesave(slot - 1, failed, oserror, name);
  if (failed != 0) {
    tessar.error.ERRDETAIL = oserror;
    tessar.error.ERRDETAILKIND = 2;
    yyerror(1, "WMetafileSave");
  }
}

void WMetafileLoad(int slot, std::string_view name) {
  if (!slotok(slot)) {
    yyerror(1060, "WMetafileLoad");
    return;
  }
  if (slotof(slot).KIND != 0) WMetafileDestroy(slot);
  int size = 0, year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, attributes = 0, kb = 0;
  const std::string file(name);
  yyfileinfo(size, year, month, day, hour, minute, second, attributes, kb, file.c_str());
  int failed = 0, oserror = 0;
  yymetafileload(slot - 1, std::max(size, 0), failed, oserror, name);
  if (failed != 0) {
    MetafileDC[slot - 1] = nullptr;
    hMetafile[slot - 1] = nullptr;
    tessar.error.ERRDETAIL = oserror;
    tessar.error.ERRDETAILKIND = 2;
    yyerror(failed, "WMetafileLoad");
    return;
  }
  // The picture's size in points from its frame; its drawable in reference pixels.
  ENHMETAHEADER h;
  GetEnhMetaFileHeader(hMetafile[slot - 1], sizeof h, &h);
  MetafileSlot& s = slotof(slot);
  // Rounded: the frame was cut to whole hundredths of a millimetre when it was written.
  s.SIZE1 = static_cast<int>((static_cast<long long>(h.rclFrame.right - h.rclFrame.left) * 72 + 1270) / 2540);
  s.SIZE2 = static_cast<int>((static_cast<long long>(h.rclFrame.bottom - h.rclFrame.top) * 72 + 1270) / 2540);
  s.SIZE3 = static_cast<int>(static_cast<long long>(s.SIZE1) * wMetafileDPI / 72);
  s.SIZE4 = static_cast<int>(static_cast<long long>(s.SIZE2) * wMetafileDPI / 72);
  s.KIND = 3;
  s.INUSE = 1;
}

//------------------------------------------------------------------------------
// [SECTION] Metafile module
// - yymetafileselect2(), yymetafilecreate(), yymetafiledestroy(), yymetafileplay()
//------------------------------------------------------------------------------
void yymetafileselect2(int index, int width, int height, int& failed) {
  failed = 1;
  if (index < 0 || index > 19 || MetafileDC[index] == nullptr || hMetafile[index] != nullptr) return;
  hGraphicsMetafile = gDC = MetafileDC[index];
  SetWindowExtEx(gDC, width, height, nullptr);
  hMovie = nullptr;
  SetROP2(gDC, gPlotMode);
  SetBkMode(gDC, TRANSPARENT);
  gPenOld = gPen != nullptr ? static_cast<HPEN>(SelectObject(gDC, gPen)) : nullptr;
  gFontOld = gFont != nullptr ? static_cast<HFONT>(SelectObject(gDC, gFont)) : nullptr;
  yywinlinestyles();
  failed = 0;
}

void yymetafilecreate(int index, int width, int height, int& hres, int& vres, int& hsize, int& vsize) {
  if (index < 0 || index > 19) return;
  // The reference device is the screen: the printers' information contexts are not kept here.
  HDC ref = GetDC(nullptr);
  hres = GetDeviceCaps(ref, HORZRES);
  vres = GetDeviceCaps(ref, VERTRES);
  hsize = GetDeviceCaps(ref, HORZSIZE);
  vsize = GetDeviceCaps(ref, VERTSIZE);
  const RECT frame{0, 0, width * 2540 / 72, height * 2540 / 72};
  MetafileDC[index] = CreateEnhMetaFile(ref, nullptr, &frame, nullptr);
  hMetafile[index] = nullptr;
  wMetafileDPI = GetDeviceCaps(ref, LOGPIXELSX);
  ReleaseDC(nullptr, ref);
}

void yymetafiledestroy(int index) {
  if (index < 0 || index > 19) return;
  leaverecording(index);
  if (MetafileDC[index] != nullptr && hMetafile[index] == nullptr) hMetafile[index] = CloseEnhMetaFile(MetafileDC[index]);
  if (hMetafile[index] != nullptr) DeleteEnhMetaFile(hMetafile[index]);
  MetafileDC[index] = nullptr;
  hMetafile[index] = nullptr;
}

void yymetafileplay(int index, int x1, int y1, int x2, int y2) {
  if (index < 0 || index > 19 || MetafileDC[index] == nullptr) return;
  finish(index);
  if (gClipRgn != nullptr) SelectClipRgn(gDC, gClipRgn);
  PlayEnhMetaFile(gDC, hMetafile[index], RECT{x1, y1, x2, y2});
  SelectClipRgn(gDC, nullptr);
}

void yymetafilesave(int index, int& failed, int& oserror, std::string_view name) {
  failed = 1;
  oserror = 0;
  if (index < 0 || index > 19 || MetafileDC[index] == nullptr) return;
  finish(index);
  const std::string file(name);
  HENHMETAFILE copy = CopyEnhMetaFile(hMetafile[index], file.c_str());
  if (copy == nullptr) {
    oserror = static_cast<int>(GetLastError());
    return;
  }
  failed = 0;
  DeleteEnhMetaFile(copy);
}

void yymetafileload(int index, int count, int& failed, int& oserror, std::string_view name) {
  failed = 1;
  oserror = 0;
  if (index < 0 || index > 19) return;
  if (MetafileDC[index] != nullptr) yymetafiledestroy(index);
  int handle = -1, status = 0;
  yyopen(std::string(name).c_str(), 0, handle, status);
  if (status != 0) {
    oserror = status;
    MetafileDC[index] = nullptr;
    return;
  }
  std::vector<BYTE> block(static_cast<std::size_t>(std::max(count, 0)), 0);
  int got = 0;
  if (count > 0) yyreadc(handle, block.data(), count, got, status);
  yyclos(handle);
  if (status != 0 || got != count) {
    failed = 2;
    oserror = status;
    MetafileDC[index] = nullptr;
    return;
  }
  hMetafile[index] = SetEnhMetaFileBits(static_cast<UINT>(block.size()), block.data());
  // Bytes that are no metafile leave the slot empty rather than looking like a recording.
  if (hMetafile[index] == nullptr) {
    failed = 2;
    MetafileDC[index] = nullptr;
    return;
  }
  failed = 0;
  // A non-zero marker: the slot holds a finished metafile.
  MetafileDC[index] = reinterpret_cast<HDC>(static_cast<std::uintptr_t>(index + 1));
}
