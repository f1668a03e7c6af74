# The root window's life: the classes' icon and the private clipboard format set up when it
# opens, the window icon, and the run-time menu prompts freed when it closes.
tw_add_test(test_core_shutdown SOURCES ${CMAKE_CURRENT_LIST_DIR}/shutdown_test.cpp
  LIBS tw_window tw_resources)
