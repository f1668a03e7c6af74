add_executable(tarnwalker ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(tarnwalker PRIVATE tw_startup)
# The main menu's state and command tables.
add_library(tw_mainmenu STATIC ${CMAKE_CURRENT_LIST_DIR}/menustate.cpp)
target_link_libraries(tw_mainmenu PUBLIC tw_app tw_window)
# The separation and regression plots, drawn through presentation graphics.
add_library(tw_appplots STATIC ${CMAKE_CURRENT_LIST_DIR}/plots.cpp)
target_link_libraries(tw_appplots PUBLIC tw_app tw_pgraph tw_graphics tw_window tw_text)
