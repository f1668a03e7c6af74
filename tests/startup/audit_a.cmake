# Audit check: the real program's start-up, driven through its INI file.
tw_add_test(test_core_audit_startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/audit_startup_test.cpp)
target_compile_definitions(test_core_audit_startup PRIVATE TW_PROGRAM="$<TARGET_FILE:tarnwalker>")
add_dependencies(test_core_audit_startup tarnwalker)
