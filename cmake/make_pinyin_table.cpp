// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: turns the kMandarin field of Unihan_Readings.txt(.bz2) into a compact table for
// src/data/pinyin.cpp: the code points in order, and for each an index into a list of the
// distinct readings. Only the first reading is kept (the one Unihan gives for simplified use).
//   make_pinyin_table <Unihan_Readings.txt.bz2> <output.inc>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "unihan_readings.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_pinyin_table <Unihan_Readings.txt[.bz2]> <output.inc>\n";
    return 2;
  }
  const std::map<unsigned long, std::string> readings = ReadUnihanReadings(argv[1]);
  if (readings.size() < 1000) {
    std::cerr << "make_pinyin_table: no kMandarin readings in " << argv[1] << "\n";
    return 1;
  }

  std::map<std::string, int> index;
  std::vector<std::string> syllables;
  for (const auto& [code, value] : readings)
    if (index.emplace(value, static_cast<int>(syllables.size())).second) syllables.push_back(value);

  std::ofstream out(argv[2], std::ios::binary);
  out << "// Generated from " << argv[1] << " by make_pinyin_table; do not edit.\n";
  out << "constexpr const char* kSyllables[] = {";
  for (std::size_t i = 0; i < syllables.size(); ++i)
    out << (i % 12 ? " " : "\n  ") << '"' << syllables[i] << "\",";
  out << "\n};\nconstexpr char32_t kCodes[] = {";
  std::size_t i = 0;
  for (const auto& entry : readings)
    out << (i++ % 12 ? " " : "\n  ") << "0x" << std::hex << entry.first << ",";
  out << std::dec << "\n};\nconstexpr unsigned short kReadings[] = {";
  i = 0;
  for (const auto& entry : readings) out << (i++ % 16 ? " " : "\n  ") << index[entry.second] << ",";
  out << "\n};\n";
  out.close();
  if (!out) {
    std::cerr << "make_pinyin_table: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
