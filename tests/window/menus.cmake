# Window geometry, menus and toolbars, child windows and splitters, on the program's own
# resources, driven through the headless backend's injected input.
tw_add_test(test_core_wmenus SOURCES ${CMAKE_CURRENT_LIST_DIR}/wmenus_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmenus_prompts_test.cpp LIBS tw_window tw_resources)
tw_add_test(test_core_geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/geometry_test.cpp LIBS tw_window tw_resources)
tw_add_test(test_core_childwin SOURCES ${CMAKE_CURRENT_LIST_DIR}/childwin_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/childwin_queries_test.cpp LIBS tw_window tw_resources)

# On a private Xvfb server with the GTK backend; the screenshot is taken with xwd and
# ImageMagick (label gui).
tw_add_test(test_core_wmenus_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/wmenus_gtk_test.cpp
  LIBS tw_window tw_platform_gtk tw_resources tw_test_xserver LABELS gui)
