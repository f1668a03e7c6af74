tw_add_test(hardcopy_drivers_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/manager_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/postscript_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/svg_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dxf_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bitmap_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_printer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cgm_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_routes_test.cpp
  LIBS tw_test_picture tw_hcdrivers tw_screen)
