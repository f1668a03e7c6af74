# Operating-system services on POSIX: files, search, environment, processes, clock.
add_library(tw_platform_os STATIC ${CMAKE_CURRENT_LIST_DIR}/os.cpp
  ${CMAKE_CURRENT_LIST_DIR}/os_registry.cpp ${CMAKE_CURRENT_LIST_DIR}/os_mail.cpp)
target_include_directories(tw_platform_os PUBLIC ${PROJECT_SOURCE_DIR})
# The paint-only pump that a waiting command runs, on the window system's queue.
add_library(tw_platform_ospump STATIC ${CMAKE_CURRENT_LIST_DIR}/os_pump.cpp)
target_link_libraries(tw_platform_ospump PUBLIC tw_platform_os tw_platform_win)
