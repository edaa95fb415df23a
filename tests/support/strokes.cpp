// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/strokes.h"

#include <QFileInfo>

namespace testing {

QString BuiltStrokeFile() {
  const QString file = QStringLiteral(TINDORA_BUILT_STROKE_FILE);
  return !file.isEmpty() && QFileInfo::exists(file) ? file : QString();
}

}  // namespace testing
