tw_add_test(graphics_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/area_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/colour_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lines_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shape_requests_test.cpp
  LIBS tw_graphics tw_pgraph)

# The screen road on headless windows: graphics calls to pixels.
tw_add_test(test_graphics_screen
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/screen_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shapes_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/targets_test.cpp
  LIBS tw_screen tw_os)
