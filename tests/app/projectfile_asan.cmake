# The project file's damage checks with the file reader and the code it calls built under
# AddressSanitizer, so that a read past a line or a field stops the run. Run alone with:
# ctest -L asan
find_package(Eigen3 REQUIRED NO_MODULE)  # the regression statistics factor with Eigen
tw_add_test(test_app_projectfile_asan
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/projectfile_damage_test.cpp
    ${PROJECT_SOURCE_DIR}/app/projectfile.cpp
    ${PROJECT_SOURCE_DIR}/app/datacheck.cpp
    ${PROJECT_SOURCE_DIR}/app/regstats.cpp
    ${PROJECT_SOURCE_DIR}/app/modules.cpp
    ${PROJECT_SOURCE_DIR}/app/calendar.cpp
    ${PROJECT_SOURCE_DIR}/app/aggregate.cpp
  LIBS tw_text tw_os tw_msgbox tw_state Eigen3::Eigen
  LABELS asan)
target_include_directories(test_app_projectfile_asan PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(test_app_projectfile_asan PRIVATE -fsanitize=address -fno-omit-frame-pointer)
target_link_options(test_app_projectfile_asan PRIVATE -fsanitize=address)
