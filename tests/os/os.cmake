# Operating-system front routines: files, dates, the command line, services.
tw_add_test(test_core_os_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/os_files_test.cpp LIBS tw_os)
tw_add_test(test_core_os_dates SOURCES ${CMAKE_CURRENT_LIST_DIR}/os_dates_test.cpp LIBS tw_os)
tw_add_test(test_core_os_command SOURCES ${CMAKE_CURRENT_LIST_DIR}/os_command_test.cpp
  LIBS tw_os tw_platform_ospump)
tw_add_test(test_core_os_services SOURCES ${CMAKE_CURRENT_LIST_DIR}/os_services_test.cpp LIBS tw_os)
tw_add_test(test_core_os_replace SOURCES ${CMAKE_CURRENT_LIST_DIR}/os_replace_test.cpp LIBS tw_os)
tw_add_test(test_core_os_names SOURCES ${CMAKE_CURRENT_LIST_DIR}/os_names_test.cpp LIBS tw_os)
