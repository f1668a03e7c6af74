# Tests of the window system: windows, messages, input, painting, through the headless backend.
tw_add_test(platform_window_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/paint_test.cpp
  LIBS tw_platform_win)
