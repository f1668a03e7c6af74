# Window geometry, menus and toolbars, child windows and splitters, on the program's own
# resources, driven through the headless backend's injected input.
tw_add_test(test_core_wmenus SOURCES ${CMAKE_CURRENT_LIST_DIR}/wmenus_test.cpp LIBS tw_wmenus tw_window tw_resources)
