// SPDX-License-Identifier: GPL-3.0-or-later
// The progress dialog of the chapter list managers' "导出" and "导入".
#pragma once

#include <QProgressDialog>

#include "packs/lesson_pack.h"

namespace editors {

// Appears only when the work looks like taking more than half a second; "取消" cancels it.
class PackProgress {
 public:
  PackProgress(QWidget* owner, const QString& label);
  packs::Progress Callback();
  QProgressDialog* dialog() { return &m_dialog; }

 private:
  QProgressDialog m_dialog;
};

}  // namespace editors
