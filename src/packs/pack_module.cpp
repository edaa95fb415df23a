// SPDX-License-Identifier: GPL-3.0-or-later
#include "packs/pack_code.h"

extern "C" const packs::PackCode* TindoraPackCode() {
  static const packs::PackCode code{&packs::ExportPackFile, &packs::ImportPackFile,
                                         &packs::AddCourseFiles};
  return &code;
}
