# The analyses on a desktop: the real program on a private Xvfb server (GTK backend) driven
# with xdotool through the baseflow separation and the regression of a project made from the
# USGS record (label gui). The project is written beforehand in the test's own process.
tw_add_test(test_app_analyses_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/analyses_gtk_test.cpp
  LIBS tw_test_xserver tw_mainprog tw_resources LABELS gui)
target_compile_definitions(test_app_analyses_gtk PRIVATE TW_PROGRAM="$<TARGET_FILE:tarnwalker>"
  TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
add_dependencies(test_app_analyses_gtk tarnwalker)
