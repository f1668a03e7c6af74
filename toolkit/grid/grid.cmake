# The grid control: records, cell store, field operations, rows and settings.
add_library(tw_grid STATIC ${CMAKE_CURRENT_LIST_DIR}/cellstore.cpp ${CMAKE_CURRENT_LIST_DIR}/wgrid.cpp)
target_link_libraries(tw_grid PUBLIC tw_window tw_text tw_state tw_platform_win tw_platform_gdi tw_platform_dlg
  tw_platform_clipboard tw_platform_menu)
