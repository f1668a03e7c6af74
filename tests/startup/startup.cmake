# Start-up, information queries and help.
add_executable(startup_probe ${CMAKE_CURRENT_LIST_DIR}/startup_probe.cpp)
target_link_libraries(startup_probe PRIVATE tw_startup)
tw_add_test(test_core_startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp LIBS tw_startup)
target_compile_definitions(test_core_startup PRIVATE STARTUP_PROBE="$<TARGET_FILE:startup_probe>")
add_dependencies(test_core_startup startup_probe)
tw_add_test(test_core_info SOURCES ${CMAKE_CURRENT_LIST_DIR}/info_test.cpp LIBS tw_startup)
tw_add_test(test_core_help SOURCES ${CMAKE_CURRENT_LIST_DIR}/help_test.cpp LIBS tw_startup)
