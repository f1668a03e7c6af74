# helpshots: the pictures of the help pages, taken from the program itself on the headless
# backend (resources/help.cmake runs it).
add_executable(tw_helpshots ${CMAKE_CURRENT_LIST_DIR}/helpshots/helpshots.cpp)
target_link_libraries(tw_helpshots PRIVATE tw_mainprog tw_resources PkgConfig::TW_HELPPDF_CAIRO)
set_target_properties(tw_helpshots PROPERTIES OUTPUT_NAME helpshots)
