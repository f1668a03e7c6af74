// Windows and classes: creation and destruction order, relations, subclassing and
// superclassing, styles, show states and frame geometry.
#include "tests/platform/recorder.h"

using namespace win;
using rec::Fixture;

namespace {

using CreateWindowExTest = Fixture;

TEST_F(CreateWindowExTest, SendsCreateMessagesInOrderWithSizeBeforeShow) {
  HWND h = frame("Order", 10, 20, 300, 200);
  ASSERT_NE(h, nullptr);
  const std::vector<UINT> want = {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                  WM_SHOWWINDOW};
  std::vector<UINT> got = rec::messages(h);
  ASSERT_GE(got.size(), want.size());
  EXPECT_EQ(std::vector<UINT>(got.begin(), got.begin() + static_cast<long>(want.size())), want);
  // The size message carries the client size the frame really has.
  RECT c;
  GetClientRect(h, c);
  for (const rec::Entry& e : rec::log())
    if (e.hwnd == h && e.msg == WM_SIZE) {
      EXPECT_EQ(LOWORD(static_cast<UINT_PTR>(e.lParam)), c.right);
      EXPECT_EQ(HIWORD(static_cast<UINT_PTR>(e.lParam)), c.bottom);
      break;
    }
}

TEST_F(CreateWindowExTest, CreateFailureDestroysAndReturnsNull) {
  rec::handler() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_CREATE) return false;
    r = -1;
    return true;
  };
  HWND h = frame("Refused", 0, 0, 100, 100);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(rec::messages(nullptr, {WM_CREATE, WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_TRUE(test::topLevelWindows().empty());
}

TEST_F(CreateWindowExTest, UnknownClassOrChildWithoutParentFails) {
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowEx(0, rec::kClass, "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(CreateWindowExTest, InjectedFailuresHitOnlyTheNextCall) {
  test::failNextWindowCall("CreateWindowEx");
  EXPECT_EQ(frame("F", 0, 0, 10, 10), nullptr);
  EXPECT_TRUE(rec::log().empty());
  EXPECT_NE(frame("F", 0, 0, 10, 10), nullptr);
  WNDCLASS wc;
  wc.lpfnWndProc = rec::proc;
  wc.lpszClassName = "Another";
  test::failNextWindowCall("RegisterClass");
  EXPECT_EQ(RegisterClass(wc), 0);
  EXPECT_NE(RegisterClass(wc), 0);
  test::failNextWindowCall("SetTimer");
  EXPECT_EQ(SetTimer(nullptr, 0, 10, nullptr), 0u);
}

using DestroyWindowTest = Fixture;

TEST_F(DestroyWindowTest, DestroyGoesParentFirstAndNcDestroyChildFirst) {
  HWND p = frame("Parent", 0, 0, 300, 300);
  HWND c = child(p, 1, 10, 10, 50, 50);
  rec::log().clear();
  EXPECT_TRUE(DestroyWindow(p));
  std::vector<std::pair<HWND, UINT>> got;
  for (const rec::Entry& e : rec::log())
    if (e.msg == WM_DESTROY || e.msg == WM_NCDESTROY) got.push_back({e.hwnd, e.msg});
  const std::vector<std::pair<HWND, UINT>> want = {{p, WM_DESTROY}, {c, WM_DESTROY}, {c, WM_NCDESTROY}, {p, WM_NCDESTROY}};
  EXPECT_EQ(got, want);
  EXPECT_FALSE(IsWindow(p));
  EXPECT_FALSE(IsWindow(c));
  EXPECT_EQ(SendMessage(c, WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(DestroyWindowTest, OwnedWindowsGoWithTheirOwner) {
  HWND owner = frame("Owner", 0, 0, 300, 300);
  HWND owned = CreateWindowEx(0, rec::kClass, "Owned", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 50, 100, 100, owner,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(owned, nullptr);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(DestroyWindowTest, WindowDestroyingItselfInsideAMessageIsSafe) {
  HWND h = frame("Self", 0, 0, 200, 200);
  rec::handler() = [](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_USER) DestroyWindow(hwnd);
    return false;
  };
  SendMessage(h, WM_USER, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  PostMessage(h, WM_USER, 0, 0);   // no window: refused
  EXPECT_EQ(test::runUntilIdle(), 0);
}

using GetWindowTest = Fixture;

TEST_F(GetWindowTest, ChildrenComeInCreationOrderAndPopupsNameTheirOwner) {
  HWND p = frame("Parent", 0, 0, 300, 300);
  HWND a = child(p, 1, 0, 0, 10, 10);
  HWND b = child(p, 2, 0, 0, 10, 10);
  HWND c = child(p, 3, 0, 0, 10, 10);
  EXPECT_EQ(GetWindow(p, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
  EXPECT_EQ(GetDlgItem(p, 2), b);
  EXPECT_EQ(GetDlgCtrlID(c), 3);
  EXPECT_EQ(GetParent(b), p);
  EXPECT_TRUE(IsChild(p, b));

  HWND popup = CreateWindowEx(0, rec::kClass, "Popup", WS_POPUP, 0, 0, 50, 50, b, nullptr, nullptr, nullptr);
  HWND overlapped = CreateWindowEx(0, rec::kClass, "Owned", WS_OVERLAPPED, 0, 0, 150, 50, p, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetParent(popup), p);          // the owner: the top-level window of the one given
  EXPECT_EQ(GetWindow(popup, GW_OWNER), p);
  EXPECT_EQ(GetParent(overlapped), nullptr);
  EXPECT_EQ(GetWindow(overlapped, GW_OWNER), p);
  EXPECT_EQ(GetAncestor(c, GA_ROOT), p);
  EXPECT_EQ(GetAncestor(p, GA_PARENT), GetDesktopWindow());
}

using ClassTest = Fixture;

LRESULT outerProc(HWND h, UINT m, WPARAM w, LPARAM l);
WNDPROC gInner = nullptr;
std::vector<std::string> gTrail;

LRESULT outerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 1) gTrail.push_back("outer");
  return CallWindowProc(gInner, h, m, w, l);
}

TEST_F(ClassTest, SubclassChainsToTheProcedureItReplaced) {
  HWND h = frame("Sub", 0, 0, 100, 100);
  gTrail.clear();
  rec::handler() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_USER + 1) return false;
    gTrail.push_back("inner");
    r = 42;
    return true;
  };
  gInner = reinterpret_cast<WNDPROC>(SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(outerProc)));
  EXPECT_EQ(gInner, &rec::proc);
  EXPECT_EQ(SendMessage(h, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(gTrail, (std::vector<std::string>{"outer", "inner"}));
  // Putting the old procedure back ends the chain.
  SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gInner));
  gTrail.clear();
  SendMessage(h, WM_USER + 1, 0, 0);
  EXPECT_EQ(gTrail, (std::vector<std::string>{"inner"}));
}

WNDPROC gBaseProc = nullptr;
LRESULT superProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 2) return 7;
  return CallWindowProc(gBaseProc, h, m, w, l);
}

TEST_F(ClassTest, SuperclassTakesTheBaseClassAndCompareNamesWithoutCase) {
  WNDCLASS base;
  ASSERT_TRUE(GetClassInfo(nullptr, "recorderwindow", base));   // any case
  gBaseProc = base.lpfnWndProc;
  WNDCLASS super = base;
  super.lpfnWndProc = superProc;
  super.lpszClassName = "SuperRecorder";
  super.cbWndExtra = base.cbWndExtra + 8;
  const ATOM atom = RegisterClass(super);
  ASSERT_NE(atom, 0);
  EXPECT_EQ(RegisterClass(super), 0);   // same name twice
  HWND h = CreateWindowEx(0, MAKEINTATOM(atom), "S", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(SendMessage(h, WM_USER + 2, 0, 0), 7);
  rec::log().clear();
  SendMessage(h, WM_USER + 3, 0, 0);   // passed on to the base class procedure
  EXPECT_EQ(rec::messages(h), std::vector<UINT>{WM_USER + 3});
  char name[32];
  GetClassName(h, name, sizeof name);
  EXPECT_STREQ(name, "SuperRecorder");
  EXPECT_EQ(GetClassWord(h, GCW_ATOM), atom);
  // Extra bytes: both sizes of word, and the user data.
  SetWindowLongPtr(h, base.cbWndExtra, 0x123456789);
  EXPECT_EQ(GetWindowLongPtr(h, base.cbWndExtra), 0x123456789);
  SetWindowLongPtr(h, GWLP_USERDATA, 99);
  EXPECT_EQ(GetWindowLongPtr(h, GWLP_USERDATA), 99);
  EXPECT_FALSE(UnregisterClass("superRECORDER", nullptr));   // a window still uses it
  DestroyWindow(h);
  EXPECT_TRUE(UnregisterClass("superRECORDER", nullptr));
  EXPECT_TRUE(RegisterClass(super));
}

using StyleTest = Fixture;

TEST_F(StyleTest, StylesChangeAtRunTimeWithNotification) {
  HWND h = frame("Style", 0, 0, 200, 200);
  rec::log().clear();
  const LONG old = GetWindowLong(h, GWL_STYLE);
  SetWindowLong(h, GWL_STYLE, old & ~static_cast<LONG>(WS_THICKFRAME | WS_MAXIMIZEBOX));
  EXPECT_EQ(GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_THICKFRAME), 0);
  EXPECT_EQ(rec::messages(h), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
  // The frame follows after a frame change.
  RECT before, after;
  GetClientRect(h, before);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  GetClientRect(h, after);
  EXPECT_EQ(after.right - before.right, 2);   // sizing frame 4 became fixed frame 3 on each side
}

struct FrameCase {
  const char* why;
  DWORD style;
  DWORD exStyle;
  bool menu;
};

TEST_F(StyleTest, AdjustWindowRectExMatchesTheFrameCreated) {
  const FrameCase cases[] = {
      {"sizable overlapped frame", WS_OVERLAPPEDWINDOW, 0, false},
      {"fixed frame with caption", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, false},
      {"frame with a menu strip", WS_OVERLAPPEDWINDOW, 0, true},
      {"tool window: small caption", WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, false},
      {"border only", WS_POPUP | WS_BORDER, 0, false},
      {"sunken client edge", WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, false},
      {"overlapped without caption bits still gets one", WS_OVERLAPPED, 0, false},
  };
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(c.why);
    RECT r{0, 0, 400, 300};
    AdjustWindowRectEx(r, c.style, c.menu, c.exStyle);
    HMENU menu = c.menu ? LongToHandle<HMENU>(0x55) : nullptr;
    HWND h = CreateWindowEx(c.exStyle, rec::kClass, "F", c.style, 100, 100, r.right - r.left, r.bottom - r.top,
                            nullptr, menu, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    RECT client;
    GetClientRect(h, client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    POINT o{0, 0};
    ClientToScreen(h, o);
    EXPECT_EQ(o.x, 100 - r.left);
    EXPECT_EQ(o.y, 100 - r.top);
    DestroyWindow(h);
  }
}

using ShowWindowTest = Fixture;

TEST_F(ShowWindowTest, VisibilityIncludesAncestors) {
  HWND p = frame("P", 0, 0, 200, 200, WS_OVERLAPPEDWINDOW);
  HWND c = child(p, 1, 0, 0, 20, 20);
  EXPECT_FALSE(IsWindowVisible(c));
  EXPECT_TRUE(GetWindowLong(c, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE));
  ShowWindow(p, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(c));
  ShowWindow(c, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(c));
}

TEST_F(ShowWindowTest, ShowStatesSendSizeKindsAndKeepTheNormalPlacement) {
  HWND h = frame("S", 40, 30, 400, 300, WS_OVERLAPPEDWINDOW);
  rec::log().clear();
  ShowWindow(h, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(IsZoomed(h));
  auto lastSize = [&]() {
    WPARAM kind = 99;
    for (const rec::Entry& e : rec::log())
      if (e.hwnd == h && e.msg == WM_SIZE) kind = e.wParam;
    return kind;
  };
  EXPECT_EQ(lastSize(), SIZE_MAXIMIZED);
  RECT c;
  GetClientRect(h, c);
  EXPECT_EQ(c.right, GetSystemMetrics(SM_CXSCREEN));   // the frame lies outside the screen
  ShowWindow(h, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(h));
  EXPECT_EQ(lastSize(), SIZE_MINIMIZED);
  ShowWindow(h, SW_RESTORE);   // back to maximised: it was maximised when minimised
  EXPECT_TRUE(IsZoomed(h));
  ShowWindow(h, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(h));
  EXPECT_EQ(lastSize(), SIZE_RESTORED);
  RECT r;
  GetWindowRect(h, r);
  EXPECT_EQ(r, (RECT{40, 30, 440, 330}));
  WINDOWPLACEMENT wp;
  GetWindowPlacement(h, wp);
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_EQ(wp.rcNormalPosition, (RECT{40, 30, 440, 330}));
  ShowWindow(h, SW_HIDE);
  GetWindowPlacement(h, wp);
  EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_HIDE));
}

TEST_F(ShowWindowTest, ShowActivatesInsideThePositionChangeAndSendsNoSizeWhenNothingChanged) {
  HWND h = frame("Show", 0, 0, 300, 200, WS_OVERLAPPEDWINDOW);
  rec::log().clear();
  ShowWindow(h, SW_SHOWNORMAL);
  const std::vector<UINT> keep = {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_NCACTIVATE,
                                  WM_ACTIVATE,   WM_SETFOCUS,          WM_WINDOWPOSCHANGED, WM_SIZE};
  EXPECT_EQ(rec::messages(h, keep), (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP,
                                                       WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED}));
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(GetFocus(), h);
  rec::log().clear();
  ShowWindow(h, SW_HIDE);
  EXPECT_EQ(rec::messages(h, {WM_SHOWWINDOW, WM_KILLFOCUS, WM_ACTIVATE, WM_SIZE}),
            (std::vector<UINT>{WM_SHOWWINDOW, WM_KILLFOCUS, WM_ACTIVATE}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  // A hidden window still hears about its size.
  rec::log().clear();
  MoveWindow(h, 0, 0, 250, 150, FALSE);
  EXPECT_EQ(rec::messages(h, {WM_SIZE}), std::vector<UINT>{WM_SIZE});
}

TEST_F(ShowWindowTest, CreatedMaximisedButHiddenStaysHiddenWithItsSize) {
  HWND h = frame("Hidden", 0, 0, 300, 200, WS_OVERLAPPEDWINDOW | WS_MAXIMIZE);
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_TRUE(IsZoomed(h));
  EXPECT_TRUE(rec::messages(h, {WM_SHOWWINDOW}).empty());
  WPARAM kind = 99;
  for (const rec::Entry& e : rec::log())
    if (e.hwnd == h && e.msg == WM_SIZE) kind = e.wParam;
  EXPECT_EQ(kind, SIZE_MAXIMIZED);
  ShowWindow(h, SW_RESTORE);
  RECT r;
  GetWindowRect(h, r);
  EXPECT_EQ(r, (RECT{0, 0, 300, 200}));
}

TEST_F(ShowWindowTest, MoveAndSizeSendSizeSynchronously) {
  HWND h = frame("M", 0, 0, 300, 200);
  rec::log().clear();
  MoveWindow(h, 10, 10, 320, 240, TRUE);
  EXPECT_EQ(rec::messages(h, {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
            (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
  rec::log().clear();
  MoveWindow(h, 20, 20, 320, 240, TRUE);   // same size: no size message
  EXPECT_EQ(rec::messages(h, {WM_SIZE, WM_MOVE}), std::vector<UINT>{WM_MOVE});
}

TEST_F(ShowWindowTest, ZOrderOfSiblingsAndTopLevels) {
  HWND a = frame("A", 0, 0, 100, 100);
  HWND b = frame("B", 0, 0, 100, 100);
  std::vector<test::TopLevel> tops = test::topLevelWindows();
  ASSERT_EQ(tops.size(), 2u);
  EXPECT_EQ(tops[0].hwnd, b);   // the newest comes on top
  EXPECT_EQ(tops[0].title, "B");
  BringWindowToTop(a);
  EXPECT_EQ(test::topLevelWindows()[0].hwnd, a);
  SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  BringWindowToTop(a);
  EXPECT_EQ(test::topLevelWindows()[0].hwnd, b);   // topmost windows stay above
}

TEST_F(ShowWindowTest, MinimisedChildrenLineUpAlongTheParentsBottom) {
  HWND p = frame("P", 0, 0, 500, 300, WS_POPUP | WS_VISIBLE);
  HWND a = child(p, 1, 10, 10, 200, 100, WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME);
  HWND b = child(p, 2, 50, 50, 200, 100, WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME);
  ShowWindow(a, SW_MINIMIZE);
  ShowWindow(b, SW_MINIMIZE);
  ArrangeIconicWindows(p);
  const int cx = GetSystemMetrics(SM_CXMINIMIZED), cy = GetSystemMetrics(SM_CYMINIMIZED);
  RECT ra, rb;
  GetWindowRect(a, ra);
  GetWindowRect(b, rb);
  EXPECT_EQ(ra, (RECT{0, 300 - cy, cx, 300}));
  EXPECT_EQ(rb, (RECT{cx, 300 - cy, 2 * cx, 300}));
  ShowWindow(a, SW_RESTORE);
  GetWindowRect(a, ra);
  EXPECT_EQ(ra, (RECT{10, 10, 210, 110}));
}

using CoordinateTest = Fixture;

TEST_F(CoordinateTest, MappingBetweenClientAreasAndScreen) {
  HWND p = frame("P", 100, 50, 400, 300, WS_POPUP | WS_VISIBLE);
  HWND c = child(p, 1, 30, 40, 100, 100, WS_CHILD | WS_VISIBLE | WS_BORDER);
  POINT pt{0, 0};
  ClientToScreen(c, pt);
  EXPECT_EQ(pt, (POINT{131, 91}));
  ScreenToClient(p, pt);
  EXPECT_EQ(pt, (POINT{31, 41}));
  POINT pts[1] = {{5, 5}};
  MapWindowPoints(c, p, pts, 1);
  EXPECT_EQ(pts[0], (POINT{36, 46}));
  RECT r;
  GetWindowRect(c, r);
  EXPECT_EQ(r, (RECT{130, 90, 230, 190}));
  EXPECT_EQ(WindowFromPoint(POINT{150, 120}), c);
  EXPECT_EQ(WindowFromPoint(POINT{110, 60}), p);
  EXPECT_EQ(ChildWindowFromPoint(p, POINT{35, 45}), c);
}

}  // namespace
