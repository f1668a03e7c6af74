# Menus, the menu loop and accelerators; the toolbar and tooltip controls; all driven through
# the headless backend.
tw_add_test(test_platform_menu
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/menu_test.cpp
  LIBS tw_platform_menu)
tw_add_resources(test_platform_menu ${CMAKE_CURRENT_LIST_DIR}/menu_test.rc)
tw_add_test(test_platform_toolbar
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/toolbar_test.cpp ${CMAKE_CURRENT_LIST_DIR}/toolbar_drawing_test.cpp
  LIBS tw_platform_menu tw_platform_gdi)
# The same on a real display: the GTK backend on a private Xvfb server, xdotool and
# ImageMagick (label gui).
tw_add_test(test_platform_menu_gtk
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/menu_gtk_test.cpp
  LIBS tw_platform_menu tw_platform_gtk tw_test_xserver
  LABELS gui)
tw_add_resources(test_platform_menu_gtk ${CMAKE_CURRENT_LIST_DIR}/menu_test.rc)
target_compile_definitions(test_platform_menu_gtk PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
