# Windows metafiles and printers: the metafile and printer drivers on the shared test picture,
# read back by libwmf, emf2svg and poppler, and a real print job through a private CUPS.
tw_add_test(winprint_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/metafile_driver_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/printer_driver_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/metafile_counts_test.cpp
  LIBS tw_test_picture tw_winprint)
# The option dialogs, driven by injected keys and clicks (label gui).
tw_add_test(winprint_dialogs_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/options_dialog_test.cpp
  LIBS tw_winprint tw_dialog tw_window tw_resources LABELS gui)
# The window dump of the screen printed on the PDF printer, rendered by poppler.
tw_add_test(winprint_dump_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/window_dump_test.cpp
  LIBS tw_winprint tw_screen tw_resources)
