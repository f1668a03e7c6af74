# The project's libraries link one way: a link back up (a cycle) fails this test.
add_test(NAME library_graph_one_way
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR} -DWORK=${CMAKE_BINARY_DIR}/library-graph
          -DGENERATOR=${CMAKE_GENERATOR} -P ${PROJECT_SOURCE_DIR}/cmake/check_library_graph.cmake)
