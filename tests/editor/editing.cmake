# The text editor while its text changes: bookmark, overwrite, Replace All, RTF in the bold
# system font, the close question over several buffers, the history count.
tw_add_test(test_editor_editing SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_editing_test.cpp LIBS tw_editor tw_resources)
target_compile_definitions(test_editor_editing PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
