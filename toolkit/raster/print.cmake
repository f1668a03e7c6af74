# Printer information and the page of window dumps, over the platform's printers.
add_library(tw_raster_print STATIC
  ${CMAKE_CURRENT_LIST_DIR}/printer_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/print_select.cpp)
target_link_libraries(tw_raster_print PUBLIC tw_state tw_text tw_platform_printer)
