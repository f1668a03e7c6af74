# The drawing layer: device contexts on cairo image surfaces (memory bitmaps and the window
# layer's backing stores), the aliased rasteriser, fonts through fontconfig and FreeType.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_GDI_DEPS REQUIRED IMPORTED_TARGET cairo cairo-pdf cairo-ft fontconfig freetype2)
add_library(tw_platform_gdi STATIC
  ${CMAKE_CURRENT_LIST_DIR}/gdi_objects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_dib.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_palette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_metafile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_metafile_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_metafile_read.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_printer.cpp)
target_include_directories(tw_platform_gdi PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_gdi PUBLIC PkgConfig::TW_GDI_DEPS tw_platform_win tw_platform_resources
  tw_platform_printer)
