# Menus, the menu loop and accelerators; the toolbar and tooltip controls; all driven through
# the headless backend.
tw_add_test(test_platform_menu
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/menu_test.cpp
  LIBS tw_platform_menu)
tw_add_resources(test_platform_menu ${CMAKE_CURRENT_LIST_DIR}/menu_test.rc)
tw_add_test(test_platform_toolbar
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/toolbar_test.cpp
  LIBS tw_platform_menu)
