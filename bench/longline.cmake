# Keys and repaints on one long line (4 and 16 MB) and in one long wrapped paragraph (16 and 64 MB).
tw_add_bench(bench_longline SOURCES ${CMAKE_CURRENT_LIST_DIR}/longline_bench.cpp
  LIBS tw_platform_richedit)
