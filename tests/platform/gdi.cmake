# The drawing layer: pixel rules on memory bitmaps, fonts and text; window device contexts on
# the headless backend and bitmaps from resources.
tw_add_test(test_platform_gdi SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/gdi_pixel_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_arc_test.cpp
  LIBS tw_platform_gdi)
tw_add_test(test_platform_gdi_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/gdi_window_test.cpp
  LIBS tw_platform_gdi)
tw_add_resources(test_platform_gdi_window ${PROJECT_SOURCE_DIR}/tests/fixtures/rc-bitmaps.rc)
tw_add_test(test_platform_gdi_records SOURCES ${CMAKE_CURRENT_LIST_DIR}/gdi_records_test.cpp
  LIBS tw_platform_gdi)
# Enhanced-metafile files, checked with emf2svg-conv.
tw_add_test(test_platform_metafile_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/metafile_file_test.cpp
  LIBS tw_platform_gdi tw_platform_printer)
# Pictures with figures far beyond any surface, replayed onto bitmaps, PNG and SVG.
tw_add_test(test_platform_far_picture SOURCES ${CMAKE_CURRENT_LIST_DIR}/far_picture_test.cpp
  LIBS tw_platform_gdi tw_platform_printer)
# Texts of recordings played at other sizes.
tw_add_test(test_platform_metafile_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/metafile_text_test.cpp
  LIBS tw_platform_gdi)
