# The rich-edit control driven through the headless backend.
tw_add_test(test_platform_richedit SOURCES ${CMAKE_CURRENT_LIST_DIR}/richedit_test.cpp
  LIBS tw_platform_richedit tw_platform_dlg tw_platform_clipboard LABELS gui)
tw_add_test(test_platform_richedit_rtf SOURCES ${CMAKE_CURRENT_LIST_DIR}/richedit_rtf_test.cpp
  LIBS tw_platform_richedit tw_platform_dlg LABELS gui)
target_compile_definitions(test_platform_richedit_rtf PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
tw_add_test(test_platform_findreplace SOURCES ${CMAKE_CURRENT_LIST_DIR}/findreplace_test.cpp
  LIBS tw_platform_richedit tw_platform_dlg LABELS gui)
tw_add_test(test_platform_richedit_format SOURCES ${CMAKE_CURRENT_LIST_DIR}/richedit_format_test.cpp
  LIBS tw_platform_richedit tw_platform_dlg LABELS gui)
tw_add_test(test_platform_edit_layout SOURCES ${CMAKE_CURRENT_LIST_DIR}/edit_layout_test.cpp
  LIBS tw_platform_richedit tw_platform_dlg LABELS gui)
tw_add_test(test_platform_richedit_undo SOURCES ${CMAKE_CURRENT_LIST_DIR}/richedit_undo_test.cpp
  LIBS tw_platform_richedit tw_platform_dlg LABELS gui)
