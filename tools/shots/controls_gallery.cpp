// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the flat speed button and the three-dimensional label in every look to one PNG, so that
// someone can look at them. Usage: controls_gallery [output.png]  (default controls_gallery.png)
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include "app/shared_routines.h"
#include "controls/flat_speed_button.h"
#include "controls/label_3d.h"

namespace {

constexpr QRgb kKey = qRgb(255, 0, 255);  // the glyphs' transparent background

// One cell: a filled disc with a black outline and a black mark, in the given colour.
void DrawCell(QPainter& p, int x, int size, const QColor& fill) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(fill);
  p.drawEllipse(x + 2, 2, size - 5, size - 5);
  p.drawLine(x + size / 2 - 3, size / 2, x + size / 2 + 3, size / 2);
  p.drawLine(x + size / 2, size / 2 - 3, x + size / 2, size / 2 + 3);
}

QImage MakeGlyph(int cells, int size = 20) {
  QImage img(size * cells, size, QImage::Format_RGB32);
  img.fill(kKey);
  QPainter p(&img);
  const QColor colours[] = {QColor(230, 80, 60), QColor(170, 170, 170), QColor(60, 120, 230),
                            QColor(60, 180, 90)};
  for (int k = 0; k < cells; ++k) DrawCell(p, k * size, size, colours[k]);
  return img;
}

QLabel* Heading(QWidget* parent, const QString& text, int x, int y) {
  auto* l = new QLabel(text, parent);
  l->setFont(SongFont(14, true));
  l->move(x, y);
  l->adjustSize();
  return l;
}

enum class Look { Up, Hot, Pressed, Latched, LatchedHot, Disabled };

struct Sample {
  TFlatSpeedButton* button;
  Look look;
};

}  // namespace

int main(int argc, char** argv) {
  // Renders off-screen unless told otherwise.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "controls_gallery.png";

  QWidget canvas;
  canvas.setWindowTitle("gallery");
  canvas.setFixedSize(900, 640);
  QPalette pal = canvas.palette();
  pal.setColor(QPalette::Window, QColor(236, 233, 216));
  canvas.setPalette(pal);
  canvas.setAutoFillBackground(true);
  canvas.setFont(SongFont(14));

  std::vector<Sample> samples;
  const QStringList lookNames = {"弹起", "悬停", "按下", "锁定", "锁定悬停", "禁用"};
  const Look looks[] = {Look::Up,      Look::Hot,        Look::Pressed,
                        Look::Latched, Look::LatchedHot, Look::Disabled};

  int y = 10;
  Heading(&canvas, "平面按钮：默认颜色 / 关于窗口样式 / 派生颜色", 10, y);
  for (int i = 0; i < 6; ++i) Heading(&canvas, lookNames[i], 150 + i * 120, y + 22);
  y += 46;
  const QStringList rowNames = {"默认", "关于", "派生"};
  for (int row = 0; row < 3; ++row, y += 44) {
    Heading(&canvas, rowNames[row], 10, y + 8);
    for (int i = 0; i < 6; ++i) {
      auto* b = new TFlatSpeedButton(&canvas);
      b->setGeometry(150 + i * 120, y, 100, 36);
      b->setCaption(row == 1 ? "确定(&O)" : "开始");
      b->setFont(SongFont(16, true));
      if (row == 0) b->setColor(RGBColor(235, 234, 225));
      if (row == 1) {
        b->setColor(RGBColor(236, 233, 216));
        b->setColorFocused(clYellow);
        b->setColorDown(clNone);
        b->setColorBorder(clNone);
        b->setColorHighLight(clNone);
        b->setColorShadow(clNone);
      }
      if (row == 2) b->setUseAdvColors(true);
      b->setGroupIndex(100 + row * 10 + i);  // a group of its own, so it can latch
      samples.push_back({b, looks[i]});
    }
  }

  Heading(&canvas, "图标按钮：1–4 格，上方 / 左方 / 右方 / 下方", 10, y + 4);
  y += 30;
  const TButtonLayout layouts[] = {blGlyphTop, blGlyphLeft, blGlyphRight, blGlyphBottom};
  for (int cells = 1; cells <= 4; ++cells, y += 58) {
    Heading(&canvas, QString("%1 格").arg(cells), 10, y + 18);
    for (int i = 0; i < 6; ++i) {
      auto* b = new TFlatSpeedButton(&canvas);
      const TButtonLayout layout = layouts[(cells - 1 + i) % 4];
      b->setGeometry(150 + i * 120, y, 100, 52);
      b->setColor(RGBColor(235, 234, 225));
      b->setFont(SongFont(14));
      b->setCaption("图标");
      b->setGlyph(MakeGlyph(cells));
      b->setLayout(layout);
      b->setGroupIndex(200 + cells * 10 + i);
      samples.push_back({b, looks[i]});
    }
  }

  Heading(&canvas, "立体标签：无 / 凹下 / 凸起 / 阴影；禁用；不透明；阴影 0 与 3", 10, y + 4);
  y += 34;
  const TLabel3DBevel bevels[] = {bvNone, bvLowered, bvRaised, bvShadow};
  const QStringList bevelNames = {"无斜面", "凹下", "凸起", "阴影"};
  for (int row = 0; row < 2; ++row, y += 40) {
    for (int i = 0; i < 4; ++i) {
      auto* l = new TLabel3D(bevelNames[i] + (row ? "禁用" : ""), &canvas);
      l->setFont(SongFont(24, true));
      l->setBevel(bevels[i]);
      l->setTransparent(true);
      l->setFontColor(RGBColor(200, 40, 40));
      l->move(20 + i * 200, y);
      l->setEnabled(row == 0);
    }
  }
  auto* opaque = new TLabel3D("不透明", &canvas);
  opaque->setFont(SongFont(24, true));
  opaque->setColor(RGBColor(255, 240, 180));
  opaque->setBevel(bvLowered);
  opaque->move(20, y);
  auto* flat = new TLabel3D("阴影0", &canvas);
  flat->setFont(SongFont(24, true));
  flat->setTransparent(true);
  flat->setShadowSize(0);
  flat->move(220, y);
  auto* deep = new TLabel3D("阴影3", &canvas);
  deep->setFont(SongFont(24, true));
  deep->setTransparent(true);
  deep->setShadowSize(3);
  deep->setBevel(bvShadow);
  deep->move(420, y);
  auto* wrapped = new TLabel3D("幼儿识字 幼儿学诗 幼儿学英语", &canvas);
  wrapped->setFont(SongFont(16, true));
  wrapped->setTransparent(true);
  wrapped->setBevel(bvLowered);
  wrapped->setAutoSize(false);
  wrapped->setAlignment(Qt::AlignHCenter);
  wrapped->setGeometry(620, y, 140, 44);

  canvas.show();
  canvas.activateWindow();
  QElapsedTimer wait;
  wait.start();
  while (QApplication::activeWindow() != &canvas && wait.elapsed() < 2000) app.processEvents();
  if (QApplication::activeWindow() != &canvas) qWarning("gallery window did not become active");

  // Park the pointer away from every button, then bring each sample into its look.
  QCursor::setPos(canvas.mapToGlobal(QPoint(5, canvas.height() - 5)));
  app.processEvents();
  for (const Sample& s : samples) {
    switch (s.look) {
      case Look::Latched:
      case Look::LatchedHot:
        s.button->setDown(true);
        break;
      case Look::Pressed: {
        const QPointF c = QRectF(s.button->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, c, s.button->mapToGlobal(c), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.button, &press);
        break;
      }
      case Look::Disabled:
        s.button->setEnabled(false);
        break;
      default:
        break;
    }
  }
  app.processEvents();
  QImage shot = canvas.grab().toImage();

  // Only one button is hot at a time: grab each hot sample on its own and paste it in.
  QPainter paste(&shot);
  for (const Sample& s : samples) {
    if (s.look != Look::Hot && s.look != Look::LatchedHot) continue;
    QCursor::setPos(s.button->mapToGlobal(s.button->rect().center()));
    app.processEvents();
    paste.drawPixmap(s.button->geometry().topLeft(), s.button->grab());
  }
  paste.end();
  if (!shot.save(out)) {
    qWarning("could not write %s", qPrintable(out));
    return 1;
  }
  return 0;
}
