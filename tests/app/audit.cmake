# Audit checks of the project file against the file system's own refusals.
tw_add_test(test_app_audit_projectfile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/audit_projectfile_test.cpp LIBS tw_app_reg)
