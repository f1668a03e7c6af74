# Presentation graphics: the chart definition, mapping, settings, scale arithmetic and text.
add_library(tw_pgraph STATIC
  ${CMAKE_CURRENT_LIST_DIR}/decorations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/definition.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plots.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scalenum.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scales.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ticks.cpp)
target_link_libraries(tw_pgraph PUBLIC tw_text tw_state tw_graphics)
