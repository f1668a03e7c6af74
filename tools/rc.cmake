# rc: the resource compiler (tw_add_resources() in platform/resources.cmake runs it).
add_executable(tw_rc ${CMAKE_CURRENT_LIST_DIR}/rc/rc.cpp)
set_target_properties(tw_rc PROPERTIES OUTPUT_NAME rc)
target_link_libraries(tw_rc PRIVATE tw_platform_codepage)
