// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>
#include <atomic>

#include "platform/chinese_file_dialog.h"
#include "platform/logging.h"

namespace platform {
namespace {

MessageBoxHandler& messageHandler() {
  static MessageBoxHandler h;
  return h;
}
OpenFileHandler& fileHandler() {
  static OpenFileHandler h;
  return h;
}
SaveFileHandler& saveHandler() {
  static SaveFileHandler h;
  return h;
}
std::atomic<bool> g_ending{false};

OpenUrlHandler& urlHandler() {
  static OpenUrlHandler h;
  return h;
}

int RealMessageBox(QWidget* owner, const QString& text, const QString& title, unsigned flags) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (flags & 0xF0) {
    case MB_ICONERROR:
      icon = QMessageBox::Critical;
      break;
    case MB_ICONQUESTION:
      icon = QMessageBox::Question;
      break;
    case MB_ICONWARNING:
      icon = QMessageBox::Warning;
      break;
    default:
      break;
  }
  const bool yesNo = (flags & 0x0F) == MB_YESNO;
  QMessageBox box(icon, title, text, yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                  owner);
  if (yesNo) {
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
  } else {
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  }
  const int r = box.exec();
  // Cut short by the program's end: a question counts as answered No.
  if (g_ending) return yesNo ? IDNO : IDOK;
  if (r == QMessageBox::Yes) return IDYES;
  if (r == QMessageBox::No) return IDNO;
  return IDOK;
}

}  // namespace

void SetProgramEnding(bool ending) { g_ending = ending; }

int MessageBox(QWidget* owner, const QString& text, const QString& title, unsigned flags) {
  if (g_ending) {
    qCInfo(lcUi).noquote() << "not shown, the program is ending:" << text;
    return (flags & MB_YESNO) == MB_YESNO ? IDNO : IDOK;
  }
  if (messageHandler()) return messageHandler()(owner, text, title, flags);
  return RealMessageBox(owner, text, title, flags);
}

QString GetOpenFileName(QWidget* owner, const QString& title, const QString& filter,
                        const QString& folder) {
  if (fileHandler()) return fileHandler()(owner, title, filter, folder);
  QFileDialog dialog(owner, title, folder, filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  SpeakChinese(&dialog);
  const QString pattern = filter.section(QLatin1Char(' '), 0, 0);
  if (pattern.startsWith(QLatin1String("*.")) && pattern.indexOf(QLatin1Char('*'), 1) < 0)
    dialog.setDefaultSuffix(pattern.mid(2));
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.selectedFiles().value(0);
}

QString GetSaveFileName(QWidget* owner, const QString& title, const QString& filter,
                        const QString& suggested) {
  if (saveHandler()) return saveHandler()(owner, title, filter, suggested);
  QFileDialog dialog(owner, title, suggested, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  SpeakChinese(&dialog);
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.selectedFiles().value(0);
}

bool OpenUrl(const QString& url) {
  if (urlHandler()) return urlHandler()(url);
  return QDesktopServices::openUrl(QUrl(url));
}

void SetMessageBoxHandler(MessageBoxHandler handler) { messageHandler() = std::move(handler); }
void SetOpenFileHandler(OpenFileHandler handler) { fileHandler() = std::move(handler); }
void SetSaveFileHandler(SaveFileHandler handler) { saveHandler() = std::move(handler); }
void SetOpenUrlHandler(OpenUrlHandler handler) { urlHandler() = std::move(handler); }

}  // namespace platform
