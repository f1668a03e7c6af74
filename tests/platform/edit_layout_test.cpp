// The lines the edit and rich-edit controls keep between calls: after every change (typing,
// deleting across paragraphs, formats, pastes of several paragraphs, new widths, undo and
// redo, Replace All) they are exactly what laying out the whole text from nothing gives, and
// the positions the controls report come from them. On lines far longer than the view, the
// places the controls report and the pixels they paint are those they give measuring every
// place from its line's start and drawing whole lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/edit.h"
#include "platform/edit_formatter.h"
#include "platform/richedit.h"
#include "platform/test_api.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;
using ctltest::textOf;

namespace {

// A small generator of our own, so that the sequence of edits is the same everywhere.
struct Random {
  std::uint64_t s;
  int below(int n) {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return n <= 0 ? 0 : static_cast<int>((s >> 33) % static_cast<std::uint64_t>(n));
  }
};

std::string words(Random& r, int n, bool crlf) {
  static const char* const kWords[] = {"Tarn", "Beck", "flow", "12.5", "rain", "\t", "a", "gauge", "discharge",
                                       "1987-03-14;0.3", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "  "};
  std::string out;
  for (int k = 0; k < n; ++k) {
    const int w = r.below(20);
    if (w < 12) out += kWords[w];
    else if (w < 14) out += crlf && r.below(2) ? "\r\n" : "\r";
    else if (w == 14 && crlf) out += "\n";
    if (r.below(3) != 0) out += ' ';
  }
  return out;
}

class KeptLayout : public ctltest::Fixture {
 protected:
  void check(HWND e, const char* what, int step) {
    const std::vector<editx::LineInfo> kept = editx::keptLines(e);
    const std::vector<editx::LineInfo> fresh = editx::freshLines(e);
    ASSERT_EQ(kept.size(), fresh.size()) << what << " at step " << step;
    for (std::size_t k = 0; k < kept.size(); ++k) {
      ASSERT_EQ(kept[k], fresh[k]) << what << " at step " << step << ", line " << k << " of " << kept.size()
                                   << ": kept " << kept[k].start << "-" << kept[k].end << "/" << kept[k].next << " w"
                                   << kept[k].width << ", fresh " << fresh[k].start << "-" << fresh[k].end << "/"
                                   << fresh[k].next << " w" << fresh[k].width;
    }
  }
  void select(HWND e, int a, int b) { SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b); }
  // Up to span characters from a random place made bold or italic, in one of sizes sizes.
  void formatSome(HWND e, Random& r, int span, int sizes) {
    const int a = r.below(GetWindowTextLength(e) + 1);
    select(e, a, a + r.below(span));
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD | CFM_SIZE | CFM_ITALIC;
    cf.dwEffects = r.below(2) ? CFE_BOLD : CFE_ITALIC;
    cf.yHeight = 160 + 40 * r.below(sizes);
    SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  }
};

struct Case {
  const char* why;
  const char* cls;
  DWORD style;
  bool formatted;   // the text starts with formats (bold words, a larger size, indents)
};

constexpr Case kCases[] = {
    {"rich text, wrapped, formatted", "RichEdit20A", ES_MULTILINE | ES_AUTOVSCROLL, true},
    {"rich text, wrapped, plain", "RichEdit20A", ES_MULTILINE | ES_AUTOVSCROLL, false},
    {"rich text, long lines, formatted", "RichEdit20A", ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, true},
    {"edit, wrapped, CR LF and lone breaks", "Edit", ES_MULTILINE | ES_AUTOVSCROLL, false},
    {"edit, centred, long lines", "Edit", ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_CENTER, false},
};

TEST_F(KeptLayout, EqualsAFreshLayoutAfterEveryRandomEdit) {
  RegisterRichEditClasses();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    const bool rich = std::string(c.cls) != "Edit";
    HWND e = make(c.cls, WS_VSCROLL | c.style, 10, 10, 260, 200, 1002);
    if (rich) SendMessage(e, EM_EXLIMITTEXT, 0, 1 << 20);
    else SendMessage(e, EM_LIMITTEXT, 1 << 20, 0);
    Random r{rich ? 47u : 4711u};
    SetWindowText(e, words(r, 300, !rich).c_str());
    if (c.formatted) {
      for (int k = 0; k < 30; ++k) {
        const int n = GetWindowTextLength(e);
        const int a = r.below(n);
        select(e, a, a + r.below(40));
        CHARFORMAT cf;
        cf.dwMask = CFM_BOLD | CFM_SIZE;
        cf.dwEffects = r.below(2) ? CFE_BOLD : 0;
        cf.yHeight = 160 + 40 * r.below(8);
        SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      }
    }
    check(e, "loaded", 0);
    for (int step = 1; step <= 700; ++step) {
      const int n = GetWindowTextLength(e);
      const int kind = r.below(rich ? 11 : 8);
      const char* what = "";
      switch (kind) {
        case 0: case 1: case 2: {
          what = "typing";
          const int at = r.below(n + 1);
          select(e, at, at);
          const int count = 1 + r.below(6);
          for (int k = 0; k < count; ++k) {
            const int ch = r.below(12);
            SendMessage(e, WM_CHAR, ch == 0 ? '\r' : ch == 1 ? ' ' : static_cast<WPARAM>('a' + ch), 0);
          }
          break;
        }
        case 3: {
          what = "deleting across paragraphs";
          const int a = r.below(n + 1);
          select(e, a, a + r.below(120));
          SendMessage(e, WM_CLEAR, 0, 0);
          break;
        }
        case 4: {
          what = "Backspace and Delete";
          const int at = r.below(n + 1);
          select(e, at, at);
          SendMessage(e, WM_KEYDOWN, VK_DELETE, 0);
          SendMessage(e, WM_CHAR, 0x08, 0);
          break;
        }
        case 5: {
          what = "pasting several paragraphs";
          const int a = r.below(n + 1);
          select(e, a, a + r.below(10));
          const std::string piece = words(r, 1 + r.below(40), !rich);
          SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(piece.c_str()));
          break;
        }
        case 6: {
          what = "a new width";
          MoveWindow(e, 10, 10, 40 + r.below(400), 200, TRUE);
          break;
        }
        case 7: {
          what = "undo";
          SendMessage(e, EM_UNDO, 0, 0);
          break;
        }
        case 8: {
          what = "a character format";
          formatSome(e, r, 200, 10);
          break;
        }
        case 9: {
          what = "a paragraph format";
          const int a = r.below(n + 1);
          select(e, a, a + r.below(200));
          PARAFORMAT pf;
          pf.dwMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_ALIGNMENT | PFM_NUMBERING;
          pf.dxStartIndent = 144 * r.below(6);
          pf.dxRightIndent = 144 * r.below(4);
          pf.wAlignment = static_cast<WORD>(1 + r.below(3));
          pf.wNumbering = r.below(3) == 0 ? PFN_BULLET : 0;
          SendMessage(e, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
          break;
        }
        case 10: {
          if (r.below(2)) {
            what = "redo";
            SendMessage(e, EM_REDO, 0, 0);
          } else {
            what = "Replace All";
            REPLACEALLTEXT ra;
            ra.lpstrFind = r.below(2) ? "a" : " ";
            ra.lpstrReplace = r.below(2) ? "\r" : "xyz ";
            SendMessage(e, EM_REPLACEALLTEXT, 0, reinterpret_cast<LPARAM>(&ra));
          }
          break;
        }
        default:
          break;
      }
      check(e, what, step);
      if (HasFatalFailure()) return;
      // Keep the text within a few thousand characters.
      if (GetWindowTextLength(e) > 6000) {
        select(e, 0, 3000);
        SendMessage(e, WM_CLEAR, 0, 0);
      }
    }
    DestroyWindow(e);
  }
}

// The queries answer from the kept lines: each line's index, length and place, the line of
// each position, and the position at each line's first character.
TEST_F(KeptLayout, QueriesAgreeWithTheLines) {
  RegisterRichEditClasses();
  HWND e = make(RICHEDIT_CLASS, WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 10, 10, 200, 300, 1002);
  Random r{7};
  SetWindowText(e, words(r, 200, false).c_str());
  select(e, 40, 60);
  CHARFORMAT cf;
  cf.dwMask = CFM_SIZE;
  cf.yHeight = 400;
  SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  const std::vector<editx::LineInfo> lines = editx::keptLines(e);
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), static_cast<LRESULT>(lines.size()));
  const int height = HIWORD(SendMessage(e, EM_POSFROMCHAR, lines[1].start, 0)) - HIWORD(SendMessage(e, EM_POSFROMCHAR, lines[0].start, 0));
  ASSERT_GT(height, 0);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, k, 0), lines[k].start);
    EXPECT_EQ(SendMessage(e, EM_LINELENGTH, static_cast<WPARAM>(lines[k].start), 0), lines[k].end - lines[k].start);
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, static_cast<WPARAM>(lines[k].start), 0), static_cast<LRESULT>(k));
    if (lines[k].end > lines[k].start)
      EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, static_cast<WPARAM>(lines[k].end - 1), 0), static_cast<LRESULT>(k));
    if (k < 8) {
      const LRESULT p = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(lines[k].start), 0);
      EXPECT_EQ(static_cast<int>(HIWORD(p)) - static_cast<int>(HIWORD(SendMessage(e, EM_POSFROMCHAR, lines[0].start, 0))),
                static_cast<int>(k) * height);
      // The character at a line's first position is that position.
      const LRESULT c = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(LOWORD(p), HIWORD(p) + 1));
      EXPECT_EQ(LOWORD(c), lines[k].start);
      EXPECT_EQ(HIWORD(c), k);
    }
  }
  EXPECT_EQ(editx::keptLines(e), editx::freshLines(e));
}

// Lines of thousands of characters (words, tabs, a few very long ones) between line breaks.
std::string longLines(Random& r, int lines, const char* lineBreak) {
  static const char* const kWords[] = {"Tarn", "Beck", "flow", "12.5", "\t", "gauge", "discharge", "Wy", "1987-03-14;0.3",
                                       "\t\t", "fi", "W"};
  std::string out;
  for (int k = 0; k < lines; ++k) {
    const int length = r.below(4) == 0 ? r.below(60) : 9000 + r.below(16000);
    const std::size_t start = out.size();
    while (out.size() - start < static_cast<std::size_t>(length)) {
      out += kWords[r.below(12)];
      if (r.below(3) != 0) out += ' ';
    }
    if (k + 1 < lines) out += lineBreak;
  }
  return out;
}

struct Look {
  std::vector<COLORREF> pixels;
  std::vector<LRESULT> places;   // EM_POSFROMCHAR of sample positions, then EM_CHARFROMPOS of sample points
};

// What the control shows and reports: painted afresh, the places of the positions and the
// characters at a grid of points over its client area.
Look lookOf(HWND e, const std::vector<int>& positions) {
  Look look;
  InvalidateRect(e, nullptr, TRUE);
  UpdateWindow(e);
  int w = 0, h = 0;
  look.pixels = test::pixels(e, true, w, h);
  for (const int i : positions) look.places.push_back(SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0));
  for (int y = 2; y < h; y += 9)
    for (int x = -3; x < w + 3; x += 7) look.places.push_back(SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(x, y)));
  return look;
}

TEST_F(KeptLayout, LongLinesPlaceAndPaintAsMeasuredFromTheirStarts) {
  RegisterRichEditClasses();
  struct LongCase {
    const char* why;
    const char* cls;
    DWORD style;
    std::vector<int> tabStops;   // dialog units; none: every 8 average characters
  };
  const DWORD noWrap = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL;
  const LongCase cases[] = {
      {"rich text in bold, italic and sizes", "RichEdit20A", noWrap, {}},
      {"edit, tabs every 8 characters", "Edit", noWrap, {}},
      {"edit, centred, two tab stops and then every 8 characters", "Edit", noWrap | ES_CENTER, {30, 70}},
      {"edit, one tab stop: every 24 units", "Edit", noWrap | ES_RIGHT, {24}},
      {"edit, a single line", "Edit", ES_AUTOHSCROLL, {}},
      {"edit, a single line of a password", "Edit", ES_AUTOHSCROLL | ES_PASSWORD, {}},
  };
  for (const LongCase& c : cases) {
    SCOPED_TRACE(c.why);
    const bool rich = std::string(c.cls) != "Edit";
    const bool multi = (c.style & ES_MULTILINE) != 0;
    HWND e = make(c.cls, c.style, 10, 10, 300, 110, 1002);
    if (rich) SendMessage(e, EM_EXLIMITTEXT, 0, 1 << 22);
    else SendMessage(e, EM_LIMITTEXT, 0, 0);
    if (!c.tabStops.empty())
      SendMessage(e, EM_SETTABSTOPS, c.tabStops.size(), reinterpret_cast<LPARAM>(c.tabStops.data()));
    Random r{rich ? 53u : 5300u + c.style};
    SetWindowText(e, longLines(r, multi ? 7 : 1, rich ? "\r" : "\r\n").c_str());
    SetFocus(e);
    if (rich)
      for (int k = 0; k < 60; ++k) formatSome(e, r, 300, 8);
    for (int step = 0; step < 36; ++step) {
      const int n = GetWindowTextLength(e);
      const int at = r.below(n + 1);
      const char* what = "";
      switch (r.below(7)) {
        case 0: case 1: {
          what = "typing";
          select(e, at, at);
          for (int k = 0, count = 1 + r.below(5); k < count; ++k) {
            const int ch = r.below(14);
            SendMessage(e, WM_CHAR, ch == 0 ? '\t' : ch == 1 && r.below(4) == 0 ? '\r' : static_cast<WPARAM>('a' + ch), 0);
          }
          break;
        }
        case 2:
          what = "deleting";
          select(e, at, at + r.below(r.below(4) == 0 ? 9000 : 40));
          SendMessage(e, WM_CLEAR, 0, 0);
          break;
        case 3: {
          what = "pasting";
          select(e, at, at + r.below(10));
          const std::string piece = r.below(2) ? longLines(r, 2, rich ? "\r" : "\r\n") : words(r, 8, !rich);
          SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(piece.c_str()));
          break;
        }
        case 4:
          what = "undo";
          SendMessage(e, EM_UNDO, 0, 0);
          break;
        case 5:
          what = "scrolling";
          SendMessage(e, EM_LINESCROLL, static_cast<WPARAM>(r.below(400) - 200), r.below(3) - 1);
          break;
        default:
          if (rich) {
            what = "a character format";
            formatSome(e, r, 500, 10);
          } else {
            what = "End and Home";
            select(e, at, at);
            SendMessage(e, WM_KEYDOWN, r.below(2) ? VK_END : VK_HOME, 0);
          }
          break;
      }
      // A selection somewhere along a line, the view scrolled to its end.
      const int len = GetWindowTextLength(e);
      const int a = r.below(len + 1);
      if (r.below(3) != 0) select(e, a, std::min(len, a + r.below(60)));
      std::vector<int> positions{0, len};
      for (int k = 0; k < 24; ++k) positions.push_back(std::min(len, a - 200 + r.below(400)));
      for (int k = 0; k < 8; ++k) positions.push_back(r.below(len + 1));
      const Look kept = lookOf(e, positions);
      editx::measureFromLineStarts(e, true);
      const Look fresh = lookOf(e, positions);
      const std::vector<editx::LineInfo> freshLines = editx::freshLines(e);
      editx::measureFromLineStarts(e, false);
      SCOPED_TRACE(testing::Message() << what << " at step " << step);
      ASSERT_EQ(editx::keptLines(e), freshLines);
      ASSERT_EQ(kept.places, fresh.places);
      ASSERT_EQ(kept.pixels.size(), fresh.pixels.size());
      std::size_t differ = 0;
      for (std::size_t k = 0; k < kept.pixels.size(); ++k) differ += kept.pixels[k] != fresh.pixels[k] ? 1 : 0;
      ASSERT_EQ(differ, 0u) << "pixels that differ";
    }
    DestroyWindow(e);
  }
}

}  // namespace
