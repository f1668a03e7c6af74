# Buttons, statics, the dialog class and the message box, driven through the headless backend.
tw_add_test(test_platform_dialog
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dlg_dialog_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/dlg_keyboard_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/msgbox_platform_test.cpp
  LIBS tw_platform_dlg)
tw_add_resources(test_platform_dialog ${CMAKE_CURRENT_LIST_DIR}/dlg_test.rc)
