# The BUTTON, STATIC, EDIT, LISTBOX, COMBOBOX and SCROLLBAR controls, the common controls,
# the dialog class with its modal loop and keyboard interface, and the message box built
# from them.
add_library(tw_platform_dlg STATIC
  ${CMAKE_CURRENT_LIST_DIR}/button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/static.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/listbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/combobox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scrollbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/updown.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trackbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/header.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/treeview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialog_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_dialog.cpp)
target_include_directories(tw_platform_dlg PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_dlg PUBLIC tw_platform_win tw_platform_gdi tw_platform_resources)
target_link_libraries(tw_platform_dlg PUBLIC tw_platform_icon tw_platform_clipboard)
