# The GTK backend: key and text conversions (no display needed), and the smoke test on a
# private Xvfb server with xdotool, xwd and ImageMagick (label gui), and the controls there.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_GTK_TEST REQUIRED IMPORTED_TARGET gtk+-3.0)
tw_add_test(platform_gtk_keys_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/gtk_keys_test.cpp ${CMAKE_CURRENT_LIST_DIR}/gtk_choice_test.cpp
  LIBS tw_platform_gtk tw_platform_win PkgConfig::TW_GTK_TEST)
tw_add_test(platform_gtk_smoke_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/gtk_smoke_test.cpp
  LIBS tw_platform_gtk tw_platform_dlg tw_platform_gdi tw_platform_win tw_test_xserver
  LABELS gui)
tw_add_test(platform_controls_gtk_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/controls_gtk_test.cpp
  LIBS tw_platform_gtk tw_platform_dlg tw_platform_gdi tw_platform_win tw_test_xserver
  LABELS gui)
target_compile_definitions(platform_controls_gtk_test PRIVATE TW_SHOT_DIR="${CMAKE_BINARY_DIR}")
tw_add_test(platform_richedit_gtk_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/richedit_gtk_test.cpp
  LIBS tw_platform_gtk tw_platform_richedit tw_platform_dlg tw_platform_gdi tw_platform_win tw_test_xserver
  LABELS gui)
