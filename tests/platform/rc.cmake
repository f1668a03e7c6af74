# The resource compiler and the resource loaders: a sample script read back byte for byte, and
# scripts with errors refused.
tw_add_test(test_platform_rc SOURCES ${CMAKE_CURRENT_LIST_DIR}/rc_resource_test.cpp
  LIBS tw_platform_resources)
tw_add_resources(test_platform_rc ${PROJECT_SOURCE_DIR}/tests/fixtures/rc-sample.rc)
target_compile_definitions(test_platform_rc PRIVATE TW_RC_PATH="$<TARGET_FILE:tw_rc>")
add_dependencies(test_platform_rc tw_rc)
