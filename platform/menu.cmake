# Menus, keyboard accelerators, the toolbar and the tooltip control of the platform layer.
add_library(tw_platform_menu STATIC
  ${CMAKE_CURRENT_LIST_DIR}/menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/toolbar.cpp ${CMAKE_CURRENT_LIST_DIR}/toolbar_images.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tooltip.cpp)
target_include_directories(tw_platform_menu PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_menu PUBLIC tw_platform_win tw_platform_gdi tw_platform_resources)
