# Grid window in a dialog: the 60,000-row paste, painting a full grid window and page scrolls
# through 100,000 rows (the dialogs of the grid tests).
tw_add_bench(bench_gridwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridwindow_bench.cpp
  LIBS tw_dialog tw_grid tw_window tw_resources tw_platform_clipboard)
tw_add_resources(bench_gridwindow ${PROJECT_SOURCE_DIR}/tests/grid/grid_test.rc)
