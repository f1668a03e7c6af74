// platform/edit.cpp: the EDIT control class: single- and multi-line text entry (left, centred
// or right aligned, read-only, password, digits only, upper or lower case), selection by keys
// and mouse, one level of undo, cut, copy and paste through the clipboard store, and a caret
// drawn by the control itself (steady, so that pictures of it are reproducible).
//
// Invariants: (1) 0 <= anchor, caret <= text length, and a caret never sits inside a CR LF;
// (2) every position the control reports comes from layout() and xOf(), which paint() uses
// too; (3) the parent may destroy the control in any notification, so nothing touches the
// control's record after notify() without checking IsWindow.
// Sections (grep "[SECTION]"): record | layout | editing | clipboard and undo | painting |
//   keys and mouse | window procedure
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control_records.h"
#include "platform/clipboard.h"
#include "platform/dialog_internal.h"
#include "platform/edit.h"
#include "platform/edit_formatter.h"

namespace win {
namespace {

// The one caret: the focused edit owns it; HideCaret counts against it.
HWND gCaretOwner = nullptr;
int gCaretHidden = 0;

//------------------------------------------------------------------------------
// [SECTION] Record
//------------------------------------------------------------------------------
struct EditData {
  std::string text;
  int anchor = 0;   // the fixed end of the selection
  int caret = 0;    // the moving end, where the caret is drawn
  UINT limit = kEditDefaultLimit;
  bool modified = false;
  char password = 0;
  // One level of undo: the text and selection before the last change; undoing swaps them in,
  // so that a second undo takes the change back again.
  std::string undoText;
  int undoAnchor = 0, undoCaret = 0;
  bool canUndo = false;
  bool typing = false;   // the last change was a typed character; the next one joins it
  bool overwrite = false;   // a typed character replaces the one after the caret
  int firstLine = 0;     // multi-line: first line shown
  int xOffset = 0;       // pixels scrolled to the left
  int leftMargin = 2, rightMargin = 2;
  bool ownRect = false;  // EM_SETRECT gave the formatting rectangle
  RECT rect;
  std::vector<int> tabStops;   // pixels; empty: every 8 average characters
  HFONT font = nullptr;
  bool focused = false;
  bool tracking = false;
  editx::Formatter* formatter = nullptr;   // the rich-edit control's formats, or none
  bool scrollBar = false;   // created with WS_VSCROLL (the bar hides while nothing scrolls)
  mutable std::string masked;   // a password control's text as drawn, made by layout()
};

ControlRecords<EditData>& edits() {
  static ControlRecords<EditData> records;
  return records;
}

EditData* rec(HWND h) { return edits().find(h); }

bool multiLine(HWND h) { return (styleOf(h) & ES_MULTILINE) != 0; }

void notify(HWND h, WORD code) { notifyCommand(h, code); }

// A memory DC with the control's font, for measuring outside painting.
class Measure {
 public:
  explicit Measure(HWND h) : dc_(CreateCompatibleDC(nullptr)) { old_ = SelectObject(dc_, dlg::fontOf(h)); }
  ~Measure() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

//------------------------------------------------------------------------------
// [SECTION] Layout
//------------------------------------------------------------------------------
// A line shows the characters [start, end); the next line starts at next (after the line
// break, or at the same place after a soft break).
struct Line {
  int start = 0, end = 0, next = 0;
};

struct Layout {
  RECT fr;              // formatting rectangle
  int lineHeight = 13;
  int avgChar = 6;
  std::vector<Line> lines;
  std::string_view shown;   // the text as drawn (its own or its password mask), while it stands
};

RECT formatRect(HWND h, const EditData& d) {
  if (d.ownRect) return d.rect;
  RECT c;
  GetClientRect(h, c);
  RECT r{c.left + d.leftMargin, c.top + 1, c.right - d.rightMargin, c.bottom - 1};
  if (r.bottom < r.top) r.bottom = r.top;
  if (r.right < r.left) r.right = r.left;
  return r;
}

int breakLength(std::string_view s, int i) {
  if (i >= static_cast<int>(s.size())) return 0;
  if (s[static_cast<std::size_t>(i)] == '\r')
    return i + 1 < static_cast<int>(s.size()) && s[static_cast<std::size_t>(i) + 1] == '\n' ? 2 : 1;
  return s[static_cast<std::size_t>(i)] == '\n' ? 1 : 0;
}

// Whether the text is measured and drawn in the formatter's formats.
bool formatted(const EditData& d) { return d.formatter && !d.password && d.formatter->active(); }

// Width of s (the text from position at, -1: no position) drawn from x = 0; a multi-line
// control expands tabs to its tab stops.
int extent(HDC dc, const EditData& d, bool multi, int avgChar, std::string_view s, int at = -1) {
  int x = 0;
  std::size_t from = 0;
  while (from <= s.size()) {
    const std::size_t tab = multi ? s.find('\t', from) : std::string_view::npos;
    const std::size_t to = tab == std::string_view::npos ? s.size() : tab;
    if (to > from) {
      SIZE sz;
      if (at >= 0 && formatted(d))
        x += d.formatter->measure(dc, at + static_cast<int>(from), s.data() + from, static_cast<int>(to - from));
      else if (GetTextExtentPoint32(dc, s.data() + from, static_cast<int>(to - from), sz))
        x += sz.cx;
    }
    if (tab == std::string_view::npos) break;
    x = nextTabStop(d.tabStops, x, avgChar);
    from = tab + 1;
  }
  return x;
}

// Widths of the characters of an unformatted text, each measured once: advances are whole
// pixels that add up, so a run's width is the sum of its characters' and wrapping a long
// text costs one look-up a character instead of measuring every prefix of every line.
struct CharWidths {
  HDC dc;
  int width[256] = {};
  bool known[256] = {};
  int of(unsigned char c) {
    if (!known[c]) {
      SIZE sz;
      const char ch = static_cast<char>(c);
      width[c] = GetTextExtentPoint32(dc, &ch, 1, sz) ? sz.cx : 0;
      known[c] = true;
    }
    return width[c];
  }
};

// The end of the longest run from start (at most to pe) whose width is within width, in
// one walk; extent() of that run gives the same width.
int fittingEnd(CharWidths& cw, const EditData& d, int avgChar, int start, int pe, int width) {
  int x = 0, i = start;
  while (i < pe) {
    const char c = d.text[static_cast<std::size_t>(i)];
    const int next = c == '\t' ? nextTabStop(d.tabStops, x, avgChar) : x + cw.of(static_cast<unsigned char>(c));
    if (next > width) break;
    x = next;
    ++i;
  }
  return i;
}

Layout layout(HWND h, HDC dc, const EditData& d) {
  Layout l;
  l.fr = formatRect(h, d);
  TEXTMETRIC tm;
  if (GetTextMetrics(dc, tm)) {
    if (tm.tmHeight > 0) l.lineHeight = tm.tmHeight;
    if (formatted(d)) l.lineHeight = d.formatter->lineHeight(dc, l.lineHeight);
    if (tm.tmAveCharWidth > 0) l.avgChar = tm.tmAveCharWidth;
  }
  // A view, not a copy: a layout is made for every caret move, and texts run to megabytes.
  if (d.password) {
    d.masked.assign(d.text.size(), d.password);
    l.shown = d.masked;
  } else {
    l.shown = d.text;
  }
  const int n = static_cast<int>(d.text.size());
  const DWORD style = styleOf(h);
  if (!(style & ES_MULTILINE)) {
    l.lines.push_back(Line{0, n, n});
    return l;
  }
  const bool wrap = !(style & ES_AUTOHSCROLL);
  const bool fmt = formatted(d);
  CharWidths cw{dc};
  // One line at least for every line end: room made once, not grown and copied again and
  // again on a text of millions of lines.
  l.lines.reserve(static_cast<std::size_t>(std::count(d.text.begin(), d.text.end(), '\n') +
                                           std::count(d.text.begin(), d.text.end(), '\r')) + 1);
  int pos = 0;
  while (true) {
    int pe = pos;
    while (pe < n && breakLength(d.text, pe) == 0) ++pe;
    const int brk = breakLength(d.text, pe);
    int start = pos;
    int width = l.fr.right - l.fr.left;
    if (fmt && wrap) {
      int left = 0, right = 0, align = 0;
      d.formatter->paragraph(d.text, pos, left, right, align);
      width = std::max(1, width - left - right);
    }
    while (wrap && !fmt && start < pe) {
      const int end = fittingEnd(cw, d, l.avgChar, start, pe, width);
      if (end == pe) break;
      // Broken after the last blank that fits (at a character when a word is wider than the
      // line), at least one character a line.
      const int fit = std::max(start + 1, end);
      int cut = fit;
      while (cut > start && d.text[static_cast<std::size_t>(cut) - 1] != ' ') --cut;
      if (cut == start) cut = fit;
      while (cut < pe && d.text[static_cast<std::size_t>(cut)] == ' ') ++cut;
      l.lines.push_back(Line{start, cut, cut});
      start = cut;
    }
    while (wrap && fmt && start < pe &&
           extent(dc, d, true, l.avgChar, std::string_view(d.text).substr(static_cast<std::size_t>(start),
                                                                         static_cast<std::size_t>(pe - start)), start) > width) {
      // The longest part that fits, broken after its last blank (at a character when a
      // word is wider than the line).
      int fit = start + 1;
      while (fit < pe && extent(dc, d, true, l.avgChar,
                                std::string_view(d.text).substr(static_cast<std::size_t>(start),
                                                                static_cast<std::size_t>(fit + 1 - start)), start) <= width)
        ++fit;
      int cut = fit;
      while (cut > start && d.text[static_cast<std::size_t>(cut) - 1] != ' ') --cut;
      if (cut == start) cut = fit;
      while (cut < pe && d.text[static_cast<std::size_t>(cut)] == ' ') ++cut;
      l.lines.push_back(Line{start, cut, cut});
      start = cut;
    }
    l.lines.push_back(Line{start, pe, pe + brk});
    if (brk == 0) break;
    pos = pe + brk;
  }
  return l;
}

int lineOf(const Layout& l, int index) {
  for (std::size_t k = 0; k < l.lines.size(); ++k) {
    const Line& ln = l.lines[k];
    // A soft break's position belongs to the line after it.
    if (index < ln.next || k + 1 == l.lines.size()) return static_cast<int>(k);
  }
  return 0;
}

int lineWidth(HDC dc, const EditData& d, bool multi, const Layout& l, const Line& ln) {
  return extent(dc, d, multi, l.avgChar,
                std::string_view(l.shown).substr(static_cast<std::size_t>(ln.start), static_cast<std::size_t>(ln.end - ln.start)),
                ln.start);
}

// Left end of a line on the screen: aligned in the formatting rectangle while it fits,
// else scrolled.
int lineX(HWND h, HDC dc, const EditData& d, const Layout& l, const Line& ln) {
  int width = l.fr.right - l.fr.left;
  int left = 0;
  DWORD align = styleOf(h) & (ES_CENTER | ES_RIGHT);
  if (formatted(d) && multiLine(h)) {
    // The paragraph's indents and alignment.
    int right = 0, a = 0;
    d.formatter->paragraph(d.text, ln.start, left, right, a);
    width = std::max(1, width - left - right);
    align = a == 1 ? ES_CENTER : a == 2 ? ES_RIGHT : ES_LEFT;
    width = std::max(1, width - 1);   // room for the caret after a right-aligned line's end
  }
  const int lw = lineWidth(dc, d, multiLine(h), l, ln);
  if (lw > width || align == ES_LEFT) return l.fr.left + left - d.xOffset;
  if (align == ES_RIGHT) return l.fr.left + left + width - lw - d.xOffset;
  return l.fr.left + left + (width - lw) / 2 - d.xOffset;
}

POINT posOf(HWND h, HDC dc, const EditData& d, const Layout& l, int index) {
  const int k = lineOf(l, index);
  const Line& ln = l.lines[static_cast<std::size_t>(k)];
  const int at = std::clamp(index, ln.start, ln.end);
  const int x = lineX(h, dc, d, l, ln) +
                extent(dc, d, multiLine(h), l.avgChar,
                       std::string_view(l.shown).substr(static_cast<std::size_t>(ln.start), static_cast<std::size_t>(at - ln.start)),
                       ln.start);
  return POINT{x, l.fr.top + (k - d.firstLine) * l.lineHeight};
}

// The character boundary nearest to a point; line out: the line it is on.
int indexAt(HWND h, HDC dc, const EditData& d, const Layout& l, POINT p, int* lineOut = nullptr) {
  int k = d.firstLine + (p.y >= l.fr.top ? (p.y - l.fr.top) / l.lineHeight : -1);
  k = std::clamp(k, 0, static_cast<int>(l.lines.size()) - 1);
  if (lineOut) *lineOut = k;
  const Line& ln = l.lines[static_cast<std::size_t>(k)];
  const int x0 = lineX(h, dc, d, l, ln);
  int prev = x0;
  for (int i = ln.start; i < ln.end; ++i) {
    const int x = x0 + extent(dc, d, multiLine(h), l.avgChar,
                              std::string_view(l.shown).substr(static_cast<std::size_t>(ln.start),
                                                               static_cast<std::size_t>(i + 1 - ln.start)),
                              ln.start);
    if (p.x < (prev + x + 1) / 2) return i;
    prev = x;
  }
  return ln.end;
}

int visibleLines(const Layout& l) { return std::max(1, static_cast<int>(l.fr.bottom - l.fr.top) / l.lineHeight); }

void updateScrollBars(HWND h, const EditData& d, const Layout& l) {
  if (!d.scrollBar || !(styleOf(h) & ES_MULTILINE)) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = static_cast<int>(l.lines.size()) - 1;
  si.nPage = static_cast<UINT>(visibleLines(l));
  si.nPos = d.firstLine;
  SetScrollInfo(h, SB_VERT, si, TRUE);
}

// Scrolls so that the caret shows.
void showCaret(HWND h, EditData& d) {
  Measure m(h);
  const Layout l = layout(h, m.dc(), d);
  const bool multi = multiLine(h);
  if (multi) {
    const int k = lineOf(l, d.caret);
    const int vis = visibleLines(l);
    if (k < d.firstLine) d.firstLine = k;
    else if (k >= d.firstLine + vis) d.firstLine = k - vis + 1;
    d.firstLine = std::clamp(d.firstLine, 0, std::max(0, static_cast<int>(l.lines.size()) - 1));
  }
  const int width = l.fr.right - l.fr.left;
  const Line& ln = l.lines[static_cast<std::size_t>(lineOf(l, d.caret))];
  const int lw = lineWidth(m.dc(), d, multi, l, ln);
  if (lw <= width && !multi) {
    d.xOffset = 0;
  } else {
    const int saved = d.xOffset;
    d.xOffset = 0;
    const int cx = posOf(h, m.dc(), d, l, d.caret).x - l.fr.left;
    d.xOffset = saved;
    // A jump of a quarter of the width, so that typing does not scroll at every character.
    // The caret at the formatting rectangle's right edge shows: a right-aligned line that
    // fits ends there.
    if (cx < d.xOffset) d.xOffset = std::max(0, cx - width / 4);
    else if (cx > d.xOffset + width) d.xOffset = cx - width + 1 + width / 4;
    if (!multi) d.xOffset = std::min(d.xOffset, std::max(0, lw - width + 1));
  }
  updateScrollBars(h, d, l);
}

void redraw(HWND h) { InvalidateRect(h, nullptr, TRUE); }

//------------------------------------------------------------------------------
// [SECTION] Editing
//------------------------------------------------------------------------------
int selLo(const EditData& d) { return std::min(d.anchor, d.caret); }
int selHi(const EditData& d) { return std::max(d.anchor, d.caret); }

// Keeps a position off the middle of a CR LF.
int tidy(const EditData& d, int i) {
  i = std::clamp(i, 0, static_cast<int>(d.text.size()));
  if (i > 0 && i < static_cast<int>(d.text.size()) && d.text[static_cast<std::size_t>(i) - 1] == '\r' &&
      d.text[static_cast<std::size_t>(i)] == '\n')
    --i;
  return i;
}

void setSel(HWND h, EditData& d, int anchor, int caret) {
  d.anchor = tidy(d, anchor);
  d.caret = tidy(d, caret);
  d.typing = false;
  showCaret(h, d);
  redraw(h);
}

// Whether text t still fits a control that does not scroll: a single-line control without
// ES_AUTOHSCROLL keeps to its width, a multi-line one without ES_AUTOVSCROLL to its height.
bool fits(HWND h, const EditData& d, const std::string& t) {
  const DWORD style = styleOf(h);
  const bool multi = (style & ES_MULTILINE) != 0;
  if (!multi && (style & ES_AUTOHSCROLL)) return true;
  if (multi && (style & ES_AUTOVSCROLL)) return true;
  EditData probe = d;
  probe.text = t;
  Measure m(h);
  const Layout l = layout(h, m.dc(), probe);
  if (!multi) return extent(m.dc(), probe, false, l.avgChar, l.shown) <= l.fr.right - l.fr.left;
  return static_cast<int>(l.lines.size()) <= visibleLines(l);
}

std::string caseOf(HWND h, std::string_view s) {
  std::string out(s);
  const DWORD style = styleOf(h);
  for (char& c : out) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((style & ES_UPPERCASE) && u >= 'a' && u <= 'z') c = static_cast<char>(u - 32);
    else if ((style & ES_LOWERCASE) && u >= 'A' && u <= 'Z') c = static_cast<char>(u + 32);
  }
  return out;
}

// A change of the text shown and told: EN_UPDATE, the redraw, EN_CHANGE. False when the
// window went away on the way.
bool changed(HWND h, EditData& d) {
  showCaret(h, d);
  notify(h, EN_UPDATE);
  if (!IsWindow(h)) return false;
  redraw(h);
  notify(h, EN_CHANGE);
  return true;
}

// Replaces the selection with ins. user: the change counts against the text limit and
// against the room of a control that does not scroll. False when nothing changed.
bool replaceSel(HWND h, std::string_view insIn, bool user, bool undoable, bool typed = false) {
  EditData* d = rec(h);
  if (!d) return false;
  std::string ins = caseOf(h, insIn);
  if (!multiLine(h)) {
    // A single line takes what comes before the first line break.
    const std::size_t cut = ins.find_first_of("\r\n");
    if (cut != std::string::npos) ins.resize(cut);
  }
  const int lo = selLo(*d), hi = selHi(*d);
  bool truncated = false;
  if (user) {
    const long long room = static_cast<long long>(d->limit) - (static_cast<long long>(d->text.size()) - (hi - lo));
    if (static_cast<long long>(ins.size()) > room) {
      ins.resize(static_cast<std::size_t>(std::max(0LL, room)));
      truncated = true;
    }
  }
  if (ins.empty() && lo == hi) {
    if (truncated) notify(h, EN_MAXTEXT);
    return false;
  }
  std::string next = d->text;
  next.replace(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo), ins);
  if (user && !fits(h, *d, next)) {
    notify(h, EN_MAXTEXT);
    return false;
  }
  const bool saved = undoable && !(typed && d->typing);
  if (d->formatter) d->formatter->replaced(lo, hi - lo, static_cast<int>(ins.size()), saved);
  if (saved) {
    d->undoText = d->text;
    d->undoAnchor = d->anchor;
    d->undoCaret = d->caret;
    d->canUndo = true;
  }
  d->text = std::move(next);
  d->anchor = d->caret = lo + static_cast<int>(ins.size());
  d->modified = true;
  d->typing = typed;
  if (!changed(h, *d)) return true;
  if (truncated && IsWindow(h)) notify(h, EN_MAXTEXT);
  return true;
}

bool readOnly(HWND h) { return (styleOf(h) & ES_READONLY) != 0; }

// Deletes the selection, or the character before (back) or after the caret; a CR LF goes
// as one.
void deleteChar(HWND h, bool back) {
  EditData* d = rec(h);
  if (!d) return;
  if (readOnly(h)) {
    MessageBeep(0);
    return;
  }
  if (d->anchor == d->caret) {
    const int n = static_cast<int>(d->text.size());
    if (back) {
      if (d->caret == 0) return;
      int from = d->caret - 1;
      if (from > 0 && d->text[static_cast<std::size_t>(from)] == '\n' && d->text[static_cast<std::size_t>(from) - 1] == '\r') --from;
      d->anchor = from;
    } else {
      if (d->caret >= n) return;
      d->anchor = d->caret + std::max(1, breakLength(d->text, d->caret));
    }
  }
  replaceSel(h, "", false, true);
}

//------------------------------------------------------------------------------
// [SECTION] Clipboard and undo
//------------------------------------------------------------------------------
void copy(HWND h) {
  EditData* d = rec(h);
  if (!d || d->password || d->anchor == d->caret) return;
  const std::string s = d->text.substr(static_cast<std::size_t>(selLo(*d)), static_cast<std::size_t>(selHi(*d) - selLo(*d)));
  if (!OpenClipboard(h)) return;
  EmptyClipboard();
  if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1)) {
    if (char* p = static_cast<char*>(GlobalLock(g))) {
      std::memcpy(p, s.c_str(), s.size() + 1);
      GlobalUnlock(g);
      if (!SetClipboardData(CF_TEXT, g)) GlobalFree(g);
    } else {
      GlobalFree(g);
    }
  }
  CloseClipboard();
}

void paste(HWND h) {
  if (readOnly(h)) {
    MessageBeep(0);
    return;
  }
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(h)) return;
  std::string s;
  if (HGLOBAL g = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(g))) {
      const std::size_t n = GlobalSize(g);
      s.assign(p, strnlen(p, n));
      GlobalUnlock(g);
    }
  }
  CloseClipboard();
  if (!s.empty()) replaceSel(h, s, true, true);
}

void cut(HWND h) {
  EditData* d = rec(h);
  if (!d || d->password || d->anchor == d->caret) return;
  if (readOnly(h)) {
    MessageBeep(0);
    return;
  }
  copy(h);
  replaceSel(h, "", false, true);
}

bool undo(HWND h) {
  EditData* d = rec(h);
  if (!d || !d->canUndo) return false;
  std::swap(d->text, d->undoText);
  if (d->formatter) d->formatter->undone();
  std::swap(d->anchor, d->undoAnchor);
  std::swap(d->caret, d->undoCaret);
  d->anchor = tidy(*d, d->anchor);
  d->caret = tidy(*d, d->caret);
  d->modified = true;
  d->typing = false;
  if (!changed(h, *d)) return true;
  return true;
}

//------------------------------------------------------------------------------
// [SECTION] Painting
//------------------------------------------------------------------------------
// s: the text from position at; selected: drawn in the highlight text colour.
void drawRun(HDC dc, const EditData& d, bool multi, const Layout& l, int x, int y, std::string_view s, const RECT& clip,
             int at, bool selected) {
  const bool fmt = formatted(d);
  // Tab by tab, so that tabs land on the stops extent() measured.
  std::size_t from = 0;
  int origin = x;
  while (from <= s.size()) {
    const std::size_t tab = multi ? s.find('\t', from) : std::string_view::npos;
    const std::size_t to = tab == std::string_view::npos ? s.size() : tab;
    const int px = origin + extent(dc, d, multi, l.avgChar, s.substr(0, from), at);
    if (to > from && fmt)
      d.formatter->draw(dc, px, y, at + static_cast<int>(from), s.data() + from, static_cast<int>(to - from), clip, selected);
    else if (to > from)
      ExtTextOut(dc, px, y, ETO_CLIPPED, &clip, s.data() + from, static_cast<UINT>(to - from), nullptr);
    if (tab == std::string_view::npos) break;
    from = tab + 1;
  }
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  EditData* d = rec(h);
  if (dc && d) {
    RECT client;
    GetClientRect(h, client);
    HGDIOBJ oldFont = SelectObject(dc, dlg::fontOf(h));
    const bool disabled = !IsWindowEnabled(h);
    const bool grey = disabled || readOnly(h);
    // A read-only or disabled edit is coloured as a static, on the face colour.
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
    HBRUSH brush = nullptr;
    HWND parent = GetParent(h);
    if (parent && (styleOf(h) & WS_CHILD))
      brush = reinterpret_cast<HBRUSH>(SendMessage(parent, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                                   reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
    if (IsWindow(h) && (d = rec(h)) != nullptr) {
      dlg::fillBrush(dc, client, brush, GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
      const COLORREF text = GetTextColor(dc);
      SetBkMode(dc, TRANSPARENT);
      const Layout l = layout(h, dc, *d);
      const bool multi = multiLine(h);
      const bool showSel = (d->focused || (styleOf(h) & ES_NOHIDESEL)) && d->anchor != d->caret;
      const int lo = selLo(*d), hi = selHi(*d);
      const int vis = visibleLines(l) + 1;
      for (int k = d->firstLine; k < static_cast<int>(l.lines.size()) && k < d->firstLine + vis; ++k) {
        const Line& ln = l.lines[static_cast<std::size_t>(k)];
        const int y = l.fr.top + (k - d->firstLine) * l.lineHeight;
        const int x0 = lineX(h, dc, *d, l, ln);
        const std::string_view all = std::string_view(l.shown).substr(static_cast<std::size_t>(ln.start),
                                                                       static_cast<std::size_t>(ln.end - ln.start));
        SetTextColor(dc, text);
        drawRun(dc, *d, multi, l, x0, y, all, l.fr, ln.start, false);
        if (formatted(*d)) d->formatter->decorate(dc, d->text, ln.start, x0, y, l.fr);
        const int a = std::max(lo, ln.start), b = std::min(hi, ln.end);
        if (showSel && a < b) {
          const int xa = x0 + extent(dc, *d, multi, l.avgChar, all.substr(0, static_cast<std::size_t>(a - ln.start)), ln.start);
          const int xb = x0 + extent(dc, *d, multi, l.avgChar, all.substr(0, static_cast<std::size_t>(b - ln.start)), ln.start);
          RECT sel{std::max(xa, static_cast<int>(l.fr.left)), y, std::min(xb, static_cast<int>(l.fr.right)), y + l.lineHeight};
          sel.bottom = std::min(sel.bottom, l.fr.bottom);
          dlg::fillSolid(dc, sel, GetSysColor(COLOR_HIGHLIGHT));
          SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
          drawRun(dc, *d, multi, l, xa, y, all.substr(static_cast<std::size_t>(a - ln.start), static_cast<std::size_t>(b - a)), sel, a,
                  true);
        }
      }
      if (d->focused && !(gCaretOwner == h && gCaretHidden > 0)) {
        const POINT c = posOf(h, dc, *d, l, d->caret);
        if (c.x >= l.fr.left - 1 && c.x <= l.fr.right && c.y >= l.fr.top && c.y < l.fr.bottom)
          dlg::vline(dc, c.x, c.y, std::min<int>(c.y + l.lineHeight, l.fr.bottom), text);
      }
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

//------------------------------------------------------------------------------
// [SECTION] Keys and mouse
//------------------------------------------------------------------------------
bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int wordLeft(const std::string& t, int i) {
  while (i > 0 && blank(t[static_cast<std::size_t>(i) - 1])) --i;
  while (i > 0 && !blank(t[static_cast<std::size_t>(i) - 1])) --i;
  return i;
}

int wordRight(const std::string& t, int i) {
  const int n = static_cast<int>(t.size());
  while (i < n && !blank(t[static_cast<std::size_t>(i)])) ++i;
  while (i < n && blank(t[static_cast<std::size_t>(i)])) ++i;
  return i;
}

// The caret moved by a navigation key; Shift extends the selection.
void moveCaret(HWND h, int vk) {
  EditData* d = rec(h);
  if (!d) return;
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool multi = multiLine(h);
  if (!multi && vk == VK_UP) vk = VK_LEFT;
  if (!multi && vk == VK_DOWN) vk = VK_RIGHT;
  Measure m(h);
  const Layout l = layout(h, m.dc(), *d);
  const int n = static_cast<int>(d->text.size());
  int c = d->caret;
  const bool collapse = !shift && d->anchor != d->caret;
  const Line& ln = l.lines[static_cast<std::size_t>(lineOf(l, c))];
  switch (vk) {
    case VK_LEFT:
      if (collapse && !ctrl) c = selLo(*d);
      else if (ctrl) c = wordLeft(d->text, c);
      else if (c > 0) c = c - ((c >= 2 && d->text[static_cast<std::size_t>(c) - 1] == '\n' && d->text[static_cast<std::size_t>(c) - 2] == '\r') ? 2 : 1);
      break;
    case VK_RIGHT:
      if (collapse && !ctrl) c = selHi(*d);
      else if (ctrl) c = wordRight(d->text, c);
      else if (c < n) c += std::max(1, breakLength(d->text, c));
      break;
    case VK_HOME: c = ctrl ? 0 : ln.start; break;
    case VK_END: c = ctrl ? n : ln.end; break;
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: {
      const int k = lineOf(l, c);
      const int step = (vk == VK_PRIOR || vk == VK_NEXT) ? visibleLines(l) : 1;
      const int target = std::clamp(k + ((vk == VK_UP || vk == VK_PRIOR) ? -step : step), 0, static_cast<int>(l.lines.size()) - 1);
      if (vk == VK_PRIOR || vk == VK_NEXT)
        d->firstLine = std::clamp(d->firstLine + target - k, 0, std::max(0, static_cast<int>(l.lines.size()) - 1));
      POINT p = posOf(h, m.dc(), *d, l, c);
      p.y = l.fr.top + (target - d->firstLine) * l.lineHeight;
      c = indexAt(h, m.dc(), *d, l, p);
      break;
    }
    default: return;
  }
  setSel(h, *d, shift ? d->anchor : c, c);
}

void keyDown(HWND h, int vk) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT:
      moveCaret(h, vk);
      return;
    case VK_DELETE:
      if (shift) SendMessage(h, WM_CUT, 0, 0);
      else deleteChar(h, false);
      return;
    case VK_INSERT:
      if (ctrl) SendMessage(h, WM_COPY, 0, 0);
      else if (shift) SendMessage(h, WM_PASTE, 0, 0);
      return;
    default:
      return;
  }
}

void typed(HWND h, char ch) {
  const unsigned char u = static_cast<unsigned char>(ch);
  switch (u) {
    case 0x03: SendMessage(h, WM_COPY, 0, 0); return;     // Ctrl+C
    case 0x16: SendMessage(h, WM_PASTE, 0, 0); return;    // Ctrl+V
    case 0x18: SendMessage(h, WM_CUT, 0, 0); return;      // Ctrl+X
    case 0x1A: SendMessage(h, WM_UNDO, 0, 0); return;     // Ctrl+Z
    case 0x08: deleteChar(h, true); return;
    default: break;
  }
  const DWORD style = styleOf(h);
  std::string ins;
  if (u == '\r' || u == '\n') {
    if (!(style & ES_MULTILINE)) return;
    ins = "\r\n";
  } else if (u == '\t') {
    if (!(style & ES_MULTILINE)) return;
    ins = "\t";
  } else if (u < 0x20 || u == 0x7F) {
    return;
  } else {
    ins.assign(1, ch);
  }
  if (readOnly(h) || ((style & ES_NUMBER) && !(u >= '0' && u <= '9'))) {
    MessageBeep(0);
    return;
  }
  // Overwriting takes the character after the caret, never a line end; the anchor moves
  // without ending the typed run, so that the run stays one step of undo.
  EditData* d = rec(h);
  const bool over = d && d->overwrite && d->anchor == d->caret && ins != "\r\n" &&
                    d->caret < static_cast<int>(d->text.size()) && breakLength(d->text, d->caret) == 0;
  const bool first = d && !d->typing;   // this character starts a new step of undo
  if (over) d->anchor = d->caret + 1;
  // Undo puts back the caret, not the character taken.
  if (replaceSel(h, ins, true, true, true) && over && first && (d = rec(h)) != nullptr) d->undoAnchor = d->undoCaret;
}

void mouseSelect(HWND h, LPARAM lParam, bool extend, bool word) {
  EditData* d = rec(h);
  if (!d) return;
  Measure m(h);
  const Layout l = layout(h, m.dc(), *d);
  const int i = indexAt(h, m.dc(), *d, l, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  if (word) {
    int a = i, b = i;
    while (a > 0 && !blank(d->text[static_cast<std::size_t>(a) - 1])) --a;
    while (b < static_cast<int>(d->text.size()) && !blank(d->text[static_cast<std::size_t>(b)])) ++b;
    setSel(h, *d, a, b);
    return;
  }
  setSel(h, *d, extend ? d->anchor : i, i);
}

//------------------------------------------------------------------------------
// [SECTION] Window procedure
//------------------------------------------------------------------------------
LRESULT lineIndex(HWND h, EditData& d, WPARAM line) {
  Measure m(h);
  const Layout l = layout(h, m.dc(), d);
  const int k = static_cast<int>(static_cast<LONG_PTR>(line)) < 0 ? lineOf(l, d.caret) : static_cast<int>(line);
  if (k >= static_cast<int>(l.lines.size())) return -1;
  return l.lines[static_cast<std::size_t>(k)].start;
}

LRESULT editProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    EditData& d = edits().create(h);
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) d.text = cs->lpszName;
    if (createdWith(lParam, ES_PASSWORD)) d.password = '*';
    d.scrollBar = createdWith(lParam, WS_VSCROLL);
    return DefWindowProc(h, msg, wParam, lParam);
  }
  EditData* dp = edits().route(h, msg);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  EditData& d = *dp;
  switch (msg) {
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (multiLine(h)) {
        // All keys but those the dialog acts on: Tab, Escape, and Enter unless it makes lines.
        code |= DLGC_WANTALLKEYS;
        if (const MSG* m = reinterpret_cast<const MSG*>(lParam); m && (m->message == WM_KEYDOWN || m->message == WM_CHAR)) {
          const WPARAM k = m->wParam;
          if (k == static_cast<WPARAM>(VK_TAB) || k == static_cast<WPARAM>(VK_ESCAPE) ||
              (k == static_cast<WPARAM>(VK_RETURN) && !(styleOf(h) & ES_WANTRETURN)))
            code &= ~DLGC_WANTALLKEYS;
        }
      }
      return code;
    }
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      const std::size_t n = std::min(d.text.size(), static_cast<std::size_t>(wParam) - 1);
      char* out = reinterpret_cast<char*>(lParam);
      std::memcpy(out, d.text.data(), n);
      out[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(d.text.size());
    case WM_SETTEXT: {
      const char* s = reinterpret_cast<const char*>(lParam);
      d.text = s ? s : "";
      if (d.formatter) d.formatter->textSet(static_cast<int>(d.text.size()));
      d.anchor = d.caret = 0;
      d.modified = false;
      d.canUndo = false;
      d.typing = false;
      d.firstLine = 0;
      d.xOffset = 0;
      DefWindowProc(h, msg, wParam, lParam);
      showCaret(h, d);
      redraw(h);
      // A multi-line edit does not report text set by its program.
      if (!multiLine(h)) {
        notify(h, EN_UPDATE);
        if (IsWindow(h)) notify(h, EN_CHANGE);
      }
      return TRUE;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SETFONT:
      return keepFont(h, d.font, wParam, lParam, [&] { showCaret(h, d); });
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d.font);
    case WM_SIZE:
      showCaret(h, d);
      redraw(h);
      return 0;
    case WM_ENABLE:
      redraw(h);
      return 0;
    case WM_SETFOCUS:
      d.focused = true;
      gCaretOwner = h;
      gCaretHidden = 0;
      redraw(h);
      notify(h, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      d.focused = false;
      if (gCaretOwner == h) gCaretOwner = nullptr;
      d.typing = false;
      endTracking(h, d.tracking);
      redraw(h);
      notify(h, EN_KILLFOCUS);
      return 0;
    case WM_KEYDOWN:
      keyDown(h, static_cast<int>(wParam));
      return 0;
    case WM_CHAR:
      typed(h, static_cast<char>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != h) SetFocus(h);
      if (!IsWindow(h) || !rec(h)) return 0;
      mouseSelect(h, lParam, msg == WM_LBUTTONDOWN && (wParam & MK_SHIFT), msg == WM_LBUTTONDBLCLK);
      if (msg == WM_LBUTTONDOWN) {
        rec(h)->tracking = true;
        SetCapture(h);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (d.tracking) mouseSelect(h, lParam, true, false);
      return 0;
    case WM_LBUTTONUP:
      endTracking(h, d.tracking);
      return 0;
    case WM_CAPTURECHANGED:
      d.tracking = false;
      return 0;
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: {
      if (!multiLine(h)) return 0;
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      const int last = std::max(0, static_cast<int>(l.lines.size()) - visibleLines(l));
      int first = d.firstLine;
      if (msg == WM_MOUSEWHEEL) first -= 3 * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      else switch (LOWORD(wParam)) {
        case SB_LINEUP: --first; break;
        case SB_LINEDOWN: ++first; break;
        case SB_PAGEUP: first -= visibleLines(l); break;
        case SB_PAGEDOWN: first += visibleLines(l); break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: first = HIWORD(wParam); break;
        case SB_TOP: first = 0; break;
        case SB_BOTTOM: first = last; break;
        default: break;
      }
      d.firstLine = std::clamp(first, 0, last);
      updateScrollBars(h, d, l);
      redraw(h);
      return 0;
    }
    case WM_CUT: cut(h); return 0;
    case WM_COPY: copy(h); return 0;
    case WM_PASTE: paste(h); return 0;
    case WM_CLEAR:
      if (readOnly(h)) MessageBeep(0);
      else if (d.anchor != d.caret) replaceSel(h, "", false, true);
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      return undo(h) ? TRUE : FALSE;
    case EM_CANUNDO:
      return d.canUndo ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER:
      d.canUndo = false;
      d.typing = false;
      return 0;
    case EM_GETSEL: {
      const int lo = selLo(d), hi = selHi(d);
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(lo);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(hi);
      return MAKELONG(static_cast<WORD>(std::min(lo, 0xFFFF)), static_cast<WORD>(std::min(hi, 0xFFFF)));
    }
    case EM_SETSEL: {
      const int n = static_cast<int>(d.text.size());
      const int start = static_cast<int>(static_cast<LONG_PTR>(wParam));
      int end = static_cast<int>(lParam);
      if (start < 0) {
        // -1 removes the selection and leaves the caret where it is.
        setSel(h, d, d.caret, d.caret);
        return 0;
      }
      if (end < 0) end = n;
      setSel(h, d, std::min(start, n), std::min(end, n));
      return 0;
    }
    case EM_REPLACESEL: {
      const char* s = reinterpret_cast<const char*>(lParam);
      replaceSel(h, s ? s : "", true, wParam != 0);
      return 0;
    }
    case EM_GETMODIFY:
      return d.modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      d.modified = wParam != 0;
      return 0;
    case EM_LIMITTEXT:
      d.limit = wParam == 0 ? 0x7FFFFFFEu : static_cast<UINT>(wParam);
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(d.limit);
    case EM_SETREADONLY: {
      const DWORD s = styleOf(h);
      SetWindowLong(h, GWL_STYLE, static_cast<LONG>(wParam ? (s | ES_READONLY) : (s & ~ES_READONLY)));
      redraw(h);
      return TRUE;
    }
    case EM_SETPASSWORDCHAR: {
      if (multiLine(h)) return 0;
      d.password = static_cast<char>(wParam);
      const DWORD s = styleOf(h);
      SetWindowLong(h, GWL_STYLE, static_cast<LONG>(wParam ? (s | ES_PASSWORD) : (s & ~ES_PASSWORD)));
      showCaret(h, d);
      redraw(h);
      return 0;
    }
    case EM_GETPASSWORDCHAR:
      return static_cast<unsigned char>(d.password);
    case EM_SETTABSTOPS: {
      d.tabStops.clear();
      const LONG units = GetDialogBaseUnits();
      const int bx = std::max(1, static_cast<int>(LOWORD(static_cast<UINT_PTR>(units))));
      const int* stops = reinterpret_cast<const int*>(lParam);
      if (wParam == 1 && stops) d.tabStops.push_back(stops[0] * bx / 4);
      else if (stops)
        for (WPARAM i = 0; i < wParam; ++i) d.tabStops.push_back(stops[i] * bx / 4);
      redraw(h);
      return TRUE;
    }
    case EM_SETMARGINS:
      if (wParam & EC_LEFTMARGIN) d.leftMargin = LOWORD(static_cast<UINT_PTR>(lParam));
      if (wParam & EC_RIGHTMARGIN) d.rightMargin = HIWORD(static_cast<UINT_PTR>(lParam));
      showCaret(h, d);
      redraw(h);
      return 0;
    case EM_GETMARGINS:
      return MAKELONG(static_cast<WORD>(d.leftMargin), static_cast<WORD>(d.rightMargin));
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = formatRect(h, d);
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
      if (!multiLine(h)) return 0;
      if (lParam) {
        d.rect = *reinterpret_cast<const RECT*>(lParam);
        d.ownRect = true;
      } else {
        d.ownRect = false;
      }
      showCaret(h, d);
      if (msg == EM_SETRECT) redraw(h);
      return 0;
    case EM_SCROLLCARET:
      showCaret(h, d);
      redraw(h);
      return TRUE;
    case EM_POSFROMCHAR: {
      const int i = static_cast<int>(wParam);
      if (i < 0 || i > static_cast<int>(d.text.size())) return -1;
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      const POINT p = posOf(h, m.dc(), d, l, i);
      return MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
    }
    case EM_CHARFROMPOS: {
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      int k = 0;
      const int i = indexAt(h, m.dc(), d, l, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &k);
      return MAKELONG(static_cast<WORD>(i), static_cast<WORD>(k));
    }
    case EM_GETLINECOUNT: {
      Measure m(h);
      return static_cast<LRESULT>(layout(h, m.dc(), d).lines.size());
    }
    case EM_GETFIRSTVISIBLELINE:
      return multiLine(h) ? d.firstLine : 0;
    case EM_LINEINDEX:
      return lineIndex(h, d, wParam);
    case EM_LINEFROMCHAR: {
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      const int i = static_cast<int>(static_cast<LONG_PTR>(wParam));
      return lineOf(l, i < 0 ? d.caret : std::min(i, static_cast<int>(d.text.size())));
    }
    case EM_LINELENGTH: {
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      const int i = static_cast<int>(static_cast<LONG_PTR>(wParam));
      if (i < 0) {
        // The characters of the selection's lines that are not selected.
        const Line& a = l.lines[static_cast<std::size_t>(lineOf(l, selLo(d)))];
        const Line& b = l.lines[static_cast<std::size_t>(lineOf(l, selHi(d)))];
        return (selLo(d) - a.start) + (b.end - selHi(d));
      }
      if (i > static_cast<int>(d.text.size())) return 0;
      const Line& ln = l.lines[static_cast<std::size_t>(lineOf(l, i))];
      return ln.end - ln.start;
    }
    case EM_GETLINE: {
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      const int k = static_cast<int>(wParam);
      char* out = reinterpret_cast<char*>(lParam);
      if (!out || k < 0 || k >= static_cast<int>(l.lines.size())) return 0;
      // The buffer's size is in its first word; the line is copied without a NUL.
      WORD size = 0;
      std::memcpy(&size, out, sizeof size);
      const Line& ln = l.lines[static_cast<std::size_t>(k)];
      const int n = std::min<int>(size, ln.end - ln.start);
      std::memcpy(out, d.text.data() + ln.start, static_cast<std::size_t>(n));
      return n;
    }
    case EM_LINESCROLL: {
      if (!multiLine(h)) return FALSE;
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      d.firstLine = std::clamp(d.firstLine + static_cast<int>(lParam), 0, std::max(0, static_cast<int>(l.lines.size()) - 1));
      d.xOffset = std::max(0, d.xOffset + static_cast<int>(static_cast<LONG_PTR>(wParam)) * l.avgChar);
      updateScrollBars(h, d, l);
      redraw(h);
      return TRUE;
    }
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

BOOL HideCaret(HWND h) {
  if (h == nullptr) h = gCaretOwner;
  if (h == nullptr || h != gCaretOwner) return FALSE;
  ++gCaretHidden;
  InvalidateRect(h, nullptr, FALSE);
  return TRUE;
}

BOOL ShowCaret(HWND h) {
  if (h == nullptr) h = gCaretOwner;
  if (h == nullptr || h != gCaretOwner || gCaretHidden == 0) return FALSE;
  --gCaretHidden;
  InvalidateRect(h, nullptr, FALSE);
  return TRUE;
}

namespace editx {
void setFormatter(HWND h, Formatter* f) {
  if (EditData* d = rec(h)) d->formatter = f;
}

bool replacePieces(HWND h, const std::vector<int>& starts, int removed, std::string_view ins) {
  EditData* d = rec(h);
  if (!d || starts.empty()) return false;
  const long long size = static_cast<long long>(d->text.size()) +
                         static_cast<long long>(starts.size()) * (static_cast<long long>(ins.size()) - removed);
  std::string next;
  next.reserve(static_cast<std::size_t>(std::max(0LL, size)));
  std::size_t at = 0;
  for (const int pos : starts) {
    next.append(d->text, at, static_cast<std::size_t>(pos) - at);
    next.append(ins);
    at = static_cast<std::size_t>(pos + removed);
  }
  const int caret = static_cast<int>(next.size());
  next.append(d->text, at, std::string::npos);
  if (d->formatter) d->formatter->replacedPieces(starts, removed, static_cast<int>(ins.size()));
  d->undoText = std::move(d->text);
  d->undoAnchor = d->anchor;
  d->undoCaret = d->caret;
  d->canUndo = true;
  d->text = std::move(next);
  d->anchor = d->caret = caret;
  d->modified = true;
  d->typing = false;
  if (!changed(h, *d)) return true;
  return true;
}

void setOverwrite(HWND h, bool on) {
  if (EditData* d = rec(h)) d->overwrite = on && multiLine(h);
}

bool overwriting(HWND h) {
  const EditData* d = rec(h);
  return d && d->overwrite;
}
}  // namespace editx

namespace dlg {

void registerEditClass() {
  WNDCLASS wc;
  if (GetClassInfo(nullptr, "Edit", wc)) return;
  wc = WNDCLASS{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = editProc;
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = "Edit";
  RegisterClass(wc);
}
}  // namespace dlg

}  // namespace win
