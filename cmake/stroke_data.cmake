# SPDX-License-Identifier: GPL-3.0-or-later
# The stroke-order file, converted at build time from the npm package hanzi-writer-data 2.0.1
# (fetched by scripts/fetch_npm_data.sh, called by scripts/tindora.sh). Without the package the program is built all the
# same; its writing screen then says that the stroke data is missing.
include(GNUInstallDirs)
set(TINDORA_STROKE_PACKAGE ${CMAKE_SOURCE_DIR}/downloads/hanzi-writer-data-2.0.1.tgz
  CACHE FILEPATH "hanzi-writer-data-2.0.1.tgz (fetched by scripts/tindora.sh)")
set(TINDORA_STROKE_SHA512 9db43033e31aaf21a8abba4130864b09dde516ad379d7b89bb092ed7ee946e32f9f2e53ef4e50b55c324a0dbcdb894a8215edfd5b6cf45f0f80ff2d06b94bbaa)

set(TINDORA_STROKE_FILE)
if(EXISTS ${TINDORA_STROKE_PACKAGE})
  file(SHA512 ${TINDORA_STROKE_PACKAGE} stroke_package_hash)
  if(stroke_package_hash STREQUAL TINDORA_STROKE_SHA512)
    set(TINDORA_STROKE_FILE ${CMAKE_BINARY_DIR}/hanzi_strokes.dat)
  else()
    message(WARNING "${TINDORA_STROKE_PACKAGE} is not hanzi-writer-data 2.0.1: no stroke data")
  endif()
else()
  message(STATUS "No stroke data (run scripts/tindora.sh, which fetches it): the writing screen will say so")
endif()

if(TINDORA_STROKE_FILE)
  set(unpacked ${CMAKE_BINARY_DIR}/stroke_package)
  add_custom_command(OUTPUT ${TINDORA_STROKE_FILE} ${CMAKE_BINARY_DIR}/ARPHICPL.TXT
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${unpacked}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${unpacked}
    COMMAND ${CMAKE_COMMAND} -E chdir ${unpacked} ${CMAKE_COMMAND} -E tar xzf ${TINDORA_STROKE_PACKAGE}
    COMMAND make_stroke_data ${unpacked}/package ${TINDORA_STROKE_FILE}
    COMMAND ${CMAKE_COMMAND} -E copy ${unpacked}/package/ARPHICPL.TXT ${CMAKE_BINARY_DIR}/ARPHICPL.TXT
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${unpacked}
    DEPENDS make_stroke_data ${TINDORA_STROKE_PACKAGE}
    COMMENT "Converting the stroke data of ${TINDORA_STROKE_PACKAGE}" VERBATIM)
  add_custom_target(stroke_data ALL DEPENDS ${TINDORA_STROKE_FILE})
  # The data and its licence are a separate work shipped beside the program.
  install(FILES ${TINDORA_STROKE_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/tindora)
  install(FILES ${CMAKE_BINARY_DIR}/ARPHICPL.TXT DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tindora)
endif()
