// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_icon.h"

#include <QPixmap>

#include "app/pictures.h"

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 256})
    icon.addPixmap(QPixmap::fromImage(ReadPicture(QStringLiteral(":/images/app_icon_%1.png").arg(size))));
  return icon;
}
