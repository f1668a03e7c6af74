# The message box and the file selection of the standard dialogs.
add_library(tw_msgbox STATIC ${CMAKE_CURRENT_LIST_DIR}/msgbox.cpp ${CMAKE_CURRENT_LIST_DIR}/file_select.cpp)
target_link_libraries(tw_msgbox PUBLIC tw_text tw_state tw_platform_dlg tw_platform_os)
