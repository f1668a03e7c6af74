# The drawing layer: device contexts on cairo image surfaces, the aliased rasteriser, fonts
# through fontconfig and FreeType.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_GDI_DEPS REQUIRED IMPORTED_TARGET cairo fontconfig freetype2)
add_library(tw_platform_gdi STATIC
  ${CMAKE_CURRENT_LIST_DIR}/gdi_objects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_text.cpp)
target_include_directories(tw_platform_gdi PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_gdi PUBLIC PkgConfig::TW_GDI_DEPS)

# Window device contexts: links the drawing layer to the window layer. An object library, so
# that its start-up hook is linked into every program that names it.
add_library(tw_platform_gdi_window OBJECT ${CMAKE_CURRENT_LIST_DIR}/gdi_window.cpp)
target_link_libraries(tw_platform_gdi_window PUBLIC tw_platform_gdi tw_platform_win)
