tw_add_test(hardcopy_base_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/printer_models_test.cpp
  LIBS tw_hardcopy_base)
