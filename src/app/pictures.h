// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in pictures, read as the format their names say. Asked to guess, Qt loads every image
// plugin it has (GIF, ICO, JPEG...) to ask each whether it knows the file, and keeps them loaded.
#pragma once

#include <QIcon>
#include <QImage>

// The picture in `file` (":/images/....png"); a null image when it cannot be read.
QImage ReadPicture(const QString& file);

// A button's picture: `file` and, on a screen scaled up, its twin of twice the size
// ("name@2x.png") when there is one, as QIcon(file) would find it.
QIcon PictureIcon(const QString& file);
