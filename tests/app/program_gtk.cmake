# The real program started on a private Xvfb server (GTK backend) and driven with xdotool:
# Open, Save as and Exit through the menus and GTK's file chooser (label gui).
tw_add_test(test_app_program_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/program_gtk_test.cpp LIBS tw_test_xserver LABELS gui)
target_compile_definitions(test_app_program_gtk PRIVATE TW_PROGRAM="$<TARGET_FILE:tarnwalker>"
  TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
add_dependencies(test_app_program_gtk tarnwalker)
