# The dialog manager: the table of loaded dialogs, companion texts, the dialog procedure,
# numeric fields, field operations, queries, tab pages and resizable dialogs.
add_library(tw_dialog STATIC
  ${CMAKE_CURRENT_LIST_DIR}/wdialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/companion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialogproc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numeric.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fieldops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/queries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trees.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gridfields.cpp)
target_link_libraries(tw_dialog PUBLIC tw_grid tw_window tw_graphics tw_msgbox tw_text tw_state
  tw_platform_dlg tw_platform_win tw_platform_gdi tw_platform_icon tw_platform_menu tw_platform_resources)
