# The text editor: Replace All over a 5 MB text with 60,000 matches, as the Replace dialog asks.
tw_add_bench(bench_editor SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_bench.cpp
  LIBS tw_editor tw_resources)
