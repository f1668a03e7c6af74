# The hardcopy subsystem: printer models, the output channel and the drivers' output
# helpers, the CGM file scanner (which reads files through the operating-system routines),
# and what start-up needs of it (temporary file names, plotter selection).
add_library(tw_hardcopy STATIC
  ${CMAKE_CURRENT_LIST_DIR}/printer_models.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_channel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_helpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cgm_scan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_hardcopy.cpp)
target_link_libraries(tw_hardcopy PUBLIC tw_state tw_text tw_os tw_platform_os)
