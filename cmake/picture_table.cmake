# SPDX-License-Identifier: GPL-3.0-or-later
# The items' pictures: a table word -> emoji generated from Unicode CLDR's annotations (Debian
# package unicode-cldr-core) when the program is built; the emoji are drawn with Debian's
# fonts-noto-color-emoji.
set(TINDORA_CLDR_FOLDER /usr/share/unicode/cldr/common/annotations
  CACHE PATH "CLDR annotations folder (Debian package unicode-cldr-core)")
set(TINDORA_EMOJI_LIST /usr/share/unicode/emoji/emoji-test.txt
  CACHE FILEPATH "emoji-test.txt (Debian package unicode-data)")
foreach(input ${TINDORA_CLDR_FOLDER}/zh.xml ${TINDORA_CLDR_FOLDER}/en.xml ${TINDORA_EMOJI_LIST})
  if(NOT EXISTS ${input})
    message(FATAL_ERROR "${input} is missing: apt-get install unicode-cldr-core unicode-data")
  endif()
endforeach()
add_executable(make_picture_table ${CMAKE_CURRENT_LIST_DIR}/make_picture_table.cpp)
target_compile_options(make_picture_table PRIVATE ${TINDORA_WARNINGS})
target_link_libraries(make_picture_table PRIVATE Qt6::Core)
set(PICTURE_TABLE ${CMAKE_BINARY_DIR}/generated/picture_table.inc)
add_custom_command(OUTPUT ${PICTURE_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:make_picture_table> ${TINDORA_CLDR_FOLDER} ${TINDORA_EMOJI_LIST} ${PICTURE_TABLE}
  DEPENDS make_picture_table ${TINDORA_CLDR_FOLDER}/zh.xml ${TINDORA_CLDR_FOLDER}/en.xml
    ${TINDORA_EMOJI_LIST}
  COMMENT "Generating the pictures' table from CLDR's annotations" VERBATIM)
target_sources(tindora_core PRIVATE ${PICTURE_TABLE})
