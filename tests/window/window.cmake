# Root window, event loop, window procedures and status bar, driven through the headless
# backend's injected input.
tw_add_test(test_core_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/window_test.cpp LIBS tw_window)
tw_add_test(test_core_wmsg SOURCES ${CMAKE_CURRENT_LIST_DIR}/wmsg_test.cpp LIBS tw_window)
tw_add_test(test_core_statusbar SOURCES ${CMAKE_CURRENT_LIST_DIR}/statusbar_test.cpp LIBS tw_window)
foreach(_t test_core_window test_core_wmsg test_core_statusbar)
  tw_add_resources(${_t} ${CMAKE_CURRENT_LIST_DIR}/window_test.rc)
endforeach()

# On a private Xvfb server with the GTK backend; the screenshot is taken with xwd and
# ImageMagick (label gui).
tw_add_test(test_core_window_gtk SOURCES ${CMAKE_CURRENT_LIST_DIR}/window_gtk_test.cpp
  LIBS tw_window tw_platform_gtk tw_test_xserver LABELS gui)
