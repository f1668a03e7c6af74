# The hardcopy manager, the vector file drivers (PostScript and EPS, DXF, SVG, CGM, HP-GL
# and HP-GL/2), the CGM recorder, the raster device with the bitmap-file and raster printer
# drivers. They draw from the graphics state and load images, so they sit above the graphics
# core and raster output; the graphics core reaches them through `graphicsservices`.
add_library(tw_hcdrivers STATIC
  ${CMAKE_CURRENT_LIST_DIR}/manager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver_common.cpp
  ${CMAKE_CURRENT_LIST_DIR}/postscript.cpp
  ${CMAKE_CURRENT_LIST_DIR}/svg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dxf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/raster_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bitmap_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/raster_printer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cgm_elements.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cgm_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cgm_recorder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hpgl_writers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hpgl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hpgl2.cpp)
target_link_libraries(tw_hcdrivers PUBLIC tw_raster tw_graphics tw_hardcopy tw_os tw_text
  tw_state tw_platform_os tw_platform_clipboard)
