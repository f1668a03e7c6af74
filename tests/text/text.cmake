# Text services: error recorder, message table, string utilities, number conversion.
tw_add_test(test_core_errors SOURCES ${CMAKE_CURRENT_LIST_DIR}/errors_test.cpp LIBS tw_text)
tw_add_test(test_core_messages SOURCES ${CMAKE_CURRENT_LIST_DIR}/messages_test.cpp LIBS tw_text)
tw_add_test(test_core_strings SOURCES ${CMAKE_CURRENT_LIST_DIR}/strings_test.cpp LIBS tw_text)
tw_add_test(test_core_convert SOURCES ${CMAKE_CURRENT_LIST_DIR}/convert_test.cpp LIBS tw_text)

# Fields of a record layout against C's exact printing and reading, and their input against
# gfortran's formatted read (the reference program is built by the test).
tw_add_test(test_core_format_fields SOURCES ${CMAKE_CURRENT_LIST_DIR}/format_fields_test.cpp LIBS tw_text)
target_compile_definitions(test_core_format_fields PRIVATE
  TW_FORMAT_READ_REFERENCE="${CMAKE_CURRENT_LIST_DIR}/format_read_reference.f90")

# The display formats checked against gfortran: the reference program is built with the
# tests; without gfortran the test fails and says so.
find_program(TW_GFORTRAN gfortran)
tw_add_test(test_core_format_gfortran
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/format_gfortran_test.cpp LIBS tw_text)
if(TW_GFORTRAN)
  set(_tw_format_reference ${CMAKE_CURRENT_BINARY_DIR}/format_reference)
  add_custom_command(OUTPUT ${_tw_format_reference}
    COMMAND ${TW_GFORTRAN} -O0 -J ${CMAKE_CURRENT_BINARY_DIR} -o ${_tw_format_reference}
            ${CMAKE_CURRENT_LIST_DIR}/format_reference.f90
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/format_reference.f90
    COMMENT "Building the gfortran format reference")
  add_custom_target(tw_format_reference DEPENDS ${_tw_format_reference})
  add_dependencies(test_core_format_gfortran tw_format_reference)
  target_compile_definitions(test_core_format_gfortran PRIVATE
    TW_FORMAT_REFERENCE="${_tw_format_reference}")
else()
  target_compile_definitions(test_core_format_gfortran PRIVATE TW_FORMAT_REFERENCE="")
endif()

