# The event loop: a user's click to the program's event, and status-bar text.
tw_add_bench(bench_wmsg SOURCES ${CMAKE_CURRENT_LIST_DIR}/wmsg_bench.cpp LIBS tw_window)
