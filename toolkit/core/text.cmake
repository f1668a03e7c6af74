# Text services: the error recorder, the error message table, string utilities and the
# number and text conversions. Every toolkit library links it for yyerror.
add_library(tw_text STATIC
  ${CMAKE_CURRENT_LIST_DIR}/errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert.cpp)
target_link_libraries(tw_text PUBLIC tw_state)
