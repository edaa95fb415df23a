// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/chinese_file_dialog.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QTreeView>

namespace platform {
namespace {

enum Column { Name, Size, Type, Date };

QString SizeText(qint64 bytes) {
  if (bytes < 1024) return QStringLiteral("%1 字节").arg(bytes);
  if (bytes < 1024 * 1024) return QStringLiteral("%1 KB").arg(double(bytes) / 1024, 0, 'f', 1);
  return QStringLiteral("%1 MB").arg(double(bytes) / (1024 * 1024), 0, 'f', 1);
}

QString TypeText(const QFileInfo& info) {
  if (info.isDir()) return QStringLiteral("文件夹");
  const QString suffix = info.suffix().toUpper();
  if (suffix == QLatin1String("WAV")) return QStringLiteral("WAV 声音");
  return suffix.isEmpty() ? QStringLiteral("文件") : suffix + QStringLiteral(" 文件");
}

// Widest texts the columns must hold.
const QString kWidestSize = QStringLiteral("999.9 KB");
const QString kWidestType = QStringLiteral("WAV 声音");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm");

class ChineseColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || index.column() == Name)
      return QIdentityProxyModel::data(index, role);
    const QFileInfo info = files->fileInfo(mapToSource(index));
    switch (index.column()) {
      case Size:
        return info.isDir() ? QString() : SizeText(info.size());
      case Type:
        return TypeText(info);
      case Date:
        return info.lastModified().toString(kDateFormat);
      default:
        return QIdentityProxyModel::data(index, role);
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section <= Date) {
      static const QString names[] = {QStringLiteral("名称"), QStringLiteral("大小"),
                                      QStringLiteral("类型"), QStringLiteral("修改日期")};
      return names[section];
    }
    return QIdentityProxyModel::headerData(section, orientation, role);
  }
};

}  // namespace

void SpeakChinese(QFileDialog* dialog) {
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setProxyModel(new ChineseColumns(dialog));
  dialog->setViewMode(QFileDialog::Detail);
  dialog->resize(qMax(dialog->width(), 720), qMax(dialog->height(), 440));
  auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!view) return;
  QHeaderView* header = view->header();
  const QFontMetrics metrics(view->font());
  const int air = 4 * view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, view) + 16;
  header->setStretchLastSection(false);
  header->setSectionResizeMode(Name, QHeaderView::Stretch);
  const QString widest[] = {{},
                            kWidestSize,
                            kWidestType,
                            QDateTime(QDate(2000, 12, 28), QTime(20, 28)).toString(kDateFormat)};
  for (int column = Size; column <= Date; ++column)
    header->resizeSection(column, metrics.horizontalAdvance(widest[column]) + air);
}

}  // namespace platform
