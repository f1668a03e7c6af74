# helppdf: the user manual as a PDF, laid out from the help pages (resources/help.cmake runs it).
find_package(PkgConfig REQUIRED)
pkg_check_modules(TW_HELPPDF_CAIRO REQUIRED IMPORTED_TARGET cairo)
add_executable(tw_helppdf ${CMAKE_CURRENT_LIST_DIR}/helppdf/helppdf.cpp)
target_link_libraries(tw_helppdf PRIVATE PkgConfig::TW_HELPPDF_CAIRO)
set_target_properties(tw_helppdf PROPERTIES OUTPUT_NAME helppdf)
