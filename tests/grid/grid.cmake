# The grid's cell store, field operations, rows and settings.
tw_add_test(test_grid_cellstore SOURCES ${CMAKE_CURRENT_LIST_DIR}/cellstore_test.cpp LIBS tw_grid)
