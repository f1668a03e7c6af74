# The data dialogs of the real program on a private Xvfb server (GTK backend), driven with
# xdotool, the record pasted from the desktop's clipboard filled by xclip (label gui).
tw_add_test(test_app_dataentry_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/dataentry_gtk_test.cpp LIBS tw_test_xserver LABELS gui)
target_compile_definitions(test_app_dataentry_gtk PRIVATE TW_PROGRAM="$<TARGET_FILE:tarnwalker>"
  TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
add_dependencies(test_app_dataentry_gtk tarnwalker)
