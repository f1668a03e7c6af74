# The graphics core: state, areas and units, device dispatch, colours, text state, lines.
# What lies above it (drivers, the chart defaults) it reaches through `graphicsservices`.
add_library(tw_graphics STATIC
  ${CMAKE_CURRENT_LIST_DIR}/area.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/devices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fill.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gradient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shapes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
target_link_libraries(tw_graphics PUBLIC tw_text tw_state)
