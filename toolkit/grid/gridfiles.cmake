# Grid files and tools: CSV save and load, HTML export, find and row sort.
target_sources(tw_grid PRIVATE ${CMAKE_CURRENT_LIST_DIR}/gridfiles.cpp)
target_link_libraries(tw_grid PUBLIC tw_os)
