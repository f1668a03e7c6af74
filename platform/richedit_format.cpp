// platform/richedit_format.cpp: the rich-edit control's format runs and the formatter the EDIT
// control measures and draws them through.
#include "platform/richedit_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/dialog_internal.h"

namespace win::rich {

//------------------------------------------------------------------------------
// Runs
//------------------------------------------------------------------------------
std::size_t Runs::index(int pos) const {
  auto it = std::upper_bound(runs_.begin(), runs_.end(), pos, [](int p, const Run& r) { return p < r.start; });
  return it == runs_.begin() ? 0 : static_cast<std::size_t>(it - runs_.begin()) - 1;
}

int Runs::runAt(int pos, int& from, int& to) const {
  const std::size_t k = index(std::clamp(pos, 0, std::max(0, length_ - 1)));
  from = runs_[k].start;
  to = k + 1 < runs_.size() ? runs_[k + 1].start : length_;
  return runs_[k].value;
}

int Runs::at(int pos) const { return runs_[index(std::clamp(pos, 0, std::max(0, length_ - 1)))].value; }

void Runs::split(int pos) {
  if (pos <= 0 || pos >= length_) return;
  const std::size_t k = index(pos);
  if (runs_[k].start == pos) return;
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(k) + 1, Run{pos, runs_[k].value});
}

void Runs::merge() {
  std::size_t out = 0;
  for (std::size_t k = 0; k < runs_.size(); ++k) {
    if (out > 0 && (runs_[out - 1].value == runs_[k].value || runs_[out - 1].start == runs_[k].start)) {
      if (runs_[out - 1].start == runs_[k].start) runs_[out - 1].value = runs_[k].value;
      continue;
    }
    runs_[out++] = runs_[k];
  }
  runs_.resize(std::max<std::size_t>(out, 1));
  runs_[0].start = 0;
}

void Runs::erase(int pos, int n) {
  pos = std::clamp(pos, 0, length_);
  n = std::min(n, length_ - pos);
  if (n <= 0) return;
  const int end = pos + n;
  const int last = runs_.back().value;
  std::vector<Run> out;
  out.reserve(runs_.size());
  for (std::size_t k = 0; k < runs_.size(); ++k) {
    const int s = runs_[k].start, e = k + 1 < runs_.size() ? runs_[k + 1].start : length_;
    if (e <= pos) out.push_back(runs_[k]);                          // before
    else if (s >= end) out.push_back(Run{s - n, runs_[k].value});   // after
    else if (s < pos) out.push_back(runs_[k]);                      // cut at its end
    else if (e > end) out.push_back(Run{pos, runs_[k].value});      // cut at its start
  }
  if (out.empty()) out.push_back(Run{0, last});
  runs_ = std::move(out);
  length_ -= n;
  merge();
}

void Runs::insert(int pos, int n, int value) {
  if (n <= 0) return;
  pos = std::clamp(pos, 0, length_);
  if (length_ == 0) {
    runs_.assign(1, Run{0, value});
    length_ = n;
    return;
  }
  split(pos);
  std::size_t k = 0;
  while (k < runs_.size() && runs_[k].start < pos) ++k;
  for (std::size_t j = k; j < runs_.size(); ++j) runs_[j].start += n;
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(k), Run{pos, value});
  length_ += n;
  merge();
}

void Runs::assign(std::vector<Run> runs, int length) {
  runs_ = std::move(runs);
  length_ = length;
  if (runs_.empty()) runs_.push_back(Run{0, 0});
  merge();
}

//------------------------------------------------------------------------------
// Formats
//------------------------------------------------------------------------------
namespace {



int pixels(int twips) { return twips * 96 / 1440; }

}  // namespace

Formats::~Formats() {
  for (HFONT f : fonts_)
    if (f) DeleteObject(f);
}

int Formats::internChar(const rtf::CharFormat& f) {
  for (std::size_t k = 0; k < charFormats.size(); ++k)
    if (charFormats[k] == f) return static_cast<int>(k);
  charFormats.push_back(f);
  return static_cast<int>(charFormats.size()) - 1;
}

int Formats::internPara(const rtf::ParaFormat& f) {
  for (std::size_t k = 0; k < paraFormats.size(); ++k)
    if (paraFormats[k] == f) return static_cast<int>(k);
  paraFormats.push_back(f);
  return static_cast<int>(paraFormats.size()) - 1;
}

void Formats::invalidate() {
  for (HFONT& f : fonts_)
    if (f) DeleteObject(f);
  fonts_.clear();
  fontsOf_ = nullptr;
  height_ = -1;
}

rtf::CharFormat Formats::base() const {
  rtf::CharFormat f;
  LOGFONT lf;
  if (HFONT font = dlg::fontOf(control_); font && GetObject(font, sizeof lf, &lf) == static_cast<int>(sizeof lf)) {
    f.face = lf.lfFaceName;
    f.bold = lf.lfWeight >= FW_BOLD;
    f.italic = lf.lfItalic != 0;
    f.underline = lf.lfUnderline != 0;
    f.strike = lf.lfStrikeOut != 0;
    f.charset = lf.lfCharSet;
    f.pitchFamily = lf.lfPitchAndFamily;
    // Heights are pixels at 96 dots an inch.
    const LONG px = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    f.twips = px > 0 ? static_cast<int>((px * 1440 + 48) / 96) : 240;
  }
  return f;
}

LOGFONT Formats::logFont(int format) const {
  LOGFONT lf;
  HFONT baseFont = dlg::fontOf(control_);
  if (!baseFont || GetObject(baseFont, sizeof lf, &lf) != static_cast<int>(sizeof lf)) lf = LOGFONT{};
  if (format < 0 || static_cast<std::size_t>(format) >= charFormats.size()) return lf;
  const rtf::CharFormat& f = charFormats[static_cast<std::size_t>(format)];
  if (!f.face.empty()) {
    std::strncpy(lf.lfFaceName, f.face.c_str(), sizeof lf.lfFaceName - 1);
    lf.lfFaceName[sizeof lf.lfFaceName - 1] = '\0';
    lf.lfPitchAndFamily = f.pitchFamily;
    lf.lfCharSet = f.charset;
  }
  if (f.twips > 0) {
    lf.lfHeight = -((f.twips * 96 + 720) / 1440);
    lf.lfWidth = 0;
  }
  if (f.bold) lf.lfWeight = FW_BOLD;
  else if (f.unbold) lf.lfWeight = FW_NORMAL;
  if (f.italic) lf.lfItalic = 1;
  if (f.underline) lf.lfUnderline = 1;
  if (f.strike) lf.lfStrikeOut = 1;
  return lf;
}

HFONT Formats::fontFor(int format) {
  HFONT baseFont = dlg::fontOf(control_);
  if (baseFont != fontsOf_) {
    invalidate();
    fontsOf_ = baseFont;
  }
  if (format < 0 || static_cast<std::size_t>(format) >= charFormats.size()) return baseFont;
  if (fonts_.size() < charFormats.size()) fonts_.resize(charFormats.size(), nullptr);
  HFONT& slot = fonts_[static_cast<std::size_t>(format)];
  if (slot) return slot;
  const LOGFONT lf = logFont(format);
  slot = CreateFontIndirect(lf);
  return slot ? slot : baseFont;
}

std::vector<rtf::CharFormat> Formats::statedFormats() const {
  std::vector<rtf::CharFormat> out = charFormats;
  if (base().bold)
    for (rtf::CharFormat& f : out) {
      f.bold = !f.unbold;
      f.unbold = false;
    }
  return out;
}

rtf::Document Formats::document(const std::string& text) const {
  rtf::Document doc;
  doc.text = text;
  doc.formats = statedFormats();
  doc.runs.clear();
  for (const Runs::Run& r : chars.runs()) doc.runs.emplace_back(r.start, r.value);
  doc.paragraphs.clear();
  std::size_t pos = 0;
  while (true) {
    const std::size_t end = text.find('\r', pos);
    const int at = static_cast<int>(end == std::string::npos ? text.size() : end);
    doc.paragraphs.push_back(paraFormats[static_cast<std::size_t>(paras.at(at))]);
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return doc;
}

void Formats::load(const rtf::Document& doc, int at, int textLength, bool fragment) {
  // The document's formats join the table; its runs replace those of its characters.
  std::vector<int> cmap, pmap;
  const bool baseBold = base().bold;
  for (rtf::CharFormat f : doc.formats) {
    if (baseBold && !f.bold) f.unbold = true;
    cmap.push_back(internChar(f));
  }
  const int n = static_cast<int>(doc.text.size());
  std::vector<Runs::Run> c, p;
  for (const Runs::Run& r : chars.runs())
    if (r.start < at) c.push_back(r);
  for (const auto& [start, k] : doc.runs)
    if (start < n) c.push_back(Runs::Run{at + start, cmap[static_cast<std::size_t>(std::clamp(k, 0, static_cast<int>(cmap.size()) - 1))]});
  // The characters after the piece keep their formats.
  if (at + n < textLength) c.push_back(Runs::Run{at + n, chars.at(at + n)});
  for (const Runs::Run& r : chars.runs())
    if (r.start > at + n) c.push_back(r);
  chars.assign(std::move(c), textLength);
  int pos = 0;
  std::size_t k = 0;
  for (const Runs::Run& r : paras.runs())
    if (r.start < at) p.push_back(r);
  const int afterPara = paras.at(at + n);
  while (k < doc.paragraphs.size()) {
    const std::size_t end = doc.text.find('\r', static_cast<std::size_t>(pos));
    // A fragment's last piece, which no line end of its own closes, joins the paragraph it
    // lands in and keeps that paragraph's format.
    p.push_back(Runs::Run{at + pos, fragment && end == std::string::npos ? afterPara : internPara(doc.paragraphs[k])});
    if (end == std::string::npos) break;
    pos = static_cast<int>(end) + 1;
    ++k;
  }
  // Nor does a fragment change the format of the paragraph end after it.
  if (fragment && at + n <= textLength) {
    if (!p.empty() && p.back().start == at + n) p.back().value = afterPara;
    else p.push_back(Runs::Run{at + n, afterPara});
  }
  // So do the paragraphs after it.
  if (at + n + 1 <= textLength) p.push_back(Runs::Run{at + n + 1, paras.at(at + n + 1)});
  for (const Runs::Run& r : paras.runs())
    if (r.start > at + n + 1) p.push_back(r);
  paras.assign(std::move(p), textLength + 1);
  height_ = -1;
}

void Formats::replaced(int pos, int removed, int inserted) {
  // New characters take the typing format, else that of the character before them (of the
  // first one replaced at the start).
  int f = 0;
  if (typing >= 0 && typingAt == pos) f = typing;
  else if (pos > 0) f = chars.at(pos - 1);
  else if (chars.length() > 0) f = chars.at(0);
  else f = chars.runs().front().value;
  typing = typingAt = -1;
  chars.erase(pos, removed);
  if (chars.length() == 0 && inserted == 0) chars.reset(0, f);
  chars.insert(pos, inserted, f);
  paras.erase(pos, removed);
  paras.insert(pos, inserted, paras.at(pos));
  height_ = -1;
}

void Formats::replacedPieces(const std::vector<int>& starts, int removed, int inserted) {
  typing = typingAt = -1;
  // The runs rebuilt in one pass, each piece's new characters formatted as replacing the
  // pieces one at a time would: the character format of the character before them (of the
  // first one replaced at the start), the paragraph format of the character after them.
  std::vector<Runs::Run> c, p;
  c.reserve(chars.runs().size() + starts.size());
  p.reserve(paras.runs().size() + starts.size());
  const int length = chars.length();
  int at = 0, shift = 0;
  int last = -1;   // the character format of the last character put, -1 none yet
  auto keep = [&](const Runs& from, std::vector<Runs::Run>& to, int a, int b) {
    from.each(a, b, [&](int s, int, int v) { to.push_back(Runs::Run{s + shift, v}); });
  };
  for (const int pos : starts) {
    keep(chars, c, at, pos);
    keep(paras, p, at, pos);
    if (pos > at) last = chars.at(pos - 1);
    const int f = last >= 0 ? last : chars.at(pos);
    if (inserted > 0) {
      c.push_back(Runs::Run{pos + shift, f});
      p.push_back(Runs::Run{pos + shift, paras.at(pos + removed)});
      last = f;
    }
    at = pos + removed;
    shift += inserted - removed;
  }
  keep(chars, c, at, length);
  keep(paras, p, at, length + 1);
  const int newLength = length + shift;
  if (newLength == 0) c.assign(1, Runs::Run{0, last >= 0 ? last : chars.at(0)});
  chars.assign(std::move(c), newLength);
  paras.assign(std::move(p), newLength + 1);
  height_ = -1;
}

namespace {
struct Saved final : editx::FormatState {
  Runs chars, paras;
  std::size_t bytes() const override { return (chars.runs().size() + paras.runs().size()) * sizeof(Runs::Run) + sizeof *this; }
};
}  // namespace

std::unique_ptr<editx::FormatState> Formats::save() const {
  auto s = std::make_unique<Saved>();
  s->chars = chars;
  s->paras = paras;
  return s;
}

void Formats::restore(const editx::FormatState& s) {
  const auto& saved = static_cast<const Saved&>(s);
  chars = saved.chars;
  paras = saved.paras;
  typing = typingAt = -1;
  height_ = -1;
}

void Formats::textSet(int length) {
  chars.reset(length, 0);
  paras.reset(length + 1, 0);
  typing = typingAt = -1;
  height_ = -1;
}

bool Formats::active() const { return defaultChanged || !chars.uniform(0) || !paras.uniform(0); }

int Formats::formatAt(int at, int& from, int& to) const {
  if (at >= chars.length()) {
    // Past the runs (none while they cover the text): the control's font.
    from = chars.length();
    to = std::numeric_limits<int>::max();
    return -1;
  }
  return chars.runAt(at, from, to);
}

void Formats::draw(HDC dc, int x, int y, int at, const char* s, int n, const RECT& clip, bool selected) {
  const COLORREF normal = GetTextColor(dc);
  const int lh = lineHeight(dc, 0);
  chars.each(at, at + n, [&](int a, int b, int f) {
    const rtf::CharFormat& cf = charFormats[static_cast<std::size_t>(f)];
    HGDIOBJ old = SelectObject(dc, fontFor(f));
    SIZE sz{};
    GetTextExtentPoint32(dc, s + (a - at), b - a, sz);
    if (!selected && !cf.autoBack) {
      RECT band{std::max<LONG>(x, clip.left), std::max<LONG>(y, clip.top), std::min<LONG>(x + sz.cx, clip.right),
                std::min<LONG>(y + std::max(lh, static_cast<int>(sz.cy)), clip.bottom)};
      if (band.left < band.right && band.top < band.bottom) dlg::fillSolid(dc, band, cf.back);
    }
    SetTextColor(dc, selected || cf.autoColour ? normal : cf.colour);
    // Smaller fonts sit on the line's base line with the taller ones.
    TEXTMETRIC tm;
    int dy = 0;
    if (GetTextMetrics(dc, tm) && lh > tm.tmHeight) dy = lh - static_cast<int>(tm.tmHeight) - std::max(0, (lh - static_cast<int>(tm.tmHeight)) / 4);
    ExtTextOut(dc, x, y + dy, ETO_CLIPPED, &clip, s + (a - at), static_cast<UINT>(b - a), nullptr);
    SelectObject(dc, old);
    x += sz.cx;
  });
  SetTextColor(dc, normal);
}

int Formats::lineHeight(HDC dc, int baseHeight) {
  if (height_ < 0) {
    height_ = 0;
    std::vector<bool> seen(charFormats.size(), false);
    for (const Runs::Run& r : chars.runs()) {
      if (seen[static_cast<std::size_t>(r.value)]) continue;
      seen[static_cast<std::size_t>(r.value)] = true;
      HGDIOBJ old = SelectObject(dc, fontFor(r.value));
      TEXTMETRIC tm;
      if (GetTextMetrics(dc, tm)) height_ = std::max(height_, static_cast<int>(tm.tmHeight));
      SelectObject(dc, old);
    }
  }
  return std::max(height_, baseHeight);
}

int Formats::bodyIndent(const rtf::ParaFormat& p) {
  int body = std::max(0, p.start + p.offset);
  if (p.bullet) body = std::max(body, std::max(0, p.start) + kBulletTwips);
  return pixels(body);
}

void Formats::paragraph(int end, int& left, int& right, int& align) {
  const rtf::ParaFormat& p = paraFormats[static_cast<std::size_t>(paras.at(end))];
  left = bodyIndent(p);
  right = pixels(std::max(0, p.right));
  align = p.align;
}

void Formats::decorate(HDC dc, const std::string& text, int lineStart, int paraEnd, int x, int y, const RECT& clip) {
  if (lineStart > 0 && text[static_cast<std::size_t>(lineStart) - 1] != '\r') return;   // not a paragraph's first line
  const rtf::ParaFormat& p = paraFormats[static_cast<std::size_t>(paras.at(paraEnd))];
  if (!p.bullet) return;
  HGDIOBJ old = SelectObject(dc, fontFor(chars.at(lineStart)));
  const char bullet = '\x95';
  SIZE sz{};
  GetTextExtentPoint32(dc, &bullet, 1, sz);
  const int room = pixels(kBulletTwips);
  ExtTextOut(dc, x - room + std::max(0, (room - static_cast<int>(sz.cx)) / 3), y, ETO_CLIPPED, &clip, &bullet, 1, nullptr);
  SelectObject(dc, old);
}

}  // namespace win::rich
