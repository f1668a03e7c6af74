# The rich-edit control classes, built on the EDIT control.
add_library(tw_platform_richedit STATIC ${CMAKE_CURRENT_LIST_DIR}/richedit.cpp ${CMAKE_CURRENT_LIST_DIR}/richedit_rtf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/richedit_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/findreplace.cpp ${CMAKE_CURRENT_LIST_DIR}/fontdialog.cpp)
target_include_directories(tw_platform_richedit PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_richedit PUBLIC tw_platform_dlg tw_platform_clipboard)
