add_executable(tarnwalker ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
# The program's resources (menus, toolbars, dialogs, texts) register themselves when linked.
target_link_libraries(tarnwalker PRIVATE tw_mainprog tw_startup tw_platform_gtk tw_resources)
# The main menu's state and command tables.
add_library(tw_mainmenu STATIC ${CMAKE_CURRENT_LIST_DIR}/menustate.cpp)
target_link_libraries(tw_mainmenu PUBLIC tw_app tw_window)
# The separation and regression plots, drawn through presentation graphics.
add_library(tw_appplots STATIC ${CMAKE_CURRENT_LIST_DIR}/plots.cpp)
target_link_libraries(tw_appplots PUBLIC tw_app tw_pgraph tw_graphics tw_window tw_text)
# The main program, its menu loop, the file commands and the data dialogs.
add_library(tw_mainprog STATIC ${CMAKE_CURRENT_LIST_DIR}/mainprogram.cpp ${CMAKE_CURRENT_LIST_DIR}/filecommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dataentry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/separation.cpp ${CMAKE_CURRENT_LIST_DIR}/plotcommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/regwindow.cpp)
target_link_libraries(tw_mainprog PUBLIC tw_mainmenu tw_appplots tw_app_reg tw_editor tw_dialog tw_msgbox tw_startup
  tw_winprint)
# The help file and the user manual go beside the program.
add_dependencies(tarnwalker tw_help)
