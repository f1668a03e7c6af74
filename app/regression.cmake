# The trend regression with its statistics, the data check summary and the project file.
find_package(Eigen3 REQUIRED NO_MODULE)
add_library(tw_app_reg STATIC
  ${CMAKE_CURRENT_LIST_DIR}/regstats.cpp
  ${CMAKE_CURRENT_LIST_DIR}/regression.cpp
  ${CMAKE_CURRENT_LIST_DIR}/datacheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/projectfile.cpp)
target_include_directories(tw_app_reg PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_app_reg PUBLIC tw_app tw_text tw_os tw_msgbox tw_state PRIVATE Eigen3::Eigen)
