# Operating-system services on POSIX: files, search, environment, processes, clock.
add_library(tw_platform_os STATIC ${CMAKE_CURRENT_LIST_DIR}/os.cpp)
target_include_directories(tw_platform_os PUBLIC ${PROJECT_SOURCE_DIR})
