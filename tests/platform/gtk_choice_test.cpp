// Without a display the program keeps the headless backend: nothing of GTK is started and
// the screen stays the headless one.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gtk_backend.h"
#include "platform/win.h"

using namespace win;

TEST(UseGtkBackend, KeepsHeadlessBackendWithoutDisplay) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(UseGtkBackend());
  EXPECT_FALSE(GtkBackendActive());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
}

TEST(UseGtkBackend, KeepsHeadlessBackendWhenDisplayCannotBeOpened) {
  setenv("DISPLAY", ":65000", 1);   // no server there
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(UseGtkBackend());
  EXPECT_FALSE(GtkBackendActive());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
}
