# The text editor's repaint with a colouring routine and a caret key, at 3.5 MB and 100 MB.
tw_add_bench(bench_editorpaint SOURCES ${CMAKE_CURRENT_LIST_DIR}/editorpaint_bench.cpp
  LIBS tw_editor tw_resources)
