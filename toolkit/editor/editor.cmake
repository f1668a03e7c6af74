# The editor subsystem; so far what start-up needs of it: the editor buffer table.
add_library(tw_editor STATIC ${CMAKE_CURRENT_LIST_DIR}/startup_editor.cpp)
target_link_libraries(tw_editor PUBLIC tw_state)
