tw_add_bench(winprint_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/winprint_bench.cpp
  LIBS tw_test_picture tw_winprint)
