# The code page against the system's UTF-8: the one conversion at the border.
add_library(tw_platform_codepage STATIC ${CMAKE_CURRENT_LIST_DIR}/codepage.cpp)
target_include_directories(tw_platform_codepage PUBLIC ${PROJECT_SOURCE_DIR})
# Operating-system services on POSIX: files, search, environment, processes, clock.
add_library(tw_platform_os STATIC ${CMAKE_CURRENT_LIST_DIR}/os.cpp
  ${CMAKE_CURRENT_LIST_DIR}/os_registry.cpp ${CMAKE_CURRENT_LIST_DIR}/os_mail.cpp)
target_include_directories(tw_platform_os PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_os PUBLIC tw_platform_codepage)
# The paint-only pump that a waiting command runs, on the window system's queue.
add_library(tw_platform_ospump STATIC ${CMAKE_CURRENT_LIST_DIR}/os_pump.cpp)
target_link_libraries(tw_platform_ospump PUBLIC tw_platform_os tw_platform_win)
