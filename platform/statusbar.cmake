# The status-bar control of the platform layer.
add_library(tw_platform_statusbar STATIC ${CMAKE_CURRENT_LIST_DIR}/statusbar.cpp)
target_include_directories(tw_platform_statusbar PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_statusbar PUBLIC tw_platform_win tw_platform_gdi)
