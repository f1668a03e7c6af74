# Speed of the number and text conversions.
tw_add_bench(bench_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_bench.cpp LIBS tw_text)
