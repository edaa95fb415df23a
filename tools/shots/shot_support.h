// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the screenshot tools: the output folder, saving a window, and a temporary embedded
// database with the sample course installed as the data module.
#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "data/data_module.h"
#include "data/lesson_database.h"

// The folder named by the first argument (made when missing), else the current one.
inline QString ShotFolder(int argc, char** argv) {
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  QDir().mkpath(folder);
  return folder;
}

inline bool SaveShot(QWidget* window, const QString& path) {
  QApplication::processEvents();
  const bool ok = window->grab().save(path);
  if (ok)
    std::printf("%s\n", qPrintable(path));
  else
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return ok;
}

// The sample course in a temporary embedded database, as `dm` while it lives.
class SampleDataModule {
 public:
  SampleDataModule() {
    const QString path = m_dir.filePath(QStringLiteral("lessons.db"));
    QString error;
    if (!EnsureEmbeddedDatabase(path, &error)) {
      std::fprintf(stderr, "%s\n", qPrintable(error));
      return;
    }
    m_module = std::make_unique<Tdm>(EmbeddedSpec(path));
    dm = m_module.get();
  }
  ~SampleDataModule() {
    if (dm == m_module.get()) dm = nullptr;
  }
  bool Ok() const { return m_module != nullptr; }
  QString Path() const { return m_dir.filePath(QStringLiteral("lessons.db")); }

 private:
  QTemporaryDir m_dir;
  std::unique_ptr<Tdm> m_module;
};
