// SPDX-License-Identifier: GPL-3.0-or-later
// The chapter list manager's "导出" and "导入": a lesson pack of the manager's kind, written from
// the selected chapter or all chapters, or read into the database, with a progress dialog for
// packs that take longer than half a second.
#include "editors/chapter_packs.h"

#include <QDir>
#include <QFileInfo>
#include <QToolButton>

#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "data/data_module.h"
#include "editors/chapter_windows.h"
#include "lessons/lesson_queries.h"
#include "packs/lesson_pack.h"
#include "platform/dialogs.h"

namespace {

const QString kExportTitle = QStringLiteral("导出");
const QString kImportTitle = QStringLiteral("导入");
const QString kPackFilter = QStringLiteral("Tindora课程包 (*.tindora *.zip)");

// Where the packs' file dialogs open: the home folder, then the folder used last.
QString& PackFolder() {
  static QString folder = QDir::homePath();
  return folder;
}

void Tell(QWidget* owner, const QString& text, const QString& title, unsigned icon = 0) {
  platform::MessageBox(owner, text, title, platform::MB_OK | icon);
}

}  // namespace

namespace editors {

PackProgress::PackProgress(QWidget* owner, const QString& label)
    : m_dialog(label, QStringLiteral("取消"), 0, 1, owner) {
  m_dialog.setWindowTitle(kApplicationTitle);
  // The warm face of the editors' dialogs.
  QPalette face = m_dialog.palette();
  face.setColor(QPalette::Window, QColor(255, 248, 222));
  m_dialog.setPalette(face);
  m_dialog.setAutoFillBackground(true);
  m_dialog.setWindowModality(Qt::WindowModal);
  m_dialog.setMinimumDuration(500);
  m_dialog.setAutoReset(false);
  m_dialog.setFont(SongFont(14));
  m_dialog.setMinimumWidth(360);
  m_dialog.setValue(0);
}

packs::Progress PackProgress::Callback() {
  return [this](int done, int total) {
    m_dialog.setMaximum(total);
    m_dialog.setValue(done);
    return !m_dialog.wasCanceled();
  };
}

}  // namespace editors

void TChapterListForm::AddPackButtons() {
  // Beside "删除", in the same style.
  const QRect next = DelSb->geometry().translated(editors::kBarButtonWidth, 0);
  ExportSb = MakeToolButton(TopBar(), kExportTitle,
                            editors::EditorPicture(QStringLiteral("export")), next);
  ImportSb =
      MakeToolButton(TopBar(), kImportTitle, editors::EditorPicture(QStringLiteral("import")),
                     next.translated(editors::kBarButtonWidth, 0));
  connect(ExportSb, &QToolButton::clicked, this, [this] { ExportSbClick(); });
  connect(ImportSb, &QToolButton::clicked, this, [this] {
    if (!RefuseEditing(this)) ImportSbClick();
  });
}

void TChapterListForm::ExportSbClick() {
  platform::Dataset* chapters = dm->ALLQuery;
  if (chapters->IsEmpty()) {
    editors::Warn(this, QStringLiteral("没有可以导出的章节。"));
    return;
  }
  const QString selected = chapters->Field(QStringLiteral("章节"));
  const bool one =
      platform::MessageBox(
          this, QStringLiteral("只导出选中的章节“%1”吗？\n选“否”导出全部章节。").arg(selected),
          kExportTitle, platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
  QString name = one ? selected : m_kind.screenTitle;
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  const QString suggested = QDir(PackFolder()).filePath(name + QStringLiteral(".tindora"));
  const QString file =
      platform::GetSaveFileName(this, QStringLiteral("导出课程包"), kPackFilter, suggested);
  if (file.isEmpty()) return;
  PackFolder() = QFileInfo(file).absolutePath();

  packs::ExportResult r;
  {
    BusyCursor busy;
    editors::PackProgress progress(this, QStringLiteral("正在导出课程包……"));
    r = packs::ExportPack(dm->ConnectionName(), m_kind, one ? selected : QString(), file,
                          progress.Callback());
  }
  if (r.cancelled) return Tell(this, r.error, kExportTitle);
  if (!r.ok) return editors::StoreFailed(this, r.error);
  QString text = QStringLiteral("已导出%1个章节、%2个项目到“%3”。")
                     .arg(r.chapters)
                     .arg(r.items)
                     .arg(QDir::toNativeSeparators(file));
  if (!r.missingRecordings.isEmpty())
    text += QStringLiteral("\n\n以下项目找不到录音，导出时没有带上录音：\n") +
            r.missingRecordings.join(QStringLiteral("、"));
  Tell(this, text, kExportTitle, r.missingRecordings.isEmpty() ? 0 : platform::MB_ICONWARNING);
}

void TChapterListForm::ImportSbClick() {
  const QString file =
      platform::GetOpenFileName(this, QStringLiteral("导入课程包"), kPackFilter, PackFolder());
  if (file.isEmpty()) return;
  PackFolder() = QFileInfo(file).absolutePath();
  packs::ImportResult r;
  {
    BusyCursor busy;
    editors::PackProgress progress(this, QStringLiteral("正在导入课程包……"));
    // The recordings library: the server's table, or the user's data folder.
    r = packs::ImportPack(dm->ConnectionName(), file, QString(), &m_kind, progress.Callback());
  }
  if (r.cancelled) return Tell(this, r.error, kImportTitle);
  if (!r.ok) return editors::StoreFailed(this, r.error);
  FormShow();  // the grid shows the new chapters
  QString text = QStringLiteral("已导入%1个章节、%2个项目。").arg(r.chapters).arg(r.items);
  if (!r.soundFolder.isEmpty())
    text += QStringLiteral("\n录音放在“%1”。").arg(QDir::toNativeSeparators(r.soundFolder));
  Tell(this, text, kImportTitle);
}
