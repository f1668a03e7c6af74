tw_add_bench(fills_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/fills_bench.cpp LIBS tw_graphics tw_pgraph)
