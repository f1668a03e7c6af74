# Printers: CUPS destinations and the built-in PDF printer, their profile entry, information
# contexts and device modes. The only library that links CUPS.
find_package(Cups REQUIRED)
add_library(tw_platform_printer STATIC ${CMAKE_CURRENT_LIST_DIR}/printer.cpp)
target_include_directories(tw_platform_printer PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_printer PUBLIC Cups::Cups tw_platform_codepage)
