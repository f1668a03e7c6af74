# The toolkit state record; every toolkit library links it. It links nothing: the regions
# it gathers are declarations only.
add_library(tw_state STATIC ${CMAKE_CURRENT_LIST_DIR}/tessar.cpp)
target_include_directories(tw_state PUBLIC ${PROJECT_SOURCE_DIR})
