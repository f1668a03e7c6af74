# Time and memory of loading a 100 MB and a 200 MB text file into the text editor, beside a plain read.
tw_add_bench(bench_editorload SOURCES ${CMAKE_CURRENT_LIST_DIR}/editorload_bench.cpp LIBS tw_editor)
