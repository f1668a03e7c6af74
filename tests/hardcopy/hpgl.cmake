tw_add_test(hardcopy_hpgl_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/hpgl_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hpgl2_test.cpp
  LIBS tw_test_picture tw_hcdrivers)
