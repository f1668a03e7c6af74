# Pictures of the built-in stroke fonts, painted on a headless window.
tw_add_test(graphics_fontpictures_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fontpictures_test.cpp
  LIBS tw_graphics tw_pgraph tw_platform_win
  LABELS gui)
target_compile_definitions(graphics_fontpictures_test PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
