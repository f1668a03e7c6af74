// platform/toolbar.cpp: the toolbar control: buttons with images from bitmap strips and
// separators in a row (or a column), drawn raised, pressed, checked or grey; a click on an
// enabled button sends WM_COMMAND to the parent; a toolbar with tooltips keeps one tool per
// button in its own tooltip control and relays its mouse messages to it.
// Sections (grep "[SECTION]"): images | layout | drawing | procedure
//
// Invariants: (1) images are kept as 32-bit pixels, the strip's light grey (192, 192, 192)
// marked transparent so that the button face shows through; (2) a button is pressed only
// between a press on it while it is enabled and the release (pressed >= 0, capture held);
// (3) the tooltip control, when there is one, has exactly one tool per visible button, with
// the button's command as its identifier and the button's rectangle.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/classic_draw.h"
#include "platform/gdi.h"
#include "platform/menu_toolbar.h"
#include "platform/toolbar_images.h"
#include "platform/resource.h"

namespace win {

BOOL registerTooltipClass();

namespace {

constexpr std::uint32_t kClear = 0xFF000000;   // a transparent pixel of an image
constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr int kSeparator = 8;

struct Button {
  int image = 0;
  int id = 0;
  BYTE state = 0;
  BYTE style = 0;
  ULONG_PTR data = 0;
  INT_PTR string = 0;
};

struct Toolbar {
  std::vector<Button> buttons;
  std::vector<std::vector<std::uint32_t>> images;   // 0x00RRGGBB or kClear, bitmap size each
  SIZE bitmap{16, 15};
  SIZE button{23, 22};
  HWND notify = nullptr;
  HWND tips = nullptr;
  std::vector<int> tools;   // commands that have a tool in the tooltip control
  int rows = 1;
  int pressed = -1;
};

Toolbar* barOf(HWND h) { return reinterpret_cast<Toolbar*>(GetWindowLongPtr(h, 0)); }

//------------------------------------------------------------------------------
// [SECTION] Images
//------------------------------------------------------------------------------
std::uint32_t rd32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint32_t fromRgb(int r, int g, int b) {
  if (r == 192 && g == 192 && b == 192) return kClear;
  return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// A device-independent bitmap (header, colour table, pixels) as rows of pixels, top row
// first; false when it is malformed or of a kind not read here.
bool decodeDib(const unsigned char* d, std::size_t size, int& width, int& height, std::vector<std::uint32_t>& px) {
  if (!d || size < 40) return false;
  const std::uint32_t header = rd32(d);
  if (header < 40 || header > size) return false;
  const int w = static_cast<int>(rd32(d + 4));
  const int h = static_cast<int>(rd32(d + 8));
  const int bpp = d[14] | (d[15] << 8);
  const std::uint32_t compression = rd32(d + 16);
  std::uint32_t colours = rd32(d + 32);
  if (w <= 0 || h == 0 || w > 32767 || h > 32767 || h < -32767) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  if (compression != 0 && !(compression == 3 && bpp == 32)) return false;
  if (bpp <= 8 && colours == 0) colours = 1u << bpp;
  if (bpp > 8) colours = 0;
  if (colours > 256) return false;
  std::size_t palette = header + (compression == 3 ? 12 : 0);
  const std::size_t bits = palette + static_cast<std::size_t>(colours) * 4;
  const int rows = h < 0 ? -h : h;
  const std::size_t stride = (static_cast<std::size_t>(w) * static_cast<std::size_t>(bpp) + 31) / 32 * 4;
  if (bits > size || stride * static_cast<std::size_t>(rows) > size - bits) return false;
  width = w;
  height = rows;
  px.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(rows), 0);
  for (int y = 0; y < rows; ++y) {
    const int srcRow = h < 0 ? y : rows - 1 - y;
    const unsigned char* row = d + bits + stride * static_cast<std::size_t>(srcRow);
    for (int x = 0; x < w; ++x) {
      int r = 0, g = 0, b = 0;
      if (bpp <= 8) {
        const int perByte = 8 / bpp;
        const int shift = (perByte - 1 - x % perByte) * bpp;
        const unsigned index = (row[x / perByte] >> shift) & ((1u << bpp) - 1);
        if (index < colours) {
          const unsigned char* c = d + palette + index * 4;
          b = c[0];
          g = c[1];
          r = c[2];
        }
      } else {
        const unsigned char* c = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp / 8);
        b = c[0];
        g = c[1];
        r = c[2];
      }
      px[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] = fromRgb(r, g, b);
    }
  }
  return true;
}

// The pixels of a bitmap object, read through a memory device context.
bool readBitmap(HBITMAP bmp, int& width, int& height, std::vector<std::uint32_t>& px) {
  BITMAP info{};
  if (!bmp || !GetObject(bmp, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  width = info.bmWidth;
  height = info.bmHeight;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  px.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = GetPixel(mem, x, y);
      px[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          fromRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }
  SelectObject(mem, old);
  DeleteDC(mem);
  return true;
}

// Cuts a strip into count images of the bitmap size; returns the index of the first, -1 when
// the strip cannot be read. A strip narrower than count images gives empty images for the rest.
LRESULT addBitmap(Toolbar& tb, int count, const TBADDBITMAP& add) {
  int w = 0, h = 0;
  std::vector<std::uint32_t> px;
  bool ok = false;
  auto fromResource = [&] {
    if (add.nID > 0xFFFF) return false;
    HRSRC res = FindResource(add.hInst, MAKEINTRESOURCE(static_cast<int>(add.nID)), RT_BITMAP);
    return res && decodeDib(static_cast<const unsigned char*>(LockResource(LoadResource(add.hInst, res))),
                            SizeofResource(add.hInst, res), w, h, px);
  };
  if (add.hInst == HINST_COMMCTRL) ok = tbimages::standard(add.nID, w, h, px, kClear);
  else if (add.hInst) ok = fromResource();
  // Without an instance nID is a bitmap; a number that is no bitmap is taken as a resource
  // (every table belongs to the program), so that a caller leaving the instance out still
  // gets its images.
  else ok = readBitmap(reinterpret_cast<HBITMAP>(add.nID), w, h, px) || fromResource();
  if (!ok || count <= 0) return -1;
  const LRESULT first = static_cast<LRESULT>(tb.images.size());
  const int iw = tb.bitmap.cx, ih = tb.bitmap.cy;
  for (int k = 0; k < count; ++k) {
    std::vector<std::uint32_t> image(static_cast<std::size_t>(iw) * static_cast<std::size_t>(ih), kClear);
    for (int y = 0; y < ih && y < h; ++y)
      for (int x = 0; x < iw; ++x) {
        const int sx = k * iw + x;
        if (sx >= w) break;
        image[static_cast<std::size_t>(y * iw + x)] = px[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(sx)];
      }
    tb.images.push_back(std::move(image));
  }
  return first;
}

//------------------------------------------------------------------------------
// [SECTION] Layout
//------------------------------------------------------------------------------
bool vertical(HWND h, const Toolbar& tb) {
  if (static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & CCS_VERT) return true;
  int shown = 0;
  for (const Button& b : tb.buttons) shown += (b.state & TBSTATE_HIDDEN) ? 0 : 1;
  return tb.rows > 1 && tb.rows >= shown;
}

// Rectangles of the buttons in client coordinates (empty for hidden ones).
std::vector<RECT> layout(HWND h, const Toolbar& tb) {
  std::vector<RECT> out;
  const bool column = vertical(h, tb);
  int pos = 0;
  for (const Button& b : tb.buttons) {
    if (b.state & TBSTATE_HIDDEN) {
      out.push_back(RECT{});
      continue;
    }
    const bool sep = (b.style & TBSTYLE_SEP) != 0;
    const int extent = sep ? (b.image > 0 ? b.image : kSeparator) : (column ? tb.button.cy : tb.button.cx);
    out.push_back(column ? RECT{0, pos, tb.button.cx, pos + extent} : RECT{pos, 0, pos + extent, tb.button.cy});
    pos += extent;
  }
  return out;
}

SIZE extent(HWND h, const Toolbar& tb) {
  SIZE s{tb.button.cx, tb.button.cy};
  for (const RECT& r : layout(h, tb)) {
    s.cx = std::max<LONG>(s.cx, r.right);
    s.cy = std::max<LONG>(s.cy, r.bottom);
  }
  return s;
}

int hit(HWND h, const Toolbar& tb, POINT p) {
  const std::vector<RECT> rects = layout(h, tb);
  for (std::size_t i = 0; i < rects.size(); ++i)
    if (PtInRect(rects[i], p)) return static_cast<int>(i);
  return -1;
}

int indexOf(const Toolbar& tb, int command) {
  for (std::size_t i = 0; i < tb.buttons.size(); ++i)
    if (!(tb.buttons[i].style & TBSTYLE_SEP) && tb.buttons[i].id == command) return static_cast<int>(i);
  return -1;
}

// One tool per visible button, with the button's rectangle.
void syncTools(HWND h, Toolbar& tb) {
  if (!tb.tips) return;
  const std::vector<RECT> rects = layout(h, tb);
  std::vector<int> wanted;
  for (std::size_t i = 0; i < tb.buttons.size(); ++i) {
    const Button& b = tb.buttons[i];
    if ((b.style & TBSTYLE_SEP) || (b.state & TBSTATE_HIDDEN)) continue;
    if (std::find(wanted.begin(), wanted.end(), b.id) != wanted.end()) continue;
    wanted.push_back(b.id);
    TOOLINFO ti;
    ti.hwnd = h;
    ti.uId = static_cast<UINT_PTR>(b.id);
    ti.rect = rects[i];
    ti.lpszText = LPSTR_TEXTCALLBACK;
    if (std::find(tb.tools.begin(), tb.tools.end(), b.id) != tb.tools.end())
      SendMessage(tb.tips, TTM_NEWTOOLRECT, 0, reinterpret_cast<LPARAM>(&ti));
    else
      SendMessage(tb.tips, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
  }
  for (int id : tb.tools) {
    if (std::find(wanted.begin(), wanted.end(), id) != wanted.end()) continue;
    TOOLINFO ti;
    ti.hwnd = h;
    ti.uId = static_cast<UINT_PTR>(id);
    SendMessage(tb.tips, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
  }
  tb.tools = wanted;
}

void changed(HWND h, Toolbar& tb) {
  syncTools(h, tb);
  InvalidateRect(h, nullptr, TRUE);
}

//------------------------------------------------------------------------------
// [SECTION] Drawing
//------------------------------------------------------------------------------
using draw::line;

void edge(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  line(dc, r.left, r.top, r.right - 1, r.top, topLeft);
  line(dc, r.left, r.top, r.left, r.bottom - 1, topLeft);
  line(dc, r.right - 1, r.top, r.right - 1, r.bottom, bottomRight);
  line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, bottomRight);
}

std::uint32_t bgr(COLORREF c) { return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Puts an image on the button face at (x, y); a grey button's image is embossed: its shape in
// the shadow colour over the same shape in the highlight colour one pixel down and right. White
// parts count as background there, so that an image drawn on white (a page, a disk's label)
// keeps its outlines instead of turning into a plain block.
void drawImage(HDC dc, const Toolbar& tb, int index, int x, int y, bool grey, COLORREF face) {
  if (index < 0 || static_cast<std::size_t>(index) >= tb.images.size()) return;
  const std::vector<std::uint32_t>& img = tb.images[static_cast<std::size_t>(index)];
  const int w = tb.bitmap.cx, hgt = tb.bitmap.cy;
  std::vector<unsigned char> bits(static_cast<std::size_t>(w) * static_cast<std::size_t>(hgt) * 4);
  auto put = [&](int px, int py, std::uint32_t v) {
    unsigned char* p = &bits[(static_cast<std::size_t>(py) * static_cast<std::size_t>(w) + static_cast<std::size_t>(px)) * 4];
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
    p[2] = static_cast<unsigned char>((v >> 16) & 0xFF);
    p[3] = 0;
  };
  const std::uint32_t faceBits = bgr(face);
  for (int py = 0; py < hgt; ++py)
    for (int px = 0; px < w; ++px) put(px, py, faceBits);
  for (int py = 0; py < hgt; ++py)
    for (int px = 0; px < w; ++px) {
      const std::uint32_t v = img[static_cast<std::size_t>(py * w + px)];
      if (v == kClear || (grey && v == kWhite)) continue;
      if (!grey) {
        put(px, py, v);
        continue;
      }
      if (px + 1 < w && py + 1 < hgt) put(px + 1, py + 1, bgr(GetSysColor(COLOR_BTNHIGHLIGHT)));
    }
  if (grey)
    for (int py = 0; py < hgt; ++py)
      for (int px = 0; px < w; ++px)
        if (const std::uint32_t v = img[static_cast<std::size_t>(py * w + px)]; v != kClear && v != kWhite)
          put(px, py, bgr(GetSysColor(COLOR_BTNSHADOW)));
  HBITMAP bmp = CreateBitmap(w, hgt, 1, 32, bits.data());
  if (!bmp) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(dc, x, y, w, hgt, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
}

void paint(HWND h, HDC dc, const Toolbar& tb) {
  RECT client;
  GetClientRect(h, client);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  HBRUSH faceBrush = CreateSolidBrush(face);
  FillRect(dc, client, faceBrush);
  const bool column = vertical(h, tb);
  const std::vector<RECT> rects = layout(h, tb);
  for (std::size_t i = 0; i < tb.buttons.size(); ++i) {
    const Button& b = tb.buttons[i];
    const RECT& r = rects[i];
    if (b.state & TBSTATE_HIDDEN) continue;
    if (b.style & TBSTYLE_SEP) {
      if (column) {
        const int y = (r.top + r.bottom) / 2;
        line(dc, r.left + 2, y - 1, r.right - 2, y - 1, GetSysColor(COLOR_BTNSHADOW));
        line(dc, r.left + 2, y, r.right - 2, y, GetSysColor(COLOR_BTNHIGHLIGHT));
      } else {
        const int x = (r.left + r.right) / 2;
        line(dc, x - 1, r.top + 2, x - 1, r.bottom - 2, GetSysColor(COLOR_BTNSHADOW));
        line(dc, x, r.top + 2, x, r.bottom - 2, GetSysColor(COLOR_BTNHIGHLIGHT));
      }
      continue;
    }
    const bool enabled = (b.state & TBSTATE_ENABLED) != 0;
    const bool down = enabled && (b.state & (TBSTATE_PRESSED | TBSTATE_CHECKED));
    COLORREF inside = face;
    if (down && !(b.state & TBSTATE_PRESSED)) {
      // A checked button: a lighter face.
      const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT);
      inside = RGB((GetRValue(face) + GetRValue(hi)) / 2, (GetGValue(face) + GetGValue(hi)) / 2,
                   (GetBValue(face) + GetBValue(hi)) / 2);
      HBRUSH light = CreateSolidBrush(inside);
      RECT in{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
      FillRect(dc, in, light);
      DeleteObject(light);
    }
    if (down) edge(dc, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else edge(dc, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    const int x = r.left + (r.right - r.left - tb.bitmap.cx) / 2 + (down ? 1 : 0);
    const int y = r.top + (r.bottom - r.top - tb.bitmap.cy) / 2 + (down ? 1 : 0);
    drawImage(dc, tb, b.image, x, y, !enabled, inside);
  }
  DeleteObject(faceBrush);
}

//------------------------------------------------------------------------------
// [SECTION] Procedure
//------------------------------------------------------------------------------
void relayToTips(HWND h, const Toolbar& tb, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!tb.tips) return;
  MSG m;
  m.hwnd = h;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetMessageTime();
  m.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(h, m.pt);
  SendMessage(tb.tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

void setPressed(HWND h, Toolbar& tb, bool on) {
  if (tb.pressed < 0) return;
  Button& b = tb.buttons[static_cast<std::size_t>(tb.pressed)];
  const BYTE before = b.state;
  if (on) b.state |= TBSTATE_PRESSED;
  else b.state &= static_cast<BYTE>(~TBSTATE_PRESSED);
  if (b.state != before) {
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
  }
}

HWND notifyWindow(HWND h, const Toolbar& tb) { return tb.notify ? tb.notify : GetParent(h); }

void autosize(HWND h, const Toolbar& tb) {
  const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  HWND parent = GetParent(h);
  if ((style & CCS_NORESIZE) || !parent) return;
  RECT pc;
  GetClientRect(parent, pc);
  const SIZE s = extent(h, tb);
  const bool column = vertical(h, tb);
  int x = 0, y = 0, w = column ? s.cx : pc.right, hgt = column ? pc.bottom : s.cy;
  if ((style & CCS_BOTTOM) == CCS_BOTTOM && !column) y = pc.bottom - hgt;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (style & CCS_NOPARENTALIGN) flags |= SWP_NOMOVE;
  SetWindowPos(h, nullptr, x, y, w, hgt, flags);
}

LRESULT toolbarProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  Toolbar* tb = barOf(h);
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtr(h, 0, reinterpret_cast<LONG_PTR>(new Toolbar));
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_CREATE:
      if (tb && (static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & TBSTYLE_TOOLTIPS) && registerTooltipClass())
        tb->tips = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, h,
                                  nullptr, nullptr, nullptr);
      return 0;
    case WM_DESTROY:
      if (tb && tb->tips) {
        DestroyWindow(tb->tips);
        tb->tips = nullptr;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_NCDESTROY:
      delete tb;
      SetWindowLongPtr(h, 0, 0);
      return DefWindowProc(h, msg, wParam, lParam);
    default:
      break;
  }
  if (!tb) return DefWindowProc(h, msg, wParam, lParam);
  const int index = indexOf(*tb, static_cast<int>(LOWORD(wParam)));
  Button* b = index >= 0 ? &tb->buttons[static_cast<std::size_t>(index)] : nullptr;
  auto setBit = [&](BYTE bit, bool on) -> LRESULT {
    if (!b) return FALSE;
    const BYTE before = b->state;
    if (on) b->state |= bit;
    else b->state &= static_cast<BYTE>(~bit);
    if (bit == TBSTATE_ENABLED && !on && tb->pressed == index) {
      ReleaseCapture();
      tb->pressed = -1;
      b->state &= static_cast<BYTE>(~TBSTATE_PRESSED);
    }
    if (b->state != before) {
      if (bit == TBSTATE_HIDDEN) changed(h, *tb);
      else InvalidateRect(h, nullptr, TRUE);
    }
    return TRUE;
  };
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, ps);
      if (dc) paint(h, dc, *tb);
      EndPaint(h, ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      relayToTips(h, *tb, msg, wParam, lParam);
      if (tb->pressed >= 0) setPressed(h, *tb, hit(h, *tb, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == tb->pressed);
      return 0;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
      relayToTips(h, *tb, WM_LBUTTONDOWN, wParam, lParam);
      const int i = hit(h, *tb, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (i < 0) return 0;
      const Button& pressedButton = tb->buttons[static_cast<std::size_t>(i)];
      // A grey button and a separator take no press.
      if ((pressedButton.style & TBSTYLE_SEP) || !(pressedButton.state & TBSTATE_ENABLED)) return 0;
      tb->pressed = i;
      SetCapture(h);
      setPressed(h, *tb, true);
      return 0;
    }
    case WM_LBUTTONUP: {
      relayToTips(h, *tb, msg, wParam, lParam);
      if (tb->pressed < 0) return 0;
      const int i = tb->pressed;
      const bool inside = hit(h, *tb, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == i;
      setPressed(h, *tb, false);
      tb->pressed = -1;
      if (GetCapture() == h) ReleaseCapture();
      Button& up = tb->buttons[static_cast<std::size_t>(i)];
      if (!inside || !(up.state & TBSTATE_ENABLED)) return 0;
      if (up.style & TBSTYLE_CHECK) {
        up.state ^= TBSTATE_CHECKED;
        InvalidateRect(h, nullptr, TRUE);
      }
      const int id = up.id;
      SendMessage(notifyWindow(h, *tb), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), reinterpret_cast<LPARAM>(h));
      return 0;
    }
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_MBUTTONDOWN: case WM_MBUTTONUP:
      relayToTips(h, *tb, msg, wParam, lParam);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_CAPTURECHANGED:
      if (tb->pressed >= 0 && reinterpret_cast<HWND>(lParam) != h) {
        setPressed(h, *tb, false);
        tb->pressed = -1;
      }
      return 0;
    case WM_NOTIFY: {
      // The tooltip asks for a button's text: the toolbar's parent knows it.
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr && hdr->hwndFrom == tb->tips) return SendMessage(notifyWindow(h, *tb), WM_NOTIFY, wParam, lParam);
      return 0;
    }
    case TB_BUTTONSTRUCTSIZE:
      return 0;
    case TB_SETBITMAPSIZE: {
      const int w = LOWORD(static_cast<UINT_PTR>(lParam)), hh = HIWORD(static_cast<UINT_PTR>(lParam));
      if (w <= 0 || hh <= 0 || !tb->images.empty()) return FALSE;   // images already cut keep their size
      tb->bitmap = SIZE{w, hh};
      return TRUE;
    }
    case TB_SETBUTTONSIZE: {
      const int w = LOWORD(static_cast<UINT_PTR>(lParam)), hh = HIWORD(static_cast<UINT_PTR>(lParam));
      if (w <= 0 || hh <= 0) return FALSE;
      tb->button = SIZE{w, hh};
      changed(h, *tb);
      return TRUE;
    }
    case TB_GETBUTTONSIZE:
      return MAKELONG(static_cast<WORD>(tb->button.cx), static_cast<WORD>(tb->button.cy));
    case TB_ADDBITMAP: {
      const auto* add = reinterpret_cast<const TBADDBITMAP*>(lParam);
      if (!add) return -1;
      const LRESULT first = addBitmap(*tb, static_cast<int>(wParam), *add);
      if (first >= 0) InvalidateRect(h, nullptr, TRUE);
      return first;
    }
    case TB_ADDBUTTONS: case TB_INSERTBUTTON: {
      const auto* in = reinterpret_cast<const TBBUTTON*>(lParam);
      if (!in) return FALSE;
      const std::size_t count = msg == TB_ADDBUTTONS ? static_cast<std::size_t>(wParam) : 1;
      std::size_t at = msg == TB_ADDBUTTONS ? tb->buttons.size() : std::min<std::size_t>(wParam, tb->buttons.size());
      for (std::size_t k = 0; k < count; ++k, ++at) {
        Button nb;
        nb.image = in[k].iBitmap;
        nb.id = in[k].idCommand;
        nb.state = in[k].fsState & static_cast<BYTE>(~TBSTATE_PRESSED);
        nb.style = in[k].fsStyle;
        nb.data = in[k].dwData;
        nb.string = in[k].iString;
        tb->buttons.insert(tb->buttons.begin() + static_cast<std::ptrdiff_t>(at), nb);
        if (tb->pressed >= static_cast<int>(at)) ++tb->pressed;
      }
      changed(h, *tb);
      return TRUE;
    }
    case TB_DELETEBUTTON: {
      if (wParam >= tb->buttons.size()) return FALSE;
      const int i = static_cast<int>(wParam);
      if (tb->pressed == i) {
        tb->pressed = -1;
        if (GetCapture() == h) ReleaseCapture();
      } else if (tb->pressed > i) {
        --tb->pressed;
      }
      tb->buttons.erase(tb->buttons.begin() + i);
      changed(h, *tb);
      return TRUE;
    }
    case TB_GETBUTTON: {
      auto* out = reinterpret_cast<TBBUTTON*>(lParam);
      if (!out || wParam >= tb->buttons.size()) return FALSE;
      const Button& g = tb->buttons[wParam];
      *out = TBBUTTON{};
      out->iBitmap = g.image;
      out->idCommand = g.id;
      out->fsState = g.state;
      out->fsStyle = g.style;
      out->dwData = g.data;
      out->iString = g.string;
      return TRUE;
    }
    case TB_BUTTONCOUNT:
      return static_cast<LRESULT>(tb->buttons.size());
    case TB_COMMANDTOINDEX:
      return index;
    case TB_GETITEMRECT: case TB_GETRECT: {
      auto* out = reinterpret_cast<RECT*>(lParam);
      const int i = msg == TB_GETRECT ? index : static_cast<int>(wParam);
      if (!out || i < 0 || static_cast<std::size_t>(i) >= tb->buttons.size()) return FALSE;
      *out = layout(h, *tb)[static_cast<std::size_t>(i)];
      return TRUE;
    }
    case TB_HITTEST: {
      const auto* p = reinterpret_cast<const POINT*>(lParam);
      return p ? hit(h, *tb, *p) : -1;
    }
    case TB_ENABLEBUTTON: return setBit(TBSTATE_ENABLED, lParam != 0);
    case TB_CHECKBUTTON: return setBit(TBSTATE_CHECKED, lParam != 0);
    case TB_PRESSBUTTON: return setBit(TBSTATE_PRESSED, lParam != 0);
    case TB_HIDEBUTTON: return setBit(TBSTATE_HIDDEN, lParam != 0);
    case TB_ISBUTTONENABLED: return b ? (b->state & TBSTATE_ENABLED) != 0 : 0;
    case TB_ISBUTTONCHECKED: return b ? (b->state & TBSTATE_CHECKED) != 0 : 0;
    case TB_ISBUTTONPRESSED: return b ? (b->state & TBSTATE_PRESSED) != 0 : 0;
    case TB_ISBUTTONHIDDEN: return b ? (b->state & TBSTATE_HIDDEN) != 0 : 0;
    case TB_GETSTATE: return b ? b->state : -1;
    case TB_SETSTATE: {
      if (!b) return FALSE;
      const BYTE state = static_cast<BYTE>(LOWORD(static_cast<UINT_PTR>(lParam)));
      const bool hiddenChanged = ((state ^ b->state) & TBSTATE_HIDDEN) != 0;
      if (!(state & TBSTATE_ENABLED) && tb->pressed == index) {
        tb->pressed = -1;
        if (GetCapture() == h) ReleaseCapture();
      }
      b->state = state;
      if (hiddenChanged) changed(h, *tb);
      else InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case TB_AUTOSIZE:
      autosize(h, *tb);
      return 0;
    case TB_SETROWS: {
      tb->rows = std::max(1, static_cast<int>(LOWORD(wParam)));
      changed(h, *tb);
      if (auto* out = reinterpret_cast<RECT*>(lParam)) {
        const SIZE s = extent(h, *tb);
        *out = RECT{0, 0, s.cx, s.cy};
      }
      return 0;
    }
    case TB_GETROWS:
      return vertical(h, *tb) ? std::max<LRESULT>(1, static_cast<LRESULT>(tb->buttons.size())) : 1;
    case TB_GETTOOLTIPS:
      return reinterpret_cast<LRESULT>(tb->tips);
    case TB_SETTOOLTIPS:
      tb->tips = reinterpret_cast<HWND>(wParam);
      tb->tools.clear();
      syncTools(h, *tb);
      return 0;
    case TB_SETPARENT: {
      HWND old = notifyWindow(h, *tb);
      tb->notify = reinterpret_cast<HWND>(wParam);
      return reinterpret_cast<LRESULT>(old);
    }
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

BOOL RegisterToolbarClass() {
  if (!registerTooltipClass()) return FALSE;
  WNDCLASS wc;
  if (GetClassInfo(nullptr, TOOLBARCLASSNAME, wc)) return TRUE;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = toolbarProc;
  wc.cbWndExtra = sizeof(void*);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = TOOLBARCLASSNAME;
  return RegisterClass(wc) != 0;
}

}  // namespace win
