tw_add_bench(graphics_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/graphics_bench.cpp LIBS tw_graphics tw_pgraph)
