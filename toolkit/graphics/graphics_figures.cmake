# Ellipses, circles and arrows, markers and smooth curves: figures of the graphics core.
target_sources(tw_graphics PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ellipses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/markers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curves.cpp)
