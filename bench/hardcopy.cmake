tw_add_bench(hardcopy_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/hardcopy_bench.cpp
  LIBS tw_test_picture tw_hcdrivers)
