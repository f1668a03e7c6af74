// Status bar, window text, cursor, bell and display services of the window layer.
// Sections (grep "[SECTION]"): status bar | window text | cursor | bell and display | text
#include "toolkit/window/statusbar.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/gdi.h"
#include "platform/os.h"
#include "platform/statusbar.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/units.h"
#include "toolkit/window/window.h"

namespace {
std::size_t ix(int w) { return static_cast<std::size_t>(w); }
win::HWND currentbar() { return winslot(tessar.window.CURWINDOW).wMessLine; }
}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Status bar
// - windowoutstatusbar(), yysetstatustext(), yysetstatuspart(), yysetstatusbar(),
//   yySetStatusBar2()
//------------------------------------------------------------------------------
void windowoutstatusbar(int part, std::string_view text) {
  if (part < 1 || part > 255) return;
  std::string t(text);
  const std::size_t end = t.find_last_not_of(' ');
  t.erase(end == std::string::npos ? 0 : end + 1);
  yysetstatustext(part, t.c_str());
}

void yysetstatustext(int part, const char* text) {
  win::HWND bar = currentbar();
  if (bar == nullptr || part < 1 || part > 255) return;
  const int w = tessar.window.CURWINDOW;
  const auto border = static_cast<win::WPARAM>(winslot(w).uStatusBorder[ix(part)]);
  win::SendMessage(bar, win::SB_SETTEXT, static_cast<win::WPARAM>(part - 1) | border, reinterpret_cast<win::LPARAM>(text));
  win::RECT r;
  if (win::SendMessage(bar, win::SB_GETRECT, static_cast<win::WPARAM>(part - 1), reinterpret_cast<win::LPARAM>(&r)))
    win::InvalidateRect(bar, &r, win::TRUE);
  win::UpdateWindow(bar);
}

void yysetstatuspart(int part, int width, int border) {
  if (part < 1 || part > 255) return;
  const int w = tessar.window.CURWINDOW;
  winslot(w).partlist[ix(part)] = width;
  winslot(w).uStatusBorder[ix(part)] = border == 0 ? win::SBT_NOBORDERS : border == 2 ? win::SBT_POPOUT : 0;
}

void yySetStatusBar2(int window, int parts) {
  if (window < 0 || window >= MAXWINDOWS || winslot(window).wMessLine == nullptr) return;
  parts = std::clamp(parts, 1, 255);
  std::vector<int> edges(ix(parts));
  int j = -1;
  int edge = 0;
  for (int p = 1; p <= parts; ++p) {
    const int width = winslot(window).partlist[ix(p)];
    if (width == -1) { j = p; break; }
    edge += width;
    edges[ix(p - 1)] = edge;
  }
  if (j > 0) {
    win::RECT c;
    win::GetClientRect(winslot(window).wWindow, c);
    edges[ix(parts - 1)] = c.right;
    for (int p = parts - 1; p >= j; --p) edges[ix(p - 1)] = edges[ix(p)] - winslot(window).partlist[ix(p + 1)];
  }
  win::SendMessage(winslot(window).wMessLine, win::SB_SETPARTS, static_cast<win::WPARAM>(parts),
                   reinterpret_cast<win::LPARAM>(edges.data()));
}

void yysetstatusbar(int parts) {
  win::HWND bar = currentbar();
  if (bar == nullptr) return;
  const int w = tessar.window.CURWINDOW;
  yySetStatusBar2(w, parts);
  const int n = static_cast<int>(win::SendMessage(bar, win::SB_GETPARTS, 0, 0));
  for (int p = 0; p < n; ++p) {
    const auto length = win::LOWORD(static_cast<win::UINT_PTR>(win::SendMessage(bar, win::SB_GETTEXTLENGTH, static_cast<win::WPARAM>(p), 0)));
    std::string text(length + 1u, '\0');
    win::SendMessage(bar, win::SB_GETTEXT, static_cast<win::WPARAM>(p), reinterpret_cast<win::LPARAM>(text.data()));
    const auto border = static_cast<win::WPARAM>(winslot(w).uStatusBorder[ix(p + 1)]);
    win::SendMessage(bar, win::SB_SETTEXT, static_cast<win::WPARAM>(p) | border, reinterpret_cast<win::LPARAM>(text.c_str()));
  }
  win::InvalidateRect(bar, nullptr, win::TRUE);
  win::UpdateWindow(bar);
}

//------------------------------------------------------------------------------
// [SECTION] Window text
// - yystringout(), yystringlen(), yysetfontcolour(), yysetfontcolourrgb(),
//   yysetfontunderline(), yycreatefont(), yyfntcol(), yyfntsiz(), yyfntcre(), windowfontsize()
//------------------------------------------------------------------------------
void yystringout(int& x, int& y, const char* text, int length) {
  using namespace win;
  HWND client = winslot(tessar.window.CURWINDOW).hClient;
  if (client == nullptr || text == nullptr || length < 1) return;
  HDC dc = GetDC(client);
  HGDIOBJ oldfont = SelectObject(dc, hWindowFont ? static_cast<HGDIOBJ>(hWindowFont) : GetStockObject(SYSTEM_FONT));
  const int oldmode = SetBkMode(dc, OPAQUE);
  const UINT oldalign = SetTextAlign(dc, TA_BASELINE | TA_UPDATECP);
  const COLORREF fore = wColor[ix(std::clamp(wForeCol, 0, 17))];
  const COLORREF oldtext = SetTextColor(dc, fore);
  const COLORREF oldback = SetBkColor(dc, wColor[ix(std::clamp(wBackCol, 0, 17))]);
  MoveToEx(dc, x, y, nullptr);
  TextOut(dc, x, y, text, length - 1);
  POINT end;
  GetCurrentPositionEx(dc, end);
  if (wUnderline != 0) {
    HPEN pen = CreatePen(0, 1, fore);
    HGDIOBJ oldpen = SelectObject(dc, pen);
    MoveToEx(dc, x, y + 2, nullptr);
    LineTo(dc, end.x, end.y + 2);
    SelectObject(dc, oldpen);
    DeleteObject(pen);
  }
  x = end.x;
  y = end.y;
  SetTextAlign(dc, oldalign);
  SetBkMode(dc, oldmode);
  SetTextColor(dc, oldtext);
  SetBkColor(dc, oldback);
  SelectObject(dc, oldfont);
  ReleaseDC(client, dc);
}

void yystringlen(int& width, const char* text, int length) {
  using namespace win;
  width = 0;
  HWND client = winslot(tessar.window.CURWINDOW).hClient;
  if (client == nullptr || text == nullptr || length < 1) return;
  HDC dc = GetDC(client);
  HGDIOBJ oldfont = SelectObject(dc, hWindowFont ? static_cast<HGDIOBJ>(hWindowFont) : GetStockObject(SYSTEM_FONT));
  SIZE s;
  GetTextExtentPoint32(dc, text, length - 1, s);
  width = s.cx;
  SelectObject(dc, oldfont);
  ReleaseDC(client, dc);
}

void yysetfontcolour(int foreground, int background) {
  wForeCol = foreground;
  wBackCol = background;
}

void yysetfontcolourrgb(int index, int red, int green, int blue) {
  if (index < 0 || index > 17) return;
  wColor[ix(index)] = static_cast<win::COLORREF>(red + 256 * green + 65536 * blue);
}

void yysetfontunderline(int flag) { wUnderline = flag; }

void yycreatefont(int kind, int bold, int italic, int& width, int& height) {
  using namespace win;
  if (hWindowFont != nullptr) {
    DeleteObject(hWindowFont);
    hWindowFont = nullptr;
  }
  const int weight = bold != 0 ? FW_BOLD : FW_NORMAL;
  auto create = [&](BYTE pitchfamily, const char* face) {
    return CreateFont(height, width, 0, 0, weight, italic != 0 ? 1u : 0u, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchfamily, face);
  };
  switch (kind) {
    case -99: hWindowFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); break;
    case 1: hWindowFont = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT)); break;
    case 2: hWindowFont = create(VARIABLE_PITCH | FF_ROMAN, "Times New Roman"); break;
    case 3: hWindowFont = create(VARIABLE_PITCH | FF_SWISS, "Arial"); break;
    case 4: hWindowFont = create(VARIABLE_PITCH | FF_MODERN, "Courier New"); break;
    case 5: hWindowFont = create(VARIABLE_PITCH, "Symbol"); break;
    case 6: hWindowFont = create(VARIABLE_PITCH, "Wingdings"); break;
    default: hWindowFont = static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); break;
  }
  HWND client = winslot(tessar.window.CURWINDOW).hClient;
  HDC dc = GetDC(client);
  HGDIOBJ old = SelectObject(dc, hWindowFont);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, tm);
  SelectObject(dc, old);
  ReleaseDC(client, dc);
  width = tm.tmAveCharWidth;
  height = tm.tmHeight;
}

void yyfntcol(int foreground, int background) {
  WindowTextState& wt = tessar.windowtext;
  if (foreground >= 0 && foreground <= 16) wt.FORE = foreground;
  if (background >= 0 && background <= 15) wt.BACK = background;
  else if (background == 16) wt.BACK = 17;
  yysetfontcolour(wt.FORE, wt.BACK);
}

void yyfntsiz() {
  WindowTextState& wt = tessar.windowtext;
  windowunitstopixels(wt.CHARWU, wt.CHARHU, wt.CHARW, wt.CHARH);
}

void yyfntcre() {
  WindowTextState& wt = tessar.windowtext;
  if (wt.KIND == wt.kind && wt.BOLD == wt.bold && wt.ITALIC == wt.italic && wt.CHARW == wt.width &&
      wt.CHARH == wt.height)
    return;
  yycreatefont(wt.KIND, wt.BOLD, wt.ITALIC, wt.CHARW, wt.CHARH);
  wt.kind = wt.KIND;
  wt.bold = wt.BOLD;
  wt.italic = wt.ITALIC;
  wt.width = wt.CHARW;
  wt.height = wt.CHARH;
}

void windowfontsize(int width, int height) {
  WindowTextState& wt = tessar.windowtext;
  wt.CHARWU = width;
  wt.CHARHU = height;
  yyfntsiz();
}

//------------------------------------------------------------------------------
// [SECTION] Cursor
// - WCursorShape(), yychangecursor(), yysetcursorpos(), yygetmousecursor(), yyloadcursor()
//------------------------------------------------------------------------------
win::HCURSOR yyloadcursor(int shape) {
  using namespace win;
  static const LPCSTR system[12] = {IDC_ARROW, IDC_WAIT, IDC_APPSTARTING, IDC_CROSS, IDC_IBEAM, IDC_NO,
                                    IDC_SIZEALL, IDC_SIZENS, IDC_SIZEWE, IDC_SIZENESW, IDC_SIZENWSE, IDC_UPARROW};
  if (shape >= 0 && shape <= 11) return LoadCursor(nullptr, system[shape]);
  return LoadCursor(GetModuleHandle(nullptr), MAKEINTRESOURCE(shape));
}

namespace {

// Shows a cursor at once when the mouse is over the given window (nullptr: any window).
void showcursor(win::HCURSOR c, win::HWND over) {
  if (c == nullptr) return;
  if (over != nullptr) {
    win::POINT p;
    win::GetCursorPos(p);
    win::HWND under = win::WindowFromPoint(p);
    if (under != over) return;
  }
  win::SetCursor(c);
}

}  // namespace

void WCursorShape(int shape, int mode) {
  const GraphicsTarget& t = tessar.graphics.target;
  if (mode == 1 && !(t.TARGETTYPE == 1 || (t.TARGETTYPE == 3 && t.TARGETNUMBER != 0))) {
    yyerror(1097, "WCursorShape");
    return;
  }
  if (shape < 0) return;
  yychangecursor(shape, mode, t.TARGETTYPE, t.TARGETNUMBER);
}

void yychangecursor(int shape, int mode, int targettype, int targetnumber) {
  win::HCURSOR c = yyloadcursor(shape);
  if (mode == 1) {
    if (targettype == 3) return;   // dialog graphics fields keep their cursor in the dialog layer
    if (targetnumber < 0 || targetnumber >= MAXWINDOWS) return;
    winslot(targetnumber).hCursorWin = c;
    winslot(targetnumber).iCursorWin = shape;
    showcursor(c, winslot(targetnumber).hClient);
    return;
  }
  if (mode != 2) {
    for (WindowSlot& s : tessar.windows) {
      s.hCursorWin = nullptr;
      s.iCursorWin = 0;
    }
  }
  iCursor = shape;
  wCursor = c;
  showcursor(c, nullptr);
}

void yysetcursorpos(int x, int y, int mode) {
  if (mode != 1) return;   // dialog graphics fields are the dialog layer's
  win::HWND client = winslot(tessar.window.CURWINDOW).hClient;
  if (client == nullptr) return;
  win::POINT p{x, y};
  win::ClientToScreen(client, p);
  win::SetCursorPos(p.x, p.y);
}

void yygetmousecursor(int& shape, int mode, int number) {
  shape = iCursor;
  if (mode == 1 && number >= 0 && number < MAXWINDOWS && winslot(number).hCursorWin != nullptr)
    shape = winslot(number).iCursorWin;
}

//------------------------------------------------------------------------------
// [SECTION] Bell and display
// - windowbell(), yysetbell(), yyringbell(), yyringbell2(), yygetdisplayinfo(),
//   yygradfilltype(), yygrselectnone(), yygetdecimal(), yydecimal()
//------------------------------------------------------------------------------
void windowbell(std::string_view text) {
  std::string key(text.substr(0, 3));
  key.resize(3, ' ');
  for (char& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (key == "ON ") yysetbell(1);
  else if (key == "OFF") yysetbell(0);
  else yyringbell();
}

void yysetbell(int flag) { iRing = flag; }
void yyringbell() {
  if (iRing != 0) win::MessageBeep(0);
}
void yyringbell2() { yyringbell(); }

void yygetdisplayinfo(int& width, int& height, int& colours, int& paletteclass, int& deviceclass) {
  width = win::GetSystemMetrics(win::SM_CXSCREEN);
  height = win::GetSystemMetrics(win::SM_CYSCREEN);
  // The displays served are true colour: 2 to the power 24.
  colours = 1 << 24;
  paletteclass = 256;
  deviceclass = 3;
}

void yygradfilltype(int& type) { type = hImgLib != 0 ? 2 : 1; }

void yygrselectnone() {
  using namespace win;
  if (gDC != nullptr && gPenOld != nullptr) SelectObject(gDC, gPenOld);
  if (gDC != nullptr && gFontOld != nullptr) SelectObject(gDC, gFontOld);
  gPenOld = nullptr;
  gFontOld = nullptr;
  if (hGraphicsField != nullptr) {
    ReleaseDC(hGraphicsFieldWnd, hGraphicsField);
    hGraphicsField = nullptr;
    hGraphicsFieldWnd = nullptr;
  } else if (hGraphicsBitmap != nullptr) {
    DeleteDC(hGraphicsBitmap);
    hGraphicsBitmap = nullptr;
  } else {
    hGraphicsMetafile = nullptr;
  }
}

void yygetdecimal(char& character) {
  character = win::localedecimal();
  wDecimal = character;
}

void yydecimal(const char* flag) { bDecimal = flag != nullptr && flag[0] == 1 ? 1 : 0; }

//------------------------------------------------------------------------------
// [SECTION] Text
// - yystrlen(), yysubstrlen(), yystrctof(), yyAsciiToInt()
//------------------------------------------------------------------------------
int yystrlen(const char* text) {
  if (text == nullptr) return 0;
  int n = static_cast<int>(std::strlen(text));
  while (n > 0 && text[n - 1] == ' ') --n;
  return n;
}

int yysubstrlen(const char* text) {
  int n = 0;
  if (text == nullptr) return 0;
  while (text[n] != '\0' && text[n] != ' ') ++n;
  return n;
}

void yystrctof(const char* text, std::string& field, int length) {
  field.assign(static_cast<std::size_t>(std::max(length, 0)), ' ');
  for (int i = 0; i < length && text != nullptr && text[i] != '\0'; ++i) field[ix(i)] = text[i];
}

int yyAsciiToInt(const char* text) {
  if (text == nullptr) return 0;
  int i = 0;
  bool negative = false;
  if (text[0] == '-') {
    negative = true;
    i = 1;
  }
  unsigned value = 0;
  while (text[i] >= '0' && text[i] <= '9') value = value * 10u + static_cast<unsigned>(text[i++] - '0');
  const int v = static_cast<int>(value);
  return negative ? -v : v;
}
