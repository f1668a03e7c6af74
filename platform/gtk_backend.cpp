// platform/gtk_backend.cpp: the GTK 3 display backend. Each shown top-level window of the
// window system has one undecorated GTK window that shows its backing store; the frame in
// the store is ours. Mouse, wheel and keys enter the window system's queue as raw input,
// the same path the headless backend's injected input takes. Moves and sizes that start on
// our caption or border are handed to the window manager.
// Sections (grep "[SECTION]"): state | input from the desktop | desktop windows |
//   applying what the desktop changed | services | start-up and test queries
//
// Invariants: (1) no window procedure runs inside a GTK signal handler: the handlers queue
// raw input or note what the desktop changed, and the notes are applied once GTK returns
// (applyDesktopChanges), so window procedures never run nested in GTK's dispatch;
// (2) after every reconcile each visible top-level window has a native window shown with
// its rectangle (`sent`) and title, and every native window belongs to a live top-level
// window; (3) a geometry notice from the desktop that differs from what we last asked is
// taken as the user's (or the window manager's) change, except while our own request is
// still on its way (`pendingUntil`).
#include "platform/gtk_backend.h"

#include <gdk/gdkkeysyms.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/gtk_internal.h"
#include "platform/gtk_keys.h"
#include "platform/window_internal.h"

namespace win {
namespace {

//------------------------------------------------------------------------------
// [SECTION] State
//------------------------------------------------------------------------------
struct Native {
  GtkWidget* widget = nullptr;
  bool shown = false;
  bool iconified = false;
  RECT sent{};               // the geometry last asked of the desktop (screen coordinates)
  DWORD pendingUntil = 0;    // 0, or the time until which our own request may still be on its way
  std::string title;         // as last given to the desktop (Windows-1252)
  int draws = 0;
  bool awaitingDraw = false;   // asked to show the store again, not shown yet
  bool mapped = false;         // the server shows the window
};

// A key press as the desktop's layout read it, for TranslateMessage.
struct KeyRecord {
  int scan = 0;
  DWORD time = 0;
  int ch = -1;               // Windows-1252 character, 0 none, -1 for the standard table to decide
};

struct GtkState {
  bool active = false;
  gint64 start = 0;
  std::map<HWND, Native> natives;
  std::set<HWND> moved;               // geometry notices to apply
  std::vector<HWND> closeRequests;    // the desktop asked to close these
  std::map<HWND, bool> iconified;     // the desktop minimised (true) or restored (false) these
  bool focusChanged = false;
  HWND focusIn = nullptr;             // the native window that took the keyboard last
  HWND presented = nullptr;           // the active window last brought forward on the desktop
  guint32 lastButtonTime = 0;         // the desktop's time of the last button press
  guint32 lastEventTime = 0;
  std::deque<KeyRecord> keys;
  std::map<std::uintptr_t, GdkCursor*> cursors;
};

GtkState& gs() {
  static GtkState g;
  return g;
}

constexpr DWORD kRequestPatience = 500;   // ms that a move or size we asked for may take
constexpr std::size_t kKeyRecords = 64;

HWND hwndOf(GtkWidget* widget) {
  return static_cast<HWND>(g_object_get_data(G_OBJECT(widget), "tw-hwnd"));
}

Native* nativeOf(HWND h) {
  auto it = gs().natives.find(h);
  return it == gs().natives.end() ? nullptr : &it->second;
}

DWORD nowMs() { return static_cast<DWORD>(1000 + (g_get_monotonic_time() - gs().start) / 1000); }

GdkDevice* pointerDevice() {
  return gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
}

bool pointerPos(POINT& pt) {
  GdkDevice* pointer = pointerDevice();
  if (!pointer) return false;
  int x = 0, y = 0;
  gdk_device_get_position(pointer, nullptr, &x, &y);
  pt = POINT{x, y};
  return true;
}

//------------------------------------------------------------------------------
// [SECTION] Input from the desktop
//------------------------------------------------------------------------------
void queueMouse(UINT message, double xRoot, double yRoot, short wheel = 0) {
  injectMouse(message, static_cast<int>(std::lround(xRoot)), static_cast<int>(std::lround(yRoot)), wheel);
}

gboolean onButton(GtkWidget*, GdkEventButton* ev, gpointer) {
  // Double and triple presses are the desktop's; the window system makes its own.
  if (ev->type != GDK_BUTTON_PRESS && ev->type != GDK_BUTTON_RELEASE) return TRUE;
  UINT downMsg = 0;
  switch (ev->button) {
    case 1: downMsg = WM_LBUTTONDOWN; break;
    case 2: downMsg = WM_MBUTTONDOWN; break;
    case 3: downMsg = WM_RBUTTONDOWN; break;
    default: return TRUE;
  }
  const bool press = ev->type == GDK_BUTTON_PRESS;
  GtkState& g = gs();
  g.lastEventTime = ev->time;
  if (press) g.lastButtonTime = ev->time;
  queueMouse(press ? downMsg : downMsg + 1, ev->x_root, ev->y_root);
  return TRUE;
}

gboolean onMotion(GtkWidget*, GdkEventMotion* ev, gpointer) {
  gs().lastEventTime = ev->time;
  queueMouse(WM_MOUSEMOVE, ev->x_root, ev->y_root);
  return TRUE;
}

gboolean onScroll(GtkWidget*, GdkEventScroll* ev, gpointer) {
  gs().lastEventTime = ev->time;
  int delta = 0;
  if (ev->direction == GDK_SCROLL_UP) delta = WHEEL_DELTA;
  else if (ev->direction == GDK_SCROLL_DOWN) delta = -WHEEL_DELTA;
  else if (ev->direction == GDK_SCROLL_SMOOTH) delta = static_cast<int>(std::lround(-ev->delta_y * WHEEL_DELTA));
  if (delta) queueMouse(WM_MOUSEWHEEL, ev->x_root, ev->y_root, static_cast<short>(std::clamp(delta, -32768, 32767)));
  return TRUE;
}

// The virtual key of a key event: the key's own unshifted value names it (so Shift+1 is
// still the key '1'), except on the keypad, whose value depends on Num Lock.
int vkOfEvent(const GdkEventKey* ev, bool& extended) {
  extended = false;
  if (gtk::isKeypadKeyval(ev->keyval)) return gtk::vkOfKeyval(ev->keyval, extended);
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
  for (int group : {static_cast<int>(ev->group), 0}) {
    guint base = 0;
    if (gdk_keymap_translate_keyboard_state(keymap, ev->hardware_keycode, static_cast<GdkModifierType>(0), group,
                                            &base, nullptr, nullptr, nullptr)) {
      if (const int vk = gtk::vkOfKeyval(base, extended)) return vk;
    }
  }
  return gtk::vkOfKeyval(ev->keyval, extended);
}

gboolean onKey(GtkWidget*, GdkEventKey* ev, gpointer) {
  // AltGr only chooses characters; the character reaches TranslateMessage with its key.
  if (ev->keyval == GDK_KEY_ISO_Level3_Shift || ev->keyval == GDK_KEY_Mode_switch) return TRUE;
  bool extended = false;
  int vk = vkOfEvent(ev, extended);
  const gunichar u = gdk_keyval_to_unicode(ev->keyval);
  const bool printable = u >= 0x20 && u != 0x7F;
  if (!vk && printable) vk = gtk::kVkPacket;   // a character of the layout's own, such as an accented letter
  if (!vk) return TRUE;
  const bool down = ev->type == GDK_KEY_PRESS;
  GtkState& g = gs();
  g.lastEventTime = ev->time;
  const int scan = ev->hardware_keycode & 0xFF;
  // Key messages carry the pointer's place, which may be outside our windows by now.
  pointerPos(ws().cursorPos);
  injectKey(vk, down, extended, scan);
  if (down) {
    // Printable characters as the layout gives them; control keys are the table's.
    KeyRecord r;
    r.scan = scan;
    r.time = ws().queue.back().msg.time;   // the key-down just queued
    r.ch = printable ? gtk::cp1252OfUnicode(u) : -1;
    g.keys.push_back(r);
    if (g.keys.size() > kKeyRecords) g.keys.pop_front();
  }
  return TRUE;
}

gboolean onConfigure(GtkWidget* widget, GdkEventConfigure*, gpointer) {
  const HWND h = hwndOf(widget);
  gs().moved.insert(h);
  // Shown again at the new place and size, whatever the server kept.
  if (Native* n = nativeOf(h)) n->awaitingDraw = true;
  gtk_widget_queue_draw(widget);
  return FALSE;
}

gboolean onDelete(GtkWidget* widget, GdkEvent*, gpointer) {
  gs().closeRequests.push_back(hwndOf(widget));
  return TRUE;   // the window procedure decides
}

// Whatever was drawn before the server showed the window may be lost: draw once more.
gboolean onMap(GtkWidget* widget, GdkEvent* ev, gpointer) {
  if (Native* n = nativeOf(hwndOf(widget))) {
    n->mapped = ev->type == GDK_MAP;
    if (n->mapped) n->awaitingDraw = true;
  }
  gtk_widget_queue_draw(widget);
  return FALSE;
}

gboolean onWindowState(GtkWidget* widget, GdkEventWindowState* ev, gpointer) {
  if (ev->changed_mask & GDK_WINDOW_STATE_ICONIFIED)
    gs().iconified[hwndOf(widget)] = (ev->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  return FALSE;
}

// Shift, Ctrl and Alt as the desktop has them now: a key let go while another program had
// the keyboard must not stay down here (Alt would turn every key into a system key).
void resyncModifiers() {
  // The server's own state (with the pointer's), not the keymap's copy, which follows only
  // what reached our windows.
  GdkDisplay* d = gdk_display_get_default();
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(d));
  GdkModifierType state = static_cast<GdkModifierType>(0);
  if (!pointer) return;
  gdk_window_get_device_position(gdk_get_default_root_window(), pointer, nullptr, nullptr, &state);
  WinSys& s = ws();
  const std::pair<int, guint> keys[] = {{VK_SHIFT, GDK_SHIFT_MASK}, {VK_CONTROL, GDK_CONTROL_MASK}, {VK_MENU, GDK_MOD1_MASK}};
  for (const auto& [vk, mask] : keys) {
    if (state & mask) continue;   // held: its release will come to us
    s.keyAsync[vk] &= static_cast<BYTE>(~0x80);
    s.keySync[vk] &= static_cast<BYTE>(~0x80);
  }
}

gboolean onFocus(GtkWidget* widget, GdkEventFocus* ev, gpointer) {
  GtkState& g = gs();
  g.focusChanged = true;
  if (ev->in) {
    g.focusIn = hwndOf(widget);
    resyncModifiers();   // before any key that follows in this batch is queued
  }
  return FALSE;
}

// The backing store, as the window system last drew it.
gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer) {
  const HWND h = hwndOf(widget);
  Window* w = wnd(h);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  if (w && w->surface) {
    // The drawing layer may write pixels directly; no stale copy may stand in for them.
    cairo_surface_flush(w->surface);
    cairo_surface_mark_dirty(w->surface);
    cairo_set_source_surface(cr, w->surface, 0, 0);
  } else {
    cairo_set_source_rgb(cr, 1, 1, 1);
  }
  cairo_paint(cr);
  if (Native* n = nativeOf(h)) {
    ++n->draws;
    n->awaitingDraw = false;
  }
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Desktop windows
//------------------------------------------------------------------------------
GdkCursor* cursorFor(HCURSOR c) {
  // No cursor, or one of the program's own: the desktop's arrow.
  const auto id = reinterpret_cast<std::uintptr_t>(c);
  GtkState& g = gs();
  auto it = g.cursors.find(id);
  if (it != g.cursors.end()) return it->second;
  const char* name = nullptr;
  switch (id) {
    case 32513: name = "text"; break;
    case 32514: name = "wait"; break;
    case 32515: name = "crosshair"; break;
    case 32642: name = "nwse-resize"; break;
    case 32643: name = "nesw-resize"; break;
    case 32644: name = "ew-resize"; break;
    case 32645: name = "ns-resize"; break;
    case 32646: name = "move"; break;
    case 32648: name = "not-allowed"; break;
    case 32649: name = "pointer"; break;
    case 32650: name = "progress"; break;
    case 32651: name = "help"; break;
    default: break;
  }
  GdkCursor* gc = name ? gdk_cursor_new_from_name(gdk_display_get_default(), name) : nullptr;
  g.cursors[id] = gc;
  return gc;
}

void applyCursor(Native& n) {
  if (GdkWindow* gw = gtk_widget_get_window(n.widget)) gdk_window_set_cursor(gw, cursorFor(ws().cursor));
}

Native& createNative(HWND h, const Window* w) {
  // Menus and tooltips stay out of the window manager's hands; every other window is the
  // manager's, without its decorations.
  const bool bare = (w->style & WS_POPUP) && !hasCaption(w->style) && !(w->style & WS_THICKFRAME);
  const bool menuLike = bare && (w->exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
  GtkWidget* widget = gtk_window_new(menuLike ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL);
  GtkWindow* win = GTK_WINDOW(widget);
  g_object_set_data(G_OBJECT(widget), "tw-hwnd", h);
  gtk_window_set_decorated(win, FALSE);
  gtk_window_set_resizable(win, TRUE);
  gtk_widget_set_app_paintable(widget, TRUE);
  if (w->owner) {
    if (Native* o = nativeOf(w->owner)) gtk_window_set_transient_for(win, GTK_WINDOW(o->widget));
    if (!menuLike) gtk_window_set_type_hint(win, GDK_WINDOW_TYPE_HINT_DIALOG);
  }
  if (w->owner || (w->exStyle & WS_EX_TOOLWINDOW)) gtk_window_set_skip_taskbar_hint(win, TRUE);
  if ((w->exStyle & WS_EX_TOPMOST) && !menuLike) gtk_window_set_keep_above(win, TRUE);
  // A bare pop-up takes the keyboard only when the window system activates it.
  if (bare) gtk_window_set_focus_on_map(win, FALSE);
  gtk_widget_add_events(widget, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                    GDK_SCROLL_MASK | GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK |
                                    GDK_STRUCTURE_MASK | GDK_FOCUS_CHANGE_MASK);
  g_signal_connect(widget, "draw", G_CALLBACK(onDraw), nullptr);
  g_signal_connect(widget, "button-press-event", G_CALLBACK(onButton), nullptr);
  g_signal_connect(widget, "button-release-event", G_CALLBACK(onButton), nullptr);
  g_signal_connect(widget, "motion-notify-event", G_CALLBACK(onMotion), nullptr);
  g_signal_connect(widget, "scroll-event", G_CALLBACK(onScroll), nullptr);
  g_signal_connect(widget, "key-press-event", G_CALLBACK(onKey), nullptr);
  g_signal_connect(widget, "key-release-event", G_CALLBACK(onKey), nullptr);
  g_signal_connect(widget, "configure-event", G_CALLBACK(onConfigure), nullptr);
  g_signal_connect(widget, "delete-event", G_CALLBACK(onDelete), nullptr);
  g_signal_connect(widget, "window-state-event", G_CALLBACK(onWindowState), nullptr);
  g_signal_connect(widget, "map-event", G_CALLBACK(onMap), nullptr);
  g_signal_connect(widget, "unmap-event", G_CALLBACK(onMap), nullptr);
  g_signal_connect(widget, "focus-in-event", G_CALLBACK(onFocus), nullptr);
  g_signal_connect(widget, "focus-out-event", G_CALLBACK(onFocus), nullptr);
  Native& n = gs().natives[h];
  n.widget = widget;
  n.sent = RECT{0, 0, -1, -1};   // nothing asked yet
  return n;
}

void sendGeometry(Native& n, const RECT& r) {
  GtkWindow* win = GTK_WINDOW(n.widget);
  gtk_window_move(win, r.left, r.top);
  gtk_window_resize(win, std::max<int>(1, r.right - r.left), std::max<int>(1, r.bottom - r.top));
  n.sent = r;
  n.pendingUntil = nowMs() + kRequestPatience;
  if (n.pendingUntil == 0) n.pendingUntil = 1;
}

// Makes the desktop show the window system's top-level windows as they are now.
void reconcile() {
  GtkState& g = gs();
  WinSys& s = ws();
  for (auto it = g.natives.begin(); it != g.natives.end();) {
    Window* w = wnd(it->first);
    if (!w || !isTopLevel(w)) {
      gtk_widget_destroy(it->second.widget);
      it = g.natives.erase(it);
    } else {
      ++it;
    }
  }
  const std::vector<HWND> tops = desktopWnd()->children;
  // Bottom first, so that owners have their native windows before the windows they own.
  for (auto t = tops.rbegin(); t != tops.rend(); ++t) {
    const HWND h = *t;
    Window* w = wnd(h);
    if (!w) continue;
    Native* n = nativeOf(h);
    if (!(w->style & WS_VISIBLE)) {
      if (n && n->shown) {
        gtk_widget_hide(n->widget);
        n->shown = false;
      }
      continue;
    }
    if (!n) n = &createNative(h, w);
    if (n->title != w->text || !gtk_window_get_title(GTK_WINDOW(n->widget))) {
      n->title = w->text;
      gtk_window_set_title(GTK_WINDOW(n->widget), utf8FromCp1252(w->text).c_str());
    }
    const bool minimized = (w->style & WS_MINIMIZE) != 0;
    if (!minimized && !(w->rect == n->sent)) sendGeometry(*n, w->rect);
    if (!n->shown) {
      gtk_widget_show(n->widget);
      n->shown = true;
      w->storeTouched = true;
      applyCursor(*n);
    }
    if (minimized != n->iconified) {
      if (minimized) gtk_window_iconify(GTK_WINDOW(n->widget));
      else gtk_window_deiconify(GTK_WINDOW(n->widget));
      n->iconified = minimized;
    }
    if (w->storeTouched) {
      w->storeTouched = false;
      n->awaitingDraw = true;
      gtk_widget_queue_draw(n->widget);
    }
  }
  // The active window comes forward on the desktop and takes the keyboard.
  if (!s.appActive) {
    g.presented = nullptr;
  } else if (s.active != g.presented) {
    Native* n = nativeOf(s.active);
    if (n && n->shown) {
      gtk_window_present_with_time(GTK_WINDOW(n->widget), g.lastEventTime ? g.lastEventTime : GDK_CURRENT_TIME);
      g.presented = s.active;
    }
  }
}

//------------------------------------------------------------------------------
// [SECTION] Applying what the desktop changed
//------------------------------------------------------------------------------
void applyGeometry(HWND h) {
  Native* n = nativeOf(h);
  Window* w = wnd(h);
  if (!n || !w || !n->shown || (w->style & WS_MINIMIZE)) return;
  GdkWindow* gw = gtk_widget_get_window(n->widget);
  if (!gw) return;
  int x = 0, y = 0;
  gdk_window_get_origin(gw, &x, &y);
  const RECT r{x, y, x + gdk_window_get_width(gw), y + gdk_window_get_height(gw)};
  if (r == n->sent) {
    n->pendingUntil = 0;
    return;
  }
  if (n->pendingUntil && static_cast<int>(nowMs() - n->pendingUntil) < 0) return;
  n->pendingUntil = 0;
  n->sent = r;
  if (r == w->rect) return;
  setWindowPosImpl(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (Window* ww = wnd(h); ww && !(ww->style & (WS_MINIMIZE | WS_MAXIMIZE))) ww->normalRect = ww->rect;
}

// Each note is taken out before it is acted on: a window procedure may run a modal loop
// of its own while it is acted on, and that loop's waits apply the notes that remain.
void applyDesktopChanges() {
  GtkState& g = gs();
  // A request of ours that the desktop altered shows only in the geometry it left.
  for (auto& [h, n] : g.natives)
    if (n.pendingUntil && static_cast<int>(nowMs() - n.pendingUntil) >= 0) g.moved.insert(h);
  while (!g.moved.empty()) {
    const HWND h = *g.moved.begin();
    g.moved.erase(g.moved.begin());
    applyGeometry(h);
  }
  // Minimised or restored from the desktop (its task bar): the window follows, unless it is
  // already in that state (our own request coming back).
  while (!g.iconified.empty()) {
    const auto [h, minimized] = *g.iconified.begin();
    g.iconified.erase(g.iconified.begin());
    Native* n = nativeOf(h);
    if (!n || !wnd(h) || (IsIconic(h) != 0) == minimized) continue;
    n->iconified = minimized;
    ShowWindow(h, minimized ? SW_MINIMIZE : SW_RESTORE);
  }
  while (!g.closeRequests.empty()) {
    const HWND h = g.closeRequests.front();
    g.closeRequests.erase(g.closeRequests.begin());
    if (wnd(h)) PostMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  if (!g.focusChanged) return;
  g.focusChanged = false;
  WinSys& s = ws();
  bool anyFocused = false;
  for (auto& [h, n] : g.natives)
    if (n.shown && gtk_window_is_active(GTK_WINDOW(n.widget))) anyFocused = true;
  const HWND in = g.focusIn;
  g.focusIn = nullptr;
  if (in && wnd(in) && anyFocused && in != s.active) {
    // The user chose the window on the desktop. A window kept disabled by one it owns
    // passes the activation to that one.
    const HWND target = IsWindowEnabled(in) ? in : GetWindow(in, GW_ENABLEDPOPUP);
    if (target) {
      g.presented = target == in ? in : nullptr;
      setActive(target, WA_ACTIVE);
    }
  } else if (!anyFocused && s.appActive && !g.natives.empty()) {
    g.presented = nullptr;
    deactivateApp();
  }
}

//------------------------------------------------------------------------------
// [SECTION] Services
//------------------------------------------------------------------------------
constexpr int kBatchLimit = 1000;   // events taken in one go, so that a busy desktop cannot starve us

void takePending() {
  for (int i = 0; i < kBatchLimit && g_main_context_pending(nullptr); ++i) g_main_context_iteration(nullptr, FALSE);
}

gboolean onTimerDue(gpointer fired) {
  *static_cast<bool*>(fired) = true;
  return G_SOURCE_REMOVE;
}

bool waitForEvents() {
  reconcile();
  WinSys& s = ws();
  guint source = 0;
  bool fired = false;
  if (!s.timers.empty()) {
    DWORD next = s.timers.front().due;
    for (const Timer& t : s.timers)
      if (static_cast<int>(t.due - next) < 0) next = t.due;
    const int delay = std::max(0, static_cast<int>(next - nowMs()));
    source = g_timeout_add(static_cast<guint>(delay), onTimerDue, &fired);
  }
  g_main_context_iteration(nullptr, TRUE);
  if (source && !fired) g_source_remove(source);
  takePending();
  applyDesktopChanges();
  return true;   // the user can always act
}

void pollEvents() {
  reconcile();
  takePending();
  applyDesktopChanges();
}

bool screenSize(int& width, int& height) {
  GdkDisplay* d = gdk_display_get_default();
  if (!d) return false;
  GdkMonitor* m = gdk_display_get_primary_monitor(d);
  if (!m) m = gdk_display_get_monitor(d, 0);
  if (!m) return false;
  GdkRectangle r;
  gdk_monitor_get_geometry(m, &r);
  if (r.width <= 0 || r.height <= 0) return false;
  width = r.width;
  height = r.height;
  return true;
}

void cursorChanged(HCURSOR) {
  for (auto& [h, n] : gs().natives)
    if (n.shown) applyCursor(n);
}

bool beginMoveSize(HWND hwnd, WPARAM command, POINT start) {
  Window* w = wnd(hwnd);
  if (!w || !isTopLevel(w)) return false;   // a child moves inside its parent: our own loop
  // A release already on its way would leave the desktop dragging with no button held.
  takePending();
  if (!(ws().keyAsync[VK_LBUTTON] & 0x80)) return false;   // from the keyboard, or already let go
  Native* n = nativeOf(hwnd);
  if (!n || !n->shown) return false;
  GtkWindow* win = GTK_WINDOW(n->widget);
  const guint32 time = gs().lastButtonTime;
  if ((command & 0xFFF0) == SC_MOVE) {
    gtk_window_begin_move_drag(win, 1, start.x, start.y, time);
  } else {
    static constexpr GdkWindowEdge edges[] = {GDK_WINDOW_EDGE_WEST,       GDK_WINDOW_EDGE_EAST,
                                              GDK_WINDOW_EDGE_NORTH,      GDK_WINDOW_EDGE_NORTH_WEST,
                                              GDK_WINDOW_EDGE_NORTH_EAST, GDK_WINDOW_EDGE_SOUTH,
                                              GDK_WINDOW_EDGE_SOUTH_WEST, GDK_WINDOW_EDGE_SOUTH_EAST};
    const unsigned edge = static_cast<unsigned>(command & 0x0F);
    if (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) return false;
    gtk_window_begin_resize_drag(win, edges[edge - 1], 1, start.x, start.y, time);
  }
  // The desktop holds the button now; its release never reaches us.
  WinSys& s = ws();
  s.keyAsync[VK_LBUTTON] &= static_cast<BYTE>(~0x80);
  s.keySync[VK_LBUTTON] &= static_cast<BYTE>(~0x80);
  n->pendingUntil = 0;
  return true;
}

bool movePointer(int x, int y) {
  GdkDevice* pointer = pointerDevice();
  if (!pointer) return false;
  gdk_device_warp(pointer, gdk_display_get_default_screen(gdk_display_get_default()), x, y);
  ws().cursorPos = POINT{x, y};
  return true;
}

int keyChar(const MSG& keyDown) {
  // Control characters and menu keys come from the standard table.
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return -1;
  const int scan = static_cast<int>((static_cast<DWORD>(keyDown.lParam) >> 16) & 0xFF);
  const auto& keys = gs().keys;
  for (auto it = keys.rbegin(); it != keys.rend(); ++it)
    if (it->scan == scan && it->time == keyDown.time) return it->ch;
  return -1;   // not a key of the desktop's (a program's own posted key)
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Start-up and test queries
//------------------------------------------------------------------------------
bool UseGtkBackend() {
  GtkState& g = gs();
  if (g.active) return true;
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!x || !*x) && (!wayland || !*wayland)) return false;
  // X first, also under Wayland (through its X server): the window system places its
  // windows itself, which Wayland does not let a program do.
  gdk_set_allowed_backends("x11,*");
  if (!gtk_init_check(nullptr, nullptr) || !gdk_display_get_default()) return false;
  g.active = true;
  g.start = g_get_monotonic_time();
  Backend b;
  b.now = nowMs;
  b.wait = waitForEvents;
  b.poll = pollEvents;
  b.screenSize = screenSize;
  b.cursorChanged = cursorChanged;
  b.beginMoveSize = beginMoveSize;
  b.keyChar = keyChar;
  b.pointerPos = pointerPos;
  b.movePointer = movePointer;
  SetBackend(b);
  gtkbackend::installDialogs();
  gtkbackend::installClipboard();
  return true;
}

GtkWindow* gtkbackend::windowOf(HWND hwnd) {
  // The desktop shows our windows as they are before a dialog of its own comes up.
  reconcile();
  if (!hwnd) return nullptr;
  Native* n = nativeOf(topLevelOf(hwnd));
  return n && n->shown ? GTK_WINDOW(n->widget) : nullptr;
}

bool GtkBackendActive() { return gs().active; }

namespace gtktest {

unsigned long nativeWindow(HWND hwnd) {
  Native* n = nativeOf(hwnd);
  if (!n || !n->shown) return 0;
  GdkWindow* gw = gtk_widget_get_window(n->widget);
  if (!gw || !GDK_IS_X11_WINDOW(gw)) return 0;
  return gdk_x11_window_get_xid(gw);
}

int drawCount(HWND hwnd) {
  Native* n = nativeOf(hwnd);
  return n ? n->draws : 0;
}

bool upToDate(HWND hwnd) {
  Native* n = nativeOf(hwnd);
  Window* w = wnd(hwnd);
  if (!n || !w || !n->shown || !n->mapped || n->awaitingDraw || n->draws == 0 || n->pendingUntil || w->storeTouched) return false;
  std::vector<HWND> pending = {hwnd};
  while (!pending.empty()) {
    Window* x = wnd(pending.back());
    pending.pop_back();
    if (!x) continue;
    if (!x->update.empty() || x->ncDirty || x->internalPaint) return false;
    pending.insert(pending.end(), x->children.begin(), x->children.end());
  }
  return true;
}

void sync() {
  if (GdkDisplay* d = gdk_display_get_default()) gdk_display_sync(d);
}

}  // namespace gtktest
}  // namespace win
