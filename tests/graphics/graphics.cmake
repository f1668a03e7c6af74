tw_add_test(graphics_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/area_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/colour_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/far_shapes_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fill_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gradient_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lines_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shapes_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/strokefont_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/textstring_test.cpp
  LIBS tw_graphics tw_pgraph)
