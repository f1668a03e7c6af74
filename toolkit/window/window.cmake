# The toolkit's windows: root window and classes, window procedures, the event loop, the
# status bar, window text and cursor, window units; window geometry and selection, menus,
# toolbars and menu prompts, child windows and splitters. The root window's opening loads
# the menus and toolbars and those use the window tables and procedures, so they are one
# library. Its opening also fills the recorder's and the graphics core's service tables.
add_library(tw_window STATIC
  ${CMAKE_CURRENT_LIST_DIR}/window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wndproc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmsg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/statusbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/units.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmenus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/childwin.cpp)
target_link_libraries(tw_window PUBLIC tw_state tw_text tw_msgbox tw_os tw_graphics tw_pgraph
  tw_platform_win tw_platform_gdi tw_platform_statusbar tw_platform_resources tw_platform_os
  tw_platform_menu tw_platform_dlg tw_platform_icon tw_platform_clipboard)
