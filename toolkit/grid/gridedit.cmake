# The grid-editor window and its commands (on the dialog manager and the editor's special-window
# bookkeeping).
add_library(tw_gridedit STATIC ${CMAKE_CURRENT_LIST_DIR}/gridedit.cpp ${CMAKE_CURRENT_LIST_DIR}/gridedit_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gridprint.cpp)
target_link_libraries(tw_gridedit PUBLIC tw_grid tw_dialog tw_msgbox tw_editor tw_window tw_os tw_text tw_state
  tw_platform_menu tw_platform_statusbar tw_platform_gdi tw_platform_printer)
