# The program's help: the pages of resources/help compiled into "tarnwalker_help.chm" (chmcmd,
# Debian fp-utils) and laid out as the user manual "K52wdn_UserManual.pdf" (tools/helppdf),
# both beside the program, where its Help menu looks for them.
find_program(TW_CHMCMD chmcmd REQUIRED)
set(TW_HELP_PAGES index.htm TW_2_Project.htm TW_7_Step1import.htm TW_10_Step3aggregate.htm
  TW_9_BaseSep_program.htm TW_11_Annual.htm TW_12_Trend_program.htm)
set(TW_HELP_SOURCES)
foreach(page ${TW_HELP_PAGES} style.css toc.hhc tarnwalker_help.hhp)
  list(APPEND TW_HELP_SOURCES ${CMAKE_CURRENT_LIST_DIR}/help/${page})
endforeach()
set(TW_HELP_OUT ${PROJECT_BINARY_DIR}/app)
set(TW_HELP_WORK ${CMAKE_CURRENT_BINARY_DIR}/help)
file(MAKE_DIRECTORY ${TW_HELP_WORK})
# The pictures of the pages, taken from the program itself.
set(TW_HELP_PICTURES ${TW_HELP_WORK}/main_window.png ${TW_HELP_WORK}/separation_view.png)
set(TW_HELP_PROJECT ${PROJECT_SOURCE_DIR}/tests/fixtures/project-status3.tw)
add_custom_command(OUTPUT ${TW_HELP_PICTURES}
  COMMAND tw_helpshots ${TW_HELP_WORK} ${TW_HELP_PROJECT}
  DEPENDS tw_helpshots ${TW_HELP_PROJECT}
  WORKING_DIRECTORY ${TW_HELP_WORK}
  COMMENT "Taking the help pages' pictures from the program")
add_custom_command(OUTPUT ${TW_HELP_OUT}/tarnwalker_help.chm
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TW_HELP_WORK} ${TW_HELP_OUT}
  COMMAND ${CMAKE_COMMAND} -E copy ${TW_HELP_SOURCES} ${TW_HELP_WORK}
  COMMAND ${TW_CHMCMD} tarnwalker_help.hhp > chmcmd.log
  COMMAND ${CMAKE_COMMAND} -E copy tarnwalker_help.chm ${TW_HELP_OUT}/tarnwalker_help.chm
  WORKING_DIRECTORY ${TW_HELP_WORK}
  DEPENDS ${TW_HELP_SOURCES} ${TW_HELP_PICTURES}
  COMMENT "Compiling the help pages into tarnwalker_help.chm")
# The manual is laid out from the pages' copies beside their pictures.
set(TW_HELP_PAGE_PATHS)
foreach(page ${TW_HELP_PAGES})
  list(APPEND TW_HELP_PAGE_PATHS ${TW_HELP_WORK}/${page})
endforeach()
add_custom_command(OUTPUT ${TW_HELP_OUT}/K52wdn_UserManual.pdf
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TW_HELP_OUT}
  COMMAND tw_helppdf ${TW_HELP_OUT}/K52wdn_UserManual.pdf ${TW_HELP_PAGE_PATHS}
  DEPENDS tw_helppdf ${TW_HELP_OUT}/tarnwalker_help.chm ${TW_HELP_PICTURES}
  COMMENT "Laying the help pages out as the user manual")
add_custom_target(tw_help ALL DEPENDS ${TW_HELP_OUT}/tarnwalker_help.chm ${TW_HELP_OUT}/K52wdn_UserManual.pdf)
