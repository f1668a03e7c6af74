# The bitmap viewer and the text editor on headless windows, driven by keys, wheel and mouse.
tw_add_test(test_viewer SOURCES ${CMAKE_CURRENT_LIST_DIR}/viewer_test.cpp LIBS tw_editor tw_resources)
tw_add_test(test_editor SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_test.cpp LIBS tw_editor tw_resources)
target_compile_definitions(test_editor PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# A program's own line colouring for custom painting replaces the linked one: a binary of its own.
tw_add_test(test_editor_paint SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_paint_test.cpp LIBS tw_editor tw_resources)
