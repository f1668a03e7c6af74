# Resource loaders over the program's compiled resource tables (tools/rc).
add_library(tw_platform_resources STATIC
  ${CMAKE_CURRENT_LIST_DIR}/resource.cpp)
target_include_directories(tw_platform_resources PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tw_platform_resources PUBLIC tw_platform_codepage)

# tw_add_resources(target script.rc [INCLUDE dirs...]): compiles the script at build time into
# a C++ table that the target links; FindResource and friends (tw_platform_resources) read it.
# Use it on executables: the table registers itself through a static object. Defined here,
# with the loaders, so that every folder after platform/ may call it.
function(tw_add_resources target script)
  cmake_parse_arguments(R "" "" "INCLUDE" ${ARGN})
  get_filename_component(_abs "${script}" ABSOLUTE)
  get_filename_component(_name "${script}" NAME_WE)
  set(_out "${CMAKE_CURRENT_BINARY_DIR}/${target}_${_name}_rc.cpp")
  set(_dep "${CMAKE_CURRENT_BINARY_DIR}/${target}_${_name}_rc.d")
  set(_inc)
  foreach(_d IN LISTS R_INCLUDE)
    get_filename_component(_da "${_d}" ABSOLUTE)
    list(APPEND _inc -I "${_da}")
  endforeach()
  add_custom_command(OUTPUT "${_out}"
    COMMAND tw_rc ${_inc} -d "${_dep}" "${_abs}" "${_out}"
    DEPENDS tw_rc "${_abs}"
    DEPFILE "${_dep}"
    COMMENT "Compiling resources ${_name}.rc"
    VERBATIM)
  target_sources(${target} PRIVATE "${_out}")
  target_link_libraries(${target} PRIVATE tw_platform_resources)
endfunction()
