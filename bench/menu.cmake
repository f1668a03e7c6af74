# Speed of drawing the menu bar, opening and closing a pop-up menu, and painting a toolbar,
# on the program's own menu 30001 and toolbar 30101.
tw_add_bench(bench_menu SOURCES ${CMAKE_CURRENT_LIST_DIR}/menu_bench.cpp LIBS tw_platform_menu tw_resources)
