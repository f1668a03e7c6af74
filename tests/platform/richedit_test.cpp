// The rich-edit control with plain text: typing and line ends, selection by keys and mouse with
// EN_SELCHANGE, undo, the clipboard, find, plain-text streaming in and out, and a 10 MB text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/richedit.h"
#include "platform/test_api.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;
using ctltest::textOf;

namespace {

constexpr int kId = 1002;

// Key filter of the parent: drops Ctrl+V and turns a typed 'a' into 'b'; counts mouse events.
int mouseEvents = 0;
LRESULT filter(const MSGFILTER& mf) {
  auto& m = const_cast<MSGFILTER&>(mf);
  if (m.msg == WM_KEYDOWN && m.wParam == 'V' && GetKeyState(VK_CONTROL) < 0) return 1;
  if (m.msg == WM_CHAR && m.wParam == 0x16) return 1;
  if (m.msg == WM_CHAR && m.wParam == 'a') m.wParam = 'b';
  if (m.msg == WM_LBUTTONDOWN) ++mouseEvents;
  return 0;
}

std::vector<CHARRANGE>& selChanges() {
  static std::vector<CHARRANGE> v;
  return v;
}

LRESULT watchingParent(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == EN_SELCHANGE) {
    const auto* sc = reinterpret_cast<const SELCHANGE*>(l);
    EXPECT_EQ(sc->seltype, sc->chrg.cpMin == sc->chrg.cpMax ? SEL_EMPTY : SEL_TEXT);
    selChanges().push_back(sc->chrg);
  }
  if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == EN_MSGFILTER)
    return filter(*reinterpret_cast<const MSGFILTER*>(l));
  return ctltest::parentProc(h, msg, w, l);
}

CHARRANGE selOf(HWND e) {
  CHARRANGE r;
  SendMessage(e, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

void setSel(HWND e, LONG a, LONG b) {
  CHARRANGE r{a, b};
  SendMessage(e, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

// A stream over a string: reading hands out at most `step` bytes at a time; writing appends.
struct Cookie {
  std::string data;
  std::size_t at = 0;
  std::size_t step = 1 << 20;
  DWORD failWith = 0;   // returned by the callback once `at` reaches failAt
  std::size_t failAt = std::string::npos;
};

DWORD readCb(UINT_PTR cookie, BYTE* buf, LONG cb, LONG* pcb) {
  auto* c = reinterpret_cast<Cookie*>(cookie);
  if (c->at >= c->failAt) return c->failWith;
  const std::size_t n = std::min({static_cast<std::size_t>(cb), c->step, c->data.size() - c->at});
  std::memcpy(buf, c->data.data() + c->at, n);
  c->at += n;
  *pcb = static_cast<LONG>(n);
  return 0;
}

DWORD writeCb(UINT_PTR cookie, BYTE* buf, LONG cb, LONG* pcb) {
  auto* c = reinterpret_cast<Cookie*>(cookie);
  if (c->data.size() >= c->failAt) return c->failWith;
  c->data.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(cb));
  *pcb = cb;
  return 0;
}

LRESULT streamIn(HWND e, const std::string& s, WPARAM format = SF_TEXT, Cookie* cookie = nullptr, DWORD* err = nullptr) {
  Cookie local;
  Cookie& c = cookie ? *cookie : local;
  c.data = s;
  EDITSTREAM es;
  es.dwCookie = reinterpret_cast<UINT_PTR>(&c);
  es.pfnCallback = readCb;
  const LRESULT r = SendMessage(e, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
  if (err) *err = es.dwError;
  return r;
}

std::string streamOut(HWND e, WPARAM format = SF_TEXT) {
  Cookie c;
  EDITSTREAM es;
  es.dwCookie = reinterpret_cast<UINT_PTR>(&c);
  es.pfnCallback = writeCb;
  SendMessage(e, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
  EXPECT_EQ(es.dwError, 0u);
  return c.data;
}

class RichEditTest : public ctltest::Fixture {
 protected:
  void SetUp() override {
    ctltest::Fixture::SetUp();
    RegisterRichEditClasses();
    selChanges().clear();
    SetWindowLongPtr(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&watchingParent));
  }
  HWND rich(const char* cls = RICHEDIT_CLASS) {
    HWND e = make(cls, WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_AUTOHSCROLL | WS_HSCROLL, 10, 10,
                  400, 300, kId);
    EXPECT_NE(e, nullptr);
    SendMessage(e, EM_EXLIMITTEXT, 0, 104857500);
    SetFocus(e);
    test::runUntilIdle();
    return e;
  }
};

TEST_F(RichEditTest, BothClassNamesMakeTheControlWithItsDefaultLimit) {
  for (const char* cls : {RICHEDIT_CLASS, RICHEDIT_CLASS10}) {
    HWND e = make(cls, ES_MULTILINE, 10, 10, 200, 100, kId);
    ASSERT_NE(e, nullptr) << cls;
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), kRichEditDefaultLimit);
    SendMessage(e, EM_EXLIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), kRichEditDefaultLimit);
    DestroyWindow(e);
  }
}

TEST_F(RichEditTest, TypingEndsLinesWithOneCharacterAndUndoTakesItBack) {
  HWND e = rich();
  test::typeText("ab\ncd");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "ab\rcd");
  EXPECT_EQ(selOf(e).cpMin, 5);
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(e, EM_EXLINEFROMCHAR, 0, 4), 1);
  GETTEXTLENGTHEX g;
  EXPECT_EQ(SendMessage(e, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0), 5);
  g.flags = GTL_USECRLF;
  EXPECT_EQ(SendMessage(e, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0), 6);
  EXPECT_EQ(streamOut(e), "ab\r\ncd");

  // Shift+Home selects back to the line start; typing replaces it; Ctrl+Z restores.
  test::pressKey(VK_HOME, test::kShift);
  test::runUntilIdle();
  EXPECT_EQ(selOf(e).cpMin, 3);
  EXPECT_EQ(selOf(e).cpMax, 5);
  test::typeText("X");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "ab\rX");
  EXPECT_TRUE(SendMessage(e, EM_CANUNDO, 0, 0));
  test::pressKey('Z', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "ab\rcd");
  EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));
}

TEST_F(RichEditTest, SelectionChangesAreReportedOnlyUnderTheEventMask) {
  HWND e = rich();
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("first line\r\nsecond line"));
  EXPECT_EQ(textOf(e), "first line\rsecond line");
  setSel(e, 0, 5);
  EXPECT_TRUE(selChanges().empty());
  EXPECT_EQ(SendMessage(e, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE), 0);
  EXPECT_EQ(SendMessage(e, EM_GETEVENTMASK, 0, 0), static_cast<LRESULT>(ENM_CHANGE | ENM_SELCHANGE));

  setSel(e, 11, -1);
  ASSERT_EQ(selChanges().size(), 1u);
  EXPECT_EQ(selChanges().back().cpMin, 11);
  EXPECT_EQ(selChanges().back().cpMax, 22);
  char buf[64];
  EXPECT_EQ(SendMessage(e, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf)), 11);
  EXPECT_STREQ(buf, "second line");

  // A click at the start of the first line puts the caret there, as a user sees it.
  const LRESULT p = SendMessage(e, EM_POSFROMCHAR, 0, 0);
  ctltest::clickAt(e, GET_X_LPARAM(p) + 1, GET_Y_LPARAM(p) + 3);
  EXPECT_EQ(selOf(e).cpMin, 0);
  EXPECT_EQ(selOf(e).cpMax, 0);
  ASSERT_GE(selChanges().size(), 2u);
  EXPECT_EQ(selChanges().back().cpMax, 0);

  // Shift+Ctrl+End selects to the end; a key that changes nothing reports nothing.
  test::pressKey(VK_END, test::kShift | test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(selOf(e).cpMax, 22);
  const std::size_t n = selChanges().size();
  test::pressKey(VK_END, test::kShift | test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(selChanges().size(), n);

  TEXTRANGE tr;
  tr.chrg = {6, 14};
  tr.lpstrText = buf;
  EXPECT_EQ(SendMessage(e, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr)), 8);
  EXPECT_STREQ(buf, "line\rsec");
}

TEST_F(RichEditTest, KeyAndMouseEventsPassThroughTheParentsFilter) {
  HWND e = rich();
  mouseEvents = 0;
  test::typeText("a");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "a");   // no filter without the mask
  SendMessage(e, EM_SETEVENTMASK, 0, ENM_KEYEVENTS | ENM_MOUSEEVENTS);
  test::typeText("ca");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "acb");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, 2);
  std::memcpy(GlobalLock(g), "z", 2);
  GlobalUnlock(g);
  SetClipboardData(CF_TEXT, g);
  CloseClipboard();
  test::pressKey('V', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "acb");   // the parent consumed the paste
  ctltest::clickAt(e, 5, 5);
  EXPECT_EQ(mouseEvents, 1);
}

TEST_F(RichEditTest, ClipboardCarriesCrLfBothWays) {
  HWND e = rich();
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\rtwo"));
  setSel(e, 0, -1);
  test::pressKey('C', test::kCtrl);
  test::runUntilIdle();
  ASSERT_TRUE(OpenClipboard(nullptr));
  HGLOBAL g = GetClipboardData(CF_TEXT);
  ASSERT_NE(g, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(g)), "one\r\ntwo");
  GlobalUnlock(g);
  CloseClipboard();
  EXPECT_TRUE(SendMessage(e, EM_CANPASTE, CF_TEXT, 0));
  setSel(e, 7, 7);
  test::pressKey('V', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "one\rtwoone\rtwo");
  test::pressKey('Z', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "one\rtwo");
  setSel(e, 3, 7);
  test::pressKey('X', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "one");
}

TEST_F(RichEditTest, FindHonoursDirectionCaseWholeWordAndRange) {
  HWND e = rich();
  //                                        0         1         2         3
  //                                        0123456789012345678901234567890123456
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Flow flows; FLOW\r\nflow_rate flow"));
  struct Case {
    const char* what;
    LONG from, to;
    WPARAM flags;
    LONG expect;
  };
  const Case cases[] = {
      {"flow", 0, -1, FR_DOWN, 0},                               // case ignored
      {"flow", 1, -1, FR_DOWN, 5},                               // inside "flows"
      {"flow", 1, -1, FR_DOWN | FR_MATCHCASE, 5},
      {"FLOW", 1, -1, FR_DOWN | FR_MATCHCASE, 12},
      {"flow", 1, -1, FR_DOWN | FR_WHOLEWORD, 12},               // not "flows"
      {"flow", 13, -1, FR_DOWN | FR_WHOLEWORD, 27},              // not "flow_rate"
      {"flow", 0, 3, FR_DOWN, -1},                               // range too short
      {"flow", 0, 9, FR_DOWN | FR_MATCHCASE, 5},
      {"flow", 0, 8, FR_DOWN | FR_MATCHCASE, -1},                // the match must end inside
      {"flow", 31, 0, 0, 27},                                    // up: the last before 31
      {"flow", 26, 0, FR_WHOLEWORD, 12},
      {"flow", 26, 0, FR_MATCHCASE, 17},
      {"w;\nfl", 0, -1, FR_DOWN, -1},                            // no such text
      {"FLOW\r\nflow", 0, -1, FR_DOWN, 12},                      // line end counts once
      {"", 0, -1, FR_DOWN, -1},
      {"r\xE9te", 0, -1, FR_DOWN, -1},
  };
  for (const Case& c : cases) {
    FINDTEXTEX ft;
    ft.chrg = {c.from, c.to};
    ft.lpstrText = c.what;
    EXPECT_EQ(SendMessage(e, EM_FINDTEXTEX, c.flags, reinterpret_cast<LPARAM>(&ft)), c.expect)
        << c.what << " " << c.from << " " << c.to << " " << c.flags;
    if (c.expect >= 0) {
      EXPECT_EQ(ft.chrgText.cpMin, c.expect);
      EXPECT_GT(ft.chrgText.cpMax, c.expect);
    } else {
      EXPECT_EQ(ft.chrgText.cpMin, -1);
    }
    FINDTEXT plain;
    plain.chrg = ft.chrg;
    plain.lpstrText = c.what;
    EXPECT_EQ(SendMessage(e, EM_FINDTEXT, c.flags, reinterpret_cast<LPARAM>(&plain)), c.expect);
  }
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Caf\xC9 caf\xE9"));
  FINDTEXT ft;
  ft.chrg = {0, -1};
  ft.lpstrText = "caf\xE9";
  EXPECT_EQ(SendMessage(e, EM_FINDTEXT, FR_DOWN, reinterpret_cast<LPARAM>(&ft)), 0);
  EXPECT_EQ(SendMessage(e, EM_FINDTEXT, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&ft)), 5);
}

TEST_F(RichEditTest, PlainTextStreamsInAndOut) {
  HWND e = rich();
  // Every kind of line end arrives as one CR; a NUL reads as a blank; small blocks join.
  Cookie small;
  small.step = 3;
  EXPECT_EQ(streamIn(e, std::string("a\r\nb\nc\rd\0e", 10), SF_TEXT, &small), 9);
  EXPECT_EQ(textOf(e), "a\rb\rc\rd e");
  EXPECT_FALSE(SendMessage(e, EM_CANUNDO, 0, 0));
  EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(streamOut(e), "a\r\nb\r\nc\r\nd e");

  // Into the selection, and the selection out.
  setSel(e, 2, 3);
  streamIn(e, "B1\r\nB2", SF_TEXT | SFF_SELECTION);
  EXPECT_EQ(textOf(e), "a\rB1\rB2\rc\rd e");
  setSel(e, 2, 7);
  EXPECT_EQ(streamOut(e, SF_TEXT | SFF_SELECTION), "B1\r\nB2");

  // A CR LF split between two reads is one line end.
  Cookie pairs;
  pairs.step = 2;
  EXPECT_EQ(streamIn(e, "a\r\nb\r\r\n\nc", SF_TEXT, &pairs), 7);
  EXPECT_EQ(textOf(e), "a\rb\r\r\rc");

  // The limit cuts what comes in, counted in the control's line ends; the owner hears of it
  // just past the limit, not at it. A stream far past it is not read to its end.
  SendMessage(e, EM_EXLIMITTEXT, 0, 4);
  EXPECT_EQ(streamIn(e, "123456"), 4);
  EXPECT_EQ(textOf(e), "1234");
  struct Fill {
    const char* why;
    std::string in;
    const char* kept;
    bool cut;
  };
  const Fill fills[] = {
      {"at the limit", "1\r\n2\r\n", "1\r2\r", false},
      {"one past it", "1\r\n2\r\n3", "1\r2\r", true},
      {"a CR LF past it", "1\r\n23\r\n", "1\r23", true},
  };
  for (const Fill& f : fills) {
    SCOPED_TRACE(f.why);
    ctltest::parent().commands.clear();
    EXPECT_EQ(streamIn(e, f.in), static_cast<LRESULT>(std::strlen(f.kept)));
    EXPECT_EQ(textOf(e), f.kept);
    EXPECT_EQ(ctltest::sent(kId, EN_MAXTEXT), f.cut);
  }
  Cookie far;
  far.step = 4096;
  EXPECT_EQ(streamIn(e, std::string(1 << 20, 'x'), SF_TEXT, &far), 4);
  EXPECT_LT(far.at, std::size_t{1} << 18);
  SendMessage(e, EM_EXLIMITTEXT, 0, 1000);

  // A failing reader: the error comes back and what was read before it stays.
  Cookie failing;
  failing.step = 4;
  failing.failAt = 4;
  failing.failWith = 5;
  DWORD err = 0;
  streamIn(e, "abcdefgh", SF_TEXT, &failing, &err);
  EXPECT_EQ(err, 5u);
  EXPECT_EQ(textOf(e), "abcd");

  // A failing writer stops the stream with its error.
  Cookie out;
  out.failAt = 0;
  out.failWith = 7;
  EDITSTREAM es;
  es.dwCookie = reinterpret_cast<UINT_PTR>(&out);
  es.pfnCallback = writeCb;
  SendMessage(e, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&es));
  EXPECT_EQ(es.dwError, 7u);
  EXPECT_TRUE(out.data.empty());
}

TEST_F(RichEditTest, TenMegabyteTextLoadsSearchesAndComesBackUnchanged) {
  HWND e = rich();
  std::string text;
  text.reserve(10u << 20);
  for (int i = 0; text.size() < (10u << 20); ++i) text += "1987-03-" + std::to_string(i % 28 + 10) + ";12.5;0.3\r\n";
  text += "marker line\r\n";
  const auto lines = static_cast<LONG>(std::count(text.begin(), text.end(), '\n'));
  const auto chars = static_cast<LONG>(text.size()) - lines;
  EXPECT_EQ(streamIn(e, text), chars);
  FINDTEXTEX ft;
  ft.chrg = {0, -1};
  ft.lpstrText = "MARKER";
  EXPECT_EQ(SendMessage(e, EM_FINDTEXTEX, FR_DOWN, reinterpret_cast<LPARAM>(&ft)), chars - 12);
  EXPECT_EQ(ft.chrgText.cpMax, chars - 6);
  SendMessage(e, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&ft.chrgText));
  EXPECT_EQ(SendMessage(e, EM_EXLINEFROMCHAR, 0, ft.chrgText.cpMin), lines - 1);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0) > lines - 40, true);
  EXPECT_TRUE(streamOut(e) == text);
}

// Pages for printing: each call fills one page rectangle with whole lines and hands back where
// the next page starts; measuring and drawing agree; long paragraphs break at blanks.
TEST_F(RichEditTest, FormatRangeFillsPagesWithWholeLines) {
  HWND e = rich();
  std::string text;
  for (int i = 1; i <= 60; ++i) text += "Line " + std::to_string(i) + "\r";
  text += "a long paragraph of words that cannot fit on one line of the narrow page at all";
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  HDC screen = GetDC(top);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bm = CreateCompatibleBitmap(screen, 200, 300);
  HGDIOBJ oldBm = SelectObject(dc, bm);
  RECT white{0, 0, 200, 300};
  FillRect(dc, white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ASSERT_GT(dpi, 0);

  FORMATRANGE fr;
  fr.hdc = fr.hdcTarget = dc;
  fr.rc = RECT{0, 0, 1440 * 150 / dpi, 1440 * 200 / dpi};   // 150 x 200 pixels
  fr.rcPage = fr.rc;
  fr.chrg = {0, -1};
  const LRESULT measured = SendMessage(e, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&fr));
  ASSERT_GT(measured, 0);
  EXPECT_EQ(text[static_cast<std::size_t>(measured) - 1], '\r');   // a page ends after a whole line
  const LRESULT drawn = SendMessage(e, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
  EXPECT_EQ(drawn, measured);
  int dark = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 150; ++x) dark += GetPixel(dc, x, y) != RGB(255, 255, 255);
  EXPECT_GT(dark, 100);
  for (int y = 200; y < 300; ++y) EXPECT_EQ(GetPixel(dc, 100, y), RGB(255, 255, 255)) << "below the page at " << y;

  // Page after page until the end; every page moves on.
  std::vector<LRESULT> starts{0};
  while (starts.back() < static_cast<LRESULT>(text.size()) && starts.size() < 50) {
    fr.chrg = {static_cast<LONG>(starts.back()), -1};
    const LRESULT next = SendMessage(e, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&fr));
    ASSERT_GT(next, starts.back());
    starts.push_back(next);
  }
  EXPECT_EQ(starts.back(), static_cast<LRESULT>(text.size()));
  EXPECT_EQ(starts[1], measured);
  EXPECT_GE(starts.size(), 5u);
  SendMessage(e, EM_FORMATRANGE, FALSE, 0);

  // The long paragraph on a page of its own: the first line ends after a blank.
  const auto para = static_cast<LONG>(text.find("a long"));
  fr.chrg = {para, -1};
  fr.rc.bottom = 1440 * 20 / dpi;   // room for one line
  const LRESULT oneLine = SendMessage(e, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&fr));
  ASSERT_GT(oneLine, para);
  ASSERT_LT(oneLine, static_cast<LRESULT>(text.size()));
  EXPECT_EQ(text[static_cast<std::size_t>(oneLine) - 1], ' ');

  // A picture of a page drawn into the test window, to look at.
  ShowWindow(e, SW_HIDE);
  test::runUntilIdle();
  HDC wdc = GetDC(top);
  fr.hdc = fr.hdcTarget = wdc;
  fr.rc = RECT{1440 * 10 / dpi, 1440 * 10 / dpi, 1440 * 200 / dpi, 1440 * 300 / dpi};
  fr.chrg = {static_cast<LONG>(starts[3]), -1};
  SendMessage(e, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
  ReleaseDC(top, wdc);
  test::savePng(top, ::testing::TempDir() + "richedit_formatrange.png", true);

  SelectObject(dc, oldBm);
  DeleteObject(bm);
  DeleteDC(dc);
  ReleaseDC(top, screen);
}

// Pages carry the formats the control keeps: a red word in red, a bold line wider than the
// same words in the normal weight, a large line taller, a centred and a right-aligned line
// where their alignment puts them, a bulleted paragraph with its mark and its text indented.
TEST_F(RichEditTest, FormatRangeDrawsCharacterAndParagraphFormats) {
  HWND e = rich();
  const std::string text = "Tarn Beck\rTarn Beck\rRED\rBig\rmid\rend\rgauge";
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  auto chars = [&](LONG a, LONG b, DWORD mask, DWORD effects, COLORREF colour = 0, LONG height = 0) {
    SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b);
    CHARFORMAT cf;
    cf.dwMask = mask;
    cf.dwEffects = effects;
    cf.crTextColor = colour;
    cf.yHeight = height;
    SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  };
  auto para = [&](LONG at, DWORD mask, WORD alignment, WORD numbering) {
    SendMessage(e, EM_SETSEL, static_cast<WPARAM>(at), at);
    PARAFORMAT pf;
    pf.dwMask = mask;
    pf.wAlignment = alignment;
    pf.wNumbering = numbering;
    SendMessage(e, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  };
  chars(0, -1, CFM_SIZE, 0, 0, 280);   // 14 points, where bold shows in the strokes
  chars(0, 9, CFM_BOLD, CFE_BOLD);
  chars(20, 23, CFM_COLOR, 0, RGB(255, 0, 0));
  chars(24, 27, CFM_SIZE, 0, 0, 720);   // 36 points
  para(28, PFM_ALIGNMENT, PFA_CENTER, 0);
  para(32, PFM_ALIGNMENT, PFA_RIGHT, 0);
  para(37, PFM_NUMBERING, 0, PFN_BULLET);

  constexpr int W = 400, H = 500;
  HDC screen = GetDC(top);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bm = CreateCompatibleBitmap(screen, W, H);
  HGDIOBJ oldBm = SelectObject(dc, bm);
  RECT white{0, 0, W, H};
  FillRect(dc, white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  FORMATRANGE fr;
  fr.hdc = fr.hdcTarget = dc;
  fr.rc = RECT{0, 0, 1440 * W / dpi, 1440 * H / dpi};
  fr.rcPage = fr.rc;
  fr.chrg = {0, -1};
  EXPECT_EQ(SendMessage(e, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr)), static_cast<LRESULT>(text.size()));
  SendMessage(e, EM_FORMATRANGE, FALSE, 0);

  // The lines as bands of ink from the top: ink count, leftmost and rightmost ink, height.
  struct Band {
    int ink = 0, left = W, right = -1, top = 0, bottom = 0;
    int after = W;   // leftmost ink past an eighth of an inch
    bool red = false;
  };
  std::vector<Band> bands;
  bool inside = false;
  for (int y = 0; y < H; ++y) {
    Band row;
    for (int x = 0; x < W; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (c == RGB(255, 255, 255)) continue;
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 384) ++row.ink;   // dark ink, not the edges' grey
      if (x >= dpi / 8) row.after = std::min(row.after, x);
      row.left = std::min(row.left, x);
      row.right = std::max(row.right, x);
      if (GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90) row.red = true;
    }
    if (row.ink == 0) {
      inside = false;
      continue;
    }
    if (!inside) {
      bands.push_back(Band{0, W, -1, y, y, W, false});
      inside = true;
    }
    Band& b = bands.back();
    b.ink += row.ink;
    b.left = std::min(b.left, row.left);
    b.right = std::max(b.right, row.right);
    b.after = std::min(b.after, row.after);
    b.bottom = y;
    b.red = b.red || row.red;
  }
  ShowWindow(e, SW_HIDE);
  test::runUntilIdle();
  HDC wdc = GetDC(top);
  BitBlt(wdc, 0, 0, W, H, dc, 0, 0, SRCCOPY);
  ReleaseDC(top, wdc);
  test::savePng(top, ::testing::TempDir() + "richedit_formatrange_formats.png", true);
  SelectObject(dc, oldBm);
  DeleteObject(bm);
  DeleteDC(dc);
  ReleaseDC(top, screen);

  ASSERT_EQ(bands.size(), 7u);
  EXPECT_GT(bands[0].ink, bands[1].ink * 6 / 5) << "bold";
  EXPECT_GT(bands[0].right - bands[0].left, bands[1].right - bands[1].left) << "bold is wider";
  EXPECT_TRUE(bands[2].red);
  EXPECT_FALSE(bands[1].red);
  EXPECT_GT(bands[3].bottom - bands[3].top, 2 * (bands[1].bottom - bands[1].top)) << "36 points";
  const int mid = (bands[4].left + bands[4].right) / 2;
  EXPECT_NEAR(mid, W / 2, W / 10) << "centred";
  EXPECT_GT(bands[5].right, W - W / 10) << "right-aligned";
  EXPECT_GT(bands[5].left, W / 2);
  EXPECT_LT(bands[1].left, 5) << "left";
  EXPECT_LT(bands[6].left, dpi / 8) << "the bullet's mark";
  EXPECT_GE(bands[6].after, dpi / 4 - 1) << "the text after the bullet's room";
}

// Was: the control had no overwrite mode, so Insert changed nothing.
TEST_F(RichEditTest, InsertSwitchesTypingToOverwrite) {
  HWND e = rich();
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc\r\ndef"));
  setSel(e, 1, 1);
  test::pressKey(VK_INSERT);
  test::typeText("XY");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "aXY\rdef") << "each character replaces the one after the caret";
  test::typeText("Z");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "aXYZ\rdef") << "at a line end it is inserted";
  test::pressKey('Z', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "abc\rdef") << "the typed run is one step of undo";
  setSel(e, 4, 6);
  test::typeText("Q");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "abc\rQf") << "a selection is replaced as in insert mode";
  setSel(e, 6, 6);
  test::typeText("!");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "abc\rQf!") << "at the end of the text it is inserted";
  test::pressKey(VK_INSERT);
  setSel(e, 0, 0);
  test::typeText("1");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "1abc\rQf!") << "Insert again: typing inserts";
  // Insert with Ctrl copies and with Shift pastes; neither switches the mode.
  setSel(e, 0, 1);
  test::pressKey(VK_INSERT, test::kCtrl);
  test::runUntilIdle();
  setSel(e, 1, 1);
  test::pressKey(VK_INSERT, test::kShift);
  test::typeText("2");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "112abc\rQf!");
}

LONG replaceAll(HWND e, const char* find, const char* by, WPARAM flags, CHARRANGE range = {0, -1}) {
  REPLACEALLTEXT ra;
  ra.chrg = range;
  ra.lpstrFind = find;
  ra.lpstrReplace = by;
  return static_cast<LONG>(SendMessage(e, EM_REPLACEALLTEXT, flags, reinterpret_cast<LPARAM>(&ra)));
}

TEST_F(RichEditTest, ReplaceAllAsOneUndoableChange) {
  struct Case {
    const char* why;
    const char* text;
    const char* find;
    const char* by;
    WPARAM flags;
    CHARRANGE range;
    const char* want;
    LONG count;
  };
  const Case cases[] = {
      {"case folded", "Gauge gauge GAUGE caf\xC9", "gauge", "x", 0, {0, -1}, "x x x caf\xC9", 3},
      {"case folded beyond ASCII", "caf\xC9 caf\xE9", "caf\xE9", "bar", 0, {0, -1}, "bar bar", 2},
      {"match case", "Gauge gauge GAUGE", "gauge", "x", FR_MATCHCASE, {0, -1}, "Gauge x GAUGE", 1},
      {"whole words", "gauge gauges gauge_1 gauge", "gauge", "x", FR_WHOLEWORD, {0, -1}, "x gauges gauge_1 x", 2},
      {"a replacement is not searched again", "aa", "a", "ab", 0, {0, -1}, "abab", 2},
      {"whole words beside a replacement: the text as it is then", ".a.a", ".a", ".", FR_WHOLEWORD, {0, -1}, "..", 2},
      {"shorter, across line ends", "ab\r\nab\r\n", "b\r\n", "", 0, {0, -1}, "aa", 2},
      {"only inside the range", "x x x x", "x", "y", 0, {2, 5}, "x y y x", 2},
      {"no match", "nothing", "gauge", "x", 0, {0, -1}, "nothing", 0},
      {"an empty find text", "nothing", "", "x", 0, {0, -1}, "nothing", 0},
  };
  HWND e = rich();
  SendMessage(e, EM_SETEVENTMASK, 0, ENM_SELCHANGE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
    const std::string before = textOf(e);
    ctltest::parent().commands.clear();
    selChanges().clear();
    EXPECT_EQ(replaceAll(e, c.find, c.by, c.flags, c.range), c.count);
    EXPECT_EQ(textOf(e), c.want);
    const std::vector<int> codes = ctltest::codesFrom(kId);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_CHANGE), c.count > 0 ? 1 : 0) << "one change";
    if (c.count == 0) continue;
    EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(selChanges().size(), 1u);
    SendMessage(e, EM_UNDO, 0, 0);
    EXPECT_EQ(textOf(e), before) << "one undo takes all of it back";
  }
  // The caret ends after the last replacement.
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a1 a2 a3 b"));
  EXPECT_EQ(replaceAll(e, "a", "zz", 0), 3);
  EXPECT_EQ(selOf(e).cpMin, 10);
  EXPECT_EQ(selOf(e).cpMax, 10);
  // A followed position (a bookmark) moves with the text before it; inside a match it stays
  // inside the replacement.
  struct Follow {
    const char* why;
    const char* by;
    LONG from, to;
  };
  const Follow follows[] = {
      {"at a match: after the longer ones before it", "xyz", 3, 4},
      {"inside a match: inside its replacement", "xyz", 4, 5},
      {"at the end: after all of them", "xyz", 8, 11},
      {"inside a match that goes: where it was", "", 4, 1},
      {"before every match", "xyz", 0, 0},
  };
  for (const Follow& f : follows) {
    SCOPED_TRACE(f.why);
    SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab ab ab"));
    REPLACEALLTEXT ra;
    ra.lpstrFind = "ab";
    ra.lpstrReplace = f.by;
    ra.cpFollow = f.from;
    EXPECT_EQ(SendMessage(e, EM_REPLACEALLTEXT, 0, reinterpret_cast<LPARAM>(&ra)), 3);
    EXPECT_EQ(ra.cpFollow, f.to);
  }
  // The text limit holds: replacements that would pass it are left out.
  SendMessage(e, EM_EXLIMITTEXT, 0, 10);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a a a a"));
  EXPECT_EQ(replaceAll(e, "a", "bb", 0), 3);
  EXPECT_EQ(textOf(e), "bb bb bb a");
}

}  // namespace
