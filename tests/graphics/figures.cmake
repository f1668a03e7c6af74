# Requests of ellipses, markers and curves on both sides, through the recording device.
tw_add_test(test_graphics_figures
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/figure_requests_test.cpp
  LIBS tw_graphics tw_pgraph)
