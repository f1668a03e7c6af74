# Icons from the resources and their drawing; the in-process clipboard.
tw_add_test(test_platform_icon
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/icon_test.cpp ${CMAKE_CURRENT_LIST_DIR}/icon_dialog_test.cpp
  LIBS tw_platform_icon tw_platform_gdi tw_platform_dlg)
tw_add_resources(test_platform_icon ${CMAKE_CURRENT_LIST_DIR}/icon_test.rc)
target_compile_definitions(test_platform_icon PRIVATE TW_PROGRAM_ICON="${PROJECT_SOURCE_DIR}/resources/images/tarnwalker.ico")

tw_add_test(test_platform_clipboard
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/clipboard_test.cpp
  LIBS tw_platform_clipboard tw_platform_win)

tw_add_test(test_platform_clipboard_text
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/clipboard_text_test.cpp
  LIBS tw_platform_clipboard)
