# Speed of swapping the main window's menu and toolbar (as entering and leaving a plot does),
# of opening and closing a child window, and of the window-unit conversions.
tw_add_bench(bench_geom SOURCES ${CMAKE_CURRENT_LIST_DIR}/geom_bench.cpp LIBS tw_window tw_resources)
