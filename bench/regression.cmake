tw_add_bench(bench_regression SOURCES ${CMAKE_CURRENT_LIST_DIR}/regression_bench.cpp LIBS tw_app_reg)
