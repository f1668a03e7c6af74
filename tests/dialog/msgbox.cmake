tw_add_test(test_dialog_msgbox SOURCES ${CMAKE_CURRENT_LIST_DIR}/msgbox_test.cpp LIBS tw_msgbox)
tw_add_test(test_dialog_fileselect SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_select_test.cpp LIBS tw_msgbox)
target_compile_definitions(test_dialog_fileselect PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
tw_add_resources(test_dialog_fileselect ${CMAKE_CURRENT_LIST_DIR}/file_select_test.rc)
tw_add_test(test_dialog_stddialogs SOURCES ${CMAKE_CURRENT_LIST_DIR}/std_dialogs_test.cpp LIBS tw_dialog tw_raster tw_resources)
target_compile_definitions(test_dialog_stddialogs PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
tw_add_test(test_dialog_stddialogs_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/std_dialogs_gtk_test.cpp
  LIBS tw_mainprog tw_resources tw_platform_gtk tw_test_xserver LABELS gui)
target_compile_definitions(test_dialog_stddialogs_gtk PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
