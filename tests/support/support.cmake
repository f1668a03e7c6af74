# Helpers shared by test programs: the private X server of the tests on a real display, with
# its shell commands and screenshot reading. (message_boxes.h is a header alone.)
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_XSERVER_DEPS REQUIRED IMPORTED_TARGET cairo)
add_library(tw_test_xserver STATIC ${CMAKE_CURRENT_LIST_DIR}/xserver.cpp)
target_link_libraries(tw_test_xserver PUBLIC PkgConfig::TW_XSERVER_DEPS tw_platform_win GTest::gtest)

# The shared test picture, drawn through the graphics layer onto an open hardcopy.
add_library(tw_test_picture STATIC ${CMAKE_CURRENT_LIST_DIR}/test_picture.cpp)
target_link_libraries(tw_test_picture PUBLIC tw_hcdrivers tw_graphics tw_state)

# The tools the tests ask for come from packages on the one install list; no test installs.
add_test(NAME PackageList.EveryToolATestAsksForIsOnTheList
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/package_list_check.sh ${PROJECT_SOURCE_DIR})
