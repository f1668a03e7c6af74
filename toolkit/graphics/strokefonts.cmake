# The built-in stroke fonts: made at build time by tools/strokefonts from the Hershey fonts
# (hershey-fonts-data), the Liberation faces (fonts-liberation) and URW's Standard Symbols
# (fonts-urw-base35), one generated source per font, compiled into tw_graphics.
set(TW_HERSHEY_DIR "/usr/share/hershey-fonts" CACHE PATH "Hershey .jhf fonts")
set(TW_LIBERATION_DIR "/usr/share/fonts/truetype/liberation" CACHE PATH "Liberation fonts")
set(TW_SYMBOL_FONT "/usr/share/fonts/type1/urw-base35/StandardSymbolsPS.t1" CACHE FILEPATH
    "Symbol-compatible Type 1 face")
set(_tw_fontdir "${CMAKE_CURRENT_BINARY_DIR}/strokefonts")
set(_tw_fonts standard symbols swiss swissbld roman romanbld fixed fixedbld symbol)
set(_tw_fontsources)
foreach(_f IN LISTS _tw_fonts)
  list(APPEND _tw_fontsources "${_tw_fontdir}/font_${_f}.cpp")
endforeach()
set(_tw_faces
  "${TW_LIBERATION_DIR}/LiberationSans-Regular.ttf" "${TW_LIBERATION_DIR}/LiberationSans-Bold.ttf"
  "${TW_LIBERATION_DIR}/LiberationSerif-Regular.ttf" "${TW_LIBERATION_DIR}/LiberationSerif-Bold.ttf"
  "${TW_LIBERATION_DIR}/LiberationMono-Regular.ttf" "${TW_LIBERATION_DIR}/LiberationMono-Bold.ttf"
  "${TW_SYMBOL_FONT}")
add_custom_command(OUTPUT ${_tw_fontsources}
  COMMAND ${CMAKE_COMMAND} -E make_directory "${_tw_fontdir}"
  COMMAND tw_strokefonts "${_tw_fontdir}" "${TW_HERSHEY_DIR}" ${_tw_faces}
  DEPENDS tw_strokefonts ${_tw_faces}
  COMMENT "Making the built-in stroke fonts"
  VERBATIM)
target_sources(tw_graphics PRIVATE ${_tw_fontsources}
  ${CMAKE_CURRENT_LIST_DIR}/strokefont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/strokefonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/textstring.cpp)
