# tw_include_fragments(): include every *.cmake file of the current source folder, in name order.
macro(tw_include_fragments)
  file(GLOB _tw_fragments CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cmake")
  list(SORT _tw_fragments)
  foreach(_tw_fragment IN LISTS _tw_fragments)
    include(${_tw_fragment})
  endforeach()
endmacro()

# tw_add_test(name sources... LIBS libs... [LABELS labels...]): one GoogleTest program under CTest.
function(tw_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TW_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    TW_SHARED_DATA="${PROJECT_SOURCE_DIR}/../shared/data")
  if(T_LABELS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${T_LABELS}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# tw_add_bench(name sources... LIBS libs...): one Google Benchmark program.
function(tw_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES} ${B_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
