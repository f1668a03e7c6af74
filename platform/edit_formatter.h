#pragma once
// platform/edit_formatter.h: internal to the text controls. A control built on the EDIT
// control's window procedure (the rich-edit control) attaches a formatter to it: the EDIT
// control then measures and draws its text through it (fonts, colours, paragraph indents and
// alignment) and tells it of every change of the text, so that formats stay on their
// characters. Without a formatter the EDIT control draws in its one font.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win.h"

namespace win::editx {

// The formats of the whole text at one moment, kept by the EDIT control's undo history.
class FormatState {
 public:
  virtual ~FormatState() = default;
  virtual std::size_t bytes() const = 0;
};

class Formatter {
 public:
  virtual ~Formatter() = default;

  // The characters [pos, pos + removed) were replaced by inserted new ones.
  virtual void replaced(int pos, int removed, int inserted) = 0;
  // The `removed` characters at each of starts (ascending, apart, in the text before) were
  // replaced by `inserted` new ones in one change.
  virtual void replacedPieces(const std::vector<int>& starts, int removed, int inserted) = 0;
  // The whole text was set anew (WM_SETTEXT).
  virtual void textSet(int length) = 0;
  // The formats as they stand, and back (undo and redo put back the formats of their text).
  virtual std::unique_ptr<FormatState> save() const = 0;
  virtual void restore(const FormatState& s) = 0;

  // False while every character has the control's font and every paragraph the plain
  // format: the EDIT control then measures and draws as without a formatter.
  virtual bool active() const = 0;
  // The character format at position at and the run [from, to) of characters that share it.
  virtual int formatAt(int at, int& from, int& to) const = 0;
  // The font of a character format (made again after the formats change; widths measured in
  // it stay true while the format stands).
  virtual HFONT fontOf(int format) = 0;
  // Draws them at x, y (top of the line) clipped to clip; selected: in the highlight text colour.
  virtual void draw(HDC dc, int x, int y, int at, const char* s, int n, const RECT& clip, bool selected) = 0;
  // Height of every line: the tallest font in use (at least base).
  virtual int lineHeight(HDC dc, int base) = 0;
  // Left and right indent in pixels and alignment (0 left, 1 centre, 2 right) of the
  // paragraph whose line break is at end (or that ends the text there).
  virtual void paragraph(int end, int& left, int& right, int& align) = 0;
  // Draws what goes in front of a paragraph's first line (its bullet) left of x; paraEnd:
  // where the paragraph holding the line ends.
  virtual void decorate(HDC dc, const std::string& text, int lineStart, int paraEnd, int x, int y,
                        const RECT& clip) = 0;
};

// Attaches f (owned by the caller, nullptr detaches) to the EDIT-based control h.
void setFormatter(HWND h, Formatter* f);

// The formats of the characters [from, to) changed (to -1: the whole text, or the formats'
// fonts; paragraphs: the formats of the paragraphs holding them too): the lines they touch are
// laid out again.
void relayout(HWND h, int from, int to, bool paragraphs = false);

// Undo history. multi: many steps with redo (the rich-edit level above 1); otherwise one
// step that a second undo takes back.
void setUndoLevels(HWND h, bool multi);
// A change of formats over [from, to) (paragraphs: of the paragraphs holding them) is about
// to be made: it becomes a step of undo.
void formatStep(HWND h, int from, int to, bool paragraphs = false);
bool redo(HWND h);
bool canRedo(HWND h);

// For tests: the lines the control keeps (start, end, next and width of each) and those a
// layout of the whole text from nothing gives.
struct LineInfo {
  int start, end, next, width;
  bool operator==(const LineInfo&) const = default;
};
std::vector<LineInfo> keptLines(HWND h);
std::vector<LineInfo> freshLines(HWND h);
// For tests: the control measures every place from its line's start, character by
// character, and hands whole lines to the text drawer, as a layout from nothing would.
void measureFromLineStarts(HWND h, bool on);

// Replaces the `removed` characters at each of starts (ascending, apart) of the EDIT-based
// control h's text by ins as one undoable change: the caret after the last one, one
// EN_UPDATE and EN_CHANGE. False (nothing done) without starts.
bool replacePieces(HWND h, const std::vector<int>& starts, int removed, std::string_view ins);

// Sets the whole text of the EDIT-based control h, as WM_SETTEXT does, taking the string
// rather than copying it.
void setText(HWND h, std::string&& text);

// Overwrite mode of a multi-line EDIT-based control (the rich-edit control switches it with
// the Insert key): a typed character replaces the one after the caret, except at a line end
// or the end of the text and over a selection.
void setOverwrite(HWND h, bool on);
bool overwriting(HWND h);

}  // namespace win::editx
