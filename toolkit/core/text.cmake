# Text services: the error recorder, the error message table, string utilities and the
# number and text conversions. Every toolkit library links it for yyerror.
add_library(tw_text STATIC
  ${CMAKE_CURRENT_LIST_DIR}/errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert.cpp)
# The level-3 report writes into the root window's status bar, the level-4 report shows a
# message box and may end the program; the message table asks the platform for
# operating-system texts. Those libraries link tw_text in turn.
target_link_libraries(tw_text PUBLIC tw_state tw_platform_os tw_msgbox tw_os tw_window tw_wmenus)
# The libraries of that cycle are repeated on the link line until each finds the others.
set_property(TARGET tw_text PROPERTY LINK_INTERFACE_MULTIPLICITY 4)
