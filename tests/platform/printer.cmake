# The platform's printers.
tw_add_test(test_platform_printer SOURCES ${CMAKE_CURRENT_LIST_DIR}/printer_test.cpp
  LIBS tw_platform_printer)
