// platform/edit.cpp: the EDIT control class: single- and multi-line text entry (left, centred
// or right aligned, read-only, password, digits only, upper or lower case), selection by keys
// and mouse, undo (one level, or many with redo), cut, copy and paste through the clipboard
// store, and a caret drawn by the control itself (steady, so that pictures of it are
// reproducible).
//
// Invariants: (1) 0 <= anchor, caret <= text length, and a caret never sits inside a CR LF;
// (2) every position the control reports comes from the kept lines and the same character
// advances that paint() uses; (3) the kept lines, while valid, are exactly what laying out
// the whole text from nothing gives: every change of the text or of the formats lays out
// again the paragraphs it touches, and a change of width, font, tab stops or style drops
// them; (4) the parent may destroy the control in any notification, so nothing touches the
// control's record after notify() without checking IsWindow.
// Sections (grep "[SECTION]"): record | kept lines | layout | editing | clipboard and undo |
//   painting | keys and mouse | window procedure
#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
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
// [SECTION] Kept lines
// - Lines: count(), at(), lineOf(), width(), setWidth(), assign(), splice()
//------------------------------------------------------------------------------
// A line shows the characters [start, end); the next line starts at next (after the line
// break, or at the same place after a soft break). width: pixels of [start, end), -1 while
// not measured.
struct Line {
  int start = 0, end = 0, next = 0, width = -1;
};

// The lines of a text in blocks, positions relative to their block's base, so that a change
// moves the lines after it by moving the bases of the blocks after it. Each block counts its
// lines that end in a line break, so that a paragraph's first and last lines are found
// without walking the lines between.
class Lines {
 public:
  int count() const { return count_; }
  Line at(int k) const {
    const auto [b, i] = locate(k);
    return absolute(b, i, 0);
  }
  void setWidth(int k, int w) {
    const auto [b, i] = locate(k);
    blocks_[b].lines[i].width = w;
  }
  // The line holding position index (a soft break's position belongs to the line after it).
  int lineOf(int index) const {
    // The first block whose last line reaches past index, then its first such line.
    auto bi = std::upper_bound(blocks_.begin(), blocks_.end(), index,
                               [](int i, const Block& b) { return i < b.base + b.lines.back().next; });
    if (bi == blocks_.end()) return count_ - 1;
    const int rel = index - bi->base;
    auto li = std::upper_bound(bi->lines.begin(), bi->lines.end(), rel, [](int i, const Line& l) { return i < l.next; });
    const auto b = static_cast<std::size_t>(bi - blocks_.begin());
    return first_[b] + static_cast<int>(li - bi->lines.begin());
  }
  // The first and the last line of the paragraph holding line k.
  int paragraphFirst(int k) const {
    if (k <= 0) return 0;
    auto [b, i] = locate(k - 1);   // the line before: the paragraph starts after the first hard one
    while (true) {
      const std::vector<Line>& ls = blocks_[b].lines;
      if (blocks_[b].hard > 0)
        for (std::size_t j = i + 1; j-- > 0;)
          if (hardEnd(ls[j])) return first_[b] + static_cast<int>(j) + 1;
      if (b == 0) return 0;
      --b;
      while (b > 0 && blocks_[b].hard == 0) --b;
      i = blocks_[b].lines.size() - 1;
    }
  }
  int paragraphLast(int k) const {
    auto [b, i] = locate(k);
    while (true) {
      const std::vector<Line>& ls = blocks_[b].lines;
      for (std::size_t j = i; j < ls.size(); ++j)
        if (hardEnd(ls[j])) return first_[b] + static_cast<int>(j);
      do {
        if (++b == blocks_.size()) return count_ - 1;
      } while (blocks_[b].hard == 0);
      i = 0;
    }
  }
  // Lines laid out from nothing are added one by one, in order, after clear().
  void clear() {
    blocks_.clear();
    first_.clear();
    count_ = 0;
  }
  void push_back(Line ln) {
    if (blocks_.empty() || blocks_.back().lines.size() >= kBlock) {
      if (!blocks_.empty()) first_.push_back(count_);
      else first_.assign(1, 0);
      blocks_.push_back(Block{ln.start, {}, 0});
      blocks_.back().lines.reserve(kBlock);
    }
    Block& b = blocks_.back();
    ln.start -= b.base;
    ln.end -= b.base;
    ln.next -= b.base;
    b.hard += hardEnd(ln) ? 1 : 0;
    b.lines.push_back(ln);
    ++count_;
  }
  // Lines [a, e) give way to fresh ones (e == a: the fresh ones go before line a); the lines
  // from e on move by delta characters.
  void splice(int a, int e, const std::vector<Line>& fresh, int delta) {
    if (count_ == 0) {
      for (const Line& ln : fresh) push_back(ln);
      return;
    }
    const Where wa = a < count_ ? locate(a) : Where{blocks_.size() - 1, blocks_.back().lines.size()};
    const Where we = e < count_ ? locate(e) : Where{blocks_.size() - 1, blocks_.back().lines.size()};
    std::vector<Line> merged;
    merged.reserve(wa.index + fresh.size() + (blocks_[we.block].lines.size() - we.index));
    for (std::size_t i = 0; i < wa.index; ++i) merged.push_back(absolute(wa.block, i, 0));
    merged.insert(merged.end(), fresh.begin(), fresh.end());
    for (std::size_t i = we.index; i < blocks_[we.block].lines.size(); ++i) merged.push_back(absolute(we.block, i, delta));
    std::vector<Block> made;
    append(made, merged);
    for (std::size_t k = we.block + 1; k < blocks_.size(); ++k) blocks_[k].base += delta;
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(wa.block),
                  blocks_.begin() + static_cast<std::ptrdiff_t>(we.block) + 1);
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(wa.block), std::make_move_iterator(made.begin()),
                   std::make_move_iterator(made.end()));
    renumber();
  }
  std::size_t bytes() const { return static_cast<std::size_t>(count_) * sizeof(Line); }

 private:
  static constexpr std::size_t kBlock = 1024;
  struct Block {
    int base = 0;
    std::vector<Line> lines;
    int hard = 0;   // lines ending in a line break
  };
  struct Where {
    std::size_t block, index;
  };
  static bool hardEnd(const Line& ln) { return ln.end != ln.next; }
  Where locate(int k) const {
    const auto it = std::upper_bound(first_.begin(), first_.end(), k);
    const auto b = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, it - first_.begin() - 1));
    return Where{b, static_cast<std::size_t>(k - first_[b])};
  }
  Line absolute(std::size_t b, std::size_t i, int delta) const {
    Line ln = blocks_[b].lines[i];
    const int base = blocks_[b].base + delta;
    ln.start += base;
    ln.end += base;
    ln.next += base;
    return ln;
  }
  // Absolute lines cut into blocks of kBlock (one block when they fill at most two).
  static void append(std::vector<Block>& to, const std::vector<Line>& all) {
    const std::size_t per = all.size() <= 2 * kBlock ? std::max<std::size_t>(all.size(), 1) : kBlock;
    for (std::size_t from = 0; from < all.size(); from += per) {
      Block b;
      b.base = all[from].start;
      const std::size_t to2 = std::min(all.size(), from + per);
      b.lines.reserve(to2 - from);
      for (std::size_t i = from; i < to2; ++i) {
        Line ln = all[i];
        ln.start -= b.base;
        ln.end -= b.base;
        ln.next -= b.base;
        b.hard += hardEnd(ln) ? 1 : 0;
        b.lines.push_back(ln);
      }
      to.push_back(std::move(b));
    }
  }
  void renumber() {
    first_.resize(blocks_.size());
    int n = 0;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
      first_[b] = n;
      n += static_cast<int>(blocks_[b].lines.size());
    }
    count_ = n;
  }
  std::vector<Block> blocks_;
  std::vector<int> first_;   // the number of the first line of each block
  int count_ = 0;
};

// What the kept lines were laid out for; any other value drops them.
struct LayoutKey {
  int width = 0;
  HFONT font = nullptr;
  bool multi = false, wrap = false, formatted = false;
  char password = 0;
  int avgChar = 0;
  std::vector<int> tabStops;
  bool operator==(const LayoutKey&) const = default;
};

// Advances of the 256 characters in one font, each measured once (advances are whole
// pixels that add up, so a run's width is the sum of its characters').
struct Advances {
  int width[256] = {};
  bool known[256] = {};
};

// Kept widths of the text in chunks of about kChunk characters, so that a place far along a
// line that does not wrap is found without walking the line: a chunk once measured keeps the
// sum of its characters' advances (up to its first tab, and from the stop that tab reaches to
// its end), and once asked for, the x at its start from the start of its line. A change of
// the text or of its formats makes the chunks it touches unmeasured.
class Chunks {
 public:
  static constexpr int kChunk = 4096;
  struct Sum {
    bool measured = false, tab = false;
    long long pre = 0;    // advances before the first tab (of all characters without one)
    long long post = 0;   // with a tab: from the stop the first tab reaches to the end
    long long xIn = -1;   // x at the chunk's start from its line's start; -1 not known
  };
  void reset(int n) {
    n_ = n;
    const int count = std::max(1, (n + kChunk - 1) / kChunk);
    starts_.resize(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j) starts_[static_cast<std::size_t>(j)] = j * kChunk;
    sums_.assign(static_cast<std::size_t>(count), Sum{});
  }
  int start(int j) const { return starts_[static_cast<std::size_t>(j)]; }
  int end(int j) const { return j + 1 < count() ? start(j + 1) : n_; }
  int count() const { return static_cast<int>(starts_.size()); }
  // The chunk holding position pos (the last one for the end of the text).
  int chunkOf(int pos) const {
    return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), pos) - starts_.begin()) - 1;
  }
  Sum& sum(int j) { return sums_[static_cast<std::size_t>(j)]; }
  // The characters [pos, pos + removed) became inserted others (or the same ones in other
  // formats): the chunks holding them are made anew, unmeasured.
  void replaced(int pos, int removed, int inserted) {
    const int delta = inserted - removed;
    int a = chunkOf(pos), b = chunkOf(pos + removed);
    if (b > a && start(b) == pos + removed) --b;   // chunk b begins after the change
    long long from = start(a), to = static_cast<long long>(end(b)) + delta;
    // A remainder too small to keep on its own joins a neighbour.
    if (to - from < kChunk / 4 && b + 1 < count()) to = static_cast<long long>(end(++b)) + delta;
    else if (to - from < kChunk / 4 && a > 0) from = start(--a);
    const long long length = to - from;
    const int parts = static_cast<int>(std::max<long long>(1, length / kChunk));
    std::vector<int> fresh(static_cast<std::size_t>(parts));
    for (int k = 0; k < parts; ++k) fresh[static_cast<std::size_t>(k)] = static_cast<int>(from + length * k / parts);
    for (std::size_t j = static_cast<std::size_t>(b) + 1; j < starts_.size(); ++j) starts_[j] += delta;
    const auto at = static_cast<std::ptrdiff_t>(a), old = static_cast<std::ptrdiff_t>(b - a + 1);
    if (old == parts) {
      std::copy(fresh.begin(), fresh.end(), starts_.begin() + at);
      std::fill(sums_.begin() + at, sums_.begin() + at + parts, Sum{});
    } else {
      starts_.erase(starts_.begin() + at, starts_.begin() + at + old);
      starts_.insert(starts_.begin() + at, fresh.begin(), fresh.end());
      sums_.erase(sums_.begin() + at, sums_.begin() + at + old);
      sums_.insert(sums_.begin() + at, static_cast<std::size_t>(parts), Sum{});
    }
    n_ += delta;
  }
  // The x at their start no longer known for the chunks holding [from, to].
  void forget(int from, int to) {
    for (int j = chunkOf(from), last = chunkOf(to); j <= last; ++j) sum(j).xIn = -1;
  }

 private:
  std::vector<int> starts_{0};
  std::vector<Sum> sums_{Sum{}};
  int n_ = 0;
};

//------------------------------------------------------------------------------
// [SECTION] Record
//------------------------------------------------------------------------------
// One step of undo, kept as the difference to the text on its other side: the pieces are
// spans of the text as it stands (ascending), other holds what each span is on the other
// side, one after another. Undoing or redoing swaps them, the selection and the formats.
struct UndoPiece {
  int start = 0, length = 0, otherLength = 0;
};

struct UndoStep {
  std::vector<UndoPiece> pieces;
  std::string other;
  int anchor = 0, caret = 0;                          // the selection on the other side
  std::unique_ptr<editx::FormatState> formats;        // the formats on the other side
  int formatFrom = 0, formatTo = 0;                   // a change of formats only: its characters
  bool paragraphs = false;                            // and of their paragraphs' formats
  bool typing = false;                                // a typed run, which the next typed character joins
  std::size_t bytes() const {
    return sizeof *this + other.size() + pieces.size() * sizeof(UndoPiece) + (formats ? formats->bytes() : 0);
  }
};

// The history's memory: the oldest steps go beyond it (the newest always stays).
constexpr std::size_t kUndoBytes = 64u << 20;

struct EditData {
  std::string text;
  int anchor = 0;   // the fixed end of the selection
  int caret = 0;    // the moving end, where the caret is drawn
  UINT limit = kEditDefaultLimit;
  bool modified = false;
  char password = 0;
  // Undo history: one step that a second undo takes back, or (multiUndo) many, undone steps
  // waiting in redo until a new change.
  std::deque<UndoStep> undo, redo;
  std::size_t undoBytes = 0;
  bool multiUndo = false;
  bool typing = false;   // the last change was a typed character; the next one joins its step
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
  // Kept layout. Written by layout() (all of it when the key changed or keptValid is false)
  // and by relay() after every change; read through layout() by every position and paint.
  // The chunks are kept while the lines do not wrap.
  Lines lines;
  Chunks chunks;
  LayoutKey key;
  bool keptValid = false;
  bool fromLineStarts = false;   // for tests: every x measured from its line's start, whole lines drawn
  int heldWidth = -1;   // see holdWidth()
  std::vector<std::unique_ptr<Advances>> advances;   // by character format + 1 (0: the control's font)
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
// - Meter: advance(), span() - character by character, in the characters' formats
// - chunk widths: measureChunk(), xAtChunk(), xOf(), placeBefore()
// - Layer: lines one at a time, each in time linear in its length
// - layout(): the kept lines brought up to date; relay(): after a change
//------------------------------------------------------------------------------
struct Layout {
  RECT fr;              // formatting rectangle
  int lineHeight = 13;
  int avgChar = 6;
  const Lines* lines = nullptr;
  int count() const { return lines->count(); }
  Line line(int k) const { return lines->at(k); }
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

bool isBreak(char c) { return c == '\r' || c == '\n'; }

// Whether the text is measured and drawn in the formatter's formats.
bool formatted(const EditData& d) { return d.formatter && !d.password && d.formatter->active(); }

// Widths of characters as the control draws them, walked in order: each character's
// advance in its format's font (one look-up a character), tabs of a multi-line control to
// its tab stops. Positions measured from a line's start give the x the painting uses.
class Meter {
 public:
  Meter(HDC dc, EditData& d, bool multi, int avgChar)
      : dc_(dc), d_(d), multi_(multi), avgChar_(avgChar), fmt_(formatted(d)) {}

  // The character drawn at i: the password character of a password control.
  unsigned char shown(int i) const {
    return static_cast<unsigned char>(d_.password ? d_.password : d_.text[static_cast<std::size_t>(i)]);
  }
  // Whether character i is a tab that goes to a tab stop.
  bool tab(int i) const { return multi_ && shown(i) == '\t'; }
  // The advance of character i at x.
  int advance(int i, int x) {
    const unsigned char c = shown(i);
    if (multi_ && c == '\t') return nextTabStop(d_.tabStops, x, avgChar_) - x;
    if (fmt_ && (i < from_ || i >= to_)) {
      format_ = d_.formatter->formatAt(i, from_, to_);
      table_ = &tableFor(format_ + 1);
    } else if (!table_) {
      table_ = &tableFor(0);
    }
    Advances& t = *table_;
    if (!t.known[c]) {
      HGDIOBJ old = fmt_ ? SelectObject(dc_, d_.formatter->fontOf(format_)) : nullptr;
      SIZE sz;
      const char ch = static_cast<char>(c);
      t.width[c] = GetTextExtentPoint32(dc_, &ch, 1, sz) ? sz.cx : 0;
      t.known[c] = true;
      if (old) SelectObject(dc_, old);
    }
    return t.width[c];
  }
  // The x at b of [a, b) starting at x at a (a line's start: 0).
  int span(int a, int b, int x = 0) {
    for (int i = a; i < b; ++i) x += advance(i, x);
    return x;
  }

 private:
  Advances& tableFor(int slot) {
    auto& all = d_.advances;
    if (static_cast<std::size_t>(slot) >= all.size()) all.resize(static_cast<std::size_t>(slot) + 1);
    auto& p = all[static_cast<std::size_t>(slot)];
    if (!p) p = std::make_unique<Advances>();
    return *p;
  }
  HDC dc_;
  EditData& d_;
  bool multi_;
  int avgChar_;
  bool fmt_;
  Advances* table_ = nullptr;
  int format_ = -1, from_ = 0, to_ = 0;   // the format table_ is for, and its run
};

// Where a line's x can go at most: far beyond any line that can be shown, short of
// overflowing the sums.
constexpr long long kMaxX = 1LL << 30;

// The tab stops from x = from on: every period pixels, counted from 0 (before from, a
// multi-line control's own list of stops).
struct TabRule {
  int period = 1, from = 0;
};

TabRule tabRule(const LayoutKey& k) {
  if (k.tabStops.size() == 1) return TabRule{std::max(1, k.tabStops[0]), 0};
  return TabRule{std::max(1, k.avgChar * 8),
                 k.tabStops.empty() ? 0 : *std::max_element(k.tabStops.begin(), k.tabStops.end())};
}

Chunks::Sum& measureChunk(EditData& d, Meter& m, int j) {
  Chunks::Sum& s = d.chunks.sum(j);
  if (s.measured) return s;
  const TabRule rule = tabRule(d.key);
  long long run = 0;
  s.tab = false;
  s.post = 0;
  for (int i = d.chunks.start(j), e = d.chunks.end(j); i < e; ++i) {
    if (!m.tab(i)) {
      run += m.advance(i, 0);
      continue;
    }
    // Past the first tab every tab starts at a stop; the next stop is a whole number of
    // periods further, so the chunk adds the same whatever its x.
    if (!s.tab) s.pre = run;
    else s.post += static_cast<long long>(rule.period) * (run / rule.period + 1);
    s.tab = true;
    run = 0;
  }
  if (s.tab) s.post += run;
  else s.pre = run;
  s.measured = true;
  return s;
}

// The x after chunk j from x at its start.
long long afterChunk(EditData& d, Meter& m, int j, long long x) {
  const Chunks::Sum& s = measureChunk(d, m, j);
  if (!s.tab) return std::min(kMaxX, x + s.pre);
  const TabRule rule = tabRule(d.key);
  if (x + s.pre >= rule.from) return std::min(kMaxX, rule.period * ((x + s.pre) / rule.period + 1) + s.post);
  return m.span(d.chunks.start(j), d.chunks.end(j), static_cast<int>(x));   // among the listed stops
}

// The x at the start of chunk j of the line starting at ls in chunk c (c < j): from the
// nearest chunk before it whose x is known, each chunk between added whole.
long long xAtChunk(EditData& d, Meter& m, int c, int j, int ls) {
  Chunks& ch = d.chunks;
  int i = j;
  while (i > c + 1 && ch.sum(i).xIn < 0) --i;
  long long x = ch.sum(i).xIn;
  if (x < 0) ch.sum(i).xIn = x = m.span(ls, ch.start(i));
  for (; i < j; ++i) ch.sum(i + 1).xIn = x = afterChunk(d, m, i, x);
  return x;
}

// Whether the chunks measure places on line ln: a long line that does not wrap.
bool chunked(const EditData& d, const Line& ln, int& c, int& last) {
  if (d.key.wrap || d.fromLineStarts) return false;
  c = d.chunks.chunkOf(ln.start);
  last = d.chunks.chunkOf(ln.end);
  return last > c + 1;
}

// The x of position p of line ln from the line's start.
int xOf(EditData& d, Meter& m, const Line& ln, int p) {
  int c = 0, last = 0;
  if (!chunked(d, ln, c, last)) return m.span(ln.start, p);
  const int j = d.chunks.chunkOf(p);
  if (j <= c + 1) return m.span(ln.start, p);
  return m.span(d.chunks.start(j), p, static_cast<int>(xAtChunk(d, m, c, j, ln.start)));
}

// A place of line ln at or before every position whose x (from the line's start) is above
// target: the line's start, or a chunk's start with its x. Walking on from it finds the
// exact position.
std::pair<int, int> placeBefore(EditData& d, Meter& m, const Line& ln, long long target) {
  int c = 0, last = 0;
  if (!chunked(d, ln, c, last)) return {ln.start, 0};
  std::pair<int, int> place{ln.start, 0};
  long long x = xAtChunk(d, m, c, c + 1, ln.start);
  for (int j = c + 1; j <= last && x <= target; ++j) {
    place = {d.chunks.start(j), static_cast<int>(x)};
    if (j < last) x = d.chunks.sum(j + 1).xIn >= 0 ? d.chunks.sum(j + 1).xIn : xAtChunk(d, m, c, j + 1, ln.start);
  }
  return place;
}

// Lays out one line of a wrapped paragraph that ends at pe, from start, in width pixels:
// broken after the last blank that fits (at a character when a word is wider than the line),
// at least one character a line, blanks after a break kept on it. last: the paragraph's last
// line; read: one past the last character looked at.
Line wrapLine(Meter& m, const std::string& t, int start, int pe, int brk, int width, bool& last, int& read) {
  const char* s = t.data();
  int x = 0, i = start;
  while (i < pe) {
    const int a = m.advance(i, x);
    if (x + a > width) break;
    x += a;
    ++i;
  }
  last = i == pe;
  if (last) {
    read = pe + 1;
    return Line{start, pe, pe + brk, start == pe ? 0 : -1};
  }
  const int fit = std::max(start + 1, i);
  int cut = fit;
  while (cut > start && s[cut - 1] != ' ') --cut;
  if (cut == start) cut = fit;
  while (cut < pe && s[cut] == ' ') ++cut;
  read = std::max(i, cut) + 1;
  return Line{start, cut, cut, cut == i ? x : -1};
}

// The width the lines of the paragraph ending at pe are laid out in.
int paragraphWidth(EditData& d, int pe) {
  if (!d.key.formatted || !d.key.wrap) return d.key.width;
  int left = 0, right = 0, align = 0;
  d.formatter->paragraph(pe, left, right, align);
  return std::max(1, d.key.width - left - right);
}

// Taken before a change of the text or of its formats at pos: the width the paragraph
// holding the character before it was laid out in. relay() lays that paragraph out again
// from its start when the change gives it another width.
void holdWidth(EditData& d, int pos) {
  d.heldWidth = -1;
  if (!d.keptValid || !d.key.wrap || !d.key.formatted || !d.formatter) return;
  const Lines& ls = d.lines;
  d.heldWidth = paragraphWidth(d, ls.at(ls.paragraphLast(ls.lineOf(std::max(0, pos - 1)))).end);
}

// The lines of the text one after another, from any line's start on: each paragraph's end
// (its line break) comes from paraEnd, which gives the first break at or after a position.
template <class ParaEnd>
class Layer {
 public:
  Layer(Meter& m, EditData& d, ParaEnd paraEnd) : m_(m), d_(d), paraEnd_(paraEnd) {}
  // The line starting at q; last: it ends its paragraph, and the text when that has no
  // line break.
  Line line(int q, bool& last, bool& end) {
    if (!inParagraph_) begin(q);
    Line ln{q, pe_, pe_ + brk_, q == pe_ ? 0 : -1};
    last = true;
    if (d_.key.wrap && q < pe_) {
      int read = 0;
      ln = wrapLine(m_, d_.text, q, pe_, brk_, width_, last, read);
    }
    inParagraph_ = !last;
    end = last && brk_ == 0;
    return ln;
  }
  // The width of the paragraph holding q (a wrapped one's lines fit in it).
  int width(int q) {
    if (!inParagraph_) begin(q);
    return width_;
  }
  int paragraphEnd() const { return pe_; }

 private:
  void begin(int q) {
    pe_ = paraEnd_(q);
    brk_ = breakLength(d_.text, pe_);
    width_ = paragraphWidth(d_, pe_);
    inParagraph_ = true;
  }
  Meter& m_;
  EditData& d_;
  ParaEnd paraEnd_;
  bool inParagraph_ = false;
  int pe_ = 0, brk_ = 0, width_ = 0;
};

// The first line break at or after a position, walking the text once from its start with
// the C library's search for each of the two break characters.
class BreakFinder {
 public:
  explicit BreakFinder(const std::string& t) : s_(t.data()), n_(static_cast<int>(t.size())) {}
  int operator()(int from) {
    cr_ = find(cr_, from, '\r');
    lf_ = find(lf_, from, '\n');
    return std::min(cr_, lf_);
  }

 private:
  int find(int known, int from, char c) const {
    if (known >= from) return known;
    const void* p = std::memchr(s_ + from, c, static_cast<std::size_t>(n_ - from));
    return p ? static_cast<int>(static_cast<const char*>(p) - s_) : n_;
  }
  const char* s_;
  int n_;
  int cr_ = -1, lf_ = -1;
};

LayoutKey keyOf(HWND h, const EditData& d, const RECT& fr, int avgChar) {
  LayoutKey k;
  const DWORD style = styleOf(h);
  k.multi = (style & ES_MULTILINE) != 0;
  k.wrap = k.multi && !(style & ES_AUTOHSCROLL);
  k.width = k.wrap ? static_cast<int>(fr.right - fr.left) : 0;
  k.font = dlg::fontOf(h);
  k.formatted = formatted(d);
  k.password = d.password;
  k.avgChar = avgChar;
  if (k.multi) k.tabStops = d.tabStops;
  return k;
}

// All lines laid out from nothing.
void layAll(HDC dc, EditData& d) {
  d.lines.clear();
  const int n = static_cast<int>(d.text.size());
  if (!d.key.wrap) d.chunks.reset(n);
  if (!d.key.multi) {
    d.lines.push_back(Line{0, n, n, n == 0 ? 0 : -1});
    return;
  }
  Meter m(dc, d, true, d.key.avgChar);
  Layer layer(m, d, BreakFinder(d.text));
  for (int q = 0;;) {
    bool last = false, end = false;
    const Line ln = layer.line(q, last, end);
    d.lines.push_back(ln);
    if (end) break;
    q = ln.next;
  }
}

Layout layout(HWND h, HDC dc, EditData& d) {
  Layout l;
  l.fr = formatRect(h, d);
  TEXTMETRIC tm;
  if (GetTextMetrics(dc, tm)) {
    if (tm.tmHeight > 0) l.lineHeight = tm.tmHeight;
    if (formatted(d)) l.lineHeight = d.formatter->lineHeight(dc, l.lineHeight);
    if (tm.tmAveCharWidth > 0) l.avgChar = tm.tmAveCharWidth;
  }
  LayoutKey key = keyOf(h, d, l.fr, l.avgChar);
  if (!d.keptValid || !(key == d.key)) {
    // Fonts may have been made again: their advances are measured afresh.
    d.advances.clear();
    d.key = std::move(key);
    layAll(dc, d);
    d.keptValid = true;
  }
  l.lines = &d.lines;
  return l;
}

// The text's characters [pos, pos + inserted) replaced removed ones (or, the same ones, got
// other formats; paragraphs: their paragraphs' formats too). The lines from the first whose
// layout looked at a changed character are laid out again until a fresh line starts where a
// kept one did after the change (for paragraph formats: until the next paragraph); the
// lines after it move.
void relay(HWND h, EditData& d, int pos, int removed, int inserted, bool paragraphs = false) {
  if (!d.keptValid) return;
  const int n = static_cast<int>(d.text.size());
  const int delta = inserted - removed;
  if (!d.key.wrap) d.chunks.replaced(pos, removed, inserted);
  Lines& ls = d.lines;
  if (!d.key.multi) {
    ls.clear();
    ls.push_back(Line{0, n, n, n == 0 ? 0 : -1});
    d.chunks.forget(pos, n);
    return;
  }
  const std::string& t = d.text;
  // The kept lines still hold the text before the change: after it, its breaks are theirs
  // moved by delta.
  auto keptEnd = [&](int p) { return ls.at(ls.paragraphLast(ls.lineOf(p))).end; };
  auto paraEnd = [&](int q) {
    if (q < pos) {
      const int e = keptEnd(q);
      if (e < pos) return e;
      q = pos;
    }
    const int scanned = std::min(n, std::max(q + 1, pos + inserted + 1));
    for (int i = q; i < scanned; ++i)
      if (isBreak(t[static_cast<std::size_t>(i)])) return i;
    return scanned >= n ? n : keptEnd(scanned - delta) + delta;
  };
  Measure meter(h);
  Meter m(meter.dc(), d, true, d.key.avgChar);
  Layer layer(m, d, paraEnd);
  int a = ls.lineOf(std::max(0, pos - 1));
  if (paragraphs) a = std::min(a, ls.paragraphFirst(ls.lineOf(pos)));
  const int held = std::exchange(d.heldWidth, -1);
  if (d.key.wrap) {
    // A line before it in its paragraph that looked on to the change is laid out again too;
    // all of them when the paragraph's width changed.
    const int width = layer.width(ls.at(a).start), pe = layer.paragraphEnd();
    if (held >= 0 && held != width) a = ls.paragraphFirst(a);
    while (a > 0) {
      const Line prev = ls.at(a - 1);
      if (prev.end != prev.next) break;
      bool last = false;
      int read = 0;
      wrapLine(m, t, prev.start, pe, breakLength(t, pe), width, last, read);
      if (read <= pos) break;
      --a;
    }
  }
  std::vector<Line> fresh;
  int e = ls.count();   // the kept lines [a, e) give way
  for (int q = ls.at(a).start;;) {
    bool last = false, end = false;
    const Line ln = layer.line(q, last, end);
    fresh.push_back(ln);
    if (end) break;
    q = ln.next;
    const int kept = q - delta;
    if (q < pos + inserted || kept < pos + removed || (paragraphs && !(last && q > pos + inserted))) continue;
    const int k = ls.lineOf(kept);
    if (ls.at(k).start == kept) {
      e = k;
      break;
    }
  }
  ls.splice(a, e, fresh, delta);
  if (!d.key.wrap) d.chunks.forget(pos, ls.at(ls.lineOf(pos + inserted)).end);
}

// The width of line k, measured once.
int lineWidth(HDC dc, EditData& d, bool multi, const Layout& l, int k) {
  Line ln = l.line(k);
  if (ln.width < 0) {
    Meter m(dc, d, multi, l.avgChar);
    ln.width = xOf(d, m, ln, ln.end);
    d.lines.setWidth(k, ln.width);
  }
  return ln.width;
}

int lineOf(const Layout& l, int index) { return l.lines->lineOf(index); }

// The line break that ends the paragraph holding line k (the end of the text for the last).
int paragraphEnd(const EditData& d, const Layout& l, int k) {
  return l.line(d.key.wrap ? l.lines->paragraphLast(k) : k).end;
}

// Left end of a line on the screen: aligned in the formatting rectangle while it fits,
// else scrolled.
int lineX(HWND h, HDC dc, EditData& d, const Layout& l, int k) {
  int width = l.fr.right - l.fr.left;
  int left = 0;
  DWORD align = styleOf(h) & (ES_CENTER | ES_RIGHT);
  if (formatted(d) && multiLine(h)) {
    // The paragraph's indents and alignment.
    int right = 0, a = 0;
    d.formatter->paragraph(paragraphEnd(d, l, k), left, right, a);
    width = std::max(1, width - left - right);
    align = a == 1 ? ES_CENTER : a == 2 ? ES_RIGHT : ES_LEFT;
    width = std::max(1, width - 1);   // room for the caret after a right-aligned line's end
  }
  if (align == ES_LEFT) return l.fr.left + left - d.xOffset;
  const int lw = lineWidth(dc, d, multiLine(h), l, k);
  if (lw > width) return l.fr.left + left - d.xOffset;
  if (align == ES_RIGHT) return l.fr.left + left + width - lw - d.xOffset;
  return l.fr.left + left + (width - lw) / 2 - d.xOffset;
}

POINT posOf(HWND h, HDC dc, EditData& d, const Layout& l, int index) {
  const int k = lineOf(l, index);
  const Line ln = l.line(k);
  const int at = std::clamp(index, ln.start, ln.end);
  Meter m(dc, d, multiLine(h), l.avgChar);
  const int x = lineX(h, dc, d, l, k) + xOf(d, m, ln, at);
  return POINT{x, l.fr.top + (k - d.firstLine) * l.lineHeight};
}

// The character boundary nearest to a point; line out: the line it is on.
int indexAt(HWND h, HDC dc, EditData& d, const Layout& l, POINT p, int* lineOut = nullptr) {
  int k = d.firstLine + (p.y >= l.fr.top ? (p.y - l.fr.top) / l.lineHeight : -1);
  k = std::clamp(k, 0, l.count() - 1);
  if (lineOut) *lineOut = k;
  const Line ln = l.line(k);
  const int x0 = lineX(h, dc, d, l, k);
  Meter m(dc, d, multiLine(h), l.avgChar);
  // No boundary before a place whose x is left of the point by a pixel or more is nearer.
  const auto [from, xFrom] = placeBefore(d, m, ln, static_cast<long long>(p.x) - x0 - 1);
  int prev = x0 + xFrom, w = xFrom;
  for (int i = from; i < ln.end; ++i) {
    w += m.advance(i, w);
    const int x = x0 + w;
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
  si.nMax = l.count() - 1;
  si.nPage = static_cast<UINT>(visibleLines(l));
  si.nPos = d.firstLine;
  SetScrollInfo(h, SB_VERT, si, TRUE);
}

// Scrolls so that the caret shows.
void showCaret(HWND h, EditData& d) {
  Measure m(h);
  const Layout l = layout(h, m.dc(), d);
  const bool multi = multiLine(h);
  const int k = lineOf(l, d.caret);
  if (multi) {
    const int vis = visibleLines(l);
    if (k < d.firstLine) d.firstLine = k;
    else if (k >= d.firstLine + vis) d.firstLine = k - vis + 1;
    d.firstLine = std::clamp(d.firstLine, 0, std::max(0, l.count() - 1));
  }
  const int width = l.fr.right - l.fr.left;
  const int lw = multi ? 0 : lineWidth(m.dc(), d, multi, l, k);
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
  // A probe with the control's look and the new text, laid out from nothing.
  EditData probe;
  probe.text = t;
  probe.password = d.password;
  probe.leftMargin = d.leftMargin;
  probe.rightMargin = d.rightMargin;
  probe.ownRect = d.ownRect;
  probe.rect = d.rect;
  probe.tabStops = d.tabStops;
  probe.formatter = d.formatter;
  Measure m(h);
  const Layout l = layout(h, m.dc(), probe);
  if (!multi) return lineWidth(m.dc(), probe, false, l, 0) <= l.fr.right - l.fr.left;
  return l.count() <= visibleLines(l);
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

// The history after a new step: redo steps go, and the oldest steps beyond its memory (or
// beyond the one step of a single level).
void pushStep(EditData& d, UndoStep step) {
  for (const UndoStep& s : d.redo) d.undoBytes -= s.bytes();
  d.redo.clear();
  d.undoBytes += step.bytes();
  d.undo.push_back(std::move(step));
  const std::size_t keep = d.multiUndo ? d.undo.size() : 1;
  while (d.undo.size() > 1 && (d.undo.size() > keep || d.undoBytes > kUndoBytes)) {
    d.undoBytes -= d.undo.front().bytes();
    d.undo.pop_front();
  }
}

void clearHistory(EditData& d) {
  d.undo.clear();
  d.redo.clear();
  d.undoBytes = 0;
  d.typing = false;
}

// A new step of undo for the change of [lo, hi) into inserted characters, before it is made.
UndoStep stepFor(const EditData& d, int lo, int hi, int inserted) {
  UndoStep s;
  s.pieces.push_back(UndoPiece{lo, inserted, hi - lo});
  s.other = d.text.substr(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo));
  s.anchor = d.anchor;
  s.caret = d.caret;
  if (d.formatter) s.formats = d.formatter->save();
  return s;
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
  const DWORD style = styleOf(h);
  if (user && !((style & ES_MULTILINE) ? (style & ES_AUTOVSCROLL) : (style & ES_AUTOHSCROLL))) {
    std::string next = d->text;
    next.replace(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo), ins);
    if (!fits(h, *d, next)) {
      notify(h, EN_MAXTEXT);
      return false;
    }
  }
  const int n = static_cast<int>(ins.size());
  // A typed character joins the typed run before it, right behind it.
  UndoStep* run = nullptr;
  if (undoable && typed && d->typing && !d->undo.empty() && d->undo.back().typing && d->redo.empty()) {
    UndoStep& s = d->undo.back();
    if (s.pieces.size() == 1 && s.pieces[0].start + s.pieces[0].length == lo) run = &s;
  }
  if (run) {
    d->undoBytes += static_cast<std::size_t>(hi - lo);
    run->other.append(d->text, static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo));
    run->pieces[0].length += n;
    run->pieces[0].otherLength += hi - lo;
  } else if (undoable) {
    UndoStep s = stepFor(*d, lo, hi, n);
    s.typing = typed;
    pushStep(*d, std::move(s));
  }
  holdWidth(*d, lo);
  if (d->formatter) d->formatter->replaced(lo, hi - lo, n);
  d->text.replace(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo), ins);
  relay(h, *d, lo, hi - lo, n);
  d->anchor = d->caret = lo + n;
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

// Puts the other side of a step in place and keeps this side in the step: text, selection
// and formats; the lines from its first piece to its last are laid out again.
void swapStep(HWND h, EditData& d, UndoStep& s) {
  holdWidth(d, s.pieces.empty() ? s.formatFrom : s.pieces.front().start);
  if (s.pieces.size() == 1) {
    UndoPiece& p = s.pieces[0];
    std::string here = d.text.substr(static_cast<std::size_t>(p.start), static_cast<std::size_t>(p.length));
    d.text.replace(static_cast<std::size_t>(p.start), static_cast<std::size_t>(p.length), s.other);
    s.other = std::move(here);
    std::swap(p.length, p.otherLength);
  } else if (!s.pieces.empty()) {
    std::string next, others;
    next.reserve(d.text.size() + s.other.size());
    std::size_t at = 0, from = 0;
    int shift = 0;
    for (UndoPiece& p : s.pieces) {
      const auto start = static_cast<std::size_t>(p.start);
      next.append(d.text, at, start - at);
      next.append(s.other, from, static_cast<std::size_t>(p.otherLength));
      others.append(d.text, start, static_cast<std::size_t>(p.length));
      from += static_cast<std::size_t>(p.otherLength);
      at = start + static_cast<std::size_t>(p.length);
      p.start += shift;
      shift += p.otherLength - p.length;
      std::swap(p.length, p.otherLength);
    }
    next.append(d.text, at, std::string::npos);
    d.text = std::move(next);
    s.other = std::move(others);
  }
  if (d.formatter && s.formats) {
    std::unique_ptr<editx::FormatState> here = d.formatter->save();
    d.formatter->restore(*s.formats);
    s.formats = std::move(here);
  }
  if (!s.pieces.empty()) {
    // The span from the first piece to the last, in the text before and after.
    const UndoPiece& first = s.pieces.front();
    const UndoPiece& last = s.pieces.back();
    const int after = last.start + last.length - first.start;   // pieces now hold the new side
    int before = after;
    for (const UndoPiece& p : s.pieces) before += p.otherLength - p.length;
    relay(h, d, first.start, before, after);
  } else {
    relay(h, d, s.formatFrom, s.formatTo - s.formatFrom, s.formatTo - s.formatFrom, s.paragraphs);
  }
  std::swap(d.anchor, s.anchor);
  std::swap(d.caret, s.caret);
  d.anchor = tidy(d, d.anchor);
  d.caret = tidy(d, d.caret);
}

// Undo (back) or redo the last step; a single level keeps its step, so that undoing again
// takes the undo back.
bool undoStep(HWND h, bool back) {
  EditData* d = rec(h);
  if (!d) return false;
  std::deque<UndoStep>& from = back || !d->multiUndo ? d->undo : d->redo;
  if (from.empty()) return false;
  d->undoBytes -= from.back().bytes();
  swapStep(h, *d, from.back());
  d->undoBytes += from.back().bytes();
  from.back().typing = false;
  if (d->multiUndo) {
    std::deque<UndoStep>& to = back ? d->redo : d->undo;
    to.push_back(std::move(from.back()));
    from.pop_back();
  }
  d->modified = true;
  d->typing = false;
  if (!changed(h, *d)) return true;
  return true;
}

//------------------------------------------------------------------------------
// [SECTION] Painting
//------------------------------------------------------------------------------
// Draws the characters [a, b) of line ln placed at x0, piece by piece between tabs, each
// piece where the meter puts it; selected: in the highlight text colour. A single line draws
// its tabs as characters. Only characters whose glyphs can reach the clip are drawn: a glyph
// reaches no further from its place than a few line heights.
void drawRun(HDC dc, EditData& d, Meter& m, const Layout& l, int x0, int y, const Line& ln, int a, int b,
             const RECT& clip, bool selected) {
  const bool fmt = formatted(d);
  const long long reach = 4LL * l.lineHeight + 16;
  long long left = static_cast<long long>(clip.left) - x0 - reach, right = static_cast<long long>(clip.right) - x0 + reach;
  if (d.fromLineStarts) {
    left = std::numeric_limits<long long>::min();
    right = std::numeric_limits<long long>::max();
  }
  int i = a, x = xOf(d, m, ln, a);
  if (x <= left) {
    if (const auto [from, xFrom] = placeBefore(d, m, ln, left); from > a) {
      i = from;
      x = xFrom;
    }
    while (i < b && x <= left) x += m.advance(i++, x);
  }
  std::string mask;
  while (i < b && x < right) {
    if (m.tab(i)) {
      x += m.advance(i, x);
      ++i;
      continue;
    }
    int j = i, w = 0;
    while (j < b && !m.tab(j) && x + w < right) {
      w += m.advance(j, x + w);
      ++j;
    }
    const char* s = d.text.data() + i;
    if (d.password) {
      mask.assign(static_cast<std::size_t>(j - i), d.password);
      s = mask.data();
    }
    if (fmt)
      d.formatter->draw(dc, x0 + x, y, i, s, j - i, clip, selected);
    else
      ExtTextOut(dc, x0 + x, y, ETO_CLIPPED, &clip, s, static_cast<UINT>(j - i), nullptr);
    x += w;
    i = j;
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
      Meter m(dc, *d, multi, l.avgChar);
      for (int k = d->firstLine; k < l.count() && k < d->firstLine + vis; ++k) {
        const Line ln = l.line(k);
        const int y = l.fr.top + (k - d->firstLine) * l.lineHeight;
        const int x0 = lineX(h, dc, *d, l, k);
        SetTextColor(dc, text);
        drawRun(dc, *d, m, l, x0, y, ln, ln.start, ln.end, l.fr, false);
        if (formatted(*d)) d->formatter->decorate(dc, d->text, ln.start, paragraphEnd(*d, l, k), x0, y, l.fr);
        const int a = std::max(lo, ln.start), b = std::min(hi, ln.end);
        if (showSel && a < b) {
          const int xa = x0 + xOf(*d, m, ln, a);
          const int xb = x0 + xOf(*d, m, ln, b);
          RECT sel{std::max(xa, static_cast<int>(l.fr.left)), y, std::min(xb, static_cast<int>(l.fr.right)), y + l.lineHeight};
          sel.bottom = std::min(sel.bottom, l.fr.bottom);
          dlg::fillSolid(dc, sel, GetSysColor(COLOR_HIGHLIGHT));
          SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
          drawRun(dc, *d, m, l, x0, y, ln, a, b, sel, true);
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
  const Line ln = l.line(lineOf(l, c));
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
      const int target = std::clamp(k + ((vk == VK_UP || vk == VK_PRIOR) ? -step : step), 0, l.count() - 1);
      if (vk == VK_PRIOR || vk == VK_NEXT)
        d->firstLine = std::clamp(d->firstLine + target - k, 0, std::max(0, l.count() - 1));
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
  if (replaceSel(h, ins, true, true, true) && over && first && (d = rec(h)) != nullptr && !d->undo.empty())
    d->undo.back().anchor = d->undo.back().caret;
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
  if (k >= l.count()) return -1;
  return l.line(k).start;
}

// The whole text set anew by its program.
void setText(HWND h, EditData& d, std::string text) {
  d.text = std::move(text);
  if (d.formatter) d.formatter->textSet(static_cast<int>(d.text.size()));
  d.anchor = d.caret = 0;
  d.modified = false;
  clearHistory(d);
  d.keptValid = false;
  d.firstLine = 0;
  d.xOffset = 0;
  // The window keeps a copy of its text only for a caption to show.
  DefWindowProc(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((styleOf(h) & WS_CAPTION) == WS_CAPTION ? d.text.c_str() : ""));
  showCaret(h, d);
  redraw(h);
  // A multi-line edit does not report text set by its program.
  if (!multiLine(h)) {
    notify(h, EN_UPDATE);
    if (IsWindow(h)) notify(h, EN_CHANGE);
  }
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
      const std::size_t n = s ? std::strlen(s) : 0;
      // Room to type into before the text is copied again.
      std::string t;
      t.reserve(n + n / 64 + 64);
      t.append(s ? s : "", n);
      setText(h, d, std::move(t));
      return TRUE;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SETFONT:
      d.keptValid = false;
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
      const int last = std::max(0, l.count() - visibleLines(l));
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
      return undoStep(h, true) ? TRUE : FALSE;
    case EM_CANUNDO:
      return d.undo.empty() ? FALSE : TRUE;
    case EM_EMPTYUNDOBUFFER:
      clearHistory(d);
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
      return static_cast<LRESULT>(layout(h, m.dc(), d).count());
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
        const Line a = l.line(lineOf(l, selLo(d)));
        const Line b = l.line(lineOf(l, selHi(d)));
        return (selLo(d) - a.start) + (b.end - selHi(d));
      }
      if (i > static_cast<int>(d.text.size())) return 0;
      const Line ln = l.line(lineOf(l, i));
      return ln.end - ln.start;
    }
    case EM_GETLINE: {
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      const int k = static_cast<int>(wParam);
      char* out = reinterpret_cast<char*>(lParam);
      if (!out || k < 0 || k >= l.count()) return 0;
      // The buffer's size is in its first word; the line is copied without a NUL.
      WORD size = 0;
      std::memcpy(&size, out, sizeof size);
      const Line ln = l.line(k);
      const int n = std::min<int>(size, ln.end - ln.start);
      std::memcpy(out, d.text.data() + ln.start, static_cast<std::size_t>(n));
      return n;
    }
    case EM_LINESCROLL: {
      if (!multiLine(h)) return FALSE;
      Measure m(h);
      const Layout l = layout(h, m.dc(), d);
      d.firstLine = std::clamp(d.firstLine + static_cast<int>(lParam), 0, std::max(0, l.count() - 1));
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
  // One step: the new pieces, with the characters they replaced on the other side.
  UndoStep step;
  step.pieces.reserve(starts.size());
  step.other.reserve(starts.size() * static_cast<std::size_t>(std::max(removed, 0)));
  int shift = 0;
  for (const int pos : starts) {
    step.pieces.push_back(UndoPiece{pos + shift, static_cast<int>(ins.size()), removed});
    step.other.append(d->text, static_cast<std::size_t>(pos), static_cast<std::size_t>(removed));
    shift += static_cast<int>(ins.size()) - removed;
  }
  step.anchor = d->anchor;
  step.caret = d->caret;
  if (d->formatter) step.formats = d->formatter->save();
  pushStep(*d, std::move(step));
  holdWidth(*d, starts.front());
  if (d->formatter) d->formatter->replacedPieces(starts, removed, static_cast<int>(ins.size()));
  d->text = std::move(next);
  // The lines from the first piece to the last are laid out again.
  const int span = starts.back() + removed - starts.front();
  relay(h, *d, starts.front(), span, span + shift);
  d->anchor = d->caret = caret;
  d->modified = true;
  d->typing = false;
  if (!changed(h, *d)) return true;
  return true;
}

void relayout(HWND h, int from, int to, bool paragraphs) {
  EditData* d = rec(h);
  if (!d) return;
  const int n = static_cast<int>(d->text.size());
  if (to < 0) {
    d->keptValid = false;
    return;
  }
  from = std::clamp(from, 0, n);
  to = std::clamp(to, from, n);
  relay(h, *d, from, to - from, to - from, paragraphs);
}

void setUndoLevels(HWND h, bool multi) {
  if (EditData* d = rec(h)) {
    d->multiUndo = multi;
    clearHistory(*d);
  }
}

void formatStep(HWND h, int from, int to, bool paragraphs) {
  EditData* d = rec(h);
  if (!d || !d->formatter) return;
  UndoStep step;
  step.anchor = d->anchor;
  step.caret = d->caret;
  step.formats = d->formatter->save();
  step.formatFrom = from;
  step.formatTo = to;
  step.paragraphs = paragraphs;
  pushStep(*d, std::move(step));
  d->typing = false;
}

bool redo(HWND h) { return canRedo(h) && undoStep(h, false); }

bool canRedo(HWND h) {
  const EditData* d = rec(h);
  return d && d->multiUndo && !d->redo.empty();
}

namespace {
std::vector<LineInfo> infoOf(const Lines& ls, HWND h, EditData& d, const Layout& l) {
  std::vector<LineInfo> out;
  Measure m(h);
  for (int k = 0; k < ls.count(); ++k) {
    const Line ln = ls.at(k);
    out.push_back(LineInfo{ln.start, ln.end, ln.next, lineWidth(m.dc(), d, multiLine(h), l, k)});
  }
  return out;
}
}  // namespace

std::vector<LineInfo> keptLines(HWND h) {
  EditData* d = rec(h);
  if (!d) return {};
  Measure m(h);
  const Layout l = layout(h, m.dc(), *d);
  return infoOf(d->lines, h, *d, l);
}

std::vector<LineInfo> freshLines(HWND h) {
  EditData* d = rec(h);
  if (!d) return {};
  // Laid out from nothing beside the kept lines, which stay as they are.
  Lines kept = std::move(d->lines);
  const LayoutKey key = d->key;
  const bool valid = d->keptValid;
  d->lines = Lines{};
  d->keptValid = false;
  Measure m(h);
  const Layout l = layout(h, m.dc(), *d);
  std::vector<LineInfo> out = infoOf(d->lines, h, *d, l);
  d->lines = std::move(kept);
  d->key = key;
  d->keptValid = valid;
  return out;
}

void setText(HWND h, std::string&& text) {
  if (EditData* d = rec(h)) setText(h, *d, std::move(text));
}

void measureFromLineStarts(HWND h, bool on) {
  if (EditData* d = rec(h)) d->fromLineStarts = on;
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
