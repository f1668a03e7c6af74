// platform/richedit.cpp: the rich-edit control classes, built on the EDIT control's window
// procedure (which keeps the text, selection, undo, keys, mouse and drawing) with the
// rich-edit messages on top: extended selection and limit, text ranges, find, character and
// paragraph formats (kept in rich::Formats, which the EDIT control measures and draws
// through), plain-text and RTF streaming, the EN_SELCHANGE notification of the event mask,
// overwriting (the Insert key) and Replace All in one change (EM_REPLACEALLTEXT).
//
// Invariant: the text inside holds no LF; every line end is one CR (what comes in through
// typing, pasting, setting or streaming is turned so), so positions count line ends once.
#include "platform/richedit.h"

#include <strings.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/clipboard.h"
#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/gdi.h"
#include "platform/richedit_format.h"
#include "platform/richedit_rtf.h"

namespace win {
namespace {

// The clipboard format other programs exchange RTF under.
constexpr const char* kRtfClipboardFormat = "Rich Text Format";

struct RichData {
  DWORD eventMask = ENM_NONE;
  std::unique_ptr<rich::Formats> formats;
};

std::unordered_map<HWND, RichData>& riches() {
  static std::unordered_map<HWND, RichData> m;
  return m;
}

WNDPROC editProc() {
  static WNDPROC p = nullptr;
  if (!p) {
    WNDCLASS wc;
    if (GetClassInfo(nullptr, "EDIT", wc)) p = wc.lpfnWndProc;
  }
  return p;
}

LRESULT base(HWND h, UINT msg, WPARAM w, LPARAM l) {
  WNDPROC p = editProc();
  return p ? CallWindowProc(p, h, msg, w, l) : DefWindowProc(h, msg, w, l);
}

// CR LF and lone LF become CR.
std::string toCr(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
    out.push_back(s[i] == '\n' ? '\r' : s[i]);
  }
  return out;
}

std::string toCrLf(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (char c : s) {
    out.push_back(c);
    if (c == '\r') out.push_back('\n');
  }
  return out;
}

std::string textOf(HWND h) {
  std::string s(static_cast<std::size_t>(base(h, WM_GETTEXTLENGTH, 0, 0)), '\0');
  if (!s.empty()) base(h, WM_GETTEXT, s.size() + 1, reinterpret_cast<LPARAM>(s.data()));
  return s;
}

CHARRANGE selOf(HWND h) {
  DWORD a = 0, b = 0;
  base(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return CHARRANGE{static_cast<LONG>(a), static_cast<LONG>(b)};
}

// A range clipped to the text, -1 at the end meaning the end.
void clip(CHARRANGE& r, LONG n) {
  if (r.cpMax < 0) r.cpMax = n;
  r.cpMin = std::clamp(r.cpMin, 0, n);
  r.cpMax = std::clamp(r.cpMax, 0, n);
}

unsigned char lower(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 32);
  return c;
}

bool wordChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0xC0;
}

bool matchAt(std::string_view t, std::size_t at, std::string_view f, bool matchCase, bool whole) {
  for (std::size_t k = 0; k < f.size(); ++k) {
    const auto a = static_cast<unsigned char>(t[at + k]), b = static_cast<unsigned char>(f[k]);
    if (matchCase ? a != b : lower(a) != lower(b)) return false;
  }
  if (whole) {
    if (at > 0 && wordChar(static_cast<unsigned char>(t[at - 1]))) return false;
    const std::size_t e = at + f.size();
    if (e < t.size() && wordChar(static_cast<unsigned char>(t[e]))) return false;
  }
  return true;
}

// The first match inside the range, or the last one when searching up (the range then runs
// from cpMin back to cpMax). -1 when none.
LONG find(const std::string& text, CHARRANGE r, std::string_view what, WPARAM flags) {
  const auto n = static_cast<LONG>(text.size());
  const bool down = (flags & FR_DOWN) != 0;
  if (!down && r.cpMax < 0) r.cpMax = 0;
  clip(r, n);
  const LONG lo = std::min(r.cpMin, r.cpMax), hi = std::max(r.cpMin, r.cpMax);
  const auto len = static_cast<LONG>(what.size());
  if (len == 0 || hi - lo < len) return -1;
  const bool mc = (flags & FR_MATCHCASE) != 0, whole = (flags & FR_WHOLEWORD) != 0;
  if (down) {
    if (mc && !whole) {
      const std::size_t p = std::string_view(text).substr(0, static_cast<std::size_t>(hi)).find(what, static_cast<std::size_t>(lo));
      return p == std::string_view::npos ? -1 : static_cast<LONG>(p);
    }
    const unsigned char f0 = lower(static_cast<unsigned char>(what[0]));
    for (LONG i = lo; i + len <= hi; ++i)
      if ((mc ? static_cast<unsigned char>(text[static_cast<std::size_t>(i)]) == static_cast<unsigned char>(what[0])
              : lower(static_cast<unsigned char>(text[static_cast<std::size_t>(i)])) == f0) &&
          matchAt(text, static_cast<std::size_t>(i), what, mc, whole))
        return i;
    return -1;
  }
  for (LONG i = hi - len; i >= lo; --i)
    if (matchAt(text, static_cast<std::size_t>(i), what, mc, whole)) return i;
  return -1;
}

// EM_REPLACEALLTEXT: the matches found in one pass over the text, searched on after each
// replacement as replacing them one at a time would, then replaced as one change.
LRESULT replaceAll(HWND h, WPARAM flags, REPLACEALLTEXT* ra) {
  if (!ra || !ra->lpstrFind) return 0;
  const std::string what = toCr(ra->lpstrFind), by = toCr(ra->lpstrReplace ? ra->lpstrReplace : "");
  const std::string text = textOf(h);
  const auto n = static_cast<LONG>(text.size()), len = static_cast<LONG>(what.size());
  CHARRANGE r = ra->chrg;
  clip(r, n);
  if (len == 0) return 0;
  const bool mc = (flags & FR_MATCHCASE) != 0, whole = (flags & FR_WHOLEWORD) != 0;
  const long long limit = static_cast<long long>(base(h, EM_GETLIMITTEXT, 0, 0));
  const long long growth = static_cast<long long>(by.size()) - len;
  long long length = n;
  std::vector<int> starts;
  // The character before position p as the text stands once the replacements before p are
  // made: after a replacement ending at p it is the replacement's last one.
  LONG lastEnd = -1;
  int tail = -1;   // that character, -1 none (the start of the text)
  auto before = [&](LONG p) -> int {
    if (p == lastEnd) return tail;
    return p > 0 ? static_cast<unsigned char>(text[static_cast<std::size_t>(p - 1)]) : -1;
  };
  const unsigned char f0 = mc ? static_cast<unsigned char>(what[0]) : lower(static_cast<unsigned char>(what[0]));
  const std::string_view inside = std::string_view(text).substr(0, static_cast<std::size_t>(r.cpMax));
  LONG p = r.cpMin;
  while (p + len <= r.cpMax) {
    if (mc) {
      const std::size_t q = inside.find(what, static_cast<std::size_t>(p));
      if (q == std::string_view::npos) break;
      p = static_cast<LONG>(q);
    } else {
      while (p + len <= r.cpMax && lower(static_cast<unsigned char>(text[static_cast<std::size_t>(p)])) != f0) ++p;
      if (p + len > r.cpMax) break;
    }
    if (!matchAt(text, static_cast<std::size_t>(p), what, mc, false)) {
      ++p;
      continue;
    }
    if (whole) {
      const int b = before(p);
      const LONG e = p + len;
      if ((b >= 0 && wordChar(static_cast<unsigned char>(b))) ||
          (e < n && wordChar(static_cast<unsigned char>(text[static_cast<std::size_t>(e)])))) {
        ++p;
        continue;
      }
    }
    if (growth > 0 && length + growth > limit) break;
    length += growth;
    tail = by.empty() ? before(p) : static_cast<unsigned char>(by.back());
    starts.push_back(static_cast<int>(p));
    p += len;
    lastEnd = p;
  }
  if (starts.empty()) return 0;
  if (ra->cpFollow >= 0) {
    const LONG b = std::min(ra->cpFollow, n);
    const auto added = static_cast<LONG>(by.size());
    LONG shift = 0, follow = -1;
    for (const LONG pos : starts) {
      if (pos + len <= b) {
        shift += added - len;
        continue;
      }
      if (pos < b) follow = pos + shift + std::min(b - pos, added);
      break;
    }
    ra->cpFollow = follow >= 0 ? follow : b + shift;
  }
  editx::replacePieces(h, starts, static_cast<int>(len), by);
  return static_cast<LRESULT>(starts.size());
}

void notifySelChange(HWND h, const CHARRANGE& sel) {
  HWND parent = GetParent(h);
  if (!parent) return;
  SELCHANGE sc;
  sc.nmhdr.hwndFrom = h;
  sc.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h));
  sc.nmhdr.code = EN_SELCHANGE;
  sc.chrg = sel;
  sc.seltype = sel.cpMin == sel.cpMax ? SEL_EMPTY : SEL_TEXT;
  SendMessage(parent, WM_NOTIFY, sc.nmhdr.idFrom, reinterpret_cast<LPARAM>(&sc));
}

bool keyMessage(UINT m) {
  return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_CHAR || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP || m == WM_SYSCHAR;
}

bool mouseMessage(UINT m) {
  return m == WM_MOUSEMOVE || m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDOWN ||
         m == WM_RBUTTONUP || m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDOWN || m == WM_MBUTTONUP ||
         m == WM_MBUTTONDBLCLK || m == WM_MOUSEWHEEL;
}

// Asks the parent about a key or mouse message; false when the parent drops it.
bool filterPasses(HWND h, UINT& msg, WPARAM& wParam, LPARAM& lParam) {
  HWND parent = GetParent(h);
  if (!parent) return true;
  MSGFILTER mf;
  mf.nmhdr.hwndFrom = h;
  mf.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h));
  mf.nmhdr.code = EN_MSGFILTER;
  mf.msg = msg;
  mf.wParam = wParam;
  mf.lParam = lParam;
  if (SendMessage(parent, WM_NOTIFY, mf.nmhdr.idFrom, reinterpret_cast<LPARAM>(&mf)) != 0) return false;
  msg = mf.msg;
  wParam = mf.wParam;
  lParam = mf.lParam;
  return true;
}

LRESULT putText(HWND h, rich::Formats& fm, WPARAM format, std::string in, bool undoable, bool plain = false);
void relayout(HWND h, rich::Formats& fm, LONG from, LONG to, bool paragraphs = false);

// The characters the text may take in place of the whole text or of the selection
// (SFF_SELECTION) under the limit.
std::size_t room(HWND h, WPARAM format) {
  const auto limit = static_cast<std::size_t>(base(h, EM_GETLIMITTEXT, 0, 0));
  if (!(format & SFF_SELECTION)) return limit;
  const CHARRANGE s = selOf(h);
  return limit - std::min(limit, static_cast<std::size_t>(base(h, WM_GETTEXTLENGTH, 0, 0)) -
                                     static_cast<std::size_t>(s.cpMax - s.cpMin));
}

// Plain text as the control keeps it: each NUL a blank (a NUL would end the text early),
// each CR LF and lone LF one CR. Writes to out (which may be from itself: the text never
// grows) and gives the characters written; cr: the last character was a CR, whose LF goes.
std::size_t toPlain(const char* from, std::size_t n, char* out, bool& cr) {
  char* o = out;
  for (std::size_t i = 0; i < n; ++i) {
    const char c = from[i];
    if (c == '\n' && cr) {
      cr = false;
      continue;
    }
    cr = c == '\r';
    *o++ = c == '\0' ? ' ' : c == '\n' ? '\r' : c;
  }
  return static_cast<std::size_t>(o - out);
}

// Asks the system to back the whole pages of [p, p + n) with large pages, if it can: a large
// buffer then takes a few hundred page faults instead of one per 4 KB.
void largePages(void* p, std::size_t n) {
  constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
  const auto from = (reinterpret_cast<std::uintptr_t>(p) + kLarge - 1) & ~(kLarge - 1);
  const auto to = (reinterpret_cast<std::uintptr_t>(p) + n) & ~(kLarge - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

// A text far larger than this is taken into a string that grows as it comes.
constexpr std::size_t kReservedAtMost = std::size_t{256} << 20;

LRESULT streamIn(HWND h, rich::Formats& fm, WPARAM format, EDITSTREAM& es) {
  es.dwError = 0;
  if (!es.pfnCallback || ((format & 0xFF) != SF_TEXT && (format & 0xFF) != SF_RTF)) {
    es.dwError = static_cast<DWORD>(-1);
    return 0;
  }
  // Plain text is made the control's as it comes, and comes no further than one character
  // past what fits: a file far over the limit is not held whole.
  const bool plain = (format & 0xFF) == SF_TEXT;
  const std::size_t most = plain ? room(h, format) + 1 : std::string::npos;
  std::string in;
  std::string block(65536, '\0');
  // One buffer for all that may fit and the block that passes it, which the system gives
  // only as it is written: the text is not copied as it grows.
  if (plain) {
    try {
      in.reserve(std::min(most, kReservedAtMost) + block.size());
      largePages(in.data(), in.capacity());
    } catch (const std::bad_alloc&) {
    }
  }
  bool cr = false;
  while (in.size() < most) {
    LONG got = 0;
    const DWORD err = es.pfnCallback(es.dwCookie, reinterpret_cast<BYTE*>(block.data()),
                                     static_cast<LONG>(block.size()), &got);
    if (err != 0) {
      es.dwError = err;
      break;
    }
    if (got <= 0) break;
    const auto n = static_cast<std::size_t>(std::min<LONG>(got, static_cast<LONG>(block.size())));
    if (plain) {
      const std::size_t at = in.size();
      in.resize(at + n);
      in.resize(at + toPlain(block.data(), n, in.data() + at, cr));
    } else {
      in.append(block.data(), n);
    }
  }
  if (in.capacity() > 2 * in.size() + (std::size_t{1} << 20)) in.shrink_to_fit();
  return putText(h, fm, format, std::move(in), false, plain);
}

// The text in (RTF or plain by format; plain: plain text already as the control keeps it)
// put in place of the whole text or of the selection (SFF_SELECTION), as one undoable step
// when undoable; the characters put.
LRESULT putText(HWND h, rich::Formats& fm, WPARAM format, std::string in, bool undoable, bool plain) {
  // RTF gives its text and formats; what is no RTF comes in as plain text.
  rtf::Document doc;
  const bool isRtf = !plain && (format & 0xFF) == SF_RTF && rtf::read(in, doc);
  if (isRtf) {
    in.swap(doc.text);
    std::replace(in.begin(), in.end(), '\0', ' ');
  } else if (!plain) {
    // In place: a large text is not copied again.
    bool cr = false;
    in.resize(toPlain(in.data(), in.size(), in.data(), cr));
  }
  std::string text = std::move(in);
  const std::size_t fits = room(h, format);
  const bool cut = text.size() > fits;
  if (cut) text.resize(fits);
  if (isRtf) doc.text = text;
  const auto length = static_cast<LRESULT>(text.size());
  if (format & SFF_SELECTION) base(h, EM_REPLACESEL, undoable ? TRUE : FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  else editx::setText(h, std::move(text));
  // The owner hears that the text did not fit, as it does of typing past the limit.
  if (cut) notifyCommand(h, EN_MAXTEXT);
  if (isRtf) {
    const LONG at = (format & SFF_SELECTION) ? selOf(h).cpMin - static_cast<LONG>(length) : 0;
    fm.load(doc, std::max<LONG>(at, 0), static_cast<int>(base(h, WM_GETTEXTLENGTH, 0, 0)),
            (format & SFF_SELECTION) != 0);
    // The text laid out again in its fonts.
    relayout(h, fm, std::max<LONG>(at, 0), std::max<LONG>(at, 0) + static_cast<LONG>(length), true);
  }
  return length;
}

// The characters of range s with their formats, as a document of their own.
rtf::Document selectionOf(const rich::Formats& fm, const std::string& text, CHARRANGE s) {
  rtf::Document doc;
  doc.text = text.substr(static_cast<std::size_t>(s.cpMin), static_cast<std::size_t>(s.cpMax - s.cpMin));
  doc.formats = fm.statedFormats();
  doc.runs.clear();
  fm.chars.each(s.cpMin, s.cpMax, [&](int a, int, int v) { doc.runs.emplace_back(a - s.cpMin, v); });
  if (doc.runs.empty()) doc.runs.emplace_back(0, 0);
  doc.paragraphs.clear();
  std::size_t pos = static_cast<std::size_t>(s.cpMin);
  while (true) {
    const std::size_t end = text.find('\r', pos);
    const std::size_t at = end == std::string::npos ? text.size() : end;
    doc.paragraphs.push_back(fm.paraFormats[static_cast<std::size_t>(fm.paras.at(static_cast<int>(at)))]);
    if (end == std::string::npos || end >= static_cast<std::size_t>(s.cpMax)) break;
    pos = end + 1;
  }
  return doc;
}

rtf::DefaultFont fontOf(HWND h) {
  rtf::DefaultFont f;
  LOGFONT lf;
  if (HFONT font = dlg::fontOf(h); font && GetObject(font, sizeof lf, &lf) == static_cast<int>(sizeof lf)) {
    if (lf.lfFaceName[0]) f.face = lf.lfFaceName;
    f.fixedPitch = (lf.lfPitchAndFamily & 3) == FIXED_PITCH;
    f.family = static_cast<BYTE>(lf.lfPitchAndFamily & 0xF0);
    // Heights are pixels at 96 dots an inch, made from whole points (8 points are 11 pixels).
    const LONG px = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (px > 0) f.halfPoints = 2 * static_cast<int>((px * 72 + 48) / 96);
  }
  return f;
}

LRESULT streamOut(HWND h, const rich::Formats& fm, WPARAM format, EDITSTREAM& es) {
  es.dwError = 0;
  if (!es.pfnCallback || ((format & 0xFF) != SF_TEXT && (format & 0xFF) != SF_RTF)) {
    es.dwError = static_cast<DWORD>(-1);
    return 0;
  }
  std::string text = textOf(h);
  std::string out;
  if ((format & 0xFF) == SF_RTF) {
    rtf::Document doc = fm.document(text);
    if (format & SFF_SELECTION) {
      CHARRANGE s = selOf(h);
      clip(s, static_cast<LONG>(text.size()));
      doc = selectionOf(fm, text, s);
    }
    out = rtf::write(doc, fontOf(h));
  } else {
    if (format & SFF_SELECTION) {
      CHARRANGE s = selOf(h);
      clip(s, static_cast<LONG>(text.size()));
      text = text.substr(static_cast<std::size_t>(s.cpMin), static_cast<std::size_t>(s.cpMax - s.cpMin));
    }
    out = toCrLf(text);
  }
  std::size_t done = 0;
  while (done < out.size()) {
    const auto cb = static_cast<LONG>(std::min<std::size_t>(65536, out.size() - done));
    LONG wrote = 0;
    std::string block = out.substr(done, static_cast<std::size_t>(cb));
    const DWORD err = es.pfnCallback(es.dwCookie, reinterpret_cast<BYTE*>(block.data()), cb, &wrote);
    if (err != 0) {
      es.dwError = err;
      break;
    }
    if (wrote <= 0) break;
    done += static_cast<std::size_t>(std::min(wrote, cb));
  }
  return static_cast<LRESULT>(done);
}

int scale(long v, int num, int den) { return static_cast<int>(v * num / den); }

// Page layout on a device: the control's character formats as fonts at the device's
// resolution (the formats' sizes are at 96 dots an inch), measured and drawn run by run.
class PageLayout {
 public:
  PageLayout(HDC dc, const rich::Formats& fm, const std::string& text) : dc_(dc), fm_(fm), text_(text) {
    dpiX_ = std::max(1, GetDeviceCaps(dc, LOGPIXELSX));
    dpiY_ = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
    fonts_.resize(fm.charFormats.size(), nullptr);
    metrics_.resize(fm.charFormats.size());
    HGDIOBJ old = SelectObject(dc, font(0));
    TEXTMETRIC tm;
    if (GetTextMetrics(dc, tm)) tab_ = std::max(1, static_cast<int>(tm.tmAveCharWidth) * 8);
    SelectObject(dc, old);
  }
  ~PageLayout() {
    for (HFONT f : fonts_)
      if (f) DeleteObject(f);
  }
  PageLayout(const PageLayout&) = delete;
  PageLayout& operator=(const PageLayout&) = delete;

  int px(int twips) const { return scale(twips, dpiX_, 1440); }
  int py(int twips) const { return scale(twips, dpiY_, 1440); }

  HFONT font(int k) {
    const auto i = static_cast<std::size_t>(k);
    if (i >= fonts_.size()) return nullptr;
    if (!fonts_[i]) {
      LOGFONT lf = fm_.logFont(k);
      if (lf.lfHeight == 0) lf.lfHeight = -16;
      lf.lfHeight = scale(lf.lfHeight, dpiY_, 96);
      lf.lfWidth = scale(lf.lfWidth, dpiX_, 96);
      fonts_[i] = CreateFontIndirect(lf);
      HGDIOBJ old = SelectObject(dc_, fonts_[i]);
      GetTextMetrics(dc_, metrics_[i]);
      SelectObject(dc_, old);
    }
    return fonts_[i];
  }
  const TEXTMETRIC& metric(int k) {
    font(k);
    return metrics_[static_cast<std::size_t>(k)];
  }

  // Width of the characters [from, to) of a line that starts at lineStart; tabs stop at every
  // 8 average characters of the control's font.
  int width(int lineStart, int from, int to) {
    int x = 0;
    pieces(lineStart, from, to, [&](int a, int b, int k, int xAt) {
      SIZE sz{};
      SelectObject(dc_, font(k));
      if (GetTextExtentPoint32(dc_, text_.data() + a, b - a, sz)) x = xAt + sz.cx;
      else x = xAt;
    }, &x);
    return x;
  }

  // Line height and ascent of the characters [from, to) (of the format at from when empty).
  void heights(int from, int to, int& height, int& ascent) {
    ascent = 0;
    int descent = 0, leading = 0;
    auto take = [&](int k) {
      const TEXTMETRIC& tm = metric(k);
      ascent = std::max(ascent, static_cast<int>(tm.tmAscent));
      descent = std::max(descent, static_cast<int>(tm.tmHeight - tm.tmAscent));
      leading = std::max(leading, static_cast<int>(tm.tmExternalLeading));
    };
    if (from >= to) take(fm_.chars.at(from));
    else fm_.chars.each(from, to, [&](int, int, int k) { take(k); });
    height = std::max(1, ascent + descent + leading);
  }

  void draw(int x0, int y, int ascent, int from, int to) {
    const COLORREF normal = GetTextColor(dc_);
    pieces(from, from, to, [&](int a, int b, int k, int xAt) {
      const rtf::CharFormat& cf = fm_.charFormats[static_cast<std::size_t>(k)];
      SelectObject(dc_, font(k));
      SetTextColor(dc_, cf.autoColour ? normal : cf.colour);
      TextOut(dc_, x0 + xAt, y + ascent - static_cast<int>(metric(k).tmAscent), text_.data() + a, b - a);
    }, nullptr);
    SetTextColor(dc_, normal);
  }

  void bullet(int x, int y, int ascent, int at) {
    const int k = fm_.chars.at(at);
    SelectObject(dc_, font(k));
    const char mark = '\x95';
    TextOut(dc_, x, y + ascent - static_cast<int>(metric(k).tmAscent), &mark, 1);
  }

 private:
  // f(a, b, format, x) for the pieces of [from, to) between tabs and format changes, x
  // their start from the line's start (characters from lineStart to from come first).
  template <class F>
  void pieces(int lineStart, int from, int to, F f, int* end) {
    int x = 0;
    int a = lineStart;
    while (a < to) {
      if (text_[static_cast<std::size_t>(a)] == '\t') {
        x = (x / tab_ + 1) * tab_;
        ++a;
        continue;
      }
      int b = a;
      while (b < to && text_[static_cast<std::size_t>(b)] != '\t') ++b;
      fm_.chars.each(a, b, [&](int p, int q, int k) {
        SIZE sz{};
        SelectObject(dc_, font(k));
        GetTextExtentPoint32(dc_, text_.data() + p, q - p, sz);
        if (q > from) {
          const int s = std::max(p, from);
          int xs = x;
          if (s > p) {
            SIZE pre{};
            GetTextExtentPoint32(dc_, text_.data() + p, s - p, pre);
            xs += pre.cx;
          }
          f(s, q, k, xs);
        }
        x += sz.cx;
      });
      a = b;
    }
    if (end) *end = x;
  }

  HDC dc_;
  const rich::Formats& fm_;
  const std::string& text_;
  int dpiX_ = 96, dpiY_ = 96, tab_ = 64;
  std::vector<HFONT> fonts_;
  std::vector<TEXTMETRIC> metrics_;
};

LRESULT formatRange(HWND h, const rich::Formats& fm, bool render, const FORMATRANGE& fr) {
  if (!fr.hdc) return 0;
  const std::string text = textOf(h);
  CHARRANGE r = fr.chrg;
  clip(r, static_cast<LONG>(text.size()));
  HGDIOBJ oldFont = GetCurrentObject(fr.hdc, OBJ_FONT);
  const int oldMode = SetBkMode(fr.hdc, TRANSPARENT);   // the page shows through
  LONG pos = r.cpMin;
  {
    PageLayout page(fr.hdc, fm, text);
    const int left = page.px(fr.rc.left), right = page.px(fr.rc.right);
    const int top = page.py(fr.rc.top), bottom = page.py(fr.rc.bottom);
    int y = top;
    while (pos < r.cpMax) {
      LONG pe = pos;
      while (pe < r.cpMax && text[static_cast<std::size_t>(pe)] != '\r') ++pe;
      // The paragraph's format is that at its closing CR (the paragraph may go on past the range).
      LONG close = pe;
      while (close < static_cast<LONG>(text.size()) && text[static_cast<std::size_t>(close)] != '\r') ++close;
      const rtf::ParaFormat& pf = fm.paraFormats[static_cast<std::size_t>(fm.paras.at(close))];
      const int indent = page.px(std::max(0, pf.start + pf.offset));
      int body = indent;
      if (pf.bullet) body = std::max(body, page.px(std::max(0, pf.start) + rich::Formats::kBulletTwips));
      const int lineLeft = left + body;
      const int width = std::max(1, right - page.px(std::max(0, pf.right)) - lineLeft);
      const bool firstLine = pos == 0 || text[static_cast<std::size_t>(pos) - 1] == '\r';
      // The longest part that fits, cut after its last blank (at a character when a word is
      // wider than the line).
      LONG cut = pe;
      if (page.width(pos, pos, pe) > width) {
        LONG lo = pos, hi = std::min<LONG>(pe, pos + 4096);
        while (lo < hi) {
          const LONG mid = (lo + hi + 1) / 2;
          if (page.width(pos, pos, mid) <= width) lo = mid;
          else hi = mid - 1;
        }
        cut = std::max<LONG>(lo, pos + 1);
        LONG blank = cut;
        while (blank > pos && text[static_cast<std::size_t>(blank) - 1] != ' ') --blank;
        if (blank > pos) cut = blank;
      }
      int lh = 0, ascent = 0;
      page.heights(pos, cut, lh, ascent);
      if (y + lh > bottom) break;
      if (render) {
        int x = lineLeft;
        if (pf.align != 0) {
          LONG shown = cut;
          while (shown > pos && text[static_cast<std::size_t>(shown) - 1] == ' ') --shown;
          const int room = width - page.width(pos, pos, shown);
          x += pf.align == 1 ? room / 2 : room;
        }
        page.draw(x, y, ascent, pos, cut);
        if (pf.bullet && firstLine) page.bullet(left + page.px(std::max(0, pf.start)), y, ascent, pos);
      }
      y += lh;
      pos = cut;
      if (pos == pe && pe < r.cpMax) ++pos;   // past the paragraph end
    }
  }
  SetBkMode(fr.hdc, oldMode);
  if (oldFont) SelectObject(fr.hdc, oldFont);
  return pos;
}

//------------------------------------------------------------------------------
// Character and paragraph formats
//------------------------------------------------------------------------------
// baseBold: the control's font is bold, so that "not bold" must be said.
void mergeChar(rtf::CharFormat& c, const CHARFORMAT& cf, bool baseBold) {
  const DWORD m = cf.dwMask, e = cf.dwEffects;
  if (m & CFM_BOLD) {
    c.bold = (e & CFE_BOLD) != 0;
    c.unbold = !c.bold && baseBold;
  }
  if (m & CFM_ITALIC) c.italic = (e & CFE_ITALIC) != 0;
  if (m & CFM_UNDERLINE) c.underline = (e & CFE_UNDERLINE) != 0;
  if (m & CFM_STRIKEOUT) c.strike = (e & CFE_STRIKEOUT) != 0;
  if (m & CFM_PROTECTED) c.protect = (e & CFE_PROTECTED) != 0;
  if ((m & CFM_SIZE) && cf.yHeight > 0) c.twips = static_cast<int>(std::min<LONG>(cf.yHeight, 32760));
  if (m & CFM_COLOR) {
    c.autoColour = (e & CFE_AUTOCOLOR) != 0;
    c.colour = c.autoColour ? 0 : cf.crTextColor;
  }
  if ((m & CFM_FACE) && cf.szFaceName[0]) {
    c.face.assign(cf.szFaceName, strnlen(cf.szFaceName, LF_FACESIZE));
    c.pitchFamily = cf.bPitchAndFamily;
  }
  if (m & CFM_CHARSET) c.charset = cf.bCharSet;
  if (cf.cbSize >= sizeof(CHARFORMAT2)) {
    const auto& c2 = static_cast<const CHARFORMAT2&>(cf);
    if (m & CFM_BACKCOLOR) {
      c.autoBack = (e & CFE_AUTOBACKCOLOR) != 0;
      c.back = c.autoBack ? 0 : c2.crBackColor;
    }
    if ((m & CFM_WEIGHT) && c2.wWeight != 0) {
      c.bold = c2.wWeight >= FW_SEMIBOLD;
      c.unbold = !c.bold && baseBold;
    }
  }
}

// A format with the control's font filled in where it has none of its own.
rtf::CharFormat resolved(const rich::Formats& fm, const rtf::CharFormat& b, int k) {
  rtf::CharFormat r = fm.charFormats[static_cast<std::size_t>(k)];
  if (r.face.empty()) {
    r.face = b.face;
    r.pitchFamily = b.pitchFamily;
    r.charset = b.charset;
  }
  if (r.twips == 0) r.twips = b.twips;
  r.bold = r.bold || (b.bold && !r.unbold);
  r.italic = r.italic || b.italic;
  r.underline = r.underline || b.underline;
  r.strike = r.strike || b.strike;
  return r;
}

// The format typing at the caret gives.
int typingFormat(const rich::Formats& fm, LONG caret) {
  if (fm.typing >= 0 && fm.typingAt == caret) return fm.typing;
  if (caret > 0) return fm.chars.at(caret - 1);
  return fm.chars.length() > 0 ? fm.chars.at(0) : fm.chars.runs().front().value;
}

// The formats of [from, to) changed (to -1: all of them; paragraphs: their paragraphs'
// formats too): the lines they touch are laid out again, the caret kept in view and the
// control repainted.
void relayout(HWND h, rich::Formats& fm, LONG from, LONG to, bool paragraphs) {
  fm.invalidate();
  editx::relayout(h, static_cast<int>(from), static_cast<int>(to), paragraphs);
  base(h, WM_SIZE, 0, 0);
}

// The word around position p (letters, digits, underscores), empty when none.
CHARRANGE wordAt(const std::string& t, LONG p) {
  LONG a = p, b = p;
  while (a > 0 && wordChar(static_cast<unsigned char>(t[static_cast<std::size_t>(a - 1)]))) --a;
  while (b < static_cast<LONG>(t.size()) && wordChar(static_cast<unsigned char>(t[static_cast<std::size_t>(b)]))) ++b;
  return CHARRANGE{a, b};
}

LRESULT setCharFormat(HWND h, rich::Formats& fm, WPARAM which, const CHARFORMAT* cf) {
  if (!cf || cf->cbSize < sizeof(CHARFORMAT)) return 0;
  const bool baseBold = fm.base().bold;
  auto change = [&](int v) {
    rtf::CharFormat c = fm.charFormats[static_cast<std::size_t>(v)];
    mergeChar(c, *cf, baseBold);
    return fm.internChar(c);
  };
  const auto n = static_cast<LONG>(base(h, WM_GETTEXTLENGTH, 0, 0));
  CHARRANGE r{0, n};
  if (which & SCF_ALL) {
    if (n == 0) fm.chars.reset(0, change(fm.chars.runs().front().value));
  } else if (which & SCF_SELECTION) {
    r = selOf(h);
    if (r.cpMin == r.cpMax && (which & SCF_WORD)) r = wordAt(textOf(h), r.cpMin);
    if (r.cpMin == r.cpMax) {
      // No characters: the format of what is typed next at the caret.
      const LONG caret = selOf(h).cpMin;
      fm.typing = change(typingFormat(fm, caret));
      fm.typingAt = caret;
      relayout(h, fm, caret, caret);
      return 1;
    }
  } else {
    mergeChar(fm.charFormats[0], *cf, baseBold);
    fm.defaultChanged = !(fm.charFormats[0] == rtf::CharFormat{});
    relayout(h, fm, 0, -1);
    return 1;
  }
  // A change of the characters' formats is a step of undo.
  if (r.cpMin < r.cpMax) editx::formatStep(h, static_cast<int>(r.cpMin), static_cast<int>(r.cpMax));
  fm.chars.apply(r.cpMin, r.cpMax, change);
  if (r.cpMin < r.cpMax) base(h, EM_SETMODIFY, TRUE, 0);
  relayout(h, fm, r.cpMin, r.cpMax);
  return 1;
}

LRESULT getCharFormat(HWND h, const rich::Formats& fm, WPARAM which, CHARFORMAT* cf) {
  if (!cf || cf->cbSize < sizeof(CHARFORMAT)) return 0;
  const bool two = cf->cbSize >= sizeof(CHARFORMAT2);
  std::vector<int> used;
  if (which & SCF_SELECTION) {
    const CHARRANGE r = selOf(h);
    if (r.cpMin == r.cpMax) used.push_back(typingFormat(fm, r.cpMin));
    else fm.chars.each(r.cpMin, r.cpMax, [&](int, int, int v) { used.push_back(v); });
  }
  if (used.empty()) used.push_back(0);
  const rtf::CharFormat b = fm.base();
  const rtf::CharFormat first = resolved(fm, b, used[0]);
  DWORD mask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_SIZE | CFM_COLOR | CFM_FACE |
               CFM_CHARSET | (two ? CFM_BACKCOLOR | CFM_WEIGHT : 0);
  for (std::size_t k = 1; k < used.size(); ++k) {
    const rtf::CharFormat o = resolved(fm, b, used[k]);
    if (o.bold != first.bold) mask &= ~(CFM_BOLD | CFM_WEIGHT);
    if (o.italic != first.italic) mask &= ~CFM_ITALIC;
    if (o.underline != first.underline) mask &= ~CFM_UNDERLINE;
    if (o.strike != first.strike) mask &= ~CFM_STRIKEOUT;
    if (o.protect != first.protect) mask &= ~CFM_PROTECTED;
    if (o.twips != first.twips) mask &= ~CFM_SIZE;
    if (o.autoColour != first.autoColour || o.colour != first.colour) mask &= ~CFM_COLOR;
    if (o.face != first.face) mask &= ~CFM_FACE;
    if (o.charset != first.charset) mask &= ~CFM_CHARSET;
    if (o.autoBack != first.autoBack || o.back != first.back) mask &= ~CFM_BACKCOLOR;
  }
  DWORD e = 0;
  if (first.bold && (mask & CFM_BOLD)) e |= CFE_BOLD;
  if (first.italic && (mask & CFM_ITALIC)) e |= CFE_ITALIC;
  if (first.underline && (mask & CFM_UNDERLINE)) e |= CFE_UNDERLINE;
  if (first.strike && (mask & CFM_STRIKEOUT)) e |= CFE_STRIKEOUT;
  if (first.protect && (mask & CFM_PROTECTED)) e |= CFE_PROTECTED;
  if (first.autoColour && (mask & CFM_COLOR)) e |= CFE_AUTOCOLOR;
  if (two && first.autoBack && (mask & CFM_BACKCOLOR)) e |= CFE_AUTOBACKCOLOR;
  cf->dwMask = mask;
  cf->dwEffects = e;
  cf->yHeight = first.twips;
  cf->yOffset = 0;
  cf->crTextColor = first.autoColour ? GetSysColor(COLOR_WINDOWTEXT) : first.colour;
  cf->bCharSet = first.charset;
  cf->bPitchAndFamily = first.pitchFamily;
  std::memset(cf->szFaceName, 0, sizeof cf->szFaceName);
  std::memcpy(cf->szFaceName, first.face.data(), std::min<std::size_t>(first.face.size(), LF_FACESIZE - 1));
  if (two) {
    auto* c2 = static_cast<CHARFORMAT2*>(cf);
    c2->wWeight = static_cast<WORD>(first.bold ? FW_BOLD : FW_NORMAL);
    c2->crBackColor = first.autoBack ? GetSysColor(COLOR_WINDOW) : first.back;
  }
  return static_cast<LRESULT>(mask);
}

LONG paraEnd(const std::string& t, LONG p) {
  const std::size_t e = t.find('\r', static_cast<std::size_t>(std::clamp<LONG>(p, 0, static_cast<LONG>(t.size()))));
  return e == std::string::npos ? static_cast<LONG>(t.size()) : static_cast<LONG>(e);
}

LRESULT setParaFormat(HWND h, rich::Formats& fm, const PARAFORMAT* pf) {
  if (!pf || pf->cbSize < sizeof(PARAFORMAT)) return 0;
  const std::string t = textOf(h);
  const CHARRANGE r = selOf(h);
  const LONG end = paraEnd(t, r.cpMax);
  editx::formatStep(h, static_cast<int>(r.cpMin), static_cast<int>(end), true);
  fm.paras.apply(r.cpMin, end + 1, [&](int v) {
    rtf::ParaFormat p = fm.paraFormats[static_cast<std::size_t>(v)];
    const DWORD m = pf->dwMask;
    if (m & PFM_NUMBERING) p.bullet = pf->wNumbering == PFN_BULLET;
    if (m & PFM_ALIGNMENT) p.align = pf->wAlignment == PFA_CENTER ? 1 : pf->wAlignment == PFA_RIGHT ? 2 : 0;
    if (m & PFM_STARTINDENT) p.start = static_cast<int>(pf->dxStartIndent);
    else if (m & PFM_OFFSETINDENT) p.start += static_cast<int>(pf->dxStartIndent);
    if (m & PFM_RIGHTINDENT) p.right = static_cast<int>(pf->dxRightIndent);
    if (m & PFM_OFFSET) p.offset = static_cast<int>(pf->dxOffset);
    return fm.internPara(p);
  });
  base(h, EM_SETMODIFY, TRUE, 0);
  relayout(h, fm, r.cpMin, end, true);
  return 1;
}

LRESULT getParaFormat(HWND h, const rich::Formats& fm, PARAFORMAT* pf) {
  if (!pf || pf->cbSize < sizeof(PARAFORMAT)) return 0;
  const std::string t = textOf(h);
  const CHARRANGE r = selOf(h);
  const LONG last = paraEnd(t, r.cpMax);
  LONG e = paraEnd(t, r.cpMin);
  const rtf::ParaFormat first = fm.paraFormats[static_cast<std::size_t>(fm.paras.at(e))];
  DWORD mask = PFM_NUMBERING | PFM_ALIGNMENT | PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_TABSTOPS;
  while (e < last) {
    e = paraEnd(t, e + 1);
    const rtf::ParaFormat& o = fm.paraFormats[static_cast<std::size_t>(fm.paras.at(e))];
    if (o.bullet != first.bullet) mask &= ~PFM_NUMBERING;
    if (o.align != first.align) mask &= ~PFM_ALIGNMENT;
    if (o.start != first.start) mask &= ~PFM_STARTINDENT;
    if (o.right != first.right) mask &= ~PFM_RIGHTINDENT;
    if (o.offset != first.offset) mask &= ~PFM_OFFSET;
  }
  pf->dwMask = mask;
  pf->wNumbering = first.bullet ? PFN_BULLET : 0;
  pf->wAlignment = first.align == 1 ? PFA_CENTER : first.align == 2 ? PFA_RIGHT : PFA_LEFT;
  pf->dxStartIndent = first.start;
  pf->dxRightIndent = first.right;
  pf->dxOffset = first.offset;
  pf->cTabCount = 0;
  return static_cast<LRESULT>(mask);
}

// Messages that cannot move the selection need no comparison afterwards.
bool readsOnly(UINT msg) {
  switch (msg) {
    case WM_PAINT: case WM_ERASEBKGND: case WM_GETTEXT: case WM_GETTEXTLENGTH: case WM_GETFONT:
    case WM_GETDLGCODE: case WM_NCHITTEST: case WM_SETCURSOR: case WM_NCPAINT:
    case EM_GETSEL: case EM_GETLINECOUNT: case EM_LINEINDEX: case EM_LINELENGTH: case EM_GETLINE:
    case EM_LINEFROMCHAR: case EM_POSFROMCHAR: case EM_CHARFROMPOS: case EM_GETMODIFY:
    case EM_CANUNDO: case EM_GETFIRSTVISIBLELINE: case EM_GETLIMITTEXT: case EM_GETRECT:
      return true;
    default:
      return false;
  }
}

LRESULT richProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      riches()[h] = RichData{};
      riches()[h].formats = std::make_unique<rich::Formats>(h);
      CREATESTRUCT cs = *reinterpret_cast<const CREATESTRUCT*>(lParam);
      std::string name;
      if (cs.lpszName && !IS_INTRESOURCE(cs.lpszName)) {
        name = toCr(cs.lpszName);
        cs.lpszName = name.c_str();
      }
      const LRESULT r = base(h, msg, wParam, reinterpret_cast<LPARAM>(&cs));
      base(h, EM_LIMITTEXT, static_cast<WPARAM>(kRichEditDefaultLimit), 0);
      rich::Formats& fm = *riches()[h].formats;
      editx::setFormatter(h, &fm);
      // Above the first rich-edit level undo keeps many steps, with redo.
      char cls[32] = {};
      GetClassName(h, cls, static_cast<int>(sizeof cls));
      editx::setUndoLevels(h, strcasecmp(cls, RICHEDIT_CLASS10) != 0);
      fm.textSet(static_cast<int>(base(h, WM_GETTEXTLENGTH, 0, 0)));
      return r;
    }
    case WM_NCDESTROY:
      editx::setFormatter(h, nullptr);
      riches().erase(h);
      return base(h, msg, wParam, lParam);
    default:
      break;
  }
  auto it = riches().find(h);
  if (it == riches().end()) return base(h, msg, wParam, lParam);
  switch (msg) {
    case EM_SETEVENTMASK: {
      const DWORD old = it->second.eventMask;
      it->second.eventMask = static_cast<DWORD>(lParam);
      return static_cast<LRESULT>(old);
    }
    case EM_GETEVENTMASK:
      return static_cast<LRESULT>(it->second.eventMask);
    case EM_EXGETSEL:
      if (lParam) *reinterpret_cast<CHARRANGE*>(lParam) = selOf(h);
      return 0;
    case EM_EXLIMITTEXT:
      base(h, EM_LIMITTEXT, lParam > 0 ? static_cast<WPARAM>(lParam) : static_cast<WPARAM>(kRichEditDefaultLimit), 0);
      return 0;
    case EM_EXLINEFROMCHAR:
      return base(h, EM_LINEFROMCHAR, static_cast<WPARAM>(lParam), 0);
    case EM_GETTEXTRANGE: {
      auto* tr = reinterpret_cast<TEXTRANGE*>(lParam);
      if (!tr || !tr->lpstrText) return 0;
      const std::string t = textOf(h);
      CHARRANGE r = tr->chrg;
      clip(r, static_cast<LONG>(t.size()));
      const LONG n = std::max<LONG>(0, r.cpMax - r.cpMin);
      std::memcpy(tr->lpstrText, t.data() + r.cpMin, static_cast<std::size_t>(n));
      tr->lpstrText[n] = '\0';
      return n;
    }
    case EM_GETSELTEXT: {
      if (!lParam) return 0;
      const std::string t = textOf(h);
      CHARRANGE r = selOf(h);
      clip(r, static_cast<LONG>(t.size()));
      char* out = reinterpret_cast<char*>(lParam);
      const LONG n = r.cpMax - r.cpMin;
      std::memcpy(out, t.data() + r.cpMin, static_cast<std::size_t>(n));
      out[n] = '\0';
      return n;
    }
    case EM_GETTEXTLENGTHEX: {
      const auto* g = reinterpret_cast<const GETTEXTLENGTHEX*>(wParam);
      if (g && (g->flags & GTL_USECRLF)) {
        const std::string t = textOf(h);
        return static_cast<LRESULT>(t.size() + static_cast<std::size_t>(std::count(t.begin(), t.end(), '\r')));
      }
      return base(h, WM_GETTEXTLENGTH, 0, 0);
    }
    case EM_FINDTEXT:
    case EM_FINDTEXTEX: {
      auto* ft = reinterpret_cast<FINDTEXT*>(lParam);
      if (!ft || !ft->lpstrText) return -1;
      const std::string what = toCr(ft->lpstrText);
      const LONG p = find(textOf(h), ft->chrg, what, wParam);
      if (msg == EM_FINDTEXTEX) {
        auto* fx = reinterpret_cast<FINDTEXTEX*>(lParam);
        fx->chrgText = p < 0 ? CHARRANGE{-1, -1} : CHARRANGE{p, p + static_cast<LONG>(what.size())};
      }
      return p;
    }
    case EM_HIDESELECTION:
      return 0;
    case EM_FORMATRANGE:
      return lParam ? formatRange(h, *it->second.formats, wParam != 0, *reinterpret_cast<const FORMATRANGE*>(lParam)) : 0;
    case EM_CANREDO:
      return editx::canRedo(h) ? TRUE : FALSE;
    case EM_SETCHARFORMAT:
      return setCharFormat(h, *it->second.formats, wParam, reinterpret_cast<const CHARFORMAT*>(lParam));
    case EM_GETCHARFORMAT:
      return getCharFormat(h, *it->second.formats, wParam, reinterpret_cast<CHARFORMAT*>(lParam));
    case EM_SETPARAFORMAT:
      return setParaFormat(h, *it->second.formats, reinterpret_cast<const PARAFORMAT*>(lParam));
    case EM_GETPARAFORMAT:
      return getParaFormat(h, *it->second.formats, reinterpret_cast<PARAFORMAT*>(lParam));
    case WM_SETFONT: {
      const LRESULT r = base(h, msg, wParam, lParam);
      it->second.formats->invalidate();
      return r;
    }
    case EM_CANPASTE: {
      return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(RegisterClipboardFormat(kRtfClipboardFormat))
                 ? TRUE : FALSE;
    }
    default:
      break;
  }

  if (((it->second.eventMask & ENM_KEYEVENTS) && keyMessage(msg)) ||
      ((it->second.eventMask & ENM_MOUSEEVENTS) && mouseMessage(msg))) {
    if (!filterPasses(h, msg, wParam, lParam)) return 0;
    it = riches().find(h);   // the parent may have destroyed the control
    if (it == riches().end()) return 0;
  }
  const bool watch = (it->second.eventMask & ENM_SELCHANGE) && !readsOnly(msg);
  const CHARRANGE before = watch ? selOf(h) : CHARRANGE{};
  LRESULT r = 0;
  switch (msg) {
    case EM_STREAMIN:
    case EM_STREAMOUT: {
      auto* es = reinterpret_cast<EDITSTREAM*>(lParam);
      if (!es) return 0;
      rich::Formats& fm = *it->second.formats;
      r = msg == EM_STREAMIN ? streamIn(h, fm, wParam, *es) : streamOut(h, fm, wParam, *es);
      break;
    }
    case WM_KEYDOWN: {
      // The clipboard and undo keys act on the key itself, which the parent's key filter sees
      // first (a parent that takes Ctrl+V pastes once); their characters do nothing.
      const bool ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
      // Insert alone switches between inserting and overwriting what is typed.
      if (wParam == static_cast<WPARAM>(VK_INSERT) && !ctrl && !alt && GetKeyState(VK_SHIFT) >= 0)
        editx::setOverwrite(h, !editx::overwriting(h));
      const UINT action = !ctrl || alt ? 0
                          : wParam == 'V' ? WM_PASTE
                          : wParam == 'C' ? WM_COPY
                          : wParam == 'X' ? WM_CUT
                          : wParam == 'Z' ? WM_UNDO : 0;
      r = action != 0 ? SendMessage(h, action, 0, 0) : base(h, msg, wParam, lParam);
      break;
    }
    case WM_CHAR:
      if (wParam == 0x03 || wParam == 0x16 || wParam == 0x18 || wParam == 0x1A) return 0;
      // Enter makes one CR.
      if (wParam == '\r' || wParam == '\n') {
        if (GetWindowLong(h, GWL_STYLE) & ES_READONLY) {
          MessageBeep(0);
          return 0;
        }
        r = base(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r"));
      } else {
        r = base(h, msg, wParam, lParam);
      }
      break;
    case EM_REPLACEALLTEXT:
      r = replaceAll(h, wParam, reinterpret_cast<REPLACEALLTEXT*>(lParam));
      break;
    case EM_REDO:
      r = editx::redo(h) ? TRUE : FALSE;
      break;
    case EM_EXSETSEL: {
      const auto* cr = reinterpret_cast<const CHARRANGE*>(lParam);
      if (!cr) return 0;
      base(h, EM_SETSEL, static_cast<WPARAM>(static_cast<LONG_PTR>(cr->cpMin)), static_cast<LPARAM>(cr->cpMax));
      r = selOf(h).cpMax;
      break;
    }
    case WM_COPY:
    case WM_CUT: {
      // Other programs read line ends on the clipboard as CR LF.
      const CHARRANGE sel = selOf(h);
      if (sel.cpMin == sel.cpMax) return 0;
      if (msg == WM_CUT && (GetWindowLong(h, GWL_STYLE) & ES_READONLY)) {
        MessageBeep(0);
        return 0;
      }
      const std::string all = textOf(h);
      const std::string t = toCrLf(all.substr(static_cast<std::size_t>(sel.cpMin),
                                              static_cast<std::size_t>(sel.cpMax - sel.cpMin)));
      // The selection also as RTF, so that a paste into rich text keeps its formats.
      const std::string r = rtf::write(selectionOf(*it->second.formats, all, sel), fontOf(h));
      if (OpenClipboard(h)) {
        EmptyClipboard();
        for (const auto& [format, data] : {std::pair<UINT, const std::string*>{CF_TEXT, &t},
                                           {RegisterClipboardFormat(kRtfClipboardFormat), &r}}) {
          HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, data->size() + 1);
          if (!g) continue;
          if (char* p = static_cast<char*>(GlobalLock(g))) {
            std::memcpy(p, data->c_str(), data->size() + 1);
            GlobalUnlock(g);
            if (!SetClipboardData(format, g)) GlobalFree(g);
          } else {
            GlobalFree(g);
          }
        }
        CloseClipboard();
      }
      if (msg == WM_CUT) base(h, WM_CLEAR, 0, 0);
      break;
    }
    case WM_PASTE: {
      if (GetWindowLong(h, GWL_STYLE) & ES_READONLY) {
        MessageBeep(0);
        return 0;
      }
      // Rich text pastes with its formats when the clipboard holds RTF that reads; else its
      // plain text.
      std::string s, r;
      if (OpenClipboard(h)) {
        if (HGLOBAL g = GetClipboardData(RegisterClipboardFormat(kRtfClipboardFormat))) {
          if (const char* p = static_cast<const char*>(GlobalLock(g))) r.assign(p, strnlen(p, GlobalSize(g)));
          GlobalUnlock(g);
        }
        if (HGLOBAL g = GetClipboardData(CF_TEXT)) {
          if (const char* p = static_cast<const char*>(GlobalLock(g))) s = toCr(p);
          GlobalUnlock(g);
        }
        CloseClipboard();
      }
      rtf::Document doc;
      if (!r.empty() && rtf::read(r, doc)) putText(h, *it->second.formats, SF_RTF | SFF_SELECTION, r, true);
      else if (!s.empty()) base(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(s.c_str()));
      break;
    }
    case WM_SETTEXT:
    case EM_REPLACESEL: {
      const char* s = reinterpret_cast<const char*>(lParam);
      const std::string t = toCr(s ? s : "");
      r = base(h, msg, wParam, reinterpret_cast<LPARAM>(t.c_str()));
      break;
    }
    default:
      r = base(h, msg, wParam, lParam);
      break;
  }
  if (watch && IsWindow(h)) {
    const CHARRANGE after = selOf(h);
    if (after.cpMin != before.cpMin || after.cpMax != before.cpMax) notifySelChange(h, after);
  }
  return r;
}

}  // namespace

void RegisterRichEditClasses() {
  RegisterDialogClasses();
  dlg::registerControlClass(RICHEDIT_CLASS, richProc);
  dlg::registerControlClass(RICHEDIT_CLASS10, richProc);
}

}  // namespace win
