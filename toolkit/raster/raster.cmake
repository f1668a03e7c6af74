# Raster output and images: the virtual raster page with its primitives and dithering,
# the BMP, PCX and PNG writers with the PNG CRC and buffer compression, file identification and
# image loading; printer information and the page of window dumps, over the platform's printers.
find_package(ZLIB REQUIRED)
add_library(tw_raster STATIC
  ${CMAKE_CURRENT_LIST_DIR}/bmp_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dither.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pcx_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/primitives.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printer_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_select.cpp)
target_link_libraries(tw_raster PUBLIC tw_state tw_text tw_os tw_graphics tw_hardcopy
  tw_platform_printer tw_platform_gdi ZLIB::ZLIB)
