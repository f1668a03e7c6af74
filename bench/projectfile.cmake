# Speed of saving and opening a full-size project file.
tw_add_bench(bench_projectfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/projectfile_bench.cpp LIBS tw_app_reg)
