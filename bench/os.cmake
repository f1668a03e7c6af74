tw_add_bench(bench_os SOURCES ${CMAKE_CURRENT_LIST_DIR}/os_bench.cpp LIBS tw_os)
