// Draws the drill screen's tool-button pictures into assets/images/ (run from the source root).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

int g_scale = 1;  // 2 for the sharp pictures of a grown design ("@2x")

QImage Blank() {
  QImage img(16 * g_scale, 16 * g_scale, QImage::Format_ARGB32);
  img.setDevicePixelRatio(g_scale);
  img.fill(Qt::transparent);
  return img;
}

// A blue disc with a white question mark: "how to use".
QImage HelpPicture() {
  QImage img = Blank();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(20, 70, 160), 1));
  p.setBrush(QColor(60, 130, 230));
  p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(13);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
  return img;
}

// A green arrow pointing right, out of the screen: "back".
QImage QuitPicture() {
  QImage img = Blank();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath arrow;
  arrow.moveTo(1, 5.5);
  arrow.lineTo(8, 5.5);
  arrow.lineTo(8, 1.5);
  arrow.lineTo(15, 8);
  arrow.lineTo(8, 14.5);
  arrow.lineTo(8, 10.5);
  arrow.lineTo(1, 10.5);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(20, 110, 30), 1));
  p.setBrush(QColor(60, 180, 70));
  p.drawPath(arrow);
  return img;
}

bool Save(const QImage& img, QString name) {
  if (g_scale == 2) name.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
  const QString path = QDir(QStringLiteral("assets/images")).filePath(name);
  if (!img.save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  QDir().mkpath(QStringLiteral("assets/images"));
  bool ok = true;
  for (g_scale = 1; g_scale <= 2; ++g_scale)
    ok = ok && Save(HelpPicture(), QStringLiteral("drill_help.png")) &&
         Save(QuitPicture(), QStringLiteral("drill_quit.png"));
  return ok ? 0 : 1;
}
