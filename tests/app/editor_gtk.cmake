# The text editor on a private Xvfb server (GTK backend), driven with xdotool: TarnWalker's
# "Browse text file" (find, replace, save, print to the PDF printer), and a small program of
# our own around a rich-text editor with a command line and several buffers (label gui).
add_executable(tw_editor_desktop_program ${CMAKE_CURRENT_LIST_DIR}/editor_desktop_program.cpp)
target_link_libraries(tw_editor_desktop_program PRIVATE tw_editor tw_startup tw_platform_gtk tw_resources)
tw_add_test(test_app_editor_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_gtk_test.cpp LIBS tw_test_xserver LABELS gui)
target_compile_definitions(test_app_editor_gtk PRIVATE TW_PROGRAM="$<TARGET_FILE:tarnwalker>"
  TW_EDITOR_PROGRAM="$<TARGET_FILE:tw_editor_desktop_program>" TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
add_dependencies(test_app_editor_gtk tarnwalker tw_editor_desktop_program)
