# Presentation graphics: the chart definition, mapping, settings, scale arithmetic and text.
add_library(tw_pgraph STATIC
  ${CMAKE_CURRENT_LIST_DIR}/definition.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mapping.cpp)
target_link_libraries(tw_pgraph PUBLIC tw_text tw_state tw_graphics)
