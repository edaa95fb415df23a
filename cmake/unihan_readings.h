// SPDX-License-Identifier: GPL-3.0-or-later
// Build steps' reader of the kMandarin field of Unihan_Readings.txt(.bz2): for each code point
// its first reading (the one Unihan gives for simplified use), in tone marks.
#pragma once

#include <bzlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace unihan_detail {

inline std::string ReadAll(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return {};
  std::string text;
  const std::string name(path);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bz2") == 0) {
    int status = BZ_OK;
    BZFILE* bz = BZ2_bzReadOpen(&status, file, 0, 0, nullptr, 0);
    char buffer[1 << 16];
    while (status == BZ_OK) {
      const int n = BZ2_bzRead(&status, bz, buffer, sizeof buffer);
      if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    }
    BZ2_bzReadClose(nullptr, bz);
    if (status != BZ_STREAM_END) text.clear();
  } else {
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  }
  std::fclose(file);
  return text;
}

}  // namespace unihan_detail

// Empty when the file cannot be read.
inline std::map<unsigned long, std::string> ReadUnihanReadings(const char* path) {
  const std::string text = unihan_detail::ReadAll(path);
  std::map<unsigned long, std::string> readings;  // ordered by code point
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    // U+4E00<TAB>kMandarin<TAB>yī
    const auto tab1 = line.find('\t');
    if (line.rfind("U+", 0) != 0 || tab1 == std::string::npos) continue;
    const auto tab2 = line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos || line.compare(tab1 + 1, tab2 - tab1 - 1, "kMandarin") != 0)
      continue;
    std::string value = line.substr(tab2 + 1);
    value = value.substr(0, value.find_first_of(" \r"));
    if (!value.empty()) readings[std::strtoul(line.c_str() + 2, nullptr, 16)] = value;
  }
  return readings;
}
