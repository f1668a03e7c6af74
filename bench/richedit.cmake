# Speed of the rich-edit control on a 10 MB text: stream in, find, stream out.
tw_add_bench(bench_richedit SOURCES ${CMAKE_CURRENT_LIST_DIR}/richedit_bench.cpp
  LIBS tw_platform_richedit)
