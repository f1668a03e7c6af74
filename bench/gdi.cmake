# Speed of the drawing layer: full repaints of a 1000 x 700 plot with 10,000 segments and 200
# strings, on a headless window and on memory bitmaps.
tw_add_bench(bench_gdi SOURCES ${CMAKE_CURRENT_LIST_DIR}/gdi_bench.cpp
  LIBS tw_platform_gdi)
