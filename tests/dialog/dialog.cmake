tw_add_test(test_dialog_manager SOURCES ${CMAKE_CURRENT_LIST_DIR}/wdialog_test.cpp
  LIBS tw_dialog tw_window tw_resources LABELS gui)
tw_add_resources(test_dialog_manager ${CMAKE_CURRENT_LIST_DIR}/companion_test.rc)
tw_add_test(test_dialog_numeric SOURCES ${CMAKE_CURRENT_LIST_DIR}/numeric_test.cpp
  LIBS tw_dialog tw_window tw_resources tw_platform_clipboard LABELS gui)
tw_add_resources(test_dialog_numeric ${CMAKE_CURRENT_LIST_DIR}/companion_test.rc)
tw_add_test(test_dialog_fields SOURCES ${CMAKE_CURRENT_LIST_DIR}/fieldops_test.cpp
  LIBS tw_dialog tw_window tw_resources LABELS gui)
tw_add_resources(test_dialog_fields ${CMAKE_CURRENT_LIST_DIR}/fields_test.rc)
tw_add_test(test_dialog_application SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_dialogs_test.cpp
  LIBS tw_msgbox tw_dialog tw_window tw_resources LABELS gui)
# On a private Xvfb server with the GTK backend; the screenshot is taken with xwd and
# ImageMagick (label gui).
tw_add_test(test_dialog_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_gtk_test.cpp
  LIBS tw_dialog tw_window tw_resources tw_platform_gtk tw_test_xserver LABELS gui)
tw_add_resources(test_dialog_gtk ${CMAKE_CURRENT_LIST_DIR}/fields_test.rc)
tw_add_test(test_dialog_tabs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tabs_test.cpp
  LIBS tw_dialog tw_window tw_resources LABELS gui)
tw_add_resources(test_dialog_tabs ${CMAKE_CURRENT_LIST_DIR}/fields_test.rc)
tw_add_test(test_dialog_trees SOURCES ${CMAKE_CURRENT_LIST_DIR}/trees_test.cpp
  LIBS tw_dialog tw_window tw_resources LABELS gui)
tw_add_resources(test_dialog_trees ${CMAKE_CURRENT_LIST_DIR}/fields_test.rc)
tw_add_test(test_dialog_drawing SOURCES ${CMAKE_CURRENT_LIST_DIR}/drawing_test.cpp
  LIBS tw_dialog tw_screen tw_window tw_resources LABELS gui)
tw_add_resources(test_dialog_drawing ${CMAKE_CURRENT_LIST_DIR}/fields_test.rc)
