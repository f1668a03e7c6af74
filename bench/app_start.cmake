# Start of the program on the headless backend: start-up to the main window painted.
tw_add_bench(bench_app_start SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_start_bench.cpp LIBS tw_mainprog tw_resources)
target_compile_definitions(bench_app_start PRIVATE TW_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures")
