# The main program driven headless as a user would.
tw_add_test(test_app_mainprogram SOURCES ${CMAKE_CURRENT_LIST_DIR}/mainprogram_test.cpp LIBS tw_mainprog tw_resources)
tw_add_test(test_app_separation SOURCES ${CMAKE_CURRENT_LIST_DIR}/separation_test.cpp LIBS tw_mainprog tw_resources)
