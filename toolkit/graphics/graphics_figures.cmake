# Ellipses, circles and arrows, markers and smooth curves: figures of the graphics core.
target_sources(tw_graphics PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ellipses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/markers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curves.cpp)
# The figures fill through the polygon fill and the filled shapes; until those sources are
# in this folder, stand-ins that draw nothing take their place.
if(NOT EXISTS ${CMAKE_CURRENT_LIST_DIR}/fill.cpp OR NOT EXISTS ${CMAKE_CURRENT_LIST_DIR}/shapes.cpp)
  target_sources(tw_graphics PRIVATE ${CMAKE_CURRENT_LIST_DIR}/fill_pending.cpp)
endif()
