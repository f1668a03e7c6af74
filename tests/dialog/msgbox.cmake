tw_add_test(test_dialog_msgbox SOURCES ${CMAKE_CURRENT_LIST_DIR}/msgbox_test.cpp LIBS tw_msgbox)
