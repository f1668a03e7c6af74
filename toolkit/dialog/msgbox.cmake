# The message box, the file selection, the page set-up, the directory browser and the
# measurement system of the standard dialogs.
add_library(tw_msgbox STATIC ${CMAKE_CURRENT_LIST_DIR}/msgbox.cpp ${CMAKE_CURRENT_LIST_DIR}/file_select.cpp
  ${CMAKE_CURRENT_LIST_DIR}/std_dialogs.cpp ${CMAKE_CURRENT_LIST_DIR}/printer_blocks.cpp)
target_link_libraries(tw_msgbox PUBLIC tw_text tw_state tw_platform_dlg tw_platform_os tw_platform_commdlg
  tw_platform_printer)
