# The screen side: the screen driver, its drawing layer, the choice of drawing target and the
# in-memory metafile slots, images drawn on device contexts and the numbered bitmaps. It draws on the window layer's drawing context, so it sits above
# the window layer; the graphics core reaches it through graphicsservices.
add_library(tw_screen STATIC
  ${CMAKE_CURRENT_LIST_DIR}/wgraph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/targets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/images.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bitmaps.cpp)
target_link_libraries(tw_screen PUBLIC tw_state tw_text tw_graphics tw_raster tw_window tw_platform_gdi
  tw_platform_os)
