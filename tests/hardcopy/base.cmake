tw_add_test(hardcopy_base_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/cgm_scan_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/output_helpers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/printer_models_test.cpp
  LIBS tw_hardcopy)
