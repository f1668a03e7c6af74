# Shared hardcopy pieces: printer models, the output channel, the drivers' output
# helpers and the CGM file scanner.
add_library(tw_hardcopy_base STATIC
  ${CMAKE_CURRENT_LIST_DIR}/printer_models.cpp)
target_link_libraries(tw_hardcopy_base PUBLIC tw_state)
