# Grid CSV save and load and row sort of 100,000 rows x 2 columns.
tw_add_bench(bench_gridfiles SOURCES ${CMAKE_CURRENT_LIST_DIR}/gridfiles_bench.cpp LIBS tw_grid)
