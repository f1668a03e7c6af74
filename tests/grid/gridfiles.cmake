# Grid CSV save and load, HTML export, find and sort (Python's csv module, LibreOffice, tidy).
tw_add_test(test_grid_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridfiles_test.cpp LIBS tw_grid)
# The same routines on a grid field in a dialog (label gui).
tw_add_test(test_grid_files_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridfiles_window_test.cpp
  LIBS tw_dialog tw_grid tw_window tw_resources LABELS gui)
tw_add_resources(test_grid_files_window ${CMAKE_CURRENT_LIST_DIR}/grid_test.rc)
target_compile_definitions(test_grid_files_window PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
