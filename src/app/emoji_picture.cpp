// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/emoji_picture.h"

#include <QCache>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include "platform/logging.h"

namespace {

// The font has only bitmaps, 136 pixels, drawn at a size of 109: a picture is drawn at that size
// once and scaled smoothly as an image to the pixels the screen wants.
constexpr int kStrikePx = 109;
constexpr int kBitmapPx = 136;

QString EmojiFamily() {
  static const QString family = [] {
#ifdef Q_OS_WIN
    return QStringLiteral("Segoe UI Emoji");
#else
    const int id = QFontDatabase::addApplicationFont(
        QStringLiteral("/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
      qCWarning(lcUi) << "no pictures: NotoColorEmoji.ttf (fonts-noto-color-emoji) is missing";
      return QString();
    }
    return families.first();
#endif
  }();
  return family;
}

QImage Strike(const QString& emoji) {
  QImage image(kBitmapPx, kBitmapPx, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QFont font(EmojiFamily());
  font.setPixelSize(kStrikePx);
  QPainter p(&image);
  p.setFont(font);
  p.drawText(image.rect(), Qt::AlignCenter, emoji);
  return image;
}

}  // namespace

QPixmap EmojiPixmap(const QString& emoji, int side, qreal ratio) {
  if (emoji.isEmpty() || side <= 0 || EmojiFamily().isEmpty()) return {};
  static QCache<QString, QPixmap> cache(200);
  const int px = qMax(1, qRound(side * ratio));
  const QString key = emoji + u'/' + QString::number(px);
  if (const QPixmap* hit = cache.object(key)) return *hit;
  QPixmap pixmap = QPixmap::fromImage(
      Strike(emoji).scaled(px, px, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  pixmap.setDevicePixelRatio(ratio);
  cache.insert(key, new QPixmap(pixmap));
  return pixmap;
}

void ShowEmoji(QLabel* label, const QString& emoji, int side) {
  const QPixmap pixmap = EmojiPixmap(emoji, side, label->devicePixelRatioF());
  label->setPixmap(pixmap);
  label->setVisible(!pixmap.isNull());
}
