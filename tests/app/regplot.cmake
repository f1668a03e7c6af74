# The regression plot copied, saved and printed, its pictures kept in the build folder.
tw_add_test(test_app_regplot SOURCES ${CMAKE_CURRENT_LIST_DIR}/regplot_pictures_test.cpp
  LIBS tw_mainprog tw_resources tw_platform_clipboard)
target_compile_definitions(test_app_regplot PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
