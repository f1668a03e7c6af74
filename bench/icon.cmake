# Speed of icons and the clipboard: drawing the program's icon, decoding it afresh, and
# handing a pasted table's text through the clipboard.
tw_add_bench(bench_icon SOURCES ${CMAKE_CURRENT_LIST_DIR}/icon_bench.cpp
  LIBS tw_platform_icon tw_platform_clipboard tw_resources)
