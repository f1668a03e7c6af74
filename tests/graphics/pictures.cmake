# Pictures of the stroke fonts, fills, shapes, gradients and text, painted on a headless window.
tw_add_test(graphics_pictures_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/pictures_test.cpp
  LIBS tw_graphics tw_pgraph tw_platform_win
  LABELS gui)
target_compile_definitions(graphics_pictures_test PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
