# Audit checks of the window layer's queries, pump and split windows, and of the main menu's
# prompts (headless).
tw_add_test(test_core_audit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/audit_window_test.cpp ${CMAKE_CURRENT_LIST_DIR}/audit_prompts_test.cpp
  LIBS tw_window tw_resources)
