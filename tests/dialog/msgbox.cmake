tw_add_test(test_dialog_msgbox SOURCES ${CMAKE_CURRENT_LIST_DIR}/msgbox_test.cpp LIBS tw_msgbox)
tw_add_test(test_dialog_fileselect SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_select_test.cpp LIBS tw_msgbox)
target_compile_definitions(test_dialog_fileselect PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
