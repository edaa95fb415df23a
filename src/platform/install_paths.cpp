// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/install_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString DataFolder() {
  const QDir program(QCoreApplication::applicationDirPath());
  // Relative to the program, so any installation prefix works.
  const QString installed = QDir::cleanPath(program.filePath(QStringLiteral("../share/tindora")));
  if (QFileInfo(installed).isDir()) return installed;
  if (QFileInfo(program.filePath(QStringLiteral("字语音库"))).isDir()) return program.path();
  return QStringLiteral(TINDORA_SOURCE_MEDIA);
}

QString SoundFilePath(const QString& name) {
  if (name.isEmpty() || name.contains(QLatin1Char('/')) || QFileInfo::exists(name)) return name;
  const QString shipped = QDir(DataFolder()).filePath(name);
  return QFileInfo::exists(shipped) ? shipped : name;
}

QString ModuleFolder() {
  const QDir program(QCoreApplication::applicationDirPath());
  // Code is loaded from the build only by programs that run from it (tests and tools below it):
  // an installed program whose modules are missing says so instead of looking elsewhere.
  const QString build = QFileInfo(QStringLiteral(TINDORA_BUILT_MODULES)).canonicalFilePath();
  const QString here = QFileInfo(program.path()).canonicalFilePath();
  if (!build.isEmpty() && (here == build || here.startsWith(build + QLatin1Char('/'))))
    return build;
  return QDir::cleanPath(program.filePath(QStringLiteral("../" TINDORA_MODULE_SUBDIR)));
}
