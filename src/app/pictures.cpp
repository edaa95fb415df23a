// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pictures.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>

QImage ReadPicture(const QString& file) {
  QImageReader reader(file, QFileInfo(file).suffix().toLatin1());
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

QIcon PictureIcon(const QString& file) {
  QIcon icon;
  const QImage picture = ReadPicture(file);
  if (picture.isNull()) return icon;
  icon.addPixmap(QPixmap::fromImage(picture));
  if (qApp->devicePixelRatio() > 1) {
    const QFileInfo info(file);
    const QString twin = info.path() + QLatin1Char('/') + info.completeBaseName() +
                         QLatin1String("@2x.") + info.suffix();
    const QImage large = QFileInfo::exists(twin) ? ReadPicture(twin) : QImage();
    if (!large.isNull()) icon.addPixmap(QPixmap::fromImage(large));
  }
  return icon;
}
