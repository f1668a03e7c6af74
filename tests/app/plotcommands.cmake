# The plot windows' print, metafile and clipboard commands driven by keys; pictures kept in the build folder.
tw_add_test(test_app_plotcommands SOURCES ${CMAKE_CURRENT_LIST_DIR}/plotcommands_test.cpp
  LIBS tw_mainprog tw_resources tw_platform_clipboard)
target_compile_definitions(test_app_plotcommands PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
