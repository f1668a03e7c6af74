// platform/window.cpp: window classes, windows, their relations, words, styles, texts,
// show states and geometry.
// Sections (grep "[SECTION]"): state and records | atoms and classes | creation and
//   destruction | relations | words and texts | frame metrics | position, size and show
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/window_internal.h"

namespace win {

//------------------------------------------------------------------------------
// [SECTION] State and records
//------------------------------------------------------------------------------
WinSys& ws() {
  static WinSys s;
  return s;
}

static HWND newHandle() {
  WinSys& s = ws();
  HWND h = LongToHandle<HWND>(static_cast<LONG>(s.nextHandle));
  s.nextHandle += 4;
  return h;
}

Window* desktopWnd() {
  WinSys& s = ws();
  if (!s.desktop) {
    auto w = std::make_shared<Window>();
    w->handle = newHandle();
    w->style = WS_VISIBLE | WS_CLIPCHILDREN;
    w->rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    w->client = w->rect;
    s.desktop = w->handle;
    s.windows[reinterpret_cast<std::uintptr_t>(w->handle)] = w;
  }
  return s.windows[reinterpret_cast<std::uintptr_t>(s.desktop)].get();
}

WindowPtr wndPtr(HWND h) {
  if (!h) return nullptr;
  WinSys& s = ws();
  auto it = s.windows.find(reinterpret_cast<std::uintptr_t>(h));
  if (it == s.windows.end() || h == s.desktop) return nullptr;
  return it->second;
}

Window* wnd(HWND h) {
  if (!h) return nullptr;
  WinSys& s = ws();
  auto it = s.windows.find(reinterpret_cast<std::uintptr_t>(h));
  if (it == s.windows.end() || h == s.desktop) return nullptr;
  return it->second.get();
}

bool isTopLevel(const Window* w) { return w && w->parent == ws().desktop; }

HWND topLevelOf(HWND h) {
  Window* w = wnd(h);
  while (w && !isTopLevel(w)) w = wnd(w->parent);
  return w ? w->handle : nullptr;
}

bool isAncestor(HWND ancestor, HWND h) {
  Window* w = wnd(h);
  while (w) {
    if (w->parent == ancestor) return true;
    w = wnd(w->parent);
  }
  return false;
}

bool visibleChain(HWND h) {
  Window* w = wnd(h);
  if (!w) return false;
  for (; w; w = wnd(w->parent))
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

bool enabledChain(HWND h) {
  Window* w = wnd(h);
  if (!w) return false;
  for (; w; w = wnd(w->parent))
    if (w->style & WS_DISABLED) return false;
  return true;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

//------------------------------------------------------------------------------
// [SECTION] Atoms and classes
//------------------------------------------------------------------------------
// Class names and registered message names share one table; names compare without case.
ATOM addAtom(const std::string& name) {
  WinSys& s = ws();
  std::string key = upper(name);
  auto it = s.atoms.find(key);
  if (it != s.atoms.end()) return it->second;
  if (s.nextAtom == 0xFFFF) return 0;
  ATOM a = s.nextAtom++;
  s.atoms[key] = a;
  s.atomNames[a] = name;
  return a;
}

ATOM findAtom(const std::string& name) {
  auto it = ws().atoms.find(upper(name));
  return it == ws().atoms.end() ? 0 : it->second;
}

static WndClassPtr findClass(LPCSTR name) {
  if (!name) return nullptr;
  ATOM atom = IS_INTRESOURCE(name) ? static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name))
                                   : findAtom(name);
  if (!atom) return nullptr;
  for (auto& c : ws().classes)
    if (c->atom == atom) return c;
  return nullptr;
}

HINSTANCE GetModuleHandle(LPCSTR) { return LongToHandle<HINSTANCE>(0x400000); }

ATOM RegisterClassEx(const WNDCLASSEX& wc) {
  if (failNow("RegisterClass")) return 0;
  if (!wc.lpszClassName || !wc.lpfnWndProc || wc.cbClsExtra < 0 || wc.cbWndExtra < 0) return 0;
  if (findClass(wc.lpszClassName)) return 0;   // already registered
  auto c = std::make_shared<WndClass>();
  if (IS_INTRESOURCE(wc.lpszClassName)) return 0;
  c->name = wc.lpszClassName;
  c->atom = addAtom(c->name);
  if (!c->atom) return 0;
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->clsExtra = wc.cbClsExtra;
  c->wndExtra = wc.cbWndExtra;
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->iconSm = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) {
    c->menuNameText = wc.lpszMenuName;
    c->menuName = c->menuNameText.c_str();
  } else {
    c->menuName = wc.lpszMenuName;
  }
  c->extra.assign(static_cast<std::size_t>(wc.cbClsExtra), 0);
  ws().classes.push_back(c);
  return c->atom;
}

ATOM RegisterClass(const WNDCLASS& wc) {
  WNDCLASSEX ex;
  ex.style = wc.style;
  ex.lpfnWndProc = wc.lpfnWndProc;
  ex.cbClsExtra = wc.cbClsExtra;
  ex.cbWndExtra = wc.cbWndExtra;
  ex.hInstance = wc.hInstance;
  ex.hIcon = wc.hIcon;
  ex.hCursor = wc.hCursor;
  ex.hbrBackground = wc.hbrBackground;
  ex.lpszMenuName = wc.lpszMenuName;
  ex.lpszClassName = wc.lpszClassName;
  return RegisterClassEx(ex);
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE) {
  WndClassPtr c = findClass(className);
  if (!c) return FALSE;
  for (auto& [h, w] : ws().windows)
    if (w->cls == c && !w->destroyed) return FALSE;   // windows of the class still exist
  auto& v = ws().classes;
  v.erase(std::remove(v.begin(), v.end(), c), v.end());
  c->unregistered = true;
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, LPCSTR className, WNDCLASSEX& wc) {
  WndClassPtr c = findClass(className);
  if (!c) return FALSE;
  wc.style = c->style;
  wc.lpfnWndProc = c->proc;
  wc.cbClsExtra = c->clsExtra;
  wc.cbWndExtra = c->wndExtra;
  wc.hInstance = c->instance;
  wc.hIcon = c->icon;
  wc.hIconSm = c->iconSm;
  wc.hCursor = c->cursor;
  wc.hbrBackground = c->background;
  wc.lpszMenuName = c->menuName;
  wc.lpszClassName = IS_INTRESOURCE(className) ? c->name.c_str() : className;
  return c->atom;
}

BOOL GetClassInfo(HINSTANCE instance, LPCSTR className, WNDCLASS& wc) {
  WNDCLASSEX ex;
  BOOL ok = GetClassInfoEx(instance, className, ex);
  if (!ok) return FALSE;
  wc.style = ex.style;
  wc.lpfnWndProc = ex.lpfnWndProc;
  wc.cbClsExtra = ex.cbClsExtra;
  wc.cbWndExtra = ex.cbWndExtra;
  wc.hInstance = ex.hInstance;
  wc.hIcon = ex.hIcon;
  wc.hCursor = ex.hCursor;
  wc.hbrBackground = ex.hbrBackground;
  wc.lpszMenuName = ex.lpszMenuName;
  wc.lpszClassName = ex.lpszClassName;
  return ok;
}

int GetClassName(HWND hwnd, LPSTR buffer, int size) {
  Window* w = wnd(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  int n = std::min<int>(static_cast<int>(w->cls->name.size()), size - 1);
  std::memcpy(buffer, w->cls->name.data(), static_cast<std::size_t>(n));
  buffer[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtr(HWND hwnd, int index) {
  Window* w = wnd(hwnd);
  if (!w) return 0;
  WndClass& c = *w->cls;
  if (index >= 0) {
    if (index + static_cast<int>(sizeof(LONG_PTR)) > c.clsExtra) return 0;
    LONG_PTR v;
    std::memcpy(&v, c.extra.data() + index, sizeof v);
    return static_cast<ULONG_PTR>(v);
  }
  switch (index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c.iconSm);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(c.wndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(c.clsExtra);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE: return c.style;
    case GCW_ATOM: return c.atom;
    case GCL_MENUNAME: return reinterpret_cast<ULONG_PTR>(c.menuName);
    default: return 0;
  }
}

ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value) {
  Window* w = wnd(hwnd);
  if (!w) return 0;
  WndClass& c = *w->cls;
  ULONG_PTR old = GetClassLongPtr(hwnd, index);
  if (index >= 0) {
    if (index + static_cast<int>(sizeof(LONG_PTR)) > c.clsExtra) return 0;
    std::memcpy(c.extra.data() + index, &value, sizeof value);
    return old;
  }
  switch (index) {
    case GCLP_HBRBACKGROUND: c.background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HICON: c.icon = reinterpret_cast<HICON>(value); break;
    case GCLP_HICONSM: c.iconSm = reinterpret_cast<HICON>(value); break;
    case GCLP_WNDPROC: c.proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c.style = static_cast<UINT>(value); break;
    default: return 0;
  }
  return old;
}

DWORD GetClassLong(HWND hwnd, int index) { return static_cast<DWORD>(GetClassLongPtr(hwnd, index)); }
WORD GetClassWord(HWND hwnd, int index) { return static_cast<WORD>(GetClassLongPtr(hwnd, index)); }

//------------------------------------------------------------------------------
// [SECTION] Creation and destruction
//------------------------------------------------------------------------------
static void linkChild(Window* parent, Window* w) {
  auto& v = parent->children;
  if (isTopLevel(w)) {
    // Top-level windows enter at the top of their band (topmost windows above the rest).
    auto pos = v.begin();
    if (!(w->exStyle & WS_EX_TOPMOST))
      while (pos != v.end() && wnd(*pos) && (wnd(*pos)->exStyle & WS_EX_TOPMOST)) ++pos;
    v.insert(pos, w->handle);
  } else {
    v.push_back(w->handle);   // creation order
  }
}

static void unlinkChild(HWND parent, HWND h) {
  Window* p = parent == ws().desktop ? desktopWnd() : wnd(parent);
  if (!p) return;
  auto& v = p->children;
  v.erase(std::remove(v.begin(), v.end(), h), v.end());
}

static Window* parentRecord(HWND h) { return h == ws().desktop ? desktopWnd() : wnd(h); }

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param) {
  WinSys& s = ws();
  desktopWnd();
  if (failNow("CreateWindowEx")) return nullptr;
  WndClassPtr cls = findClass(className);
  if (!cls) return nullptr;
  if ((style & WS_CHILD) && (!parent || (!wnd(parent) && parent != s.desktop))) return nullptr;
  if (parent && parent != s.desktop && !wnd(parent)) return nullptr;

  auto w = std::make_shared<Window>();
  w->handle = newHandle();
  w->cls = cls;
  w->proc = cls->proc;
  w->instance = instance;
  w->extra.assign(static_cast<std::size_t>(cls->wndExtra), 0);
  if (windowName) w->text = windowName;
  if (style & WS_CHILD) {
    w->parent = parent;
    w->id = reinterpret_cast<LONG_PTR>(menu);
  } else {
    w->parent = s.desktop;
    // The owner of a top-level window is the top-level window of the one given.
    w->owner = parent && parent != s.desktop ? topLevelOf(parent) : nullptr;
    w->menu = menu;
    // An overlapped window always has a caption.
    if (!(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS;
  }
  if ((style & WS_CAPTION) == WS_CAPTION || (exStyle & WS_EX_DLGMODALFRAME) ||
      (style & WS_THICKFRAME))
    exStyle |= WS_EX_WINDOWEDGE;
  const DWORD visible = style & WS_VISIBLE;
  const DWORD minmax = style & (WS_MINIMIZE | WS_MAXIMIZE);
  w->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  w->exStyle = exStyle;

  // Default position and size of an overlapped window: cascaded, three quarters of the screen.
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (!(style & (WS_CHILD | WS_POPUP))) {
    if (x == CW_USEDEFAULT) { x = 26; y = 26; }
    if (width == CW_USEDEFAULT) { width = sw * 3 / 4; height = sh * 3 / 4; }
  } else {
    if (x == CW_USEDEFAULT) { x = 0; y = 0; }
    if (width == CW_USEDEFAULT) { width = 0; height = 0; }
  }

  w->rect = RECT{x, y, x + width, y + height};
  w->normalRect = w->rect;
  s.windows[reinterpret_cast<std::uintptr_t>(w->handle)] = w;
  linkChild(parentRecord(w->parent), w.get());
  HWND h = w->handle;

  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.x = x; cs.y = y; cs.cx = width; cs.cy = height;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;

  // Size limits apply to windows the user may size or that have a caption.
  if (!(style & WS_CHILD) && ((style & WS_THICKFRAME) || hasCaption(style))) {
    MINMAXINFO mm;
    mm.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mm.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    mm.ptMaxSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    sendMsg(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    if (Window* ww = wnd(h)) {
      int cx = std::min<int>(width, mm.ptMaxTrackSize.x), cy = std::min<int>(height, mm.ptMaxTrackSize.y);
      ww->rect.right = ww->rect.left + cx;
      ww->rect.bottom = ww->rect.top + cy;
      ww->normalRect = ww->rect;
    }
  }

  if (!wnd(h) || !sendMsg(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (wnd(h)) DestroyWindow(h);
    return nullptr;
  }
  if (Window* ww = wnd(h)) {
    NCCALCSIZE_PARAMS p;
    p.rgrc[0] = ww->rect;
    sendMsg(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&p.rgrc[0]));
    if ((ww = wnd(h))) {
      RECT c = p.rgrc[0];
      ww->client = RECT{c.left - ww->rect.left, c.top - ww->rect.top, c.right - ww->rect.left,
                        c.bottom - ww->rect.top};
      if (ww->client.right < ww->client.left) ww->client.right = ww->client.left;
      if (ww->client.bottom < ww->client.top) ww->client.bottom = ww->client.top;
    }
  }
  if (!wnd(h) || sendMsg(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (wnd(h)) DestroyWindow(h);
    return nullptr;
  }
  if (Window* ww = wnd(h)) {
    RECT c = clientRectOf(ww);
    sendMsg(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
  }
  if (Window* ww = wnd(h)) {
    POINT o{ww->rect.left + ww->client.left, ww->rect.top + ww->client.top};
    sendMsg(h, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(o.x), static_cast<WORD>(o.y)));
  }
  if (Window* ww = wnd(h); ww && (style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY))
    sendMsg(ww->parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(WM_CREATE), static_cast<WORD>(ww->id)),
            reinterpret_cast<LPARAM>(h));
  if (!wnd(h)) return nullptr;
  // A window created minimised or maximised takes that state even while hidden.
  if (minmax & WS_MAXIMIZE)
    showWindowImpl(h, SW_SHOWMAXIMIZED, visible != 0);
  else if (minmax & WS_MINIMIZE)
    showWindowImpl(h, SW_SHOWMINNOACTIVE, visible != 0);
  else if (visible)
    ShowWindow(h, SW_SHOW);
  return wnd(h) ? h : nullptr;
}

HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menu,
                        instance, param);
}

static void sendDestroy(HWND h) {
  sendMsg(h, WM_DESTROY, 0, 0);
  Window* w = wnd(h);
  if (!w) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids)
    if (wnd(k)) sendDestroy(k);
}

static void finishDestroy(HWND h) {
  WinSys& s = ws();
  Window* w = wnd(h);
  if (!w) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids) finishDestroy(k);
  if (!(w = wnd(h))) return;
  sendMsg(h, WM_NCDESTROY, 0, 0);
  WindowPtr keep = wndPtr(h);
  if (!keep) return;
  keep->destroyed = true;
  if (keep->menu && !(keep->style & WS_CHILD) && s.menuDestroy) s.menuDestroy(keep->menu);
  if (s.focus == h) s.focus = nullptr;
  if (s.active == h) s.active = nullptr;
  if (s.capture == h) s.capture = nullptr;
  if (s.lastClickWnd == h) s.lastClickWnd = nullptr;
  killTimersFor(h);
  purgeMessagesFor(h);
  unlinkChild(keep->parent, h);
  releaseSurface(keep.get());
  s.windows.erase(reinterpret_cast<std::uintptr_t>(h));
}

BOOL DestroyWindow(HWND hwnd) {
  WinSys& s = ws();
  WindowPtr w = wndPtr(hwnd);
  if (!w || w->destroying) return FALSE;
  w->destroying = true;
  const bool child = !isTopLevel(w.get());
  if (child && !(w->exStyle & WS_EX_NOPARENTNOTIFY))
    sendMsg(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(WM_DESTROY), static_cast<WORD>(w->id)),
            reinterpret_cast<LPARAM>(hwnd));
  if (w->destroyed) return TRUE;
  // Owned windows go first.
  if (!child) {
    std::vector<HWND> owned;
    for (auto& [k, o] : s.windows)
      if (o->owner == hwnd && !o->destroying) owned.push_back(o->handle);
    for (HWND o : owned) DestroyWindow(o);
  }
  if (w->style & WS_VISIBLE)
    setWindowPosImpl(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                         (s.active == hwnd ? 0 : SWP_NOACTIVATE));
  if (w->destroyed) return TRUE;
  if (s.focus == hwnd || isAncestor(hwnd, s.focus)) {
    HWND old = s.focus;
    s.focus = nullptr;
    ++s.focusSeq;
    sendMsg(old, WM_KILLFOCUS, 0, 0);
  }
  if (s.capture == hwnd || isAncestor(hwnd, s.capture)) ReleaseCapture();
  if (s.active == hwnd) {
    s.active = nullptr;
    // Activate the owner, else the next visible top-level window.
    HWND next = w->owner && IsWindowVisible(w->owner) && IsWindowEnabled(w->owner) ? w->owner : nullptr;
    if (!next)
      for (HWND t : desktopWnd()->children)
        if (t != hwnd && IsWindowVisible(t) && IsWindowEnabled(t)) { next = t; break; }
    if (next) setActive(next, WA_ACTIVE);
  }
  if (!wnd(hwnd)) return TRUE;
  sendDestroy(hwnd);
  finishDestroy(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return wnd(hwnd) != nullptr || (hwnd && hwnd == ws().desktop); }
BOOL IsWindowVisible(HWND hwnd) { return (hwnd && hwnd == ws().desktop) || visibleChain(hwnd); }
BOOL IsWindowEnabled(HWND hwnd) {
  if (hwnd && hwnd == ws().desktop) return TRUE;
  Window* w = wnd(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  WinSys& s = ws();
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  const BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    sendMsg(hwnd, WM_ENABLE, TRUE, 0);
  } else if (!enable && !wasDisabled) {
    sendMsg(hwnd, WM_CANCELMODE, 0, 0);
    if (!(w = wnd(hwnd))) return wasDisabled;
    w->style |= WS_DISABLED;
    // A disabled window keeps no keyboard focus and no capture.
    if (s.focus == hwnd || isAncestor(hwnd, s.focus)) SetFocus(nullptr);
    if (s.capture == hwnd) ReleaseCapture();
    sendMsg(hwnd, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled;
}

//------------------------------------------------------------------------------
// [SECTION] Relations
//------------------------------------------------------------------------------
BOOL IsChild(HWND parent, HWND hwnd) {
  Window* w = wnd(hwnd);
  return w && !isTopLevel(w) && isAncestor(parent, hwnd);
}

HWND GetParent(HWND hwnd) {
  Window* w = wnd(hwnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND SetParent(HWND hwnd, HWND parent) {
  WindowPtr w = wndPtr(hwnd);
  WinSys& s = ws();
  if (!w) return nullptr;
  if (!parent) parent = s.desktop;
  if (parent != s.desktop && !wnd(parent)) return nullptr;
  if (parent == hwnd || isAncestor(hwnd, parent)) return nullptr;
  HWND old = w->parent;
  const bool wasVisible = (w->style & WS_VISIBLE) != 0;
  if (wasVisible) ShowWindow(hwnd, SW_HIDE);
  // Keep the window's screen position.
  RECT r = windowRectScreen(hwnd);
  unlinkChild(old, hwnd);
  w->parent = parent;
  POINT o = parent == s.desktop ? POINT{0, 0} : clientOriginScreen(parent);
  w->rect = RECT{r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
  if (parent == s.desktop) {
    releaseSurface(w.get());
  } else if (w->surface) {
    releaseSurface(w.get());
  }
  linkChild(parentRecord(parent), w.get());
  if (wasVisible) ShowWindow(hwnd, SW_SHOWNA);
  return old;
}

HWND GetDesktopWindow() {
  desktopWnd();
  return ws().desktop;
}

HWND GetAncestor(HWND hwnd, UINT kind) {
  Window* w = wnd(hwnd);
  if (!w) return nullptr;
  switch (kind) {
    case GA_PARENT: return w->parent;
    case GA_ROOT: return topLevelOf(hwnd);
    case GA_ROOTOWNER: {
      HWND h = topLevelOf(hwnd);
      while (Window* t = wnd(h)) {
        if (!t->owner) break;
        h = t->owner;
      }
      return h;
    }
    default: return nullptr;
  }
}

static const std::vector<HWND>* siblings(const Window* w) {
  Window* p = parentRecord(w->parent);
  return p ? &p->children : nullptr;
}

HWND GetWindow(HWND hwnd, UINT relation) {
  Window* w = hwnd == ws().desktop ? desktopWnd() : wnd(hwnd);
  if (!w) return nullptr;
  switch (relation) {
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front();
    case GW_OWNER: return w->owner;
    case GW_HWNDFIRST:
    case GW_HWNDLAST:
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
      const std::vector<HWND>* sib = siblings(w);
      if (!sib || sib->empty()) return nullptr;
      if (relation == GW_HWNDFIRST) return sib->front();
      if (relation == GW_HWNDLAST) return sib->back();
      auto it = std::find(sib->begin(), sib->end(), hwnd);
      if (it == sib->end()) return nullptr;
      if (relation == GW_HWNDNEXT) return ++it == sib->end() ? nullptr : *it;
      return it == sib->begin() ? nullptr : *--it;
    }
    case GW_ENABLEDPOPUP: {
      for (HWND t : desktopWnd()->children) {
        Window* o = wnd(t);
        if (o && o->owner == hwnd && (o->style & WS_VISIBLE) && !(o->style & WS_DISABLED)) return t;
      }
      return nullptr;
    }
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) { return GetWindow(hwnd ? hwnd : GetDesktopWindow(), GW_CHILD); }
HWND GetNextWindow(HWND hwnd, UINT relation) { return GetWindow(hwnd, relation); }

HWND GetDlgItem(HWND parent, int id) {
  Window* p = wnd(parent);
  if (!p) return nullptr;
  for (HWND c : p->children)
    if (Window* w = wnd(c); w && static_cast<int>(w->id) == id) return c;
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  Window* w = wnd(hwnd);
  return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

static bool enumChildren(HWND parent, WNDENUMPROC proc, LPARAM param) {
  Window* p = wnd(parent);
  if (!p) return true;
  std::vector<HWND> kids = p->children;
  for (HWND k : kids) {
    if (!wnd(k)) continue;
    if (!proc(k, param)) return false;
    if (!enumChildren(k, proc, param)) return false;
  }
  return true;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
  if (!parent) return EnumWindows(proc, param);
  enumChildren(parent, proc, param);
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
  std::vector<HWND> tops = desktopWnd()->children;
  for (HWND t : tops)
    if (wnd(t) && !proc(t, param)) break;
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Words and texts
//------------------------------------------------------------------------------
LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  Window* w = wnd(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    if (index + static_cast<int>(sizeof(LONG_PTR)) > static_cast<int>(w->extra.size())) {
      if (index + static_cast<int>(sizeof(LONG)) > static_cast<int>(w->extra.size())) return 0;
      LONG v;
      std::memcpy(&v, w->extra.data() + index, sizeof v);
      return v;
    }
    LONG_PTR v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(isTopLevel(w) ? w->owner : w->parent);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    default: return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  Window* w = wnd(hwnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtr(hwnd, index);
  if (index >= 0) {
    if (index + static_cast<int>(sizeof(LONG_PTR)) <= static_cast<int>(w->extra.size())) {
      std::memcpy(w->extra.data() + index, &value, sizeof value);
    } else if (index + static_cast<int>(sizeof(LONG)) <= static_cast<int>(w->extra.size())) {
      LONG v = static_cast<LONG>(value);
      std::memcpy(w->extra.data() + index, &v, sizeof v);
    } else {
      return 0;
    }
    return old;
  }
  switch (index) {
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_HWNDPARENT:
      if (isTopLevel(w)) w->owner = reinterpret_cast<HWND>(value);
      else SetParent(hwnd, reinterpret_cast<HWND>(value));
      break;
    case GWLP_ID: w->id = value; break;
    case GWLP_USERDATA: w->userData = value; break;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      STYLESTRUCT ss;
      ss.styleOld = static_cast<DWORD>(old);
      ss.styleNew = static_cast<DWORD>(value);
      const WPARAM which = static_cast<WPARAM>(static_cast<LONG>(index));
      sendMsg(hwnd, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&ss));
      if (!(w = wnd(hwnd))) return old;
      if (index == GWL_STYLE) {
        // Visibility, the minimised and maximised state change only through ShowWindow.
        const DWORD keep = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE;
        w->style = (ss.styleNew & ~keep) | (w->style & keep);
      } else {
        w->exStyle = ss.styleNew;
      }
      sendMsg(hwnd, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&ss));
      break;
    }
    default: return 0;
  }
  return old;
}

LONG GetWindowLong(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtr(hwnd, index)); }
LONG SetWindowLong(HWND hwnd, int index, LONG value) {
  return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value));
}

WORD GetWindowWord(HWND hwnd, int index) {
  Window* w = wnd(hwnd);
  if (!w || index < 0 || index + 2 > static_cast<int>(w->extra.size())) return 0;
  WORD v;
  std::memcpy(&v, w->extra.data() + index, sizeof v);
  return v;
}

WORD SetWindowWord(HWND hwnd, int index, WORD value) {
  Window* w = wnd(hwnd);
  if (!w || index < 0 || index + 2 > static_cast<int>(w->extra.size())) return 0;
  WORD old = GetWindowWord(hwnd, index);
  std::memcpy(w->extra.data() + index, &value, sizeof value);
  return old;
}

BOOL SetWindowText(HWND hwnd, LPCSTR text) {
  return static_cast<BOOL>(sendMsg(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")));
}

int GetWindowText(HWND hwnd, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = 0;
  return static_cast<int>(sendMsg(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) { return static_cast<int>(sendMsg(hwnd, WM_GETTEXTLENGTH, 0, 0)); }

HMENU GetMenu(HWND hwnd) {
  Window* w = wnd(hwnd);
  return w && !(w->style & WS_CHILD) ? w->menu : nullptr;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  Window* w = wnd(hwnd);
  if (!w || (w->style & WS_CHILD)) return FALSE;
  const bool hadMenu = w->menu != nullptr;
  w->menu = menu;
  if (hadMenu != (menu != nullptr)) {
    // The client area shrinks or grows by the strip.
    RECT r = w->rect;
    setWindowPosImpl(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE);
  } else {
    DrawMenuBar(hwnd);
  }
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) {
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  w->ncDirty = true;
  if (visibleChain(hwnd)) paintNonClient(hwnd);
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Frame metrics
//------------------------------------------------------------------------------
bool hasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

int frameThickness(DWORD style, DWORD exStyle) {
  int t = 0;
  if (style & WS_THICKFRAME) t = GetSystemMetrics(SM_CXFRAME);
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) t = GetSystemMetrics(SM_CXDLGFRAME);
  else if (style & WS_BORDER) t = GetSystemMetrics(SM_CXBORDER);
  if (exStyle & WS_EX_CLIENTEDGE) t += GetSystemMetrics(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) t += GetSystemMetrics(SM_CXBORDER);
  return t;
}

int captionHeight(DWORD exStyle) {
  return (exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
}

bool hasMenuBar(const Window* w) { return w && !(w->style & WS_CHILD) && w->menu; }

void computeNc(DWORD style, DWORD exStyle, bool menu, bool hbar, bool vbar, bool minimized,
               const RECT& window, RECT& client) {
  const int width = window.right - window.left, height = window.bottom - window.top;
  if (minimized) {
    client = RECT{0, 0, 0, 0};
    return;
  }
  const int t = frameThickness(style, exStyle);
  RECT c{t, t, width - t, height - t};
  if (hasCaption(style)) c.top += captionHeight(exStyle);
  if (menu) c.top += GetSystemMetrics(SM_CYMENU);
  if (vbar) c.right -= GetSystemMetrics(SM_CXVSCROLL);
  if (hbar) c.bottom -= GetSystemMetrics(SM_CYHSCROLL);
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  client = c;
}

BOOL AdjustWindowRectEx(RECT& rect, DWORD style, BOOL menu, DWORD exStyle) {
  // The same frame that CreateWindowEx gives: an overlapped window always has a caption.
  if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION;
  const int t = frameThickness(style, exStyle);
  rect.left -= t;
  rect.right += t;
  rect.top -= t;
  rect.bottom += t;
  if (hasCaption(style)) rect.top -= captionHeight(exStyle);
  if (menu) rect.top -= GetSystemMetrics(SM_CYMENU);
  return TRUE;
}

BOOL AdjustWindowRect(RECT& rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

RECT clientRectOf(const Window* w) {
  return RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
}

POINT clientOriginScreen(HWND h) {
  WinSys& s = ws();
  if (!h || h == s.desktop) return POINT{0, 0};
  Window* w = wnd(h);
  if (!w) return POINT{0, 0};
  POINT p = clientOriginScreen(w->parent);
  return POINT{p.x + w->rect.left + w->client.left, p.y + w->rect.top + w->client.top};
}

RECT windowRectScreen(HWND h) {
  WinSys& s = ws();
  if (h == s.desktop) return desktopWnd()->rect;
  Window* w = wnd(h);
  if (!w) return RECT{};
  POINT p = clientOriginScreen(w->parent);
  RECT r = w->rect;
  OffsetRect(r, p.x, p.y);
  return r;
}

NcLayout ncLayout(const Window* w) {
  NcLayout l;
  const int width = w->rect.right - w->rect.left;
  const int t = frameThickness(w->style, w->exStyle);
  int y = t;
  if (hasCaption(w->style) && !(w->style & WS_MINIMIZE)) {
    const int ch = captionHeight(w->exStyle);
    l.caption = RECT{t, y, width - t, y + ch - 1};
    // Caption buttons: square, right-aligned, close first.
    const int bs = ch - 4;
    int right = width - t - 2;
    if (w->style & WS_SYSMENU) {
      l.closeButton = RECT{right - bs - 2, y + 2, right, y + 2 + bs};
      right = l.closeButton.left - 2;
      if (w->style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) {
        l.maxButton = RECT{right - bs - 2, y + 2, right, y + 2 + bs};
        l.minButton = RECT{l.maxButton.left - bs - 2, y + 2, l.maxButton.left, y + 2 + bs};
      }
    }
    y += ch;
  }
  if (hasMenuBar(w) && !(w->style & WS_MINIMIZE)) {
    l.menuBar = RECT{t, y, width - t, y + GetSystemMetrics(SM_CYMENU)};
  }
  l.client = w->client;
  if ((w->style & WS_VSCROLL) && !(w->style & WS_MINIMIZE))
    l.vscroll = RECT{w->client.right, w->client.top, w->client.right + GetSystemMetrics(SM_CXVSCROLL), w->client.bottom};
  if ((w->style & WS_HSCROLL) && !(w->style & WS_MINIMIZE))
    l.hscroll = RECT{w->client.left, w->client.bottom, w->client.right, w->client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
  return l;
}

bool GetNcLayout(HWND hwnd, NcLayout& out) {
  Window* w = wnd(hwnd);
  if (!w) return false;
  out = ncLayout(w);
  return true;
}

//------------------------------------------------------------------------------
// [SECTION] Position, size and show
//------------------------------------------------------------------------------
BOOL GetWindowRect(HWND hwnd, RECT& rect) {
  if (!IsWindow(hwnd)) return FALSE;
  rect = windowRectScreen(hwnd);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT& rect) {
  if (hwnd == ws().desktop && hwnd) {
    rect = desktopWnd()->rect;
    return TRUE;
  }
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  rect = clientRectOf(w);
  return TRUE;
}

static void zOrder(Window* w, HWND after) {
  Window* p = parentRecord(w->parent);
  if (!p) return;
  auto& v = p->children;
  v.erase(std::remove(v.begin(), v.end(), w->handle), v.end());
  const bool top = isTopLevel(w);
  if (after == HWND_TOPMOST && top) w->exStyle |= WS_EX_TOPMOST;
  if (after == HWND_NOTOPMOST && top) w->exStyle &= ~WS_EX_TOPMOST;
  auto bandStart = [&]() {
    auto pos = v.begin();
    if (top && !(w->exStyle & WS_EX_TOPMOST))
      while (pos != v.end() && wnd(*pos) && (wnd(*pos)->exStyle & WS_EX_TOPMOST)) ++pos;
    return pos;
  };
  auto bandEnd = [&]() {
    if (top && (w->exStyle & WS_EX_TOPMOST)) {
      auto pos = v.begin();
      while (pos != v.end() && wnd(*pos) && (wnd(*pos)->exStyle & WS_EX_TOPMOST)) ++pos;
      return pos;
    }
    return v.end();
  };
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    v.insert(bandStart(), w->handle);
  } else if (after == HWND_BOTTOM) {
    v.insert(bandEnd(), w->handle);
  } else {
    auto it = std::find(v.begin(), v.end(), after);
    if (it == v.end()) v.insert(bandStart(), w->handle);
    else v.insert(it + 1, w->handle);
  }
  // Owned windows stay above their owner.
  if (top) {
    std::vector<HWND> owned;
    for (HWND h : v)
      if (Window* o = wnd(h); o && o->owner == w->handle) owned.push_back(h);
    auto self = std::find(v.begin(), v.end(), w->handle);
    for (HWND o : owned) {
      auto oi = std::find(v.begin(), v.end(), o);
      self = std::find(v.begin(), v.end(), w->handle);
      if (oi > self) {
        v.erase(oi);
        self = std::find(v.begin(), v.end(), w->handle);
        v.insert(self, o);
      }
    }
  }
}

static void minMaxInfo(HWND hwnd, MINMAXINFO& mm) {
  Window* w = wnd(hwnd);
  RECT area = w && !isTopLevel(w) ? clientRectOf(parentRecord(w->parent)) : desktopWnd()->rect;
  const int t = w ? frameThickness(w->style, w->exStyle) : 0;
  mm.ptMaxSize = POINT{area.right - area.left + 2 * t, area.bottom - area.top + 2 * t};
  mm.ptMaxPosition = POINT{-t, -t};
  mm.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mm.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  sendMsg(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
}

static constexpr UINT kNoClientSize = 0x0800;
static constexpr UINT kNoClientMove = 0x1000;

bool setWindowPosImpl(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags, int sizeKind) {
  WinSys& s = ws();
  WindowPtr w = wndPtr(hwnd);
  if (!w) return false;
  if (flags & SWP_NOMOVE) { x = w->rect.left; y = w->rect.top; }
  if (flags & SWP_NOSIZE) { cx = w->rect.right - w->rect.left; cy = w->rect.bottom - w->rect.top; }
  if (cx < 0) cx = 0;
  if (cy < 0) cy = 0;
  WINDOWPOS wp;
  wp.hwnd = hwnd;
  wp.hwndInsertAfter = after;
  wp.x = x; wp.y = y; wp.cx = cx; wp.cy = cy;
  wp.flags = flags;
  if (!(flags & SWP_NOSENDCHANGING)) {
    sendMsg(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (w->destroyed) return false;
  }
  const RECT oldRect = w->rect;
  const RECT oldClient = w->client;
  const bool wasVisible = (w->style & WS_VISIBLE) != 0;
  RECT oldScreen = windowRectScreen(hwnd);

  if (!(wp.flags & SWP_NOZORDER)) zOrder(w.get(), wp.hwndInsertAfter);
  w->rect = RECT{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  const bool sized = (oldRect.right - oldRect.left != wp.cx) || (oldRect.bottom - oldRect.top != wp.cy);
  const bool moved = oldRect.left != wp.x || oldRect.top != wp.y;
  if (sized || (wp.flags & SWP_FRAMECHANGED)) {
    RECT c = w->rect;
    sendMsg(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&c));
    if (w->destroyed) return false;
    w->client = RECT{c.left - w->rect.left, c.top - w->rect.top, c.right - w->rect.left, c.bottom - w->rect.top};
    if (w->client.right < w->client.left) w->client.right = w->client.left;
    if (w->client.bottom < w->client.top) w->client.bottom = w->client.top;
  }
  if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  const bool nowVisible = (w->style & WS_VISIBLE) != 0;
  if (isTopLevel(w.get()) && (sized || !w->surface)) ensureSurface(w.get());

  const bool clientSized = (oldClient.right - oldClient.left != w->client.right - w->client.left) ||
                           (oldClient.bottom - oldClient.top != w->client.bottom - w->client.top);
  const bool clientMoved = moved || oldClient.left != w->client.left || oldClient.top != w->client.top;

  // Repainting: what became visible or changed size is invalid; what a child uncovered in
  // its parent is invalid there.
  if (!(wp.flags & SWP_NOREDRAW)) {
    if (nowVisible && !wasVisible) {
      invalidateAll(hwnd, true);
    } else if (nowVisible) {
      const UINT cs = w->cls->style;
      const bool redrawAll = (wp.flags & SWP_FRAMECHANGED) ||
                             ((cs & CS_HREDRAW) && oldClient.right - oldClient.left != w->client.right - w->client.left) ||
                             ((cs & CS_VREDRAW) && oldClient.bottom - oldClient.top != w->client.bottom - w->client.top);
      if (redrawAll || (moved && !isTopLevel(w.get()))) {
        invalidateAll(hwnd, true);
      } else if (sized) {
        RectSet grown(clientRectOf(w.get()));
        grown.subtract(RECT{0, 0, oldClient.right - oldClient.left, oldClient.bottom - oldClient.top});
        invalidate(hwnd, grown, true, true, true);
      }
    }
    if (!isTopLevel(w.get()) && wasVisible && (moved || sized || !nowVisible)) {
      HWND parent = w->parent;
      if (visibleChain(parent)) {
        POINT po = clientOriginScreen(parent);
        RECT old = oldScreen;
        OffsetRect(old, -po.x, -po.y);
        RectSet uncovered(old);
        if (nowVisible) uncovered.subtract(w->rect);
        invalidate(parent, uncovered, true, true, false);
      }
    }
  }

  if (!(wp.flags & SWP_NOACTIVATE) && isTopLevel(w.get()) && nowVisible && !(w->style & WS_DISABLED))
    setActive(hwnd, WA_ACTIVE);
  if (w->destroyed) return true;
  // A hidden window gives up the focus, the activation and the capture.
  if (wasVisible && !nowVisible) {
    if (s.focus == hwnd || isAncestor(hwnd, s.focus)) {
      if (isTopLevel(w.get())) SetFocus(nullptr);
      else SetFocus(w->parent);
    }
    if (s.active == hwnd) {
      HWND next = w->owner && IsWindowVisible(w->owner) && IsWindowEnabled(w->owner) ? w->owner : nullptr;
      if (!next)
        for (HWND t : desktopWnd()->children)
          if (t != hwnd && IsWindowVisible(t) && IsWindowEnabled(t)) { next = t; break; }
      if (next) setActive(next, WA_ACTIVE);
      else {
        HWND old = s.active;
        s.active = nullptr;
        sendMsg(old, WM_NCACTIVATE, FALSE, 0);
        sendMsg(old, WM_ACTIVATE, WA_INACTIVE, 0);
      }
    }
    if (s.capture == hwnd || isAncestor(hwnd, s.capture)) ReleaseCapture();
  }
  if (w->destroyed) return true;

  if (!clientSized && sizeKind < 0) wp.flags |= kNoClientSize;
  if (!clientMoved) wp.flags |= kNoClientMove;
  if (!sized) wp.flags |= SWP_NOSIZE;
  if (!moved) wp.flags |= SWP_NOMOVE;
  wp.x = w->rect.left; wp.y = w->rect.top;
  wp.cx = w->rect.right - w->rect.left; wp.cy = w->rect.bottom - w->rect.top;
  sendMsg(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return true;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  // A minimised or maximised window keeps its rectangle for when it is restored.
  bool ok = setWindowPosImpl(hwnd, insertAfter, x, y, cx, cy, flags);
  if (ok) if (Window* ww = wnd(hwnd); ww && !(ww->style & (WS_MINIMIZE | WS_MAXIMIZE))) ww->normalRect = ww->rect;
  return ok;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

static RECT minimizedRect(Window* w) {
  const int cx = GetSystemMetrics(SM_CXMINIMIZED), cy = GetSystemMetrics(SM_CYMINIMIZED);
  if (w->minPos.x != -1 || w->minPos.y != -1) return RECT{w->minPos.x, w->minPos.y, w->minPos.x + cx, w->minPos.y + cy};
  if (isTopLevel(w)) return RECT{-32000, -32000, -32000 + cx, -32000 + cy};
  RECT pc = clientRectOf(parentRecord(w->parent));
  return RECT{0, pc.bottom - cy, cx, pc.bottom};
}

BOOL ShowWindow(HWND hwnd, int cmd) { return showWindowImpl(hwnd, cmd, true); }

// show false: the state changes and the window stays hidden.
BOOL showWindowImpl(HWND hwnd, int cmd, bool show) {
  WindowPtr w = wndPtr(hwnd);
  if (!w) return FALSE;
  const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
  const bool top = isTopLevel(w.get());
  UINT flags = SWP_NOZORDER;
  int kind = -1;
  RECT target = w->rect;
  auto remember = [&]() {
    if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->normalRect = w->rect;
  };
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return wasVisible;
      sendMsg(hwnd, WM_SHOWWINDOW, FALSE, 0);
      if (w->destroyed) return wasVisible;
      setWindowPosImpl(hwnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return wasVisible;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      remember();
      if (w->style & WS_MAXIMIZE) w->restoreToMax = true;
      else w->restoreToMax = false;
      w->style = (w->style & ~WS_MAXIMIZE) | WS_MINIMIZE;
      target = minimizedRect(w.get());
      kind = static_cast<int>(SIZE_MINIMIZED);
      flags |= SWP_FRAMECHANGED | SWP_NOACTIVATE;
      if (cmd == SW_SHOWMINIMIZED) flags &= ~SWP_NOACTIVATE;
      break;
    case SW_SHOWMAXIMIZED: {
      remember();
      w->style = (w->style & ~WS_MINIMIZE) | WS_MAXIMIZE;
      MINMAXINFO mm;
      minMaxInfo(hwnd, mm);
      if (w->destroyed) return wasVisible;
      target = RECT{mm.ptMaxPosition.x, mm.ptMaxPosition.y, mm.ptMaxPosition.x + mm.ptMaxSize.x,
                    mm.ptMaxPosition.y + mm.ptMaxSize.y};
      kind = static_cast<int>(SIZE_MAXIMIZED);
      flags |= SWP_FRAMECHANGED;
      break;
    }
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
      if (w->style & WS_MINIMIZE) {
        if (cmd == SW_RESTORE && w->restoreToMax) return ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        w->style &= ~WS_MINIMIZE;
        target = w->normalRect;
        kind = static_cast<int>(SIZE_RESTORED);
        flags |= SWP_FRAMECHANGED;
      } else if (w->style & WS_MAXIMIZE) {
        w->style &= ~WS_MAXIMIZE;
        target = w->normalRect;
        kind = static_cast<int>(SIZE_RESTORED);
        flags |= SWP_FRAMECHANGED;
      } else {
        flags |= SWP_NOMOVE | SWP_NOSIZE;
      }
      break;
    case SW_SHOWNOACTIVATE:
      if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        target = w->normalRect;
        kind = static_cast<int>(SIZE_RESTORED);
        flags |= SWP_FRAMECHANGED;
      } else {
        flags |= SWP_NOMOVE | SWP_NOSIZE;
      }
      flags |= SWP_NOACTIVATE;
      break;
    case SW_SHOW:
      flags |= SWP_NOMOVE | SWP_NOSIZE;
      break;
    case SW_SHOWNA:
    default:
      flags |= SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
      break;
  }
  if (!top || !show) flags |= SWP_NOACTIVATE;
  if (!wasVisible && show) {
    sendMsg(hwnd, WM_SHOWWINDOW, TRUE, 0);
    if (w->destroyed) return wasVisible;
  }
  // Showing a window brings it to the top of its siblings.
  if (!wasVisible && !(flags & SWP_NOACTIVATE)) flags &= ~SWP_NOZORDER;
  setWindowPosImpl(hwnd, HWND_TOP, target.left, target.top, target.right - target.left,
                   target.bottom - target.top, flags | (show ? SWP_SHOWWINDOW : 0), kind);
  if ((cmd == SW_MINIMIZE || cmd == SW_SHOWMINNOACTIVE) && ws().active == hwnd) {
    // The window stays visible as an icon; the activation goes elsewhere.
    HWND next = nullptr;
    for (HWND t : desktopWnd()->children)
      if (t != hwnd && IsWindowVisible(t) && IsWindowEnabled(t) && !IsIconic(t)) { next = t; break; }
    if (next) setActive(next, WA_ACTIVE);
  }
  return wasVisible;
}

BOOL IsIconic(HWND hwnd) {
  Window* w = wnd(hwnd);
  return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
  Window* w = wnd(hwnd);
  return w && (w->style & WS_MAXIMIZE);
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT& wp) {
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  wp.flags = w->restoreToMax ? WPF_RESTORETOMAXIMIZED : 0;
  wp.showCmd = !(w->style & WS_VISIBLE) ? SW_HIDE
               : (w->style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
               : (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                          : SW_SHOWNORMAL;
  wp.rcNormalPosition = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->normalRect : w->rect;
  wp.ptMinPosition = w->minPos;
  wp.ptMaxPosition = POINT{-1, -1};
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT& wp) {
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  if (wp.flags & WPF_SETMINPOSITION) w->minPos = wp.ptMinPosition;
  w->restoreToMax = (wp.flags & WPF_RESTORETOMAXIMIZED) != 0;
  w->normalRect = wp.rcNormalPosition;
  if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    const RECT& r = wp.rcNormalPosition;
    setWindowPosImpl(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!wnd(hwnd)) return FALSE;
  ShowWindow(hwnd, static_cast<int>(wp.showCmd));
  if (Window* ww = wnd(hwnd)) ww->normalRect = wp.rcNormalPosition;
  return TRUE;
}

BOOL ArrangeIconicWindows(HWND parent) {
  Window* p = parent == ws().desktop || !parent ? desktopWnd() : wnd(parent);
  if (!p) return FALSE;
  const int cx = GetSystemMetrics(SM_CXMINIMIZED), cy = GetSystemMetrics(SM_CYMINIMIZED);
  RECT area = p == desktopWnd() ? p->rect : clientRectOf(p);
  int x = 0, y = area.bottom - cy, n = 0;
  // In sibling order (creation order unless restacked), along the bottom edge, row above row.
  std::vector<HWND> kids = p->children;
  for (HWND k : kids) {
    Window* w = wnd(k);
    if (!w || !(w->style & WS_MINIMIZE) || !(w->style & WS_VISIBLE)) continue;
    if (x + cx > area.right && x > 0) { x = 0; y -= cy; }
    w->minPos = POINT{x, y};
    setWindowPosImpl(k, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    x += cx;
    ++n;
  }
  return n > 0 ? cy : 0;
}

//------------------------------------------------------------------------------
// Rectangles and coordinate mapping
//------------------------------------------------------------------------------
BOOL SetRect(RECT& r, int left, int top, int right, int bottom) {
  r = RECT{left, top, right, bottom};
  return TRUE;
}
BOOL SetRectEmpty(RECT& r) {
  r = RECT{};
  return TRUE;
}
BOOL IsRectEmpty(const RECT& r) { return RectSet::isEmpty(r); }
BOOL PtInRect(const RECT& r, POINT pt) {
  return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}
BOOL OffsetRect(RECT& r, int dx, int dy) {
  r.left += dx; r.right += dx;
  r.top += dy; r.bottom += dy;
  return TRUE;
}
BOOL InflateRect(RECT& r, int dx, int dy) {
  r.left -= dx; r.right += dx;
  r.top -= dy; r.bottom += dy;
  return TRUE;
}
BOOL IntersectRect(RECT& out, const RECT& a, const RECT& b) {
  out = RectSet::intersect(a, b);
  return !RectSet::isEmpty(out);
}
BOOL UnionRect(RECT& out, const RECT& a, const RECT& b) {
  if (RectSet::isEmpty(a)) out = b;
  else if (RectSet::isEmpty(b)) out = a;
  else out = RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
  return !RectSet::isEmpty(out);
}
BOOL EqualRect(const RECT& a, const RECT& b) { return a == b; }
BOOL CopyRect(RECT& out, const RECT& in) {
  out = in;
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT& pt) {
  if (!IsWindow(hwnd)) return FALSE;
  POINT o = clientOriginScreen(hwnd);
  pt.x += o.x;
  pt.y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT& pt) {
  if (!IsWindow(hwnd)) return FALSE;
  POINT o = clientOriginScreen(hwnd);
  pt.x -= o.x;
  pt.y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT a = from ? clientOriginScreen(from) : POINT{0, 0};
  POINT b = to ? clientOriginScreen(to) : POINT{0, 0};
  const int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

}  // namespace win
