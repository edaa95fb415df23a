// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/error_report.h"

#include <QApplication>

#include "platform/dialogs.h"
#include "platform/logging.h"

QString ErrorReportText(const QString& text) {
  QString s = text;
  // A sentence already closed by a Chinese stop would read "。." otherwise.
  static const QString closed = QStringLiteral("。！？");
  if (!s.isEmpty() && s.back() > QLatin1Char('.') && !closed.contains(s.back()))
    s += QLatin1Char('.');
  return s;
}

namespace {

void ReportErrorText(const QString& text) {
  qCWarning(lcUi) << "error report:" << text;
  // Owned by the window in front, so that the report shows above the screen that failed.
  QWidget* owner = nullptr;
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    owner = QApplication::activeModalWidget();
    if (!owner) owner = QApplication::activeWindow();
  }
  platform::MessageBox(owner, ErrorReportText(text), kApplicationTitle,
                       platform::MB_OK | platform::MB_ICONERROR);
}

}  // namespace

bool DriverWords(const QString& text) { return !text.isEmpty() && text.front().unicode() < 0x80; }

void ReportError(const QString& text) {
  if (DriverWords(text)) {
    qCWarning(lcDb) << "error report:" << text;
    ReportErrorText(QStringLiteral(
        "程序出错，刚才的操作没有完成。请关闭这个窗口再打开；若仍出错，请让管理员查看日志。"));
    return;
  }
  ReportErrorText(text);
}
