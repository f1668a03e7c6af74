# Resource loaders over the program's compiled resource tables (tools/rc).
add_library(tw_platform_resources STATIC
  ${CMAKE_CURRENT_LIST_DIR}/resource.cpp)
target_include_directories(tw_platform_resources PUBLIC ${PROJECT_SOURCE_DIR})
