# The controls of the platform layer (edit, list, combo, scroll bar and the common controls),
# driven through the headless backend.
tw_add_test(test_platform_controls
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/edit_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/listbox_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/combobox_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/scrollbar_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/updown_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/progress_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/trackbar_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/header_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tab_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/treeview_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/colour_test.cpp
  LIBS tw_platform_dlg tw_platform_clipboard)
