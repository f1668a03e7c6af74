# The grid control: records, cell store, field operations, rows and settings.
add_library(tw_grid STATIC ${CMAKE_CURRENT_LIST_DIR}/cellstore.cpp)
target_link_libraries(tw_grid PUBLIC tw_text tw_state)
