tw_add_bench(bench_engine SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp LIBS tw_app)
