# The editor subsystem's special windows: the editor buffer table that start-up allocates and
# the bitmap viewer window. The viewer stands on the dialog manager's semi-modeless
# bookkeeping and the screen side's numbered bitmaps.
add_library(tw_editor STATIC
  ${CMAKE_CURRENT_LIST_DIR}/startup_editor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/viewer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_api.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_command.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_toolbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_parse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editor_print.cpp)
target_link_libraries(tw_editor PUBLIC tw_dialog tw_screen tw_window tw_state tw_platform_gdi tw_platform_dlg tw_platform_menu tw_platform_richedit tw_platform_statusbar
  tw_platform_clipboard tw_platform_commdlg tw_platform_printer tw_os tw_text)
