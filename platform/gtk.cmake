# The GTK 3 display backend: the window system's top-level windows on a real desktop. Only
# a program that chooses it at start-up links it; the tests use the headless backend.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_GTK REQUIRED IMPORTED_TARGET gtk+-3.0)
add_library(tw_platform_gtk STATIC
  ${CMAKE_CURRENT_LIST_DIR}/gtk_backend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gtk_keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gtk_dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gtk_clipboard.cpp)
target_include_directories(tw_platform_gtk PUBLIC ${PROJECT_SOURCE_DIR})
# GTK stays private: no header above platform/ sees it.
target_link_libraries(tw_platform_gtk PUBLIC tw_platform_win tw_platform_clipboard tw_platform_gdi PRIVATE PkgConfig::TW_GTK)
