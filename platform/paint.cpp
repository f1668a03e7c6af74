// platform/paint.cpp: update regions, painting, backing stores, the frame drawn by the
// window layer, window device contexts and the scroll bars of a window.
// Sections (grep "[SECTION]"): colours | backing stores | update regions | painting |
//   scrolling | frame drawing | scroll bars | device contexts
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/scrollbar.h"
#include "platform/window_internal.h"

namespace win {

//------------------------------------------------------------------------------
// [SECTION] Colours
//------------------------------------------------------------------------------
COLORREF sysColor(int index) {
  static const COLORREF table[] = {
      RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128), RGB(192, 192, 192),
      RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
      RGB(192, 192, 192), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255),
      RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
      RGB(255, 255, 255), RGB(0, 0, 0),       RGB(223, 223, 223), RGB(0, 0, 0),       RGB(255, 255, 225)};
  if (index < 0 || index >= static_cast<int>(sizeof table / sizeof table[0])) return 0;
  return table[index];
}

COLORREF GetSysColor(int index) { return sysColor(index); }

// A class background is a brush, or a system colour index + 1.
bool brushToColor(HBRUSH brush, COLORREF& c) {
  const std::uintptr_t v = reinterpret_cast<std::uintptr_t>(brush);
  if (!brush) return false;
  if (v <= static_cast<std::uintptr_t>(COLOR_INFOBK + 1)) {
    c = sysColor(static_cast<int>(v) - 1);
    return true;
  }
  WinSys& s = ws();
  return s.dc.brushColor && s.dc.brushColor(brush, c);
}

static void setColor(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

//------------------------------------------------------------------------------
// [SECTION] Backing stores
//------------------------------------------------------------------------------
void ensureSurface(Window* w) {
  const int width = std::max<int>(1, w->rect.right - w->rect.left);
  const int height = std::max<int>(1, w->rect.bottom - w->rect.top);
  if (w->surface && cairo_image_surface_get_width(w->surface) == width &&
      cairo_image_surface_get_height(w->surface) == height)
    return;
  cairo_surface_t* fresh = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(fresh);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  if (w->surface) {
    // Keep what was drawn; the rest is invalid anyway.
    cairo_set_source_surface(cr, w->surface, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(w->surface);
  }
  cairo_destroy(cr);
  w->surface = fresh;
}

void releaseSurface(Window* w) {
  if (w->surface) cairo_surface_destroy(w->surface);
  w->surface = nullptr;
}

// What of a window (or its client area) may be drawn, in its top-level store's coordinates.
static RectSet visibleArea(HWND hwnd, bool wholeWindow, POINT& origin) {
  HWND top = topLevelOf(hwnd);
  Window* w = wnd(hwnd);
  RectSet out;
  if (!w || !top) return out;
  const RECT topScreen = windowRectScreen(top);
  const RECT ws_ = windowRectScreen(hwnd);
  origin = POINT{ws_.left - topScreen.left, ws_.top - topScreen.top};
  RECT area = wholeWindow ? RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top} : w->client;
  OffsetRect(area, origin.x, origin.y);
  if (!wholeWindow) {
    origin.x += w->client.left;
    origin.y += w->client.top;
  }
  if (!visibleChain(hwnd)) return out;
  out.add(area);
  // Inside every ancestor's client area.
  for (Window* a = wnd(w->parent); a; a = wnd(a->parent)) {
    RECT c = a->client;
    const RECT as = windowRectScreen(a->handle);
    OffsetRect(c, as.left - topScreen.left, as.top - topScreen.top);
    out.intersect(c);
  }
  auto subtractWindow = [&](HWND h) {
    Window* o = wnd(h);
    if (!o || !(o->style & WS_VISIBLE)) return;
    RECT r = windowRectScreen(h);
    OffsetRect(r, -topScreen.left, -topScreen.top);
    out.subtract(r);
  };
  if (w->style & WS_CLIPCHILDREN)
    for (HWND c : w->children) subtractWindow(c);
  // Siblings above, for this window and every ancestor that clips its siblings.
  for (Window* x = w; x && !isTopLevel(x); x = wnd(x->parent)) {
    if (!(x->style & WS_CLIPSIBLINGS)) continue;
    Window* p = wnd(x->parent);
    if (!p) break;
    for (HWND sib : p->children) {
      if (sib == x->handle) break;
      subtractWindow(sib);
    }
  }
  return out;
}

bool GetWindowSurface(HWND hwnd, bool wholeWindow, WindowSurface& out) {
  HWND top = topLevelOf(hwnd);
  Window* t = wnd(top);
  Window* w = wnd(hwnd);
  if (!t || !w) return false;
  ensureSurface(t);
  t->storeTouched = true;
  POINT origin;
  RectSet vis = visibleArea(hwnd, wholeWindow, origin);
  out.surface = t->surface;
  out.origin = origin;
  out.size = wholeWindow ? SIZE{w->rect.right - w->rect.left, w->rect.bottom - w->rect.top}
                         : SIZE{w->client.right - w->client.left, w->client.bottom - w->client.top};
  out.visible = vis.rects();
  return true;
}

void SetDcProvider(const DcProvider& provider) { ws().dc = provider; }
void SetMenuBarPainter(MenuBarPainter painter) { ws().menuBarPainter = painter; }

// A cairo context on a window's store, clipped to what of the area is visible; origin at the
// area's (0, 0). Null when nothing is visible.
static cairo_t* areaContext(HWND hwnd, bool wholeWindow, const RectSet* limit) {
  WindowSurface s;
  if (!GetWindowSurface(hwnd, wholeWindow, s) || s.visible.empty()) return nullptr;
  RectSet clip;
  for (const RECT& r : s.visible) clip.add(r);
  if (limit) {
    RectSet l = *limit;
    l.offset(s.origin.x, s.origin.y);
    clip.intersect(l);
  }
  if (clip.empty()) return nullptr;
  cairo_t* cr = cairo_create(s.surface);
  for (const RECT& r : clip.rects()) cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
  cairo_clip(cr);
  cairo_translate(cr, s.origin.x, s.origin.y);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  return cr;
}

void fillBackground(HWND hwnd, HBRUSH brush, const RectSet& rgn) {
  COLORREF c;
  if (!brushToColor(brush, c)) return;
  cairo_t* cr = areaContext(hwnd, false, &rgn);
  if (!cr) return;
  setColor(cr, c);
  cairo_paint(cr);
  cairo_destroy(cr);
}

//------------------------------------------------------------------------------
// [SECTION] Update regions
//------------------------------------------------------------------------------
void invalidate(HWND hwnd, const RectSet& rgn, bool erase, bool children, bool frame) {
  Window* w = wnd(hwnd);
  if (!w) return;
  RectSet r = rgn;
  r.intersect(clientRectOf(w));
  if (!r.empty()) {
    w->update.add(r);
    if (erase) w->erase = true;
  }
  if (frame) w->ncDirty = true;
  if (!children) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids) {
    Window* c = wnd(k);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    RectSet part = rgn;
    part.intersect(clientRectOf(w));
    part.intersect(c->rect);
    if (part.empty()) continue;
    part.offset(-c->rect.left, -c->rect.top);   // child window coordinates
    RectSet inClient = part;
    inClient.intersect(c->client);
    RectSet inFrame = part;
    inFrame.subtract(c->client);
    inClient.offset(-c->client.left, -c->client.top);
    // The parent's drawing covers every descendant in the area.
    invalidate(k, inClient, erase, true, !inFrame.empty());
  }
}

void invalidateAll(HWND hwnd, bool erase) {
  Window* w = wnd(hwnd);
  if (!w) return;
  w->update.clear();
  w->update.add(clientRectOf(w));
  if (erase) w->erase = true;
  w->ncDirty = true;
  for (HWND k : w->children) invalidateAll(k, erase);
}

static bool paintSearch(HWND h, HWND filter, bool inFilter, HWND& out) {
  Window* w = wnd(h);
  if (!w || !(w->style & WS_VISIBLE)) return false;
  inFilter = inFilter || h == filter;
  if (inFilter && w->ncDirty && (w->update.empty() && !w->internalPaint)) {
    // A frame alone is drawn at once; no paint message is needed for it.
    w->ncDirty = false;
    sendMsg(h, WM_NCPAINT, 1, 0);
    if (!(w = wnd(h))) return false;
  }
  if (inFilter && (!w->update.empty() || w->internalPaint)) {
    out = h;
    return true;
  }
  std::vector<HWND> kids = w->children;
  for (HWND k : kids)
    if (paintSearch(k, filter, inFilter, out)) return true;
  return false;
}

bool findPaintWindow(HWND filter, HWND& out) {
  std::vector<HWND> tops = desktopWnd()->children;
  for (HWND t : tops)
    if (paintSearch(t, filter, filter == nullptr, out)) return true;
  return false;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  UINT flags = RDW_INVALIDATE | (erase ? RDW_ERASE : 0);
  return RedrawWindow(hwnd, rect, nullptr, flags);
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
  std::vector<RECT> rects;
  if (region && !(ws().dc.regionRects && ws().dc.regionRects(region, rects))) return FALSE;
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  if (!region) return InvalidateRect(hwnd, nullptr, erase);
  RectSet r;
  for (const RECT& x : rects) r.add(x);
  invalidate(hwnd, r, erase != 0, !(w->style & WS_CLIPCHILDREN), false);
  return TRUE;
}

BOOL ValidateRgn(HWND hwnd, HRGN region) {
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  if (!region) return ValidateRect(hwnd, nullptr);
  std::vector<RECT> rects;
  if (!(ws().dc.regionRects && ws().dc.regionRects(region, rects))) return FALSE;
  for (const RECT& x : rects) w->update.subtract(x);
  return TRUE;
}

static void eraseNow(HWND hwnd) {
  Window* w = wnd(hwnd);
  if (!w || !w->erase) return;
  w->erase = false;
  HDC dc = nullptr;
  WinSys& s = ws();
  if (s.dc.getDC) dc = s.dc.getDC(hwnd, false, w->update.rects());
  w->painting = w->update;
  sendMsg(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if ((w = wnd(hwnd))) w->painting.clear();
  if (dc && s.dc.releaseDC) s.dc.releaseDC(hwnd, dc);
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase) {
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  if (erase) eraseNow(hwnd);
  if (!(w = wnd(hwnd))) return FALSE;
  RECT b = w->update.bounds();
  if (rect) *rect = b;
  return !w->update.empty();
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase) {
  Window* w = wnd(hwnd);
  if (!w) return ERROR_REGION;
  if (erase) eraseNow(hwnd);
  if (!(w = wnd(hwnd))) return ERROR_REGION;
  if (!(ws().dc.setRegionRects && ws().dc.setRegionRects(region, w->update.rects()))) return ERROR_REGION;
  return w->update.empty() ? NULLREGION : w->update.rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

static void updateNow(HWND hwnd, bool children) {
  Window* w = wnd(hwnd);
  if (!w || !visibleChain(hwnd)) return;
  if (w->ncDirty && w->update.empty()) {
    w->ncDirty = false;
    sendMsg(hwnd, WM_NCPAINT, 1, 0);
    if (!(w = wnd(hwnd))) return;
  }
  if (!w->update.empty() || w->internalPaint) {
    w->internalPaint = false;
    sendMsg(hwnd, WM_PAINT, 0, 0);
    if (!(w = wnd(hwnd))) return;
  }
  if (!children) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids) updateNow(k, true);
}

BOOL UpdateWindow(HWND hwnd) {
  if (!wnd(hwnd)) return FALSE;
  updateNow(hwnd, false);
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
  if (!hwnd) {
    std::vector<HWND> tops = desktopWnd()->children;
    for (HWND t : tops) RedrawWindow(t, nullptr, nullptr, flags | RDW_ALLCHILDREN);
    return TRUE;
  }
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  RectSet r;
  if (region) {
    std::vector<RECT> rects;
    if (!(ws().dc.regionRects && ws().dc.regionRects(region, rects))) return FALSE;
    for (const RECT& x : rects) r.add(x);
  } else if (rect) {
    r.add(*rect);
  } else {
    r.add(clientRectOf(w));
  }
  const bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
  if (flags & RDW_INVALIDATE) {
    invalidate(hwnd, r, (flags & RDW_ERASE) != 0, children, (flags & RDW_FRAME) != 0);
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
  }
  if (flags & RDW_VALIDATE) {
    w->update.subtract(r);
    if (!rect && !region) {
      w->update.clear();
      if (flags & RDW_FRAME) w->ncDirty = false;
    }
    if (w->update.empty()) w->erase = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
    if (children) {
      std::vector<HWND> kids = w->children;
      for (HWND k : kids) {
        Window* c = wnd(k);
        if (!c) continue;
        RectSet part = r;
        part.offset(-c->rect.left - c->client.left, -c->rect.top - c->client.top);
        c->update.subtract(part);
        if (c->update.empty()) c->erase = false;
      }
    }
  }
  if (flags & RDW_ERASENOW) eraseNow(hwnd);
  if (flags & RDW_UPDATENOW) updateNow(hwnd, children);
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Painting
//------------------------------------------------------------------------------
HDC BeginPaint(HWND hwnd, PAINTSTRUCT& ps) {
  WinSys& s = ws();
  Window* w = wnd(hwnd);
  ps = PAINTSTRUCT{};
  if (!w) return nullptr;
  if (w->ncDirty) {
    w->ncDirty = false;
    sendMsg(hwnd, WM_NCPAINT, 1, 0);
    if (!(w = wnd(hwnd))) return nullptr;
  }
  w->painting = w->update;
  w->painting.intersect(clientRectOf(w));
  w->update.clear();
  w->internalPaint = false;
  ps.rcPaint = w->painting.bounds();
  ps.hdc = s.dc.getDC ? s.dc.getDC(hwnd, false, w->painting.empty() ? std::vector<RECT>{RECT{}} : w->painting.rects()) : nullptr;
  if (w->erase) {
    w->erase = false;
    LRESULT erased = sendMsg(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps.hdc), 0);
    ps.fErase = erased ? FALSE : TRUE;
  }
  return ps.hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT& ps) {
  WinSys& s = ws();
  if (ps.hdc && s.dc.releaseDC) s.dc.releaseDC(hwnd, ps.hdc);
  if (Window* w = wnd(hwnd)) w->painting.clear();
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Scrolling
//------------------------------------------------------------------------------
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   RECT* updateRect, UINT flags) {
  WinSys& s = ws();
  Window* w = wnd(hwnd);
  if (!w) return ERROR_REGION;
  const RECT client = clientRectOf(w);
  RECT area = scroll ? RectSet::intersect(*scroll, client) : client;
  RECT clipR = clip ? RectSet::intersect(*clip, client) : client;
  RECT src = RectSet::intersect(area, clipR);

  // Move the pixels that are visible now.
  RectSet moved;
  WindowSurface surf;
  if (GetWindowSurface(hwnd, false, surf) && !surf.visible.empty() && (dx || dy)) {
    RectSet vis;
    for (const RECT& r : surf.visible) vis.add(r);
    vis.offset(-surf.origin.x, -surf.origin.y);
    RectSet from(src);
    from.intersect(vis);
    moved = from;
    moved.offset(dx, dy);
    moved.intersect(clipR);
    moved.intersect(area);
    moved.intersect(vis);
    if (!moved.empty()) {
      cairo_surface_t* copy = cairo_surface_create_similar_image(surf.surface, CAIRO_FORMAT_RGB24,
                                                                 cairo_image_surface_get_width(surf.surface),
                                                                 cairo_image_surface_get_height(surf.surface));
      cairo_t* c0 = cairo_create(copy);
      cairo_set_source_surface(c0, surf.surface, 0, 0);
      cairo_paint(c0);
      cairo_destroy(c0);
      cairo_t* cr = cairo_create(surf.surface);
      for (const RECT& r : moved.rects())
        cairo_rectangle(cr, r.left + surf.origin.x, r.top + surf.origin.y, r.right - r.left, r.bottom - r.top);
      cairo_clip(cr);
      cairo_set_source_surface(cr, copy, dx, dy);
      cairo_paint(cr);
      cairo_destroy(cr);
      cairo_surface_destroy(copy);
    }
  } else if (!dx && !dy) {
    moved.add(src);
  }
  // What was already invalid moves along with the pixels.
  RectSet invalidInArea = w->update;
  invalidInArea.intersect(src);
  if (!invalidInArea.empty()) {
    w->update.subtract(src);
    invalidInArea.offset(dx, dy);
    invalidInArea.intersect(clipR);
    w->update.add(invalidInArea);
  }
  RectSet uncovered(src);
  uncovered.subtract(moved);

  if (flags & SW_SCROLLCHILDREN) {
    std::vector<HWND> kids = w->children;
    for (HWND k : kids) {
      Window* c = wnd(k);
      if (!c) continue;
      if (scroll && RectSet::isEmpty(RectSet::intersect(c->rect, area))) continue;
      setWindowPosImpl(k, nullptr, c->rect.left + dx, c->rect.top + dy, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
  }
  if (!(w = wnd(hwnd))) return ERROR_REGION;
  if (flags & SW_INVALIDATE)
    invalidate(hwnd, uncovered, (flags & SW_ERASE) != 0, !(w->style & WS_CLIPCHILDREN) || (flags & SW_SCROLLCHILDREN), false);
  if (updateRect) *updateRect = uncovered.bounds();
  if (update && s.dc.setRegionRects) s.dc.setRegionRects(update, uncovered.rects());
  return uncovered.empty() ? NULLREGION : uncovered.rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
  UINT flags = SW_INVALIDATE | SW_ERASE;
  if (!scroll) flags |= SW_SCROLLCHILDREN;
  return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR_REGION;
}

//------------------------------------------------------------------------------
// [SECTION] Frame drawing
//------------------------------------------------------------------------------
static void fillRect(cairo_t* cr, const RECT& r, COLORREF c) {
  if (RectSet::isEmpty(r)) return;
  setColor(cr, c);
  cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
  cairo_fill(cr);
}

// A raised (or sunken) edge one pixel wide round r.
static void edge(cairo_t* cr, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  fillRect(cr, RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
  fillRect(cr, RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
  fillRect(cr, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  fillRect(cr, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

static void button(cairo_t* cr, const RECT& r, bool pressed) {
  fillRect(cr, r, sysColor(COLOR_BTNFACE));
  if (pressed) {
    edge(cr, r, sysColor(COLOR_3DDKSHADOW), sysColor(COLOR_BTNHIGHLIGHT));
  } else {
    edge(cr, r, sysColor(COLOR_BTNHIGHLIGHT), sysColor(COLOR_3DDKSHADOW));
    RECT in{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    edge(cr, in, sysColor(COLOR_BTNFACE), sysColor(COLOR_BTNSHADOW));
  }
}

static void triangle(cairo_t* cr, const RECT& r, int direction, bool enabled) {
  // direction: 0 up, 1 down, 2 left, 3 right
  const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
  const double a = std::max(2.0, (r.right - r.left) / 4.0);
  setColor(cr, enabled ? sysColor(COLOR_BTNTEXT) : sysColor(COLOR_GRAYTEXT));
  switch (direction) {
    case 0: cairo_move_to(cr, cx - a, cy + a / 2); cairo_line_to(cr, cx + a, cy + a / 2); cairo_line_to(cr, cx, cy - a / 2); break;
    case 1: cairo_move_to(cr, cx - a, cy - a / 2); cairo_line_to(cr, cx + a, cy - a / 2); cairo_line_to(cr, cx, cy + a / 2); break;
    case 2: cairo_move_to(cr, cx + a / 2, cy - a); cairo_line_to(cr, cx + a / 2, cy + a); cairo_line_to(cr, cx - a / 2, cy); break;
    default: cairo_move_to(cr, cx - a / 2, cy - a); cairo_line_to(cr, cx - a / 2, cy + a); cairo_line_to(cr, cx + a / 2, cy); break;
  }
  cairo_close_path(cr);
  cairo_fill(cr);
}

static void thumbGeometry(const ScrollBar& b, int trackStart, int trackLength, int& thumbStart, int& thumbLength);

static void drawScrollBar(cairo_t* cr, const RECT& r, const ScrollBar& b, bool vertical) {
  if (RectSet::isEmpty(r)) return;
  fillRect(cr, r, RGB(224, 224, 224));
  const int arrow = vertical ? std::min<int>(GetSystemMetrics(SM_CYVSCROLL), (r.bottom - r.top) / 2)
                             : std::min<int>(GetSystemMetrics(SM_CXHSCROLL), (r.right - r.left) / 2);
  RECT a1 = vertical ? RECT{r.left, r.top, r.right, r.top + arrow} : RECT{r.left, r.top, r.left + arrow, r.bottom};
  RECT a2 = vertical ? RECT{r.left, r.bottom - arrow, r.right, r.bottom} : RECT{r.right - arrow, r.top, r.right, r.bottom};
  button(cr, a1, false);
  button(cr, a2, false);
  triangle(cr, a1, vertical ? 0 : 2, b.enabled);
  triangle(cr, a2, vertical ? 1 : 3, b.enabled);
  const int trackStart = vertical ? a1.bottom : a1.right;
  const int trackLength = (vertical ? a2.top : a2.left) - trackStart;
  int ts = 0, tl = 0;
  thumbGeometry(b, trackStart, trackLength, ts, tl);
  if (tl > 0 && b.enabled) {
    RECT t = vertical ? RECT{r.left, ts, r.right, ts + tl} : RECT{ts, r.top, ts + tl, r.bottom};
    button(cr, t, false);
  }
}

static void thumbGeometry(const ScrollBar& b, int trackStart, int trackLength, int& thumbStart, int& thumbLength) {
  const int range = b.max - b.min + 1;
  thumbStart = trackStart;
  thumbLength = 0;
  if (range <= 0 || trackLength < 8) return;
  int len = b.page ? static_cast<int>(static_cast<long long>(trackLength) * static_cast<int>(b.page) / range)
                   : GetSystemMetrics(SM_CXVSCROLL);
  len = std::clamp(len, 8, trackLength);
  const int maxPos = b.max - std::max<int>(static_cast<int>(b.page) - 1, 0);
  const int span = maxPos - b.min;
  const int pos = b.tracking ? b.trackPos : b.pos;
  thumbStart = trackStart + (span > 0 ? static_cast<int>(static_cast<long long>(pos - b.min) * (trackLength - len) / span) : 0);
  thumbLength = len;
}

void paintNonClient(HWND hwnd) {
  Window* w = wnd(hwnd);
  if (!w) return;
  RectSet frame(RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top});
  frame.subtract(w->client);
  if (frame.empty()) return;
  cairo_t* cr = areaContext(hwnd, true, &frame);
  if (!cr) return;
  const int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
  const RECT outer{0, 0, width, height};
  fillRect(cr, outer, sysColor(w->ncActive ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
  if (w->style & (WS_THICKFRAME | WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) {
    edge(cr, outer, sysColor(COLOR_3DLIGHT), sysColor(COLOR_3DDKSHADOW));
    RECT in{1, 1, width - 1, height - 1};
    edge(cr, in, sysColor(COLOR_BTNHIGHLIGHT), sysColor(COLOR_BTNSHADOW));
  } else if (w->style & WS_BORDER) {
    edge(cr, outer, sysColor(COLOR_WINDOWFRAME), sysColor(COLOR_WINDOWFRAME));
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) {
    RECT ce{w->client.left - 2, w->client.top - 2, w->client.right + 2, w->client.bottom + 2};
    if (w->style & WS_VSCROLL) ce.right += GetSystemMetrics(SM_CXVSCROLL);
    if (w->style & WS_HSCROLL) ce.bottom += GetSystemMetrics(SM_CYHSCROLL);
    edge(cr, ce, sysColor(COLOR_BTNSHADOW), sysColor(COLOR_BTNHIGHLIGHT));
    RECT in{ce.left + 1, ce.top + 1, ce.right - 1, ce.bottom - 1};
    edge(cr, in, sysColor(COLOR_3DDKSHADOW), sysColor(COLOR_3DLIGHT));
  }
  NcLayout l = ncLayout(w);
  if (!RectSet::isEmpty(l.caption)) {
    fillRect(cr, l.caption, sysColor(w->ncActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    setColor(cr, sysColor(w->ncActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    cairo_save(cr);
    int textRight = l.caption.right;
    if (!RectSet::isEmpty(l.minButton)) textRight = l.minButton.left;
    else if (!RectSet::isEmpty(l.closeButton)) textRight = l.closeButton.left;
    cairo_rectangle(cr, l.caption.left, l.caption.top, textRight - l.caption.left - 2, l.caption.bottom - l.caption.top);
    cairo_clip(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, (l.caption.bottom - l.caption.top) * 0.6);
    const std::string title = utf8FromCp1252(w->text);
    cairo_move_to(cr, l.caption.left + 4, l.caption.bottom - (l.caption.bottom - l.caption.top) * 0.28);
    cairo_show_text(cr, title.c_str());
    cairo_restore(cr);
    if (!RectSet::isEmpty(l.closeButton)) {
      button(cr, l.closeButton, false);
      setColor(cr, sysColor(COLOR_BTNTEXT));
      const RECT& b = l.closeButton;
      cairo_set_line_width(cr, 1.5);
      cairo_move_to(cr, b.left + 4, b.top + 3);
      cairo_line_to(cr, b.right - 4, b.bottom - 3);
      cairo_move_to(cr, b.right - 4, b.top + 3);
      cairo_line_to(cr, b.left + 4, b.bottom - 3);
      cairo_stroke(cr);
    }
    if (!RectSet::isEmpty(l.maxButton)) {
      button(cr, l.maxButton, false);
      button(cr, l.minButton, false);
      setColor(cr, (w->style & WS_MAXIMIZEBOX) ? sysColor(COLOR_BTNTEXT) : sysColor(COLOR_GRAYTEXT));
      const RECT& m = l.maxButton;
      cairo_rectangle(cr, m.left + 3.5, m.top + 3.5, m.right - m.left - 7, m.bottom - m.top - 7);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      setColor(cr, (w->style & WS_MINIMIZEBOX) ? sysColor(COLOR_BTNTEXT) : sysColor(COLOR_GRAYTEXT));
      const RECT& n = l.minButton;
      cairo_rectangle(cr, n.left + 4, n.bottom - 5, n.right - n.left - 8, 2);
      cairo_fill(cr);
    }
  }
  if (!RectSet::isEmpty(l.menuBar)) {
    fillRect(cr, l.menuBar, sysColor(COLOR_MENU));
    if (ws().menuBarPainter) {
      cairo_save(cr);
      ws().menuBarPainter(hwnd, cr, l.menuBar);
      cairo_restore(cr);
    }
  }
  drawScrollBar(cr, l.vscroll, w->vbar, true);
  drawScrollBar(cr, l.hscroll, w->hbar, false);
  if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL))
    fillRect(cr, RECT{l.vscroll.left, l.hscroll.top, l.vscroll.right, l.hscroll.bottom}, sysColor(COLOR_BTNFACE));
  cairo_destroy(cr);
}

//------------------------------------------------------------------------------
// [SECTION] Scroll bars
//------------------------------------------------------------------------------
static ScrollBar* barOf(Window* w, int bar) {
  if (!w) return nullptr;
  if (bar == SB_HORZ) return &w->hbar;
  if (bar == SB_VERT) return &w->vbar;
  return nullptr;
}

static void clampBar(ScrollBar& b) {
  if (b.max < b.min) b.max = b.min;
  const int range = b.max - b.min + 1;
  if (b.page > static_cast<UINT>(range)) b.page = static_cast<UINT>(range);
  const int maxPos = b.max - std::max<int>(static_cast<int>(b.page) - 1, 0);
  b.pos = std::clamp(b.pos, b.min, std::max(b.min, maxPos));
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  DWORD bits = bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : 0;
  if (!bits) return FALSE;
  const DWORD before = w->style;
  if (show) w->style |= bits;
  else w->style &= ~bits;
  if (w->style != before)
    setWindowPosImpl(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO& si, BOOL redraw) {
  // A scroll-bar control keeps its own values.
  if (bar == SB_CTL)
    return static_cast<int>(sendMsg(hwnd, SBM_SETSCROLLINFO, static_cast<WPARAM>(redraw), reinterpret_cast<LPARAM>(&si)));
  Window* w = wnd(hwnd);
  ScrollBar* b = barOf(w, bar);
  if (!b) return 0;
  if (si.fMask & SIF_RANGE) { b->min = si.nMin; b->max = si.nMax; }
  if (si.fMask & SIF_PAGE) b->page = si.nPage;
  if (si.fMask & SIF_POS) b->pos = si.nPos;
  clampBar(*b);
  const int pos = b->pos;
  if (si.fMask & (SIF_RANGE | SIF_PAGE)) {
    // A bar with nothing to scroll goes away, unless it is to stay disabled.
    const bool needed = b->max > b->min && static_cast<int>(b->page) <= b->max - b->min;
    const DWORD bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    if (si.fMask & SIF_DISABLENOSCROLL) {
      b->enabled = needed;
      if (!(w->style & bit)) ShowScrollBar(hwnd, bar, TRUE);
    } else if (needed != ((w->style & bit) != 0)) {
      ShowScrollBar(hwnd, bar, needed);
    }
  }
  if ((w = wnd(hwnd)) && redraw) {
    w->ncDirty = true;
    if (visibleChain(hwnd)) {
      w->ncDirty = false;
      paintNonClient(hwnd);
    }
  }
  return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO& si) {
  if (bar == SB_CTL) return static_cast<BOOL>(sendMsg(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&si)));
  ScrollBar* b = barOf(wnd(hwnd), bar);
  if (!b) return FALSE;
  if (si.fMask & SIF_RANGE) { si.nMin = b->min; si.nMax = b->max; }
  if (si.fMask & SIF_PAGE) si.nPage = b->page;
  if (si.fMask & SIF_POS) si.nPos = b->pos;
  if (si.fMask & SIF_TRACKPOS) si.nTrackPos = b->tracking ? b->trackPos : b->pos;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  if (bar == SB_CTL) return static_cast<int>(sendMsg(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
  ScrollBar* b = barOf(wnd(hwnd), bar);
  if (!b) return 0;
  const int old = b->pos;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  if (bar == SB_CTL) return static_cast<int>(sendMsg(hwnd, SBM_GETPOS, 0, 0));
  ScrollBar* b = barOf(wnd(hwnd), bar);
  return b ? b->pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  if (bar == SB_CTL) {
    if (!wnd(hwnd)) return FALSE;
    sendMsg(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minPos), maxPos);
    return TRUE;
  }
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = minPos;
  si.nMax = maxPos;
  if (!barOf(wnd(hwnd), bar)) return FALSE;
  SetScrollInfo(hwnd, bar, si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int& minPos, int& maxPos) {
  if (bar == SB_CTL) {
    if (!wnd(hwnd)) return FALSE;
    sendMsg(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(&minPos), reinterpret_cast<LPARAM>(&maxPos));
    return TRUE;
  }
  ScrollBar* b = barOf(wnd(hwnd), bar);
  if (!b) return FALSE;
  minPos = b->min;
  maxPos = b->max;
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  Window* w = wnd(hwnd);
  if (!w) return FALSE;
  if (bar == static_cast<UINT>(SB_CTL)) return static_cast<BOOL>(sendMsg(hwnd, SBM_ENABLE_ARROWS, arrows, 0));
  const bool on = arrows == ESB_ENABLE_BOTH;
  if (bar == SB_HORZ || bar == SB_BOTH) w->hbar.enabled = on;
  if (bar == SB_VERT || bar == SB_BOTH) w->vbar.enabled = on;
  w->ncDirty = true;
  return TRUE;
}

// The part of a window's scroll bar under a window-coordinate point, as a scroll request;
// -1 for the thumb. Used by the scroll tracking of default processing.
int scrollPart(HWND hwnd, int bar, POINT p, int& thumbStart, int& thumbLength, int& trackStart, int& trackLength) {
  Window* w = wnd(hwnd);
  if (!w) return SB_ENDSCROLL;
  NcLayout l = ncLayout(w);
  const bool vertical = bar == SB_VERT;
  const RECT r = vertical ? l.vscroll : l.hscroll;
  const ScrollBar& b = vertical ? w->vbar : w->hbar;
  const int arrow = vertical ? std::min<int>(GetSystemMetrics(SM_CYVSCROLL), (r.bottom - r.top) / 2)
                             : std::min<int>(GetSystemMetrics(SM_CXHSCROLL), (r.right - r.left) / 2);
  const int lo = vertical ? r.top : r.left, hi = vertical ? r.bottom : r.right;
  const int v = vertical ? p.y : p.x;
  trackStart = lo + arrow;
  trackLength = hi - arrow - trackStart;
  thumbGeometry(b, trackStart, trackLength, thumbStart, thumbLength);
  if (v < lo + arrow) return SB_LINEUP;
  if (v >= hi - arrow) return SB_LINEDOWN;
  if (thumbLength > 0 && v >= thumbStart && v < thumbStart + thumbLength) return -1;
  return v < thumbStart ? SB_PAGEUP : SB_PAGEDOWN;
}

void setScrollTracking(HWND hwnd, int bar, bool tracking, int trackPos) {
  ScrollBar* b = barOf(wnd(hwnd), bar);
  if (!b) return;
  b->tracking = tracking;
  b->trackPos = trackPos;
  if (visibleChain(hwnd)) paintNonClient(hwnd);
}

//------------------------------------------------------------------------------
// [SECTION] Device contexts
//------------------------------------------------------------------------------
HDC GetDC(HWND hwnd) {
  WinSys& s = ws();
  if (hwnd && !wnd(hwnd)) return nullptr;
  return s.dc.getDC ? s.dc.getDC(hwnd, false, {}) : nullptr;
}

HDC GetWindowDC(HWND hwnd) {
  WinSys& s = ws();
  if (hwnd && !wnd(hwnd)) return nullptr;
  return s.dc.getDC ? s.dc.getDC(hwnd, true, {}) : nullptr;
}

int ReleaseDC(HWND hwnd, HDC dc) {
  WinSys& s = ws();
  return dc && s.dc.releaseDC ? s.dc.releaseDC(hwnd, dc) : 0;
}

}  // namespace win
