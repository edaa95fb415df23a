// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: turns the kMandarin field of Unihan_Readings.txt(.bz2) into a compact table for
// src/editors/pinyin.cpp: the code points in order, and for each an index into a list of the
// distinct readings. Only the first reading is kept (the one Unihan gives for simplified use).
//   make_pinyin_table <Unihan_Readings.txt.bz2> <output.inc>
#include <bzlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadAll(const char* path) {
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_pinyin_table <Unihan_Readings.txt[.bz2]> <output.inc>\n";
    return 2;
  }
  const std::string text = ReadAll(argv[1]);
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
