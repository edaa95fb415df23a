// SPDX-License-Identifier: GPL-3.0-or-later
// Renders what "导入" shows in the poem chapter list manager (as on a 1024 x 768 screen): the
// progress dialog of a pack that takes a while, the closing message and the list with the new
// chapters, to PNG files for looking at. Run with QT_QPA_PLATFORM=offscreen;
// argument: output folder.
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "data/data_module.h"
#include "data/lesson_database.h"
#include "editors/chapter_packs.h"
#include "editors/chapter_windows.h"
#include "packs/lesson_pack.h"
#include "platform/dialogs.h"

namespace {

void Save(QWidget* w, const QString& path) {
  if (w->grab().save(path))
    std::printf("%s\n", qPrintable(path));
  else
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

bool Add(QuaZip& zip, const QString& name, const QByteArray& data) {
  QuaZipFile f(&zip);
  if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, 0, 0)) return false;
  f.write(data);
  f.close();
  return f.getZipError() == ZIP_OK;
}

// Three chapters of 20 poems, each with a second of (silent) recording.
bool WritePack(const QString& path) {
  QuaZip zip(path);
  if (!zip.open(QuaZip::mdCreate)) return false;
  const QByteArray wav = QByteArray("RIFF\x24\xac\0\0WAVEfmt ", 16) +
                         QByteArray::fromHex("10000000010001002256000044ac000002001000") + "data" +
                         QByteArray::fromHex("00ac0000") + QByteArray(44032, '\0');
  QJsonArray chapters;
  for (int c = 1; c <= 3; ++c) {
    QJsonArray items;
    for (int i = 1; i <= 20; ++i) {
      const int n = (c - 1) * 20 + i;
      const QString sound = QStringLiteral("recordings/%1.wav").arg(n);
      if (!Add(zip, sound, wav)) return false;
      items.append(
          QJsonObject{{QStringLiteral("number"), n},
                      {QStringLiteral("name"), QStringLiteral("古诗%1").arg(n)},
                      {QStringLiteral("text"), QStringLiteral("白日依山尽，\n黄河入海流。")},
                      {QStringLiteral("sound"), sound}});
    }
    chapters.append(QJsonObject{{QStringLiteral("number"), c},
                                {QStringLiteral("name"), QStringLiteral("唐诗第%1组").arg(c)},
                                {QStringLiteral("items"), items}});
  }
  const QJsonObject manifest{{QStringLiteral("format"), QLatin1String(packs::kPackFormat)},
                             {QStringLiteral("version"), packs::kPackVersion},
                             {QStringLiteral("kind"), QStringLiteral("poem")},
                             {QStringLiteral("chapters"), chapters}};
  const bool ok = Add(zip, QLatin1String(packs::kManifestName), QJsonDocument(manifest).toJson());
  zip.close();
  return ok && zip.getZipError() == ZIP_OK;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStandardPaths::setTestModeEnabled(true);  // the recordings go to a throw-away folder
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  QDir().mkpath(folder);
  QTemporaryDir tmp;
  const QString dbPath = tmp.filePath(QStringLiteral("lessons.db"));
  const QString pack = tmp.filePath(QStringLiteral("唐诗.tindora"));
  QString error;
  if (!EnsureEmbeddedDatabase(dbPath, &error) || !WritePack(pack)) {
    std::fprintf(stderr, "cannot prepare: %s\n", qPrintable(error));
    return 1;
  }
  Tdm module(EmbeddedSpec(dbPath));
  QCursor::setPos(600, 600);
  dm = &module;
  platform::SetOpenFileHandler(
      [&pack](QWidget*, const QString&, const QString&, const QString&) { return pack; });

  TChapterListForm manager(nullptr, LessonKindId::Poem);
  manager.setWindowState(Qt::WindowNoState);
  manager.resize(1024, 768);
  manager.show();
  {
    // A third done after 0.6 s: the dialog shows.
    editors::PackProgress progress(&manager, QStringLiteral("正在导入课程包……"));
    QThread::msleep(600);
    progress.Callback()(300, 900);
    Save(progress.dialog(), QDir(folder).filePath(QStringLiteral("pack_progress.png")));
  }
  // The message box runs its own event handling: look in on it.
  QTimer look;
  look.setInterval(20);
  QObject::connect(&look, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        Save(box, QDir(folder).filePath(QStringLiteral("pack_imported.png")));
        box->accept();
      }
  });
  look.start();
  manager.ImportSb->click();
  look.stop();
  Save(&manager, QDir(folder).filePath(QStringLiteral("pack_chapters.png")));
  QDir(packs::UserSoundRoot()).removeRecursively();
  dm = nullptr;
  return 0;
}
