# The editor subsystem's special windows: the editor buffer table that start-up allocates and
# the bitmap viewer window. The viewer stands on the dialog manager's semi-modeless
# bookkeeping and the screen side's numbered bitmaps.
add_library(tw_editor STATIC
  ${CMAKE_CURRENT_LIST_DIR}/startup_editor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/viewer.cpp)
target_link_libraries(tw_editor PUBLIC tw_dialog tw_screen tw_window tw_state tw_platform_gdi tw_platform_menu)
