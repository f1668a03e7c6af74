# Windows metafiles and printers: the metafile and printer drivers on the shared test picture,
# read back by libwmf, emf2svg and poppler, and a real print job through a private CUPS.
tw_add_test(winprint_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/metafile_driver_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/printer_driver_test.cpp
  LIBS tw_test_picture tw_winprint)
