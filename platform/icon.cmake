# Icons: the system icons and the program's icon resources, made from BMP-in-ICO or PNG
# images, drawn with their masks through the drawing layer.
add_library(tw_platform_icon STATIC ${CMAKE_CURRENT_LIST_DIR}/icon.cpp)
target_include_directories(tw_platform_icon PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_icon PUBLIC tw_platform_gdi tw_platform_win tw_platform_resources)

# The in-process clipboard store and the memory blocks it holds.
add_library(tw_platform_clipboard STATIC ${CMAKE_CURRENT_LIST_DIR}/clipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clipboard_text.cpp ${CMAKE_CURRENT_LIST_DIR}/clipboard_picture.cpp)
target_include_directories(tw_platform_clipboard PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_clipboard PUBLIC tw_platform_win tw_platform_gdi tw_platform_codepage)
