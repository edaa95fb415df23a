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
