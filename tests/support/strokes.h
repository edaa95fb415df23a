// SPDX-License-Identifier: GPL-3.0-or-later
// The stroke file made by the build, for the tests of the writing module; they skip without it.
#pragma once

#include <QString>

namespace testing {

// The built stroke file, or an empty string when the build had no stroke package.
QString BuiltStrokeFile();

}  // namespace testing

// Skips the test when the build made no stroke file.
#define REQUIRE_STROKE_FILE()               \
  if (testing::BuiltStrokeFile().isEmpty()) \
    QSKIP("no stroke file: run scripts/tindora.sh, which fetches it, and build again");
