# Operating-system front routines: raw files, environment, command line, file deletion and
# copying, paths, ending the program, dates.
add_library(tw_os STATIC ${CMAKE_CURRENT_LIST_DIR}/opsys.cpp)
target_link_libraries(tw_os PUBLIC tw_state tw_text tw_msgbox tw_platform_os)
