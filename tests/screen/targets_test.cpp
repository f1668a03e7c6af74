// Drawing targets and in-memory metafile slots: the fallback to the current window, the
// slot errors, and a picture recorded in a slot and played back on another window.
#include <array>
#include <cstring>
#include <functional>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "screen_fixture.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/window.h"
#include "toolkit/graphics/curves.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/markers.h"
#include "toolkit/screen/targets.h"
#include "toolkit/graphics/text.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/screen/images.h"
#include "platform/clipboard.h"

namespace {

using Targets = twtest::ScreenFixture;

TEST_F(Targets, AFailedSelectionFallsBackToTheCurrentWindow) {
  openScreen(100, 100);
  struct Case {
    const char* why;
    int type, number;
  };
  const Case cases[] = {
      {"a free metafile slot", 4, 5},
      {"a slot number beyond the table", 4, 21},
      {"a dialog field without a current dialog", 3, 0},
      {"a window that is not open", 1, 7},
      {"a bitmap no one made", 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    IGrSelect(c.type, c.number);
    EXPECT_EQ(tessar.error.LASTERROR, 1019);
    EXPECT_EQ(tessar.graphics.target.TARGETTYPE, 1);
    EXPECT_EQ(tessar.graphics.target.TARGETNUMBER, 0);
    EXPECT_EQ(gDC, wDC);
  }
  // The window is drawn on afterwards.
  igrjoin(0.1f, 0.5f, 0.9f, 0.5f);
  EXPECT_GT(inkCount(), 0);
  // A type outside 1-4 changes nothing and records nothing.
  tessar.error.LASTERROR = 0;
  IGrSelect(9);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  IGrSelect(1);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(tessar.graphics.target.TARGETNUMBER, 0);
}

// The raster side's bitmap selection as it would work: a memory DC holding bitmap index.
win::HBITMAP testbitmap = nullptr;
void selectbitmap(int index, int& failed, int& width, int& height) {
  failed = 1;
  if (index != 0 || testbitmap == nullptr) return;
  hGraphicsBitmap = win::CreateCompatibleDC(gDC);
  win::SelectObject(hGraphicsBitmap, testbitmap);
  gDC = hGraphicsBitmap;
  width = 120;
  height = 80;
  failed = 0;
}

TEST_F(Targets, ABitmapTargetIsDrawnWithRowZeroAtTheBottom) {
  openScreen(100, 100);
  testbitmap = win::CreateBitmap(120, 80, 1, 32, nullptr);
  graphicsservices.yybitmapselect = selectbitmap;
  IGrSelect(2, 1);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(tessar.graphics.target.WIDTH, 120);
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 119.99f, 79.99f);
  igrareaclear();
  IGrColourN(31);
  igrjoin(10, 0, 50, 0);
  tessar.graphics.attributes.FILLSTYLE = 4;
  igrcircle(90, 40, 10);
  EXPECT_EQ(win::GetPixel(gDC, 30, 79), win::RGB(255, 0, 0));
  EXPECT_EQ(win::GetPixel(gDC, 30, 0), win::RGB(255, 255, 255));
  EXPECT_EQ(win::GetPixel(gDC, 90, 39), win::RGB(255, 0, 0));
  EXPECT_EQ(px(30, 99), win::RGB(255, 255, 255)) << "the window is not drawn on";
  IGrSelect(1);
  EXPECT_EQ(hGraphicsBitmap, nullptr) << "leaving the bitmap releases its context";
  graphicsservices.yybitmapselect = nullptr;
  win::DeleteObject(testbitmap);
  testbitmap = nullptr;
}

TEST_F(Targets, SlotErrorsAndTheLifeOfASlot) {
  openScreen(100, 100);
  for (int slot : {0, 21}) {
    tessar.error.LASTERROR = 0;
    WMetafileDestroy(slot);
    EXPECT_EQ(tessar.error.LASTERROR, 1060) << slot;
  }
  tessar.error.LASTERROR = 0;
  WMetafileDestroy(3);
  EXPECT_EQ(tessar.error.LASTERROR, 1060) << "a free slot";
  EXPECT_EQ(tessar.graphics.metafiles[2].KIND, 0);

  tessar.error.LASTERROR = 0;
  WMetafileCreate(3, 72, 36);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  const MetafileSlot& s = tessar.graphics.metafiles[2];
  EXPECT_EQ(s.KIND, 3);
  EXPECT_EQ(s.SIZE3, 96);
  EXPECT_EQ(s.SIZE4, 48);
  IGrSelect(4, 3);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(tessar.graphics.target.TARGETTYPE, 4);
  EXPECT_EQ(tessar.graphics.target.WIDTH, 96);
  EXPECT_EQ(tessar.graphics.description.SCCAPS[28], '0') << "capability 29 is off on a metafile";
  // Playing finishes the recording: the window is the target again and the slot cannot be.
  WMetafilePlay(3, 0, 0, 1, 1);
  EXPECT_EQ(tessar.graphics.target.TARGETTYPE, 1);
  IGrSelect(4, 3);
  EXPECT_EQ(tessar.error.LASTERROR, 1019);
  // The frame is the picture in hundredths of a millimetre.
  win::ENHMETAHEADER head;
  ASSERT_NE(win::GetEnhMetaFileHeader(hMetafile[2], sizeof head, &head), 0u);
  EXPECT_EQ(head.rclFrame.right, 2540);
  EXPECT_EQ(head.rclFrame.bottom, 1270);
  tessar.error.LASTERROR = 0;
  WMetafileDestroy(3);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(s.KIND, 0);
  EXPECT_EQ(hMetafile[2], nullptr);
}

TEST_F(Targets, ClosingTheRootWindowFreesEverySlot) {
  openScreen(100, 100);
  WMetafileCreate(2, 50, 50);
  WMetafileCreate(7, 50, 50);
  IGrSelect(4, 7);
  WMetafilePlay(2, 0, 0, 1, 1);
  windowclose();
  for (const MetafileSlot& s : tessar.graphics.metafiles) EXPECT_EQ(s.KIND, 0);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(MetafileDC[i], nullptr);
    EXPECT_EQ(hMetafile[i], nullptr);
  }
}

std::vector<int> cgmcodes;
TEST_F(Targets, EnteringAndLeavingACgmSlotRestatesTheState) {
  openScreen(100, 100);
  MetafileSlot& s = tessar.graphics.metafiles[4];
  s.KIND = 6;
  s.INUSE = 1;
  s.SIZE3 = 800;
  s.SIZE4 = 600;
  cgmcodes.clear();
  graphicsservices.yygcgm = [](int& code) { cgmcodes.push_back(code); };
  IGrSelect(4, 5);
  EXPECT_EQ(tessar.graphics.target.CGMRECORD, 1);
  EXPECT_EQ(tessar.graphics.target.WIDTH, 800);
  // The recorder gets the describe request and the state it must know, after the clip
  // requests of the new size.
  const std::vector<int> tail{DOPEN, DBEGINPLOT, DLINEWIDTH, DLINETYPE, DLOADPALETTE, DCLIP};
  ASSERT_GE(cgmcodes.size(), tail.size());
  EXPECT_EQ(std::vector<int>(cgmcodes.end() - static_cast<long>(tail.size()), cgmcodes.end()), tail);
  const std::size_t before = cgmcodes.size();
  igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
  EXPECT_EQ(cgmcodes.size(), before + 1) << "drawing goes to the recorder";
  EXPECT_EQ(inkCount(), 0) << "and not to the window";
  IGrSelect(1);
  EXPECT_EQ(tessar.graphics.target.CGMRECORD, 0);
  igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
  EXPECT_GT(inkCount(), 0);
  graphicsservices.yygcgm = nullptr;
  WMetafileDestroy(5);
  EXPECT_EQ(s.KIND, 0);
}

// A minimised window: playing into it divides by nothing and records nothing.
TEST_F(Targets, PlayingIntoADrawableWithoutHeightDrawsNothing) {
  openScreen(100, 100);
  WMetafileCreate(1, 75, 75);
  IGrSelect(4, 1);
  igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
  IGrSelect(1);
  yyresn(1, 0, 100, 0);
  tessar.error.LASTERROR = 0;
  WMetafilePlay(1, 0, 0, 1, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_NE(hMetafile[0], nullptr) << "the recording is finished";
  yyresn(1, 0, 100, 100);
  EXPECT_EQ(inkCount(), 0);
  WMetafileDestroy(1);
}

TEST_F(Targets, LineWidthOnASlotFollowsItsSizes) {
  openScreen(100, 100);
  WMetafileCreate(1, 100, 100);
  MetafileSlot& s = tessar.graphics.metafiles[0];
  s.SIZE1 = 1000;
  s.SIZE3 = 20000;
  IGrSelect(4, 1);
  tessar.graphics.attributes.LINEFACTOR = 5;
  yygdrv(DLINEWIDTH);
  EXPECT_EQ(gLineWidth, 10);
  IGrSelect(1);
  WMetafileDestroy(1);
}

// Everything the screen road draws, in one picture (no two-colour fills: a metafile draws
// those as the mean colour by design).
void picture() {
  const GraphicsTarget& t = tessar.graphics.target;
  const float W = static_cast<float>(t.WIDTH), H = static_cast<float>(t.HEIGHT);
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, W - 0.01f, H - 0.01f);
  igrareaclear();
  for (int type = 0; type <= 7; ++type) {
    IGrColourN(16 * type + 15);
    igrlinetype(type);
    igrjoin(10, H - 10 - 8 * type, W / 2 - 10, H - 10 - 8 * type);
  }
  igrlinetype(0);
  IGrColourN(159);
  tessar.graphics.attributes.FILLSTYLE = 0;
  igrellipse(W * 0.7f, H * 0.8f, 40, 0.5f);
  IGrColourN(95);
  tessar.graphics.attributes.FILLSTYLE = 4;
  igrcircle(W * 0.88f, H * 0.8f, 15);
  tessar.graphics.attributes.FILLSTYLE = 0;
  IGrColourN(31);
  igrarrowjoin(20, 20, 120, 60, 1);
  yychsize(0.03f, 0.06f);
  IGrColourN(223);
  for (int k = 1; k <= 40; ++k) {
    const float x = 20 + static_cast<float>((k - 1) % 10) * 22, y = H * 0.55f - static_cast<float>((k - 1) / 10) * 20;
    igrmarker(x, y, k);
  }
  IGrColourN(191);
  const std::array<float, 5> cx{W * 0.6f, W * 0.7f, W * 0.8f, W * 0.9f, W * 0.95f},
      cy{H * 0.2f, H * 0.5f, H * 0.25f, H * 0.55f, H * 0.1f};
  igrcurve(cx, cy, 5);
  IGrColourN(127);
  igrpolyline(cx, std::array<float, 5>{H * 0.1f, H * 0.15f, H * 0.1f, H * 0.15f, H * 0.1f}, 5);
  // Points, a filled sector and an arc outline (requests 26, 14 and 34), a shaded triangle.
  IGrColourN(47);
  for (int k = 0; k < 30; ++k) igrpoint(W * 0.05f + static_cast<float>(2 * k), H * 0.3f);
  DeviceOperands& sector = tessar.graphics.operands;
  sector.IX1 = static_cast<int>(W * 0.45f);
  sector.IY1 = static_cast<int>(H * 0.15f);
  sector.RX2 = 18;
  sector.RY2 = 18;
  sector.RX3 = 0.3f;
  sector.RY3 = 2.0f;
  sector.RX4 = 17;
  sector.RY4 = 97;
  yygdrv(DSECTORSOLID);
  sector.IX1 += 40;
  yygdrv(DARC);
  const std::array<int, 3> gx{static_cast<int>(W * 0.05f), static_cast<int>(W * 0.2f), static_cast<int>(W * 0.12f)},
      gy{static_cast<int>(H * 0.95f), static_cast<int>(H * 0.95f), static_cast<int>(H * 0.75f)},
      grgb{0x0000FF, 0x00FF00, 0xFF0000}, tri{1, 2, 3};
  int failed = 1;
  yywingradfill(gx, gy, grgb, tri, 3, 1, failed);
  IGrColourN(223);
  WGrTextFont({.family = 102});
  yychsize(0.03f, 0.08f);
  tessar.files.HCCURRENT.assign(260, ' ');
  tessar.files.HCCURRENT.replace(0, 9, "Flow ML/d");
  DeviceOperands& op = tessar.graphics.operands;
  op.IX1 = 9;
  op.RX1 = W * 0.6f;
  op.RY1 = H * 0.4f;
  op.RX3 = W * 0.6f + 80;
  op.RY3 = H * 0.4f;
  yygdrv(DTEXT);
}

TEST_F(Targets, APictureRecordedInASlotPlaysBackAsDrawnDirectly) {
  WindowOpenOptions o;
  o.x = 0;
  o.y = 0;
  o.width = 320;
  o.height = 240;
  open(o);
  int child = 0;
  WindowOpenChildOptions co;
  co.x = 600;
  co.y = 400;
  co.width = 320;
  co.height = 240;
  WindowOpenChild(child, co);
  ASSERT_EQ(child, 1);
  IGrSelect(1, 0);
  picture();
  // 240 x 180 points are 320 x 240 pixels at 96 dots per inch.
  WMetafileCreate(1, 240, 180);
  IGrSelect(4, 1);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  picture();
  IGrSelect(1, 1);
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 319.99f, 239.99f);
  igrareaclear();
  WMetafilePlay(1, 0, 0, 319.99f, 239.99f);
  const auto direct = all(0), played = all(1);
  ASSERT_EQ(direct.size(), played.size());
  int differ = 0;
  for (std::size_t i = 0; i < direct.size(); ++i)
    if (direct[i] != played[i]) ++differ;
  EXPECT_EQ(differ, 0);
  EXPECT_GT(inkCount(), 1000);
  EXPECT_NE(px(39, 212), win::RGB(255, 255, 255)) << "the shaded triangle";
  win::test::savePng(winslot(0).hClient, "screen_picture.png", false);
  win::test::savePng(winslot(1).hClient, "screen_picture_played.png", false);
  WMetafileDestroy(1);
}


// Two root-sized windows side by side: 0 and 1, both 320 x 240.
void twowindows() {
  WindowOpenOptions o;
  o.x = 0;
  o.y = 0;
  o.width = 320;
  o.height = 240;
  WindowOpen(o);
  int child = 0;
  WindowOpenChildOptions co;
  co.x = 600;
  co.y = 400;
  co.width = 320;
  co.height = 240;
  WindowOpenChild(child, co);
}

int differing(const std::vector<win::COLORREF>& a, const std::vector<win::COLORREF>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) ++n;
  return n;
}

std::filesystem::path scratch(const char* name) {
  const auto dir = std::filesystem::temp_directory_path() / ("tw_targets_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir / name;
}

TEST_F(Targets, ASlotSavedToAFileAndLoadedIntoAnotherPlaysTheSamePixels) {
  twowindows();
  WMetafileCreate(1, 240, 180);
  IGrSelect(4, 1);
  picture();
  const std::string file = scratch("picture.emf").string();
  WMetafileSave(1, file);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_GT(std::filesystem::file_size(file), 1000u);
  WMetafileLoad(2, file);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  const MetafileSlot& loaded = tessar.graphics.metafiles[1];
  EXPECT_EQ(loaded.KIND, 3);
  EXPECT_EQ(loaded.SIZE1, 240) << "points, from the file's frame";
  EXPECT_EQ(loaded.SIZE2, 180);
  IGrSelect(4, 2);
  EXPECT_EQ(tessar.error.LASTERROR, 1019) << "a loaded metafile is finished: it cannot be drawn on";
  tessar.error.LASTERROR = 0;
  for (int w = 0; w <= 1; ++w) {
    IGrSelect(1, w);
    pixelUnits();
    igrareaclear();
    WMetafilePlay(w + 1, 0, 0, 319.99f, 239.99f);
  }
  EXPECT_EQ(differing(all(0), all(1)), 0);
  EXPECT_GT(inkCount(), 1000);
  WMetafileDestroy(1);
  WMetafileDestroy(2);
}

TEST_F(Targets, SavingAndLoadingFailures) {
  openScreen();
  struct Case {
    const char* why;
    std::function<void()> act;
    int error;
  };
  const std::string garbage = scratch("garbage.emf").string();
  std::ofstream(garbage) << "not a metafile at all, not even close";
  const Case cases[] = {
      {"a free slot has nothing to save", [] { WMetafileSave(3, "/tmp/x.emf"); }, 1060},
      {"slot 21 does not exist", [] { WMetafileLoad(21, "/tmp/x.emf"); }, 1060},
      {"a missing file cannot be opened", [] { WMetafileLoad(3, "/nonexistent/dir/x.emf"); }, 1},
      {"bytes that are no metafile", [&] { WMetafileLoad(3, garbage); }, 2},
      {"a folder that does not exist cannot take the file",
       [] {
         WMetafileCreate(4, 72, 72);
         WMetafileSave(4, "/nonexistent/dir/x.emf");
       },
       1},
  };
  for (const Case& c : cases) {
    tessar.error.LASTERROR = 0;
    c.act();
    EXPECT_EQ(tessar.error.LASTERROR, c.error) << c.why;
  }
  EXPECT_EQ(tessar.graphics.metafiles[2].KIND, 0) << "a failed load leaves the slot free";
  EXPECT_EQ(MetafileDC[2], nullptr);
  WMetafileDestroy(4);
}

// A picture of one red box on white, in a file of each kind, played into a box of the window.
TEST_F(Targets, MetafileFilesOfEveryKindAndTheClipboardPlayIntoTheirBox) {
  openScreen(200, 100);
  using namespace win;
  auto record = [](HDC dc) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dc, red);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, 50, 25);   // the left half of a 100 x 50 picture, top half
    SelectObject(dc, old);
    DeleteObject(red);
  };
  // Enhanced: a 100 x 50 pixel frame.
  const RECT frame{0, 0, 2646, 1323};
  HDC e = CreateEnhMetaFile(nullptr, nullptr, &frame, nullptr);
  SetWindowExtEx(e, 100, 50, nullptr);
  record(e);
  HENHMETAFILE emf = CloseEnhMetaFile(e);
  std::vector<BYTE> ebytes(GetEnhMetaFileBits(emf, 0, nullptr));
  GetEnhMetaFileBits(emf, static_cast<UINT>(ebytes.size()), ebytes.data());
  // Windows metafile with a window of 100 x 50.
  HDC w = CreateMetaFile(nullptr);
  SetMapMode(w, MM_ANISOTROPIC);
  SetWindowExtEx(w, 100, 50, nullptr);
  record(w);
  HMETAFILE wmf = CloseMetaFile(w);
  std::vector<BYTE> wbytes(GetMetaFileBitsEx(wmf, 0, nullptr));
  GetMetaFileBitsEx(wmf, static_cast<UINT>(wbytes.size()), wbytes.data());
  const auto header = PlaceableMetafileHeader(75, 37);
  auto write = [](const char* name, const std::vector<BYTE>& bytes, const BYTE* head = nullptr) {
    const std::string f = scratch(name).string();
    std::ofstream out(f, std::ios::binary);
    if (head != nullptr) out.write(reinterpret_cast<const char*>(head), 22);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return f;
  };
  const std::string fe = write("box.emf", ebytes), fw = write("box.wmf", wbytes),
                    fp = write("boxp.wmf", wbytes, header.data());
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();

  struct Case {
    const char* why;
    int kind;
    std::string name;
    int failed;
  };
  const std::vector<Case> cases = {
      {"an enhanced metafile", 2, fe, 0},
      {"a plain Windows metafile", 0, fw, 0},
      {"a placeable Windows metafile: its 22-byte header is skipped", 1, fp, 0},
      {"the placeable file read as a plain one is no metafile", 0, fp, 2},
      {"an enhanced metafile read as a Windows one", 0, fe, 2},
      {"a missing file", 2, "/nonexistent/box.emf", 1},
      {"an empty clipboard has no enhanced metafile", 2, "C", 1095},
  };
  for (const Case& c : cases) {
    igrareaclear();
    int failed = -1;
    // Box (20, 10) - (119, 59) in platform pixels: the red quarter is (20, 10) - (69, 34).
    yywmfplaymetafile(c.kind, 20, 10, 119, 59, 0, 0, 0, 0, failed, c.name);
    EXPECT_EQ(failed, c.failed) << c.why;
    if (c.failed != 0) {
      EXPECT_EQ(inkCount(), 0) << c.why;
      continue;
    }
    EXPECT_EQ(px(22, 12), RGB(255, 0, 0)) << c.why;
    EXPECT_EQ(px(66, 31), RGB(255, 0, 0)) << c.why;
    EXPECT_EQ(px(75, 12), RGB(255, 255, 255)) << c.why << ": right of the box";
    EXPECT_EQ(px(22, 40), RGB(255, 255, 255)) << c.why << ": below it";
    EXPECT_EQ(px(18, 12), RGB(255, 255, 255)) << c.why << ": left of the play box";
  }

  // The clipboard carries the enhanced metafile's bytes.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GHND, ebytes.size());
  std::memcpy(GlobalLock(block), ebytes.data(), ebytes.size());
  GlobalUnlock(block);
  SetClipboardData(CF_ENHMETAFILE, block);
  CloseClipboard();
  igrareaclear();
  int failed = -1;
  yywmfplaymetafile(2, 20, 10, 119, 59, 0, 0, 0, 0, failed, "C");
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(px(22, 12), RGB(255, 0, 0));
  // Held open by another window: 1094.
  ASSERT_TRUE(OpenClipboard(winslot(0).hClient));
  yywmfplaymetafile(2, 20, 10, 119, 59, 0, 0, 0, 0, failed, "C");
  EXPECT_EQ(failed, 1094);
  CloseClipboard();

  // A quarter turn (90) about (0, 100): x' = y, y' = 100 - x. The red quarter
  // (20, 10) - (69, 34) lands on (10, 31) - (34, 80).
  igrareaclear();
  yywmfplaymetafile(2, 20, 10, 119, 59, 0, 90, 0, 100, failed, fe);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(px(12, 78), RGB(255, 0, 0));
  EXPECT_EQ(px(32, 34), RGB(255, 0, 0));
  EXPECT_EQ(px(22, 12), RGB(255, 255, 255)) << "nothing where the unturned box was";
  EXPECT_EQ(px(40, 50), RGB(255, 255, 255));
  EXPECT_EQ(GetGraphicsMode(gDC), GM_COMPATIBLE) << "the turn is undone";

  // The printer's surface: the box is on the page, less the page's origin.
  HDC page = CreateCompatibleDC(nullptr);
  HBITMAP paper = CreateBitmap(200, 100, 1, 32, nullptr);
  HGDIOBJ oldPaper = SelectObject(page, paper);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(page, RECT{0, 0, 200, 100}, white);
  DeleteObject(white);
  yyimagesurface(10, page, nullptr);
  yyimagesurfacepage(10, 5, 4, 0, 0, 0);
  yywmfplaymetafile(1, 20, 10, 119, 59, 10, 0, 0, 0, failed, fp);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(GetPixel(page, 16, 7), RGB(255, 0, 0)) << "(20, 10) less the origin (5, 4)";
  EXPECT_EQ(GetPixel(page, 63, 29), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(page, 66, 7), RGB(255, 255, 255));
  EXPECT_EQ(SetMapMode(page, MM_TEXT), MM_TEXT) << "the mapping mode was put back";
  yyimagesurface(10, nullptr, nullptr);
  yyimagesurfacepage(10, 0, 0, 0, 0, 0);
  SelectObject(page, oldPaper);
  DeleteDC(page);
  DeleteObject(paper);
  DeleteEnhMetaFile(emf);
  DeleteMetaFile(wmf);
}

}  // namespace
