add_executable(tarnwalker ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
