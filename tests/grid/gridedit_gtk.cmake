# The grid-editor window on a private X server with the GTK backend, driven by xdotool (label gui).
tw_add_test(test_grid_editor_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridedit_gtk_test.cpp
  LIBS tw_gridedit tw_dialog tw_grid tw_window tw_resources tw_platform_gtk tw_test_xserver LABELS gui)
tw_add_resources(test_grid_editor_gtk ${CMAKE_CURRENT_LIST_DIR}/grid_test.rc)
target_compile_definitions(test_grid_editor_gtk PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
