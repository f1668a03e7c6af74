add_executable(tarnwalker ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(tarnwalker PRIVATE tw_startup)
