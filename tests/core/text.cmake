# Text services: error recorder, message table, string utilities, number conversion.
tw_add_test(test_core_errors SOURCES ${CMAKE_CURRENT_LIST_DIR}/errors_test.cpp LIBS tw_text)
tw_add_test(test_core_messages SOURCES ${CMAKE_CURRENT_LIST_DIR}/messages_test.cpp LIBS tw_text)
tw_add_test(test_core_strings SOURCES ${CMAKE_CURRENT_LIST_DIR}/strings_test.cpp LIBS tw_text)
tw_add_test(test_core_convert SOURCES ${CMAKE_CURRENT_LIST_DIR}/convert_test.cpp LIBS tw_text)
