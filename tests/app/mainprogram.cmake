# The main program driven headless as a user would.
tw_add_test(test_app_mainprogram SOURCES ${CMAKE_CURRENT_LIST_DIR}/mainprogram_test.cpp LIBS tw_mainprog tw_resources)
tw_add_test(test_app_separation SOURCES ${CMAKE_CURRENT_LIST_DIR}/separation_test.cpp LIBS tw_mainprog tw_resources)
tw_add_test(test_app_helpfiles SOURCES ${CMAKE_CURRENT_LIST_DIR}/help_files_test.cpp)
target_compile_definitions(test_app_helpfiles PRIVATE TW_PROGRAM_DIR="${PROJECT_BINARY_DIR}/app"
  TW_HELP_WORK="${PROJECT_BINARY_DIR}/resources/help")
add_dependencies(test_app_helpfiles tw_help)
# The data dialogs driven from the main menu (label gui).
tw_add_test(test_app_dataentry SOURCES ${CMAKE_CURRENT_LIST_DIR}/dataentry_test.cpp
  LIBS tw_mainprog tw_resources tw_platform_clipboard LABELS gui)
target_compile_definitions(test_app_dataentry PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
# The regression window driven from the main menu; pictures kept in the build folder.
tw_add_test(test_app_regwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/regwindow_test.cpp LIBS tw_mainprog tw_resources)
target_compile_definitions(test_app_regwindow PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
