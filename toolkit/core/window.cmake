# The toolkit's windows: root window and classes, window procedures, the event loop, the
# status bar, window text and cursor, and window units.
add_library(tw_window STATIC
  ${CMAKE_CURRENT_LIST_DIR}/window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wndproc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmsg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/statusbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/units.cpp)
target_link_libraries(tw_window PUBLIC tw_state tw_text tw_graphics tw_platform_win tw_platform_gdi
  tw_platform_statusbar tw_platform_resources tw_platform_os tw_platform_menu tw_platform_dlg tw_wmenus)
target_link_libraries(tw_window PUBLIC tw_platform_icon tw_platform_clipboard)
