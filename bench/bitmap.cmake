tw_add_bench(bitmap_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/bitmap_bench.cpp
  LIBS tw_test_picture tw_hcdrivers)
