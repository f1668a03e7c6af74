tw_add_test(raster_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/bitmap_writers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dither_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_info_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_load_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/png_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/png_writer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/primitives_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spotcheck_test.cpp
  LIBS tw_raster)
target_compile_definitions(raster_test PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

find_package(ZLIB REQUIRED)
# The fuzz loop, with the file decoders compiled into it under AddressSanitizer so that a
# read or write outside a buffer stops it. Run alone with: ctest -L asan
tw_add_test(raster_fuzz_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/fuzz_test.cpp
    ${PROJECT_SOURCE_DIR}/toolkit/raster/file_info.cpp
    ${PROJECT_SOURCE_DIR}/toolkit/raster/file_reader.cpp
    ${PROJECT_SOURCE_DIR}/toolkit/raster/image_load.cpp
    ${PROJECT_SOURCE_DIR}/toolkit/raster/png.cpp
    ${PROJECT_SOURCE_DIR}/toolkit/hardcopy/cgm_scan.cpp
  LIBS tw_os tw_text tw_state ZLIB::ZLIB
  LABELS asan)
target_compile_options(raster_fuzz_test PRIVATE -fsanitize=address -fno-omit-frame-pointer)
target_link_options(raster_fuzz_test PRIVATE -fsanitize=address)
