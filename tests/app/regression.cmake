tw_add_test(test_app_regstats SOURCES ${CMAKE_CURRENT_LIST_DIR}/regstats_test.cpp LIBS tw_app_reg)
tw_add_test(test_app_regression SOURCES ${CMAKE_CURRENT_LIST_DIR}/regression_test.cpp LIBS tw_app_reg)
tw_add_test(test_app_datacheck SOURCES ${CMAKE_CURRENT_LIST_DIR}/datacheck_test.cpp LIBS tw_app_reg)
tw_add_test(test_app_projectfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/projectfile_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/projectfile_damage_test.cpp LIBS tw_app_reg)
target_compile_definitions(test_app_projectfile PRIVATE TW_SOURCE_TESTS="${CMAKE_CURRENT_LIST_DIR}")
