tw_add_test(raster_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dither_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_info_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_load_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/png_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/png_writer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/primitives_test.cpp
  LIBS tw_raster)
target_compile_definitions(raster_test PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
