# Grid CSV save and load, HTML export, find and sort (Python's csv module, LibreOffice, tidy).
tw_add_test(test_grid_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridfiles_test.cpp LIBS tw_grid)
