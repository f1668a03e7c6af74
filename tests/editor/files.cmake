# The text editor's files at their far ends: huge, cut, linked, read-only, pipes.
tw_add_test(test_editor_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_files_test.cpp LIBS tw_editor tw_resources)
