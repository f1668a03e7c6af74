# A change of the filter parameter in the separation view: the separation of 60,000 days run
# again and the plot of the whole record painted afresh on a headless window.
tw_add_bench(bench_separation SOURCES ${CMAKE_CURRENT_LIST_DIR}/separation_bench.cpp LIBS tw_appplots tw_screen)
