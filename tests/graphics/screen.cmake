# Requests of ellipses, markers and curves on both sides, through the recording device.
tw_add_test(test_graphics_figures
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/figure_requests_test.cpp
  LIBS tw_graphics tw_pgraph)

# The screen road on headless windows: graphics calls to pixels.
tw_add_test(test_graphics_screen
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/screen_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/figures_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/targets_test.cpp
  LIBS tw_screen tw_os)
# The filled markers and arrow heads are checked once the fill sources are in the build.
if(EXISTS ${PROJECT_SOURCE_DIR}/toolkit/graphics/fill.cpp AND EXISTS ${PROJECT_SOURCE_DIR}/toolkit/graphics/shapes.cpp)
  target_compile_definitions(test_graphics_screen PRIVATE TW_FILL_SOURCES=1)
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/toolkit/graphics/gradient.cpp)
  target_compile_definitions(test_graphics_screen PRIVATE TW_GRADIENT_SOURCES=1)
endif()
