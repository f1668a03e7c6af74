# Speed of the window system's message paths (sent, posted and dispatched, routed input).
tw_add_bench(bench_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp LIBS tw_platform_win)
