# Window geometry and selection, menus, toolbars and menu prompts, child windows and
# splitters. The root window's opening calls into this library and it calls back into the
# window library, so the two link each other.
add_library(tw_wmenus STATIC
  ${CMAKE_CURRENT_LIST_DIR}/geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmenus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/childwin.cpp)
target_link_libraries(tw_wmenus PUBLIC tw_window tw_state tw_text tw_graphics tw_platform_win
  tw_platform_gdi tw_platform_menu tw_platform_resources tw_platform_statusbar)
