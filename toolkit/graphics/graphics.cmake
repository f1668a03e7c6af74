# The graphics core: state, areas and units, device dispatch, colours, text state, lines.
add_library(tw_graphics STATIC
  ${CMAKE_CURRENT_LIST_DIR}/area.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/devices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
# The graphics reset puts the chart defaults back, and the charts draw through graphics:
# the two static libraries depend on each other.
target_link_libraries(tw_graphics PUBLIC tw_text tw_state tw_pgraph)
