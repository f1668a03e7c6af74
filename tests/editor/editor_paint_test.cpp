// Custom painting of an editor's text with a program's own colouring routine: digits come out
// red, the selection in the highlight colours with its tab cell, the rest as the control draws it.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/richedit.h"
#include "platform/test_api.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/window/childwin.h"

using namespace win;

int calls = 0;

// The program's routine: every run of digits red; the selected part in the selection colours.
void yyeditparsecallback(int, int selstart, int selend, int maximum, int* starts, int* ends, int* colours, int& count,
                         const char* line, int length) {
  ++calls;
  count = 0;
  for (int i = 0; i < length && count < maximum;) {
    if (selstart > 0 && i + 1 == selstart) {
      starts[count] = selstart;
      ends[count] = selend;
      colours[count++] = -1;
      i = selend;
      continue;
    }
    if (std::isdigit(static_cast<unsigned char>(line[i])) == 0) {
      ++i;
      continue;
    }
    int j = i;
    while (j < length && std::isdigit(static_cast<unsigned char>(line[j])) != 0 && !(selstart > 0 && j + 1 == selstart)) ++j;
    starts[count] = i + 1;
    ends[count] = j;
    colours[count++] = 255;   // red
    i = j;
  }
}

namespace {

class EditorPaint : public twtest::ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    openScreen(600, 400);
    yyeditbufalloc();
  }
  void TearDown() override {
    for (int w = 1; w < MAXWINDOWS; ++w)
      if (winslot(w).wWindow != nullptr) WindowCloseChild(w);
    ScreenFixture::TearDown();
  }
};

int count(const std::vector<COLORREF>& px, bool (*wanted)(COLORREF)) {
  int n = 0;
  for (COLORREF c : px) n += wanted(c) ? 1 : 0;
  return n;
}

bool red(COLORREF c) { return GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90; }

TEST_F(EditorPaint, TheProgramsColoursAndTheSelection) {
  WindowOpenChildOptions o;
  o.flags = 39;
  o.width = 400;
  o.height = 240;
  o.title = "Text Editor";
  int w = 0;
  WindowOpenChild(w, o);
  WEditFile("", {.options = EO_NOTOOLBAR, .fonttype = 4, .fontsize = 12});
  int result = -1;
  yyeditputtext(result, "Gauge 410001\r\nflow\t7.5 m3/s\r\nno digits here");
  EditorRecord* r = yyeditcurrent();
  ASSERT_NE(r, nullptr);
  test::runUntilIdle();
  int width = 0, height = 0;
  const std::vector<COLORREF> plain = test::pixels(r->control, true, width, height);
  EXPECT_EQ(count(plain, red), 0);

  yyeditsetcallback();
  // "flow" and its tab selected.
  SendMessage(r->control, EM_SETSEL, 13, 18);
  test::runUntilIdle();
  EXPECT_GT(calls, 2) << "a call for every visible line";
  const std::string picture = ::testing::TempDir() + "editor_custom_paint.png";
  EXPECT_TRUE(test::savePng(winslot(w).wWindow, picture));
  const std::vector<COLORREF> painted = test::pixels(r->control, true, width, height);
  EXPECT_GT(count(painted, red), 40) << "the digits";
  const COLORREF high = GetSysColor(COLOR_HIGHLIGHT);
  const POINT tab{static_cast<short>(LOWORD(SendMessage(r->control, EM_POSFROMCHAR, 17, 0))),
                  static_cast<short>(HIWORD(SendMessage(r->control, EM_POSFROMCHAR, 17, 0)))};
  EXPECT_EQ(test::pixel(r->control, tab.x + 3, tab.y + 3), high) << "the selected tab's cell";
  // The third line has nothing coloured: drawn as the control draws it.
  const int third = static_cast<short>(HIWORD(SendMessage(r->control, EM_POSFROMCHAR, 29, 0)));
  int dark = 0;
  for (int y = third; y < third + r->lineheight && y < height; ++y)
    for (int x = 0; x < width; ++x) dark += GetRValue(painted[static_cast<std::size_t>(y * width + x)]) < 100 ? 1 : 0;
  EXPECT_GT(dark, 40);
}

}  // namespace
