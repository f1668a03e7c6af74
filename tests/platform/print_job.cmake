# Printer device contexts and print jobs: pages drawn into a PDF, read back by poppler.
tw_add_test(test_platform_print_job SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_job_test.cpp
  LIBS tw_platform_gdi tw_platform_printer)
