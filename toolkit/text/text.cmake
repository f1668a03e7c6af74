# Text services: the error recorder, the error message table, string utilities and the
# number and text conversions. Every toolkit library links it for yyerror. It is the
# bottom of the toolkit: levels 3 and 4 of the recorder reach the window layer, the message
# box and the program's end through `reportservices`, which the window layer fills; the
# message table asks the platform for operating-system texts, and without the window layer
# a level-4 report shows the platform's box itself.
add_library(tw_text STATIC
  ${CMAKE_CURRENT_LIST_DIR}/errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert.cpp)
target_link_libraries(tw_text PUBLIC tw_state tw_platform_os tw_platform_dlg)
