// platform/dialog_draw.cpp: the plain classic look shared by the buttons, statics, dialogs
// and message boxes: 3-D edges, focus rectangles, control colours, text layout with
// mnemonics, and the system icons.
#include <algorithm>
#include <cctype>

#include "platform/codepage.h"
#include "platform/dialog_internal.h"

namespace win::dlg {

//------------------------------------------------------------------------------
// Colours and simple shapes
//------------------------------------------------------------------------------
void fillSolid(HDC dc, const RECT& r, COLORREF colour) {
  if (!dc || r.right <= r.left || r.bottom <= r.top) return;
  HBRUSH b = CreateSolidBrush(colour);
  FillRect(dc, r, b);
  DeleteObject(b);
}

void fillBrush(HDC dc, const RECT& r, HBRUSH brush, COLORREF fallback) {
  if (brush) FillRect(dc, r, brush);
  else fillSolid(dc, r, fallback);
}

void hline(HDC dc, int x0, int x1, int y, COLORREF colour) { fillSolid(dc, RECT{x0, y, x1, y + 1}, colour); }
void vline(HDC dc, int x, int y0, int y1, COLORREF colour) { fillSolid(dc, RECT{x, y0, x + 1, y1}, colour); }

void frame(HDC dc, const RECT& r, COLORREF c) {
  hline(dc, r.left, r.right, r.top, c);
  hline(dc, r.left, r.right, r.bottom - 1, c);
  vline(dc, r.left, r.top, r.bottom, c);
  vline(dc, r.right - 1, r.top, r.bottom, c);
}

static void twoTone(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  hline(dc, r.left, r.right - 1, r.top, topLeft);
  vline(dc, r.left, r.top, r.bottom - 1, topLeft);
  hline(dc, r.left, r.right, r.bottom - 1, bottomRight);
  vline(dc, r.right - 1, r.top, r.bottom, bottomRight);
}

void edge3d(HDC dc, const RECT& r, bool raised) {
  const RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  if (raised) {
    twoTone(dc, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    twoTone(dc, inner, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
  } else {
    twoTone(dc, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    twoTone(dc, inner, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
  }
}

void etched(HDC dc, const RECT& r) {
  frame(dc, RECT{r.left + 1, r.top + 1, r.right, r.bottom}, GetSysColor(COLOR_BTNHIGHLIGHT));
  frame(dc, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, GetSysColor(COLOR_BTNSHADOW));
}

void focusRect(HDC dc, const RECT& r) {
  if (!dc) return;
  const COLORREF c = GetSysColor(COLOR_WINDOWTEXT);
  for (int x = r.left; x < r.right; x += 2) {
    SetPixelV(dc, x, r.top, c);
    SetPixelV(dc, x, r.bottom - 1, c);
  }
  for (int y = r.top; y < r.bottom; y += 2) {
    SetPixelV(dc, r.left, y, c);
    SetPixelV(dc, r.right - 1, y, c);
  }
}

void registerControlClass(LPCSTR name, WNDPROC proc) {
  WNDCLASS wc;
  if (GetClassInfo(nullptr, name, wc)) return;
  wc = WNDCLASS{};
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClass(wc);
}

std::string windowText(HWND hwnd) {
  const int n = GetWindowTextLength(hwnd);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  GetWindowText(hwnd, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

HFONT fontOf(HWND hwnd) {
  HFONT f = reinterpret_cast<HFONT>(SendMessage(hwnd, WM_GETFONT, 0, 0));
  return f ? f : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

void paintBackground(HWND hwnd, HDC dc, UINT msg, const RECT& r, int textColourIndex) {
  SetTextColor(dc, GetSysColor(textColourIndex));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  HWND parent = GetParent(hwnd);
  HBRUSH brush = nullptr;
  if (parent && (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD))
    brush = reinterpret_cast<HBRUSH>(SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(hwnd)));
  fillBrush(dc, r, brush, GetSysColor(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
}

//------------------------------------------------------------------------------
// Text layout
//------------------------------------------------------------------------------
static int widthOf(HDC dc, const std::string& s) {
  if (s.empty()) return 0;
  SIZE size;
  if (!GetTextExtentPoint32(dc, s.c_str(), static_cast<int>(s.size()), size)) {
    TEXTMETRIC tm;
    GetTextMetrics(dc, tm);
    return static_cast<int>(s.size()) * std::max<LONG>(1, tm.tmAveCharWidth);
  }
  return size.cx;
}

int lineHeight(HDC dc) {
  TEXTMETRIC tm;
  if (!GetTextMetrics(dc, tm) || tm.tmHeight <= 0) return 13;
  return tm.tmHeight;
}

// One paragraph with its prefix marks resolved.
static TextLine unprefix(std::string_view para, bool prefix) {
  TextLine out;
  if (!prefix) {
    out.text.assign(para);
    return out;
  }
  for (std::size_t i = 0; i < para.size(); ++i) {
    if (para[i] == '&' && i + 1 < para.size()) {
      ++i;
      if (para[i] != '&' && out.underline < 0) out.underline = static_cast<int>(out.text.size());
    } else if (para[i] == '&') {
      continue;   // a trailing ampersand shows nothing
    }
    out.text += para[i];
  }
  return out;
}

std::vector<TextLine> layoutText(HDC dc, std::string_view text, int width, bool wrap, bool prefix) {
  std::vector<std::string_view> paras;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      paras.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  paras.push_back(text.substr(start));

  std::vector<TextLine> lines;
  for (std::string_view p : paras) {
    TextLine whole = unprefix(p, prefix);
    for (char& c : whole.text)
      if (c == '\t') c = ' ';
    if (!wrap || width <= 0 || widthOf(dc, whole.text) <= width) {
      lines.push_back(whole);
      continue;
    }
    // Greedy breaking at blanks; the underline index follows its character.
    std::size_t pos = 0;
    const std::string& s = whole.text;
    while (pos < s.size()) {
      std::size_t end = pos, lastBreak = std::string::npos;
      while (end < s.size()) {
        const std::size_t next = end + 1;
        if (widthOf(dc, s.substr(pos, next - pos)) > width) break;
        if (s[end] == ' ') lastBreak = end;
        end = next;
      }
      std::size_t cut = end;
      if (end < s.size()) {
        if (lastBreak != std::string::npos && lastBreak > pos) cut = lastBreak;
        else if (end == pos) cut = pos + 1;   // not even one character fits: one per line
      }
      TextLine line;
      line.text = s.substr(pos, cut - pos);
      while (!line.text.empty() && line.text.back() == ' ') line.text.pop_back();
      if (whole.underline >= static_cast<int>(pos) && whole.underline < static_cast<int>(cut))
        line.underline = whole.underline - static_cast<int>(pos);
      lines.push_back(line);
      pos = cut;
      while (pos < s.size() && s[pos] == ' ') ++pos;
    }
  }
  return lines;
}

SIZE measureLines(HDC dc, const std::vector<TextLine>& lines) {
  SIZE out;
  for (const TextLine& l : lines) out.cx = std::max<LONG>(out.cx, widthOf(dc, l.text));
  out.cy = static_cast<LONG>(lines.size()) * lineHeight(dc);
  return out;
}

static void drawLinesOnce(HDC dc, const std::vector<TextLine>& lines, const RECT& box, int align,
                          int valign, int dx, int dy) {
  const int h = lineHeight(dc);
  const int total = static_cast<int>(lines.size()) * h;
  int y = box.top;
  if (valign == 1) y = box.top + (box.bottom - box.top - total) / 2;
  if (valign == 2) y = box.bottom - total;
  TEXTMETRIC tm;
  GetTextMetrics(dc, tm);
  const COLORREF colour = GetTextColor(dc);
  for (const TextLine& l : lines) {
    const int w = widthOf(dc, l.text);
    int x = box.left;
    if (align == 1) x = box.left + (box.right - box.left - w) / 2;
    if (align == 2) x = box.right - w;
    if (!l.text.empty()) TextOut(dc, x + dx, y + dy, l.text.c_str(), static_cast<int>(l.text.size()));
    if (l.underline >= 0 && l.underline < static_cast<int>(l.text.size())) {
      const int u0 = widthOf(dc, l.text.substr(0, static_cast<std::size_t>(l.underline)));
      const int u1 = widthOf(dc, l.text.substr(0, static_cast<std::size_t>(l.underline) + 1));
      hline(dc, x + dx + u0, x + dx + u1, y + dy + tm.tmAscent + 1, colour);
    }
    y += h;
  }
}

void drawLines(HDC dc, const std::vector<TextLine>& lines, const RECT& box, int align, int valign,
               bool disabled) {
  if (!dc) return;
  SetBkMode(dc, TRANSPARENT);
  if (disabled) {
    const COLORREF saved = GetTextColor(dc);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    drawLinesOnce(dc, lines, box, align, valign, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    drawLinesOnce(dc, lines, box, align, valign, 0, 0);
    SetTextColor(dc, saved);
    return;
  }
  drawLinesOnce(dc, lines, box, align, valign, 0, 0);
}

char mnemonicOf(std::string_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

//------------------------------------------------------------------------------
// System icons and images
//------------------------------------------------------------------------------
HICON systemIcon(LPCSTR idi) { return IS_INTRESOURCE(idi) ? LoadIcon(nullptr, idi) : nullptr; }

SIZE bitmapSize(HBITMAP bitmap) {
  BITMAP bm;
  SIZE s;
  if (bitmap && GetObject(bitmap, sizeof bm, &bm)) s = SIZE{bm.bmWidth, bm.bmHeight};
  return s;
}

void drawBitmap(HDC dc, int x, int y, HBITMAP bitmap) {
  if (!dc || !bitmap) return;
  const SIZE s = bitmapSize(bitmap);
  HDC mem = CreateCompatibleDC(dc);
  if (!mem) return;
  HGDIOBJ old = SelectObject(mem, bitmap);
  BitBlt(dc, x, y, s.cx, s.cy, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

SIZE imageSize(HGDIOBJ image, WPARAM kind) {
  return kind == IMAGE_BITMAP ? bitmapSize(static_cast<HBITMAP>(image)) : icon::sizeOf(static_cast<HICON>(image));
}

void drawImage(HDC dc, int x, int y, HGDIOBJ image, WPARAM kind) {
  if (kind == IMAGE_BITMAP) drawBitmap(dc, x, y, static_cast<HBITMAP>(image));
  else DrawIcon(dc, x, y, static_cast<HICON>(image));
}

//------------------------------------------------------------------------------
// Template texts
//------------------------------------------------------------------------------
std::string fromUtf16(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    const int b = cp1252OfTextCharacter(c);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

}  // namespace win::dlg
