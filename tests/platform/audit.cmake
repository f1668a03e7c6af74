# Audit checks of the toolbar's drawing and of arcs, driven through the headless backend.
tw_add_test(test_platform_audit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/audit_toolbar_test.cpp ${CMAKE_CURRENT_LIST_DIR}/audit_gdi_test.cpp
  LIBS tw_platform_menu tw_platform_gdi)
