tw_add_test(test_app_modules SOURCES ${CMAKE_CURRENT_LIST_DIR}/modules_test.cpp LIBS tw_app)
tw_add_test(test_app_calendar SOURCES ${CMAKE_CURRENT_LIST_DIR}/calendar_test.cpp LIBS tw_app)
tw_add_test(test_app_aggregate SOURCES ${CMAKE_CURRENT_LIST_DIR}/aggregate_test.cpp LIBS tw_app)
tw_add_test(test_app_baseflow SOURCES ${CMAKE_CURRENT_LIST_DIR}/baseflow_test.cpp LIBS tw_app)
