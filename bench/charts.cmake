# Speed of a line chart through the screen road on a headless toolkit window.
tw_add_bench(bench_charts SOURCES ${CMAKE_CURRENT_LIST_DIR}/charts_bench.cpp LIBS tw_screen tw_pgraph)
