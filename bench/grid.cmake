# Grid cell store: bulk puts and row insertion through the public field operations.
tw_add_bench(bench_grid SOURCES ${CMAKE_CURRENT_LIST_DIR}/grid_bench.cpp LIBS tw_grid)
