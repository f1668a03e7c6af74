# Level-3 reports in the root window's status bar, on the headless backend.
tw_add_test(test_core_errors_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/errors_window_test.cpp
  LIBS tw_window tw_resources)
