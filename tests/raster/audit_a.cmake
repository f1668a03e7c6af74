# Audit spot checks of the raster file routines (Pillow writes the reference image).
tw_add_test(raster_audit_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/audit_spotcheck_test.cpp LIBS tw_raster)
target_compile_definitions(raster_audit_test PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
