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
  const QString installed =
      QDir::cleanPath(program.filePath(QStringLiteral("../" TINDORA_MODULE_SUBDIR)));
  if (QFileInfo(installed).isDir()) return installed;
  // A build: the modules are beside the program; tests and tools run from folders below it.
  if (!program.entryList({QStringLiteral("tindora_*.so")}, QDir::Files).isEmpty())
    return program.path();
  return QStringLiteral(TINDORA_BUILT_MODULES);
}
