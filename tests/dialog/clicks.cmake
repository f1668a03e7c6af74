# Check boxes and radio buttons clicked, pressed with Space and arrowed onto: the field-changed
# events the program reads and the state they find (label gui).
tw_add_test(test_dialog_clicks SOURCES ${CMAKE_CURRENT_LIST_DIR}/clicks_test.cpp
  LIBS tw_dialog tw_window tw_resources LABELS gui)
tw_add_resources(test_dialog_clicks ${CMAKE_CURRENT_LIST_DIR}/fields_test.rc)
