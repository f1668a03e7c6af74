# The grid's cell store, field operations, rows and settings.
tw_add_test(test_grid_cellstore SOURCES ${CMAKE_CURRENT_LIST_DIR}/cellstore_test.cpp LIBS tw_grid)
# The grid field in dialogs, driven by injected keys and mouse (label gui).
tw_add_test(test_grid_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/grid_window_test.cpp
  LIBS tw_dialog tw_grid tw_window tw_resources tw_platform_clipboard LABELS gui)
tw_add_resources(test_grid_window ${CMAKE_CURRENT_LIST_DIR}/grid_test.rc)
target_compile_definitions(test_grid_window PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
# On a private Xvfb server with the GTK backend; the screenshot is taken with xwd and
# ImageMagick (label gui).
tw_add_test(test_grid_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/grid_gtk_test.cpp
  LIBS tw_dialog tw_grid tw_window tw_resources tw_platform_gtk tw_test_xserver LABELS gui)
tw_add_resources(test_grid_gtk ${CMAKE_CURRENT_LIST_DIR}/grid_test.rc)
