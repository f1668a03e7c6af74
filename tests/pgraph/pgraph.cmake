tw_add_test(pgraph_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/decorations_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/decorations3d_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/definition_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/geometry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keys_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keys_special_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mapping_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scalenum_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scales_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scales3d_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plots_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ticks_test.cpp
  LIBS tw_pgraph tw_graphics)

# Pictures of charts, painted on a headless window.
tw_add_test(pgraph_pictures_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_pictures_test.cpp
  LIBS tw_screen tw_pgraph
  LABELS gui)
target_compile_definitions(pgraph_pictures_test PRIVATE TW_SHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
