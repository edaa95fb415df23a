// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/module_window.h"

#include <QDir>
#include <QHash>
#include <QLibrary>

#include "platform/error_report.h"
#include "platform/install_paths.h"
#include "platform/logging.h"

QDialog* OpenModuleWindow(const QString& module, const char* factory, QWidget* owner) {
  using Factory = QDialog* (*)(QWidget*);
  static QHash<QString, Factory> loaded;
  const QString key = module + QLatin1Char('/') + QLatin1String(factory);
  Factory make = loaded.value(key);
  if (!make) {
    // Never unloaded: the windows it made may outlive this call.
    QLibrary library(QDir(ModuleFolder()).filePath(module));
    make = reinterpret_cast<Factory>(library.resolve(factory));
    if (!make) {
      qCWarning(lcUi) << "cannot load module" << module << library.errorString();
      ReportError(QStringLiteral("无法打开这个窗口：程序文件 %1 缺少或已损坏。请重新安装本程序。")
                      .arg(module));
      return nullptr;
    }
    loaded.insert(key, make);
  }
  return make(owner);
}
