# What start-up needs of the hardcopy subsystem: temporary file names, plotter selection.
add_library(tw_hardcopy_startup STATIC ${CMAKE_CURRENT_LIST_DIR}/startup_hardcopy.cpp)
target_link_libraries(tw_hardcopy_startup PUBLIC tw_state tw_text tw_hardcopy_base tw_os
  tw_platform_os)
