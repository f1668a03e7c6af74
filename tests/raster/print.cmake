# Printer information and the page of window dumps.
tw_add_test(test_raster_print_info SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_info_test.cpp
  LIBS tw_raster)
tw_add_test(test_raster_print_select SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_select_test.cpp
  LIBS tw_raster tw_startup)
