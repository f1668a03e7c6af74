# The window system of the platform layer: classes, windows, messages, default processing
# and the headless backend with its test API. The only library above cairo for windows.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_CAIRO REQUIRED IMPORTED_TARGET cairo)
add_library(tw_platform_win STATIC
  ${CMAKE_CURRENT_LIST_DIR}/window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/defproc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/headless.cpp)
target_include_directories(tw_platform_win PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_win PUBLIC PkgConfig::TW_CAIRO tw_platform_resources tw_platform_codepage)
