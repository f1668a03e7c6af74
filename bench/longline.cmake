# Keys, caret moves and repaints on one long line of 4 and 16 MB.
tw_add_bench(bench_longline SOURCES ${CMAKE_CURRENT_LIST_DIR}/longline_bench.cpp
  LIBS tw_platform_richedit)
