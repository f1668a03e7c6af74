// The root window's life on the program's own resources: what opening sets up (the window
// classes' icon, the private clipboard format), the window icon of yywindowtitle, and what
// closing takes down (the prompts set at run time in the menus' items).
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "platform/clipboard.h"
#include "platform/icon.h"
#include "platform/menu.h"
#include "tests/window/window_fixture.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/wmenus.h"

// Array deletes are watched so that a test can see whether a given block was freed.
namespace {
const void* gWatched[4] = {};
bool gFreed[4] = {};
void noteFreed(void* p) {
  for (int i = 0; i < 4; ++i)
    if (p != nullptr && p == gWatched[i]) gFreed[i] = true;
}
}  // namespace

void* operator new[](std::size_t n) {
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete[](void* p) noexcept {
  noteFreed(p);
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  noteFreed(p);
  std::free(p);
}

using namespace win;

namespace {

class RootWindowLife : public twtest::WindowFixture {
 protected:
  void openMain() {
    openMainWindow();
    test::runUntilIdle();
    ASSERT_EQ(tessar.window.ROOTOPEN, 1);
  }
  // The prompt block stored in item id of a menu.
  static const void* promptOf(HMENU menu, UINT id) {
    MENUITEMINFO mi;
    mi.fMask = MIIM_DATA;
    if (!GetMenuItemInfo(menu, id, FALSE, mi)) return nullptr;
    return reinterpret_cast<const void*>(mi.dwItemData);
  }
};

}  // namespace

TEST_F(RootWindowLife, ClassesCarryTheProgramIcon) {
  openMain();
  HICON program = LoadIcon(nullptr, "ICON1");
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtr(winslot(0).wWindow, GCLP_HICON)), program);
  EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtr(winslot(0).hClient, GCLP_HICON)), nullptr) << "client areas have none";
  WNDCLASS child;
  ASSERT_TRUE(GetClassInfo(GetModuleHandle(nullptr), "TESSCHILD", child));
  EXPECT_EQ(child.hIcon, program);
}

TEST_F(RootWindowLife, RegistersThePrivateClipboardFormatOnce) {
  openMain();
  const UINT first = cgmFormat;
  EXPECT_GE(first, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("tessaraweld cgm"), first);
  char name[32] = {};
  EXPECT_EQ(GetClipboardFormatName(first, name, sizeof name), 15);
  EXPECT_STREQ(name, "Tessaraweld CGM");
  windowclose();
  openMain();
  EXPECT_EQ(cgmFormat, first) << "the number lives for the process";
}

TEST_F(RootWindowLife, WindowTitleSetsTheWindowIcon) {
  openMain();
  HWND f = winslot(0).wWindow;
  auto bigIcon = [f] { return reinterpret_cast<HICON>(SendMessage(f, WM_GETICON, ICON_BIG, 0)); };
  const int owned = icon::ownedCount();

  int icon = 0;
  yywindowtitle(icon, 1, "Baseflow");
  EXPECT_EQ(icon, 0);
  char title[32] = {};
  GetWindowText(f, title, sizeof title);
  EXPECT_STREQ(title, "Baseflow");
  const HICON first = bigIcon();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(icon::sizeOf(first).cx, 32);
  EXPECT_EQ(icon::ownedCount(), owned + 1);

  struct Case {
    const char* why;
    int icon;
    int after;
    bool replaced;
  };
  const Case cases[] = {
      {"-1 keeps the present icon", -1, -1, false},
      {"a number without an icon resource answers -2 and keeps it", 77, -2, false},
      {"0 loads icon1 again, in place of the present one", 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const HICON before = bigIcon();
    int i = c.icon;
    yywindowtitle(i, 0, "");
    EXPECT_EQ(i, c.after);
    EXPECT_EQ(bigIcon() != before, c.replaced);
    EXPECT_NE(bigIcon(), nullptr);
    EXPECT_TRUE(icon::isIcon(bigIcon()));
    // The icon replaced is destroyed: the window holds one icon of its own at a time.
    EXPECT_EQ(icon::ownedCount(), owned + 1);
  }
  GetWindowText(f, title, sizeof title);
  EXPECT_STREQ(title, "Baseflow") << "title flag 0 leaves the caption";

  // A small icon set beside it is destroyed with the big one, and not left on the window.
  HICON small = static_cast<HICON>(LoadImage(nullptr, "ICON1", IMAGE_ICON, 16, 16, 0));
  SendMessage(f, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  icon = 0;
  yywindowtitle(icon, 0, "");
  EXPECT_FALSE(icon::isIcon(small));
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(f, WM_GETICON, ICON_SMALL, 0)), nullptr);

  // The window's own icon goes with the window.
  windowclose();
  EXPECT_EQ(icon::ownedCount(), owned);
}

// Prompts set at run time were left allocated when the program closed its windows.
TEST_F(RootWindowLife, ClosingFreesRunTimePrompts) {
  openMain();
  int id = 40006;
  yymenuprompt(id, "Save the project now");
  ASSERT_EQ(id, 40006);
  id = 40001;   // a pop-up item, by its identifier from the item table
  yymenuprompt(id, "Everything about files");
  ASSERT_EQ(winslot(0).nMenuString, 2);
  gWatched[0] = promptOf(winslot(0).hMenuRoot, 40006);
  gWatched[1] = promptOf(winslot(0).hMenuRoot, 40001);
  ASSERT_NE(gWatched[0], nullptr);
  ASSERT_NE(gWatched[1], nullptr);
  gFreed[0] = gFreed[1] = false;

  windowclose();
  EXPECT_TRUE(gFreed[0]);
  EXPECT_TRUE(gFreed[1]);
  EXPECT_EQ(winslot(0).nMenuString, 0);
  gWatched[0] = gWatched[1] = nullptr;
}

TEST_F(RootWindowLife, ClosingFreesPromptsOfChildWindowsStillOpen) {
  openMain();
  int child = 0;
  WindowOpenChildOptions o;
  o.menu = 30002;
  o.title = "Plot";
  WindowOpenChild(child, o);
  ASSERT_GE(child, 1);
  windowselect(child);
  int id = 40018;
  yymenuprompt(id, "Copy the plot");
  ASSERT_EQ(id, 40018);
  gWatched[2] = promptOf(winslot(child).hMenuRoot, 40018);
  ASSERT_NE(gWatched[2], nullptr);
  gFreed[2] = false;

  windowclose();
  EXPECT_TRUE(gFreed[2]);
  gWatched[2] = nullptr;
}
