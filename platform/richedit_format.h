#pragma once
// platform/richedit_format.h: internal to the rich-edit control: the character and paragraph
// formats of its text, kept as runs over the characters, and the formatter through which
// the EDIT control underneath measures and draws them.
//
// Character runs cover the text; paragraph runs cover the text and one position more (the
// end of the last paragraph): a paragraph's format is the value at its closing CR, or at
// that last position.
#include <string>
#include <vector>

#include "platform/edit_formatter.h"
#include "platform/gdi.h"
#include "platform/richedit_rtf.h"

namespace win::rich {

// Values over positions 0..length-1 as runs: each run holds from its start to the next one's.
class Runs {
 public:
  struct Run {
    int start;
    int value;
  };
  void reset(int length, int value) {
    runs_.assign(1, Run{0, value});
    length_ = length;
  }
  int length() const { return length_; }
  int at(int pos) const;
  void erase(int pos, int n);
  void insert(int pos, int n, int value);
  // Value v becomes f(v) for the positions [from, to).
  template <class F>
  void apply(int from, int to, F f) {
    if (from < 0) from = 0;
    if (to > length_) to = length_;
    if (from >= to) return;
    split(from);
    split(to);
    for (Run& r : runs_)
      if (r.start >= from && r.start < to) r.value = f(r.value);
    merge();
  }
  // f(start, end, value) for the pieces of [from, to).
  template <class F>
  void each(int from, int to, F f) const {
    if (from < 0) from = 0;
    if (to > length_) to = length_;
    for (std::size_t k = index(from); k < runs_.size() && runs_[k].start < to; ++k) {
      const int e = k + 1 < runs_.size() ? runs_[k + 1].start : length_;
      f(std::max(from, runs_[k].start), std::min(to, e), runs_[k].value);
    }
  }
  bool uniform(int value) const { return runs_.size() == 1 && runs_[0].value == value; }
  // The value at pos and the run [from, to) holding it.
  int runAt(int pos, int& from, int& to) const;
  const std::vector<Run>& runs() const { return runs_; }
  void assign(std::vector<Run> runs, int length);

 private:
  std::size_t index(int pos) const;
  void split(int pos);
  void merge();
  std::vector<Run> runs_{Run{0, 0}};
  int length_ = 0;
};

class Formats final : public editx::Formatter {
 public:
  explicit Formats(HWND control) : control_(control) {}
  ~Formats() override;
  Formats(const Formats&) = delete;
  Formats& operator=(const Formats&) = delete;

  Runs chars, paras;
  std::vector<rtf::CharFormat> charFormats{rtf::CharFormat{}};
  std::vector<rtf::ParaFormat> paraFormats{rtf::ParaFormat{}};
  // The format the next characters typed at position typingAt get (-1: that of the
  // character before).
  int typing = -1, typingAt = -1;
  // Format 0 (the control's font) was given attributes of its own (SCF_DEFAULT); paragraph
  // format 0 never changes.
  bool defaultChanged = false;

  int internChar(const rtf::CharFormat& f);
  int internPara(const rtf::ParaFormat& f);
  // The control's font changed, or formats did: fonts and heights are made again.
  void invalidate();
  // The control's font as a format: its face, size, weight and pitch.
  rtf::CharFormat base() const;
  // The whole text with its formats, and back: doc's text at position at of a text now
  // textLength long. A fragment (pasted or streamed into the selection) sets the format of
  // the paragraphs it closes only; its last piece keeps that of the paragraph it joins.
  rtf::Document document(const std::string& text) const;
  // The character formats as a document states them: in a bold control font, bold wherever
  // it shows bold. A document read in says all there is: in a bold control font its
  // characters without bold get normal weight.
  std::vector<rtf::CharFormat> statedFormats() const;
  void load(const rtf::Document& doc, int at, int textLength, bool fragment = false);

  void replaced(int pos, int removed, int inserted) override;
  void replacedPieces(const std::vector<int>& starts, int removed, int inserted) override;
  void textSet(int length) override;
  std::unique_ptr<editx::FormatState> save() const override;
  void restore(const editx::FormatState& s) override;
  bool active() const override;
  int formatAt(int at, int& from, int& to) const override;
  HFONT fontOf(int format) override { return fontFor(format); }
  void draw(HDC dc, int x, int y, int at, const char* s, int n, const RECT& clip, bool selected) override;
  int lineHeight(HDC dc, int base) override;
  void paragraph(int end, int& left, int& right, int& align) override;
  void decorate(HDC dc, const std::string& text, int lineStart, int paraEnd, int x, int y, const RECT& clip) override;

  // The font of a character format at 96 dots an inch: the control's font with the format's
  // face, size and effects.
  LOGFONT logFont(int format) const;
  // Twips of the room a bullet takes before its paragraph's text.
  static constexpr int kBulletTwips = 360;

  // Pixels of the body text's left indent of a paragraph format, bullets included.
  static int bodyIndent(const rtf::ParaFormat& p);

 private:
  HFONT fontFor(int format);
  HWND control_;
  std::vector<HFONT> fonts_;
  HFONT fontsOf_ = nullptr;   // the control font the cached fonts were made from
  int height_ = -1;           // tallest font in use; -1: to measure
};

}  // namespace win::rich
