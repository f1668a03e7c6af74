# Speed of the screen road: graphics calls through the screen driver and the drawing layer to
# the pixels of a headless toolkit window.
tw_add_bench(bench_screen SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_bench.cpp LIBS tw_screen)
