// A dialog, or a field of it, as the drawing surface: the graphics reach its pixels with
// row 0 at the bottom, the field then posts its paint events, a missing field falls back to
// the window, and a dialog that draws repaints from its snapshot while modal work runs.
#include "tests/dialog/dialog_fixture.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/screen/screen_driver.h"
#include "toolkit/screen/targets.h"
#include "toolkit/state/tessar.h"

namespace {

using namespace win;
using dlgtest::DialogFixture;

class DrawingSurfaceTest : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    yyscreenservices();
    tessar.display.COLOURS = 1 << 24;
  }
  // Units of one pixel on the target, a red line across at graphics row 10.
  static void drawLine() {
    const GraphicsTarget& t = tessar.graphics.target;
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, static_cast<float>(t.WIDTH) - 0.01f, static_cast<float>(t.HEIGHT) - 0.01f);
    IGrColourN(31);
    igrjoin(5, 10, static_cast<float>(t.WIDTH) - 5, 10);
  }
};

TEST_F(DrawingSurfaceTest, AFieldIsDrawnOnWithRowZeroAtTheBottomAndThenPostsItsPaints) {
  loadAndShow(908);
  HWND f = field(7001);
  RECT c;
  GetClientRect(f, c);
  EXPECT_EQ(yyCheckUserDrawn(dialog()), 0);
  IGrSelect(3, 7001);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(tessar.graphics.target.TARGETTYPE, 3);
  EXPECT_EQ(tessar.graphics.target.WIDTH, c.right);
  EXPECT_EQ(tessar.graphics.target.HEIGHT, c.bottom);
  drawLine();
  const int row = c.bottom - 1 - 10;
  EXPECT_EQ(test::pixel(f, c.right / 2, row), RGB(255, 0, 0)) << "graphics row 10 from the bottom";
  EXPECT_NE(test::pixel(f, c.right / 2, 10), RGB(255, 0, 0)) << "not from the top";
  EXPECT_EQ(yyfieldrecord(f)->graphics, 1);
  EXPECT_EQ(yyCheckUserDrawn(dialog()), 1);
  test::savePng(dialog(), "dialog_field_drawn.png", true);
  // Now the field asks the program to draw it again when it is uncovered.
  events();
  InvalidateRect(f, nullptr, TRUE);
  bool painted = false;
  for (const dlgtest::Event& e : events())
    painted |= e.type == EV_EXPOSE && e.m.value3 == ORIGIN_FIELD && e.m.value4 == 7001;
  EXPECT_TRUE(painted);
  IGrSelect(1);
}

TEST_F(DrawingSurfaceTest, TheDialogItselfAndTheFailures) {
  loadAndShow(908);
  IGrSelect(3);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  RECT c;
  GetClientRect(dialog(), c);
  EXPECT_EQ(tessar.graphics.target.WIDTH, c.right) << "field 0 is the dialog's client area";
  EXPECT_EQ(yydialogrecord(dialog())->graphics, 1);
  drawLine();
  EXPECT_EQ(test::pixel(dialog(), c.right / 2, c.bottom - 11), RGB(255, 0, 0));
  // A missing field falls back to the current window with error 1019.
  IGrSelect(3, 4242);
  EXPECT_EQ(tessar.error.LASTERROR, 1019);
  EXPECT_EQ(tessar.graphics.target.TARGETTYPE, 1);
  EXPECT_EQ(gDC, wDC);
  tessar.error.LASTERROR = 0;
  WDialogUnload();
  IGrSelect(3, 7001);
  EXPECT_EQ(tessar.error.LASTERROR, 1019) << "no current dialog";
}

TEST_F(DrawingSurfaceTest, ADrawnDialogRepaintsFromItsSnapshotDuringModalWork) {
  loadAndShow(908);
  HWND f = field(7001);
  IGrSelect(3, 7001);
  drawLine();
  IGrSelect(1);
  RECT c;
  GetClientRect(f, c);
  const int row = c.bottom - 11;
  int status = 1;
  yygetwindowbitmap(1, -1, status);
  EXPECT_EQ(status, 0);
  ASSERT_NE(yydialogrecord(dialog())->image, nullptr);
  // Uncovered while the program cannot draw: the field shows what it drew before, and no
  // paint event goes to the program.
  events();
  InvalidateRect(f, nullptr, TRUE);
  bool painted = false;
  for (const dlgtest::Event& e : events()) painted |= e.type == EV_EXPOSE && e.m.value4 == 7001;
  EXPECT_EQ(test::pixel(f, c.right / 2, row), RGB(255, 0, 0));
  EXPECT_FALSE(painted);
  // Nested modal work shares the snapshot until the outer one ends.
  yygetwindowbitmap(1, -1, status);
  yygetwindowbitmap(0, -1, status);
  EXPECT_NE(yydialogrecord(dialog())->image, nullptr);
  yygetwindowbitmap(0, -1, status);
  EXPECT_EQ(yydialogrecord(dialog())->image, nullptr);
  EXPECT_EQ(wBlitOn, 0);
  EXPECT_EQ(test::pixel(f, c.right / 2, row), RGB(255, 0, 0)) << "copied back";
}

TEST_F(DrawingSurfaceTest, ADrawnPageCountsOnlyWhileItsTabIsCurrent) {
  WDialogLoad(903);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  WDialogShow();
  events();
  HWND owner = dialog();
  WDialogSelect(904);
  IGrSelect(3);
  IGrSelect(1);
  WDialogSelect(903);
  EXPECT_EQ(yyCheckUserDrawn(owner), 0) << "the second page is current";
  int tab = 5001, page = 904;
  yydialogsettab(tab, page);
  EXPECT_EQ(yyCheckUserDrawn(owner), 1);
}

}  // namespace
