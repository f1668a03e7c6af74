# The daily data entry: 60,000 days pasted through the real dialog to stored records.
tw_add_bench(bench_dataentry SOURCES ${CMAKE_CURRENT_LIST_DIR}/dataentry_bench.cpp
  LIBS tw_mainprog tw_resources tw_platform_clipboard)
