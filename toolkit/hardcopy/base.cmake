# Shared hardcopy pieces: printer models, the output channel and the drivers' output
# helpers (tw_hardcopy_base), and the CGM file scanner (tw_cgm_scan), which reads files
# through the core's binary-file routines.
add_library(tw_hardcopy_base STATIC
  ${CMAKE_CURRENT_LIST_DIR}/printer_models.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_channel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_helpers.cpp)
target_link_libraries(tw_hardcopy_base PUBLIC tw_state tw_text tw_platform_os)

add_library(tw_cgm_scan STATIC ${CMAKE_CURRENT_LIST_DIR}/cgm_scan.cpp)
target_link_libraries(tw_cgm_scan PUBLIC tw_state tw_text tw_os)
