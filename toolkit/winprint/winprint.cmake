# Windows metafiles and printers: the metafile and printer drawing layers over one shared
# picture layer, the metafile (11) and printer (10) drivers, and the hardcopy options. It
# draws through the screen side's point buffer and dash patterns and registers its drivers
# with the hardcopy manager, so it sits above both; the program installs it after start-up.
add_library(tw_winprint STATIC
  ${CMAKE_CURRENT_LIST_DIR}/picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wprint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wdrivers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wdump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hcoptions.cpp)
target_link_libraries(tw_winprint PUBLIC tw_state tw_text tw_graphics tw_hardcopy tw_hcdrivers tw_raster
  tw_screen tw_window tw_dialog tw_startup tw_platform_gdi tw_platform_printer tw_platform_clipboard tw_platform_os)
