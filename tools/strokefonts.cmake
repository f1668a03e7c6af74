# strokefonts: makes the built-in stroke fonts (toolkit/graphics/strokefonts.cmake runs it).
find_package(Freetype REQUIRED)
add_executable(tw_strokefonts ${CMAKE_CURRENT_LIST_DIR}/strokefonts/strokefonts.cpp)
target_link_libraries(tw_strokefonts PRIVATE Freetype::Freetype)
set_target_properties(tw_strokefonts PROPERTIES OUTPUT_NAME strokefonts)
