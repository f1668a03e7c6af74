# Start-up, information queries and help.
add_executable(startup_probe ${CMAKE_CURRENT_LIST_DIR}/startup_probe.cpp)
target_link_libraries(startup_probe PRIVATE tw_startup)
# The real program's start-up, driven through its INI file, is in the same program.
tw_add_test(test_core_startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_program_test.cpp LIBS tw_startup)
target_compile_definitions(test_core_startup PRIVATE STARTUP_PROBE="$<TARGET_FILE:startup_probe>"
  TW_PROGRAM="$<TARGET_FILE:tarnwalker>")
add_dependencies(test_core_startup startup_probe tarnwalker)
tw_add_test(test_core_info SOURCES ${CMAKE_CURRENT_LIST_DIR}/info_test.cpp LIBS tw_startup)
tw_add_test(test_core_help SOURCES ${CMAKE_CURRENT_LIST_DIR}/help_test.cpp LIBS tw_startup)
