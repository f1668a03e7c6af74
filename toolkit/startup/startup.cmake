# Program entry and toolkit start-up, the information queries and help: they use every
# subsystem, so they sit above the window layer.
add_library(tw_startup STATIC
  ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help.cpp)
target_link_libraries(tw_startup PUBLIC tw_state tw_text tw_msgbox tw_os tw_hardcopy tw_hcdrivers
  tw_raster tw_editor tw_window tw_screen tw_platform_os tw_platform_ospump)
