# The application's compiled resources read back, and the main window's menu, prompts,
# toolbar and tooltips driven through the headless backend.
tw_add_test(test_app_resources
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/resources_test.cpp
  LIBS tw_resources tw_platform_menu tw_platform_statusbar)
target_compile_definitions(test_app_resources PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
