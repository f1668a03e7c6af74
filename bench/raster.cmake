tw_add_bench(bench_raster SOURCES ${CMAKE_CURRENT_LIST_DIR}/raster_bench.cpp LIBS tw_raster)
