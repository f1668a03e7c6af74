tw_add_test(raster_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dither_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/png_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/primitives_test.cpp
  LIBS tw_raster)
