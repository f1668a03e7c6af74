# Speed of the dialog manager: loading and showing the application's dialogs, and field
# reads and writes.
tw_add_bench(bench_dialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_bench.cpp
  LIBS tw_dialog tw_window tw_resources)
