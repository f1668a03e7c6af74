# The application's plots on a headless window, pictures kept in the build folder.
tw_add_test(test_app_plots SOURCES ${CMAKE_CURRENT_LIST_DIR}/plots_test.cpp LIBS tw_appplots tw_app_reg tw_screen LABELS gui)
target_compile_definitions(test_app_plots PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
