# The page set-up dialog, the colour chooser, the folder browser and the measurement system:
# the layer's own dialogs, or the desktop's that a display backend offers.
add_library(tw_platform_commdlg STATIC ${CMAKE_CURRENT_LIST_DIR}/common_dialogs.cpp)
target_include_directories(tw_platform_commdlg PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_commdlg PUBLIC tw_platform_dlg tw_platform_printer tw_platform_clipboard)
