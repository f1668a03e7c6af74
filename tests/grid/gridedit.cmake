# The grid-editor window driven through its menus and dialogs by injected keys (label gui).
tw_add_test(test_grid_editor SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridedit_test.cpp
  LIBS tw_gridedit tw_dialog tw_grid tw_window tw_resources LABELS gui)
tw_add_resources(test_grid_editor ${CMAKE_CURRENT_LIST_DIR}/grid_test.rc)
target_compile_definitions(test_grid_editor PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
