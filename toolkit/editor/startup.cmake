# What start-up needs of the editor subsystem: the editor buffer table.
add_library(tw_editor_startup STATIC ${CMAKE_CURRENT_LIST_DIR}/startup_editor.cpp)
target_link_libraries(tw_editor_startup PUBLIC tw_state)
