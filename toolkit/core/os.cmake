# Operating-system front routines and dates, program start-up, information queries, help.
add_library(tw_os STATIC
  ${CMAKE_CURRENT_LIST_DIR}/opsys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help.cpp)
target_link_libraries(tw_os PUBLIC tw_state tw_text tw_platform_os tw_platform_ospump tw_msgbox
  tw_hardcopy_base
  tw_hardcopy_startup tw_editor_startup tw_window tw_raster_print tw_screen)
