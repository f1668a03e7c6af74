// Event loop and event record: wmessage, the pump behind it, yyinterpretmessage that the
// window procedures call to complete an event, the key and mouse codes, the conversion of
// positions into window and graphics units, and the timers.
//
// Invariants: (1) at most one expose or resize held back per window (slots 0-50) and one
// field change (slot 51); (2) wmessage takes the pushed-back event first, then a held
// expose or resize, then the held field change, then the platform's queue; (3) while the
// pump runs, the first completed event wins and later ones are lost, except a field change,
// which is held back in slot 51.
// Sections (grep "[SECTION]"): codes | completing events | pump | post-processing | timers
#include "toolkit/window/wmsg.h"

#include <cmath>

#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/os.h"
#include "toolkit/graphics/area.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/units.h"
#include "toolkit/window/window.h"

//------------------------------------------------------------------------------
// [SECTION] Codes
// - yyinterpretkey(), yymousemodifiers(), yycurrenttime()
//------------------------------------------------------------------------------
int yyinterpretkey(int vk, int offset) {
  using namespace win;
  const bool shift = offset == 20, ctrl = offset == 40;
  switch (vk) {
    case VK_UP: return 258 + offset / 20 * 4;
    case VK_DOWN: return 259 + offset / 20 * 4;
    case VK_RIGHT: return 260 + offset / 20 * 4;
    case VK_LEFT: return 261 + offset / 20 * 4;
    case VK_PRIOR: return 262;
    case VK_NEXT: return 263;
    case VK_HOME: return 270;
    case VK_END: case VK_SELECT: return 271;
    case VK_INSERT: return 272;
    case VK_DELETE: return 273;
    case VK_TAB: return shift ? 274 : 9;
    case VK_SUBTRACT: return 290;
    case VK_DECIMAL: return 291;
    case VK_ADD: case VK_SEPARATOR: return 292;
    case VK_DIVIDE: return 293;
    case VK_MULTIPLY: return 294;
    case VK_CLEAR: return 285;
    case VK_SNAPSHOT: return 300;
    default: break;
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return 280 + vk - VK_NUMPAD0;
  if (vk >= VK_F1 && vk <= VK_F1 + 19) return 301 + vk - VK_F1 + (ctrl ? 40 : shift ? 20 : 0);
  return vk;
}

int yymousemodifiers(win::WPARAM keys) {
  int m = 0;
  if (keys & win::MK_CONTROL) m |= 1;
  if (keys & win::MK_SHIFT) m |= 2;
  if (keys & win::MK_LBUTTON) m |= 4;
  if (keys & win::MK_MBUTTON) m |= 8;
  if (keys & win::MK_RBUTTON) m |= 16;
  return m;
}

void yycurrenttime(int& T) { T = static_cast<int>(static_cast<unsigned>(win::yytickcount()) & 0x7FFFFFFFu); }

//------------------------------------------------------------------------------
// [SECTION] Completing events
// - wmessageenable(), yyenablemessage(), yyinfomessage(), yyinterpretmessage()
//------------------------------------------------------------------------------
int yydialogidentifier(win::HWND dialog) {
  return dialogidentifierof != nullptr ? dialogidentifierof(dialog) : -1;
}

void wmessageenable(int ITYPE, int IFLAG) { yyenablemessage(ITYPE, IFLAG); }

void yyenablemessage(int ITYPE, int IFLAG) {
  if (ITYPE < 1 || ITYPE > 16) return;
  wMessageEnabled[static_cast<std::size_t>(ITYPE - 1)] = IFLAG;
}

void yyinfomessage(int ITYPE, int& IFLAG) {
  IFLAG = (ITYPE >= 1 && ITYPE <= 16) ? wMessageEnabled[static_cast<std::size_t>(ITYPE - 1)] : 0;
}

namespace {

// A half of a position parameter above the screen's extent is a negative position.
int positionhalf(unsigned half, int extent) {
  const int v = static_cast<int>(half);
  return v > extent ? v - 65536 : v;
}

int keymodifiers() {
  using namespace win;
  WPARAM keys = 0;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
  if (GetKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
  if (GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
  return yymousemodifiers(keys);
}

// Origin of a window's positional events: the bitmap viewer's area, else a client area.
int windoworigin(win::HWND hwnd) {
  for (int w = 1; w < MAXWINDOWS; ++w) {
    FrameRecord* r = winslot(w).wWindow ? yyframerecord(winslot(w).wWindow) : nullptr;
    if (r && r->word[FR_KIND] == SW_BITMAPVIEWER && win::LongToHandle<win::HWND>(r->word[BV_VIEWER]) == hwnd) return ORIGIN_VIEWER;
  }
  return ORIGIN_WINDOW;
}

void setvalues(int v1, int v2, int v3, int v4, int x, int y) {
  wMessageValue1 = v1;
  wMessageValue2 = v2;
  wMessageValue3 = v3;
  wMessageValue4 = v4;
  wMessageX = x;
  wMessageY = y;
}

}  // namespace

void yyinterpretmessage(int type, int button, win::WPARAM wParam, win::LPARAM lParam, win::HWND hwnd) {
  using namespace win;
  const int base = type > 100 ? type - 100 : type;
  if (base < 1 || base > 16) return;
  if (wMessageEnabled[static_cast<std::size_t>(base - 1)] == 0) return;
  if (base == EV_EXPOSE && wMessageType == EV_RESIZE && wValidMessage == 0) return;
  const bool dialogform = type > 100 || base == EV_PUSHBUTTON || base == EV_FIELDCHANGED || base == EV_TABCHANGED;
  const int window = dialogform ? yydialogidentifier(hwnd) : yygetwindowindex(hwnd);
  const int time = static_cast<int>(GetMessageTime());

  if (base == EV_FIELDCHANGED) {
    // The field change carries its codes: previous field and changed field in the two halves
    // of wParam, the new code in lParam and the previous code in button.
    const int previous = LOWORD(wParam), changed = HIWORD(wParam);
    if (wValidMessage == 0 && wMessageType != 0 && bInWMessage != 0) {
      VXKMessages[51] = DeferredEvent{EV_FIELDCHANGED, previous, changed, 0, -1, button,
                                      static_cast<int>(lParam), window, time};
      return;
    }
    wMessageType = EV_FIELDCHANGED;
    wMessageWin = window;
    wMessageTime = time;
    setvalues(previous, changed, 0, -1, bSetFromCell ? button : -1, static_cast<int>(lParam));
    bSetFromCell = 0;
    wValidMessage = 0;
    ++wCompletions;
    return;
  }

  if (base == EV_RESIZE && type == EV_RESIZE) {
    if (wParam == SIZE_MINIMIZED) return;
    const int w = LOWORD(static_cast<UINT_PTR>(lParam)), h = HIWORD(static_cast<UINT_PTR>(lParam));
    if (!IsWindowVisible(hwnd)) {
      if (winslot(0).hClient != nullptr) yyresize(yygetwindowindex(hwnd), w, h);
      return;
    }
    wMessageType = EV_RESIZE;
    wMessageWin = window;
    wMessageTime = time;
    setvalues(w, h, ORIGIN_WINDOW, -1, -1, -1);
    wValidMessage = 0;
    ++wCompletions;
    return;
  }

  // A field of a dialog that is minimised or not shown gives no resize event.
  if (type == 108 && (button == static_cast<int>(SIZE_MINIMIZED) || !IsWindowVisible(hwnd))) return;

  wMessageType = base;
  wMessageWin = window;
  wMessageTime = time;
  switch (type) {
    case EV_KEY: {
      int code = 0;
      if (button == 1) {
        const int vk = static_cast<int>(wParam & 0xFFF);
        const int offset = (wParam & 0x2000) ? 40 : (wParam & 0x1000) ? 20 : 0;
        code = yyinterpretkey(vk, offset);
      } else {
        code = static_cast<int>(wParam & 0xFF);
      }
      POINT p;
      GetCursorPos(p);
      ScreenToClient(hwnd, p);
      setvalues(code, -1, windoworigin(hwnd), -1, p.x, p.y);
      break;
    }
    case EV_COMMAND: setvalues(LOWORD(wParam), -1, -1, -1, -1, -1); break;
    case EV_PUSHBUTTON: setvalues(static_cast<int>(wParam), static_cast<int>(lParam), -1, -1, -1, -1); break;
    case EV_MOUSEDOWN: case EV_MOUSEUP: case EV_MOUSEMOVE: case EV_DOUBLECLICK: {
      const int x = positionhalf(LOWORD(static_cast<UINT_PTR>(lParam)), GetSystemMetrics(SM_CXSCREEN));
      const int y = positionhalf(HIWORD(static_cast<UINT_PTR>(lParam)), GetSystemMetrics(SM_CYSCREEN));
      setvalues(type == EV_MOUSEMOVE ? -1 : button, yymousemodifiers(GET_KEYSTATE_WPARAM(wParam)),
                windoworigin(hwnd), -1, x, y);
      break;
    }
    case EV_EXPOSE: {
      RECT r;
      GetUpdateRect(hwnd, &r, TRUE);
      setvalues(r.right - r.left, r.bottom - r.top, ORIGIN_WINDOW, -1, r.left, r.top);
      break;
    }
    case EV_CLOSE: case EV_COMMANDLINE: setvalues(-1, -1, -1, -1, -1, -1); break;
    case EV_TABCHANGED: setvalues(static_cast<int>(wParam), static_cast<int>(lParam), -1, -1, -1, -1); break;
    case EV_FRAMEBUTTON: setvalues(button, -1, -1, -1, -1, -1); break;
    case EV_TIMER: setvalues(static_cast<int>(wParam), -1, -1, -1, -1, -1); break;
    case EV_VIEWERSCROLLED:
      setvalues(static_cast<int>(wParam & 0xFFFF), static_cast<int>(lParam & 0xFFFF), ORIGIN_VIEWER, -1, 0, 0);
      break;
    // Dialog forms: wParam is the field, lParam the position in the field's pixels.
    case 104: case 105: case 116:
      setvalues(button, keymodifiers(), ORIGIN_FIELD, static_cast<int>(wParam),
                GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      break;
    case 106:
      setvalues(-1, keymodifiers(), ORIGIN_FIELD, static_cast<int>(wParam), GET_X_LPARAM(lParam),
                GET_Y_LPARAM(lParam));
      break;
    case 107: setvalues(-1, -1, ORIGIN_FIELD, static_cast<int>(wParam), -1, -1); break;
    case 108:
      setvalues(LOWORD(static_cast<UINT_PTR>(lParam)), HIWORD(static_cast<UINT_PTR>(lParam)), ORIGIN_FIELD,
                static_cast<int>(wParam), -1, -1);
      break;
    default: break;
  }
  wValidMessage = 0;
  ++wCompletions;
}

//------------------------------------------------------------------------------
// [SECTION] Pump
// - wmessage(), yydispatchnextmessage(), yydispatchpeekmessage()
//------------------------------------------------------------------------------
namespace {

bool dropped(const win::MSG& m) {
  return block118 != 0 && m.message == win::WM_SYSTIMER && (m.wParam & 0xFFFF) == 0xFFF6;
}

// The toolkit window (0-50) of a window or of one of its ancestors, -1 when none.
int toolkitwindowof(win::HWND h) {
  for (win::HWND p = h; p != nullptr; p = win::GetParent(p)) {
    const int w = yygetwindowindex(p);
    if (w >= 0) return w;
    if (!(win::GetWindowLong(p, win::GWL_STYLE) & static_cast<win::LONG>(win::WS_CHILD))) break;
  }
  return -1;
}

// A special frame (editor or grid) among the message's window and its three nearest ancestors.
FrameRecord* specialframeof(win::HWND h) {
  win::HWND p = h;
  for (int i = 0; i < 4 && p != nullptr; ++i, p = win::GetParent(p)) {
    const int w = yygetwindowindex(p);
    if (w > 0 && winslot(w).wWindow == p) {
      FrameRecord* r = yyframerecord(p);
      if (r && (r->word[FR_KIND] == SW_EDITOR || r->word[FR_KIND] == SW_GRIDWINDOW)) return r;
    }
  }
  return nullptr;
}

// Accelerators while a dialog is active: a dialog combined with a window uses that window's
// menu, or for a child window without one the nearest enclosing split window's; another
// dialog uses the root window's when the dialog layer says it takes them.
bool dialogaccelerators(const win::MSG& m) {
  for (int w = 0; w < MAXWINDOWS; ++w) {
    const FrameRecord* r = yyframerecord(winslot(w).wWindow);
    if (r == nullptr || r->word[FR_KIND] != SW_DIALOGWINDOW || win::LongToHandle<win::HWND>(r->word[DW_DIALOG]) != hDlgCur) continue;
    if (winslot(w).hMenuRoot != nullptr) return yyTranslateAccelerator(w, w, m) != 0;
    for (win::HWND f = winslot(w).wWindow;
         f != nullptr && (win::GetWindowLong(f, win::GWL_STYLE) & static_cast<win::LONG>(win::WS_CHILD));) {
      f = win::GetParent(win::GetParent(f));   // the enclosing frame
      const int o = yygetwindowindex(f);
      const FrameRecord* split = yyframerecord(f);
      if (o < 0 || split == nullptr || split->word[FR_KIND] != SW_SPLITWINDOW) break;
      if (winslot(o).hMenuRoot != nullptr) return yyTranslateAccelerator(o, o, m) != 0;
    }
    return false;
  }
  if (dialogtakesrootaccelerators != nullptr && dialogtakesrootaccelerators(hDlgCur))
    return yyTranslateAccelerator(0, 0, m) != 0;
  return false;
}

void dispatchone(const win::MSG& m) {
  using namespace win;
  if (m.message == WM_QUIT) {
    // The program was asked to end: a close request of the root window.
    wMessageType = EV_CLOSE;
    wMessageWin = 0;
    wMessageTime = static_cast<int>(m.time);
    setvalues(-1, -1, -1, -1, -1, -1);
    wValidMessage = 0;
    return;
  }
  if (hDlgCur != nullptr && IsWindow(hDlgCur)) {
    if (dialogaccelerators(m)) return;
    if (IsDialogMessage(hDlgCur, m)) return;
  }
  if (const FrameRecord* special = specialframeof(m.hwnd)) {
    // An editor's modeless find or replace dialog takes its keys (Enter, Tab, mnemonics).
    const HWND find = special->word[FR_KIND] == SW_EDITOR ? LongToHandle<HWND>(special->word[ED_FINDDIALOG]) : nullptr;
    if (find != nullptr && IsWindow(find) && IsDialogMessage(find, m)) return;
    // A grid editor's own accelerators: its frame carries out their commands.
    if (special->word[FR_KIND] == SW_GRIDWINDOW && special->word[GW_ACCELERATORS] != 0)
      for (HWND p = m.hwnd; p != nullptr; p = GetParent(p))
        if (yyframerecord(p) == special) {
          if (TranslateAccelerator(p, LongToHandle<HACCEL>(special->word[GW_ACCELERATORS]), m) != 0) return;
          break;
        }
    TranslateMessage(m);
    if (!dropped(m)) DispatchMessage(m);
    return;
  }
  const int own = toolkitwindowof(m.hwnd);
  if (own >= 0) {
    int menuwindow = -1;
    for (HWND p = winslot(own).wWindow; p != nullptr; p = GetParent(p)) {
      const int w = yygetwindowindex(p);
      if (w >= 0 && winslot(w).hMenuRoot != nullptr) { menuwindow = w; break; }
      if (w == 0) break;
    }
    if (menuwindow >= 0 && yyTranslateAccelerator(own, menuwindow, m) != 0) return;
  }
  TranslateMessage(m);
  const bool paintsize = m.message == WM_PAINT || m.message == WM_SIZE;
  if (paintsize) bExpectPaintResize = 1;
  if (!dropped(m)) DispatchMessage(m);
  bExpectPaintResize = 0;
}

// Steps 1-3 of the pump: a held-back event, when there is one.
bool takeheld(int& ITYPE, int& value1, int& value2, int& value3, int& value4, int& x, int& y,
              int& window, int& time) {
  for (int w = 0; w < MAXWINDOWS; ++w) {
    DeferredEvent& s = VXKMessages[static_cast<std::size_t>(w)];
    if (s.type == 0 || winslot(w).hClient == nullptr) continue;
    ITYPE = s.type;
    window = w;
    value1 = s.value1; value2 = s.value2; value3 = s.value3; value4 = s.value4;
    x = s.x; y = s.y; time = s.time;
    if (s.type == EV_EXPOSE) {
      win::RECT r;
      win::GetClientRect(winslot(w).hClient, r);
      x = 0; y = 0; value1 = r.right; value2 = r.bottom; value3 = 0;
    }
    s = DeferredEvent{};
    return true;
  }
  DeferredEvent& f = VXKMessages[51];
  if (f.type != 0) {
    ITYPE = f.type; window = f.window;
    value1 = f.value1; value2 = f.value2; value3 = f.value3; value4 = f.value4;
    x = f.x; y = f.y; time = f.time;
    f = DeferredEvent{};
    return true;
  }
  return false;
}

void finishpump(int& ITYPE, int& value1, int& value2, int& value3, int& value4, int& x, int& y,
                int& window, int& time) {
  ITYPE = wMessageType; window = wMessageWin;
  value1 = wMessageValue1; value2 = wMessageValue2; value3 = wMessageValue3; value4 = wMessageValue4;
  x = wMessageX; y = wMessageY; time = wMessageTime;
  const bool windowevent = (ITYPE == EV_RESIZE || (ITYPE == EV_EXPOSE && value3 == ORIGIN_WINDOW));
  if (windowevent && window >= 0 && window < MAXWINDOWS) {
    DeferredEvent& s = VXKMessages[static_cast<std::size_t>(window)];
    if (s.type == EV_EXPOSE && ITYPE == EV_EXPOSE && winslot(window).hClient != nullptr) {
      win::RECT r;
      win::GetClientRect(winslot(window).hClient, r);
      x = 0; y = 0; value1 = r.right; value2 = r.bottom;
    }
    s = DeferredEvent{};
  }
  bInWMessage = 0;
  wMessageType = 0;
}

}  // namespace

void yydispatchnextmessage(int& ITYPE, int& value1, int& value2, int& value3, int& value4, int& x,
                           int& y, int& window, int& time) {
  bInWMessage = 1;
  wMessageType = 0;
  if (takeheld(ITYPE, value1, value2, value3, value4, x, y, window, time)) {
    bInWMessage = 0;
    return;
  }
  bSetFromCell = 1;
  wValidMessage = 1;
  while (wValidMessage == 1) {
    win::MSG m;
    if (!win::GetMessage(m, nullptr, 0, 0)) m.message = win::WM_QUIT;
    dispatchone(m);
  }
  finishpump(ITYPE, value1, value2, value3, value4, x, y, window, time);
}

void yydispatchpeekmessage(int& ITYPE, int& value1, int& value2, int& value3, int& value4, int& x,
                           int& y, int& window, int& time) {
  bInWMessage = 1;
  wMessageType = 0;
  if (takeheld(ITYPE, value1, value2, value3, value4, x, y, window, time)) {
    bInWMessage = 0;
    return;
  }
  bSetFromCell = 1;
  wValidMessage = 1;
  while (wMessageType == 0) {
    win::MSG m;
    if (!win::PeekMessage(m, nullptr, 0, 0, win::PM_REMOVE)) {
      ITYPE = -1;
      bInWMessage = 0;
      return;
    }
    dispatchone(m);
  }
  finishpump(ITYPE, value1, value2, value3, value4, x, y, window, time);
}

void wmessage(int& ITYPE, MessageRecord& MESSAGE) {
  WindowState& ws = tessar.window;
  if (ws.PUSHBACKTYPE != 0) {
    ITYPE = ws.PUSHBACKTYPE;
    MESSAGE = ws.PUSHBACK;
    ws.PUSHBACKTYPE = 0;
    return;
  }
  yydispatchnextmessage(ITYPE, MESSAGE.value1, MESSAGE.value2, MESSAGE.value3, MESSAGE.value4,
                        MESSAGE.x, MESSAGE.y, MESSAGE.window, MESSAGE.time);
  yyevent(ITYPE, MESSAGE);
}

//------------------------------------------------------------------------------
// [SECTION] Post-processing
// - yyevent()
//------------------------------------------------------------------------------
namespace {

// Device-to-user conversion on a drawable of the given size, with the present area fractions
// (the mapping the graphics layer would have with that drawable as its target).
struct Mapping {
  GraphicsArea saved;
  GraphicsTarget savedtarget;
  bool switched = false;
};

void mapdrawable(Mapping& m, int width, int height) {
  GraphicsRegion& g = tessar.graphics;
  m.saved = g.area;
  m.savedtarget = g.target;
  m.switched = true;
  GraphicsArea& ar = g.area;
  g.target.WIDTH = width;
  g.target.HEIGHT = height;
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const float right = w - 0.01f, top = h - 0.01f;
  ar.XMIN = ar.AX1 * w <= 0 ? 0.0f : ar.AX1 * w;
  ar.YMIN = ar.AY1 * h <= 0 ? 0.0f : ar.AY1 * h;
  ar.XMAX = right <= ar.AX2 * w ? right : ar.AX2 * w;
  ar.YMAX = top <= ar.AY2 * h ? top : ar.AY2 * h;
  ar.DEVW = ar.XMAX - ar.XMIN;
  ar.DEVH = ar.YMAX - ar.YMIN;
  ar.EXTX = right;
  ar.EXTY = top;
}

void unmap(Mapping& m) {
  if (!m.switched) return;
  tessar.graphics.area = m.saved;
  tessar.graphics.target = m.savedtarget;
}

}  // namespace

void yyevent(int& ITYPE, MessageRecord& M) {
  GraphicsRegion& g = tessar.graphics;
  WindowState& ws = tessar.window;
  if (ITYPE == EV_VIEWERSCROLLED) {
    const float h = static_cast<float>(g.target.HEIGHT);
    yybvi2e(0.5f, h - 0.5f, M.gx, M.gy, M.window);
    return;
  }
  const bool positional = ITYPE == EV_KEY || (ITYPE >= EV_MOUSEDOWN && ITYPE <= EV_RESIZE) || ITYPE == EV_DOUBLECLICK;
  if (!positional) return;
  // The event's drawable and its size in pixels.
  const bool field = M.value3 == ORIGIN_FIELD;
  int width = 0, height = 0;
  if (field) {
    yydrawablesize(3, M.value4, width, height);
  } else {
    if (M.window < 0 || M.window >= MAXWINDOWS) return;
    yydrawablesize(1, M.window, width, height);
  }
  // A drawable without pixels (a client with no height or width) has no graphics position: the caller's
  // words stay as they were and positions are 0 units.
  if ((width < 1 || height < 1) && ITYPE != EV_RESIZE) {
    if (!field && ITYPE != EV_EXPOSE) M.x = M.y = 0;
    if (!field && ITYPE == EV_EXPOSE) M.x = M.y = M.value1 = M.value2 = 0;
    return;
  }
  const bool istarget = field ? (g.target.TARGETTYPE == 3 && g.target.TARGETNUMBER == M.value4 &&
                                 g.target.TARGETDIALOG == M.window)
                              : (g.target.TARGETTYPE == 1 && g.target.TARGETNUMBER == M.window);
  Mapping map;
  const int curwidth = ws.CURWIDTH, curheight = ws.CURHEIGHT;
  if (!istarget || g.target.WIDTH != width || g.target.HEIGHT != height) mapdrawable(map, width, height);
  const float H = static_cast<float>(height);
  auto tographics = [&](int px, int py, float& gx, float& gy) {
    const float X = static_cast<float>(px) + 0.5f, Y = H - 1.0f - static_cast<float>(py) + 0.5f;
    if (M.value3 == ORIGIN_VIEWER) yybvi2e(X, Y, gx, gy, M.window);
    else yyi2e(X, Y, gx, gy);
  };
  switch (ITYPE) {
    case EV_KEY: case EV_MOUSEDOWN: case EV_MOUSEUP: case EV_MOUSEMOVE: case EV_DOUBLECLICK:
      tographics(M.x, M.y, M.gx, M.gy);
      if (!field) {
        M.x = unitsfrompixels(M.x, width);
        M.y = unitsfrompixels(M.y, height);
      }
      break;
    case EV_EXPOSE:
      if (field) break;   // a field repaint carries no area
      tographics(M.x, M.y, M.gx, M.gy);
      {
        float gw = 0, gh = 0;
        yyi2e(static_cast<float>(M.value1) + 0.5f, static_cast<float>(M.value2) + 0.5f, gw, gh);
        M.gwidth = gw;
        M.gheight = gh;
        const int x1 = unitsfrompixels(M.x, width), y1 = unitsfrompixels(M.y, height);
        const int x2 = unitsfrompixels(M.x + M.value1 - 1, width);
        const int y2 = unitsfrompixels(M.y + M.value2 - 1, height);
        M.x = x1;
        M.y = y1;
        M.value1 = x2 - x1;
        M.value2 = y2 - y1;
      }
      break;
    case EV_RESIZE:
      unmap(map);
      map.switched = false;
      if (!field) {
        if (M.window == ws.CURWINDOW) {
          ws.CURWIDTH = M.value1;
          ws.CURHEIGHT = M.value2;
        }
        if (g.target.TARGETTYPE == 1 && g.target.TARGETNUMBER == M.window) yyresn(1, M.window, M.value1, M.value2);
        return;
      }
      if (g.target.TARGETTYPE == 3 && g.target.TARGETNUMBER == M.value4) yyresn(3, M.value4, M.value1, M.value2);
      return;
    default: break;
  }
  unmap(map);
  ws.CURWIDTH = curwidth;
  ws.CURHEIGHT = curheight;
}

//------------------------------------------------------------------------------
// [SECTION] Timers
// - yysettimer(), yywait()
//------------------------------------------------------------------------------
void yysettimer(int milliseconds, int id, int which) {
  const auto tid = static_cast<win::UINT_PTR>(id);
  if (milliseconds > 0) {
    win::HWND h = which == 1 ? winslot(0).hClient : winslot(0).wWindow;
    if (h != nullptr) win::SetTimer(h, tid, static_cast<win::UINT>(milliseconds), nullptr);
    return;
  }
  if (winslot(0).hClient != nullptr) win::KillTimer(winslot(0).hClient, tid);
  if (winslot(0).wWindow != nullptr) win::KillTimer(winslot(0).wWindow, tid);
}

void yywait(int N) {
  if (winslot(0).hClient == nullptr) return;
  // Hundredths of a second; a wait longer than the timer can count is cut to its longest.
  const long long ms = 10LL * (N > 0 ? N : 0);
  const auto interval = static_cast<win::UINT>(ms > 0x7FFFFFFFLL ? 0x7FFFFFFFLL : ms);
  if (win::SetTimer(winslot(0).hClient, 999, interval, nullptr) == 0) return;
  TimerEnabled = 1;
  while (TimerEnabled != 0) {
    win::MSG m;
    if (!win::GetMessage(m, nullptr, 0, 0)) {
      win::PostQuitMessage(static_cast<int>(m.wParam));
      TimerEnabled = 0;
      win::KillTimer(winslot(0).hClient, 999);
      break;
    }
    win::TranslateMessage(m);
    win::DispatchMessage(m);
  }
}
