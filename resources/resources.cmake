# The application's resources compiled into a table that registers itself at start-up. An
# object library, so that every program linking it keeps the table (nothing calls into it).
add_library(tw_resources OBJECT)
tw_add_resources(tw_resources ${CMAKE_CURRENT_LIST_DIR}/tarnwalker.rc)
# The hardcopy drivers' option dialogs.
tw_add_resources(tw_resources ${CMAKE_CURRENT_LIST_DIR}/hardcopy_options.rc)
target_link_libraries(tw_resources PUBLIC tw_platform_resources)
# The grid-editor window's command dialogs.
tw_add_resources(tw_resources ${CMAKE_CURRENT_LIST_DIR}/grid_editor.rc)
# The text editor's format buttons.
tw_add_resources(tw_resources ${CMAKE_CURRENT_LIST_DIR}/editor.rc)
