# The screen road on headless windows: graphics calls through the screen driver and the
# drawing layer to pixels; drawing targets and metafile slots.
tw_add_test(test_screen
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/screen_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/figures_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/targets_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/images_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_decoding_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bitmaps_test.cpp
  LIBS tw_screen tw_resources)
# The image decoding tests make their files with the raster tests' Pillow script.
target_compile_definitions(test_screen PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
