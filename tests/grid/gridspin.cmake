# Spinner columns of the grid and the whole-grid settings, driven by injected keys and mouse
# (label gui).
tw_add_test(test_grid_spin SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridspin_test.cpp
  LIBS tw_gridedit tw_dialog tw_grid tw_window tw_resources LABELS gui)
tw_add_resources(test_grid_spin ${CMAKE_CURRENT_LIST_DIR}/gridspin_test.rc)
target_compile_definitions(test_grid_spin PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
# The spinner grid on a private X server with the GTK backend, driven by xdotool (label gui).
tw_add_test(test_grid_spin_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridspin_gtk_test.cpp
  LIBS tw_dialog tw_grid tw_window tw_resources tw_platform_gtk tw_test_xserver LABELS gui)
tw_add_resources(test_grid_spin_gtk ${CMAKE_CURRENT_LIST_DIR}/gridspin_test.rc)
target_compile_definitions(test_grid_spin_gtk PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
